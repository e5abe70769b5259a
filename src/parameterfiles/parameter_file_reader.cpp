#include "parameter_file_reader.h"

#include "field_reader.h"
#include "parameter_file_layout.h"
#include "parameter_table.h"

#include <QFile>
#include <QFileInfo>

namespace kinetra {

namespace {

ParameterFileResult failure(ParameterFileError error, int line = 0, const QString& detail = {})
{
    ParameterFileResult r;
    r.error = error;
    r.line = line;
    r.detail = detail;
    return r;
}

ParameterFileError missingError(const QFileInfo& info)
{
    return QFileInfo(info.absolutePath()).isDir() ? ParameterFileError::NotFound : ParameterFileError::PathNotFound;
}

// The bytes of the file at `path`, or why they cannot be had.
struct FileBytes {
    QByteArray bytes;
    ParameterFileResult result;
};

FileBytes loadBytes(const QString& path)
{
    FileBytes out;
    const QFileInfo info(path);
    if (!info.exists()) {
        out.result = failure(missingError(info));
        return out;
    }
    // A folder, a device or a pipe could block or never end; only plain files are read.
    if (!info.isFile()) {
        out.result = failure(ParameterFileError::NotAFile);
        return out;
    }
    if (info.size() > kMaxParameterFileSize) {
        out.result = failure(ParameterFileError::TooLarge);
        return out;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        const auto error = info.isReadable() ? ParameterFileError::ReadFailed : ParameterFileError::AccessDenied;
        out.result = failure(error, 0, file.errorString());
        return out;
    }
    out.bytes = file.read(kMaxParameterFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        out.result = failure(ParameterFileError::ReadFailed, 0, file.errorString());
    else if (out.bytes.size() > kMaxParameterFileSize) // grew since it was measured
        out.result = failure(ParameterFileError::TooLarge);
    if (!out.result.ok())
        out.bytes.clear();
    return out;
}

bool sameName(const QByteArray& field, int parameter)
{
    return field.trimmed().compare(recordName(parameter), Qt::CaseInsensitive) == 0;
}

// The sequential reading of the format: per pass three ignored fields, the axis records, three
// ignored fields, the device records; passes repeat until the end of the file.
class RecordParser {
public:
    RecordParser(QByteArrayView bytes, qint16 level)
        : reader_(bytes), axis_(axisSequence(level)),
          otherAxis_(axisSequence(level >= kLongAxisSequenceLevel ? 0 : kLongAxisSequenceLevel)),
          device_(deviceSequence())
    {
    }

    ParameterFileContent parse()
    {
        reader_.readLine(); // the header, tested before
        while (!reader_.atEnd()) {
            if (!skipFields(3) || !readRecords(axis_, &otherAxis_, axisCommand) || !skipFields(3) ||
                !readRecords(device_, nullptr, deviceCommand))
                return std::move(content_);
        }
        content_.result.records = static_cast<int>(content_.records.size());
        return std::move(content_);
    }

private:
    bool stop(ParameterFileError error, const QString& detail = {})
    {
        content_.result = failure(error, reader_.line(), detail);
        if (error == ParameterFileError::ReadPastEnd)
            content_.result.records = static_cast<int>(content_.records.size());
        else
            content_.records.clear(); // a refused file loads nothing
        return false;
    }

    bool skipFields(int count)
    {
        for (int i = 0; i < count; ++i)
            if (!reader_.readField())
                return stop(ParameterFileError::ReadPastEnd);
        return true;
    }

    bool readRecords(const QList<int>& sequence, const QList<int>* other, int (*command)(int))
    {
        for (qsizetype i = 0; i < sequence.size(); ++i) {
            const int p = sequence[i];
            const auto name = reader_.readField();
            const auto value = name ? reader_.readField() : std::nullopt;
            if (!value)
                return stop(ParameterFileError::ReadPastEnd);
            if (!sameName(*name, p)) {
                const bool otherClass = other && i < other->size() && sameName(*name, other->at(i));
                return stop(otherClass ? ParameterFileError::OtherLevelClass : ParameterFileError::UnexpectedRecord);
            }
            if (!isFileNumberText(*value))
                return stop(ParameterFileError::NotANumber,
                            QStringLiteral("record %1, value \"%2\"")
                                .arg(QString::fromLatin1(recordName(p)), QString::fromLatin1(value->left(20))));
            const auto n = fileNumber(*value);
            if (!n)
                return stop(ParameterFileError::NumberOutOfRange);
            const int cmd = command(p);
            content_.records.append({cmd, zeroRuleValue(cmd, ParameterValue::number(*n))});
        }
        return true;
    }

    FieldReader reader_;
    const QList<int> axis_;
    const QList<int> otherAxis_;
    const QList<int> device_;
    ParameterFileContent content_;
};

} // namespace

ParameterFileResult probeParameterFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return failure(missingError(info));
    if (!info.isFile())
        return failure(ParameterFileError::NotAFile);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        const auto error = info.isReadable() ? ParameterFileError::ReadFailed : ParameterFileError::AccessDenied;
        return failure(error, 0, file.errorString());
    }
    return {};
}

bool hasParameterFileHeader(QByteArrayView bytes)
{
    FieldReader reader(bytes);
    const auto first = reader.readField();
    return first && *first == kParameterFileHeader;
}

ParameterFileResult testParameterFileHeader(const QString& path)
{
    const FileBytes file = loadBytes(path);
    if (!file.result.ok())
        return file.result;
    return hasParameterFileHeader(file.bytes) ? ParameterFileResult{}
                                              : failure(ParameterFileError::NotParameterFile, 1);
}

ParameterFileContent parseParameterFile(QByteArrayView bytes, qint16 firmwareLevel)
{
    if (!hasParameterFileHeader(bytes)) {
        ParameterFileContent refused;
        refused.result = failure(ParameterFileError::NotParameterFile, 1);
        return refused;
    }
    return RecordParser(bytes, firmwareLevel).parse();
}

ParameterFileContent readParameterRecords(const QString& path, qint16 firmwareLevel)
{
    const FileBytes file = loadBytes(path);
    if (!file.result.ok()) {
        ParameterFileContent failed;
        failed.result = file.result;
        return failed;
    }
    return parseParameterFile(file.bytes, firmwareLevel);
}

ParameterFileResult readParameterFile(const QString& path, ParameterTable& table, qint16 firmwareLevel,
                                      const ParameterRecordAction& afterStore)
{
    // The whole file is judged before the first slot changes, so a refused file leaves the table
    // as it was. The records are a copy: the action may serve the user interface (a write to the
    // drive waits for its answer) without anything here changing under it.
    return storeParameterRecords(readParameterRecords(path, firmwareLevel), table, afterStore);
}

ParameterFileResult storeParameterRecords(const ParameterFileContent& content, ParameterTable& table,
                                          const ParameterRecordAction& afterStore)
{
    ParameterFileResult result = content.result;
    result.records = 0;
    for (const ParameterRecord& record : content.records) {
        table.store(record.cmd, record.value);
        ++result.records;
        if (afterStore && !afterStore(record)) {
            result.error = ParameterFileError::Stopped;
            result.line = 0;
            return result;
        }
    }
    return result;
}

} // namespace kinetra
