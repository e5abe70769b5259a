#pragma once

#include "../ui/window_rig.h"

#include <QCoreApplication>

namespace kinetra::test {

// The main window with the language files beside the program and the live display wired as the
// program wires it, started at 1280 x 800 and connected on demand.
struct DiagnoseWindowRig : WindowRig {
    explicit DiagnoseWindowRig(const sim::DriveConfig& config, int language = 1)
        : WindowRig(config, {{"Language", QString::number(language)}, {"Decpnt", "0"}, {"Encoder", "0"}},
                    Presets::Written, QCoreApplication::applicationDirPath())
    {
        window->resize(1280, 800);
        started();
    }

    // Connects and lets live polling run every `pollMs` milliseconds.
    bool connect(int pollMs = 20)
    {
        com->cmdConnect();
        com->timerReceive().setInterval(pollMs);
        return state.comOnline == 1 && state.paramsLoaded == 1;
    }
    // Drives to `target` (raw units) with the start command, then lets `seconds` pass.
    void moveTo(qint64 target, double seconds)
    {
        com->WriteCom(11, 2101, target);
        com->WriteCom(11, 2152, 128);
        clock.advance(seconds);
    }
    // Found by element name and index.
    template <class T = QWidget> T* find(const QString& name, int index = 0) const
    {
        return window->elementAs<T>(Element{name, index});
    }
};

} // namespace kinetra::test
