#pragma once

#include <QString>

namespace kinetra {

// The values whose display has logic of its own: device identification, field-bus state,
// operating time, status word, currents, PWM output, the chart and the input/output captions.
// showValues routes them here with their display text; every hook does nothing until the
// device-status and diagnostics display fills it in.
class DisplayHandOver {
public:
    virtual ~DisplayHandOver() = default;

    // 2401: the device type code.
    virtual void deviceType(const QString&) {}
    // 2402: the software version; firmwareLevel is already set when this runs.
    virtual void softwareVersion(const QString&) {}
    // 2429: the operating time in minutes.
    virtual void operatingTime(const QString&) {}
    // 2411: the field-bus state.
    virtual void fieldBusState(const QString&) {}
    // 2170: the actual position, after it went into txtPara 2100: the chart step.
    virtual void positionChart(const QString&) {}
    // 2180: the status word.
    virtual void statusWord(const QString&) {}
    // 2182: the motor current.
    virtual void motorCurrent(const QString&) {}
    // 2183: the PWM output.
    virtual void pwmOutput(const QString&) {}
    // 2146-2149 (line 0-3): the function chosen for an input or output line, after its list
    // was set; the caption lblEA(line) follows it.
    virtual void ioCaption(int, const QString&) {}
};

} // namespace kinetra
