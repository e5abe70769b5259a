// kinetra-cli load FILE [--save]: the file window's load into the drive, then optionally the
// save window's 137, 1 s, 138.

#include "commands.h"
#include "console.h"
#include "drive_load.h"
#include "drive_protocol.h"
#include "drive_session.h"
#include "drive_workflows.h"
#include "file_messages.h"
#include "parameter_file_layout.h"
#include "parameter_file_reader.h"

#include <QJsonArray>
#include <QJsonObject>

namespace kinetra::cli {

namespace {

// After a new bus address the drive writes its memory and hears nothing meanwhile; outside a
// transfer the link waits this long after it, so the save waits as long.
constexpr double kAddressWritePause = 3.0;

// What the load did.
struct LoadTally {
    int written = 0;
    QList<int> refused;
    bool addressWritten = false;
};

// The save window's button: take the values over, a second later save them.
bool saveInDrive(DriveSession& session, const LoadTally& tally)
{
    if (tally.addressWritten)
        session.clock.waitBlocking(kAddressWritePause);
    if (saveParameters(*session.com) != SaveOutcome::Saved)
        return false;
    session.console.info(session.message(62));
    return true;
}

} // namespace

ExitCode runLoad(DriveSession& session)
{
    const QString path = session.options.arguments.at(0);
    // The preview: the file judged for this drive as a load would judge it, and what the load
    // would change, with nothing sent.
    if (session.options.check)
        return compareWithDrive(
            session, path, [](const ParameterRecord& record) { return record.sentToDrive(); },
            QStringLiteral("values a load would change"));
    // The whole file is checked before the first value goes out: a file that does not fit this
    // drive, or ends early, would leave the drive with a mix of two parameter sets.
    ExitCode failure = ExitCode::FileError;
    if (!readFileForDrive(session, path, failure))
        return failure;
    const qint16 level = session.state.firmwareLevel;

    SharedState& state = session.state;
    session.com->timerReceive().setEnabled(false);
    TransferScope transfer(state, TransferScope::Target::Drive, TransferScope::Runner::Headless);
    const int total = static_cast<int>(axisSequence(level).size()) + 1;
    session.console.setProgressTotal([total] { return total; });

    LoadTally tally;
    const ParameterFileResult result = loadIntoDrive(
        *session.com, path, [&session, &tally](const ParameterRecord& record, std::optional<WriteOutcome> outcome) {
            if (!outcome)
                return true;
            if (session.linkLost())
                return false; // offline now: the rest would only go into the table
            if (*outcome == WriteOutcome::Refused)
                tally.refused << record.cmd;
            else
                ++tally.written;
            if (record.isDevice())
                tally.addressWritten = true;
            return true;
        });
    transfer.end();
    session.console.endProgress();

    if (session.linkLost() || result.error == ParameterFileError::Stopped) {
        // What the drive holds now matters more than that the load ended.
        const int sent = tally.written + static_cast<int>(tally.refused.size());
        session.console.error(session.message(11) +
                              QStringLiteral(" %1 of %2 records went to the drive: it now holds a mix of its own "
                                             "values and the file's, and nothing was saved.")
                                  .arg(sent)
                                  .arg(total));
        // An interrupted load is reported as such by main().
        return session.linkLost() ? ExitCode::LinkLost : ExitCode::Success;
    }
    if (!result.ok()) {
        session.console.error(parameterFileErrorText(session, path, result, false));
        return ExitCode::FileError;
    }
    session.console.info(
        QStringLiteral("%1: %2 values sent to the drive%3.")
            .arg(path)
            .arg(tally.written)
            .arg(tally.refused.isEmpty() ? QString() : QStringLiteral(", %1 refused").arg(tally.refused.size())));

    bool saved = false;
    if (session.options.save) {
        saved = saveInDrive(session, tally);
        if (session.linkLost())
            return ExitCode::LinkLost;
    }
    if (session.options.json) {
        QJsonArray refused;
        for (const int cmd : tally.refused)
            refused.append(cmd);
        printJson(session, QJsonObject{{QStringLiteral("file"), path},
                                       {QStringLiteral("written"), tally.written},
                                       {QStringLiteral("refused"), refused},
                                       {QStringLiteral("saved"), saved}});
    }
    const bool saveRefused = session.options.save && !saved;
    return tally.refused.isEmpty() && !saveRefused ? ExitCode::Success : ExitCode::Refused;
}

} // namespace kinetra::cli
