// Shows the question screen with a sample set over a patterned backdrop and
// saves a picture: question_preview <out.png> [--transparent] [--index N]
// [--card] [--confirm] [--zoom] (150 %) [--image] (the image sheet of the stem) [--width N] [--menu NAME].
#include "AppModelSingleton.h"
#include "ContentEngineSetup.h"
#include "app/AppModel.h"
#include "networking/APIClient.h"
#include "platform/Clock.h"
#include "platform/UserDefaults.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>
#include <QtWebEngineQuick/qtwebenginequickglobal.h>

#include <memory>

Q_IMPORT_QML_PLUGIN(VuzoPlugin)

int main(int argc, char *argv[])
{
    ContentEngineSetup::prepareBeforeEngineStarts();
    QtWebEngineQuick::initialize();
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2)
        return 2;
    const bool transparent = args.contains(QStringLiteral("--transparent"));
    const int indexAt = int(args.indexOf(QStringLiteral("--index")));
    const int index = indexAt > 0 ? args.value(indexAt + 1).toInt() : 1;
    const int titleAt = int(args.indexOf(QStringLiteral("--menu")));
    const QString title = titleAt > 0 ? args.value(titleAt + 1) : QStringLiteral("常识判断专项");
    const int widthAt = int(args.indexOf(QStringLiteral("--width")));
    const int width = widthAt > 0 ? args.value(widthAt + 1).toInt() : 0;

    QTemporaryDir dir;
    UserDefaults defaults(dir.filePath(QStringLiteral("defaults.json")));
    UserDefaults::setStandard(&defaults);
    defaults.setValue(QStringLiteral("answer_card_collapsed"), !args.contains(QStringLiteral("--card")));
    SystemClock clock;
    APIClient client(QStringLiteral("http://127.0.0.1:9"));
    AppModel model(client, defaults, clock);

    QList<Question> set;
    Question intro{};
    intro.id = QStringLiteral("s1");
    intro.sectionIntro = QuestionSectionIntro{QStringLiteral("第一部分 常识判断"),
                                              QStringLiteral("根据题目要求，在四个选项中选出一个最恰当的答案。"), 3};
    set << intro;
    for (int i = 0; i < 3; ++i) {
        Question q;
        q.id = QStringLiteral("q%1").arg(i);
        q.context = i == 0 ? QStringLiteral("<p>下列关于我国古代科技成就的说法，<b>正确</b>的是（ ）。</p>"
                                            "<p>若x&lt;y，则y&gt;x；水的化学式为 H<sub>2</sub>O。</p>")
                           : QStringLiteral("<p>第 %1 题：依次填入画横线部分最恰当的一项是（ ）。</p>").arg(i + 1);
        q.questionOptions = {QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙"), QStringLiteral("丁")};
        // The last one's options come as the service often sends them: a paragraph each.
        if (i == 2) {
            q.questionOptions = {QStringLiteral("<p>增长约3%，比上年提高0个百分点</p>"),
                                 QStringLiteral("<p>增长约4%，比上年提高1个百分点</p>"),
                                 QStringLiteral("<p>%1</p>").arg(QString(QStringLiteral("城市更新不是简单的拆旧建新。")).repeated(5)),
                                 QStringLiteral("<p>H<sub>2</sub>O 的比重有所上升</p>")};
        }
        q.answer = QStringLiteral("A");
        set << q;
    }
    Question withMaterial;
    withMaterial.id = QStringLiteral("m1q");
    withMaterial.materialsId = QStringLiteral("m1");
    withMaterial.context = QStringLiteral("<p>根据上述资料，下列说法正确的是：</p>");
    set << withMaterial;
    QuestionModel questionModel;
    questionModel.materialsList = {Material{QStringLiteral("m1"), QStringLiteral("资料一"),
                                            QStringLiteral("<p>2023年全国粮食总产量为69541万吨，比上年增加888万吨，增长1.3%。</p>")}};
    questionModel.questionList = set;
    model.setQuestionModel(questionModel);
    CardMenu menu;
    menu.name = title;
    model.setSelectedMenu(menu);
    model.setSelectedExamBank(ExamBank{QStringLiteral("7"), QStringLiteral("行测题库"), 1});
    model.setQuestions(set);
    model.setAnswers({{QStringLiteral("q1"), QStringLiteral("B")}});
    model.setCurrentQuestionIndex(index);
    model.setScreen(AppScreen::questions);
    model.setStudyTransparencyEnabled(transparent);

    QQmlEngine engine;
    engine.addImportPath(QStringLiteral("qrc:/"));
    AppModelSingleton::install(&engine, &model);
    QQmlComponent component(&engine);
    component.setData(R"(
import QtQuick
import QtQuick.Window
import Vuzo
Window {
    width: 1100; height: 760; visible: true
    color: "#6c8fc7"
    property alias view: view
    Grid {
        anchors.fill: parent
        columns: 11
        Repeater {
            model: 88
            Rectangle { width: 100; height: 100; color: index % 2 ? "#5a7fb8" : "#86a3d2" }
        }
    }
    Rectangle { anchors.fill: parent; color: "white"; visible: !view.transparent }
    // The window zoom as the shell applies it: laid out smaller, drawn scaled.
    Item {
        id: zoomed
        property real contentScale: Qt.application.arguments.indexOf("--zoom") >= 0 ? 1.5 : 1
        width: parent.width / contentScale
        height: parent.height / contentScale
        scale: contentScale
        transformOrigin: Item.TopLeft
        QuestionView { id: view; anchors.fill: parent }
    }
}
)",
                      QUrl(QStringLiteral("qrc:/preview/Screen.qml")));
    std::unique_ptr<QObject> object(component.create());
    if (!object) {
        qWarning() << component.errorString();
        return 1;
    }
    auto *window = qobject_cast<QQuickWindow *>(object.get());
    if (width > 0)
        window->setWidth(width);
    auto *view = object->property("view").value<QQuickItem *>();
    view->setProperty("model", QVariant::fromValue<QObject *>(&model));
    if (args.contains(QStringLiteral("--confirm")))
        view->setProperty("showingSubmitConfirmation", true);
    QTest::qWait(4000);
    if (args.contains(QStringLiteral("--image"))) {
        QImage picture(480, 300, QImage::Format_RGB32);
        QPainter painter(&picture);
        painter.fillRect(picture.rect(), QColor(0xE8, 0xEE, 0xF7));
        painter.setBrush(QColor(0x3A, 0x7B, 0xD5));
        painter.drawEllipse(QPoint(240, 150), 110, 110);
        painter.end();
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "PNG");
        // The stem of the current page.
        const auto findIn = [](QQuickItem *from, const QString &name) {
            QList<QQuickItem *> pending{from};
            while (!pending.isEmpty()) {
                QQuickItem *item = pending.takeFirst();
                if (item->objectName() == name)
                    return item;
                pending.append(item->childItems());
            }
            return static_cast<QQuickItem *>(nullptr);
        };
        QQuickItem *page = findIn(view, QStringLiteral("page%1").arg(index));
        if (QQuickItem *stem = page ? findIn(page, QStringLiteral("stemView")) : nullptr)
            QMetaObject::invokeMethod(stem, "showImage",
                                      Q_ARG(QVariant, QStringLiteral("data:image/png;base64,")
                                                          + QString::fromLatin1(png.toBase64())));
        QTest::qWait(500);
    }
    window->grabWindow().save(args.at(1));
    object.reset();
    UserDefaults::setStandard(nullptr);
    return 0;
}
