#include "link_presenter.h"

#include "dialogs.h"
#include "display_window.h"
#include "drive_protocol.h"
#include "numeric_text.h"
#include "parameter_catalogue.h"
#include "shared_state.h"
#include "window_elements.h"

namespace kinetra {

namespace {

constexpr int kSearchingPort = 33;
constexpr int kNoDriveFound = 34;
constexpr int kDriveFound = 35;
constexpr int kRefused = 75;
constexpr int kSaving = 76;
// The tab that shows the device's service counters.
constexpr int kServiceTab = 6;

QString portText(int port)
{
    return QStringLiteral(" COM") + QString::number(port);
}

} // namespace

void LinkPresenter::offline()
{
    window_.setStatusText(1, kOffline);
    window_.setStatusBevel(1, Bevel::Sunken);
}

void LinkPresenter::searchStarted()
{
    window_.setStatusText(2, QString());
}

void LinkPresenter::searchingPort(int port)
{
    window_.setText(el::fileHelpLine(), state_.message(kSearchingPort) + portText(port));
}

void LinkPresenter::driveFound(int port)
{
    window_.setStatusText(1, kPortFound);
    window_.setStatusBevel(1, Bevel::Sunken);
    window_.setText(el::helpLine(), state_.message(kDriveFound) + portText(port));
    window_.setStatusText(2, portText(port));
    window_.setStatusBevel(2, Bevel::Raised);
}

void LinkPresenter::noDriveFound()
{
    offline();
    window_.setText(el::helpLine(), state_.message(kNoDriveFound));
    window_.setStatusBevel(2, Bevel::Sunken);
}

void LinkPresenter::searchEnded()
{
    if (state_.fileWindowActive)
        window_.setText(el::fileHelpLine(), QString());
}

void LinkPresenter::portsDenied(const QStringList& devices)
{
    dialogs_.message(portsDeniedText(devices), kApplicationTitle, MessageIcon::Warning);
}

void LinkPresenter::portsBusy(const QStringList& descriptions)
{
    dialogs_.message(portsBusyText(descriptions), kApplicationTitle, MessageIcon::Warning);
}

void LinkPresenter::fullReadStarted(int total)
{
    window_.setMaximum(el::progressBar2(), total);
}

void LinkPresenter::fullReadComplete()
{
    window_.setValue(el::progressBar2(), 0);
    window_.setText(el::helpLine(), QString());
}

void LinkPresenter::fullReadStopped()
{
    window_.setValue(el::progressBar2(), 0);
    offline();
    window_.setText(el::helpLine(), QString());
}

void LinkPresenter::online()
{
    window_.setStatusText(1, kOnline);
    window_.setStatusBevel(1, Bevel::Raised);
}

void LinkPresenter::transferProgress(int count)
{
    // A transfer the file window runs shows on its own bar.
    window_.setValue(state_.fileWindowActive ? el::fileProgressBar2() : el::progressBar2(), count);
}

void LinkPresenter::saving()
{
    window_.setText(el::helpLine(), state_.message(kSaving));
}

void LinkPresenter::valueRefused(int cmd, const QString* restored)
{
    dialogs_.message(state_.message(kRefused), kApplicationTitle, MessageIcon::Error);
    if (!restored)
        return;
    const QString shown = formatValue(*restored, cmd, state_.decPnt).value_or(*restored);
    // The simple panel's box may be the one the user typed in.
    if (const auto mirror = mirrorBoxOf(cmd))
        window_.setText(el::txtPara(*mirror), shown);
    window_.setText(el::txtPara(cmd), shown);
    // A list shows the drive's value again, not the choice it refused.
    bool number = false;
    const qint64 value = restored->toLongLong(&number);
    if (const auto position = number ? selectionOfValue(cmd, value) : std::nullopt)
        window_.setSelection(el::cmbPara(cmd), *position);
}

void LinkPresenter::linkLost()
{
    dialogs_.message(QStringLiteral("Error"), kApplicationTitle, MessageIcon::Error);
    window_.setText(el::helpLine(), QString());
    window_.setStatusText(3, QString());
    window_.setStatusText(1, kOffline);
    for (const int panel : {4, 1, 5})
        window_.setStatusBevel(panel, Bevel::Sunken);
    window_.setValue(el::progressBar2(), 0);
}

void LinkPresenter::fastLinkFellBack()
{
    window_.setStatusText(4, kFastLinkFellBack);
}

void LinkPresenter::stopped()
{
    window_.setValue(el::progressBar2(), 0);
    window_.setStatusText(1, kOffline);
    window_.setStatusText(3, QString());
    for (const int panel : {1, 5, 3})
        window_.setStatusBevel(panel, Bevel::Sunken);
}

void LinkPresenter::unsavedValuesChanged(bool pending)
{
    window_.setVisible(el::lblUnsaved(), pending);
    window_.setVisible(el::cmdRevert(), pending);
    window_.setMarked(el::cmdComand(command::kSave), pending, tooltext::UnsavedHint);
}

bool LinkPresenter::serviceCountersShown() const
{
    return window_.currentTab() == kServiceTab;
}

} // namespace kinetra
