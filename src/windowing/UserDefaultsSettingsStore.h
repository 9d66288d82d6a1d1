#pragma once

#include "ShellPorts.h"

class UserDefaults;

// The settings port over the user-defaults store; the standard store unless
// another is given.
class UserDefaultsSettingsStore final : public SettingsStore
{
public:
    explicit UserDefaultsSettingsStore(UserDefaults *defaults = nullptr);
    [[nodiscard]] QVariant object(const QString &key) const override;
    void setValue(const QString &key, const QVariant &value) override;

private:
    [[nodiscard]] UserDefaults &defaults() const;
    UserDefaults *m_defaults;
};
