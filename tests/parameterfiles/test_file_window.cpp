// The file window against the simulated drive on virtual time: store, load into the tool, load
// into the drive with Stop and closing, the folder it remembers.

#include "file_window_rig.h"
#include "hand_written_file.h"
#include "parameter_file_layout.h"
#include "parameter_file_reader.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTest>
#include <QTimer>

using namespace kinetra;
using namespace kinetra::test;

namespace {

void put(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray contentOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}

// The axis commands a load at level 540 sends, then the bus address.
QList<int> fullLoad()
{
    QList<int> out;
    for (const int p : axisSequence(540))
        out << axisCommand(p);
    return out << 2410;
}

} // namespace

class TestFileWindow : public QObject {
    Q_OBJECT
private slots:
    void storeThenLoadIntoTheToolGivesTheTableBack()
    {
        FileWindowRig r;
        r.state.firmwareLevel = 540;
        r.state.table.store(2110, ParameterValue::text("1250"));
        r.state.table.store(2125, ParameterValue::text("4"));
        r.state.table.store(2160, ParameterValue::number(-7));
        r.state.table.store(2410, ParameterValue::text("12"));
        FrmFile& w = r.open();
        r.type("set");
        r.dialogs.answers.push_back(MessageAnswer::Yes);
        w.cmdStore_Click();
        const QString path = r.dir.filePath("set.par");
        QCOMPARE(r.box("txtHelp")->text(), "msg30" + QDir::toNativeSeparators(path) + "msg31");
        QCOMPARE(contentOf(path).count("\r\n"), 124);
        QVERIFY(!r.state.fileWindowActive);

        for (const int cmd : {2110, 2125, 2160, 2410})
            r.state.table.store(cmd, ParameterValue::number(99));
        w.cmdLoadPc_Click();
        QCOMPARE(r.state.table.value(2110), ParameterValue::number(1250));
        QCOMPARE(r.state.table.value(2125), ParameterValue::number(4));
        QCOMPARE(r.state.table.value(2160), ParameterValue::number(-7));
        QCOMPARE(r.state.table.value(2410), ParameterValue::number(12));
        QCOMPARE(r.box("txtHelp")->text(), "msg30" + QDir::toNativeSeparators(path) + "msg32");
        QCOMPARE(r.mainWindow.statusText.value(1), kOffline);
        QVERIFY(r.port.written().isEmpty());
        QVERIFY(!r.state.transferActive && !r.state.fileWindowActive);
        // Axis values below 56 and every device value are shown, in file order.
        QList<int> shownCommands;
        for (const auto& s : r.shown)
            shownCommands << s.first;
        QVERIFY(shownCommands.contains(2155) && !shownCommands.contains(2156));
        QCOMPARE(shownCommands.size(), 54 + 38);
        QVERIFY(r.shown.contains(qMakePair(2110, QStringLiteral("1250"))));
        QCOMPARE(r.dialogs.shown.size(), 1); // the creation question only
    }

