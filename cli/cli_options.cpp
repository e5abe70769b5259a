#include "cli_options.h"

#include "kinetra_version.h"
#include "messages.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace kinetra::cli {

namespace {

struct OptionSpec {
    QStringList names;
    QString valueName; // "" for a switch
    QString description;
};

struct CommandSpec {
    Command command;
    QString name;
    QString synopsis;
    QString summary;
    QString description;
    QList<OptionSpec> options;
    int minArguments;
    int maxArguments; // -1: any number
};

const QList<OptionSpec>& commonOptions()
{
    static const QList<OptionSpec> options = {
        {{QStringLiteral("port")},
         QStringLiteral("N|PATH"),
         QStringLiteral("Use COM N (1-10), or the device PATH, only, without the port search.")},
        {{QStringLiteral("device")},
         QStringLiteral("PATH"),
         QStringLiteral("Use the serial device PATH (/dev/ttyUSB0) only, without the port search.")},
        {{QStringLiteral("trace")},
         QStringLiteral("FILE"),
         QStringLiteral("Append every frame sent and received to FILE (the wire trace).")},
        {{QStringLiteral("language")},
         QStringLiteral("NAME"),
         QStringLiteral("Messages in English, German, Italian, French, Spanish or Turkish.")},
        {{QStringLiteral("json")}, QString(), QStringLiteral("Machine-readable data (JSON) on standard output.")},
        {{QStringLiteral("decimals")},
         QStringLiteral("N"),
         QStringLiteral("Decimal places of positions, 0-3 (default: the tool's setting).")},
        {{QStringLiteral("fast")},
         QString(),
         QStringLiteral("The fast link: each wait ends the moment the answer is complete (default: the\n"
                        "tool's setting).")},
        {{QStringLiteral("settings-dir")},
         QStringLiteral("DIR"),
         QStringLiteral("Folder of the settings file kinetra.ini (default: the user's own).")},
        {{QStringLiteral("q"), QStringLiteral("quiet")}, QString(), QStringLiteral("Only errors on standard error.")},
        {{QStringLiteral("h"), QStringLiteral("help")}, QString(), QStringLiteral("Show the help of the command.")},
    };
    return options;
}

const QList<CommandSpec>& commands()
{
    static const QList<CommandSpec> entries = {
        {Command::Ports,
         QStringLiteral("ports"),
         QStringLiteral("ports"),
         QStringLiteral("COM1-COM10: the device each stands for and whether it opens."),
         QStringLiteral("Lists COM1 to COM10 with the device each number stands for (an override in the\n"
                        "settings section \"Ports\", else the machine's serial devices in their order)\n"
                        "and whether the port can be opened now."),
         {},
         0,
         0},
        {Command::Find,
         QStringLiteral("find"),
         QStringLiteral("find"),
         QStringLiteral("Search the ports for a drive; print its port, model, version, bus address."),
         QStringLiteral("Searches COM1 to COM10 (or only --port N) with one poll each and prints the port\n"
                        "where a drive answered, its model, software version and bus address."),
         {},
         0,
         0},
        {Command::Read,
         QStringLiteral("read"),
         QStringLiteral("read -o FILE.par"),
         QStringLiteral("Read every parameter of the drive into a parameter file."),
         QStringLiteral("Finds the drive, reads its device and axis parameters and stores them in the\n"
                        "parameter file format. FILE \"-\" writes the file to standard output. A progress\n"
                        "bar is shown on a terminal."),
         {{{QStringLiteral("o"), QStringLiteral("output")},
           QStringLiteral("FILE"),
           QStringLiteral("The parameter file to write (replaced only once it is complete).")}},
         0,
         0},
        {Command::Get,
         QStringLiteral("get"),
         QStringLiteral("get CMD|NAME..."),
         QStringLiteral("Poll values by command number or name; print raw and display form."),
         QStringLiteral("Polls each parameter, by command number (2000-2499) or name (see list), and prints\n"
                        "its raw value, its display form (positions with --decimals places, other values\n"
                        "with the decimals of their command number, a comma as decimal separator; --json:\n"
                        "numbers, with the decimals used), its unit and its name."),
         {},
         1,
         -1},
        {Command::Set,
         QStringLiteral("set"),
         QStringLiteral("set CMD|NAME VALUE"),
         QStringLiteral("Write one value as the window's entry box would; report acceptance."),
         QStringLiteral("Writes VALUE to command number CMD with the entry rules of the tool's window:\n"
                        "VALUE is typed as in the entry box, with a comma or a point as decimal separator\n"
                        "(12,5 or 12.5), and scaled by the decimals of CMD (positions by --decimals, which a\n"
                        "position needs when the tool has no setting of its own); for the edge evaluation\n"
                        "(x25) the list position 0, 1, 2 is sent as 1, 2, 4. Drives below software 5.00\n"
                        "get the take-over code 137 after the value (not after 2101), as from the window.\n"
                        "A negative VALUE may follow \"--\" or stand as it is (set 2101 -5)."),
         {{{QStringLiteral("raw")},
           QString(),
           QStringLiteral("VALUE is the drive's own integer: no scaling, no list translation.")}},
         2,
         2},
        {Command::Load,
         QStringLiteral("load"),
         QStringLiteral("load FILE.par"),
         QStringLiteral("Load a parameter file into the drive; optionally make it keep them."),
         QStringLiteral("Finds the drive and sends every axis record of the file and the bus address,\n"
                        "as the file window's load into the drive does. A value the drive refuses is\n"
                        "named and the load goes on; the exit code then says so."),
         {{{QStringLiteral("save")},
           QString(),
           QStringLiteral("Afterwards make the drive keep the values: 137, 1 s, then the save command 138.")},
          {{QStringLiteral("check")},
           QString(),
           QStringLiteral("Send nothing: check the file against the drive and list what the load would change\n"
                          "(exit code 0: nothing, 1: differences).")}},
         1,
         1},
        {Command::Diff,
         QStringLiteral("diff"),
         QStringLiteral("diff FILE.par"),
         QStringLiteral("Read the drive and list every parameter that differs from the file."),
         QStringLiteral("Reads the drive and compares it with the file, record by record. By default the\n"
                        "parameters a load sets are compared; the drive's own data (actual position,\n"
                        "status word, command word, identity, counters) only with --all.\n"
                        "Exit code 0: no differences, 1: differences."),
         {{{QStringLiteral("all")}, QString(), QStringLiteral("Compare every record, the drive's own data too.")}},
         1,
         1},
        {Command::Monitor,
         QStringLiteral("monitor"),
         QStringLiteral("monitor [--csv] [--count N]"),
         QStringLiteral("Run the live polling and print each status block as it arrives."),
         QStringLiteral("Runs the live polling plan and prints a row per status block: time in seconds,\n"
                        "actual position, status word and its text, motor current, peak current (A) and\n"
                        "PWM output. Ends after --count rows, at a link loss, or with Ctrl+C."),
         {{{QStringLiteral("csv")}, QString(), QStringLiteral("Comma-separated rows with a header line.")},
          {{QStringLiteral("count")}, QStringLiteral("N"), QStringLiteral("End after N rows.")}},
         0,
         0},
        {Command::Batch,
         QStringLiteral("batch"),
         QStringLiteral("batch FILE.par --ports LIST"),
         QStringLiteral("Commission several drives at once: load, save and check the file on each."),
         QStringLiteral("On every port of LIST, at the same time, one drive each: find it, load the file\n"
                        "into it and make it keep the values (load --save), then compare it with the file\n"
                        "(diff). One line per drive: port, model, version, records sent, differences after\n"
                        "the load, saved or not. LIST takes COM numbers and ranges and device paths,\n"
                        "comma-separated: 1-4 or 1,3 or /dev/ttyUSB0,/dev/ttyUSB1. The exit code is 0 when\n"
                        "every drive matches the file and saved it, else that of the first drive that failed."),
         {{{QStringLiteral("ports")}, QStringLiteral("LIST"), QStringLiteral("The ports, one drive on each.")}},
         1,
         1},
        {Command::List,
         QStringLiteral("list"),
         QStringLiteral("list"),
         QStringLiteral("Read the drive and list every parameter it has: number, name, unit, decimals, value."),
         QStringLiteral("Reads the drive as the window's connect does and lists every parameter the drive's\n"
                        "level has: command number, name and unit in the language in use, the decimals it is\n"
                        "shown with, and its value. get and set take these names as well as numbers."),
         {},
         0,
         0},
    };
    return entries;
}

const CommandSpec* findCommand(const QString& name)
{
    for (const CommandSpec& entry : commands())
        if (entry.name == name)
            return &entry;
    return nullptr;
}

QString optionLines(const QList<OptionSpec>& options)
{
    QString out;
    for (const OptionSpec& o : options) {
        QStringList forms;
        for (const QString& n : o.names)
            forms << (n.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + n;
        QString left = QStringLiteral("  ") + forms.join(QStringLiteral(", "));
        if (!o.valueName.isEmpty())
            left += QLatin1Char(' ') + o.valueName;
        out += left.leftJustified(24) + QLatin1Char(' ') + o.description + QLatin1Char('\n');
    }
    return out;
}

QString exitCodeLines()
{
    return QStringLiteral("  0  success (diff: no differences)\n"
                          "  1  diff: the drive differs from the file\n"
                          "  2  usage error\n"
                          "  3  the drive refused a value\n"
                          "  4  no drive found\n"
                          "  5  link lost: the drive stopped answering\n"
                          "  6  file error\n"
                          "130  interrupted by Ctrl+C (a load or read ends after its current transaction)\n");
}

ParseResult fail(const QString& text, const QString& commandName = {})
{
    ParseResult r;
    r.text = QStringLiteral("kinetra-cli: ") + text + QStringLiteral("\nSee: kinetra-cli ") +
             (commandName.isEmpty() ? QStringLiteral("--help") : commandName + QStringLiteral(" --help"));
    r.toStandardError = true;
    r.exitCode = ExitCode::Usage;
    return r;
}

ParseResult show(const QString& text)
{
    ParseResult r;
    r.text = text;
    return r;
}

bool takesValue(const QString& argument, const QList<OptionSpec>& options)
{
    if (argument.contains(QLatin1Char('=')))
        return false;
    QString name = argument;
    while (name.startsWith(QLatin1Char('-')))
        name.remove(0, 1);
    for (const OptionSpec& o : options)
        if (o.names.contains(name))
            return !o.valueName.isEmpty();
    return false;
}

// "-5" and "-0,5" are values, not options: they go behind a "--" so the parser leaves them be,
// in their order. An option's own value ("--count -1") stays where it is.
QStringList protectNegativeNumbers(const QStringList& arguments, const QList<OptionSpec>& options)
{
    static const QRegularExpression negative(QStringLiteral("^-[0-9,]"));
    QStringList front;
    QStringList back;
    bool afterSeparator = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (afterSeparator) {
            back << a;
        } else if (a == QLatin1String("--")) {
            afterSeparator = true;
        } else if (negative.match(a).hasMatch() && !(i > 0 && takesValue(arguments.at(i - 1), options))) {
            back << a;
        } else {
            front << a;
        }
    }
    if (back.isEmpty())
        return front;
    return front << QStringLiteral("--") << back;
}

std::optional<int> intValue(const QString& text, int min, int max)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok || v < min || v > max)
        return std::nullopt;
    return v;
}

} // namespace

