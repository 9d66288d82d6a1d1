#include "ContentViewRules.h"
#include "HtmlContentStyle.h"
#include "QuestionScreenRules.h"
#include "SwipeRule.h"
#include "app/TransparentInkPalette.h"

#include <QColor>

#include <QTest>

#include <cmath>
#include <limits>

using namespace QuestionScreenRules;

namespace {

Question plain(const QString &id, const std::optional<QString> &materialsId = std::nullopt)
{
    Question q;
    q.id = id;
    q.materialsId = materialsId;
    return q;
}

Question intro(const QString &id)
{
    Question q;
    q.id = id;
    q.sectionIntro = QuestionSectionIntro{QStringLiteral("一、常识"), QString(), 3};
    q.materialsId = QStringLiteral("12"); // never counts for an introduction
    return q;
}

QList<Material> materials()
{
    return {Material{QStringLiteral(" 12 "), QStringLiteral("材料一"), QStringLiteral("<p>m</p>")},
            Material{QStringLiteral("Ab"), QString(), QString()}};
}

} // namespace

class TestQuestionRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void materialMatching_data()
    {
        QTest::addColumn<QVariant>("materialsId");
        QTest::addColumn<QString>("expected"); // the matched material's id, "" for none
        QTest::newRow("absent") << QVariant() << "";
        QTest::newRow("empty") << QVariant(QString()) << "";
        QTest::newRow("blank") << QVariant(QStringLiteral(" \n\t")) << "";
        QTest::newRow("zero") << QVariant(QStringLiteral(" 0 ")) << "";
        QTest::newRow("null any case") << QVariant(QStringLiteral("NuLL")) << "";
        QTest::newRow("spaces around both") << QVariant(QStringLiteral("\n12 ")) << " 12 ";
        QTest::newRow("exact") << QVariant(QStringLiteral("12")) << " 12 ";
        QTest::newRow("leading zero is another id") << QVariant(QStringLiteral("012")) << "";
        QTest::newRow("case matters") << QVariant(QStringLiteral("ab")) << "";
        QTest::newRow("not in the set") << QVariant(QStringLiteral("99")) << "";
    }

    void materialMatching()
    {
        QFETCH(QVariant, materialsId);
        QFETCH(QString, expected);
        const Question q = plain(QStringLiteral("q"), materialsId.isValid() ? std::optional<QString>(materialsId.toString())
                                                                            : std::nullopt);
        const auto found = materialFor(q, materials());
        QCOMPARE(found ? found->id : QString(), expected);
        QVERIFY(!materialFor(intro(QStringLiteral("i")), materials()));
    }

    void pagerWindow_data()
    {
        QTest::addColumn<QList<Question>>("questions");
        QTest::addColumn<int>("current");
        QTest::addColumn<QList<int>>("expected");
        QList<Question> ten;
        for (int i = 0; i < 10; ++i)
            ten << plain(QString::number(i));
        QTest::newRow("empty set") << QList<Question>() << 0 << QList<int>();
        QTest::newRow("first of ten") << ten << 0 << QList<int>{0, 1, 2};
        QTest::newRow("last of ten") << ten << 9 << QList<int>{7, 8, 9};
        QTest::newRow("middle of ten") << ten << 5 << QList<int>{3, 4, 5, 6, 7};
        const QList<Question> mixed{plain("0"), plain("1", QStringLiteral("12")), plain("2", QStringLiteral("12")),
                                    plain("3")};
        QTest::newRow("materials left out, first") << mixed << 0 << QList<int>{0};
        QTest::newRow("materials left out, last") << mixed << 3 << QList<int>{3};
        // The material view shows a material question: no plain page stays behind it.
        QTest::newRow("current has a material") << mixed << 1 << QList<int>();
        QTest::newRow("current outside the set") << ten << 10 << QList<int>();
        QTest::newRow("current before the set") << ten << -1 << QList<int>();
        const QList<Question> unknownMaterial{plain("0"), plain("1", QStringLiteral("99"))};
        QTest::newRow("unknown material is a plain page") << unknownMaterial << 0 << QList<int>{0, 1};
        QTest::newRow("introductions stay") << QList<Question>{intro("i"), plain("1")} << 1 << QList<int>{0, 1};
    }

    void pagerWindow()
    {
        QFETCH(QList<Question>, questions);
        QFETCH(int, current);
        QFETCH(QList<int>, expected);
        QCOMPARE(visibleNormalQuestionIndices(questions, current, materials()), expected);
    }

    void progressCount()
    {
        const QList<Question> set{intro("a"), plain("1"), plain("2"), intro("b"), plain("3")};
        const QList<qint64> expected{0, 1, 2, 2, 3};
        for (int c = 0; c < set.size(); ++c)
            QCOMPARE(answerableQuestionsBeforeCurrent(set, c), expected.at(c));
        QCOMPARE(answerableQuestionsBeforeCurrent({}, 0), 0);
    }

    // The one swipe rule of the question pager, the material view and the
    // analysis screen.
    void swipe_data()
    {
        QTest::addColumn<double>("dx");
        QTest::addColumn<double>("dy");
        QTest::addColumn<int>("step");
        QTest::newRow("59 pt does not start") << -59.0 << 0.0 << 0;
        QTest::newRow("60 pt left") << -60.0 << 0.0 << 1;
        // A drag from x = 100 to 10 in the window at zoom 1.5, mapped into the
        // content, falls a rounding short of 60 points; it still makes the 60.
        QTest::newRow("60 pt from a zoomed drag") << 10 * (1 / 1.5) - 100 * (1 / 1.5) << 0.0 << 1;
        QTest::newRow("left and a little down") << -100.0 << 50.0 << 1;
        QTest::newRow("(-100, 70): 100 > 98") << -100.0 << 70.0 << 1;
        QTest::newRow("(-100, 72): 100 < 100.8") << -100.0 << 72.0 << 0;
        QTest::newRow("not dominant enough") << -100.0 << 80.0 << 0;
        QTest::newRow("exactly 1.4 times is not enough") << -140.0 << 100.0 << 0;
        QTest::newRow("right") << 100.0 << 0.0 << -1;
        QTest::newRow("vertical up") << 0.0 << -200.0 << 0;
        QTest::newRow("vertical down") << 0.0 << 300.0 << 0;
        QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << 0.0 << 0;
        QTest::newRow("infinite") << -std::numeric_limits<double>::infinity() << 0.0 << 0;
    }

    void swipe()
    {
        QFETCH(double, dx);
        QFETCH(double, dy);
        QFETCH(int, step);
        QCOMPARE(SwipeRule::step(dx, dy), step);
    }

    void topBarTexts()
    {
        QCOMPARE(title(std::nullopt), QStringLiteral("专项练习"));
        CardMenu unnamed;
        QCOMPARE(title(unnamed), QString());
        CardMenu named;
        named.name = QStringLiteral("言语理解");
        QCOMPARE(title(named), QStringLiteral("言语理解"));
        QCOMPARE(modeLabel(ExamMode::review), QStringLiteral("背题模式"));
        QCOMPARE(modeLabel(ExamMode::practice), QStringLiteral("做题模式"));
        QCOMPARE(progressText(false, 3, 20), QStringLiteral("3 / 20"));
        QCOMPARE(progressText(false, 0, 0), QStringLiteral("0 / 0"));
        QCOMPARE(progressText(true, 0, 20), QStringLiteral("题型说明"));
        QCOMPARE(progressFraction(0, 0), 0.0);
        QCOMPARE(progressFraction(1, 4), 0.25);
        QCOMPARE(progressFraction(4, 4), 1.0);
    }

    void numberColours_data()
    {
        QTest::addColumn<bool>("transparent");
        QTest::addColumn<bool>("current");
        QTest::addColumn<bool>("answered");
        QTest::addColumn<int>("fill");
        QTest::addColumn<int>("text");
        QTest::addColumn<int>("stroke");
        QTest::newRow("current") << false << true << false << int(NumberFill::Primary) << int(NumberText::White)
                                 << int(NumberStroke::Clear);
        QTest::newRow("current wins over answered") << false << true << true << int(NumberFill::Primary)
                                                    << int(NumberText::White) << int(NumberStroke::Clear);
        QTest::newRow("answered") << false << false << true << int(NumberFill::Soft) << int(NumberText::Title)
                                  << int(NumberStroke::Clear);
        QTest::newRow("open") << false << false << false << int(NumberFill::Background) << int(NumberText::Title)
                              << int(NumberStroke::Clear);
        QTest::newRow("transparent current") << true << true << false << int(NumberFill::Clear)
                                             << int(NumberText::Title) << int(NumberStroke::TitleFaint);
        QTest::newRow("transparent answered looks open") << true << false << true << int(NumberFill::Clear)
                                                         << int(NumberText::Title) << int(NumberStroke::Clear);
    }

    void numberColours()
    {
        QFETCH(bool, transparent);
        QFETCH(bool, current);
        QFETCH(bool, answered);
        QFETCH(int, fill);
        QFETCH(int, text);
        QFETCH(int, stroke);
        QCOMPARE(int(numberFill(transparent, current, answered)), fill);
        QCOMPARE(int(numberText(transparent, current)), text);
        QCOMPARE(int(numberStroke(transparent, current)), stroke);
    }

    void confirmationAndSectionTexts()
    {
        QCOMPARE(submitConfirmationMessage(10, 7), QStringLiteral("还有 3 道题未作答，确认提交吗？"));
        QCOMPARE(submitConfirmationMessage(10, 10), QStringLiteral("提交后将生成练习报告。"));
        QCOMPARE(submitConfirmationMessage(0, 0), QStringLiteral("提交后将生成练习报告。"));
        QCOMPARE(answeredCountText(2, 5), QStringLiteral("已答 2 / 5"));
        QCOMPARE(sectionCountText(0), QStringLiteral("共 0 题"));
        QCOMPARE(sectionCountText(12345), QStringLiteral("共 12345 题"));
        QCOMPARE(sectionDescriptionText(QString()), QStringLiteral("准备好后进入本题型开始作答。"));
        QCOMPARE(sectionDescriptionText(QStringLiteral("   ")), QStringLiteral("   "));
    }

    // The image sheet: 640 x 480 at the sheet scale of the stored zoom, each
    // side cut to the screen's visible frame on its own.
    void sheetSize_data()
    {
        QTest::addColumn<double>("uiScale");
        QTest::addColumn<double>("scale");
        QTest::addColumn<QSizeF>("visibleFrame"); // empty: no screen
        QTest::addColumn<QSizeF>("size");
        const QSizeF large(2560, 1400);
        QTest::newRow("1.0") << 1.0 << 1.0 << large << QSizeF(640, 480);
        QTest::newRow("1.03 rounds up") << 1.03 << 1.05 << large << QSizeF(672, 504);
        QTest::newRow("0.3 held at 0.5") << 0.3 << 0.5 << large << QSizeF(320, 240);
        QTest::newRow("2.0 held at 1.5") << 2.0 << 1.5 << large << QSizeF(960, 720);
        QTest::newRow("2.0 on a narrow screen") << 2.0 << 1.5 << QSizeF(900, 1000) << QSizeF(900, 720);
        QTest::newRow("2.0 on a low screen") << 2.0 << 1.5 << QSizeF(1280, 700) << QSizeF(960, 700);
        QTest::newRow("no screen keeps the base size") << 1.2 << 1.2 << QSizeF() << QSizeF(768, 576);
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << 1.0 << large << QSizeF(640, 480);
        QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << 1.0 << large << QSizeF(640, 480);
    }

    void sheetSize()
    {
        QFETCH(double, uiScale);
        QFETCH(double, scale);
        QFETCH(QSizeF, visibleFrame);
        QFETCH(QSizeF, size);
        QCOMPARE(ContentViewRules::sheetScale(uiScale), scale);
        QCOMPARE(ContentViewRules::previewSize(uiScale, visibleFrame), size);
    }

    void decodeSizeFollowsThePixelRatio()
    {
        QCOMPARE(ContentViewRules::decodeSize(QSizeF(600, 400.5), 2.0), QSizeF(1200, 801));
        QCOMPARE(ContentViewRules::decodeSize(QSizeF(600, 400), 0), QSizeF(600, 400));
    }

    // The band a tall page is drawn in: it stays while what shows is well
    // inside it, recentres when what shows nears its edge, and never leaves
    // the page.
    void contentBand_data()
    {
        QTest::addColumn<double>("content");
        QTest::addColumn<double>("viewport");
        QTest::addColumn<double>("visibleTop");
        QTest::addColumn<double>("shownTop");
        QTest::addColumn<double>("band");
        QTest::addColumn<double>("top");
        const double nan = std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("short page: whole") << 900.0 << 500.0 << 0.0 << 0.0 << 900.0 << 0.0;
        QTest::newRow("a little over two screens: whole") << 1250.0 << 500.0 << 700.0 << 0.0 << 1250.0 << 0.0;
        QTest::newRow("no scroller: whole") << 6000.0 << 0.0 << 0.0 << 0.0 << 6000.0 << 0.0;
        QTest::newRow("NaN viewport: whole") << 6000.0 << nan << 0.0 << 0.0 << 6000.0 << 0.0;
        QTest::newRow("at the top") << 6000.0 << 500.0 << 0.0 << 0.0 << 1000.0 << 0.0;
        QTest::newRow("well inside stays") << 6000.0 << 500.0 << 200.0 << 0.0 << 1000.0 << 0.0;
        QTest::newRow("near the foot recentres") << 6000.0 << 500.0 << 400.0 << 0.0 << 1000.0 << 150.0;
        QTest::newRow("far below recentres") << 6000.0 << 500.0 << 2950.0 << 0.0 << 1000.0 << 2700.0;
        QTest::newRow("near the head recentres") << 6000.0 << 500.0 << 2750.0 << 2700.0 << 1000.0 << 2500.0;
        QTest::newRow("held at the page's end") << 6000.0 << 500.0 << 5500.0 << 3000.0 << 1000.0 << 5000.0;
        QTest::newRow("at the end stays") << 6000.0 << 500.0 << 5500.0 << 5000.0 << 1000.0 << 5000.0;
        QTest::newRow("a band beyond a shrunk page is held to it") << 3000.0 << 500.0 << 2500.0 << 4000.0 << 1000.0
                                                                    << 2000.0;
        QTest::newRow("nothing shows: stays") << 6000.0 << 500.0 << -1.0 << 1200.4 << 1000.0 << 1200.0;
    }

    void contentBand()
    {
        QFETCH(double, content);
        QFETCH(double, viewport);
        QFETCH(double, visibleTop);
        QFETCH(double, shownTop);
        QFETCH(double, band);
        QFETCH(double, top);
        QCOMPARE(ContentViewRules::bandHeight(content, viewport), band);
        // visibleTop < 0: the view is off screen, nothing of it shows.
        const double from = visibleTop < 0 ? 0 : visibleTop;
        const double to = visibleTop < 0 ? 0 : std::min(content, visibleTop + viewport);
        QCOMPARE(ContentViewRules::bandTop(content, band, from, to, shownTop), top);
    }

    void imageAddresses_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("kind");
        QTest::newRow("https") << "https://img.example.com/a.png" << int(ContentViewRules::Loadable);
        QTest::newRow("plain http") << "http://img.example.com/a.png?x=1" << int(ContentViewRules::Loadable);
        QTest::newRow("data image") << "data:image/png;base64,iVBORw0KGgo=" << int(ContentViewRules::Loadable);
        QTest::newRow("data html") << "data:text/html,hello" << int(ContentViewRules::Refused);
        QTest::newRow("relative") << "img/a.png" << int(ContentViewRules::Refused);
        QTest::newRow("root relative") << "/a.png" << int(ContentViewRules::Refused);
        QTest::newRow("file") << "file:///etc/passwd" << int(ContentViewRules::Refused);
        QTest::newRow("javascript") << "javascript:alert(1)" << int(ContentViewRules::Refused);
        QTest::newRow("http without host") << "http:///a.png" << int(ContentViewRules::Refused);
        QTest::newRow("empty") << "" << int(ContentViewRules::Invalid);
        QTest::newRow("does not parse") << "http://exa mple.com/%zz" << int(ContentViewRules::Invalid);
    }

    void imageAddresses()
    {
        QFETCH(QString, source);
        QFETCH(int, kind);
        QCOMPARE(ContentViewRules::imageAddress(source), kind);
    }

    void optionMarkup_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<bool>("markup");
        QTest::newRow("less-than, space and digit") << "x < 3" << false;
        QTest::newRow("less-than before a letter, no greater-than") << "a<b 且 c" << false;
        QTest::newRow("subscript pair") << "H<sub>2</sub>O" << true;
        QTest::newRow("escaped tags") << "&lt;p&gt;甲&lt;/p&gt;" << true;
        QTest::newRow("plain Chinese") << "以上都不对" << false;
    }

    void optionMarkup()
    {
        QFETCH(QString, content);
        QFETCH(bool, markup);
        QCOMPARE(ContentViewRules::hasMarkup(content), markup);
    }

    // Only a bare paragraph of text is drawn without a web view; its text is
    // what the page would show.
    void plainParagraph_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<bool>("plain");
        QTest::addColumn<QString>("text");
        QTest::newRow("one paragraph") << "<p>选项1：增长约3%</p>" << true << "选项1：增长约3%";
        QTest::newRow("upper-case tags, blanks around") << "\n <P>甲</P>\t" << true << "甲";
        QTest::newRow("white space runs collapse") << "<p>  A\n\n  B\t</p>" << true << "A B";
        // Two no-break spaces stay two spaces, as the page shows them.
        QTest::newRow("references decoded") << "<p>A &amp; B&nbsp;&nbsp;C</p>" << true << "A & B  C";
        QTest::newRow("empty paragraph") << "<p></p>" << true << "";
        QTest::newRow("attribute") << "<p class=\"x\">甲</p>" << false << "";
        QTest::newRow("inline tag") << "<p>H<sub>2</sub>O</p>" << false << "";
        QTest::newRow("two paragraphs") << "<p>甲</p><p>乙</p>" << false << "";
        QTest::newRow("text outside") << "<p>甲</p>乙" << false << "";
        QTest::newRow("escaped tag inside") << "<p>&lt;b&gt;甲&lt;/b&gt;</p>" << false << "";
        QTest::newRow("escaped paragraph") << "&lt;p&gt;甲&lt;/p&gt;" << false << "";
        QTest::newRow("image") << "<p><img src=\"a.png\"></p>" << false << "";
        QTest::newRow("greater-than in text") << "<p>x > 3</p>" << false << "";
        QTest::newRow("no markup") << "甲" << false << "";
    }

    void plainParagraph()
    {
        QFETCH(QString, html);
        QFETCH(bool, plain);
        QFETCH(QString, text);
        QCOMPARE(ContentViewRules::isPlainParagraph(html), plain);
        QCOMPARE(ContentViewRules::paragraphText(html), text);
    }

    // The colour the page gives its text, in both looks.
    void contentTextColour()
    {
        QCOMPARE(ContentViewRules::contentTextColor(0.86, QString()).rgb(), QColor(51, 51, 51).rgb());
        QVERIFY(std::abs(ContentViewRules::contentTextColor(0.86, QString()).alphaF() - 0.86) < 0.001);
        QCOMPARE(ContentViewRules::contentTextColor(-1, QString()).alpha(), 0);
        TransparentInkPalette::setCurrentIntensity(0.5);
        const QColor ink = ContentViewRules::contentTextColor(1, QStringLiteral("#22A06B"));
        TransparentInkPalette::setCurrentIntensity(1);
        QCOMPARE(ink.rgb(), QColor(0x22, 0xA0, 0x6B).rgb());
        QVERIFY(std::abs(ink.alphaF() - 0.5) < 0.001);
        QCOMPARE(ContentViewRules::styleLineHeight(HtmlContentStyle::QuestionOption), 16 * 1.4);
        QCOMPARE(ContentViewRules::styleFontSize(HtmlContentStyle::AnalysisOption), 15.0);
    }

    void optionStyleAndReferences()
    {
        QCOMPARE(ContentViewRules::optionContentStyle(15), int(HtmlContentStyle::AnalysisOption));
        QCOMPARE(ContentViewRules::optionContentStyle(16), int(HtmlContentStyle::QuestionOption));
        QCOMPARE(ContentViewRules::decodeCharacterReferences(QStringLiteral("A &amp; B &#x4E00; &lt;3")),
                 QStringLiteral("A & B 一 <3"));
        QCOMPARE(ContentViewRules::decodeCharacterReferences(QStringLiteral("x < y  z")), QStringLiteral("x < y  z"));
    }
};

QTEST_MAIN(TestQuestionRules)
#include "tst_questionrules.moc"
