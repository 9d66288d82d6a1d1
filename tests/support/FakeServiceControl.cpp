#include "FakeServiceControl.h"

#include "FakeService.h"

#include <QSocketNotifier>
#include <QStringList>
#include <cstdio>
#include <unistd.h>

FakeServiceControl::FakeServiceControl(FakeService &service, QObject *parent)
    : QObject(parent)
    , m_service(service)
{
}

namespace {

// A count argument: absent means every request (-1).
bool readTimes(const QStringList &words, qsizetype index, int &times)
{
    times = -1;
    if (words.size() <= index)
        return true;
    bool ok = false;
    times = words.at(index).toInt(&ok);
    return ok && times > 0;
}

} // namespace

QString FakeServiceControl::execute(const QString &line)
{
    const QStringList words = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return QStringLiteral("error: empty command");
    const QString command = words.constFirst();
    const auto needs = [&](qsizetype min, qsizetype max) { return words.size() >= min && words.size() <= max; };
    const auto usage = [&](const char *text) { return QStringLiteral("error: usage: ") + QLatin1String(text); };

    if (command == QLatin1String("fail")) {
        bool ok = false;
        const int status = needs(3, 4) ? words.at(2).toInt(&ok) : 0;
        int times = -1;
        if (!ok || status < 100 || status > 599 || !readTimes(words, 3, times))
            return usage("fail <path> <status> [times]");
        m_service.failWithStatus(words.at(1), status, times);
        return QStringLiteral("ok");
    }
    if (command == QLatin1String("fail-next-session")) {
        bool ok = false;
        const int status = needs(2, 2) ? words.at(1).toInt(&ok) : 0;
        if (!ok || status < 100 || status > 599)
            return usage("fail-next-session <status>");
        m_service.failNextSessionRequest(status);
        return QStringLiteral("ok");
    }
    if (command == QLatin1String("corrupt")) {
        int times = -1;
        if (!needs(2, 3) || !readTimes(words, 2, times))
            return usage("corrupt <path> [times]");
        FakeScenario scenario;
        scenario.encoding = FakeReplyEncoding::corruptPadding;
        scenario.times = times;
        m_service.setScenario(words.at(1), scenario);
        return QStringLiteral("ok");
    }
    if (command == QLatin1String("clear")) {
        if (!needs(2, 2))
            return usage("clear <path>");
        m_service.clearScenario(words.at(1));
        return QStringLiteral("ok");
    }
    if (command == QLatin1String("hold") || command == QLatin1String("release")) {
        if (!needs(2, 2))
            return usage("hold|release <path>");
        if (command == QLatin1String("hold"))
            m_service.holdReplies(words.at(1));
        else
            m_service.releaseReplies(words.at(1));
        return QStringLiteral("ok");
    }
    if (command == QLatin1String("expire-sessions") && needs(1, 1)) {
        m_service.expireSessions();
        return QStringLiteral("ok");
    }
    if (command == QLatin1String("revoke-tokens") && needs(1, 1)) {
        m_service.revokeTokens();
        return QStringLiteral("ok");
    }
    if (command == QLatin1String("commits")) {
        if (!needs(2, 2))
            return usage("commits <setId>");
        return QString::number(m_service.commitCount(words.at(1)));
    }
    if (command == QLatin1String("last-set") && needs(1, 1)) {
        const QString id = m_service.lastAnsweringLogId();
        return id.isEmpty() ? QStringLiteral("error: no set opened") : id;
    }
    if (command == QLatin1String("large-set")) {
        if (!needs(2, 2))
            return usage("large-set <menuId>");
        m_service.serveLargeSet(words.at(1));
        return QStringLiteral("ok");
    }
    if (command == QLatin1String("heavy-set")) {
        if (!needs(2, 2))
            return usage("heavy-set <menuId>");
        m_service.serveHeavySet(words.at(1));
        return QStringLiteral("ok");
    }
    if (command == QLatin1String("requests")) {
        if (!needs(2, 2))
            return usage("requests <path>");
        return QString::number(m_service.sendCount(words.at(1)));
    }
    return QStringLiteral("error: unknown command: ") + line.simplified();
}

void FakeServiceControl::listenOnStandardInput()
{
    if (m_notifier)
        return;
    m_notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &FakeServiceControl::readStandardInput);
}

void FakeServiceControl::readStandardInput()
{
    char buffer[4096];
    const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (count <= 0) {
        // The driver closed its end: nothing more will come.
        m_notifier->setEnabled(false);
        return;
    }
    m_pending.append(buffer, count);
    qsizetype end;
    while ((end = m_pending.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(m_pending.left(end)).trimmed();
        m_pending.remove(0, end + 1);
        if (line.isEmpty())
            continue;
        const QByteArray reply = execute(line).toUtf8() + '\n';
        std::fwrite(reply.constData(), 1, size_t(reply.size()), stdout);
        std::fflush(stdout);
    }
}
