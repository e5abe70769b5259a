#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

namespace kinetra::bench {

// kinetra-drive-sim from the bench's own folder, registered as COM1 in a settings folder of
// its own, so that nothing touches the user's settings.
class SimProcess {
public:
    SimProcess() = default;
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // Starts it with `arguments` (besides --com and --settings-dir); false with the reason in
    // output() when it did not come up.
    bool start(const QStringList& arguments);
    QString settingsDir() const { return settingsDir_.path(); }
    QString output() const { return output_; }

private:
    QTemporaryDir settingsDir_;
    QProcess process_;
    QString output_;
};

} // namespace kinetra::bench
