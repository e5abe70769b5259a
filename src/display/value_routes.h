#pragma once

namespace kinetra {

// Where showValues sends a value, by its command number.
enum class ValueRoute {
    Ignored,
    Text,           // txtPara(index)
    TextAndMirror,  // txtPara(index + 1000), then txtPara(index)
    Flank,          // cmbPara 2125 from the table slot, not from the value
    Selection,      // cmbPara(index) := the value as a position
    IoSelection,    // as Selection, then the input/output caption
    DeviceType,     // 2401
    SoftwareVersion, // 2402
    OperatingTime,  // 2429
    FieldBusState,  // 2411
    ActualPosition, // 2170: txtPara 2100, then the chart
    StatusWord,     // 2180
    MotorCurrent,   // 2182
    PwmOutput,      // 2183
};

ValueRoute routeOf(int index);

} // namespace kinetra
