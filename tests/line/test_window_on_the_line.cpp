// The technician's multi-step actions end to end: the program's own assembly (main window,
// link, live display, file and save windows) on the real clock and serial port, against the
// paced simulator program on a pseudo-terminal, with live polling running. Clicks reach the
// window as the window system delivers them, at a random moment of the poll cycle; the wire
// trace is then checked for order and pauses.
#include "frame.h"
#include "frm_file.h"
#include "frm_save.h"
#include "ini_settings_store.h"
#include "parameter_file_layout.h"
#include "qt_clock.h"
#include "qt_serial_port.h"
#include "recording_dialogs.h"
#include "shared_state.h"
#include "sim_on_pty.h"
#include "tool_assembly.h"
#include "window_system_input.h"

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace kinetra;
using namespace kinetra::test;

namespace {

struct WireEvent {
    double time;
    bool sent;
    QByteArray bytes;
};

// A frame the tool sent, with the answer that came back before its next frame.
struct Exchange {
    double sent = 0;
    QByteArray frame;
    double answerFirst = -1;
    double answerLast = -1;
    QByteArray answer;
    int cmd() const { return frame.mid(4, 4).toInt(); }
    bool poll() const { return frame.endsWith(ctl::ENQ); }
    QByteArray value() const { return poll() ? QByteArray() : frame.mid(8, frame.indexOf(ctl::ETX) - 8); }
};

QList<Exchange> exchanges(const QList<WireEvent>& trace, double from)
{
    QList<Exchange> out;
    for (const WireEvent& e : trace) {
        if (e.time < from)
            continue;
        if (e.sent) {
            Exchange x;
            x.sent = e.time;
            x.frame = e.bytes;
            out << x;
        } else if (!out.isEmpty()) {
            Exchange& x = out.last();
            if (x.answerFirst < 0)
                x.answerFirst = e.time;
            x.answerLast = e.time;
            x.answer += e.bytes;
        }
    }
    return out;
}

// Every frame was answered before the next one went out: no transaction shared the wire.
QString unansweredFrames(const QList<Exchange>& xs)
{
    QStringList out;
    for (qsizetype i = 0; i + 1 < xs.size(); ++i)
        if (xs[i].answer.isEmpty())
            out << QString::fromLatin1(xs[i].frame.toPercentEncoding());
    return out.join(QLatin1Char(' '));
}

qsizetype indexOfWrite(const QList<Exchange>& xs, int cmd, const QByteArray& value, qsizetype from = 0)
{
    for (qsizetype i = from; i < xs.size(); ++i)
        if (!xs[i].poll() && xs[i].cmd() == cmd && (value.isEmpty() || xs[i].value() == value))
            return i;
    return -1;
}

// The technician brings the tab with `widget` to the front before clicking it.
void showTabOf(QWidget* widget)
{
    for (QWidget* w = widget; w && w->parentWidget(); w = w->parentWidget())
        if (auto* tabs = qobject_cast<QTabWidget*>(w->parentWidget()->parentWidget()))
            if (const int page = tabs->indexOf(w); page >= 0)
                tabs->setCurrentIndex(page);
}

template <class T> T* openWindow(const char* objectName)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* t = qobject_cast<T*>(w); t && t->isVisible() && (!objectName || w->objectName() == objectName))
            return t;
    return nullptr;
}

} // namespace

class TestWindowOnTheLine : public QObject {
    Q_OBJECT

    SimOnPty sim_;
    QTemporaryDir files_;
    std::unique_ptr<IniSettingsStore> settings_;
    std::unique_ptr<QtSerialPort> port_;
    QtClock clock_;
    SharedState state_;
    RecordingDialogs dialogs_;
    std::unique_ptr<ToolAssembly> tool_;
    QList<WireEvent> trace_;
    // The technician's next steps: each waits for its condition, then acts. A timer looks every
    // 10 ms, so the steps go on inside the modal windows' own loops as well.
    QList<std::pair<std::function<bool()>, std::function<void()>>> steps_;
    QTimer stepper_;

