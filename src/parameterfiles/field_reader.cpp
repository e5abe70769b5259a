#include "field_reader.h"

#include <limits>

namespace kinetra {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}
bool isLineBreak(char c)
{
    return c == '\r' || c == '\n';
}

} // namespace

bool FieldReader::atLineEnd() const
{
    return pos_ >= bytes_.size() || isLineBreak(bytes_[pos_]);
}

void FieldReader::takeDelimiter()
{
    afterComma_ = false;
    if (pos_ >= bytes_.size())
        return;
    if (bytes_[pos_] == ',') {
        ++pos_;
        afterComma_ = true;
        return;
    }
    if (bytes_[pos_] == '\r') {
        ++pos_;
        if (pos_ < bytes_.size() && bytes_[pos_] == '\n')
            ++pos_;
        ++line_;
    } else if (bytes_[pos_] == '\n') {
        ++pos_;
        ++line_;
    }
}

std::optional<QByteArray> FieldReader::readLine()
{
    if (pos_ >= bytes_.size())
        return std::nullopt;
    const qsizetype start = pos_;
    while (!atLineEnd())
        ++pos_;
    const QByteArray text = bytes_.sliced(start, pos_ - start).toByteArray();
    takeDelimiter();
    return text;
}

std::optional<QByteArray> FieldReader::readField()
{
    const qsizetype size = bytes_.size();
    while (pos_ < size && isBlank(bytes_[pos_]))
        ++pos_;
    if (pos_ >= size) {
        if (!afterComma_)
            return std::nullopt;
        afterComma_ = false; // "P12", at the very end still has its empty value
        return QByteArray();
    }
    QByteArray field;
    if (bytes_[pos_] == '"') {
        const qsizetype start = ++pos_;
        while (pos_ < size && bytes_[pos_] != '"' && !isLineBreak(bytes_[pos_]))
            ++pos_;
        field = bytes_.sliced(start, pos_ - start).toByteArray();
        // Whatever stands between the closing quote and the delimiter is not part of any field.
        while (pos_ < size && bytes_[pos_] != ',' && !isLineBreak(bytes_[pos_]))
            ++pos_;
    } else {
        const qsizetype start = pos_;
        while (pos_ < size && bytes_[pos_] != ',' && !isLineBreak(bytes_[pos_]))
            ++pos_;
        qsizetype end = pos_;
        while (end > start && isBlank(bytes_[end - 1]))
            --end;
        field = bytes_.sliced(start, end - start).toByteArray();
    }
    takeDelimiter();
    return field;
}

bool FieldReader::atEnd() const
{
    for (qsizetype i = pos_; i < bytes_.size(); ++i)
        if (!isBlank(bytes_[i]) && !isLineBreak(bytes_[i]))
            return false;
    return true;
}

std::optional<qint64> fileNumber(QByteArrayView field)
{
    constexpr quint64 kMax = std::numeric_limits<qint64>::max();
    qsizetype i = 0;
    while (i < field.size() && isBlank(field[i]))
        ++i;
    bool negative = false;
    if (i < field.size() && field[i] == '-') {
        negative = true;
        ++i;
    }
    quint64 magnitude = 0;
    bool point = false;
    int firstDecimal = -1;
    for (; i < field.size(); ++i) {
        const char c = field[i];
        if (c >= '0' && c <= '9') {
            const int digit = c - '0';
            if (point) {
                if (firstDecimal < 0)
                    firstDecimal = digit;
            } else {
                if (magnitude > (kMax - static_cast<quint64>(digit)) / 10)
                    return std::nullopt;
                magnitude = magnitude * 10 + static_cast<quint64>(digit);
            }
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (firstDecimal >= 5) {
        if (magnitude == kMax)
            return std::nullopt;
        ++magnitude;
    }
    const qint64 n = static_cast<qint64>(magnitude);
    return negative ? -n : n;
}

bool isFileNumberText(QByteArrayView field)
{
    qsizetype begin = 0;
    qsizetype end = field.size();
    while (begin < end && isBlank(field[begin]))
        ++begin;
    while (end > begin && isBlank(field[end - 1]))
        --end;
    if (begin == end)
        return true;
    if (field[begin] == '-')
        ++begin;
    int digits = 0;
    bool point = false;
    for (qsizetype i = begin; i < end; ++i) {
        const char c = field[i];
        if (c >= '0' && c <= '9')
            ++digits;
        else if (c == '.' && !point)
            point = true;
        else
            return false;
    }
    return digits > 0;
}

} // namespace kinetra
