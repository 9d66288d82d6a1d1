#pragma once

#include <QJsonValue>
#include <QObject>

#include <functional>

// The one object the shop page reaches through the web channel. It offers
// nothing but postMessage(), so that the page sees no property, signal or
// operation of the program; every message goes to the receiver unchanged.
class PurchaseBridgeEndpoint : public QObject
{
    Q_OBJECT

public:
    using Receiver = std::function<void(const QJsonValue &)>;

    explicit PurchaseBridgeEndpoint(Receiver receiver, QObject *parent = nullptr);

    // Whatever the page posted: a string, or any other JSON value to be refused.
    Q_INVOKABLE void postMessage(const QJsonValue &body);

private:
    Receiver m_receiver;
};
