// Reading parameter files: the number and field rules, then whole files loaded into a table whose
// every slot holds a marker, so that any slot a load touches shows.

#include "field_reader.h"
#include "hand_written_file.h"
#include "parameter_file_layout.h"
#include "parameter_file_reader.h"
#include "parameter_file_writer.h"
#include "parameter_table.h"
#include "scratch_files.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTest>

#include <limits>

using namespace kinetra;
using namespace kinetra::test;
using E = ParameterFileError;

Q_DECLARE_METATYPE(kinetra::ParameterFileError)
Q_DECLARE_METATYPE(std::optional<qint64>)

namespace {

ParameterTable markedTable()
{
    ParameterTable t;
    for (int a = 1; a <= 4; ++a)
        for (int p = 0; p < 100; ++p)
            t.store(2000 + 100 * a + p, ParameterValue::text("m"));
    return t;
}

bool sameTable(const ParameterTable& a, const ParameterTable& b)
{
    for (int i = 0; i < ParameterTable::kSlots; ++i)
        if (!(a.atSlot(i) == b.atSlot(i)))
            return false;
    return true;
}

// Every axis record holds its parameter number, every device record 1000 more (quoted), so a
// value stored in the wrong slot shows.
QByteArray numbered(const QList<int>& axis)
{
    QMap<int, QByteArray> axisValues, deviceValues;
    for (const int p : axis)
        axisValues.insert(p, QByteArray::number(p));
    for (const int p : handwritten::device())
        deviceValues.insert(p, "\"" + QByteArray::number(1000 + p) + "\"");
    return handwritten::file(axis, axisValues, deviceValues);
}

// The slots a file for `level` fills, in file order, with the value numbered() gives each.
QList<QPair<int, qint64>> numberedSlots(int level)
{
    QList<QPair<int, qint64>> out;
    for (const int p : level >= 540 ? handwritten::longAxis() : handwritten::shortAxis())
        out << qMakePair(2100 + p, qint64(p));
    for (const int p : handwritten::device())
        out << qMakePair(2400 + p, qint64(1000 + p));
    return out;
}

QByteArray cutAfter(const QByteArray& file, const QByteArray& marker)
{
    const qsizetype at = file.indexOf(marker);
    return at < 0 ? file : file.left(at + marker.size());
}

} // namespace

class TestParameterFileRead : public QObject {
    Q_OBJECT
private slots:
    void numericRuleTakesTheLeadingNumber_data()
    {
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<std::optional<qint64>>("value"); // none: beyond what a slot holds
        const auto row = [](const char* name, const QByteArray& field, std::optional<qint64> value) {
            QTest::newRow(name) << field << value;
        };
        row("blanks first", "  \t100", 100);
        row("negative", "-5", -5);
        row("empty", "", 0);
        row("lone minus", "-", 0);
        row("plus is no sign", "+5", 0);
        row("trailing junk", "12abc", 12);
        row("half rounds away", "12.5", 13);
        row("negative half", "-12.5", -13);
        row("below half", "1.49", 1);
        row("second point ends it", "1.2.9", 1);
        row("comma is no point", "1,9", 1);
        row("many zeros", QByteArray(5000, '0') + "42", 42);
        row("largest", "9223372036854775807", std::numeric_limits<qint64>::max());
        row("most negative kept", "-9223372036854775807", -std::numeric_limits<qint64>::max());
        row("one past", "9223372036854775808", std::nullopt);
        row("rounds past", "9223372036854775807.5", std::nullopt);
        row("long negative", "-" + QByteArray(30, '9'), std::nullopt);
    }
    void numericRuleTakesTheLeadingNumber()
    {
        QFETCH(QByteArray, field);
        QTEST(fileNumber(field), "value");
    }

