// Input the tool does not control: parameter files and language files of any content and
// size, settings with any text in them, and folders with names outside ASCII. Each ends in a
// clear refusal (or the specified silent skip), never in a crash or a half-changed table.

#include "frm_sdi.h"
#include "ini_settings_store.h"
#include "language_loader.h"
#include "memory_settings_store.h"
#include "numeric_text.h"
#include "parameter_file_reader.h"
#include "parameter_file_writer.h"
#include "recording_dialogs.h"
#include "shared_state.h"
#include "virtual_clock.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace kinetra;
using namespace kinetra::test;

namespace {

const QString kNotAvailable = QStringLiteral("language not available");
const QString kOddFolder = QStringLiteral("Prüfstand Ω € 日本");

// Printable noise with the separators a reader cares about: commas, quotes, line ends.
const QByteArray kFieldNoise = "abc 019,,\"\"\r\n-P";

// `n` bytes drawn from `alphabet`, or from every byte value when it is empty.
QByteArray noise(qsizetype n, quint32 seed, const QByteArray& alphabet = {})
{
    QRandomGenerator random(seed);
    QByteArray bytes(n, Qt::Uninitialized);
    const int kinds = int(alphabet.size());
    for (qsizetype i = 0; i < n; ++i)
        bytes[i] = kinds == 0 ? char(random.bounded(256)) : alphabet.at(random.bounded(kinds));
    return bytes;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A complete level-540 file with a value in every record.
QByteArray goodParameterFile()
{
    ParameterTable table;
    for (int cmd = 2100; cmd <= 2180; ++cmd)
        table.store(cmd, ParameterValue::number(cmd - 2090));
    for (int cmd = 2400; cmd <= 2448; ++cmd)
        table.store(cmd, ParameterValue::number(cmd - 2390));
    return formatParameterFile(table, 540);
}

QByteArray firstLines(const QByteArray& bytes, int lines)
{
    qsizetype at = 0;
    for (int i = 0; i < lines && at >= 0; ++i)
        at = bytes.indexOf('\n', at) + 1;
    return bytes.left(at);
}

QByteArray languageFile()
{
    return readFile(QStringLiteral(KINETRA_LANG_DIR "/English.txt"));
}

bool sameSlots(const ParameterTable& a, const ParameterTable& b)
{
    for (int cmd : {2100, 2110, 2137, 2155, 2180, 2400, 2410, 2448})
        if (a.value(cmd).toText() != b.value(cmd).toText())
            return false;
    return true;
}

} // namespace

Q_DECLARE_METATYPE(ParameterFileError)

class TestBadInput : public QObject {
    Q_OBJECT
private slots:
    void damagedParameterFilesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<ParameterFileError>("error");
        QTest::addColumn<int>("records");
        const QByteArray good = goodParameterFile();
        QTest::newRow("empty") << QByteArray() << ParameterFileError::NotParameterFile << 0;
        QTest::newRow("header cut") << QByteArray("\"Parameter KIN") << ParameterFileError::NotParameterFile << 0;
        // Records by position: the complete ones before the cut count.
        QTest::newRow("cut after ten records") << firstLines(good, 14) << ParameterFileError::ReadPastEnd << 10;
        QTest::newRow("cut inside a record") << firstLines(good, 14) + "\"P1" << ParameterFileError::ReadPastEnd << 10;
        QTest::newRow("binary") << noise(64 * 1024, 7) << ParameterFileError::NotParameterFile << 0;
        QTest::newRow("binary after the header") << QByteArray("\"Parameter KINETRA\"\r\n") + noise(64 * 1024, 8)
                                                 << ParameterFileError::UnexpectedRecord << 0;
        QTest::newRow("NUL bytes") << QByteArray(4096, '\0') << ParameterFileError::NotParameterFile << 0;
        QTest::newRow("huge: a good file and 6 MB more")
            << good + noise(6 << 20, 9, kFieldNoise) << ParameterFileError::TooLarge << 0;
        QTest::newRow("huge: a value of 900000 digits")
            << firstLines(good, 4) + "\"P0\"," + QByteArray(900 * 1000, '7') + "\r\n"
            << ParameterFileError::NumberOutOfRange << 0;
    }
    void damagedParameterFilesAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("damaged.par"));
        QVERIFY(writeFile(path, bytes));
        ParameterTable table;
        table.store(2110, ParameterValue::text(QStringLiteral("4711")));
        table.store(2410, ParameterValue::text(QStringLiteral("5")));
        const ParameterTable before = table;
        int stored = 0;
        const ParameterFileResult result = readParameterFile(path, table, 540, [&](const ParameterRecord&) {
            ++stored;
            return true;
        });
        QTEST(result.error, "error");
        QTEST(result.records, "records");
        QCOMPARE(stored, result.records);
        if (result.records == 0)
            QVERIFY(sameSlots(table, before));
        // Nothing is written to a file that is only read.
        QCOMPARE(readFile(path), bytes);
    }

    void damagedLanguageFilesShowOneMessage_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("loads");
        const QByteArray good = languageFile();
        QTest::newRow("complete, in a folder with an odd name") << good << true;
        QTest::newRow("complete, with 6 MB of noise after it") << good + noise(6 << 20, 3, kFieldNoise) << true;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("cut in half") << good.left(good.size() / 2) << false;
        QTest::newRow("cut before the last message") << good.left(good.lastIndexOf(',')) << false;
        QTest::newRow("binary") << noise(256 * 1024, 4) << true;
        QTest::newRow("NUL bytes") << QByteArray(64 * 1024, '\0') << false;
        QTest::newRow("huge: 6 MB in one open quote") << QByteArray("\"") + QByteArray(6 << 20, 'x') << false;
        QTest::newRow("huge: 20 MB of field noise") << noise(20 << 20, 5, kFieldNoise) << true;
    }
    void damagedLanguageFilesShowOneMessage()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, loads);
        QTemporaryDir dir;
        const QString folder = dir.filePath(kOddFolder);
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(writeFile(QDir(folder).filePath(QStringLiteral("English.txt")), bytes));
        SharedState state;
        state.languageIndex = 0;
        LanguageTargets targets;
        MemorySettingsStore settings;
        RecordingDialogs dialogs;
        QCOMPARE(loadLanguage(state, folder, targets, settings, dialogs), loads);
        QCOMPARE(dialogs.texts(), loads ? QStringList() : QStringList{kNotAvailable});
        QCOMPARE(settings.value(kApplicationName, QStringLiteral("System"), QStringLiteral("Language")),
                 loads ? QStringLiteral("0") : QString());
    }

    void garbageSettingsStillStartTheWindow_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("binary") << QString::fromLatin1("\x01\xff\x7f,\"=[]\n");
        QTest::newRow("beyond 64 bits") << QStringLiteral("99999999999999999999999");
        QTest::newRow("largest 16-bit") << QStringLiteral("32767");
        QTest::newRow("smallest 16-bit") << QStringLiteral("-32768");
        QTest::newRow("exponent") << QStringLiteral("1e3");
        QTest::newRow("empty") << QString();
        QTest::newRow("100000 digits") << QString(100000, QLatin1Char('7'));
        QTest::newRow("not ASCII") << QStringLiteral("ü€日本");
    }
    void garbageSettingsStillStartTheWindow()
    {
        QFETCH(QString, value);
        SharedState state;
        MemorySettingsStore settings;
        settings.setValue(kApplicationName, QStringLiteral("System"), QStringLiteral("Check"), QStringLiteral("1"));
        for (const char* key : {"Language", "Decpnt", "Expert", "Security", "Encoder", "Explore"})
            settings.setValue(kApplicationName, QStringLiteral("System"), QString::fromLatin1(key), value);
        RecordingDialogs dialogs;
        VirtualClock clock;
        QTemporaryDir folder;
        const QString previousFolder = QDir::currentPath();
        {
            frmSDI window(state, settings, dialogs, clock, folder.path());
            window.Form_Load();
            QVERIFY(window.isVisible());
            // The folder has no language file: whatever language was asked for, one message.
            QCOMPARE(dialogs.texts(), QStringList{kNotAvailable});
            // A position shown with whatever decimals the settings gave.
            const auto shown = formatValue(QStringLiteral("-123456789"), 2110, state.decPnt);
            QVERIFY(shown && !shown->isEmpty());
        }
        QDir::setCurrent(previousFolder);
    }

    void foldersWithOddNamesWork()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(kOddFolder);
        QVERIFY(QDir().mkpath(folder));

        // A parameter file stored and read back.
        const QString par = QDir(folder).filePath(QStringLiteral("Achse ä ß.par"));
        ParameterTable table;
        table.store(2110, ParameterValue::text(QStringLiteral("-1250")));
        table.store(2410, ParameterValue::text(QStringLiteral("7")));
        QVERIFY(writeParameterFile(par, table, 540).ok());
        ParameterTable loaded;
        QVERIFY(readParameterFile(par, loaded, 540).ok());
        QCOMPARE(loaded.value(2110).toInteger(), std::optional<qint64>(-1250));
        QCOMPARE(loaded.value(2410).toInteger(), std::optional<qint64>(7));

        // Settings kept in such a folder.
        {
            IniSettingsStore store(QDir(folder).filePath(QStringLiteral("Einstellungen ü")));
            store.setValue(kApplicationName, QStringLiteral("System"), QStringLiteral("Explore"), folder);
        }
        IniSettingsStore again(QDir(folder).filePath(QStringLiteral("Einstellungen ü")));
        QCOMPARE(again.value(kApplicationName, QStringLiteral("System"), QStringLiteral("Explore")), folder);
    }
};

QTEST_MAIN(TestBadInput)
#include "test_bad_input.moc"
