#pragma once

#include <QString>

namespace kinetra::bench {

// The argument that makes kinetra-bench start like the tool does and report the moment its
// main window is shown.
inline constexpr char kStartUpProbe[] = "--startup-probe";

// Starts this program with kStartUpProbe and returns the seconds from the start of the process
// to the main window shown; -1 when it failed.
double timeStartUp(const QString& settingsDir);

// The probe itself: main()'s start-up with settings in `settingsDir`; prints "shown" once the
// main window is on the (offscreen) screen.
int runStartUpProbe(int argc, char** argv, const QString& settingsDir);

} // namespace kinetra::bench
