#include "language_fields.h"

#include <QStringDecoder>

#include <utility>
#include <vector>

namespace kinetra {

namespace {

// Code points of 0x80-0x9F in Windows-1252; the five unassigned bytes keep their own value,
// as Windows maps them.
constexpr char16_t kHighControls[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// Byte range of one field within the file.
using Range = std::pair<qsizetype, qsizetype>;

class Tokenizer {
public:
    explicit Tokenizer(QByteArrayView bytes) : bytes_(bytes)
    {
        if (bytes_.startsWith("\xEF\xBB\xBF"))
            pos_ = 3; // byte order mark of an editor that writes one
    }

    qsizetype position() const { return pos_; }

    // The next field; false at the end of the data.
    bool next(Range& field)
    {
        const qsizetype size = bytes_.size();
        while (pos_ < size && (bytes_[pos_] == ' ' || bytes_[pos_] == '\t'))
            ++pos_;
        if (pos_ >= size)
            return false;
        if (bytes_[pos_] == '"') {
            const qsizetype begin = ++pos_;
            while (pos_ < size && bytes_[pos_] != '"')
                ++pos_;
            field = {begin, pos_}; // an unterminated quote runs to the end of the data
            while (pos_ < size && bytes_[pos_] != ',' && !isLineEnd(bytes_[pos_]))
                ++pos_;
        } else {
            const qsizetype begin = pos_;
            while (pos_ < size && bytes_[pos_] != ',' && !isLineEnd(bytes_[pos_]))
                ++pos_;
            qsizetype end = pos_;
            while (end > begin && (bytes_[end - 1] == ' ' || bytes_[end - 1] == '\t'))
                --end;
            field = {begin, end};
        }
        skipSeparator();
        return true;
    }

private:
    void skipSeparator()
    {
        const qsizetype size = bytes_.size();
        if (pos_ >= size)
            return;
        const char c = bytes_[pos_++];
        if (c == '\r' && pos_ < size && bytes_[pos_] == '\n')
            ++pos_;
    }

    QByteArrayView bytes_;
    qsizetype pos_ = 0;
};

bool isValidUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    Q_UNUSED(text);
    return !decoder.hasError();
}

} // namespace

QString decodeWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = QChar(b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : char16_t(b));
    }
    return text;
}

LanguageFields splitLanguageFields(QByteArrayView bytes, qsizetype maxFields)
{
    Tokenizer tokenizer(bytes);
    std::vector<Range> ranges;
    Range field;
    while (qsizetype(ranges.size()) < maxFields && tokenizer.next(field))
        ranges.push_back(field);

    // Only the bytes actually read decide the code page: records after the last one the
    // loader needs are never looked at.
    const bool utf8 = isValidUtf8(bytes.first(tokenizer.position()));
    LanguageFields result;
    result.complete = qsizetype(ranges.size()) == maxFields;
    result.fields.reserve(qsizetype(ranges.size()));
    for (const auto& [begin, end] : ranges) {
        const QByteArrayView raw = bytes.sliced(begin, end - begin);
        result.fields << (utf8 ? QString::fromUtf8(raw) : decodeWindows1252(raw));
    }
    return result;
}

} // namespace kinetra
