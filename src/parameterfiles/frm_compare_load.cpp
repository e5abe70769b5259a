// The compare window's load: the ticked rows of file B into the drive, by the file window's load.
#include "frm_compare.h"

#include "dialogs.h"
#include "drive_com.h"
#include "drive_load.h"
#include "drive_workflows.h"
#include "frm_save.h"
#include "link_presenter.h"
#include "shared_state.h"
#include "tool_texts.h"
#include "window_elements.h"

#include <QAbstractButton>
#include <QPointer>
#include <QProgressBar>
#include <QSet>

namespace kinetra {

namespace {

constexpr int kTransferInterrupted = 11;

} // namespace

void frmCompare::cmdCompareLoad_Click()
{
    // The load writes record after record: it needs the wire to itself.
    if (com_.runOnFreeWire([window = QPointer<frmCompare>(this)] {
            if (window)
                window->cmdCompareLoad_Click();
        }))
        return;
    if (busy_ || !comparedDrive_ || !driveSide())
        return;
    SharedState& state = com_.state();
    if (state.comOnline != 1) {
        dialogs_.message(state.tool(tooltext::CompareOffline), kApplicationTitle, MessageIcon::Error);
        updateButtons();
        return;
    }
    const QList<int> ticked = tickedCommands();
    if (ticked.isEmpty()) {
        dialogs_.message(state.tool(tooltext::CompareNothingTicked), kApplicationTitle, MessageIcon::Information);
        return;
    }

    busy_ = true;
    updateButtons();
    state.stopRequest = false;
    com_.timerReceive().setEnabled(false);
    TransferScope transfer(state, TransferScope::Target::Drive);
    progressBar_->setMaximum(static_cast<int>(ticked.size()));
    int written = 0;
    const LoadEnd end = loadTicked(ticked, written);
    finishLoad(end, transfer);
    busy_ = false;
    if (closed_ || com_.clock().quitting())
        return;
    // What the drive holds now, against the file.
    compare();
    if (end != LoadEnd::Refused)
        setHelp(state.tool(tooltext::CompareLoaded).arg(written));
}

frmCompare::LoadEnd frmCompare::loadTicked(const QList<int>& ticked, int& written)
{
    SharedState& state = com_.state();
    const QSet<int> selected(ticked.cbegin(), ticked.cend());
    const ParameterFileResult result = loadIntoDrive(
        com_, comparedPathB_,
        [this, &written](const ParameterRecord& record, std::optional<WriteOutcome> outcome) {
            if (outcome == WriteOutcome::Accepted)
                ++written;
            if (record.shownAfterLoad())
                showRecord(record);
            return true;
        },
        [&selected](const ParameterRecord& record) { return selected.contains(record.cmd); });

    if (result.error == ParameterFileError::Stopped) {
        setProgress(0);
        showLinkOffline(windows_);
        return LoadEnd::Abandoned;
    }
    if (!result.ok()) {
        // The file changed since it was compared and is refused whole: nothing was sent.
        reportFailure(result);
        return LoadEnd::Refused;
    }
    state.transferActive = false;
    resumeAfterLoad(com_, windows_);
    setProgress(0);
    return LoadEnd::Complete;
}

void frmCompare::finishLoad(LoadEnd end, TransferScope& transfer)
{
    SharedState& state = com_.state();
    transfer.end();
    setProgress(0);
    if (end == LoadEnd::Refused) {
        if (state.comOnline == 1 && !com_.clock().quitting())
            com_.timerReceive().setEnabled(true);
        return;
    }
    if (closed_ || com_.clock().quitting())
        return;
    if (saveWindowOpener_)
        saveWindowOpener_();
    else
        askToSaveInDrive(com_, windows_, parentWidget() ? parentWidget() : this);
}

void frmCompare::showRecord(const ParameterRecord& record)
{
    QString value = record.value.toText();
    if (valueSink_)
        valueSink_(value, record.cmd);
    else
        com_.showValues(value, record.cmd);
}

void frmCompare::cmdCompareStop_Click()
{
    // The link goes offline between transactions and sets stopRequest: the load ends after its
    // current record.
    com_.cmdStop();
    com_.state().fileWindowActive = false;
    setProgress(0);
}

void frmCompare::done(int result)
{
    if (!closed_) {
        closed_ = true;
        SharedState& state = com_.state();
        if (state.driveLoadActive == 1) {
            // Closed during a load: the link goes offline and the load ends after its current
            // record, as when the file window closes during its load.
            setProgress(0);
            com_.goOffline();
            if (!com_.clock().quitting())
                dialogs_.message(state.message(kTransferInterrupted), kApplicationTitle, MessageIcon::Error);
        }
    }
    QDialog::done(result);
}

} // namespace kinetra
