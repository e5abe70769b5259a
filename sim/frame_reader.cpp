#include "frame_reader.h"

#include "frame.h"

namespace kinetra::sim {

std::optional<FrameReader::Frame> FrameReader::take(char c)
{
    if (c == ctl::EOT) {
        if (state_ != State::Idle)
            skipped_ += static_cast<int>(raw_.size());
        raw_ = QByteArray(1, c);
        address_.clear();
        text_.clear();
        state_ = State::Address;
        return std::nullopt;
    }
    if (state_ == State::Idle) {
        ++skipped_;
        return std::nullopt;
    }
    raw_ += c;
    if (raw_.size() > kMaxFrame) {
        skipped_ += static_cast<int>(raw_.size());
        reset();
        return std::nullopt;
    }
    switch (state_) {
    case State::Idle: break;
    case State::Address:
        if (c == ctl::STX)
            state_ = State::Text;
        else if (c >= '0' && c <= '9')
            address_ += c;
        else {
            skipped_ += static_cast<int>(raw_.size());
            reset();
        }
        break;
    case State::Text:
        if (c == ctl::ENQ) {
            Frame f;
            f.type = Frame::Type::Poll;
            f.raw = raw_;
            f.address = address_.isEmpty() ? -1 : address_.toInt();
            f.command = text_;
            reset();
            return f;
        }
        if (c == ctl::ETX)
            state_ = State::Check;
        else
            text_ += c;
        break;
    case State::Check: {
        Frame f;
        f.type = Frame::Type::Write;
        f.raw = raw_;
        f.address = address_.isEmpty() ? -1 : address_.toInt();
        f.command = text_.left(4);
        f.value = text_.mid(4);
        QByteArray body;
        body += ctl::STX;
        body += text_;
        body += ctl::ETX;
        f.checkOk = SetCRC(body) == static_cast<unsigned char>(c);
        reset();
        return f;
    }
    }
    return std::nullopt;
}

} // namespace kinetra::sim
