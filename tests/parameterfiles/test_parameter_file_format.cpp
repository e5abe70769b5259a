// The parameter file format as known answers: what a store writes byte for byte, what a read
// takes from hand-written, cut, foreign and damaged files, and the checks of the file name box.

#include "field_reader.h"
#include "frm_file_checks.h"
#include "hand_written_file.h"
#include "parameter_file_reader.h"
#include "parameter_file_writer.h"
#include "parameter_table.h"
#include "recording_dialogs.h"
#include "shared_state.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <limits>
#include <sys/resource.h>
#include <unistd.h>

using namespace kinetra;
using namespace kinetra::test;
using namespace handwritten;
using E = ParameterFileError;
using V = ParameterValue;

Q_DECLARE_METATYPE(kinetra::ParameterFileError)
Q_DECLARE_METATYPE(kinetra::FileCheckPurpose)

namespace {

// Numbers, texts and empties in both sections, as a drive and the user leave them, and the file
// that holds them: texts quoted in Windows-1252 without quotes or line breaks (they would cut the
// record and shift every later one), numbers bare, a 0 in 137 or 140 written (and kept) as 1.
ParameterTable mixedTable()
{
    ParameterTable t;
    const QList<QPair<int, V>> values{{2100, V::text("0")},           {2101, V::text("1000")},
                                      {2102, V::number(-5)},          {2105, V::text("Gr\u00fcn\u20AC\"\r\n")},
                                      {2106, V::text("\u4e00")},      {2137, V::text("00")},
                                      {2138, V::number(0)},           {2140, V::number(0)},
                                      {2155, V::number(7)},           {2156, V::text("56")},
                                      {2180, V::text("-2147483648")}, {2400, V::number(3)},
                                      {2402, V::text("523")},         {2410, V::text("12")},
                                      {2440, V::number(0)},           {2448, V::number(48)}};
    for (const auto& [cmd, value] : values)
        t.store(cmd, value);
    return t;
}
QByteArray mixedFile(bool longAxis)
{
    QMap<int, QByteArray> axis{
        {0, "\"0\""}, {1, "\"1000\""}, {2, "-5"}, {5, "\"Gr\xFCn\x80\""}, {6, "\"?\""}, {37, "1"},
        {38, "0"},    {40, "1"},       {55, "7"}, {80, "\"-2147483648\""}};
    if (longAxis)
        axis.insert(56, "\"56\"");
    return file(longAxis ? handwritten::longAxis : shortAxis, axis,
                {{0, "3"}, {2, "\"523\""}, {10, "\"12\""}, {40, "0"}, {48, "48"}});
}

// Axis records hold their parameter number, device records 1000 more (quoted): a slot mix-up shows.
QByteArray numbered(const QList<int>& axis)
{
    QMap<int, QByteArray> axisValues, deviceValues;
    for (const int p : axis)
        axisValues.insert(p, QByteArray::number(p));
    for (const int p : device)
        deviceValues.insert(p, "\"" + QByteArray::number(1000 + p) + "\"");
    return file(axis, axisValues, deviceValues);
}

QByteArray noise(qsizetype n, quint32 seed)
{
    QByteArray bytes(n, Qt::Uninitialized);
    QRandomGenerator(seed).fillRange(reinterpret_cast<quint32*>(bytes.data()), n / 4);
    return bytes;
}

} // namespace

