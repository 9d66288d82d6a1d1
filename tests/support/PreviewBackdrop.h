#pragma once

// A busy picture behind a previewed panel, so that transparency shows. For the
// preview programs that save pictures while developing.

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QWidget>

class PreviewBackdrop : public QWidget
{
protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        QLinearGradient gradient(0, 0, width(), height());
        gradient.setColorAt(0, QColor(0x3A, 0x7B, 0xD5));
        gradient.setColorAt(1, QColor(0xF2, 0xA6, 0x5A));
        p.fillRect(rect(), gradient);
        p.setPen(QColor(255, 255, 255, 170));
        QFont font = p.font();
        font.setPixelSize(22);
        p.setFont(font);
        for (int y = 30; y < height(); y += 46)
            p.drawText(20, y, QStringLiteral("背景文字 Background text 1234567890 背景文字 Background text"));
    }
};