QString generalHelp()
{
    QString text =
        QStringLiteral("Usage: kinetra-cli COMMAND [options] [arguments]\n"
                       "\n"
                       "The Kinetra service tool on the command line, for scripted commissioning: the same drive\n"
                       "link, value formats, parameter files, port names and settings as the window.\n"
                       "Data goes to standard output, messages to standard error.\n"
                       "\n"
                       "Commands:\n");
    for (const CommandSpec& entry : commands())
        text += (QStringLiteral("  ") + entry.synopsis).leftJustified(32) + QLatin1Char(' ') + entry.summary +
                QLatin1Char('\n');
    text += QStringLiteral("\nOptions of every command:\n") + optionLines(commonOptions());
    text += QStringLiteral("\nExit codes:\n") + exitCodeLines();
    text += QStringLiteral("\nEnvironment:\n"
                           "  KINETRA_SETTINGS_DIR    Folder of the settings file, as --settings-dir.\n"
                           "  KINETRA_TRACE=1         Wire trace to the tool's default trace file, as the window.\n"
                           "\n"
                           "kinetra-cli COMMAND --help shows the help of a command.\n");
    return text;
}

QString commandHelp(const QString& name)
{
    const CommandSpec* entry = findCommand(name);
    if (!entry)
        return {};
    QString text = QStringLiteral("Usage: kinetra-cli ") + entry->synopsis + QStringLiteral(" [options]\n\n") +
                   entry->description + QLatin1Char('\n');
    if (!entry->options.isEmpty())
        text += QStringLiteral("\nOptions:\n") + optionLines(entry->options);
    text += QStringLiteral("\nOptions of every command:\n") + optionLines(commonOptions());
    text += QStringLiteral("\nExit codes:\n") + exitCodeLines();
    return text;
}

