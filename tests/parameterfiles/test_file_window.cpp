// The file window against the simulated drive on virtual time: store, load into the tool, load
// into the drive with Stop and closing, the folder it remembers; then the save window a load
// into the drive opens: 137, a second without serving the window, 138.

#include "file_window_rig.h"
#include "frm_save.h"
#include "hand_written_file.h"
#include "input_inside_answer.h"
#include "parameter_file_layout.h"
#include "parameter_file_reader.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QFileSystemModel>
#include <QTest>
#include <QTreeView>
#include <QTimer>

using namespace kinetra;
using namespace kinetra::test;

namespace {

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
        const QList<QPair<int, qint64>> values{{2110, 1250}, {2125, 4}, {2160, -7}, {2410, 12}};
        for (const auto& [cmd, value] : values)
            r.state.table.store(cmd, ParameterValue::text(QString::number(value)));
        frmFile& w = r.open();
        r.type("set");
        r.dialogs.answers.push_back(MessageAnswer::Yes);
        w.cmdStore_Click();
        const QString path = r.dir.filePath("set.par");
        QCOMPARE(r.box("txtHelp")->text(), "msg30" + QDir::toNativeSeparators(path) + "msg31");
        QCOMPARE(contentOf(path).count("\r\n"), 124);
        QVERIFY(!r.state.fileWindowActive);

