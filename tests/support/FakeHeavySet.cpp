#include "FakeHeavySet.h"

#include "FakeLargeSet.h"

#include <QCryptographicHash>
#include <QJsonArray>

namespace FakeHeavySet {
namespace {

constexpr int blockSize = 15;
constexpr int plainPerBlock = 7;
constexpr int materialsPerBlock = 4;
static_assert(questionCount / blockSize * materialsPerBlock == materialCount);

QString address(const QUrl &base, const QString &path)
{
    return base.toString(QUrl::StripTrailingSlash) + path;
}

QString indexed(const char *prefix, int index)
{
    return QLatin1String(prefix) + QString::number(index) + QStringLiteral(".png");
}

QString tableRow(int row, int seed)
{
    const int base = 800 + (row * 41 + seed * 13) % 1100;
    const int next = base + (row * 7 + seed) % 150;
    return QStringLiteral("<tr><td>第%1季度</td><td>%2</td><td>%3</td><td>%4%</td></tr>")
        .arg(row % 4 + 1)
        .arg(base)
        .arg(next)
        .arg(QString::number((next - base) * 100.0 / base, 'f', 1));
}

// Paragraphs of statistics text and a table, to about materialCharacters.
QString materialHtml(const QUrl &base, int m)
{
    QString html = QStringLiteral("<p>资料%1：根据下列材料，回答后面的问题。</p>").arg(m + 1);
    if (m % figureEvery == 0)
        html += QStringLiteral("<p><img src=\"%1\" alt=\"图%2\"></p>")
                    .arg(address(base, indexed(figurePathPrefix, m / figureEvery)))
                    .arg(m + 1);
    const QString sentence = QStringLiteral("%1年，全市规模以上工业企业实现营业收入%2亿元，同比增长%3%，"
                                            "其中高技术制造业增加值占比提高%4个百分点。");
    // Two thirds text, the rest a table.
    int year = 2015;
    html += QStringLiteral("<p>");
    while (html.size() < materialCharacters * 2 / 3) {
        html += sentence.arg(year).arg(12000 + year * 7 + m * 31).arg(3 + (year + m) % 9).arg((year + m) % 4);
        if (++year % 4 == 0)
            html += QStringLiteral("</p><p>");
    }
    html += QStringLiteral("</p><table><thead><tr><th>季度</th><th>上年（亿元）</th><th>本年（亿元）</th>"
                           "<th>增长率</th></tr></thead><tbody>");
    int row = 0;
    const QString end = QStringLiteral("</tbody></table><p>注：部分数据因四舍五入存在误差。</p>");
    while (html.size() + end.size() < materialCharacters - 30)
        html += tableRow(row++, m);
    return html + end;
}

QString stemHtml(const QUrl &base, int i)
{
    QString html = QStringLiteral("<p>第%1题：根据所给资料，下列说法正确的是（ ）。</p>").arg(i + 1);
    if (i == longStemIndex) {
        const QString sentence = QStringLiteral("阅读下面的文字，概括作者对乡村振兴的主要看法，并说明其依据。"
                                                "乡村振兴不是简单的项目堆砌，而是产业、人才、文化、生态与组织的全面振兴。");
        while (html.size() < longStemCharacters)
            html += QStringLiteral("<p>") + sentence + sentence + QStringLiteral("</p>");
    } else {
        html += QStringLiteral("<p>") + QStringLiteral("某企业去年产值比前年增长了一成半，今年计划在此基础上再增长一成。").repeated(1 + i % 4)
            + QStringLiteral("</p>");
    }
    if (i == largeFigureIndex)
        html += QStringLiteral("<p><img src=\"%1\" alt=\"图\"></p>").arg(address(base, QLatin1String(largeFigurePath)));
    // Every stem has a formula of its own beside its text.
    html += QStringLiteral("<p>若增长率为 <img src=\"%1\" alt=\"公式\"> ，则基期量约为多少？</p>")
                .arg(address(base, indexed(formulaPathPrefix, i)));
    return html;
}

QJsonArray optionsFor(int i)
{
    QJsonArray options;
    for (int k = 0; k < 4; ++k)
        options.append(QStringLiteral("<p>选项%1：约为%2亿元</p>").arg(k + 1).arg(100 + (i * 7 + k * 13) % 400));
    return options;
}

} // namespace

QJsonObject questionModel(const QUrl &imageBase)
{
    QJsonArray materials;
    for (int m = 0; m < materialCount; ++m)
        materials.append(QJsonObject{{QStringLiteral("id"), QStringLiteral("heavy-m%1").arg(m)},
                                     {QStringLiteral("title"), QStringLiteral("资料分析 %1").arg(m + 1)},
                                     {QStringLiteral("context"), materialHtml(imageBase, m)}});
    QJsonArray questions;
    for (int i = 0; i < questionCount; ++i) {
        const int block = i / blockSize;
        const int position = i % blockSize;
        QJsonObject q{{QStringLiteral("id"), QStringLiteral("heavy-q%1").arg(i)},
                      {QStringLiteral("examBankId"), QStringLiteral("101")},
                      {QStringLiteral("menuId"), QStringLiteral("heavy")},
                      {QStringLiteral("questionType"), 1},
                      {QStringLiteral("context"), stemHtml(imageBase, i)},
                      {QStringLiteral("questionOptions"), optionsFor(i)},
                      {QStringLiteral("answer"), QString(QChar(u'A' + i % 4))},
                      {QStringLiteral("analysis"), QStringLiteral("<p>本题考查增长量与增长率的计算。</p>")},
                      {QStringLiteral("questionFrom"), QStringLiteral("模拟卷 %1").arg(block + 1)}};
        if (position >= plainPerBlock)
            q.insert(QStringLiteral("materialsId"),
                     QStringLiteral("heavy-m%1").arg(block * materialsPerBlock + (position - plainPerBlock) / 2));
        questions.append(q);
    }
    return {{QStringLiteral("materialsList"), materials}, {QStringLiteral("questionList"), questions}};
}

QList<QByteArray> cacheHeaders(const QByteArray &image)
{
    const QByteArray tag = QCryptographicHash::hash(image, QCryptographicHash::Sha1).toHex().left(16);
    return {QByteArrayLiteral("Cache-Control: public, max-age=2592000"), "ETag: \"" + tag + '"',
            QByteArrayLiteral("Last-Modified: Mon, 04 Mar 2024 08:00:00 GMT")};
}

std::optional<QByteArray> figure(const QString &path)
{
    using FakeLargeSet::barChartPng;
    using FakeLargeSet::imageIndex;
    if (const int index = imageIndex(path, figurePathPrefix, (materialCount + figureEvery - 1) / figureEvery); index >= 0)
        return barChartPng(index, figureWidth, figureHeight, true);
    if (path == QLatin1String(largeFigurePath))
        return barChartPng(99, largeFigureWidth, largeFigureHeight, true);
    if (const int index = imageIndex(path, formulaPathPrefix, questionCount); index >= 0)
        return barChartPng(index, formulaWidth, formulaHeight);
    return std::nullopt;
}

} // namespace FakeHeavySet
