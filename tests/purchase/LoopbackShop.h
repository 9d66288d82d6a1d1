#pragma once

#include <QByteArray>
#include <QHash>
#include <QSslCertificate>
#include <QSslKey>
#include <QStringList>
#include <QTcpServer>
#include <functional>

// A tiny web server on 127.0.0.1 that serves fixed pages, over TLS with a
// certificate made up at start (the web view is told to accept it) or as
// plain HTTP. It logs the paths it was asked for.
class LoopbackShop : public QTcpServer
{
    Q_OBJECT

public:
    explicit LoopbackShop(bool tls, QObject *parent = nullptr);

    // Serves body as text/html at path (the query is ignored).
    void setPage(const QString &path, const QByteArray &body);
    // Serves at path what make() builds from the request's method and body.
    void setPage(const QString &path, std::function<QByteArray(const QByteArray &, const QByteArray &)> make);
    // Serves body at path in `parts` pieces, one every intervalMs, the
    // head (with the whole length) after headDelayMs.
    void setPacedPage(const QString &path, const QByteArray &body, int parts, int intervalMs, int headDelayMs = 0);
    [[nodiscard]] QStringList requestedPaths() const { return m_requested; }

protected:
    void incomingConnection(qintptr handle) override;

private:
    void serve(QIODevice *socket, QByteArray &buffer);

    bool m_tls;
    QSslCertificate m_certificate;
    QSslKey m_key;
    QHash<QString, QByteArray> m_pages;
    QHash<QString, std::function<QByteArray(const QByteArray &, const QByteArray &)>> m_madePages;
    struct Pacing
    {
        QByteArray body;
        int parts = 1;
        int intervalMs = 0;
        int headDelayMs = 0;
    };
    QHash<QString, Pacing> m_pacedPages;
    QStringList m_requested;
};
