#pragma once

#include "window_elements.h"

namespace kinetra {
struct SharedState;
}

namespace kinetra::cli {

class Console;

// The window as the link sees it, on a console: the progress bars become the bar on standard
// error and the help line's texts (drive found, no drive found, saving) become messages. Every
// other element does not exist here, which the link takes as a silent no-op.
class ConsoleWindow : public WindowElements {
public:
    ConsoleWindow(Console& console, const SharedState& state) : console_(console), state_(state) {}

    void setText(const Element& element, const QString& text) override;
    void setValue(const Element& element, int value) override;

private:
    Console& console_;
    const SharedState& state_;
    QString lastHelp_;
};

} // namespace kinetra::cli
