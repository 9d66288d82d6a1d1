// Keys typed while a card is open in the program's panel, on a real X server
// (run under xvfb-run): the real delegate, model, panel and root view, keys
// and clicks sent from outside with xdotool as a user makes them.
#include "ShellFakes.h"
#include "ViewTestSupport.h"
#include "app/AppModel.h"
#include "platform/UserDefaults.h"
#include "shell/AppDelegate.h"
#include "shell/ProgramStart.h"
#include "views/RootViewState.h"
#include "windowing/MainPanelController.h"
#include "windowing/PanelWindow.h"
#include "windowing/WindowShortcutController.h"
#include "windowing/XcbHotKeyBackend.h"

#include <QApplication>
#include <QKeyEvent>
#include <QProcess>
#include <QQuickItem>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>

#include <memory>

Q_IMPORT_QML_PLUGIN(VuzoPlugin)

namespace {

bool xdotool(const QStringList &arguments)
{
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}

bool movePointer(QPointF global)
{
    const QPoint at = global.toPoint();
    return xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y())});
}

// A hand rests on the place a moment before it clicks.
bool clickAt(QPointF global)
{
    if (!movePointer(global))
        return false;
    QTest::qWait(100);
    return xdotool({QStringLiteral("click"), QStringLiteral("1")});
}

using ViewTest::findItem;

// Counts the releases of keys other than modifiers that reach one window,
// before any filter of the window itself sees them.
struct ReleaseCounter : QObject
{
    QObject *window = nullptr;
    int releases = 0;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == window && event->type() == QEvent::KeyRelease) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key != Qt::Key_Control && key != Qt::Key_Shift && key != Qt::Key_Alt && key != Qt::Key_Meta)
                ++releases;
        }
        return false;
    }
};

Question question(const QString &id, QuestionType type)
{
    Question q;
    q.id = id;
    q.context = QStringLiteral("<p>题干 %1</p>").arg(id);
    q.questionType = type;
    q.questionOptions = {QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙"), QStringLiteral("丁")};
    q.answer = QStringLiteral("A");
    return q;
}

// Three questions; the middle one takes several answers, so that an answer
// key only marks it, Return confirms it, and either arrow turns the page.
QList<Question> questionSet()
{
    return {question(QStringLiteral("q0"), QuestionType::single), question(QStringLiteral("q1"), QuestionType::multiple),
            question(QStringLiteral("q2"), QuestionType::single)};
}

} // namespace

