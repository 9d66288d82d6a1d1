#include "PdfExportQuota.h"

#include "app/JsonStringArrayEncoder.h"
#include "app/PdfExportError.h"
#include "app/PdfExportLogging.h"
#include "platform/Clock.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTimeZone>

#include <cmath>

Q_LOGGING_CATEGORY(lcPdfExport, "vuzo.pdfexport")

namespace {

bool s_exporting = false;

const QString readFailure = QStringLiteral("无法读取每日导出额度记录：");

// Serialises ledger access between running copies of the program. The ledger
// is only held for a read and a write, so a short wait is enough. Where no
// lock file can be made at all (the folder cannot be written), the ledger's
// own read or write reports what is wrong with the place.
class LedgerLock
{
public:
    explicit LedgerLock(const QString &ledgerPath) : m_lock(ledgerPath + QStringLiteral(".lock"))
    {
        QDir().mkpath(QFileInfo(ledgerPath).absolutePath());
        if (!m_lock.tryLock(10'000) && m_lock.error() == QLockFile::LockFailedError)
            throw PdfExportError(readFailure + QStringLiteral("额度记录正被另一个程序使用，请稍后重试。"));
    }

private:
    QLockFile m_lock;
};

// Clears the busy flag on every exit.
struct ExportingScope
{
    ExportingScope() { s_exporting = true; }
    ~ExportingScope() { s_exporting = false; }
    ExportingScope(const ExportingScope &) = delete;
    ExportingScope &operator=(const ExportingScope &) = delete;
};

// Qt words its file errors in English; the user reads why in Chinese.
QString readProblem(QFileDevice::FileError error)
{
    switch (error) {
    case QFileDevice::PermissionsError:
        return QStringLiteral("没有读取该文件的权限。");
    case QFileDevice::ResourceError:
        return QStringLiteral("系统资源不足。");
    case QFileDevice::ReadError:
        return QStringLiteral("读取文件时出错。");
    default:
        return QStringLiteral("文件无法打开。");
    }
}

QString writeProblem(QFileDevice::FileError error)
{
    switch (error) {
    case QFileDevice::PermissionsError:
        return QStringLiteral("没有写入该文件的权限。");
    case QFileDevice::ResourceError:
        return QStringLiteral("磁盘空间或系统资源不足。");
    default:
        return QStringLiteral("写入文件时出错。");
    }
}

std::optional<qint64> integerValue(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || std::trunc(number) != number || std::fabs(number) >= 9.2e18)
        return std::nullopt;
    return value.toInteger(qint64(number));
}

} // namespace

PdfExportQuota::PdfExportQuota(Clock &clock, QString ledgerPath, RendererFactory makeRenderer)
    : m_clock(&clock), m_ledgerPath(std::move(ledgerPath)), m_makeRenderer(std::move(makeRenderer))
{
}

QString PdfExportQuota::defaultLedgerPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/Zevarud/pdf-export-quota.json");
}

QString PdfExportQuota::utc8Day(qint64 milliseconds)
{
    // The day is fixed to UTC+8 whatever the user's zone: shift, then read in UTC.
    const QDate day = QDateTime::fromMSecsSinceEpoch(milliseconds + 8 * 3600 * 1000LL, QTimeZone::utc()).date();
    return QString::asprintf("%04d-%02d-%02d", day.year(), day.month(), day.day());
}

QString PdfExportQuota::dayKey(qint64 milliseconds, const QString &environment, const QString &account)
{
    const QStringList parts{utc8Day(milliseconds), environment, account};
    if (const auto encoded = JsonStringArrayEncoder::encode(parts))
        return *encoded;
    // Only text with an unpaired surrogate gets here; keep a stable key anyway.
    return QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(parts)).toJson(QJsonDocument::Compact));
}

bool PdfExportQuota::isExporting()
{
    return s_exporting;
}

QHash<QString, qint64> PdfExportQuota::readLedger() const
{
    LedgerLock lock(m_ledgerPath);
    return load();
}

