// A technician's session end to end: the program's own assembly on the real clock and serial port
// against the paced simulator program on a pseudo-terminal, input as the window system delivers
// it at a random moment of the live polling, the wire checked in the trace the program writes.
#include "frame.h"
#include "ini_settings_store.h"
#include "numeric_text.h"
#include "qt_clock.h"
#include "qt_serial_port.h"
#include "recording_dialogs.h"
#include "shared_state.h"
#include "sim_process.h"
#include "tool_assembly.h"
#include "window_system_input.h"
#include "wire_trace.h"

#include <QAbstractButton>
#include <QDateTime>
#include <QDir>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace kinetra;
using namespace kinetra::test;

namespace {

// Drives of this level read faster (fewer axis parameters); the level is not the point here.
constexpr qint16 kLevel = 523;

// A frame the tool sent and what came back before its next frame.
struct Exchange {
    QByteArray frame;
    QByteArray answer;
    int cmd() const { return frame.mid(4, 4).toInt(); }
    bool poll() const { return frame.endsWith(ctl::ENQ); }
};

// The trace's lines ("yyyy-MM-dd hh:mm:ss.zzz -> frame", "... <- answer"), the control
// characters of frames and answers named as the trace names them.
QList<Exchange> exchangesIn(const QByteArray& log)
{
    QList<Exchange> out;
    for (const QByteArray& line : log.split('\n')) {
        QByteArray bytes = line.mid(27);
        for (const char c : {ctl::EOT, ctl::STX, ctl::ETX, ctl::ENQ, ctl::ACK, ctl::NAK})
            bytes.replace(describeControlCharacters(QByteArray(1, c)), QByteArray(1, c));
        if (line.mid(23, 4) == " -> ")
            out << Exchange{bytes, {}};
        else if (line.mid(23, 4) == " <- " && !out.isEmpty())
            out.last().answer += bytes;
    }
    return out;
}

// The technician brings the widget's tab to the front and acts at a random moment of the poll cycle.
void soon(QWidget* widget, std::function<void()> input)
{
    for (QWidget* w = widget; w && w->parentWidget(); w = w->parentWidget())
        if (auto* tabs = qobject_cast<QTabWidget*>(w->parentWidget()->parentWidget()))
            if (const int page = tabs->indexOf(w); page >= 0)
                tabs->setCurrentIndex(page);
    QTimer::singleShot(QRandomGenerator::global()->bounded(80), widget, std::move(input));
}

} // namespace

class TestWindowOnTheLine : public QObject {
    Q_OBJECT

    sim::SimProcess sim_;
    QTemporaryDir files_;
    std::unique_ptr<IniSettingsStore> settings_;
    std::unique_ptr<QtSerialPort> port_;
    QtClock clock_;
    SharedState state_;
    RecordingDialogs dialogs_;
    std::unique_ptr<ToolAssembly> tool_;
    qsizetype mark_ = 0;

