#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

#include <optional>

// Remembered vertical scroll positions of the panes of one screen, by key:
// "question:" + question id for a question page, "material:" + material id
// for a material pane, "analysis:" + question id for the analysis screen's
// question pane. Lives as long as its screen; entries are overwritten,
// never removed.
class ScrollOffsetCache : public QObject
{
    Q_OBJECT
    QML_ELEMENT

public:
    explicit ScrollOffsetCache(QObject *parent = nullptr);

    Q_INVOKABLE [[nodiscard]] static QString questionKey(const QString &questionId);
    Q_INVOKABLE [[nodiscard]] static QString materialKey(const QString &materialId);
    Q_INVOKABLE [[nodiscard]] static QString analysisKey(const QString &questionId);

    [[nodiscard]] std::optional<double> value(const QString &key) const;
    void setValue(const QString &key, double offset);
    [[nodiscard]] const QHash<QString, double> &values() const { return m_values; }

private:
    QHash<QString, double> m_values;
};
