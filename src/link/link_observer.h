#pragma once

#include <QString>
#include <QStringList>

namespace kinetra {

// What the link has to tell while it works: its state, the progress of a transfer, the
// refusals and a line that stopped answering. The link only reports; the window's presenter
// turns the reports into status panels, help lines and message boxes, the command-line tool into
// console lines. Every report of this base class does nothing: it stands for nobody listening.
class LinkObserver {
public:
    virtual ~LinkObserver() = default;

    // The port search starts; it names each port it goes on to.
    virtual void searchStarted() {}
    virtual void searchingPort(int /*port*/) {}
    // The search found a drive on `port`, or none on any port.
    virtual void driveFound(int /*port*/) {}
    virtual void noDriveFound() {}
    // The search is over, whatever it found.
    virtual void searchEnded() {}
    // Ports the user may not open (the system refused for lack of rights), and ports another
    // program holds ("COM1 (/dev/ttyUSB0) is in use by kinetra, process 1234"); once per search
    // that found no drive.
    virtual void portsDenied(const QStringList& /*devices*/) {}
    virtual void portsBusy(const QStringList& /*descriptions*/) {}

    // The full read starts with `total` values to come; it ended complete or was stopped (a
    // failed read has been reported as a lost link).
    virtual void fullReadStarted(int /*total*/) {}
    virtual void fullReadComplete() {}
    virtual void fullReadStopped() {}

    // The drive answered: the link is online.
    virtual void online() {}
    // One more value of a bulk transfer went through; `count` of `transferTotal`.
    virtual void transferProgress(int /*count*/) {}
    // The save command is on its way.
    virtual void saving() {}
    // The drive refused the value of `cmd`; when the table held one, `restored` is the raw value
    // it holds again.
    virtual void valueRefused(int /*cmd*/, const QString* /*restored*/) {}
    // Three attempts went unanswered: the link is offline and polling stopped.
    virtual void linkLost() {}
    // Stop took the link offline.
    virtual void stopped() {}
    // The fast link met trouble more than once and the link went back to the classic timing.
    virtual void fastLinkFellBack() {}
    // The drive now holds values it accepted and has not saved (`pending`), or holds none any
    // more: it was saved, or the values read are back.
    virtual void unsavedValuesChanged(bool /*pending*/) {}

    // The live polling reads the four service counters while the user looks at them.
    virtual bool serviceCountersShown() const { return false; }
};

// What the user is told of ports they may not open (`devices`, their paths), and how to mend it.
inline QString portsDeniedText(const QStringList& devices)
{
    return QStringLiteral("The serial port %1 could not be opened: access was denied.\n\n"
                          "On Linux the user needs to be a member of the group \"dialout\" "
                          "(sudo usermod -aG dialout $USER, then log in again).")
        .arg(devices.join(QStringLiteral(", ")));
}

// A port another program holds, as the user is told of it: "COM1 (/dev/ttyUSB0) is in use by
// kinetra, process 1234".
inline QString portBusyDescription(int port, const QString& device, const QString& holder)
{
    return QStringLiteral("COM%1 (%2) is in use by %3")
        .arg(port)
        .arg(device, holder.isEmpty() ? QStringLiteral("another program") : holder);
}

// What the user is told of ports other programs hold, and how to get them back.
inline QString portsBusyText(const QStringList& descriptions)
{
    return descriptions.join(QStringLiteral(".\n")) +
           QStringLiteral(".\n\nA program keeps its port after Stop; closing that program's window releases it.");
}

} // namespace kinetra
