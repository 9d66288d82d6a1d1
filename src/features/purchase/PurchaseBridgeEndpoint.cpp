#include "PurchaseBridgeEndpoint.h"

PurchaseBridgeEndpoint::PurchaseBridgeEndpoint(Receiver receiver, QObject *parent)
    : QObject(parent)
    , m_receiver(std::move(receiver))
{
}

void PurchaseBridgeEndpoint::postMessage(const QJsonValue &body)
{
    if (m_receiver)
        m_receiver(body);
}
