// Opening a 150-question set with 40 materials (fetched from the fake service
// over loopback, decrypted, decoded and published by the model) and submitting
// it (commit and report over loopback, report published). Prints the median
// and the slowest run of each step in milliseconds.

#include "FakeService.h"

#include "app/AppModel.h"
#include "networking/APIClient.h"
#include "platform/Clock.h"
#include "platform/UserDefaults.h"

#include <QCoreApplication>
#include <QCoro/QCoroTask>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int questionCount = 150;
constexpr int materialCount = 40;
constexpr int runs = 30;

QString paragraph(QRandomGenerator &random, int sentences)
{
    static const QStringList words{QStringLiteral("材料"), QStringLiteral("分析"), QStringLiteral("根据"), QStringLiteral("下列"),
                                   QStringLiteral("说法"), QStringLiteral("正确"), QStringLiteral("的是"), QStringLiteral("增长率"),
                                   QStringLiteral("比重"), QStringLiteral("同比"), QStringLiteral("环比"), QStringLiteral("数据")};
    QString text = QStringLiteral("<p>");
    for (int s = 0; s < sentences; ++s) {
        for (int w = 0; w < 12; ++w)
            text += words.at(random.bounded(words.size()));
        text += QStringLiteral("。");
    }
    return text + QStringLiteral("</p>");
}

QJsonObject questionSet(QRandomGenerator &random)
{
    QJsonArray materials;
    for (int i = 0; i < materialCount; ++i) {
        materials.append(QJsonObject{{QStringLiteral("id"), QStringLiteral("mat-%1").arg(i)},
                                     {QStringLiteral("title"), QStringLiteral("材料%1").arg(i + 1)},
                                     {QStringLiteral("context"), paragraph(random, 20)}});
    }
    QJsonArray questions;
    for (int i = 0; i < questionCount; ++i) {
        const int type = i % 10 == 9 ? 3 : (i % 5 == 4 ? 2 : 1);
        QJsonArray options;
        if (type != 3) {
            for (int o = 0; o < 4; ++o)
                options.append(paragraph(random, 1));
        }
        QJsonObject question{{QStringLiteral("id"), QStringLiteral("q-%1").arg(i)},
                             {QStringLiteral("questionType"), type},
                             {QStringLiteral("answer"), type == 2 ? QStringLiteral("AC") : type == 3 ? paragraph(random, 2) : QStringLiteral("B")},
                             {QStringLiteral("context"), paragraph(random, 3)},
                             {QStringLiteral("analysis"), paragraph(random, 4)},
                             {QStringLiteral("questionOptions"), options},
                             {QStringLiteral("menuId"), QStringLiteral("t102-1")},
                             {QStringLiteral("useTime"), QStringLiteral("0")}};
        if (i % 4 == 0)
            question.insert(QStringLiteral("materialsId"), QStringLiteral("mat-%1").arg((i / 4) % materialCount));
        questions.append(question);
    }
    return QJsonObject{{QStringLiteral("materialsList"), materials},
                       {QStringLiteral("questionList"), questions},
                       {QStringLiteral("userExamId"), QStringLiteral("ue-bench")},
                       {QStringLiteral("title"), QStringLiteral("基准套题")}};
}

// The report the service would make of the set: every question with an answer.
QJsonObject reportOf(const QJsonObject &set)
{
    QJsonArray questions;
    for (const QJsonValue &value : set.value(QStringLiteral("questionList")).toArray()) {
        QJsonObject question = value.toObject();
        question.insert(QStringLiteral("userAnswer"), QStringLiteral("B"));
        questions.append(question);
    }
    return QJsonObject{{QStringLiteral("rightNum"), 100},      {QStringLiteral("useTime"), QStringLiteral("600")},
                       {QStringLiteral("wrongNum"), 50},       {QStringLiteral("unAnswerNum"), 0},
                       {QStringLiteral("commitTime"), QStringLiteral("1750000000000")},
                       {QStringLiteral("title"), QStringLiteral("基准套题")},
                       {QStringLiteral("examId"), QStringLiteral("t102-1")},
                       {QStringLiteral("logId"), QStringLiteral("ue-bench")},
                       {QStringLiteral("materialsList"), set.value(QStringLiteral("materialsList"))},
                       {QStringLiteral("questionList"), questions}};
}

