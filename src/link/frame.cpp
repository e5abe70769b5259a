#include "frame.h"

namespace kinetra {

namespace {

int withOffset(int x)
{
    // The check character is never a control character.
    return x < 32 ? x + 32 : x;
}

} // namespace

std::optional<int> SetCRC(const QByteArray& text)
{
    if (text.size() < 5)
        return std::nullopt;
    int x = 0;
    bool started = false;
    for (const char c : text) {
        if (!started) {
            started = c == ctl::STX;
            continue;
        }
        x ^= static_cast<unsigned char>(c);
        if (c == ctl::ETX)
            break;
    }
    return withOffset(x);
}

CrcVerdict CheckCRC(const QByteArray& text)
{
    if (text.size() < 5)
        return CrcVerdict::NoVerdict;
    int x = 0;
    bool started = false;
    bool firstAfterStx = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (!started) {
            if (c == ctl::EOT)
                return CrcVerdict::NoVerdict;
            if (c == ctl::STX) {
                started = true;
                firstAfterStx = true;
            }
            continue;
        }
        if (c == ctl::EOT && !firstAfterStx)
            return CrcVerdict::NoVerdict;
        firstAfterStx = false;
        x ^= static_cast<unsigned char>(c);
        if (c == ctl::ETX) {
            if (i + 1 >= text.size())
                return CrcVerdict::NoVerdict;
            return static_cast<unsigned char>(text[i + 1]) == withOffset(x) ? CrcVerdict::Match : CrcVerdict::Mismatch;
        }
    }
    return CrcVerdict::NoVerdict;
}

QByteArray CheckComand(const QByteArray& text)
{
    const qsizetype stx = text.indexOf(ctl::STX);
    return stx < 0 ? QByteArray() : text.mid(stx + 1, 4);
}

QByteArray writeFrame(int address, int cmd, const QByteArray& value)
{
    QByteArray body;
    body += ctl::STX;
    body += QByteArray::number(cmd);
    body += value;
    body += ctl::ETX;
    QByteArray frame;
    frame += ctl::EOT;
    frame += QByteArray::number(address);
    frame += body;
    frame += static_cast<char>(*SetCRC(body));
    return frame;
}

QByteArray pollFrame(int address, int cmd)
{
    QByteArray frame;
    frame += ctl::EOT;
    frame += QByteArray::number(address);
    frame += ctl::STX;
    frame += QByteArray::number(cmd);
    frame += ctl::ENQ;
    return frame;
}

QByteArray answerFrame(const QByteArray& command, const QByteArray& value)
{
    QByteArray frame;
    frame += ctl::STX;
    frame += command;
    frame += value;
    frame += ctl::ETX;
    const auto crc = SetCRC(frame);
    frame += static_cast<char>(crc.value_or(32));
    return frame;
}

QByteArray describeControlCharacters(const QByteArray& bytes)
{
    QByteArray out;
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
        case ctl::EOT: out += "<EOT>"; break;
        case ctl::STX: out += "<STX>"; break;
        case ctl::ETX: out += "<ETX>"; break;
        case ctl::ENQ: out += "<ENQ>"; break;
        case ctl::ACK: out += "<ACK>"; break;
        case ctl::NAK: out += "<NAK>"; break;
        default:
            if (u < 32 || u >= 127)
                out += "<" + QByteArray::number(u, 16).rightJustified(2, '0').toUpper() + ">";
            else
                out += c;
        }
    }
    return out;
}

} // namespace kinetra
