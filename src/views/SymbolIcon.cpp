#include "SymbolIcon.h"

#include <QFile>
#include <QPainter>

namespace {

const QString fallbackName = QStringLiteral("questionmark.square.dashed");

QByteArray readSymbol(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace

SymbolIcon::SymbolIcon(QQuickItem *parent)
    : QQuickPaintedItem(parent)
{
    setAntialiasing(true);
}

QString SymbolIcon::resourcePath(const QString &name)
{
    // Names are symbol identifiers ("xmark", "sun.max.fill"): nothing that
    // could step out of the icon folder.
    for (const QChar c : name) {
        if (!(c.isLetterOrNumber() || c == QLatin1Char('.') || c == QLatin1Char('-') || c == QLatin1Char('_')))
            return {};
    }
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')))
        return {};
    const QString path = QStringLiteral(":/Vuzo/icons/") + name + QStringLiteral(".svg");
    return QFile::exists(path) ? path : QString();
}

void SymbolIcon::setName(const QString &name)
{
    if (m_name == name)
        return;
    m_name = name;
    const QString path = resourcePath(name);
    m_known = !path.isEmpty();
    m_source = readSymbol(m_known ? path : resourcePath(fallbackName));
    reload();
    Q_EMIT nameChanged();
}

void SymbolIcon::setColor(const QColor &color)
{
    if (m_color == color)
        return;
    const bool rgbChanged = m_color.rgb() != color.rgb();
    m_color = color;
    if (rgbChanged)
        reload();
    else
        update();
    Q_EMIT colorChanged();
}

void SymbolIcon::reload()
{
    QByteArray svg = m_source;
    svg.replace("currentColor", m_color.name(QColor::HexRgb).toLatin1());
    m_renderer.load(svg);
    update();
}

void SymbolIcon::paint(QPainter *painter)
{
    if (!m_renderer.isValid() || m_color.alphaF() <= 0)
        return;
    const QSizeF box = size();
    QSizeF symbol = m_renderer.defaultSize();
    if (symbol.isEmpty())
        symbol = box;
    symbol.scale(box, Qt::KeepAspectRatio);
    const QRectF target(QPointF((box.width() - symbol.width()) / 2, (box.height() - symbol.height()) / 2), symbol);
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setOpacity(m_color.alphaF());
    m_renderer.render(painter, target);
}
