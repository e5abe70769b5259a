// The fast link against the simulated drive on virtual time: the same frames and outcomes as the
// classic timing, only sooner where the answers are good, and the classic timing back after
// repeated trouble.

#include "drive_protocol.h"
#include "fast_link_settings.h"
#include "input_inside_answer.h"
#include "sim_link.h"
#include "window_rig.h"

#include <QCheckBox>
#include <QLabel>
#include <QTest>

Q_DECLARE_METATYPE(kinetra::sim::DriveFaults)

using namespace kinetra;
using namespace kinetra::test;

namespace {

constexpr double kChar = protocol::kCharacterSeconds;

// A drive that sends its answers a character at a time, as on the line.
sim::DriveConfig pacedDrive(const sim::DriveFaults& faults = {})
{
    sim::DriveConfig config;
    config.pacing = true;
    config.faults = faults;
    return config;
}

// What a short session of polls and writes came to (frames, outcomes, messages, the table's
// value) and how long it took on the line.
std::pair<QStringList, double> runSession(const sim::DriveConfig& config, bool fast)
{
    SimLink rig(config);
    rig.com->setFastLink(fast);
    QStringList r;
    const double start = rig.clock.now();
    const auto read = [&](int cmd) { r << QString::number(int(rig.com->ReadCom(cmd, protocol::kAddress))); };
    const auto write = [&](qint64 value) { r << QString::number(int(rig.com->WriteCom(protocol::kAddress, 2110, value))); };
    read(2402), read(2110), read(protocol::kStatusBlock), write(1234), read(2110), write(300);
    for (const QByteArray& frame : rig.port.writtenBytes())
        r << QString::fromLatin1(frame);
    return {r << rig.dialogs.texts() << rig.state.table.value(2110).toText(), rig.clock.now() - start};
}

} // namespace

class TestFastLink : public QObject {
    Q_OBJECT

private slots:
    // Whatever the drive does, the fast link writes the same frames and comes to the same
    // outcomes, messages and table; it is never slower, and sooner where the answers are good.
    void endsAsTheClassicLinkWould_data()
    {
        QTest::addColumn<sim::DriveFaults>("faults");
        // The fast link's time against the classic link's: at most this share of it.
        QTest::addColumn<double>("share");
        const auto with = [](auto set) {
            sim::DriveFaults f;
            set(f);
            return f;
        };
        QTest::newRow("good answers") << sim::DriveFaults{} << 0.6;
        QTest::newRow("slow to start answering") << with([](auto& f) { f.slowAnswer = 0.3; }) << 0.9;
        QTest::newRow("wrong check character") << with([](auto& f) { f.wrongCheck = true; }) << 1.0;
        QTest::newRow("stray characters before the answer") << with([](auto& f) { f.garbageBefore = 3; }) << 0.95;
        QTest::newRow("refuses writes") << with([](auto& f) { f.refuseWrites = true; }) << 0.6;
        QTest::newRow("silent for one parameter") << with([](auto& f) { f.silentFor = {2110}; }) << 1.0;
        QTest::newRow("silent") << with([](auto& f) { f.silent = true; }) << 1.0;
    }
    void endsAsTheClassicLinkWould()
    {
        QFETCH(sim::DriveFaults, faults);
        QFETCH(double, share);
        const auto [classic, classicSeconds] = runSession(pacedDrive(faults), false);
        const auto [fast, fastSeconds] = runSession(pacedDrive(faults), true);
        QCOMPARE(fast, classic);
        QVERIFY2(fastSeconds <= share * classicSeconds,
                 qPrintable(QString("fast %1 s, classic %2 s").arg(fastSeconds).arg(classicSeconds)));
    }

