#include "scripted_drive.h"

#include "frame.h"
#include "virtual_clock.h"

namespace kinetra::test {

ScriptedDrive::Reply ScriptedDrive::Reply::answer(int cmd, const QByteArray& value)
{
    return {answerFrame(QByteArray::number(cmd), value)};
}

void ScriptedDrive::receive(const QByteArray& bytes, double now)
{
    for (const char c : bytes) {
        if (c == ctl::EOT)
            partial_.clear();
        partial_ += c;
        const bool poll = c == ctl::ENQ;
        const bool write = partial_.size() >= 2 && partial_.at(partial_.size() - 2) == ctl::ETX;
        if (!poll && !write)
            continue;
        frames_ << partial_;
        partial_.clear();
        Reply reply = default_;
        if (!replies_.empty()) {
            reply = replies_.front();
            replies_.pop_front();
        }
        if (!reply.bytes.isEmpty())
            output_.push(now + reply.delay, reply.bytes);
    }
}

double ScriptedDrive::nextOutputTime() const
{
    return output_.next();
}

QByteArray ScriptedDrive::takeOutput(double now)
{
    return output_.take(now);
}

} // namespace kinetra::test
