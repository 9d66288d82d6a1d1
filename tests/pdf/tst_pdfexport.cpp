#include "PdfTestSupport.h"
#include "PopplerReader.h"
#include "pdf/QuestionPdfExporter.h"
#include "platform/gui/FileDialogSavePanel.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QtWebEngineQuick/qtwebenginequickglobal.h>
#include <QCoro/QCoroTask>

#include <csignal>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFWriter.hh>

using namespace PdfTest;
using namespace std::chrono_literals;

namespace {

// Serves the question images over loopback: /ok.png answers, /hang.png never
// does, anything else is a 404.
class ImageServer : public QObject
{
public:
    ImageServer()
    {
        QImage image(40, 20, QImage::Format_RGB32);
        image.fill(Qt::darkBlue);
        QBuffer buffer(&m_png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
            }
        });
        m_server.listen(QHostAddress::LocalHost);
    }

    [[nodiscard]] QString origin() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()); }
    QStringList requested;

private:
    void answer(QTcpSocket *socket)
    {
        const QByteArray request = socket->readAll();
        const QList<QByteArray> words = request.left(request.indexOf('\n')).split(' ');
        if (words.size() < 2)
            return;
        const QString path = QString::fromLatin1(words.at(1));
        requested.append(path);
        if (path == QLatin1String("/hang.png"))
            return;
        const bool found = path == QLatin1String("/ok.png");
        const QByteArray body = found ? m_png : QByteArray("missing");
        socket->write((found ? QByteArray("HTTP/1.1 200 OK\r\nContent-Type: image/png\r\n")
                             : QByteArray("HTTP/1.1 404 Not Found\r\nContent-Type: text/plain\r\n"))
                      + "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QByteArray m_png;
};

const QString tinyPng = QStringLiteral(
    "data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAAAAIAAAACCAIAAAD91JpzAAAAFklEQVR4nGNkYGD4z8DAwMDAxMDAwAAAFwACASs7MIEAAAAASUVORK5CYII=");

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A blank PDF with one page per size (points).
void writeBlankPdf(const QString &path, const QList<QSizeF> &sizes)
{
    QPdfWriter writer(path);
    writer.setResolution(72);
    const auto layout = [](const QSizeF &size) {
        return QPageLayout(QPageSize(size, QPageSize::Point, QString(), QPageSize::ExactMatch), QPageLayout::Portrait,
                           QMarginsF());
    };
    writer.setPageLayout(layout(sizes.first()));
    QPainter painter(&writer);
    for (qsizetype i = 1; i < sizes.size(); ++i) {
        writer.setPageLayout(layout(sizes.at(i)));
        writer.newPage();
    }
}

} // namespace