void answerWith(FakeService &service, const QString &path, const QJsonValue &data)
{
    FakeScenario scenario;
    scenario.rawBody = QJsonDocument(QJsonObject{{QStringLiteral("success"), true}, {QStringLiteral("data"), data}})
                           .toJson(QJsonDocument::Compact);
    service.setScenario(path, scenario);
}

QCoro::Task<bool> completes(QCoro::Task<> task)
{
    try {
        co_await std::move(task);
        co_return true;
    } catch (...) {
        co_return false;
    }
}

void print(const char *label, QList<double> samples, double target)
{
    std::sort(samples.begin(), samples.end());
    const double median = samples.at(samples.size() / 2);
    std::printf("%-34s median %7.2f ms   max %7.2f ms   (target < %.0f ms)\n", label, median, samples.last(), target);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    UserDefaults defaults(dir.filePath(QStringLiteral("defaults.json")));
    UserDefaults::setStandard(&defaults);
    FakeService service;
    if (!service.start()) {
        std::fprintf(stderr, "the fake service did not start\n");
        return 1;
    }
    APIClient client(service.baseUrl().toString());
    defaults.setValue(AppModel::tokenKey, service.issueToken());
    AppModel model(client, defaults, Clock::shared());
    model.setSelectedExamBank(ExamBank{QStringLiteral("102"), QStringLiteral("教师资格证·综合素质（中学）"), 1});
    model.setExamQuestionCount(40);
    model.setExamMode(ExamMode::review); // answers reveal at once: no move timers during the runs

    QRandomGenerator random(20250601);
    const QJsonObject set = questionSet(random);
    service.setData(QStringLiteral("/exam/getQuestionByMenuId"), set);
    answerWith(service, QStringLiteral("/exam/commitExam"),
               QJsonObject{{QStringLiteral("rightNum"), 100}, {QStringLiteral("useTime"), QStringLiteral("600")},
                           {QStringLiteral("wrongNum"), 50}, {QStringLiteral("unAnswerNum"), 0}});
    answerWith(service, QStringLiteral("/userExam/getUserExamLogDetail"), reportOf(set));
    std::printf("set: %d questions, %d materials, %lld bytes of JSON\n", questionCount, materialCount,
                qlonglong(QJsonDocument(set).toJson(QJsonDocument::Compact).size()));

    CardMenu menu;
    menu.menuId = QStringLiteral("t102-1");
    menu.name = QStringLiteral("单项选择题");

    QList<double> openTimes;
    QList<double> submitTimes;
    for (int run = 0; run < runs + 3; ++run) { // the first three warm up connections and caches
        QElapsedTimer timer;
        timer.start();
        if (!QCoro::waitFor(completes(model.openQuestions(menu))) || model.screen() != AppScreen::questions
            || model.questions().size() != questionCount) {
            std::fprintf(stderr, "opening failed: %s\n", qPrintable(model.errorMessage().value_or(QString())));
            return 1;
        }
        const double openMs = double(timer.nsecsElapsed()) / 1e6;

        for (const Question &question : model.questions()) {
            if (question.questionType == QuestionType::single)
                model.chooseSingleAnswer(QStringLiteral("B"), question);
            else if (question.questionType == QuestionType::multiple)
                model.toggleMultipleAnswer(QStringLiteral("A"), question);
        }

        timer.restart();
        if (!QCoro::waitFor(completes(model.submitPractice())) || model.screen() != AppScreen::report) {
            std::fprintf(stderr, "submitting failed: %s\n", qPrintable(model.errorMessage().value_or(QString())));
            return 1;
        }
        const double submitMs = double(timer.nsecsElapsed()) / 1e6;
        if (run >= 3) {
            openTimes.append(openMs);
            submitTimes.append(submitMs);
        }
        model.backToHome();
    }
    std::printf("question set sent as %s; commit and report sent as plain JSON\n",
                qPrintable(service.lastRequest(QStringLiteral("/exam/getQuestionByMenuId"))->replyMode));
    print("open 150 questions, 40 materials", openTimes, 60);
    print("submit (commit + report)", submitTimes, 40);
    UserDefaults::setStandard(nullptr);
    return 0;
}
