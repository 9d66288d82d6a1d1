#pragma once

#include "models/QuestionKeyboardShortcuts.h"

#include <QAbstractListModel>
#include <optional>

// The five answer-key buttons of the settings panel: caption, key label and
// whether the row is being captured. Changes touch only the rows that change.
class AnswerKeyList : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role { ActionRole = Qt::UserRole + 1, CaptionRole, KeyLabelRole, CapturingRole };

    explicit AnswerKeyList(QObject *parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

    void update(const QuestionKeyboardShortcuts &shortcuts, std::optional<QuestionShortcutAction> capturing);

private:
    QuestionKeyboardShortcuts m_shortcuts;
    std::optional<QuestionShortcutAction> m_capturing;
};
