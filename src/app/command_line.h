#pragma once

#include <optional>

namespace kinetra {

// --version and --help are answered on the terminal, and a start without a display is refused
// with a word instead of Qt's abort: the exit code, or none when the window is to start.
std::optional<int> answerWithoutWindow(int argc, char* argv[]);

} // namespace kinetra
