#pragma once

namespace kinetra {

// The help line for a help status (0 focus, 1 editing, 2 committed); `transferActive` shows none.
struct HelpText {
    bool show;
    int message;
};
HelpText helpFor(int helpStatus, int comOnline);

} // namespace kinetra
