#pragma once

#include <QObject>
#include <QString>
#include <QWebEngineScript>
#include <QtQml/qqmlregistration.h>

class QQmlEngine;
class QJSEngine;
class QQuickWebEngineProfile;
class ContentSchemeHandler;
Q_MOC_INCLUDE(<QQuickWebEngineProfile>)

// The browser profile of every content view (stems, options, materials,
// analyses): named, with an HTTP cache for the service's images, apart from
// the shop's profile. It serves the generated pages under their own scheme
// and carries the one user script that gives content pages their message
// handlers. One per QML engine, owned by the engine.
class ContentWebProfile : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

    Q_PROPERTY(QQuickWebEngineProfile *profile READ profile CONSTANT)
    Q_PROPERTY(QString channelObjectName READ channelObjectName CONSTANT)

public:
    static inline const QString storageName = QStringLiteral("content");
    static inline const QString channelName = QStringLiteral("vuzoContent");

    static ContentWebProfile *create(QQmlEngine *engine, QJSEngine *);

    [[nodiscard]] QQuickWebEngineProfile *profile() const { return m_profile; }
    [[nodiscard]] static QString channelObjectName() { return channelName; }

    // The handlers' script alone (without the channel client library): it
    // defines window.webkit.messageHandlers.resize and .imageClick on content
    // pages only, posting over the view's channel and queueing until it is up.
    [[nodiscard]] static QString handlerScriptSource();
    [[nodiscard]] static QWebEngineScript userScript();

private:
    explicit ContentWebProfile(QObject *parent);

    QQuickWebEngineProfile *m_profile;
    ContentSchemeHandler *m_schemeHandler;
};
