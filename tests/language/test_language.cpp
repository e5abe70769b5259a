// Language files: how their fields split, where the German texts land, the shipped files, and
// files that are damaged, missing or picked with the language buttons.

#include "language_fields.h"
#include "language_loader.h"
#include "language_sections.h"
#include "language_targets.h"
#include "memory_settings_store.h"
#include "recording_dialogs.h"
#include "shared_state.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
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

// Everything a load gave the window, as "caption lblPara 2100" -> text; a list's items joined
// by '|' under "list <index>"; and the order in which lists were cleared, filled and tagged.
struct RecordingTargets : LanguageTargets {
    static QString key(const char* kind, const Element& e)
    {
        return QStringLiteral("%1 %2 %3").arg(kind, e.name).arg(e.index);
    }
    void setCaption(const Element& e, const QString& text) override { texts[key("caption", e)] = text; }
    void setHint(const Element& e, const QString& text) override { texts[key("hint", e)] = text; }
    void clearItems(const Element& e) override { log << "clear " + key("list", e), lists[e.index].clear(); }
    void addItem(const Element& e, const QString& text) override
    {
        log << "add " + key("list", e), lists[e.index] << text;
    }
    void setTag(const Element& e, const QString& text) override
    {
        log << "tag " + key("list", e), tags[e.index] = text;
    }
    void setTabCaption(int tab, const QString& text) override { texts[QStringLiteral("tab %1").arg(tab)] = text; }
    QMap<QString, QString> texts;
    QMap<int, QStringList> lists;
    QMap<int, QString> tags;
    QStringList log;
};

// One load from a folder that holds `bytes` as the file of `index` (no file for null bytes).
struct Load {
    SharedState state;
    RecordingTargets targets;
    MemorySettingsStore settings;
    RecordingDialogs dialogs;
    QTemporaryDir dir;
    bool result = false;

    Load(const QByteArray& bytes, int index, int level = 540, const QString& folder = {})
    {
        state.languageIndex = index;
        state.firmwareLevel = qint16(level);
        const QString path = folder.isEmpty() ? dir.path() : dir.filePath(folder);
        QDir().mkpath(path);
        if (QFile file(QDir(path).filePath(languageFileName(index)));
            !bytes.isNull() && file.open(QIODevice::WriteOnly))
            file.write(bytes);
        result = loadLanguage(state, path, targets, settings, dialogs);
    }
    QString saved() const { return settings.value("KINETRA", "System", "Language"); }
    int messagesApplied() const
    {
        int n = 0;
        while (n < SharedState::kMessageCount && !state.message(n).isEmpty())
            ++n;
        return n;
    }
};

} // namespace

