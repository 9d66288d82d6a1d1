#include "AppModelTestSupport.h"
#include "ExamSettingsDraft.h"
#include "KeyCaptureRules.h"
#include "ShellFakes.h"
#include "SymbolIcon.h"
#include "Theme.h"
#include "WindowShortcutControllerSingleton.h"
#include "WindowShortcutRecorder.h"
#include "views/AppModelSingleton.h"
#include "views/Theme.h"
#include "views/WindowHeaderState.h"

#include <QAccessible>
#include <QDirIterator>
#include <QKeyEvent>
#include <QWheelEvent>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>

#include <memory>

Q_IMPORT_QML_PLUGIN(VuzoPlugin)

using namespace AppModelTest;

namespace {

// The hot-key row's texts as the user reads them, with this desktop's key names.
const QString hotKeyRefusal = QStringLiteral("请使用带 Alt、Ctrl 或 Super 的组合键。");
const QString hotKeyHint = QStringLiteral("点击换绑，按住 Alt、Ctrl 或 Super 再按一个键；Esc 取消。");

// The answer-key refusal as the user reads it, with this desktop's key names.
const QString answerKeyRefusal = QStringLiteral("请按一个不带 Ctrl、Alt 或 Super 的按键");

const QString questionPath = QStringLiteral("/exam/getQuestionByMenuId");

QJsonObject menuNode(const QString &id, const QString &name, int questionType, QJsonArray children = {})
{
    return QJsonObject{{"id", id}, {"examBankId", "102"}, {"questionType", questionType}, {"menuType", 2}, {"name", name},
                       {"parentId", ""}, {"needVip", 0}, {"cnt", 20}, {"userWorkCnt", 3}, {"children", children}};
}

} // namespace

// The home screen as the user meets it, on the real model and the fake
// service: banks, practice type, the menu tree, past papers, the settings
// panel with its key capture, and signing out.
class TestHomeView : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<AppModelEnvironment> m_env;
    std::unique_ptr<QQuickView> m_view;
    MemoryStore m_hotKeyStore;
    FakeHotKeyBackend *m_backend = nullptr;
    std::unique_ptr<WindowShortcutController> m_hotKeys;

    AppModel &model() const { return *m_env->model; }
    // Items of that name in the visual tree (views' delegates and headers
    // are visual children only).
    static void collect(QQuickItem *item, const QString &name, QList<QQuickItem *> &found)
    {
        if (item->objectName() == name)
            found.append(item);
        const auto children = item->childItems();
        for (QQuickItem *child : children)
            collect(child, name, found);
    }
    QList<QQuickItem *> items(const QString &name) const
    {
        QList<QQuickItem *> found;
        collect(m_view->contentItem(), name, found);
        return found;
    }
    QQuickItem *find(const QString &name) const
    {
        const auto all = items(name);
        return all.isEmpty() ? nullptr : all.first();
    }
    // The visible item of that name (delegates and slots can leave hidden twins).
    QQuickItem *visibleItem(const QString &name) const
    {
        const auto all = items(name);
        for (QQuickItem *item : all) {
            if (item->isVisible() && item->width() > 0)
                return item;
        }
        return nullptr;
    }
    void click(QQuickItem *target, Qt::KeyboardModifiers modifiers = {})
    {
        QVERIFY(target);
        const QPointF centre = target->mapToScene(QPointF(target->width() / 2, target->height() / 2));
        QTest::mouseClick(m_view.get(), Qt::LeftButton, modifiers, centre.toPoint());
    }
    // Scrolls the settings card to its end, where "确定" is, and presses it.
    void confirmSettings()
    {
        QQuickItem *scroller = visibleItem(QStringLiteral("settingsScroller"));
        QVERIFY(scroller);
        scroller->setProperty("contentY", std::max(0.0, scroller->property("contentHeight").toDouble() - scroller->height()));
        QTest::qWait(30);
        click(visibleItem(QStringLiteral("settingsConfirm")));
    }
    // A key as Qt's X11 platform delivers it: the modifiers are the X state
    // before the key (a modifier's own press does not carry itself), with the
    // X key code and the keysym as native codes.
    void xKey(QEvent::Type type, int qtKey, Qt::KeyboardModifiers stateBefore, quint32 xKeyCode, quint32 keysym,
              const QString &text = {})
    {
        QKeyEvent event(type, qtKey, stateBefore, xKeyCode, keysym, 0, text);
        QCoreApplication::sendEvent(m_view.get(), &event);
    }
    void clickAt(QPoint point) { QTest::mouseClick(m_view.get(), Qt::LeftButton, {}, point); }
    QString textOf(const QString &name) const
    {
        QQuickItem *item = visibleItem(name);
        return item ? item->property("text").toString() : QString();
    }
    QQuickItem *menuRow(const QString &name) const
    {
        const auto rows = items(QStringLiteral("menuPracticeRow"));
        for (QQuickItem *row : rows) {
            QQuickItem *delegate = row->parentItem()->parentItem();
            if (row->isVisible() && delegate->property("name").toString() == name)
                return row;
        }
        return nullptr;
    }
    int rowCount() const
    {
        return model().menuTreeModel()->rowCount();
    }

    // Signed in on bank `bank`; the screen loads its data.
    bool show(const QString &bank = QStringLiteral("102"), bool transparent = false)
    {
        showView(bank, transparent);
        return !QTest::currentTestFailed();
    }
    void showView(const QString &bank, bool transparent)
    {
        m_env->storeToken();
        m_env->defaults->setValue(AppModel::examBankKey, bank);
        m_env->defaults->setValue(QStringLiteral("study_transparency_enabled"), transparent);
        m_env->makeModel();
        m_view = std::make_unique<QQuickView>();
        m_view->engine()->addImportPath(QStringLiteral("qrc:/"));
        AppModelSingleton::install(m_view->engine(), &model());
        m_view->setResizeMode(QQuickView::SizeRootObjectToView);
        m_view->resize(960, 760);
        m_view->setColor(transparent ? QColor(120, 140, 160) : QColor(Qt::white));
        m_view->setSource(QUrl(QStringLiteral("qrc:/Vuzo/HomeView.qml")));
        QVERIFY2(m_view->status() == QQuickView::Ready, qPrintable(QDebug::toString(m_view->errors())));
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
        m_view->requestActivate();
        QTRY_VERIFY(m_view->isActive());
        QTRY_VERIFY(rowCount() > 0);
        QTRY_VERIFY(model().realExamsModel()->rowCount() > 0);
        QTRY_VERIFY(!model().isLoading());
        QTest::qWait(50);
    }
    void screenshot(const QString &name)
    {
        // Looked at while developing: VUZO_SCREENSHOT_DIR=/tmp ctest -R tst_homeview
        const QString shots = qEnvironmentVariable("VUZO_SCREENSHOT_DIR");
        if (!shots.isEmpty())
            m_view->grabWindow().save(shots + QStringLiteral("/home-") + name + QStringLiteral(".png"));
    }

