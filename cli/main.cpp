// kinetra-cli: the service tool's link, value formats and parameter files on the command line.
// See kinetra-cli --help.

#include "cli_options.h"
#include "commands.h"
#include "console.h"
#include "drive_session.h"
#include "interrupt.h"

#include <QCoreApplication>

using namespace kinetra;
using namespace kinetra::cli;

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kinetra-cli"));

    const ParseResult parsed = parseCommandLine(QCoreApplication::arguments().mid(1));
    Console console;
    if (!parsed.run) {
        const QByteArray text = (parsed.text + (parsed.text.endsWith(QLatin1Char('\n')) ? "" : "\n")).toUtf8();
        std::fputs(text.constData(), parsed.toStandardError ? stderr : stdout);
        return toInt(parsed.exitCode);
    }

    const Options& options = parsed.options;
    console.setQuiet(options.quiet);
    console.setProgressEnabled(Console::standardErrorIsTerminal());
    DriveSession session(options, console);
    if (!session.setUp())
        return toInt(ExitCode::FileError);

    // Ctrl+C: a bulk transfer (full read, load) ends after its current transaction, as with the
    // window's Stop; anything else, or a second Ctrl+C, ends every wait at once.
    Interrupt interrupt;
    interrupt.setHandler([&session](int count) {
        if (count == 1 && session.state.transferActive) {
            session.state.stopRequest = true;
            session.clock.wake();
        } else {
            session.clock.setQuitting();
        }
    });

    ExitCode code = ExitCode::Success;
    switch (options.command) {
    case Command::Ports: code = runPorts(session); break;
    case Command::Find: code = runFind(session); break;
    case Command::Read: code = runRead(session); break;
    case Command::Get: code = runGet(session); break;
    case Command::Set: code = runSet(session); break;
    case Command::Load: code = runLoad(session); break;
    case Command::Diff: code = runDiff(session); break;
    case Command::Monitor: code = runMonitor(session); break;
    case Command::List: code = runList(session); break;
    case Command::Batch: code = runBatch(session); break;
    }
    // Ctrl+C is how a monitor without --count ends, and says nothing more; anything else it cut
    // short. Either way the exit code says so.
    if (interrupt.happened()) {
        if (options.command != Command::Monitor)
            console.error(QStringLiteral("interrupted."));
        return kInterruptedExitCode;
    }
    return toInt(code);
}
