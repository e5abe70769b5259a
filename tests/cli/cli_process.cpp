#include "cli_process.h"

#include <QProcessEnvironment>

namespace kinetra::test {

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
