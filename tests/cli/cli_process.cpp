#include "cli_process.h"

#include <QElapsedTimer>
#include <QProcessEnvironment>
#include <QRegularExpression>

namespace kinetra::test {

SimulatorProcess::~SimulatorProcess()
{
    if (process_.state() != QProcess::NotRunning) {
        process_.terminate();
        if (!process_.waitForFinished(3000)) {
            process_.kill();
            process_.waitForFinished(3000);
        }
    }
}

bool SimulatorProcess::start(QStringList arguments)
{
    arguments += {"--com", "1", "--settings-dir", settings_.path(), "--no-pacing"};
    process_.start(QStringLiteral(KINETRA_DRIVE_SIM), arguments);
    if (!process_.waitForStarted(5000))
        return false;
    // It names its device, then the COM number it took.
    QElapsedTimer t;
    t.start();
    while (!output_.contains(QLatin1String("port: COM")) && t.elapsed() < 5000) {
        process_.waitForReadyRead(100);
        output_ += QString::fromLocal8Bit(process_.readAllStandardOutput());
    }
    device_ = QRegularExpression(QStringLiteral("line: (\\S+)")).match(output_).captured(1);
    return !device_.isEmpty() && output_.contains(QLatin1String("port: COM1"));
}

QString CliRun::describe() const
{
    return QStringLiteral("exit %1\nstdout:\n%2\nstderr:\n%3")
        .arg(exitCode)
        .arg(QString::fromUtf8(out), QString::fromUtf8(err));
}

bool startCli(QProcess& process, const SimulatorProcess& sim, const QStringList& arguments)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KINETRA_SETTINGS_DIR"), sim.settingsDir());
    env.remove(QStringLiteral("KINETRA_TRACE"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(KINETRA_CLI), arguments);
    return process.waitForStarted(5000);
}

CliRun runCli(const SimulatorProcess& sim, const QStringList& arguments, int timeoutMs)
{
    QProcess process;
    CliRun run;
    if (!startCli(process, sim, arguments) || !process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(3000);
        run.err = "did not end in time\n" + process.readAllStandardError();
        return run;
    }
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return run;
}

} // namespace kinetra::test
