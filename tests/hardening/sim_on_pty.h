#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

namespace kinetra::test {

// kinetra-drive-sim on a pseudo-terminal, registered as COM1 in a settings folder of its own.
class SimOnPty {
public:
    SimOnPty() = default;
    ~SimOnPty();
    SimOnPty(const SimOnPty&) = delete;
    SimOnPty& operator=(const SimOnPty&) = delete;

    // Starts it with `arguments` besides --com and --settings-dir; false when it did not come
    // up (output() says why).
    bool start(const QStringList& arguments);
    QString settingsDir() const { return settingsDir_.path(); }
    QString output() const { return output_; }
    bool running() const { return process_.state() != QProcess::NotRunning; }

private:
    QTemporaryDir settingsDir_;
    QProcess process_;
    QString output_;
};

} // namespace kinetra::test
