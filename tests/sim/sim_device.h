#pragma once

#include "drive_model.h"
#include "virtual_device.h"

#include <functional>

namespace kinetra::test {

class FakeSerialPort;

// The simulated drive on virtual time, as a device at the far end of FakeSerialPort: link and
// window tests attach it and talk to a realistic drive without a pseudo-terminal.
class SimDevice : public VirtualDevice {
public:
    explicit SimDevice(const sim::DriveConfig& config = {}, double startTime = 0);

    // Attaches to `port` as COM`number`; a hang-up of the drive closes that port.
    void attachTo(FakeSerialPort& port, int number);

    sim::DriveModel& model() { return model_; }
    const sim::DriveModel& model() const { return model_; }
    sim::DriveFaults& faults() { return model_.faults(); }

    void receive(const QByteArray& bytes, double now) override;
    double nextOutputTime() const override { return model_.nextOutputTime(); }
    double lastOutputTime() const override { return model_.lastOutputTime(); }
    QByteArray takeOutput(double now) override;

private:
    sim::DriveModel model_;
    std::function<void()> onHangUp_;
    bool hangUpReported_ = false;
};

} // namespace kinetra::test
