#include "status_word.h"

#include "device_status.h"
#include "display_numbers.h"
#include "display_window.h"
#include "drive_protocol.h"
#include "shared_state.h"

#include <limits>

namespace kinetra {

namespace {

bool set(quint32 word, quint32 bit)
{
    return (word & bit) != 0;
}

// The status texts of the low bits, by bit value; a later match replaces an earlier one.
constexpr struct {
    quint32 bit;
    int message;
} kStateTexts[] = {{1, 48}, {2, 49}, {4, 50}, {8, 51}};
constexpr struct {
    quint32 bit;
    int message;
} kErrorTexts[] = {{16, 52}, {32, 53}, {64, 54}, {128, 55}};
constexpr struct {
    quint32 bit;
    int message;
} kPageTexts[] = {{1u << 25, 56}, {1u << 27, 57}, {1u << 28, 58}};

constexpr int kShortCircuitText = 77;
constexpr int kEmergencyStopText = 78;

constexpr int kAutoStopAfter = 5;

} // namespace

QString statusWordHex(quint32 word)
{
    return QString::number(word, 16).toUpper().rightJustified(8, QLatin1Char('0'));
}

std::optional<int> statusMessage(quint32 word, int firmwareLevel)
{
    std::optional<int> message;
    for (const auto& t : kStateTexts)
        if (set(word, t.bit))
            message = t.message;
    for (const auto& t : kErrorTexts)
        if (set(word, t.bit))
            message = t.message;
    if ((word & status::kErrorBits) == status::kErrorBits && firmwareLevel > 530)
        message = kShortCircuitText;
    return message;
}

std::optional<int> statusBoxMessage(quint32 word, int firmwareLevel)
{
    if (firmwareLevel >= 500 && !set(word, status::kEmergencyCircuitClosed))
        return kEmergencyStopText;
    return statusMessage(word, firmwareLevel);
}

QList<int> statusBoxMessages()
{
    QList<int> messages;
    for (const auto& t : kStateTexts)
        messages << t.message;
    for (const auto& t : kErrorTexts)
        messages << t.message;
    return messages << kShortCircuitText << kEmergencyStopText;
}

QList<int> pageTextMessages()
{
    QList<int> messages;
    for (const auto& t : kPageTexts)
        messages << t.message;
    return messages;
}

StatusWordDisplay::StatusWordDisplay(SharedState& state, WindowElements& window, DisplayWindow& extra,
                                     DeviceStatus& device)
    : state_(state), window_(window), extra_(extra), device_(device)
{
}

void StatusWordDisplay::setLamp(int k, bool on)
{
    window_.setVisible(el::ledOn(k), on);
    window_.setVisible(el::ledOff(k), !on);
}

void StatusWordDisplay::show(const QString& text)
{
    // A 32-bit word, whether the drive sent it signed or unsigned; anything else is no number
    // and skips every step that needs one.
    const auto value = wholeNumber(text);
    const bool numeric =
        value && *value >= std::numeric_limits<qint32>::min() && *value <= std::numeric_limits<quint32>::max();
    const quint32 word = numeric ? static_cast<quint32>(*value) : 0;

    QString msg;
    if (numeric) {
        if (const auto message = statusMessage(word, state_.firmwareLevel))
            msg = state_.message(*message);
        if (onStatusWord)
            onStatusWord(static_cast<qint64>(word));
    }
    window_.setText(el::txtPara(2180), msg);
    window_.setText(el::txtPara1(2180), msg);
    if (!numeric)
        return;

    // The output lamp of the frame "Ein/Ausgänge" follows the one on the diagnostics page, as
    // its input lamps do.
    setLamp(3, set(word, status::kOutput));
    setLamp(8, set(word, status::kOutput));
    if (state_.firmwareLevel >= 500) {
        const bool closed = set(word, status::kEmergencyCircuitClosed);
        setLamp(4, !closed);
        if (!closed)
            window_.setText(el::txtPara(2180), state_.message(kEmergencyStopText));
    }
    for (const auto& t : kPageTexts)
        if (set(word, t.bit))
            window_.setText(el::txtPara(0), state_.message(t.message));
    if (state_.busType == 1)
        device_.canOpenState(statusWordHex(word));
    setLamp(0, set(word, status::kInput1));
    setLamp(5, set(word, status::kInput1));
    // Drives from level 500 on report input 3 in bit 512 and input 2 in bit 1024.
    const bool newer = state_.firmwareLevel >= 500;
    const bool input2 = set(word, newer ? status::kInputBit1024 : status::kInputBit512);
    const bool input3 = set(word, newer ? status::kInputBit512 : status::kInputBit1024);
    setLamp(2, input3);
    setLamp(7, input3);
    setLamp(1, input2);
    setLamp(6, input2);

    // "auto": recording stops at the sixth status word in a row with bit value 4 and starts
    // again with the first one without it.
    if (extra_.isChecked(el::chkReadStop())) {
        if (set(word, status::kInPosition)) {
            if (autoStopCount_ < kAutoStopAfter)
                ++autoStopCount_;
            else
                state_.chartRecording = false;
        } else {
            state_.chartRecording = true;
            autoStopCount_ = 0;
        }
    }
}

} // namespace kinetra