ParseResult parseCommandLine(const QStringList& arguments)
{
    if (arguments.isEmpty())
        return fail(QStringLiteral("a command is missing."));
    const QString first = arguments.first();
    if (first == QLatin1String("--help") || first == QLatin1String("-h"))
        return show(generalHelp());
    if (first == QLatin1String("--version"))
        return show(QStringLiteral("kinetra-cli " KINETRA_VERSION "\n"));
    if (first == QLatin1String("help")) {
        if (arguments.size() == 1)
            return show(generalHelp());
        const QString help = commandHelp(arguments.at(1));
        return help.isEmpty() ? fail(QStringLiteral("unknown command \"%1\".").arg(arguments.at(1))) : show(help);
    }
    const CommandSpec* entry = findCommand(first);
    if (!entry)
        return fail(QStringLiteral("unknown command \"%1\".").arg(first));

    QList<OptionSpec> all = commonOptions();
    all += entry->options;
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const OptionSpec& o : all)
        parser.addOption(QCommandLineOption(o.names, o.description, o.valueName));

    // QCommandLineParser expects the program name first.
    QStringList list{QStringLiteral("kinetra-cli")};
    list += protectNegativeNumbers(arguments.mid(1), all);
    if (!parser.parse(list))
        return fail(parser.errorText(), entry->name);
    if (parser.isSet(QStringLiteral("help")))
        return show(commandHelp(entry->name));

    ParseResult r;
    Options& o = r.options;
    o.command = entry->command;
    o.arguments = parser.positionalArguments();
    if (o.arguments.size() < entry->minArguments ||
        (entry->maxArguments >= 0 && o.arguments.size() > entry->maxArguments))
        return fail(QStringLiteral("%1 takes: %2").arg(entry->name, entry->synopsis), entry->name);

    if (parser.isSet(QStringLiteral("port"))) {
        const QString value = parser.value(QStringLiteral("port"));
        if (value.contains(QLatin1Char('/')))
            o.device = value;
        else if (!(o.port = intValue(value, 1, 10)))
            return fail(QStringLiteral("--port takes a COM number from 1 to 10 or a device path (/dev/ttyUSB0)."),
                        entry->name);
    }
    if (parser.isSet(QStringLiteral("device"))) {
        if (o.port || !o.device.isEmpty())
            return fail(QStringLiteral("--device and --port name the same thing: give one."), entry->name);
        o.device = parser.value(QStringLiteral("device"));
    }
    if (parser.isSet(QStringLiteral("decimals"))) {
        o.decimals = intValue(parser.value(QStringLiteral("decimals")), 0, 3);
        if (!o.decimals)
            return fail(QStringLiteral("--decimals takes 0, 1, 2 or 3."), entry->name);
    }
    o.traceFile = parser.value(QStringLiteral("trace"));
    o.language = parser.value(QStringLiteral("language"));
    if (!o.language.isEmpty() && languageIndexFor(o.language) < 0)
        return fail(QStringLiteral("unknown language \"%1\"; known: English, German, Italian, French, Spanish, "
                                   "Turkish.")
                        .arg(o.language),
                    entry->name);
    o.json = parser.isSet(QStringLiteral("json"));
    o.quiet = parser.isSet(QStringLiteral("quiet"));
    o.fast = parser.isSet(QStringLiteral("fast"));
    o.settingsDir = parser.isSet(QStringLiteral("settings-dir")) ? parser.value(QStringLiteral("settings-dir"))
                                                                 : qEnvironmentVariable("KINETRA_SETTINGS_DIR");

    switch (o.command) {
    case Command::Read:
        o.output = parser.value(QStringLiteral("output"));
        if (o.output.isEmpty())
            return fail(QStringLiteral("read needs the file to write: -o FILE.par"), entry->name);
        break;
    case Command::Set: o.raw = parser.isSet(QStringLiteral("raw")); break;
    case Command::Load:
        o.save = parser.isSet(QStringLiteral("save"));
        o.check = parser.isSet(QStringLiteral("check"));
        if (o.save && o.check)
            return fail(QStringLiteral("--check sends nothing, so there is nothing to --save."), entry->name);
        break;
    case Command::Diff: o.all = parser.isSet(QStringLiteral("all")); break;
    case Command::Monitor:
        o.csv = parser.isSet(QStringLiteral("csv"));
        if (o.csv && o.json)
            return fail(QStringLiteral("--csv and --json exclude each other."), entry->name);
        if (parser.isSet(QStringLiteral("count"))) {
            o.count = intValue(parser.value(QStringLiteral("count")), 1, 1000000000);
            if (!o.count)
                return fail(QStringLiteral("--count takes a number of rows, 1 or more."), entry->name);
        }
        break;
    case Command::Batch: {
        if (o.port || !o.device.isEmpty())
            return fail(QStringLiteral("batch takes its ports with --ports."), entry->name);
        for (const QString& item : parser.value(QStringLiteral("ports")).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            const QString part = item.trimmed();
            if (part.contains(QLatin1Char('/'))) {
                o.ports << part;
                continue;
            }
            const QStringList range = part.split(QLatin1Char('-'));
            const auto first = intValue(range.value(0), 1, 10);
            const auto last = range.size() == 2 ? intValue(range.value(1), 1, 10) : first;
            if (range.size() > 2 || !first || !last || *last < *first)
                return fail(QStringLiteral("--ports takes COM numbers 1-10, ranges such as 1-4, and device paths, "
                                           "comma-separated."),
                            entry->name);
            for (int n = *first; n <= *last; ++n)
                o.ports << QString::number(n);
        }
        o.ports.removeDuplicates();
        if (o.ports.isEmpty())
            return fail(QStringLiteral("batch needs --ports."), entry->name);
        break;
    }
    case Command::Ports:
    case Command::Find:
    case Command::Get:
    case Command::List: break;
    }
    r.run = true;
    return r;
}

} // namespace kinetra::cli
