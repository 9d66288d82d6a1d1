#include "RoundedCornerCutout.h"

#include <QQuickWindow>
#include <QSGGeometry>
#include <QSGGeometryNode>
#include <QSGMaterial>
#include <QSGMaterialShader>
#include <QSGRendererInterface>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace {

class CornerCutoutMaterial : public QSGMaterial
{
public:
    CornerCutoutMaterial() { setFlag(Blending); }

    [[nodiscard]] QSGMaterialType *type() const override
    {
        static QSGMaterialType kind;
        return &kind;
    }
    [[nodiscard]] QSGMaterialShader *createShader(QSGRendererInterface::RenderMode) const override;
    [[nodiscard]] int compare(const QSGMaterial *other) const override
    {
        const float theirs = static_cast<const CornerCutoutMaterial *>(other)->radius;
        return radius < theirs ? -1 : (radius > theirs ? 1 : 0);
    }

    float radius = 0;
};

class CornerCutoutShader : public QSGMaterialShader
{
public:
    CornerCutoutShader()
    {
        setShaderFileName(VertexStage, QStringLiteral(":/Vuzo/shaders/cornercutout.vert.qsb"));
        setShaderFileName(FragmentStage, QStringLiteral(":/Vuzo/shaders/cornercutout.frag.qsb"));
        setFlag(UpdatesGraphicsPipelineState);
    }

    bool updateUniformData(RenderState &state, QSGMaterial *newMaterial, QSGMaterial *oldMaterial) override
    {
        QByteArray *buffer = state.uniformData();
        bool changed = false;
        if (state.isMatrixDirty()) {
            std::memcpy(buffer->data(), state.combinedMatrix().constData(), 64);
            changed = true;
        }
        const float radius = static_cast<CornerCutoutMaterial *>(newMaterial)->radius;
        if (!oldMaterial || static_cast<CornerCutoutMaterial *>(oldMaterial)->radius != radius) {
            std::memcpy(buffer->data() + 64, &radius, sizeof radius);
            changed = true;
        }
        return changed;
    }

    bool updateGraphicsPipelineState(RenderState &, GraphicsPipelineState *state, QSGMaterial *,
                                     QSGMaterial *) override
    {
        // What is drawn keeps (1 - coverage) of itself, colour and alpha alike.
        state->blendEnable = true;
        state->srcColor = GraphicsPipelineState::Zero;
        state->dstColor = GraphicsPipelineState::OneMinusSrcAlpha;
        return true;
    }
};

QSGMaterialShader *CornerCutoutMaterial::createShader(QSGRendererInterface::RenderMode) const
{
    return new CornerCutoutShader;
}

} // namespace

RoundedCornerCutout::RoundedCornerCutout(QQuickItem *parent)
    : QQuickItem(parent)
{
    setFlag(ItemHasContents, true);
}

void RoundedCornerCutout::setRadius(qreal radius)
{
    if (!std::isfinite(radius))
        radius = 0;
    if (qFuzzyCompare(m_radius, radius))
        return;
    m_radius = radius;
    update();
    Q_EMIT radiusChanged();
}

void RoundedCornerCutout::geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry)
{
    QQuickItem::geometryChange(newGeometry, oldGeometry);
    if (newGeometry.size() != oldGeometry.size())
        update();
}

QSGNode *RoundedCornerCutout::updatePaintNode(QSGNode *oldNode, UpdatePaintNodeData *)
{
    const qreal w = width();
    const qreal h = height();
    const qreal r = std::min({m_radius, w / 2, h / 2});
    const bool software = window() && window()->rendererInterface()
        && window()->rendererInterface()->graphicsApi() == QSGRendererInterface::Software;
    if (r <= 0 || software) {
        delete oldNode;
        return nullptr;
    }

    auto *node = static_cast<QSGGeometryNode *>(oldNode);
    if (!node) {
        node = new QSGGeometryNode;
        auto *geometry = new QSGGeometry(QSGGeometry::defaultAttributes_TexturedPoint2D(), 24);
        geometry->setDrawingMode(QSGGeometry::DrawTriangles);
        node->setGeometry(geometry);
        node->setFlag(QSGNode::OwnsGeometry);
        node->setMaterial(new CornerCutoutMaterial);
        node->setFlag(QSGNode::OwnsMaterial);
    }

    // One r x r square per corner; each vertex carries its offset from the
    // centre of that corner's arc.
    struct Corner
    {
        qreal x;
        qreal y;
        qreal centreX;
        qreal centreY;
    };
    const std::array<Corner, 4> corners{{
        {0, 0, r, r},
        {w - r, 0, w - r, r},
        {0, h - r, r, h - r},
        {w - r, h - r, w - r, h - r},
    }};
    QSGGeometry::TexturedPoint2D *vertices = node->geometry()->vertexDataAsTexturedPoint2D();
    int i = 0;
    for (const Corner &corner : corners) {
        const auto put = [&](qreal x, qreal y) {
            vertices[i++].set(float(x), float(y), float(x - corner.centreX), float(y - corner.centreY));
        };
        put(corner.x, corner.y);
        put(corner.x + r, corner.y);
        put(corner.x, corner.y + r);
        put(corner.x + r, corner.y);
        put(corner.x + r, corner.y + r);
        put(corner.x, corner.y + r);
    }
    static_cast<CornerCutoutMaterial *>(node->material())->radius = float(r);
    node->markDirty(QSGNode::DirtyGeometry | QSGNode::DirtyMaterial);
    return node;
}
