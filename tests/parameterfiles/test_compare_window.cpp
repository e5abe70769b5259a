// The compare window on virtual time against the simulated drive: the drive or a file against a
// file, the filter, the load of the ticked rows (clicked inside an answer the drive owes, live
// polling running) and files the window refuses.

#include "file_window_rig.h"
#include "frm_compare.h"
#include "frm_save.h"
#include "input_inside_answer.h"
#include "numeric_text.h"
#include "parameter_file_writer.h"
#include "tool_texts.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QTableWidget>

using namespace kinetra;
using namespace kinetra::test;

namespace {

// The file window's rig with the compare window in place of the file window.
struct CompareRig : FileWindowRig {
    std::unique_ptr<frmCompare> compare;
    QString fileA, fileB;

    // Connects, reads the drive and writes its table as file A; file B is the same set with
    // `changes` (command, number) made.
    explicit CompareRig(const QList<QPair<int, qint64>>& changes)
    {
        com->cmdConnect();
        clock.advance(0.5);
        state.decPnt = 2;
        fileA = dir.filePath("a.par");
        fileB = dir.filePath("b.par");
        ParameterTable table = state.table;
        writeParameterFile(fileA, table, state.firmwareLevel);
        for (const auto& [cmd, value] : changes)
            table.store(cmd, ParameterValue::number(value));
        writeParameterFile(fileB, table, state.firmwareLevel);
    }
    frmCompare& openCompare()
    {
        compare = std::make_unique<frmCompare>(*com, window, dialogs);
        compare->setLabelSource([](int cmd) { return cmd == 2110 ? QStringLiteral("mm Target") : QString(); });
        compare->setValueSink([this](QString& value, int index) { shown << qMakePair(index, value); });
        compare->setSaveWindowOpener([this] {
            ++saveQuestions;
            if (saveQuestion)
                saveQuestion();
        });
        QObject::connect(find<QProgressBar>("ProgressBar2"), &QProgressBar::valueChanged,
                         [this](int v) { progressPeak = std::max(progressPeak, v); });
        return *compare;
    }
    template <typename T> T* find(const char* name) const { return compare->findChild<T*>(name); }
    QTableWidget* table() const { return find<QTableWidget>("tblCompare"); }
    // Compares the drive (or file A) with file B.
    void run(bool drive, bool drivesOwn = false)
    {
        (drive ? find<QRadioButton>("optCompareDrive") : find<QRadioButton>("optCompareFileA"))->setChecked(true);
        find<QLineEdit>("txtCompareFileA")->setText(fileA);
        find<QLineEdit>("txtCompareFileB")->setText(fileB);
        find<QCheckBox>("chkCompareDrivesOwn")->setChecked(drivesOwn);
        click(compare.get(), "cmdCompareRun");
    }
    QList<int> differing() const
    {
        QList<int> out;
        for (const ComparisonRow& row : compare->rows())
            if (row.differs)
                out << row.cmd;
        return out;
    }
    int visibleRows() const
    {
        int n = 0;
        for (int r = 0; r < table()->rowCount(); ++r)
            n += table()->isRowHidden(r) ? 0 : 1;
        return n;
    }
    void untick(int cmd) const
    {
        for (int r = 0; r < table()->rowCount(); ++r)
            if (table()->item(r, 0)->text() == QString::number(cmd))
                table()->item(r, 0)->setCheckState(Qt::Unchecked);
    }
};

// Settings the drive takes, and values it keeps on its own (the actual position, a device value).
const QList<QPair<int, qint64>> kChanges = {{2110, 4321}, {2111, 77}, {2112, 55}, {2100, 999}, {2401, 3}};

} // namespace

