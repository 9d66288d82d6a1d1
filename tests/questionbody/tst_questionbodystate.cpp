// The state objects of a question page on a real model: option marks that
// follow the answers row by row, the multiple-choice lock and confirm button,
// the subjective reveal, navigation, the collect button against the fake
// service, and the pages the material view keeps mounted.

#include "PracticeTestSupport.h"

#include "CollectionButtonState.h"
#include "MaterialPageWindow.h"
#include "QuestionBodyState.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

using namespace PracticeTest;
using Feedback = QuestionBodyRules::OptionFeedback;

namespace {

Question make(const QString &id, QuestionType type, const QString &answer, int options = 4)
{
    return Question::fromJson(question(id, int(type), answer, options));
}

Question inMaterial(const QString &id, const QString &materialsId)
{
    QJsonObject json = question(id, 1, QStringLiteral("A"));
    json.insert(QStringLiteral("materialsId"), materialsId);
    return Question::fromJson(json);
}

Question intro(const QString &id)
{
    return Question::fromJson(sectionIntro(id));
}

// "." unmarked, "s" selected; then "+" correct or "x" wrong pick.
QString marks(const OptionListModel &options)
{
    QString text;
    for (int row = 0; row < options.rowCount(); ++row) {
        const QModelIndex index = options.index(row);
        text += options.data(index, OptionListModel::SelectedRole).toBool() ? u's' : u'.';
        const auto feedback = Feedback(options.data(index, OptionListModel::FeedbackRole).toInt());
        text += feedback == Feedback::correct ? u'+' : feedback == Feedback::wrongPick ? u'x' : u' ';
    }
    return text.trimmed();
}

// The rows that changed, each once.
QList<int> changedRows(const QSignalSpy &spy)
{
    QList<int> rows;
    for (const auto &call : spy)
        for (int row = call.at(0).toModelIndex().row(); row <= call.at(1).toModelIndex().row(); ++row)
            rows.append(row);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

} // namespace

class TestQuestionBodyState : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Environment> env;
    AppModel &model() { return *env->model; }

    std::unique_ptr<QuestionBodyState> page(const QString &questionId)
    {
        auto state = std::make_unique<QuestionBodyState>();
        state->setModel(&model());
        state->setQuestionId(questionId);
        return state;
    }

private Q_SLOTS:
    void init()
    {
        env = std::make_unique<Environment>();
        env->makeModel();
    }
    void cleanup() { env.reset(); }

