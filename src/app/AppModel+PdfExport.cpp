#include "AppModel.h"

#include "app/PdfExportQuota.h"
#include "app/PdfFileName.h"
#include "platform/Clock.h"
#include "platform/SavePanel.h"
#include "platform/UserDefaults.h"
#include "platform/VuzoError.h"

#include <QFileInfo>

// The question screen's PDF export: checks, title and account, the save
// panel, then the export with its daily quota.

namespace {

QString describe(const std::exception_ptr &error)
{
    try {
        std::rethrow_exception(error);
    } catch (const VuzoError &vuzoError) {
        return vuzoError.localizedDescription();
    } catch (const std::exception &other) {
        return QString::fromUtf8(other.what());
    } catch (...) {
        return QStringLiteral("未知错误");
    }
}

} // namespace

void AppModel::setPdfExport(SavePanel *panel, PdfExportQuota *quota)
{
    m_savePanel = panel;
    m_pdfExportQuota = quota;
}

void AppModel::startExportPracticePDF()
{
    runDetached(exportPracticePDF());
}

QCoro::Task<> AppModel::exportPracticePDF()
{
    if (m_isLoading || m_isExportingPDF || !m_questionModel || answerableQuestionCount() == 0)
        co_return;
    if (!isXingCeBank()) {
        setErrorMessage(QStringLiteral("仅行测考试支持导出 PDF。"));
        co_return;
    }
    if (!m_savePanel || !m_pdfExportQuota) {
        setErrorMessage(QStringLiteral("导出失败：此窗口无法导出 PDF。"));
        co_return;
    }

    // Everything the export needs is fixed before the first await.
    QString title = m_selectedMenu ? m_selectedMenu->name : m_questionModel->title.value_or(QStringLiteral("练习"));
    const QString suffix = QStringLiteral("专项训练");
    if (!title.endsWith(suffix))
        title += suffix;
    QString account = defaults().string(userIdKey).value_or(QString());
    if (account.isEmpty())
        account = defaults().string(mobileKey).value_or(QString());
    const QString environment = APIEnvironments::rawValue(m_apiEnvironment);
    const QuestionModel model = *m_questionModel;
    SavePanel *panel = m_savePanel;
    PdfExportQuota *quota = m_pdfExportQuota;

    setIsExportingPDF(true);
    setPdfExportProgress(QStringLiteral("请选择 PDF 保存位置…"));
    QPointer<AppModel> self(this);

    const auto finish = [self] {
        if (!self)
            return;
        self->setIsExportingPDF(false);
        self->setPdfExportProgress(QString());
    };

    SavePanel::Request request;
    request.title = QStringLiteral("导出练习 PDF");
    request.suggestedName = PdfFileName::forTitle(title, clock().now());
    request.nameFilter = QStringLiteral("PDF (*.pdf)");
    request.defaultSuffix = QStringLiteral("pdf");
    std::optional<QString> destination;
    std::exception_ptr failure;
    try {
        QCoro::Task<std::optional<QString>> choosing = panel->chooseDestination(request);
        destination = co_await std::move(choosing);
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self)
        co_return;
    if (failure) {
        setErrorMessage(QStringLiteral("导出失败：") + describe(failure));
        finish();
        co_return;
    }
    if (!destination || destination->isEmpty()) {
        finish();
        co_return;
    }

    PracticePdfRenderer::Progress progress = [self](const QString &text) {
        if (self)
            self->setPdfExportProgress(text);
    };
    try {
        // A separate statement: g++ 12 may destroy argument temporaries of a
        // call inside co_await twice.
        QCoro::Task<> exporting = quota->exportPractice(model, title, *destination, environment, account, progress);
        co_await std::move(exporting);
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self)
        co_return;
    if (failure)
        setErrorMessage(QStringLiteral("导出失败：") + describe(failure));
    else
        setNoticeMessage(QStringLiteral("PDF 导出成功：") + QFileInfo(*destination).fileName());
    finish();
}
