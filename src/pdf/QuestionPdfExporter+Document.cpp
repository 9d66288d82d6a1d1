#include "QuestionPdfExporter.h"

#include "app/PdfFileName.h"
#include "models/MaterialLookup.h"
#include "HtmlPlainText.h"

#include <QRegularExpression>

// The practice document: the title, every real question with its material,
// number, source and options, then the answers and analyses from a new page.

namespace {

const QString documentHead = QStringLiteral(
    "<!doctype html><html><head><meta charset=\"utf-8\">\n"
    "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; img-src https: http: data:; "
    "style-src 'unsafe-inline'; font-src https: data:;\">\n"
    "<style>\n"
    // A CJK face comes first: the desktop's default sans face often lacks the glyphs.
    "@page{size:A4}body{font-family:'Noto Sans CJK SC','Source Han Sans SC','WenQuanYi Micro Hei','PingFang SC',"
    "'Songti SC',sans-serif;color:#222;font-size:12pt;line-height:1.75;margin:0;overflow-wrap:anywhere}\n"
    "h1{text-align:center;font-size:20pt;margin:0 0 24px}h2{font-size:12pt;margin:0 0 8px;break-after:avoid}\n"
    ".question{margin:0 0 24px}.question-prefix{font-weight:700}.question-source{color:#aaa}"
    ".options{margin-top:10px;padding-left:18px}\n"
    ".option{margin:4px 0;break-inside:avoid}img{display:block;width:100%!important;max-width:100%!important;"
    "height:auto!important;max-height:230mm!important;object-fit:contain;break-inside:avoid;margin:8px auto}\n"
    "table{max-width:100%;border-collapse:collapse}p{margin:6px 0}.answers{break-before:page;"
    "page-break-before:always}.material{margin-bottom:12px}\n"
    "</style></head><body>");

} // namespace

QString QuestionPdfExporter::escaped(const QString &plainText)
{
    QString text = plainText;
    text.replace(QLatin1Char('&'), QLatin1String("&amp;"));
    text.replace(QLatin1Char('<'), QLatin1String("&lt;"));
    text.replace(QLatin1Char('>'), QLatin1String("&gt;"));
    text.replace(QLatin1Char('"'), QLatin1String("&quot;"));
    return text;
}

qsizetype QuestionPdfExporter::numberPrefixPosition(const QString &stem)
{
    // Unicode properties so that an ideographic space or NBSP counts as space.
    static const QRegularExpression leadingBlocks(
        QStringLiteral("\\A\\s*(?:(?:<(?:p|div)\\b[^>]*>)\\s*)*"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    const QRegularExpressionMatch match = leadingBlocks.match(stem);
    return match.hasMatch() ? match.capturedEnd(0) : 0;
}

QString QuestionPdfExporter::buildHTML(const QuestionModel &model, const QString &title)
{
    QList<const Question *> questions;
    for (const Question &question : model.questionList) {
        if (!question.sectionIntro)
            questions.append(&question);
    }

    QString html = documentHead;
    html += QStringLiteral("<h1>") + escaped(title) + QStringLiteral("</h1>");

    for (qsizetype index = 0; index < questions.size(); ++index) {
        const Question &question = *questions.at(index);
        const QString number = QString::number(index + 1);
        html += QStringLiteral("<section class='question'>");
        if (const auto material = MaterialLookup::materialFor(question, model.materialsList)) {
            html += QStringLiteral("<div class='material'><strong>") + escaped(HtmlPlainText::plainText(material->title))
                + QStringLiteral("</strong>") + material->context + QStringLiteral("</div>");
        }
        QString stem = question.context;
        stem.insert(numberPrefixPosition(stem), QStringLiteral("<span class='question-prefix'>") + number
                                                    + QStringLiteral(".</span>"));
        html += stem;
        if (!question.questionFrom.trimmed().isEmpty()) {
            html += QStringLiteral("<div class='question-source'>来源：") + escaped(HtmlPlainText::plainText(question.questionFrom))
                + QStringLiteral("</div>");
        }
        html += QStringLiteral("<div class='options'>");
        for (qsizetype option = 0; option < question.questionOptions.size(); ++option) {
            const char32_t letter = char32_t(65 + option);
            html += QStringLiteral("<div class='option'>") + QString::fromUcs4(&letter, 1);
            html += QStringLiteral(". ") + question.questionOptions.at(option) + QStringLiteral("</div>");
        }
        html += QStringLiteral("</div></section>");
    }

    html += QStringLiteral("<section class='answers'><h1>答案与解析</h1>");
    for (qsizetype index = 0; index < questions.size(); ++index) {
        const Question &question = *questions.at(index);
        html += QStringLiteral("<section class='question'><h2>") + QString::number(index + 1) + QStringLiteral(".【答案】");
        html += question.answer.isEmpty() ? QStringLiteral("暂无答案") : escaped(question.answer);
        html += QStringLiteral("</h2><strong>【解析】</strong>");
        html += question.analysis.isEmpty() ? QStringLiteral("<p>暂无解析</p>") : question.analysis;
        html += QStringLiteral("</section>");
    }
    html += QStringLiteral("</section></body></html>");
    return html;
}

QString QuestionPdfExporter::documentWithBase(const QString &html, const QString &baseURL)
{
    const QUrl url(baseURL);
    // Ahead of everything the service's HTML brings, so its own base element loses.
    const QString base = QStringLiteral("<base href=\"") + escaped(url.adjusted(QUrl::RemovePath | QUrl::RemoveQuery
                                                                             | QUrl::RemoveFragment)
                                                                .toString()
                                                                + QLatin1Char('/'))
        + QStringLiteral("\">");
    const QString charset = QStringLiteral("<meta charset=\"utf-8\">");
    // A refresh in the service's HTML would only try to move the page (which
    // is refused) and leaves the print hanging: it has no meaning on paper.
    static const QRegularExpression refresh(QStringLiteral("http-equiv\\s*=\\s*([\"']?)refresh\\1"),
                                            QRegularExpression::CaseInsensitiveOption);
    QString document = html;
    document.replace(refresh, QStringLiteral("data-refused-http-equiv=\\1refresh\\1"));
    if (!url.isValid() || url.scheme().isEmpty() || url.host().isEmpty())
        return document;
    const qsizetype at = document.indexOf(charset);
    document.insert(at < 0 ? 0 : at + charset.size(), base);
    return document;
}

QString QuestionPdfExporter::fileName(const QString &title)
{
    return PdfFileName::forTitle(title, QDateTime::currentDateTime());
}
