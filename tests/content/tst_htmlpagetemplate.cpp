#include "ContentEngineSetup.h"
#include "ContentPageStore.h"
#include "HtmlPageTemplate.h"
#include "app/TransparentAppearanceScale.h"
#include "app/TransparentInkPalette.h"

#include <QRegularExpression>
#include <QTest>

using namespace HtmlPageTemplate;

class TestHtmlPageTemplate : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        TransparentInkPalette::setCurrentIntensity(1.0);
        TransparentAppearanceScale::setCurrentValue(1.0);
    }

    void escapedMarkup_data()
    {
        QTest::addColumn<QString>("fragment");
        QTest::addColumn<QString>("expected");
        QTest::newRow("escaped paragraph") << "&lt;p&gt;甲&lt;/p&gt;" << "<p>甲</p>";
        QTest::newRow("upper-case entities") << "&LT;P&GT;x&LT;/P&GT;" << "<P>x</P>";
        QTest::newRow("escaped tag with quoted attribute")
            << "&lt;img src=&quot;a.png&quot; alt=&#39;x&#39;&gt;" << "<img src=\"a.png\" alt='x'>";
        QTest::newRow("amp last: &amp;lt; stays an entity") << "&lt;b&gt;a &amp;lt; b&lt;/b&gt;" << "<b>a &lt; b</b>";
        QTest::newRow("comparison in a formula stays text") << "若x&lt;y，则y&gt;z" << "若x&lt;y，则y&gt;z";
        QTest::newRow("less-than before a letter, no greater-than") << "&lt;a 与 b" << "&lt;a 与 b";
        QTest::newRow("tag split over two lines") << "&lt;p\n&gt;x" << "&lt;p\n&gt;x";
        QTest::newRow("script stays text") << "&lt;script&gt;x&lt;/script&gt;" << "&lt;script&gt;x&lt;/script&gt;";
        QTest::newRow("name prefix only (brx)") << "&lt;brx&gt;" << "&lt;brx&gt;";
        QTest::newRow("heading") << "&lt;h3&gt;t&lt;/h3&gt;" << "<h3>t</h3>";
        // Every element that shows content counts, not a short list.
        QTest::newRow("link with escaped quotes")
            << "&lt;a href=&quot;https://example.com/&quot;&gt;链接&lt;/a&gt;" << "<a href=\"https://example.com/\">链接</a>";
        QTest::newRow("self-closing rule") << "甲&lt;hr/&gt;乙" << "甲<hr/>乙";
        QTest::newRow("rule with a blank before the slash") << "甲&lt;hr /&gt;乙" << "甲<hr />乙";
        QTest::newRow("code in pre") << "&lt;pre&gt;&lt;code&gt;x = 1&lt;/code&gt;&lt;/pre&gt;"
                                     << "<pre><code>x = 1</code></pre>";
        QTest::newRow("table body") << "&lt;table&gt;&lt;tbody&gt;&lt;tr&gt;&lt;td colspan=2&gt;1&lt;/td&gt;"
                                       "&lt;/tr&gt;&lt;/tbody&gt;&lt;/table&gt;"
                                    << "<table><tbody><tr><td colspan=2>1</td></tr></tbody></table>";
        QTest::newRow("blockquote") << "&lt;blockquote&gt;引文&lt;/blockquote&gt;" << "<blockquote>引文</blockquote>";
        QTest::newRow("one-letter s") << "&lt;s&gt;删去&lt;/s&gt;" << "<s>删去</s>";
        QTest::newRow("small closing tag alone") << "注&lt;/small&gt;" << "注</small>";
        QTest::newRow("quoted Chinese value") << "&lt;span title=&quot;标题 一&quot;&gt;字&lt;/span&gt;"
                                              << "<span title=\"标题 一\">字</span>";
        QTest::newRow("bare attribute and single quotes") << "&lt;input disabled value='a b'&gt;"
                                                          << "<input disabled value='a b'>";
        // After the name only attribute syntax with ASCII names: comparisons stay text.
        QTest::newRow("comparison around a one-letter name") << "a&lt;b 且 c&gt;d" << "a&lt;b 且 c&gt;d";
        QTest::newRow("comparison around s") << "若 t&lt;s 则 s&gt;0" << "若 t&lt;s 则 s&gt;0";
        QTest::newRow("Chinese attribute name") << "&lt;span 标题=1&gt;x" << "&lt;span 标题=1&gt;x";
        QTest::newRow("digit after the name") << "&lt;p 1&gt;" << "&lt;p 1&gt;";
        QTest::newRow("value broken by a quote") << "&lt;a href=\"x&gt;y" << "&lt;a href=\"x&gt;y";
        QTest::newRow("unclosed quoted value over two lines") << "&lt;a title=&quot;x\ny&quot;&gt;"
                                                              << "&lt;a title=&quot;x\ny&quot;&gt;";
        QTest::newRow("plain html untouched") << "<p>a &amp; b</p>" << "<p>a &amp; b</p>";
        QTest::newRow("empty") << "" << "";
    }

    void escapedMarkup()
    {
        QFETCH(QString, fragment);
        QFETCH(QString, expected);
        QCOMPARE(normalizeEncodedHTMLIfNeeded(fragment), expected);
    }

    void colours_data()
    {
        QTest::addColumn<double>("textOpacity");
        QTest::addColumn<QString>("ink");
        QTest::addColumn<double>("intensity");
        QTest::addColumn<double>("level");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("normal look") << 0.86 << QString() << 1.0 << 1.0
                                     << QStringList{"rgba(51, 51, 51, 0.86)", "#0B84FE", "rgba(34, 42, 58, 0.16)",
                                                    "#F8F9FA", "#2C3E50"};
        QTest::newRow("negative text opacity written 0.0")
            << -0.3 << QString() << 1.0 << 1.0
            << QStringList{"rgba(51, 51, 51, 0.0)", "#0B84FE", "rgba(34, 42, 58, 0.16)", "#F8F9FA", "#2C3E50"};
        QTest::newRow("text opacity above one") << 3.0 << QString() << 1.0 << 1.0
                                                << QStringList{"rgba(51, 51, 51, 1.0)", "#0B84FE",
                                                               "rgba(34, 42, 58, 0.16)", "#F8F9FA", "#2C3E50"};
        QTest::newRow("ink at level 1") << 1.0 << "#FF0000" << 1.0 << 1.0
                                        << QStringList{"rgba(255, 0, 0, 1.0)", "rgba(255, 0, 0, 1.0)",
                                                       "rgba(255, 0, 0, 0.22)", "rgba(255, 0, 0, 0.045)",
                                                       "rgba(255, 0, 0, 1.0)"};
        QTest::newRow("ink intensity reaches every colour")
            << 1.0 << "#FF0000" << 0.5 << 1.0
            << QStringList{"rgba(255, 0, 0, 0.5)", "rgba(255, 0, 0, 0.5)", "rgba(255, 0, 0, 0.11)",
                           "rgba(255, 0, 0, 0.0225)", "rgba(255, 0, 0, 0.5)"};
        QTest::newRow("level scales border and code background")
            << 1.0 << "#FF0000" << 1.0 << 1.5
            << QStringList{"rgba(255, 0, 0, 1.0)", "rgba(255, 0, 0, 1.0)",
                           "rgba(255, 0, 0, " + TransparentInkPalette::decimalText(0.22 * 1.5) + ")",
                           "rgba(255, 0, 0, " + TransparentInkPalette::decimalText(0.045 * 1.5) + ")",
                           "rgba(255, 0, 0, 1.0)"};
        QTest::newRow("unreadable ink falls back to the default")
            << 1.0 << "nonsense" << 1.0 << 1.0
            << QStringList{"rgba(33, 38, 54, 1.0)", "rgba(33, 38, 54, 1.0)", "rgba(33, 38, 54, 0.22)",
                           "rgba(33, 38, 54, 0.045)", "rgba(33, 38, 54, 1.0)"};
    }

    void colours()
    {
        QFETCH(double, textOpacity);
        QFETCH(QString, ink);
        QFETCH(double, intensity);
        QFETCH(double, level);
        QFETCH(QStringList, expected);
        TransparentInkPalette::setCurrentIntensity(intensity);
        TransparentAppearanceScale::setCurrentValue(level);
        const ContentColors c
            = contentColors(textOpacity, ink.isNull() ? std::nullopt : std::optional<QString>(ink));
        QCOMPARE((QStringList{c.text, c.accent, c.border, c.codeBackground, c.codeText}), expected);
    }

    void pagePerStyle_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("fontSize");
        QTest::addColumn<QString>("lineHeight");
        QTest::addColumn<QString>("paragraph");
        QTest::addColumn<QString>("imageMargin");
        QTest::newRow("standard") << int(HtmlContentStyle::Standard) << "font-size: 20.0px;" << "line-height: 1.8;"
                                  << "p { margin: 0 0 10px 0; }" << "margin: 4px 0;";
        QTest::newRow("question option") << int(HtmlContentStyle::QuestionOption) << "font-size: 16.0px;"
                                         << "line-height: 1.4;" << "p { margin: 0 0 0 0; }" << "margin: 2px 0;";
        QTest::newRow("analysis option") << int(HtmlContentStyle::AnalysisOption) << "font-size: 15.0px;"
                                         << "line-height: 1.4;" << "p { margin: 0 0 0 0; }" << "margin: 2px 0;";
    }

    void pagePerStyle()
    {
        QFETCH(int, style);
        QFETCH(QString, fontSize);
        QFETCH(QString, lineHeight);
        QFETCH(QString, paragraph);
        QFETCH(QString, imageMargin);
        Parameters p;
        p.style = HtmlContentStyle::Style(style);
        p.body = QStringLiteral("<p>x</p>");
        p.nonce = QStringLiteral("N");
        const QString html = page(p);
        QVERIFY(html.contains(fontSize));
        QVERIFY(html.contains(lineHeight));
        QVERIFY(html.contains(paragraph));
        QVERIFY(html.contains(imageMargin));
    }

    // The policy comes first in the head; only the page's own script carries
    // the nonce; the fragment sits in the content root untouched, even when it
    // holds argument markers or a script of its own.
    void pageStructure()
    {
        Parameters p;
        p.colors = contentColors(0.86, std::nullopt);
        p.imageOpacity = 0.68;
        p.hoverImageOpacity = 0.78;
        p.documentVersion = 7;
        p.isGraphicReasoning = true;
        p.body = QStringLiteral("<p>%1 甲</p><script>alert(1)</script>");
        p.nonce = QStringLiteral("abc123");
        const QString html = page(p);

        QVERIFY(html.startsWith(QStringLiteral("<!DOCTYPE html>\n<html lang=\"zh-CN\">\n  <head>\n    <meta "
                                               "http-equiv=\"Content-Security-Policy\"")));
        QVERIFY(html.contains(QStringLiteral("script-src 'nonce-abc123'; object-src 'none'; frame-src 'none'; "
                                             "base-uri 'none'; form-action 'none'")));
        QCOMPARE(html.count(QStringLiteral("nonce=\"abc123\"")), 1);
        QVERIFY(html.contains(QStringLiteral("<div id=\"content-root\">\n    <p>%1 甲</p><script>alert(1)</script>\n"
                                             "    </div>\n  </body>\n</html>")));
        QVERIFY(html.endsWith(QStringLiteral("</html>")));
        QVERIFY(html.contains(QStringLiteral("const documentVersion = 7;")));
        QVERIFY(html.contains(QStringLiteral("--content-text-color: rgba(51, 51, 51, 0.86);")));
        QVERIFY(html.contains(QStringLiteral("--content-image-opacity: 0.68;")));
        QVERIFY(html.contains(QStringLiteral("--content-image-hover-opacity: 0.78;")));
        QVERIFY(html.contains(QStringLiteral("const isInlineFormula = !true && hasSiblingText")));
        QVERIFY(html.contains(QStringLiteral("const targetWidth = true ? availableWidth")));
        // Han text is never left to a Japanese face: a Chinese family leads.
        QVERIFY(html.contains(QStringLiteral("font-family: \"Noto Sans CJK SC\"")));
        QVERIFY(!html.contains(QStringLiteral("%2")));
    }

    void noncesDiffer()
    {
        const QString a = newNonce();
        QVERIFY(a.size() >= 16);
        QVERIFY(a != newNonce());
    }

    void styleUpdateScriptText()
    {
        const ContentColors c{"t", "a", "b", "cb", "ct"};
        const QString base = QStringLiteral("if (window.__updateContentStyle) {\n  window.__updateContentStyle(\n"
                                            "    't',\n    'a',\n    'b',\n    'cb',\n    'ct',\n    0.95,\n    1.0\n"
                                            "  );\n}\n");
        QCOMPARE(styleUpdateScript(c, 0.95, 1.0, false), base);
        QCOMPARE(styleUpdateScript(c, 0.95, 1.0, true),
                 base + QStringLiteral("if (window.__notifyContentHeight) { window.__notifyContentHeight(); }"));
    }

    void chromiumFlags_data()
    {
        using ContentEngineSetup::Graphics;
        QTest::addColumn<QByteArray>("existing");
        QTest::addColumn<Graphics>("graphics");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("none") << QByteArray() << Graphics::device
                              << QByteArray("--renderer-process-limit=1 --no-unsandboxed-zygote");
        QTest::newRow("others kept") << QByteArray(" --disable-gpu ") << Graphics::device
                                     << QByteArray("--disable-gpu --renderer-process-limit=1 --no-unsandboxed-zygote");
        QTest::newRow("user's own limit wins") << QByteArray("--renderer-process-limit=3") << Graphics::device
                                               << QByteArray("--renderer-process-limit=3 --no-unsandboxed-zygote");
        QTest::newRow("bare switch counts as set") << QByteArray("--renderer-process-limit") << Graphics::device
                                                   << QByteArray("--renderer-process-limit --no-unsandboxed-zygote");
        QTest::newRow("zygote switch not doubled")
            << QByteArray("--no-unsandboxed-zygote --renderer-process-limit=2") << Graphics::device
            << QByteArray("--no-unsandboxed-zygote --renderer-process-limit=2");
        QTest::newRow("a longer switch is another one")
            << QByteArray("--renderer-process-limit-x=1") << Graphics::device
            << QByteArray("--renderer-process-limit-x=1 --renderer-process-limit=1 --no-unsandboxed-zygote");
        QTest::newRow("software graphics composite in software")
            << QByteArray() << Graphics::software
            << QByteArray("--renderer-process-limit=1 --no-unsandboxed-zygote --disable-gpu");
        // The program sets its flags before the application exists and
        // again once it knows the graphics: the second pass adds only what follows.
        QTest::newRow("second pass")
            << QByteArray("--renderer-process-limit=1 --no-unsandboxed-zygote") << Graphics::software
            << QByteArray("--renderer-process-limit=1 --no-unsandboxed-zygote --disable-gpu");
        QTest::newRow("no GPU switch not doubled")
            << QByteArray("--disable-gpu") << Graphics::software
            << QByteArray("--disable-gpu --renderer-process-limit=1 --no-unsandboxed-zygote");
        QTest::newRow("the user's GPU choice wins")
            << QByteArray("--ignore-gpu-blocklist") << Graphics::software
            << QByteArray("--ignore-gpu-blocklist --renderer-process-limit=1 --no-unsandboxed-zygote");
    }

    void chromiumFlags()
    {
        QFETCH(QByteArray, existing);
        QFETCH(ContentEngineSetup::Graphics, graphics);
        QFETCH(QByteArray, expected);
        QCOMPARE(ContentEngineSetup::chromiumFlags(existing, graphics), expected);
    }

    void softwareRasterizers_data()
    {
        QTest::addColumn<QByteArray>("renderer");
        QTest::addColumn<bool>("software");
        QTest::newRow("llvmpipe") << QByteArray("llvmpipe (LLVM 15.0.6, 256 bits)") << true;
        QTest::newRow("softpipe") << QByteArray("softpipe") << true;
        QTest::newRow("zink on lavapipe")
            << QByteArray("zink Vulkan 1.3(llvmpipe (LLVM 19.1.7, 256 bits) (MESA_LLVMPIPE))") << true;
        QTest::newRow("classic swrast") << QByteArray("Software Rasterizer") << true;
        QTest::newRow("a device compiling with LLVM")
            << QByteArray("AMD Radeon RX 6600 (radeonsi, navi23, LLVM 15.0.6, DRM 3.49, 6.1.0-13-amd64)") << false;
        QTest::newRow("intel") << QByteArray("Mesa Intel(R) UHD Graphics 620 (KBL GT2)") << false;
        QTest::newRow("virtual machine's host GPU") << QByteArray("virgl (AMD Radeon Graphics)") << false;
        QTest::newRow("empty") << QByteArray() << false;
    }

    void softwareRasterizers()
    {
        QFETCH(QByteArray, renderer);
        QFETCH(bool, software);
        QCOMPARE(ContentEngineSetup::isSoftwareRasterizer(renderer), software);
    }

    // Each view keeps exactly its current page; every other address is not found.
    void pageStoreServesOnlyCurrentPages()
    {
        ContentPageStore &store = ContentPageStore::shared();
        const quint64 view = store.nextViewId();
        const QUrl first = store.publish(view, 1, "one");
        QCOMPARE(first.toString(), QStringLiteral("vuzo-content:/%1/1").arg(view));
        QCOMPARE(store.page(first).value_or("-"), QByteArray("one"));
        const QUrl second = store.publish(view, 2, "two");
        QVERIFY(!store.page(first));
        QCOMPARE(store.page(second).value_or("-"), QByteArray("two"));
        const QStringList refused{
            QStringLiteral("vuzo-content:/%1/3").arg(view), QStringLiteral("vuzo-content:/%1/img.png").arg(view),
            QStringLiteral("vuzo-content:/%1/2/img.png").arg(view), QStringLiteral("vuzo-content:/%1/2?x=1").arg(view),
            QStringLiteral("vuzo-content:/x/2"), QStringLiteral("http://example.com/%1/2").arg(view)};
        for (const QString &address : refused)
            QVERIFY2(!store.page(QUrl(address)), qPrintable(address));
        store.remove(view);
        QVERIFY(!store.page(second));
    }
};

QTEST_GUILESS_MAIN(TestHtmlPageTemplate)
#include "tst_htmlpagetemplate.moc"
