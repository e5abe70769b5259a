#include "sim_device.h"

#include "fake_serial_port.h"

namespace kinetra::test {

SimDevice::SimDevice(const sim::DriveConfig& config, double startTime) : model_(config, startTime)
{
}

void SimDevice::attachTo(FakeSerialPort& port, int number)
{
    port.attach(number, this);
    onHangUp_ = [&port] { port.hangUp(); };
}

void SimDevice::receive(const QByteArray& bytes, double now)
{
    model_.feed(bytes, now);
    if (model_.hungUp() && !hangUpReported_) {
        hangUpReported_ = true;
        if (onHangUp_)
            onHangUp_();
    }
}

QByteArray SimDevice::takeOutput(double now)
{
    model_.advanceTo(now);
    return model_.takeOutput(now);
}

} // namespace kinetra::test
