#include "sim_options.h"

#include "kinetra_version.h"

#include <QCommandLineParser>

namespace kinetra::sim {

namespace {

const char* const kDescription =
    "A simulated positioning drive on a pseudo-terminal. It answers the Kinetra service tool at\n"
    "9600,n,8,1 like a drive would: polls and writes, the status block, command codes, motion,\n"
    "counters and field-bus state. It prints the device path it serves; with --com it also\n"
    "registers that path as COMn in the tool's per-user \"Ports\" settings (and removes the entry\n"
    "again when it ends), so the tool's connect button finds it.\n"
    "\n"
    "Device type codes (--device-type): 2000-2004 Corvex, 2010-2014 and 2050-2054 Pivora,\n"
    "2030-2034 Tusk1; the last digit is the interface: 0 RS232, 1 RS485, 2 RS422, 3 canOPEN,\n"
    "4 ProfiBus.\n"
    "\n"
    "Faults on cue (for tests and training) take effect after --faults-after frames (default 0).";

bool toInt(const QString& text, int& out, int min, int max)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < min || v > max)
        return false;
    out = v;
    return true;
}

bool toDouble(const QString& text, double& out, double min, double max)
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !(v >= min && v <= max))
        return false;
    out = v;
    return true;
}

} // namespace

bool parseSimOptions(const QStringList& arguments, SimOptions& options, QString& message, int& exitCode)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help."));
    parser.addOption(help);
    const QCommandLineOption versionOption(QStringLiteral("version"), QStringLiteral("Show the version."));
    parser.addOption(versionOption);
    const auto option = [&](const QString& name, const QString& text, const QString& value = {}) {
        QCommandLineOption o(name, text, value);
        parser.addOption(o);
        return o;
    };
    const auto deviceType = option(QStringLiteral("device-type"),
                                   QStringLiteral("Device type code reported as 2401 (default 2000, Corvex RS232)."),
                                   QStringLiteral("code"));
    const auto version = option(QStringLiteral("software-version"),
                                QStringLiteral("Software version reported as 2402, e.g. 400, 523, 540 (default 540)."),
                                QStringLiteral("n"));
    const auto address =
        option(QStringLiteral("address"),
               QStringLiteral("Bus address it answers to (default 11, what the tool sends)."), QStringLiteral("n"));
    const auto latency =
        option(QStringLiteral("latency"),
               QStringLiteral("Milliseconds from the end of a frame to its answer (default 4)."), QStringLiteral("ms"));
    const auto noPacing =
        option(QStringLiteral("no-pacing"),
               QStringLiteral("Hear frames and send answers at once instead of at the line rate of "
                              "9600 baud (1.04 ms per character each way; pacing is on by default)."));
    const auto seed =
        option(QStringLiteral("seed"),
               QStringLiteral("Seed for measurement noise, the reference cam and line noise (default 1)."),
               QStringLiteral("n"));
    const auto file = option(QStringLiteral("parameter-file"),
                             QStringLiteral("Start from the values of this parameter file instead of the built-in "
                                            "commissioned set."),
                             QStringLiteral("file"));
    const auto busState = option(QStringLiteral("bus-state"),
                                 QStringLiteral("Hold the field-bus state (2411): canOPEN 0, 4, 5, 127; ProfiBus 0-4. "
                                                "Default: the bus comes up by itself within 3 s."),
                                 QStringLiteral("n"));
    const auto inputs = option(QStringLiteral("inputs"),
                               QStringLiteral("Hold inputs on: bit values 1, 2, 4 for inputs 1-3 (default 0; the end "
                                              "switches also follow the axis)."),
                               QStringLiteral("mask"));
    const auto emergencyStop =
        option(QStringLiteral("emergency-stop"),
               QStringLiteral("Report the emergency-stop circuit as open; commands that start a motion are refused."));
    const auto com = option(QStringLiteral("com"),
                            QStringLiteral("Register the device as COMn for the tool (n = 1-10, or \"auto\" for the "
                                           "first COM number without an entry)."),
                            QStringLiteral("n"));
    const auto settingsDir = option(QStringLiteral("settings-dir"),
                                    QStringLiteral("Folder of the tool's settings to register in (default: the user's "
                                                   "own, e.g. ~/.config/kinetra)."),
                                    QStringLiteral("dir"));
    const auto trace = option(QStringLiteral("trace"),
                              QStringLiteral("Print every frame heard and sent, control characters by name."));
    const auto silent = option(QStringLiteral("silent"), QStringLiteral("Fault: answer nothing."));
    const auto silentAfter =
        option(QStringLiteral("silent-after"), QStringLiteral("Fault: answer the first n frames, then nothing."),
               QStringLiteral("n"));
    const auto silentFor = option(QStringLiteral("silent-for"),
                                  QStringLiteral("Fault: do not answer these command numbers (comma-separated, e.g. "
                                                 "2170,2401)."),
                                  QStringLiteral("list"));
    const auto faultsAfter =
        option(QStringLiteral("faults-after"), QStringLiteral("Faults start after this many frames (default 0)."),
               QStringLiteral("n"));
    const auto wrongCheck =
        option(QStringLiteral("wrong-check"), QStringLiteral("Fault: poll answers carry a wrong check character."));
    const auto refuse = option(QStringLiteral("refuse-writes"), QStringLiteral("Fault: answer every write with NAK."));
    const auto slow = option(QStringLiteral("slow"),
                             QStringLiteral("Fault: answer this many seconds late (1.5 misses the tool's 1-s poll "
                                            "limit, 3.5 also its 3-s write limit)."),
                             QStringLiteral("seconds"));
    const auto garbage =
        option(QStringLiteral("garbage"),
               QStringLiteral("Fault: send n stray printable characters before every answer."), QStringLiteral("n"));
    const auto noise = option(QStringLiteral("noise"),
                              QStringLiteral("Fault: with this chance (0-1) an answer gets a stray character inside."),
                              QStringLiteral("rate"));
    const auto hangUp =
        option(QStringLiteral("hang-up-after"),
               QStringLiteral("Fault: answer n frames, then hang up the line and end."), QStringLiteral("n"));

    exitCode = 2;
    if (!parser.parse(arguments)) {
        message = parser.errorText() + QStringLiteral("\nSee --help.");
        return false;
    }
    if (parser.isSet(help)) {
        // The usage line names the program as it was called ("./bin/kinetra-drive-sim").
        message = parser.helpText();
        const qsizetype end = message.indexOf(QStringLiteral(" [options]"));
        if (message.startsWith(QStringLiteral("Usage: ")) && end > 0)
            message.replace(7, end - 7, QStringLiteral("kinetra-drive-sim"));
        exitCode = 0;
        return false;
    }
    if (parser.isSet(versionOption)) {
        message = QStringLiteral("kinetra-drive-sim " KINETRA_VERSION);
        exitCode = 0;
        return false;
    }
    if (!parser.positionalArguments().isEmpty()) {
        message = QStringLiteral("Unexpected argument: %1\nSee --help.").arg(parser.positionalArguments().first());
        return false;
    }

    DriveConfig& d = options.drive;
    d.pacing = !parser.isSet(noPacing);
    const auto bad = [&](const QCommandLineOption& o, const QString& expected) {
        message = QStringLiteral("--%1 %2: expected %3.").arg(o.names().first(), parser.value(o), expected);
        return false;
    };
    int n = 0;
    double x = 0;
    if (parser.isSet(deviceType)) {
        if (!toInt(parser.value(deviceType), n, 0, 9999))
            return bad(deviceType, QStringLiteral("a device type code such as 2000"));
        d.deviceType = n;
    }
    if (parser.isSet(version)) {
        if (!toInt(parser.value(version), n, 0, 32767))
            return bad(version, QStringLiteral("a version number such as 540"));
        d.softwareVersion = n;
    }
    if (parser.isSet(address) && !toInt(parser.value(address), d.address, 0, 99))
        return bad(address, QStringLiteral("an address 0-99"));
    if (parser.isSet(latency)) {
        if (!toDouble(parser.value(latency), x, 0, 60000))
            return bad(latency, QStringLiteral("milliseconds 0-60000"));
        d.latency = x / 1000.0;
    }
    if (parser.isSet(seed)) {
        bool ok = false;
        d.seed = parser.value(seed).toUInt(&ok);
        if (!ok)
            return bad(seed, QStringLiteral("a whole number"));
    }
    if (parser.isSet(busState)) {
        if (!toInt(parser.value(busState), n, 0, 255))
            return bad(busState, QStringLiteral("a state 0-255"));
        d.busState = n;
    }
    if (parser.isSet(inputs) && !toInt(parser.value(inputs), d.inputs, 0, 7))
        return bad(inputs, QStringLiteral("a mask 0-7"));
    d.emergencyStopOpen = parser.isSet(emergencyStop);
    options.parameterFile = parser.value(file);
    if (parser.isSet(com)) {
        const QString c = parser.value(com).trimmed().toLower();
        if (c != QLatin1String("auto") && !toInt(c, n, 1, 10))
            return bad(com, QStringLiteral("a COM number 1-10 or \"auto\""));
        options.com = c;
    }
    options.settingsDir = parser.value(settingsDir);
    options.trace = parser.isSet(trace);

    DriveFaults& f = d.faults;
    f.silent = parser.isSet(silent);
    if (parser.isSet(silentAfter)) {
        if (!toInt(parser.value(silentAfter), f.afterFrames, 0, 1 << 30))
            return bad(silentAfter, QStringLiteral("a number of frames"));
        f.silent = true;
    }
    if (parser.isSet(faultsAfter) && !toInt(parser.value(faultsAfter), f.afterFrames, 0, 1 << 30))
        return bad(faultsAfter, QStringLiteral("a number of frames"));
    if (parser.isSet(silentFor)) {
        for (const QString& part : parser.value(silentFor).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            if (!toInt(part.trimmed(), n, 1000, 9999))
                return bad(silentFor, QStringLiteral("four-digit command numbers separated by commas"));
            f.silentFor.insert(n);
        }
    }
    f.wrongCheck = parser.isSet(wrongCheck);
    f.refuseWrites = parser.isSet(refuse);
    if (parser.isSet(slow) && !toDouble(parser.value(slow), f.slowAnswer, 0, 3600))
        return bad(slow, QStringLiteral("seconds 0-3600"));
    if (parser.isSet(garbage) && !toInt(parser.value(garbage), f.garbageBefore, 0, 1000))
        return bad(garbage, QStringLiteral("a number of characters 0-1000"));
    if (parser.isSet(noise) && !toDouble(parser.value(noise), f.noiseRate, 0, 1))
        return bad(noise, QStringLiteral("a chance between 0 and 1"));
    if (parser.isSet(hangUp) && !toInt(parser.value(hangUp), f.hangUpAfterFrames, 0, 1 << 30))
        return bad(hangUp, QStringLiteral("a number of frames"));
    exitCode = 0;
    return true;
}

} // namespace kinetra::sim
