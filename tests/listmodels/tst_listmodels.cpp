// The list models views show, driven by the real model on the fake service:
// each passes the item-model checks, and each change reaches a view as the
// smallest signal that describes it (one row's dataChanged, inserts and
// removes), a new list as one reset.

#include "PracticeTestSupport.h"

#include "platform/UserDefaults.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

using namespace PracticeTest;

namespace {

// A single with a material, a section introduction, a multiple, an answer question.
QJsonArray setWithIntro()
{
    QJsonObject withMaterial = question(QStringLiteral("s1"), 1, QStringLiteral("A"));
    withMaterial.insert(QStringLiteral("materialsId"), QStringLiteral("mat-1"));
    return QJsonArray{withMaterial, sectionIntro(QStringLiteral("intro")),
                      question(QStringLiteral("m1"), 2, QStringLiteral("AC")),
                      question(QStringLiteral("s2"), 1, QStringLiteral("B")),
                      question(QStringLiteral("a1"), 3, QStringLiteral("要点"), 0)};
}

CardMenu node(const QString &id, QList<CardMenu> children = {})
{
    CardMenu m = menu(id);
    m.name = QStringLiteral("目录 ") + id;
    m.children = std::move(children);
    return m;
}

// A (A1 (A11), A2), B without children.
QList<CardMenu> tree()
{
    return {node(QStringLiteral("A"), {node(QStringLiteral("A1"), {node(QStringLiteral("A11"))}), node(QStringLiteral("A2"))}),
            node(QStringLiteral("B"))};
}

// The rows of a tree model as "menuId@depth".
QStringList shown(const QAbstractItemModel &model)
{
    QStringList rows;
    for (int row = 0; row < model.rowCount(); ++row) {
        const QModelIndex index = model.index(row, 0);
        rows.append(index.data(MenuTreeModel::MenuIdRole).toString() + u'@'
                    + QString::number(index.data(MenuTreeModel::DepthRole).toInt()));
    }
    return rows;
}

// The rows named by the dataChanged signals caught so far.
QSet<int> changedRows(const QSignalSpy &spy)
{
    QSet<int> rows;
    for (const QList<QVariant> &arguments : spy) {
        const auto from = arguments.at(0).value<QModelIndex>();
        const auto to = arguments.at(1).value<QModelIndex>();
        for (int row = from.row(); row <= to.row(); ++row)
            rows.insert(row);
    }
    return rows;
}

QJsonArray historyRecords(int first, int count)
{
    QJsonArray records;
    for (int i = first; i < first + count; ++i) {
        // Newest first across pages.
        records.append(QJsonObject{{QStringLiteral("id"), QStringLiteral("r%1").arg(i)},
                                   {QStringLiteral("examId"), QStringLiteral("exam-%1").arg(i)},
                                   {QStringLiteral("examStatus"), 1},
                                   {QStringLiteral("beginTime"), QString::number(1'800'000'000'000LL - i)}});
    }
    return records;
}

} // namespace

class TestListModels : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Environment> env;
    std::vector<std::unique_ptr<QAbstractItemModelTester>> testers;

    AppModel &model() { return *env->model; }

    // Every list model of the model under the item-model checks for the whole test.
    void watchAll()
    {
        const QList<QAbstractItemModel *> models{
            model().examBanksModel(), model().menuTreeModel(), model().realExamsModel(),
            model().questionsModel(), model().analysisQuestionsModel(), model().collectionFoldersModel(),
            model().practiceHistory()->practiceHistoryModel(), model().practiceHistory()->paperHistoryModel()};
        for (QAbstractItemModel *list : models) {
            testers.push_back(std::make_unique<QAbstractItemModelTester>(
                list, QAbstractItemModelTester::FailureReportingMode::QtTest));
        }
    }

    AppModel &signedIn()
    {
        env->makeModel();
        watchAll();
        return model();
    }

    int rowOf(const QString &questionId)
    {
        const QuestionListModel *list = model().questionsModel();
        for (int row = 0; row < list->rowCount(); ++row) {
            if (list->index(row).data(QuestionListModel::QuestionIdRole).toString() == questionId)
                return row;
        }
        return -1;
    }

    bool loadHistory(bool nextPage)
    {
        return QCoro::waitFor(completes(model().loadPracticeHistory(PracticeHistoryTab::practice, !nextPage, nextPage)));
    }