    void then(std::function<bool()> ready, std::function<void()> act)
    {
        steps_.append({std::move(ready), std::move(act)});
    }
    // Runs the steps; false when they did not all run within `seconds`.
    bool perform(double seconds)
    {
        QEventLoop loop;
        QTimer deadline;
        deadline.setSingleShot(true);
        connect(&deadline, &QTimer::timeout, &loop, [&loop] {
            // A step that never came leaves a window open: close it, or its loop holds ours.
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* dialog = qobject_cast<QDialog*>(w); dialog && dialog->isVisible())
                    dialog->reject();
            loop.quit();
        });
        const auto check = connect(&stepper_, &QTimer::timeout, &loop, [&] {
            if (steps_.isEmpty())
                loop.quit();
        });
        deadline.start(static_cast<int>(seconds * 1000));
        loop.exec();
        disconnect(check);
        const bool all = steps_.isEmpty();
        if (!all) {
            const QList<Exchange> xs = exchanges(trace_, clock_.now() - 5);
            for (qsizetype i = std::max<qsizetype>(0, xs.size() - 6); i < xs.size(); ++i)
                qWarning("%.3f %s -> %s", xs[i].sent, xs[i].frame.toPercentEncoding().constData(),
                         xs[i].answer.toPercentEncoding().constData());
            qWarning("%lld steps left; messages: %s", static_cast<long long>(steps_.size()),
                     qPrintable(dialogs_.texts().join(QLatin1Char('|'))));
        }
        steps_.clear();
        return all;
    }
    void stepOnce()
    {
        if (steps_.isEmpty() || !steps_.first().first())
            return;
        const auto act = steps_.takeFirst().second;
        act();
    }
    // A click at a random moment of the poll cycle.
    void clickSoon(QWidget* widget)
    {
        showTabOf(widget);
        if (!widget->isVisible())
            qWarning("%s is not visible", qPrintable(widget->objectName()));
        const int delay = static_cast<int>(QRandomGenerator::global()->bounded(80));
        qInfo("click on %s after %d ms", qPrintable(widget->objectName()), delay);
        QTimer::singleShot(delay, widget, [widget] { queueClick(widget); });
    }
    // Time passes with the window served.
    void pause(double seconds)
    {
        // Counted from when the steps before it have run.
        auto until = std::make_shared<double>(-1);
        then(
            [this, until, seconds] {
                if (*until < 0)
                    *until = clock_.now() + seconds;
                return clock_.now() >= *until;
            },
            [] {});
    }
    bool polling() { return tool_->com().timerReceive().isEnabled() && state_.paramsLoaded == 1; }
    frmSDI& window() { return tool_->window(); }