class TestParameterFileFormat : public QObject {
    Q_OBJECT
private slots:
    // What a store writes (field order, quoting by kind, titles, the level's axis sequence, CR LF)
    // replaces the whole file; a store that cannot complete leaves the old file byte for byte,
    // with nothing beside it.
    void store_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("level");
        QTest::addColumn<ParameterFileError>("error");
        QTest::newRow("no drive yet, no file yet") << "new.par" << 0 << E::None;
        QTest::newRow("539, over a longer file") << "set.par" << 539 << E::None;
        QTest::newRow("540, over a longer file") << "set.par" << 540 << E::None;
        QTest::newRow("a folder") << "folder.par" << 540 << E::NotAFile;
        QTest::newRow("missing folder") << "nowhere/set.par" << 540 << E::PathNotFound;
        QTest::newRow("read-only file") << "set.par" << 540 << E::AccessDenied;
        QTest::newRow("read-only folder") << "set.par" << 540 << E::AccessDenied;
        QTest::newRow("medium full midway") << "set.par" << 540 << E::WriteFailed;
    }
    void store()
    {
        QFETCH(QString, target);
        QFETCH(int, level);
        const QByteArray obstacle = QTest::currentDataTag();
        const bool locked = obstacle.startsWith("read-only");
        if (locked && geteuid() == 0)
            QSKIP("permissions do not bind the superuser");
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("folder.par"));
        const QByteArray old = newParameterFileBytes() + QByteArray(5000, 'x');
        QVERIFY(put(dir.filePath("set.par"), old));
        const QString lockedPath = obstacle == "read-only folder" ? dir.path() : dir.filePath("set.par");
        const auto permissions = QFile::permissions(lockedPath);
        if (locked)
            QVERIFY(QFile::setPermissions(lockedPath, QFile::ReadOwner | QFile::ExeOwner));
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto savedHandler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit small{500, saved.rlim_max}; // far below the 1-3 kB of a parameter file
        if (obstacle == "medium full midway")
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        ParameterTable t = mixedTable();
        const ParameterFileResult r = writeParameterFile(dir.filePath(target), t, qint16(level));
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, savedHandler);
        QFile::setPermissions(lockedPath, permissions);

        QTEST(r.error == E::DiskFull ? E::WriteFailed : r.error, "error"); // a full medium may say either
        QCOMPARE(r.records, r.ok() ? (level < 540 ? 55 : 79) + 38 : 0);
        if (r.ok())
            QVERIFY(t.value(2137) == V::number(1) && t.value(2140) == V::number(1) && t.value(2440) == V::number(0));
        const QByteArray stored = mixedFile(level >= 540);
        QCOMPARE(contentOf(dir.filePath("set.par")), r.ok() && target == "set.par" ? stored : old);
        if (target == "new.par")
            QCOMPARE(contentOf(dir.filePath(target)), stored);
        const QStringList entries = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        QCOMPARE(entries.join(' '), target == "new.par" ? "folder.par new.par set.par" : "folder.par set.par");
        QVERIFY(QDir(dir.filePath("folder.par")).isEmpty());
    }

    void numberRule()
    {
        const qint64 max = std::numeric_limits<qint64>::max(); // no number beyond it fits a slot
        // clang-format off
        const QList<std::pair<QByteArray, std::optional<qint64>>> known{
            {"", 0}, {"+5", 0}, {"12abc", 12}, {"12.5", 13}, {"-12.5", -13}, {"1.2.9", 1},
            {QByteArray(5000, '0') + "42", 42}, {"9223372036854775807", max}, {"-9223372036854775807", -max},
            {"9223372036854775808", std::nullopt}, {"9223372036854775807.5", std::nullopt}};
        // clang-format on
        for (const auto& [field, value] : known)
            QVERIFY2(fileNumber(field) == value, field.left(30).constData());
    }

    // What a load reports, and that it stored exactly the records it counts, each in its slot,
    // every other slot keeps its marker; the file is only read.
    void wholeFiles_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("level");
        QTest::addColumn<ParameterFileError>("error");
        QTest::addColumn<int>("records");
        const auto row = [](const char* name, const QByteArray& data, int level, E error, int records) {
            QTest::newRow(name) << data << level << error << records;
        };
        const QByteArray shortFile = numbered(shortAxis), longFile = numbered(longAxis);
        const QByteArray header = "\"Parameter KINETRA\"\r\n";
        const auto edited = [&](auto from, const auto& to) { return QByteArray(shortFile).replace(from, to); };
        const auto cut = [&](const QByteArray& end) { return shortFile.left(shortFile.indexOf(end) + end.size()); };

        row("new file", "Parameter KINETRA\r\n", 540, E::None, 0);
        row("more fields and blank lines after the header", header.chopped(2) + ",1\r\n\r\n  \r\n", 540, E::None, 0);
        row("header in other case", "\"parameter kinetra\"\r\n", 540, E::NotParameterFile, 0);
        row("empty", "", 540, E::NotParameterFile, 0);
        row("binary", noise(64 * 1024, 7), 540, E::NotParameterFile, 0);

        row("55 axis records at 523", shortFile, 523, E::None, 55 + 38);
        row("79 axis records at 540", longFile, 540, E::None, 79 + 38);
        row("line feeds, lower-case names", QByteArray(shortFile).replace("\r\n\"P", "\n\"p"), 0, E::None, 93);
        row("no last line end", shortFile.chopped(2), 0, E::None, 93);
        row("a quoted comma, junk after a quote", edited("Achse X\"", "Achse, X\"x").replace("\"P5\"", "\"P5\"x"), 0,
            E::None, 93);
        row("an unclosed quote ends at the line", edited("\"Achse X\"", "\"Achse X"), 0, E::None, 93);
        row("decimal point and blanks", edited("\"P13\",13", "\"P13\", 13.0 "), 523, E::None, 93);
        row("stopped at 2104", shortFile, 0, E::Stopped, 5);
        // Reading goes on pass after pass until the file ends.
        row("two passes", shortFile + shortFile.mid(header.size()), 0, E::None, 2 * 93);

        // A file that ends early keeps the records before its end.
        row("cut after a record", cut("\"P20\",20\r\n"), 523, E::ReadPastEnd, 21);
        row("cut within the section titles", cut("\"Ger\xE4te Daten\"\r\n"), 523, E::ReadPastEnd, 55);
        row("cut before the last device record", cut("\"P47\",\"1047\"\r\n"), 523, E::ReadPastEnd, 92);

        // Anything else that does not fit is refused whole.
        row("79 axis records at 523", longFile, 523, E::OtherLevelClass, 0);
        row("55 axis records at 540", shortFile, 540, E::OtherLevelClass, 0);
        row("a record missing", edited("\"P10\",10\r\n", ""), 523, E::UnexpectedRecord, 0);
        row("binary after the header", header + noise(64 * 1024, 8), 523, E::UnexpectedRecord, 0);
        row("value too large", edited("\"P30\",30", "\"P30\",99999999999999999999"), 523, E::NumberOutOfRange, 0);
        row("a value of 900000 digits", edited("\"P0\",0", "\"P0\"," + QByteArray(900000, '7')), 523,
            E::NumberOutOfRange, 0);
        row("a good file and 6 MB more", shortFile + QByteArray("abc 019,,\"\"\r\n-P").repeated(400000), 523,
            E::TooLarge, 0);
        // A value that is no number would load as what its first characters form ("25k" as 25):
        // the file is refused whole, naming the record.
        row("value with a unit", edited("\"P13\",13", "\"P13\",25k"), 523, E::NotANumber, 0);
        row("quoted word", edited("\"P13\",13", "\"P13\",\"eighty\""), 523, E::NotANumber, 0);
    }
    void wholeFiles()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, level);
        QFETCH(ParameterFileError, error);
        QFETCH(int, records);
        QTemporaryDir dir;
        const QString path = dir.filePath("f.par");
        QVERIFY(put(path, data));
        ParameterTable t;
        for (int cmd = 2100; cmd < 2500; ++cmd)
            t.store(cmd, V::text("m"));
        // The user's Stop ends the load after the current record.
        const ParameterFileResult r = readParameterFile(
            path, t, qint16(level), [&](const ParameterRecord& rec) { return error != E::Stopped || rec.cmd != 2104; });
        QCOMPARE(r.error, error);
        QCOMPARE(r.records, records);
        // The slots a numbered file fills, in file order, hold their numbers; all others their marker.
        QMap<int, V> expected;
        for (const int p : level >= 540 ? longAxis : shortAxis)
            if (expected.size() < records)
                expected[2100 + p] = V::number(p);
        for (const int p : device)
            if (expected.size() < records)
                expected[2400 + p] = V::number(1000 + p);
        for (int cmd = 2100; cmd < 2500; ++cmd)
            QVERIFY2(t.value(cmd) == expected.value(cmd, V::text("m")), qPrintable(QString::number(cmd)));
        QCOMPARE(contentOf(path), data);
    }

    // What the name in the box becomes and which message refuses it. A missing file for a store
    // asks (No is the default); Yes ("fresh") creates it with the bare header line.
    void nameChecks_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<FileCheckPurpose>("purpose");
        QTest::addColumn<QString>("shown"); // the box afterwards, and the path where accepted
        QTest::addColumn<QString>("message");
        const auto row = [](const char* typed, FileCheckPurpose purpose, const char* shown, const char* message) {
            QTest::newRow(typed) << typed << purpose << shown << message;
        };
        const auto load = FileCheckPurpose::Load, store = FileCheckPurpose::Store;
        row("", load, "", "msg0");
        row("notes.txt", load, "notes.txt", "msg1"); // although listed
        row("x.PAR", load, "<dir>/x.PAR", "");
        row("set", load, "<dir>/set.par", "");
        row("sub/inner", load, "<dir>/sub/inner.par", "");
        row(".par", load, "<dir>/.par", "msg0");
        row("absent", load, "<dir>/absent.par", "msg6");
        row("absent", store, "<dir>/absent.par", "msg7<dir>/absent.parmsg8");
        row("fresh", store, "<dir>/fresh.par", "msg7<dir>/fresh.parmsg8");
        row("<dir>/nowhere/a.par", store, "<dir>/nowhere/a.par", "msg4");
        row("folder.par", load, "<dir>/folder.par", "msg4");
        row("locked", load, "<dir>/locked.par", "msg5");
    }
    void nameChecks()
    {
        QFETCH(QString, typed);
        QFETCH(FileCheckPurpose, purpose);
        QFETCH(QString, shown);
        QFETCH(QString, message);
        if (typed == "locked" && geteuid() == 0)
            QSKIP("the administrator reads every file");
        QTemporaryDir dir;
        const auto expand = [&](QString text) { return QDir::toNativeSeparators(text.replace("<dir>", dir.path())); };
        SharedState state;
        for (int i = 0; i < SharedState::kMessageCount; ++i)
            state.messageText[static_cast<size_t>(i)] = QStringLiteral("msg%1").arg(i);
        QVERIFY(QDir(dir.path()).mkdir("sub") && QDir(dir.path()).mkdir("folder.par"));
        for (const char* name : {"x.PAR", "set.par", "notes.txt", "sub/inner.par", "locked.par"})
            QVERIFY(put(dir.filePath(name), "\"Parameter KINETRA\"\r\n"));
        QVERIFY(QFile::setPermissions(dir.filePath("locked.par"), QFileDevice::WriteOwner));
        RecordingDialogs dialogs;
        dialogs.answers.push_back(typed == "fresh" ? MessageAnswer::Yes : MessageAnswer::No);

        QString box = expand(typed);
        const auto path = checkParameterFile(box, purpose, dir.path(), dir.path(), state, dialogs);
        QCOMPARE(box, expand(shown));
        QCOMPARE(path.has_value(), message.isEmpty() || typed == "fresh");
        QCOMPARE(QDir::toNativeSeparators(path.value_or(box)), box);
        QCOMPARE(dialogs.texts(), message.isEmpty() ? QStringList() : QStringList{expand(message)});
        for (const auto& question : dialogs.shown)
            QVERIFY(question.icon == MessageIcon::Error && question.defaultAnswer != MessageAnswer::Yes);
        QVERIFY(!QFile::exists(dir.filePath("absent.par")));
        QCOMPARE(contentOf(dir.filePath("fresh.par")), typed == "fresh" ? "Parameter KINETRA\r\n" : "<unreadable>");
        // Creating never touches a file that is there.
        QVERIFY(!createParameterFile(dir.filePath("x.PAR")).ok());
        QCOMPARE(contentOf(dir.filePath("x.PAR")), QByteArray("\"Parameter KINETRA\"\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestParameterFileFormat)
#include "test_parameter_file_format.moc"