        for (const auto& [cmd, value] : values)
            r.state.table.store(cmd, ParameterValue::number(99));
        w.cmdLoadPc_Click();
        for (const auto& [cmd, value] : values)
            QCOMPARE(r.state.table.value(cmd), ParameterValue::number(value));
        QCOMPARE(r.box("txtHelp")->text(), "msg30" + QDir::toNativeSeparators(path) + "msg32");
        QCOMPARE(r.mainWindow.statusText.value(1), kOffline);
        QVERIFY(r.port.written().isEmpty());
        QVERIFY(!r.state.transferActive && !r.state.fileWindowActive);
        // Axis values below 56 and every device value are shown, in file order.
        QCOMPARE(r.shown.size(), 54 + 38);
        QCOMPARE(r.shown.at(53).first, 2155);
        QCOMPARE(r.shown.at(54).first, 2400);
        QVERIFY(r.shown.contains(qMakePair(2110, QStringLiteral("1250"))));
        QCOMPARE(r.dialogs.shown.size(), 1); // the creation question only
    }

    // Into the tool and into the drive alike: the table keeps its values and nothing is sent.
    void refusedFilesChangeNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("toDrive");
        QTest::addColumn<QString>("named"); // what the message names beside message 9
        const QByteArray notANumber = handwritten::file(handwritten::longAxis(), {{10, "100"}, {13, "eighty"}});
        for (const bool toDrive : {false, true}) {
            const char* target = toDrive ? " into the drive" : " into the tool";
            QTest::newRow(QByteArray("no header") + target) << QByteArray("\"Parameter X\"\r\n") << toDrive << "";
            QTest::newRow(QByteArray("file of the other level") + target)
                << handwritten::file(handwritten::shortAxis()) << toDrive << "";
            QTest::newRow(QByteArray("a value that is no number") + target) << notANumber << toDrive << "P13";
        }
    }
    void refusedFilesChangeNothing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, toDrive);
        QFETCH(QString, named);
        FileWindowRig r;
        frmFile& w = r.openWith("bad.par", bytes);
        r.state.table.store(2110, ParameterValue::text("7"));
        if (toDrive)
            w.cmdLoad_Click();
        else
            w.cmdLoadPc_Click();
        QCOMPARE(r.dialogs.shown.size(), 1);
        QVERIFY(r.dialogs.shown[0].text.startsWith("msg9"));
        QVERIFY2(r.dialogs.shown[0].text.contains(named), qPrintable(r.dialogs.shown[0].text));
        QCOMPARE(r.state.table.value(2110), ParameterValue::text("7"));
        QVERIFY(r.writtenCommands().isEmpty());
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
        frmFile& w = r.open();
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

    // However a load into the drive ends early, it has sent the records up to that point and
    // leaves the window idle. Stop lets the write on the wire end; closing takes the link offline
    // at once, so the current record is only stored.
    void aLoadIntoTheDriveThatEndsEarlyLeavesTheWindowIdle_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("sent");
        QTest::addColumn<int>("online");
        QTest::addColumn<int>("saveWindow");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("help");
        QTest::newRow("stop") << "stop" << 7 << 0 << 1 << QStringList{} << "";
        QTest::newRow("close") << "close" << 6 << 0 << 0 << QStringList{"msg11"} << "";
        // A file that ends early is judged whole before the first write: nothing is sent.
        QTest::newRow("file cut") << "cut" << 0 << 1 << 0 << QStringList{"msg3"} << "msg3";
        QTest::newRow("no drive") << "no drive" << 0 << 0 << 0 << QStringList{} << "msg34";
    }
    void aLoadIntoTheDriveThatEndsEarlyLeavesTheWindowIdle()
    {
        QFETCH(QString, how);
        QFETCH(int, sent);
        QFETCH(int, online);
        FileWindowRig r;
        if (how == "no drive")
            r.port.attach(2, nullptr);
        QByteArray bytes = handwritten::file(handwritten::longAxis(), {{10, "100"}}, {{10, "11"}});
        if (how == "cut")
            bytes.truncate(bytes.indexOf("\"P20\""));
        frmFile& w = r.openWith("set.par", bytes);
        // Pressed while the write of 2106 waits for its answer.
        r.afterShown(2105, 0.05, [&] {
            if (how == "close")
                w.reject();
            else if (how == "stop")
                w.cmdStop_Click();
        });
        w.cmdLoad_Click();
        QFETCH(QString, help);
        QCOMPARE(r.writtenCommands(), fullLoad().mid(0, sent));
        QCOMPARE(r.state.comOnline, online);
        QCOMPARE(r.com->timerReceive().isEnabled(), online == 1);
        // An online link polls on: its first answer shows it online.
        r.clock.advance(0.2);
        QCOMPARE(r.mainWindow.statusText.value(1), online ? kOnline : kOffline);
        QTEST(r.saveWindowOpened, "saveWindow");
        QStringList messages = r.dialogs.texts();
        messages.removeAll("msg75"); // the drive refuses some of the file's values
        QTEST(messages, "messages");
        QCOMPARE(r.box("txtHelp")->text(), help.replace("<file>", QDir::toNativeSeparators(r.dir.filePath("set.par"))));
        QVERIFY(!r.state.transferActive && !r.state.fileWindowActive && r.state.driveLoadActive == 0 && !w.busy());
        QCOMPARE(r.progressBar()->value(), 0);
    }

    // The remembered folder is selected and scrolled into view once the folder list has read
    // the folders on its path, however far down the tree it lies.
    void theRememberedFolderIsInSight()
    {
        FileWindowRig r;
        for (int i = 0; i < 40; ++i)
            QVERIFY(QDir(r.dir.path()).mkdir(QStringLiteral("a%1").arg(i, 2, 10, QLatin1Char('0'))));
        QVERIFY(QDir(r.dir.path()).mkdir("sub"));
        r.settings.setValue("Kinetra", "System", "Explore", QDir::toNativeSeparators(r.dir.filePath("sub")));
        frmFile& w = r.open();
        w.show();
        auto* folders = w.findChild<QTreeView*>("dirList");
        QVERIFY(folders);
        QCOMPARE(folders->currentIndex().data(QFileSystemModel::FilePathRole).toString(), r.dir.filePath("sub"));
        // The folders beside it arrive in the background and push it down the list.
        const QModelIndex parent = folders->currentIndex().parent();
        QTRY_COMPARE(folders->model()->rowCount(parent), 41);
        QTRY_VERIFY(folders->viewport()->rect().contains(folders->visualRect(folders->currentIndex())));
    }

    void folderIsRestoredAndRemembered()
    {
        FileWindowRig r;
        QVERIFY(QDir(r.dir.path()).mkdir("sub"));
        for (const char* name : {"sub/a.par", "sub/b.TXT", "sub/c.doc"})
            QVERIFY(put(r.dir.filePath(name), "x"));
        r.settings.setValue("Kinetra", "System", "Explore", QDir::toNativeSeparators(r.dir.filePath("sub")));
        frmFile& w = r.open();
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
        openFileWindow(*r.com, r.window, r.dialogs, r.settings, nullptr);
        QVERIFY(hiddenWhileOpen);
        QCOMPARE(r.mainWindow.visible.value("cmdStop#0"), true);
    }

    // With live polling running the click lands inside a poll's answer wait: the load searches
    // the drive once that answer is in and sends exactly the file's records, none interleaved.
    void aLoadClickedDuringAPollSendsTheWholeFile_data() { addAnswerPoints(); }
    void aLoadClickedDuringAPollSendsTheWholeFile()
    {
        QFETCH(AnswerPoint, point);
        sim::DriveConfig paced;
        paced.pacing = true;
        FileWindowRig r(paced);
        r.com->cmdConnect();
        frmFile& w = r.open();
        r.type("drive");
        r.dialogs.answers.push_back(MessageAnswer::Yes);
        w.cmdStore_Click();
        r.dialogs.shown.clear();
        r.clock.advance(0.5);
        QVERIFY(r.com->timerReceive().isEnabled());

        InputInsideAnswer inject(r.clock, r.port);
        const qsizetype before = r.port.written().size();
        const qsizetype portsOpened = r.port.openedPorts().size();
        inject.arm(point, [&] { QTest::mouseClick(w.findChild<QAbstractButton*>("cmdLoad"), Qt::LeftButton); });
        r.clock.advance(30);
        QVERIFY(inject.heldUntilTheAnswerWasIn());
        QCOMPARE(r.writtenCommands(before), fullLoad());
        QCOMPARE(r.saveWindowOpened, 1);
        QVERIFY(!r.mainWindow.text(el::helpLine()).startsWith("msg34"));
        // The search asked the drive's own port, which stayed open: no other port was tried.
        QCOMPARE(r.port.openedPorts().size(), portsOpened);
        for (const auto& frame : r.port.written())
            QVERIFY(!frame.overlapping);
    }

    void fileButtonsDoNothingWhileAnActionRuns()
    {
        FileWindowRig r;
        r.state.fileWindowActive = true;
        frmFile& w = r.open();
        r.type("set");
        w.cmdStore_Click();
        w.cmdLoadPc_Click();
        w.cmdLoad_Click();
        QVERIFY(r.dialogs.shown.isEmpty());
        QVERIFY(!QFile::exists(r.dir.filePath("set.par")));
        QVERIFY(r.port.written().isEmpty());
    }

    void saveSends137ThenASecondLater138()
    {
        FileWindowRig r;
        r.com->cmdConnect();
        r.com->timerReceive().setEnabled(false);
        const qsizetype before = r.port.written().size();
        frmSave save(*r.com, r.window);
        QCOMPARE(save.label1()->text(), QStringLiteral("msg59"));
        QCOMPARE(save.button(0)->text(), QStringLiteral("msg60"));
        QCOMPARE(save.button(1)->text(), QStringLiteral("msg61"));
        QCOMPARE(save.button(0)->objectName(), QStringLiteral("cmdComand1_0"));
        const double blockedBefore = r.clock.blockedSeconds();
        save.cmdComand1_Click(0);

        QList<FakeSerialPort::Written> writes = r.port.written().mid(before);
        writes.removeIf([](const FakeSerialPort::Written& w) { return w.bytes.endsWith(char(5)); }); // polls
        QCOMPARE(writes.size(), 2);
        QVERIFY(writes[0].bytes.contains("2152137"));
        QVERIFY(writes[1].bytes.contains("2152138"));
        // The pause between them does not serve the window; the drive's 3-s save pause follows.
        QVERIFY(writes[1].time - writes[0].time >= 1.0);
        QVERIFY(r.clock.blockedSeconds() - blockedBefore >= 1.0 + 3.0);
        QCOMPARE(r.mainWindow.text(el::helpLine()), QStringLiteral("msg62"));
        QVERIFY(!r.com->timerReceive().isEnabled());

        save.cmdComand1_Click(1);
        QVERIFY(r.com->timerReceive().isEnabled());
        QCOMPARE(r.mainWindow.text(el::helpLine()), QString());
    }

    void closingResumesPolling()
    {
        FileWindowRig r;
        r.com->timerReceive().setEnabled(false);
        r.mainWindow.setText(el::helpLine(), "busy");
        frmSave save(*r.com, r.window);
        save.show();
        save.close();
        QVERIFY(r.com->timerReceive().isEnabled());
        QCOMPARE(r.mainWindow.text(el::helpLine()), QString());
        QVERIFY(r.port.written().isEmpty());
    }
};

QTEST_MAIN(TestFileWindow)
#include "test_file_window.moc"
