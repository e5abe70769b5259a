#include "tool_text_bindings.h"

#include "shared_state.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>

namespace kinetra {

void ToolTextBindings::bind(QWidget* widget, int entry, Role role, const SharedState& state)
{
    bindings_.push_back({widget, entry, role});
    show(bindings_.back(), state);
}

void ToolTextBindings::apply(const SharedState& state) const
{
    for (const Binding& binding : bindings_)
        show(binding, state);
}

void ToolTextBindings::show(const Binding& binding, const SharedState& state)
{
    QWidget* widget = binding.widget;
    if (!widget)
        return;
    const QString text = state.tool(binding.entry);
    if (binding.role == Role::Hint) {
        widget->setToolTip(text);
        if (auto* button = qobject_cast<QAbstractButton*>(widget); button && button->text().isEmpty())
            widget->setAccessibleName(text);
        return;
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(text);
        button->setAccessibleName(text);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(text);
        if (QWidget* buddy = label->buddy())
            buddy->setAccessibleName(text);
    } else if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
        frame->setTitle(text);
    }
}

} // namespace kinetra
