#include "value_display.h"

#include "display_hand_over.h"
#include "numeric_text.h"
#include "parameter_catalogue.h"
#include "shared_state.h"
#include "window_elements.h"

#include <algorithm>
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

// The correction bar grows upward from this edge, 30 window units per step of its value, and
// stops moving its top at 1620 steps.
constexpr int kBarBottom = 2250;
constexpr int kBarUnit = 30;
constexpr qint64 kBarTopLimit = 1620;

} // namespace

void ValueDisplay::showCorrectionBar(const QString& value)
{
    const qint64 h = value.toLongLong();
    if (h >= 0) {
        const int height = static_cast<int>(std::min<qint64>(h * kBarUnit, std::numeric_limits<int>::max()));
        window_.setHeight(el::picCorr(), height);
        if (h < kBarTopLimit)
            window_.setTop(el::picCorr(), kBarBottom - height);
    }
    window_.setText(el::txtCorr(), value);
}

ValueDisplay::ValueDisplay(SharedState& state, WindowElements& window) : state_(state), window_(window)
{
}

void ValueDisplay::showValues(QString& value, int index)
{
    if (const auto display = formatValue(value, index, state_.decPnt))
        value = *display;

    DisplayHandOver none;
    DisplayHandOver& handOver = handOver_ ? *handOver_ : none;

    switch (parameterRule(index).route) {
    case ValueRoute::Ignored: return;
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
    case ValueRoute::DeviceType: handOver.deviceType(value); return;
    case ValueRoute::SoftwareVersion:
        // The link has taken the level from a drive's answer already; a parameter file's
        // record sets it here.
        state_.takeSoftwareVersion(value);
        handOver.softwareVersion(value);
        return;
    case ValueRoute::OperatingTime: handOver.operatingTime(value); return;
    case ValueRoute::FieldBusState: handOver.fieldBusState(value); return;
    case ValueRoute::ActualPosition:
        window_.setText(el::txtPara(2100), value);
        handOver.positionChart(value);
        return;
    case ValueRoute::StatusWord: handOver.statusWord(value); return;
    case ValueRoute::MotorCurrent: handOver.motorCurrent(value); return;
    case ValueRoute::PwmOutput: handOver.pwmOutput(value); return;
    case ValueRoute::CorrectionBar: showCorrectionBar(value); return;
    }
}

} // namespace kinetra
