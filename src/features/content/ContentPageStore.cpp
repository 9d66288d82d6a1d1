#include "ContentPageStore.h"

ContentPageStore &ContentPageStore::shared()
{
    static ContentPageStore store;
    return store;
}

QUrl ContentPageStore::address(quint64 viewId, qint64 version)
{
    return QUrl(QString::fromLatin1(scheme) + QStringLiteral(":/") + QString::number(viewId) + QLatin1Char('/')
                + QString::number(version));
}

QUrl ContentPageStore::publish(quint64 viewId, qint64 version, const QByteArray &html)
{
    const QUrl url = address(viewId, version);
    m_pages.insert(viewId, Entry{url, html});
    return url;
}

void ContentPageStore::remove(quint64 viewId)
{
    m_pages.remove(viewId);
}

std::optional<QByteArray> ContentPageStore::page(const QUrl &url) const
{
    if (url.scheme() != QLatin1String(scheme) || url.hasQuery() || url.hasFragment())
        return std::nullopt;
    const QStringList parts = url.path().split(QLatin1Char('/'));
    if (parts.size() != 3 || !parts[0].isEmpty())
        return std::nullopt;
    bool ok = false;
    const quint64 viewId = parts[1].toULongLong(&ok);
    if (!ok)
        return std::nullopt;
    const auto it = m_pages.constFind(viewId);
    if (it == m_pages.constEnd() || it->url != url)
        return std::nullopt;
    return it->html;
}
