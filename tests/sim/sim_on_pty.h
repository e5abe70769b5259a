#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

namespace kinetra::test {

// kinetra-drive-sim on a pseudo-terminal, registered as COM`com` in a settings folder of its own.
class SimOnPty {
public:
    SimOnPty() = default;
    ~SimOnPty();
    SimOnPty(const SimOnPty&) = delete;
    SimOnPty& operator=(const SimOnPty&) = delete;

    // Starts it with `arguments` besides --com and --settings-dir; false when it did not come
    // up (output() says why).
    bool start(const QStringList& arguments, int com = 1);
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

} // namespace kinetra::test
