#include "ContentBridgeEndpoint.h"

ContentBridgeEndpoint::ContentBridgeEndpoint(Receiver receiver, QObject *parent)
    : QObject(parent)
    , m_receiver(std::move(receiver))
{
}

void ContentBridgeEndpoint::post(const QString &name, const QJsonValue &body)
{
    if (m_receiver)
        m_receiver(name, body);
}
