#include "AppModelTestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>

// Exam banks, practice type and settings, and the menu tree with its
// expansion keys.

using namespace AppModelTest;

namespace {
CardMenu menuNode(const QString &id, const QString &name, QList<CardMenu> children = {})
{
    CardMenu menu;
    menu.menuId = id;
    menu.name = name;
    menu.children = std::move(children);
    return menu;
}

} // namespace

class TestAppModelHome : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void loadHomeAdoptsBanksAndTree()
    {
        AppModelEnvironment env;
        env.storeToken();
        AppModel &model = env.makeModel();
        env.wait(model.loadHome());
        QVERIFY(!model.isLoading());
        QCOMPARE(model.examBanks().size(), 4); // isShow plays no part
        // "301" is not listed: the first bank is selected and stored.
        QCOMPARE(model.selectedExamBank().id, QStringLiteral("101"));
        QCOMPARE(env.defaults->string(AppModel::examBankKey), QStringLiteral("101"));
        QCOMPARE(AppModel::restoreExamBanks(AppModel::examBankListCacheKey, *env.defaults), model.examBanks());
        // A 行测 bank always asks for the tree by knowledge point.
        QVERIFY(model.isXingCeBank());
        QCOMPARE(env.service.lastRequest(cardMenuPath)->json.toObject().value("type").toInt(), 2);
        QCOMPARE(menuIds(model.menus()), (QStringList{"m101-1", "m101-2", "m101-3", "m101-4"}));
    }

    void loadHomeFailures()
    {
        AppModelEnvironment env;
        env.storeToken();
        AppModel &model = env.makeModel();
        env.service.failWithStatus(initConfigPath, 502, 1);
        env.wait(model.loadHome());
        QCOMPARE(model.errorMessage(), QStringLiteral("服务器错误（HTTP 502）"));
        QVERIFY(model.examBanks().isEmpty());
        QCOMPARE(env.service.sendCount(cardMenuPath), 0);
        QVERIFY(!model.isLoading());

        env.wait(model.loadHome());
        const QList<CardMenu> tree = model.menus();
        env.service.failWithStatus(cardMenuPath, 500, 1);
        env.service.setData(initConfigPath, QJsonObject{{"examBankList", QJsonArray{QJsonObject{{"id", "101"}, {"name", "新名字"}}}}});
        env.wait(model.loadHome());
        QCOMPARE(model.examBanks(), (QList<ExamBank>{bank("101", "新名字")})); // adopted before the tree failed
        QCOMPARE(menuIds(model.menus()), menuIds(tree));
        QVERIFY(!model.isLoading());
    }

    void bankListCleaning_data()
    {
        QTest::addColumn<QList<ExamBank>>("incoming");
        QTest::addColumn<QList<ExamBank>>("expected");
        QTest::newRow("repeated id keeps the first")
            << QList<ExamBank>{bank("a", "A"), bank("a", "A2"), bank("b", "B")} << QList<ExamBank>{bank("a", "A"), bank("b", "B")};
        QTest::newRow("blank id or name dropped")
            << QList<ExamBank>{bank(" \n", "A"), bank("b", "\t"), bank("c", "C")} << QList<ExamBank>{bank("c", "C")};
        QTest::newRow("ids differing by blanks are different")
            << QList<ExamBank>{bank("a", "A"), bank(" a", "A")} << QList<ExamBank>{bank("a", "A"), bank(" a", "A")};
        QTest::newRow("nothing usable changes nothing") << QList<ExamBank>{bank("", "A"), bank("b", "")} << QList<ExamBank>{};
    }

    void bankListCleaning()
    {
        QFETCH(QList<ExamBank>, incoming);
        QFETCH(QList<ExamBank>, expected);
        AppModelEnvironment env;
        const QList<ExamBank> previous{bank("301", "旧")};
        env.defaults->setValue(AppModel::examBankListCacheKey, QJsonDocument(encodeList(previous)).toJson());
        env.defaults->setValue(AppModel::examBankKey, QStringLiteral("301"));
        AppModel &model = env.makeModel();
        AppModelTestProbe::applyExamBanks(model, incoming);
        if (expected.isEmpty()) {
            QCOMPARE(model.examBanks(), previous);
            QCOMPARE(model.selectedExamBank(), bank("301", "旧"));
            QCOMPARE(AppModel::restoreExamBanks(AppModel::examBankListCacheKey, *env.defaults), previous);
            return;
        }
        QCOMPARE(model.examBanks(), expected);
        QCOMPARE(model.selectedExamBank(), expected.first());
        QCOMPARE(env.defaults->string(AppModel::examBankKey), expected.first().id);
        QCOMPARE(AppModel::restoreExamBanks(AppModel::examBankListCacheKey, *env.defaults), expected);
    }

    void listedSelectionTakesTheNewNameWithoutRewritingTheKey()
    {
        AppModelEnvironment env;
        AppModel &model = env.makeModel(); // "301" by default, not stored
        AppModelTestProbe::applyExamBanks(model, {bank("1", "x"), bank("301", "改名")});
        QCOMPARE(model.selectedExamBank(), bank("301", "改名"));
        QVERIFY(!env.defaults->contains(AppModel::examBankKey));
    }

    void selectExamBank()
    {
        AppModelEnvironment env;
        env.storeToken();
        AppModel &model = env.makeModel();
        env.wait(model.loadHome());
        env.service.clearLog();

        env.wait(model.selectExamBank(model.selectedExamBank()));
        QCOMPARE(env.service.requests().size(), 0);

        QSignalSpy menusSpy(&model, &AppModel::menusChanged);
        env.wait(model.selectExamBank(bank("102", "教师资格证·综合素质（中学）")));
        QCOMPARE(env.defaults->string(AppModel::examBankKey), QStringLiteral("102"));
        QVERIFY(menusSpy.size() >= 2); // emptied, then the new tree
        QCOMPARE(menuIds(model.menus()), (QStringList{"t102-1", "t102-2", "t102-3"}));
        QCOMPARE(model.realExams().size(), 1);
        QCOMPARE(env.service.lastRequest(listPath)->json.toObject().value("examBankId").toString(), QStringLiteral("102"));
        QVERIFY(!model.isLoading());

        // Same id, another name: a full switch.
        env.service.clearLog();
        env.wait(model.selectExamBank(bank("102", "改名")));
        QCOMPARE(env.service.sendCount(cardMenuPath), 1);
        QCOMPARE(env.service.sendCount(listPath), 1);
    }

    void selectPracticeType_data()
    {
        QTest::addColumn<QString>("bankId");
        QTest::addColumn<qint64>("type");
        QTest::addColumn<bool>("switches");
        QTest::newRow("knowledge point") << "103" << qint64(2) << true;
        QTest::newRow("current type") << "103" << qint64(1) << false;
        QTest::newRow("zero") << "103" << qint64(0) << false;
        QTest::newRow("three") << "103" << qint64(3) << false;
        QTest::newRow("行测 bank") << "101" << qint64(2) << false;
    }

    void selectPracticeType()
    {
        QFETCH(QString, bankId);
        QFETCH(qint64, type);
        QFETCH(bool, switches);
        AppModelEnvironment env;
        env.storeToken();
        env.defaults->setValue(AppModel::examBankKey, bankId);
        AppModel &model = env.makeModel();
        env.wait(model.loadHome());
        env.service.clearLog();
        env.wait(model.selectPracticeType(type));
        if (!switches) {
            QCOMPARE(model.practiceType(), 1);
            QVERIFY(!model.noticeMessage());
            QCOMPARE(env.service.requests().size(), 0);
            return;
        }
        QCOMPARE(model.practiceType(), 2);
        QCOMPARE(env.defaults->object(AppModel::practiceTypeKey), QVariant(qint64(2)));
        QCOMPARE(model.noticeMessage(), QStringLiteral("已切换到按知识点刷题"));
        QCOMPARE(env.service.lastRequest(cardMenuPath)->json.toObject().value("type").toInt(), 2);
        QCOMPARE(menuIds(model.menus()), (QStringList{"m103-1", "m103-2"}));
        QCOMPARE(env.service.sendCount(listPath), 0); // past papers are not reloaded
        env.wait(model.selectPracticeType(1));
        QCOMPARE(model.noticeMessage(), QStringLiteral("已切换到按题型刷题"));
    }

    void examSettings()
    {
        AppModelEnvironment env;
        AppModel &model = env.makeModel();
        model.updateExamSettings(ExamMode::review, 12, QuestionKeyboardShortcuts::defaultValue());
        QCOMPARE(model.examQuestionCount(), 5);
        QVERIFY(!model.noticeMessage());
        QuestionKeyboardShortcuts clash = QuestionKeyboardShortcuts::defaultValue();
        clash.bindings.insert(QuestionShortcutAction::optionB, QStringLiteral("z"));
        model.updateExamSettings(ExamMode::review, 20, clash);
        QCOMPARE(model.examMode(), ExamMode::practice);
        QVERIFY(!model.noticeMessage());

        model.updateExamSettings(ExamMode::review, 20, QuestionKeyboardShortcuts::defaultValue());
        QCOMPARE(model.noticeMessage(), QStringLiteral("已设置为背题模式，每组 20 道"));
        QCOMPARE(env.defaults->object(AppModel::examModeKey), QVariant(qint64(1)));
        QCOMPARE(env.defaults->object(AppModel::examQuestionCountKey), QVariant(qint64(20)));
        QVERIFY(env.defaults->data(AppModel::questionKeyboardShortcutsKey));
        model.updateExamSettings(ExamMode::practice, 5, QuestionKeyboardShortcuts::defaultValue());
        QCOMPARE(model.noticeMessage(), QStringLiteral("已设置为做题模式，每组 5 道"));

        AppModel &next = env.makeModel();
        QCOMPARE(next.examMode(), ExamMode::practice);
        QCOMPARE(next.examQuestionCount(), 5);
    }

    void menuPathText()
    {
        AppModelEnvironment env;
        env.defaults->setValue(AppModel::examBankKey, QStringLiteral("103"));
        AppModel &model = env.makeModel();
        CardMenu top;
        top.menuId = QStringLiteral("5001");
        const QString parent = model.menuPath(top, QString());
        QCOMPARE(parent, QStringLiteral("[\"production\",\"103\",\"1\",\"\",\"1\",\"5001\"]"));
        CardMenu child;
        child.menuId = QStringLiteral("5002");
        QCOMPARE(model.menuPath(child, parent),
                 QStringLiteral("[\"production\",\"103\",\"1\",\"[\\\"production\\\",\\\"103\\\",\\\"1\\\",\\\"\\\",\\\"1\\\",\\\"5001\\\"]\",\"1\",\"5002\"]"));

        // Solidus escaped, non-ASCII written as it is, control characters escaped.
        CardMenu odd;
        odd.menuId = QStringLiteral("知识/点\\\n\x01");
        odd.questionType = QuestionType::answer;
        QCOMPARE(model.menuPath(odd, QString()), QStringLiteral("[\"production\",\"103\",\"1\",\"\",\"3\",\"知识\\/点\\\\\\n\\u0001\"]"));

        // Text that is not valid UTF-16 cannot be encoded: the parent path stands in.
        CardMenu broken;
        broken.menuId = QString(QChar(0xD800));
        QCOMPARE(model.menuPath(broken, parent), parent);

        // Environment, bank, practice type and parent all tell the rows apart.
        QSet<QString> keys{parent, model.menuPath(top, QStringLiteral("x"))};
        model.setApiEnvironment(APIEnvironment::test);
        keys.insert(model.menuPath(top, QString()));
        model.setApiEnvironment(APIEnvironment::production);
        model.setSelectedExamBank(bank("104", "n"));
        keys.insert(model.menuPath(top, QString()));
        model.setPracticeType(2);
        keys.insert(model.menuPath(top, QString()));
        QCOMPARE(keys.size(), 5);
    }

    // Each toggle is written to the store at once, so a program that ends
    // right after it keeps it.
    void toggleMenuPersists()
    {
        AppModelEnvironment env;
        AppModel &model = env.makeModel();
        model.toggleMenu(QStringLiteral("k"));
        QCOMPARE(model.menuExpansionStates().value(QStringLiteral("k")), true);
        QCOMPARE(env.defaults->dictionary(QStringLiteral("home_menu_expansion")), (QVariantMap{{"k", true}}));
        model.toggleMenu(QStringLiteral("k"));
        QCOMPARE(env.defaults->dictionary(QStringLiteral("home_menu_expansion")), (QVariantMap{{"k", false}}));
        model.toggleMenu(QStringLiteral("other"), true);
        QCOMPARE(env.defaults->dictionary(QStringLiteral("home_menu_expansion")), (QVariantMap{{"k", false}, {"other", false}}));
        QCOMPARE(env.makeModel().menuExpansionStates(), (QHash<QString, bool>{{"k", false}, {"other", false}}));
    }

    void graphicReasoning_data()
    {
        QTest::addColumn<QString>("selectedMenuName"); // empty: no open set's menu
        QTest::addColumn<QString>("questionMenuId");
        QTest::addColumn<bool>("expected");
        QTest::newRow("nested under a named menu") << QString() << "leaf" << true;
        QTest::newRow("named itself") << QString() << "tu" << true;
        QTest::newRow("plain branch") << QString() << "plain-leaf" << false;
        QTest::newRow("in the collection folders") << QString() << "folder-leaf" << true;
        QTest::newRow("unknown menu") << QString() << "nowhere" << false;
        QTest::newRow("open set's menu so named") << QStringLiteral("图推专练") << "nowhere" << true;
    }

    void graphicReasoning()
    {
        QFETCH(QString, selectedMenuName);
        QFETCH(QString, questionMenuId);
        QFETCH(bool, expected);
        AppModelEnvironment env;
        AppModel &model = env.makeModel();
        model.setMenus({menuNode("plain", "言语", {menuNode("plain-leaf", "逻辑填空")}),
                        menuNode("root", "判断推理", {menuNode("mid", "2024 图形推理 精选", {menuNode("leaf", "规律类")})}),
                        menuNode("tu", "图推")});
        AppModelTestProbe::setCollectionMenusDirect(model, {menuNode("folder", "图形推理收藏", {menuNode("folder-leaf", "x")})});
        if (!selectedMenuName.isEmpty())
            AppModelTestProbe::setSelectedMenu(model, menuNode("s", selectedMenuName));
        Question question;
        question.menuId = questionMenuId;
        QCOMPARE(model.isGraphicReasoningQuestion(question), expected);
    }
};

QTEST_GUILESS_MAIN(TestAppModelHome)
#include "tst_appmodel_home.moc"
