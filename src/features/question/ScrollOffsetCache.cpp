#include "ScrollOffsetCache.h"

ScrollOffsetCache::ScrollOffsetCache(QObject *parent)
    : QObject(parent)
{
}

QString ScrollOffsetCache::questionKey(const QString &questionId)
{
    return QStringLiteral("question:") + questionId;
}

QString ScrollOffsetCache::materialKey(const QString &materialId)
{
    return QStringLiteral("material:") + materialId;
}

QString ScrollOffsetCache::analysisKey(const QString &questionId)
{
    return QStringLiteral("analysis:") + questionId;
}

std::optional<double> ScrollOffsetCache::value(const QString &key) const
{
    const auto it = m_values.constFind(key);
    if (it == m_values.cend())
        return std::nullopt;
    return *it;
}

void ScrollOffsetCache::setValue(const QString &key, double offset)
{
    m_values.insert(key, offset);
}
