#include "chart_recording.h"

#include <QStringView>

namespace kinetra {

namespace {

constexpr int kMostDigits = 18;

// The shown number with a point as decimal separator: "-0.05" for -5 with 2 decimals.
void appendNumber(QByteArray& out, ShownNumber n)
{
    if (!n.valid())
        return;
    if (n.digits < 0)
        out += '-';
    // Within 18 digits, so the magnitude fits and the text has at most 19 characters.
    QByteArray digits = QByteArray::number(n.digits < 0 ? -n.digits : n.digits);
    if (n.decimals > 0) {
        if (digits.size() <= n.decimals)
            digits.prepend(QByteArray(n.decimals + 1 - digits.size(), '0'));
        digits.insert(digits.size() - n.decimals, '.');
    }
    out += digits;
}

} // namespace

ShownNumber shownNumber(const QString& text)
{
    const QStringView view = QStringView(text).trimmed();
    qsizetype i = 0;
    const bool negative = !view.isEmpty() && view[0] == QLatin1Char('-');
    if (negative)
        ++i;
    qint64 digits = 0;
    int count = 0;
    int decimals = -1;
    for (; i < view.size(); ++i) {
        const QChar c = view[i];
        if ((c == QLatin1Char(',') || c == QLatin1Char('.')) && decimals < 0) {
            decimals = 0;
            continue;
        }
        if (c < QLatin1Char('0') || c > QLatin1Char('9') || ++count > kMostDigits)
            return {};
        digits = 10 * digits + (c.unicode() - '0');
        if (decimals >= 0)
            ++decimals;
    }
    // A separator needs a digit after it; a sign or separator alone is no number.
    if (count == 0 || decimals == 0)
        return {};
    return {negative ? -digits : digits, static_cast<qint8>(decimals < 0 ? 0 : decimals)};
}

ChartRecording::ChartRecording(qsizetype capacity) : capacity_(capacity > 0 ? capacity : 1)
{
}

void ChartRecording::add(double clockSeconds, ChartSample sample)
{
    if (samples_.empty()) {
        // The only allocation: the whole ring, before the first sample goes in.
        samples_.reserve(static_cast<size_t>(capacity_));
        began_ = clockSeconds;
    }
    sample.time = clockSeconds - began_;
    if (size() < capacity_) {
        samples_.push_back(sample);
        return;
    }
    samples_[static_cast<size_t>(oldest_)] = sample;
    oldest_ = (oldest_ + 1) % capacity_;
}

const ChartSample& ChartRecording::at(qsizetype i) const
{
    return samples_[static_cast<size_t>((oldest_ + i) % size())];
}

double ChartRecording::seconds() const
{
    return isEmpty() ? 0 : at(size() - 1).time - at(0).time;
}

QByteArray chartCsv(const ChartRecording& recording)
{
    QByteArray out;
    // A row is some 40 characters.
    out.reserve(48 * (recording.size() + 1));
    out += "time,position,current,pwm,status\r\n";
    for (qsizetype i = 0; i < recording.size(); ++i) {
        const ChartSample& s = recording.at(i);
        out += QByteArray::number(s.time, 'f', 3);
        out += ',';
        appendNumber(out, s.position);
        out += ',';
        appendNumber(out, s.current);
        out += ',';
        appendNumber(out, s.pwm);
        out += ',';
        if (s.statusWord)
            out += QByteArray::number(*s.statusWord);
        out += "\r\n";
    }
    return out;
}

} // namespace kinetra
