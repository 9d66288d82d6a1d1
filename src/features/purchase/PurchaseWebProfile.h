#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

class QQmlEngine;
class QJSEngine;
class QQuickWebEngineProfile;
Q_MOC_INCLUDE(<QQuickWebEngineProfile>)

// The shop's browser profile: named and kept on disk, so that the shop's
// cookies and page storage survive between openings of the page and between
// runs (a profile without a name would be off the record). One per QML
// engine, owned by the engine's object tree so that it goes before the web
// engine shuts down.
class PurchaseWebProfile : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

    Q_PROPERTY(QQuickWebEngineProfile *profile READ profile CONSTANT)

public:
    static inline const QString storageName = QStringLiteral("purchase");

    static PurchaseWebProfile *create(QQmlEngine *engine, QJSEngine *);

    [[nodiscard]] QQuickWebEngineProfile *profile() const { return m_profile; }

private:
    explicit PurchaseWebProfile(QObject *parent);

    QQuickWebEngineProfile *m_profile;
};
