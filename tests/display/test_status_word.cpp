// The status word: status texts, lamps, the diagnostics page's messages, the canOPEN state and
// the chart's automatic stop.
#include "display_rig.h"
#include "status_word.h"

#include <QTest>

using namespace kinetra;
using namespace kinetra::test;

namespace {

constexpr qint64 kClosed = 8192; // emergency-stop circuit closed

} // namespace

class TestStatusWord : public QObject {
    Q_OBJECT
private slots:
    void textsAndLamps_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<qint64>("word");
        QTest::addColumn<QString>("status");  // txtPara 2180, beside the tabs
        QTest::addColumn<QString>("status1"); // txtPara1 2180, on the diagnostics page
        QTest::addColumn<QList<int>>("lit");
        const auto row = [](const char* name, int level, qint64 word, const char* status, const char* status1,
                            const QList<int>& lit) {
            QTest::newRow(name) << level << word << QString(status) << QString(status1) << lit;
        };
        row("later state text wins", 400, 5, "msg50", "msg50", {});
        row("all errors above 530", 531, 240 + kClosed, "msg77", "msg77", {});
        row("all errors at 530", 530, 240 + kClosed, "msg55", "msg55", {});
        row("error after state", 400, 1 + 32, "msg53", "msg53", {});
        row("512 below 500", 400, 512, "", "", {1, 6});
        row("512 from 500", 500, 512 + kClosed, "", "", {2, 7});
        row("1024 below 500", 400, 1024, "", "", {2, 7});
        row("1024 from 500", 500, 1024 + kClosed, "", "", {1, 6});
        row("input 1", 500, 256 + kClosed, "", "", {0, 5});
        row("output on both lamps", 500, 4096 + kClosed, "", "", {3, 8});
        row("emergency stop open", 500, 4, "msg78", "msg50", {4});
        row("emergency stop ignored below 500", 499, 0, "", "", {});
        row("high bits still a status word", 540, qint64(0x80000000) + 4 + kClosed, "msg50", "msg50", {});
        row("negative text as 32 bits", 540, -1, "msg77", "msg77", {0, 1, 2, 3, 5, 6, 7, 8});
    }
    void textsAndLamps()
    {
        QFETCH(int, level);
        QFETCH(qint64, word);
        QFETCH(QString, status);
        QFETCH(QString, status1);
        QFETCH(QList<int>, lit);
        DisplayRig r;
        r.state.firmwareLevel = static_cast<qint16>(level);
        r.show(word, 2180);
        QCOMPARE(r.text(el::txtPara(2180)), status);
        QCOMPARE(r.text(el::txtPara1(2180)), status1);
        QCOMPARE(r.litLamps(), lit);
    }

    // What the status box ends with, as a message number; the CLI's monitor prints the same.
    void statusBoxMessageOfAWord_data()
    {
        QTest::addColumn<qint64>("word");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("message"); // -1: no text
        QTest::newRow("later bit wins") << qint64(5) << 400 << 50;
        QTest::newRow("error over state") << qint64(4 + 64) << 400 << 54;
        QTest::newRow("all errors before 5.31") << qint64(240) + kClosed << 530 << 55;
        QTest::newRow("all errors from 5.31") << qint64(240) + kClosed << 531 << 77;
        QTest::newRow("emergency stop open") << qint64(4) << 500 << 78;
        QTest::newRow("in position, circuit closed") << qint64(4) + kClosed << 540 << 50;
        QTest::newRow("nothing") << qint64(0) << 400 << -1;
        QTest::newRow("circuit closed, no state") << kClosed << 540 << -1;
    }
    void statusBoxMessageOfAWord()
    {
        QFETCH(qint64, word);
        QFETCH(int, level);
        QFETCH(int, message);
        QCOMPARE(statusBoxMessage(static_cast<quint32>(word), level).value_or(-1), message);
    }

    void lampsGoDarkAgain()
    {
        DisplayRig r;
        r.state.firmwareLevel = 540;
        r.show(256 + 512 + 1024 + 4096, 2180);
        QCOMPARE(r.litLamps(), (QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
        r.show(kClosed, 2180);
        QCOMPARE(r.litLamps(), QList<int>{});
    }

    void pageMessageStaysUntilItsBitsReturn()
    {
        DisplayRig r;
        r.show(qint64(1) << 27, 2180);
        QCOMPARE(r.text(el::txtPara(0)), QStringLiteral("msg57"));
        r.show(0, 2180);
        QCOMPARE(r.text(el::txtPara(0)), QStringLiteral("msg57"));
        r.show((qint64(1) << 25) + (qint64(1) << 28), 2180);
        QCOMPARE(r.text(el::txtPara(0)), QStringLiteral("msg58"));
    }

    void notANumberClearsTheTextsOnly()
    {
        DisplayRig r;
        r.state.firmwareLevel = 540;
        r.show(4096 + 1 + kClosed, 2180);
        bool called = false;
        r.drive.setOnStatusWord([&](qint64) { called = true; });
        for (const QString& bad : {QStringLiteral("-"), QStringLiteral("99999999999")})
            r.show(bad, 2180);
        QCOMPARE(r.text(el::txtPara(2180)), QString());
        QCOMPARE(r.litLamps(), (QList<int>{3, 8}));
        QVERIFY(!called);
    }

    void hexadecimalText_data()
    {
        QTest::addColumn<quint32>("word");
        QTest::addColumn<QString>("hex");
        QTest::newRow("21") << 21u << "00000015";
        QTest::newRow("all bits") << 0xFFFFFFFFu << "FFFFFFFF";
        QTest::newRow("canOPEN state") << 0x007F2004u << "007F2004";
    }
    void hexadecimalText()
    {
        QFETCH(quint32, word);
        QFETCH(QString, hex);
        QCOMPARE(statusWordHex(word), hex);
    }

    void canOpenStateFromTheStatusWord_data()
    {
        QTest::addColumn<int>("busType");
        QTest::addColumn<qint64>("word");
        QTest::addColumn<QString>("panel");
        QTest::newRow("init") << 1 << qint64(0x00002000) << "canOPEN  init";
        QTest::newRow("pre operate") << 1 << qint64(0x007F2004) << "canOPEN  pre operate";
        QTest::newRow("stopped") << 1 << qint64(0x00042000) << "canOPEN  stopt";
        QTest::newRow("operate") << 1 << qint64(0x02052000) << "canOPEN  operate";
        QTest::newRow("unknown state") << 1 << qint64(0x00122000) << "before";
        QTest::newRow("not a canOPEN drive") << 2 << qint64(0x00052000) << "before";
    }
    void canOpenStateFromTheStatusWord()
    {
        QFETCH(int, busType);
        QFETCH(qint64, word);
        QFETCH(QString, panel);
        DisplayRig r;
        r.state.busType = busType;
        r.window.setStatusText(3, QStringLiteral("before"));
        r.window.setStatusBevel(3, Bevel::Raised);
        r.show(word, 2180);
        QCOMPARE(r.window.statusText.value(3), panel);
        QCOMPARE(r.window.statusBevel.value(3), Bevel::Raised);
    }

    // The endurance test needs bit value 4 of the whole word, high bits and all.
    void everyStatusWordReachesTheEnduranceTest()
    {
        DisplayRig r;
        QList<qint64> seen;
        r.drive.setOnStatusWord([&](qint64 word) { seen << word; });
        r.show(QStringLiteral("2147483652"), 2180);
        r.show(0x7F0004, 2180);
        QCOMPARE(seen, (QList<qint64>{2147483652LL, 0x7F0004}));
        QVERIFY(seen[0] & 4);
    }

    void autoStopsRecordingAtTheSixthInPositionWord()
    {
        DisplayRig r;
        r.extra.checked[RecordingDisplayWindow::key(el::chkReadStop())] = true;
        for (int i = 1; i <= 5; ++i) {
            r.show(4, 2180);
            QVERIFY2(r.state.chartRecording, qPrintable(QString::number(i)));
        }
        r.show(4 + 8192, 2180);
        QVERIFY(!r.state.chartRecording);
        r.show(4, 2180);
        QVERIFY(!r.state.chartRecording);
        r.show(0, 2180);
        QVERIFY(r.state.chartRecording);
        QCOMPARE(r.drive.status().autoStopCount(), 0);
    }

    void withoutAutoRecordingGoesOn()
    {
        DisplayRig r;
        for (int i = 0; i < 10; ++i)
            r.show(4, 2180);
        QVERIFY(r.state.chartRecording);
        r.state.chartRecording = false;
        r.show(0, 2180);
        QVERIFY(!r.state.chartRecording);
    }
};

QTEST_GUILESS_MAIN(TestStatusWord)
#include "test_status_word.moc"
