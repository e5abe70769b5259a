#pragma once

#include <QString>

namespace kinetra {

class WindowElements;
struct SharedState;

// The input lock of the main window: while it is on, the parameter frames and the commands that
// change what the drive keeps are disabled. Each rule enables or disables its controls through
// the window elements and returns the window caption it calls for.

// The lock box changed to `locked`.
QString applyInputLockChangeRule(WindowElements& window, const SharedState& state, bool locked);
// The start of the program, after the change rule (when that ran).
QString applyInputLockStartRule(WindowElements& window, const SharedState& state, bool locked);

} // namespace kinetra
