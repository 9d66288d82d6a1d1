#pragma once

#include <QColor>
#include <QQuickPaintedItem>
#include <QString>
#include <QSvgRenderer>
#include <QtQml/qqmlregistration.h>

// One of the program's own symbols (resources/icons/<name>.svg), drawn in a
// colour. The symbol files draw in "currentColor", which is replaced by the
// colour; the colour's opacity becomes the painter's opacity. An unknown name
// draws the fallback symbol.
class SymbolIcon : public QQuickPaintedItem
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(QString name READ name WRITE setName NOTIFY nameChanged)
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(bool known READ known NOTIFY nameChanged)

public:
    explicit SymbolIcon(QQuickItem *parent = nullptr);

    [[nodiscard]] QString name() const { return m_name; }
    void setName(const QString &name);
    [[nodiscard]] QColor color() const { return m_color; }
    void setColor(const QColor &color);
    // Whether the name is one of the program's symbols.
    [[nodiscard]] bool known() const { return m_known; }

    // The resource of a symbol name, empty when there is none.
    [[nodiscard]] static QString resourcePath(const QString &name);

    void paint(QPainter *painter) override;

Q_SIGNALS:
    void nameChanged();
    void colorChanged();

private:
    void reload();

    QString m_name;
    QColor m_color = Qt::black;
    bool m_known = false;
    QByteArray m_source;
    QSvgRenderer m_renderer;
};
