#pragma once

#include "drive_model.h"
#include "frame.h"

#include <QByteArray>

namespace kinetra::test {

// A drive model talked to directly on a time line of the test's own: each exchange sends one
// frame and collects everything that arrives within `answerTime`.
struct SimExchange {
    sim::DriveModel drive;
    double now = 0;

    explicit SimExchange(const sim::DriveConfig& config = {}) : drive(config) {}

    QByteArray send(const QByteArray& frame, double answerTime = 0.2)
    {
        drive.feed(frame, now);
        advance(answerTime);
        return drive.takeOutput(now);
    }
    QByteArray poll(int cmd) { return send(pollFrame(11, cmd)); }
    QByteArray write(int cmd, const QByteArray& value) { return send(writeFrame(11, cmd, value)); }
    // The value text of a verified poll answer.
    QByteArray value(int cmd)
    {
        const QByteArray answer = poll(cmd);
        if (CheckCRC(answer) != CrcVerdict::Match)
            return "bad answer";
        return answer.mid(5, answer.size() - 7);
    }
    qint64 number(int cmd) { return value(cmd).toLongLong(); }
    void advance(double seconds)
    {
        now += seconds;
        drive.advanceTo(now);
    }
};

} // namespace kinetra::test
