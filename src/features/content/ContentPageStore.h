#pragma once

#include <QByteArray>
#include <QHash>
#include <QUrl>

#include <optional>

// The pages the content views show, by address, served to the engine by
// ContentSchemeHandler. Each view keeps exactly its current document here;
// a page is far too large for a data: address at times (more than 2 MB of
// inline images), so nothing goes through one. GUI thread only.
class ContentPageStore
{
public:
    static inline const QByteArray scheme = QByteArrayLiteral("vuzo-content");

    static ContentPageStore &shared();

    // "vuzo-content:/<view>/<version>"; the view's previous page goes.
    QUrl publish(quint64 viewId, qint64 version, const QByteArray &html);
    void remove(quint64 viewId);
    // The page at exactly that address, or nothing.
    [[nodiscard]] std::optional<QByteArray> page(const QUrl &url) const;
    [[nodiscard]] qsizetype size() const { return m_pages.size(); }

    [[nodiscard]] static QUrl address(quint64 viewId, qint64 version);
    // A fresh id for a view.
    [[nodiscard]] quint64 nextViewId() { return ++m_lastViewId; }

private:
    struct Entry
    {
        QUrl url;
        QByteArray html;
    };
    QHash<quint64, Entry> m_pages;
    quint64 m_lastViewId = 0;
};
