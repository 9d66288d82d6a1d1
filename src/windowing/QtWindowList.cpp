#include "QtWindowList.h"

#include <QGuiApplication>
#include <QWindow>

QtWindowList::QtWindowList(QWindow *panel)
    : m_panel(panel)
{
}

QList<QRectF> QtWindowList::otherVisibleWindowFrames() const
{
    QList<QRectF> frames;
    for (const QWindow *window : QGuiApplication::topLevelWindows()) {
        if (window == m_panel || !window->isVisible() || window->windowStates().testFlag(Qt::WindowMinimized))
            continue;
        frames.append(QRectF(window->frameGeometry()));
    }
    return frames;
}
