#pragma once

#include "serial_port.h"
#include "virtual_clock.h"
#include "virtual_device.h"

#include <QList>
#include <QMap>

#include <functional>

namespace kinetra::test {

// The serial port on virtual time: devices are attached to port numbers; a port without a
// device opens (like an empty adapter) unless it is told to fail.
class FakeSerialPort : public SerialPort, public VirtualEventSource {
    Q_OBJECT
public:
    explicit FakeSerialPort(VirtualClock& clock) : clock_(clock) { clock_.addSource(this); }
    ~FakeSerialPort() override { clock_.removeSource(this); }

    void attach(int portNumber, VirtualDevice* device) { devices_[portNumber] = device; }
    void failOpen(int portNumber, PortOpenError error, const QString& holder = {})
    {
        openErrors_[portNumber] = {error, holder};
    }
    // The device goes away: the port closes as the real one does on a hang-up.
    void hangUp();

    void setPortNumber(int number) override { portNumber_ = number; }
    int portNumber() const override { return portNumber_; }
    bool setSettings(const QString& settings) override;
    bool open() override;
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    void write(const QByteArray& bytes) override;
    QByteArray readAll() override;
    qint64 bytesWaiting() override;
    PortOpenError lastOpenError() const override { return lastOpenError_; }
    QString lastOpenHolder() const override
    {
        return lastOpenError_ == PortOpenError::InUse ? openErrors_.value(portNumber_).second : QString();
    }
    QString deviceName() const override { return QStringLiteral("virtual%1").arg(portNumber_); }
    bool holdsAnotherDevice() const override { return open_ && reassigned; }
    // The port assignment changed since the port opened.
    bool reassigned = false;

    double nextEventTime() const override;
    void advanceTo(double t) override;

    // Everything written, frame by frame as the tool wrote it, with the port it went to and
    // when the device's answer to it comes (first and last character; infinity for none). A
    // frame written while an earlier answer was still arriving counts as overlapping.
    struct Written {
        int port;
        QByteArray bytes;
        double time;
        double answerFrom = kNever;
        double answerTo = kNever;
        bool overlapping = false;
    };
    // Called after each write has reached the device.
    void setWriteObserver(std::function<void(const Written&)> observer) { writeObserver_ = std::move(observer); }
    const QList<Written>& written() const { return written_; }
    QList<QByteArray> writtenBytes() const;
    QString settings() const { return settings_; }
    // Port numbers in the order they were opened.
    const QList<int>& openedPorts() const { return opened_; }

private:
    VirtualDevice* device() const { return open_ ? devices_.value(portNumber_, nullptr) : nullptr; }

    VirtualClock& clock_;
    QMap<int, VirtualDevice*> devices_;
    QMap<int, std::pair<PortOpenError, QString>> openErrors_; // and who holds the port
    int portNumber_ = 1;
    bool open_ = false;
    QString settings_;
    QByteArray buffer_;
    QList<Written> written_;
    QList<int> opened_;
    std::function<void(const Written&)> writeObserver_;
    PortOpenError lastOpenError_ = PortOpenError::None;
};

} // namespace kinetra::test
