#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

// The material split ratio of each question, kept by the question screen for
// as long as it is shown. An entry is written only by a handle drag.
class MaterialPanelRatios : public QObject
{
    Q_OBJECT
    QML_ELEMENT

public:
    explicit MaterialPanelRatios(QObject *parent = nullptr);

    // The stored ratio, the default split when there is none.
    Q_INVOKABLE [[nodiscard]] double ratio(const QString &questionId) const;
    [[nodiscard]] bool contains(const QString &questionId) const { return m_ratios.contains(questionId); }
    Q_INVOKABLE void setRatio(const QString &questionId, double ratio);

Q_SIGNALS:
    void ratioChanged(const QString &questionId);

private:
    QHash<QString, double> m_ratios;
};
