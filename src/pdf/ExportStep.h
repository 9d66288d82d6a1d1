#pragma once

#include <QObject>
#include <QVariant>

// One awaited callback of an export (a script result, the print, the page
// decoration): settled once, by the callback or by whatever ends the wait
// early (a stop, the page's render process ending).
class ExportStep : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    void settle(const QVariant &value = {})
    {
        if (m_settled)
            return;
        m_settled = true;
        m_value = value;
        Q_EMIT settled();
    }
    [[nodiscard]] bool isSettled() const { return m_settled; }
    [[nodiscard]] const QVariant &value() const { return m_value; }

Q_SIGNALS:
    void settled();

private:
    bool m_settled = false;
    QVariant m_value;
};
