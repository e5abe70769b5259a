#include "sim_process.h"

#include <QElapsedTimer>
#include <QRegularExpression>

#include <csignal>
#include <sys/prctl.h>

namespace kinetra::sim {

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

bool SimProcess::start(const QString& program, const QStringList& arguments, int com)
{
    // A test that crashes must not leave its simulator running on the pseudo-terminal.
    process_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    process_.start(program, QStringList(arguments) << QStringLiteral("--com") << QString::number(com)
                                                   << QStringLiteral("--settings-dir") << settingsDir_.path());
    if (!process_.waitForStarted(5000)) {
        output_ = program + QStringLiteral(": ") + process_.errorString();
        return false;
    }
    // It names its device, then the COM number it took.
    const QString taken = QStringLiteral("port: COM%1").arg(com);
    QElapsedTimer t;
    t.start();
    while (!output_.contains(taken) && t.elapsed() < 5000 && process_.state() == QProcess::Running) {
        process_.waitForReadyRead(100);
        output_ += QString::fromLocal8Bit(process_.readAllStandardOutput());
    }
    device_ = QRegularExpression(QStringLiteral("line: (\\S+)")).match(output_).captured(1);
    return output_.contains(taken) && !device_.isEmpty();
}

} // namespace kinetra::sim
