#pragma once

#include "link_observer.h"

namespace kinetra {

class Dialogs;
class WindowElements;
struct SharedState;

// Texts of status bar panel 1.
inline const QString kOnline = QStringLiteral(" RS232 : ONLINE");
inline const QString kOffline = QStringLiteral(" RS232 : OFFLINE");
inline const QString kPortFound = QStringLiteral(" RS232 :");
// Status panel 4 names the link's timing while the fast link is switched on.
inline const QString kFastLinkOn = QStringLiteral(" Fast link");
inline const QString kFastLinkFellBack = QStringLiteral(" Classic timing: the drive had trouble with the fast link");

// The link's reports as the windows show them: the status bar panels, the help lines of the main
// and the file window, the progress bars and the message boxes.
class LinkPresenter : public LinkObserver {
public:
    LinkPresenter(const SharedState& state, WindowElements& window, Dialogs& dialogs)
        : state_(state), window_(window), dialogs_(dialogs)
    {
    }

    void searchStarted() override;
    void searchingPort(int port) override;
    void driveFound(int port) override;
    void noDriveFound() override;
    void searchEnded() override;
    void portsDenied(const QStringList& devices) override;
    void portsBusy(const QStringList& descriptions) override;
    void fullReadStarted(int total) override;
    void fullReadComplete() override;
    void fullReadStopped() override;
    void online() override;
    void transferProgress(int count) override;
    void saving() override;
    void valueRefused(int cmd, const QString* restored) override;
    void linkLost() override;
    void stopped() override;
    void fastLinkFellBack() override;
    void unsavedValuesChanged(bool pending) override;
    bool serviceCountersShown() const override;

private:
    void offline();

    const SharedState& state_;
    WindowElements& window_;
    Dialogs& dialogs_;
};

} // namespace kinetra
