// Cost of the settings store's write-through: every change rewrites the whole
// file atomically. Prints the time per change for a store of realistic size
// (the program's ~25 keys, a cached bank list and a membership cache as data).
#include "platform/UserDefaults.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    const QString path = dir.filePath(QStringLiteral("user-defaults.json"));

    UserDefaults defaults(path);
    defaults.setValue(QStringLiteral("exam_bank_list"), QByteArray(20 * 1024, 'b'));
    defaults.setValue(QStringLiteral("vip_expire_list_model"), QByteArray(4 * 1024, 'v'));
    QVariantMap expansion;
    for (int i = 0; i < 200; ++i)
        expansion.insert(QStringLiteral("menu/%1/%2").arg(i / 10).arg(i), i % 2 == 0);
    defaults.setValue(QStringLiteral("home_menu_expansion"), expansion);
    for (int i = 0; i < 20; ++i)
        defaults.setValue(QStringLiteral("setting_%1").arg(i), i);

    const int rounds = 500;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rounds; ++i)
        defaults.setValue(QStringLiteral("transparent_ink_intensity"), 0.1 + (i % 90) / 100.0);
    const double writeMs = double(timer.nsecsElapsed()) / 1e6 / rounds;

    timer.restart();
    for (int i = 0; i < rounds; ++i) {
        UserDefaults reopened(path);
        if (reopened.allKeys().isEmpty())
            return 1;
    }
    const double openMs = double(timer.nsecsElapsed()) / 1e6 / rounds;

    std::printf("user defaults file: %lld bytes\n", static_cast<long long>(QFileInfo(path).size()));
    std::printf("write-through per change: %.3f ms\n", writeMs);
    std::printf("open and read whole store: %.3f ms\n", openMs);
    return 0;
}
