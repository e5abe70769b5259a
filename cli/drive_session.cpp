#include "drive_session.h"

#include "console.h"
#include "drive_protocol.h"
#include "fast_link_settings.h"
#include "language_loader.h"
#include "messages.h"
#include "port_names.h"

#include <QFileInfo>

#include <algorithm>

namespace kinetra::cli {

namespace {

const QString kSystem = QStringLiteral("System");
const QString kLanguageKey = QStringLiteral("Language");
const QString kDecimalsKey = QStringLiteral("Decpnt");
// What the window starts with when it has no setting yet; positions are shown with it, but no
// position is entered on that guess.
constexpr int kDefaultDecimals = 1;

} // namespace

std::optional<int> parseCommandNumber(const QString& text)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    if (!ok || n < 2000 || n > 2499)
        return std::nullopt;
    return n;
}

DriveSession::DriveSession(const Options& o, Console& c)
    : options(o), console(c), settings(o.settingsDir.isEmpty() ? std::make_unique<IniSettingsStore>()
                                                               : std::make_unique<IniSettingsStore>(o.settingsDir)),
      port(std::make_unique<QtSerialPort>(*settings)), link(c, state), display(state, noWindow),
      com(std::make_unique<DriveCom>(state, *port, clock, link))
{
    // Positions are read and entered with the window's setting unless told otherwise.
    const int stored = storedSetting(kDecimalsKey, -1, 0, 3);
    decimalsKnown = options.decimals.has_value() || stored >= 0;
    state.decPnt = options.decimals ? *options.decimals : (stored >= 0 ? stored : kDefaultDecimals);
    com->setValueSink([this](QString& value, int index) {
        received_[index] = value;
        if (valueObserver_)
            valueObserver_(index, value);
        display.showValues(value, index);
    });
    // Nobody watches live values unless the monitor asks for them.
    com->timerReceive().setEnabled(false);
}

DriveSession::~DriveSession()
{
    com->timerReceive().setEnabled(false);
    com.reset();
    port->close();
}

int DriveSession::storedSetting(const QString& key, int fallback, int min, int max) const
{
    bool ok = false;
    const int v = settings->value(kApplicationName, kSystem, key).trimmed().toInt(&ok);
    return ok && v >= min && v <= max ? v : fallback;
}

bool DriveSession::setUp()
{
    loadMessages();
    if (!options.traceFile.isEmpty()) {
        trace_ = std::make_unique<WireTrace>(options.traceFile);
        if (!trace_->isOpen()) {
            console.error(QStringLiteral("the trace file %1 cannot be written.").arg(options.traceFile));
            return false;
        }
        trace_->attach(*com);
    } else {
        // Switched on for the window (setting or environment): the command line traces too.
        trace_ = WireTrace::install(*com, *settings);
    }
    applyFastLink(*com, *settings, options.fast || storedFastLink(*settings));
    return true;
}

void DriveSession::loadMessages()
{
    loadMessageTexts(state, kBuiltInEnglish, &labels);
    int index = 0;
    if (!options.language.isEmpty())
        index = languageIndexFor(options.language);
    else
        index = storedSetting(kLanguageKey, 0, 0, 5);
    state.languageIndex = index;
    const QString path = languageFilePath(languageFolder(), index);
    if (loadMessageTexts(state, path, &labels))
        return;
    // Without the files beside the program English is built in; any other language is missing.
    if (index != 0)
        console.error(languageNotAvailableText());
}

std::optional<int> DriveSession::commandFor(const QString& text)
{
    if (const auto cmd = parseCommandNumber(text))
        return cmd;
    const QString wanted = text.simplified();
    QList<int> fits;
    for (auto it = labels.cbegin(); it != labels.cend(); ++it)
        if (splitLabel(it.value()).name.compare(wanted, Qt::CaseInsensitive) == 0 ||
            it.value().simplified().compare(wanted, Qt::CaseInsensitive) == 0)
            fits << it.key();
    std::sort(fits.begin(), fits.end());
    if (fits.size() == 1)
        return fits.first();
    if (fits.isEmpty())
        console.error(QStringLiteral("\"%1\" is neither a command number (2000-2499) nor a parameter's name; "
                                     "kinetra-cli list names them.")
                          .arg(text));
    else
        console.error(QStringLiteral("\"%1\" names several parameters: give one of %2.")
                          .arg(text, [&fits] {
                              QStringList numbers;
                              for (const int cmd : fits)
                                  numbers << QString::number(cmd);
                              return numbers.join(QStringLiteral(", "));
                          }()));
    return std::nullopt;
}

