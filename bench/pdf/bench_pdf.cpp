// Time and memory of one PDF export: 150 questions with materials and
// images, rendered off screen, printed to A4 and stamped. Prints one figure a line.
#include "pdf/QuestionPdfExporter.h"
#include "platform/VuzoError.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <QtWebEngineQuick/qtwebenginequickglobal.h>
#include <QCoro/QCoroTask>

#include <cstdio>
#include <map>

namespace {

QString pngDataUrl(int seed)
{
    QImage image(480, 240, QImage::Format_RGB32);
    image.fill(QColor::fromHsv((seed * 37) % 360, 60, 240));
    QPainter painter(&image);
    painter.setPen(Qt::black);
    for (int i = 0; i < 12; ++i)
        painter.drawLine(0, i * 20, 480, 240 - i * 20);
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return QStringLiteral("data:image/png;base64,") + QString::fromLatin1(bytes.toBase64());
}

QuestionModel benchSet()
{
    QuestionModel model;
    for (int m = 0; m < 30; ++m) {
        Material material;
        material.id = QStringLiteral("m%1").arg(m);
        material.title = QStringLiteral("资料%1").arg(m + 1);
        material.context = QStringLiteral("<p>%1</p><img src='%2'>")
                               .arg(QStringLiteral("根据以下资料回答问题。某市统计局公布的数据显示，").repeated(8), pngDataUrl(m));
        model.materialsList.append(material);
    }
    for (int i = 0; i < 150; ++i) {
        Question q;
        q.id = QString::number(i);
        q.context = QStringLiteral("<p>下列关于资料的说法，正确的是（ ）%1</p>").arg(i % 10 == 0 ? QStringLiteral("<img src='%1'>").arg(pngDataUrl(100 + i)) : QString());
        q.materialsId = QStringLiteral("m%1").arg(i / 5);
        q.questionOptions = {QStringLiteral("选项甲的内容"), QStringLiteral("选项乙的内容"), QStringLiteral("选项丙的内容"),
                             QStringLiteral("选项丁的内容")};
        q.answer = QStringLiteral("C");
        q.analysis = QStringLiteral("<p>%1</p>").arg(QStringLiteral("本题考查资料分析，计算增长率。").repeated(4));
        q.questionFrom = QStringLiteral("2024 年国考");
        model.questionList.append(q);
    }
    return model;
}

// Resident memory of this process and every descendant (kB), per process peak.
class TreeMemory
{
public:
    void sample()
    {
        const QString self = QString::number(QCoreApplication::applicationPid());
        std::map<QString, QString> parents;
        for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
            if (pid.toLongLong() <= 0 || !stat.open(QIODevice::ReadOnly))
                continue;
            const QString line = QString::fromLatin1(stat.readAll());
            const QStringList fields = line.mid(line.lastIndexOf(u')') + 2).split(u' ');
            if (fields.size() > 1)
                parents[pid] = fields.at(1);
        }
        for (const auto &[pid, parent] : parents) {
            QString up = pid;
            for (int depth = 0; depth < 8 && up != self && parents.count(up); ++depth)
                up = parents[up];
            if (up == self)
                m_peak[pid] = std::max(m_peak[pid], residentKb(pid));
        }
    }
    [[nodiscard]] qint64 totalPeakKb() const
    {
        qint64 sum = 0;
        for (const auto &[pid, kb] : m_peak)
            sum += kb;
        return sum;
    }

private:
    static qint64 residentKb(const QString &pid)
    {
        QFile status(QStringLiteral("/proc/%1/status").arg(pid));
        if (!status.open(QIODevice::ReadOnly))
            return 0;
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:") || line.startsWith("VmRSS:")) {
                const qint64 kb = line.mid(6).trimmed().split(' ').first().toLongLong();
                if (line.startsWith("VmHWM:"))
                    return kb;
            }
        }
        return 0;
    }
    std::map<QString, qint64> m_peak;
};

QCoro::Task<QString> run(QuestionPdfExporter &exporter, const QuestionModel &model, const QString &destination)
{
    try {
        QCoro::Task<> rendering = exporter.render(model, QStringLiteral("资料分析专项训练"), destination, {});
        co_await std::move(rendering);
    } catch (const VuzoError &error) {
        co_return error.localizedDescription();
    }
    co_return QString();
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QtWebEngineQuick::initialize();
    QApplication app(argc, argv);

    QTemporaryDir dir;
    const QString destination = dir.filePath(QStringLiteral("bench.pdf"));
    const QuestionModel model = benchSet();
    TreeMemory memory;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] { memory.sample(); });
    sampler.start(50);

    QuestionPdfExporter exporter(QStringLiteral("https://api.vuzo.invalid"));
    QElapsedTimer timer;
    timer.start();
    const QString error = QCoro::waitFor(run(exporter, model, destination));
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    memory.sample();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the page, then its profile
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "export failed: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("export 150 questions with materials: %.2f s\n", seconds);
    std::printf("peak rss of process tree: %.0f MB\n", double(memory.totalPeakKb()) / 1024.0);
    std::printf("pdf size: %.1f MB\n", double(QFileInfo(destination).size()) / (1024.0 * 1024.0));
    if (qEnvironmentVariableIsSet("VUZO_BENCH_KEEP"))
        QFile::copy(destination, qEnvironmentVariable("VUZO_BENCH_KEEP"));
    return 0;
}