private slots:
    void initTestCase()
    {
        QVERIFY2(sim_.start({}), qPrintable(sim_.output()));
        settings_ = std::make_unique<IniSettingsStore>(sim_.settingsDir());
        for (int n = 2; n <= 10; ++n)
            settings_->setValue(kApplicationName, QStringLiteral("Ports"), QStringLiteral("COM%1").arg(n),
                                QStringLiteral("/nonexistent/kinetra-test-port"));
        for (const auto& [key, value] : {std::pair{"Check", "1"},
                                         {"Language", "1"},
                                         {"Decpnt", "1"},
                                         {"Expert", "1"},
                                         {"Security", "0"},
                                         {"Encoder", "1"}})
            settings_->setValue(kApplicationName, QStringLiteral("System"), QString::fromLatin1(key),
                                QString::fromLatin1(value));
        settings_->setValue(kApplicationName, QStringLiteral("System"), QStringLiteral("Explore"), files_.path());
        port_ = std::make_unique<QtSerialPort>(*settings_);
        tool_ = std::make_unique<ToolAssembly>(state_, *settings_, *port_, clock_, dialogs_, files_.path());
        tool_->com().setWireObserver([this](bool sent, const QByteArray& bytes) {
            trace_ << WireEvent{clock_.now(), sent, bytes};
        });
        stepper_.setInterval(10);
        connect(&stepper_, &QTimer::timeout, this, &TestWindowOnTheLine::stepOnce);
        stepper_.start();
        window().Form_Load();
        window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&window()));

        auto* connectButton = window().findChild<QAbstractButton*>(QStringLiteral("cmdConnect"));
        QVERIFY(connectButton);
        clickSoon(connectButton);
        then([this] { return polling(); }, [] {});
        pause(0.5);
        QVERIFY2(perform(60), "the full read did not end in live polling");
        QCOMPARE(state_.firmwareLevel, qint16(540));
        dialogs_.shown.clear();
    }
    void cleanupTestCase()
    {
        stepper_.stop();
        clock_.setQuitting();
        tool_->com().timerReceive().setEnabled(false);
        tool_->com().setWireObserver({});
        tool_.reset();
    }

    // "Dauertest" against moves of about 2.8 s: the next move only once the drive is there.
    void theEnduranceTestWaitsForEachMove()
    {
        // Slow speeds for the test, written as a technician would have set them.
        tool_->com().WriteCom(11, 2113, 4);
        tool_->com().WriteCom(11, 2114, 4);
        for (const auto& [box, text] : {std::pair{10, "0"}, {11, "50"}, {12, "1"}})
            window().findChild<QLineEdit*>(QStringLiteral("txtPara_%1").arg(box))->setText(QString::fromLatin1(text));
        const double from = clock_.now();
        clickSoon(window().commandButton(0));
        pause(13);
        then([] { return true; }, [this] { clickSoon(window().commandButton(129)); });
        pause(1);
        QVERIFY(perform(30));
        const QList<Exchange> xs = exchanges(trace_, from);
        QVERIFY2(unansweredFrames(xs).isEmpty(), qPrintable(unansweredFrames(xs)));
        QList<double> moves;
        for (const Exchange& x : xs)
            if (!x.poll() && x.cmd() == 2152 && x.value() == "128")
                moves << x.answerLast;
        QVERIFY2(moves.size() >= 4, qPrintable(QString::number(moves.size())));
        // The first move goes to where the drive stands already.
        for (qsizetype i = 2; i < moves.size(); ++i) {
            qInfo("move %lld %.3f s after the one before", static_cast<long long>(i), moves[i] - moves[i - 1]);
            QVERIFY(moves[i] - moves[i - 1] >= 3.5);
        }
        QStringList writes;
        for (const Exchange& x : xs)
            if (!x.poll())
                writes << QStringLiteral("%1=%2@%3")
                              .arg(x.cmd())
                              .arg(QString::fromLatin1(x.value()))
                              .arg(x.sent, 0, 'f', 3);
        QVERIFY2(!state_.testRunning, qPrintable(writes.join(' ')));
        QVERIFY(dialogs_.shown.isEmpty());
    }

    // "Parameter speichern", then "Speichern" in the save window: 137, 1 s, 138, then 3 s in
    // which the drive hears nothing; the live polling resumes when the window closes.
    void theSaveWindowSavesWithItsPauses()
    {
        const double from = clock_.now();
        clickSoon(window().commandButton(138));
        QPointer<frmSave> save;
        then([&] { return (save = openWindow<frmSave>(nullptr)) != nullptr; },
             [&] { clickSoon(save->findChild<QPushButton*>(QStringLiteral("cmdComand1_0"))); });
        then([&] { return indexOfWrite(exchanges(trace_, from), 2152, "138") >= 0; }, [] {});
        pause(3.5);
        then([] { return true; }, [&] { clickSoon(save->findChild<QPushButton*>(QStringLiteral("cmdComand1_1"))); });
        then([this] { return polling(); }, [] {});
        pause(0.5);
        QVERIFY(perform(20));
        const QList<Exchange> xs = exchanges(trace_, from);
        QVERIFY2(unansweredFrames(xs).isEmpty(), qPrintable(unansweredFrames(xs)));
        const qsizetype takeOver = indexOfWrite(xs, 2152, "137");
        const qsizetype saved = indexOfWrite(xs, 2152, "138");
        QVERIFY(takeOver >= 0 && saved == takeOver + 1);
        QCOMPARE(xs[takeOver].answer, QByteArray(1, ctl::ACK));
        QCOMPARE(xs[saved].answer, QByteArray(1, ctl::ACK));
        const double between = xs[saved].sent - xs[takeOver].answerLast;
        const double quiet = xs[saved + 1].sent - xs[saved].answerLast;
        qInfo("137 ACK to 138: %.3f s; 138 ACK to the next frame: %.3f s", between, quiet);
        QVERIFY(between >= 1.0 && between < 1.5);
        QVERIFY(quiet >= 3.0);
        QVERIFY(dialogs_.shown.isEmpty());
    }

    // A service reset after the login: its code 0.3 s after the click, the drive's settings
    // restored for 2 s, then the whole parameter set read again.
    void aServiceResetWaitsForTheDriveBeforeReadingAgain()
    {
        state_.loginGranted = true;
        const double from = clock_.now();
        clickSoon(window().commandButton(162));
        then([&] { return indexOfWrite(exchanges(trace_, from), 2452, "162") >= 0; }, [] {});
        pause(0.5);
        then([this] { return polling(); }, [] {});
        QVERIFY(perform(40));
        const QList<Exchange> xs = exchanges(trace_, from);
        QVERIFY2(unansweredFrames(xs).isEmpty(), qPrintable(unansweredFrames(xs)));
        const qsizetype reset = indexOfWrite(xs, 2452, "162");
        QVERIFY(reset > 0);
        QCOMPARE(xs[reset].answer, QByteArray(1, ctl::ACK));
        // The click came during a poll at the latest: the code waits 0.3 s and the write's 0.1 s.
        const double afterPoll = xs[reset].sent - xs[reset - 1].answerLast;
        const double restore = xs[reset + 1].sent - xs[reset].answerLast;
        qInfo("last answer to 162: %.3f s; 162 ACK to the re-read: %.3f s", afterPoll, restore);
        QVERIFY(afterPoll >= 0.4);
        QVERIFY(xs[reset + 1].poll() && xs[reset + 1].cmd() == 2400);
        QVERIFY(restore >= 2.0 && restore < 2.5);
        QVERIFY(dialogs_.shown.isEmpty());
    }

    // The file window: store the set, then load it straight into the drive while live polling
    // runs: exactly the file's records go out, each answered before the next.
    void aLoadIntoTheDriveSendsTheWholeFile()
    {
        clickSoon(window().findChild<QAbstractButton*>(QStringLiteral("cmdData")));
        QPointer<frmFile> file;
        double loadFrom = 0;
        then([&] { return (file = openWindow<frmFile>(nullptr)) != nullptr; },
             [&] {
                 file->findChild<QLineEdit*>(QStringLiteral("txtFile"))->setText(QStringLiteral("e2e"));
                 dialogs_.answers.push_back(MessageAnswer::Yes);
                 clickSoon(file->findChild<QAbstractButton*>(QStringLiteral("cmdStore")));
             });
        // The store is through: the window takes the next click.
        then([&] { return QFile::exists(files_.filePath(QStringLiteral("e2e.par"))) && !state_.fileWindowActive; },
             [] {});
        pause(0.3);
        then([] { return true; },
             [&] {
                 loadFrom = clock_.now();
                 clickSoon(file->findChild<QAbstractButton*>(QStringLiteral("cmdLoad")));
             });
        // The windows live on the stack of the handlers that opened them.
        QPointer<frmSave> save;
        then([&] { return (save = openWindow<frmSave>(nullptr)) != nullptr; },
             [&] { clickSoon(save->findChild<QPushButton*>(QStringLiteral("cmdComand1_1"))); });
        then([&] { return !save || !save->isVisible(); }, [&] { file->close(); });
        then([this] { return openWindow<frmFile>(nullptr) == nullptr && polling(); }, [] {});
        QVERIFY(perform(60));
        const QList<Exchange> xs = exchanges(trace_, loadFrom);
        QVERIFY2(unansweredFrames(xs).isEmpty(), qPrintable(unansweredFrames(xs)));
        QList<int> written;
        double shortest = 1e9, longest = 0, last = -1;
        for (const Exchange& x : xs) {
            if (x.poll())
                continue;
            written << x.cmd();
            QCOMPARE(x.answer, QByteArray(1, ctl::ACK));
            if (last >= 0) {
                shortest = std::min(shortest, x.sent - last);
                longest = std::max(longest, x.sent - last);
            }
            last = x.answerLast;
        }
        qInfo("%lld records; from one ACK to the next record %.3f to %.3f s", static_cast<long long>(written.size()),
              shortest, longest);
        QList<int> expected;
        for (const int p : axisSequence(540))
            expected << axisCommand(p);
        expected << 2410;
        QCOMPARE(written, expected);
        QVERIFY2(!dialogs_.texts().contains(QStringLiteral("Error")), qPrintable(dialogs_.texts().join('|')));
    }
};

QTEST_MAIN(TestWindowOnTheLine)
#include "test_window_on_the_line.moc"
