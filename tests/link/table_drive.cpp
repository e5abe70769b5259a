#include "table_drive.h"

#include "frame.h"
#include "virtual_clock.h"

namespace kinetra::test {

void TableDrive::receive(const QByteArray& bytes, double now)
{
    for (const char c : bytes) {
        if (c == ctl::EOT)
            partial_.clear();
        partial_ += c;
        const bool poll = c == ctl::ENQ;
        const bool write = partial_.size() >= 2 && partial_.at(partial_.size() - 2) == ctl::ETX;
        if (!poll && !write)
            continue;
        const QByteArray frame = partial_;
        partial_.clear();
        frames_ << frame;
        const int cmd = poll ? CheckComand(frame).toInt() : 0;
        if (poll)
            polled_ << cmd;
        QByteArray reply =
            poll ? answerFrame(QByteArray::number(cmd), values.value(cmd, "0")) : QByteArray(1, ctl::ACK);
        if (!overrides.empty()) {
            if (overrides.front())
                reply = *overrides.front();
            overrides.pop_front();
        }
        if (!silent && !reply.isEmpty())
            output_.push(now + delay, reply);
        if (onFrame)
            onFrame(cmd);
    }
}

double TableDrive::nextOutputTime() const
{
    return output_.next();
}

QByteArray TableDrive::takeOutput(double now)
{
    return output_.take(now);
}

} // namespace kinetra::test
