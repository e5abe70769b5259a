#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

namespace kinetra {

// Why the last open of a port failed; the port search skips every failed port, but a port the
// user may not open deserves to be named once.
enum class PortOpenError { None, NoSuchDevice, PermissionDenied, InUse, Other };

// The serial service line to the drive. Ports are numbered 1-10 as the technician knows them
// (COM1 = 1); what device a number stands for is the implementation's business. No call blocks.
class SerialPort : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual void setPortNumber(int number) = 0;
    virtual int portNumber() const = 0;
    // Line settings in the form "9600,n,8,1"; returns false for a text it does not understand.
    virtual bool setSettings(const QString& settings) = 0;
    virtual bool open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Writing to a closed port does nothing.
    virtual void write(const QByteArray& bytes) = 0;
    // Everything received so far, including what the operating system holds but no event loop
    // has delivered yet.
    virtual QByteArray readAll() = 0;
    virtual qint64 bytesWaiting() = 0;
    // The caller waits for `count` characters in all and need not hear of any arrival before
    // they are all in (0: report every arrival, the default). A drive answer crosses the line
    // a character at a time; waking the tool for each one costs more than decoding the answer.
    // The caller resets it to 0 before it reads. Ports that cannot do this report every arrival.
    virtual void reportArrivalsFrom(qint64 count) { Q_UNUSED(count); }

    virtual PortOpenError lastOpenError() const = 0;
    // When the last open found the port in use: the program that holds it, as "kinetra, process
    // 1234"; "" when that cannot be told.
    virtual QString lastOpenHolder() const { return {}; }
    // The device the current port number stands for ("" when it stands for none).
    virtual QString deviceName() const = 0;
    // The port is open on another device than its number stands for now: the port assignment
    // changed since it was opened.
    virtual bool holdsAnotherDevice() const { return false; }

signals:
    // New characters may be waiting; waits for an answer wake on it.
    void dataArrived();
    // The port was closed because the device went away (unplugged adapter, hung-up line).
    void lostDevice();
};

} // namespace kinetra
