#pragma once

#include "HtmlContentStyle.h"
#include "HtmlPageTemplate.h"

#include <QElapsedTimer>
#include <QJsonValue>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

#include <optional>

class ContentBridgeEndpoint;

// The logic behind one HTML content view: which page to load, when a change
// reloads it and when it only recolours it, which height reports count, and
// which navigations are allowed. The QML host (HtmlWebView.qml) only
// forwards: it loads pageUrl, runs scriptRequested() texts, registers
// channelObject in its web channel under ContentWebProfile.channelObjectName,
// and reports load ends, render-process ends and navigation requests.
//
// Input changes are applied on a later turn of the event loop: a burst of
// changes (a colour wheel being dragged) becomes one recolour per frame, and
// nothing loads before the view has a width.
class HtmlContentController : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(QString html READ html WRITE setHtml NOTIFY inputsChanged)
    Q_PROPERTY(double textOpacity READ textOpacity WRITE setTextOpacity NOTIFY inputsChanged)
    Q_PROPERTY(double imageOpacity READ imageOpacity WRITE setImageOpacity NOTIFY inputsChanged)
    // Empty while the transparent look is off.
    Q_PROPERTY(QString transparentInkHex READ transparentInkHex WRITE setTransparentInkHex NOTIFY inputsChanged)
    Q_PROPERTY(double transparentInkIntensity READ transparentInkIntensity WRITE setTransparentInkIntensity NOTIFY inputsChanged)
    Q_PROPERTY(int contentStyle READ contentStyleInt WRITE setContentStyleInt NOTIFY inputsChanged)
    Q_PROPERTY(bool isGraphicReasoning READ isGraphicReasoning WRITE setIsGraphicReasoning NOTIFY inputsChanged)
    Q_PROPERTY(double viewWidth READ viewWidth WRITE setViewWidth NOTIFY inputsChanged)

    Q_PROPERTY(double contentHeight READ contentHeight NOTIFY contentHeightChanged)
    // The content is taller than maximumHeight: the view stays at that
    // height and the page scrolls inside it for the rest.
    Q_PROPERTY(bool scrollsInside READ scrollsInside NOTIFY scrollsInsideChanged)
    Q_PROPERTY(QUrl pageUrl READ pageUrl NOTIFY pageUrlChanged)
    Q_PROPERTY(int documentVersion READ documentVersionInt NOTIFY pageUrlChanged)
    Q_PROPERTY(QObject *channelObject READ channelObject CONSTANT)

public:
    // The tallest view made for a page; a taller page is shown at this
    // height and scrolls inside itself.
    static constexpr double maximumHeight = 30000;
    static constexpr int frameMilliseconds = 16;

    explicit HtmlContentController(QObject *parent = nullptr);
    ~HtmlContentController() override;

    [[nodiscard]] QString html() const { return m_html; }
    void setHtml(const QString &value);
    [[nodiscard]] double textOpacity() const { return m_textOpacity; }
    void setTextOpacity(double value);
    [[nodiscard]] double imageOpacity() const { return m_imageOpacity; }
    void setImageOpacity(double value);
    [[nodiscard]] QString transparentInkHex() const { return m_inkHex.value_or(QString()); }
    void setTransparentInkHex(const QString &value);
    [[nodiscard]] double transparentInkIntensity() const { return m_inkIntensity; }
    void setTransparentInkIntensity(double value);
    [[nodiscard]] HtmlContentStyle::Style contentStyle() const { return m_style; }
    void setContentStyle(HtmlContentStyle::Style value);
    [[nodiscard]] bool isGraphicReasoning() const { return m_isGraphicReasoning; }
    void setIsGraphicReasoning(bool value);
    [[nodiscard]] double viewWidth() const { return m_viewWidth; }
    void setViewWidth(double value);

    [[nodiscard]] double contentHeight() const { return m_contentHeight; }
    [[nodiscard]] bool scrollsInside() const { return m_scrollsInside; }
    [[nodiscard]] QUrl pageUrl() const { return m_pageUrl; }
    [[nodiscard]] qint64 documentVersion() const { return m_applied.version; }
    [[nodiscard]] QObject *channelObject() const;
    // The document text of the current page (for tests and the PDF export).
    [[nodiscard]] QString currentPage() const { return m_currentPage; }

    // Applies pending input changes now instead of on the next turn.
    Q_INVOKABLE void flush();

    // The view finished a load; the page is recoloured with the current
    // values and asked for its height.
    Q_INVOKABLE void loadFinished(bool succeeded);
    // The program came back to the foreground.
    Q_INVOKABLE void applicationBecameActive();
    // The page's renderer went away: show the same document again.
    Q_INVOKABLE void renderProcessEnded();
    // Only the view's own page may load in it, and only in its main frame.
    Q_INVOKABLE [[nodiscard]] bool acceptsNavigation(const QUrl &url, bool isMainFrame) const;

    // One message posted by the page ("resize" or "imageClick").
    void handleMessage(const QString &name, const QJsonValue &body);

    // A "resize" body's height when it is well formed and of this document.
    [[nodiscard]] static std::optional<double> acceptedHeight(const QJsonValue &body, qint64 currentVersion);

Q_SIGNALS:
    void inputsChanged();
    void contentHeightChanged();
    void scrollsInsideChanged();
    void pageUrlChanged();
    // The view runs this in its page; the result is not used.
    void scriptRequested(const QString &script);
    // The view reloads its current page (same address).
    void reloadRequested();
    void imageTapped(const QString &source);

private:
    struct Applied
    {
        QString html;
        double textOpacity = 0;
        double imageOpacity = 0;
        std::optional<QString> inkHex;
        double inkIntensity = 0;
        double level = 1;
        HtmlContentStyle::Style style = HtmlContentStyle::Standard;
        bool isGraphicReasoning = false;
        qint64 version = 0;
    };

    [[nodiscard]] int contentStyleInt() const { return int(m_style); }
    void setContentStyleInt(int value) { setContentStyle(HtmlContentStyle::fromInt(value)); }
    [[nodiscard]] int documentVersionInt() const { return int(m_applied.version); }
    [[nodiscard]] double effectiveLevel() const;
    void inputChanged();
    void apply();
    void loadDocument();
    void recolour(bool notifyHeight);
    void queueHeight(double height);
    void writePendingHeight();
    void setScrollsInside(bool value);

    QString m_html;
    double m_textOpacity = 1;
    double m_imageOpacity = 1;
    std::optional<QString> m_inkHex;
    double m_inkIntensity = 1;
    HtmlContentStyle::Style m_style = HtmlContentStyle::Standard;
    bool m_isGraphicReasoning = false;
    double m_viewWidth = 0;

    Applied m_applied;
    quint64 m_viewId;
    QUrl m_pageUrl;
    QString m_currentPage;
    double m_contentHeight = 0;
    bool m_scrollsInside = false;
    std::optional<std::pair<double, qint64>> m_pendingHeight;
    QTimer m_applyTimer;
    QTimer m_heightTimer;
    QElapsedTimer m_lastHeightWrite;
    ContentBridgeEndpoint *m_endpoint;
};
