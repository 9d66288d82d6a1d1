// Writes the program icon in the sizes of the freedesktop icon theme, from the
// one large icon: iconsizes <source.png> <output folder> <icon name> <size>...
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QStringList>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 5) {
        std::fputs("usage: iconsizes <source.png> <output folder> <icon name> <size>...\n", stderr);
        return 2;
    }
    const QImage source(arguments.at(1));
    if (source.isNull()) {
        std::fprintf(stderr, "iconsizes: cannot read %s\n", qPrintable(arguments.at(1)));
        return 1;
    }
    const QDir output(arguments.at(2));
    const QString fileName = arguments.at(3) + QStringLiteral(".png");
    for (const QString &text : arguments.mid(4)) {
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
        if (!scaled.save(output.filePath(folder + QLatin1Char('/') + fileName))) {
            std::fprintf(stderr, "iconsizes: cannot write size %d\n", side);
            return 1;
        }
    }
    return 0;
}
