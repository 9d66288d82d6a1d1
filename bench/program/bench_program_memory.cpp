// bench_program_memory: starts the driver (bench_program_memory.py, beside
// this file) on an X server, D-Bus session and accessibility bus of its own,
// against the end-to-end copy of the program and the fake service. The
// driver prints the figures; see it for what they mean. Options are handed
// on: --port N moves the fake service (default: the end-to-end port),
// --program PATH measures another build of the program.

#include <QCoreApplication>
#include <QProcess>
#include <QStringList>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    const auto option = [&](const QString &name, const QString &fallback) {
        const qsizetype at = args.indexOf(name);
        if (at < 0 || at + 1 >= args.size())
            return fallback;
        const QString value = args.at(at + 1);
        args.remove(at, 2);
        return value;
    };
    const QString program = option(QStringLiteral("--program"), QStringLiteral(VUZO_E2E_PROGRAM));
    const QString port = option(QStringLiteral("--port"), QStringLiteral(VUZO_E2E_PORT_TEXT));
    const QString output = option(QStringLiteral("--output"), QStringLiteral(VUZO_BENCH_OUTPUT));

    QProcess driver;
    // The private session's services write to the same stream as the driver:
    // only the driver's marked lines are figures, the rest is diagnostics.
    driver.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    driver.setProgram(QStringLiteral(VUZO_XVFB_RUN));
    driver.setArguments(QStringList{QStringLiteral("-a"), QStringLiteral("-n"), QStringLiteral("160"),
                                    QStringLiteral("-s"), QStringLiteral("-screen 0 1400x1000x24 -nolisten tcp"),
                                    QStringLiteral(VUZO_DBUS_RUN_SESSION),
                                    QStringLiteral("--config-file=" VUZO_BENCH_BUS), QStringLiteral("--"),
                                    QStringLiteral(VUZO_SYSTEM_PYTHON), QStringLiteral(VUZO_BENCH_DRIVER),
                                    QStringLiteral("--program"), program,
                                    QStringLiteral("--fake-service"), QStringLiteral(VUZO_FAKE_SERVICE),
                                    QStringLiteral("--port"), port, QStringLiteral("--output"), output}
                            + args);
    driver.start();
    if (!driver.waitForStarted(10000)) {
        std::fprintf(stderr, "cannot start %s\n", VUZO_XVFB_RUN);
        return 1;
    }
    const QByteArray mark("figure\t");
    QByteArray pending;
    const auto pass = [&](bool all) {
        pending += driver.readAllStandardOutput();
        qsizetype end;
        while ((end = pending.indexOf('\n')) >= 0 || (all && !pending.isEmpty())) {
            const QByteArray line = end >= 0 ? pending.left(end + 1) : pending + '\n';
            pending.remove(0, end >= 0 ? end + 1 : pending.size());
            if (line.startsWith(mark))
                std::fwrite(line.constData() + mark.size(), 1, size_t(line.size() - mark.size()), stdout);
            else
                std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
        }
        std::fflush(stdout);
    };
    while (driver.state() != QProcess::NotRunning) {
        driver.waitForReadyRead(200);
        pass(false);
    }
    pass(true);
    return driver.exitStatus() == QProcess::NormalExit ? driver.exitCode() : 1;
}
