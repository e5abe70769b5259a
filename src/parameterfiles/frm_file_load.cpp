// The two loads of the file window: into the tool only, and straight into the drive.
#include "frm_file.h"

#include "dialogs.h"
#include "drive_com.h"
#include "drive_load.h"
#include "drive_protocol.h"
#include "drive_workflows.h"
#include "frm_save.h"
#include "link_presenter.h"
#include "parameter_file_reader.h"
#include "shared_state.h"
#include "window_elements.h"

#include <QDir>
#include <QPointer>

namespace kinetra {

namespace {

constexpr int kResultBefore = 30;
constexpr int kLoaded = 32;
constexpr int kNoDriveFound = 34;

} // namespace

void frmFile::cmdLoadPc_Click()
{
    if (!idle())
        return;
    SharedState& state = com_.state();
    state.stopRequest = false;
    const auto path = checkFileParRead();
    if (!path || !headerTest(*path))
        return;
    busy_ = true;
    TransferScope transfer(state, TransferScope::Target::Tool);
    const LoadEnd end = readParameterFile(*path, false);
    transfer.end();
    if (end != LoadEnd::Refused)
        state.paramsLoaded = 1;
    if (end == LoadEnd::Complete || end == LoadEnd::Abandoned)
        setHelp(state.message(kResultBefore) + QDir::toNativeSeparators(*path) + state.message(kLoaded));
    busy_ = false;
}

void frmFile::cmdLoad_Click()
{
    // The load searches the drive and writes every record: it needs the wire to itself.
    if (com_.runOnFreeWire([window = QPointer<frmFile>(this)] {
            if (window)
                window->cmdLoad_Click();
        }))
        return;
    if (!idle())
        return;
    SharedState& state = com_.state();
    state.stopRequest = false;
    const auto path = checkFileParRead();
    if (!path)
        return;
    busy_ = true;
    struct Leave {
        bool& busy;
        ~Leave() { busy = false; }
    } leave{busy_};

    state.fileWindowActive = true;
    com_.searchCom();
    if (state.comOnline == 0 || com_.clock().quitting()) {
        // No drive: nothing was sent, and the window is ready for the next try.
        state.fileWindowActive = false;
        setHelp(state.message(kNoDriveFound));
        return;
    }
    if (!headerTest(*path)) {
        // No parameter file: nothing was sent, and the search left the link online, so live
        // polling goes on as after any refused file.
        state.fileWindowActive = false;
        com_.timerReceive().setEnabled(true);
        return;
    }

    com_.timerReceive().setEnabled(false);
    TransferScope transfer(state, TransferScope::Target::Drive);
    const LoadEnd end = readParameterFile(*path, true);
    finishDriveLoad(end, transfer);
}

void frmFile::finishDriveLoad(LoadEnd end, TransferScope& transfer)
{
    SharedState& state = com_.state();
    WindowElements& window = windows_;
    transfer.end();
    setProgress(0);
    window.setStatusText(3, QString());
    window.setStatusBevel(3, Bevel::Sunken);
    window.setStatusBevel(5, Bevel::Sunken);

    if (end == LoadEnd::Refused) {
        // A refused file (one that ends early too) sent nothing: an online link goes back to
        // live polling, and there is nothing to save.
        if (state.comOnline == 1 && !com_.clock().quitting())
            com_.timerReceive().setEnabled(true);
        return;
    }
    if (closed_ || com_.clock().quitting())
        return;
    openSaveWindow();
}

void frmFile::openSaveWindow()
{
    if (saveWindowOpener_) {
        saveWindowOpener_();
        return;
    }
    askToSaveInDrive(com_, windows_, parentWidget() ? parentWidget() : this);
}

bool frmFile::headerTest(const QString& path)
{
    const ParameterFileResult header = testParameterFileHeader(path);
    if (header.ok())
        return true;
    reportFailure(header, false);
    return false;
}

frmFile::LoadEnd frmFile::readParameterFile(const QString& path, bool toDrive)
{
    SharedState& state = com_.state();
    WindowElements& window = windows_;
    int remembered = 0;
    if (toDrive) {
        remembered = state.comOnline;
        state.comOnline = 1;
        com_.Init();
        state.transferActive = true;
    }

    const ParameterFileResult result =
        toDrive
            ? loadIntoDrive(com_, path,
                            [this](const ParameterRecord& record, std::optional<WriteOutcome>) {
                                showRecord(record);
                                return true;
                            })
            : kinetra::readParameterFile(path, state.table, state.firmwareLevel, [this](const ParameterRecord& record) {
                  if (com_.state().stopRequest || com_.clock().quitting())
                      return false;
                  showRecord(record);
                  return true;
              });

    if (result.error == ParameterFileError::Stopped) {
        setProgress(0);
        showLinkOffline(window);
        return LoadEnd::Abandoned;
    }
    if (!result.ok() && result.error != ParameterFileError::ReadPastEnd) {
        // Refused as a whole (another level's file, a damaged one): nothing was stored or sent.
        reportFailure(result, false);
        return LoadEnd::Refused;
    }
    if (result.error == ParameterFileError::ReadPastEnd) {
        reportFailure(result, false);
        // Into the drive a file that ends early sends nothing; into the tool its records before
        // the end stay loaded.
        return toDrive ? LoadEnd::Refused : LoadEnd::Truncated;
    }

    state.transferActive = false;
    state.paramsLoaded = 1;
    // A link that the writes found dead stays offline; a load into the tool leaves it offline.
    state.comOnline = toDrive && state.comOnline == 1 ? remembered : 0;
    resumeAfterLoad(com_, window);
    setProgress(0);
    return LoadEnd::Complete;
}

void frmFile::showRecord(const ParameterRecord& record)
{
    if (record.shownAfterLoad())
        showValue(record.cmd, record.value.toText());
}

void frmFile::showValue(int cmd, const QString& text)
{
    QString value = text;
    if (valueSink_)
        valueSink_(value, cmd);
    else
        com_.showValues(value, cmd);
}

} // namespace kinetra
