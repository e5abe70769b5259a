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
    const QPoint centre = widget->rect().center();
    const QPointF local = widget->mapTo(top, centre);
    const QPointF global = widget->mapToGlobal(centre);
    for (const auto& [state, type] : {std::pair{Qt::MouseButtons(Qt::LeftButton), QEvent::MouseButtonPress},
                                      {Qt::MouseButtons(Qt::NoButton), QEvent::MouseButtonRelease}})
        QWindowSystemInterface::handleMouseEvent<QueuedDelivery>(window, local, global, state, Qt::LeftButton, type);
}

// A key pressed and released in the window of `widget`; it goes to whichever widget has the focus.
inline void queueKey(QWidget* widget, int key, const QString& text = {}, Qt::KeyboardModifiers modifiers = {})
{
    QWindow* window = widget->window()->windowHandle();
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease})
        QWindowSystemInterface::handleKeyEvent<QueuedDelivery>(window, type, key, modifiers, text);
}

// A click into the box, everything in it selected, `text` typed over it, and Enter.
inline void queueEntry(QWidget* box, const QString& text)
{
    queueClick(box);
    queueKey(box, Qt::Key_A, QStringLiteral("\x01"), Qt::ControlModifier);
    for (const QChar c : text)
        queueKey(box, c.isDigit() ? Qt::Key_0 + c.digitValue() : c.toUpper().unicode(), QString(c));
    queueKey(box, Qt::Key_Return, QStringLiteral("\r"));
}

} // namespace kinetra::test
