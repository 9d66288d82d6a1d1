#pragma once

#include <QJsonValue>
#include <QObject>
#include <QString>

#include <functional>

// The one object a content page reaches through its web channel: nothing but
// post(); every message goes to the receiver unchanged, to be checked there.
class ContentBridgeEndpoint : public QObject
{
    Q_OBJECT

public:
    using Receiver = std::function<void(const QString &name, const QJsonValue &body)>;

    explicit ContentBridgeEndpoint(Receiver receiver, QObject *parent = nullptr);

    Q_INVOKABLE void post(const QString &name, const QJsonValue &body);

private:
    Receiver m_receiver;
};
