// A technician's session end to end: the program's own assembly (main window, link, live
// display, file window, wire trace) on the real clock and serial port, against the paced
// simulator program on a pseudo-terminal. Clicks and keys reach the window as the window system
// delivers them, at a random moment of the live polling. The wire is checked in the trace file
// the program itself writes.
#include "answer_text.h"
#include "frame.h"
#include "frm_file.h"
#include "ini_settings_store.h"
#include "numeric_text.h"
#include "parameter_file_layout.h"
#include "parameter_file_reader.h"
#include "qt_clock.h"
#include "qt_serial_port.h"
#include "recording_dialogs.h"
#include "shared_state.h"
#include "sim_process.h"
#include "tool_assembly.h"
#include "window_system_input.h"
#include "wire_trace.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QLineEdit>
#include <QPointer>
#include <QRandomGenerator>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

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

// The trace's lines ("yyyy-MM-dd hh:mm:ss.zzz -> frame", "... <- answer"), control characters
// named as the trace names them.
QList<Exchange> exchangesIn(const QByteArray& log)
{
    static const QList<std::pair<QByteArray, QByteArray>> names = [] {
        QList<std::pair<QByteArray, QByteArray>> out;
        for (int c = 0; c < 256; ++c)
            if (const QByteArray name = describeControlCharacters(QByteArray(1, char(c))); name.size() > 1)
                out.append({name, QByteArray(1, char(c))});
        return out;
    }();
    QList<Exchange> out;
    for (const QByteArray& line : log.split('\n')) {
        QByteArray bytes = line.mid(27);
        for (qsizetype at = bytes.indexOf('<'); at >= 0; at = bytes.indexOf('<', at + 1))
            for (const auto& [name, byte] : names)
                if (bytes.mid(at, name.size()) == name)
                    bytes.replace(at, name.size(), byte);
        if (line.mid(23, 4) == " -> ")
            out << Exchange{bytes, {}};
        else if (line.mid(23, 4) == " <- " && !out.isEmpty())
            out.last().answer += bytes;
    }
    return out;
}