    void singleChoiceMarksChangeRowByRow()
    {
        model().setExamMode(ExamMode::review);
        model().setQuestions({make(QStringLiteral("1"), QuestionType::single, QStringLiteral("A")),
                              make(QStringLiteral("2"), QuestionType::single, QStringLiteral("C"))});
        auto state = page(QStringLiteral("1"));
        QAbstractItemModelTester tester(state->options(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(state->options()->rowCount(), 4);
        QCOMPARE(state->options()->data(state->options()->index(3), OptionListModel::LetterRole).toString(),
                 QStringLiteral("D"));
        QVERIFY(!state->showsReviewResult());

        QSignalSpy resets(state->options(), &QAbstractItemModel::modelReset);
        QSignalSpy changes(state->options(), &QAbstractItemModel::dataChanged);
        state->choose(QStringLiteral("B")); // review, not last: reveals at once
        QVERIFY(state->revealed());
        QCOMPARE(marks(*state->options()), QStringLiteral(".+sx. ."));
        QCOMPARE(changedRows(changes), (QList<int>{0, 1}));
        QVERIFY(state->showsReviewResult());
        QCOMPARE(state->correctAnswer(), QStringLiteral("A"));

        // Revealed: a second pick is refused by the model, nothing changes.
        changes.clear();
        state->choose(QStringLiteral("C"));
        QCOMPARE(model().answers().value(QStringLiteral("1")), QStringLiteral("B"));
        QVERIFY(changes.isEmpty());

        // Another question's answer leaves this page's rows alone.
        auto other = page(QStringLiteral("2"));
        model().setCurrentQuestionIndex(1);
        other->choose(QStringLiteral("C"));
        QVERIFY(changes.isEmpty());
        QCOMPARE(resets.count(), 0);

        // Practice mode shows no marks whatever is revealed.
        model().setExamMode(ExamMode::practice);
        QCOMPARE(marks(*state->options()), QStringLiteral(". s . ."));
        QVERIFY(!state->showsReviewResult());
    }

    void multipleChoiceConfirmAndLock_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("taps");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("labelBefore");
        QTest::addColumn<bool>("revealedAfterConfirm");
        QTest::addColumn<qint64>("indexAfterConfirm");

        QTest::newRow("practice moves on") << 0 << QStringList{"C", "A"} << "A,C" << "确认并进入下一题" << false
                                           << qint64(1);
        QTest::newRow("review reveals") << 1 << QStringList{"C", "A"} << "A,C" << "确定" << true << qint64(0);
        QTest::newRow("taps toggle") << 1 << QStringList{"A", "B", "A"} << "B" << "确定" << true << qint64(0);
        QTest::newRow("emptied answer confirms nothing") << 1 << QStringList{"A", "A"} << "" << "确定" << false
                                                         << qint64(0);
    }
    void multipleChoiceConfirmAndLock()
    {
        QFETCH(int, mode);
        QFETCH(QStringList, taps);
        QFETCH(QString, stored);
        QFETCH(QString, labelBefore);
        QFETCH(bool, revealedAfterConfirm);
        QFETCH(qint64, indexAfterConfirm);

        model().setExamMode(ExamMode(mode));
        model().setQuestions({make(QStringLiteral("m"), QuestionType::multiple, QStringLiteral("A,C")),
                              make(QStringLiteral("n"), QuestionType::multiple, QStringLiteral("B"))});
        auto state = page(QStringLiteral("m"));
        QVERIFY(state->showsConfirmButton());
        QVERIFY(!state->hasAnswer());
        QCOMPARE(state->confirmOpacity(), 0.42);

        for (const QString &tap : std::as_const(taps))
            state->choose(tap);
        QCOMPARE(model().answers().value(QStringLiteral("m")), stored);
        QCOMPARE(state->hasAnswer(), !stored.isEmpty());
        QCOMPARE(state->confirmOpacity(), stored.isEmpty() ? 0.42 : 1.0);
        QCOMPARE(state->confirmLabel(), labelBefore);

        state->confirm();
        QCOMPARE(state->revealed(), revealedAfterConfirm);
        QCOMPARE(model().currentQuestionIndex(), indexAfterConfirm);
        QCOMPARE(state->locked(), revealedAfterConfirm);
        QCOMPARE(state->showsConfirmButton(), !revealedAfterConfirm);
        QCOMPARE(state->showsReviewResult(), revealedAfterConfirm);

        // Once locked, taps change nothing; unlocked, they still toggle.
        state->choose(QStringLiteral("D"));
        const QString afterTap = model().answers().value(QStringLiteral("m"));
        QCOMPARE(afterTap == stored, revealedAfterConfirm);
    }

    void lastQuestionLabels()
    {
        model().setExamMode(ExamMode::review);
        model().setQuestions({make(QStringLiteral("m"), QuestionType::multiple, QStringLiteral("A")),
                              make(QStringLiteral("s"), QuestionType::answer, QString())});
        auto multiple = page(QStringLiteral("m"));
        auto subjective = page(QStringLiteral("s"));
        QCOMPARE(multiple->confirmLabel(), QStringLiteral("确定"));
        QCOMPARE(subjective->revealLabel(), QStringLiteral("查看解析"));
        // The labels follow the model's current question, not the page's own.
        model().setCurrentQuestionIndex(1);
        QCOMPARE(multiple->confirmLabel(), QStringLiteral("确认并交卷"));
        QCOMPARE(subjective->revealLabel(), QStringLiteral("确认并交卷"));
        QVERIFY(!multiple->canGoNext());
        QVERIFY(multiple->canGoPrevious());
    }

    void subjectiveQuestionReveals()
    {
        model().setQuestions({make(QStringLiteral("s"), QuestionType::answer, QStringLiteral("要点"), 0),
                              make(QStringLiteral("t"), QuestionType::single, QStringLiteral("A"))});
        auto state = page(QStringLiteral("s"));
        QCOMPARE(state->typeTag(), QStringLiteral("简答题"));
        QCOMPARE(state->options()->rowCount(), 0);
        QVERIFY(!state->showsAnalysisCard());
        QVERIFY(!state->showsConfirmButton());
        state->confirm();
        QVERIFY(state->showsAnalysisCard());
        QVERIFY(!state->showsReviewResult()); // never for a subjective question
        QCOMPARE(state->analysisHtml(), QStringLiteral("暂无解析"));
        QCOMPARE(model().currentQuestionIndex(), qint64(0));
    }

    void navigation_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<qint64>("current");
        QTest::addColumn<bool>("previous");
        QTest::addColumn<bool>("next");
        QTest::newRow("one question") << 1 << qint64(0) << false << false;
        QTest::newRow("first") << 3 << qint64(0) << false << true;
        QTest::newRow("middle") << 3 << qint64(1) << true << true;
        QTest::newRow("last") << 3 << qint64(2) << true << false;
    }
    void navigation()
    {
        QFETCH(int, count);
        QFETCH(qint64, current);
        QFETCH(bool, previous);
        QFETCH(bool, next);
        QList<Question> set;
        for (int i = 0; i < count; ++i)
            set.append(make(QString::number(i), QuestionType::single, QStringLiteral("A")));
        model().setQuestions(set);
        model().setCurrentQuestionIndex(current);
        auto state = page(QStringLiteral("0")); // not necessarily the current page
        QCOMPARE(state->canGoPrevious(), previous);
        QCOMPARE(state->canGoNext(), next);
        state->goNext();
        QCOMPARE(model().currentQuestionIndex(), std::min<qint64>(current + 1, count - 1));
    }

