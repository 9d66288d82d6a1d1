#include "ModalKeyGuard.h"

#include <QCoreApplication>
#include <QInputMethodQueryEvent>
#include <QList>
#include <QQuickWindow>
#include <utility>

namespace {

// Every guard that exists; few, and only ever touched on the GUI thread.
QList<ModalKeyGuard *> &guards()
{
    static QList<ModalKeyGuard *> all;
    return all;
}

// Asks the focused object the input method's own question: a text field,
// or an editable element in a web page, says yes.
bool takesText(QObject *focus)
{
    if (!focus)
        return false;
    QInputMethodQueryEvent query(Qt::ImEnabled);
    QCoreApplication::sendEvent(focus, &query);
    return query.value(Qt::ImEnabled).toBool();
}

} // namespace

ModalKeyGuard::ModalKeyGuard(QQuickItem *parent)
    : QQuickItem(parent)
{
    guards().append(this);
}

ModalKeyGuard::~ModalKeyGuard()
{
    guards().removeOne(this);
}

void ModalKeyGuard::setActive(bool active)
{
    if (m_active == active)
        return;
    m_active = active;
    Q_EMIT activeChanged();
}

bool ModalKeyGuard::keysBelongToScene(QQuickWindow *window)
{
    if (!window)
        return false;
    for (const ModalKeyGuard *guard : std::as_const(guards())) {
        // A card on a screen that is not shown holds nothing.
        if (guard->m_active && guard->window() == window && guard->isVisible())
            return true;
    }
    return takesText(window->focusObject());
}
