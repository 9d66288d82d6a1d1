#include "PanelWindow.h"

#include "MainPanelController.h"
#include "PanelRequests.h"
#include "ScaledContentItem.h"
#include "SheetKeyMonitor.h"
#include "WindowResizeItem.h"
#include "X11WindowHints.h"
#include "platform/gui/KeyEventAdapter.h"
#include "views/AppModelSingleton.h"
#include "views/ModalKeyGuard.h"

#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQmlProperty>
#include <QScreen>
#include <QSurfaceFormat>
#include <algorithm>
#include <cmath>

namespace {

// Window systems take integer pixels; anything beyond this is no real frame.
constexpr double coordinateLimit = 1.0e6;

int toPixels(double value)
{
    return int(std::lround(std::clamp(value, -coordinateLimit, coordinateLimit)));
}

const char *const showWithoutActivatingProperty = "_q_showWithoutActivating";

// How long after a showing the window manager's placement is still put right,
// and how often: one that insists gets its way rather than a tug of war.
// Some place a window only once its surface reaches the compositor, which
// tells Qt nothing: the place is read back from the server meanwhile.
constexpr int returnWatchMs = 1000;
constexpr int returnCheckMs = 50;
constexpr int returnMovesLimit = 3;

} // namespace

PanelWindow::PanelWindow(const QRectF &frame, const HoverSettings &settings)
{
    Qt::WindowFlags flags = Qt::Window | Qt::FramelessWindowHint;
    if (settings.alwaysOnTop)
        flags |= Qt::WindowStaysOnTopHint;
    setFlags(flags);
    setTitle(QStringLiteral("vuzo"));
    QSurfaceFormat surfaceFormat = format();
    surfaceFormat.setAlphaBufferSize(8);
    setFormat(surfaceFormat);
    setColor(Qt::transparent);
    setFrame(frame);

    m_scaledContent = new ScaledContentItem(contentItem());
    m_grips = new WindowResizeItem(contentItem());
    m_grips->setZ(1);
    m_grips->applyFrame = [this](const QRectF &newFrame) { setFrame(newFrame); };
    m_settledGeometry = geometry();
    m_windowManagerResizeEnd.setSingleShot(true);
    m_windowManagerResizeEnd.setInterval(windowManagerResizeSettleMs);
    connect(&m_windowManagerResizeEnd, &QTimer::timeout, this, &PanelWindow::endWindowManagerResize);
    m_returnCheck.setInterval(returnCheckMs);
    connect(&m_returnCheck, &QTimer::timeout, this, [this] {
        if (++m_returnChecks * returnCheckMs >= returnWatchMs)
            endReturn();
        else
            holdReturnPlace();
    });
    m_requests = new PanelRequests(this, this);
    connect(this, &PanelWindow::movableChanged, m_requests, &PanelRequests::movableChanged);
    connect(this, &PanelWindow::hasShadowChanged, m_requests, &PanelRequests::hasShadowChanged);
    layoutItems();
}

PanelWindow::~PanelWindow()
{
    // The view goes before the engine that made it.
    delete m_rootView.data();
    m_engine.reset();
}

void PanelWindow::attach(MainPanelController *controller)
{
    m_controller = controller;
    m_requests->setController(controller);
    m_grips->logic().onBegin = [this] {
        if (m_controller)
            m_controller->gripDragBegan();
    };
    m_grips->logic().onEnd = [this] {
        if (m_controller)
            m_controller->gripDragEnded();
    };
    connect(this, &QWindow::xChanged, this, &PanelWindow::positionChanged);
    connect(this, &QWindow::yChanged, this, &PanelWindow::positionChanged);
    const auto resized = [this] {
        if (m_controller)
            m_controller->windowDidResize();
    };
    connect(this, &QWindow::widthChanged, this, resized);
    connect(this, &QWindow::heightChanged, this, resized);
    connect(this, &QWindow::screenChanged, this, [this] {
        if (m_controller)
            m_controller->windowDidChangeScreen();
    });
    watchScreens();
    if (QCoreApplication *application = QCoreApplication::instance())
        application->installEventFilter(new SheetKeyMonitor(this, controller, this));
}

void PanelWindow::watchScreens()
{
    const auto changed = [this] {
        if (m_controller)
            m_controller->screenParametersChanged();
    };
    const auto watch = [this, changed](QScreen *screen) {
        connect(screen, &QScreen::geometryChanged, this, changed);
        connect(screen, &QScreen::availableGeometryChanged, this, changed);
    };
    for (QScreen *screen : QGuiApplication::screens())
        watch(screen);
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [watch, changed](QScreen *screen) {
        watch(screen);
        changed();
    });
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, changed);
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, changed);
}