    void unknownQuestionShowsNothing()
    {
        model().setQuestions({make(QStringLiteral("1"), QuestionType::single, QStringLiteral("A"))});
        auto state = page(QStringLiteral("gone"));
        QVERIFY(!state->valid());
        QCOMPARE(state->options()->rowCount(), 0);
        state->choose(QStringLiteral("A"));
        QVERIFY(model().answers().isEmpty());
        // The set replaced under a mounted page: the page follows it.
        model().setQuestions({make(QStringLiteral("gone"), QuestionType::multiple, QStringLiteral("B"), 3)});
        QVERIFY(state->valid());
        QCOMPARE(state->options()->rowCount(), 3);
        QCOMPARE(state->typeTag(), QStringLiteral("多选题"));
    }

    void lookFollowsTransparency()
    {
        model().setQuestions({make(QStringLiteral("1"), QuestionType::single, QStringLiteral("A"))});
        auto state = page(QStringLiteral("1"));
        QCOMPARE(state->inkHex(), QString());
        QCOMPARE(state->htmlTextOpacity(), 0.86);
        QSignalSpy changed(state.get(), &QuestionBodyState::changed);
        model().setStudyTransparencyEnabled(true);
        QVERIFY(!changed.isEmpty());
        QCOMPARE(state->inkHex(), model().transparentInkHex());
        QCOMPARE(state->htmlTextOpacity(), 1.0);
    }

    // A change of the collected state shows only what the service confirmed.
    void collectButton_data()
    {
        QTest::addColumn<bool>("isCollect");
        QTest::addColumn<QString>("outcome"); // confirmed, refused, failed
        QTest::addColumn<bool>("collectedAfter");
        QTest::addColumn<QString>("error");

        QTest::newRow("collect") << false << "confirmed" << true << QString();
        QTest::newRow("uncollect") << true << "confirmed" << false << QString();
        QTest::newRow("refused") << false << "refused" << false << QStringLiteral("收藏操作失败，请重试");
        QTest::newRow("service error") << true << "failed" << true << QString("*");
    }
    void collectButton()
    {
        QFETCH(bool, isCollect);
        QFETCH(QString, outcome);
        QFETCH(bool, collectedAfter);
        QFETCH(QString, error);

        if (outcome == QLatin1String("failed"))
            env->service.failWithStatus(collectPath, 500);
        else
            answerWith(env->service, collectPath, outcome == QLatin1String("confirmed"));
        env->service.holdReplies(collectPath);

        CollectionButtonState button;
        button.setModel(&model());
        button.setQuestionId(QStringLiteral("88"));
        button.setQuestionIsCollect(isCollect);
        QCOMPARE(button.key(), QStringLiteral("102:88"));
        QCOMPARE(button.text(), isCollect ? QStringLiteral("已收藏") : QStringLiteral("收藏"));
        QCOMPARE(button.toolTip(), isCollect ? QStringLiteral("取消收藏这道题") : QStringLiteral("收藏这道题"));

        button.toggle();
        button.toggle(); // a quick second click while the first is in flight
        QCOMPARE(button.text(), QStringLiteral("处理中"));
        QCOMPARE(button.symbol(), isCollect ? QStringLiteral("star.fill") : QStringLiteral("star"));
        QCOMPARE(button.toolTip(), isCollect ? QStringLiteral("取消收藏这道题") : QStringLiteral("收藏这道题"));
        QVERIFY(!button.enabled());

        QTRY_COMPARE(env->service.heldReplyCount(collectPath), 1);
        env->service.releaseReplies(collectPath);
        QTRY_VERIFY(button.enabled());
        QCOMPARE(env->service.sendCount(collectPath), 1);
        QCOMPARE(button.collected(), collectedAfter);
        QCOMPARE(button.symbol(), collectedAfter ? QStringLiteral("star.fill") : QStringLiteral("star"));
        QCOMPARE(button.text(), collectedAfter ? QStringLiteral("已收藏") : QStringLiteral("收藏"));
        if (error == QLatin1String("*"))
            QVERIFY(!model().errorMessage().value_or(QString()).isEmpty());
        else
            QCOMPARE(model().errorMessage().value_or(QString()), error);
    }

