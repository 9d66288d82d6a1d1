#pragma once

#include "models/Question.h"

#include <QAbstractListModel>
#include <QList>
#include <QtQml/qqmlregistration.h>

// The option rows of the analysis question: letter, content and marks. A new
// question updates the rows in place and adds or removes only the difference,
// so the rows' content views are kept and given new content.
class AnalysisOptionListModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Made by the analysis controller")

public:
    enum Role { LetterRole = Qt::UserRole + 1, ContentRole, IsRightRole, IsWrongPickRole, IsMarkedRole };

    explicit AnalysisOptionListModel(QObject *parent = nullptr);

    // Right options follow the question's answer; the user's other picks are
    // wrong picks, except for a collected question, whose stored answer is
    // never marked.
    void setQuestion(const Question &question, bool fromCollections);
    void clear();

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

    struct Row
    {
        QString letter;
        QString content;
        bool isRight = false;
        bool isWrongPick = false;
        bool operator==(const Row &) const = default;
    };
    [[nodiscard]] const QList<Row> &rows() const { return m_rows; }

private:
    void setRows(QList<Row> rows);

    QList<Row> m_rows;
};
