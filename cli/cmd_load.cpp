// kinetra-cli load FILE [--save]: the file window's load into the drive, then optionally the
// save window's 137, 1 s, 138.

#include "commands.h"
#include "console.h"
#include "drive_session.h"
#include "file_messages.h"
#include "parameter_file_layout.h"
#include "parameter_file_reader.h"

#include <QJsonArray>
#include <QJsonObject>

namespace kinetra::cli {

namespace {

constexpr int kCommandWord = 2152;
constexpr int kTakeOverCode = 137;
constexpr int kSaveCode = 138;
constexpr double kSavePairPause = 1.0;
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
    const int refusedBefore = session.dialogs.refusals();
    session.com->WriteCom(kDriveAddress, kCommandWord, ParameterValue::number(kTakeOverCode));
    if (session.linkLost() || session.dialogs.refusals() != refusedBefore)
        return false;
    session.clock.waitBlocking(kSavePairPause);
    session.com->WriteCom(kDriveAddress, kCommandWord, ParameterValue::number(kSaveCode));
    if (session.linkLost() || session.dialogs.refusals() != refusedBefore)
        return false;
    session.console.info(session.message(62));
    return true;
}

} // namespace

ExitCode runLoad(DriveSession& session)
{
    const QString path = session.options.arguments.at(0);
    // The whole file is checked before the first value goes out: a file that does not fit this
    // drive, or ends early, would leave the drive with a mix of two parameter sets.
    ExitCode failure = ExitCode::FileError;
    if (!readFileForDrive(session, path, failure))
        return failure;
    const qint16 level = session.state.firmwareLevel;

    SharedState& state = session.state;
    session.com->timerReceive().setEnabled(false);
    state.transferActive = true;
    state.fileWindowActive = true;
    state.driveLoadActive = 1;
    state.transferCount = 0;
    const int total = static_cast<int>(axisSequence(level).size()) + 1;
    session.console.setProgressTotal([total] { return total; });

    LoadTally tally;
    const ParameterFileResult result =
        readParameterFile(path, state.table, level, [&session, &tally](const ParameterRecord& record) {
            if (!record.sentToDrive())
                return true;
            const int refusedBefore = session.dialogs.refusals();
            session.dialogs.setContext(QStringLiteral("%1: ").arg(record.cmd));
            // A file holds the drive's own values: parameter 25 goes out as it stands.
            session.com->WriteCom(kDriveAddress, record.cmd, record.value, SelectionTranslation::Keep);
            session.dialogs.setContext(QString());
            if (session.linkLost())
                return false; // offline now: the rest would only go into the table
            if (session.dialogs.refusals() != refusedBefore)
                tally.refused << record.cmd;
            else
                ++tally.written;
            if (record.isDevice())
                tally.addressWritten = true;
            // Ctrl+C: the load ends after this record, as with the file window's Stop.
            return !session.state.stopRequest;
        });

    state.driveLoadActive = 0;
    state.fileWindowActive = false;
    state.transferActive = false;
    state.transferCount = 0;
    session.console.endProgress();

    if (session.linkLost() || result.error == ParameterFileError::Stopped) {
        session.console.error(session.message(11));
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
