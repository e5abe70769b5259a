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
    const SettingsStore& settings_;
};

} // namespace kinetra
