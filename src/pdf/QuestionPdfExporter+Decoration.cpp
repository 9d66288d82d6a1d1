#include "QuestionPdfExporter.h"

#include "app/PdfExportError.h"

#include <QBuffer>
#include <QFile>
#include <QFontMetricsF>
#include <QMap>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <cmath>

// The page header and the diagonal watermark: one overlay page per page size,
// drawn with QPdfWriter, stamped onto every printed page as a form XObject.
// The printed content stays vector text; each page's own content is wrapped
// in q/Q so its graphics state cannot leak into the overlay.

namespace {

const QString generationFailed = QStringLiteral("PDF 生成失败，请重试。");
const QString decorationFailed = QStringLiteral("无法生成 PDF 页眉和水印。");

struct PageBox
{
    double x = 0, y = 0, width = 0, height = 0;
};

// Page sizes are grouped to the nearest point; one overlay serves each group.
QPair<int, int> sizeKey(const PageBox &box)
{
    return {int(std::lround(box.width)), int(std::lround(box.height))};
}

QFont decorationFont(double pointSize, bool bold)
{
    QFont font;
    font.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Source Han Sans SC"),
                      QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("DejaVu Sans")});
    font.setPointSizeF(pointSize);
    font.setWeight(bold ? QFont::DemiBold : QFont::Normal);
    return font;
}

void drawOverlay(QPainter &painter, const QSizeF &size)
{
    const QString text = QuestionPdfExporter::displayName;
    // Header: right end 45 pt from the right edge, baseline 32 pt below the top.
    const QFont header = decorationFont(9, false);
    painter.setFont(header);
    painter.setPen(QColor::fromRgbF(0.47f, 0.47f, 0.47f, 1.0f));
    const double headerWidth = QFontMetricsF(header, painter.device()).horizontalAdvance(text);
    painter.drawText(QPointF(size.width() - 45 - headerWidth, 32), text);

    // Watermark: centred, rising at 45 degrees, baseline 32 pt below the centre.
    const QFont watermark = decorationFont(64, true);
    painter.save();
    painter.setFont(watermark);
    painter.setPen(QColor::fromRgbF(0, 0, 0, 0.045f));
    const double watermarkWidth = QFontMetricsF(watermark, painter.device()).horizontalAdvance(text);
    painter.translate(size.width() / 2, size.height() / 2);
    painter.rotate(-45);
    painter.drawText(QPointF(-watermarkWidth / 2, 32), text);
    painter.restore();
}

QByteArray overlayDocument(const QList<QSizeF> &sizes)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(72); // one device unit is one point
        writer.setCreator(QuestionPdfExporter::displayName);
        const auto pageSize = [](const QSizeF &size) {
            return QPageSize(size, QPageSize::Point, QString(), QPageSize::ExactMatch);
        };
        writer.setPageLayout(QPageLayout(pageSize(sizes.first()), QPageLayout::Portrait, QMarginsF(), QPageLayout::Point));
        QPainter painter;
        if (!painter.begin(&writer))
            throw PdfExportError(decorationFailed);
        for (qsizetype i = 0; i < sizes.size(); ++i) {
            if (i > 0) {
                writer.setPageLayout(QPageLayout(pageSize(sizes.at(i)), QPageLayout::Portrait, QMarginsF(),
                                                 QPageLayout::Point));
                writer.newPage();
            }
            drawOverlay(painter, sizes.at(i));
        }
        painter.end();
    }
    return buffer.data();
}

void throwIfStopped(const QuestionPdfExporter::DecorationControl *control)
{
    if (control && control->stop)
        throw PdfExportError(QStringLiteral("PDF 导出已取消。"));
}

} // namespace

