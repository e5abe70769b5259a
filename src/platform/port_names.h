#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

namespace kinetra {

class SettingsStore;

// One serial device of the machine as the system lists it.
struct SerialDevice {
    SerialDevice(QString path = {}, QString description = {}, QString manufacturer = {}, int vendorId = -1,
                 int productId = -1)
        : path(std::move(path)), description(std::move(description)), manufacturer(std::move(manufacturer)),
          vendorId(vendorId), productId(productId)
    {
    }
    QString path;         // "/dev/ttyUSB0"; "COM3" on Windows
    QString description;  // the adapter's own name ("FT232R USB UART"); "" for most built-in ports
    QString manufacturer; // "FTDI"
    int vendorId = -1;    // USB adapters only; -1 when the system does not know it
    int productId = -1;

    // The adapter as a technician recognises it: "FT232R USB UART, FTDI (0403:6001)"; "" for
    // a device that tells nothing about itself.
    QString adapterText() const;
};

// The machine's serial devices. Tests put devices of their own in its place.
class SerialDeviceSource {
public:
    virtual ~SerialDeviceSource() = default;
    // Every serial device the system lists, in any order.
    virtual QList<SerialDevice> devices() const = 0;
    // Whether a device the list lacks is there all the same: the system does not list
    // pseudo-terminals (the simulated drive's), nor links such as /dev/serial/by-id/...
    virtual bool exists(const QString& path) const = 0;
};

// The devices as the system lists them (QSerialPortInfo).
class SystemSerialDevices : public SerialDeviceSource {
public:
    QList<SerialDevice> devices() const override;
    bool exists(const QString& path) const override;
};

// What one COM number stands for.
struct PortAssignment {
    int port = 0;   // 1-10
    QString pinned; // the override in the settings; "" when the number is automatic
    QString device; // the device it stands for now; "" for none
    bool present = false;
    SerialDevice listed; // the system's entry for the device, when it lists it
};

// Which device stands for COMn. A per-user override (section "Ports", key "COMn", a device path)
// wins; otherwise on Windows it is the port COMn itself, and elsewhere the n-th of the machine's
// serial devices in this order: USB adapters (ttyUSB*, then ttyACM*) before built-in ports
// (ttyS*, ttyAMA*, ...), each group by its number. The order only changes when devices come or go.
class PortNames {
public:
    static constexpr int kPortCount = 10;
    static inline const QString kSection = QStringLiteral("Ports");

    // `source` lists the devices; nullptr: the system's.
    explicit PortNames(const SettingsStore& settings, const SerialDeviceSource* source = nullptr);
    QString deviceFor(int portNumber) const;

    // The override of COMn as stored ("" for none).
    QString pinnedFor(int portNumber) const;
    // The machine's serial devices in port order, listed afresh.
    QList<SerialDevice> devices() const;
    // What COMn stands for when it is pinned to `pinned` ("" for automatic), among `devices`
    // (in port order).
    PortAssignment assignment(int portNumber, const QString& pinned, const QList<SerialDevice>& devices) const;
    // COM1 to COM10 as the settings have them now.
    QList<PortAssignment> assignments() const;

    // The ordering rule on its own, for any list of device paths or devices.
    static QStringList ordered(QStringList devices);
    static QList<SerialDevice> ordered(QList<SerialDevice> devices);

private:
    // The machine's serial devices in port order. Enumerating them asks udev for every tty and
    // costs milliseconds; a port search asks for ten ports in a row, so the list is kept until
    // a device node comes or goes (the modification time of /dev changes).
    QList<SerialDevice> machineDevices() const;
    // The naming rule: the device COMn stands for, pinned or among `devices` (in port order).
    static QString namedDevice(int portNumber, const QString& pinned, const QList<SerialDevice>& devices);

    const SettingsStore& settings_;
    const SerialDeviceSource& source_;
    mutable QList<SerialDevice> devices_;
    mutable qint64 devicesStamp_ = -1;
};

} // namespace kinetra
