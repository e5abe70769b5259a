#include "sim_process.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>

namespace kinetra::bench {

SimProcess::~SimProcess()
{
    if (process_.state() != QProcess::NotRunning) {
        process_.terminate();
        if (!process_.waitForFinished(3000)) {
            process_.kill();
            process_.waitForFinished(3000);
        }
    }
}

bool SimProcess::start(const QStringList& arguments)
{
    const QString program = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("kinetra-drive-sim"));
    // Extra simulator options for experiments (e.g. --no-pacing), from the environment.
    QStringList extra;
    const QString fromEnvironment = qEnvironmentVariable("KINETRA_BENCH_SIM_ARGS");
    if (!fromEnvironment.isEmpty())
        extra = fromEnvironment.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    process_.start(program, QStringList(arguments) + extra << QStringLiteral("--com") << QStringLiteral("1")
                                                   << QStringLiteral("--settings-dir") << settingsDir_.path());
    if (!process_.waitForStarted(5000)) {
        output_ = program + QStringLiteral(": ") + process_.errorString();
        return false;
    }
    // It prints its device, then the COM number it registered.
    QElapsedTimer t;
    t.start();
    while (!output_.contains(QLatin1String("port: COM1")) && t.elapsed() < 5000
           && process_.state() == QProcess::Running) {
        process_.waitForReadyRead(100);
        output_ += QString::fromLocal8Bit(process_.readAllStandardOutput());
    }
    return output_.contains(QLatin1String("port: COM1"));
}

} // namespace kinetra::bench
