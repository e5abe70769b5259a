#include "virtual_clock.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>

namespace kinetra::test {

class VirtualClock::VirtualTimer : public Timer {
public:
    explicit VirtualTimer(VirtualClock& clock) : clock_(clock) { clock_.timers_.push_back(this); }
    ~VirtualTimer() override { std::erase(clock_.timers_, this); }

    void setCallback(std::function<void()> callback) override { callback_ = std::move(callback); }
    void setInterval(long long milliseconds) override
    {
        interval_ = static_cast<int>(std::clamp<long long>(milliseconds, 0, INT32_MAX));
        due_ = clock_.now() + interval_ / 1000.0;
    }
    int interval() const override { return interval_; }
    void setEnabled(bool enabled) override
    {
        if (enabled && !enabled_)
            due_ = clock_.now() + interval_ / 1000.0;
        enabled_ = enabled;
    }
    bool isEnabled() const override { return enabled_; }

    bool canFire() const { return enabled_ && interval_ > 0 && !running_ && callback_; }
    double due() const { return due_; }
    void fire()
    {
        due_ = clock_.now() + interval_ / 1000.0;
        running_ = true;
        callback_();
        running_ = false;
    }

private:
    VirtualClock& clock_;
    std::function<void()> callback_;
    int interval_ = 0;
    bool enabled_ = false;
    bool running_ = false;
    double due_ = 0;
};

std::unique_ptr<Timer> VirtualClock::createTimer()
{
    return std::make_unique<VirtualTimer>(*this);
}

void VirtualClock::deliverTo(double t)
{
    for (VirtualEventSource* s : std::vector(sources_)) // a source may go away meanwhile
        s->advanceTo(t);
}

void VirtualClock::fireDueTimers()
{
    // Fires each timer that is due now once, in the order they fell due. A callback may wait and
    // so move time on; a timer that falls due again meanwhile fires on the next pass of the wait
    // that called us, after that wait has checked its own deadline and condition.
    std::vector<VirtualTimer*> due;
    for (VirtualTimer* t : timers_)
        if (t->canFire() && t->due() <= now_ + 1e-12)
            due.push_back(t);
    std::stable_sort(due.begin(), due.end(), [](VirtualTimer* a, VirtualTimer* b) { return a->due() < b->due(); });
    for (VirtualTimer* t : due) {
        if (quitting_)
            return;
        // An earlier callback may have stopped or destroyed it.
        if (std::find(timers_.begin(), timers_.end(), t) == timers_.end() || !t->canFire())
            continue;
        t->fire();
    }
}

void VirtualClock::postUserInput(double at, std::function<void()> action)
{
    // Stable by time: actions posted for the same moment run in the order posted.
    const auto after = std::upper_bound(userInput_.begin(), userInput_.end(), at,
                                        [](double t, const UserAction& a) { return t < a.at; });
    userInput_.insert(after, UserAction{at, std::move(action)});
}

double VirtualClock::nextUserInputTime() const
{
    // Held input comes when its hold lapses, if the transaction has not ended by then.
    if (userInput_.empty())
        return kNever;
    return holding() ? std::max(userInput_.front().at, holdLapsesAt()) : userInput_.front().at;
}

bool VirtualClock::deliverUserInput()
{
    if (quitting_ || userInputHeld() || userInput_.empty() || userInput_.front().at > now_ + 1e-12)
        return false;
    const std::function<void()> action = std::move(userInput_.front().action);
    userInput_.erase(userInput_.begin());
    action();
    return true;
}

void VirtualClock::waitServing(double seconds, const std::function<bool()>& until)
{
    const double deadline = now_ + std::max(0.0, seconds);
    for (;;) {
        if (quitting_ || (until && until()))
            return;
        if (deliverUserInput())
            continue;
        if (now_ >= deadline)
            return;
        double next = std::min(deadline, nextUserInputTime());
        for (VirtualEventSource* s : sources_)
            next = std::min(next, s->nextEventTime());
        for (VirtualTimer* t : timers_)
            if (t->canFire())
                next = std::min(next, t->due());
        now_ = std::max(now_, next);
        deliverTo(now_);
        // Input that is due goes before the timers due at the same moment.
        if (!deliverUserInput())
            fireDueTimers();
    }
}

void VirtualClock::waitBlocking(double seconds)
{
    if (quitting_ || seconds <= 0)
        return;
    now_ += seconds;
    blocked_ += seconds;
    deliverTo(now_);
}

void VirtualClock::serveEvents()
{
    deliverTo(now_);
    while (deliverUserInput()) {
    }
    fireDueTimers();
}

} // namespace kinetra::test
