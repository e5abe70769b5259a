#include "tool_rig.h"

#include <QCoreApplication>

namespace kinetra::bench {

ToolRig::ToolRig(const QString& settingsDir)
    : settings(settingsDir), window(state, settings, dialogs, clock, QCoreApplication::applicationDirPath()),
      presenter(state, window, dialogs), com(state, port, clock, presenter), display(state, window),
      windowDisplay(window), driveDisplay(state, window, windowDisplay)
{
    display.setHandOver(&driveDisplay);
    window.setDriveCom(&com);
    com.setValueSink([this](QString& value, int index) {
        // The actual position is the last value of a status block.
        if (index == 2170)
            ++statusBlocks;
        display.showValues(value, index);
    });
    window.Form_Load();
}

ToolRig::~ToolRig()
{
    com.timerReceive().setEnabled(false);
    port.close();
}

void ToolRig::confineSearchToCom1()
{
    for (int n = 2; n <= 10; ++n)
        settings.setValue(kApplicationName, QStringLiteral("Ports"), QStringLiteral("COM%1").arg(n),
                          QStringLiteral("/nonexistent/kinetra-bench-port"));
}

bool ToolRig::serveUntil(const std::function<bool()>& condition, double seconds)
{
    const double deadline = clock.now() + seconds;
    while (!condition() && clock.now() < deadline)
        clock.waitServing(0.05);
    return condition();
}

} // namespace kinetra::bench
