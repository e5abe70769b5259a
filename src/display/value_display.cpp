#include "value_display.h"

#include "display_hand_over.h"
#include "numeric_text.h"
#include "parameter_catalogue.h"
#include "shared_state.h"
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

} // namespace

ValueDisplay::ValueDisplay(SharedState& state, WindowElements& window) : state_(state), window_(window) {}

void ValueDisplay::showValues(QString& value, int index)
{
    if (const auto display = formatValue(value, index, state_.decPnt))
        value = *display;

    DisplayHandOver none;
    DisplayHandOver& handOver = handOver_ ? *handOver_ : none;

    switch (parameterRule(index).route) {
    case ValueRoute::Ignored:
        return;
    case ValueRoute::Text:
        if (const auto mirror = mirrorBoxOf(index))
            window_.setText(el::txtPara(*mirror), value);
        window_.setText(el::txtPara(index), value);
        return;
    case ValueRoute::Flank:
        // The list shows the table's value, which a write may have changed since the answer.
        if (const auto slot = state_.table.value(index).toInteger())
            if (const auto position = selectionOfValue(index, *slot))
                window_.setSelection(el::cmbPara(index), *position);
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
