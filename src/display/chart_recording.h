#pragma once

#include "drive_protocol.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace kinetra {

// A number as the window shows it, kept without its text: the digits as an integer and how
// many of them stand after the decimal separator ("-12,5" is -125 with 1 decimal).
struct ShownNumber {
    qint64 digits = 0;
    // -1: the window showed no number.
    qint8 decimals = -1;
    bool valid() const { return decimals >= 0; }
};

// A display text ("1,23", "-500"; a point is taken too, blanks around it ignored) as a shown
// number; no number for anything else or for more than 18 digits. Allocates nothing.
ShownNumber shownNumber(const QString& text);

// One sample of the diagnosis chart: the values of one status block, as the window showed them.
struct ChartSample {
    // Seconds since the recording began.
    double time = 0;
    // The actual position with the decimals in use when it came.
    ShownNumber position;
    // The motor current in amperes.
    ShownNumber current;
    // The PWM output as the drive sent it (127 is the middle).
    ShownNumber pwm;
    std::optional<quint32> statusWord;
};

// The chart's recording: the newest samples in a ring of fixed capacity, the oldest dropped.
// The ring's memory is taken with the first sample; from then on adding one is a copy into
// its slot.
class ChartRecording {
public:
    // The line delivers at most one sample per poll of the status block (9 characters) and its
    // answer (57 characters), nothing else on the wire: 14.5 samples a second. The polling plan's
    // other polls and the waits around each frame only make it slower (14.1 a second measured),
    // so 30 minutes at this rate always hold 30 minutes of live polling: 26182 samples, 1.7 MB.
    static constexpr double kMostSamplesPerSecond = 1.0 / ((9 + 57) * protocol::kCharacterSeconds);
    static constexpr double kSpanSeconds = 30 * 60;
    static constexpr qsizetype kCapacity = static_cast<qsizetype>(kSpanSeconds * kMostSamplesPerSecond) + 1;

    explicit ChartRecording(qsizetype capacity = kCapacity);

    // Keeps `sample`, stamped with `clockSeconds` (the monotonic clock) less the clock at the
    // first sample.
    void add(double clockSeconds, ChartSample sample);

    qsizetype size() const { return static_cast<qsizetype>(samples_.size()); }
    qsizetype capacity() const { return capacity_; }
    bool isEmpty() const { return samples_.empty(); }
    // Sample `i`, 0 the oldest kept.
    const ChartSample& at(qsizetype i) const;
    // From the oldest kept sample to the newest.
    double seconds() const;

private:
    std::vector<ChartSample> samples_;
    qsizetype capacity_;
    // Where the oldest sample sits once the ring is full.
    qsizetype oldest_ = 0;
    double began_ = 0;
};

// The whole recording as CSV: a header line "time,position,current,pwm,status", then one row per
// sample, oldest first. Comma separated, a point as decimal separator, CR LF after every line,
// UTF-8 (only ASCII occurs), no byte order mark. time: seconds since the recording began, three
// decimals; position, current: as the window showed them, with their decimals (position in the
// decimal places chosen then, current in amperes); pwm: as the drive sent it; status: the
// 32-bit status word as an unsigned decimal. A value the drive sent as no number stays empty.
QByteArray chartCsv(const ChartRecording& recording);

} // namespace kinetra
