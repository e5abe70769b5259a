#include "fake_serial_port.h"

#include <utility>

namespace kinetra::test {

void FakeSerialPort::hangUp()
{
    if (!open_)
        return;
    open_ = false;
    buffer_.clear();
    emit lostDevice();
}

bool FakeSerialPort::setSettings(const QString& settings)
{
    settings_ = settings;
    return true;
}

bool FakeSerialPort::open()
{
    if (open_)
        return true;
    lastOpenError_ = openErrors_.value(portNumber_).first;
    if (lastOpenError_ != PortOpenError::None)
        return false;
    open_ = true;
    buffer_.clear();
    opened_ << portNumber_;
    return true;
}

void FakeSerialPort::write(const QByteArray& bytes)
{
    if (!open_)
        return;
    Written w{portNumber_, bytes, clock_.now()};
    if (VirtualDevice* d = device()) {
        w.overlapping = d->nextOutputTime() < kNever;
        d->receive(bytes, clock_.now());
        w.answerFrom = d->nextOutputTime();
        w.answerTo = d->lastOutputTime();
    }
    written_ << w;
    if (writeObserver_)
        writeObserver_(written_.last());
}

QByteArray FakeSerialPort::readAll()
{
    advanceTo(clock_.now());
    return std::exchange(buffer_, {});
}

qint64 FakeSerialPort::bytesWaiting()
{
    advanceTo(clock_.now());
    return buffer_.size();
}

double FakeSerialPort::nextEventTime() const
{
    const VirtualDevice* d = device();
    return d ? d->nextOutputTime() : kNever;
}

void FakeSerialPort::advanceTo(double t)
{
    VirtualDevice* d = device();
    if (!d)
        return;
    const QByteArray arrived = d->takeOutput(t);
    if (!arrived.isEmpty()) {
        buffer_ += arrived;
        emit dataArrived();
    }
}

QList<QByteArray> FakeSerialPort::writtenBytes() const
{
    QList<QByteArray> out;
    for (const Written& w : written_)
        out << w.bytes;
    return out;
}

} // namespace kinetra::test
