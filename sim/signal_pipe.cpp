#include "signal_pipe.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace kinetra::sim {

namespace {

int pipeFds[2] = {-1, -1};

extern "C" void onSignal(int signal)
{
    const unsigned char b = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t n = ::write(pipeFds[1], &b, 1);
}

} // namespace

SignalPipe::SignalPipe(QObject* parent) : QObject(parent)
{
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    notifier_ = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &SignalPipe::onReadable);
}

SignalPipe::~SignalPipe()
{
    struct sigaction sa {};
    sa.sa_handler = SIG_DFL;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    for (int& fd : pipeFds) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void SignalPipe::onReadable()
{
    unsigned char b = 0;
    int last = 0;
    while (::read(pipeFds[0], &b, 1) == 1)
        last = b;
    if (last)
        emit terminationRequested(last);
}

} // namespace kinetra::sim
