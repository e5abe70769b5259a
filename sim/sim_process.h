#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

namespace kinetra::sim {

// kinetra-drive-sim as a child process on a pseudo-terminal, registered as COMn in a settings
// folder of its own, so that nothing touches the user's settings. Ends it on destruction.
class SimProcess {
public:
    SimProcess() = default;
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // Starts `program` with `arguments` besides --com and --settings-dir; false when it did not
    // come up (output() says why).
    bool start(const QString& program, const QStringList& arguments, int com = 1);
    QString settingsDir() const { return settingsDir_.path(); }
    QString output() const { return output_; }
    // The pseudo-terminal's device, as the simulator names it.
    QString device() const { return device_; }
    QProcess& process() { return process_; }

private:
    QTemporaryDir settingsDir_;
    QProcess process_;
    QString output_;
    QString device_;
};

} // namespace kinetra::sim
