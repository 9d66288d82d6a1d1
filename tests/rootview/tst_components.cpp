// The design system's components on their own: what a user sees and can do.
#include "ViewTestSupport.h"

#include "views/ModalKeyGuard.h"
#include "views/Theme.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQmlProperty>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>
#include <QtQml/QQmlExtensionPlugin>

Q_IMPORT_QML_PLUGIN(VuzoPlugin)

namespace {

using ViewTest::findItem;

// Item colours keep 8 bits per channel.
bool near(double a, double b, double tolerance = 1.5 / 255)
{
    return std::abs(a - b) <= tolerance;
}

} // namespace

class TestComponents : public QObject
{
    Q_OBJECT

    QQmlEngine m_engine;
    std::unique_ptr<QQuickWindow> m_window;
    std::unique_ptr<QQuickItem> m_root;

    // Builds the QML scene as if it were a file of the module.
    QQuickItem *load(const QByteArray &qml)
    {
        QQmlComponent component(&m_engine);
        component.setData("import QtQuick\nimport Vuzo\n" + qml, QUrl(QStringLiteral("qrc:/Vuzo/ComponentTest.qml")));
        auto *item = qobject_cast<QQuickItem *>(component.create());
        if (!item) {
            qWarning() << component.errors();
            return nullptr;
        }
        m_root.reset(item);
        item->setParentItem(m_window->contentItem());
        return item;
    }
    QQuickItem *item(const char *name) const { return findItem(m_root.get(), QString::fromLatin1(name)); }
    void click(const QQuickItem *target, QPointF at = QPointF(-1, -1))
    {
        if (at.x() < 0)
            at = QPointF(target->width() / 2, target->height() / 2);
        QTest::mouseClick(m_window.get(), Qt::LeftButton, {}, target->mapToScene(at).toPoint());
    }

private Q_SLOTS:
    void init()
    {
        ViewTest::resetAppearance();
        m_window = std::make_unique<QQuickWindow>();
        m_window->resize(600, 500);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    void cleanup()
    {
        m_root.reset();
        m_window.reset();
    }

    void confirmationPanelKeysAndWidth()
    {
        QVERIFY(load(R"(Item {
            width: 600; height: 500
            property int cancels: 0
            property int confirms: 0
            AppConfirmationPanel {
                objectName: "short"; title: "提交练习"; message: "确定提交吗？"; confirmTitle: "提交"
                onCancelled: parent.cancels++; onConfirmed: parent.confirms++
            }
            AppConfirmationPanel {
                objectName: "long"; y: 200; title: "提交练习"; confirmTitle: "提交"
                message: "还有题目没有作答。还有题目没有作答。还有题目没有作答。还有题目没有作答。还有题目没有作答。还有题目没有作答。"
                confirmsOnReturn: false
                onCancelled: parent.cancels++; onConfirmed: parent.confirms++
            }
        })"));
        auto *shortPanel = item("short");
        shortPanel->forceActiveFocus();
        QTest::keyClick(m_window.get(), Qt::Key_Escape);
        QCOMPARE(m_root->property("cancels").toInt(), 1);
        QTest::keyClick(m_window.get(), Qt::Key_Return);
        QCOMPARE(m_root->property("confirms").toInt(), 1);
        auto *longPanel = item("long");
        // One that takes no Return: Return and Enter do nothing, Esc cancels.
        longPanel->forceActiveFocus();
        QTest::keyClick(m_window.get(), Qt::Key_Return);
        QTest::keyClick(m_window.get(), Qt::Key_Enter);
        QCOMPARE(m_root->property("confirms").toInt(), 1);
        QTest::keyClick(m_window.get(), Qt::Key_Escape);
        QCOMPARE(m_root->property("cancels").toInt(), 2);
        QCOMPARE(shortPanel->width(), 340.0);
        QCOMPARE(longPanel->width(), 340.0);
        QVERIFY(longPanel->implicitHeight() > shortPanel->implicitHeight());
    }

    void primaryButtonLooks()
    {
        QVERIFY(load(R"(Item {
            width: 600; height: 500
            property int clicks: 0
            PrimaryButton { objectName: "filled"; text: "开始练习"; filled: true; onClicked: parent.clicks++ }
            PrimaryButton { objectName: "light"; y: 60; text: "查看解析" }
            PrimaryButton { objectName: "clear"; y: 120; text: "再来一次"; filled: true; transparent: true }
        })"));
        auto *filled = item("filled");
        QCOMPARE(findItem(filled, QStringLiteral("primaryCapsule"))->property("color").value<QColor>(), Theme::appPrimary());
        QCOMPARE(findItem(filled, QStringLiteral("primaryLabel"))->property("color").value<QColor>(), QColor(Qt::white));
        QVERIFY(filled->height() >= 42);
        const QPoint centre = filled->mapToScene(QPointF(filled->width() / 2, filled->height() / 2)).toPoint();
        QTest::mousePress(m_window.get(), Qt::LeftButton, {}, centre);
        QCOMPARE(filled->scale(), 0.98);
        QVERIFY(near(findItem(filled, QStringLiteral("primaryCapsule"))->property("color").value<QColor>().alphaF(), 0.78));
        QTest::mouseRelease(m_window.get(), Qt::LeftButton, {}, centre);
        QCOMPARE(filled->scale(), 1.0);
        QCOMPARE(m_root->property("clicks").toInt(), 1);

        const QColor light = findItem(item("light"), QStringLiteral("primaryCapsule"))->property("color").value<QColor>();
        QCOMPARE(light, QColor::fromRgbF(0.894f, 0.941f, 1.0f));
        // An active ink tints the light look instead.
        TransparentInkPalette::setActive(true);
        const QColor tinted = findItem(item("light"), QStringLiteral("primaryCapsule"))->property("color").value<QColor>();
        QVERIFY(near(tinted.alphaF(), 0.14));

        // Transparent wins over filled: a clear capsule with an accent outline.
        auto *clear = item("clear");
        auto *capsule = findItem(clear, QStringLiteral("primaryCapsule"));
        QCOMPARE(capsule->property("color").value<QColor>().alpha(), 0);
        QCOMPARE(QQmlProperty::read(capsule, QStringLiteral("border.width")).toDouble(), 1.0);
        QTRY_VERIFY(near(findItem(clear, QStringLiteral("primaryLabel"))->property("color").value<QColor>().alphaF(), 0.83));
    }

    void bannerLooks_data()
    {
        QTest::addColumn<double>("level");
        QTest::addColumn<double>("fill");
        QTest::addColumn<double>("outline");
        QTest::addColumn<double>("text");
        QTest::newRow("L1.65") << 1.65 << 0.099 << 0.693 << 1.0;
        QTest::newRow("L0.35") << 0.35 << 0.021 << 0.147 << 0.35;
    }
    void bannerLooks()
    {
        QFETCH(double, level);
        QFETCH(double, fill);
        QFETCH(double, outline);
        QFETCH(double, text);
        QVERIFY(load(R"(Item {
            width: 600; height: 500
            property int dismissals: 0
            MessageBanner { objectName: "error"; message: "出错了"; isError: true; onDismissed: parent.dismissals++ }
            MessageBanner { objectName: "clear"; y: 80; message: "已保存"; transparent: true }
        })"));
        auto *error = item("error");
        QCOMPARE(findItem(error, QStringLiteral("bannerCapsule"))->property("color").value<QColor>(), Theme::appRed());
        QCOMPARE(findItem(error, QStringLiteral("bannerText"))->property("color").value<QColor>(), QColor(Qt::white));
        click(findItem(error, QStringLiteral("bannerText")));
        QCOMPARE(m_root->property("dismissals").toInt(), 0);
        click(findItem(error, QStringLiteral("bannerCloseButton")));
        QCOMPARE(m_root->property("dismissals").toInt(), 1);

        TransparentInkPalette::setActive(true);
        TransparentAppearanceScale::setCurrentValue(level);
        auto *clear = item("clear");
        auto *capsule = findItem(clear, QStringLiteral("bannerCapsule"));
        QVERIFY(near(capsule->property("color").value<QColor>().alphaF(), fill));
        QVERIFY(near(QQmlProperty::read(capsule, QStringLiteral("border.color")).value<QColor>().alphaF(), outline));
        QVERIFY(near(findItem(clear, QStringLiteral("bannerText"))->property("color").value<QColor>().alphaF(), text));
    }

    void modalTakesEveryClickOutsideItsCard()
    {
        QVERIFY(load(R"(Item {
            width: 600; height: 500
            property int contentClicks: 0
            property int dismissals: 0
            property bool shown: false
            property bool dims: false
            property bool see: false
            property string message: "短"
            MouseArea { anchors.fill: parent; acceptedButtons: Qt.AllButtons; onClicked: parent.contentClicks++ }
            AppModal {
                objectName: "modal"
                isPresented: parent.shown
                dimsBackground: parent.dims
                transparent: parent.see
                alignment: Qt.AlignTop
                topInset: 60
                cornerRadius: 22
                onDismissed: parent.dismissals++
                card: Component { Rectangle { objectName: "card"; width: 200; height: text.implicitHeight + 40
                    Text { id: text; width: 180; wrapMode: Text.Wrap; text: root.message } } }
            }
            id: root
        })"));
        click(m_root.get(), QPointF(20, 480));
        QCOMPARE(m_root->property("contentClicks").toInt(), 1);

        m_root->setProperty("shown", true);
        QTest::qWait(250);
        auto *card = item("card");
        QVERIFY(card && card->isVisible());
        // Placed at the top within the insets, centred across.
        QCOMPARE(card->mapToScene(QPointF(0, 0)), QPointF(200, 60));
        auto *backdrop = findItem(item("modal"), QStringLiteral("modalBackdrop"));
        const double dimming = backdrop->childItems().first()->opacity();
        QVERIFY(dimming < 0.01 && dimming > 0); // invisible, yet it takes clicks
        click(m_root.get(), QPointF(20, 480));
        QCOMPARE(m_root->property("dismissals").toInt(), 1);
        QCOMPARE(m_root->property("contentClicks").toInt(), 1);
        click(card, QPointF(100, 10));
        QCOMPARE(m_root->property("dismissals").toInt(), 1);
        // Only the primary button dismisses; the others stop at the backdrop.
        QTest::mouseClick(m_window.get(), Qt::RightButton, {}, QPoint(20, 480));
        QTest::mouseClick(m_window.get(), Qt::MiddleButton, {}, QPoint(20, 480));
        QCOMPARE(m_root->property("dismissals").toInt(), 1);
        QCOMPARE(m_root->property("contentClicks").toInt(), 1);
        // A corner outside the card's rounded shape belongs to the backdrop;
        // just inside the arc it is the card's.
        click(card, QPointF(3, 3));
        QCOMPARE(m_root->property("dismissals").toInt(), 2);
        click(card, QPointF(card->width() - 12, 12));
        QCOMPARE(m_root->property("dismissals").toInt(), 2);
        QCOMPARE(m_root->property("contentClicks").toInt(), 1);

        // The measured size follows the card.
        const double before = item("modal")->property("modalSize").toSizeF().height();
        m_root->setProperty("message", QStringLiteral("很长的一段文字，").repeated(12));
        QTRY_VERIFY(item("modal")->property("modalSize").toSizeF().height() > before);

        m_root->setProperty("shown", false);
        QCOMPARE(item("modal")->property("modalSize").toSizeF(), QSizeF(0, 0));
        QTest::qWait(250);
        click(m_root.get(), QPointF(20, 480));
        QCOMPARE(m_root->property("contentClicks").toInt(), 2);
    }

    // Only the normal look darkens, and only when asked to; the see-through
    // page never does, yet its backdrop still takes the dismissing click.
    void modalBackdropDimsOnlyTheNormalLook_data()
    {
        QTest::addColumn<bool>("transparent");
        QTest::addColumn<bool>("dims");
        QTest::addColumn<double>("opacity");
        QTest::newRow("normal, dimming") << false << true << 0.12;
        QTest::newRow("normal, not dimming") << false << false << 1.0 / 255;
        QTest::newRow("transparent, dimming") << true << true << 1.0 / 255;
        QTest::newRow("transparent, not dimming") << true << false << 1.0 / 255;
    }
    void modalBackdropDimsOnlyTheNormalLook()
    {
        QFETCH(bool, transparent);
        QFETCH(bool, dims);
        QFETCH(double, opacity);
        QVERIFY(load(QByteArray(R"(Item {
            width: 600; height: 500
            property int dismissals: 0
            AppModal {
                objectName: "modal"
                isPresented: true
                transparent: %1
                dimsBackground: %2
                onDismissed: parent.dismissals++
                card: Component { Rectangle { width: 200; height: 120 } }
            }
        })").replace("%1", transparent ? "true" : "false").replace("%2", dims ? "true" : "false")));
        auto *dimming = findItem(item("modal"), QStringLiteral("modalBackdrop"))->childItems().first();
        QTRY_VERIFY(near(dimming->opacity(), opacity, 0.0005));
        QVERIFY(dimming->opacity() > 0); // hit-testable
        click(m_root.get(), QPointF(20, 480));
        QCOMPARE(m_root->property("dismissals").toInt(), 1);
    }

    // A presented card holds its window's keys, whatever its content; so does
    // a focused text field that takes typing. A dismissed card (also while it
    // fades out) or one on a hidden screen holds nothing.
    void modalHoldsTheWindowKeys()
    {
        QVERIFY(load(R"(Item {
            id: root
            width: 600; height: 500
            property bool shown: false
            TextInput { objectName: "field"; width: 100; height: 20; text: "#212636" }
            Item {
                objectName: "screen"
                anchors.fill: parent
                AppModal {
                    objectName: "modal"
                    isPresented: root.shown
                    card: Component { Rectangle { width: 200; height: 120 } }
                }
            }
        })"));
        QQuickWindow *window = m_window.get();
        QVERIFY(!ModalKeyGuard::keysBelongToScene(window));
        m_root->setProperty("shown", true);
        QVERIFY(ModalKeyGuard::keysBelongToScene(window));
        item("screen")->setVisible(false);
        QVERIFY(!ModalKeyGuard::keysBelongToScene(window));
        item("screen")->setVisible(true);
        QVERIFY(ModalKeyGuard::keysBelongToScene(window));
        QTest::qWait(250);
        m_root->setProperty("shown", false);
        QVERIFY(item("modal")->isVisible()); // fading out
        QVERIFY(!ModalKeyGuard::keysBelongToScene(window));
        // Another window's card is not this window's.
        QQuickWindow other;
        m_root->setProperty("shown", true);
        QVERIFY(!ModalKeyGuard::keysBelongToScene(&other));
        m_root->setProperty("shown", false);

        QQuickItem *field = item("field");
        window->requestActivate();
        field->forceActiveFocus();
        QTRY_VERIFY(field->hasActiveFocus());
        QVERIFY(ModalKeyGuard::keysBelongToScene(window));
        field->setProperty("readOnly", true);
        QVERIFY(!ModalKeyGuard::keysBelongToScene(window));
        field->setProperty("readOnly", false);
        QVERIFY(ModalKeyGuard::keysBelongToScene(window));
        field->setFocus(false);
        QVERIFY(!ModalKeyGuard::keysBelongToScene(window));
    }

    // A card lives for one presentation: presented again while it fades out,
    // the modal builds a new one, and the fading card takes no clicks.
    void modalCardLivesOnePresentation()
    {
        QVERIFY(load(R"(Item {
            id: root
            width: 600; height: 500
            property bool shown: false
            property int made: 0
            property int confirms: 0
            property int contentClicks: 0
            MouseArea { anchors.fill: parent; onClicked: root.contentClicks++ }
            AppModal {
                objectName: "modal"
                isPresented: root.shown
                onDismissed: root.shown = false
                card: Component { Rectangle {
                    objectName: "card"; width: 200; height: 120
                    property int edits: 0
                    Component.onCompleted: root.made++
                    MouseArea { objectName: "confirm"; x: 50; y: 40; width: 100; height: 40; onClicked: root.confirms++ }
                } }
            }
        })"));
        auto *modal = item("modal");
        m_root->setProperty("shown", true);
        QTest::qWait(250);
        auto *first = modal->property("cardItem").value<QQuickItem *>();
        QVERIFY(first);
        first->setProperty("edits", 3);
        const QPoint confirmAt = item("confirm")->mapToScene(QPointF(50, 20)).toPoint();

        m_root->setProperty("shown", false);
        QVERIFY(modal->isVisible()); // fading out
        QTest::mouseClick(m_window.get(), Qt::LeftButton, {}, confirmAt);
        QCOMPARE(m_root->property("confirms").toInt(), 0);
        QCOMPARE(m_root->property("contentClicks").toInt(), 1);

        m_root->setProperty("shown", true);
        QCOMPARE(m_root->property("made").toInt(), 2);
        auto *second = modal->property("cardItem").value<QQuickItem *>();
        QVERIFY(second);
        QCOMPARE(second->property("edits").toInt(), 0);
        QTest::qWait(250);
        QTest::mouseClick(m_window.get(), Qt::LeftButton, {}, confirmAt);
        QCOMPARE(m_root->property("confirms").toInt(), 1);

        // Gone once faded out.
        m_root->setProperty("shown", false);
        QTRY_VERIFY(!modal->property("cardItem").value<QQuickItem *>());
        QVERIFY(!modal->isVisible());
    }

    void emptyStateShowsItsTitle()
    {
        QVERIFY(load(R"(EmptyStateView { width: 600; height: 500; title: "暂无题目"; systemImage: "doc.text" })"));
        QList<QQuickItem *> texts;
        std::function<void(QQuickItem *)> collect = [&](QQuickItem *from) {
            if (from->property("text").toString() == QStringLiteral("暂无题目"))
                texts << from;
            for (QQuickItem *child : from->childItems())
                collect(child);
        };
        collect(m_root.get());
        QCOMPARE(texts.size(), 1);
        QCOMPARE(texts.first()->property("color").value<QColor>().rgba(), Theme::appSecondary().rgba());
    }
};

QTEST_MAIN(TestComponents)
#include "tst_components.moc"
