#pragma once

#include <QList>
#include <QString>

#include <optional>
#include <utility>

namespace kinetra::sim {

// The values of a parameter file as start values of the simulated drive: records of the axis
// section become 21pp, records of the device section 24pp. The reader is forgiving: records are
// taken by their names (P0, P52, ...), empty values keep the drive's default, and lines it does
// not understand are skipped. Fails (with a reason) only for a file that cannot be read or is
// no parameter file at all.
std::optional<QList<std::pair<int, qint64>>> readParameterFileValues(const QString& path, QString* error);

} // namespace kinetra::sim
