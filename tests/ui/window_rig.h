#pragma once

// The real main window offscreen, wired to the link and to the simulated drive on virtual time,
// as kinetra wires them; message boxes and the login window are answered by the test.
#include "drive_com.h"
#include "drive_display.h"
#include "fake_serial_port.h"
#include "file_window_elements.h"
#include "frame.h"
#include "frm_sdi.h"
#include "link_presenter.h"
#include "main_window_display.h"
#include "memory_settings_store.h"
#include "motion_timers.h"
#include "recording_dialogs.h"
#include "shared_state.h"
#include "sim_device.h"
#include "value_display.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <functional>
#include <memory>

namespace kinetra::test {

// A frame the tool wrote: the command number and value of a write, or a poll (value empty).
struct Sent {
    int cmd;
    QString value;
    bool poll;
    double time;
};

struct WindowRig {
    SharedState state;
    MemorySettingsStore settings;
    RecordingDialogs dialogs;
    VirtualClock clock;
    FakeSerialPort port{clock};
    SimDevice drive;
    QTemporaryDir folder;
    QString previousFolder = QDir::currentPath();
    std::unique_ptr<frmSDI> window;
    // The link reaches the window as in the program: through the file window's router.
    std::unique_ptr<FileWindowElements> elements;
    std::unique_ptr<LinkPresenter> presenter;
    std::unique_ptr<DriveCom> com;
    std::unique_ptr<ValueDisplay> display;
    // The program's own display logic: identification, field bus, status word, lamps, chart.
    std::unique_ptr<MainWindowDisplay> extra;
    std::unique_ptr<DriveDisplay> driveDisplay;
    // What the login window is to do when it opens; it stays open (hidden by its buttons).
    std::function<void(QDialog&)> onModal;
    int modalsOpened = 0;

    // Presets::None stores nothing but `stored`, as on a first start; the program folder is an
    // empty temporary one unless given (the folder with the language files, for instance).
    enum class Presets { Written, None };
    explicit WindowRig(const sim::DriveConfig& config = {}, const QMap<QString, QString>& stored = {},
                       Presets presets = Presets::Written, const QString& programFolder = {})
        : drive(config)
    {
        drive.attachTo(port, 1);
        QMap<QString, QString> all;
        if (presets == Presets::Written)
            all = {{"Check", "1"},  {"Language", "1"}, {"Decpnt", "1"},
                   {"Expert", "1"}, {"Security", "0"}, {"Encoder", "1"}};
        all.insert(stored);
        for (auto it = all.begin(); it != all.end(); ++it)
            settings.setValue(kApplicationName, QStringLiteral("System"), it.key(), it.value());
        window = std::make_unique<frmSDI>(state, settings, dialogs, clock,
                                          programFolder.isEmpty() ? folder.path() : programFolder);
        elements = std::make_unique<FileWindowElements>(*window);
        presenter = std::make_unique<LinkPresenter>(state, *elements, dialogs);
        com = std::make_unique<DriveCom>(state, port, clock, *presenter);
        window->setDriveCom(com.get());
        display = std::make_unique<ValueDisplay>(state, *window);
        extra = std::make_unique<MainWindowDisplay>(*window);
        driveDisplay = std::make_unique<DriveDisplay>(state, *window, *extra);
        display->setHandOver(driveDisplay.get());
        driveDisplay->setOnStatusWord([this](qint64 statusWord) {
            if (MotionTimers* timers = window->motionTimers())
                timers->inPositionSignal(statusWord);
        });
        window->onChartTrace = [this](int trace, bool on, const QString& multiplier) {
            driveDisplay->chart().setTrace(trace, on, multiplier);
        };
        com->setValueSink([this](QString& value, int index) { display->showValues(value, index); });
        window->setModalRunner([this](QDialog& d) {
            ++modalsOpened;
            d.show();
            if (onModal)
                onModal(d);
        });
    }
    ~WindowRig()
    {
        clock.setQuitting();
        com->timerReceive().setEnabled(false);
        window->setDriveCom(nullptr);
        window->onChartTrace = nullptr;
        com.reset();
        driveDisplay.reset();
        extra.reset();
        window.reset();
        QDir::setCurrent(previousFolder);
    }

