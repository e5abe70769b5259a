#include "parameter_file_writer.h"

#include "parameter_file_layout.h"
#include "parameter_table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <optional>

namespace kinetra {

namespace {

constexpr char kLineEnd[] = "\r\n";
constexpr char kSeparator[] = "----------------";

// Characters of 0x80-0x9F in Windows-1252 (0 where the code page has none).
constexpr char16_t kHighControls[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                        0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char windows1252(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] == c && c != 0)
            return static_cast<char>(0x80 + i);
    return '?';
}

// A quote or a line break inside a text would end the field early and shift every later
// record onto the wrong parameter, so they are left out; the table never holds them anyway.
QByteArray textField(const QString& text)
{
    QByteArray out;
    out.reserve(text.size() + 2);
    out += '"';
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            continue;
        out += windows1252(c.unicode());
    }
    out += '"';
    return out;
}

QByteArray valueField(const ParameterValue& v)
{
    switch (v.kind()) {
    case ParameterValue::Kind::Empty: return {};
    case ParameterValue::Kind::Number: return QByteArray::number(*v.toInteger());
    case ParameterValue::Kind::Text: return textField(v.toText());
    }
    return {};
}

void titleLine(QByteArray& out, const QByteArray& text)
{
    out += '"' + text + '"' + kLineEnd;
}

void recordLines(QByteArray& out, ParameterTable& table, const QList<int>& sequence, int (*command)(int))
{
    for (const int p : sequence) {
        const int cmd = command(p);
        const ParameterValue kept = zeroRuleValue(cmd, table.value(cmd));
        table.store(cmd, kept);
        out += '"' + recordName(p) + "\"," + valueField(kept) + kLineEnd;
    }
}

int axisCmd(int p)
{
    return axisCommand(p);
}
int deviceCmd(int p)
{
    return deviceCommand(p);
}

ParameterFileResult failure(ParameterFileError error, const QString& detail = {})
{
    ParameterFileResult r;
    r.error = error;
    r.detail = detail;
    return r;
}

// Why `path` cannot take a new file, judged before anything is written.
std::optional<ParameterFileResult> unfitTarget(const QFileInfo& target)
{
    if (target.exists() && !target.isFile())
        return failure(ParameterFileError::NotAFile);
    const QFileInfo folder(target.absolutePath());
    if (!folder.isDir())
        return failure(ParameterFileError::PathNotFound);
    if (target.exists() && !target.isWritable())
        return failure(ParameterFileError::AccessDenied);
    return std::nullopt;
}

ParameterFileError writeError(QFileDevice::FileError error)
{
    switch (error) {
    case QFileDevice::ResourceError: return ParameterFileError::DiskFull;
    case QFileDevice::PermissionsError: return ParameterFileError::AccessDenied;
    default: return ParameterFileError::WriteFailed;
    }
}

} // namespace

QByteArray formatParameterFile(ParameterTable& table, qint16 firmwareLevel)
{
    QByteArray out;
    out.reserve(4096);
    titleLine(out, kParameterFileHeader);
    titleLine(out, kSeparator);
    titleLine(out, "Achse X");
    titleLine(out, kSeparator);
    recordLines(out, table, axisSequence(firmwareLevel), axisCmd);
    titleLine(out, kSeparator);
    titleLine(out, "Ger\xE4"
                   "te Daten");
    titleLine(out, kSeparator);
    recordLines(out, table, deviceSequence(), deviceCmd);
    return out;
}

ParameterFileResult writeParameterFile(const QString& path, ParameterTable& table, qint16 firmwareLevel)
{
    const QFileInfo target(path);
    if (const auto unfit = unfitTarget(target))
        return *unfit;
    const QByteArray bytes = formatParameterFile(table, firmwareLevel);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        const bool folderLocked = !QFileInfo(target.absolutePath()).isWritable();
        return failure(folderLocked ? ParameterFileError::AccessDenied : writeError(file.error()), file.errorString());
    }
    // QSaveFile replaces the old file even when its buffered data could not all be written (a
    // full disk, a size limit): only a flush that succeeded may lead to the replacement.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const ParameterFileResult r = failure(writeError(file.error()), file.errorString());
        file.cancelWriting();
        return r;
    }
    if (!file.commit())
        return failure(writeError(file.error()), file.errorString());
    ParameterFileResult done;
    done.records = static_cast<int>(axisSequence(firmwareLevel).size() + deviceSequence().size());
    return done;
}

ParameterFileResult probeParameterFileTarget(const QString& path)
{
    const QFileInfo target(path);
    if (const auto unfit = unfitTarget(target))
        return *unfit;
    // The new file is written beside the old one and then takes its place.
    if (!QFileInfo(target.absolutePath()).isWritable())
        return failure(ParameterFileError::AccessDenied);
    return {};
}

QByteArray newParameterFileBytes()
{
    return QByteArray(kParameterFileHeader) + kLineEnd;
}

ParameterFileResult createParameterFile(const QString& path)
{
    const QFileInfo target(path);
    if (target.exists())
        return failure(target.isFile() ? ParameterFileError::WriteFailed : ParameterFileError::NotAFile,
                       QStringLiteral("exists already"));
    if (!QFileInfo(target.absolutePath()).isDir())
        return failure(ParameterFileError::PathNotFound);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return failure(ParameterFileError::AccessDenied, file.errorString());
    const QByteArray bytes = newParameterFileBytes();
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const ParameterFileResult r = failure(writeError(file.error()), file.errorString());
        file.close();
        file.remove(); // a half-made file would fail the header test later
        return r;
    }
    return {};
}

} // namespace kinetra
