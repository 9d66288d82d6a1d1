// Shows the root view with a stand-in model over a patterned backdrop and
// saves a picture of it: the panel alone (its own pixels, alpha kept) and,
// with --desktop, the whole screen as a compositor shows it.
#include "TestAppModel.h"
#include "PreviewBackdrop.h"
#include "views/AppModelSingleton.h"

#include "views/RootViewState.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QQuickItem>
#include <QQuickView>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QtQml/QQmlExtensionPlugin>

Q_IMPORT_QML_PLUGIN(VuzoPlugin)

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOptions({
        {QStringLiteral("screen"), QStringLiteral("Screen value (0 login ... 7 history)."), QStringLiteral("n"), QStringLiteral("1")},
        {QStringLiteral("transparent"), QStringLiteral("Study transparency on.")},
        {QStringLiteral("level"), QStringLiteral("Appearance level."), QStringLiteral("l"), QStringLiteral("1.0")},
        {QStringLiteral("ink"), QStringLiteral("Ink hex."), QStringLiteral("hex"), QStringLiteral("#212636")},
        {QStringLiteral("intensity"), QStringLiteral("Ink intensity."), QStringLiteral("i"), QStringLiteral("1.0")},
        {QStringLiteral("help-card"), QStringLiteral("Open the brightness help card.")},
        {QStringLiteral("ink-card"), QStringLiteral("Open the ink colour card.")},
        {QStringLiteral("zoom"), QStringLiteral("Show the zoom indicator at a scale."), QStringLiteral("scale")},
        {QStringLiteral("error"), QStringLiteral("Error banner text."), QStringLiteral("text")},
        {QStringLiteral("notice"), QStringLiteral("Notice banner text."), QStringLiteral("text")},
        {QStringLiteral("loading"), QStringLiteral("Show the loading overlay.")},
        {QStringLiteral("exporting"), QStringLiteral("Show the PDF export progress.")},
        {QStringLiteral("maximized"), QStringLiteral("Draw as maximized.")},
        {QStringLiteral("auto-hide"), QStringLiteral("Auto-hide on.")},
        {QStringLiteral("hover-controls"), QStringLiteral("Pretend the pointer is on the header controls.")},
        {QStringLiteral("size"), QStringLiteral("Panel size WxH."), QStringLiteral("size"), QStringLiteral("640x720")},
        {QStringLiteral("out"), QStringLiteral("Picture of the panel."), QStringLiteral("file"), QStringLiteral("panel.png")},
        {QStringLiteral("desktop"), QStringLiteral("Picture of the whole screen instead."), QStringLiteral("file")},
        {QStringLiteral("grab-screen"), QStringLiteral("Only save the screen as it is now."), QStringLiteral("file")},
        {QStringLiteral("crop"), QStringLiteral("Keep only x,y,w,h of the picture."), QStringLiteral("rect")},
        {QStringLiteral("magnify"), QStringLiteral("Enlarge the picture by a factor."), QStringLiteral("factor"), QStringLiteral("1")},
    });
    parser.process(app);

    if (parser.isSet(QStringLiteral("grab-screen")))
        return app.primaryScreen()->grabWindow(0).save(parser.value(QStringLiteral("grab-screen"))) ? 0 : 2;

    PreviewBackdrop backdrop;
    backdrop.setGeometry(app.primaryScreen()->geometry());
    backdrop.show();

    TestAppModel model;
    model.setScreen(parser.value(QStringLiteral("screen")).toInt());
    model.setTransparentInkHexValue(parser.value(QStringLiteral("ink")));
    model.setTransparentInkIntensityValue(parser.value(QStringLiteral("intensity")).toDouble());
    model.setTransparentAppearanceLevel(parser.value(QStringLiteral("level")).toDouble());
    model.setStudyTransparencyEnabled(parser.isSet(QStringLiteral("transparent")));
    model.setProperty("hoverAutoHideEnabled", parser.isSet(QStringLiteral("auto-hide")));
    model.setProperty("isWindowMaximized", parser.isSet(QStringLiteral("maximized")));
    model.setLoading(parser.isSet(QStringLiteral("loading")));
    if (parser.isSet(QStringLiteral("exporting"))) {
        model.setPdfExportProgress(QStringLiteral("正在导出 PDF（3/12）…"));
        model.setIsExportingPDF(true);
    }

    QQuickView view;
    view.setFlags(Qt::FramelessWindowHint | Qt::Window);
    view.setColor(Qt::transparent);
    view.setResizeMode(QQuickView::SizeRootObjectToView);
    AppModelSingleton::install(view.engine(), &model);
    view.setSource(QUrl(QStringLiteral("qrc:/Vuzo/RootView.qml")));
    if (view.status() != QQuickView::Ready)
        return 1;
    const QStringList size = parser.value(QStringLiteral("size")).split(QLatin1Char('x'));
    view.setGeometry(60, 40, size.value(0).toInt(), size.value(1).toInt());
    view.show();

    auto *state = view.rootObject()->property("viewState").value<RootViewState *>();
    state->setShowingAppearanceHelp(parser.isSet(QStringLiteral("help-card")));
    state->setShowingInkColorSettings(parser.isSet(QStringLiteral("ink-card")));
    state->setHoveringTransparencyControl(parser.isSet(QStringLiteral("hover-controls")));
    state->setHoveringAutoHideControl(parser.isSet(QStringLiteral("hover-controls")));
    if (parser.isSet(QStringLiteral("zoom")))
        model.showZoom(parser.value(QStringLiteral("zoom")).toDouble());
    if (parser.isSet(QStringLiteral("error")))
        model.setProperty("errorMessage", parser.value(QStringLiteral("error")));
    if (parser.isSet(QStringLiteral("notice")))
        model.setProperty("noticeMessage", parser.value(QStringLiteral("notice")));
    state->setNoticeDismissMs(60000);
    state->setZoomDismissMs(60000);

    QTimer::singleShot(1200, &app, [&] {
        const bool desktop = parser.isSet(QStringLiteral("desktop"));
        QImage picture = desktop ? app.primaryScreen()->grabWindow(0).toImage() : view.grabWindow();
        const QStringList crop = parser.value(QStringLiteral("crop")).split(QLatin1Char(','));
        if (crop.size() == 4)
            picture = picture.copy(crop[0].toInt(), crop[1].toInt(), crop[2].toInt(), crop[3].toInt());
        const int factor = std::max(1, parser.value(QStringLiteral("magnify")).toInt());
        if (factor > 1)
            picture = picture.scaled(picture.size() * factor, Qt::KeepAspectRatio, Qt::FastTransformation);
        const bool saved = picture.save(parser.value(desktop ? QStringLiteral("desktop") : QStringLiteral("out")));
        app.exit(saved ? 0 : 2);
    });
    return app.exec();
}
