#include "LoopbackShop.h"

#include <algorithm>
#include <optional>

#include <QPointer>
#include <QTimer>

#include <QSslSocket>
#include <QTcpSocket>
#include <QUrl>

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

namespace {

QByteArray readBio(BIO *bio)
{
    char *data = nullptr;
    const long size = BIO_get_mem_data(bio, &data);
    return QByteArray(data, int(size));
}

// A self-signed P-256 certificate for 127.0.0.1 and localhost, valid for a day.
std::pair<QSslCertificate, QSslKey> makeCertificate()
{
    EVP_PKEY *key = EVP_EC_gen("P-256");
    X509 *x509 = X509_new();
    X509_set_version(x509, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(x509), 1);
    X509_gmtime_adj(X509_getm_notBefore(x509), -3600);
    X509_gmtime_adj(X509_getm_notAfter(x509), 86400);
    X509_set_pubkey(x509, key);
    X509_NAME *name = X509_get_subject_name(x509);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char *>("127.0.0.1"), -1, -1,
                               0);
    X509_set_issuer_name(x509, name);
    X509_sign(x509, key, EVP_sha256());

    BIO *certBio = BIO_new(BIO_s_mem());
    PEM_write_bio_X509(certBio, x509);
    BIO *keyBio = BIO_new(BIO_s_mem());
    PEM_write_bio_PrivateKey(keyBio, key, nullptr, nullptr, 0, nullptr, nullptr);
    QSslCertificate certificate(readBio(certBio), QSsl::Pem);
    QSslKey privateKey(readBio(keyBio), QSsl::Ec, QSsl::Pem);
    BIO_free(certBio);
    BIO_free(keyBio);
    X509_free(x509);
    EVP_PKEY_free(key);
    return {certificate, privateKey};
}

} // namespace

LoopbackShop::LoopbackShop(bool tls, QObject *parent)
    : QTcpServer(parent)
    , m_tls(tls)
{
    if (m_tls) {
        auto [certificate, key] = makeCertificate();
        m_certificate = certificate;
        m_key = key;
    }
}

void LoopbackShop::setPage(const QString &path, const QByteArray &body)
{
    m_pages.insert(path, body);
}

void LoopbackShop::setPage(const QString &path,
                           std::function<QByteArray(const QByteArray &, const QByteArray &)> make)
{
    m_madePages.insert(path, std::move(make));
}

void LoopbackShop::setPacedPage(const QString &path, const QByteArray &body, int parts, int intervalMs, int headDelayMs)
{
    m_pacedPages.insert(path, Pacing{body, std::max(1, parts), intervalMs, headDelayMs});
}

void LoopbackShop::incomingConnection(qintptr handle)
{
    QTcpSocket *socket = nullptr;
    if (m_tls) {
        auto *ssl = new QSslSocket(this);
        ssl->setSocketDescriptor(handle);
        ssl->setLocalCertificate(m_certificate);
        ssl->setPrivateKey(m_key);
        ssl->setPeerVerifyMode(QSslSocket::VerifyNone);
        ssl->startServerEncryption();
        socket = ssl;
    } else {
        socket = new QTcpSocket(this);
        socket->setSocketDescriptor(handle);
    }
    auto buffer = std::make_shared<QByteArray>();
    connect(socket, &QIODevice::readyRead, this, [this, socket, buffer] { serve(socket, *buffer); });
    connect(socket, &QAbstractSocket::disconnected, socket, &QObject::deleteLater);
}

void LoopbackShop::serve(QIODevice *socket, QByteArray &buffer)
{
    buffer += socket->readAll();
    const qsizetype end = buffer.indexOf("\r\n\r\n");
    if (end < 0)
        return;
    // A body announced by Content-Length is waited for.
    qsizetype length = 0;
    for (const QByteArray &line : buffer.left(end).split('\n')) {
        if (line.trimmed().toLower().startsWith("content-length:"))
            length = line.mid(line.indexOf(':') + 1).trimmed().toLongLong();
    }
    if (buffer.size() < end + 4 + length)
        return;
    const QByteArray body = buffer.mid(end + 4, length);
    const QList<QByteArray> requestLine = buffer.left(buffer.indexOf("\r\n")).split(' ');
    buffer.clear();
    const QString target = requestLine.size() >= 2 ? QString::fromLatin1(requestLine.at(1)) : QString();
    const QString path = QUrl(target).path();
    m_requested.append(path);

    if (const auto paced = m_pacedPages.constFind(path); paced != m_pacedPages.cend()) {
        const Pacing pacing = *paced;
        QPointer<QIODevice> target(socket);
        const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nCache-Control: no-store\r\n"
                                "Content-Length: "
            + QByteArray::number(pacing.body.size()) + "\r\nConnection: close\r\n\r\n";
        QTimer::singleShot(pacing.headDelayMs, this, [target, head] {
            if (target)
                target->write(head);
        });
        const qsizetype piece = (pacing.body.size() + pacing.parts - 1) / pacing.parts;
        for (int i = 0; i < pacing.parts; ++i) {
            const QByteArray part = pacing.body.mid(i * piece, piece);
            const bool last = i == pacing.parts - 1;
            QTimer::singleShot(pacing.headDelayMs + (i + 1) * pacing.intervalMs, this, [target, part, last] {
                if (!target)
                    return;
                target->write(part);
                if (auto *tcp = qobject_cast<QAbstractSocket *>(target.data()); tcp && last)
                    tcp->disconnectFromHost();
            });
        }
        return;
    }

    QByteArray reply;
    std::optional<QByteArray> content;
    if (const auto maker = m_madePages.constFind(path); maker != m_madePages.cend())
        content = (*maker)(requestLine.value(0), body);
    else if (const auto page = m_pages.constFind(path); page != m_pages.cend())
        content = *page;
    if (content) {
        reply = "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nCache-Control: no-store\r\n";
        reply += "Content-Length: " + QByteArray::number(content->size()) + "\r\nConnection: close\r\n\r\n" + *content;
    } else {
        reply = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    }
    socket->write(reply);
    if (auto *tcp = qobject_cast<QAbstractSocket *>(socket))
        tcp->disconnectFromHost();
}
