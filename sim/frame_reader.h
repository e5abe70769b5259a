#pragma once

#include <QByteArray>

#include <optional>

namespace kinetra::sim {

// What the drive hears on its line: poll frames (EOT address STX command ENQ) and write frames
// (EOT address STX command value ETX check). Anything else is line noise and is skipped; an EOT
// always starts a new frame, so a frame cut short is dropped when the next one begins.
class FrameReader {
public:
    struct Frame {
        enum class Type { Poll, Write } type = Type::Poll;
        QByteArray raw; // the frame as heard, for traces
        int address = -1;
        QByteArray command;  // the text between STX and the value (four characters when well formed)
        QByteArray value;    // writes only
        bool checkOk = true; // writes only: the check character matches
    };

    // Takes one character; returns a frame when it completes one.
    std::optional<Frame> take(char c);
    // Characters that belonged to no frame so far (noise), for traces.
    int skipped() const { return skipped_; }

private:
    enum class State { Idle, Address, Text, Check };
    static constexpr int kMaxFrame = 80;
    void reset() { state_ = State::Idle; }

    State state_ = State::Idle;
    QByteArray raw_;
    QByteArray address_;
    QByteArray text_;
    int skipped_ = 0;
};

} // namespace kinetra::sim
