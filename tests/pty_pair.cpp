#include "pty_pair.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace kinetra::test {

PtyPair::PtyPair() : master_(posix_openpt(O_RDWR | O_NOCTTY))
{
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        hangUp();
        return;
    }
    path_ = QString::fromLocal8Bit(ptsname(master_));
    termios t{};
    if (tcgetattr(master_, &t) == 0) {
        cfmakeraw(&t);
        tcsetattr(master_, TCSANOW, &t);
    }
}

void PtyPair::write(const QByteArray& bytes)
{
    if (master_ >= 0 && !bytes.isEmpty()) [[maybe_unused]]
        const auto n = ::write(master_, bytes.constData(), static_cast<size_t>(bytes.size()));
}

QByteArray PtyPair::read(int timeoutMs)
{
    QByteArray out;
    if (master_ < 0)
        return out;
    pollfd p{master_, POLLIN, 0};
    int wait = timeoutMs;
    while (::poll(&p, 1, wait) > 0 && (p.revents & POLLIN)) {
        char buf[256];
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n <= 0)
            break;
        out.append(buf, n);
        wait = 20; // the rest of a frame follows at once
    }
    return out;
}

void PtyPair::hangUp()
{
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}

} // namespace kinetra::test
