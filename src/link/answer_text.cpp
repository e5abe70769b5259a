#include "answer_text.h"

#include "frame.h"
#include "numeric_text.h"

#include <algorithm>
#include <optional>

namespace kinetra {

namespace {

constexpr qsizetype kMaxAnswer = 60;

std::optional<qint64> fieldNumber(const QString& field)
{
    bool ok = false;
    const qint64 n = field.trimmed().toLongLong(&ok);
    return ok ? std::optional<qint64>(n) : std::nullopt;
}

} // namespace

QByteArray cutAnswer(const QByteArray& received)
{
    QByteArray text = received.left(kMaxAnswer);
    qsizetype begin = 0;
    while (begin < text.size() && text[begin] == ' ')
        ++begin;
    qsizetype end = text.size();
    const qsizetype etx = text.indexOf(ctl::ETX, begin);
    const qsizetype keep = etx < 0 ? begin : std::min(etx + 2, text.size());
    while (end > keep && text[end - 1] == ' ')
        --end;
    return text.mid(begin, end - begin);
}

QList<StatusLine> decodeStatusBlock(const QByteArray& block)
{
    QList<StatusLine> lines;
    const auto pwmAndBar = fieldNumber(frameField(block, 0));
    if (pwmAndBar) {
        lines << StatusLine{2183, QString::number(*pwmAndBar & 0xFFFF)};
        lines << StatusLine{kCorrectionBar, QString::number(*pwmAndBar / 196608)};
    }
    if (const auto current = fieldNumber(frameField(block, 1))) {
        lines << StatusLine{2182, QString::number(*current & 0xFFFF)};
        lines << StatusLine{2184, QString::number(*current / 65536)};
    }
    lines << StatusLine{2180, frameField(block, 3)};
    lines << StatusLine{2170, frameField(block, 2)};
    return lines;
}

} // namespace kinetra
