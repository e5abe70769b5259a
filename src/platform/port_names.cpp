#include "port_names.h"

#include "settings_store.h"

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
    QStringList devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        devices << info.systemLocation();
    devices = ordered(devices);
    return portNumber <= devices.size() ? devices.at(portNumber - 1) : QString();
#endif
}

} // namespace kinetra
