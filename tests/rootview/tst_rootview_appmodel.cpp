// The root view driven by the real application model: what the user does in
// the header, the ink card and the banners reaches the model, the palette
// and the user defaults.
#include "AppModelTestProbe.h"
#include "app/AppModel.h"
#include "app/TransparentAppearanceScale.h"
#include "app/TransparentInkPalette.h"
#include "networking/APIClient.h"
#include "platform/Clock.h"
#include "platform/UserDefaults.h"
#include "views/RootViewState.h"

#include "ViewTestSupport.h"

#include <QQuickItem>
#include <QQuickView>
#include <QTemporaryDir>
#include <QTest>
#include <QtQml/QQmlExtensionPlugin>

Q_IMPORT_QML_PLUGIN(VuzoPlugin)

using ViewTest::centreOf;
using ViewTest::settle;

class TestRootViewWithAppModel : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<UserDefaults> m_defaults;
    ManualClock m_clock{1'700'000'000'000};
    std::unique_ptr<AppModel> m_model;
    std::unique_ptr<QQuickView> m_view;

    QQuickItem *item(const char *name) const { return ViewTest::namedItem(m_view->rootObject(), name); }
    void click(const QPoint &point) { QTest::mouseClick(m_view.get(), Qt::LeftButton, {}, point); }
    void click(const QQuickItem *target) { click(centreOf(target)); }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_defaults = std::make_unique<UserDefaults>(m_dir.filePath(QStringLiteral("defaults.json")));
        UserDefaults::setStandard(m_defaults.get());
        m_defaults->setValue(QStringLiteral("key_rav_adiror_phone_num"), QStringLiteral("13812345678"));
        m_model = std::make_unique<AppModel>(APIClient::shared(), *m_defaults, m_clock);
        // The home screen's start-up load would go to a service that is not there.
        AppModelTestProbe::markHomeStarted(*m_model);
        m_model->setScreen(AppScreen::home);

        m_view = std::make_unique<QQuickView>();
        const QString failure = ViewTest::showRootView(*m_view, m_model.get());
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }

    void cleanup()
    {
        m_view.reset();
        m_model.reset();
        UserDefaults::setStandard(nullptr);
        m_defaults.reset();
    }

    void headerControlsWriteTheModel()
    {
        QCOMPARE(item("maskedMobile")->property("text").toString(), QStringLiteral("138****5678"));

        click(item("transparencyToggle"));
        QVERIFY(m_model->studyTransparencyEnabled());
        QVERIFY(TransparentInkPalette::isActive());
        QVERIFY(m_defaults->boolean(QStringLiteral("study_transparency_enabled")));
        settle();
        QVERIFY(!item("maskedMobile")->isVisible());

        click(item("autoHideSwitch"));
        QVERIFY(m_model->hoverAutoHideEnabled());
        QVERIFY(m_defaults->boolean(QStringLiteral("hover_auto_hide_enabled")));

        auto *slider = item("appearanceSlider");
        click(slider->mapToScene(QPointF(1, 12)).toPoint());
        QCOMPARE(m_model->transparentAppearanceLevel(), 0.35);
        QCOMPARE(TransparentAppearanceScale::currentValue(), 0.35);
        QCOMPARE(m_defaults->doubleValue(QStringLiteral("transparent_appearance_level")), 0.35);
        // A level below 1 fades the screens in the transparent look.
        QTRY_VERIFY(std::abs(item("screenArea")->opacity() - 0.35) < 1e-6);
    }

    void inkCardSavesTheInkOnEveryWayOut()
    {
        m_model->setStudyTransparencyEnabled(true);
        settle();
        click(item("inkButton"));
        settle();
        auto *field = item("inkHexField");
        click(field);
        QTest::keySequence(m_view.get(), QKeySequence::SelectAll);
        for (const char key : {'2', '2', 'a', '0', '6', 'b'})
            QTest::keyClick(m_view.get(), key);
        QCOMPARE(m_model->transparentInkHex(), QStringLiteral("#22A06B"));
        QCOMPARE(TransparentInkPalette::currentHex(), QStringLiteral("#22A06B"));
        auto *slider = item("inkIntensitySlider");
        click(slider->mapToScene(QPointF(slider->width() / 2, 12)).toPoint());
        QVERIFY(std::abs(m_model->transparentInkIntensity() - 0.55) < 0.01);
        QVERIFY(m_model->hasPendingInkSave());

        // The backdrop closes the card and saves at once.
        click(QPoint(20, m_view->height() - 20));
        QVERIFY(!m_view->rootObject()->property("viewState").value<RootViewState *>()->showingInkColorSettings());
        QVERIFY(!m_model->hasPendingInkSave());
        QCOMPARE(m_defaults->string(QStringLiteral("transparent_ink_color")).value_or(QString()), QStringLiteral("#22A06B"));

        // A screen change closes it too, and saves what was changed.
        click(item("inkButton"));
        settle();
        click(item("inkRestoreButton"));
        QCOMPARE(m_model->transparentInkHex(), QStringLiteral("#212636"));
        QCOMPARE(m_defaults->doubleValue(QStringLiteral("transparent_ink_intensity")), 1.0);
        m_model->setScreen(AppScreen::collections);
        QVERIFY(!m_view->rootObject()->property("viewState").value<RootViewState *>()->showingInkColorSettings());
    }

    void bannersAndZoomClearTheModel()
    {
        m_model->setNoticeMessage(QStringLiteral("登录成功"));
        m_model->setErrorMessage(QStringLiteral("请求失败"));
        settle();
        QCOMPARE(item("bannerText")->property("text").toString(), QStringLiteral("请求失败"));
        QVERIFY(!m_model->noticeMessage().has_value()); // pushed aside by the error
        click(item("bannerCloseButton"));
        QVERIFY(!m_model->errorMessage().has_value());

        m_model->setZoomFeedback(ZoomFeedback{QUuid::createUuid(), 1.05});
        settle();
        QCOMPARE(item("zoomPercent")->property("text").toString(), QStringLiteral("105%"));
        click(QPoint(40, m_view->height() - 40));
        QVERIFY(!m_model->zoomFeedback().has_value());
    }
};

QTEST_MAIN(TestRootViewWithAppModel)
#include "tst_rootview_appmodel.moc"
