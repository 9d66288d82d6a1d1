#pragma once

#include "ScrollOffsetCache.h"

#include <QObject>
#include <QPointer>
#include <QQmlParserStatus>
#include <QtQml/qqmlregistration.h>

#include <optional>

// Keeps one scrolling pane's position in a ScrollOffsetCache. The pane binds
// its visible origin, visible height and content height in, and scrolls when
// scrollRequested() asks it to.
//
// On attach (a new cache or key) the saved offset is restored as far as the
// content allows, and again whenever the content or viewport is resized,
// until the saved position is reachable. Nothing is recorded while a restore
// is pending, so a pane that is still growing does not overwrite its saved
// value with an intermediate position. A restore that can never complete
// (the content now ends above the saved offset) gives way to the user: the
// first user scroll ends it and recording starts from there.
class ScrollOffsetObserver : public QObject, public QQmlParserStatus
{
    Q_OBJECT
    QML_ELEMENT
    Q_INTERFACES(QQmlParserStatus)
    Q_PROPERTY(ScrollOffsetCache *cache READ cache WRITE setCache NOTIFY cacheChanged)
    Q_PROPERTY(QString key READ key WRITE setKey NOTIFY keyChanged)
    Q_PROPERTY(double viewportY READ viewportY WRITE setViewportY NOTIFY viewportYChanged)
    Q_PROPERTY(double viewportHeight READ viewportHeight WRITE setViewportHeight NOTIFY viewportHeightChanged)
    Q_PROPERTY(double contentHeight READ contentHeight WRITE setContentHeight NOTIFY contentHeightChanged)
    Q_PROPERTY(bool restoring READ restoring NOTIFY restoringChanged)

public:
    explicit ScrollOffsetObserver(QObject *parent = nullptr);

    [[nodiscard]] ScrollOffsetCache *cache() const { return m_cache; }
    void setCache(ScrollOffsetCache *cache);
    [[nodiscard]] QString key() const { return m_key; }
    void setKey(const QString &key);
    [[nodiscard]] double viewportY() const { return m_viewportY; }
    void setViewportY(double y);
    [[nodiscard]] double viewportHeight() const { return m_viewportHeight; }
    void setViewportHeight(double height);
    [[nodiscard]] double contentHeight() const { return m_contentHeight; }
    void setContentHeight(double height);
    [[nodiscard]] bool restoring() const { return m_pendingRestore.has_value(); }

    // The user moved the pane (a drag, a flick or the wheel).
    Q_INVOKABLE void userScrolled();

    void classBegin() override {}
    void componentComplete() override;

Q_SIGNALS:
    void cacheChanged();
    void keyChanged();
    void viewportYChanged();
    void viewportHeightChanged();
    void contentHeightChanged();
    void restoringChanged();
    // The pane is to show its content from y on.
    void scrollRequested(double y);

private:
    void attach();
    void record();
    void restoreIfPossible();
    void setPendingRestore(std::optional<double> value);

    QPointer<ScrollOffsetCache> m_cache;
    QString m_key;
    double m_viewportY = 0;
    double m_viewportHeight = 0;
    double m_contentHeight = 0;
    std::optional<double> m_pendingRestore;
    bool m_complete = false;
    bool m_scrolling = false; // inside our own scrollRequested()
};
