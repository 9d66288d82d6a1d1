#include "StandInShellModel.h"

namespace {

bool storedBoolean(const SettingsStore &store, const QString &key)
{
    const QVariant value = store.object(key);
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Double:
        return value.toBool();
    default:
        return false;
    }
}

} // namespace

StandInShellModel::StandInShellModel(SettingsStore &store, QObject *parent)
    : ShellModel(parent)
    , m_store(store)
    , m_studyTransparencyEnabled(storedBoolean(store, studyTransparencyKey))
    , m_hoverAutoHideEnabled(storedBoolean(store, hoverAutoHideKey))
{
}

void StandInShellModel::setHoverAutoHideEnabled(bool enabled)
{
    m_hoverAutoHideEnabled = enabled;
    m_store.setValue(hoverAutoHideKey, enabled);
    Q_EMIT hoverAutoHideEnabledChanged();
}

void StandInShellModel::publishZoomFeedback(double scale)
{
    m_lastZoomFeedback = scale;
    ++m_zoomFeedbackCount;
}
