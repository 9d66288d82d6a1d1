#pragma once

#include "app/AppModel.h"

#include <QAbstractListModel>
#include <QList>
#include <QPointer>
#include <QtQml/qqmlregistration.h>

// The pages the material view keeps mounted: the questions of its material
// within two places of the current one. Moving the current question inserts
// and removes rows instead of resetting, so a page that stays in the window
// keeps its content views and scroll position.
class MaterialPageWindow : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(AppModel *model READ model WRITE setModel NOTIFY modelChanged)
    Q_PROPERTY(QString materialId READ materialId WRITE setMaterialId NOTIFY materialIdChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    // The model's current question, which keys the split ratio.
    Q_PROPERTY(QString currentQuestionId READ currentQuestionId NOTIFY currentQuestionIdChanged)
    Q_PROPERTY(int currentIndex READ currentIndex NOTIFY currentQuestionIdChanged)

public:
    enum Role { QuestionIndexRole = Qt::UserRole + 1, QuestionIdRole };

    explicit MaterialPageWindow(QObject *parent = nullptr);

    // The indices in [current − 2, current + 2] whose question belongs to the
    // material (ids compared trimmed); section introductions never do.
    [[nodiscard]] static QList<qint64> visibleQuestionIndices(const QList<Question> &questions, qint64 current,
                                                              const QString &materialId);

    [[nodiscard]] AppModel *model() const { return m_model; }
    void setModel(AppModel *model);
    [[nodiscard]] QString materialId() const { return m_materialId; }
    void setMaterialId(const QString &id);
    [[nodiscard]] int count() const { return int(m_rows.size()); }
    [[nodiscard]] QString currentQuestionId() const { return m_currentQuestionId; }
    [[nodiscard]] int currentIndex() const { return m_currentIndex; }

    // A finished drag over the pages: a sideways swipe moves the model's
    // current question.
    Q_INVOKABLE void swipe(double dx, double dy);

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

Q_SIGNALS:
    void modelChanged();
    void materialIdChanged();
    void countChanged();
    void currentQuestionIdChanged();

private:
    struct Row
    {
        qint64 index = 0;
        QString questionId;
    };
    void update();

    QPointer<AppModel> m_model;
    QString m_materialId;
    QList<Row> m_rows;
    QString m_currentQuestionId;
    int m_currentIndex = -1;
};
