#pragma once

#include "port_names.h"
#include "serial_port.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QTimer>

namespace kinetra {

// The real line, over QSerialPort.
class QtSerialPort : public SerialPort {
    Q_OBJECT
public:
    explicit QtSerialPort(const SettingsStore& settings, QObject* parent = nullptr);

    void setPortNumber(int number) override;
    int portNumber() const override { return portNumber_; }
    bool setSettings(const QString& settings) override;
    bool open() override;
    void close() override;
    bool isOpen() const override { return port_.isOpen(); }
    void write(const QByteArray& bytes) override;
    QByteArray readAll() override;
    qint64 bytesWaiting() override;
    void reportArrivalsFrom(qint64 count) override;
    PortOpenError lastOpenError() const override { return lastOpenError_; }
    QString lastOpenHolder() const override { return lastOpenHolder_; }
    QString deviceName() const override;
    bool holdsAnotherDevice() const override { return port_.isOpen() && openDevice_ != deviceName(); }
    // A device path that every port number stands for from now on (kinetra-cli --device); ""
    // goes back to the COM numbering.
    void setDevicePath(const QString& path) { devicePath_ = path; }

private:
    void pullPending();
    double characterSeconds() const;
    void setReadNotifierEnabled(bool enabled);
    void setMinimumRead(qint64 count);
    void armArrivalThreshold();
    void onError(QSerialPort::SerialPortError error);
    void applyLineSettings();

    PortNames names_;
    QString devicePath_;
    // The device the open port was opened on.
    QString openDevice_;
    QSerialPort port_;
    int portNumber_ = 1;
    qint32 baud_ = 9600;
    QSerialPort::Parity parity_ = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits_ = QSerialPort::Data8;
    QSerialPort::StopBits stopBits_ = QSerialPort::OneStop;
    PortOpenError lastOpenError_ = PortOpenError::None;
    QString lastOpenHolder_;
    // reportArrivalsFrom: the characters awaited in all, and the time the missing ones need on
    // the line, during which the port does not look at it.
    qint64 awaited_ = 0;
    QTimer lineTime_;
    // When the last character written has left, on lineClock_.
    QElapsedTimer lineClock_;
    double sendingUntil_ = 0;
};

// Parses a line settings text such as "9600,n,8,1"; false when it is not one.
struct LineSettings {
    qint32 baud = 9600;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
};
bool parseLineSettings(const QString& text, LineSettings& out);

} // namespace kinetra