class TestCompareWindow : public QObject {
    Q_OBJECT
private slots:
    // The drive's own values come in only when asked for; the filter leaves the differing rows;
    // differing rows are bold and ticked for a load (a drive-against-file comparison only).
    void comparesWithKnownDifferences_data()
    {
        QTest::addColumn<bool>("drive");
        QTest::addColumn<bool>("drivesOwn");
        QTest::addColumn<QList<int>>("differing");
        QTest::addColumn<int>("compared");
        const QList<int> settings{2110, 2111, 2112};
        // 79 axis and 38 device records; 4 axis values and all device values but the address
        // are the drive's own.
        QTest::newRow("drive against file") << true << false << settings << 76;
        QTest::newRow("drive against file, the drive's own too")
            << true << true << (QList<int>{2100} << settings << 2401) << 117;
        QTest::newRow("file against file") << false << false << settings << 76;
        QTest::newRow("file against file, the drive's own too")
            << false << true << (QList<int>{2100} << settings << 2401) << 117;
    }
    void comparesWithKnownDifferences()
    {
        QFETCH(bool, drive);
        QFETCH(bool, drivesOwn);
        QFETCH(QList<int>, differing);
        QFETCH(int, compared);
        CompareRig r(kChanges);
        const qint64 target = r.drive.model().memory().value(1, 10);
        r.openCompare();
        r.run(drive, drivesOwn);
        QVERIFY2(r.dialogs.shown.isEmpty(), qPrintable(r.dialogs.texts().join('|')));
        QCOMPARE(r.differing(), differing);
        QCOMPARE(r.table()->rowCount(), compared);
        QCOMPARE(r.find<QLabel>("lblCompareSummary")->text(),
                 QStringLiteral("%1 parameters compared, %2 differ.").arg(compared).arg(differing.size()));
        // Row of 2110: number, label with unit, both values in display form, bold.
        const int row = drivesOwn ? 10 : 9;
        QTableWidget* t = r.table();
        QCOMPARE(t->item(row, 0)->text(), QStringLiteral("2110"));
        QCOMPARE(t->item(row, 1)->text(), QStringLiteral("Target [mm]"));
        QCOMPARE(t->item(row, 2)->text(), formatValue(QString::number(target), 2110, 2).value());
        QCOMPARE(t->item(row, 3)->text(), QStringLiteral("43,21"));
        QVERIFY(t->item(row, 3)->font().bold() && !t->item(row + 3, 3)->font().bold());
        // Ticked: the differing rows a load sends (the actual position too, not a device value).
        QCOMPARE(r.compare->tickedCommands(), drive ? differing.mid(0, drivesOwn ? 4 : 3) : QList<int>());
        QCOMPARE(r.find<QAbstractButton>("cmdCompareLoad")->isEnabled(), drive);

        QTest::mouseClick(r.find<QCheckBox>("chkCompareDifferences"), Qt::LeftButton);
        QCOMPARE(r.visibleRows(), differing.size());
        QTest::mouseClick(r.find<QCheckBox>("chkCompareDifferences"), Qt::LeftButton);
        QCOMPARE(r.visibleRows(), compared);
    }

    // Two files written for the other level class than the drive's compare with each other.
    void twoFilesOfTheOtherLevelCompare()
    {
        CompareRig r({});
        handwritten::put(r.fileA, handwritten::file(handwritten::shortAxis, {{10, "100"}, {11, "5"}}));
        handwritten::put(r.fileB, handwritten::file(handwritten::shortAxis, {{10, "250"}, {11, "5"}}));
        r.openCompare();
        r.run(false);
        QVERIFY(r.dialogs.shown.isEmpty() && r.compare->rows().size() == 53);
        QCOMPARE(r.differing(), QList<int>{2110});
    }

    // Only the ticked rows go out, in file order, each as the file holds it; then the save
    // question (137, a second unserved, 138). The window compares again: the loaded rows agree.
    void loadsTheTickedRows_data() { addAnswerPoints(); }
    void loadsTheTickedRows()
    {
        QFETCH(AnswerPoint, point);
        CompareRig r(kChanges);
        frmCompare& w = r.openCompare();
        r.run(true);
        r.untick(2111);
        std::unique_ptr<frmSave> save;
        double blockedBefore = 0;
        r.saveQuestion = [&] {
            save = std::make_unique<frmSave>(*r.com, r.window);
            blockedBefore = r.clock.blockedSeconds();
            r.click(save.get(), "cmdComand1_0");
            r.click(save.get(), "cmdComand1_1");
        };
        InputInsideAnswer inject(r.clock, r.port);
        const qsizetype before = r.port.written().size();
        inject.arm(point, [&] { r.click(&w, "cmdCompareLoad"); });
        r.clock.advance(10);
        QVERIFY(inject.heldUntilTheAnswerWasIn());
        const auto writes = r.writes(before);
        QCOMPARE(writes, (QList<QPair<int, QByteArray>>{{2110, "4321"}, {2112, "55"}, {2152, "137"}, {2152, "138"}}));
        QVERIFY(r.clock.blockedSeconds() - blockedBefore >= 1.0);
        QCOMPARE(r.saveQuestions, 1);
        QVERIFY2(r.dialogs.shown.isEmpty(), qPrintable(r.dialogs.texts().join('|')));
        QCOMPARE(r.drive.model().memory().value(1, 10), 4321);
        QCOMPARE(r.shown, (QList<QPair<int, QString>>{{2110, "4321"}, {2112, "55"}}));
        QCOMPARE(r.differing(), QList<int>{2111});
        QCOMPARE(r.find<QLineEdit>("txtCompareHelp")->text(), QStringLiteral("2 values were written to the drive."));
        QVERIFY(r.progressPeak == 2 && r.find<QProgressBar>("ProgressBar2")->value() == 0);
        QVERIFY(!r.state.transferActive && !r.state.fileWindowActive && r.state.driveLoadActive == 0 && !w.busy());
        QVERIFY(r.state.comOnline == 1 && r.com->timerReceive().isEnabled());
    }