class TestPdfExport : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_tempRoot;
    std::unique_ptr<ImageServer> m_images;

    QuestionPdfExporter::Limits limits(std::chrono::milliseconds ready = 30s) const
    {
        QuestionPdfExporter::Limits limits;
        limits.ready = ready;
        return limits;
    }

    [[nodiscard]] QStringList leftovers() const { return QDir(m_tempRoot).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden); }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_tempRoot = m_dir.filePath(QStringLiteral("tmp-%1").arg(QTest::currentTestFunction()));
        QDir().mkpath(m_tempRoot);
        m_images = std::make_unique<ImageServer>();
    }

    void exportsDecoratedA4WithAnswers()
    {
        QuestionModel model;
        Material material;
        material.id = QStringLiteral("m1");
        material.title = QStringLiteral("<b>资料一</b>");
        material.context = QStringLiteral("<p>材料正文<img src='ok.png' loading='lazy'></p>");
        model.materialsList = {material};
        for (int i = 1; i <= 12; ++i) {
            Question q = question(QString::number(i), QStringLiteral("<p>第%1题题干</p>").arg(i));
            if (i <= 2)
                q.materialsId = QStringLiteral(" m1 ");
            if (i == 3) // a relative image, resolved against the service origin
                q.context = QStringLiteral("<p>第3题题干<img src='/ok.png'></p><img src='%1'>").arg(tinyPng);
            if (i == 4) // none of this may move, script or rebase the page
                q.context = QStringLiteral("<meta http-equiv='refresh' content='0;url=https://example.invalid/'>"
                                           "<base href='https://elsewhere.invalid/'>"
                                           "<script>document.write('SCRIPT-RAN')</script><p>第4题题干</p>");
            model.questionList.append(q);
        }
        model.questionList.insert(0, sectionIntro(QStringLiteral("s1")));

        // An existing file is replaced but keeps its permissions.
        const QString destination = m_dir.filePath(QStringLiteral("练习.pdf"));
        writeFile(destination, "old");
        QFile::setPermissions(destination, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);

        QuestionPdfExporter exporter(m_images->origin(), limits(), m_tempRoot);
        QStringList progress;
        QPointer<QWebEnginePage> page;
        const QString error = QCoro::waitFor(outcome(exporter.render(model, QStringLiteral("言语 & 理解"), destination,
                                                                     [&](const QString &text) {
                                                                         progress.append(text);
                                                                         if (!page)
                                                                             page = exporter.page();
                                                                     })));
        QCOMPARE(error, QString());
        QCOMPARE(progress, (QStringList{QStringLiteral("正在加载题目和图片…"), QStringLiteral("正在生成 A4 PDF…"),
                                        QStringLiteral("正在添加页眉和水印…")}));

        const int pages = Poppler::pageCount(destination);
        QVERIFY2(pages >= 2, qPrintable(QString::number(pages)));
        for (int p = 1; p <= pages; ++p) {
            QVERIFY2(Poppler::pageSize(destination, p).contains(QLatin1String("(A4)")), qPrintable(Poppler::pageSize(destination, p)));
            QVERIFY2(Poppler::text(destination, p).contains(QuestionPdfExporter::displayName), qPrintable(QString::number(p)));
        }
        const QString text = Poppler::text(destination);
        QVERIFY(text.contains(QStringLiteral("言语 & 理解")));
        QVERIFY(text.contains(QStringLiteral("答案与解析")));
        QVERIFY(text.contains(QStringLiteral("12.【答案】A")));
        QVERIFY(text.contains(QStringLiteral("第4题题干")));
        QVERIFY(!text.contains(QStringLiteral("SCRIPT-RAN")));
        QCOMPARE(text.count(QStringLiteral("资料一")), 2); // the material repeats ahead of each of its questions
        // The answers start on a page of their own.
        QVERIFY(!Poppler::text(destination, 1).contains(QStringLiteral("答案与解析")));
        // Both relative images came from the service origin, the lazy one too.
        QVERIFY2(m_images->requested.contains(QStringLiteral("/ok.png")), qPrintable(m_images->requested.join(u',')));

        const QFile::Permissions mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
            | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
        QCOMPARE(QFile::permissions(destination) & mode, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);

        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(page.isNull());
        QCOMPARE(leftovers(), QStringList());
    }

    void failuresKeepTheDestinationAndCleanUp_data()
    {
        QTest::addColumn<QString>("stem");
        QTest::addColumn<int>("readyMs");
        QTest::addColumn<QString>("meanwhile"); // "stop" or "kill" (the page's render process) after 400 ms
        QTest::addColumn<QString>("error");
        QTest::newRow("image that fails")
            << QStringLiteral("<p>x<img src='/missing.png'></p>") << 30'000 << QString()
            << QStringLiteral("部分题目图片加载失败，请检查网络后重试。");
        QTest::newRow("image that never arrives")
            << QStringLiteral("<p>x<img src='/hang.png'></p>") << 1'500 << QString() << QStringLiteral("图片或字体加载超时，请重试。");
        QTest::newRow("stopped while loading")
            << QStringLiteral("<p>x<img src='/hang.png'></p>") << 30'000 << QStringLiteral("stop") << QStringLiteral("PDF 导出已取消。");
        QTest::newRow("render process ends while loading")
            << QStringLiteral("<p>x<img src='/hang.png'></p>") << 30'000 << QStringLiteral("kill") << QStringLiteral("PDF 生成失败，请重试。");
    }

    void failuresKeepTheDestinationAndCleanUp()
    {
        QFETCH(QString, stem);
        QFETCH(int, readyMs);
        QFETCH(QString, meanwhile);
        QFETCH(QString, error);
        QuestionModel model;
        model.questionList = {question(QStringLiteral("1"), stem)};
        const QString destination = m_dir.filePath(QStringLiteral("kept.pdf"));
        writeFile(destination, "earlier export");

        QuestionPdfExporter exporter(m_images->origin(), limits(std::chrono::milliseconds(readyMs)), m_tempRoot);
        QTimer::singleShot(400, &exporter, [&] {
            if (meanwhile == QLatin1String("stop"))
                exporter.requestStop();
            else if (meanwhile == QLatin1String("kill") && exporter.page() && exporter.page()->renderProcessPid() > 0)
                ::kill(pid_t(exporter.page()->renderProcessPid()), SIGKILL);
        });
        QPointer<QWebEnginePage> page;
        QElapsedTimer timer;
        timer.start();
        const QString result = QCoro::waitFor(outcome(exporter.render(model, QStringLiteral("t"), destination,
                                                                      [&](const QString &) { page = exporter.page(); })));
        QCOMPARE(result, error);
        QVERIFY(timer.elapsed() < 20'000);
        QCOMPARE(readFile(destination), QByteArray("earlier export"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(page.isNull());
        QCOMPARE(leftovers(), QStringList());
    }

    void decorationKeepsEachPageSizeAndMarksEveryPage()
    {
        const QString source = m_dir.filePath(QStringLiteral("blank.pdf"));
        writeBlankPdf(source, {QSizeF(595, 842), QSizeF(400, 300)});
        const QString destination = m_dir.filePath(QStringLiteral("out/decorated.pdf"));
        QDir().mkpath(QFileInfo(destination).absolutePath());

        QuestionPdfExporter::decoratePDF(source, destination);

        QCOMPARE(Poppler::pageCount(destination), 2);
        QVERIFY(Poppler::pageSize(destination, 1).startsWith(QLatin1String("595 x 842")));
        QVERIFY(Poppler::pageSize(destination, 2).startsWith(QLatin1String("400 x 300")));
        for (int p = 1; p <= 2; ++p) {
            const QImage before = Poppler::raster(source, p);
            const QImage after = Poppler::raster(destination, p);
            QCOMPARE(after.size(), before.size());
            const QPoint centre = after.rect().center();
            const QRect middle(centre - QPoint(40, 40), QSize(80, 80));
            // The faint watermark darkens the middle; the header sits top right.
            QCOMPARE(Poppler::darkest(before, middle), 255);
            QVERIFY2(Poppler::darkest(after, middle) < 250, qPrintable(QString::number(Poppler::darkest(after, middle))));
            QVERIFY(Poppler::darkest(after, middle) > 200);
            const QRect header(after.width() - 45 - 30, 32 - 9, 30, 11);
            QVERIFY(Poppler::darkest(after, header) < 200);
            QCOMPARE(Poppler::darkest(after, QRect(0, 0, 40, 40)), 255);
        }
        QCOMPARE(QDir(QFileInfo(destination).absolutePath()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("decorated.pdf")});
    }

    void decorationFailuresLeaveTheDestinationAlone_data()
    {
        QTest::addColumn<QByteArray>("source"); // "empty" for a valid PDF without pages
        QTest::addColumn<bool>("abandoned");
        QTest::addColumn<QString>("error");
        QTest::newRow("not a PDF") << QByteArray("%PDF-broken") << false << QStringLiteral("PDF 生成失败，请重试。");
        QTest::newRow("no pages") << QByteArray("empty") << false << QStringLiteral("PDF 生成失败，请重试。");
        QTest::newRow("given up on by the exporter") << QByteArray() << true << QStringLiteral("PDF 导出已取消。");
    }

    void decorationFailuresLeaveTheDestinationAlone()
    {
        QFETCH(QByteArray, source);
        QFETCH(bool, abandoned);
        QFETCH(QString, error);
        const QString sourcePath = m_dir.filePath(QStringLiteral("source.pdf"));
        if (source == "empty") {
            QPDF empty;
            empty.emptyPDF();
            QPDFWriter writer(empty, sourcePath.toLocal8Bit().constData());
            writer.write();
        } else if (source.isEmpty()) {
            writeBlankPdf(sourcePath, {QSizeF(595, 842)});
        } else {
            writeFile(sourcePath, source);
        }
        const QString folder = m_dir.filePath(QStringLiteral("dest-%1").arg(QTest::currentDataTag()));
        QDir().mkpath(folder);
        const QString destination = folder + QStringLiteral("/old.pdf");
        writeFile(destination, "old");

        QuestionPdfExporter::DecorationControl control;
        control.abandoned = abandoned;
        QString result;
        try {
            QuestionPdfExporter::decoratePDF(sourcePath, destination, &control);
        } catch (const VuzoError &e) {
            result = e.localizedDescription();
        }
        QCOMPARE(result, error);
        QVERIFY(!control.committed);
        QCOMPARE(readFile(destination), QByteArray("old"));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("old.pdf")});
    }

    void savePanelAnswers_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::newRow("a name without its suffix") << true;
        QTest::newRow("cancelled") << false;
    }

    void savePanelAnswers()
    {
        QFETCH(bool, accept);
        FileDialogSavePanel panel;
        SavePanel::Request request;
        request.title = QStringLiteral("导出练习 PDF");
        request.suggestedName = QStringLiteral("言语_2026.pdf");
        request.nameFilter = QStringLiteral("PDF (*.pdf)");
        request.defaultSuffix = QStringLiteral("pdf");
        QString shownName;
        QTimer::singleShot(200, this, [&] {
            for (QWidget *widget : QApplication::topLevelWidgets()) {
                auto *dialog = qobject_cast<QFileDialog *>(widget);
                if (!dialog || !dialog->isVisible())
                    continue;
                QCOMPARE(dialog->windowTitle(), request.title);
                QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
                QCOMPARE(dialog->nameFilters(), QStringList{request.nameFilter});
                shownName = QFileInfo(dialog->selectedFiles().value(0)).fileName();
                if (accept) {
                    dialog->setDirectory(m_dir.path());
                    // Typed by the user, without the suffix.
                    auto *nameEdit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
                    QVERIFY(nameEdit);
                    nameEdit->setText(QStringLiteral("选定"));
                    QMetaObject::invokeMethod(dialog, "accept");
                } else {
                    dialog->reject();
                }
            }
        });
        const std::optional<QString> chosen = QCoro::waitFor(panel.chooseDestination(request));
        QCOMPARE(shownName, request.suggestedName);
        if (accept)
            QCOMPARE(chosen.value_or(QStringLiteral("<none>")), m_dir.filePath(QStringLiteral("选定.pdf")));
        else
            QCOMPARE(chosen, std::nullopt);
    }

    void documentAndFileName()
    {
        // The proposed name and the document's base element, as the export uses them.
        const QString name = QuestionPdfExporter::fileName(QStringLiteral("a/b:c"));
        QVERIFY(QRegularExpression(QStringLiteral("^a_b_c_\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d\\.pdf$")).match(name).hasMatch());
        const QString document = QuestionPdfExporter::documentWithBase(
            QuestionPdfExporter::buildHTML(set(1), QStringLiteral("t")), QStringLiteral("https://api.example.test/v1?x=1"));
        QVERIFY(document.startsWith(QStringLiteral("<!doctype html><html><head><meta charset=\"utf-8\"><base href=\"https://api.example.test/\">")));
    }
};

int main(int argc, char *argv[])
{
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QtWebEngineQuick::initialize();
    QApplication application(argc, argv);
    TestPdfExport test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_pdfexport.moc"
