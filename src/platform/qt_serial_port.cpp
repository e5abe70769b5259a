#include "qt_serial_port.h"

#include <QFileInfo>
#include <QLockFile>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QStringList>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <signal.h>
#include <termios.h>
#endif

namespace kinetra {

bool parseLineSettings(const QString& text, LineSettings& out)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return false;
    bool ok = false;
    const int baud = parts[0].trimmed().toInt(&ok);
    if (!ok || baud <= 0)
        return false;
    LineSettings s;
    s.baud = baud;
    const QString parity = parts[1].trimmed().toLower();
    if (parity == QLatin1String("n"))
        s.parity = QSerialPort::NoParity;
    else if (parity == QLatin1String("e"))
        s.parity = QSerialPort::EvenParity;
    else if (parity == QLatin1String("o"))
        s.parity = QSerialPort::OddParity;
    else if (parity == QLatin1String("m"))
        s.parity = QSerialPort::MarkParity;
    else if (parity == QLatin1String("s"))
        s.parity = QSerialPort::SpaceParity;
    else
        return false;
    const int bits = parts[2].trimmed().toInt(&ok);
    if (!ok || bits < 5 || bits > 8)
        return false;
    s.dataBits = static_cast<QSerialPort::DataBits>(bits);
    const QString stop = parts[3].trimmed();
    if (stop == QLatin1String("1"))
        s.stopBits = QSerialPort::OneStop;
    else if (stop == QLatin1String("1.5"))
        s.stopBits = QSerialPort::OneAndHalfStop;
    else if (stop == QLatin1String("2"))
        s.stopBits = QSerialPort::TwoStop;
    else
        return false;
    out = s;
    return true;
}

QtSerialPort::QtSerialPort(const SettingsStore& settings, QObject* parent) : SerialPort(parent), names_(settings)
{
    connect(&port_, &QSerialPort::readyRead, this, &SerialPort::dataArrived);
    connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialPort::onError);
    lineClock_.start();
    lineTime_.setSingleShot(true);
    lineTime_.setTimerType(Qt::PreciseTimer);
    connect(&lineTime_, &QTimer::timeout, this, &QtSerialPort::armArrivalThreshold);
}

void QtSerialPort::setPortNumber(int number)
{
    portNumber_ = number;
}

bool QtSerialPort::setSettings(const QString& settings)
{
    LineSettings s;
    if (!parseLineSettings(settings, s))
        return false;
    baud_ = s.baud;
    parity_ = s.parity;
    dataBits_ = s.dataBits;
    stopBits_ = s.stopBits;
    if (port_.isOpen())
        applyLineSettings();
    return true;
}

void QtSerialPort::applyLineSettings()
{
    port_.setBaudRate(baud_);
    port_.setParity(parity_);
    port_.setDataBits(dataBits_);
    port_.setStopBits(stopBits_);
    port_.setFlowControl(QSerialPort::NoFlowControl);
}

QString QtSerialPort::deviceName() const
{
    return devicePath_.isEmpty() ? names_.deviceFor(portNumber_) : devicePath_;
}

namespace {

// The program that holds the lock file of `device`, as Qt's serial port and other programs of
// the kind write it ("LCK..ttyUSB0" in the first of the usual lock folders): "kinetra, process
// 1234"; "" when no live program holds one.
QString portLockHolder(const QString& device)
{
    QString name = device;
    if (name.startsWith(QLatin1String("/dev/")))
        name = name.mid(5);
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    const QStringList folders{QStringLiteral("/var/lock"),      QStringLiteral("/etc/locks"),
                              QStringLiteral("/var/spool/locks"), QStringLiteral("/var/spool/uucp"),
                              QStringLiteral("/tmp"),           QStringLiteral("/var/tmp"),
                              QStringLiteral("/var/lock/lockdev"), QStringLiteral("/run/lock"),
                              QStandardPaths::writableLocation(QStandardPaths::TempLocation)};
    for (const QString& folder : folders) {
        const QString path = folder + QStringLiteral("/LCK..") + name;
        if (!QFileInfo::exists(path))
            continue;
        QLockFile lock(path);
        qint64 pid = 0;
        QString host;
        QString program;
        // A lock left behind by a program that ended holds nothing.
        if (!lock.getLockInfo(&pid, &host, &program) || pid <= 0)
            continue;
        if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno != EPERM)
            continue;
        return QStringLiteral("%1, process %2").arg(program.isEmpty() ? QStringLiteral("a program") : program).arg(pid);
    }
    return {};
}

} // namespace

bool QtSerialPort::open()
{
    lastOpenHolder_.clear();
    if (port_.isOpen())
        return true;
    const QString device = deviceName();
    if (device.isEmpty()) {
        lastOpenError_ = PortOpenError::NoSuchDevice;
        return false;
    }
    port_.setPortName(device);
    if (!port_.open(QIODevice::ReadWrite)) {
        switch (port_.error()) {
        case QSerialPort::DeviceNotFoundError: lastOpenError_ = PortOpenError::NoSuchDevice; break;
        case QSerialPort::PermissionError:
            // Qt reports a port locked by another program as a permission error too: the lock
            // file tells the two apart.
            lastOpenHolder_ = portLockHolder(device);
            lastOpenError_ = lastOpenHolder_.isEmpty() ? PortOpenError::PermissionDenied : PortOpenError::InUse;
            break;
        case QSerialPort::OpenError:
            lastOpenHolder_ = portLockHolder(device);
            lastOpenError_ = PortOpenError::InUse;
            break;
        default: lastOpenError_ = PortOpenError::Other; break;
        }
        port_.clearError();
        return false;
    }
    applyLineSettings();
    openDevice_ = device;
    lastOpenError_ = PortOpenError::None;
    return true;
}

