#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace kinetra {

class DeviceStatus;
class DisplayWindow;
class WindowElements;
struct SharedState;

// The drive's 32-bit status word (2180): status texts, the lamps of the inputs, the output and
// the emergency-stop circuit, the messages of the diagnostics page, the canOPEN state and the
// chart's automatic stop.
class StatusWordDisplay {
public:
    StatusWordDisplay(SharedState& state, WindowElements& window, DisplayWindow& extra, DeviceStatus& device);

    // Runs with every status word that is a number, at the point where the endurance test
    // re-arms its timer on the in-position bit (bit value 4): the test decides, on the whole
    // 32-bit word, whether it runs and the bit is set.
    std::function<void(qint64 statusWord)> onStatusWord;

    void show(const QString& text);

    // Consecutive status words with bit value 4 while "auto" is checked.
    int autoStopCount() const { return autoStopCount_; }

private:
    void setLamp(int k, bool on);

    SharedState& state_;
    WindowElements& window_;
    DisplayWindow& extra_;
    DeviceStatus& device_;
    int autoStopCount_ = 0;
};

// The status word as upper-case hexadecimal text of at least 8 digits ("00000015" for 21).
QString statusWordHex(quint32 word);

// The message number of the status text a status word's bits pick: the last of the bits 1, 2,
// 4, 8 and then 16-128 that is set; all of 16-128 together mean a short circuit from level 531
// on. None when no bit picks one.
std::optional<int> statusMessage(quint32 word, int firmwareLevel);

// The message the status box beside the tabs ends up with: from level 500 on an open
// emergency-stop circuit (bit 8192 clear) overrides the bits' text. The window and the CLI's
// monitor show the same.
std::optional<int> statusBoxMessage(quint32 word, int firmwareLevel);

// Every message a status box (2180 beside the tabs, and on the diagnostics page) may show, and
// every one the diagnostics page's text box (0) may show: the window makes room for each.
QList<int> statusBoxMessages();
QList<int> pageTextMessages();

} // namespace kinetra
