// What a store writes, byte for byte, and that a store which cannot complete keeps the old file.

#include "hand_written_file.h"
#include "parameter_file_layout.h"
#include "parameter_file_writer.h"
#include "parameter_table.h"
#include "scratch_files.h"

#include <QDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace kinetra;
using namespace kinetra::test;
using E = ParameterFileError;

namespace {

// Numbers, texts and empties in both sections, as a drive and the user leave them.
ParameterTable mixedTable()
{
    ParameterTable t;
    t.store(2100, ParameterValue::text("0"));
    t.store(2101, ParameterValue::text("1000"));
    t.store(2102, ParameterValue::number(-5));
    t.store(2155, ParameterValue::number(7));
    t.store(2156, ParameterValue::text("56"));
    t.store(2180, ParameterValue::text("-2147483648"));
    t.store(2400, ParameterValue::number(3));
    t.store(2402, ParameterValue::text("523"));
    t.store(2410, ParameterValue::text("12"));
    t.store(2448, ParameterValue::number(48));
    return t;
}

QByteArray mixedFile(bool longAxis)
{
    QMap<int, QByteArray> axis{{0, "\"0\""}, {1, "\"1000\""}, {2, "-5"}, {55, "7"}, {80, "\"-2147483648\""}};
    if (longAxis)
        axis.insert(56, "\"56\"");
    return handwritten::file(longAxis ? handwritten::longAxis() : handwritten::shortAxis(), axis,
                             {{0, "3"}, {2, "\"523\""}, {10, "\"12\""}, {48, "48"}});
}

// What stands in the way of a store.
enum class Obstacle { None, ReadOnlyFile, ReadOnlyFolder, FileSizeLimit };

} // namespace

Q_DECLARE_METATYPE(kinetra::ParameterFileError)
Q_DECLARE_METATYPE(Obstacle)