void QuestionPdfExporter::decoratePDF(const QString &source, const QString &destination, DecorationControl *control)
{
    // Declared first so they outlive `pdf`: it keeps reading the overlay's
    // objects (and qpdf does not copy the overlay's bytes) until written.
    QByteArray overlayBytes;
    QPDF overlay;
    overlay.setSuppressWarnings(true);
    QPDF pdf;
    pdf.setSuppressWarnings(true);
    std::vector<QPDFPageObjectHelper> pages;
    try {
        pdf.processFile(QFile::encodeName(source).constData());
        pages = QPDFPageDocumentHelper(pdf).getAllPages();
    } catch (const std::exception &) {
        throw PdfExportError(generationFailed);
    }
    if (pages.empty())
        throw PdfExportError(generationFailed);

    try {
        // Each page's own media box, and the sizes the overlay needs.
        std::vector<PageBox> boxes;
        QMap<QPair<int, int>, int> overlayIndex;
        QList<QSizeF> overlaySizes;
        for (QPDFPageObjectHelper &page : pages) {
            QPDFObjectHandle box = page.getMediaBox();
            if (!box.isRectangle())
                throw PdfExportError(QStringLiteral("无法读取 PDF 页面。"));
            const QPDFObjectHandle::Rectangle r = box.getArrayAsRectangle();
            const PageBox pageBox{std::min(r.llx, r.urx), std::min(r.lly, r.ury), std::fabs(r.urx - r.llx),
                                  std::fabs(r.ury - r.lly)};
            if (pageBox.width < 1 || pageBox.height < 1)
                throw PdfExportError(QStringLiteral("无法读取 PDF 页面。"));
            boxes.push_back(pageBox);
            if (!overlayIndex.contains(sizeKey(pageBox))) {
                overlayIndex.insert(sizeKey(pageBox), int(overlaySizes.size()));
                overlaySizes.append(QSizeF(sizeKey(pageBox).first, sizeKey(pageBox).second));
            }
        }

        overlayBytes = overlayDocument(overlaySizes);
        overlay.processMemoryFile("overlay", overlayBytes.constData(), size_t(overlayBytes.size()));
        std::vector<QPDFPageObjectHelper> overlayPages = QPDFPageDocumentHelper(overlay).getAllPages();
        if (overlayPages.size() != size_t(overlaySizes.size()))
            throw PdfExportError(decorationFailed);
        std::vector<QPDFObjectHandle> forms(overlayPages.size());

        for (size_t i = 0; i < pages.size(); ++i) {
            throwIfStopped(control);
            QPDFPageObjectHelper &page = pages.at(i);
            const PageBox &box = boxes.at(i);
            const int index = overlayIndex.value(sizeKey(box));
            if (!forms.at(size_t(index)).isInitialized())
                forms.at(size_t(index)) = pdf.copyForeignObject(overlayPages.at(size_t(index)).getFormXObjectForPage());

            QPDFObjectHandle resources = page.getAttribute("/Resources", true);
            if (!resources.isDictionary()) {
                resources = QPDFObjectHandle::newDictionary();
                page.getObjectHandle().replaceKey("/Resources", resources);
            }
            QPDFObjectHandle xobjects = resources.getKey("/XObject");
            // A copy: the dictionary may be shared with pages of another size.
            xobjects = xobjects.isDictionary() ? xobjects.shallowCopy() : QPDFObjectHandle::newDictionary();
            resources.replaceKey("/XObject", xobjects);
            int suffix = 0;
            const std::string name = resources.getUniqueResourceName("/VuzoOverlay", suffix);
            xobjects.replaceKey(name, forms.at(size_t(index)));

            page.addPageContents(QPDFObjectHandle::newStream(&pdf, "q\n"), true);
            const QByteArray stamp = QStringLiteral("\nQ\nq 1 0 0 1 %1 %2 cm %3 Do Q\n")
                                         .arg(box.x, 0, 'f', 4)
                                         .arg(box.y, 0, 'f', 4)
                                         .arg(QString::fromStdString(name))
                                         .toLatin1();
            page.addPageContents(QPDFObjectHandle::newStream(&pdf, stamp.toStdString()), false);
        }

        QPDFWriter writer(pdf);
        writer.setOutputMemory();
        writer.write();
        const std::shared_ptr<Buffer> output = writer.getBufferSharedPointer();
        throwIfStopped(control);

        // QSaveFile replaces the destination in one rename and keeps an
        // existing file's permissions; an unfinished file never shows there.
        QSaveFile file(destination);
        if (!file.open(QIODevice::WriteOnly))
            throw PdfExportError(QStringLiteral("无法保存 PDF：") + file.errorString());
        if (file.write(reinterpret_cast<const char *>(output->getBuffer()), qint64(output->getSize()))
            != qint64(output->getSize()))
            throw PdfExportError(QStringLiteral("无法保存 PDF：") + file.errorString());
        if (!control) {
            if (!file.commit())
                throw PdfExportError(QStringLiteral("无法保存 PDF：") + file.errorString());
            return;
        }
        const std::lock_guard lock(control->mutex);
        if (control->abandoned || control->stop) {
            file.cancelWriting();
            throw PdfExportError(QStringLiteral("PDF 导出已取消。"));
        }
        if (!file.commit())
            throw PdfExportError(QStringLiteral("无法保存 PDF：") + file.errorString());
        control->committed = true;
    } catch (const PdfExportError &) {
        throw;
    } catch (const std::exception &error) {
        throw PdfExportError(decorationFailed + QString::fromLocal8Bit(error.what()));
    }
}