    void collectStateIsPerBank()
    {
        answerWith(env->service, collectPath, true);
        CollectionButtonState button;
        button.setModel(&model());
        button.setQuestionId(QStringLiteral("88"));
        button.toggle();
        QTRY_VERIFY(button.collected());
        QVERIFY(button.enabled());

        model().setSelectedExamBank(ExamBank{QStringLiteral("103"), QStringLiteral("另一题库"), 1});
        QCOMPARE(button.key(), QStringLiteral("103:88"));
        QVERIFY(!button.collected()); // the question's own flag again
        // An override of false wins over the question's flag.
        model().setCollectionOverrides({{QStringLiteral("103:88"), false}});
        button.setQuestionIsCollect(true);
        QCOMPARE(button.text(), QStringLiteral("收藏"));
    }

    void materialPages_data()
    {
        QTest::addColumn<QStringList>("materials"); // per question: material id, "-" none, "intro"
        QTest::addColumn<qint64>("current");
        QTest::addColumn<QString>("material");
        QTest::addColumn<QList<qint64>>("pages");

        QTest::newRow("alone") << QStringList{"m", "-", "-"} << qint64(0) << "m" << QList<qint64>{0};
        QTest::newRow("five of one") << QStringList{"m", "m", "m", "m", "m", "m", "m"} << qint64(3) << "m"
                                     << QList<qint64>{1, 2, 3, 4, 5};
        QTest::newRow("another material skipped") << QStringList{"m", "k", "m", "m"} << qint64(2) << "m"
                                                  << QList<qint64>{0, 2, 3};
        QTest::newRow("trimmed ids") << QStringList{" m\n", "m"} << qint64(0) << "m " << QList<qint64>{0, 1};
        QTest::newRow("intro never") << QStringList{"intro", "m"} << qint64(1) << "m" << QList<qint64>{1};
        QTest::newRow("case matters") << QStringList{"M", "m"} << qint64(1) << "m" << QList<qint64>{1};
        QTest::newRow("empty set") << QStringList{} << qint64(0) << "m" << QList<qint64>{};
    }
    void materialPages()
    {
        QFETCH(QStringList, materials);
        QFETCH(qint64, current);
        QFETCH(QString, material);
        QFETCH(QList<qint64>, pages);
        QList<Question> set;
        for (int i = 0; i < materials.size(); ++i) {
            const QString id = QString::number(i);
            if (materials.at(i) == QLatin1String("intro"))
                set.append(intro(id));
            else if (materials.at(i) == QLatin1String("-"))
                set.append(make(id, QuestionType::single, QStringLiteral("A")));
            else
                set.append(inMaterial(id, materials.at(i)));
        }
        QCOMPARE(MaterialPageWindow::visibleQuestionIndices(set, current, material), pages);
    }

    void materialPagesMoveWithoutReset()
    {
        QList<Question> set;
        for (int i = 0; i < 8; ++i)
            set.append(inMaterial(QString::number(i), QStringLiteral("m")));
        model().setQuestions(set);
        MaterialPageWindow window;
        QAbstractItemModelTester tester(&window, QAbstractItemModelTester::FailureReportingMode::QtTest);
        window.setModel(&model());
        window.setMaterialId(QStringLiteral("m"));
        QSignalSpy resets(&window, &QAbstractItemModel::modelReset);
        QSignalSpy inserts(&window, &QAbstractItemModel::rowsInserted);
        QSignalSpy removes(&window, &QAbstractItemModel::rowsRemoved);
        QCOMPARE(window.count(), 3);

        model().moveQuestion(1);
        QCOMPARE(window.count(), 4);
        QCOMPARE(inserts.count(), 1);
        model().setCurrentQuestionIndex(7);
        const auto ids = [&window] {
            QStringList out;
            for (int row = 0; row < window.rowCount(); ++row)
                out << window.data(window.index(row), MaterialPageWindow::QuestionIdRole).toString();
            return out;
        };
        QCOMPARE(ids(), (QStringList{"5", "6", "7"}));
        QCOMPARE(removes.count(), 4);
        QCOMPARE(resets.count(), 0);
    }
};

QTEST_MAIN(TestQuestionBodyState)
#include "tst_questionbodystate.moc"