    void refusedFilesChangeNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QTest::newRow("no header") << QByteArray("\"Parameter X\"\r\n") << "msg9";
        QTest::newRow("file of the other level") << handwritten::file(handwritten::shortAxis()) << "msg9";
    }
    void refusedFilesChangeNothing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        FileWindowRig r;
        r.state.firmwareLevel = 540;
        r.state.table.store(2110, ParameterValue::text("7"));
        put(r.dir.filePath("bad.par"), bytes);
        FrmFile& w = r.open();
        r.type("bad.par");
        w.cmdLoadPc_Click();
        QCOMPARE(r.dialogs.shown.size(), 1);
        QVERIFY(r.dialogs.shown[0].text.startsWith(message));
        QCOMPARE(r.state.table.value(2110), ParameterValue::text("7"));
        QVERIFY(r.shown.isEmpty());
        QVERIFY(!r.state.transferActive && !r.state.fileWindowActive);
    }

    // Read all, store, change the drive, load the file into the drive, read all again.
    void loadIntoTheDriveRoundTrip()
    {
        FileWindowRig r;
        r.com->cmdConnect();
        QCOMPARE(r.state.firmwareLevel, qint16(540));
        QVERIFY(r.state.paramsLoaded == 1 && r.dialogs.shown.isEmpty());
        r.com->WriteCom(11, 2125, 0); // list position 0: the drive's 1, which the file keeps
        FrmFile& w = r.open();
        r.type("drive");
        r.dialogs.answers.push_back(MessageAnswer::Yes);
        w.cmdStore_Click();
        const QString path = r.dir.filePath("drive.par");
        const ParameterFileContent stored = readParameterRecords(path, 540);
        QVERIFY(stored.result.ok());

        r.com->WriteCom(11, 2110, 4321);
        r.com->WriteCom(11, 2125, 2); // list position 2: the drive's 4
        QCOMPARE(r.drive.model().memory().value(1, 10), 4321);
        const qsizetype before = r.port.written().size();
        r.progressPeak = 0;
        w.cmdLoad_Click();

        // Every axis record (0, 52 and 80 included), then the bus address, and nothing else.
        QCOMPARE(r.writtenCommands(before), fullLoad());
        // ... each with the value as the file holds it (parameter 25 is not a list position).
        QHash<int, QByteArray> fileValues;
        for (const ParameterRecord& record : stored.records)
            fileValues[record.cmd] = record.value.toText().toLatin1();
        for (const auto& [cmd, value] : r.writes(before))
            QCOMPARE(value, fileValues.value(cmd));
        QCOMPARE(r.saveWindowOpened, 1);
        QCOMPARE(r.progressPeak, fullLoad().size());
        QCOMPARE(r.dialogs.texts(), QStringList{"msg7" + QDir::toNativeSeparators(path) + "msg8"});
        QVERIFY(!r.state.transferActive && !r.state.fileWindowActive && r.state.driveLoadActive == 0);
        QCOMPARE(r.state.comOnline, 1);
        QVERIFY(r.com->timerReceive().isEnabled());

        r.com->cmdStop();
        r.state.stopRequest = false;
        r.com->cmdConnect();
        for (const ParameterRecord& record : stored.records) {
            if (record.cmd == 2152 || record.cmd == 2100 || record.cmd == 2180 || !record.sentToDrive())
                continue; // commands and measured values, not settings
            const auto axisMemory = r.drive.model().memory().rule(1, record.parameter()).kind;
            if (axisMemory != sim::ParameterMemory::Kind::Stored)
                continue;
            QCOMPARE(r.state.table.value(record.cmd).toInteger(), record.value.toInteger());
        }
        QCOMPARE(r.drive.model().memory().value(1, 10), stored.records[10].value.toInteger().value());
    }

    void stopOrCloseDuringTheLoadEndsAfterTheCurrentRecord_data()
    {
        QTest::addColumn<bool>("close");
        QTest::newRow("stop") << false;
        QTest::newRow("close") << true;
    }
    void stopOrCloseDuringTheLoadEndsAfterTheCurrentRecord()
    {
        QFETCH(bool, close);
        FileWindowRig r;
        r.state.firmwareLevel = 540;
        put(r.dir.filePath("set.par"), handwritten::file(handwritten::longAxis(), {{10, "100"}}, {{10, "11"}}));
        FrmFile& w = r.open();
        r.type("set.par");
        // Pressed while the write of 2106 waits for its answer.
        r.afterShown(2105, 0.05, [&] {
            if (close)
                w.reject();
            else
                w.cmdStop_Click();
        });
        w.cmdLoad_Click();
        // Stop lets the write on the wire end; closing takes the link offline at once, so the
        // current record is only stored.
        QCOMPARE(r.writtenCommands(), fullLoad().mid(0, close ? 6 : 7));
        QCOMPARE(r.mainWindow.statusText.value(1), kOffline);
        QCOMPARE(r.state.comOnline, 0);
        QVERIFY(!r.state.transferActive && !r.state.fileWindowActive && r.state.driveLoadActive == 0);
        QCOMPARE(r.progressBar()->value(), 0);
        if (close) {
            QVERIFY(r.dialogs.texts().contains("msg11"));
            QCOMPARE(r.saveWindowOpened, 0);
            QCOMPARE(r.mainWindow.visible.value("cmdStop#0"), true);
        } else {
            QVERIFY(!r.dialogs.texts().contains("msg11"));
            QCOMPARE(r.saveWindowOpened, 1);
        }
    }

    void truncatedFileDuringALoadIntoTheDriveEndsWithTheFlagsCleared()
    {
        FileWindowRig r;
        r.state.firmwareLevel = 540;
        QByteArray bytes = handwritten::file(handwritten::longAxis());
        bytes.truncate(bytes.indexOf("\"P20\""));
        put(r.dir.filePath("cut.par"), bytes);
        FrmFile& w = r.open();
        r.type("cut");
        w.cmdLoad_Click();
        QCOMPARE(r.writtenCommands(), fullLoad().mid(0, 20));
        QVERIFY(r.dialogs.texts().contains("msg3"));
        QVERIFY(r.box("txtHelp")->text().startsWith("msg3"));
        QCOMPARE(r.saveWindowOpened, 0);
        QVERIFY(!r.state.transferActive && !r.state.fileWindowActive && r.state.driveLoadActive == 0);
        QCOMPARE(r.state.comOnline, 1);
        QVERIFY(r.com->timerReceive().isEnabled());
    }

    void noDriveFoundLeavesTheWindowIdle()
    {
        FileWindowRig r;
        r.port.attach(2, nullptr);
        put(r.dir.filePath("set.par"), handwritten::file(handwritten::shortAxis()));
        FrmFile& w = r.open();
        r.type("set");
        w.cmdLoad_Click();
        QVERIFY(r.writes().isEmpty());
        QCOMPARE(r.state.comOnline, 0);
        QVERIFY(!r.state.fileWindowActive && !w.busy());
        QCOMPARE(r.box("txtHelp")->text(), QStringLiteral("msg34"));
        QCOMPARE(r.saveWindowOpened, 0);
    }

    void folderIsRestoredAndRemembered()
    {
        FileWindowRig r;
        QVERIFY(QDir(r.dir.path()).mkdir("sub"));
        put(r.dir.filePath("sub/a.par"), "x");
        put(r.dir.filePath("sub/b.TXT"), "x");
        put(r.dir.filePath("sub/c.doc"), "x");
        r.settings.setValue("Kinetra", "System", "Explore", QDir::toNativeSeparators(r.dir.filePath("sub")));
        FrmFile& w = r.open();
        QCOMPARE(w.currentDir(), r.dir.filePath("sub"));
        auto* files = w.findChild<QListWidget*>("filList");
        QStringList names;
        for (int i = 0; i < files->count(); ++i)
            names << files->item(i)->text();
        QCOMPARE(names, (QStringList{"a.par", "b.TXT"}));
        files->setCurrentRow(0);
        w.filList_Click(files->item(0));
        QCOMPARE(r.box("txtFile")->text(), QDir::toNativeSeparators(r.dir.filePath("sub/a.par")));

        w.dirList_Change(r.dir.path());
        w.reject();
        QCOMPARE(r.settings.value("KINETRA", "System", "Explore"), QDir::toNativeSeparators(r.dir.path()));
        QCOMPARE(r.mainWindow.visible.value("cmdStop#0"), true);
    }

    void openingHidesTheMainStopButtonUntilTheWindowCloses()
    {
        FileWindowRig r;
        bool hiddenWhileOpen = false;
        QTimer::singleShot(0, [&] {
            hiddenWhileOpen = !r.mainWindow.visible.value("cmdStop#0", true);
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
        openFileWindow(*r.com, r.settings, nullptr);
        QVERIFY(hiddenWhileOpen);
        QCOMPARE(r.mainWindow.visible.value("cmdStop#0"), true);
        QCOMPARE(r.settings.value("KINETRA", "System", "Explore"), QDir::toNativeSeparators(r.dir.path()));
    }

    void fileButtonsDoNothingWhileAnActionRuns()
    {
        FileWindowRig r;
        r.state.fileWindowActive = true;
        FrmFile& w = r.open();
        r.type("set");
        w.cmdStore_Click();
        w.cmdLoadPc_Click();
        w.cmdLoad_Click();
        QVERIFY(r.dialogs.shown.isEmpty());
        QVERIFY(!QFile::exists(r.dir.filePath("set.par")));
        QVERIFY(r.port.written().isEmpty());
    }
};

QTEST_MAIN(TestFileWindow)
#include "test_file_window.moc"