private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<AppModelEnvironment>();
        m_hotKeyStore.values.clear();
        auto backend = std::make_unique<FakeHotKeyBackend>();
        m_backend = backend.get();
        m_hotKeys = std::make_unique<WindowShortcutController>(std::move(backend), m_hotKeyStore);
        m_hotKeys->start();
        WindowShortcutControllerSingleton::instance = m_hotKeys.get();
    }
    void cleanup()
    {
        m_view.reset();
        m_env.reset();
        WindowShortcutControllerSingleton::instance = nullptr;
        m_hotKeys.reset();
    }

    void startUpShowsBanksMenusAndPapersOnce()
    {
        if (!show())
            return;
        screenshot(QStringLiteral("normal"));
        QCOMPARE(m_env->service.requests(initConfigPath).size(), 1);
        QCOMPARE(m_env->service.requests(listPath).size(), 1);
        QCOMPARE(textOf(QStringLiteral("selectedBankName")), model().selectedExamBank().name);
        QCOMPARE(textOf(QStringLiteral("practiceSectionTitle")), QStringLiteral("按题型刷题"));
        QCOMPARE(visibleItem(QStringLiteral("examSettingsButton"))->property("text").toString(), QStringLiteral("做题模式 · 5题"));
        QVERIFY(!visibleItem(QStringLiteral("menuEmptyState")));
        // Every card is open: a top-level menu without children shows its own practice row.
        QCOMPARE(rowCount(), 2 * int(model().menus().size()));
        QVERIFY(menuRow(model().menus().first().name));
    }

    // "刷新" reloads the home data, not the past papers.
    void refreshLoadsTheHomeDataOnly()
    {
        if (!show())
            return;
        const qsizetype configs = m_env->service.requests(initConfigPath).size();
        const qsizetype menus = m_env->service.requests(cardMenuPath).size();
        const qsizetype papers = m_env->service.requests(listPath).size();
        click(visibleItem(QStringLiteral("homeRefreshButton")));
        QTRY_COMPARE(m_env->service.requests(cardMenuPath).size(), menus + 1);
        QTRY_VERIFY(!model().isLoading());
        QTest::qWait(100);
        QCOMPARE(m_env->service.requests(initConfigPath).size(), configs + 1);
        QCOMPARE(m_env->service.requests(listPath).size(), papers);
    }

    void practiceTypeSwitchReloadsTheTree()
    {
        if (!show())
            return;
        click(visibleItem(QStringLiteral("practiceType2")));
        QTRY_COMPARE(model().practiceType(), qint64(2));
        QTRY_COMPARE(textOf(QStringLiteral("practiceSectionTitle")), QStringLiteral("按知识点刷题"));
        QTRY_VERIFY(!model().isLoading());
        QTRY_VERIFY(rowCount() > 0);
        QCOMPARE(m_env->service.lastRequest(cardMenuPath)->json.toObject().value("type").toInt(), 2);
    }

    void chevronExpandsOnlyItsNodeAndRowOpensItsOwnMenu()
    {
        // Two nodes share a menu id but not their question type.
        const QJsonArray tree{menuNode("a", "甲", 1, {menuNode("a1", "甲一", 1, {menuNode("dup", "重复一", 1)}),
                                                       menuNode("dup", "重复二", 3)})};
        m_env->service.setData(cardMenuPath, tree);
        if (!show())
            return;
        QCOMPARE(rowCount(), 3); // 甲, 甲一 (closed), 重复二
        QQuickItem *parentRow = menuRow(QStringLiteral("甲一"));
        QVERIFY(parentRow);
        QSignalSpy inserted(model().menuTreeModel(), &QAbstractItemModel::rowsInserted);
        QSignalSpy reset(model().menuTreeModel(), &QAbstractItemModel::modelReset);
        QList<QQuickItem *> chevrons;
        collect(parentRow->parentItem(), QStringLiteral("menuChevron"), chevrons);
        QQuickItem *chevron = chevrons.value(0);
        click(chevron);
        QTRY_COMPARE(rowCount(), 4);
        QCOMPARE(inserted.size(), 1);
        QCOMPARE(reset.size(), 0);
        // The new row is laid out on the list's next polish and the rows below
        // slide down; clicks wait until 重复二 sits wholly below 重复一.
        const auto sceneTop = [this](const QString &name) {
            QQuickItem *row = menuRow(name);
            return row ? row->mapToScene(QPointF()).y() : -1e9;
        };
        QTRY_VERIFY(menuRow(QStringLiteral("重复一"))
                    && sceneTop(QStringLiteral("重复二")) >= sceneTop(QStringLiteral("重复一")) + menuRow(QStringLiteral("重复一"))->height());

        click(menuRow(QStringLiteral("重复二")));
        QTRY_VERIFY(m_env->service.lastRequest(questionPath).has_value());
        QCOMPARE(m_env->service.lastRequest(questionPath)->json.toObject().value("questionType").toInt(), 3);
        QTRY_VERIFY(!model().isLoading());
        click(menuRow(QStringLiteral("重复一")));
        QTRY_COMPARE(m_env->service.requests(questionPath).size(), 2);
        QCOMPARE(m_env->service.lastRequest(questionPath)->json.toObject().value("questionType").toInt(), 1);
    }

    void menuRowOpensQuestions()
    {
        if (!show(QStringLiteral("101")))
            return;
        click(menuRow(QStringLiteral("逻辑填空")));
        QTRY_COMPARE(model().screen(), AppScreen::questions);
        QCOMPARE(m_env->service.lastRequest(questionPath)->json.toObject().value("menuId").toString(), QStringLiteral("m101-11"));
    }

    // The header's two record buttons lead to their screens.
    void recordButtonsOpenHistoryAndCollections_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<AppScreen>("screen");
        QTest::newRow("history") << QStringLiteral("practiceHistoryButton") << AppScreen::history;
        QTest::newRow("collections") << QStringLiteral("collectionsButton") << AppScreen::collections;
    }
    void recordButtonsOpenHistoryAndCollections()
    {
        QFETCH(QString, button);
        QFETCH(AppScreen, screen);
        if (!show(QStringLiteral("101")))
            return;
        click(visibleItem(button));
        QTRY_COMPARE(model().screen(), screen);
    }

    // Bank names are long; the opaque look's menu must not cut them.
    void bankMenuIsAsWideAsItsLongestName()
    {
        if (!show(QStringLiteral("101")))
            return;
        click(visibleItem(QStringLiteral("examBankSelectorArea")));
        QObject *menu = m_view->rootObject()->findChild<QObject *>(QStringLiteral("examBankMenu"));
        QVERIFY(menu);
        QTRY_VERIFY(menu->property("visible").toBool());
        const int count = int(model().examBanksModel()->rowCount());
        QTRY_COMPARE(menu->property("count").toInt(), count);
        QTest::qWait(50);
        for (int i = 0; i < count; ++i) {
            QQuickItem *item = nullptr;
            QVERIFY(QMetaObject::invokeMethod(menu, "itemAt", Q_RETURN_ARG(QQuickItem *, item), Q_ARG(int, i)));
            QVERIFY(item);
            QVERIFY2(item->implicitWidth() <= item->width() + 0.5,
                     qPrintable(QStringLiteral("row %1 needs %2 px, has %3").arg(i).arg(item->implicitWidth()).arg(item->width())));
        }
    }

    void transparentBankPickerSwitchesAndCloses()
    {
        if (!show(QStringLiteral("102"), true))
            return;
        click(visibleItem(QStringLiteral("examBankSelectorArea")));
        QQuickItem *picker = find(QStringLiteral("examBankPicker"));
        QTRY_VERIFY(picker->isVisible());
        screenshot(QStringLiteral("transparent-banks"));
        // Its slot hangs under the selector, right edges aligned.
        QQuickItem *selector = visibleItem(QStringLiteral("examBankSelector"));
        const QPointF selectorBottomRight = selector->mapToItem(m_view->rootObject(), QPointF(selector->width(), selector->height()));
        const QRectF slot = m_view->rootObject()->property("bankSlot").toRectF();
        QCOMPARE(slot.right(), selectorBottomRight.x());
        QCOMPARE(slot.top(), selectorBottomRight.y() + 6);

        // A click outside only closes it.
        clickAt(QPoint(40, 700));
        QTRY_VERIFY(!picker->isVisible());
        QCOMPARE(model().screen(), AppScreen::home);

        click(visibleItem(QStringLiteral("examBankSelectorArea")));
        QTRY_VERIFY(picker->isVisible());
        click(visibleItem(QStringLiteral("examBankRow_103")));
        QTRY_VERIFY(!picker->isVisible());
        QTRY_COMPARE(model().selectedExamBank().id, QStringLiteral("103"));
        QTRY_VERIFY(!model().isLoading());
        QTRY_COMPARE(textOf(QStringLiteral("selectedBankName")), model().selectedExamBank().name);

        // Turning the transparent look off closes an open dropdown.
        click(visibleItem(QStringLiteral("realExamButton")));
        QTRY_VERIFY(find(QStringLiteral("realExamPicker"))->isVisible());
        model().setStudyTransparencyEnabled(false);
        QTRY_VERIFY(!find(QStringLiteral("pickerOverlay"))->isVisible());
        QCOMPARE(m_view->rootObject()->property("showingRealExamPicker").toBool(), false);
    }

    // The selector and the dropdown are as wide as the longest name of the
    // whole list, whether or not its row has been made, stay so while the
    // list scrolls, and follow a new list down as well as up; an empty list
    // leaves the dropdown its padding.
    void bankPickerFitsTheWholeListAndFollowsIt()
    {
        if (!show(QStringLiteral("102"), true))
            return;
        // The width the screen's own text gives a name in 13-pixel type.
        QQmlComponent measuring(m_view->engine());
        measuring.setData("import QtQuick\nText { textFormat: Text.PlainText; font.pixelSize: 13 }",
                          QUrl(QStringLiteral("qrc:/test/Measure.qml")));
        std::unique_ptr<QObject> text(measuring.create());
        QVERIFY(text);
        const auto widthOf = [&](const QString &name, int weight) {
            text->setProperty("text", name);
            auto font = text->property("font").value<QFont>();
            font.setWeight(QFont::Weight(weight));
            text->setProperty("font", font);
            return text->property("implicitWidth").toDouble();
        };

        const ExamBank selected = model().selectedExamBank();
        const QString longest = QStringLiteral("2025年国家公务员录用考试《行政职业能力测验》专项题库（地市级）");
        QList<ExamBank> banks{selected};
        for (int i = 1; i < 59; ++i)
            banks.append(ExamBank{QStringLiteral("b%1").arg(i), QStringLiteral("题库 %1").arg(i)});
        banks.append(ExamBank{QStringLiteral("b59"), longest});
        AppModelTestProbe::applyExamBanks(model(), banks);
        QCOMPARE(model().selectedExamBank(), selected);

        click(visibleItem(QStringLiteral("examBankSelectorArea")));
        QQuickItem *picker = find(QStringLiteral("examBankPicker"));
        QTRY_VERIFY(picker->isVisible());
        QTest::qWait(50);
        QQuickItem *nameArea = visibleItem(QStringLiteral("selectedBankName"))->parentItem();
        QVERIFY(std::abs(nameArea->width() - widthOf(longest, QFont::Medium)) < 1);
        // The last row is far below the fold: not made yet.
        QVERIFY(!find(QStringLiteral("examBankRow_b59")));
        const double longWidth = picker->width();
        QVERIFY2(std::abs(longWidth - (widthOf(longest, QFont::Normal) + 68 + 12)) < 1, qPrintable(QString::number(longWidth)));
        screenshot(QStringLiteral("transparent-long-banks"));

        QQuickItem *list = find(QStringLiteral("examBankPickerList"));
        for (double y = 0; y < list->property("contentHeight").toDouble(); y += 200) {
            list->setProperty("contentY", y);
            QTest::qWait(10);
            QCOMPARE(picker->width(), longWidth);
        }
        list->setProperty("contentY", list->property("contentHeight").toDouble() - list->height());
        QQuickItem *lastRow = nullptr;
        QTRY_VERIFY((lastRow = visibleItem(QStringLiteral("examBankRow_b59"))));
        QCOMPARE(picker->width(), longWidth);
        // Its name fits its row whole.
        QList<QQuickItem *> pending{lastRow};
        int names = 0;
        while (!pending.isEmpty()) {
            QQuickItem *next = pending.takeFirst();
            if (next->inherits("QQuickText")) {
                ++names;
                QCOMPARE(next->property("text").toString(), longest);
                QVERIFY(!next->property("truncated").toBool());
            }
            pending.append(next->childItems());
        }
        QCOMPARE(names, 1);
        screenshot(QStringLiteral("transparent-long-banks-end"));

        // Shorter names: back to the narrowest panel and a narrower selector.
        const double selectorBefore = visibleItem(QStringLiteral("examBankSelector"))->width();
        const ExamBank renamed{selected.id, QStringLiteral("行测")};
        AppModelTestProbe::applyExamBanks(model(), {renamed, ExamBank{QStringLiteral("b1"), QStringLiteral("题库 1")}});
        QCOMPARE(model().selectedExamBank(), renamed);
        QTRY_COMPARE(picker->width(), 192.0);
        QCOMPARE(picker->height(), 2 * 35.0 + 9);
        QVERIFY(std::abs(nameArea->width() - widthOf(QStringLiteral("题库 1"), QFont::Medium)) < 1);
        QQuickItem *selector = visibleItem(QStringLiteral("examBankSelector"));
        QTRY_VERIFY(selector->width() < selectorBefore);
        // The slot still hangs under the selector, the panel in its middle.
        const auto slotUnderTheSelector = [&] {
            const QRectF slot = m_view->rootObject()->property("bankSlot").toRectF();
            const QPointF corner = selector->mapToItem(m_view->rootObject(), QPointF(selector->width(), selector->height()));
            const QPointF centre = picker->mapToItem(m_view->rootObject(), QPointF(picker->width() / 2, picker->height() / 2));
            return std::abs(slot.right() - corner.x()) < 1e-6 && std::abs(slot.top() - corner.y() - 6) < 1e-6
                && std::abs(centre.x() - slot.center().x()) < 1e-6;
        };
        QTRY_VERIFY(slotUnderTheSelector());

        // No banks at all: the padding alone, in the middle of a one-row slot.
        AppModelTestProbe::setExamBanks(model(), {});
        QTRY_COMPARE(picker->width(), 12.0);
        QCOMPARE(picker->height(), 12.0);
        const QRectF slot = m_view->rootObject()->property("bankSlot").toRectF();
        QCOMPARE(slot.height(), 47.0);
        QCOMPARE(picker->mapToItem(m_view->rootObject(), QPointF(6, 6)), slot.center());
        QVERIFY(slotUnderTheSelector());
        QCOMPARE(textOf(QStringLiteral("selectedBankName")), renamed.name);
        screenshot(QStringLiteral("transparent-no-banks"));
    }

    // Only a single click of the primary button outside closes a dropdown:
    // a wheel turn or another button leaves it open.
    void dropdownClosesOnlyOnAPrimaryClick()
    {
        if (!show(QStringLiteral("102"), true))
            return;
        click(visibleItem(QStringLiteral("realExamButton")));
        QQuickItem *picker = find(QStringLiteral("realExamPicker"));
        QTRY_VERIFY(picker->isVisible());
        const QPoint outside(40, 700);

        QWheelEvent wheel(outside, m_view->mapToGlobal(outside), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(m_view.get(), &wheel);
        QTest::mouseClick(m_view.get(), Qt::RightButton, {}, outside);
        QTest::mouseClick(m_view.get(), Qt::MiddleButton, {}, outside);
        QTest::qWait(50);
        QVERIFY(picker->isVisible());

        clickAt(outside);
        QTRY_VERIFY(!picker->isVisible());
        QCOMPARE(model().screen(), AppScreen::home);
    }

    void transparentPaperPickerOpensAPaper()
    {
        if (!show(QStringLiteral("101"), true))
            return;
        screenshot(QStringLiteral("transparent"));
        click(visibleItem(QStringLiteral("realExamButton")));
        QQuickItem *picker = find(QStringLiteral("realExamPicker"));
        QTRY_VERIFY(picker->isVisible());
        const QString firstId = model().realExams().first().id;
        click(visibleItem(QStringLiteral("realExamRow_") + firstId));
        QTRY_VERIFY(!picker->isVisible());
        QTRY_VERIFY(model().screen() == AppScreen::questions || model().screen() == AppScreen::purchase);
    }

    void emptyTreeOffersReload()
    {
        m_env->service.setData(cardMenuPath, QJsonArray());
        m_env->storeToken();
        m_env->defaults->setValue(AppModel::examBankKey, QStringLiteral("102"));
        m_env->makeModel();
        m_view = std::make_unique<QQuickView>();
        AppModelSingleton::install(m_view->engine(), &model());
        m_view->setResizeMode(QQuickView::SizeRootObjectToView);
        m_view->resize(960, 760);
        m_view->setSource(QUrl(QStringLiteral("qrc:/Vuzo/HomeView.qml")));
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
        QTRY_VERIFY(!model().isLoading());
        QTRY_VERIFY(visibleItem(QStringLiteral("menuEmptyState")));
        m_env->service.clearData(cardMenuPath);
        click(visibleItem(QStringLiteral("menuReloadButton")));
        QTRY_VERIFY(rowCount() > 0);
        QTRY_VERIFY(!visibleItem(QStringLiteral("menuEmptyState")));
    }

    void settingsPanelAppliesOnlyOnConfirm()
    {
        if (!show(QStringLiteral("102"), true))
            return;
        click(visibleItem(QStringLiteral("examSettingsButton")));
        QTRY_VERIFY(visibleItem(QStringLiteral("examSettingsView")));
        screenshot(QStringLiteral("settings-transparent"));
        click(visibleItem(QStringLiteral("modeButton1")));
        click(visibleItem(QStringLiteral("questionCountControl")));
        QTRY_VERIFY(visibleItem(QStringLiteral("countOption20")));
        click(visibleItem(QStringLiteral("countOption20")));
        QTRY_COMPARE(textOf(QStringLiteral("questionCountLabel")), QStringLiteral("20 道"));
        // Closing drops the edits.
        click(visibleItem(QStringLiteral("settingsClose")));
        QTRY_VERIFY(!visibleItem(QStringLiteral("examSettingsView")));
        QCOMPARE(model().examMode(), ExamMode::practice);

        click(visibleItem(QStringLiteral("examSettingsButton")));
        QTRY_VERIFY(visibleItem(QStringLiteral("examSettingsView")));
        QCOMPARE(textOf(QStringLiteral("questionCountLabel")), QStringLiteral("5 道"));
        click(visibleItem(QStringLiteral("modeButton1")));
        confirmSettings();
        QTRY_VERIFY(!visibleItem(QStringLiteral("examSettingsView")));
        QCOMPARE(model().examMode(), ExamMode::review);
        QTRY_COMPARE(visibleItem(QStringLiteral("examSettingsButton"))->property("text").toString(), QStringLiteral("背题模式 · 5题"));
    }

    // The single-key answering switch is drawn as the header's auto-hide
    // switch, in either state, look and hover.
    void answerKeySwitchWearsTheHeaderSwitchLook_data()
    {
        QTest::addColumn<bool>("transparent");
        QTest::newRow("normal look") << false;
        QTest::newRow("transparent look") << true;
    }
    void answerKeySwitchWearsTheHeaderSwitchLook()
    {
        QFETCH(bool, transparent);
        if (!show(QStringLiteral("102"), transparent))
            return;
        click(visibleItem(QStringLiteral("examSettingsButton")));
        QTRY_VERIFY(visibleItem(QStringLiteral("examSettingsView")));
        QQuickItem *toggle = visibleItem(QStringLiteral("shortcutsToggle"));
        QVERIFY(toggle);
        QObject *style = toggle->property("switchStyle").value<QObject *>();
        QVERIFY(style);
        const auto colour = [style](const char *name) { return style->property(name).value<QColor>(); };
        const QPoint away(5, 5);
        const QPoint over = toggle->mapToScene(QPointF(toggle->width() / 2, toggle->height() / 2)).toPoint();
        for (const bool on : {false, true}) {
            if (toggle->property("checked").toBool() != on)
                click(toggle);
            QCOMPARE(toggle->property("checked").toBool(), on);
            for (const bool hovering : {false, true}) {
                QTest::mouseMove(m_view.get(), hovering ? over : away);
                QTRY_COMPARE(toggle->property("hovering").toBool(), hovering);
                WindowHeaderState header;
                header.setScreen(int(AppScreen::home));
                header.setStudyTransparencyEnabled(transparent);
                header.setHoverAutoHideEnabled(on);
                header.setHoveringAutoHideControl(hovering);
                QCOMPARE(colour("trackColor"), header.autoHideTrackColor());
                QCOMPARE(colour("borderColor"), header.autoHideBorderColor());
                QCOMPARE(colour("knobColor"), header.autoHideKnobColor());
            }
            if (!transparent) {
                // The accent fills and rings the switch that is on.
                QCOMPARE(colour("borderColor"), on ? Theme::appPrimary() : Theme::withOpacity(Theme::appSecondary(), 0.35));
                QCOMPARE(colour("knobColor"), QColor(Qt::white));
            }
        }
        screenshot(transparent ? QStringLiteral("answer-key-switch-transparent") : QStringLiteral("answer-key-switch-normal"));
    }

    void answerKeyRebindingWithEscAndRefusals()
    {
        if (!show())
            return;
        click(visibleItem(QStringLiteral("examSettingsButton")));
        QTRY_VERIFY(visibleItem(QStringLiteral("examSettingsView")));
        screenshot(QStringLiteral("settings-normal"));
        auto *draft = visibleItem(QStringLiteral("examSettingsView"))->property("draft").value<ExamSettingsDraft *>();
        QVERIFY(draft);

        click(visibleItem(QStringLiteral("answerKey0")));
        QTRY_VERIFY(draft->isCapturing());
        QTest::keyClick(m_view.get(), Qt::Key_Escape);
        QVERIFY(!draft->isCapturing());
        // Esc ended only the capture: the panel is still open.
        QVERIFY(visibleItem(QStringLiteral("examSettingsView")));

        click(visibleItem(QStringLiteral("answerKey0")));
        QTest::keyClick(m_view.get(), Qt::Key_X);
        QCOMPARE(textOf(QStringLiteral("shortcutFooter")), QStringLiteral("该按键已用于选项 B"));
        QTest::keyClick(m_view.get(), Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(textOf(QStringLiteral("shortcutFooter")), answerKeyRefusal);
        QTest::keyClick(m_view.get(), Qt::Key_Left);
        QCOMPARE(textOf(QStringLiteral("shortcutFooter")), answerKeyRefusal);
        QTest::keyClick(m_view.get(), Qt::Key_Q);
        QVERIFY(!draft->isCapturing());
        QCOMPARE(draft->answerKeys()->index(0).data(AnswerKeyList::KeyLabelRole).toString(), QStringLiteral("Q"));
        QCOMPARE(model().questionKeyboardShortcuts().effectiveBinding(QuestionShortcutAction::optionA), QStringLiteral("z"));

        confirmSettings();
        QTRY_VERIFY(!visibleItem(QStringLiteral("examSettingsView")));
        QCOMPARE(model().questionKeyboardShortcuts().effectiveBinding(QuestionShortcutAction::optionA), QStringLiteral("q"));
    }

    void hotKeyRowRecordsAndRestores()
    {
        if (!show())
            return;
        click(visibleItem(QStringLiteral("examSettingsButton")));
        QTRY_VERIFY(visibleItem(QStringLiteral("examSettingsView")));
        QCOMPARE(textOf(QStringLiteral("windowShortcutLabel")), QStringLiteral("Alt + Z"));
        click(visibleItem(QStringLiteral("windowShortcutButton")));
        QTRY_COMPARE(textOf(QStringLiteral("windowShortcutLabel")), QStringLiteral("请按组合键…"));
        QVERIFY(m_hotKeys->isRecording());
        QTest::keyClick(m_view.get(), Qt::Key_A, Qt::ShiftModifier);
        QCOMPARE(textOf(QStringLiteral("windowShortcutMessage")), hotKeyRefusal);
        QTest::keyClick(m_view.get(), Qt::Key_J, Qt::AltModifier);
        QTRY_COMPARE(textOf(QStringLiteral("windowShortcutLabel")), QStringLiteral("Alt + J"));
        QVERIFY(!m_hotKeys->isRecording());
        QCOMPARE(m_backend->registrations.last().second, quint32(0x800));
        // Closing without "确定" keeps it; "恢复默认" puts Alt+Z back.
        click(visibleItem(QStringLiteral("windowShortcutRestore")));
        QTRY_COMPARE(textOf(QStringLiteral("windowShortcutLabel")), QStringLiteral("Alt + Z"));

        // "恢复默认" is a button to a screen reader, with a press action,
        // and the keyboard reaches and presses it.
        const auto recordAltJ = [this] {
            click(visibleItem(QStringLiteral("windowShortcutButton")));
            QTRY_COMPARE(textOf(QStringLiteral("windowShortcutLabel")), QStringLiteral("请按组合键…"));
            QTest::keyClick(m_view.get(), Qt::Key_J, Qt::AltModifier);
            QTRY_COMPARE(textOf(QStringLiteral("windowShortcutLabel")), QStringLiteral("Alt + J"));
        };
        QQuickItem *restore = visibleItem(QStringLiteral("windowShortcutRestore"));
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(restore);
        QVERIFY(accessible);
        QCOMPARE(accessible->role(), QAccessible::Button);
        QCOMPARE(accessible->text(QAccessible::Name), QStringLiteral("恢复默认"));
        QVERIFY(accessible->actionInterface());
        recordAltJ();
        accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QTRY_COMPARE(textOf(QStringLiteral("windowShortcutLabel")), QStringLiteral("Alt + Z"));
        recordAltJ();
        QVERIFY(restore->activeFocusOnTab());
        restore->forceActiveFocus(Qt::TabFocusReason);
        QTest::keyClick(m_view.get(), Qt::Key_Space);
        QTRY_COMPARE(textOf(QStringLiteral("windowShortcutLabel")), QStringLiteral("Alt + Z"));
    }

    // Recording outlasts the window losing the focus or hiding: only Esc, a
    // recorded combination, "恢复默认" or the row going away end it. Its
    // texts stay in the title colour, a refusal included.
    void hotKeyRecordingOutlastsTheWindowLosingFocus()
    {
        if (!show())
            return;
        click(visibleItem(QStringLiteral("examSettingsButton")));
        QTRY_VERIFY(visibleItem(QStringLiteral("examSettingsView")));
        click(visibleItem(QStringLiteral("windowShortcutButton")));
        QTRY_COMPARE(textOf(QStringLiteral("windowShortcutLabel")), QStringLiteral("请按组合键…"));

        QWindow other;
        other.resize(120, 80);
        other.show();
        other.requestActivate();
        QTRY_VERIFY(other.isActive());
        QVERIFY(!m_view->isActive());
        QVERIFY(m_hotKeys->isRecording());
        m_view->hide();
        QTest::qWait(30);
        QVERIFY(m_hotKeys->isRecording());
        other.hide();
        m_view->show();
        m_view->requestActivate();
        QTRY_VERIFY(m_view->isActive());
        QCOMPARE(textOf(QStringLiteral("windowShortcutLabel")), QStringLiteral("请按组合键…"));

        QTest::keyClick(m_view.get(), Qt::Key_Tab, Qt::AltModifier);
        QCOMPARE(textOf(QStringLiteral("windowShortcutMessage")), hotKeyRefusal);
        QCOMPARE(visibleItem(QStringLiteral("windowShortcutMessage"))->property("color").value<QColor>().rgba(), Theme::appTitle().rgba());
        QVERIFY(m_hotKeys->isRecording());
        QTest::keyClick(m_view.get(), Qt::Key_J, Qt::AltModifier);
        QTRY_COMPARE(textOf(QStringLiteral("windowShortcutLabel")), QStringLiteral("Alt + J"));
        QVERIFY(!m_hotKeys->isRecording());
    }

    // On X11 a modifier or lock key arrives as a press of its own before the
    // key it modifies; the capture waits for that key and says nothing.
    void keyCaptureWaitsThroughModifierPresses()
    {
        if (!show())
            return;
        click(visibleItem(QStringLiteral("examSettingsButton")));
        QTRY_VERIFY(visibleItem(QStringLiteral("examSettingsView")));
        auto *draft = visibleItem(QStringLiteral("examSettingsView"))->property("draft").value<ExamSettingsDraft *>();
        QVERIFY(draft);
        const QString footerHint = textOf(QStringLiteral("shortcutFooter"));
        const auto press = QEvent::KeyPress;
        const auto release = QEvent::KeyRelease;

        click(visibleItem(QStringLiteral("answerKey0")));
        QTRY_VERIFY(draft->isCapturing());
        struct Modifier { int key; quint32 code; quint32 keysym; Qt::KeyboardModifier held; };
        const Modifier modifiers[] = {
            {Qt::Key_Control, 37, 0xffe3, Qt::ControlModifier}, {Qt::Key_Alt, 64, 0xffe9, Qt::AltModifier},
            {Qt::Key_Super_L, 133, 0xffeb, Qt::MetaModifier}, {Qt::Key_AltGr, 108, 0xfe03, Qt::GroupSwitchModifier},
            {Qt::Key_CapsLock, 66, 0xffe5, Qt::NoModifier}, {Qt::Key_NumLock, 77, 0xff7f, Qt::NoModifier},
        };
        for (const Modifier &modifier : modifiers) {
            xKey(press, modifier.key, Qt::NoModifier, modifier.code, modifier.keysym);
            QVERIFY(draft->isCapturing());
            QCOMPARE(textOf(QStringLiteral("shortcutFooter")), footerHint);
            xKey(release, modifier.key, modifier.held, modifier.code, modifier.keysym);
        }
        // A conflict's message stays through the Shift of the next try.
        xKey(press, Qt::Key_X, Qt::NoModifier, 53, 0x78, QStringLiteral("x"));
        xKey(release, Qt::Key_X, Qt::NoModifier, 53, 0x78, QStringLiteral("x"));
        QCOMPARE(textOf(QStringLiteral("shortcutFooter")), QStringLiteral("该按键已用于选项 B"));
        xKey(press, Qt::Key_Shift, Qt::NoModifier, 50, 0xffe1);
        QVERIFY(draft->isCapturing());
        QCOMPARE(textOf(QStringLiteral("shortcutFooter")), QStringLiteral("该按键已用于选项 B"));
        xKey(press, Qt::Key_Q, Qt::ShiftModifier, 24, 0x51, QStringLiteral("Q"));
        xKey(release, Qt::Key_Q, Qt::ShiftModifier, 24, 0x51, QStringLiteral("Q"));
        xKey(release, Qt::Key_Shift, Qt::ShiftModifier, 50, 0xffe1);
        QVERIFY(!draft->isCapturing());
        QCOMPARE(textOf(QStringLiteral("shortcutFooter")), footerHint);
        QCOMPARE(draft->answerKeys()->index(0).data(AnswerKeyList::KeyLabelRole).toString(), QStringLiteral("Q"));

        // The hot-key row: Alt first, then Alt+J.
        click(visibleItem(QStringLiteral("windowShortcutButton")));
        QTRY_COMPARE(textOf(QStringLiteral("windowShortcutLabel")), QStringLiteral("请按组合键…"));
        xKey(press, Qt::Key_Alt, Qt::NoModifier, 64, 0xffe9);
        QVERIFY(m_hotKeys->isRecording());
        QCOMPARE(textOf(QStringLiteral("windowShortcutMessage")), hotKeyHint);
        xKey(press, Qt::Key_J, Qt::AltModifier, 44, 0x6a, QStringLiteral("j"));
        xKey(release, Qt::Key_J, Qt::AltModifier, 44, 0x6a, QStringLiteral("j"));
        xKey(release, Qt::Key_Alt, Qt::AltModifier, 64, 0xffe9);
        QTRY_COMPARE(textOf(QStringLiteral("windowShortcutLabel")), QStringLiteral("Alt + J"));
        QVERIFY(!m_hotKeys->isRecording());
        QCOMPARE(textOf(QStringLiteral("windowShortcutMessage")), hotKeyHint);
    }

    void signOutAsksFirst()
    {
        if (!show())
            return;
        click(visibleItem(QStringLiteral("logoutLink")));
        QTRY_VERIFY(visibleItem(QStringLiteral("logoutConfirmation")));
        clickAt(QPoint(12, 740));
        QTRY_VERIFY(!visibleItem(QStringLiteral("logoutConfirmation")));
        QVERIFY(model().token().has_value());

        model().setStudyTransparencyEnabled(true);
        click(visibleItem(QStringLiteral("logoutLink")));
        QTRY_VERIFY(visibleItem(QStringLiteral("transparentLogoutConfirmation")));
        click(visibleItem(QStringLiteral("transparentLogoutConfirm")));
        QTRY_COMPARE(model().screen(), AppScreen::login);
        QVERIFY(!model().token().has_value());
    }

    // Return and Enter never sign out; Esc cancels the card that binds it.
    void signOutCardTakesNoReturn()
    {
        if (!show())
            return;
        click(visibleItem(QStringLiteral("logoutLink")));
        QTRY_VERIFY(visibleItem(QStringLiteral("logoutConfirmation")));
        QTest::qWait(200); // the fade-in
        QTest::keyClick(m_view.get(), Qt::Key_Return);
        QTest::keyClick(m_view.get(), Qt::Key_Enter);
        QTest::qWait(50);
        QVERIFY(model().token().has_value());
        QCOMPARE(model().screen(), AppScreen::home);
        QVERIFY(visibleItem(QStringLiteral("logoutConfirmation")));
        QTest::keyClick(m_view.get(), Qt::Key_Escape);
        QTRY_VERIFY(!visibleItem(QStringLiteral("logoutConfirmation")));
        QVERIFY(model().token().has_value());

        model().setStudyTransparencyEnabled(true);
        click(visibleItem(QStringLiteral("logoutLink")));
        QTRY_VERIFY(visibleItem(QStringLiteral("transparentLogoutConfirmation")));
        QTest::qWait(200);
        QTest::keyClick(m_view.get(), Qt::Key_Return);
        QTest::keyClick(m_view.get(), Qt::Key_Enter);
        QTest::qWait(50);
        QVERIFY(model().token().has_value());
        QVERIFY(visibleItem(QStringLiteral("transparentLogoutConfirmation")));
    }

    // Each presentation builds its card afresh: the settings panel opened
    // again during the fade-out of a dismissed one never shows, nor applies,
    // the dismissed edits; and a card on its way out takes no clicks.
    void cardsAreMadeAfreshAndTakeNoClicksWhileLeaving()
    {
        if (!show())
            return;
        click(visibleItem(QStringLiteral("examSettingsButton")));
        QTRY_VERIFY(visibleItem(QStringLiteral("examSettingsView")));
        QTest::qWait(200);
        click(visibleItem(QStringLiteral("modeButton1")));
        QQuickItem *dismissed = visibleItem(QStringLiteral("examSettingsView"));
        QCOMPARE(dismissed->property("draft").value<ExamSettingsDraft *>()->selectedMode(), ExamMode::review);
        click(visibleItem(QStringLiteral("settingsClose")));
        // Still fading out when the button is pressed again.
        QCOMPARE(visibleItem(QStringLiteral("examSettingsView")), dismissed);
        click(visibleItem(QStringLiteral("examSettingsButton")));
        QTRY_VERIFY(visibleItem(QStringLiteral("examSettingsView")));
        auto *draft = visibleItem(QStringLiteral("examSettingsView"))->property("draft").value<ExamSettingsDraft *>();
        QCOMPARE(draft->selectedMode(), ExamMode::practice);
        QTest::qWait(200);
        confirmSettings();
        QTRY_VERIFY(!visibleItem(QStringLiteral("examSettingsView")));
        QCOMPARE(model().examMode(), ExamMode::practice);

        // Cancelled, the sign-out card's "退出登录" is no longer a button.
        click(visibleItem(QStringLiteral("logoutLink")));
        QTRY_VERIFY(visibleItem(QStringLiteral("logoutConfirmation")));
        QTest::qWait(200);
        QQuickItem *card = visibleItem(QStringLiteral("logoutConfirmation"));
        const QPoint confirmAt = card->mapToScene(QPointF(card->width() - 60, card->height() - 40)).toPoint();
        QTest::keyClick(m_view.get(), Qt::Key_Escape);
        QVERIFY(visibleItem(QStringLiteral("logoutConfirmation"))); // fading out
        clickAt(confirmAt);
        QTest::qWait(200);
        QVERIFY(model().token().has_value());
    }

    void everySymbolAViewNamesExists()
    {
        // Names given to SymbolIcon-like properties in the module's views.
        const QRegularExpression assignment(QStringLiteral(R"re((?:^|[\s{;])(?:name|symbol)\s*:\s*(.+)$)re"));
        const QRegularExpression literal(QStringLiteral(R"re("([a-z][a-z0-9]*(?:\.[a-z0-9]+)*)")re"));
        QStringList missing;
        int checked = 0;
        QDirIterator files(QStringLiteral(":/Vuzo"), {QStringLiteral("*.qml")});
        while (files.hasNext()) {
            const QString path = files.next();
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
            for (const QString &line : lines) {
                if (line.contains(QLatin1String("Accessible.name")))
                    continue;
                const auto match = assignment.match(line);
                if (!match.hasMatch())
                    continue;
                auto literals = literal.globalMatch(match.captured(1));
                while (literals.hasNext()) {
                    const QString name = literals.next().captured(1);
                    ++checked;
                    if (SymbolIcon::resourcePath(name).isEmpty())
                        missing.append(QFileInfo(path).fileName() + QStringLiteral(": ") + name);
                }
            }
        }
        QVERIFY(checked > 20);
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral(", "))));
    }
};

QTEST_MAIN(TestHomeView)
#include "tst_homeview.moc"
