#include "pty_line.h"

#include "drive_model.h"

#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/timerfd.h>
#include <termios.h>
#include <unistd.h>

namespace kinetra::sim {

PtyLine::PtyLine(DriveModel& model, QObject* parent) : QObject(parent), model_(model)
{
    clock_.start();
}

PtyLine::~PtyLine()
{
    shut();
}

bool PtyLine::open(QString* error)
{
    const auto fail = [&](const char* what) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
        shut();
        return false;
    };
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ < 0)
        return fail("cannot open a pseudo-terminal");
    if (grantpt(master_) != 0 || unlockpt(master_) != 0)
        return fail("cannot unlock the pseudo-terminal");
    const char* name = ptsname(master_);
    if (!name)
        return fail("pseudo-terminal without a name");
    path_ = QString::fromLocal8Bit(name);
    // Holding the device end open keeps the line up between the tool's sessions (otherwise the
    // master reports a hang-up whenever the tool closes the port). Raw mode on both ends: no
    // echo, no line editing, every byte as it is.
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (slave_ < 0)
        return fail("cannot open the device end");
    for (const int fd : {master_, slave_}) {
        termios t{};
        if (tcgetattr(fd, &t) == 0) {
            cfmakeraw(&t);
            cfsetispeed(&t, B9600);
            cfsetospeed(&t, B9600);
            tcsetattr(fd, TCSANOW, &t);
        }
    }
    timerFd_ = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (timerFd_ < 0)
        return fail("cannot create a timer");
    timerNotifier_ = new QSocketNotifier(timerFd_, QSocketNotifier::Read, this);
    connect(timerNotifier_, &QSocketNotifier::activated, this, [this] {
        quint64 expirations = 0;
        [[maybe_unused]] const ssize_t n = ::read(timerFd_, &expirations, sizeof expirations);
        deliver();
    });
    notifier_ = new QSocketNotifier(master_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &PtyLine::onReadable);
    return true;
}

void PtyLine::onReadable()
{
    char buf[512];
    for (;;) {
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n > 0) {
            model_.feed(QByteArray(buf, n), now());
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            break;
        // End of file or an error on a line we hold open ourselves: stop listening rather than
        // being woken for it again and again.
        notifier_->setEnabled(false);
        break;
    }
    if (model_.hungUp()) {
        shut();
        emit hungUp();
        return;
    }
    schedule();
}

void PtyLine::deliver()
{
    if (master_ < 0)
        return;
    const QByteArray due = model_.takeOutput(now());
    if (!due.isEmpty()) {
        // Nobody reading the line: what does not fit is lost, as on a real wire.
        [[maybe_unused]] const ssize_t n = ::write(master_, due.constData(), static_cast<size_t>(due.size()));
    }
    schedule();
}

void PtyLine::schedule()
{
    const double next = model_.nextOutputTime();
    if (!std::isfinite(next)) {
        stopTimer();
        return;
    }
    startTimer(next - now());
}

void PtyLine::startTimer(double seconds)
{
    if (timerFd_ < 0)
        return;
    // A zero value would disarm the timer: a character already due leaves after 1 us.
    const auto ns = static_cast<long long>(std::clamp(seconds, 1e-6, 3600.0) * 1e9);
    itimerspec due{};
    due.it_value.tv_sec = static_cast<time_t>(ns / 1000000000LL);
    due.it_value.tv_nsec = static_cast<long>(ns % 1000000000LL);
    timerfd_settime(timerFd_, 0, &due, nullptr);
}

void PtyLine::stopTimer()
{
    if (timerFd_ < 0)
        return;
    const itimerspec disarmed{};
    timerfd_settime(timerFd_, 0, &disarmed, nullptr);
}

void PtyLine::shut()
{
    stopTimer();
    for (QSocketNotifier** notifier : {&notifier_, &timerNotifier_}) {
        if (*notifier) {
            (*notifier)->setEnabled(false);
            (*notifier)->deleteLater();
            *notifier = nullptr;
        }
    }
    for (int* fd : {&slave_, &master_, &timerFd_}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

} // namespace kinetra::sim
