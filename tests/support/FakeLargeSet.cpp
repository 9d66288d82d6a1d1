#include "FakeLargeSet.h"

#include <QJsonArray>
#include <QtEndian>

#include <algorithm>
#include <array>

namespace FakeLargeSet {
namespace {

// Fifteen questions a block: seven plain ones, then four materials of two
// questions each, so paging crosses between pager and material view often.
constexpr int blockSize = 15;
constexpr int plainPerBlock = 7;
constexpr int materialsPerBlock = 4;
static_assert(questionCount / blockSize * materialsPerBlock == materialCount);

QString imageAddress(const QUrl &base, const char *prefix, int index)
{
    return base.toString(QUrl::StripTrailingSlash) + QLatin1String(prefix) + QString::number(index)
        + QStringLiteral(".png");
}

QString figureAddress(const QUrl &base, int index)
{
    return imageAddress(base, figurePathPrefix, index);
}

QString tableRow(int row, int seed)
{
    const int base = 1200 + (row * 37 + seed * 11) % 900;
    const int next = base + (row * 13 + seed) % 170;
    return QStringLiteral("<tr><td>第%1类商品</td><td>%2</td><td>%3</td><td>%4%</td><td>%5</td></tr>")
        .arg(row + 1)
        .arg(base)
        .arg(next)
        .arg(QString::number((next - base) * 100.0 / base, 'f', 1))
        .arg((row + seed) % 2 ? QStringLiteral("东部") : QStringLiteral("中西部"));
}

// 2 kB for the first material up to 10 kB for the last, each with a table.
QString materialHtml(const QUrl &base, int m)
{
    const qsizetype target = 2048 + qsizetype(m) * 8192 / (materialCount - 1);
    QString html = QStringLiteral("<p>资料%1：根据下列统计资料，回答后面的问题。2023年，某省全年实现地区生产总值"
                                  "%2亿元，比上年增长%3%，其中第三产业增加值占比继续提高。</p>")
                       .arg(m + 1)
                       .arg(40000 + m * 731)
                       .arg(4 + m % 5);
    if (m % 5 == 0)
        html += QStringLiteral("<p><img src=\"%1\" alt=\"图%2\"></p>").arg(figureAddress(base, m / 5 % figureCount)).arg(m + 1);
    html += QStringLiteral("<table><thead><tr><th>类别</th><th>2022年（亿元）</th><th>2023年（亿元）</th>"
                           "<th>增长率</th><th>地区</th></tr></thead><tbody>");
    qsizetype size = html.toUtf8().size();
    int row = 0;
    while (size < target - 150) {
        const QString fragment = tableRow(row++, m);
        html += fragment;
        size += fragment.toUtf8().size();
        if (row % 12 == 0) {
            const QString close = QStringLiteral("</tbody></table><p>从上表可以看出，各类商品零售额增速有所分化，"
                                                 "其中升级类商品增长较快，基本生活类商品增长平稳。</p>"
                                                 "<table><tbody>");
            html += close;
            size += close.toUtf8().size();
        }
    }
    html += QStringLiteral("</tbody></table><p>注：增长率按可比价格计算，部分数据因四舍五入存在误差。</p>");
    return html;
}

QString stemHtml(const QUrl &base, int i)
{
    QString html = QStringLiteral("<p>第%1题：根据所给信息，下列说法正确的是（ ）。</p>").arg(i + 1);
    if (i == longStemIndex) {
        const QString sentence = QStringLiteral("阅读下面的文字，概括作者对城市更新的主要看法，并说明其依据。"
                                                "城市更新不是简单的拆旧建新，而是对空间、功能与人文的系统修复。");
        while (html.toUtf8().size() < longStemBytes)
            html += QStringLiteral("<p>") + sentence + sentence + QStringLiteral("</p>");
        return html;
    }
    html += QStringLiteral("<p>") + QStringLiteral("某单位组织业务培训，参加人数比上次增加了两成，其中青年职工占比有所上升。").repeated(1 + i % 3)
        + QStringLiteral("</p>");
    if (i % 12 == 5)
        html += QStringLiteral("<p><img src=\"%1\" alt=\"图\"></p>").arg(figureAddress(base, i / 12 % figureCount));
    // A formula image beside the text, drawn inline at the text's height.
    if (i % 3 == 1)
        html += QStringLiteral("<p>若增长率为 <img src=\"%1\" alt=\"公式\"> ，则基期量约为多少？</p>")
                    .arg(imageAddress(base, formulaPathPrefix, i % formulaCount));
    return html;
}

// Every fourth analysis arrives with its markup escaped, as some do.
QString analysisHtml(int i)
{
    const QString text = QStringLiteral("本题考查资料分析中的增长率计算，按公式计算可得答案。");
    if (i % 4 == 3)
        return QStringLiteral("&lt;p&gt;") + text + QStringLiteral("&lt;/p&gt;&lt;p&gt;故正确答案为 &amp;ldquo;%1&amp;rdquo;。&lt;/p&gt;")
                                                  .arg(QChar(u'A' + i % 4));
    return QStringLiteral("<p>") + text + QStringLiteral("</p>");
}

QJsonArray optionsFor(int i)
{
    QJsonArray options;
    for (int k = 0; k < 4; ++k)
        options.append(QStringLiteral("<p>选项%1：增长约%2%，比上年提高%3个百分点</p>").arg(k + 1).arg(3 + (i + k) % 9).arg(k));
    return options;
}

std::array<quint32, 256> crcTable()
{
    std::array<quint32, 256> table{};
    for (quint32 n = 0; n < 256; ++n) {
        quint32 c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

quint32 crc32(const QByteArray &bytes)
{
    static const std::array<quint32, 256> table = crcTable();
    quint32 c = 0xFFFFFFFFu;
    for (const char byte : bytes)
        c = table[(c ^ quint8(byte)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

QByteArray bigEndian(quint32 value)
{
    QByteArray out(4, '\0');
    qToBigEndian(value, out.data());
    return out;
}

QByteArray chunk(const char *type, const QByteArray &data)
{
    const QByteArray typed = QByteArray(type, 4) + data;
    return bigEndian(quint32(data.size())) + typed + bigEndian(crc32(typed));
}

} // namespace

// A bar chart on a light grid, different bars per index; RGB, 8 bits.
QByteArray barChartPng(int index, int width, int height, bool grain)
{
    QByteArray raw;
    raw.reserve((width * 3 + 1) * height);
    for (int y = 0; y < height; ++y) {
        raw.append('\0'); // no filter
        for (int x = 0; x < width; ++x) {
            const int bar = x / 60;
            // Bars scaled to the image's height, so a formula-sized one is drawn too.
            const int barTop = (60 + (bar * 53 + index * 29) % 240) * height / figureHeight;
            const bool inBar = x % 60 >= 12 && x % 60 < 48 && y >= barTop && y < height - 20 * height / figureHeight;
            const bool grid = y % 40 == 0 || x % 60 == 0;
            quint8 r = 255, g = 255, b = 255;
            if (inBar) {
                r = quint8(40 + (bar * 23 + index * 41) % 160);
                g = quint8(90 + (bar * 17) % 120);
                b = quint8(200 - (index * 19) % 90);
            } else if (grid) {
                r = g = b = 225;
            }
            if (grain) {
                // A scanned page's noise: the image then compresses as a real one does.
                const quint32 noise = quint32(x * 73856093) ^ quint32(y * 19349663) ^ quint32(index * 83492791);
                const auto grained = [&](quint8 value, int shift) {
                    return quint8(std::max(0, int(value) - int((noise >> shift) % 3)));
                };
                r = grained(r, 3);
                g = grained(g, 9);
                b = grained(b, 15);
            }
            raw.append(char(r)).append(char(g)).append(char(b));
        }
    }
    QByteArray header = bigEndian(quint32(width)) + bigEndian(quint32(height));
    header.append(char(8)).append(char(2)).append(char(0)).append(char(0)).append(char(0));
    // qCompress puts the length before a zlib stream; PNG wants the stream.
    const QByteArray zlib = qCompress(raw, 9).mid(4);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) + chunk("IDAT", zlib) + chunk("IEND", {});
}

int imageIndex(const QString &path, const char *prefixText, int count)
{
    const QString prefix = QLatin1String(prefixText);
    if (!path.startsWith(prefix) || !path.endsWith(QStringLiteral(".png")))
        return -1;
    bool ok = false;
    const int index = path.mid(prefix.size(), path.size() - prefix.size() - 4).toInt(&ok);
    return ok && index >= 0 && index < count ? index : -1;
}

QJsonObject questionModel(const QUrl &figureBase)
{
    QJsonArray materials;
    for (int m = 0; m < materialCount; ++m)
        materials.append(QJsonObject{{QStringLiteral("id"), QStringLiteral("big-m%1").arg(m)},
                                     {QStringLiteral("title"), QStringLiteral("资料分析 %1").arg(m + 1)},
                                     {QStringLiteral("context"), materialHtml(figureBase, m)}});
    QJsonArray questions;
    for (int i = 0; i < questionCount; ++i) {
        const int block = i / blockSize;
        const int position = i % blockSize;
        QJsonObject q{{QStringLiteral("id"), QStringLiteral("big-q%1").arg(i)},
                      {QStringLiteral("examBankId"), QStringLiteral("101")},
                      {QStringLiteral("menuId"), QStringLiteral("big")},
                      {QStringLiteral("questionType"), 1},
                      {QStringLiteral("context"), stemHtml(figureBase, i)},
                      {QStringLiteral("questionOptions"), optionsFor(i)},
                      {QStringLiteral("answer"), QString(QChar(u'A' + i % 4))},
                      {QStringLiteral("analysis"), analysisHtml(i)},
                      {QStringLiteral("questionFrom"), QStringLiteral("模拟卷 %1").arg(block + 1)}};
        if (position >= plainPerBlock)
            q.insert(QStringLiteral("materialsId"),
                     QStringLiteral("big-m%1").arg(block * materialsPerBlock + (position - plainPerBlock) / 2));
        questions.append(q);
    }
    return {{QStringLiteral("materialsList"), materials}, {QStringLiteral("questionList"), questions}};
}

std::optional<QByteArray> figure(const QString &path)
{
    if (const int index = imageIndex(path, figurePathPrefix, figureCount); index >= 0)
        return barChartPng(index, figureWidth, figureHeight);
    if (const int index = imageIndex(path, formulaPathPrefix, formulaCount); index >= 0)
        return barChartPng(index, formulaWidth, formulaHeight);
    return std::nullopt;
}

} // namespace FakeLargeSet
