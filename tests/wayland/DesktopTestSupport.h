#pragma once

// What the tests of the program in a real desktop session share: running a
// tool, finding the program's windows, starting and stopping the program.
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QRegularExpression>
#include <QStringList>
#include <QTest>

namespace DesktopTestSupport {

// Runs a tool to its end (10 s at most); its output, trimmed.
inline QString runTool(const QString &program, const QStringList &arguments, const QProcessEnvironment &environment,
                       int *exitCode = nullptr, QString *errors = nullptr)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(10'000)) {
        process.kill();
        process.waitForFinished();
    }
    if (exitCode)
        *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    if (errors)
        *errors = QString::fromLocal8Bit(process.readAllStandardError());
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

inline QProcessEnvironment onDisplay(const QString &display)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display);
    return environment;
}

// xdotool search on an X server. xdotool gives up, printing nothing, when any
// window on the screen goes away while it looks (Qt makes and drops hidden
// windows of its own at start); such a search says nothing and is made again.
inline QStringList searchWindows(const QString &display, const QStringList &arguments)
{
    QString output;
    for (int attempt = 0; attempt < 20; ++attempt) {
        QString errors;
        output = runTool(QStringLiteral("xdotool"), QStringList{QStringLiteral("search")} + arguments, onDisplay(display),
                         nullptr, &errors);
        if (!errors.contains(QLatin1String("BadWindow")))
            break;
    }
    return output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// A client window's place on the screen, as the X server has it (xwininfo:
// xdotool adds a window manager's frame offset twice); -1s when it is gone.
inline QRect windowGeometry(const QString &display, const QString &window)
{
    const QString text = runTool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), window}, onDisplay(display));
    const auto number = [&](const QString &label) {
        const QRegularExpressionMatch match
            = QRegularExpression(QRegularExpression::escape(label) + QStringLiteral(":\\s+(-?\\d+)")).match(text);
        return match.hasMatch() ? match.captured(1).toInt() : -1;
    };
    return {number(QStringLiteral("Absolute upper-left X")), number(QStringLiteral("Absolute upper-left Y")),
            number(QStringLiteral("Width")), number(QStringLiteral("Height"))};
}

// The window's place once the window manager has placed it (a window that
// has just mapped may sit at its frame's corner for a moment); the last place
// seen, should the window go meanwhile.
inline QRect settledGeometry(const QString &display, const QString &window)
{
    QRect last = windowGeometry(display, window);
    for (int attempt = 0; attempt < 20; ++attempt) {
        QTest::qWait(100);
        const QRect now = windowGeometry(display, window);
        if (now == last || now.width() < 0)
            return last;
        last = now;
    }
    return last;
}

inline void stop(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(10'000)) {
        process.kill();
        process.waitForFinished();
    }
}

// The program in the session `environment`, with its settings in `home`.
inline bool startProgram(QProcess &process, QProcessEnvironment environment, const QString &home)
{
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral(VUZO_PROGRAM), {});
    return process.waitForStarted();
}

} // namespace DesktopTestSupport
