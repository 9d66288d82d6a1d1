#include "SceneSetup.h"

#include <QByteArray>
#include <QFontInfo>
#include <QGuiApplication>

namespace SceneSetup {

QFont applicationFont(const QFont &systemFont)
{
    QFont font = systemFont;
    // The resolved face, not an alias such as "Sans Serif": an alias in a
    // family list is not looked up, and every script would fall to the Han faces.
    QStringList families{QFontInfo(systemFont).family()};
    for (const QString &family : hanFamilies) {
        if (!families.contains(family))
            families.append(family);
    }
    font.setFamilies(families);
    return font;
}

void apply()
{
    for (const char *name : {"QSG_ATLAS_WIDTH", "QSG_ATLAS_HEIGHT"}) {
        if (qEnvironmentVariableIsEmpty(name))
            qputenv(name, QByteArray::number(imageAtlasSide));
    }
    QGuiApplication::setFont(applicationFont(QGuiApplication::font()));
}

} // namespace SceneSetup