    // Stopped or closed while the drive owes the answer to 2110: the load ends after that record.
    // Stopped, the link is offline and the save question comes as after the file window's load;
    // closed, the user hears that the transfer was interrupted and nothing is asked.
    void aLoadThatEndsEarly_data()
    {
        QTest::addColumn<bool>("close");
        QTest::addColumn<QString>("message");
        QTest::newRow("stop") << false << "";
        QTest::newRow("close") << true << "msg11";
    }
    void aLoadThatEndsEarly()
    {
        QFETCH(bool, close);
        CompareRig r(kChanges);
        frmCompare& w = r.openCompare();
        r.run(true);
        InputInsideAnswer inject(r.clock, r.port);
        inject.arm(
            AnswerPoint::Half, [&] { close ? w.reject() : r.click(&w, "cmdCompareStop"); },
            [](const QByteArray& frame) { return !isPoll(frame) && frame.mid(4, 4) == "2110"; });
        const qsizetype before = r.port.written().size();
        r.click(&w, "cmdCompareLoad");
        r.clock.advance(3);
        QCOMPARE(r.writtenCommands(before), QList<int>{2110});
        QTEST(r.dialogs.texts().join('|'), "message");
        QCOMPARE(r.saveQuestions, close ? 0 : 1);
        QVERIFY(r.state.comOnline == 0 && !r.com->timerReceive().isEnabled());
        QVERIFY(!r.state.transferActive && r.state.driveLoadActive == 0 && !w.busy());
    }

    // What the window refuses sends nothing: nothing ticked, a drive gone offline, and a file B
    // the file window refuses too, with its messages. A refused file leaves no rows.
    void refusesAndSendsNothing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QByteArray>("fileB"); // empty: the file as written
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("rows");
        const QByteArray good = handwritten::file(handwritten::longAxis, {{10, "100"}});
        QTest::newRow("nothing ticked") << "untick" << QByteArray() << "No row is ticked." << 76;
        QTest::newRow("offline") << "offline" << QByteArray() << "The drive is not connected." << 76;
        QTest::newRow("file cut") << "" << good.left(good.indexOf("\"P20\"")) << "msg3" << 0;
        QTest::newRow("no parameter file") << "" << QByteArray("\"Parameter X\"\r\n") << "msg9" << 0;
        QTest::newRow("file of the other level")
            << "" << handwritten::file(handwritten::shortAxis)
            << "msg9\n(written for a drive of the other level: 55 against 79 axis records)" << 0;
        QTest::newRow("a value that is no number")
            << "" << handwritten::file(handwritten::longAxis, {{13, "eighty"}})
            << "msg9\n(line 19, record P13, value \"eighty\": not a number; nothing was loaded)" << 0;
        QTest::newRow("no such file") << "missing" << QByteArray() << "msg6" << 0;
    }
    void refusesAndSendsNothing()
    {
        QFETCH(QString, how);
        QFETCH(QByteArray, fileB);
        CompareRig r(kChanges);
        if (!fileB.isEmpty())
            handwritten::put(r.fileB, fileB);
        if (how == "missing")
            QFile::remove(r.fileB);
        frmCompare& w = r.openCompare();
        r.run(true);
        if (how == "untick")
            for (const int cmd : {2110, 2111, 2112})
                r.untick(cmd);
        if (how == "offline")
            r.com->goOffline(); // the link dropped after the comparison
        const qsizetype before = r.port.written().size();
        w.cmdCompareLoad_Click();
        r.clock.advance(1);
        QTEST(r.dialogs.texts().join('|'), "message");
        QTEST(int(r.table()->rowCount()), "rows");
        QVERIFY(r.writes(before).isEmpty());
        QCOMPARE(r.saveQuestions, 0);
        if (r.table()->rowCount() == 0)
            QVERIFY(r.find<QLabel>("lblCompareSummary")->text().isEmpty() &&
                    !r.find<QAbstractButton>("cmdCompareLoad")->isEnabled());
        QVERIFY(!r.state.transferActive && !r.state.fileWindowActive && !w.busy());
    }
};

QTEST_MAIN(TestCompareWindow)
#include "test_compare_window.moc"
