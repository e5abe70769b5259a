#pragma once

#include "sim_process.h"

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace kinetra::test {

// kinetra-drive-sim as a process on a pseudo-terminal, registered as COM1 in a settings folder
// of its own; answers are not paced.
class SimulatorProcess : public sim::SimProcess {
public:
    bool start(QStringList arguments = {})
    {
        return SimProcess::start(QStringLiteral(KINETRA_DRIVE_SIM), arguments << QStringLiteral("--no-pacing"), 1);
    }
};

// What a run of kinetra-cli left behind.
struct CliRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
    QString describe() const;
};

// Starts kinetra-cli with `arguments` and the simulator's settings folder in `process`.
bool startCli(QProcess& process, const SimulatorProcess& sim, const QStringList& arguments);

// Runs kinetra-cli with `arguments` and the simulator's settings folder, standard output and
// error on pipes, and waits for its end.
CliRun runCli(const SimulatorProcess& sim, const QStringList& arguments, int timeoutMs = 40000);

} // namespace kinetra::test
