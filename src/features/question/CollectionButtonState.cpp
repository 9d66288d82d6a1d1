#include "CollectionButtonState.h"

CollectionButtonState::CollectionButtonState(QObject *parent)
    : QObject(parent)
{
}

void CollectionButtonState::setModel(AppModel *model)
{
    if (m_model == model)
        return;
    if (m_model)
        disconnect(m_model, nullptr, this, nullptr);
    m_model = model;
    if (m_model) {
        for (auto signal : {&AppModel::collectionOverridesChanged, &AppModel::collectionRequestsChanged,
                            &AppModel::selectedExamBankChanged})
            connect(m_model, signal, this, &CollectionButtonState::changed);
    }
    Q_EMIT modelChanged();
    Q_EMIT changed();
}

void CollectionButtonState::setQuestionId(const QString &id)
{
    if (m_questionId == id)
        return;
    m_questionId = id;
    Q_EMIT questionChanged();
    Q_EMIT changed();
}

void CollectionButtonState::setQuestionIsCollect(bool value)
{
    if (m_questionIsCollect == value)
        return;
    m_questionIsCollect = value;
    Q_EMIT questionChanged();
    Q_EMIT changed();
}

Question CollectionButtonState::question() const
{
    Question q;
    q.id = m_questionId;
    q.isCollect = m_questionIsCollect;
    return q;
}

QString CollectionButtonState::key() const
{
    return m_model ? m_model->collectionKey(question()) : QString();
}

bool CollectionButtonState::collected() const
{
    return m_model ? m_model->isCollected(question()) : m_questionIsCollect;
}

bool CollectionButtonState::requesting() const
{
    return m_model && m_model->collectionRequests().contains(key());
}

QString CollectionButtonState::text() const
{
    if (requesting())
        return QStringLiteral("处理中");
    return collected() ? QStringLiteral("已收藏") : QStringLiteral("收藏");
}

QString CollectionButtonState::symbol() const
{
    return collected() ? QStringLiteral("star.fill") : QStringLiteral("star");
}

QString CollectionButtonState::toolTip() const
{
    return collected() ? QStringLiteral("取消收藏这道题") : QStringLiteral("收藏这道题");
}

void CollectionButtonState::toggle()
{
    if (!enabled())
        return;
    m_model->runDetached(m_model->toggleCollection(question()));
}
