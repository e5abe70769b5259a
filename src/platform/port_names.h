#pragma once

#include <QString>
#include <QStringList>

namespace kinetra {

class SettingsStore;

// Which device stands for COMn. A per-user override (section "Ports", key "COMn", a device path)
// wins; otherwise on Windows it is the port COMn itself, and elsewhere the n-th of the machine's
// serial devices in this order: USB adapters (ttyUSB*, then ttyACM*) before built-in ports
// (ttyS*, ttyAMA*, ...), each group by its number. The order only changes when devices come or go.
class PortNames {
public:
    explicit PortNames(const SettingsStore& settings) : settings_(settings) {}
    QString deviceFor(int portNumber) const;

    // The ordering rule on its own, for any list of device paths.
    static QStringList ordered(QStringList devices);

private:
    // The machine's serial devices in port order. Enumerating them asks udev for every tty and
    // costs milliseconds; a port search asks for ten ports in a row, so the list is kept until
    // a device node comes or goes (the modification time of /dev changes).
    QStringList machineDevices() const;

    const SettingsStore& settings_;
    mutable QStringList devices_;
    mutable qint64 devicesStamp_ = -1;
};

} // namespace kinetra
