#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <utility>

class QTcpServer;
class QTcpSocket;

// One parsed HTTP/1.1 request as it came off the wire.
struct FakeHttpRequest
{
    quint64 exchangeId = 0;
    QByteArray method;
    QByteArray target; // as sent, query included
    QList<std::pair<QByteArray, QByteArray>> headers; // in arrival order, names as sent
    QByteArray body;

    [[nodiscard]] QByteArray header(QByteArrayView name) const;
    [[nodiscard]] bool hasHeader(QByteArrayView name) const;
};

// A minimal HTTP/1.1 server on loopback: Content-Length bodies, keep-alive,
// pipelined requests answered in order. Replies may be given later than the
// request (held replies); a connection's later replies then wait for it.
class FakeHttpServer : public QObject
{
    Q_OBJECT

public:
    using Handler = std::function<void(const FakeHttpRequest &request)>;

    explicit FakeHttpServer(Handler handler, QObject *parent = nullptr);
    ~FakeHttpServer() override;

    bool listen(quint16 port);
    void close();
    [[nodiscard]] bool isListening() const;
    [[nodiscard]] quint16 port() const;

    // Answers the request with this exchange id; a no-op when its connection is
    // gone. Extra headers are whole lines without their line end.
    void respond(quint64 exchangeId, int status, const QByteArray &body,
                 const QByteArray &contentType = QByteArrayLiteral("application/json; charset=utf-8"),
                 const QList<QByteArray> &extraHeaders = {});

    static constexpr qsizetype maxHeaderBytes = 64 * 1024;
    static constexpr qsizetype maxBodyBytes = 16 * 1024 * 1024;

private:
    struct Pending
    {
        quint64 exchangeId = 0;
        bool ready = false;
        bool closeAfter = false;
        QByteArray bytes;
    };
    struct Connection
    {
        QPointer<QTcpSocket> socket;
        QByteArray buffer;
        QList<Pending> pending;
        bool broken = false;
    };

    void onNewConnection();
    void onReadyRead(QTcpSocket *socket);
    void parse(Connection &connection);
    void failConnection(Connection &connection, int status);
    void flush(Connection &connection);
    void dropConnection(QTcpSocket *socket);

    [[nodiscard]] static QByteArray formatResponse(int status, const QByteArray &body, const QByteArray &contentType,
                                                   bool closeAfter, const QList<QByteArray> &extraHeaders = {});

    Handler m_handler;
    QTcpServer *m_server = nullptr;
    QHash<QTcpSocket *, std::shared_ptr<Connection>> m_connections;
    QHash<quint64, QTcpSocket *> m_exchangeOwner;
    quint64 m_nextExchangeId = 1;
};
