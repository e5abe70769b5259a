#include "qt_clock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <climits>
#include <cmath>

namespace kinetra {

namespace {

// Asks for the input held during a transaction to be delivered.
const QEvent::Type kDeliverHeldInput = static_cast<QEvent::Type>(QEvent::registerEventType());

int clampedMilliseconds(long long ms)
{
    return static_cast<int>(std::clamp<long long>(ms, 0, INT_MAX));
}

class QtTimer : public Timer {
public:
    QtTimer()
    {
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            // Qt does not deliver a timer's next tick while its handler runs in a nested loop,
            // but a handler that disables and re-enables its own timer could re-enter: guard.
            if (running_ || !callback_)
                return;
            running_ = true;
            callback_();
            running_ = false;
        });
    }
    void setCallback(std::function<void()> callback) override { callback_ = std::move(callback); }
    void setInterval(long long milliseconds) override
    {
        interval_ = clampedMilliseconds(milliseconds);
        timer_.setInterval(interval_);
        apply();
    }
    int interval() const override { return interval_; }
    void setEnabled(bool enabled) override
    {
        enabled_ = enabled;
        apply();
    }
    bool isEnabled() const override { return enabled_; }

private:
    // An interval of 0 would fire on every pass of the event loop; the drive timers treat it as
    // "does not fire", as the classic platform timers did.
    void apply()
    {
        if (enabled_ && interval_ > 0) {
            if (!timer_.isActive())
                timer_.start();
        } else {
            timer_.stop();
        }
    }

    QTimer timer_;
    std::function<void()> callback_;
    int interval_ = 0;
    bool enabled_ = false;
    bool running_ = false;
};

} // namespace

QtClock::QtClock()
{
    elapsed_.start();
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(this);
}

void QtClock::userInputReleased()
{
    // The transaction is over. With polls back to back the receive timer is due again at once,
    // and an event loop pass serves timers before queued input: the next poll would hold the
    // input again, and again. A posted event comes first in the next pass; it delivers the
    // input, without timers, before the next poll can start.
    if (!deliveryPosted_ && QCoreApplication::instance()) {
        deliveryPosted_ = true;
        QCoreApplication::postEvent(this, new QEvent(kDeliverHeldInput));
    }
}

bool QtClock::event(QEvent* event)
{
    if (event->type() != kDeliverHeldInput)
        return QObject::event(event);
    deliveryPosted_ = false;
    // Inside the next transaction already: its own end asks again.
    if (!holding() && !quitting_)
        QCoreApplication::processEvents(QEventLoop::X11ExcludeTimers);
    return true;
}

bool QtClock::eventFilter(QObject* watched, QEvent* event)
{
    // An accessibility "press" clicks a button through the button's own timer, not through the
    // input queue: that click is held as well. The timer fires again until the hold is over.
    if (event->type() == QEvent::Timer && userInputHeld() && watched->inherits("QAbstractButton"))
        return true;
    return QObject::eventFilter(watched, event);
}

double QtClock::now() const
{
    return static_cast<double>(elapsed_.nsecsElapsed()) / 1e9;
}

void QtClock::waitServing(double seconds, const std::function<bool()>& until)
{
    const double deadline = now() + std::max(0.0, seconds);
    for (;;) {
        if (quitting_ || (until && until()) || now() >= deadline)
            return;
        // A held wait runs until its hold lapses at the latest, then on with input served.
        const bool held = userInputHeld();
        runLoop(held ? std::min(deadline, holdLapsesAt()) : deadline, until, servedEvents());
        if (!held)
            return;
    }
}

void QtClock::runLoop(double end, const std::function<bool()>& until, QEventLoop::ProcessEventsFlags flags)
{
    const double remaining = end - now();
    if (remaining <= 0)
        return;
    // One loop for the whole wait: a wake only tests the condition, so a drive whose answer
    // arrives character by character costs a test per character, not a new loop.
    QEventLoop loop;
    QTimer deadlineTimer;
    deadlineTimer.setTimerType(Qt::PreciseTimer);
    deadlineTimer.setSingleShot(true);
    QObject::connect(&deadlineTimer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(this, &QtClock::woken, &loop, [&] {
        if (quitting_ || (until && until()) || now() >= end)
            loop.quit();
    });
    deadlineTimer.start(clampedMilliseconds(static_cast<long long>(std::ceil(remaining * 1000.0))));
    loop.exec(flags);
}

void QtClock::waitBlocking(double seconds)
{
    if (quitting_ || seconds <= 0)
        return;
    QThread::usleep(static_cast<unsigned long>(seconds * 1e6));
}

void QtClock::serveEvents()
{
    QCoreApplication::processEvents(servedEvents());
}

QEventLoop::ProcessEventsFlags QtClock::servedEvents() const
{
    // Qt keeps held input in its window-system queue and delivers it on the next pass of an
    // event loop that takes user input: right after the transaction.
    return userInputHeld() ? QEventLoop::ExcludeUserInputEvents : QEventLoop::AllEvents;
}

void QtClock::wake()
{
    emit woken();
}

std::unique_ptr<Timer> QtClock::createTimer()
{
    return std::make_unique<QtTimer>();
}

void QtClock::setQuitting()
{
    quitting_ = true;
    emit woken();
}

} // namespace kinetra