class TestParameterFileWrite : public QObject {
    Q_OBJECT
private slots:
    void fileIsByteExactForTheLevel_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<int>("lineCount");
        QTest::newRow("no drive yet") << 0 << mixedFile(false) << 100;
        QTest::newRow("539") << 539 << mixedFile(false) << 100;
        QTest::newRow("540") << 540 << mixedFile(true) << 124;
    }
    void fileIsByteExactForTheLevel()
    {
        QFETCH(int, level);
        QFETCH(QByteArray, expected);
        ParameterTable t = mixedTable();
        const QByteArray bytes = formatParameterFile(t, static_cast<qint16>(level));
        QCOMPARE(bytes, expected);
        QTEST(int(bytes.count("\r\n")), "lineCount");
    }

    // One slot, the record it gives and what the slot holds afterwards: a 0 in 137 or 140 becomes
    // 1 in the file and in the table; texts are written in Windows-1252.
    void recordsAsWritten_data()
    {
        QTest::addColumn<int>("cmd");
        QTest::addColumn<ParameterValue>("before");
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<ParameterValue>("after");
        const auto row = [](const char* name, int cmd, const ParameterValue& before, const QByteArray& record,
                            const ParameterValue& after) { QTest::newRow(name) << cmd << before << record << after; };
        const auto text = [](const QString& t) { return ParameterValue::text(t); };
        const auto one = ParameterValue::number(1);
        const auto zero = ParameterValue::number(0);
        row("number 0 in 140", 2140, zero, "\"P40\",1", one);
        row("text 0 in 137", 2137, text("0"), "\"P37\",1", one);
        row("text 00 in 140", 2140, text("00"), "\"P40\",1", one);
        row("empty 137 stays empty", 2137, ParameterValue(), "\"P37\",", ParameterValue());
        row("5 in 140 stays", 2140, text("5"), "\"P40\",\"5\"", text("5"));
        row("0 elsewhere stays", 2138, zero, "\"P38\",0", zero);
        row("0 in device 440 stays", 2440, zero, "\"P40\",0", zero);
        row("latin", 2105, text("Gr\u00fcn"), "\"P5\",\"Gr\xFCn\"", text("Gr\u00fcn"));
        row("euro", 2105, text("5\u20AC"), "\"P5\",\"5\x80\"", text("5\u20AC"));
        row("outside the code page", 2105, text("\u4e00"), "\"P5\",\"?\"", text("\u4e00"));
        // A quote or line break would cut the record and shift every later one.
        row("quote dropped", 2105, text("1\"2"), "\"P5\",\"12\"", text("1\"2"));
        row("line break dropped", 2105, text("1\r\n2"), "\"P5\",\"12\"", text("1\r\n2"));
        row("blanks kept", 2105, text(" 7 "), "\"P5\",\" 7 \"", text(" 7 "));
    }
    void recordsAsWritten()
    {
        QFETCH(int, cmd);
        QFETCH(ParameterValue, before);
        QFETCH(QByteArray, record);
        ParameterTable t;
        t.store(cmd, before);
        QVERIFY(formatParameterFile(t, 540).contains("\r\n" + record + "\r\n"));
        QTEST(t.value(cmd), "after");
    }

    void storeWritesTheWholeFile_data()
    {
        QTest::addColumn<QByteArray>("before"); // null: no file yet
        QTest::newRow("over a longer file") << newParameterFileBytes() + QByteArray(5000, 'x');
        QTest::newRow("no file yet") << QByteArray();
    }
    void storeWritesTheWholeFile()
    {
        QFETCH(QByteArray, before);
        QTemporaryDir dir;
        const QString path = dir.filePath("set.par");
        if (!before.isNull())
            QVERIFY(put(path, before));
        ParameterTable t = mixedTable();
        const ParameterFileResult r = writeParameterFile(path, t, 523);
        QVERIFY2(r.ok(), qPrintable(r.detail));
        QCOMPARE(r.records, 55 + 38);
        QCOMPARE(contentOf(path), mixedFile(false));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"set.par"}); // no leftovers
    }

    // Whatever stood there before survives byte for byte, and nothing is left beside it.
    void failedStoreKeepsTheOldFile_data()
    {
        QTest::addColumn<Obstacle>("obstacle");
        QTest::addColumn<QString>("target");
        QTest::addColumn<ParameterFileError>("error");
        QTest::newRow("a folder") << Obstacle::None << "folder.par" << E::NotAFile;
        QTest::newRow("missing folder") << Obstacle::None << "nowhere/set.par" << E::PathNotFound;
        QTest::newRow("read-only file") << Obstacle::ReadOnlyFile << "set.par" << E::AccessDenied;
        QTest::newRow("read-only folder") << Obstacle::ReadOnlyFolder << "set.par" << E::AccessDenied;
        // The medium fills up in the middle of the store.
        QTest::newRow("file size limit") << Obstacle::FileSizeLimit << "set.par" << E::WriteFailed;
    }
    void failedStoreKeepsTheOldFile()
    {
        QFETCH(Obstacle, obstacle);
        QFETCH(QString, target);
        QFETCH(ParameterFileError, error);
        const bool locked = obstacle == Obstacle::ReadOnlyFile || obstacle == Obstacle::ReadOnlyFolder;
        if (locked && geteuid() == 0)
            QSKIP("permissions do not bind the superuser");
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("folder.par"));
        const QByteArray old = newParameterFileBytes() + "\"old\"\r\n";
        QVERIFY(put(dir.filePath("set.par"), old));
        const QString lockedPath = obstacle == Obstacle::ReadOnlyFolder ? dir.path() : dir.filePath("set.par");
        const auto permissions = QFile::permissions(lockedPath);
        if (locked)
            QVERIFY(QFile::setPermissions(lockedPath, QFile::ReadOwner | QFile::ExeOwner));
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto savedHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 1000; // far below the 2-3 kB of a parameter file
        if (obstacle == Obstacle::FileSizeLimit)
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);

        ParameterTable t = mixedTable();
        const ParameterFileResult r = writeParameterFile(dir.filePath(target), t, 540);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, savedHandler);
        QFile::setPermissions(lockedPath, permissions);

        QCOMPARE(r.error == E::DiskFull ? E::WriteFailed : r.error, error); // a full medium may say either
        if (obstacle == Obstacle::FileSizeLimit)
            QVERIFY(!r.detail.isEmpty());
        QCOMPARE(contentOf(dir.filePath("set.par")), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 (QStringList{"folder.par", "set.par"}));
        QVERIFY(QDir(dir.filePath("folder.par")).isEmpty());
    }

    void newFileHoldsTheBareHeaderLine()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("test.par");
        QVERIFY(createParameterFile(path).ok());
        QCOMPARE(contentOf(path), QByteArray("Parameter KINETRA\r\n"));
        QVERIFY(put(path, "keep"));
        QVERIFY(!createParameterFile(path).ok());
        QCOMPARE(contentOf(path), QByteArray("keep"));
        QCOMPARE(createParameterFile(dir.filePath("none/test.par")).error, E::PathNotFound);
    }
};

QTEST_GUILESS_MAIN(TestParameterFileWrite)
#include "test_parameter_file_write.moc"
