#include "HtmlContentController.h"

#include "ContentBridgeEndpoint.h"
#include "ContentPageStore.h"
#include "app/TransparentAppearanceScale.h"

#include <QJsonObject>

#include <cmath>

namespace {

bool sameOptional(const std::optional<QString> &a, const std::optional<QString> &b)
{
    return a.has_value() == b.has_value() && (!a || *a == *b);
}

} // namespace

HtmlContentController::HtmlContentController(QObject *parent)
    : QObject(parent)
    , m_viewId(ContentPageStore::shared().nextViewId())
    , m_endpoint(new ContentBridgeEndpoint(
          [this](const QString &name, const QJsonValue &body) { handleMessage(name, body); }, this))
{
    m_applyTimer.setSingleShot(true);
    m_heightTimer.setSingleShot(true);
    m_heightTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_applyTimer, &QTimer::timeout, this, &HtmlContentController::apply);
    connect(&m_heightTimer, &QTimer::timeout, this, &HtmlContentController::writePendingHeight);
    // The level enters the ink colours; the page follows it like any input.
    connect(&TransparentAppearanceScale::shared(), &TransparentAppearanceScale::currentValueChanged, this,
            &HtmlContentController::inputChanged);
}

HtmlContentController::~HtmlContentController()
{
    ContentPageStore::shared().remove(m_viewId);
}

QObject *HtmlContentController::channelObject() const
{
    return m_endpoint;
}

void HtmlContentController::setHtml(const QString &value)
{
    if (m_html == value)
        return;
    m_html = value;
    inputChanged();
}

void HtmlContentController::setTextOpacity(double value)
{
    m_textOpacity = value;
    inputChanged();
}

void HtmlContentController::setImageOpacity(double value)
{
    m_imageOpacity = value;
    inputChanged();
}

void HtmlContentController::setTransparentInkHex(const QString &value)
{
    m_inkHex = value.isEmpty() ? std::nullopt : std::optional<QString>(value);
    inputChanged();
}

void HtmlContentController::setTransparentInkIntensity(double value)
{
    m_inkIntensity = value;
    inputChanged();
}

void HtmlContentController::setContentStyle(HtmlContentStyle::Style value)
{
    if (m_style == value)
        return;
    m_style = value;
    inputChanged();
}

void HtmlContentController::setIsGraphicReasoning(bool value)
{
    if (m_isGraphicReasoning == value)
        return;
    m_isGraphicReasoning = value;
    inputChanged();
}

void HtmlContentController::setViewWidth(double value)
{
    if (m_viewWidth == value)
        return;
    const bool hadWidth = m_viewWidth > 0;
    m_viewWidth = value;
    // The page follows its size itself; only what waited for a width (the
    // first load, or a change made while the view had none) goes out now.
    if (m_applied.version == 0 || (!hadWidth && m_viewWidth > 0))
        inputChanged();
}

double HtmlContentController::effectiveLevel() const
{
    return m_inkHex ? TransparentAppearanceScale::currentValue() : 1.0;
}

void HtmlContentController::inputChanged()
{
    Q_EMIT inputsChanged();
    if (m_applyTimer.isActive())
        return;
    // The first load goes out on the next turn; recolours at most once a frame.
    m_applyTimer.start(m_applied.version == 0 ? 0 : frameMilliseconds);
}

void HtmlContentController::flush()
{
    m_applyTimer.stop();
    apply();
}

void HtmlContentController::apply()
{
    if (!(m_viewWidth > 0))
        return;
    const double level = effectiveLevel();
    const bool reload = m_applied.version == 0 || m_applied.html != m_html || m_applied.style != m_style
        || m_applied.isGraphicReasoning != m_isGraphicReasoning;
    // Exact comparisons: a NaN never equals itself and so counts as a change.
    const bool recolourNeeded = !(m_applied.textOpacity == m_textOpacity && m_applied.imageOpacity == m_imageOpacity
                                  && sameOptional(m_applied.inkHex, m_inkHex)
                                  && m_applied.inkIntensity == m_inkIntensity && m_applied.level == level);
    m_applied.html = m_html;
    m_applied.textOpacity = m_textOpacity;
    m_applied.imageOpacity = m_imageOpacity;
    m_applied.inkHex = m_inkHex;
    m_applied.inkIntensity = m_inkIntensity;
    m_applied.level = level;
    m_applied.style = m_style;
    m_applied.isGraphicReasoning = m_isGraphicReasoning;
    if (reload)
        loadDocument();
    else if (recolourNeeded)
        recolour(false);
}

