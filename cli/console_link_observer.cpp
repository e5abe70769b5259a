#include "console_link_observer.h"

#include "console.h"
#include "shared_state.h"

namespace kinetra::cli {

namespace {

constexpr int kNoDriveFound = 34;
constexpr int kDriveFound = 35;
constexpr int kRefused = 75;
constexpr int kSaving = 76;

} // namespace

void ConsoleLinkObserver::driveFound(int port)
{
    console_.info(state_.message(kDriveFound) + QStringLiteral(" COM") + QString::number(port));
}

void ConsoleLinkObserver::noDriveFound()
{
    // The command's failure: shown in quiet mode too.
    console_.error(state_.message(kNoDriveFound));
}

void ConsoleLinkObserver::portsDenied(const QStringList& devices)
{
    console_.error(portsDeniedText(devices).replace(QStringLiteral("\n\n"), QStringLiteral(" ")));
}

void ConsoleLinkObserver::portsBusy(const QStringList& descriptions)
{
    console_.error(portsBusyText(descriptions).replace(QStringLiteral("\n\n"), QStringLiteral(" ")).replace(
        QStringLiteral(".\n"), QStringLiteral(". ")));
}

void ConsoleLinkObserver::fullReadComplete()
{
    console_.endProgress();
}

void ConsoleLinkObserver::fullReadStopped()
{
    console_.endProgress();
}

void ConsoleLinkObserver::transferProgress(int count)
{
    // The count goes back to 0 past the transfer's total.
    if (count == 0)
        console_.endProgress();
    else
        console_.progress(count);
}

void ConsoleLinkObserver::saving()
{
    console_.info(state_.message(kSaving));
}

void ConsoleLinkObserver::valueRefused(int cmd, const QString*)
{
    console_.error(QStringLiteral("%1: %2").arg(cmd).arg(state_.message(kRefused)));
}

void ConsoleLinkObserver::fastLinkFellBack()
{
    console_.endProgress();
    console_.error(QStringLiteral("Note: the drive had trouble with the fast link; classic timing from here on."));
}

void ConsoleLinkObserver::linkLost()
{
    ++linkErrors_;
    console_.endProgress();
    console_.error(QStringLiteral("Error: the drive stopped answering (link lost)."));
    if (onLinkLost_)
        onLinkLost_();
}

void ConsoleLinkObserver::stopped()
{
    console_.endProgress();
}

} // namespace kinetra::cli
