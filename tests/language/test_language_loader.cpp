// Loading a language file: the shipped files, where the German texts land, and files that are
// damaged, missing or picked with the language buttons.

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
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

using namespace kinetra;
using namespace kinetra::test;

namespace {

const QString kLangDir = QStringLiteral(KINETRA_LANG_DIR);

QByteArray shipped(const QString& name)
{
    QFile file(QDir(kLangDir).filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QList<QByteArray> germanLines()
{
    return shipped(QStringLiteral("German.txt")).split('\n');
}

// Writes `bytes` as the German file of a fresh program folder (no file when `bytes` is null).
struct Folder {
    QTemporaryDir dir;
    explicit Folder(const QByteArray& bytes, const QString& name = QStringLiteral("German.txt"))
    {
        QFile file(dir.filePath(name));
        if (!bytes.isNull() && file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }
    QString path() const { return dir.path(); }
};

// Remembers the last text each element got, the items of every list and the order in which the
// lists were filled.
struct RecordingTargets : LanguageTargets {
    using Key = QPair<QString, int>;
    static Key key(const Element& e) { return {e.name, e.index}; }
    void setCaption(const Element& e, const QString& text) override { captions[key(e)] = text; }
    void setHint(const Element& e, const QString& text) override { hints[key(e)] = text; }
    void clearItems(const Element& e) override
    {
        items[key(e)].clear();
        log << QStringLiteral("clear %1").arg(e.index);
    }
    void addItem(const Element& e, const QString& text) override
    {
        items[key(e)] << text;
        log << QStringLiteral("add %1").arg(e.index);
    }
    void setTag(const Element& e, const QString& text) override
    {
        tags[key(e)] = text;
        log << QStringLiteral("tag %1").arg(e.index);
    }
    void setTabCaption(int tab, const QString& text) override { tabs[tab] = text; }

    QString caption(const char* name, int index) const { return captions.value({QString::fromLatin1(name), index}); }
    QStringList list(int index) const { return items.value({QStringLiteral("cmbPara"), index}); }
    QString tag(int index) const { return tags.value({QStringLiteral("cmbPara"), index}); }

    QMap<Key, QString> captions, hints, tags;
    QMap<Key, QStringList> items;
    QMap<int, QString> tabs;
    QStringList log;
};

// One load, with everything it touched.
struct Load {
    SharedState state;
    RecordingTargets targets;
    MemorySettingsStore settings;
    RecordingDialogs dialogs;
    bool result = false;

    bool saved() const { return settings.values.contains(QStringLiteral("kinetra/system/language")); }
    QString savedLanguage() const { return settings.values.value(QStringLiteral("kinetra/system/language")); }
    void run(const QString& folder) { result = loadLanguage(state, folder, targets, settings, dialogs); }
};

} // namespace

class TestLanguageLoader : public QObject {
    Q_OBJECT
    Load german_; // the shipped German file, for the tests that only look at a load

private slots:
    void initTestCase()
    {
        german_.run(kLangDir);
        QVERIFY(german_.result);
    }

    // Exactly the records of the layout, and every element gets a text.
    void shippedFiles_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < 6; ++i)
            QTest::newRow(qPrintable(languageFileName(i))) << i;
    }
    void shippedFiles()
    {
        QFETCH(int, index);
        const QByteArray bytes = shipped(languageFileName(index));
        QCOMPARE(bytes.count("\r\n"), bytes.count('\n'));
        QVERIFY(bytes.endsWith("\r\n"));
        QStringDecoder utf8(QStringConverter::Utf8);
        QVERIFY(!QString(utf8.decode(bytes)).isEmpty() && !utf8.hasError());
        const QStringList fields = splitLanguageFields(bytes, 100000).fields;
        QCOMPARE(fields.size(), kLanguageFieldCount);
        const char* titles[] = {"TEXT AXIS PARAMETER NAME",
                                "TEXT DEVICE PARAMETER NAME",
                                "TEXT PARAMETER MCO",
                                "TEXT COMAND",
                                "TEXT FRAME",
                                "TEXT MESSAGES"};
        qsizetype pos = 0;
        for (int s = 0; s < 6; ++s) {
            QVERIFY(fields[pos].startsWith(QStringLiteral("----")));
            QCOMPARE(fields[pos + 1], QString::fromLatin1(titles[s]));
            QCOMPARE(fields[pos + 2], fields[pos]);
            pos += 3 + 2 * kLanguageSectionEntries[s];
        }

        Load load;
        load.state.languageIndex = index;
        load.state.firmwareLevel = 540;
        load.run(kLangDir);
        QVERIFY(load.result);
        QVERIFY(load.dialogs.shown.isEmpty());
        QCOMPARE(load.savedLanguage(), QString::number(index));
        // 52 axis labels, 11 mirrors, 2 current labels, 17 device labels, 7 command labels and
        // the frames 0-11 and panels 0, 1, 2, 4.
        QCOMPARE(load.targets.captions.size(), 52 + 11 + 2 + 17 + 7 + 12 + 4);
        QCOMPARE(load.targets.hints.size(), 7 + 5);
        QCOMPARE(load.targets.tabs.size(), 7);
        QCOMPARE(load.targets.tags.size(), 8);
        for (auto it = load.targets.captions.cbegin(); it != load.targets.captions.cend(); ++it)
            QVERIFY2(!it.value().isEmpty() || it.key() == RecordingTargets::Key("framepara", 9),
                     qPrintable(it.key().first + QString::number(it.key().second)));
        for (const QString& text : load.targets.hints.values() + load.targets.tabs.values())
            QVERIFY(!text.isEmpty());
        for (const QString& text : load.state.messageText)
            QVERIFY(!text.isEmpty() || index == 5); // Turkish puts the file name first
        QVERIFY(!load.state.message(100).isEmpty());
        QVERIFY(!load.state.message(79).isEmpty());
    }

    // The first and last entry of every run of elements, the gaps between them and the
    // elements no entry reaches.
    void germanTextsLandOnTheirElements_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        const auto row = [](const char* kind, const char* name, int index, const char* text) {
            QTest::newRow(qPrintable(QStringLiteral("%1 %2 %3").arg(kind, name).arg(index)))
                << kind << name << index << QString::fromUtf8(text);
        };
        row("caption", "lblPara", 2100, "mm Istwert");
        row("caption", "lblPara", 2112, ""); // no label for 12
        row("caption", "lblPara", 2113, "% schnelle Geschw.");
        row("caption", "lblPara", 2151, "I-Limit");
        row("caption", "lblPara", 2155, "I-Anteil 3");
        row("caption", "lblPara", 3102, "mm Referenz");
        row("caption", "lblPara", 3109, "mm Toleranzfenster");
        row("caption", "lblPara", 2182, "Aktuell");
        row("caption", "lblPara", 2184, "Spitze");
        row("caption", "lblPara", 2400, "");
        row("caption", "lblPara", 2401, "Hardware");
        row("caption", "lblPara", 2446, "x Messsystem");
        row("caption", "lblObject", 0, "Service Parameter löschen");
        row("caption", "lblObject", 6, "Not Stop");
        row("caption", "frmMain", 0, "Ein/Ausgänge");
        row("caption", "frmMain", 4, "Dezimalpunkte");
        row("caption", "framepara", 0, "Position Regler");
        row("caption", "framepara", 11, "Kommands");
        row("caption", "framepara", 12, ""); // keeps its design text
        row("hint", "cmdComand", 139, "Referenz");
        row("hint", "cmdComand", 138, "Parameter speichern");
        row("hint", "cmdConnect", 0, "Verbinden");
        row("hint", "cmdInfo", 0, "Information");
        row("tab", "", 0, "Position");
        row("tab", "", 6, "Service");
        // Blanks at either end are kept: the window writes "Raster=24 Steps".
        row("message", "", 43, "Raster=");
        row("message", "", 44, " Steps");
    }
    void germanTextsLandOnTheirElements()
    {
        QFETCH(QString, kind);
        QFETCH(QString, name);
        QFETCH(int, index);
        const RecordingTargets& t = german_.targets;
        const QString text = kind == "caption" ? t.captions.value({name, index})
                             : kind == "hint"  ? t.hints.value({name, index})
                             : kind == "tab"   ? t.tabs.value(index)
                                               : german_.state.message(index);
        QTEST(text, "text");
    }

