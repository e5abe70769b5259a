// kinetra: the service tool's main program. It only wires the parts together.
#include "drive_com.h"
#include "drive_display.h"
#include "file_window_elements.h"
#include "frm_file.h"
#include "frm_save.h"
#include "frm_sdi.h"
#include "io_captions.h"
#include "ini_settings_store.h"
#include "main_window_display.h"
#include "picture_icons.h"
#include "qt_clock.h"
#include "qt_dialogs.h"
#include "qt_serial_port.h"
#include "shared_state.h"
#include "single_instance.h"
#include "test_jog_timers.h"
#include "value_display.h"
#include "wire_trace.h"

#include <QApplication>

using namespace kinetra;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(kApplicationName);

    // A second start brings the running window to the front and ends.
    SingleInstance instance(SingleInstance::defaultName());
    if (!instance.claim()) return 0;

    SharedState state;
    IniSettingsStore settings;
    QtClock clock;
    QtSerialPort port(settings);
    QtDialogs dialogs;

    frmSDI window(state, settings, dialogs, clock, QCoreApplication::applicationDirPath());
    dialogs.setParent(&window);
    // The link writes its help and progress of a file transfer to the file window while one is
    // open, everything else to the main window.
    FileWindowElements elements(window);
    DriveCom com(state, port, clock, elements, dialogs);
    window.setDriveCom(&com);
    // The wire trace, when switched on in the settings or by KINETRA_TRACE=1.
    const auto trace = WireTrace::install(com, settings);
    // Every value the link decodes goes to the window element that shows it.
    ValueDisplay display(state, window);
    // The values with logic of their own: identification, field bus, status word, chart.
    MainWindowDisplay windowDisplay(window);
    DriveDisplay driveDisplay(state, window, windowDisplay);
    display.setHandOver(&driveDisplay);
    // The endurance test goes on once the drive reports "in position" (bit value 4 of the whole
    // status word).
    driveDisplay.setOnStatusWord([&window](qint64 statusWord) {
        if (TestJogTimers* timers = window.testJogTimers())
            timers->inPositionSignal(statusWord);
    });
    window.onIoFunctionChosen = [&](int line, int position) {
        showIoCaption(window, windowDisplay, line, position);
    };
    const auto showValues = [&display](QString& value, int index) { display.showValues(value, index); };
    com.setValueSink(showValues);
    window.onFileWindow = [&] { openFileWindow(com, settings, &window, showValues, pictureIcon); };
    window.onSaveWindow = [&] {
        FrmSave save(com, &window);
        save.exec();
    };
    QObject::connect(&instance, &SingleInstance::activationRequested, &window, &frmSDI::bringToFront);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, [&clock] { clock.setQuitting(); });

    window.Form_Load();
    return QApplication::exec();
}
