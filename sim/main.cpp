// kinetra-drive-sim: a simulated drive on a pseudo-terminal, for the tool to talk to without
// hardware. See --help.

#include "com_registration.h"
#include "device_texts.h"
#include "drive_model.h"
#include "frame.h"
#include "ini_settings_store.h"
#include "parameter_file_values.h"
#include "pty_line.h"
#include "signal_pipe.h"
#include "sim_options.h"

#include <QCoreApplication>
#include <QTextStream>

#include <memory>

using namespace kinetra;
using namespace kinetra::sim;

namespace {

QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream& err()
{
    static QTextStream stream(stderr);
    return stream;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kinetra-drive-sim"));

    SimOptions options;
    QString message;
    int exitCode = 0;
    if (!parseSimOptions(QCoreApplication::arguments(), options, message, exitCode)) {
        (exitCode == 0 ? out() : err()) << message << Qt::endl;
        return exitCode;
    }
    if (!options.parameterFile.isEmpty()) {
        QString error;
        const auto values = readParameterFileValues(options.parameterFile, &error);
        if (!values) {
            err() << "kinetra-drive-sim: " << error << Qt::endl;
            return 1;
        }
        options.drive.startValues = *values;
    }

    DriveModel model(options.drive);
    if (options.trace) {
        model.setTrace([](const DriveModel::TraceEvent& e) {
            out() << QString::asprintf("%10.4f ", e.time) << (e.fromTool ? "tool  > " : "drive < ")
                  << QString::fromLatin1(describeControlCharacters(e.bytes));
            if (!e.note.isEmpty())
                out() << "   (" << e.note << ")";
            out() << Qt::endl;
        });
    }

    PtyLine line(model);
    QString error;
    if (!line.open(&error)) {
        err() << "kinetra-drive-sim: " << error << Qt::endl;
        return 1;
    }

    const int type = model.deviceType();
    const QString name = deviceTypeText(type);
    out() << "kinetra-drive-sim: " << (name.isEmpty() ? QStringLiteral("unnamed model") : name) << " (device type "
          << type << "), software " << versionText(model.softwareVersion()) << ", line address " << options.drive.address
          << Qt::endl;
    out() << "line: " << line.devicePath() << "  (9600,n,8,1"
          << (options.drive.pacing ? ", answers paced at the line rate" : ", answers not paced") << ")" << Qt::endl;

    std::unique_ptr<IniSettingsStore> store;
    std::unique_ptr<ComRegistration> registration;
    if (!options.com.isEmpty()) {
        store = options.settingsDir.isEmpty() ? std::make_unique<IniSettingsStore>()
                                              : std::make_unique<IniSettingsStore>(options.settingsDir);
        registration = std::make_unique<ComRegistration>(*store);
        const int wanted = options.com == QLatin1String("auto") ? 0 : options.com.toInt();
        const int taken = registration->add(wanted, line.devicePath());
        if (taken == 0) {
            err() << "kinetra-drive-sim: COM1-COM10 all have entries in " << store->fileFor(kApplicationName)
                  << "; give --com N to take one." << Qt::endl;
            return 1;
        }
        out() << "port: COM" << taken << " for the tool (\"Ports\"/\"COM" << taken << "\" in "
              << store->fileFor(kApplicationName) << ", removed when this program ends)" << Qt::endl;
    } else {
        out() << "port: not registered; start with --com N, or set \"Ports\"/\"COMn\" = " << line.devicePath()
              << " in the tool's settings" << Qt::endl;
    }
    if (options.drive.faults.any())
        out() << "faults on cue are set: see --help" << Qt::endl;
    out() << "Ctrl+C ends it." << Qt::endl;

    SignalPipe signals_;
    QObject::connect(&signals_, &SignalPipe::terminationRequested, &app, [&app] { app.quit(); });
    QObject::connect(&line, &PtyLine::hungUp, &app, [&app] {
        out() << "kinetra-drive-sim: hung up the line (fault on cue); ending." << Qt::endl;
        app.quit();
    });

    const int code = app.exec();
    registration.reset();
    out() << "kinetra-drive-sim: ended" << Qt::endl;
    return code;
}
