#include "FakeHttpServer.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 411: return "Length Required";
    case 413: return "Payload Too Large";
    case 426: return "Upgrade Required";
    case 430: return "Session Rejected";
    case 431: return "Request Header Fields Too Large";
    case 500: return "Internal Server Error";
    case 501: return "Not Implemented";
    case 502: return "Bad Gateway";
    case 503: return "Service Unavailable";
    default: return "Status";
    }
}

bool equalsIgnoringCase(QByteArrayView a, QByteArrayView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

QByteArray FakeHttpRequest::header(QByteArrayView name) const
{
    for (const auto &[key, value] : headers) {
        if (equalsIgnoringCase(key, name))
            return value;
    }
    return {};
}

bool FakeHttpRequest::hasHeader(QByteArrayView name) const
{
    for (const auto &entry : headers) {
        if (equalsIgnoringCase(entry.first, name))
            return true;
    }
    return false;
}

FakeHttpServer::FakeHttpServer(Handler handler, QObject *parent)
    : QObject(parent), m_handler(std::move(handler)), m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &FakeHttpServer::onNewConnection);
}

FakeHttpServer::~FakeHttpServer()
{
    close();
}

bool FakeHttpServer::listen(quint16 port)
{
    if (m_server->isListening())
        return true;
    return m_server->listen(QHostAddress::LocalHost, port);
}

void FakeHttpServer::close()
{
    m_server->close();
    // A parse still running for one of these connections (a request handler
    // that stopped the server) must not hand on further requests.
    for (const auto &connection : std::as_const(m_connections))
        connection->broken = true;
    const auto sockets = m_connections.keys();
    for (QTcpSocket *socket : sockets) {
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }
    m_connections.clear();
    m_exchangeOwner.clear();
}

bool FakeHttpServer::isListening() const
{
    return m_server->isListening();
}

quint16 FakeHttpServer::port() const
{
    return m_server->serverPort();
}

void FakeHttpServer::onNewConnection()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        auto connection = std::make_shared<Connection>();
        connection->socket = socket;
        m_connections.insert(socket, connection);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        // Queued so that a socket never vanishes under a running parse or flush.
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { dropConnection(socket); },
                Qt::QueuedConnection);
        if (socket->bytesAvailable() > 0)
            onReadyRead(socket);
    }
}

void FakeHttpServer::onReadyRead(QTcpSocket *socket)
{
    const auto connection = m_connections.value(socket);
    if (!connection || connection->broken)
        return;
    connection->buffer.append(socket->readAll());
    parse(*connection);
}

void FakeHttpServer::parse(Connection &connection)
{
    for (;;) {
        if (connection.broken)
            return;
        const qsizetype headerEnd = connection.buffer.indexOf("\r\n\r\n");
        if (headerEnd < 0) {
            if (connection.buffer.size() > maxHeaderBytes)
                failConnection(connection, 431);
            return;
        }
        if (headerEnd > maxHeaderBytes) {
            failConnection(connection, 431);
            return;
        }

        const QList<QByteArray> lines = connection.buffer.left(headerEnd).split('\n');
        const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
        if (requestLine.size() != 3 || !requestLine.at(2).startsWith("HTTP/1.")) {
            failConnection(connection, 400);
            return;
        }

        FakeHttpRequest request;
        request.method = requestLine.at(0);
        request.target = requestLine.at(1);
        bool http10 = requestLine.at(2) == "HTTP/1.0";
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QByteArray line = lines.at(i).trimmed();
            if (line.isEmpty())
                continue;
            const qsizetype colon = line.indexOf(':');
            if (colon <= 0) {
                failConnection(connection, 400);
                return;
            }
            request.headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
        }

        if (request.hasHeader("Transfer-Encoding")) {
            failConnection(connection, 501);
            return;
        }
        qsizetype contentLength = 0;
        if (request.hasHeader("Content-Length")) {
            bool ok = false;
            const qlonglong declared = request.header("Content-Length").toLongLong(&ok);
            if (!ok || declared < 0) {
                failConnection(connection, 400);
                return;
            }
            if (declared > maxBodyBytes) {
                failConnection(connection, 413);
                return;
            }
            contentLength = qsizetype(declared);
        }
        const qsizetype bodyStart = headerEnd + 4;
        if (connection.buffer.size() - bodyStart < contentLength)
            return; // wait for the rest of the body
        request.body = connection.buffer.mid(bodyStart, contentLength);
        connection.buffer.remove(0, bodyStart + contentLength);

        const QByteArray connectionHeader = request.header("Connection").toLower();
        const bool closeAfter = connectionHeader == "close" || (http10 && connectionHeader != "keep-alive");

        request.exchangeId = m_nextExchangeId++;
        connection.pending.append(Pending{request.exchangeId, false, closeAfter, {}});
        m_exchangeOwner.insert(request.exchangeId, connection.socket.data());
        m_handler(request);
    }
}

void FakeHttpServer::failConnection(Connection &connection, int status)
{
    connection.broken = true;
    connection.buffer.clear();
    const quint64 id = m_nextExchangeId++;
    connection.pending.append(Pending{id, true, true,
                                      formatResponse(status, QByteArrayLiteral("{\"success\":false}"),
                                                     QByteArrayLiteral("application/json"), true)});
    flush(connection);
}

void FakeHttpServer::respond(quint64 exchangeId, int status, const QByteArray &body, const QByteArray &contentType,
                             const QList<QByteArray> &extraHeaders)
{
    QTcpSocket *socket = m_exchangeOwner.take(exchangeId);
    const auto connection = m_connections.value(socket);
    if (!connection)
        return;
    for (Pending &pending : connection->pending) {
        if (pending.exchangeId == exchangeId && !pending.ready) {
            pending.ready = true;
            pending.bytes = formatResponse(status, body, contentType, pending.closeAfter, extraHeaders);
            break;
        }
    }
    flush(*connection);
}

void FakeHttpServer::flush(Connection &connection)
{
    QTcpSocket *socket = connection.socket;
    if (!socket)
        return;
    while (!connection.pending.isEmpty() && connection.pending.first().ready) {
        const Pending pending = connection.pending.takeFirst();
        socket->write(pending.bytes);
        if (pending.closeAfter) {
            for (const Pending &rest : std::as_const(connection.pending))
                m_exchangeOwner.remove(rest.exchangeId);
            connection.pending.clear();
            connection.broken = true;
            socket->disconnectFromHost();
            return;
        }
    }
}

void FakeHttpServer::dropConnection(QTcpSocket *socket)
{
    const auto connection = m_connections.take(socket);
    if (!connection)
        return;
    for (const Pending &pending : std::as_const(connection->pending))
        m_exchangeOwner.remove(pending.exchangeId);
    socket->deleteLater();
}

QByteArray FakeHttpServer::formatResponse(int status, const QByteArray &body, const QByteArray &contentType,
                                          bool closeAfter, const QList<QByteArray> &extraHeaders)
{
    QByteArray out;
    out.reserve(body.size() + 160);
    out += "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) + "\r\n";
    out += "Content-Type: " + contentType + "\r\n";
    out += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    out += closeAfter ? "Connection: close\r\n" : "Connection: keep-alive\r\n";
    for (const QByteArray &header : extraHeaders)
        out += header + "\r\n";
    out += "\r\n";
    out += body;
    return out;
}