    // Starts the window; messages without a language file read "msgN".
    WindowRig& started()
    {
        window->Form_Load();
        for (int i = 0; i < SharedState::kMessageCount; ++i)
            if (state.messageText[static_cast<size_t>(i)].isEmpty())
                state.messageText[static_cast<size_t>(i)] = QStringLiteral("msg%1").arg(i);
        // Without a language file the lists are empty; three entries stand for the texts.
        for (QComboBox* list : window->findChildren<QComboBox*>())
            if (list->objectName().startsWith(QLatin1String("cmbPara_")) && list->count() == 0)
                list->addItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        dialogs.shown.clear();
        return *this;
    }
    // Connects through the connect button's path and lets the live polling run a little.
    WindowRig& connected()
    {
        com->cmdConnect();
        clock.advance(0.5);
        dialogs.shown.clear();
        return *this;
    }

    QString stored(const QString& key) const
    {
        return settings.value(kApplicationName, QStringLiteral("System"), key, QStringLiteral("<none>"));
    }
    template <class T = QWidget> T* find(const QString& name) const { return window->findChild<T*>(name); }
    bool hidden(const QString& name) const { return find(name)->isHidden(); }
    QTabWidget* tabs() const { return find<QTabWidget>(QStringLiteral("SSTab1")); }
    QLineEdit* box(int index) const { return find<QLineEdit>(QStringLiteral("txtPara_%1").arg(index)); }
    QAbstractButton* button(int index) const { return window->commandButton(index); }

    void type(int index, const QString& text, bool enter = true)
    {
        QLineEdit* b = box(index);
        b->clear();
        QTest::keyClicks(b, text);
        if (enter)
            QTest::keyClick(b, Qt::Key_Return);
    }
    void leave(QWidget* w)
    {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(w, &out);
    }

    // Every frame written since `from` (an index into the port's record).
    QList<Sent> sent(qsizetype from = 0) const
    {
        QList<Sent> out;
        for (const FakeSerialPort::Written& w : port.written().mid(from)) {
            const QByteArray& f = w.bytes;
            const bool poll = f.endsWith(ctl::ENQ);
            const qsizetype etx = f.indexOf(ctl::ETX);
            if (f.size() >= 8)
                out << Sent{f.mid(4, 4).toInt(), poll || etx < 0 ? QString() : QString::fromLatin1(f.mid(8, etx - 8)),
                            poll, w.time};
        }
        return out;
    }
    // The writes since `from`, as "cmd=value".
    QStringList writes(qsizetype from = 0) const
    {
        QStringList out;
        for (const Sent& s : sent(from))
            if (!s.poll)
                out << QStringLiteral("%1=%2").arg(s.cmd).arg(s.value);
        return out;
    }
    qsizetype mark() const { return port.written().size(); }
    // The frames since `from` of command `cmd` (with a value beginning `value`, when given).
    QList<FakeSerialPort::Written> framesOf(qsizetype from, int cmd, const QByteArray& value = {}) const
    {
        QList<FakeSerialPort::Written> out;
        for (const FakeSerialPort::Written& w : port.written().mid(from))
            if (w.bytes.mid(4, 4).toInt() == cmd && (value.isEmpty() || w.bytes.mid(8).startsWith(value)))
                out << w;
        return out;
    }
    // No frame went out while an answer was still arriving.
    bool nothingOverlapped() const
    {
        return std::none_of(port.written().begin(), port.written().end(),
                            [](const FakeSerialPort::Written& w) { return w.overlapping; });
    }
    // A drive whose answers leave at the line rate, so that every wait is a real one.
    static sim::DriveConfig paced(int level = 540, const QList<std::pair<int, qint64>>& start = {})
    {
        sim::DriveConfig config;
        config.pacing = true;
        config.softwareVersion = level;
        config.startValues = start;
        return config;
    }
};

} // namespace kinetra::test
