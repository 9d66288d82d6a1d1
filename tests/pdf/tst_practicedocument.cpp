#include "PdfTestSupport.h"
#include "app/PdfFileName.h"
#include "pdf/QuestionPdfExporter.h"

#include <QGuiApplication>
#include <QTest>

using namespace PdfTest;

namespace {

QString body(const QString &html)
{
    const QString start = QStringLiteral("</style></head><body>");
    return html.mid(html.indexOf(start) + start.size());
}

Material material(const QString &id, const QString &title, const QString &context)
{
    Material m;
    m.id = id;
    m.title = title;
    m.context = context;
    return m;
}

} // namespace

class TestPracticeDocument : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void numberPrefixPosition_data()
    {
        QTest::addColumn<QString>("stem");
        QTest::addColumn<int>("position");
        QTest::newRow("text first") << QStringLiteral("下列说法") << 0;
        QTest::newRow("div with attributes then P") << QStringLiteral(" <div class=\"a\">\n<P style='x'>下列") << 30;
        QTest::newRow("pre is not p") << QStringLiteral("<pre>x") << 0;
        QTest::newRow("ideographic space") << QStringLiteral("\u3000<p>x") << 4;
        QTest::newRow("no-break space") << QStringLiteral("\u00a0\u00a0<p>x") << 5;
        QTest::newRow("closing tag stops the run") << QStringLiteral("<p></p><p>x") << 3;
        QTest::newRow("empty") << QString() << 0;
    }

    void numberPrefixPosition()
    {
        QFETCH(QString, stem);
        QFETCH(int, position);
        QCOMPARE(QuestionPdfExporter::numberPrefixPosition(stem), position);
    }

    void documentOfQuestionsAndAnswers()
    {
        QuestionModel model;
        Question first = question(QStringLiteral("a"), QStringLiteral("<div id='s'><p>甲题</p></div>"));
        first.questionFrom = QStringLiteral("  <b>2024 国考</b> & 省考 ");
        first.answer = QString();
        first.analysis = QString();
        Question second = question(QStringLiteral("b"), QStringLiteral("乙题"));
        second.questionOptions.clear();
        second.answer = QStringLiteral(" ");
        second.questionFrom = QStringLiteral("  \n ");
        model.questionList = {sectionIntro(QStringLiteral("s")), first, second};

        const QString html = QuestionPdfExporter::buildHTML(model, QStringLiteral("A&B <C> \"D\" 'E' &amp;"));
        QVERIFY(html.startsWith(QStringLiteral("<!doctype html><html><head><meta charset=\"utf-8\">\n<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; img-src https: http: data:; style-src 'unsafe-inline'; font-src https: data:;\">\n<style>\n@page{size:A4}body{font-family:'Noto Sans CJK SC'")));
        QCOMPARE(body(html),
                 QStringLiteral("<h1>A&amp;B &lt;C&gt; &quot;D&quot; 'E' &amp;amp;</h1>"
                                "<section class='question'><div id='s'><p><span class='question-prefix'>1.</span>甲题</p></div>"
                                "<div class='question-source'>来源：2024 国考 &amp; 省考</div>"
                                "<div class='options'><div class='option'>A. 甲</div><div class='option'>B. 乙</div></div></section>"
                                "<section class='question'><span class='question-prefix'>2.</span>乙题<div class='options'></div></section>"
                                "<section class='answers'><h1>答案与解析</h1>"
                                "<section class='question'><h2>1.【答案】暂无答案</h2><strong>【解析】</strong><p>暂无解析</p></section>"
                                "<section class='question'><h2>2.【答案】 </h2><strong>【解析】</strong><p>解析 b</p></section>"
                                "</section></body></html>"));
    }

    void onlySectionIntroductions()
    {
        QuestionModel model;
        model.questionList = {sectionIntro(QStringLiteral("s1"))};
        QCOMPARE(body(QuestionPdfExporter::buildHTML(model, QString())),
                 QStringLiteral("<h1></h1><section class='answers'><h1>答案与解析</h1></section></body></html>"));
    }

    void materialOfAQuestion_data()
    {
        QTest::addColumn<QString>("materialsId"); // "<absent>" for none
        QTest::addColumn<int>("blocks");
        QTest::newRow("absent") << QStringLiteral("<absent>") << 0;
        QTest::newRow("zero between spaces") << QStringLiteral(" 0 ") << 0;
        QTest::newRow("NULL") << QStringLiteral("NULL") << 0;
        QTest::newRow("blank") << QStringLiteral(" \n ") << 0;
        QTest::newRow("unknown id") << QStringLiteral("m9") << 0;
        QTest::newRow("matches after trimming") << QStringLiteral("\tm1 ") << 2;
    }

    void materialOfAQuestion()
    {
        QFETCH(QString, materialsId);
        QFETCH(int, blocks);
        QuestionModel model;
        model.materialsList = {material(QStringLiteral("0"), QStringLiteral("零"), QStringLiteral("<p>零</p>")),
                               material(QStringLiteral(" m1\n"), QStringLiteral("<i>资料</i> &lt;一&gt;"), QStringLiteral("<p>正文</p>"))};
        for (int i = 0; i < 2; ++i) {
            Question q = question(QString::number(i));
            if (materialsId != QLatin1String("<absent>"))
                q.materialsId = materialsId;
            model.questionList.append(q);
        }
        const QString html = QuestionPdfExporter::buildHTML(model, QStringLiteral("t"));
        QCOMPARE(html.count(QStringLiteral("<div class='material'>")), blocks);
        if (blocks > 0) {
            QVERIFY(html.contains(QStringLiteral("<section class='question'><div class='material'><strong>资料 &lt;一&gt;</strong><p>正文</p></div><p><span class='question-prefix'>1.</span>")));
        }
    }

    void fileName_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("name");
        QTest::newRow("separators") << QStringLiteral("a/b:c") << QStringLiteral("a_b_c_2026-12-08_09-05-03.pdf");
        QTest::newRow("a run") << QStringLiteral("a//b") << QStringLiteral("a__b_2026-12-08_09-05-03.pdf");
        QTest::newRow("all eleven") << QStringLiteral("/:\\?*\"<>|\n\r") << QStringLiteral("____________2026-12-08_09-05-03.pdf");
        QTest::newRow("empty") << QString() << QStringLiteral("_2026-12-08_09-05-03.pdf");
        QTest::newRow("untrimmed") << QStringLiteral(" 言语 ") << QStringLiteral(" 言语 _2026-12-08_09-05-03.pdf");
    }

    void fileName()
    {
        QFETCH(QString, title);
        QFETCH(QString, name);
        QCOMPARE(PdfFileName::forTitle(title, QDateTime(QDate(2026, 12, 8), QTime(9, 5, 3))), name);
    }
};

QTEST_MAIN(TestPracticeDocument)
#include "tst_practicedocument.moc"