void showTabOf(QWidget* widget)
{
    for (QWidget* w = widget; w && w->parentWidget(); w = w->parentWidget())
        if (auto* tabs = qobject_cast<QTabWidget*>(w->parentWidget()->parentWidget()))
            if (const int page = tabs->indexOf(w); page >= 0)
                tabs->setCurrentIndex(page);
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
    // The technician's next steps: each waits for its condition, then acts. A timer looks every
    // 10 ms, so the steps go on inside the modal windows' own loops as well.
    QList<std::pair<std::function<bool()>, std::function<void()>>> steps_;
    QTimer stepper_;
    qsizetype mark_ = 0;

    void then(
        std::function<bool()> ready, std::function<void()> act = [] {})
    {
        steps_.append({std::move(ready), std::move(act)});
    }
    bool perform(int seconds)
    {
        QEventLoop loop;
        // A step that never came may leave a window open: closed, its loop no longer holds ours.
        QTimer::singleShot(seconds * 1000, &loop, [&loop] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* dialog = qobject_cast<QDialog*>(w))
                    dialog->reject();
            loop.quit();
        });
        connect(&stepper_, &QTimer::timeout, &loop, [&] { steps_.isEmpty() ? loop.quit() : void(); });
        loop.exec();
        const bool all = steps_.isEmpty();
        steps_.clear();
        return all;
    }
    void stepOnce()
    {
        if (!steps_.isEmpty() && steps_.first().first())
            steps_.takeFirst().second();
    }
    // Input at a random moment of the poll cycle.
    void soon(QWidget* widget, std::function<void()> input)
    {
        showTabOf(widget);
        QTimer::singleShot(QRandomGenerator::global()->bounded(80), widget, std::move(input));
    }
    void clickSoon(QWidget* widget)
    {
        soon(widget, [widget] { queueClick(widget); });
    }
    QByteArray traceLog() const
    {
        QFile file(WireTrace::defaultPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QList<Exchange> exchangesSinceMark()
    {
        const QList<Exchange> all = exchangesIn(traceLog());
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
    QLineEdit* box(int cmd) { return tool_->window().findChild<QLineEdit*>(QStringLiteral("txtPara_%1").arg(cmd)); }

private slots:
    void initTestCase()
    {
        QVERIFY2(sim_.start(QStringLiteral(KINETRA_DRIVE_SIM),
                            {QStringLiteral("--software-version"), QString::number(kLevel)}),
                 qPrintable(sim_.output()));
        // The trace goes to the user's data folder: this test's own.
        qputenv("XDG_DATA_HOME", files_.filePath(QStringLiteral("data")).toLocal8Bit());
        settings_ = std::make_unique<IniSettingsStore>(sim_.settingsDir());
        const QByteArray folder = files_.path().toLocal8Bit();
        for (const auto& [group, key, value] : {std::tuple{"System", "Check", "1"},
                                                {"System", "Language", "1"},
                                                {"System", "Decpnt", "1"},
                                                {"System", "Expert", "1"},
                                                {"System", "Security", "0"},
                                                {"System", "Encoder", "1"},
                                                {"System", "Explore", folder.constData()},
                                                {"Trace", "Enabled", "1"}})
            settings_->setValue(kApplicationName, QString::fromLatin1(group), QString::fromLatin1(key),
                                QString::fromLocal8Bit(value));
        // The language files lie beside the program.
        for (const QFileInfo& f : QDir(QStringLiteral(KINETRA_LANGUAGES)).entryInfoList(QDir::Files))
            QVERIFY(QFile::copy(f.filePath(), files_.filePath(f.fileName())));
        port_ = std::make_unique<QtSerialPort>(*settings_);
        tool_ = std::make_unique<ToolAssembly>(state_, *settings_, *port_, clock_, dialogs_, files_.path());
        stepper_.setInterval(10);
        connect(&stepper_, &QTimer::timeout, this, &TestWindowOnTheLine::stepOnce);
        stepper_.start();
        tool_->window().Form_Load();
        tool_->window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&tool_->window()));
    }
    void cleanupTestCase()
    {
        stepper_.stop();
        clock_.setQuitting();
        tool_.reset();
    }

    // Connect: the search finds the drive on COM1, every parameter of its level is polled once
    // and lands in the table, then the live polling runs.
    void connectReadsTheDriveIntoTheTable()
    {
        clickSoon(tool_->window().findChild<QAbstractButton*>(QStringLiteral("cmdConnect")));
        then([this] { return polling(); });
        QVERIFY2(perform(30), "the full read did not end in live polling");
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
        // What the live polling has read since then may have changed; everything else is as
        // the drive answered in the full read.
        QSet<int> since;
        for (const Exchange& x : xs.mid(expected.size()))
            since += x.cmd() == 2170 ? QSet<int>{2170, 2180, 2182, 2183, 2184} : QSet<int>{x.cmd()};
        for (const Exchange& x : xs.mid(1, expected.size() - 1))
            if (!since.contains(x.cmd()))
                QCOMPARE(text(x.cmd()), frameValue(x.answer, kRawChars));
    }

    // Typed into a box and committed with Enter while the polling runs: the value the drive
    // takes goes out once and stays; the one it refuses is reported once and the box and table
    // get the old value back.
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
        QLineEdit* entry = box(cmd);
        QVERIFY(entry);
        const QString before = text(cmd);
        const QString shownBefore = entry->text();
        dialogs_.shown.clear();
        soon(entry, [entry, typed] { queueEntry(entry, typed); });
        then([&] { return (text(cmd) == typed || !dialogs_.shown.isEmpty()) && !tool_->com().transactionRunning(); });
        QVERIFY(perform(10));
        QCOMPARE(writesSinceMark(),
                 QStringList{QStringLiteral("%1=%2 <%3>").arg(cmd).arg(typed, taken ? "ACK" : "NAK")});
        QCOMPARE(text(cmd), taken ? typed : before);
        QCOMPARE(entry->text(), taken ? typed : shownBefore);
        QVERIFY(!state_.message(75).isEmpty());
        QCOMPARE(dialogs_.texts(), taken ? QStringList() : QStringList{state_.message(75)});
        QCOMPARE(state_.comOnline, 1);
        // A refusal stops the live polling until the next command or connection.
        QCOMPARE(tool_->com().timerReceive().isEnabled(), taken);
    }

    // A command button on the axis page: the step goes out and the axis moves by the step
    // width, as the live polling then shows. It also starts the polling again after a refusal.
    void aCommandButtonMovesTheAxis()
    {
        const qint64 from = text(2170).toLongLong();
        const qint64 width = text(2116).toLongLong();
        dialogs_.shown.clear();
        QVERIFY(width != 0);
        clickSoon(tool_->window().commandButton(130));
        then([&] { return polling() && text(2170).toLongLong() == from + width; });
        QVERIFY(perform(10));
        QCOMPARE(writesSinceMark(), QStringList{QStringLiteral("2152=130 <ACK>")});
        QVERIFY(dialogs_.shown.isEmpty());
    }

    // The file window during live polling: the set is stored as the table holds it (the taken
    // edit in, the refused one not), and the polling goes on once the window is closed.
    void theFileWindowStoresTheSet()
    {
        clickSoon(tool_->window().findChild<QAbstractButton*>(QStringLiteral("cmdData")));
        QPointer<frmFile> file;
        then([&] { return (file = tool_->window().findChild<frmFile*>()) && file->isVisible(); },
             [&] {
                 auto* name = file->findChild<QLineEdit*>(QStringLiteral("txtFile"));
                 soon(name, [name] { queueEntry(name, QStringLiteral("line")); });
             });
        then([&] { return file->findChild<QLineEdit*>(QStringLiteral("txtFile"))->text() == QLatin1String("line"); },
             [&] {
                 dialogs_.answers.push_back(MessageAnswer::Yes);
                 clickSoon(file->findChild<QAbstractButton*>(QStringLiteral("cmdStore")));
             });
        const QString path = files_.filePath(QStringLiteral("line.par"));
        then([&] { return QFile::exists(path) && !state_.fileWindowActive; },
             [&] { QWindowSystemInterface::handleCloseEvent<QueuedDelivery>(file->windowHandle()); });
        then([&] { return (!file || !file->isVisible()) && polling(); });
        QVERIFY(perform(15));

        const ParameterFileContent stored = readParameterRecords(path, kLevel);
        QCOMPARE(stored.result.error, ParameterFileError::None);
        QCOMPARE(stored.records.size(), axisSequence(kLevel).size() + deviceSequence().size());
        for (const ParameterRecord& r : stored.records)
            if (r.cmd != 2137 && r.cmd != 2140) // their zero rule may set them
                QCOMPARE(r.value.toInteger(), state_.table.value(r.cmd).toInteger());
    }

    // The trace the program wrote holds every frame and answer of the session, stamped, and no
    // frame went out before the one before it was answered.
    void theTraceHoldsTheWholeSession()
    {
        const QByteArray log = traceLog();
        const QList<QByteArray> lines = log.trimmed().split('\n');
        QVERIFY(lines.first().endsWith(" -- trace started"));
        QVERIFY(lines.at(1).endsWith(" -> <EOT>11<STX>2000<ENQ>"));
        for (const QByteArray& line : lines)
            QVERIFY(QDateTime::fromString(QString::fromLatin1(line.left(23)), QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"))
                        .isValid());
        const QList<Exchange> xs = exchangesIn(log);
        for (qsizetype i = 0; i + 1 < xs.size(); ++i)
            QVERIFY2(!xs[i].answer.isEmpty(), xs[i].frame.toPercentEncoding().constData());
        for (const Exchange& x : xs)
            if (x.poll())
                QCOMPARE(CheckCRC(x.answer.mid(x.answer.indexOf(ctl::STX))), CrcVerdict::Match);
    }
};

QTEST_MAIN(TestWindowOnTheLine)
#include "test_window_on_the_line.moc"
