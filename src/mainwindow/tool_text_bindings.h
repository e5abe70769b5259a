#pragma once

#include <QPointer>
#include <QWidget>

#include <vector>

namespace kinetra {

struct SharedState;

// The main window's widgets whose texts come from the language files' seventh section. A widget
// is bound once, when it is built, and shows its text at once; every language load shows them
// all again.
class ToolTextBindings {
public:
    enum class Role {
        Caption, // a button's or check box's text (also its accessible name), a label's, a frame's title
        Hint,    // the tool tip (and, for a picture button, its accessible name)
    };
    void bind(QWidget* widget, int entry, Role role, const SharedState& state);
    void apply(const SharedState& state) const;

private:
    struct Binding {
        QPointer<QWidget> widget;
        int entry;
        Role role;
    };
    static void show(const Binding& binding, const SharedState& state);
    std::vector<Binding> bindings_;
};

} // namespace kinetra
