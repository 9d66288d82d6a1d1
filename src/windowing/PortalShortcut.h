#pragma once

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariantMap>

// One entry of the desktop portal's shortcut lists, D-Bus type (sa{sv}): the
// program's id of the shortcut and its properties ("description",
// "preferred_trigger" on the way in, "trigger_description" on the way out).
struct PortalShortcut
{
    QString id;
    QVariantMap properties;

    static void registerDBusTypes();
};
using PortalShortcutList = QList<PortalShortcut>;

inline QDBusArgument &operator<<(QDBusArgument &argument, const PortalShortcut &shortcut)
{
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

inline const QDBusArgument &operator>>(const QDBusArgument &argument, PortalShortcut &shortcut)
{
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

Q_DECLARE_METATYPE(PortalShortcut)
Q_DECLARE_METATYPE(PortalShortcutList)

inline void PortalShortcut::registerDBusTypes()
{
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<PortalShortcutList>();
}
