// The marker from a value the drive took until the save's ACK, and the revert to the values read.
#include "window_rig.h"

#include "../link/link_rig.h"
#include "drive_load.h"
#include "drive_workflows.h"
#include "input_inside_answer.h"
#include "parameter_file_writer.h"

using namespace kinetra;
using namespace kinetra::test;

// A load into the drive of what it holds, with 2110 changed.
static void load(LinkRig& r)
{
    QTemporaryDir dir;
    r.state.table.store(2110, ParameterValue::number(123));
    writeParameterFile(dir.filePath("a.par"), r.state.table, r.state.firmwareLevel);
    TransferScope scope(r.state, TransferScope::Target::Drive, TransferScope::Runner::Headless);
    loadIntoDrive(*r.com, dir.filePath("a.par"), {});
}

class TestUnsavedValues : public QObject {
    Q_OBJECT
private slots:
    // From a value taken until the save's ACK, across a new read; a code to 2152 is no value.
    void markerFromATakenValueUntilTheSave_data()
    {
        QTest::addColumn<Setup>("change");
        QTest::addColumn<Setup>("atSave");
        QTest::addColumn<bool>("kept");
        const Setup commit = [](LinkRig& r) { commitValue(*r.com, 2110, ParameterValue::text("250")); };
        const Setup none = [](LinkRig&) {};
        QTest::newRow("commit, saved") << commit << none << false;
        QTest::newRow("load, saved") << Setup(load) << none << false;
        QTest::newRow("137 refused") << commit << script({says("\x15")}) << true;
        QTest::newRow("138 refused") << commit << script({std::nullopt, says("\x15")}) << true;
        QTest::newRow("138 silent") << commit << script({std::nullopt, Pieces{}, Pieces{}, Pieces{}}) << true;
        QTest::newRow("a command") << Setup([](LinkRig& r) { r.com->WriteCom(11, 2152, 129); }) << none << false;
    }
    void markerFromATakenValueUntilTheSave()
    {
        QFETCH(Setup, change);
        QFETCH(Setup, atSave);
        QFETCH(bool, kept);
        LinkRig r;
        r.com->Connect();
        change(r);
        r.com->Connect();
        QCOMPARE(r.state.unsaved.changed(r.state.table), QList<int>());
        QCOMPARE(r.state.unsaved.pending(), QTest::currentDataTag() != QByteArray("a command"));
        r.com->timerReceive().setEnabled(false);
        atSave(r);
        saveParameters(*r.com);
        QCOMPARE(r.state.unsaved.pending(), kept);
    }

    // The revert and its question's Yes land inside a poll's answer; the values read go back by
    // number (taken over below level 500), and the marker goes unless refused. Stopped, none go.
    void revertInTheWindow_data()
    {
        QTest::addColumn<AnswerPoint>("point");
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("refusing");
        QTest::newRow("first character in") << AnswerPoint::FirstCharacter << 540 << false;
        QTest::newRow("half in, level 499") << AnswerPoint::Half << 499 << false;
        QTest::newRow("all but the last in, refused") << AnswerPoint::LastCharacter << 540 << true;
    }
    void revertInTheWindow()
    {
        QFETCH(AnswerPoint, point);
        QFETCH(int, level);
        QFETCH(bool, refusing);
        WindowRig r(WindowRig::paced(level));
        r.started().connected();
        const ParameterTable read = r.state.table;
        const QString shown = r.box(2110)->text();
        r.type(2110, "3");
        r.type(2106, "9");
        QVERIFY(!r.hidden("lblUnsaved") && !r.hidden("cmdRevert"));
        QVERIFY(r.button(138)->toolTip().endsWith(r.state.tool(tooltext::UnsavedHint)));
        const auto from = r.mark();
        bool yesHeld = false; // the question's Yes, as its box would take it while the polling goes on
        r.dialogs.answers = {MessageAnswer::Yes};
        r.dialogs.onShow = [&] {
            if (r.dialogs.shown.size() > 1)
                return;
            InputInsideAnswer yes(r.clock, r.port);
            yes.arm(point, [] {});
            r.clock.advance(0.5);
            yesHeld = yes.heldUntilTheAnswerWasIn();
            r.drive.faults().refuseWrites = refusing;
        };
        InputInsideAnswer click(r.clock, r.port);
        click.arm(point, [&] { QTest::mouseClick(r.find<QAbstractButton>("cmdRevert"), Qt::LeftButton); });
        r.clock.advance(3);
        QVERIFY(click.heldUntilTheAnswerWasIn() && yesHeld && r.nothingOverlapped());
        QCOMPARE(r.dialogs.shown[0].defaultAnswer, MessageAnswer::No);
        QList<QByteArray> written = r.port.writtenBytes().mid(from), expected;
        written.removeIf(isPoll);
        for (const int cmd : {2106, 2110})
            expected << writeFrame(11, cmd, read.value(cmd).toText().toLatin1())
                     << (level < kTakeOverLevel ? writeFrame(11, 2152, "137") : QByteArray());
        expected.removeAll(QByteArray());
        QCOMPARE(written, expected);
        QCOMPARE(r.dialogs.texts().first(), QStringLiteral("Write the 2 changed values back as they were read?"));
        QCOMPARE(r.dialogs.texts().last(),
                 refusing ? "2 values could not be written back." : r.state.tool(tooltext::RevertDone));
        QCOMPARE(r.hidden("lblUnsaved") && r.box(2110)->text() == shown, !refusing);

        r.com->cmdStop();
        const auto stopped = r.mark();
        r.window->cmdRevert_Click();
        QCOMPARE(r.mark(), stopped);
        QCOMPARE(r.dialogs.texts().last(), r.state.tool(tooltext::RevertOffline));
    }
};

QTEST_MAIN(TestUnsavedValues)
#include "test_unsaved_values.moc"
