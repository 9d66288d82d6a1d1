#include "ShutdownSignals.h"

#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

extern "C" void forwardSignal(int signalNumber)
{
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signalNumber);
    // Nothing else is safe in a signal handler; a full pipe drops the byte,
    // which is fine since one quit is enough.
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
    errno = savedErrno;
}

} // namespace

ShutdownSignals::ShutdownSignals(QObject *parent)
    : QObject(parent)
{
    if (signalPipe[0] < 0) {
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalPipe) != 0) {
            signalPipe[0] = signalPipe[1] = -1;
            return;
        }
    }
    m_notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ShutdownSignals::readSignal);

    struct sigaction action = {};
    action.sa_handler = forwardSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : {SIGTERM, SIGINT})
        ::sigaction(signalNumber, &action, nullptr);
}

ShutdownSignals::~ShutdownSignals()
{
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (const int signalNumber : {SIGTERM, SIGINT})
        ::sigaction(signalNumber, &action, nullptr);
}

void ShutdownSignals::readSignal()
{
    std::array<unsigned char, 16> bytes{};
    const auto count = ::read(signalPipe[0], bytes.data(), bytes.size());
    if (count > 0)
        Q_EMIT terminationRequested(int(bytes[0]));
}
