#pragma once

// Input as the window system delivers it: queued, and taken by the first event loop pass that
// takes user input (so a wait that holds input leaves it queued).
#include <QWidget>
#include <QWindow>
#include <QtGui/qpa/qwindowsysteminterface.h>

namespace kinetra::test {

using QueuedDelivery = QWindowSystemInterface::AsynchronousDelivery;

// A left click in the middle of `widget`, whose window is shown.
inline void queueClick(QWidget* widget)
{
    QWidget* top = widget->window();
    QWindow* window = top->windowHandle();
    if (!window)
        return;
    const QPoint centre = widget->rect().center();
    const QPointF local = widget->mapTo(top, centre);
    const QPointF global = widget->mapToGlobal(centre);
    QWindowSystemInterface::handleMouseEvent<QueuedDelivery>(window, local, global, Qt::LeftButton, Qt::LeftButton,
                                                             QEvent::MouseButtonPress);
    QWindowSystemInterface::handleMouseEvent<QueuedDelivery>(window, local, global, Qt::NoButton, Qt::LeftButton,
                                                             QEvent::MouseButtonRelease);
}

} // namespace kinetra::test
