#pragma once

#include <QList>
#include <QString>

#include <limits>
#include <optional>

namespace kinetra::bench {

// Whether a case passes when its figure (or its ratio to the model) stays at most or at least
// the limit.
enum class Bound { AtMost, AtLeast };

struct BenchRow {
    QString name;
    QString unit;
    double measured = std::numeric_limits<double>::quiet_NaN(); // NaN: did not run
    std::optional<double> model;                                // the timing model's figure, where there is one
    Bound bound = Bound::AtMost;
    // Compared with measured / model when there is a model, else with the measured figure.
    double limit = 0;
    QString note;

    std::optional<double> ratio() const;
    bool met() const;
    QString targetText() const;
};

// The table as Markdown, then "targets met: K/M".
QString formatReport(const QList<BenchRow>& rows);

} // namespace kinetra::bench
