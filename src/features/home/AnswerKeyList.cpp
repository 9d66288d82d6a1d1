#include "AnswerKeyList.h"

#include "KeyCaptureRules.h"

AnswerKeyList::AnswerKeyList(QObject *parent)
    : QAbstractListModel(parent)
{
}

int AnswerKeyList::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(QuestionShortcutActions::allCases().size());
}

QVariant AnswerKeyList::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const QuestionShortcutAction action = QuestionShortcutActions::allCases().at(index.row());
    switch (role) {
    case ActionRole:
        return index.row();
    case CaptionRole:
        return AnswerKeyCapture::actionCaption(action);
    case KeyLabelRole:
        return m_capturing == action ? QStringLiteral("请按键")
                                     : QuestionShortcutKey::displayName(m_shortcuts.effectiveBinding(action));
    case CapturingRole:
        return m_capturing == action;
    default:
        return {};
    }
}

QHash<int, QByteArray> AnswerKeyList::roleNames() const
{
    return {{ActionRole, "action"}, {CaptionRole, "caption"}, {KeyLabelRole, "keyLabel"}, {CapturingRole, "capturing"}};
}

void AnswerKeyList::update(const QuestionKeyboardShortcuts &shortcuts, std::optional<QuestionShortcutAction> capturing)
{
    const QList<QuestionShortcutAction> actions = QuestionShortcutActions::allCases();
    QList<int> changed;
    for (int row = 0; row < actions.size(); ++row) {
        const QuestionShortcutAction action = actions.at(row);
        if (m_shortcuts.effectiveBinding(action) != shortcuts.effectiveBinding(action)
            || (m_capturing == action) != (capturing == action))
            changed.append(row);
    }
    m_shortcuts = shortcuts;
    m_capturing = capturing;
    for (const int row : std::as_const(changed))
        Q_EMIT dataChanged(index(row), index(row));
}