QHash<QString, qint64> PdfExportQuota::load() const
{
    QFile file(m_ledgerPath);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        throw PdfExportError(readFailure + readProblem(file.error()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw PdfExportError(readFailure + readProblem(file.error()));
    file.close();

    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    // A damaged ledger stays as it is and refuses every export: starting it
    // afresh would lift the day's limit.
    if (parseError.error != QJsonParseError::NoError)
        throw PdfExportError(readFailure + QStringLiteral("文件内容不是有效的 JSON。"));
    if (!document.isObject())
        throw PdfExportError(readFailure + QStringLiteral("文件内容不是 JSON 对象。"));
    QHash<QString, qint64> ledger;
    const QJsonObject object = document.object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        const auto count = integerValue(it.value());
        if (!count)
            throw PdfExportError(readFailure + QStringLiteral("记录“%1”的题数不是整数。").arg(it.key()));
        ledger.insert(it.key(), *count);
    }
    return ledger;
}

void PdfExportQuota::save(const QHash<QString, qint64> &ledger) const
{
    // The file's own errors, unwrapped: they say what is wrong with the place.
    if (!QDir().mkpath(QFileInfo(m_ledgerPath).absolutePath()))
        throw PdfExportError(QStringLiteral("无法创建文件夹 ") + QFileInfo(m_ledgerPath).absolutePath());
    QJsonObject object;
    for (auto it = ledger.cbegin(); it != ledger.cend(); ++it)
        object.insert(it.key(), it.value());
    QSaveFile file(m_ledgerPath);
    const QString cannotWrite = QStringLiteral("无法写入文件 ") + m_ledgerPath + QStringLiteral("：");
    if (!file.open(QIODevice::WriteOnly))
        throw PdfExportError(cannotWrite + writeProblem(file.error()));
    file.write(QJsonDocument(object).toJson(QJsonDocument::Compact));
    if (!file.commit())
        throw PdfExportError(cannotWrite + writeProblem(file.error()));
}

void PdfExportQuota::reserve(const QString &key, const QuestionModel &model, qint64 *reserved) const
{
    LedgerLock lock(m_ledgerPath);
    QHash<QString, qint64> ledger = load();
    const qint64 used = std::max<qint64>(0, ledger.value(key, 0));

    qint64 count = 0;
    for (const Question &question : model.questionList) {
        if (!question.sectionIntro)
            ++count;
    }
    if (count == 0)
        throw PdfExportError(QStringLiteral("暂无可导出的题目。"));
    if (count > dailyLimit - used) {
        const qint64 remaining = std::max<qint64>(0, dailyLimit - used);
        throw PdfExportError(QStringLiteral("每天最多导出 %1 题，今日剩余 %2 题。本次共 %3 题，请减少题量后再导出。")
                                 .arg(dailyLimit)
                                 .arg(remaining)
                                 .arg(count));
    }
    ledger.insert(key, used + count);
    save(ledger);
    *reserved = count;
}

void PdfExportQuota::giveBack(const QString &key, qint64 count) const
{
    // Read afresh: another copy of the program may have counted meanwhile.
    LedgerLock lock(m_ledgerPath);
    QHash<QString, qint64> ledger = load();
    ledger.insert(key, std::max<qint64>(0, ledger.value(key, 0) - count));
    save(ledger);
}

QCoro::Task<> PdfExportQuota::exportPractice(QuestionModel model, QString title, QString destination,
                                             QString environment, QString account,
                                             PracticePdfRenderer::Progress progress)
{
    if (s_exporting)
        throw PdfExportError(QStringLiteral("已有 PDF 正在导出，请稍后重试。"));
    if (account.isEmpty())
        throw PdfExportError(QStringLiteral("请先登录后再导出。"));
    ExportingScope busy;

    // The day is fixed here: a failure restores under it even after midnight.
    const QString key = dayKey(m_clock->nowMilliseconds(), environment, account);
    qint64 reserved = 0;
    reserve(key, model, &reserved);

    std::exception_ptr failure;
    try {
        std::unique_ptr<PracticePdfRenderer> renderer = m_makeRenderer();
        // A separate statement: g++ 12 may destroy argument temporaries of a
        // call inside co_await twice.
        QCoro::Task<> rendering = renderer->render(model, title, destination, progress);
        co_await std::move(rendering);
    } catch (...) {
        failure = std::current_exception();
    }
    if (!failure)
        co_return;

    try {
        giveBack(key, reserved);
    } catch (const VuzoError &error) {
        throw PdfExportError(QStringLiteral("导出失败，额度记录恢复失败：") + error.localizedDescription());
    }
    std::rethrow_exception(failure);
}
