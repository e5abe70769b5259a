#include "drive_com.h"

#include "drive_protocol.h"
#include "serial_port.h"
#include "shared_state.h"

namespace kinetra {

namespace {

constexpr int kLastPort = 10;
const QString kLineSettings = QStringLiteral("9600,n,8,1");
constexpr double kSearchPause = 1.0;
constexpr double kConnectPause = 0.1;
constexpr double kStopPause = 0.5;
// Axis parameters that drives below this level do not have.
constexpr qint16 kFullAxisLevel = 540;

} // namespace

bool isFullReadDeviceParameter(int cmd)
{
    return cmd >= 2400 && cmd <= 2448 && !(cmd >= 2404 && cmd <= 2409) && !(cmd >= 2420 && cmd <= 2424);
}

bool isFullReadAxisParameter(int cmd, qint16 level)
{
    return cmd >= 2100 && cmd <= 2199 &&
           (level >= kFullAxisLevel || !((cmd >= 2156 && cmd <= 2179) || (cmd >= 2182 && cmd <= 2198)));
}

void DriveCom::openPort()
{
    port_.setPortNumber(state_.comPort);
    // The search ends past the last port; there is nothing to open there.
    if (state_.comPort > kLastPort)
        return;
    port_.setSettings(kLineSettings);
    // A port that does not open is skipped: later transactions simply get no answer. One the
    // user may not open, or another program holds, is remembered, so that the search can say
    // why it found nothing.
    if (port_.open())
        return;
    const QString device = port_.deviceName();
    if (device.isEmpty())
        return;
    if (port_.lastOpenError() == PortOpenError::PermissionDenied && !deniedDevices_.contains(device))
        deniedDevices_ << device;
    if (port_.lastOpenError() == PortOpenError::InUse) {
        const QString busy = portBusyDescription(state_.comPort, device, port_.lastOpenHolder());
        if (!busyDevices_.contains(busy))
            busyDevices_ << busy;
    }
}

void DriveCom::Init()
{
    if (!port_.isOpen())
        openPort();
    else
        state_.comPort = port_.portNumber();
    state_.EOT = 4;
    state_.STX = 2;
    state_.ETX = 3;
    state_.ENQ = 5;
    state_.NAK = 21;
    state_.ACK = 6;
}

SearchOutcome DriveCom::searchCom()
{
    // Inside another transaction's wait no port could be asked: the search runs after it.
    if (runOnFreeWire([this] { searchCom(); }))
        return SearchOutcome::Deferred;
    timerReceive_->setEnabled(false);
    state_.stopRequest = false;
    observer_.searchStarted();
    deniedDevices_.clear();
    busyDevices_.clear();

    // A link that is up is searched from its own port on, at once.
    if (state_.comOnline == 0) {
        clock_.waitServing(kSearchPause);
        state_.comPort = 1;
        // The port stays held after a Stop. When its number now stands for another device (the
        // technician changed the port assignment meanwhile), it is let go, so that this search
        // asks the devices the numbers stand for now.
        if (port_.holdsAnotherDevice())
            port_.close();
    }
    Init();
    state_.quietWait = true;
    state_.comOnline = 1;

    for (;;) {
        if (clock_.quitting())
            break;
        const ReadOutcome outcome = ReadCom(protocol::kSearch, protocol::kAddress);
        if (outcome != ReadOutcome::Match) {
            ++state_.comPort;
            port_.close();
            openPort();
            observer_.searchingPort(state_.comPort);
        }
        clock_.serveEvents();
        if (outcome == ReadOutcome::Match || state_.comPort > kLastPort)
            break;
    }

    const bool found = state_.comPort <= kLastPort && !clock_.quitting();
    if (found) {
        observer_.driveFound(state_.comPort);
    } else {
        state_.comOnline = 0;
        observer_.noDriveFound();
    }

    state_.quietWait = false;
    observer_.searchEnded();
    if (!found && !deniedDevices_.isEmpty() && !clock_.quitting())
        observer_.portsDenied(deniedDevices_);
    if (!found && !busyDevices_.isEmpty() && !clock_.quitting())
        observer_.portsBusy(busyDevices_);
    deniedDevices_.clear();
    busyDevices_.clear();
    return found ? SearchOutcome::Found : SearchOutcome::NoDrive;
}

FullReadOutcome DriveCom::Connect()
{
    if (runOnFreeWire([this] { Connect(); }))
        return FullReadOutcome::Deferred;

    state_.transferActive = true;
    // The fast link's trouble is counted per full read. Like the pause before a write, the
    // pause before the read lets an owed answer end; the fast link owes none unless the last
    // answer came short.
    fastLinkTroubles_ = 0;
    if (!fast_ || answerOwed_)
        clock_.waitServing(kConnectPause);
    observer_.fullReadStarted(state_.transferTotal);

    // Reads one parameter; false when the read must end (failed or stopped).
    bool stopped = false;
    const auto readOne = [this, &stopped](int cmd) {
        const ReadOutcome outcome = ReadCom(cmd, protocol::kAddress);
        clock_.serveEvents();
        // A Stop pressed during the last poll took effect right after it: stopped, not failed.
        if (state_.stopRequest) {
            stopped = true;
            return false;
        }
        return outcome != ReadOutcome::NoAnswer && outcome != ReadOutcome::Offline && !clock_.quitting();
    };

    bool complete = true;
    for (int cmd = 2400; cmd <= 2448 && complete; ++cmd)
        if (isFullReadDeviceParameter(cmd))
            complete = readOne(cmd);
    // The software version among the device parameters has set firmwareLevel by now.
    for (int cmd = 2100; cmd <= 2199 && complete; ++cmd)
        if (isFullReadAxisParameter(cmd, state_.firmwareLevel))
            complete = readOne(cmd);

    if (stopped) {
        observer_.fullReadStopped();
        return FullReadOutcome::Stopped;
    }
    // A failed read has been reported; transferActive stays set until Stop clears it.
    if (!complete)
        return FullReadOutcome::Failed;

    state_.transferActive = false;
    state_.paramsLoaded = 1;
    // What the drive holds now is what a revert goes back to. A reconnect saves nothing: what
    // was unsaved before stays so until the drive acknowledges a save.
    changeUnsaved([this](UnsavedValues& unsaved) { unsaved.readComplete(state_.table); });
    timerReceive_->setEnabled(true);
    state_.transferCount = 0;
    observer_.fullReadComplete();
    return FullReadOutcome::Complete;
}

void DriveCom::cmdConnect()
{
    if (clock_.quitting())
        return;
    if (depth_ > 0) {
        if (!connectPending_) {
            connectPending_ = true;
            runOnFreeWire([this] {
                connectPending_ = false;
                cmdConnect();
            });
        }
        return;
    }
    if (state_.transferActive || connecting_)
        return;
    connecting_ = true;
    searchCom();
    if (state_.comOnline != 0)
        Connect();
    connecting_ = false;
}

void DriveCom::cmdStop()
{
    if (clock_.quitting())
        return;
    // Stop acts between transactions: the poll or write on the wire ends first (without
    // further attempts), then the link goes offline.
    if (depth_ > 0) {
        if (!stopPending_) {
            stopPending_ = true;
            runOnFreeWire([this] {
                stopPending_ = false;
                cmdStop();
            });
        }
        return;
    }
    state_.paramsLoaded = 0;
    goOffline();
}

void DriveCom::goOffline()
{
    state_.comOnline = 0;
    state_.driveLoadActive = 0;
    state_.transferActive = false;
    timerReceive_->setEnabled(false);

    clock_.waitServing(kStopPause);

    observer_.stopped();
    state_.stopRequest = true;
    state_.transferCount = 0;
    clock_.wake();
}

} // namespace kinetra
