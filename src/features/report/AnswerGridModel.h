#pragma once

#include "models/Question.h"

#include <QAbstractListModel>
#include <QList>
#include <QtQml/qqmlregistration.h>

// One numbered circle per question, in list order: the report's answer
// overview and the analysis navigator. The position of the current question
// is marked; moving it changes only the two rows involved.
class AnswerGridModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Made by the screen controllers")

public:
    enum Role { NumberRole = Qt::UserRole + 1, StatusRole, IsCurrentRole, QuestionIdRole };

    explicit AnswerGridModel(QObject *parent = nullptr);

    // A new list is one reset; the same list with other flags updates in place.
    void setQuestions(const QList<Question> &questions, bool fromCollections);
    // -1 marks none.
    void setCurrentIndex(qsizetype index);
    [[nodiscard]] qsizetype currentIndex() const { return m_current; }

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

private:
    struct Entry
    {
        QString id;
        int status = 0;
    };
    QList<Entry> m_entries;
    qsizetype m_current = -1;
};
