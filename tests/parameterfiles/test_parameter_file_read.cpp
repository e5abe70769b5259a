#include "field_reader.h"
#include "hand_written_file.h"
#include "parameter_file_layout.h"
#include "parameter_file_reader.h"
#include "parameter_file_writer.h"
#include "parameter_table.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

using namespace kinetra;

namespace {

// A table whose every slot holds a marker, so any slot a load touches shows.
ParameterTable markedTable() {
    ParameterTable t;
    for (int a = 1; a <= 4; ++a)
        for (int p = 0; p < 100; ++p)
            t.store(2000 + 100 * a + p, ParameterValue::text("m"));
    return t;
}

bool sameTable(const ParameterTable& a, const ParameterTable& b) {
    for (int i = 0; i < ParameterTable::kSlots; ++i)
        if (!(a.atSlot(i) == b.atSlot(i))) return false;
    return true;
}

class FileFixture {
public:
    QString write(const QByteArray& bytes) {
        const QString path = dir_.filePath(QString("f%1.par").arg(++count_));
        QFile f(path);
        if (f.open(QIODevice::WriteOnly)) f.write(bytes);
        return path;
    }

private:
    QTemporaryDir dir_;
    int count_ = 0;
};

QByteArray cutAfter(const QByteArray& file, const QByteArray& marker) {
    const qsizetype at = file.indexOf(marker);
    return at < 0 ? file : file.left(at + marker.size());
}

} // namespace

class TestParameterFileRead : public QObject {
    Q_OBJECT
private slots:
    void numericRuleTakesTheLeadingNumber_data() {
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<qint64>("value");
        QTest::newRow("plain") << QByteArray("100") << qint64(100);
        QTest::newRow("blanks first") << QByteArray("  \t100") << qint64(100);
        QTest::newRow("negative") << QByteArray("-5") << qint64(-5);
        QTest::newRow("empty") << QByteArray() << qint64(0);
        QTest::newRow("no digits") << QByteArray("abc") << qint64(0);
        QTest::newRow("lone minus") << QByteArray("-") << qint64(0);
        QTest::newRow("plus is no sign") << QByteArray("+5") << qint64(0);
        QTest::newRow("trailing junk") << QByteArray("12abc") << qint64(12);
        QTest::newRow("inner blank ends it") << QByteArray("1 2") << qint64(1);
        QTest::newRow("half rounds away") << QByteArray("12.5") << qint64(13);
        QTest::newRow("negative half") << QByteArray("-12.5") << qint64(-13);
        QTest::newRow("below half") << QByteArray("1.49") << qint64(1);
        QTest::newRow("second point ends it") << QByteArray("1.2.9") << qint64(1);
        QTest::newRow("comma is no point") << QByteArray("1,9") << qint64(1);
        QTest::newRow("many zeros") << QByteArray(QByteArray(5000, '0') + "42") << qint64(42);
        QTest::newRow("largest") << QByteArray("9223372036854775807") << std::numeric_limits<qint64>::max();
        QTest::newRow("most negative kept")
            << QByteArray("-9223372036854775807") << -std::numeric_limits<qint64>::max();
    }
    void numericRuleTakesTheLeadingNumber() {
        QFETCH(QByteArray, field);
        QFETCH(qint64, value);
        QCOMPARE(fileNumber(field), std::optional<qint64>(value));
    }

    void numbersBeyondTheSlotAreRefused_data() {
        QTest::addColumn<QByteArray>("field");
        QTest::newRow("one past") << QByteArray("9223372036854775808");
        QTest::newRow("rounds past") << QByteArray("9223372036854775807.5");
        QTest::newRow("long") << QByteArray(100000, '9');
        QTest::newRow("long negative") << QByteArray("-" + QByteArray(30, '9'));
    }
    void numbersBeyondTheSlotAreRefused() {
        QFETCH(QByteArray, field);
        QVERIFY(!fileNumber(field));
    }

