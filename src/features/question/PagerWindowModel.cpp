#include "PagerWindowModel.h"

int PagerWindowModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_indices.size());
}

QVariant PagerWindowModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const int questionIndex = m_indices.at(index.row());
    if (questionIndex < 0 || questionIndex >= m_questions.size())
        return {};
    const Question &question = m_questions.at(questionIndex);
    switch (role) {
    case QuestionIndexRole:
        return questionIndex;
    case QuestionIdRole:
        return question.id;
    case IsSectionIntroRole:
        return question.sectionIntro.has_value();
    case SectionTitleRole:
        return question.sectionIntro ? question.sectionIntro->title : QString();
    case SectionDescriptionRole:
        return question.sectionIntro ? question.sectionIntro->description : QString();
    case SectionQuestionCountRole:
        return question.sectionIntro ? question.sectionIntro->questionCount : 0;
    case StemRole:
        return question.context;
    default:
        return {};
    }
}

QHash<int, QByteArray> PagerWindowModel::roleNames() const
{
    return {{QuestionIndexRole, "questionIndex"},
            {QuestionIdRole, "questionId"},
            {IsSectionIntroRole, "isSectionIntro"},
            {SectionTitleRole, "sectionTitle"},
            {SectionDescriptionRole, "sectionDescription"},
            {SectionQuestionCountRole, "sectionQuestionCount"},
            {StemRole, "stem"}};
}

void PagerWindowModel::resetWindow(const QList<Question> &questions, const QList<int> &indices)
{
    beginResetModel();
    m_questions = questions;
    m_indices = indices;
    endResetModel();
}

void PagerWindowModel::moveWindow(const QList<int> &indices)
{
    // Both lists are ascending: drop what left, then insert what entered.
    for (int row = int(m_indices.size()) - 1; row >= 0; --row) {
        if (!indices.contains(m_indices.at(row))) {
            beginRemoveRows({}, row, row);
            m_indices.removeAt(row);
            endRemoveRows();
        }
    }
    for (int i = 0; i < indices.size(); ++i) {
        const int value = indices.at(i);
        if (i < m_indices.size() && m_indices.at(i) == value)
            continue;
        beginInsertRows({}, i, i);
        m_indices.insert(i, value);
        endInsertRows();
    }
}
