// Language files (fields, where texts land, shipped, damaged, missing) and settings with any text.

#include "frm_sdi.h"
#include "ini_settings_store.h"
#include "language_fields.h"
#include "language_loader.h"
#include "language_sections.h"
#include "language_targets.h"
#include "memory_settings_store.h"
#include "numeric_text.h"
#include "recording_dialogs.h"
#include "shared_state.h"
#include "virtual_clock.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace kinetra;
using namespace kinetra::test;

namespace {

QByteArray shipped(const QString& name)
{
    QFile file(QDir(QStringLiteral(KINETRA_LANG_DIR)).filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Everything a load gave the window, as "caption lblPara 2100" -> text; a list's items joined by
// '|' under "list cmbPara 2126" (after its tag, "tag cmbPara 2126").
struct RecordingTargets : LanguageTargets {
    QMap<QString, QString> texts;
    QString& at(const char* kind, const Element& e)
    {
        return texts[QStringLiteral("%1 %2 %3").arg(kind, e.name).arg(e.index)];
    }
    void setCaption(const Element& e, const QString& text) override { at("caption", e) = text; }
    void setHint(const Element& e, const QString& text) override { at("hint", e) = text; }
    void clearItems(const Element& e) override { at("list", e).clear(); }
    void addItem(const Element& e, const QString& text) override
    {
        at("list", e) += (at("list", e).isEmpty() ? "" : "|") + text;
    }
    void setTag(const Element& e, const QString& text) override { at("list", e) = text + ':' + at("list", e); }
    void setTabCaption(int tab, const QString& text) override { texts[QStringLiteral("tab %1").arg(tab)] = text; }
};

// One load from a folder, named outside ASCII, that holds `bytes` as the file of `index` (no file
// for null bytes).
struct Load {
    SharedState state;
    RecordingTargets targets;
    MemorySettingsStore settings;
    RecordingDialogs dialogs;
    QTemporaryDir dir;
    bool result = false;

    Load(const QByteArray& bytes, int index, int level = 540)
    {
        state.languageIndex = index;
        state.firmwareLevel = qint16(level);
        const QString path = dir.filePath(QStringLiteral("Prüfstand Ω € 日本"));
        QDir().mkpath(path);
        if (QFile file(QDir(path).filePath(languageFileName(index)));
            !bytes.isNull() && file.open(QIODevice::WriteOnly))
            file.write(bytes);
        result = loadLanguage(state, path, targets, settings, dialogs);
    }
    QString saved() const { return settings.value("KINETRA", "System", "Language"); }
    int messagesApplied() const
    {
        const auto& m = state.messageText;
        return int(std::find_if(m.cbegin(), m.cend(), [](const QString& t) { return t.isEmpty(); }) - m.cbegin());
    }
};

} // namespace

class TestLanguage : public QObject {
    Q_OBJECT
private slots:
    // The fields read when at most `maxFields` are asked for; the text is UTF-8 when the bytes
    // read are valid UTF-8, else Windows-1252.
    void fieldsSplitAsWritten()
    {
        const QList<std::tuple<QByteArray, int, QStringList>> known{
            {"1,\"a\"\r\n2\nb\rc", 9, {"1", "a", "2", "b", "c"}}, // CR LF, LF and CR alone
            {"7,\"Start, Stop\"", 9, {"7", "Start, Stop"}},
            {"  12 ,\t x y  ,  \" keep \"", 9, {"12", "x y", " keep "}}, // blanks kept only inside quotes
            {"\"ab\"cd,e", 9, {"ab", "e"}},                              // text after the closing quote dropped
            {"a\r\n\r\nb,\r\nc", 9, {"a", "", "b", "", "c"}},            // a blank line, a comma before a line end
            {"1,\"abc\r\n2,x", 9, {"1", "abc\r\n2,x"}},                  // an open quote runs to the end
            {QByteArray("\xEF\xBB\xBFx,a\0b", 8), 9, {"x", QString("a") + QChar(0) + "b"}}, // byte order mark
            {QByteArray(8 << 20, 'x') + ",\"end\"", 2, {QString(8 << 20, 'x'), "end"}},     // megabytes in one field
            {"\"K\xC3\xA4se\",\"\xC5\x9F\"", 2, {"Käse", "ş"}},
            {"\xC3\xA4,\xE4\x80", 2, {"Ã¤", "ä€"}}, // one invalid byte makes all of it Windows-1252
            {"\xC3\xA4,\xE4", 1, {"ä"}},            // bytes after the last field read do not count
        };
        for (const auto& [bytes, maxFields, fields] : known) {
            const LanguageFields read = splitLanguageFields(bytes, maxFields);
            QCOMPARE(read.fields, fields);
            QCOMPARE(read.complete, fields.size() == maxFields);
        }
    }

    // Every shipped file loads silently and gives every element a text; German, with its section
    // titles translated too, puts each text where it belongs.
    void shippedFilesLoad_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QByteArray>("bytes");
        for (int i = 0; i < 6; ++i)
            QTest::newRow(qPrintable(languageFileName(i))) << i << shipped(languageFileName(i));
        const QByteArray german = shipped("German.txt");
        QList<QByteArray> lines = german.split('\n');
        for (QByteArray& line : lines)
            if (line.startsWith("TEXT "))
                line = "\"Another title, quoted\"\r";
        QTest::newRow("German with other titles") << 1 << lines.join('\n');
    }
    void shippedFilesLoad()
    {
        QFETCH(int, index);
        QFETCH(QByteArray, bytes);
        QCOMPARE(splitLanguageFields(bytes, 100000).fields.size(), kLanguageFieldLimit);
        Load load(bytes, index, 500);
        QVERIFY(load.result && load.dialogs.shown.isEmpty());
        QCOMPARE(load.saved(), QString::number(index));
        // 52 axis labels, 11 mirrors, 2 current labels, 17 device labels, 7 command labels, the
        // frames 0-11 and panels 0, 1, 2, 4; 12 hints; 7 tabs; 12 lists.
        QCOMPARE(load.targets.texts.size(), 52 + 11 + 2 + 17 + 7 + 12 + 4 + 12 + 7 + 12);
        for (auto it = load.targets.texts.cbegin(); it != load.targets.texts.cend(); ++it)
            QVERIFY2(!it.value().isEmpty() || it.key() == "caption framepara 9", qPrintable(it.key()));
        QVERIFY(load.messagesApplied() == SharedState::kMessageCount || index == 5); // Turkish: file name first
        for (int entry = 0; entry < kToolTextCount; ++entry)
            QVERIFY(index == 0 ? load.state.tool(entry) == defaultToolText(entry) : !load.state.tool(entry).isEmpty());
        if (index != 1)
            return;
        // Where German texts land: the ends of runs of elements and the gaps between them, lists
        // as the level gives them; blanks at either end are kept ("Raster=24 Steps").
        // clang-format off
        const QMap<QString, QString> german{
            {"caption lblPara 2100", "mm Istwert"}, {"caption lblPara 2112", ""}, {"caption lblPara 2400", ""},
            {"caption lblPara 3109", "mm Toleranzfenster"}, {"caption lblPara 2184", "Spitze"},
            {"caption lblPara 2446", "x Messsystem"}, {"caption frmMain 4", "Dezimalpunkte"}, {"tab 6", "Service"},
            {"hint cmdComand 138", "Parameter speichern"}, {"list cmbPara 2125", "P25:1-fach|2-fach|4-fach"},
            {"list cmbPara 2126", "P26:normal|invertiert"}, {"list cmbPara 2146", "Start|Stop|Referenz|ohne|Prog. BCD"}};
        // clang-format on
        for (auto it = german.cbegin(); it != german.cend(); ++it)
            QCOMPARE(load.targets.texts.value(it.key()), it.value());
        QCOMPARE(load.state.message(43) + "24" + load.state.message(44), QStringLiteral("Raster=24 Steps"));
        Load older(bytes, 1, 499);
        QCOMPARE(older.targets.texts.value("list cmbPara 2126"), QStringLiteral("P26:invertiert|normal"));
        QCOMPARE(older.targets.texts.value("list cmbPara 2146"), QStringLiteral("Start|Stop|Referenz|ohne"));
    }

    // A load that fails shows one message, saves nothing and keeps what it applied before the
    // failure; one that completes (whatever follows the last field) is silent.
    void damagedFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("loads");
        QTest::addColumn<int>("messagesApplied");
        QTest::addColumn<int>("toolTextsFromFile"); // the rest stay English
        const QByteArray german = shipped("German.txt");
        const qsizetype seventh = german.indexOf("----------\r\nTEXT TOOLS");
        // Fields are taken in file order, numbers unread: a record missing from a file with more
        // after it shifts the rest, so only an older file (six sections) fails for it.
        QList<QByteArray> lines = german.left(seventh).split('\n');
        lines.removeAt(3 + 61); // entry 62 of the first section
        const QByteArray upTo50 = german.left(german.indexOf("50,\"In Position\""));
        const auto row = [](const char* name, const QByteArray& bytes, bool loads, int messages, int index = 1,
                            int toolTexts = 0) {
            QTest::newRow(name) << bytes << index << loads << messages << toolTexts;
        };
        row("complete", german, true, 101, 1, 50);
        row("older file: six sections", german.left(seventh), true, 101);
        row("ends inside the seventh section", german.left(german.indexOf("21,\"Nicht im", seventh)), true, 101, 1, 20);
        row("complete, with 6 MB of commas after it", german + QByteArray(6 << 20, ','), true, 101, 1, 50);
        row("first section one entry short", lines.join('\n'), false, 100);
        row("file ends after message 49", upTo50, false, 50);
        // A quote that never closes runs to the end of the file: message 50 is read, 51 is missing.
        row("unterminated quote", upTo50 + "50,\"In Pos", false, 51);
        row("cut in the middle of a section", german.left(german.size() / 2), false, 0);
        row("no file", QByteArray(), false, 0);
        row("empty file", "", false, 0);
        row("index 7", german, false, 0, 7);
        row("NUL bytes", QByteArray(64 * 1024, '\0'), false, 0);
        row("20 MB in one open quote", "\"" + QByteArray(20 << 20, 'x'), false, 0);
    }
    void damagedFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, index);
        QFETCH(bool, loads);
        Load load(bytes, index);
        QCOMPARE(load.result, loads);
        QCOMPARE(load.dialogs.texts(), loads ? QStringList() : QStringList{"language not available"});
        QVERIFY(load.dialogs.shown.empty() || load.dialogs.shown[0].icon == MessageIcon::Error);
        QCOMPARE(load.saved(), loads ? QString::number(index) : QString());
        QCOMPARE(load.state.languageIndex, index);
        QTEST(load.messagesApplied(), "messagesApplied");
        QFETCH(int, toolTextsFromFile);
        QCOMPARE(load.state.tool(tooltext::CompareTitle),
                 toolTextsFromFile > 1 ? "Parameter vergleichen" : defaultToolText(tooltext::CompareTitle));
        QCOMPARE(load.state.tool(tooltext::PortsMissing),
                 toolTextsFromFile == 50 ? "nicht vorhanden" : defaultToolText(tooltext::PortsMissing));
        // The first section is applied before anything later fails.
        QCOMPARE(load.targets.texts.value("caption lblPara 2100"),
                 bytes.startsWith("--") && index == 1 ? "mm Istwert" : "");
    }

    // Any text in the settings still starts the main window; a folder without language files
    // gives one message, and a position is shown with whatever decimals the settings gave.
    void badSettingsStillStartTheWindow()
    {
        for (const QString& value :
             {QString::fromLatin1("\x01\xff\x7f,\"=[]\n"), QStringLiteral("99999999999999999999999"),
              QStringLiteral("32767"), QStringLiteral("-32768"), QStringLiteral("1e3"), QString(),
              QString(100000, QLatin1Char('7')), QStringLiteral("ü€日本")}) {
            SharedState state;
            MemorySettingsStore settings;
            settings.setValue(kApplicationName, "System", "Check", "1");
            for (const char* key : {"Language", "Decpnt", "Expert", "Security", "Encoder", "Explore"})
                settings.setValue(kApplicationName, "System", QString::fromLatin1(key), value);
            RecordingDialogs dialogs;
            VirtualClock clock;
            QTemporaryDir folder;
            frmSDI window(state, settings, dialogs, clock, folder.path());
            window.Form_Load();
            QVERIFY(window.isVisible());
            QCOMPARE(dialogs.texts(), QStringList{"language not available"});
            const auto shown = formatValue(QStringLiteral("-123456789"), 2110, state.decPnt);
            QVERIFY(shown && !shown->isEmpty());
        }
        // Settings kept in a folder whose name is outside ASCII read back as written.
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("Prüfstand Ω € 日本/Einstellungen ü"));
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));
        IniSettingsStore(file).setValue(kApplicationName, "System", "Explore", file);
        QCOMPARE(IniSettingsStore(file).value(kApplicationName, "System", "Explore"), file);
    }
};

QTEST_MAIN(TestLanguage)
#include "test_language.moc"
