#include "language_fields.h"
#include "language_loader.h"
#include "language_sections.h"
#include "memory_settings_store.h"
#include "recording_dialogs.h"
#include "recording_targets.h"
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

QByteArray shipped(const QString& name) {
    QFile file(QDir(kLangDir).filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QList<QByteArray> germanLines() {
    return shipped(QStringLiteral("German.txt")).split('\n');
}
QByteArray joinLines(const QList<QByteArray>& lines) {
    return lines.join('\n');
}

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

// Writes `bytes` as the German file of a fresh program folder (no file when `bytes` is null).
struct Folder {
    QTemporaryDir dir;
    explicit Folder(const QByteArray& bytes, const QString& name = QStringLiteral("German.txt")) {
        if (bytes.isNull()) return;
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::WriteOnly)) file.write(bytes);
    }
    QString path() const { return dir.path(); }
};

bool showedNotAvailableOnce(const RecordingDialogs& dialogs) {
    return dialogs.shown.size() == 1 && dialogs.shown[0].text == QStringLiteral("language not available") &&
           dialogs.shown[0].icon == MessageIcon::Error;
}

} // namespace

class TestLanguageLoader : public QObject {
    Q_OBJECT
private slots:
    void shippedFilesHaveTheFixedLayout_data() {
        QTest::addColumn<int>("index");
        for (int i = 0; i < 6; ++i)
            QTest::newRow(qPrintable(languageFileName(i))) << i;
    }
    void shippedFilesHaveTheFixedLayout() {
        QFETCH(int, index);
        const QByteArray bytes = shipped(languageFileName(index));
        QVERIFY(!bytes.isEmpty());
        QCOMPARE(bytes.count("\r\n"), bytes.count('\n'));
        QVERIFY(bytes.endsWith("\r\n"));
        QStringDecoder utf8(QStringConverter::Utf8);
        const QString text = utf8.decode(bytes);
        QVERIFY(!utf8.hasError());

        // Exactly the records of the layout: headers where they belong, nothing after the messages.
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
    }

    void shippedFilesLoadCompletely_data() { shippedFilesHaveTheFixedLayout_data(); }
    void shippedFilesLoadCompletely() {
        QFETCH(int, index);
        Load load;
        load.state.languageIndex = index;
        load.state.firmwareLevel = 540;
        load.run(kLangDir);
        QVERIFY(load.result);
        QVERIFY(load.dialogs.shown.isEmpty());
        QCOMPARE(load.savedLanguage(), QString::number(index));

        // 52 axis labels, 10 mirrors, 2 current labels, 17 device labels, 7 command labels and
        // the frames 0-11 and panels 0, 1, 2, 4.
        QCOMPARE(load.targets.captions.size(), 52 + 10 + 2 + 17 + 7 + 12 + 4);
        QCOMPARE(load.targets.hints.size(), 7 + 5);
        QCOMPARE(load.targets.tabs.size(), 7);
        QCOMPARE(load.targets.tags.size(), 8);
        for (auto it = load.targets.captions.cbegin(); it != load.targets.captions.cend(); ++it)
            QVERIFY2(!it.value().isEmpty() || it.key() == RecordingTargets::Key("framepara", 9),
                     qPrintable(it.key().first + QString::number(it.key().second)));
        for (const QString& hint : load.targets.hints)
            QVERIFY(!hint.isEmpty());
        for (const QString& tab : load.targets.tabs)
            QVERIFY(!tab.isEmpty());
        const int itemCounts[][2] = {{2125, 3}, {2126, 2}, {2127, 2}, {2129, 2}, {2130, 2}, {2136, 2},
                                     {2139, 2}, {2142, 2}, {2146, 5}, {2147, 5}, {2148, 5}, {2149, 4}};
        for (const auto& [list, count] : itemCounts)
            QCOMPARE(load.targets.list(list).size(), count);
        for (const QString& text : load.state.messageText)
            QVERIFY(!text.isEmpty() || index == 5); // Turkish puts the file name first
        QVERIFY(!load.state.message(100).isEmpty());
        QVERIFY(!load.state.message(79).isEmpty());
    }