private Q_SLOTS:
    void init() { env = std::make_unique<Environment>(); }
    void cleanup()
    {
        testers.clear();
        env.reset();
    }

    void openingASetResetsOnceWithItsRows()
    {
        signedIn();
        QSignalSpy resets(model().questionsModel(), &QAbstractItemModel::modelReset);
        QVERIFY(env->open(questionSet(setWithIntro())));
        QCOMPARE(resets.count(), 1);

        const QuestionListModel *list = model().questionsModel();
        QCOMPARE(list->rowCount(), 5);
        const QModelIndex first = list->index(0);
        QCOMPARE(first.data(QuestionListModel::QuestionIdRole).toString(), QStringLiteral("s1"));
        QCOMPARE(first.data(QuestionListModel::MaterialContentRole).toString(), QStringLiteral("<p>材料</p>"));
        QCOMPARE(first.data(QuestionListModel::OptionsRole).toStringList().size(), 4);
        const QModelIndex intro = list->index(1);
        QVERIFY(intro.data(QuestionListModel::IsSectionIntroRole).toBool());
        QCOMPARE(intro.data(QuestionListModel::SectionIntroTitleRole).toString(), QStringLiteral("第一部分"));
        QVERIFY(!intro.data(QuestionListModel::AnsweredRole).toBool());
        QCOMPARE(list->index(4).data(QuestionListModel::QuestionTypeRole).toInt(), 3);
    }

    void answeringChangesOnlyThatRow_data()
    {
        QTest::addColumn<int>("mode"); // ExamMode
        QTest::addColumn<QString>("questionId");
        QTest::addColumn<QString>("letter");
        QTest::addColumn<QString>("expectedAnswer");
        QTest::addColumn<bool>("expectedRevealed");
        QTest::newRow("single, practice") << int(ExamMode::practice) << QStringLiteral("s1") << QStringLiteral("B")
                                          << QStringLiteral("B") << false;
        QTest::newRow("single, review reveals") << int(ExamMode::review) << QStringLiteral("s1")
                                                << QStringLiteral("A") << QStringLiteral("A") << true;
        QTest::newRow("multiple") << int(ExamMode::practice) << QStringLiteral("m1") << QStringLiteral("C")
                                  << QStringLiteral("C") << false;
    }

    void answeringChangesOnlyThatRow()
    {
        QFETCH(int, mode);
        QFETCH(QString, questionId);
        QFETCH(QString, letter);
        QFETCH(QString, expectedAnswer);
        QFETCH(bool, expectedRevealed);
        signedIn();
        model().setExamMode(ExamMode(mode));
        QVERIFY(env->open(questionSet(setWithIntro())));
        const QuestionListModel *list = model().questionsModel();
        QSignalSpy changes(list, &QAbstractItemModel::dataChanged);
        QSignalSpy resets(list, &QAbstractItemModel::modelReset);

        if (questionId == QLatin1String("m1"))
            model().toggleMultipleAnswerFor(letter, questionId);
        else
            model().chooseSingleAnswerFor(letter, questionId);

        const int row = rowOf(questionId);
        QCOMPARE(resets.count(), 0);
        QCOMPARE(changedRows(changes), QSet<int>{row});
        QList<int> roles;
        for (const QList<QVariant> &arguments : std::as_const(changes))
            roles += arguments.at(2).value<QList<int>>();
        QVERIFY(roles.contains(QuestionListModel::UserAnswerRole));
        QVERIFY(!roles.contains(QuestionListModel::ContextRole));
        QCOMPARE(roles.contains(QuestionListModel::RevealedRole), expectedRevealed);
        QCOMPARE(list->index(row).data(QuestionListModel::UserAnswerRole).toString(), expectedAnswer);
        QVERIFY(list->index(row).data(QuestionListModel::AnsweredRole).toBool());
        QCOMPARE(list->index(row).data(QuestionListModel::RevealedRole).toBool(), expectedRevealed);
    }

    void collectingMarksOnlyThatRow()
    {
        signedIn();
        QVERIFY(env->open(questionSet(setWithIntro())));
        answerWith(env->service, collectPath, true);
        env->service.holdReplies(collectPath);
        const QuestionListModel *list = model().questionsModel();
        const int row = rowOf(QStringLiteral("s2"));
        QSignalSpy changes(list, &QAbstractItemModel::dataChanged);

        model().startToggleCollection(QStringLiteral("s2"));
        QCOMPARE(changedRows(changes), QSet<int>{row});
        QVERIFY(list->index(row).data(QuestionListModel::CollectionInFlightRole).toBool());

        env->service.releaseReplies(collectPath);
        QTRY_VERIFY(!list->index(row).data(QuestionListModel::CollectionInFlightRole).toBool());
        QVERIFY(list->index(row).data(QuestionListModel::CollectedRole).toBool());
        QCOMPARE(changedRows(changes), QSet<int>{row});
    }

    void analysisListsTheReportsAnswers()
    {
        signedIn();
        HistoryReport report;
        report.questionList = {Question::fromJson(answered(question(QStringLiteral("q1"), 1, QStringLiteral("A")), QStringLiteral("A"))),
                               Question::fromJson(answered(question(QStringLiteral("q2"), 1, QStringLiteral("B")), QStringLiteral("C")))};
        model().setReport(report);
        QSignalSpy resets(model().analysisQuestionsModel(), &QAbstractItemModel::modelReset);
        model().showAnalysis(true);
        QCOMPARE(resets.count(), 1);
        const QuestionListModel *list = model().analysisQuestionsModel();
        QCOMPARE(list->rowCount(), 1); // only the wrong one
        QCOMPARE(list->index(0).data(QuestionListModel::QuestionIdRole).toString(), QStringLiteral("q2"));
        QCOMPARE(list->index(0).data(QuestionListModel::UserAnswerRole).toString(), QStringLiteral("C"));
        QVERIFY(!list->index(0).data(QuestionListModel::IsCorrectRole).toBool());
    }

    void menuTreeOpensAndClosesByRows()
    {
        signedIn();
        MenuTreeModel *tree = model().menuTreeModel();
        model().setMenus(::tree());
        // Top-level menus start open; a top-level menu without children shows a practice row of itself.
        QCOMPARE(shown(*tree), (QStringList{"A@0", "A1@1", "A2@1", "B@0", "B@1"}));
        QVERIFY(tree->index(4).data(MenuTreeModel::RepeatsParentRole).toBool());
        const QString pathA = model().menuPath(::tree().at(0), QString());
        QCOMPARE(tree->index(0).data(MenuTreeModel::PathRole).toString(), pathA);
        QCOMPARE(tree->index(1).data(MenuTreeModel::PathRole).toString(),
                 model().menuPath(::tree().at(0).children.at(0), pathA));
        QVERIFY(tree->index(1).data(MenuTreeModel::HasChildrenRole).toBool());
        QVERIFY(!tree->index(1).data(MenuTreeModel::ExpandedRole).toBool());

        QSignalSpy inserted(tree, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(tree, &QAbstractItemModel::rowsRemoved);
        QSignalSpy resets(tree, &QAbstractItemModel::modelReset);

        model().toggleMenuRow(1); // open A1
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(inserted.at(0).at(1).toInt(), 2);
        QCOMPARE(inserted.at(0).at(2).toInt(), 2);
        QCOMPARE(shown(*tree), (QStringList{"A@0", "A1@1", "A11@2", "A2@1", "B@0", "B@1"}));
        QVERIFY(tree->index(1).data(MenuTreeModel::ExpandedRole).toBool());

        model().toggleMenuRow(0); // close A: its three shown descendants go
        QCOMPARE(removed.count(), 1);
        QCOMPARE(removed.at(0).at(1).toInt(), 1);
        QCOMPARE(removed.at(0).at(2).toInt(), 3);
        QCOMPARE(shown(*tree), (QStringList{"A@0", "B@0", "B@1"}));
        QCOMPARE(model().menuExpansionStates().value(pathA), false);

        model().toggleMenu(pathA, true); // open A again: A1 kept its own state
        QCOMPARE(inserted.count(), 2);
        QCOMPARE(shown(*tree), (QStringList{"A@0", "A1@1", "A11@2", "A2@1", "B@0", "B@1"}));
        QCOMPARE(resets.count(), 0);

        // The states are saved: a model started on the same store shows the same rows.
        AppModel restarted(*env->client, *env->defaults, env->clock);
        restarted.setSelectedExamBank(model().selectedExamBank());
        restarted.setMenus(::tree());
        QCOMPARE(shown(*restarted.menuTreeModel()), shown(*tree));
    }

    void menuTreeFollowsTheBanksOwnStates()
    {
        signedIn();
        MenuTreeModel *tree = model().menuTreeModel();
        model().setMenus(::tree());
        model().toggleMenuRow(1);
        QCOMPARE(tree->rowCount(), 6);
        QSignalSpy resets(tree, &QAbstractItemModel::modelReset);
        // Another bank keeps states of its own; the same bank again changes nothing.
        model().setSelectedExamBank(model().selectedExamBank());
        QCOMPARE(resets.count(), 0);
        model().setSelectedExamBank(ExamBank{QStringLiteral("103"), QStringLiteral("经济法基础"), 1});
        QCOMPARE(resets.count(), 1);
        QCOMPARE(shown(*tree), (QStringList{"A@0", "A1@1", "A2@1", "B@0", "B@1"}));
    }

    void collectionFoldersShowEveryLevel()
    {
        signedIn();
        QSignalSpy resets(model().collectionFoldersModel(), &QAbstractItemModel::modelReset);
        model().setCollectionMenus(tree());
        QCOMPARE(resets.count(), 1);
        QCOMPARE(shown(*model().collectionFoldersModel()), (QStringList{"A@0", "A1@1", "A11@2", "A2@1", "B@0"}));
    }

    void bankSelectionMarksTwoRows()
    {
        signedIn();
        const QList<ExamBank> banks{{QStringLiteral("101"), QStringLiteral("行测"), 1},
                                    {QStringLiteral("102"), QStringLiteral("综合素质"), 1},
                                    {QStringLiteral("103"), QStringLiteral("经济法基础"), 1}};
        // The home load publishes the service's bank list.
        env->service.setData(FakeService::initConfigPath, QJsonObject{{QStringLiteral("examBankList"), [&] {
                                                                                     QJsonArray list;
                                                                                     for (const ExamBank &bank : banks)
                                                                                         list.append(bank.toJson());
                                                                                     return list;
                                                                                 }()}});
        env->service.setData(QStringLiteral("/common/getCardMenu"), QJsonArray{});
        QVERIFY(QCoro::waitFor(completes(model().loadHome())));
        const ExamBankListModel *list = model().examBanksModel();
        QCOMPARE(list->rowCount(), 3);
        QVERIFY(list->index(1).data(ExamBankListModel::IsSelectedRole).toBool());

        QSignalSpy changes(list, &QAbstractItemModel::dataChanged);
        model().setSelectedExamBank(banks.at(2));
        QCOMPARE(changedRows(changes), (QSet<int>{1, 2}));
        QCOMPARE(changes.at(0).at(2).value<QList<int>>(), QList<int>{ExamBankListModel::IsSelectedRole});
        QVERIFY(list->index(2).data(ExamBankListModel::IsSelectedRole).toBool());
        QVERIFY(!list->index(1).data(ExamBankListModel::IsSelectedRole).toBool());

        // The selected bank is the row equal in id, name and isShow: the same
        // id under another name or another isShow marks no row.
        const auto marked = [&] {
            QList<int> rows;
            for (int row = 0; row < list->rowCount(); ++row) {
                if (list->index(row).data(ExamBankListModel::IsSelectedRole).toBool())
                    rows.append(row);
            }
            return rows;
        };
        changes.clear();
        model().setSelectedExamBank({QStringLiteral("103"), QStringLiteral("考试类型"), 1});
        QCOMPARE(marked(), QList<int>{});
        QCOMPARE(changedRows(changes), QSet<int>{2});
        changes.clear();
        model().setSelectedExamBank({QStringLiteral("103"), QStringLiteral("经济法基础"), 0});
        QCOMPARE(marked(), QList<int>{});
        QCOMPARE(changes.count(), 0);
        model().setSelectedExamBank(banks.at(2));
        QCOMPARE(marked(), QList<int>{2});
        QCOMPARE(changedRows(changes), QSet<int>{2});
    }

    void realExamsResetOnce()
    {
        signedIn();
        QSignalSpy resets(model().realExamsModel(), &QAbstractItemModel::modelReset);
        model().setRealExams({RealExamSummary{QStringLiteral("e1"), QStringLiteral("2024 真题"), 1}});
        QCOMPARE(resets.count(), 1);
        QCOMPARE(model().realExamsModel()->index(0).data(RealExamListModel::RealExamIdRole).toString(), QStringLiteral("e1"));
        QCOMPARE(model().realExamsModel()->index(0).data(RealExamListModel::NeedVipRole).toInt(), 1);
    }

    void historyPagesInsertAndDeletionRemoves()
    {
        signedIn();
        model().showPracticeHistory();
        const PracticeHistoryListModel *list = model().practiceHistory()->practiceHistoryModel();
        QSignalSpy inserted(list, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(list, &QAbstractItemModel::rowsRemoved);
        QSignalSpy resets(list, &QAbstractItemModel::modelReset);

        env->service.setData(listPath, historyRecords(0, int(PracticeHistoryStore::pageSize)));
        QVERIFY(loadHistory(false));
        QCOMPARE(list->rowCount(), 10);
        env->service.setData(listPath, historyRecords(10, 3));
        QVERIFY(loadHistory(true));
        QCOMPARE(list->rowCount(), 13);
        QCOMPARE(resets.count(), 0);
        QCOMPARE(inserted.count(), 2);
        QCOMPARE(inserted.at(1).at(1).toInt(), 10);
        QCOMPARE(inserted.at(1).at(2).toInt(), 12);
        QCOMPARE(list->index(12).data(PracticeHistoryListModel::RecordIdRole).toString(), QStringLiteral("r12"));

        const bool deleted = QCoro::waitFor(captured(model().deletePracticeHistory({QStringLiteral("r4")}))).value_or(false);
        QVERIFY(deleted);
        QCOMPARE(removed.count(), 1);
        QCOMPARE(removed.at(0).at(1).toInt(), 4);
        QCOMPARE(removed.at(0).at(2).toInt(), 4);
        QCOMPARE(list->rowCount(), 12);
        QCOMPARE(list->index(4).data(PracticeHistoryListModel::RecordIdRole).toString(), QStringLiteral("r5"));
        QCOMPARE(resets.count(), 0);
    }

    // A next page that is not a plain append (a newer record, a listed
    // record again) still ends sorted and announces exactly what changed.
    void historyPageOutOfOrderKeepsTheListSorted()
    {
        signedIn();
        model().showPracticeHistory();
        const PracticeHistoryListModel *list = model().practiceHistory()->practiceHistoryModel();
        env->service.setData(listPath, historyRecords(0, int(PracticeHistoryStore::pageSize)));
        QVERIFY(loadHistory(false));
        QSignalSpy inserted(list, &QAbstractItemModel::rowsInserted);
        QSignalSpy changes(list, &QAbstractItemModel::dataChanged);
        QSignalSpy resets(list, &QAbstractItemModel::modelReset);

        QJsonArray page = historyRecords(10, 1);
        QJsonObject again = historyRecords(5, 1).at(0).toObject();
        again.insert(QStringLiteral("examStatus"), 2);
        page.append(again);
        QJsonObject newer = historyRecords(0, 1).at(0).toObject();
        newer.insert(QStringLiteral("id"), QStringLiteral("newest"));
        newer.insert(QStringLiteral("beginTime"), QString::number(1'800'000'000'001LL));
        page.append(newer);
        env->service.setData(listPath, page);
        QVERIFY(loadHistory(true));

        QCOMPARE(list->rowCount(), 12);
        QCOMPARE(resets.count(), 0);
        QCOMPARE(list->index(0).data(PracticeHistoryListModel::RecordIdRole).toString(), QStringLiteral("newest"));
        QCOMPARE(list->index(11).data(PracticeHistoryListModel::RecordIdRole).toString(), QStringLiteral("r10"));
        QCOMPARE(inserted.count(), 2);
        QCOMPARE(list->index(6).data(PracticeHistoryListModel::RecordIdRole).toString(), QStringLiteral("r5"));
        QVERIFY(list->index(6).data(PracticeHistoryListModel::CompletedRole).toBool());
        QCOMPARE(changedRows(changes), QSet<int>{6});
    }

    void historyCompletionChangesItsRow()
    {
        signedIn();
        model().showPracticeHistory();
        env->service.setData(listPath, historyRecords(0, 3));
        QVERIFY(loadHistory(false));
        const PracticeHistoryListModel *list = model().practiceHistory()->practiceHistoryModel();
        QSignalSpy changes(list, &QAbstractItemModel::dataChanged);
        model().practiceHistory()->cacheCompletedReport(HistoryReport{}, QStringLiteral("r1"));
        QCOMPARE(changedRows(changes), QSet<int>{1});
        QVERIFY(list->index(1).data(PracticeHistoryListModel::CompletedRole).toBool());
    }
};

QTEST_GUILESS_MAIN(TestListModels)
#include "tst_listmodels.moc"
