#include "AppModelTestSupport.h"

#include "app/TransparentAppearanceScale.h"
#include "app/TransparentInkPalette.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>

// Start-up from the store, the screen setter, the appearance settings with
// their debounced ink save, the saved key bindings, the restore helpers and
// the report built on the device. None of this talks to the service.

namespace {

QByteArray json(const QJsonValue &value)
{
    return value.isArray() ? QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact)
                           : QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact);
}

Question choice(const QString &id, QuestionType type, const QString &answer)
{
    Question q;
    q.id = id;
    q.questionType = type;
    q.answer = answer;
    q.questionOptions = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")};
    return q;
}

Question sectionIntro(const QString &id)
{
    Question q;
    q.id = id;
    q.sectionIntro = QuestionSectionIntro{QStringLiteral("第一部分"), QStringLiteral("说明"), 2};
    return q;
}

} // namespace

class TestAppModelState : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startUpFromEmptyStore()
    {
        AppModelEnvironment env;
        AppModel &model = env.makeModel();
        QCOMPARE(model.screen(), AppScreen::login);
        QCOMPARE(model.transparentAppearanceLevel(), 1.0);
        QCOMPARE(model.transparentInkHex(), QStringLiteral("#212636"));
        QCOMPARE(model.transparentInkIntensity(), 1.0);
        QCOMPARE(model.studyTransparencyEnabled(), false);
        QCOMPARE(model.hoverAutoHideEnabled(), false);
        QCOMPARE(model.apiEnvironment(), APIEnvironment::production);
        QVERIFY(model.examBanks().isEmpty());
        QCOMPARE(model.selectedExamBank(), (ExamBank{QStringLiteral("301"), QStringLiteral("考试类型"), 1}));
        QCOMPARE(model.practiceType(), 1);
        QCOMPARE(model.examMode(), ExamMode::practice);
        QCOMPARE(model.examQuestionCount(), 5);
        QCOMPARE(model.questionKeyboardShortcuts(), QuestionKeyboardShortcuts::defaultValue());
        QVERIFY(!model.vipStatusCache());
        QVERIFY(!model.isLoading());
        QVERIFY(!model.errorMessage());
        QVERIFY(model.menuExpansionStates().isEmpty());
        QCOMPARE(TransparentInkPalette::isActive(), false);
        QCOMPARE(TransparentInkPalette::currentHex(), QStringLiteral("#212636"));
        QCOMPARE(TransparentAppearanceScale::currentValue(), 1.0);
        // The ink and its intensity are written back; nothing else is.
        QCOMPARE(env.defaults->object(AppModel::transparentInkHexKey), QVariant(QStringLiteral("#212636")));
        QCOMPARE(env.defaults->object(AppModel::transparentInkIntensityKey), QVariant(1.0));
        QCOMPARE(env.defaults->allKeys().size(), 2);
    }

    void startUpRestoresStoredValues_data()
    {
        QTest::addColumn<QVariantMap>("stored");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("expected"); // the restored value, see readBack()

        const QString level = AppModel::transparentAppearanceLevelKey;
        QTest::newRow("level above range") << QVariantMap{{level, 2.0}} << "level" << QVariant(1.65);
        QTest::newRow("level below range") << QVariantMap{{level, 0.1}} << "level" << QVariant(0.35);
        QTest::newRow("level as text") << QVariantMap{{level, QStringLiteral("1.5")}} << "level" << QVariant(1.0);
        QTest::newRow("level as integer") << QVariantMap{{level, qint64(1)}} << "level" << QVariant(1.0);
        QTest::newRow("level in range") << QVariantMap{{level, 1.2}} << "level" << QVariant(1.2);
        QTest::newRow("level not a number") << QVariantMap{{level, std::numeric_limits<double>::quiet_NaN()}} << "level" << QVariant(1.0);
        QTest::newRow("level infinite") << QVariantMap{{level, -std::numeric_limits<double>::infinity()}} << "level" << QVariant(1.0);

        QTest::newRow("transparency on") << QVariantMap{{QStringLiteral("study_transparency_enabled"), true}}
                                         << "transparency" << QVariant(true);
        QTest::newRow("transparency as number") << QVariantMap{{QStringLiteral("study_transparency_enabled"), qint64(1)}}
                                                << "transparency" << QVariant(false);
        QTest::newRow("auto-hide on") << QVariantMap{{QStringLiteral("hover_auto_hide_enabled"), true}} << "autoHide"
                                      << QVariant(true);
        QTest::newRow("auto-hide as text") << QVariantMap{{QStringLiteral("hover_auto_hide_enabled"), QStringLiteral("YES")}}
                                           << "autoHide" << QVariant(false);

        QTest::newRow("practice type 2") << QVariantMap{{AppModel::practiceTypeKey, qint64(2)}} << "practiceType"
                                         << QVariant(qint64(2));
        QTest::newRow("practice type 3") << QVariantMap{{AppModel::practiceTypeKey, qint64(3)}} << "practiceType"
                                         << QVariant(qint64(1));
        QTest::newRow("review mode") << QVariantMap{{AppModel::examModeKey, qint64(1)}} << "examMode" << QVariant(1);
        QTest::newRow("mode 2 is practice") << QVariantMap{{AppModel::examModeKey, qint64(2)}} << "examMode" << QVariant(0);
        QTest::newRow("set size 40") << QVariantMap{{AppModel::examQuestionCountKey, qint64(40)}} << "count"
                                     << QVariant(qint64(40));
        QTest::newRow("set size 12") << QVariantMap{{AppModel::examQuestionCountKey, qint64(12)}} << "count"
                                     << QVariant(qint64(5));

        QTest::newRow("empty token") << QVariantMap{{AppModel::tokenKey, QString()}} << "screen" << QVariant(int(AppScreen::login));
        QTest::newRow("stored token") << QVariantMap{{AppModel::tokenKey, QStringLiteral("t")}} << "screen"
                                      << QVariant(int(AppScreen::home));

        const QByteArray banks = json(QJsonArray{QJsonObject{{"id", "101"}, {"name", "行测"}, {"isShow", 1}},
                                                 QJsonObject{{"id", "102"}, {"name", "教资"}, {"isShow", 0}}});
        QTest::newRow("stored bank found") << QVariantMap{{AppModel::examBankListCacheKey, banks}, {AppModel::examBankKey, QStringLiteral("102")}}
                                           << "bank" << QVariant(QStringLiteral("102|教资|0"));
        QTest::newRow("stored bank missing") << QVariantMap{{AppModel::examBankListCacheKey, banks}, {AppModel::examBankKey, QStringLiteral("999")}}
                                             << "bank" << QVariant(QStringLiteral("999|考试类型|1"));
        QTest::newRow("bank list as text") << QVariantMap{{AppModel::examBankListCacheKey, QString::fromUtf8(banks)}}
                                           << "bankCount" << QVariant(0);
        QTest::newRow("bank list corrupt") << QVariantMap{{AppModel::examBankListCacheKey, QByteArray("[{\"id\":")}}
                                           << "bankCount" << QVariant(0);

        QTest::newRow("expansion dictionary") << QVariantMap{{QStringLiteral("home_menu_expansion"), QVariantMap{{"a", true}, {"b", false}}}}
                                              << "expansion" << QVariant(2);
        QTest::newRow("expansion with a foreign value") << QVariantMap{{QStringLiteral("home_menu_expansion"), QVariantMap{{"a", true}, {"b", qint64(1)}}}}
                                                        << "expansion" << QVariant(0);
    }

    void startUpRestoresStoredValues()
    {
        QFETCH(QVariantMap, stored);
        QFETCH(QString, key);
        QFETCH(QVariant, expected);
        AppModelEnvironment env;
        for (auto it = stored.cbegin(); it != stored.cend(); ++it)
            env.defaults->setValue(it.key(), it.value());
        AppModel &model = env.makeModel();
        QCOMPARE(readBack(model, key), expected);
        // The level is never written back at start-up.
        const QVariant levelAfter = env.defaults->object(AppModel::transparentAppearanceLevelKey);
        const QVariant levelBefore = stored.value(AppModel::transparentAppearanceLevelKey);
        QCOMPARE(levelAfter.typeId(), levelBefore.typeId());
        QCOMPARE(levelAfter.toString(), levelBefore.toString());
    }

    void startUpInk_data()
    {
        QTest::addColumn<QVariant>("storedInk");
        QTest::addColumn<QVariant>("storedIntensity");
        QTest::addColumn<QString>("ink");
        QTest::addColumn<double>("intensity");
        QTest::addColumn<QVariant>("inkAfter");
        QTest::addColumn<QVariant>("intensityAfter");

        const QVariant none;
        QTest::newRow("blanks and lower case") << QVariant(QStringLiteral("  212636\n")) << QVariant(0.5) << "#212636" << 0.5
                                               << QVariant(QStringLiteral("#212636")) << QVariant(0.5);
        QTest::newRow("unreadable ink") << QVariant(QStringLiteral("#12")) << QVariant(0.5) << "#212636" << 0.5
                                        << QVariant(QStringLiteral("#212636")) << QVariant(0.5);
        QTest::newRow("black with intensity") << QVariant(QStringLiteral("#000000")) << QVariant(0.8) << "#0D0D0D" << 0.8
                                              << QVariant(QStringLiteral("#0D0D0D")) << QVariant(0.8);
        QTest::newRow("black without intensity") << QVariant(QStringLiteral("#000000")) << none << "#FFFFFF" << 0.1
                                                 << QVariant(QStringLiteral("#FFFFFF")) << QVariant(0.1);
        QTest::newRow("dark ink without intensity") << QVariant(QStringLiteral("#1a0d0d")) << none << "#FF8080" << 26 / 255.0
                                                    << QVariant(QStringLiteral("#FF8080")) << QVariant(26 / 255.0);
        QTest::newRow("bright ink without intensity") << QVariant(QStringLiteral("#22A06B")) << none << "#22A06B" << 1.0
                                                      << QVariant(QStringLiteral("#22A06B")) << QVariant(1.0);
        QTest::newRow("intensity 5") << QVariant(QStringLiteral("#22A06B")) << QVariant(5.0) << "#22A06B" << 1.0
                                     << QVariant(QStringLiteral("#22A06B")) << QVariant(1.0);
        // Stored exactly: not written, so the stored kind stays an integer.
        QTest::newRow("intensity exactly one") << QVariant(QStringLiteral("#22A06B")) << QVariant(qint64(1)) << "#22A06B" << 1.0
                                               << QVariant(QStringLiteral("#22A06B")) << QVariant(qint64(1));
        QTest::newRow("intensity not a number counts as missing")
            << QVariant(QStringLiteral("#000000")) << QVariant(std::numeric_limits<double>::quiet_NaN()) << "#FFFFFF" << 0.1
            << QVariant(QStringLiteral("#FFFFFF")) << QVariant(0.1);
        QTest::newRow("intensity as text") << QVariant(QStringLiteral("#22A06B")) << QVariant(QStringLiteral("0.5")) << "#22A06B"
                                           << 1.0 << QVariant(QStringLiteral("#22A06B")) << QVariant(1.0);
    }

    void startUpInk()
    {
        QFETCH(QVariant, storedInk);
        QFETCH(QVariant, storedIntensity);
        QFETCH(QString, ink);
        QFETCH(double, intensity);
        QFETCH(QVariant, inkAfter);
        QFETCH(QVariant, intensityAfter);
        AppModelEnvironment env;
        env.defaults->setValue(AppModel::transparentInkHexKey, storedInk);
        env.defaults->setValue(AppModel::transparentInkIntensityKey, storedIntensity);
        AppModel &model = env.makeModel();
        QCOMPARE(model.transparentInkHex(), ink);
        QVERIFY(qFuzzyCompare(model.transparentInkIntensity(), intensity));
        QCOMPARE(TransparentInkPalette::currentHex(), ink);
        QCOMPARE(TransparentInkPalette::currentIntensity(), model.transparentInkIntensity());
        QCOMPARE(env.defaults->object(AppModel::transparentInkHexKey), inkAfter);
        const QVariant storedAfter = env.defaults->object(AppModel::transparentInkIntensityKey);
        QCOMPARE(storedAfter.typeId(), intensityAfter.typeId());
        QVERIFY(qFuzzyCompare(storedAfter.toDouble(), intensityAfter.toDouble()));
    }

    void startUpActivatesPaletteOnlyWithTokenAndTransparency()
    {
        AppModelEnvironment env;
        env.defaults->setValue(QStringLiteral("study_transparency_enabled"), true);
        env.makeModel();
        QCOMPARE(TransparentInkPalette::isActive(), false); // login screen
        env.defaults->setValue(AppModel::tokenKey, QStringLiteral("t"));
        env.makeModel();
        QCOMPARE(TransparentInkPalette::isActive(), true);
    }

    void screenSetterMirrorsAndFlushes()
    {
        AppModelEnvironment env;
        env.defaults->setValue(AppModel::tokenKey, QStringLiteral("t"));
        env.defaults->setValue(QStringLiteral("study_transparency_enabled"), true);
        AppModel &model = env.makeModel();
        QSignalSpy screenSpy(&model, &AppModel::screenChanged);
        QSignalSpy willChange(&model, &AppModel::objectWillChange);

        model.setScreen(AppScreen::purchase);
        QCOMPARE(TransparentInkPalette::isActive(), false);
        model.setScreen(AppScreen::home);
        QCOMPARE(TransparentInkPalette::isActive(), true);

        // Every assignment publishes and saves the ink, even an unchanged screen.
        model.setTransparentInkHex(QStringLiteral("#22a06b"));
        QVERIFY(model.hasPendingInkSave());
        model.setScreen(AppScreen::home);
        QCOMPARE(screenSpy.size(), 3);
        QVERIFY(willChange.size() >= 3);
        QVERIFY(!model.hasPendingInkSave());
        QCOMPARE(env.defaults->string(AppModel::transparentInkHexKey), QStringLiteral("#22A06B"));
    }

    void transparencySwitch()
    {
        AppModelEnvironment env;
        AppModel &model = env.makeModel(); // login screen
        model.setStudyTransparencyEnabled(true);
        QCOMPARE(env.defaults->object(QStringLiteral("study_transparency_enabled")), QVariant(true));
        QCOMPARE(TransparentInkPalette::isActive(), false);

        model.setScreen(AppScreen::home);
        QCOMPARE(TransparentInkPalette::isActive(), true);

        // Switching on does not flush; switching off saves the pending ink at once.
        model.setTransparentInkIntensity(0.4);
        model.setStudyTransparencyEnabled(true);
        QVERIFY(model.hasPendingInkSave());
        model.setStudyTransparencyEnabled(false);
        QVERIFY(!model.hasPendingInkSave());
        QCOMPARE(env.defaults->object(AppModel::transparentInkIntensityKey), QVariant(0.4));
        QCOMPARE(TransparentInkPalette::isActive(), false);

        model.setHoverAutoHideEnabled(true);
        QCOMPARE(env.defaults->object(QStringLiteral("hover_auto_hide_enabled")), QVariant(true));
    }

    void appearanceLevel()
    {
        AppModelEnvironment env;
        AppModel &model = env.makeModel();
        model.setTransparentAppearanceLevel(2.0);
        QCOMPARE(model.transparentAppearanceLevel(), 2.0);
        QCOMPARE(TransparentAppearanceScale::currentValue(), 2.0);
        QCOMPARE(env.defaults->object(AppModel::transparentAppearanceLevelKey), QVariant(2.0));

        // Not a number: ignored entirely.
        QSignalSpy spy(&model, &AppModel::transparentAppearanceLevelChanged);
        model.setTransparentAppearanceLevel(std::numeric_limits<double>::quiet_NaN());
        model.setTransparentAppearanceLevel(std::numeric_limits<double>::infinity());
        QCOMPARE(spy.size(), 0);
        QCOMPARE(model.transparentAppearanceLevel(), 2.0);
        QCOMPARE(env.defaults->object(AppModel::transparentAppearanceLevelKey), QVariant(2.0));

        // The next start clamps it.
        AppModel &next = env.makeModel();
        QCOMPARE(next.transparentAppearanceLevel(), 1.65);
    }

    void inkInput_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected"); // empty: rejected, nothing changes
        QTest::newRow("lower case with blanks") << QStringLiteral("  #22a06b  ") << QStringLiteral("#22A06B");
        QTest::newRow("black is raised") << QStringLiteral("000000") << TransparentInkPalette::hex(QStringLiteral("#000000"), 0.05);
        QTest::newRow("at the floor stays") << QStringLiteral("#0D0000") << QStringLiteral("#0D0000");
        QTest::newRow("five digits") << QStringLiteral("#22a06") << QString();
        QTest::newRow("not hex") << QStringLiteral("#22a0zz") << QString();
    }

    void inkInput()
    {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        AppModelEnvironment env;
        AppModel &model = env.makeModel();
        QSignalSpy spy(&model, &AppModel::transparentInkHexChanged);
        model.setTransparentInkHex(input);
        if (expected.isEmpty()) {
            QCOMPARE(spy.size(), 0);
            QVERIFY(!model.hasPendingInkSave());
            QCOMPARE(model.transparentInkHex(), QStringLiteral("#212636"));
            return;
        }
        QCOMPARE(model.transparentInkHex(), expected);
        QCOMPARE(TransparentInkPalette::currentHex(), expected);
        // Saved only after the quiet period.
        QCOMPARE(env.defaults->string(AppModel::transparentInkHexKey), QStringLiteral("#212636"));
        QTRY_COMPARE_WITH_TIMEOUT(env.defaults->string(AppModel::transparentInkHexKey), std::optional(expected), 2000);
        QVERIFY(!model.hasPendingInkSave());
    }

    void inkSaveIsDebounced()
    {
        AppModelEnvironment env;
        AppModel &model = env.makeModel();
        model.setTransparentInkHex(QStringLiteral("#112233"));
        QTest::qWait(100);
        model.setTransparentInkIntensity(1.5);
        QCOMPARE(model.transparentInkIntensity(), 1.0);
        model.setTransparentInkIntensity(0.0);
        QCOMPARE(model.transparentInkIntensity(), 0.1);
        QTest::qWait(200);
        // 300 ms after the first change: the first wait was cancelled.
        QCOMPARE(env.defaults->string(AppModel::transparentInkHexKey), QStringLiteral("#212636"));
        QCOMPARE(env.defaults->object(AppModel::transparentInkIntensityKey), QVariant(1.0));
        QTRY_COMPARE_WITH_TIMEOUT(env.defaults->string(AppModel::transparentInkHexKey), std::optional(QStringLiteral("#112233")), 2000);
        QCOMPARE(env.defaults->object(AppModel::transparentInkIntensityKey), QVariant(0.1));

        // A value that is not a number changes nothing and schedules nothing.
        model.setTransparentInkIntensity(std::numeric_limits<double>::quiet_NaN());
        QCOMPARE(model.transparentInkIntensity(), 0.1);
        QVERIFY(!model.hasPendingInkSave());
    }

    void restoreDefaultInkSavesAtOnce()
    {
        AppModelEnvironment env;
        AppModel &model = env.makeModel();
        model.setTransparentInkHex(QStringLiteral("#445566"));
        model.setTransparentInkIntensity(0.3);
        model.restoreDefaultTransparentInk();
        QVERIFY(!model.hasPendingInkSave());
        QCOMPARE(env.defaults->string(AppModel::transparentInkHexKey), QStringLiteral("#212636"));
        QCOMPARE(env.defaults->object(AppModel::transparentInkIntensityKey), QVariant(1.0));
        QCOMPARE(TransparentInkPalette::currentIntensity(), 1.0);
    }

    void discardedModelSavesNothingLate()
    {
        AppModelEnvironment env;
        AppModel &model = env.makeModel();
        model.setTransparentInkHex(QStringLiteral("#445566"));
        env.model.reset();
        QTest::qWait(400);
        QCOMPARE(env.defaults->string(AppModel::transparentInkHexKey), QStringLiteral("#212636"));
    }

    void keyBindingsSaveOnlyWhenValid()
    {
        AppModelEnvironment env;
        AppModel &model = env.makeModel();
        QuestionKeyboardShortcuts valid = QuestionKeyboardShortcuts::defaultValue();
        valid.bindings.insert(QuestionShortcutAction::optionA, QStringLiteral("q"));
        model.setQuestionKeyboardShortcuts(valid);
        QCOMPARE(AppModel::restoreQuestionKeyboardShortcuts(AppModel::questionKeyboardShortcutsKey, *env.defaults), valid);

        QuestionKeyboardShortcuts clash = valid;
        clash.bindings.insert(QuestionShortcutAction::optionB, QStringLiteral("q"));
        QSignalSpy spy(&model, &AppModel::questionKeyboardShortcutsChanged);
        model.setQuestionKeyboardShortcuts(clash);
        QCOMPARE(spy.size(), 1);
        QCOMPARE(model.questionKeyboardShortcuts(), clash);
        QCOMPARE(AppModel::restoreQuestionKeyboardShortcuts(AppModel::questionKeyboardShortcutsKey, *env.defaults), valid);
        QCOMPARE(env.makeModel().questionKeyboardShortcuts(), valid);
    }

    void restoreHelpersFallBack()
    {
        AppModelEnvironment env;
        const QString key = QStringLiteral("k");
        QVERIFY(AppModel::restoreExamBanks(key, *env.defaults).isEmpty());
        QCOMPARE(AppModel::restoreQuestionKeyboardShortcuts(key, *env.defaults), QuestionKeyboardShortcuts::defaultValue());
        QVERIFY(!AppModel::restoreVIPStatusCache(key, *env.defaults));

        env.defaults->setValue(key, QByteArray("not json"));
        QVERIFY(AppModel::restoreExamBanks(key, *env.defaults).isEmpty());
        QCOMPARE(AppModel::restoreQuestionKeyboardShortcuts(key, *env.defaults), QuestionKeyboardShortcuts::defaultValue());
        QVERIFY(!AppModel::restoreVIPStatusCache(key, *env.defaults));

        const VIPStatusCache cache{5, 6, {VIPExpireItem{QStringLiteral("101"), 99}}};
        env.defaults->setValue(key, json(cache.toJson()));
        const auto restored = AppModel::restoreVIPStatusCache(key, *env.defaults);
        QVERIFY(restored);
        QCOMPARE(restored->fetchedAtMilliseconds, 6);
        QCOMPARE(restored->userVipList, cache.userVipList);
        // The standard store is the default place.
        QVERIFY(AppModel::restoreVIPStatusCache(key).has_value());
    }

    void computedProperties()
    {
        AppModelEnvironment env;
        AppModel &model = env.makeModel();
        QVERIFY(!model.token());
        env.defaults->setValue(AppModel::tokenKey, QString());
        QVERIFY(!model.token());
        env.defaults->setValue(AppModel::tokenKey, QStringLiteral("abc"));
        QCOMPARE(model.token(), QStringLiteral("abc"));

        QCOMPARE(model.lastSuccessfulLoginMobile(), QString());
        env.defaults->setValue(AppModel::mobileKey, QStringLiteral("13800138000"));
        QCOMPARE(model.lastSuccessfulLoginMobile(), QStringLiteral("13800138000"));
        env.defaults->setValue(AppModel::lastSuccessfulLoginMobileKey, QString());
        QCOMPARE(model.lastSuccessfulLoginMobile(), QString());

        const auto xingCe = [&model](const QString &name) {
            model.setSelectedExamBank(ExamBank{QStringLiteral("1"), name, 1});
            return model.isXingCeBank();
        };
        QVERIFY(xingCe(QStringLiteral("2025年行政职业能力测验（省考）")));
        QVERIFY(xingCe(QStringLiteral("国考行测")));
        QVERIFY(!xingCe(QStringLiteral("行政能力")));
        QVERIFY(!xingCe(QStringLiteral("申论")));
    }

    void mobileNumberRule_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("eleven ascii digits") << QStringLiteral("13800138000") << true;
        QTest::newRow("ten digits") << QStringLiteral("1380013800") << false;
        QTest::newRow("ten digits and a letter") << QStringLiteral("1380013800a") << false;
        QTest::newRow("twelve digits") << QStringLiteral("138001380001") << false;
        // Decimal digits of any script pass; they go out as ASCII digits.
        QTest::newRow("full-width digits") << QStringLiteral("１３８００１３８０００") << true;
        QTest::newRow("arabic-indic digits") << QStringLiteral("١٣٨٠٠١٣٨٠٠٠") << true;
        QTest::newRow("superscript digit") << QStringLiteral("1380013800²") << false;
        QTest::newRow("surrounding blank") << QStringLiteral(" 3800138000") << false;
        QTest::newRow("empty") << QString() << false;
    }

    void mobileNumberRule()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QCOMPARE(AppModel::isValidMobileNumber(text), valid);
    }

    void localReport_data()
    {
        QTest::addColumn<QList<Question>>("questions");
        QTest::addColumn<QStringList>("answers"); // id=answer pairs
        QTest::addColumn<qint64>("right");
        QTest::addColumn<qint64>("wrong");
        QTest::addColumn<qint64>("unanswered");

        const QList<Question> mixed{
            sectionIntro(QStringLiteral("intro")),
            choice(QStringLiteral("s"), QuestionType::single, QStringLiteral("b")),
            choice(QStringLiteral("m"), QuestionType::multiple, QStringLiteral("A,C")),
            choice(QStringLiteral("t"), QuestionType::answer, QStringLiteral("要点")),
        };
        QTest::newRow("all right") << mixed << QStringList{"s=B", "m=CA", "t=要点"} << qint64(3) << qint64(0) << qint64(0);
        QTest::newRow("missing and extra letters") << mixed << QStringList{"m=ACD", "t=要点 "} << qint64(0) << qint64(2) << qint64(1);
        QTest::newRow("blank answer is wrong, not unanswered") << mixed << QStringList{"s=  ", "m=", "t="} << qint64(0) << qint64(1)
                                                               << qint64(2);
        QTest::newRow("key without letters is never right")
            << QList<Question>{choice(QStringLiteral("d"), QuestionType::single, QStringLiteral("1"))} << QStringList{"d=A"}
            << qint64(0) << qint64(1) << qint64(0);
        QTest::newRow("only introductions") << QList<Question>{sectionIntro(QStringLiteral("i1")), sectionIntro(QStringLiteral("i2"))}
                                            << QStringList{} << qint64(0) << qint64(0) << qint64(0);
    }

    void localReport()
    {
        QFETCH(QList<Question>, questions);
        QFETCH(QStringList, answers);
        QFETCH(qint64, right);
        QFETCH(qint64, wrong);
        QFETCH(qint64, unanswered);
        AppModelEnvironment env;
        AppModel &model = env.makeModel();
        QHash<QString, QString> given;
        for (const QString &pair : answers)
            given.insert(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1));
        model.setAnswers(given);

        QuestionModel set;
        set.questionList = questions;
        set.materialsList = {Material{QStringLiteral("m1"), QStringLiteral("材料"), QStringLiteral("<p/>")}};
        const HistoryReport report = AppModelTestProbe::makeLocalReport(model, set, 10, 3);
        QCOMPARE(report.rightNum, right);
        QCOMPARE(report.wrongNum, wrong);
        QCOMPARE(report.unAnswerNum, unanswered);
        QCOMPARE(report.useTime, QStringLiteral("10"));
        QCOMPARE(report.commitTime, QString::number(AppModelEnvironment::startTime));
        QCOMPARE(report.examId, QStringLiteral("local"));
        QVERIFY(report.logId.startsWith(QStringLiteral("local-")));
        QCOMPARE(report.logId.size(), 6 + 36);
        QCOMPARE(report.logId, report.logId.toUpper().replace(QStringLiteral("LOCAL-"), QStringLiteral("local-")));
        QCOMPARE(report.materialsList, set.materialsList);
        QVERIFY(!report.extraInfo);
        for (const Question &q : report.questionList) {
            QVERIFY(!q.sectionIntro);
            QCOMPARE(q.useTime, QStringLiteral("3"));
            QCOMPARE(q.userAnswer, given.value(q.id));
        }
        QCOMPARE(report.rightNum + report.wrongNum + report.unAnswerNum, qint64(report.questionList.size()));
    }

    void localReportTitle()
    {
        AppModelEnvironment env;
        AppModel &model = env.makeModel();
        QuestionModel set;
        QCOMPARE(AppModelTestProbe::makeLocalReport(model, set, 0, 0).title, QStringLiteral("配套练习"));
        CardMenu menu;
        menu.name = QStringLiteral("逻辑填空");
        AppModelTestProbe::setSelectedMenu(model, menu);
        QCOMPARE(AppModelTestProbe::makeLocalReport(model, set, 0, 0).title, QStringLiteral("逻辑填空"));
        set.title = QString();
        QCOMPARE(AppModelTestProbe::makeLocalReport(model, set, 0, 0).title, QString());
        // A new id for every report.
        QVERIFY(AppModelTestProbe::makeLocalReport(model, set, 0, 0).logId
                != AppModelTestProbe::makeLocalReport(model, set, 0, 0).logId);
    }

private:
    static QVariant readBack(const AppModel &model, const QString &what)
    {
        if (what == QLatin1String("level"))
            return model.transparentAppearanceLevel();
        if (what == QLatin1String("transparency"))
            return model.studyTransparencyEnabled();
        if (what == QLatin1String("autoHide"))
            return model.hoverAutoHideEnabled();
        if (what == QLatin1String("practiceType"))
            return model.practiceType();
        if (what == QLatin1String("examMode"))
            return int(model.examMode());
        if (what == QLatin1String("count"))
            return model.examQuestionCount();
        if (what == QLatin1String("screen"))
            return int(model.screen());
        if (what == QLatin1String("bank")) {
            const ExamBank &b = model.selectedExamBank();
            return QStringLiteral("%1|%2|%3").arg(b.id, b.name).arg(b.isShow);
        }
        if (what == QLatin1String("bankCount"))
            return int(model.examBanks().size());
        if (what == QLatin1String("expansion"))
            return int(model.menuExpansionStates().size());
        return {};
    }
};

QTEST_GUILESS_MAIN(TestAppModelState)
#include "tst_appmodel_state.moc"
