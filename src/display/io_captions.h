#pragma once

#include <QString>

namespace kinetra {

class DisplayWindow;
class WindowElements;

// The caption lblEA(line) of input/output line 0-3 on the diagnostics page: "IN1 (", "IN2 (",
// "IN3 (" or "OUT (", the function chosen at `position` of that line's list (cmbPara 2146 +
// line), and ")". A position outside the list leaves the caption as it is.
void showIoCaption(WindowElements& window, const DisplayWindow& extra, int line, int position);

// The same from the list value's display text; a text that is no whole number changes nothing.
void showIoCaption(WindowElements& window, const DisplayWindow& extra, int line, const QString& text);

} // namespace kinetra
