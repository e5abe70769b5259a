#pragma once

#include <QLocale>
#include <QString>

namespace kinetra {

class DisplayWindow;
class WindowElements;
struct SharedState;

// The drive's identification in the frame "Version/Betriebsstunden" and the field-bus state in
// status panel 3: device type (2401), software version (2402), operating time (2429), the
// field-bus state (2411) and the canOPEN state carried in the status word.
class DeviceStatus {
public:
    DeviceStatus(SharedState& state, WindowElements& window, DisplayWindow& extra);

    // Names the model and its interface, sets busType and hides or disables what the model
    // lacks. Nothing here shows or enables a control again.
    void deviceType(const QString& text);
    // "V" and the version as 5-23; shows the diagnostics and program tabs from level 500.
    // firmwareLevel is already set when this runs.
    void softwareVersion(const QString& text);
    // Minutes as hours and minutes, "2.05h" for 125 minutes, with the decimal separator of
    // `locale` (the system's by default).
    void operatingTime(const QString& text, const QLocale& locale = QLocale());
    void fieldBusState(const QString& text);
    // The canOPEN network state from characters 3-4 of the status word's 8-digit hexadecimal
    // text; only for a canOPEN drive, and the panel's bevel stays as it is.
    void canOpenState(const QString& hex);

private:
    SharedState& state_;
    WindowElements& window_;
    DisplayWindow& extra_;
};

// The message box 1 shows for a model without a name of its own.
inline constexpr int kModelNote = 79;

// Minutes as hours and minutes in the form "0.00" and "h" ("2.05h" for 125).
QString operatingTimeText(double minutes, const QLocale& locale);

} // namespace kinetra