bool PanelWindow::loadContent(AppModel *viewModel)
{
    if (!m_engine)
        m_engine = std::make_unique<QQmlEngine>();
    // The views reach the model as their AppModel singleton.
    AppModelSingleton::install(m_engine.get(), viewModel);
    // The full root view needs the full model; without either, or should the
    // view fail to load, a small stand-in view fills the panel instead of
    // leaving it empty.
    const bool full = viewModel && QFile::exists(QStringLiteral(":/Vuzo/RootView.qml"));
    if (full && createRootView(QUrl(QStringLiteral("qrc:/Vuzo/RootView.qml"))))
        return true;
    return createRootView(QUrl(QStringLiteral("qrc:/vuzo/shell/PlaceholderView.qml")));
}

bool PanelWindow::createRootView(const QUrl &url)
{
    QQmlComponent component(m_engine.get(), url);
    if (!component.isReady())
        return false;
    QObject *object = component.beginCreate(m_engine->rootContext());
    auto *item = qobject_cast<QQuickItem *>(object);
    if (!item) {
        if (object)
            component.completeCreate();
        delete object;
        return false;
    }
    // Each view takes the panel's requests when it declares them.
    if (QQmlProperty panelProperty(item, QStringLiteral("panel")); panelProperty.isWritable())
        panelProperty.write(QVariant::fromValue<QObject *>(m_requests));
    // The content engine may start early, but never ahead of the first frame.
    if (QQmlProperty(item, QStringLiteral("warmsContent")).isWritable())
        connect(
            this, &QQuickWindow::frameSwapped, item, [item] { item->setProperty("warmsContent", true); },
            Qt::ConnectionType(Qt::QueuedConnection | Qt::SingleShotConnection));
    component.completeCreate();
    delete m_rootView.data();
    m_rootView = item;
    m_requests->connectRootView(item);
    m_scaledContent->setContent(item);
    return true;
}

QQuickItem *PanelWindow::rootView() const
{
    return m_rootView;
}

bool PanelWindow::ignoresMouseEvents() const
{
    return flags().testFlag(Qt::WindowTransparentForInput);
}

void PanelWindow::layoutItems()
{
    const QSizeF size(width(), height());
    m_scaledContent->setPosition({0, 0});
    m_scaledContent->setSize(size);
    m_grips->setPosition({0, 0});
    m_grips->setSize(size);
}

void PanelWindow::resizeEvent(QResizeEvent *event)
{
    QQuickWindow::resizeEvent(event);
    layoutItems();
    sizeChanged(event->size());
}

void PanelWindow::showEvent(QShowEvent *event)
{
    QQuickWindow::showEvent(event);
    // On every workspace, like the status item; the window manager forgets
    // this whenever the panel is withdrawn, so it is asked on every show:
    // once before the map, and once after it, because the map itself names
    // the current workspace.
    X11WindowHints::joinAllWorkspaces(this);
    X11WindowHints::setCompositorShadow(this, m_hasShadow);
    if (m_returnPlace) {
        m_returnMoves = 0;
        m_returnChecks = 0;
        m_returnCheck.start();
    }
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (QQuickWindow::isVisible())
                X11WindowHints::joinAllWorkspaces(this);
        },
        Qt::QueuedConnection);
}

void PanelWindow::exposeEvent(QExposeEvent *event)
{
    QQuickWindow::exposeEvent(event);
    // Mapped: a window manager that placed it elsewhere at the map is seen
    // at once, one that does so later by the checks that follow.
    if (isExposed())
        holdReturnPlace();
}

void PanelWindow::holdReturnPlace()
{
    if (!m_returnPlace || !QQuickWindow::isVisible())
        return;
    const QPoint actual = X11WindowHints::rootPosition(this).value_or(position());
    if (actual == *m_returnPlace && position() == *m_returnPlace)
        return;
    if (m_returnMoves++ >= returnMovesLimit) {
        // The window manager keeps its place: that is where the panel is.
        endReturn();
        return;
    }
    // Qt asks for the place itself unless it believes the panel is there.
    if (position() != *m_returnPlace)
        setPosition(*m_returnPlace);
    else
        X11WindowHints::moveTo(this, *m_returnPlace);
}