QString DriveSession::serialDevicesFound() const
{
    const PortNames names(*settings);
    QStringList found;
    for (int n = 1; n <= 10; ++n)
        if (const QString device = names.deviceFor(n); !device.isEmpty())
            found << QStringLiteral("COM%1 %2").arg(n).arg(device);
    return found.isEmpty() ? QStringLiteral("No serial devices found.")
                           : QStringLiteral("Serial devices found: ") + found.join(QStringLiteral(", ")) + QLatin1Char('.');
}

QString DriveSession::portDescription()
{
    const QString device = port->deviceName();
    const QString com = QStringLiteral("COM%1").arg(state.comPort);
    return device.isEmpty() ? com : QStringLiteral("%1 (%2)").arg(com, device);
}

bool DriveSession::findDrive()
{
    if (!options.port && options.device.isEmpty())
        return com->searchCom() == SearchOutcome::Found;
    // One port only: the quiet poll of the search, on that port alone. A device path is taken
    // as COM1 of this run.
    port->setDevicePath(options.device);
    state.comPort = options.port.value_or(1);
    com->Init();
    if (!port->isOpen()) {
        const QString device = port->deviceName();
        QString why;
        switch (port->lastOpenError()) {
        case PortOpenError::PermissionDenied:
            why = QStringLiteral("access denied (on Linux the user needs the group \"dialout\")");
            break;
        case PortOpenError::InUse:
            why = QStringLiteral("in use by %1; a program keeps its port after Stop, closing its window releases it")
                      .arg(port->lastOpenHolder().isEmpty() ? QStringLiteral("another program") : port->lastOpenHolder());
            break;
        case PortOpenError::NoSuchDevice:
        case PortOpenError::None:
        case PortOpenError::Other: why = QStringLiteral("no such device"); break;
        }
        console.error(device.isEmpty() ? QStringLiteral("COM%1 stands for no device.").arg(state.comPort)
                                       : QStringLiteral("%1 cannot be opened: %2.").arg(portDescription(), why));
        console.error(serialDevicesFound());
        link.noDriveFound();
        return false;
    }
    state.quietWait = true;
    state.comOnline = 1;
    const ReadOutcome outcome = com->ReadCom(protocol::kSearch, protocol::kAddress);
    state.quietWait = false;
    if (outcome != ReadOutcome::Match) {
        state.comOnline = 0;
        link.noDriveFound();
        return false;
    }
    link.driveFound(state.comPort);
    return true;
}

std::optional<QString> DriveSession::poll(int cmd)
{
    received_.remove(cmd);
    if (com->ReadCom(cmd, protocol::kAddress) != ReadOutcome::Match)
        return std::nullopt;
    // The drive's echo names the value; an answer under another number leaves the table's.
    if (received_.contains(cmd))
        return received_.value(cmd);
    return state.table.value(cmd).toText();
}

bool DriveSession::readLevel()
{
    return poll(protocol::kSoftwareVersion).has_value();
}

bool DriveSession::fullRead()
{
    int total = 0;
    for (int cmd = 2100; cmd <= 2448; ++cmd)
        total += isFullReadDeviceParameter(cmd) || isFullReadAxisParameter(cmd, state.firmwareLevel) ? 1 : 0;
    console.setProgressTotal([total] { return total; });
    com->Connect();
    com->timerReceive().setEnabled(false);
    console.endProgress();
    return state.paramsLoaded == 1;
}

} // namespace kinetra::cli
