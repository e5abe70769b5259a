// kinetra: the service tool's main program. It only wires the parts together.
#include "command_line.h"
#include "ini_settings_store.h"
#include "language_loader.h"
#include "qt_clock.h"
#include "qt_dialogs.h"
#include "qt_serial_port.h"
#include "shared_state.h"
#include "single_instance.h"
#include "tool_assembly.h"

#include <QApplication>

#include <cstdio>

using namespace kinetra;

int main(int argc, char* argv[])
{
    // What needs no window is answered before Qt looks for a display.
    if (const auto answered = answerWithoutWindow(argc, argv))
        return *answered;

    QApplication app(argc, argv);
    QApplication::setApplicationName(kApplicationName);

    // A second start brings the running window to the front and ends.
    SingleInstance instance(SingleInstance::defaultName());
    if (!instance.claim()) {
        std::puts("Kinetra is already running; its window was brought to the front.");
        return 0;
    }

    SharedState state;
    IniSettingsStore settings;
    QtClock clock;
    QtSerialPort port(settings);
    QtDialogs dialogs;

    ToolAssembly tool(state, settings, port, clock, dialogs, languageFolder());
    frmSDI& window = tool.window();
    dialogs.setParent(&window);
    QObject::connect(&instance, &SingleInstance::activationRequested, &window, &frmSDI::bringToFront);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, [&clock] { clock.setQuitting(); });

    window.Form_Load();
    return QApplication::exec();
}
