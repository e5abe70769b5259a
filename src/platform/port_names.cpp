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

bool inPortOrder(const QString& a, const QString& b)
{
    if (groupOf(a) != groupOf(b))
        return groupOf(a) < groupOf(b);
    return splitNumber(a) < splitNumber(b);
}

const SystemSerialDevices& systemDevices()
{
    static const SystemSerialDevices system;
    return system;
}

} // namespace

QString SerialDevice::adapterText() const
{
    QStringList names;
    if (!description.isEmpty())
        names << description;
    // Many adapters name their maker in the description already.
    if (!manufacturer.isEmpty() && !description.contains(manufacturer, Qt::CaseInsensitive))
        names << manufacturer;
    QString text = names.join(QStringLiteral(", "));
    if (vendorId >= 0 && productId >= 0) {
        const QString ids =
            QStringLiteral("%1:%2").arg(vendorId, 4, 16, QLatin1Char('0')).arg(productId, 4, 16, QLatin1Char('0'));
        text = text.isEmpty() ? ids : QStringLiteral("%1 (%2)").arg(text, ids);
    }
    return text;
}

QList<SerialDevice> SystemSerialDevices::devices() const
{
    QList<SerialDevice> out;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SerialDevice d{info.systemLocation(), info.description(), info.manufacturer()};
        if (info.hasVendorIdentifier() && info.hasProductIdentifier()) {
            d.vendorId = info.vendorIdentifier();
            d.productId = info.productIdentifier();
        }
        out << d;
    }
    return out;
}

bool SystemSerialDevices::exists(const QString& path) const
{
#ifdef Q_OS_WIN
    Q_UNUSED(path);
    return false;
#else
    return QFileInfo::exists(path);
#endif
}

PortNames::PortNames(const SettingsStore& settings, const SerialDeviceSource* source)
    : settings_(settings), source_(source ? *source : systemDevices())
{
}

QStringList PortNames::ordered(QStringList devices)
{
    std::stable_sort(devices.begin(), devices.end(), inPortOrder);
    return devices;
}

QList<SerialDevice> PortNames::ordered(QList<SerialDevice> devices)
{
    std::stable_sort(devices.begin(), devices.end(),
                     [](const SerialDevice& a, const SerialDevice& b) { return inPortOrder(a.path, b.path); });
    return devices;
}

QString PortNames::pinnedFor(int portNumber) const
{
    return settings_.value(kApplicationName, kSection, QStringLiteral("COM%1").arg(portNumber)).trimmed();
}

QString PortNames::namedDevice(int portNumber, const QString& pinned, const QList<SerialDevice>& devices)
{
    if (!pinned.isEmpty())
        return pinned;
    if (portNumber < 1)
        return {};
#ifdef Q_OS_WIN
    Q_UNUSED(devices);
    return QStringLiteral("COM%1").arg(portNumber);
#else
    return portNumber <= devices.size() ? devices.at(portNumber - 1).path : QString();
#endif
}

QString PortNames::deviceFor(int portNumber) const
{
    if (portNumber < 1)
        return {};
    const QString pinned = pinnedFor(portNumber);
#ifdef Q_OS_WIN
    return namedDevice(portNumber, pinned, {});
#else
    // The machine's devices are listed only when the number is not pinned.
    return namedDevice(portNumber, pinned, pinned.isEmpty() ? machineDevices() : QList<SerialDevice>());
#endif
}

QList<SerialDevice> PortNames::devices() const
{
    return ordered(source_.devices());
}

PortAssignment PortNames::assignment(int portNumber, const QString& pinned, const QList<SerialDevice>& devices) const
{
    PortAssignment a;
    a.port = portNumber;
    a.pinned = pinned.trimmed();
    a.device = namedDevice(portNumber, a.pinned, devices);
    if (a.device.isEmpty())
        return a;
    const auto listed =
        std::find_if(devices.begin(), devices.end(), [&](const SerialDevice& d) { return d.path == a.device; });
    if (listed != devices.end())
        a.listed = *listed;
    a.present = listed != devices.end() || source_.exists(a.device);
    return a;
}

QList<PortAssignment> PortNames::assignments() const
{
    const QList<SerialDevice> found = devices();
    QList<PortAssignment> out;
    for (int n = 1; n <= kPortCount; ++n)
        out << assignment(n, pinnedFor(n), found);
    return out;
}

QList<SerialDevice> PortNames::machineDevices() const
{
    // Devices of a source other than the system's are not kept: they change when a test says.
    if (&source_ != &systemDevices())
        return devices();
    const QFileInfo dev(QStringLiteral("/dev"));
    const qint64 stamp = dev.exists() ? dev.lastModified().toMSecsSinceEpoch() : -1;
    if (stamp < 0 || stamp != devicesStamp_) {
        devices_ = devices();
        devicesStamp_ = stamp;
    }
    return devices_;
}

} // namespace kinetra
