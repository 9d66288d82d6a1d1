// Figures for the views' hot paths: painting the colour wheel's disc (once
// per size), reading the ink-aware colours (every binding of every view) and
// turning an HTML fragment into plain text (once per fragment in an export).
#include "app/TransparentInkPalette.h"
#include "views/HtmlPlainText.h"
#include "views/HueSaturationDisc.h"
#include "views/Theme.h"

#include <QElapsedTimer>
#include <QGuiApplication>

#include <cstdio>

namespace {

template<typename Work>
double microsecondsPerRun(int runs, Work work)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < runs; ++i)
        work();
    return double(timer.nsecsElapsed()) / 1000.0 / runs;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    for (int side : {190, 380, 570}) {
        const double us = microsecondsPerRun(20, [side] { (void)HueSaturationDisc::render(side); });
        std::printf("colour wheel disc %dx%d px: %.2f ms\n", side, side, us / 1000.0);
    }

    TransparentInkPalette::setActive(true);
    TransparentInkPalette::setCurrentHex(QStringLiteral("#22A06B"));
    TransparentInkPalette::setCurrentIntensity(0.7);
    quint64 sink = 0;
    const double colourUs = microsecondsPerRun(200000, [&sink] {
        sink += Theme::appSecondary().rgba() + Theme::appTitle().rgba();
    });
    std::printf("two ink-aware colour reads: %.3f us (checksum %llu)\n", colourUs, static_cast<unsigned long long>(sink % 10));

    const QString fragment = QStringLiteral(
        "<p>下列关于<b>行政行为</b>的说法，正确的是（　）。</p><p>A. 行政行为具有公定力&amp;确定力</p>"
        "<p><img src=\"q.png\"/>B. 行政行为一经作出即生效</p><ul><li>一</li><li>二</li></ul>");
    const double htmlUs = microsecondsPerRun(2000, [&fragment] { (void)HtmlPlainText::plainText(fragment); });
    std::printf("HTML fragment to plain text: %.1f us\n", htmlUs);
    return 0;
}
