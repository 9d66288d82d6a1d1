#include "QuestionPdfExporter.h"

#include "ExportStep.h"
#include "ExportWebPage.h"
#include "app/PdfExportError.h"
#include "app/PdfExportLogging.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QTemporaryDir>
#include <QThread>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QCoro/QCoroSignal>
#include <QCoro/QCoroTimer>

namespace {

const QString generationFailed = QStringLiteral("PDF 生成失败，请重试。");

// Run in the page's isolated world: the page's own scripts are off. Lazy
// images of a page that is never shown would never load, so they are made
// eager first.
const QString readinessScript = QStringLiteral(
    "(function(){document.querySelectorAll('img[loading]').forEach(function(i){if(i.loading!=='eager')"
    "i.loading='eager';});"
    "return document.querySelector('.answers')!==null && document.readyState==='complete' && "
    "document.fonts.status==='loaded' && Array.from(document.images).every(i=>i.complete);})()");
const QString brokenImageScript = QStringLiteral("Array.from(document.images).some(i=>i.naturalWidth===0)");

qsizetype documentQuestionCount(const QuestionModel &model)
{
    qsizetype count = 0;
    for (const Question &question : model.questionList) {
        if (!question.sectionIntro)
            ++count;
    }
    return count;
}

} // namespace

QuestionPdfExporter::QuestionPdfExporter(QString baseURL, QObject *parent)
    : QuestionPdfExporter(std::move(baseURL), Limits{}, QDir::tempPath(), parent)
{
}

QuestionPdfExporter::QuestionPdfExporter(QString baseURL, Limits limits, QString temporaryRoot, QObject *parent)
    : QObject(parent), m_baseURL(std::move(baseURL)), m_limits(limits), m_temporaryRoot(std::move(temporaryRoot))
{
    if (QCoreApplication *app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &QuestionPdfExporter::requestStop);
}

QuestionPdfExporter::~QuestionPdfExporter()
{
    tearDown();
}

QWebEnginePage *QuestionPdfExporter::page() const
{
    return m_page.data();
}

void QuestionPdfExporter::requestStop()
{
    m_stopRequested = true;
    if (m_decoration) {
        // The decoration notices between pages; its wait stays until it ends.
        m_decoration->stop = true;
        return;
    }
    if (m_step)
        m_step->settle();
}

void QuestionPdfExporter::tearDown()
{
    // Deleted from the event loop (this may run inside one of the page's
    // signals), the profile only once its page is gone.
    if (m_page) {
        m_page->disconnect(this);
        m_page->triggerAction(QWebEnginePage::Stop);
        m_page->setParent(nullptr);
        if (m_profile) {
            m_profile->setParent(nullptr);
            connect(m_page, &QObject::destroyed, m_profile, &QObject::deleteLater);
            m_profile = nullptr;
        }
        m_page->deleteLater();
        m_page = nullptr;
    }
    if (m_profile) {
        m_profile->deleteLater();
        m_profile = nullptr;
    }
    if (m_step)
        m_step->deleteLater();
    m_temporaryDir.reset();
}

ExportStep *QuestionPdfExporter::beginStep()
{
    if (m_step)
        m_step->deleteLater();
    m_step = new ExportStep(this);
    return m_step;
}

QCoro::Task<> QuestionPdfExporter::waitFor(ExportStep *step, QDeadlineTimer deadline)
{
    QPointer<ExportStep> guard(step);
    if (m_stopRequested || m_engineGone)
        step->settle();
    if (!step->isSettled() && !deadline.hasExpired()) {
        const auto remaining = std::chrono::milliseconds(std::max<qint64>(1, deadline.remainingTime()));
        auto settled = qCoro(step, &ExportStep::settled, remaining);
        co_await std::move(settled);
    }
    Q_UNUSED(guard)
}

void QuestionPdfExporter::throwIfStoppedOrGone() const
{
    if (m_stopRequested)
        throw PdfExportError(QStringLiteral("PDF 导出已取消。"));
    if (m_engineGone)
        throw PdfExportError(generationFailed);
}

