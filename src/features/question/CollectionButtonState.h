#pragma once

#include "app/AppModel.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QtQml/qqmlregistration.h>

// The collect button of one question. It shows only what the service has
// confirmed: the model's override for the question under the selected bank,
// else the question's own flag. While a change is in flight the button
// reads "处理中", keeps the confirmed star and takes no clicks; a refused or
// failed change leaves the confirmed state as it was and the model shows the
// error.
class CollectionButtonState : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(AppModel *model READ model WRITE setModel NOTIFY modelChanged)
    Q_PROPERTY(QString questionId READ questionId WRITE setQuestionId NOTIFY questionChanged)
    // The flag the service sent with the question.
    Q_PROPERTY(bool questionIsCollect READ questionIsCollect WRITE setQuestionIsCollect NOTIFY questionChanged)

    Q_PROPERTY(QString key READ key NOTIFY changed)
    Q_PROPERTY(bool collected READ collected NOTIFY changed)
    Q_PROPERTY(bool requesting READ requesting NOTIFY changed)
    Q_PROPERTY(QString text READ text NOTIFY changed)
    Q_PROPERTY(QString symbol READ symbol NOTIFY changed)
    Q_PROPERTY(QString toolTip READ toolTip NOTIFY changed)
    Q_PROPERTY(bool enabled READ enabled NOTIFY changed)

public:
    static constexpr double width = 86;
    static constexpr double height = 32;

    explicit CollectionButtonState(QObject *parent = nullptr);

    [[nodiscard]] AppModel *model() const { return m_model; }
    void setModel(AppModel *model);
    [[nodiscard]] QString questionId() const { return m_questionId; }
    void setQuestionId(const QString &id);
    [[nodiscard]] bool questionIsCollect() const { return m_questionIsCollect; }
    void setQuestionIsCollect(bool value);

    [[nodiscard]] QString key() const;
    [[nodiscard]] bool collected() const;
    [[nodiscard]] bool requesting() const;
    [[nodiscard]] QString text() const;
    [[nodiscard]] QString symbol() const;
    [[nodiscard]] QString toolTip() const;
    [[nodiscard]] bool enabled() const { return m_model && !m_questionId.isEmpty() && !requesting(); }

    // Starts the change through the model and returns at once.
    Q_INVOKABLE void toggle();

Q_SIGNALS:
    void modelChanged();
    void questionChanged();
    void changed();

private:
    [[nodiscard]] Question question() const;

    QPointer<AppModel> m_model;
    QString m_questionId;
    bool m_questionIsCollect = false;
};
