#include "QuestionListModel.h"

#include "AppModel.h"

QuestionListModel::QuestionListModel(const AppModel &source, Source kind, QObject *parent)
    : QAbstractListModel(parent)
    , m_source(source)
    , m_kind(kind)
{
}

namespace {
QHash<QString, Material> materialIndex(const QList<Material> &materials)
{
    QHash<QString, Material> index;
    for (const Material &material : materials) {
        // The first of repeated ids wins, as the set's own lookup does.
        if (!index.contains(material.id))
            index.insert(material.id, material);
    }
    return index;
}
} // namespace

void QuestionListModel::setQuestions(const QList<Question> &questions, const QList<Material> &materials)
{
    beginResetModel();
    m_questions = questions;
    m_materials = materialIndex(materials);
    m_states.clear();
    m_states.reserve(m_questions.size());
    for (const Question &question : std::as_const(m_questions))
        m_states.append(stateOf(question, nullptr));
    endResetModel();
}

void QuestionListModel::setMaterials(const QList<Material> &materials)
{
    QHash<QString, Material> index = materialIndex(materials);
    if (index == m_materials)
        return;
    m_materials = std::move(index);
    for (int row = 0; row < m_questions.size(); ++row) {
        if (m_questions.at(row).materialsId)
            Q_EMIT dataChanged(this->index(row), this->index(row), {MaterialTitleRole, MaterialContentRole});
    }
}

QuestionListModel::RowState QuestionListModel::stateOf(const Question &question, const RowState *previous) const
{
    RowState state;
    if (m_kind == Source::openSet) {
        state.userAnswer = m_source.answers().value(question.id);
        state.answered = m_source.isQuestionAnswered(question);
    } else {
        state.userAnswer = question.userAnswer;
        state.answered = !question.sectionIntro && !question.userAnswer.isEmpty();
    }
    // Judging parses the answer; most refreshes leave it as it was.
    if (previous && previous->userAnswer == state.userAnswer)
        state.isCorrect = previous->isCorrect;
    else
        state.isCorrect = !question.sectionIntro && question.isCorrect(state.userAnswer);
    // The analysis shows every answer key.
    state.revealed = m_kind == Source::analysis || m_source.revealedQuestionIDs().contains(question.id);
    state.collected = m_source.isCollected(question);
    state.collectionInFlight = m_source.collectionRequests().contains(m_source.collectionKey(question));
    return state;
}

void QuestionListModel::refreshStates()
{
    for (int row = 0; row < m_questions.size(); ++row) {
        RowState &current = m_states[row];
        const RowState next = stateOf(m_questions.at(row), &current);
        QList<int> roles;
        if (next.userAnswer != current.userAnswer)
            roles.append(UserAnswerRole);
        if (next.answered != current.answered)
            roles.append(AnsweredRole);
        if (next.isCorrect != current.isCorrect)
            roles.append(IsCorrectRole);
        if (next.revealed != current.revealed)
            roles.append(RevealedRole);
        if (next.collected != current.collected)
            roles.append(CollectedRole);
        if (next.collectionInFlight != current.collectionInFlight)
            roles.append(CollectionInFlightRole);
        if (roles.isEmpty())
            continue;
        current = next;
        Q_EMIT dataChanged(index(row), index(row), roles);
    }
}

const Material *QuestionListModel::materialOf(const Question &question) const
{
    if (!question.materialsId)
        return nullptr;
    const auto it = m_materials.constFind(*question.materialsId);
    return it == m_materials.cend() ? nullptr : &*it;
}

int QuestionListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_questions.size());
}

QVariant QuestionListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Question &question = m_questions.at(index.row());
    const RowState &state = m_states.at(index.row());
    switch (role) {
    case QuestionIdRole:
        return question.id;
    case QuestionIndexRole:
        return index.row();
    case QuestionTypeRole:
        return QuestionTypes::rawValue(question.questionType);
    case Qt::DisplayRole:
    case ContextRole:
        return question.context;
    case OptionsRole:
        return QStringList(question.questionOptions);
    case AnswerRole:
        return question.answer;
    case AnalysisRole:
        return question.analysis;
    case NoteRole:
        return question.note;
    case QuestionFromRole:
        return question.questionFrom;
    case ExamIdRole:
        return question.examId;
    case MenuIdRole:
        return question.menuId;
    case UseTimeRole:
        return question.useTime;
    case UserAnswerRole:
        return state.userAnswer;
    case AnsweredRole:
        return state.answered;
    case IsCorrectRole:
        return state.isCorrect;
    case RevealedRole:
        return state.revealed;
    case CollectedRole:
        return state.collected;
    case CollectionInFlightRole:
        return state.collectionInFlight;
    case MaterialIdRole:
        return question.materialsId.value_or(QString());
    case MaterialTitleRole: {
        const Material *material = materialOf(question);
        return material ? material->title : QString();
    }
    case MaterialContentRole: {
        const Material *material = materialOf(question);
        return material ? material->context : QString();
    }
    case IsSectionIntroRole:
        return question.sectionIntro.has_value();
    case SectionIntroTitleRole:
        return question.sectionIntro ? question.sectionIntro->title : QString();
    case SectionIntroDescriptionRole:
        return question.sectionIntro ? question.sectionIntro->description : QString();
    case SectionIntroQuestionCountRole:
        return question.sectionIntro ? question.sectionIntro->questionCount : qint64(0);
    default:
        return {};
    }
}

QHash<int, QByteArray> QuestionListModel::roleNames() const
{
    return {
        {QuestionIdRole, "questionId"},
        {QuestionIndexRole, "questionIndex"},
        {QuestionTypeRole, "questionType"},
        {ContextRole, "context"},
        {OptionsRole, "options"},
        {AnswerRole, "answer"},
        {AnalysisRole, "analysis"},
        {NoteRole, "note"},
        {QuestionFromRole, "questionFrom"},
        {ExamIdRole, "examId"},
        {MenuIdRole, "menuId"},
        {UseTimeRole, "useTime"},
        {UserAnswerRole, "userAnswer"},
        {AnsweredRole, "answered"},
        {IsCorrectRole, "isCorrect"},
        {RevealedRole, "revealed"},
        {CollectedRole, "collected"},
        {CollectionInFlightRole, "collectionInFlight"},
        {MaterialIdRole, "materialId"},
        {MaterialTitleRole, "materialTitle"},
        {MaterialContentRole, "materialContent"},
        {IsSectionIntroRole, "isSectionIntro"},
        {SectionIntroTitleRole, "sectionIntroTitle"},
        {SectionIntroDescriptionRole, "sectionIntroDescription"},
        {SectionIntroQuestionCountRole, "sectionIntroQuestionCount"},
    };
}
