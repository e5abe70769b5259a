#include "interrupt.h"

#include <QSocketNotifier>

#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace kinetra::cli {

namespace {

int pipeEnds[2] = {-1, -1};

extern "C" void onSignal(int)
{
    const char byte = 1;
    // Nothing else is safe in a signal handler; a full pipe only loses a repeated Ctrl+C.
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
}

} // namespace

Interrupt::Interrupt(QObject* parent) : QObject(parent)
{
    if (::pipe(pipeEnds) != 0)
        return;
    for (const int fd : pipeEnds) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    notifier_ = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &Interrupt::onReadable);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

Interrupt::~Interrupt()
{
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    delete notifier_;
    notifier_ = nullptr;
    for (int& fd : pipeEnds) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void Interrupt::onReadable()
{
    char buffer[16];
    while (::read(pipeEnds[0], buffer, sizeof buffer) > 0)
        ++count_;
    if (handler_)
        handler_(count_);
}

} // namespace kinetra::cli
