#include "sim_on_pty.h"

#include <QElapsedTimer>

namespace kinetra::test {

SimOnPty::~SimOnPty()
{
    if (process_.state() != QProcess::NotRunning) {
        process_.terminate();
        if (!process_.waitForFinished(3000)) {
            process_.kill();
            process_.waitForFinished(3000);
        }
    }
}

bool SimOnPty::start(const QStringList& arguments)
{
    process_.start(QStringLiteral(KINETRA_DRIVE_SIM), QStringList(arguments)
                                                        << QStringLiteral("--com") << QStringLiteral("1")
                                                        << QStringLiteral("--settings-dir") << settingsDir_.path());
    if (!process_.waitForStarted(5000))
        return false;
    QElapsedTimer t;
    t.start();
    while (!output_.contains(QLatin1String("port: COM1")) && t.elapsed() < 5000
           && process_.state() == QProcess::Running) {
        process_.waitForReadyRead(100);
        output_ += QString::fromLocal8Bit(process_.readAllStandardOutput());
    }
    return output_.contains(QLatin1String("port: COM1"));
}

} // namespace kinetra::test
