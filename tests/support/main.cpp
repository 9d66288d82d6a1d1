// Runs the local stand-in of the exam-practice service until it is killed, so
// that a build aimed at http://127.0.0.1:N can sign in and practise.

#include "FakeService.h"
#include "FakeServiceControl.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vuzo-fake-service"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Local stand-in of the exam-practice service, on 127.0.0.1."));
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"), QStringLiteral("Port to listen on (0: any free port)."),
                                        QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption plainOption(QStringLiteral("no-session-mode"),
                                         QStringLiteral("Announce session mode as off (fixed-key replies only)."));
    const QCommandLineOption controlOption(QStringLiteral("control"),
                                           QStringLiteral("Read fault switches from standard input, one command a line."));
    parser.addOption(portOption);
    parser.addOption(plainOption);
    parser.addOption(controlOption);
    parser.process(app);

    bool ok = false;
    const uint port = parser.value(portOption).toUInt(&ok);
    QTextStream err(stderr);
    if (!ok || port > 65535) {
        err << "invalid port: " << parser.value(portOption) << '\n';
        return 2;
    }

    // The stand-in prints its own SMS code; the service's log category stays quiet.
    QLoggingCategory::setFilterRules(QStringLiteral("vuzo.fakeservice.info=false"));

    FakeService service;
    service.setSessionModeEnabled(!parser.isSet(plainOption));
    if (!service.start(quint16(port))) {
        err << "cannot listen on 127.0.0.1:" << port << '\n';
        return 1;
    }

    QTextStream out(stdout);
    out << "vuzo fake service listening on " << service.baseUrl().toString() << '\n';
    out << "SMS code: " << FakeService::verificationCode << '\n';
    out.flush();
    QObject::connect(&service, &FakeService::verificationCodeSent, &app, [&out](const QString &code) {
        out << "SMS code: " << code << '\n';
        out.flush();
    });
    FakeServiceControl control(service);
    if (parser.isSet(controlOption))
        control.listenOnStandardInput();
    return app.exec();
}
