#include "AppModel.h"

#include <QStringList>
#include <QVariantMap>
#include <algorithm>

// The QML side of practice: entry points that look records up by id and start
// an operation, and what QML sees of the open set, the report and the analysis
// (records as plain maps and lists, optionals as null, enumerations as numbers).

namespace {

bool isOptionLetter(const QString &letter)
{
    return letter.size() == 1 && letter.at(0) >= u'A' && letter.at(0) <= u'Z';
}

} // namespace

// ---- entry points ------------------------------------------------------------------

std::optional<Question> AppModel::findOpenQuestion(const QString &questionId) const
{
    const auto find = [&questionId](const QList<Question> &list) -> std::optional<Question> {
        for (const Question &question : list) {
            if (question.id == questionId)
                return question;
        }
        return std::nullopt;
    };
    // The analysis list first while it is shown, so its collect buttons act on
    // its own records.
    if (m_screen == AppScreen::analysis) {
        if (auto found = find(m_analysisQuestions))
            return found;
    }
    if (auto found = find(m_questions))
        return found;
    return find(m_analysisQuestions);
}

void AppModel::startOpenMenuRow(int row)
{
    if (const CardMenu *menu = m_menuTreeModel->menuAt(row))
        runDetached(openQuestions(*menu));
}

void AppModel::chooseSingleAnswerFor(const QString &letter, const QString &questionId)
{
    if (!isOptionLetter(letter))
        return;
    if (const auto question = findOpenQuestion(questionId))
        chooseSingleAnswer(letter, *question);
}

void AppModel::toggleMultipleAnswerFor(const QString &letter, const QString &questionId)
{
    if (!isOptionLetter(letter))
        return;
    const auto question = findOpenQuestion(questionId);
    if (!question || question->questionType != QuestionType::multiple)
        return;
    if (m_examMode == ExamMode::review && m_revealedQuestionIDs.contains(question->id))
        return;
    toggleMultipleAnswer(letter, *question);
}

bool AppModel::isQuestionAnsweredById(const QString &questionId) const
{
    const auto question = findOpenQuestion(questionId);
    return question && isQuestionAnswered(*question);
}

// ---- conversions ---------------------------------------------------------------------

QVariantMap AppModel::questionMap(const Question &question)
{
    QVariant intro;
    if (question.sectionIntro) {
        intro = QVariantMap{{QStringLiteral("title"), question.sectionIntro->title},
                            {QStringLiteral("description"), question.sectionIntro->description},
                            {QStringLiteral("questionCount"), question.sectionIntro->questionCount}};
    }
    return QVariantMap{
        {QStringLiteral("id"), question.id},
        {QStringLiteral("analysis"), question.analysis},
        {QStringLiteral("answer"), question.answer},
        {QStringLiteral("context"), question.context},
        {QStringLiteral("examBankId"), question.examBankId},
        {QStringLiteral("examId"), question.examId},
        {QStringLiteral("materialsId"), question.materialsId ? QVariant(*question.materialsId) : QVariant()},
        {QStringLiteral("menuId"), question.menuId},
        {QStringLiteral("note"), question.note},
        {QStringLiteral("questionFrom"), question.questionFrom},
        {QStringLiteral("questionOptions"), QStringList(question.questionOptions)},
        {QStringLiteral("questionType"), QuestionTypes::rawValue(question.questionType)},
        {QStringLiteral("useTime"), question.useTime},
        {QStringLiteral("userAnswer"), question.userAnswer},
        {QStringLiteral("isCollect"), question.isCollect},
        {QStringLiteral("sectionIntro"), intro},
    };
}

QVariantList AppModel::questionList(const QList<Question> &questions)
{
    QVariantList list;
    list.reserve(questions.size());
    for (const Question &question : questions)
        list.append(questionMap(question));
    return list;
}

QVariantList AppModel::materialList(const QList<Material> &materials)
{
    QVariantList list;
    list.reserve(materials.size());
    for (const Material &material : materials) {
        list.append(QVariantMap{{QStringLiteral("id"), material.id},
                                {QStringLiteral("title"), material.title},
                                {QStringLiteral("context"), material.context}});
    }
    return list;
}

void AppModel::setCurrentQuestionIndexQml(int value)
{
    // The answer card jumps straight to one question; keep the index on the list.
    const qint64 last = std::max<qint64>(m_questions.size() - 1, 0);
    setCurrentQuestionIndex(std::clamp<qint64>(value, 0, last));
}

QString AppModel::selectedMenuName() const
{
    return m_selectedMenu ? m_selectedMenu->name : QString();
}

QVariant AppModel::reportQml() const
{
    if (!m_report)
        return {};
    const HistoryReport &report = *m_report;
    return QVariantMap{
        {QStringLiteral("rightNum"), report.rightNum},
        {QStringLiteral("useTime"), report.useTime},
        {QStringLiteral("wrongNum"), report.wrongNum},
        {QStringLiteral("unAnswerNum"), report.unAnswerNum},
        {QStringLiteral("commitTime"), report.commitTime},
        {QStringLiteral("title"), report.title},
        {QStringLiteral("examId"), report.examId},
        {QStringLiteral("logId"), report.logId},
        {QStringLiteral("rightRate"), report.rightRate()},
        {QStringLiteral("materialsList"), materialList(report.materialsList)},
        {QStringLiteral("questionList"), questionList(report.questionList)},
        {QStringLiteral("extraInfo"), report.extraInfo ? QVariant(*report.extraInfo) : QVariant()},
    };
}

void AppModel::setCurrentAnalysisIndexQml(int value)
{
    // The report's answer circles jump straight to one question.
    const qint64 last = std::max<qint64>(m_analysisQuestions.size() - 1, 0);
    setCurrentAnalysisIndex(std::clamp<qint64>(value, 0, last));
}
