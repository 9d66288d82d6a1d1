#pragma once

#include "ModelTestEnvironment.h"
#include "TaskTestSupport.h"

#include <QCoro/QCoroTask>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <memory>

// Reaches the model's private state from the practice tests.
struct AppModelTestProbe
{
    static void setResumedPracticeCostTime(AppModel &model, qint64 seconds) { model.m_resumedPracticeCostTime = seconds; }
    static void setActiveHistoryRecordID(AppModel &model, const std::optional<QString> &id)
    {
        model.m_activeHistoryRecordID = id;
    }
    static void setPracticeStartedAt(AppModel &model, qint64 ms) { model.m_practiceStartedAtMilliseconds = ms; }
    static void setIsExportingPDF(AppModel &model, bool value) { model.setIsExportingPDF(value); }
    static quint64 beginLoading(AppModel &model) { return model.beginLoading(); }
    static void endLoading(AppModel &model, quint64 token) { model.endLoading(token); }
    static void handle(AppModel &model, const std::exception_ptr &error) { model.handle(error); }
    static bool isLastQuestion(const AppModel &model) { return model.isLastQuestion(); }
};

namespace PracticeTest {

inline const QString questionPath = QStringLiteral("/exam/getQuestionByMenuId");
inline const QString commitPath = QStringLiteral("/exam/commitExam");
inline const QString reportPath = QStringLiteral("/userExam/getUserExamLogDetail");
inline const QString listPath = QStringLiteral("/userExam/getUserExamLogList");
inline const QString deletePath = QStringLiteral("/userExam/delUserExamLog");
inline const QString vipPath = QStringLiteral("/user/getUserVipExpireTimeList");
inline const QString foldersPath = QStringLiteral("/common/getUserCollectCardMenu");
inline const QString folderPath = QStringLiteral("/userExam/getUserCollectList");
inline const QString collectPath = QStringLiteral("/userExam/manageUserCollect");

// A question as the service sends it. type: 1 single, 2 multiple, 3 answer.
inline QJsonObject question(const QString &id, int type, const QString &answer, int options = 4,
                            const QString &userAnswer = QString())
{
    QJsonArray optionTexts;
    for (int i = 0; i < options; ++i)
        optionTexts.append(QStringLiteral("选项%1").arg(i + 1));
    return QJsonObject{{QStringLiteral("id"), id},
                       {QStringLiteral("questionType"), type},
                       {QStringLiteral("answer"), answer},
                       {QStringLiteral("context"), QStringLiteral("题干 ") + id},
                       {QStringLiteral("questionOptions"), optionTexts},
                       {QStringLiteral("userAnswer"), userAnswer}};
}

// The question with the given recorded answer.
inline QJsonObject answered(QJsonObject question, const QString &userAnswer)
{
    question.insert(QStringLiteral("userAnswer"), userAnswer);
    return question;
}

inline QJsonObject sectionIntro(const QString &id)
{
    return QJsonObject{{QStringLiteral("id"), id},
                       {QStringLiteral("questionType"), 1},
                       {QStringLiteral("sectionIntro"),
                        QJsonObject{{QStringLiteral("title"), QStringLiteral("第一部分")},
                                    {QStringLiteral("description"), QStringLiteral("说明")},
                                    {QStringLiteral("questionCount"), 2}}}};
}

inline QJsonObject questionSet(const QJsonArray &questions, const QJsonValue &userExamId = QStringLiteral("ue-set"),
                               const QJsonValue &title = QStringLiteral("练习"))
{
    QJsonObject set{{QStringLiteral("questionList"), questions},
                    {QStringLiteral("materialsList"),
                     QJsonArray{QJsonObject{{QStringLiteral("id"), QStringLiteral("mat-1")},
                                            {QStringLiteral("title"), QStringLiteral("材料")},
                                            {QStringLiteral("context"), QStringLiteral("<p>材料</p>")}}}}};
    if (!userExamId.isUndefined())
        set.insert(QStringLiteral("userExamId"), userExamId);
    if (!title.isUndefined())
        set.insert(QStringLiteral("title"), title);
    return set;
}

inline CardMenu menu(const QString &menuId, QuestionType type = QuestionType::single, qint64 needVip = 0,
                     const QString &name = QStringLiteral("单项选择题"))
{
    CardMenu m;
    m.menuId = menuId;
    m.questionType = type;
    m.needVip = needVip;
    m.name = name;
    return m;
}

inline QJsonObject reportJson(const QJsonArray &questions, const QString &useTime = QStringLiteral("0"),
                              const QString &logId = QStringLiteral("log-1"))
{
    return QJsonObject{{QStringLiteral("rightNum"), 1},
                       {QStringLiteral("useTime"), useTime},
                       {QStringLiteral("wrongNum"), 0},
                       {QStringLiteral("unAnswerNum"), 0},
                       {QStringLiteral("commitTime"), QStringLiteral("1750000000000")},
                       {QStringLiteral("title"), QStringLiteral("服务端报告")},
                       {QStringLiteral("examId"), QStringLiteral("exam-1")},
                       {QStringLiteral("logId"), logId},
                       {QStringLiteral("materialsList"), QJsonArray{}},
                       {QStringLiteral("questionList"), questions}};
}

// Answers every request of the path with a success envelope carrying data
// (none when data is undefined), whatever the request holds.
inline void answerWith(FakeService &service, const QString &path, const QJsonValue &data, int times = -1)
{
    QJsonObject envelope{{QStringLiteral("success"), true}};
    if (!data.isUndefined())
        envelope.insert(QStringLiteral("data"), data);
    FakeScenario scenario;
    scenario.rawBody = QJsonDocument(envelope).toJson(QJsonDocument::Compact);
    scenario.times = times;
    service.setScenario(path, scenario);
}

inline QJsonObject commitResultJson()
{
    return QJsonObject{{QStringLiteral("rightNum"), 0},
                       {QStringLiteral("useTime"), QStringLiteral("0")},
                       {QStringLiteral("wrongNum"), 0},
                       {QStringLiteral("unAnswerNum"), 0}};
}

// The shared environment with a signed-in model and the practice steps.
class Environment : public ModelTestEnvironment
{
public:
    // A signed-in model on the home screen with the given bank selected.
    AppModel &makeModel(const ExamBank &bank = ExamBank{QStringLiteral("102"), QStringLiteral("教师资格证·综合素质（中学）"), 1})
    {
        token = storeToken();
        model = std::make_unique<AppModel>(*client, *defaults, clock);
        model->setSelectedExamBank(bank);
        return *model;
    }

    // Opens a set served as given; false when the model did not show it.
    bool open(const QJsonObject &set, const CardMenu &from = menu(QStringLiteral("t102-1")))
    {
        service.setData(questionPath, set);
        if (!QCoro::waitFor(completes(model->openQuestions(from))))
            return false;
        if (model->screen() != AppScreen::questions)
            qWarning() << "the set did not open:" << model->errorMessage().value_or(QString());
        return model->screen() == AppScreen::questions;
    }

    bool submit() { return QCoro::waitFor(completes(model->submitPractice())); }

    [[nodiscard]] QJsonObject lastBody(const QString &path) const
    {
        const auto request = service.lastRequest(path);
        return request ? request->json.toObject() : QJsonObject();
    }

    QString token;
};

} // namespace PracticeTest
