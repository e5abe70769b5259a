#include "tool_assembly.h"

#include "frm_compare.h"
#include "frm_file.h"
#include "frm_save.h"
#include "io_captions.h"
#include "motion_timers.h"
#include "picture_icons.h"

namespace kinetra {

ToolAssembly::ToolAssembly(SharedState& state, SettingsStore& settings, SerialPort& port, Clock& clock,
                           Dialogs& dialogs, const QString& programFolder)
    : window_(state, settings, dialogs, clock, programFolder), elements_(window_), dialogs_(dialogs),
      presenter_(state, elements_, dialogs), com_(state, port, clock, presenter_), display_(state, window_),
      windowDisplay_(window_), driveDisplay_(state, window_, windowDisplay_)
{
    window_.setDriveCom(&com_);
    // The wire trace, when switched on in the settings or by KINETRA_TRACE=1.
    trace_ = WireTrace::install(com_, settings);
    display_.setHandOver(&driveDisplay_);
    // The endurance test goes on once the drive reports "in position" (bit value 4 of the whole
    // status word).
    driveDisplay_.setOnStatusWord([this](qint64 statusWord) {
        if (MotionTimers* timers = window_.motionTimers())
            timers->inPositionSignal(statusWord);
    });
    window_.onIoFunctionChosen = [this](int line, int position) {
        showIoCaption(window_, windowDisplay_, line, position);
    };
    window_.onChartTrace = [this](int trace, bool on, const QString& multiplier) {
        driveDisplay_.chart().setTrace(trace, on, multiplier);
    };
    const auto showValues = [this](QString& value, int index) { display_.showValues(value, index); };
    com_.setValueSink(showValues);
    window_.onFileWindow = [this, &settings, showValues] {
        openFileWindow(com_, elements_, dialogs_, settings, &window_, showValues, pictureIcon);
    };
    window_.onCompareWindow = [this, showValues] {
        // The labels as the main window shows them, in its current language; the stop button
        // named as the main window's.
        const auto* stop = window_.findChild<QWidget*>(QStringLiteral("cmdStop"));
        openCompareWindow(
            com_, elements_, dialogs_, &window_, [this](int cmd) { return window_.text(el::lblPara(cmd)); }, showValues,
            stop ? stop->toolTip() : QString());
    };
    window_.onSaveWindow = [this] {
        frmSave save(com_, elements_, &window_);
        save.exec();
    };
}

} // namespace kinetra
