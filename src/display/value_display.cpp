#include "value_display.h"

#include "display_hand_over.h"
#include "numeric_text.h"
#include "shared_state.h"
#include "value_routes.h"
#include "window_elements.h"

#include <limits>
#include <optional>

namespace kinetra {

namespace {

std::optional<int> asInteger(const QString& text)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

// The flank list shows the drive's values 1, 2 and 4 as its positions 0, 1 and 2.
std::optional<int> flankPosition(const ParameterValue& slot)
{
    switch (slot.toInteger().value_or(0)) {
    case 1: return 0;
    case 2: return 1;
    case 4: return 2;
    default: return std::nullopt;
    }
}

} // namespace

ValueDisplay::ValueDisplay(SharedState& state, WindowElements& window) : state_(state), window_(window) {}

void ValueDisplay::showValues(QString& value, int index)
{
    if (const auto display = formatValue(value, index, state_.decPnt))
        value = *display;

    DisplayHandOver none;
    DisplayHandOver& handOver = handOver_ ? *handOver_ : none;

    switch (routeOf(index)) {
    case ValueRoute::Ignored:
        return;
    case ValueRoute::TextAndMirror:
        window_.setText(el::txtPara(index + 1000), value);
        [[fallthrough]];
    case ValueRoute::Text:
        window_.setText(el::txtPara(index), value);
        return;
    case ValueRoute::Flank:
        if (const auto position = flankPosition(state_.table.value(2125)))
            window_.setSelection(el::cmbPara(2125), *position);
        return;
    case ValueRoute::Selection:
        if (const auto position = asInteger(value); position && *position >= 0)
            window_.setSelection(el::cmbPara(index), *position);
        return;
    case ValueRoute::IoSelection:
        if (const auto position = asInteger(value); position && *position >= 0)
            window_.setSelection(el::cmbPara(index), *position);
        handOver.ioCaption(index - 2146, value);
        return;
    case ValueRoute::DeviceType:
        handOver.deviceType(value);
        return;
    case ValueRoute::SoftwareVersion:
        // The full read already needs the level for its axis list, so it is set here.
        if (const auto level = asInteger(value);
            level && *level >= std::numeric_limits<qint16>::min() && *level <= std::numeric_limits<qint16>::max())
            state_.firmwareLevel = static_cast<qint16>(*level);
        handOver.softwareVersion(value);
        return;
    case ValueRoute::OperatingTime:
        handOver.operatingTime(value);
        return;
    case ValueRoute::FieldBusState:
        handOver.fieldBusState(value);
        return;
    case ValueRoute::ActualPosition:
        window_.setText(el::txtPara(2100), value);
        handOver.positionChart(value);
        return;
    case ValueRoute::StatusWord:
        handOver.statusWord(value);
        return;
    case ValueRoute::MotorCurrent:
        handOver.motorCurrent(value);
        return;
    case ValueRoute::PwmOutput:
        handOver.pwmOutput(value);
        return;
    }
}

} // namespace kinetra