    void listsFollowTheFirmwareLevel_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QStringList>("direction");
        QTest::addColumn<QStringList>("input1");
        const QStringList in1{"Start", "Stop", "Referenz", "ohne"};
        QTest::newRow("level 499") << 499 << QStringList{"invertiert", "normal"} << in1;
        QTest::newRow("level 500") << 500 << QStringList{"normal", "invertiert"} << in1 + QStringList{"Prog. BCD"};
    }
    void listsFollowTheFirmwareLevel()
    {
        QFETCH(int, level);
        Load load;
        load.state.firmwareLevel = qint16(level);
        load.targets.items[{QStringLiteral("cmbPara"), 2146}] = QStringList{"left over"};
        load.run(kLangDir);
        QVERIFY(load.result);
        QTEST(load.targets.list(2126), "direction");
        QTEST(load.targets.list(2146), "input1");
        QCOMPARE(load.targets.list(2142), (QStringList{"normal", "invertiert"}));
        QCOMPARE(load.targets.list(2147).at(2), QStringLiteral("Endlage neg"));
        QCOMPARE(load.targets.list(2148).at(2), QStringLiteral("Endlage pos"));
        QCOMPARE(load.targets.list(2149), (QStringList{"in pos", "Klemmung", "Fahrt", "ohne"}));
        QCOMPARE(load.targets.list(2125), (QStringList{"1-fach", "2-fach", "4-fach"}));
        for (const int list : {2127, 2129, 2130, 2136, 2139})
            QCOMPARE(load.targets.list(list).size(), 2);
        QCOMPARE(load.targets.tag(2126), QStringLiteral("P26"));
        QCOMPARE(load.targets.tag(2142), QStringLiteral("P42"));
        QCOMPARE(load.targets.tag(2139), QStringLiteral("P39"));
        QCOMPARE(load.targets.tag(2146), QString());
        // Every list is emptied before the first item comes, and tagged after its items.
        const QStringList& log = load.targets.log;
        const qsizetype firstAdd = log.indexOf(QStringLiteral("add 2125"));
        QCOMPARE(log.mid(firstAdd - 12, 12).filter(QStringLiteral("clear")).size(), 12);
        QCOMPARE(log.lastIndexOf(QStringLiteral("add 2125")) + 1, log.indexOf(QStringLiteral("tag 2125")));
        QVERIFY(log.lastIndexOf(QStringLiteral("add 2126")) < log.indexOf(QStringLiteral("tag 2126")));
        QVERIFY(log.indexOf(QStringLiteral("tag 2139")) < log.indexOf(QStringLiteral("add 2146")));
    }

    // Saved in Windows-1252, or with the section titles translated, a file loads the same texts.
    void editedFilesLoadLikeTheShippedOne_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray cp1252 = QString::fromUtf8(shipped("German.txt")).toLatin1(); // nothing beyond Latin-1
        QVERIFY(cp1252.contains('\xE4'));
        QTest::newRow("Windows-1252") << cp1252;
        QList<QByteArray> lines = germanLines();
        for (QByteArray& line : lines)
            if (line.startsWith("TEXT "))
                line = line.startsWith("TEXT A") ? "Achsparameter\r" : "\"Another title, quoted\"\r";
        QTest::newRow("titles changed") << lines.join('\n');
    }
    void editedFilesLoadLikeTheShippedOne()
    {
        QFETCH(QByteArray, bytes);
        Folder folder(bytes);
        Load load;
        load.run(folder.path());
        QVERIFY(load.result);
        QCOMPARE(load.savedLanguage(), QStringLiteral("1"));
        QCOMPARE(load.targets.captions, german_.targets.captions);
        QCOMPARE(load.targets.hints, german_.targets.hints);
        QCOMPARE(load.targets.items, german_.targets.items);
        QCOMPARE(load.targets.tabs, german_.targets.tabs);
        QCOMPARE(load.state.messageText, german_.state.messageText);
    }

    // A file that ends early has applied its texts up to there. A missing entry shifts every text
    // after it: entry 62 takes the next section's dash line and title, its header then takes "1"
    // and the text of device parameter 0, so every device text lands one parameter early.
    void aFailedLoadKeepsWhatItAppliedAndSavesNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("axis0"); // the captions of axis parameter 0 and device parameter 1
        QTest::addColumn<QString>("device1");
        QTest::addColumn<int>("messagesApplied");
        const auto row = [](const char* name, const QByteArray& bytes, int index, const char* axis0,
                            const char* device1,
                            int messages) { QTest::newRow(name) << bytes << index << axis0 << device1 << messages; };
        QList<QByteArray> lines = germanLines();
        lines.removeAt(3 + 61); // entry 62 of the first section
        row("first section one entry short", lines.join('\n'), 1, "mm Istwert", "Software", 100);
        lines = germanLines();
        const qsizetype message50 = lines.indexOf("50,\"In Position\"\r");
        QVERIFY(message50 > 0);
        const QByteArray upTo50 = lines.mid(0, message50).join('\n');
        row("file ends after message 49", upTo50, 1, "mm Istwert", "Hardware", 50);
        // A quote that never closes runs to the end of the file: message 50 is read, 51 is missing.
        row("unterminated quote", upTo50 + "\n50,\"In Pos", 1, "mm Istwert", "Hardware", 51);
        row("no file", QByteArray(), 1, "", "", 0);
        row("empty file", "", 1, "", "", 0);
        row("index 7", shipped("German.txt"), 7, "", "", 0);
        row("index -1", shipped("German.txt"), -1, "", "", 0);
        row("binary garbage", QByteArray("\0\xFF\x01,\"\r\n\0", 8), 1, "", "", 0);
        row("huge", QByteArray(20 * 1024 * 1024, 'x'), 1, "", "", 0);
    }
    void aFailedLoadKeepsWhatItAppliedAndSavesNothing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, index);
        Folder folder(bytes);
        Load load;
        load.state.languageIndex = index;
        load.run(folder.path());
        QVERIFY(!load.result);
        QCOMPARE(load.dialogs.texts(), QStringList{"language not available"});
        QCOMPARE(load.dialogs.shown[0].icon, MessageIcon::Error);
        QVERIFY(!load.saved());
        QCOMPARE(load.state.languageIndex, index);
        QTEST(load.targets.caption("lblPara", 2100), "axis0");
        QTEST(load.targets.caption("lblPara", 2401), "device1");
        int applied = 0;
        while (applied < SharedState::kMessageCount && !load.state.message(applied).isEmpty())
            ++applied;
        QTEST(applied, "messagesApplied");
    }

    void mangledFilesNeverCrashAndAlwaysAnswer()
    {
        // Bytes of the German file cut, dropped, doubled and overwritten at random places (fixed
        // seed): every load either completes silently or shows the message once and saves nothing.
        const QByteArray original = shipped(QStringLiteral("German.txt"));
        QRandomGenerator random(20051007);
        const char noise[] = {'"', ',', '\r', '\n', '\0', ' ', '\xE4', '\xC3', 'x'};
        for (int round = 0; round < 150; ++round) {
            QByteArray bytes = original;
            const int edits = 1 + random.bounded(6);
            for (int e = 0; e < edits && !bytes.isEmpty(); ++e) {
                const int at = random.bounded(int(bytes.size()));
                switch (random.bounded(4)) {
                case 0: bytes.truncate(at); break;
                case 1: bytes.remove(at, 1 + random.bounded(40)); break;
                case 2: bytes.insert(at, bytes.mid(at, 1 + random.bounded(40))); break;
                default: bytes[at] = noise[random.bounded(int(sizeof noise))];
                }
            }
            Folder folder(bytes);
            Load load;
            load.state.firmwareLevel = qint16(random.bounded(2) * 500);
            load.run(folder.path());
            QCOMPARE(load.saved(), load.result);
            QCOMPARE(load.dialogs.shown.size(), load.result ? 0 : 1);
        }
    }

    void languageButtons_data()
    {
        QTest::addColumn<bool>("fileThere");
        QTest::addColumn<bool>("leftButton");
        QTest::addColumn<int>("indexAfter");
        QTest::addColumn<bool>("loaded");
        QTest::newRow("left, file there") << true << true << 4 << true;
        QTest::newRow("right, file there") << true << false << 4 << true;
        QTest::newRow("left, file missing: nothing changes") << false << true << 1 << false;
        QTest::newRow("right, file missing: index taken, not saved") << false << false << 4 << false;
    }
    void languageButtons()
    {
        QFETCH(bool, fileThere);
        QFETCH(bool, leftButton);
        QFETCH(bool, loaded);
        Folder folder(fileThere ? shipped(QStringLiteral("Spain.txt")) : QByteArray(), QStringLiteral("Spain.txt"));
        Load load;
        load.result =
            selectLanguage(load.state, 4, leftButton, folder.path(), load.targets, load.settings, load.dialogs);
        QCOMPARE(load.result, loaded);
        QTEST(load.state.languageIndex, "indexAfter");
        QCOMPARE(load.savedLanguage(), loaded ? QStringLiteral("4") : QString());
        QCOMPARE(load.dialogs.shown.size(), loaded ? 0 : 1);
        QCOMPARE(load.targets.captions.isEmpty(), !loaded);
    }
};

QTEST_GUILESS_MAIN(TestLanguageLoader)
#include "test_language_loader.moc"