void PanelWindow::endReturn()
{
    if (!m_returnPlace)
        return;
    const QPoint place = *m_returnPlace;
    m_returnCheck.stop();
    m_returnPlace.reset();
    // A window manager that kept its own place: the panel is there now.
    const QPoint actual = X11WindowHints::rootPosition(this).value_or(position());
    if (actual != place) {
        if (actual != position())
            setPosition(actual);
        positionChanged();
    }
}

void PanelWindow::sizeChanged(const QSize &size)
{
    // Our own frames (zoom, maximize, grips, fitting) come back as configures.
    if (const qsizetype ours = m_requestedSizes.indexOf(size); ours >= 0) {
        m_requestedSizes.remove(0, ours + 1);
        m_settledGeometry = geometry();
        return;
    }
    if (!m_controller || !QQuickWindow::isVisible() || m_controller->isResizingItself()) {
        m_settledGeometry = geometry();
        return;
    }
    // The window manager resizes the panel: treat it as a live resize.
    if (!m_windowManagerResize) {
        m_windowManagerResize = true;
        m_blockedResizes = 0;
        m_controller->windowWillStartLiveResize();
    }
    m_windowManagerResizeEnd.start();
    const QSizeF allowed = m_controller->windowWillResize(QSizeF(m_settledGeometry.size()), QSizeF(size));
    if (allowed == QSizeF(size)) {
        m_settledGeometry = geometry();
        return;
    }
    // Blocked (maximized, exporting): put the frame back, a few times at
    // most, so that a window manager that insists does not start a loop.
    if (m_blockedResizes++ < 3)
        setFrame(QRectF(m_settledGeometry));
}

void PanelWindow::endWindowManagerResize()
{
    if (!m_windowManagerResize)
        return;
    m_windowManagerResize = false;
    if (m_controller)
        m_controller->windowDidEndLiveResize();
}

bool PanelWindow::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        KeyEventInfo info = keyEventInfo(*key);
        // X11 repeats a held key as a release and a press with one time
        // stamp; Qt tells them apart only when both are already queued.
        if (!info.isRepeat && key->timestamp() != 0 && key->nativeScanCode() == m_lastReleasedScanCode
            && key->timestamp() == m_lastReleaseTimestamp)
            info.isRepeat = true;
        // While a card is up or a text field has the focus, the keys are the
        // scene's: past the zoom shortcuts they go to the focused item, never
        // to the answering and page keys of the screen behind.
        const bool consumed = m_controller
            && (ModalKeyGuard::keysBelongToScene(this) ? m_controller->handleScaleShortcut(info)
                                                       : m_controller->routeKeyDown(info));
        if (consumed) {
            event->accept();
            return true;
        }
        break;
    }
    case QEvent::KeyRelease: {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (!key->isAutoRepeat()) {
            m_lastReleasedScanCode = key->nativeScanCode();
            m_lastReleaseTimestamp = key->timestamp();
        }
        break;
    }
    case QEvent::Close:
        // Alt+F4, the task bar, _NET_CLOSE_WINDOW: the window manager's close
        // is the close button's, a hide to the status item, never a real close.
        if (m_controller) {
            event->ignore();
            m_controller->close();
            return true;
        }
        break;
    case QEvent::MouseButtonPress:
        // A click on the panel brings it forward with the focus; the click
        // still reaches its control.
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            raise();
            requestActivate();
        }
        break;
    default:
        break;
    }
    return QQuickWindow::event(event);
}

void PanelWindow::positionChanged()
{
    // The window manager's placement of a panel that comes back is not a
    // move of the user's: the panel goes back to its place instead.
    if (m_returnPlace) {
        if (QQuickWindow::isVisible())
            holdReturnPlace();
        return;
    }
    if (!m_windowManagerResize || m_blockedResizes == 0)
        m_settledGeometry.moveTopLeft(position());
    if (!m_controller)
        return;
    if (m_dragStart)
        m_controller->windowIsMoving();
    else
        m_controller->windowDidMove();
}

void PanelWindow::beginWindowDrag(const QPointF &globalPosition)
{
    if (!m_movable || m_dragStart)
        return;
    // The user's move is the panel's new place.
    m_returnPlace.reset();
    m_returnCheck.stop();
    m_dragStart = globalPosition;
    m_dragOrigin = position();
    if (m_controller)
        m_controller->windowWillMove();
}

void PanelWindow::dragWindow(const QPointF &globalPosition)
{
    if (!m_dragStart)
        return;
    const QPointF delta = globalPosition - *m_dragStart;
    setPosition(m_dragOrigin + QPoint(toPixels(delta.x()), toPixels(delta.y())));
}

