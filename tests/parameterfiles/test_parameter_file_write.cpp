#include "hand_written_file.h"
#include "parameter_file_layout.h"
#include "parameter_file_writer.h"
#include "parameter_table.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace kinetra;

namespace {

QByteArray contentOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

// Numbers, texts and empties in both sections, as a drive and the user leave them.
ParameterTable mixedTable() {
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

QMap<int, QByteArray> mixedAxis(bool longAxis) {
    QMap<int, QByteArray> m{{0, "\"0\""}, {1, "\"1000\""}, {2, "-5"}, {55, "7"}, {80, "\"-2147483648\""}};
    if (longAxis) m.insert(56, "\"56\"");
    return m;
}

const QMap<int, QByteArray> kMixedDevice{{0, "3"}, {2, "\"523\""}, {10, "\"12\""}, {48, "48"}};

} // namespace

class TestParameterFileWrite : public QObject {
    Q_OBJECT
private slots:
    void fileIsByteExactForTheLevel_data() {
        QTest::addColumn<int>("level");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<int>("lineCount");
        QTest::newRow("no drive yet")
            << 0 << handwritten::file(handwritten::shortAxis(), mixedAxis(false), kMixedDevice) << 100;
        QTest::newRow("523") << 523
                             << handwritten::file(handwritten::shortAxis(), mixedAxis(false), kMixedDevice)
                             << 100;
        QTest::newRow("539") << 539
                             << handwritten::file(handwritten::shortAxis(), mixedAxis(false), kMixedDevice)
                             << 100;
        QTest::newRow("540") << 540
                             << handwritten::file(handwritten::longAxis(), mixedAxis(true), kMixedDevice)
                             << 124;
        QTest::newRow("600") << 600
                             << handwritten::file(handwritten::longAxis(), mixedAxis(true), kMixedDevice)
                             << 124;
    }
    void fileIsByteExactForTheLevel() {
        QFETCH(int, level);
        QFETCH(QByteArray, expected);
        QFETCH(int, lineCount);
        ParameterTable t = mixedTable();
        const QByteArray bytes = formatParameterFile(t, static_cast<qint16>(level));
        QCOMPARE(bytes, expected);
        QCOMPARE(bytes.count("\r\n"), lineCount);
        QCOMPARE(bytes.count('\n'), lineCount); // no bare line feeds
        QVERIFY(bytes.endsWith("\"P48\",48\r\n"));
        QVERIFY(bytes.startsWith("\"Parameter KINETRA\"\r\n\"----------------\"\r\n\"Achse X\"\r\n"
                                 "\"----------------\"\r\n\"P0\",\"0\"\r\n\"P1\",\"1000\"\r\n\"P2\",-5\r\n"));
        QVERIFY(bytes.contains("\r\n\"----------------\"\r\n\"Ger\xE4"
                               "te Daten\"\r\n\"----------------\"\r\n\"P0\",3\r\n"));
        QVERIFY(!bytes.contains("\"P53\"") && !bytes.contains("\"P54\""));
    }

    void zeroRuleWritesAndKeepsOne_data() {
        QTest::addColumn<int>("cmd");
        QTest::addColumn<ParameterValue>("before");
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<ParameterValue>("after");
        const auto one = ParameterValue::number(1);
        QTest::newRow("number 0 in 140")
            << 2140 << ParameterValue::number(0) << QByteArray("\"P40\",1\r\n") << one;
        QTest::newRow("text 0 in 137")
            << 2137 << ParameterValue::text("0") << QByteArray("\"P37\",1\r\n") << one;
        QTest::newRow("text 00 in 140")
            << 2140 << ParameterValue::text("00") << QByteArray("\"P40\",1\r\n") << one;
        QTest::newRow("empty 137 stays empty")
            << 2137 << ParameterValue() << QByteArray("\"P37\",\r\n") << ParameterValue();
        QTest::newRow("5 in 140 stays") << 2140 << ParameterValue::text("5")
                                        << QByteArray("\"P40\",\"5\"\r\n") << ParameterValue::text("5");
        QTest::newRow("0 elsewhere stays")
            << 2138 << ParameterValue::number(0) << QByteArray("\"P38\",0\r\n") << ParameterValue::number(0);
        QTest::newRow("0 in device 440 stays")
            << 2440 << ParameterValue::number(0) << QByteArray("\"P40\",0\r\n") << ParameterValue::number(0);
    }
    void zeroRuleWritesAndKeepsOne() {
        QFETCH(int, cmd);
        QFETCH(ParameterValue, before);
        QFETCH(QByteArray, record);
        QFETCH(ParameterValue, after);
        ParameterTable t;
        t.store(cmd, before);
        QVERIFY(formatParameterFile(t, 540).contains(record));
        QCOMPARE(t.value(cmd), after);
    }

