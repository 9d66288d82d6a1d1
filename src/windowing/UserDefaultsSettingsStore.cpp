#include "UserDefaultsSettingsStore.h"

#include "platform/UserDefaults.h"

UserDefaultsSettingsStore::UserDefaultsSettingsStore(UserDefaults *defaults)
    : m_defaults(defaults)
{
}

UserDefaults &UserDefaultsSettingsStore::defaults() const
{
    // Looked up at each use, so that a store installed later is honoured.
    return m_defaults ? *m_defaults : UserDefaults::standard();
}

QVariant UserDefaultsSettingsStore::object(const QString &key) const
{
    return defaults().object(key);
}

void UserDefaultsSettingsStore::setValue(const QString &key, const QVariant &value)
{
    defaults().setValue(key, value);
}
