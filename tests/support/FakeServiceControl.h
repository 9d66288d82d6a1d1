#pragma once

#include <QObject>
#include <QString>

class FakeService;
class QSocketNotifier;

// A line-based control channel of the fake service, so that a driver outside
// the process can switch faults while a client runs against it. One command a
// line, one reply a line ("ok", a number or a value, or "error: ...").
//
//   fail <path> <status> [times]   reply with an HTTP status instead
//   fail-next-session <status>     the next request under a session gets the status
//   corrupt <path> [times]         reply with a body that cannot be decrypted
//   clear <path>                   drop the path's faults
//   hold <path> / release <path>   keep replies back (a time-out) / send them
//   expire-sessions                reject every session agreed so far (430)
//   revoke-tokens                  reject every login token issued so far (401)
//   commits <setId>                how many hand-ins of the set were accepted
//   last-set                       the id of the answering log opened last
//   requests <path>                how many requests the path received
//   large-set <menuId>             sets of the menu are the large set (150 questions)
//   heavy-set <menuId>             sets of the menu are the heavy set (150 questions)
class FakeServiceControl : public QObject
{
    Q_OBJECT

public:
    explicit FakeServiceControl(FakeService &service, QObject *parent = nullptr);

    // Runs one command line and returns its reply line (without a newline).
    QString execute(const QString &line);

    // Reads commands from standard input and writes replies to standard output.
    void listenOnStandardInput();

private:
    void readStandardInput();

    FakeService &m_service;
    QSocketNotifier *m_notifier = nullptr;
    QByteArray m_pending;
};