    void textsAreWrittenInTheFileCodePage_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("field");
        QTest::newRow("latin") << QStringLiteral("Pr\u00fcfung")
                               << QByteArray("\"Pr\xFC"
                                             "fung\"");
        QTest::newRow("euro") << QStringLiteral("5\u20AC") << QByteArray("\"5\x80\"");
        QTest::newRow("outside the code page") << QStringLiteral("\u4e00") << QByteArray("\"?\"");
        // A quote or line break would cut the record and shift every later one.
        QTest::newRow("quote dropped") << QStringLiteral("1\"2") << QByteArray("\"12\"");
        QTest::newRow("line break dropped") << QStringLiteral("1\r\n2") << QByteArray("\"12\"");
        QTest::newRow("blanks kept") << QStringLiteral(" 7 ") << QByteArray("\" 7 \"");
    }
    void textsAreWrittenInTheFileCodePage() {
        QFETCH(QString, text);
        QFETCH(QByteArray, field);
        ParameterTable t;
        t.store(2105, ParameterValue::text(text));
        QVERIFY(formatParameterFile(t, 0).contains("\r\n\"P5\"," + field + "\r\n"));
    }

    void storeReplacesTheWholeFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath("set.par");
        put(path, newParameterFileBytes() + QByteArray(5000, 'x')); // longer than what follows
        ParameterTable t = mixedTable();
        const ParameterFileResult r = writeParameterFile(path, t, 523);
        QVERIFY2(r.ok(), qPrintable(r.detail));
        QCOMPARE(r.records, 55 + 38);
        ParameterTable again = mixedTable();
        QCOMPARE(contentOf(path), formatParameterFile(again, 523));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"set.par"}); // no leftovers
    }

    void storeIntoAMissingFileCreatesIt() {
        QTemporaryDir dir;
        ParameterTable t;
        QVERIFY(writeParameterFile(dir.filePath("new.par"), t, 540).ok());
        QCOMPARE(contentOf(dir.filePath("new.par")).count("\r\n"), 124);
    }

    void storeThatCannotBeginChangesNothing_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("error");
        QTest::newRow("a folder") << "folder.par" << int(ParameterFileError::NotAFile);
        QTest::newRow("missing folder") << "nowhere/set.par" << int(ParameterFileError::PathNotFound);
    }
    void storeThatCannotBeginChangesNothing() {
        QFETCH(QString, target);
        QFETCH(int, error);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("folder.par"));
        ParameterTable t;
        QCOMPARE(int(writeParameterFile(dir.filePath(target), t, 0).error), error);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{"folder.par"});
        QVERIFY(QDir(dir.filePath("folder.par")).isEmpty());
    }

    // The medium fills up in the middle of a store: the old set must survive byte for byte.
    void storeFailingMidwayKeepsTheOldFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath("set.par");
        const QByteArray old = newParameterFileBytes() + "\"old\"\r\n";
        put(path, old);

        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto savedHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 1000; // far below the 2-3 kB of a parameter file
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        ParameterTable t = mixedTable();
        const ParameterFileResult r = writeParameterFile(path, t, 540);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, savedHandler);

        QVERIFY(!r.ok());
        QVERIFY(r.error == ParameterFileError::WriteFailed || r.error == ParameterFileError::DiskFull);
        QVERIFY(!r.detail.isEmpty());
        QCOMPARE(contentOf(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"set.par"});
    }

    void storeIntoLockedPlacesIsDenied_data() {
        QTest::addColumn<bool>("lockFolder");
        QTest::newRow("read-only file") << false;
        QTest::newRow("read-only folder") << true;
    }
    void storeIntoLockedPlacesIsDenied() {
        QFETCH(bool, lockFolder);
        if (geteuid() == 0) QSKIP("permissions do not bind the superuser");
        QTemporaryDir dir;
        const QString path = dir.filePath("set.par");
        const QByteArray old = newParameterFileBytes();
        put(path, old);
        const QString locked = lockFolder ? dir.path() : path;
        const auto permissions = QFile::permissions(locked);
        QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner));
        ParameterTable t = mixedTable();
        const ParameterFileResult r = writeParameterFile(path, t, 540);
        QFile::setPermissions(locked, permissions);
        QCOMPARE(r.error, ParameterFileError::AccessDenied);
        QCOMPARE(contentOf(path), old);
    }

    void newFileHoldsTheBareHeaderLine() {
        QTemporaryDir dir;
        const QString path = dir.filePath("test.par");
        QVERIFY(createParameterFile(path).ok());
        QCOMPARE(contentOf(path), QByteArray("Parameter KINETRA\r\n"));
        put(path, "keep");
        QVERIFY(!createParameterFile(path).ok());
        QCOMPARE(contentOf(path), QByteArray("keep"));
        QCOMPARE(createParameterFile(dir.filePath("none/test.par")).error, ParameterFileError::PathNotFound);
    }
};

QTEST_GUILESS_MAIN(TestParameterFileWrite)
#include "test_parameter_file_write.moc"
