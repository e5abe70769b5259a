#pragma once

#include <QString>

namespace kinetra {

class DisplayHandOver;
class WindowElements;
struct SharedState;

// Routes every received value to the element of the main window that shows it. It never sends
// anything and never changes the table; a step that cannot be done (no such element, not a
// number, a position outside the list, an empty slot) is skipped without a word.
class ValueDisplay {
public:
    ValueDisplay(SharedState& state, WindowElements& window);

    // Where the values with logic of their own go; none: they are only routed.
    void setHandOver(DisplayHandOver* handOver) { handOver_ = handOver; }

    // `value` is the raw value text; afterwards it holds the display text, which the caller
    // sees too. `index` is the command number that names the value.
    void showValues(QString& value, int index);

private:
    void showCorrectionBar(const QString& value);

    SharedState& state_;
    WindowElements& window_;
    DisplayHandOver* handOver_ = nullptr;
};

} // namespace kinetra
