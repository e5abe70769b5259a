#pragma once

#include "link_observer.h"

#include <functional>

namespace kinetra {
struct SharedState;
}

namespace kinetra::cli {

class Console;

// The link's reports on a console: the transfer's progress becomes the bar on standard error,
// a found drive and the save a line of information, a refusal and a lost link an error that
// names the parameter. The lost links are counted, so that a command can pick its exit code.
class ConsoleLinkObserver : public LinkObserver {
public:
    ConsoleLinkObserver(Console& console, const SharedState& state) : console_(console), state_(state) {}

    void driveFound(int port) override;
    void noDriveFound() override;
    void portsDenied(const QStringList& devices) override;
    void portsBusy(const QStringList& descriptions) override;
    void fullReadComplete() override;
    void fullReadStopped() override;
    void transferProgress(int count) override;
    void saving() override;
    void valueRefused(int cmd, const QString* restored) override;
    void linkLost() override;
    void fastLinkFellBack() override;
    void stopped() override;

    int linkErrors() const { return linkErrors_; }
    // Called when the link is lost (the monitor wakes its wait).
    void setOnLinkLost(std::function<void()> f) { onLinkLost_ = std::move(f); }

private:
    Console& console_;
    const SharedState& state_;
    int linkErrors_ = 0;
    std::function<void()> onLinkLost_;
};

} // namespace kinetra::cli