    // Each frame follows the end of the answer before it by the gap, no sooner and hardly later:
    // the wait ended the moment the answer was complete. After an accepted save or device
    // parameter 10 the drive still hears nothing for 3 s.
    void nextFrameFollowsTheCompleteAnswerByTheGap_data()
    {
        QTest::addColumn<double>("gapCharacters");
        QTest::newRow("default gap") << DriveCom::kFastLinkGapCharacters;
        QTest::newRow("a drive that needs a longer breath") << 6.0;
    }
    void nextFrameFollowsTheCompleteAnswerByTheGap()
    {
        QFETCH(double, gapCharacters);
        SimLink rig(pacedDrive());
        rig.com->setFastLink(true, gapCharacters);
        for (const int cmd : {2402, 2101, 2102})
            QCOMPARE(rig.com->ReadCom(cmd, protocol::kAddress), ReadOutcome::Match);
        QCOMPARE(rig.com->WriteCom(protocol::kAddress, 2110, 250), WriteOutcome::Accepted);
        QCOMPARE(rig.com->WriteCom(protocol::kAddress, 2110, 300), WriteOutcome::Accepted);
        QCOMPARE(rig.com->ReadCom(2110, protocol::kAddress), ReadOutcome::Match);
        QCOMPARE(rig.com->WriteCom(protocol::kAddress, protocol::kCommandWord, command::kSave), WriteOutcome::Accepted);
        QCOMPARE(rig.com->ReadCom(2110, protocol::kAddress), ReadOutcome::Match);
        QCOMPARE(rig.com->WriteCom(protocol::kAddress, 2410, 1), WriteOutcome::Accepted);
        QCOMPARE(rig.com->ReadCom(2410, protocol::kAddress), ReadOutcome::Match);
        const auto& w = rig.port.written();
        QCOMPARE(w.size(), 10);
        for (qsizetype i = 1; i < w.size(); ++i) {
            const double gap = w[i].time - w[i - 1].answerTo;
            const double least = i == 7 || i == 9 ? 3.0 : gapCharacters * kChar;
            QVERIFY2(!w[i].overlapping, qPrintable(QString("frame %1 overlaps an answer").arg(i)));
            QVERIFY2(gap >= least - 1e-9 && gap <= least + 0.0005,
                     qPrintable(QString("frame %1: %2 ms after the answer").arg(i).arg(gap * 1000)));
        }
    }

    // Trouble once in a full read is forgiven; more than once and the rest of the session runs
    // on the classic timing, said in the status bar and the wire trace. The read completes
    // either way with every value.
    void fallsBackToTheClassicTimingAfterRepeatedTrouble_data()
    {
        QTest::addColumn<int>("garbledAnswers");
        QTest::newRow("once") << 1;
        QTest::newRow("twice") << 2;
    }
    void fallsBackToTheClassicTimingAfterRepeatedTrouble()
    {
        QFETCH(int, garbledAnswers);
        SimLink rig(pacedDrive());
        rig.com->setFastLink(true);
        QByteArrayList notes;
        rig.com->setTraceNote([&](const QByteArray& text) { notes << text; });
        // Answers 20, 21, ... of the read come with a wrong check character, one at a time.
        int polls = 0;
        rig.port.setWriteObserver([&](const FakeSerialPort::Written&) {
            ++polls;
            rig.drive.faults().wrongCheck = polls >= 20 && polls < 20 + garbledAnswers;
        });
        QCOMPARE(rig.com->Connect(), FullReadOutcome::Complete);
        rig.com->timerReceive().setEnabled(false);
        rig.port.setWriteObserver({});
        const bool fellBack = garbledAnswers > 1;
        QCOMPARE(rig.com->fastLink(), !fellBack);
        QCOMPARE(rig.com->fastLinkFellBack(), fellBack);
        QCOMPARE(rig.window.statusText.value(4), fellBack ? kFastLinkFellBack : QString());
        QCOMPARE(notes.size(), fellBack ? 1 : 0);
        QVERIFY(rig.dialogs.shown.isEmpty());
        QCOMPARE(rig.state.paramsLoaded, 1);
        // After the fall-back a poll's answer is followed by the classic settle again.
        const auto& w = rig.port.written();
        const double lastGap = w.last().time - w[w.size() - 2].answerTo;
        QVERIFY2(fellBack ? lastGap > 0.02 : lastGap < 0.005, qPrintable(QString::number(lastGap)));
    }

    // The tools panel's check box, ticked while a poll's answer is arriving: stored, handed to
    // the link, shown in the status bar; a stored setting is the link's timing from the start.
    void theWindowsCheckBoxSwitchesTheLink_data() { addAnswerPoints(); }
    void theWindowsCheckBoxSwitchesTheLink()
    {
        QFETCH(AnswerPoint, point);
        WindowRig r;
        r.started().connected();
        QVERIFY(!r.com->fastLink());
        auto* box = r.find<QCheckBox>("chkFastLink");
        QVERIFY(box && box->isEnabled());
        QCOMPARE(box->accessibleName(), QStringLiteral("Fast link"));
        r.window->cmdTool_Click();
        InputInsideAnswer input(r.clock, r.port);
        input.arm(point, [box] { QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center()); });
        r.clock.advance(0.3);
        QVERIFY(input.heldUntilTheAnswerWasIn());
        QVERIFY(r.com->fastLink());
        QCOMPARE(r.stored(kFastLinkKey), QStringLiteral("1"));
        QCOMPARE(r.find<QLabel>("StatusBar1_4")->text(), kFastLinkOn);
        QCOMPARE(r.state.comOnline, 1);

        WindowRig again({}, {{kFastLinkKey, "1"}, {kFastLinkGapKey, "garbage"}});
        again.started();
        QVERIFY(again.com->fastLink());
        QVERIFY(again.find<QCheckBox>("chkFastLink")->isChecked());
    }
};

QTEST_MAIN(TestFastLink)
#include "test_fast_link.moc"
