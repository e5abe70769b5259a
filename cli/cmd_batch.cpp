// kinetra-cli batch FILE --ports LIST: commissioning several drives at once. Each drive runs in a
// kinetra-cli of its own on its own port (find, load --save, diff), so four drives take the
// time of one; this process only starts them and gathers what they report.

#include "commands.h"
#include "console.h"
#include "drive_session.h"
#include "exit_codes.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <memory>
#include <vector>

namespace kinetra::cli {

namespace {

// One drive's way through find, load --save and diff.
class DriveRun {
public:
    DriveRun(QString port, QStringList common, QString file, std::function<void()> changed)
        : port_(std::move(port)), common_(std::move(common)), file_(std::move(file)), changed_(std::move(changed))
    {
        result_.insert(QStringLiteral("port"), port_);
        QObject::connect(&process_, &QProcess::finished, [this](int code, QProcess::ExitStatus status) {
            finished(status == QProcess::NormalExit ? code : toInt(ExitCode::LinkLost));
        });
        QObject::connect(&process_, &QProcess::errorOccurred, [this](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart)
                finished(toInt(ExitCode::Usage));
        });
    }

    void start() { run({QStringLiteral("find")}); }
    // Ctrl+C: the child ends as on its own Ctrl+C, between two transactions, and no further
    // step starts.
    void stop()
    {
        stopping_ = true;
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            if (!process_.waitForFinished(10000))
                process_.kill();
        }
        if (!done())
            finish();
    }
    bool done() const { return step_ == Step::Done; }
    int exitCode() const { return exitCode_; }
    const QJsonObject& result() const { return result_; }

private:
    enum class Step { Find, Load, Diff, Done };

    void run(const QStringList& command)
    {
        const bool device = port_.contains(QLatin1Char('/'));
        process_.start(QCoreApplication::applicationFilePath(),
                       command + common_ +
                           QStringList{device ? QStringLiteral("--device") : QStringLiteral("--port"), port_,
                                       QStringLiteral("--json"), QStringLiteral("-q")});
    }

    void finished(int code)
    {
        const QByteArray out = process_.readAllStandardOutput();
        const QString err = QString::fromUtf8(process_.readAllStandardError()).trimmed();
        if (stopping_) {
            if (exitCode_ == 0 && code != 0) {
                exitCode_ = code;
                result_.insert(QStringLiteral("error"), QStringLiteral("interrupted"));
            }
            return;
        }
        const QJsonDocument data = QJsonDocument::fromJson(out);
        switch (step_) {
        case Step::Find:
            result_.insert(QStringLiteral("model"), data.object().value(QStringLiteral("model")));
            result_.insert(QStringLiteral("version"), data.object().value(QStringLiteral("version")));
            if (!fail(code, err)) {
                step_ = Step::Load;
                run({QStringLiteral("load"), file_, QStringLiteral("--save")});
            }
            break;
        case Step::Load: {
            const QJsonObject load = data.object();
            const int sent = load.value(QStringLiteral("written")).toInt() +
                             static_cast<int>(load.value(QStringLiteral("refused")).toArray().size());
            result_.insert(QStringLiteral("sent"), sent);
            result_.insert(QStringLiteral("refused"), load.value(QStringLiteral("refused")));
            result_.insert(QStringLiteral("saved"), load.value(QStringLiteral("saved")).toBool());
            // Refused values still leave a drive to compare; a lost link does not.
            if (code == toInt(ExitCode::Success) || code == toInt(ExitCode::Refused)) {
                fail(code, err);
                step_ = Step::Diff;
                run({QStringLiteral("diff"), file_});
            } else {
                fail(code, err);
            }
            break;
        }
        case Step::Diff:
            result_.insert(QStringLiteral("differences"), data.array().size());
            fail(code, err);
            finish();
            break;
        case Step::Done: break;
        }
    }

    // Records a failing step; true when the run ends here (only the diff follows a refusal).
    bool fail(int code, const QString& err)
    {
        if (code == toInt(ExitCode::Success))
            return false;
        if (exitCode_ == 0) {
            exitCode_ = code;
            result_.insert(QStringLiteral("error"),
                           err.section(QLatin1Char('\n'), -1).remove(QStringLiteral("kinetra-cli: ")));
        }
        if (step_ == Step::Load && (code == toInt(ExitCode::Refused)))
            return false;
        finish();
        return true;
    }

