#pragma once

#include <QQuickPaintedItem>
#include <QtQml/qqmlregistration.h>

// One of the three round window buttons at the leading end of the header,
// drawn by us: close, minimize, and maximize/restore. The glyph shows while
// the pointer is over the button group or the button is pressed.
class WindowButton : public QQuickPaintedItem
{
    Q_OBJECT
    QML_ELEMENT

public:
    enum Kind { Close, Minimize, Maximize };
    Q_ENUM(Kind)

private:
    Q_PROPERTY(Kind kind READ kind WRITE setKind NOTIFY appearanceChanged)
    Q_PROPERTY(bool showsSymbol READ showsSymbol WRITE setShowsSymbol NOTIFY appearanceChanged)
    Q_PROPERTY(bool pressed READ pressed WRITE setPressed NOTIFY appearanceChanged)
    Q_PROPERTY(bool maximized READ maximized WRITE setMaximized NOTIFY appearanceChanged)

public:
    explicit WindowButton(QQuickItem *parent = nullptr);

    [[nodiscard]] Kind kind() const { return m_kind; }
    void setKind(Kind kind);
    [[nodiscard]] bool showsSymbol() const { return m_showsSymbol; }
    void setShowsSymbol(bool shows);
    [[nodiscard]] bool pressed() const { return m_pressed; }
    void setPressed(bool pressed);
    [[nodiscard]] bool maximized() const { return m_maximized; }
    void setMaximized(bool maximized);

    // The two triangles of the maximize (false) or restore (true) glyph in
    // the button's 14 × 14 space, y pointing down.
    [[nodiscard]] static QPolygonF maximizeGlyph(bool maximized, int triangle);

    void paint(QPainter *painter) override;

Q_SIGNALS:
    void appearanceChanged();

private:
    void paintMaximize(QPainter *painter) const;

    Kind m_kind = Close;
    bool m_showsSymbol = false;
    bool m_pressed = false;
    bool m_maximized = false;
};
