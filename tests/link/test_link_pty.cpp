#include "drive_com.h"
#include "frame.h"
#include "memory_settings_store.h"
#include "pty_pair.h"
#include "qt_clock.h"
#include "qt_serial_port.h"
#include "recording_dialogs.h"
#include "recording_window.h"
#include "shared_state.h"
#include "value_display.h"
#include "wire_trace.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <ctime>
#include <thread>

using namespace kinetra;
using namespace kinetra::test;

namespace {

// A drive on the far end of a pseudo-terminal, in a thread of its own: it answers every poll
// with a value made from the command number, and can hang up after a number of polls.
class PtyDrive {
public:
    explicit PtyDrive(int hangUpAfter = -1) : hangUpAfter_(hangUpAfter)
    {
        thread_ = std::thread([this] { run(); });
    }
    ~PtyDrive()
    {
        stop_ = true;
        thread_.join();
    }
    QString devicePath() const { return pty_.devicePath(); }
    int polls() const { return polls_; }

    static QByteArray valueFor(int cmd)
    {
        if (cmd == 2170) // the status block: the actual position is its third field
            return QByteArray("         1    131075      -170         5         0");
        return cmd == 2402 ? "540" : QByteArray::number(cmd % 97 - 40);
    }

private:
    void run()
    {
        QByteArray partial;
        while (!stop_) {
            for (const char c : pty_.read(20)) {
                if (c == ctl::EOT)
                    partial.clear();
                partial += c;
                if (c != ctl::ENQ)
                    continue;
                const QByteArray cmd = CheckComand(partial);
                if (++polls_ == hangUpAfter_) {
                    pty_.hangUp();
                    return;
                }
                pty_.write(answerFrame(cmd, valueFor(cmd.toInt())));
            }
        }
    }

    PtyPair pty_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<int> polls_{0};
    const int hangUpAfter_;
};

// The tool's side, with the real serial port and clock; COM1 is the pseudo-terminal.
struct RealLink {
    MemorySettingsStore store;
    QtClock clock;
    QtSerialPort port{store};
    SharedState state;
    RecordingWindow window;
    RecordingDialogs dialogs;
    ValueDisplay display{state, window};
    DriveCom com{state, port, clock, window, dialogs};

    explicit RealLink(const QString& device)
    {
        store.setValue(kApplicationName, QStringLiteral("Ports"), QStringLiteral("COM1"), device);
        com.setValueSink([this](QString& value, int index) { display.showValues(value, index); });
    }
    ~RealLink() { com.timerReceive().setEnabled(false); }
};

} // namespace

class TestLinkPty : public QObject {
    Q_OBJECT
private slots:
    void searchAndFullReadOverAPseudoTerminal()
    {
        PtyDrive drive;
        RealLink link(drive.devicePath());
        QTemporaryDir dir;
        WireTrace trace(dir.filePath(QStringLiteral("wire.log")));
        link.com.setWireObserver([&](bool sent, const QByteArray& b) { trace.record(sent, b); });

        link.com.cmdConnect();

        QVERIFY(link.dialogs.shown.isEmpty());
        QCOMPARE(link.state.comPort, 1);
        QCOMPARE(link.state.paramsLoaded, 1);
        QCOMPARE(int(link.state.firmwareLevel), 540);
        QVERIFY(link.com.timerReceive().isEnabled());
        link.com.timerReceive().setEnabled(false);
        for (int cmd = 2100; cmd <= 2199; ++cmd) {
            // 2170 is answered with a status block; its third field is the actual position.
            const QByteArray expected = cmd == 2170 ? QByteArray("-170") : PtyDrive::valueFor(cmd);
            QCOMPARE(link.state.table.value(cmd).toText().toLatin1(), expected);
        }
        for (const int cmd : {2400, 2403, 2410, 2419, 2425, 2448})
            QCOMPARE(link.state.table.value(cmd).toText().toLatin1(), PtyDrive::valueFor(cmd));
        QCOMPARE(drive.polls(), 1 + 38 + 100);

        QFile file(trace.path());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray log = file.readAll();
        QCOMPARE(log.count("<ENQ>"), qsizetype(drive.polls()));
        QVERIFY(log.contains(" <- <STX>2402540<ETX>"));
    }

    // The drive goes away in the middle of the full read: one error, the link offline, and a
    // program that waits without using the processor.
    void hangUpDuringTheFullRead()
    {
        PtyDrive drive(20);
        RealLink link(drive.devicePath());
        link.com.cmdConnect();
        QCOMPARE(link.dialogs.texts(), QStringList{QStringLiteral("Error")});
        QCOMPARE(link.state.comOnline, 0);
        QVERIFY(!link.port.isOpen());
        QVERIFY(!link.com.timerReceive().isEnabled());

        const std::clock_t before = std::clock();
        link.clock.waitServing(0.5);
        const double cpu = double(std::clock() - before) / CLOCKS_PER_SEC;
        QVERIFY2(cpu < 0.25, qPrintable(QStringLiteral("an idle wait used %1 s of processor time").arg(cpu)));
    }
};

QTEST_GUILESS_MAIN(TestLinkPty)
#include "test_link_pty.moc"