    void finish()
    {
        if (step_ == Step::Done)
            return;
        step_ = Step::Done;
        result_.insert(QStringLiteral("ok"), exitCode_ == 0);
        changed_();
    }

    QString port_;
    QStringList common_;
    QString file_;
    std::function<void()> changed_;
    QProcess process_;
    Step step_ = Step::Find;
    bool stopping_ = false;
    int exitCode_ = 0;
    QJsonObject result_;
};

QString portName(const QString& port)
{
    return port.contains(QLatin1Char('/')) ? port : QStringLiteral("COM") + port;
}

} // namespace

ExitCode runBatch(DriveSession& session)
{
    const Options& o = session.options;
    const QString file = o.arguments.at(0);
    // What every drive's kinetra-cli shares with this one.
    QStringList common;
    if (!o.settingsDir.isEmpty())
        common << QStringLiteral("--settings-dir") << o.settingsDir;
    if (!o.language.isEmpty())
        common << QStringLiteral("--language") << o.language;
    if (o.decimals)
        common << QStringLiteral("--decimals") << QString::number(*o.decimals);

    const double start = session.clock.now();
    std::vector<std::unique_ptr<DriveRun>> runs;
    for (const QString& port : o.ports)
        runs.push_back(std::make_unique<DriveRun>(port, common, file, [&session] { session.clock.wake(); }));
    for (const auto& run : runs)
        run->start();
    const auto allDone = [&runs] {
        for (const auto& run : runs)
            if (!run->done())
                return false;
        return true;
    };
    // Waiting serves the children's signals and nothing else; Ctrl+C ends it.
    while (!allDone() && !session.clock.quitting())
        session.clock.waitServing(24 * 3600.0, [&] { return allDone() || session.clock.quitting(); });
    if (!allDone())
        for (const auto& run : runs)
            run->stop();

    QJsonArray rows;
    ExitCode code = ExitCode::Success;
    if (!o.json)
        session.console.data(QStringLiteral("%1 %2 %3 %4 %5 %6  %7")
                                 .arg(QStringLiteral("port"), -14)
                                 .arg(QStringLiteral("model"), -18)
                                 .arg(QStringLiteral("version"), -8)
                                 .arg(QStringLiteral("sent"), 5)
                                 .arg(QStringLiteral("diff"), 5)
                                 .arg(QStringLiteral("saved"), -5)
                                 .arg(QStringLiteral("result")));
    for (const auto& run : runs) {
        const QJsonObject& r = run->result();
        if (code == ExitCode::Success && run->exitCode() != 0)
            code = static_cast<ExitCode>(run->exitCode());
        if (o.json) {
            rows.append(r);
            continue;
        }
        const auto number = [&r](const char* key) {
            return r.contains(QLatin1String(key)) ? QString::number(r.value(QLatin1String(key)).toInt())
                                                  : QStringLiteral("-");
        };
        session.console.data(
            QStringLiteral("%1 %2 %3 %4 %5 %6  %7")
                .arg(portName(r.value(QStringLiteral("port")).toString()), -14)
                .arg(r.value(QStringLiteral("model")).toString(QStringLiteral("-")), -18)
                .arg(r.value(QStringLiteral("version")).toString(QStringLiteral("-")), -8)
                .arg(number("sent"), 5)
                .arg(number("differences"), 5)
                .arg(r.value(QStringLiteral("saved")).toBool() ? QStringLiteral("yes") : QStringLiteral("no"), -5)
                .arg(run->exitCode() == 0 ? QStringLiteral("ok") : r.value(QStringLiteral("error")).toString()));
    }
    if (o.json)
        printJson(session, rows);
    session.console.info(QStringLiteral("%1 drives in %2 s.")
                             .arg(runs.size())
                             .arg(session.clock.now() - start, 0, 'f', 1));
    return code;
}

} // namespace kinetra::cli