QCoro::Task<std::optional<QVariant>> QuestionPdfExporter::evaluate(QString script, QDeadlineTimer deadline)
{
    ExportStep *step = beginStep();
    QPointer<ExportStep> guard(step);
    m_page->runJavaScript(script, QWebEngineScript::ApplicationWorld, [guard](const QVariant &value) {
        if (guard)
            guard->settle(value);
    });
    QCoro::Task<> waiting = waitFor(step, deadline);
    co_await std::move(waiting);
    if (!guard || !guard->isSettled() || m_stopRequested || m_engineGone)
        co_return std::nullopt;
    co_return guard->value();
}

QCoro::Task<> QuestionPdfExporter::waitUntilReady(QDeadlineTimer deadline)
{
    QPointer<QuestionPdfExporter> self(this);
    while (true) {
        throwIfStoppedOrGone();
        if (m_navigationError)
            throw PdfExportError(*m_navigationError);
        if (deadline.hasExpired())
            throw PdfExportError(QStringLiteral("图片或字体加载超时，请重试。"));
        // A script that fails or does not answer only delays readiness.
        QCoro::Task<std::optional<QVariant>> evaluating = evaluate(readinessScript, deadline);
        const std::optional<QVariant> ready = co_await std::move(evaluating);
        if (!self)
            throw PdfExportError(generationFailed);
        if (ready && ready->typeId() == QMetaType::Bool && ready->toBool())
            co_return;
        throwIfStoppedOrGone();
        co_await QCoro::sleepFor(m_limits.poll);
        if (!self)
            throw PdfExportError(generationFailed);
    }
}

QCoro::Task<> QuestionPdfExporter::print(const QString &pdfPath)
{
    ExportStep *step = beginStep();
    QPointer<ExportStep> guard(step);
    connect(m_page, &QWebEnginePage::pdfPrintingFinished, step, [guard](const QString &, bool success) {
        if (guard)
            guard->settle(success);
    });
    // A4 with 24 mm at the top, 18 mm at the bottom and 16 mm at the sides.
    const QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(16, 24, 16, 18),
                             QPageLayout::Millimeter);
    qCInfo(lcPdfExport) << "[PDFExport] Starting asynchronous A4 print";
    m_page->printToPdf(pdfPath, layout);
    QCoro::Task<> printing = waitFor(step, QDeadlineTimer(m_limits.print));
    co_await std::move(printing);
    if (!guard)
        throw PdfExportError(generationFailed);
    throwIfStoppedOrGone();
    const bool success = guard->isSettled() && guard->value().toBool();
    qCInfo(lcPdfExport).noquote() << QStringLiteral("[PDFExport] Asynchronous print finished (success=%1)").arg(int(success));
    if (!success || !QFile::exists(pdfPath))
        throw PdfExportError(generationFailed);
}

QCoro::Task<> QuestionPdfExporter::decorate(const QString &source, const QString &destination)
{
    auto control = std::make_shared<DecorationControl>();
    m_decoration = control;
    auto failure = std::make_shared<std::exception_ptr>();
    ExportStep *step = beginStep();
    QPointer<ExportStep> guard(step);

    // No parent: a thread still running when the exporter goes must not be destroyed.
    QThread *worker = QThread::create([control, failure, source, destination] {
        try {
            decoratePDF(source, destination, control.get());
        } catch (...) {
            *failure = std::current_exception();
        }
    });
    auto workerDone = std::make_shared<bool>(false);
    connect(worker, &QThread::finished, step, [guard, workerDone] {
        *workerDone = true;
        if (guard)
            guard->settle();
    });
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start(QThread::HighPriority);

    // A stop does not end this wait: the worker sees it and ends on its own.
    if (!step->isSettled()) {
        auto finished = qCoro(step, &ExportStep::settled, m_limits.decorate);
        co_await std::move(finished);
    }
    const bool finished = *workerDone;
    {
        const std::lock_guard lock(control->mutex);
        if (!finished && !control->committed)
            control->abandoned = true;
    }
    m_decoration.reset();
    if (control->committed)
        co_return; // the destination holds the new file: that is a success
    if (!finished)
        throw PdfExportError(generationFailed);
    if (*failure)
        std::rethrow_exception(*failure);
    throw PdfExportError(generationFailed);
}

