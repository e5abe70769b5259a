#include "port_names.h"

#include "settings_store.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSerialPortInfo>

#include <algorithm>
#include <utility>

namespace kinetra {

namespace {

int groupOf(const QString& device)
{
    if (device.contains(QLatin1String("ttyUSB")))
        return 0;
    if (device.contains(QLatin1String("ttyACM")))
        return 1;
    return 2;
}

// "/dev/ttyS10" -> ("/dev/ttyS", 10): devices of one kind sort by their number, not as text.
std::pair<QString, long long> splitNumber(const QString& device)
{
    qsizetype i = device.size();
    while (i > 0 && device[i - 1].isDigit())
        --i;
    return {device.left(i), device.mid(i).left(18).toLongLong()};
}

} // namespace

QStringList PortNames::ordered(QStringList devices)
{
    std::stable_sort(devices.begin(), devices.end(), [&](const QString& a, const QString& b) {
        if (groupOf(a) != groupOf(b))
            return groupOf(a) < groupOf(b);
        return splitNumber(a) < splitNumber(b);
    });
    return devices;
}

QString PortNames::deviceFor(int portNumber) const
{
    if (portNumber < 1)
        return {};
    const QString key = QStringLiteral("COM%1").arg(portNumber);
    const QString overridden = settings_.value(kApplicationName, QStringLiteral("Ports"), key).trimmed();
    if (!overridden.isEmpty())
        return overridden;
#ifdef Q_OS_WIN
    return key;
#else
    const QStringList devices = machineDevices();
    return portNumber <= devices.size() ? devices.at(portNumber - 1) : QString();
#endif
}

QStringList PortNames::machineDevices() const
{
    const QFileInfo dev(QStringLiteral("/dev"));
    const qint64 stamp = dev.exists() ? dev.lastModified().toMSecsSinceEpoch() : -1;
    if (stamp < 0 || stamp != devicesStamp_) {
        QStringList devices;
        for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
            devices << info.systemLocation();
        devices_ = ordered(devices);
        devicesStamp_ = stamp;
    }
    return devices_;
}

} // namespace kinetra