void HtmlContentController::loadDocument()
{
    ++m_applied.version;
    HtmlPageTemplate::Parameters parameters;
    const double imageOpacity = HtmlPageTemplate::clampOpacity(m_applied.imageOpacity);
    parameters.colors = HtmlPageTemplate::contentColors(m_applied.textOpacity, m_applied.inkHex);
    parameters.imageOpacity = imageOpacity;
    parameters.hoverImageOpacity = std::min(1.0, imageOpacity + 0.1);
    parameters.style = m_applied.style;
    parameters.documentVersion = m_applied.version;
    parameters.isGraphicReasoning = m_applied.isGraphicReasoning;
    parameters.body = HtmlPageTemplate::normalizeEncodedHTMLIfNeeded(m_applied.html);
    parameters.nonce = HtmlPageTemplate::newNonce();
    m_currentPage = HtmlPageTemplate::page(parameters);
    m_pendingHeight.reset();
    // A new page starts unscrolled; its own reports tell whether it overflows.
    setScrollsInside(false);
    m_pageUrl = ContentPageStore::shared().publish(m_viewId, m_applied.version, m_currentPage.toUtf8());
    Q_EMIT pageUrlChanged();
}

void HtmlContentController::recolour(bool notifyHeight)
{
    const double imageOpacity = HtmlPageTemplate::clampOpacity(m_applied.imageOpacity);
    Q_EMIT scriptRequested(HtmlPageTemplate::styleUpdateScript(
        HtmlPageTemplate::contentColors(m_applied.textOpacity, m_applied.inkHex), imageOpacity,
        std::min(1.0, imageOpacity + 0.1), notifyHeight));
}

void HtmlContentController::loadFinished(bool succeeded)
{
    if (!succeeded || m_applied.version == 0)
        return;
    recolour(true);
    // The same page loaded again (a renderer restart) lost its scrolling.
    if (m_scrollsInside)
        Q_EMIT scriptRequested(HtmlPageTemplate::innerScrollScript(true));
}

void HtmlContentController::applicationBecameActive()
{
    if (m_applied.version > 0)
        recolour(true);
}

void HtmlContentController::renderProcessEnded()
{
    if (m_applied.version > 0)
        Q_EMIT reloadRequested();
}

bool HtmlContentController::acceptsNavigation(const QUrl &url, bool isMainFrame) const
{
    return isMainFrame && !m_pageUrl.isEmpty() && url == m_pageUrl;
}

std::optional<double> HtmlContentController::acceptedHeight(const QJsonValue &body, qint64 currentVersion)
{
    if (!body.isObject())
        return std::nullopt;
    const QJsonObject object = body.toObject();
    if (object.value(QLatin1String("type")).toString() != QLatin1String("height"))
        return std::nullopt;
    const QJsonValue value = object.value(QLatin1String("value"));
    const QJsonValue version = object.value(QLatin1String("version"));
    if (!value.isDouble() || !version.isDouble())
        return std::nullopt;
    // Numbers cross the channel as doubles; any integral one is a version.
    const double v = version.toDouble();
    if (!std::isfinite(v) || std::floor(v) != v || v != double(currentVersion))
        return std::nullopt;
    return value.toDouble();
}

void HtmlContentController::handleMessage(const QString &name, const QJsonValue &body)
{
    if (name == QLatin1String("resize")) {
        if (const std::optional<double> height = acceptedHeight(body, m_applied.version))
            queueHeight(*height);
    } else if (name == QLatin1String("imageClick")) {
        if (body.isString())
            Q_EMIT imageTapped(body.toString());
    }
}

void HtmlContentController::queueHeight(double height)
{
    if (!std::isfinite(height) || height <= 0)
        return;
    // A page taller than the cap still shows: at the cap, scrolling inside.
    if (std::abs(m_contentHeight - std::min(height, maximumHeight)) <= 0.5
        && (height > maximumHeight) == m_scrollsInside && !m_pendingHeight)
        return;
    m_pendingHeight = std::make_pair(height, m_applied.version);
    // Several reports within a frame become one write.
    if (m_heightTimer.isActive())
        return;
    const qint64 sinceLast = m_lastHeightWrite.isValid() ? m_lastHeightWrite.elapsed() : frameMilliseconds;
    m_heightTimer.start(int(std::max<qint64>(0, frameMilliseconds - sinceLast)));
}

void HtmlContentController::writePendingHeight()
{
    if (!m_pendingHeight)
        return;
    const auto [reported, version] = *m_pendingHeight;
    m_pendingHeight.reset();
    if (version != m_applied.version)
        return;
    const double height = std::min(reported, maximumHeight);
    if (std::abs(m_contentHeight - height) > 0.5) {
        m_contentHeight = height;
        m_lastHeightWrite.start();
        Q_EMIT contentHeightChanged();
    }
    setScrollsInside(reported > maximumHeight);
}

void HtmlContentController::setScrollsInside(bool value)
{
    if (m_scrollsInside == value)
        return;
    m_scrollsInside = value;
    if (m_applied.version > 0)
        Q_EMIT scriptRequested(HtmlPageTemplate::innerScrollScript(value));
    Q_EMIT scrollsInsideChanged();
}
