// Writes the program icon in the sizes of the freedesktop icon theme, from the
// one large icon: iconsizes <source.png> <output folder> <size>...
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QStringList>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 4) {
        std::fputs("usage: iconsizes <source.png> <output folder> <size>...\n", stderr);
        return 2;
    }
    const QImage source(arguments.at(1));
    if (source.isNull()) {
        std::fprintf(stderr, "iconsizes: cannot read %s\n", qPrintable(arguments.at(1)));
        return 1;
    }
    const QDir output(arguments.at(2));
    for (const QString &text : arguments.mid(3)) {
        bool ok = false;
        const int side = text.toInt(&ok);
        if (!ok || side <= 0 || side > source.width()) {
            std::fprintf(stderr, "iconsizes: bad size %s\n", qPrintable(text));
            return 1;
        }
        const QString folder = QStringLiteral("%1x%1/apps").arg(side);
        if (!output.mkpath(folder)) {
            std::fprintf(stderr, "iconsizes: cannot create %s\n", qPrintable(output.filePath(folder)));
            return 1;
        }
        const QImage scaled = source.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (!scaled.save(output.filePath(folder + QStringLiteral("/vuzo.png")))) {
            std::fprintf(stderr, "iconsizes: cannot write size %d\n", side);
            return 1;
        }
    }
    return 0;
}