    void fieldsSplitAsWritten_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QList<QByteArray>>("fields");
        QTest::newRow("quoted and bare") << QByteArray("\"P1\",100\r\n") << QList<QByteArray>{"P1", "100"};
        QTest::newRow("empty value") << QByteArray("\"P12\",\r\n\"P13\",1\r\n")
                                     << QList<QByteArray>{"P12", "", "P13", "1"};
        QTest::newRow("empty value at the very end") << QByteArray("\"P48\",") << QList<QByteArray>{"P48", ""};
        QTest::newRow("blanks around bare") << QByteArray("  7  , 8\r\n") << QList<QByteArray>{"7", "8"};
        QTest::newRow("blanks kept inside quotes") << QByteArray("\" 7 \"") << QList<QByteArray>{" 7 "};
        QTest::newRow("junk after the quote") << QByteArray("\"5\"xy,6") << QList<QByteArray>{"5", "6"};
        QTest::newRow("comma inside quotes") << QByteArray("\"a,b\",c") << QList<QByteArray>{"a,b", "c"};
        QTest::newRow("unclosed quote ends at the line") << QByteArray("\"abc\r\n1") << QList<QByteArray>{"abc", "1"};
        QTest::newRow("line feeds only") << QByteArray("1\n2\n") << QList<QByteArray>{"1", "2"};
        QTest::newRow("carriage returns only") << QByteArray("1\r2\r") << QList<QByteArray>{"1", "2"};
    }
    void fieldsSplitAsWritten()
    {
        QFETCH(QByteArray, data);
        QFETCH(QList<QByteArray>, fields);
        FieldReader r(data);
        for (const QByteArray& f : fields)
            QCOMPARE(r.readField(), std::optional<QByteArray>(f));
        QVERIFY(r.atEnd());
        QVERIFY(!r.readField());
    }

    // What a load reports, and that it stored exactly the records it counts, each in its slot,
    // before the per-record action ran: every other slot keeps its marker.
    void wholeFiles_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("level");
        QTest::addColumn<ParameterFileError>("error");
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("line"); // where the reading stopped; -1 where it does not matter
        const auto row = [](const char* name, const QByteArray& data, int level, E error, int records, int line = -1) {
            QTest::newRow(name) << data << level << error << records << line;
        };
        const QByteArray shortFile = numbered(handwritten::shortAxis());
        const QByteArray longFile = numbered(handwritten::longAxis());
        const QByteArray header = "\"Parameter KINETRA\"\r\n";
        const auto cut = [&](const char* marker) { return cutAfter(shortFile, marker); };

        row("new file", "Parameter KINETRA\r\n", 540, E::None, 0);
        row("quoted header only", header, 540, E::None, 0);
        row("more fields on the header line", "\"Parameter KINETRA\",1\r\n", 540, E::None, 0);
        row("blank lines after the header", "Parameter KINETRA\r\n\r\n  \r\n", 540, E::None, 0);
        row("header in other case", "\"parameter kinetra\"\r\n", 540, E::NotParameterFile, 0);
        row("header not first", "[Settings]\r\n" + header, 540, E::NotParameterFile, 0);
        row("empty", "", 540, E::NotParameterFile, 0);

        row("55 axis records at 523", shortFile, 523, E::None, 55 + 38);
        row("79 axis records at 540", longFile, 540, E::None, 79 + 38);
        row("line feeds", QByteArray(shortFile).replace("\r\n", "\n"), 0, E::None, 93);
        row("lower-case names", QByteArray(shortFile).replace("\n\"P", "\n\"p"), 0, E::None, 93);
        row("blank lines at the end", shortFile + "\r\n\r\n", 0, E::None, 93);
        row("no last line end", shortFile.chopped(2), 0, E::None, 93);
        // The user's Stop ends the load after the current record.
        row("stopped at 2104", shortFile, 0, E::Stopped, 5);
        // Reading goes on pass after pass until the file ends.
        row("two passes", shortFile + shortFile.mid(header.size()), 0, E::None, 2 * 93);

        // A file that ends early keeps the records before its end.
        row("cut after a record", cut("\"P20\",20\r\n"), 523, E::ReadPastEnd, 21, 26);
        row("cut inside a name", cut("\"P20\",20\r\n\"P2"), 523, E::ReadPastEnd, 21, 26);
        row("cut within the section titles", cut("\"Ger\xE4te Daten\"\r\n"), 523, E::ReadPastEnd, 55, 62);
        row("cut before the last device record", cut("\"P47\",\"1047\"\r\n"), 523, E::ReadPastEnd, 92, 100);
        row("cut after the header line", cut("KINETRA\"\r\n\"---"), 523, E::ReadPastEnd, 0, 2);
        row("one endless line", header + "\"" + QByteArray(900000, '-') + "\",\"Achse X\"", 0, E::ReadPastEnd, 0);

        // Anything else that does not fit is refused whole.
        row("79 axis records at 523", longFile, 523, E::OtherLevelClass, 0);
        row("55 axis records at 540", shortFile, 540, E::OtherLevelClass, 0);
        row("79 axis records cut, at 523", cutAfter(longFile, "\"P60\",60\r\n"), 523, E::OtherLevelClass, 0);
        row("a record missing", QByteArray(shortFile).replace("\"P10\",10\r\n", ""), 523, E::UnexpectedRecord, 0);
        row("garbage after the header", header + QByteArray("\xFF\x01,\x02\r\n").repeated(500), 523,
            E::UnexpectedRecord, 0);
        row("value too large", QByteArray(shortFile).replace("\"P30\",30", "\"P30\",99999999999999999999"), 523,
            E::NumberOutOfRange, 0);
        // A value that is no number would load as what its first characters form ("25k" as 25,
        // "eighty" as 0): the file is refused whole, naming the record.
        const auto valued = [&](const char* value) {
            return QByteArray(shortFile).replace("\"P13\",13", QByteArray("\"P13\",") + value);
        };
        row("value with a unit", valued("25k"), 523, E::NotANumber, 0, 19);
        row("value a word", valued("eighty"), 523, E::NotANumber, 0, 19);
        row("quoted word", valued("\"eighty\""), 523, E::NotANumber, 0, 19);
        row("minus inside", valued("1-2"), 523, E::NotANumber, 0, 19);
        row("lone minus", valued("-"), 523, E::NotANumber, 0, 19);
        row("decimal point is a number", valued(" 13.0 "), 523, E::None, 93);
    }
    void wholeFiles()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, level);
        QFETCH(ParameterFileError, error);
        QFETCH(int, records);
        QFETCH(int, line);
        ScratchFolder files;
        const QString path = files.write(data);
        QCOMPARE(hasParameterFileHeader(data), error != E::NotParameterFile);
        QCOMPARE(testParameterFileHeader(path).ok(), error != E::NotParameterFile);

        ParameterTable t = markedTable();
        int actions = 0;
        bool storedFirst = true;
        const ParameterFileResult r = readParameterFile(path, t, qint16(level), [&](const ParameterRecord& rec) {
            ++actions;
            storedFirst = storedFirst && t.value(rec.cmd) == rec.value;
            return error != E::Stopped || rec.cmd != 2104;
        });
        QCOMPARE(r.error, error);
        QCOMPARE(r.records, records);
        QCOMPARE(actions, records);
        QVERIFY(storedFirst);
        if (line >= 0)
            QCOMPARE(r.line, line);
        if (error == E::NotANumber)
            QVERIFY2(r.detail.contains(QLatin1String("P13")), qPrintable(r.detail));
        if (records == 0)
            QVERIFY(sameTable(t, markedTable()));
        const auto filled = numberedSlots(level);
        for (qsizetype i = 0; i < filled.size(); ++i)
            QCOMPARE(t.value(filled[i].first),
                     i < records ? ParameterValue::number(filled[i].second) : ParameterValue::text("m"));
    }

    void roundTripKeepsValuesAsNumbers()
    {
        ParameterTable t;
        t.store(2101, ParameterValue::text("1000")); // from the drive
        t.store(2102, ParameterValue::number(-5));   // from an earlier load
        t.store(2140, ParameterValue::number(0));
        t.store(2156, ParameterValue::text("77"));
        t.store(2410, ParameterValue::text("12"));
        ScratchFolder files;
        ParameterTable loaded;
        const ParameterFileResult r = readParameterFile(files.write(formatParameterFile(t, 540)), loaded, 540);
        QVERIFY(r.ok());
        QCOMPARE(r.records, 79 + 38);
        QCOMPARE(loaded.value(2101), ParameterValue::number(1000));
        QCOMPARE(loaded.value(2102), ParameterValue::number(-5));
        QCOMPARE(loaded.value(2140), ParameterValue::number(1));
        QCOMPARE(loaded.value(2112), ParameterValue::number(0)); // empty reads as 0
        QCOMPARE(loaded.value(2137), ParameterValue::number(1)); // and 0 there becomes 1
        QCOMPARE(loaded.value(2410), ParameterValue::number(12));
        QCOMPARE(loaded.value(2156), ParameterValue::number(77));
        QVERIFY(loaded.value(2153).isEmpty() && loaded.value(2154).isEmpty() && loaded.value(2404).isEmpty());

        // The same values, stored again after the load, are numbers: written bare.
        const QByteArray again = formatParameterFile(loaded, 540);
        QVERIFY(again.contains("\r\n\"P1\",1000\r\n"));
        QVERIFY(again.contains("\r\n\"P12\",0\r\n"));
        QVERIFY(!again.contains("\",\""));
    }

    void unreadablePlacesGiveAClearError_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<ParameterFileError>("error");
        QTest::newRow("missing") << "missing.par" << E::NotFound;
        QTest::newRow("missing folder") << "none/missing.par" << E::PathNotFound;
        QTest::newRow("a folder") << "folder.par" << E::NotAFile;
        QTest::newRow("huge") << "huge.par" << E::TooLarge;
    }
    void unreadablePlacesGiveAClearError()
    {
        QFETCH(QString, name);
        QFETCH(ParameterFileError, error);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("folder.par"));
        QFile huge(dir.filePath("huge.par"));
        QVERIFY(huge.open(QIODevice::WriteOnly));
        huge.write(newParameterFileBytes());
        QVERIFY(huge.resize(kMaxParameterFileSize + 1)); // sparse: no real megabytes written
        huge.close();
        const QString path = dir.filePath(name);
        ParameterTable t;
        QCOMPARE(readParameterFile(path, t, 0).error, error);
        QCOMPARE(testParameterFileHeader(path).error, error);
        QCOMPARE(probeParameterFile(path).error, error == E::TooLarge ? E::None : error);
    }

    // Damaged copies of a good file: every one either loads, stops at its end keeping what
    // came before, or is refused whole; none crashes or loads a record out of place.
    void damagedFilesLoadConsistently()
    {
        const QList<int> axis = handwritten::longAxis();
        QMap<int, QByteArray> values;
        for (const int p : axis)
            values.insert(p, "\"" + QByteArray::number(p * 3) + "\"");
        const QByteArray good = handwritten::file(axis, values);
        QRandomGenerator random(8);
        for (int round = 0; round < 300; ++round) {
            QByteArray bad = good;
            for (int edits = random.bounded(1, 6); edits > 0; --edits) {
                const int at = random.bounded(21, int(bad.size()));
                switch (random.bounded(3)) {
                case 0: bad[at] = char(random.bounded(256)); break;
                case 1: bad.remove(at, random.bounded(1, 40)); break;
                default: bad.insert(at, QByteArray(random.bounded(1, 4), ",\"\r\n"[random.bounded(4)]));
                }
            }
            const ParameterFileContent c = parseParameterFile(bad, 540);
            const auto error = c.result.error;
            QVERIFY(c.records.isEmpty() || error == E::None || error == E::ReadPastEnd);
            for (qsizetype i = 0; i < c.records.size() && i < axis.size(); ++i)
                QCOMPARE(c.records[i].cmd, 2100 + axis[i]);
        }
    }
};

QTEST_GUILESS_MAIN(TestParameterFileRead)
#include "test_parameter_file_read.moc"