class TestLanguage : public QObject {
    Q_OBJECT
private slots:
    // The fields read when at most `maxFields` are asked for; the text is UTF-8 when the bytes
    // read are valid UTF-8, else Windows-1252.
    void fieldsSplitAsWritten_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("maxFields");
        QTest::addColumn<QStringList>("fields");
        const auto row = [](const char* name, const QByteArray& bytes, const QStringList& fields, int maxFields = 100) {
            QTest::newRow(name) << bytes << maxFields << fields;
        };
        row("CR LF, LF and CR alone", "1,\"a\"\r\n2\nb\rc", {"1", "a", "2", "b", "c"});
        row("comma inside quotes", "7,\"Start, Stop\"", {"7", "Start, Stop"});
        row("blanks around unquoted fields, kept inside quotes", "  12 ,\t x y  ,  \" keep \"",
            {"12", "x y", " keep "});
        row("blank line and comma before line end", "a\r\n\r\nb,\r\nc", {"a", "", "b", "", "c"});
        row("unterminated quote runs to the end", "1,\"abc\r\n2,x", {"1", "abc\r\n2,x"});
        row("reading stops at the fields asked for", "a,b,c", {"a", "b"}, 2);
        row("a line of megabytes is one field", QByteArray(8 << 20, 'x') + ",\"end\"", {QString(8 << 20, 'x'), "end"},
            2);
        row("UTF-8", "\"K\xC3\xA4se\",\"\xC5\x9F\"", {"Käse", "ş"}, 2);
        row("one invalid byte makes all of it Windows-1252", "\xC3\xA4,\xE4\x80", {"Ã¤", "ä€"}, 2);
        row("bytes after the last field read do not count", "\xC3\xA4,\xE4", {"ä"}, 1);
    }
    void fieldsSplitAsWritten()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, maxFields);
        QFETCH(QStringList, fields);
        const LanguageFields read = splitLanguageFields(bytes, maxFields);
        QCOMPARE(read.fields, fields);
        QCOMPARE(read.complete, fields.size() == maxFields);
    }

    // Every shipped file loads silently and gives every element a text; a copy saved in
    // Windows-1252 or with its section titles translated loads the same texts as the original.
    void shippedFilesLoad_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QByteArray>("bytes");
        for (int i = 0; i < 6; ++i)
            QTest::newRow(qPrintable(languageFileName(i))) << i << shipped(languageFileName(i));
        const QByteArray german = shipped("German.txt");
        QTest::newRow("German in Windows-1252") << 1 << QString::fromUtf8(german).toLatin1();
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
        QCOMPARE(splitLanguageFields(bytes, 100000).fields.size(), kLanguageFieldCount);
        Load load(bytes, index);
        QVERIFY(load.result && load.dialogs.shown.isEmpty());
        QCOMPARE(load.saved(), QString::number(index));
        // 52 axis labels, 11 mirrors, 2 current labels, 17 device labels, 7 command labels, the
        // frames 0-11 and panels 0, 1, 2, 4; 12 hints; 7 tabs.
        QCOMPARE(load.targets.texts.size(), 52 + 11 + 2 + 17 + 7 + 12 + 4 + 12 + 7);
        for (auto it = load.targets.texts.cbegin(); it != load.targets.texts.cend(); ++it)
            QVERIFY2(!it.value().isEmpty() || it.key() == "caption framepara 9", qPrintable(it.key()));
        const auto empty = std::count_if(load.state.messageText.cbegin(), load.state.messageText.cend(),
                                         [](const QString& text) { return text.isEmpty(); });
        QVERIFY(empty == 0 || index == 5); // Turkish puts the file name first
        if (index == 1 && QTest::currentDataTag() != QByteArray("German.txt")) {
            Load original(shipped("German.txt"), 1);
            QCOMPARE(load.targets.texts, original.targets.texts);
            QCOMPARE(load.state.messageText, original.state.messageText);
        }
    }

    // The first and last entry of runs of elements, the gaps between them, and the lists, whose
    // items follow the firmware level; "" where no entry reaches.
    void germanTextsLandOnTheirElements_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        const auto row = [](const char* key, const char* text, int level = 540) {
            QTest::newRow(key) << level << key << QString::fromUtf8(text);
        };
        row("caption lblPara 2100", "mm Istwert");
        row("caption lblPara 2112", "");
        row("caption lblPara 3109", "mm Toleranzfenster");
        row("caption lblPara 2184", "Spitze");
        row("caption lblPara 2400", "");
        row("caption lblPara 2446", "x Messsystem");
        row("caption frmMain 4", "Dezimalpunkte");
        row("caption framepara 12", "");
        row("hint cmdComand 138", "Parameter speichern");
        row("tab 6", "Service");
        // Blanks at either end are kept: the window writes "Raster=24 Steps".
        row("message 43", "Raster=");
        row("message 44", " Steps");
        row("list 2126", "invertiert|normal", 499);
        row("list 2126", "normal|invertiert", 500);
        row("list 2146", "Start|Stop|Referenz|ohne", 499);
        row("list 2146", "Start|Stop|Referenz|ohne|Prog. BCD", 500);
        row("list 2125", "1-fach|2-fach|4-fach");
        row("tag 2142", "P42");
        row("tag 2146", "");
    }
    void germanTextsLandOnTheirElements()
    {
        QFETCH(int, level);
        QFETCH(QString, key);
        Load load(shipped("German.txt"), 1, level);
        const auto [kind, index] = std::pair{key.section(' ', 0, 0), key.section(' ', -1).toInt()};
        const QString text = kind == "message" ? load.state.message(index)
                             : kind == "list"  ? load.targets.lists.value(index).join('|')
                             : kind == "tag"   ? load.targets.tags.value(index)
                                               : load.targets.texts.value(key);
        QTEST(text, "text");
        // A list is emptied before its first item comes, and tagged after its last.
        const QStringList& log = load.targets.log;
        const auto at = [&](const char* what) { return log.indexOf(QStringLiteral("%1 list cmbPara 2142").arg(what)); };
        QVERIFY(at("clear") < at("add") && log.lastIndexOf("add list cmbPara 2142") < at("tag"));
    }

    // A load that fails shows one message, saves nothing and keeps what it applied before the
    // failure; one that completes (whatever follows the last field) is silent.
    void damagedFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("loads");
        QTest::addColumn<int>("messagesApplied");
        const QByteArray german = shipped("German.txt");
        QList<QByteArray> lines = german.split('\n');
        lines.removeAt(3 + 61); // entry 62 of the first section
        const QByteArray upTo50 = german.left(german.indexOf("50,\"In Position\""));
        const auto row = [](const char* name, const QByteArray& bytes, bool loads, int messages, int index = 1,
                            const QString& folder = {}) {
            QTest::newRow(name) << bytes << index << folder << loads << messages;
        };
        row("complete, in a folder with an odd name", german, true, 101, 1, "Prüfstand Ω € 日本");
        row("complete, with 6 MB of noise after it", german + QByteArray(6 << 20, ','), true, 101);
        row("first section one entry short", lines.join('\n'), false, 100);
        row("file ends after message 49", upTo50, false, 50);
        // A quote that never closes runs to the end of the file: message 50 is read, 51 is missing.
        row("unterminated quote", upTo50 + "50,\"In Pos", false, 51);
        row("no file", QByteArray(), false, 0);
        row("empty file", "", false, 0);
        row("index 7", german, false, 0, 7);
        row("index -1", german, false, 0, -1);
        row("NUL bytes", QByteArray(64 * 1024, '\0'), false, 0);
        row("20 MB in one open quote", "\"" + QByteArray(20 << 20, 'x'), false, 0);
    }
    void damagedFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, index);
        QFETCH(QString, folder);
        QFETCH(bool, loads);
        Load load(bytes, index, 540, folder);
        QCOMPARE(load.result, loads);
        QCOMPARE(load.dialogs.texts(), loads ? QStringList() : QStringList{"language not available"});
        for (const auto& box : load.dialogs.shown)
            QCOMPARE(box.icon, MessageIcon::Error);
        QCOMPARE(load.saved(), loads ? QString::number(index) : QString());
        QCOMPARE(load.state.languageIndex, index);
        QTEST(load.messagesApplied(), "messagesApplied");
        QCOMPARE(load.targets.texts.value("caption lblPara 2100"), load.messagesApplied() ? "mm Istwert" : "");
    }

    // The German file cut, thinned, doubled and overwritten at random places (fixed seed): every
    // load either completes silently or shows the message once and saves nothing.
    void mangledFilesAlwaysAnswer()
    {
        const QByteArray original = shipped("German.txt");
        QRandomGenerator random(20051007);
        const char noise[] = {'"', ',', '\r', '\n', '\0', ' ', '\xE4', '\xC3', 'x'};
        for (int round = 0; round < 150; ++round) {
            QByteArray bytes = original;
            for (int e = 1 + random.bounded(6); e > 0 && !bytes.isEmpty(); --e) {
                const int at = random.bounded(int(bytes.size()));
                switch (random.bounded(4)) {
                case 0: bytes.truncate(at); break;
                case 1: bytes.remove(at, 1 + random.bounded(40)); break;
                case 2: bytes.insert(at, bytes.mid(at, 1 + random.bounded(40))); break;
                default: bytes[at] = noise[random.bounded(int(sizeof noise))];
                }
            }
            Load load(bytes, 1, random.bounded(2) * 500);
            QCOMPARE(load.saved().isEmpty(), !load.result);
            QCOMPARE(load.dialogs.shown.size(), load.result ? 0 : 1);
        }
    }

    // With the left button a missing file changes nothing; with the right one the index is taken.
    void languageButtons_data()
    {
        QTest::addColumn<bool>("fileThere");
        QTest::addColumn<bool>("leftButton");
        QTest::addColumn<int>("indexAfter");
        QTest::newRow("left, file there") << true << true << 4;
        QTest::newRow("right, file there") << true << false << 4;
        QTest::newRow("left, file missing") << false << true << 1;
        QTest::newRow("right, file missing") << false << false << 4;
    }
    void languageButtons()
    {
        QFETCH(bool, fileThere);
        QFETCH(bool, leftButton);
        Load load(fileThere ? shipped("Spain.txt") : QByteArray(), 4);
        load.state.languageIndex = 1;
        load.targets.texts.clear();
        const bool loaded =
            selectLanguage(load.state, 4, leftButton, load.dir.path(), load.targets, load.settings, load.dialogs);
        QCOMPARE(loaded, fileThere);
        QTEST(load.state.languageIndex, "indexAfter");
        QCOMPARE(load.dialogs.shown.size(), fileThere ? 0 : 2); // the first load's message too
        QCOMPARE(load.targets.texts.isEmpty(), !fileThere);
    }
};

QTEST_GUILESS_MAIN(TestLanguage)
#include "test_language.moc"