void QtSerialPort::close()
{
    lineTime_.stop();
    if (port_.isOpen())
        port_.close();
}

void QtSerialPort::write(const QByteArray& bytes)
{
    if (!port_.isOpen())
        return;
    port_.write(bytes);
    // Hand the frame to the operating system now: the caller may go on with a wait that
    // does not serve the event loop.
    port_.flush();
    // The characters leave one after another; nothing answers them before the last is out.
    const double now = static_cast<double>(lineClock_.nsecsElapsed()) / 1e9;
    sendingUntil_ = std::max(sendingUntil_, now) + static_cast<double>(bytes.size()) * characterSeconds();
}

void QtSerialPort::pullPending()
{
    // After a wait that ran no event loop, QSerialPort has not yet fetched what the operating
    // system holds; a zero-timeout wait fetches it.
    if (port_.isOpen())
        port_.waitForReadyRead(0);
}

QByteArray QtSerialPort::readAll()
{
    pullPending();
    return port_.isOpen() ? port_.readAll() : QByteArray();
}

qint64 QtSerialPort::bytesWaiting()
{
    pullPending();
    return port_.isOpen() ? port_.bytesAvailable() : 0;
}

void QtSerialPort::reportArrivalsFrom(qint64 count)
{
    lineTime_.stop();
    setReadNotifierEnabled(true);
    awaited_ = count;
    if (count <= 0 || !port_.isOpen()) {
        setMinimumRead(0);
        return;
    }
    pullPending();
    // The characters still missing need at least this long on the line (the first of them may
    // be half way across already), after what was just sent has left. Until then the port's
    // read notifier sleeps: a pseudo-terminal or a driver without a receive FIFO would
    // otherwise wake the tool once per character.
    const qint64 missing = count - port_.bytesAvailable();
    const double now = static_cast<double>(lineClock_.nsecsElapsed()) / 1e9;
    const double sending = std::max(0.0, sendingUntil_ - now);
    const int holdMs = static_cast<int>((sending + static_cast<double>(missing - 1) * characterSeconds()) * 1000.0);
    if (holdMs >= 2) {
        setReadNotifierEnabled(false);
        lineTime_.start(holdMs);
    } else {
        armArrivalThreshold();
    }
}

void QtSerialPort::armArrivalThreshold()
{
    setReadNotifierEnabled(true);
    if (port_.isOpen())
        setMinimumRead(awaited_ - port_.bytesAvailable());
}

double QtSerialPort::characterSeconds() const
{
    double bits = 1.0 + static_cast<double>(dataBits_) + (parity_ == QSerialPort::NoParity ? 0.0 : 1.0);
    bits += stopBits_ == QSerialPort::TwoStop ? 2.0 : stopBits_ == QSerialPort::OneAndHalfStop ? 1.5 : 1.0;
    return bits / std::max(baud_, 1);
}

void QtSerialPort::setReadNotifierEnabled(bool enabled)
{
    // QSerialPort owns its read notifier as a child; if a Qt version hides it, the port just
    // reports every arrival.
    for (QSocketNotifier* notifier : port_.findChildren<QSocketNotifier*>(Qt::FindDirectChildrenOnly))
        if (notifier->type() == QSocketNotifier::Read && notifier->isEnabled() != enabled)
            notifier->setEnabled(enabled);
}

void QtSerialPort::setMinimumRead(qint64 count)
{
#ifdef Q_OS_UNIX
    if (!port_.isOpen())
        return;
    // The terminal's minimum read count also holds back poll() until that many characters are
    // in, so the read notifier stays quiet while the rest of an answer arrives. A hang-up still
    // wakes it at once. The count is one byte wide; 0 reports every arrival.
    const qint64 minimum = count > 0 ? std::clamp<qint64>(count, 1, 255) : 0;
    const int fd = static_cast<int>(port_.handle());
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0 || settings.c_cc[VMIN] == minimum)
        return;
    settings.c_cc[VMIN] = static_cast<cc_t>(minimum);
    ::tcsetattr(fd, TCSANOW, &settings);
#else
    Q_UNUSED(count);
#endif
}

void QtSerialPort::onError(QSerialPort::SerialPortError error)
{
    // Qt 6.4 keeps reporting ReadError at full CPU once the device has hung up while the port
    // still counts as open: a hung-up device is the end of the port.
    if (error == QSerialPort::ReadError || error == QSerialPort::ResourceError) {
        port_.clearError();
        if (port_.isOpen()) {
            close();
            emit lostDevice();
        }
    } else if (error == QSerialPort::TimeoutError) {
        port_.clearError();
    }
}

} // namespace kinetra