class TestPanelKeys : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;
    std::unique_ptr<UserDefaults> m_defaults;
    MemoryStore m_store;
    std::unique_ptr<WindowShortcutController> m_shortcuts;
    std::unique_ptr<AppDelegate> m_delegate;
    ReleaseCounter m_keys;

    PanelWindow *panel() const { return m_delegate->panelWindow(); }
    AppModel *model() const { return m_delegate->appModel()->viewModel(); }
    RootViewState *rootState() const { return panel()->rootView()->property("viewState").value<RootViewState *>(); }
    QQuickItem *item(const char *name) const { return findItem(panel()->rootView(), QString::fromLatin1(name)); }

    qint64 page(AppScreen screen) const
    {
        return screen == AppScreen::questions ? model()->currentQuestionIndex() : model()->currentAnalysisIndex();
    }

    // Every card closed, the zoom at 100 % and its badge gone, the screen
    // on its middle page with nothing answered.
    void showScreen(AppScreen screen, bool transparent)
    {
        rootState()->setShowingInkColorSettings(false);
        rootState()->setShowingAppearanceHelp(false);
        if (QQuickItem *view = item("questionView"))
            view->setProperty("showingSubmitConfirmation", false);
        m_delegate->panelController()->setScale(1.0);
        rootState()->dismissZoomIndicator();
        model()->setStudyTransparencyEnabled(transparent);
        model()->setAnswers({});
        model()->setRevealedQuestionIDs({});
        model()->setScreen(screen);
        if (screen == AppScreen::questions)
            model()->setCurrentQuestionIndex(1);
        else
            model()->setCurrentAnalysisIndex(1);
        // The cards that were open have faded out.
        QTRY_VERIFY(!item("inkModal")->isVisible() && !item("helpModal")->isVisible()
                    && !item("zoomModal")->isVisible());
        // Laid out and drawn, so that the places clicked are the ones shown.
        QSignalSpy frames(panel(), &QQuickWindow::frameSwapped);
        panel()->update();
        QTRY_VERIFY(frames.size() > 0);
        m_keys.releases = 0;
    }

    // Presses one key combination and waits until the panel has it, then a
    // little longer: past a chosen answer's move to the next question.
    bool press(const QString &key)
    {
        const int before = m_keys.releases;
        if (!xdotool({QStringLiteral("key"), key}))
            return false;
        if (!QTest::qWaitFor([&] { return m_keys.releases > before; }, 5000))
            return false;
        QTest::qWait(2 * AppModel::singleChoiceAdvanceMilliseconds);
        return true;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_folder.isValid());
        m_defaults = std::make_unique<UserDefaults>(m_folder.filePath(QStringLiteral("user-defaults.json")));
        UserDefaults::setStandard(m_defaults.get());
        m_shortcuts = std::make_unique<WindowShortcutController>(std::make_unique<XcbHotKeyBackend>(), m_store);
        AppDelegate::Dependencies dependencies;
        dependencies.store = &m_store;
        dependencies.shortcuts = m_shortcuts.get();
        dependencies.isTrayAvailable = [] { return false; };
        m_delegate = std::make_unique<AppDelegate>(std::move(dependencies));
        m_delegate->applicationDidFinishLaunching();
        QVERIFY(panel()->rootView());
        QVERIFY(model());
        model()->setQuestions(questionSet());
        model()->setAnalysisQuestions(questionSet());
        QTRY_VERIFY(panel()->isExposed());
        panel()->requestActivate();
        QTRY_VERIFY(panel()->isActive());
        m_keys.window = panel();
        qApp->installEventFilter(&m_keys);
    }

    void cleanupTestCase()
    {
        qApp->removeEventFilter(&m_keys);
        m_delegate.reset();
        m_shortcuts.reset();
        UserDefaults::setStandard(nullptr);
    }

    // The ink card opened from the header, its hex field clicked: every key
    // the field takes is the field's, and nothing behind the card moves or
    // is answered. Escape does nothing there (the card binds no key); the
    // zoom keys still zoom the panel.
    void inkFieldKeepsItsKeys_data()
    {
        QTest::addColumn<int>("screen");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("cursor"); // -1: not looked at
        QTest::addColumn<int>("returns");
        QTest::addColumn<double>("scale");
        for (const AppScreen screen : {AppScreen::questions, AppScreen::analysis}) {
            const char *name = screen == AppScreen::questions ? "questions" : "analysis";
            const int s = int(screen);
            QTest::addRow("%s: c", name) << s << "c" << "#21C2636" << -1 << 0 << 1.0;
            QTest::addRow("%s: left", name) << s << "Left" << "#212636" << 2 << 0 << 1.0;
            QTest::addRow("%s: right", name) << s << "Right" << "#212636" << 4 << 0 << 1.0;
            QTest::addRow("%s: return", name) << s << "Return" << "#212636" << 3 << 1 << 1.0;
            QTest::addRow("%s: escape", name) << s << "Escape" << "#212636" << 3 << 0 << 1.0;
            QTest::addRow("%s: zoom in", name) << s << "ctrl+equal" << "#212636" << 3 << 0 << 1.05;
            QTest::addRow("%s: zoom out", name) << s << "ctrl+minus" << "#212636" << 3 << 0 << 0.95;
        }
    }
    void inkFieldKeepsItsKeys()
    {
        QFETCH(int, screen);
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(int, cursor);
        QFETCH(int, returns);
        QFETCH(double, scale);
        const auto shown = AppScreen(screen);
        showScreen(shown, true);

        QQuickItem *inkButton = item("inkButton");
        QVERIFY(inkButton);
        QTRY_VERIFY(inkButton->isVisible());
        QVERIFY(clickAt(inkButton->mapToGlobal(QPointF(14, 14))));
        QTRY_VERIFY(item("inkHexField"));
        QQuickItem *field = item("inkHexField");
        QTRY_VERIFY(field->isVisible() && field->width() > 0);
        QVERIFY(clickAt(field->mapToGlobal(QPointF(field->width() - 4, field->height() / 2))));
        QTRY_VERIFY(field->hasActiveFocus());
        QCOMPARE(field->property("text").toString(), QStringLiteral("#212636"));
        field->setProperty("cursorPosition", 3);
        QSignalSpy accepted(field, SIGNAL(accepted()));

        QVERIFY(press(key));
        QCOMPARE(field->property("text").toString(), text);
        if (cursor >= 0)
            QCOMPARE(field->property("cursorPosition").toInt(), cursor);
        QCOMPARE(accepted.size(), returns);
        QCOMPARE(m_delegate->panelController()->uiScale(), scale);
        // Nothing behind the card saw the key, and the card is still up.
        QCOMPARE(model()->screen(), shown);
        QCOMPARE(page(shown), 1);
        QVERIFY(model()->answers().isEmpty());
        QVERIFY(model()->revealedQuestionIDs().isEmpty());
        QVERIFY(rootState()->showingInkColorSettings());
        QVERIFY(field->hasActiveFocus());
    }

    // Cards without a text field hold the keys too: the answering and arrow
    // keys reach nothing behind them, Escape does what the card gives it
    // (the confirmation cancels, the others bind no key) and the zoom keys
    // zoom. With no card up the same keys act on the screen.
    void openCardsHoldTheKeys_data()
    {
        QTest::addColumn<int>("screen");
        QTest::addColumn<QString>("card");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("answered");
        QTest::addColumn<bool>("open");
        QTest::addColumn<double>("scale");
        const int questions = int(AppScreen::questions);
        const int analysis = int(AppScreen::analysis);
        QTest::newRow("questions, no card: c") << questions << "none" << "c" << 1 << true << false << 1.0;
        QTest::newRow("questions, no card: left") << questions << "none" << "Left" << 0 << false << false << 1.0;
        QTest::newRow("analysis, no card: right") << analysis << "none" << "Right" << 2 << false << false << 1.0;
        QTest::newRow("questions, help: c") << questions << "help" << "c" << 1 << false << true << 1.0;
        QTest::newRow("questions, help: left") << questions << "help" << "Left" << 1 << false << true << 1.0;
        QTest::newRow("questions, help: escape") << questions << "help" << "Escape" << 1 << false << true << 1.0;
        QTest::newRow("questions, help: zoom in") << questions << "help" << "ctrl+equal" << 1 << false << true << 1.05;
        QTest::newRow("analysis, help: right") << analysis << "help" << "Right" << 1 << false << true << 1.0;
        QTest::newRow("questions, zoom: c") << questions << "zoom" << "c" << 1 << false << true << 1.0;
        QTest::newRow("questions, zoom: right") << questions << "zoom" << "Right" << 1 << false << true << 1.0;
        QTest::newRow("questions, zoom: zoom out") << questions << "zoom" << "ctrl+minus" << 1 << false << true << 0.95;
        QTest::newRow("analysis, zoom: left") << analysis << "zoom" << "Left" << 1 << false << true << 1.0;
        QTest::newRow("questions, confirmation: c") << questions << "confirmation" << "c" << 1 << false << true << 1.0;
        QTest::newRow("questions, confirmation: left") << questions << "confirmation" << "Left" << 1 << false << true << 1.0;
        QTest::newRow("questions, confirmation: escape")
            << questions << "confirmation" << "Escape" << 1 << false << false << 1.0;
        QTest::newRow("questions, confirmation: zoom in")
            << questions << "confirmation" << "ctrl+equal" << 1 << false << true << 1.05;
    }
    void openCardsHoldTheKeys()
    {
        QFETCH(int, screen);
        QFETCH(QString, card);
        QFETCH(QString, key);
        QFETCH(int, page);
        QFETCH(bool, answered);
        QFETCH(bool, open);
        QFETCH(double, scale);
        const auto shown = AppScreen(screen);
        // The see-through confirmation has no keys of its own; the opaque one does.
        showScreen(shown, card != QLatin1String("confirmation"));

        std::function<bool()> isOpen = [] { return false; };
        if (card == QLatin1String("help")) {
            rootState()->setShowingAppearanceHelp(true);
            isOpen = [this] { return rootState()->showingAppearanceHelp(); };
        } else if (card == QLatin1String("zoom")) {
            m_delegate->appModel()->publishZoomFeedback(1.0);
            QTRY_VERIFY(item("zoomIndicator"));
            // The pointer rests on the badge, so it stays up.
            QQuickItem *badge = item("zoomIndicator");
            QTRY_VERIFY(badge->width() > 0);
            QVERIFY(movePointer(badge->mapToGlobal(QPointF(badge->width() / 2, badge->height() / 2))));
            QTRY_VERIFY(rootState()->hoveringZoomIndicator());
            isOpen = [this] { return rootState()->zoomIndicatorPresented(); };
        } else if (card == QLatin1String("confirmation")) {
            QQuickItem *view = item("questionView");
            QVERIFY(view);
            view->setProperty("showingSubmitConfirmation", true);
            QQuickItem *modal = findItem(view, QStringLiteral("opaqueConfirmation"));
            QTRY_VERIFY(modal->property("cardItem").value<QQuickItem *>());
            isOpen = [view] { return view->property("showingSubmitConfirmation").toBool(); };
        }
        QCOMPARE(isOpen(), card != QLatin1String("none"));

        QVERIFY(press(key));
        QCOMPARE(m_delegate->panelController()->uiScale(), scale);
        QCOMPARE(model()->screen(), shown);
        QCOMPARE(this->page(shown), page);
        QCOMPARE(!model()->answers().isEmpty(), answered);
        QVERIFY(model()->revealedQuestionIDs().isEmpty());
        QCOMPARE(isOpen(), open);
    }

    // A click into a stem gives its page the focus (so that text can be
    // selected); a page takes no typed text, so the answering and page keys
    // still act on the question.
    void focusedContentPageLeavesTheKeysToTheScreen()
    {
        showScreen(AppScreen::questions, false);
        QQuickItem *stem = nullptr;
        const QRectF shown(QPointF(0, 0), panel()->size());
        QTRY_VERIFY((stem = shownStem(panel()->contentItem(), shown)) != nullptr);
        QTRY_VERIFY(stem->height() > 0);
        QVERIFY(clickAt(stem->mapToGlobal(QPointF(8, stem->height() / 2))));
        // The focus is on the engine's own item for the page.
        QTRY_VERIFY(panel()->activeFocusItem()
                    && QByteArray(panel()->activeFocusItem()->metaObject()->className()).contains("RenderWidgetHost"));

        QVERIFY(press(QStringLiteral("c")));
        QCOMPARE(model()->answers().value(QStringLiteral("q1")), QStringLiteral("C"));
        QVERIFY(press(QStringLiteral("Right")));
        QCOMPARE(model()->currentQuestionIndex(), 2);
    }

private:
    // The stem drawn on the page in view (the pager keeps its neighbours
    // built, off to the sides).
    static QQuickItem *shownStem(QQuickItem *root, const QRectF &window)
    {
        if (!root)
            return nullptr;
        if (root->objectName() == QLatin1String("stemView") && root->isVisible()) {
            const QRectF place = root->mapRectToScene(QRectF(0, 0, root->width(), root->height()));
            if (window.contains(place.center()))
                return root;
        }
        for (QQuickItem *child : root->childItems()) {
            if (QQuickItem *found = shownStem(child, window))
                return found;
        }
        return nullptr;
    }
};

int main(int argc, char *argv[])
{
    ProgramStart::beforeApplication();
    QApplication application(argc, argv);
    ProgramStart::afterApplication();
    TestPanelKeys test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_panelkeys.moc"
