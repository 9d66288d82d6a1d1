// The rules of a question page that need no model: option letters and marks,
// button texts, option row colours, the material split and the
// scroll-position memory.

#include "ContentViewRules.h"
#include "MaterialPanelRatios.h"
#include "MaterialSplitController.h"
#include "MaterialSplitGeometry.h"
#include "QuestionBodyRules.h"
#include "ScrollOffsetObserver.h"
#include "Theme.h"

#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <limits>
#include <optional>

using namespace QuestionBodyRules;

Q_DECLARE_METATYPE(QuestionBodyRules::OptionFeedback)
Q_DECLARE_METATYPE(std::optional<double>)

namespace {

// A pane the observer drives: it scrolls when asked, within its own bounds.
struct FakePane
{
    ScrollOffsetObserver observer;
    double contentHeight = 0;
    double viewportHeight = 300;
    int scrolls = 0;

    FakePane(ScrollOffsetCache *cache, const QString &key, double content, double startY = 0)
        : contentHeight(content)
    {
        QObject::connect(&observer, &ScrollOffsetObserver::scrollRequested, &observer, [this](double y) {
            ++scrolls;
            observer.setViewportY(y);
        });
        observer.classBegin();
        observer.setCache(cache);
        observer.setKey(key);
        observer.setViewportHeight(viewportHeight);
        observer.setContentHeight(content);
        observer.setViewportY(startY);
        observer.componentComplete();
    }
    void userScrollTo(double y)
    {
        observer.userScrolled();
        observer.setViewportY(y);
    }
};

} // namespace

class TestQuestionBodyRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void optionLetters_data()
    {
        QTest::addColumn<qint64>("index");
        QTest::addColumn<QString>("letter");
        QTest::newRow("first") << qint64(0) << QStringLiteral("A");
        QTest::newRow("last latin") << qint64(25) << QStringLiteral("Z");
        QTest::newRow("after Z") << qint64(26) << QStringLiteral("[");
        QTest::newRow("lower case") << qint64(32) << QStringLiteral("a");
        QTest::newRow("surrogate range") << qint64(0xD800 - 65) << QString::number(0xD800 - 64);
        QTest::newRow("beyond unicode") << qint64(0x110000 - 65) << QString::number(0x110000 - 64);
        QTest::newRow("astral") << qint64(0x1F600 - 65) << QString::fromUcs4(U"\U0001F600", 1);
    }
    void optionLetters()
    {
        QFETCH(qint64, index);
        QFETCH(QString, letter);
        QCOMPARE(optionLetter(index), letter);
    }

    void optionMarks_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("revealed");
        QTest::addColumn<QString>("correct");
        QTest::addColumn<QString>("picked");
        QTest::addColumn<QString>("expected"); // one mark per letter A-D: . none, + correct, x wrong pick

        QTest::newRow("practice never marks") << 0 << true << "A,C" << "B" << "....";
        QTest::newRow("review before reveal") << 1 << false << "A,C" << "B" << "....";
        QTest::newRow("right pick") << 1 << true << "A,C" << "A" << "+.+.";
        QTest::newRow("wrong pick") << 1 << true << "A,C" << "B" << "+x+.";
        QTest::newRow("lower case with separator") << 1 << true << "a, c" << "" << "+.+.";
        QTest::newRow("nothing picked") << 1 << true << "D" << "" << "...+";
        QTest::newRow("several wrong picks") << 1 << true << "C" << "A,B,D" << "xx+x";
    }
    void optionMarks()
    {
        QFETCH(int, mode);
        QFETCH(bool, revealed);
        QFETCH(QString, correct);
        QFETCH(QString, picked);
        QFETCH(QString, expected);
        QString marks;
        for (int i = 0; i < 4; ++i) {
            const auto feedback = optionFeedback(optionLetter(i), ExamMode(mode), revealed, correct, picked);
            marks += feedback == OptionFeedback::correct ? u'+' : feedback == OptionFeedback::wrongPick ? u'x' : u'.';
        }
        QCOMPARE(marks, expected);
    }

    void selection_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QVariant>("stored"); // invalid: no entry
        QTest::addColumn<QString>("expected");
        QTest::newRow("single, none") << 1 << QVariant() << "....";
        QTest::newRow("single, exact") << 1 << QVariant(QStringLiteral("B")) << ".x..";
        // A single choice compares the stored text exactly.
        QTest::newRow("single, lower case") << 1 << QVariant(QStringLiteral("b")) << "....";
        QTest::newRow("multiple") << 2 << QVariant(QStringLiteral("A,C")) << "x.x.";
        QTest::newRow("multiple, emptied") << 2 << QVariant(QString()) << "....";
    }
    void selection()
    {
        QFETCH(int, type);
        QFETCH(QVariant, stored);
        QFETCH(QString, expected);
        const std::optional<QString> entry = stored.isValid() ? std::optional(stored.toString()) : std::nullopt;
        QString marks;
        for (int i = 0; i < 4; ++i)
            marks += isOptionSelected(optionLetter(i), QuestionType(type), entry) ? u'x' : u'.';
        QCOMPARE(marks, expected);
    }

    void buttonTexts_data()
    {
        QTest::addColumn<bool>("last");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("confirm");
        QTest::addColumn<QString>("reveal");
        QTest::newRow("practice") << false << 0 << "确认并进入下一题" << "查看解析";
        QTest::newRow("review") << false << 1 << "确定" << "查看解析";
        QTest::newRow("last, practice") << true << 0 << "确认并交卷" << "确认并交卷";
        QTest::newRow("last wins over review") << true << 1 << "确认并交卷" << "确认并交卷";
    }
    void buttonTexts()
    {
        QFETCH(bool, last);
        QFETCH(int, mode);
        QFETCH(QString, confirm);
        QFETCH(QString, reveal);
        QCOMPARE(confirmLabel(last, ExamMode(mode)), confirm);
        QCOMPARE(revealLabel(last), reveal);
    }

    void pageFlags()
    {
        QVERIFY(isLastQuestion(0, 0)); // an empty set
        QVERIFY(isLastQuestion(4, 5));
        QVERIFY(!isLastQuestion(3, 5));
        QVERIFY(isLocked(ExamMode::review, true));
        QVERIFY(!isLocked(ExamMode::practice, true));
        QVERIFY(showsReviewResult(QuestionType::multiple, ExamMode::review, true));
        QVERIFY(!showsReviewResult(QuestionType::answer, ExamMode::review, true));
        QVERIFY(!showsReviewResult(QuestionType::single, ExamMode::practice, true));
        QCOMPARE(typeTag(QuestionType::answer), QStringLiteral("简答题"));
        QCOMPARE(analysisHtml(QString()), QStringLiteral("暂无解析"));
        QCOMPARE(analysisHtml(QStringLiteral(" ")), QStringLiteral(" "));
    }

    void htmlOpacities_data()
    {
        QTest::addColumn<bool>("transparent");
        QTest::addColumn<double>("level");
        QTest::addColumn<double>("text");
        QTest::addColumn<double>("image");
        QTest::newRow("normal") << false << 1.65 << 0.86 << 1.0;
        QTest::newRow("transparent, dim") << true << 0.5 << 1.0 << 0.68;
        QTest::newRow("transparent, bright, capped") << true << 1.65 << 1.0 << 1.0;
        QTest::newRow("transparent, raised") << true << 1.2 << 1.0 << 0.816;
    }
    void htmlOpacities()
    {
        QFETCH(bool, transparent);
        QFETCH(double, level);
        QFETCH(double, text);
        QFETCH(double, image);
        QCOMPARE(htmlTextOpacity(transparent), text);
        QVERIFY(std::abs(htmlImageOpacity(transparent, level) - image) < 1e-9);
    }

    void optionColours_data()
    {
        QTest::addColumn<bool>("transparent");
        QTest::addColumn<double>("level");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<OptionFeedback>("feedback");
        QTest::addColumn<bool>("hovering");
        QTest::addColumn<QColor>("fill");
        QTest::addColumn<QColor>("border");
        QTest::addColumn<QColor>("letter");
        QTest::addColumn<QColor>("row");

        const QColor white = QColor::fromRgbF(1, 1, 1);
        const QColor clear = QColor::fromRgbF(0, 0, 0, 0);
        const QColor primary = Theme::appPrimary();
        const QColor green = Theme::appGreen();
        const QColor red = Theme::appRed();
        const QColor secondary = Theme::appSecondary();
        const auto at = [](QColor c, double a) { return Theme::withOpacity(c, a); };
        const auto none = OptionFeedback::none;

        QTest::newRow("plain") << false << 1.0 << false << none << true << Theme::appBackground()
                               << QColor::fromRgbF(0, 0, 0, 0.07f) << secondary << white;
        QTest::newRow("picked") << false << 1.0 << true << none << false << primary << primary << white
                                << at(Theme::appPrimarySoft(), 0.55);
        QTest::newRow("feedback beats selection") << false << 1.0 << true << OptionFeedback::correct << false
                                                  << green << green << white << at(green, 0.10);
        QTest::newRow("wrong pick") << false << 1.0 << true << OptionFeedback::wrongPick << false << red << red
                                    << white << at(red, 0.10);
        QTest::newRow("transparent plain") << true << 1.0 << false << none << true << clear << at(secondary, 0.45)
                                           << secondary << clear;
        QTest::newRow("transparent picked, pointer outside") << true << 1.3 << true << none << false << clear
                                                             << at(primary, 1.0) << at(primary, 1.0) << clear;
        QTest::newRow("transparent picked, dim, pointer outside") << true << 0.6 << true << none << false << clear
                                                                  << at(primary, 0.83) << at(primary, 0.83) << clear;
        QTest::newRow("transparent picked, pointer over") << true << 0.6 << true << none << true << clear
                                                          << at(primary, 1.0) << at(primary, 1.0) << clear;
        QTest::newRow("transparent feedback") << true << 1.3 << false << OptionFeedback::correct << true << clear
                                              << at(green, 0.936) << at(green, 0.936) << clear;
    }
    void optionColours()
    {
        QFETCH(bool, transparent);
        QFETCH(double, level);
        QFETCH(bool, selected);
        QFETCH(OptionFeedback, feedback);
        QFETCH(bool, hovering);
        QFETCH(QColor, fill);
        QFETCH(QColor, border);
        QFETCH(QColor, letter);
        QFETCH(QColor, row);
        const OptionLook look{transparent, level, selected, feedback, hovering};
        QCOMPARE(optionFillColor(look), fill);
        QCOMPARE(optionBorderColor(look), border);
        QCOMPARE(optionLetterColor(look), letter);
        QCOMPARE(optionRowFillColor(look), row);
        if (feedback != OptionFeedback::none)
            QCOMPARE(optionFeedbackColor(feedback, transparent, level), border);
    }

    // Option texts: plain text unless they hold a tag, written out or escaped.
    void optionMarkup_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<bool>("markup");
        QTest::newRow("plain") << "北京" << false;
        QTest::newRow("less than a digit") << "x < 3" << false;
        QTest::newRow("unclosed tag") << "a <b and more" << false;
        QTest::newRow("subscript") << "H<sub>2</sub>O" << true;
        QTest::newRow("upper case tag") << "<P>甲</P>" << true;
        QTest::newRow("escaped") << "&lt;p&gt;甲&lt;/p&gt;" << true;
        QTest::newRow("escaped comparison") << "1 &lt; 2 &gt; 0" << false;
    }
    void optionMarkup()
    {
        QFETCH(QString, content);
        QFETCH(bool, markup);
        QCOMPARE(ContentViewRules::hasMarkup(content), markup);
    }

    // The one split rule of the question and the analysis screens.
    void splitLayout_data()
    {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        const std::optional<double> none;
        QTest::addColumn<double>("available");
        QTest::addColumn<std::optional<double>>("ratio");
        QTest::addColumn<double>("top");
        QTest::addColumn<double>("height");
        QTest::newRow("default ratio") << 500.0 << std::optional(0.46) << 230.0 << 500.0;
        QTest::newRow("no stored ratio") << 500.0 << none << 230.0 << 500.0;
        QTest::newRow("card keeps 72") << 500.0 << std::optional(0.95) << 428.0 << 500.0;
        QTest::newRow("infinite ratio") << 500.0 << std::optional(inf) << 428.0 << 500.0;
        QTest::newRow("shorter than the card") << 60.0 << std::optional(0.46) << 0.0 << 60.0;
        QTest::newRow("no height") << 0.0 << std::optional(0.46) << 0.0 << 1.0;
        QTest::newRow("negative ratio") << 500.0 << std::optional(-0.2) << 0.0 << 500.0;
        // A NaN must not collapse the material pane.
        QTest::newRow("NaN ratio") << 500.0 << std::optional(nan) << 230.0 << 500.0;
        QTest::newRow("NaN height") << nan << std::optional(0.46) << 0.0 << 1.0;
        QTest::newRow("infinite height") << inf << std::optional(0.46) << 0.0 << 1.0;
        QTest::newRow("relative to the height") << 1000.0 << std::optional(0.5) << 500.0 << 1000.0;
    }
    void splitLayout()
    {
        QFETCH(double, available);
        QFETCH(std::optional<double>, ratio);
        QFETCH(double, top);
        QFETCH(double, height);
        const auto split = MaterialSplitGeometry::layout(available, ratio);
        QCOMPARE(split.top, top);
        QCOMPARE(split.height, height);
        QVERIFY(split.height - split.top >= std::min(72.0, split.height));
    }

    void dragRatio_data()
    {
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("translation");
        QTest::addColumn<double>("ratio");
        QTest::newRow("down") << 230.0 << 20.0 << 250.0 / 500.0;
        QTest::newRow("above the top") << 230.0 << -1000.0 << 0.0;
        QTest::newRow("below the bottom") << 230.0 << 2000.0 << 428.0 / 500.0;
        QTest::newRow("NaN translation keeps the start") << 230.0 << std::numeric_limits<double>::quiet_NaN() << 230.0 / 500.0;
        QTest::newRow("NaN start") << std::numeric_limits<double>::quiet_NaN() << 20.0 << 0.0;
    }
    void dragRatio()
    {
        QFETCH(double, start);
        QFETCH(double, translation);
        QFETCH(double, ratio);
        const auto split = MaterialSplitGeometry::layout(500, std::nullopt);
        QCOMPARE(MaterialSplitGeometry::ratioForDrag(split, start, translation), ratio);
    }

    // 6 pt from the press, in any direction, starts a handle drag.
    void handleDragStart_data()
    {
        QTest::addColumn<double>("dx");
        QTest::addColumn<double>("dy");
        QTest::addColumn<bool>("starts");
        const double nan = std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("5.9 down") << 0.0 << 5.9 << false;
        QTest::newRow("6 up") << 0.0 << -6.0 << true;
        QTest::newRow("6 sideways") << 6.0 << 0.0 << true;
        QTest::newRow("4 and 4: 5.7 away") << 4.0 << 4.0 << false;
        QTest::newRow("4.3 and -4.3: 6.1 away") << 4.3 << -4.3 << true;
        QTest::newRow("NaN") << nan << 10.0 << false;
    }
    void handleDragStart()
    {
        QFETCH(double, dx);
        QFETCH(double, dy);
        QFETCH(bool, starts);
        QCOMPARE(MaterialSplitGeometry::handleDragStarts(dx, dy), starts);
    }

    // The pointer on the handle: every press measures afresh.
    void pointerOnTheHandle()
    {
        MaterialPanelRatios ratios;
        MaterialSplitController split;
        split.setRatios(&ratios);
        split.setQuestionId(QStringLiteral("q1"));
        split.setAvailableHeight(500);
        split.pointerPressed(100, 300);
        split.pointerMoved(100, 295); // 5 away: not yet
        QVERIFY(!split.dragging());
        QVERIFY(!ratios.contains(QStringLiteral("q1")));
        split.pointerMoved(100, 200);
        QVERIFY(split.dragging());
        QCOMPARE(split.top(), 130.0);
        split.pointerReleased(100, 200);
        QVERIFY(!split.dragging());

        // Pressed and released 8 lower with no move between: 8 down from 130.
        split.pointerPressed(50, 100);
        split.pointerReleased(50, 108);
        QCOMPARE(split.top(), 138.0);
        // A press and release in place changes nothing.
        split.pointerPressed(50, 100);
        split.pointerReleased(50, 100);
        QCOMPARE(split.top(), 138.0);
        // A move without a press (the pointer only passing over) does nothing.
        split.pointerMoved(50, 400);
        QCOMPARE(split.top(), 138.0);
        // A drag taken away stays where it was last put and ends.
        split.pointerPressed(0, 0);
        split.pointerMoved(0, 40);
        split.pointerCanceled();
        QVERIFY(!split.dragging());
        QCOMPARE(split.top(), 178.0);
        split.pointerMoved(0, 100);
        QCOMPARE(split.top(), 178.0);
    }

    void handleDrag()
    {
        MaterialPanelRatios ratios;
        MaterialSplitController split;
        split.setRatios(&ratios);
        split.setQuestionId(QStringLiteral("q1"));
        split.setAvailableHeight(500);
        QCOMPARE(split.top(), 230.0);
        QVERIFY(!ratios.contains(QStringLiteral("q1")));

        // The drag measures from where it began, not from the moving split.
        split.dragChanged(20);
        QCOMPARE(split.top(), 250.0);
        split.dragChanged(40);
        QCOMPARE(split.top(), 270.0);
        split.dragEnded(-1000); // above the top edge
        QCOMPARE(ratios.ratio(QStringLiteral("q1")), 0.0);
        QVERIFY(!split.dragging());

        split.dragChanged(2000); // below the bottom: the card keeps 72
        split.dragEnded(2000);
        QCOMPARE(ratios.ratio(QStringLiteral("q1")), 428.0 / 500.0);

        // Each question keeps its own split; a resize recomputes without rewriting.
        split.setQuestionId(QStringLiteral("q2"));
        QCOMPARE(split.top(), 230.0);
        split.setQuestionId(QStringLiteral("q1"));
        split.setAvailableHeight(300);
        QCOMPARE(split.top(), 228.0);
        QCOMPARE(split.cardHeight(), 72.0);
        QCOMPARE(ratios.ratio(QStringLiteral("q1")), 428.0 / 500.0);
    }

    void dragEndsWhenTheQuestionChanges()
    {
        MaterialPanelRatios ratios;
        MaterialSplitController split;
        split.setRatios(&ratios);
        split.setAvailableHeight(500);
        split.setQuestionId(QStringLiteral("q1"));
        split.dragChanged(-100); // from 230 to 130
        split.setQuestionId(QStringLiteral("q2"));
        QVERIFY(!split.dragging());
        // The drag goes on over q2, measured from q2's own split.
        split.dragChanged(-100);
        QCOMPARE(ratios.ratio(QStringLiteral("q2")), 130.0 / 500.0);
        QCOMPARE(ratios.ratio(QStringLiteral("q1")), 130.0 / 500.0);
    }

    void scrollRestore_data()
    {
        QTest::addColumn<double>("saved");
        QTest::addColumn<double>("content"); // viewport 300
        QTest::addColumn<double>("startY");
        QTest::addColumn<double>("shownAt");
        QTest::addColumn<bool>("scrolled");
        QTest::addColumn<bool>("pending");
        QTest::newRow("reachable") << 400.0 << 1000.0 << 0.0 << 400.0 << true << false;
        QTest::newRow("content one short") << 400.0 << 699.0 << 0.0 << 399.0 << true << false;
        QTest::newRow("content too short") << 400.0 << 650.0 << 0.0 << 350.0 << true << true;
        QTest::newRow("half a point short") << 300.0 << 599.5 << 0.0 << 299.5 << true << false;
        QTest::newRow("already there") << 400.0 << 1000.0 << 399.6 << 399.6 << false << false;
        QTest::newRow("shorter than the viewport, small") << 0.5 << 200.0 << 0.0 << 0.0 << false << false;
        QTest::newRow("shorter than the viewport") << 300.0 << 200.0 << 0.0 << 0.0 << false << true;
        QTest::newRow("negative") << -40.0 << 1000.0 << 0.0 << 0.0 << false << false;
    }
    void scrollRestore()
    {
        QFETCH(double, saved);
        QFETCH(double, content);
        QFETCH(double, startY);
        QFETCH(double, shownAt);
        QFETCH(bool, scrolled);
        QFETCH(bool, pending);
        ScrollOffsetCache cache;
        const QString key = ScrollOffsetCache::questionKey(QStringLiteral("7"));
        QCOMPARE(key, QStringLiteral("question:7"));
        cache.setValue(key, saved);
        FakePane pane(&cache, key, content, startY);
        QCOMPARE(pane.observer.viewportY(), shownAt);
        QCOMPARE(pane.scrolls > 0, scrolled);
        QCOMPARE(pane.observer.restoring(), pending);
        QCOMPARE(*cache.value(key), saved); // restoring never writes
    }

    void restoreFollowsGrowingContent()
    {
        ScrollOffsetCache cache;
        const QString key = ScrollOffsetCache::materialKey(QStringLiteral("m1"));
        cache.setValue(key, 400);
        FakePane pane(&cache, key, 500);
        QCOMPARE(pane.observer.viewportY(), 200.0);
        QVERIFY(pane.observer.restoring());
        // A scroll while restoring (the view settling) is not recorded.
        pane.observer.setViewportY(150);
        QCOMPARE(*cache.value(key), 400.0);
        pane.observer.setContentHeight(800);
        QCOMPARE(pane.observer.viewportY(), 400.0);
        QVERIFY(!pane.observer.restoring());
        pane.observer.setViewportY(420);
        QCOMPARE(*cache.value(key), 420.0);
    }

    void restoreThatCannotCompleteEndsAtTheFirstUserScroll()
    {
        ScrollOffsetCache cache;
        const QString key = ScrollOffsetCache::questionKey(QStringLiteral("9"));
        cache.setValue(key, 900);
        FakePane pane(&cache, key, 500); // will never grow
        QVERIFY(pane.observer.restoring());
        pane.userScrollTo(120);
        QVERIFY(!pane.observer.restoring());
        QCOMPARE(*cache.value(key), 120.0);
        // Later growth no longer pulls the pane away from where the user is.
        const int scrolls = pane.scrolls;
        pane.observer.setContentHeight(2000);
        QCOMPARE(pane.scrolls, scrolls);
        QCOMPARE(pane.observer.viewportY(), 120.0);
    }

    void firstVisitStartsAtTheTop()
    {
        ScrollOffsetCache cache;
        const QString key = ScrollOffsetCache::questionKey(QStringLiteral("1"));
        FakePane pane(&cache, key, 1000, 250); // a reused pane left further down
        QCOMPARE(pane.observer.viewportY(), 0.0);
        QVERIFY(!pane.observer.restoring());
        pane.observer.setViewportY(30);
        QCOMPARE(*cache.value(key), 30.0);
    }

    void keyChangeRestoresTheNewKey()
    {
        ScrollOffsetCache cache;
        const QString first = ScrollOffsetCache::questionKey(QStringLiteral("1"));
        const QString second = ScrollOffsetCache::questionKey(QStringLiteral("2"));
        cache.setValue(second, 500);
        FakePane pane(&cache, first, 2000);
        pane.observer.setViewportY(80);
        pane.observer.setKey(second);
        QCOMPARE(pane.observer.viewportY(), 500.0);
        QCOMPARE(*cache.value(first), 80.0); // the old entry stays
        QCOMPARE(*cache.value(second), 500.0);
    }

    void sharedKeyLastWriteWins()
    {
        ScrollOffsetCache cache;
        const QString key = ScrollOffsetCache::questionKey(QStringLiteral("1"));
        FakePane a(&cache, key, 2000);
        FakePane b(&cache, key, 2000);
        a.observer.setViewportY(100);
        b.observer.setViewportY(200);
        QCOMPARE(*cache.value(key), 200.0);
    }
};

QTEST_MAIN(TestQuestionBodyRules)
#include "tst_questionbodyrules.moc"
