#pragma once

#include "QuestionBodyRules.h"

#include <QAbstractListModel>
#include <QList>
#include <QString>
#include <QtQml/qqmlregistration.h>

// The option rows of one question: letter, content and the marks that follow
// the user's answer. A new answer changes only the rows whose marks changed,
// so the content views of the others are left alone.
class OptionListModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Options belong to a question page")

public:
    enum Role {
        LetterRole = Qt::UserRole + 1,
        ContentRole,
        SelectedRole,
        FeedbackRole, // QuestionBodyRules::OptionFeedback as int
    };

    struct Marks
    {
        bool selected = false;
        QuestionBodyRules::OptionFeedback feedback = QuestionBodyRules::OptionFeedback::none;
        bool operator==(const Marks &) const = default;
    };

    explicit OptionListModel(QObject *parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

    // New option texts reset the list; the same texts keep every row.
    void setContents(const QList<QString> &contents);
    // One entry per row; a shorter list leaves the rest unmarked.
    void setMarks(const QList<Marks> &marks);
    [[nodiscard]] QString letter(int row) const;

private:
    QList<QString> m_contents;
    QList<Marks> m_marks;
};
