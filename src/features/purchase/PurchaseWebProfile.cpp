#include "PurchaseWebProfile.h"

#include <QQmlEngine>
#include <QQuickWebEngineProfile>

PurchaseWebProfile::PurchaseWebProfile(QObject *parent)
    : QObject(parent)
    , m_profile(new QQuickWebEngineProfile(this))
{
    m_profile->setStorageName(storageName);
    m_profile->setOffTheRecord(false);
    m_profile->setPersistentCookiesPolicy(QQuickWebEngineProfile::AllowPersistentCookies);
}

PurchaseWebProfile *PurchaseWebProfile::create(QQmlEngine *engine, QJSEngine *)
{
    auto *instance = new PurchaseWebProfile(engine);
    QQmlEngine::setObjectOwnership(instance, QQmlEngine::CppOwnership);
    return instance;
}