    QList<Exchange> exchangesSinceMark()
    {
        QFile file(WireTrace::defaultPath());
        const QList<Exchange> all = exchangesIn(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
        return all.mid(std::exchange(mark_, all.size()));
    }
    // The writes since the mark with their answers: "2119=55 <ACK>".
    QStringList writesSinceMark()
    {
        QStringList out;
        for (const Exchange& x : exchangesSinceMark())
            if (!x.poll())
                out << QString::fromLatin1(x.frame.mid(4, 4) + '=' + x.frame.mid(8, x.frame.indexOf(ctl::ETX) - 8) +
                                           ' ' + describeControlCharacters(x.answer));
        return out;
    }
    bool polling() { return tool_->com().timerReceive().isEnabled() && state_.paramsLoaded == 1; }
    QString text(int cmd) { return state_.table.value(cmd).toText(); }

private slots:
    void initTestCase()
    {
        QVERIFY2(sim_.start(QStringLiteral(KINETRA_DRIVE_SIM),
                            {QStringLiteral("--software-version"), QString::number(kLevel)}),
                 qPrintable(sim_.output()));
        // The trace goes to the user's data folder: this test's own.
        qputenv("XDG_DATA_HOME", files_.filePath(QStringLiteral("data")).toLocal8Bit());
        settings_ = std::make_unique<IniSettingsStore>(sim_.settingsDir());
        for (const char* key : {"System/Language", "System/Expert", "Trace/Enabled"})
            settings_->setValue(kApplicationName, QString::fromLatin1(key).section('/', 0, 0),
                                QString::fromLatin1(key).section('/', 1), QStringLiteral("1"));
        // The language files lie beside the program.
        for (const QFileInfo& f : QDir(QStringLiteral(KINETRA_LANGUAGES)).entryInfoList(QDir::Files))
            QVERIFY(QFile::copy(f.filePath(), files_.filePath(f.fileName())));
        port_ = std::make_unique<QtSerialPort>(*settings_);
        tool_ = std::make_unique<ToolAssembly>(state_, *settings_, *port_, clock_, dialogs_, files_.path());
        tool_->window().Form_Load();
        tool_->window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&tool_->window()));
    }
    // Ended as a trainee ends it, the simulator gives its COM number back.
    void cleanupTestCase()
    {
        clock_.setQuitting();
        tool_.reset();
        sim_.process().terminate();
        QVERIFY(sim_.process().waitForFinished(5000));
        QCOMPARE(sim_.process().exitCode(), 0);
        QCOMPARE(settings_->value(kApplicationName, QStringLiteral("Ports"), QStringLiteral("COM1")), QString());
    }

    // Connect: the search finds the drive on COM1, every parameter of its level is polled once
    // and lands in the table, then the live polling runs.
    void connectReadsTheDriveIntoTheTable()
    {
        auto* connectButton = tool_->window().findChild<QAbstractButton*>(QStringLiteral("cmdConnect"));
        soon(connectButton, [connectButton] { queueClick(connectButton); });
        QTRY_VERIFY_WITH_TIMEOUT(polling(), 30000);
        QCOMPARE(state_.firmwareLevel, kLevel);
        QVERIFY2(dialogs_.shown.isEmpty(), qPrintable(dialogs_.texts().join('|')));

        const QList<Exchange> xs = exchangesSinceMark();
        QList<int> expected{2000};
        for (int cmd = 2400; cmd <= 2448; ++cmd)
            if (isFullReadDeviceParameter(cmd))
                expected << cmd;
        for (int cmd = 2100; cmd <= 2199; ++cmd)
            if (isFullReadAxisParameter(cmd, kLevel))
                expected << cmd;
        QList<int> polled;
        for (const Exchange& x : xs.first(std::min(xs.size(), expected.size())))
            polled << x.cmd();
        QCOMPARE(polled, expected);
        // What the live polling has read since may have changed; the rest is as the drive
        // answered in the full read.
        QSet<int> since;
        for (const Exchange& x : xs.mid(expected.size()))
            since += x.cmd() == 2170 ? QSet<int>{2170, 2180, 2182, 2183, 2184} : QSet<int>{x.cmd()};
        for (const Exchange& x : xs.mid(1, expected.size() - 1))
            if (!since.contains(x.cmd()))
                QCOMPARE(text(x.cmd()), frameValue(x.answer, kRawChars));
    }

    // Typed into a box and committed with Enter while the polling runs: the value the drive
    // takes goes out once and stays; the one it refuses is reported once, the box and table
    // get the old value back, and the live polling stops until the next command.
    void editsAreCommittedBetweenPolls_data()
    {
        QTest::addColumn<int>("cmd");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("taken");
        QTest::newRow("taken") << 2119 << "55" << true;
        QTest::newRow("out of the drive's range") << 2145 << "500" << false;
    }
    void editsAreCommittedBetweenPolls()
    {
        QFETCH(int, cmd);
        QFETCH(QString, typed);
        QFETCH(bool, taken);
        auto* box = tool_->window().findChild<QLineEdit*>(QStringLiteral("txtPara_%1").arg(cmd));
        QVERIFY(box);
        const QString before = text(cmd);
        const QString shownBefore = box->text();
        dialogs_.shown.clear();
        soon(box, [box, typed] { queueEntry(box, typed); });
        QTRY_VERIFY_WITH_TIMEOUT(
            (text(cmd) == typed || !dialogs_.shown.isEmpty()) && !tool_->com().transactionRunning(), 10000);
        QCOMPARE(writesSinceMark(),
                 QStringList{QStringLiteral("%1=%2 <%3>").arg(cmd).arg(typed, taken ? "ACK" : "NAK")});
        QCOMPARE(text(cmd), taken ? typed : before);
        QCOMPARE(box->text(), taken ? typed : shownBefore);
        QCOMPARE(dialogs_.texts(), taken ? QStringList() : QStringList{state_.message(75)});
        QCOMPARE(state_.comOnline, 1);
        QCOMPARE(tool_->com().timerReceive().isEnabled(), taken);
    }

    // The value taken above is marked as not saved in the drive, on the save button and in the
    // status bar, until the technician writes the value read back.
    void theValueReadGoesBackIntoTheDrive()
    {
        auto* marker = tool_->window().findChild<QWidget*>(QStringLiteral("lblUnsaved"));
        auto* revert = tool_->window().findChild<QAbstractButton*>(QStringLiteral("cmdRevert"));
        QVERIFY(marker && revert && marker->isVisible() && revert->isVisible());
        QVERIFY(tool_->window().commandButton(138)->toolTip().endsWith(state_.tool(tooltext::UnsavedHint)));
        const QString read = state_.unsaved.valueRead(2119).toText().trimmed();
        dialogs_.shown.clear();
        dialogs_.answers = {MessageAnswer::Yes};
        soon(revert, [revert] { queueClick(revert); });
        QTRY_VERIFY_WITH_TIMEOUT(dialogs_.shown.size() == 2 && !tool_->com().transactionRunning(), 10000);
        QCOMPARE(writesSinceMark(), QStringList{QStringLiteral("2119=%1 <ACK>").arg(read)});
        QCOMPARE(dialogs_.shown.last().text, state_.tool(tooltext::RevertDone));
        QVERIFY(!marker->isVisible() && !revert->isVisible());
    }

    // A command button on the axis page: the step goes out, the polling runs again and shows
    // the axis moved by the step width.
    void aCommandButtonMovesTheAxis()
    {
        const qint64 from = text(2170).toLongLong();
        const qint64 width = text(2116).toLongLong();
        QVERIFY(width != 0);
        dialogs_.shown.clear();
        soon(tool_->window().commandButton(130), [this] { queueClick(tool_->window().commandButton(130)); });
        QTRY_VERIFY_WITH_TIMEOUT(polling() && text(2170).toLongLong() == from + width, 10000);
        QCOMPARE(writesSinceMark(), QStringList{QStringLiteral("2152=130 <ACK>")});
        QVERIFY(dialogs_.shown.isEmpty());
    }

    // The trace holds every frame and answer of the session, stamped; no frame went out before
    // the one before it was answered.
    void theTraceHoldsTheWholeSession()
    {
        QFile file(WireTrace::defaultPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray log = file.readAll();
        QVERIFY(QDateTime::fromString(QString::fromLatin1(log.left(23)), QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"))
                    .isValid());
        QCOMPARE(log.mid(23, log.indexOf('\n') - 23), QByteArray(" -- trace started"));
        const QList<Exchange> xs = exchangesIn(log);
        QCOMPARE(xs.first().frame, pollFrame(11, 2000));
        for (qsizetype i = 0; i + 1 < xs.size(); ++i)
            QVERIFY2(!xs[i].answer.isEmpty(), xs[i].frame.toPercentEncoding().constData());
    }
};

QTEST_MAIN(TestWindowOnTheLine)
#include "test_window_on_the_line.moc"