    void fieldsSplitAsWritten_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QList<QByteArray>>("fields");
        QTest::newRow("quoted and bare") << QByteArray("\"P1\",100\r\n") << QList<QByteArray>{"P1", "100"};
        QTest::newRow("empty value") << QByteArray("\"P12\",\r\n\"P13\",1\r\n")
                                     << QList<QByteArray>{"P12", "", "P13", "1"};
        QTest::newRow("empty value at the very end")
            << QByteArray("\"P48\",") << QList<QByteArray>{"P48", ""};
        QTest::newRow("blanks around bare") << QByteArray("  7  , 8\r\n") << QList<QByteArray>{"7", "8"};
        QTest::newRow("blanks kept inside quotes") << QByteArray("\" 7 \"") << QList<QByteArray>{" 7 "};
        QTest::newRow("junk after the quote") << QByteArray("\"5\"xy,6") << QList<QByteArray>{"5", "6"};
        QTest::newRow("comma inside quotes") << QByteArray("\"a,b\",c") << QList<QByteArray>{"a,b", "c"};
        QTest::newRow("unclosed quote ends at the line")
            << QByteArray("\"abc\r\n1") << QList<QByteArray>{"abc", "1"};
        QTest::newRow("line feeds only") << QByteArray("1\n2\n") << QList<QByteArray>{"1", "2"};
        QTest::newRow("carriage returns only") << QByteArray("1\r2\r") << QList<QByteArray>{"1", "2"};
    }
    void fieldsSplitAsWritten() {
        QFETCH(QByteArray, data);
        QFETCH(QList<QByteArray>, fields);
        FieldReader r(data);
        for (const QByteArray& f : fields)
            QCOMPARE(r.readField(), std::optional<QByteArray>(f));
        QVERIFY(r.atEnd());
        QVERIFY(!r.readField());
    }

    void headerIsTheFirstField_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("header");
        QTest::newRow("quoted") << QByteArray("\"Parameter KINETRA\"\r\n") << true;
        QTest::newRow("bare, as a new file") << QByteArray("Parameter KINETRA\r\n") << true;
        QTest::newRow("bare without line end") << QByteArray("Parameter KINETRA") << true;
        QTest::newRow("more fields on the line") << QByteArray("\"Parameter KINETRA\",1\r\n") << true;
        QTest::newRow("other case") << QByteArray("\"parameter kinetra\"\r\n") << false;
        QTest::newRow("foreign text") << QByteArray("[Settings]\r\nParameter KINETRA\r\n") << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("binary") << QByteArray("\x00\xFF\x89PNG\r\n\x1A\n", 10) << false;
    }
    void headerIsTheFirstField() {
        QFETCH(QByteArray, data);
        QFETCH(bool, header);
        QCOMPARE(hasParameterFileHeader(data), header);
        FileFixture files;
        QCOMPARE(testParameterFileHeader(files.write(data)).ok(), header);
        if (!header) {
            ParameterTable t = markedTable();
            const ParameterFileResult r = readParameterFile(files.write(data), t, 540);
            QCOMPARE(r.error, ParameterFileError::NotParameterFile);
            QVERIFY(sameTable(t, markedTable()));
        }
    }

    void roundTripKeepsValuesAsNumbers_data() {
        QTest::addColumn<int>("level");
        QTest::newRow("523") << 523;
        QTest::newRow("540") << 540;
    }
    void roundTripKeepsValuesAsNumbers() {
        QFETCH(int, level);
        ParameterTable t;
        t.store(2101, ParameterValue::text("1000")); // from the drive
        t.store(2102, ParameterValue::number(-5));   // from an earlier load
        t.store(2140, ParameterValue::number(0));
        t.store(2156, ParameterValue::text("77"));
        t.store(2410, ParameterValue::text("12"));
        FileFixture files;
        const QString path = files.write(formatParameterFile(t, static_cast<qint16>(level)));

        ParameterTable loaded;
        const ParameterFileResult r = readParameterFile(path, loaded, static_cast<qint16>(level));
        QVERIFY(r.ok());
        QCOMPARE(r.records, (level >= 540 ? 79 : 55) + 38);
        QCOMPARE(loaded.value(2101), ParameterValue::number(1000));
        QCOMPARE(loaded.value(2102), ParameterValue::number(-5));
        QCOMPARE(loaded.value(2140), ParameterValue::number(1));
        QCOMPARE(loaded.value(2112), ParameterValue::number(0)); // empty reads as 0
        QCOMPARE(loaded.value(2137), ParameterValue::number(1)); // and 0 there becomes 1
        QCOMPARE(loaded.value(2410), ParameterValue::number(12));
        QCOMPARE(loaded.value(2110), ParameterValue::number(0));
        QCOMPARE(loaded.value(2156), level >= 540 ? ParameterValue::number(77) : ParameterValue());
        QVERIFY(loaded.value(2153).isEmpty() && loaded.value(2154).isEmpty() && loaded.value(2404).isEmpty());

        // The same values, stored again after the load, are numbers: written bare.
        const QByteArray again = formatParameterFile(loaded, static_cast<qint16>(level));
        QVERIFY(again.contains("\r\n\"P1\",1000\r\n"));
        QVERIFY(again.contains("\r\n\"P12\",0\r\n"));
        QVERIFY(!again.contains("\",\""));
    }

    void recordsComeInFileOrderWithTheirActions() {
        FileFixture files;
        const QString path =
            files.write(handwritten::file(handwritten::longAxis(), {{37, "0"}, {79, "\"9\""}}, {{10, "3"}}));
        const ParameterFileContent c = readParameterRecords(path, 540);
        QVERIFY(c.result.ok());
        QCOMPARE(c.records.size(), 79 + 38);
        QCOMPARE(c.records.first().cmd, 2100);
        QCOMPARE(c.records.at(78).cmd, 2180);
        QCOMPARE(c.records.at(79).cmd, 2400);
        QCOMPARE(c.records.last().cmd, 2448);
        QCOMPARE(c.records.at(37).value, ParameterValue::number(1));

        int sent = 0, shown = 0;
        for (const ParameterRecord& rec : c.records) {
            sent += rec.sentToDrive();
            shown += rec.shownAfterLoad();
        }
        QCOMPARE(sent, 79 + 1);
        QCOMPARE(shown, 56 - 2 + 38); // axis 0-52 and 55, and every device record
    }

    void stopAbandonsAfterTheCurrentRecord() {
        FileFixture files;
        const QString path = files.write(handwritten::file(handwritten::shortAxis(), {{4, "4"}, {5, "5"}}));
        ParameterTable t = markedTable();
        QList<int> seen;
        bool storedFirst = true;
        const ParameterFileResult r = readParameterFile(path, t, 0, [&](const ParameterRecord& rec) {
            seen << rec.cmd;
            storedFirst = storedFirst && t.value(rec.cmd) == rec.value; // stored before the action runs
            return rec.cmd != 2104;
        });
        QVERIFY(storedFirst);
        QCOMPARE(r.error, ParameterFileError::Stopped);
        QCOMPARE(r.records, 5);
        QCOMPARE(seen, (QList<int>{2100, 2101, 2102, 2103, 2104}));
        QCOMPARE(t.value(2104), ParameterValue::number(4));
        QCOMPARE(t.value(2105), ParameterValue::text("m"));
    }

    void headerOnlyFileLoadsNothing_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("new file") << QByteArray("Parameter KINETRA\r\n");
        QTest::newRow("quoted") << QByteArray("\"Parameter KINETRA\"\r\n");
        QTest::newRow("no line end") << QByteArray("Parameter KINETRA");
        QTest::newRow("blank lines after") << QByteArray("Parameter KINETRA\r\n\r\n  \r\n");
    }
    void headerOnlyFileLoadsNothing() {
        QFETCH(QByteArray, data);
        FileFixture files;
        ParameterTable t = markedTable();
        const ParameterFileResult r = readParameterFile(files.write(data), t, 540);
        QVERIFY(r.ok());
        QCOMPARE(r.records, 0);
        QVERIFY(sameTable(t, markedTable()));
    }

    void truncatedFileKeepsWhatWasRead_data() {
        QTest::addColumn<QByteArray>("cutAfter");
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("line");
        QTest::newRow("after a whole record") << QByteArray("\"P20\",20\r\n") << 21 << 26;
        QTest::newRow("inside a name") << QByteArray("\"P20\",20\r\n\"P2") << 21 << 26;
        QTest::newRow("name without value") << QByteArray("\"P20\",20\r\n\"P21\"") << 21 << 26;
        QTest::newRow("within the section titles") << QByteArray("\"Ger\xE4te Daten\"\r\n") << 55 << 62;
        QTest::newRow("before the last device record") << QByteArray("\"P47\",\r\n") << 55 + 37 << 100;
        QTest::newRow("after the header line") << QByteArray("KINETRA\"\r\n\"---") << 0 << 2;
    }
    void truncatedFileKeepsWhatWasRead() {
        QFETCH(QByteArray, cutAfter);
        QFETCH(int, records);
        QFETCH(int, line);
        QMap<int, QByteArray> values;
        for (const int p : handwritten::shortAxis())
            values.insert(p, QByteArray::number(p));
        FileFixture files;
        const QString path =
            files.write(::cutAfter(handwritten::file(handwritten::shortAxis(), values), cutAfter));
        ParameterTable t = markedTable();
        const ParameterFileResult r = readParameterFile(path, t, 523);
        QCOMPARE(r.error, ParameterFileError::ReadPastEnd);
        QCOMPARE(r.records, records);
        QCOMPARE(r.line, line);
        if (records > 0) QCOMPARE(t.value(2120), ParameterValue::number(20));
        QCOMPARE(t.value(2121), records > 21 ? ParameterValue::number(21) : ParameterValue::text("m"));
        QCOMPARE(t.value(2448), ParameterValue::text("m"));
    }

    void misfitFilesAreRefusedWhole_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("error");
        const auto otherClass = int(ParameterFileError::OtherLevelClass);
        const auto unexpected = int(ParameterFileError::UnexpectedRecord);
        QTest::newRow("79-record file at 523")
            << handwritten::file(handwritten::longAxis()) << 523 << otherClass;
        QTest::newRow("55-record file at 540")
            << handwritten::file(handwritten::shortAxis()) << 540 << otherClass;
        QTest::newRow("cut 79-record file at 523")
            << cutAfter(handwritten::file(handwritten::longAxis()), "\"P60\",\r\n") << 523 << otherClass;
        QByteArray shifted = handwritten::file(handwritten::shortAxis());
        shifted.replace("\"P10\",\r\n", "");
        QTest::newRow("a record missing") << shifted << 523 << unexpected;
        QTest::newRow("garbage after the header")
            << QByteArray("\"Parameter KINETRA\"\r\n" + QByteArray("\xFF\x01,\x02\r\n").repeated(500)) << 523
            << unexpected;
        QTest::newRow("value too large")
            << handwritten::file(handwritten::shortAxis(), {{30, "99999999999999999999"}}) << 523
            << int(ParameterFileError::NumberOutOfRange);
        QTest::newRow("device value too large")
            << handwritten::file(handwritten::shortAxis(), {}, {{48, "-99999999999999999999"}}) << 523
            << int(ParameterFileError::NumberOutOfRange);
    }
    void misfitFilesAreRefusedWhole() {
        QFETCH(QByteArray, data);
        QFETCH(int, level);
        QFETCH(int, error);
        FileFixture files;
        ParameterTable t = markedTable();
        int actions = 0;
        const ParameterFileResult r =
            readParameterFile(files.write(data), t, static_cast<qint16>(level),
                              [&](const ParameterRecord&) { return ++actions > 0; });
        QCOMPARE(int(r.error), error);
        QCOMPARE(r.records, 0);
        QCOMPARE(actions, 0);
        QVERIFY(sameTable(t, markedTable()));
    }

    void handEditedFilesStillLoad_data() {
        QTest::addColumn<QByteArray>("data");
        QByteArray lf = handwritten::file(handwritten::shortAxis(), {{1, "11"}});
        lf.replace("\r\n", "\n");
        QTest::newRow("line feeds") << lf;
        QTest::newRow("lower-case names")
            << handwritten::file(handwritten::shortAxis(), {{1, "11"}}).replace("\n\"P", "\n\"p");
        QTest::newRow("blank lines at the end")
            << handwritten::file(handwritten::shortAxis(), {{1, "11"}}) + "\r\n\r\n";
        QTest::newRow("no last line end")
            << handwritten::file(handwritten::shortAxis(), {{1, "11"}}).chopped(2);
    }
    void handEditedFilesStillLoad() {
        QFETCH(QByteArray, data);
        FileFixture files;
        ParameterTable t;
        const ParameterFileResult r = readParameterFile(files.write(data), t, 0);
        QVERIFY(r.ok());
        QCOMPARE(r.records, 55 + 38);
        QCOMPARE(t.value(2101), ParameterValue::number(11));
    }

    void fileThatRepeatsLoadsEachPass() {
        // Reading goes on pass after pass until the file ends; a second set overrides the first.
        const QByteArray once = handwritten::file(handwritten::shortAxis(), {{1, "1"}});
        const QByteArray twice = once + handwritten::file(handwritten::shortAxis(), {{1, "2"}}).mid(21);
        FileFixture files;
        ParameterTable t;
        const ParameterFileResult r = readParameterFile(files.write(twice), t, 0);
        QVERIFY(r.ok());
        QCOMPARE(r.records, 2 * (55 + 38));
        QCOMPARE(t.value(2101), ParameterValue::number(2));
    }

    void unreadablePlacesGiveAClearError_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("error");
        QTest::newRow("missing") << "missing.par" << int(ParameterFileError::NotFound);
        QTest::newRow("missing folder") << "none/missing.par" << int(ParameterFileError::PathNotFound);
        QTest::newRow("a folder") << "folder.par" << int(ParameterFileError::NotAFile);
        QTest::newRow("huge") << "huge.par" << int(ParameterFileError::TooLarge);
    }
    void unreadablePlacesGiveAClearError() {
        QFETCH(QString, name);
        QFETCH(int, error);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("folder.par"));
        QFile huge(dir.filePath("huge.par"));
        QVERIFY(huge.open(QIODevice::WriteOnly));
        huge.write(newParameterFileBytes());
        QVERIFY(huge.resize(kMaxParameterFileSize + 1)); // sparse: no real megabytes written
        huge.close();
        const QString path = dir.filePath(name);
        ParameterTable t;
        QCOMPARE(int(readParameterFile(path, t, 0).error), error);
        QCOMPARE(int(testParameterFileHeader(path).error), error);
        const bool probeFails = error != int(ParameterFileError::TooLarge);
        QCOMPARE(int(probeParameterFile(path).error), probeFails ? error : int(ParameterFileError::None));
    }

    // Damaged copies of a good file: every one either loads, stops at its end keeping what
    // came before, or is refused whole; none crashes or loads a record out of place.
    void damagedFilesLoadConsistently() {
        QMap<int, QByteArray> values;
        for (const int p : handwritten::longAxis())
            values.insert(p, "\"" + QByteArray::number(p * 3) + "\"");
        const QByteArray good = handwritten::file(handwritten::longAxis(), values);
        QRandomGenerator random(8);
        for (int round = 0; round < 300; ++round) {
            QByteArray bad = good;
            for (int edits = random.bounded(1, 6); edits > 0; --edits) {
                const int at = random.bounded(21, int(bad.size()));
                switch (random.bounded(3)) {
                case 0:
                    bad[at] = char(random.bounded(256));
                    break;
                case 1:
                    bad.remove(at, random.bounded(1, 40));
                    break;
                default:
                    bad.insert(at, QByteArray(random.bounded(1, 4), ",\"\r\n"[random.bounded(4)]));
                }
            }
            const ParameterFileContent c = parseParameterFile(bad, 540);
            const auto error = c.result.error;
            QVERIFY(c.records.isEmpty() || error == ParameterFileError::None ||
                    error == ParameterFileError::ReadPastEnd);
            const QList<int> axis = handwritten::longAxis();
            for (qsizetype i = 0; i < c.records.size() && i < axis.size(); ++i)
                QCOMPARE(c.records[i].cmd, 2100 + axis[i]);
        }
    }

    void veryLongLineEndsInAnError() {
        FileFixture files;
        const QByteArray data = "\"Parameter KINETRA\"\r\n\"" + QByteArray(900000, '-') + "\",\"Achse X\"";
        ParameterTable t = markedTable();
        const ParameterFileResult r = readParameterFile(files.write(data), t, 0);
        QCOMPARE(r.error, ParameterFileError::ReadPastEnd);
        QVERIFY(sameTable(t, markedTable()));
    }
};

QTEST_GUILESS_MAIN(TestParameterFileRead)
#include "test_parameter_file_read.moc"
