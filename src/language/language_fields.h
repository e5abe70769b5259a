#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace kinetra {

// The fields of a language file, decoded. `complete` is false when the data ran out before
// `maxFields` fields had been read.
struct LanguageFields {
    QStringList fields;
    bool complete = false;
};

// Splits the start of a language file into at most `maxFields` fields. Commas and line ends
// (CR LF, LF or CR) separate fields; a field in double quotes may hold commas and ends at the
// next quote (the quotes are not part of the value, text between the closing quote and the
// separator is dropped); leading blanks are skipped and trailing blanks of an unquoted field
// dropped. The bytes read are decoded as UTF-8 when they are valid UTF-8, else as Windows-1252.
LanguageFields splitLanguageFields(QByteArrayView bytes, qsizetype maxFields);

// Windows-1252 (the Western code page of older text files) to text.
QString decodeWindows1252(QByteArrayView bytes);

} // namespace kinetra
