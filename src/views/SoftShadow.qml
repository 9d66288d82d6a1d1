import QtQuick

// The soft shadow of a rounded shape. Lay it over the casting item's
// geometry (anchors.fill: caster), below the caster; it draws around that
// rectangle, never under it, so a clear caster shows no dark inside.
// One precompiled shader on one quad: no blur pass and no layer at run time,
// so any number of shadows costs about as much as plain rectangles.
//
// radius: the blur radius in points (a Gaussian of radius / 2);
// offsetX, offsetY: where the shadow falls; color: the shadow colour with
// its opacity; cornerRadius: the corner radius of the casting shape.
// openTop, openBottom: the shape goes on past this item's top or bottom
// edge (a card drawn in slices): no shadow edge there, nothing drawn beyond.
Item {
    id: shadow
    property real radius: 12
    property real offsetX: 0
    property real offsetY: 4
    property color color: Qt.rgba(0, 0, 0, 0.045)
    property real cornerRadius: 14
    property bool openTop: false
    property bool openBottom: false

    readonly property real reach: Math.ceil(1.5 * radius + Math.max(Math.abs(offsetX), Math.abs(offsetY))) + 1

    // Made only while it shows, so hidden shadows (closed modals, the other
    // look) load no shader. The software renderer has no shaders at all.
    Loader {
        active: shadow.visible && shadow.color.a > 0 && shadow.width > 0 && shadow.height > 0
                && GraphicsInfo.api !== GraphicsInfo.Software
        sourceComponent: effect
    }

    Component {
        id: effect
        ShaderEffect {
            readonly property real far: 100000
            x: -shadow.reach
            y: shadow.openTop ? 0 : -shadow.reach
            width: shadow.width + 2 * shadow.reach
            height: shadow.height + (shadow.openTop ? 0 : shadow.reach) + (shadow.openBottom ? 0 : shadow.reach)

            property size areaSize: Qt.size(width, height)
            property vector4d shape: Qt.vector4d(shadow.reach,
                                                 shadow.openTop ? -far : shadow.reach,
                                                 shadow.width,
                                                 shadow.height + (shadow.openTop ? far : 0) + (shadow.openBottom ? far : 0))
            property point offset: Qt.point(shadow.offsetX, shadow.offsetY)
            property real cornerRadius: shadow.cornerRadius
            property real sigma: shadow.radius / 2
            property vector4d tint: Qt.vector4d(shadow.color.r, shadow.color.g, shadow.color.b, shadow.color.a)
            fragmentShader: "qrc:/Vuzo/shaders/SoftShadow.frag.qsb"
        }
    }
}