QCoro::Task<> QuestionPdfExporter::render(QuestionModel model, QString title, QString destination, Progress progress)
{
    struct TearDownOnExit
    {
        QPointer<QuestionPdfExporter> exporter;
        ~TearDownOnExit()
        {
            if (exporter)
                exporter->tearDown();
        }
    } tearDownOnExit{this};
    QPointer<QuestionPdfExporter> self(this);
    const auto report = [&progress](const QString &text) {
        if (progress)
            progress(text);
    };

    m_temporaryDir = std::make_unique<QTemporaryDir>(m_temporaryRoot + QStringLiteral("/vuzo-pdf-XXXXXX"));
    if (!m_temporaryDir->isValid())
        throw PdfExportError::withDetail(generationFailed, m_temporaryDir->errorString());
    const QString documentPath = m_temporaryDir->filePath(QStringLiteral("practice.html"));
    const QString printedPath = m_temporaryDir->filePath(QStringLiteral("practice.pdf"));

    report(QStringLiteral("正在加载题目和图片…"));
    qCInfo(lcPdfExport).noquote()
        << QStringLiteral("[PDFExport] Loading practice document (%1 questions)").arg(documentQuestionCount(model));

    {
        QFile document(documentPath);
        if (!document.open(QIODevice::WriteOnly)
            || document.write(documentWithBase(buildHTML(model, title), m_baseURL).toUtf8()) < 0 || !document.flush())
            throw PdfExportError::withDetail(generationFailed, document.errorString());
    }

    const QUrl documentUrl = QUrl::fromLocalFile(documentPath);
    // Off the record: nothing the page loads or stores outlives the export.
    m_profile = new QWebEngineProfile(this);
    m_profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    m_profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    m_page = new ExportWebPage(m_profile, documentUrl, this);
    QWebEngineSettings *settings = m_page->settings();
    settings->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true); // images of the service
    settings->setAttribute(QWebEngineSettings::LocalStorageEnabled, false);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    settings->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    settings->setAttribute(QWebEngineSettings::AutoLoadImages, true);
    connect(m_page, &QWebEnginePage::renderProcessTerminated, this, [this] {
        m_engineGone = true;
        // The decoration no longer needs the page: only its worker ends that wait.
        if (m_step && !m_decoration)
            m_step->settle();
    });
    connect(m_page, &QWebEnginePage::loadingChanged, this, [this, documentUrl](const QWebEngineLoadingInfo &info) {
        if (info.status() != QWebEngineLoadingInfo::LoadFailedStatus || info.url() != documentUrl)
            return;
        const QString text = info.errorString().trimmed();
        m_navigationError = text.isEmpty()
            ? QStringLiteral("页面加载失败（错误代码 %1）").arg(info.errorCode())
            : QStringLiteral("页面加载失败：%1（错误代码 %2）").arg(text).arg(info.errorCode());
    });
    m_page->load(documentUrl);

    QCoro::Task<> loading = waitUntilReady(QDeadlineTimer(m_limits.ready));
    co_await std::move(loading);
    if (!self)
        throw PdfExportError(generationFailed);

    QCoro::Task<std::optional<QVariant>> checking = evaluate(brokenImageScript, QDeadlineTimer(m_limits.script));
    const std::optional<QVariant> broken = co_await std::move(checking);
    if (!self)
        throw PdfExportError(generationFailed);
    throwIfStoppedOrGone();
    if (!broken)
        throw PdfExportError(generationFailed);
    if (broken->typeId() == QMetaType::Bool && broken->toBool())
        throw PdfExportError(QStringLiteral("部分题目图片加载失败，请检查网络后重试。"));

    report(QStringLiteral("正在生成 A4 PDF…"));
    QCoro::Task<> printing = print(printedPath);
    co_await std::move(printing);
    if (!self)
        throw PdfExportError(generationFailed);

    report(QStringLiteral("正在添加页眉和水印…"));
    QCoro::Task<> decorating = decorate(printedPath, destination);
    co_await std::move(decorating);
    if (!self)
        throw PdfExportError(generationFailed);
    qCInfo(lcPdfExport) << "[PDFExport] Export completed";
}