    void germanReproducesTheDesignTexts_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        const auto caption = [](const char* row, const char* name, int index, const char* text) {
            QTest::newRow(row) << "caption" << name << index << QString::fromUtf8(text);
        };
        const auto hint = [](const char* row, const char* name, int index, const char* text) {
            QTest::newRow(row) << "hint" << name << index << QString::fromUtf8(text);
        };
        caption("first label", "lblPara", 2100, "mm Istwert");
        caption("parameter 10", "lblPara", 2110, "sek Zeit pos. erreicht");
        caption("after the gap at 12", "lblPara", 2113, "% schnelle Geschw.");
        caption("umlaut", "lblPara", 2123, "inc Übw. Startrampe");
        caption("parameter 51", "lblPara", 2151, "I-Limit");
        caption("parameter 55", "lblPara", 2155, "I-Anteil 3");
        caption("no label for 12", "lblPara", 2112, "");
        caption("mirror 3102", "lblPara", 3102, "mm Referenz");
        caption("mirror 3106", "lblPara", 3106, "imp Impulse/Weg");
        caption("mirror 3134", "lblPara", 3134, "sek Messzeit");
        caption("3109 is not mirrored", "lblPara", 3109, "");
        caption("current now", "lblPara", 2182, "Aktuell");
        caption("current peak", "lblPara", 2184, "Spitze");
        caption("hardware", "lblPara", 2401, "Hardware");
        caption("set point 7", "lblPara", 2419, "mm Sollwert 7");
        caption("mains dips", "lblPara", 2425, "x Netzeinbrüche");
        caption("operating hours", "lblPara", 2429, "Betriebsstd.");
        caption("encoder counter", "lblPara", 2446, "x Messsystem");
        caption("no device label 0", "lblPara", 2400, "");
        caption("command label 0", "lblObject", 0, "Service Parameter löschen");
        caption("command label 6", "lblObject", 6, "Not Stop");
        caption("inputs and outputs", "frmMain", 0, "Ein/Ausgänge");
        caption("status frame", "frmMain", 2, "Status");
        caption("decimal places", "frmMain", 4, "Dezimalpunkte");
        caption("frame 0", "framepara", 0, "Position Regler");
        caption("frame 11", "framepara", 11, "Kommands");
        caption("frame 12 keeps its design", "framepara", 12, "");
        hint("start absolute", "cmdComand", 128, "Start Absolut");
        hint("set reference", "cmdComand", 139, "Referenz");
        hint("save", "cmdComand", 138, "Parameter speichern");
        hint("connect", "cmdConnect", 0, "Verbinden");
        hint("files", "cmdData", 0, "Speichern/Laden von Parametern");
        hint("stop", "cmdStop", 0, "Kommunikation Stop");
        hint("information", "cmdInfo", 0, "Information");
    }
    void germanReproducesTheDesignTexts() {
        QFETCH(QString, kind);
        QFETCH(QString, name);
        QFETCH(int, index);
        QFETCH(QString, text);
        Load load;
        load.run(kLangDir);
        QVERIFY(load.result);
        const auto& map = kind == QStringLiteral("caption") ? load.targets.captions : load.targets.hints;
        QCOMPARE(map.value({name, index}), text);
    }

    void germanTabsAndMessages() {
        Load load;
        load.run(kLangDir);
        QCOMPARE(load.targets.tabs.values(), (QStringList{"Position", "Sicherheit", "&Messsystem/Referenz",
                                                          "Lage/Drehzahl", "Diagnose", "Progr.", "Service"}));
        QCOMPARE(load.state.message(43) + "1A", QStringLiteral("Raster=1A"));
        QCOMPARE(load.state.message(43) + "24" + load.state.message(44), QStringLiteral("Raster=24 Steps"));
        QCOMPARE(load.state.message(59), QStringLiteral("Parameter speichern ?"));
        QCOMPARE(load.state.message(63), QStringLiteral("Expert Mode (Parameter)"));
    }

    void listsFollowTheFirmwareLevel_data() {
        QTest::addColumn<int>("level");
        QTest::addColumn<QStringList>("direction");
        QTest::addColumn<QStringList>("input1");
        const QStringList in1{"Start", "Stop", "Referenz", "ohne"};
        QTest::newRow("no drive") << 0 << QStringList{"invertiert", "normal"} << in1;
        QTest::newRow("level 499") << 499 << QStringList{"invertiert", "normal"} << in1;
        QTest::newRow("level 500") << 500 << QStringList{"normal", "invertiert"}
                                   << in1 + QStringList{"Prog. BCD"};
    }
    void listsFollowTheFirmwareLevel() {
        QFETCH(int, level);
        QFETCH(QStringList, direction);
        QFETCH(QStringList, input1);
        Load load;
        load.state.firmwareLevel = qint16(level);
        load.targets.items[{QStringLiteral("cmbPara"), 2146}] = QStringList{"left over"};
        load.run(kLangDir);
        QVERIFY(load.result);
        QCOMPARE(load.targets.list(2126), direction);
        QCOMPARE(load.targets.list(2142), (QStringList{"normal", "invertiert"}));
        QCOMPARE(load.targets.list(2146), input1);
        QCOMPARE(load.targets.list(2147).at(2), QStringLiteral("Endlage neg"));
        QCOMPARE(load.targets.list(2148).at(2), QStringLiteral("Endlage pos"));
        QCOMPARE(load.targets.list(2149), (QStringList{"in pos", "Klemmung", "Fahrt", "ohne"}));
        QCOMPARE(load.targets.list(2125), (QStringList{"1-fach", "2-fach", "4-fach"}));
        QCOMPARE(load.targets.tag(2126), QStringLiteral("P26"));
        QCOMPARE(load.targets.tag(2142), QStringLiteral("P42"));
        QCOMPARE(load.targets.tag(2139), QStringLiteral("P39"));
        QCOMPARE(load.targets.tag(2146), QString());
    }

    void listsAreEmptiedFirstAndTaggedAfterTheirItems() {
        Load load;
        load.run(kLangDir);
        const QStringList& log = load.targets.log;
        const qsizetype firstAdd = log.indexOf(QStringLiteral("add 2125"));
        QCOMPARE(log.mid(firstAdd - 12, 12).filter(QStringLiteral("clear")).size(), 12);
        QCOMPARE(log.lastIndexOf(QStringLiteral("add 2125")) + 1, log.indexOf(QStringLiteral("tag 2125")));
        QVERIFY(log.lastIndexOf(QStringLiteral("add 2126")) < log.indexOf(QStringLiteral("tag 2126")));
        QVERIFY(log.indexOf(QStringLiteral("tag 2139")) < log.indexOf(QStringLiteral("add 2146")));
    }

    void aFileInWindows1252ReadsLikeTheUtf8One() {
        const QByteArray utf8 = shipped(QStringLiteral("German.txt"));
        const QByteArray cp1252 = QString::fromUtf8(utf8).toLatin1(); // German needs nothing beyond Latin-1
        QVERIFY(cp1252.contains('\xE4'));
        Load fromUtf8;
        fromUtf8.run(kLangDir);
        Folder folder(cp1252);
        Load fromCp1252;
        fromCp1252.run(folder.path());
        QVERIFY(fromCp1252.result);
        QCOMPARE(fromCp1252.targets.captions, fromUtf8.targets.captions);
        QCOMPARE(fromCp1252.targets.items, fromUtf8.targets.items);
        QCOMPARE(fromCp1252.state.messageText, fromUtf8.state.messageText);
        QCOMPARE(fromCp1252.targets.caption("lblPara", 2126), QStringLiteral("Zählrichtung"));
    }

    void quotedCommasAndChangedTitlesLoad() {
        QList<QByteArray> lines = germanLines();
        const qsizetype message0 = lines.indexOf("0,\"Bitte einen Dateinamen eingeben.\"\r");
        QVERIFY(message0 > 0);
        for (QByteArray& line : lines)
            if (line.startsWith("TEXT "))
                line = line.startsWith("TEXT A") ? "Achsparameter\r" : "\"Another title, quoted\"\r";
        lines[message0] = "  0 ,  \"Eins, zwei\"\r";
        Folder quoted(joinLines(lines));
        Load again;
        again.run(quoted.path());
        QVERIFY(again.result);
        QCOMPARE(again.state.message(0), QStringLiteral("Eins, zwei"));
        QCOMPARE(again.savedLanguage(), QStringLiteral("1"));
    }

    void aFailedLoadKeepsWhatItAppliedAndSavesNothing_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("firstLabelApplied");
        QTest::addColumn<int>("messagesApplied");

        QList<QByteArray> lines = germanLines();
        lines.removeAt(3 + 61); // entry 62 of the first section
        QTest::newRow("first section one entry short") << joinLines(lines) << 1 << true << 100;

        lines = germanLines();
        const qsizetype message50 = lines.indexOf("50,\"In Position\"\r");
        QVERIFY(message50 > 0);
        QTest::newRow("file ends after message 49") << joinLines(lines.mid(0, message50)) << 1 << true << 50;
        QTest::newRow("no file") << QByteArray() << 1 << false << 0;
        QTest::newRow("empty file") << QByteArray("") << 1 << false << 0;
        QTest::newRow("index 7") << shipped(QStringLiteral("German.txt")) << 7 << false << 0;
        QTest::newRow("index -1") << shipped(QStringLiteral("German.txt")) << -1 << false << 0;
        QTest::newRow("binary garbage") << QByteArray("\0\xFF\x01,\"\r\n\0", 8) << 1 << false << 0;

        // A quote that never closes runs to the end of the file: message 50 is read, 51 is missing.
        QTest::newRow("unterminated quote")
            << joinLines(lines.mid(0, message50)) + "\n50,\"In Pos" << 1 << true << 51;
    }
    void aFailedLoadKeepsWhatItAppliedAndSavesNothing() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, index);
        QFETCH(bool, firstLabelApplied);
        QFETCH(int, messagesApplied);
        Folder folder(bytes);
        Load load;
        load.state.languageIndex = index;
        load.run(folder.path());
        QVERIFY(!load.result);
        QVERIFY(showedNotAvailableOnce(load.dialogs));
        QVERIFY(!load.saved());
        QCOMPARE(load.state.languageIndex, index);
        QCOMPARE(load.targets.caption("lblPara", 2100) == QStringLiteral("mm Istwert"), firstLabelApplied);
        int applied = 0;
        while (applied < SharedState::kMessageCount && !load.state.message(applied).isEmpty())
            ++applied;
        QCOMPARE(applied, messagesApplied);
    }

    void aMissingEntryShiftsEveryTextAfterIt() {
        QList<QByteArray> lines = germanLines();
        lines.removeAt(3 + 61);
        Folder folder(joinLines(lines));
        Load load;
        load.run(folder.path());
        // Entry 62 took the next section's dash line and title; its header then took "1" and the
        // text of device parameter 0, so every device text lands one parameter early.
        QCOMPARE(load.targets.caption("lblPara", 2401), QStringLiteral("Software"));
        QCOMPARE(load.targets.caption("lblPara", 2410), QStringLiteral("Reserve"));
        QCOMPARE(load.targets.caption("lblPara", 2155), QStringLiteral("I-Anteil 3"));
        QVERIFY(load.state.message(100).isEmpty());
    }

    void aHugeFileFailsAndALongTextIsKept() {
        Folder huge(QByteArray(20 * 1024 * 1024, 'x'));
        Load failing;
        failing.run(huge.path());
        QVERIFY(!failing.result);
        QVERIFY(showedNotAvailableOnce(failing.dialogs));

        QList<QByteArray> lines = germanLines();
        const qsizetype message0 = lines.indexOf("0,\"Bitte einen Dateinamen eingeben.\"\r");
        lines[message0] = "0,\"" + QByteArray(3 * 1024 * 1024, 'y') + "\"\r";
        Folder longLine(joinLines(lines));
        Load load;
        load.run(longLine.path());
        QVERIFY(load.result);
        QCOMPARE(load.state.message(0).size(), 3 * 1024 * 1024);
    }

    void mangledFilesNeverCrashAndAlwaysAnswer() {
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
                case 0:
                    bytes.truncate(at);
                    break;
                case 1:
                    bytes.remove(at, 1 + random.bounded(40));
                    break;
                case 2:
                    bytes.insert(at, bytes.mid(at, 1 + random.bounded(40)));
                    break;
                default:
                    bytes[at] = noise[random.bounded(int(sizeof noise))];
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

    void languageButtons_data() {
        QTest::addColumn<bool>("fileThere");
        QTest::addColumn<bool>("leftButton");
        QTest::addColumn<int>("indexAfter");
        QTest::addColumn<bool>("loaded");
        QTest::newRow("left, file there") << true << true << 4 << true;
        QTest::newRow("right, file there") << true << false << 4 << true;
        QTest::newRow("left, file missing: nothing changes") << false << true << 1 << false;
        QTest::newRow("right, file missing: index taken, not saved") << false << false << 4 << false;
    }
    void languageButtons() {
        QFETCH(bool, fileThere);
        QFETCH(bool, leftButton);
        QFETCH(int, indexAfter);
        QFETCH(bool, loaded);
        Folder folder(fileThere ? shipped(QStringLiteral("Spain.txt")) : QByteArray(),
                      QStringLiteral("Spain.txt"));
        Load load;
        load.result = selectLanguage(load.state, 4, leftButton, folder.path(), load.targets, load.settings,
                                     load.dialogs);
        QCOMPARE(load.result, loaded);
        QCOMPARE(load.state.languageIndex, indexAfter);
        QCOMPARE(load.saved(), loaded);
        QCOMPARE(load.dialogs.shown.size(), loaded ? 0 : 1);
        QCOMPARE(load.targets.captions.isEmpty(), !loaded);
        if (loaded) QCOMPARE(load.savedLanguage(), QStringLiteral("4"));
    }
};

QTEST_GUILESS_MAIN(TestLanguageLoader)
#include "test_language_loader.moc"
