// Decoding speed of a realistic question set: 1,000 questions with shared
// materials, HTML stems, options and analyses (~2 MB of JSON), generated with a
// fixed seed. Prints MB/s for the JSON parse alone and for parse + decode.

#include "models/QuestionModel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

const QStringList kWords = {u"政府"_s, u"经济"_s, u"发展"_s, u"改革"_s, u"社会"_s, u"文化"_s, u"科技"_s,
                            u"创新"_s, u"生态"_s, u"保护"_s, u"城市"_s, u"乡村"_s, u"教育"_s, u"数据"_s,
                            u"增长率"_s, u"同比"_s, u"根据"_s, u"材料"_s, u"以下"_s, u"正确"_s, u"的是"_s,
                            u"，"_s, u"。"_s, u"2023年"_s, u"12.5%"_s, u"约"_s, u"亿元"_s};

QString sentence(QRandomGenerator &random, int words)
{
    QString text;
    for (int i = 0; i < words; ++i)
        text += kWords.at(qsizetype(random.bounded(kWords.size())));
    return text;
}

QString html(QRandomGenerator &random, int paragraphs, int words)
{
    QString text;
    for (int i = 0; i < paragraphs; ++i) {
        text += u"<p style=\"text-indent:2em;line-height:1.8\">"_s + sentence(random, words);
        if (random.bounded(4) == 0)
            text += u"<img src=\"https://img.example.invalid/q/"_s + QString::number(random.generate()) + u".png\" width=\"320\"/>"_s;
        text += u"</p>"_s;
    }
    return text;
}

QByteArray questionSet()
{
    QRandomGenerator random(20240611);
    QJsonArray materials;
    for (int m = 0; m < 80; ++m) {
        materials.append(QJsonObject{{u"id"_s, QString::number(880000 + m)},
                                     {u"title"_s, u"材料"_s + QString::number(m + 1)},
                                     {u"context"_s, html(random, 6, 45)}});
    }
    QJsonArray questions;
    for (int q = 0; q < 1000; ++q) {
        const int type = q % 10 == 9 ? 3 : (q % 3 == 0 ? 2 : 1);
        QJsonArray options;
        if (type != 3) {
            for (int o = 0; o < 4; ++o)
                options.append(u"<p>"_s + sentence(random, 4 + int(random.bounded(6))) + u"</p>"_s);
        }
        QJsonObject question{
            // The service mixes numbers and strings for ids and counts.
            {u"id"_s, q % 2 ? QJsonValue(qint64(1700000000000) + q) : QJsonValue(QString::number(500000 + q))},
            {u"analysis"_s, html(random, 3, 32)},
            {u"answer"_s, type == 3 ? sentence(random, 8) : (type == 2 ? u"AC"_s : u"B"_s)},
            {u"context"_s, html(random, 2, 30)},
            {u"examBankId"_s, 103},
            {u"examId"_s, QString::number(77000 + q / 100)},
            {u"menuId"_s, u"m"_s + QString::number(q % 17)},
            {u"note"_s, QString()},
            {u"questionFrom"_s, u"2023年国家公务员录用考试《行测》"_s},
            {u"questionOptions"_s, options},
            {u"questionType"_s, q % 4 == 0 ? QJsonValue(QString::number(type)) : QJsonValue(type)},
            {u"useTime"_s, int(random.bounded(300))},
            {u"userAnswer"_s, QString()},
            {u"isCollect"_s, random.bounded(8) == 0},
        };
        if (q % 5 < 2)
            question.insert(u"materialsId"_s, QString::number(880000 + (q / 17) % 80));
        questions.append(question);
    }
    const QJsonObject set{{u"materialsList"_s, materials}, {u"questionList"_s, questions},
                          {u"userExamId"_s, 9001}, {u"title"_s, u"专项练习"_s}};
    return QJsonDocument(set).toJson(QJsonDocument::Compact);
}

template<class F>
double bestSeconds(int rounds, F &&work)
{
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e9);
    }
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2); // median
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QByteArray json = questionSet();
    const double megabytes = double(json.size()) / 1e6;
    constexpr int rounds = 40;

    size_t sink = 0;
    const double parse = bestSeconds(rounds, [&] {
        const QJsonDocument document = QJsonDocument::fromJson(json);
        sink += size_t(document.object().size());
    });
    const double decode = bestSeconds(rounds, [&] {
        const QJsonDocument document = QJsonDocument::fromJson(json);
        const QuestionModel model = QuestionModel::fromJson(document.object());
        sink += size_t(model.questionList.size());
    });
    const QJsonDocument document = QJsonDocument::fromJson(json);
    const QJsonValue root(document.object());
    const double recordsOnly = bestSeconds(rounds, [&] {
        const QuestionModel model = QuestionModel::fromJson(root);
        sink += size_t(model.questionList.size());
    });

    std::printf("question set: %d questions, %.2f MB of JSON (median of %d runs)\n",
                int(QuestionModel::fromJson(root).questionList.size()), megabytes, rounds);
    std::printf("parse only (QJsonDocument::fromJson):        %8.2f ms  %8.1f MB/s\n", parse * 1e3, megabytes / parse);
    std::printf("parse + decode (QuestionModel::fromJson):    %8.2f ms  %8.1f MB/s\n", decode * 1e3, megabytes / decode);
    std::printf("decode only (records from a parsed document): %7.2f ms\n", recordsOnly * 1e3);
    return sink == 0 ? 1 : 0;
}
