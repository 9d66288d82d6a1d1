#pragma once

#include "app/PracticePdfRenderer.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>

class ExportStep;
class ExportWebPage;
class QTemporaryDir;
class QWebEnginePage;
class QWebEngineProfile;

// Renders one practice set to the finished PDF: the practice document in an
// off-screen page that runs none of the service's scripts, printed to A4,
// then every page stamped with the header and the watermark and put at the
// destination in one step. One exporter serves one render.
//
// No wait can hang: every awaited callback also ends on the page's render
// process ending, on a stop, or at its deadline. The temporary files and the
// page are gone after every ending.
class QuestionPdfExporter : public QObject, public PracticePdfRenderer
{
    Q_OBJECT

public:
    struct Limits
    {
        std::chrono::milliseconds ready{60'000};    // page, fonts and images
        std::chrono::milliseconds script{30'000};   // one script outside the readiness loop
        std::chrono::milliseconds print{120'000};   // printing to A4
        std::chrono::milliseconds decorate{120'000}; // header and watermark
        std::chrono::milliseconds poll{100};
    };

    // The decoration's link to its exporter, shared with the worker thread.
    struct DecorationControl
    {
        std::atomic<bool> stop{false};
        std::mutex mutex;      // guards the two flags below and the final commit
        bool abandoned = false; // the exporter stopped waiting: leave the destination alone
        bool committed = false;
    };

    // baseURL: the service origin that relative references in the HTML resolve against.
    explicit QuestionPdfExporter(QString baseURL, QObject *parent = nullptr);
    QuestionPdfExporter(QString baseURL, Limits limits, QString temporaryRoot, QObject *parent = nullptr);
    ~QuestionPdfExporter() override;

    QCoro::Task<> render(QuestionModel model, QString title, QString destination, Progress progress) override;

    // Ends a running render with the cancellation error at its next check; a
    // decoration already writing the destination finishes. Also on quit.
    void requestStop();

    // The off-screen page while a render runs.
    [[nodiscard]] QWebEnginePage *page() const;

    // ---- the practice document -------------------------------------------------
    [[nodiscard]] static QString buildHTML(const QuestionModel &model, const QString &title);
    // The document as the page loads it: with a base element for the service origin.
    [[nodiscard]] static QString documentWithBase(const QString &html, const QString &baseURL);
    [[nodiscard]] static QString fileName(const QString &title);
    // Where the number prefix goes into a stem, in UTF-16 code units.
    [[nodiscard]] static qsizetype numberPrefixPosition(const QString &stem);
    [[nodiscard]] static QString escaped(const QString &plainText);

    // ---- page header and watermark -----------------------------------------------
    static inline const QString displayName = QStringLiteral("vuzo");
    // Stamps every page of source and replaces destination atomically. Runs
    // on any thread; throws PdfExportError.
    static void decoratePDF(const QString &source, const QString &destination, DecorationControl *control = nullptr);

private:
    void tearDown();
    [[nodiscard]] ExportStep *beginStep();
    QCoro::Task<> waitFor(ExportStep *step, QDeadlineTimer deadline);
    QCoro::Task<std::optional<QVariant>> evaluate(QString script, QDeadlineTimer deadline);
    void throwIfStoppedOrGone() const;
    QCoro::Task<> waitUntilReady(QDeadlineTimer deadline);
    QCoro::Task<> print(const QString &pdfPath);
    QCoro::Task<> decorate(const QString &source, const QString &destination);

    QString m_baseURL;
    Limits m_limits;
    QString m_temporaryRoot;
    std::unique_ptr<QTemporaryDir> m_temporaryDir;
    QPointer<QWebEngineProfile> m_profile;
    QPointer<ExportWebPage> m_page;
    QPointer<ExportStep> m_step;
    std::shared_ptr<DecorationControl> m_decoration;
    std::optional<QString> m_navigationError;
    bool m_stopRequested = false;
    bool m_engineGone = false;
};
