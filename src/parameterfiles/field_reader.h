#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

namespace kinetra {

// Reads a parameter file the way it was written: a whole line, or one field after the other.
// A quoted field runs to its closing quote, an unquoted one to the next comma or line end with
// the blanks around it removed; a comma or a line end (CR LF, or a lone CR or LF) ends a field.
// Works on the bytes in memory, so a field costs at most one pass over its characters.
class FieldReader {
public:
    explicit FieldReader(QByteArrayView bytes) : bytes_(bytes) {}

    // The rest of the current line; none when the data has ended.
    std::optional<QByteArray> readLine();
    // The next field; none when the data has ended before it (reading past the end).
    std::optional<QByteArray> readField();
    // Nothing is left but blanks and line ends, as after the last line of a file.
    bool atEnd() const;
    // 1-based line of the reading position.
    int line() const { return line_; }

private:
    void takeDelimiter();
    bool atLineEnd() const;

    QByteArrayView bytes_;
    qsizetype pos_ = 0;
    int line_ = 1;
    bool afterComma_ = false; // a comma was the last delimiter: one more (empty) field exists
};

// Numeric value of a field: leading blanks skipped, then an optional minus sign, digits and at
// most one decimal point up to the first other character; no digits give 0. A table slot holds
// whole numbers, so a fraction is rounded half away from zero. None when the number does not
// fit a 64-bit integer.
std::optional<qint64> fileNumber(QByteArrayView field);

// Whether a value field is a number as the file's writer writes one: blanks around it aside, an
// optional minus sign, digits and at most one decimal point with digits, or nothing at all (an
// empty slot, which reads as 0). "25k" or "eighty" is no number: fileNumber would read them as
// 25 and 0, and loading them would put a value into the drive that nobody wrote.
bool isFileNumberText(QByteArrayView field);

} // namespace kinetra
