#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace kinetra::test {

// kinetra-drive-sim as a process on a pseudo-terminal, registered as COM1 in a settings folder
// of its own; answers are not paced.
class SimulatorProcess {
public:
    ~SimulatorProcess();
    bool start(QStringList arguments = {});
    QString settingsDir() const { return settings_.path(); }
    QString device() const { return device_; }
    QString output() const { return output_; }

private:
    QTemporaryDir settings_;
    QProcess process_;
    QString device_;
    QString output_;
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