void PanelWindow::endWindowDrag()
{
    if (!m_dragStart)
        return;
    m_dragStart.reset();
    if (m_controller)
        m_controller->windowDidMove();
}

QRectF PanelWindow::frame() const
{
    return QRectF(geometry());
}

void PanelWindow::setFrame(const QRectF &frame)
{
    if (!std::isfinite(frame.x()) || !std::isfinite(frame.y()) || !std::isfinite(frame.width())
        || !std::isfinite(frame.height()))
        return;
    const QRect rect(toPixels(frame.x()), toPixels(frame.y()), std::max(1, toPixels(frame.width())),
                     std::max(1, toPixels(frame.height())));
    if (rect == geometry())
        return;
    // Our own frame is the one to return to, even before its configure
    // comes back (a window manager's may overtake it).
    m_settledGeometry = rect;
    if (m_returnPlace) {
        // The program places the panel itself: while it is away, that is
        // where it comes back; once shown, the new place stands as it is.
        if (QQuickWindow::isVisible()) {
            m_returnPlace.reset();
            m_returnCheck.stop();
        } else {
            m_returnPlace = rect.topLeft();
        }
    }
    // Before the window exists the size applies at once, with no configure.
    if (handle() && rect.size() != geometry().size()) {
        m_requestedSizes.append(rect.size());
        // Configures that never come back (a window manager that changed
        // the size) must not make the list grow without end.
        if (m_requestedSizes.size() > 16)
            m_requestedSizes.removeFirst();
    }
    setGeometry(rect);
}

bool PanelWindow::isVisible() const
{
    return QQuickWindow::isVisible() && !isMinimized();
}

bool PanelWindow::isMinimized() const
{
    return windowStates().testFlag(Qt::WindowMinimized);
}

void PanelWindow::setIgnoresMouseEvents(bool ignores)
{
    if (ignoresMouseEvents() != ignores)
        setFlag(Qt::WindowTransparentForInput, ignores);
}

void PanelWindow::orderOut()
{
    if (!QQuickWindow::isVisible())
        return;
    // Hidden again while still coming back: the place stays the one it left.
    m_returnCheck.stop();
    m_returnPlace = m_returnPlace.value_or(position());
    hide();
    // Window managers may place a window that maps again by a place of their
    // own (weston by the corner of the frame it drew round it, further up and
    // left on every showing), and may refuse to move it back; a new window is
    // placed where it asks. So the withdrawn panel gives up its X11 window, and
    // the next showing maps a new one at the panel's place. The scene and its
    // graphics stay.
    if (handle() && QGuiApplication::platformName() == QLatin1String("xcb")) {
        destroy();
        // Configures of the old window never come back.
        m_requestedSizes.clear();
    }
}

void PanelWindow::orderFrontWithoutActivation()
{
    setProperty(showWithoutActivatingProperty, true);
    setVisible(true);
    raise();
    setProperty(showWithoutActivatingProperty, false);
}

void PanelWindow::activateAndOrderFront()
{
    setVisible(true);
    raise();
    requestActivate();
}

void PanelWindow::makeKey()
{
    requestActivate();
}

void PanelWindow::minimize()
{
    showMinimized();
}

void PanelWindow::deminimize()
{
    setWindowStates(windowStates() & ~Qt::WindowMinimized);
}

QSizeF PanelWindow::minimumSize() const
{
    return QSizeF(QQuickWindow::minimumSize());
}

void PanelWindow::setMinimumSize(const QSizeF &size)
{
    const auto side = [](double value) { return std::max(0, toPixels(std::ceil(value))); };
    QQuickWindow::setMinimumSize(QSize(side(size.width()), side(size.height())));
}

void PanelWindow::setMovable(bool movable)
{
    if (m_movable == movable)
        return;
    m_movable = movable;
    Q_EMIT movableChanged();
}

void PanelWindow::setHasShadow(bool hasShadow)
{
    if (m_hasShadow == hasShadow)
        return;
    m_hasShadow = hasShadow;
    if (handle())
        X11WindowHints::setCompositorShadow(this, m_hasShadow);
    Q_EMIT hasShadowChanged();
}

std::optional<QRectF> PanelWindow::screenVisibleFrame() const
{
    if (QScreen *current = screen())
        return QRectF(current->availableGeometry());
    return std::nullopt;
}

void PanelWindow::setContentScale(double scale)
{
    m_scaledContent->setContentScale(scale);
}

void PanelWindow::setResizingEnabled(bool enabled)
{
    m_grips->setResizingEnabled(enabled);
}
