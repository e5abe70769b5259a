#include "drive_com.h"
#include "frame.h"
#include "link_presenter.h"
#include "memory_settings_store.h"
#include "pty_pair.h"
#include "qt_clock.h"
#include "qt_serial_port.h"
#include "recording_dialogs.h"
#include "recording_window.h"
#include "shared_state.h"
#include "value_display.h"
#include "wire_trace.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <thread>

using namespace kinetra;
using namespace kinetra::test;

namespace {

// A drive on the far end of a pseudo-terminal, in a thread of its own: it answers every poll
// with a value made from the command number. (Faults on a real line are the simulator's, in
// the hardening tests.)
class PtyDrive {
public:
    PtyDrive()
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
                ++polls_;
                pty_.write(answerFrame(cmd, valueFor(cmd.toInt())));
            }
        }
    }

    PtyPair pty_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<int> polls_{0};
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
    LinkPresenter presenter{state, window, dialogs};
    DriveCom com{state, port, clock, presenter};

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
        WireTrace trace(dir.filePath(QStringLiteral("trace/wire.log")));
        QVERIFY(trace.isOpen());
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

        // Every frame and answer in the trace, stamped and with its control characters named.
        QFile file(trace.path());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray log = file.readAll();
        QCOMPARE(log.count("<ENQ>"), qsizetype(drive.polls()));
        QVERIFY(log.contains(" <- <STX>2402540<ETX>"));
        const QList<QByteArray> lines = log.split('\n');
        QVERIFY(lines.at(0).endsWith("-- trace started"));
        QVERIFY(lines.at(1).endsWith(" -> <EOT>11<STX>2000<ENQ>"));
        const QByteArray answer = answerFrame("2000", PtyDrive::valueFor(2000));
        QVERIFY(lines.at(2).endsWith(" <- " + describeControlCharacters(answer)));
        const QString stamp = QString::fromLatin1(lines.at(1).left(23));
        QVERIFY(QDateTime::fromString(stamp, QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")).isValid());
    }
};

QTEST_GUILESS_MAIN(TestLinkPty)
#include "test_link_pty.moc"
