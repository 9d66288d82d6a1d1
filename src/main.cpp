#include <QApplication>
#include <QLabel>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vuzo"));
    QLabel label(QStringLiteral("vuzo"));
    label.resize(360, 240);
    label.setAlignment(Qt::AlignCenter);
    label.show();
    return QApplication::exec();
}
