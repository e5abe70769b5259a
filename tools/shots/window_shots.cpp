// Saves pictures of the main window (every tab, the simple panel, the tools panel) and of the
// about windows, in German, English and Turkish, at 1280 x 800 and 1920 x 1080, so that a person
// can look at the layout without a drive or a display:
//   QT_QPA_PLATFORM=offscreen kinetra-shots <folder>
// With --connect <settings folder> it connects through the real serial path to a simulated
// drive registered in that settings folder (kinetra-drive-sim --com 1 --settings-dir <folder>)
// and saves every tab of the connected window.
#include "about_window.h"
#include "fake_serial_devices.h"
#include "frm_ports.h"
#include "frm_sdi.h"
#include "ini_settings_store.h"
#include "memory_settings_store.h"
#include "qt_clock.h"
#include "qt_serial_port.h"
#include "recording_dialogs.h"
#include "shared_state.h"
#include "tool_assembly.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QTabWidget>
#include <QTextStream>

using namespace kinetra;

namespace {

void save(QWidget* widget, const QString& path)
{
    QApplication::processEvents();
    widget->grab().save(path);
    QTextStream(stdout) << path << '\n';
}

void presetSettings(SettingsStore& settings, int language)
{
    const QString system = QStringLiteral("System");
    settings.setValue(kApplicationName, system, QStringLiteral("Check"), QStringLiteral("1"));
    settings.setValue(kApplicationName, system, QStringLiteral("Language"), QString::number(language));
    settings.setValue(kApplicationName, system, QStringLiteral("Expert"), QStringLiteral("1"));
    settings.setValue(kApplicationName, system, QStringLiteral("Encoder"), QStringLiteral("0"));
}

void saveTabs(frmSDI& window, const QString& tag)
{
    auto* tabs = window.elementAs<QTabWidget>(Element{QStringLiteral("SSTab1"), 0});
    for (int tab = 0; tab < tabs->count(); ++tab) {
        if (!tabs->isTabVisible(tab))
            continue;
        tabs->setCurrentIndex(tab);
        save(&window, QStringLiteral("%1-tab%2.png").arg(tag).arg(tab));
    }
}

void reportMessages(const test::RecordingDialogs& dialogs)
{
    for (const QString& shown : dialogs.texts())
        QTextStream(stderr) << "message box: " << shown << '\n';
}

int connected(const QString& folder, const QString& settingsFolder)
{
    SharedState state;
    IniSettingsStore settings(settingsFolder);
    presetSettings(settings, 1);
    test::RecordingDialogs dialogs;
    QtClock clock;
    QtSerialPort port(settings);
    // The program's own wiring, as main() runs it.
    ToolAssembly tool(state, settings, port, clock, dialogs, QCoreApplication::applicationDirPath());
    frmSDI& window = tool.window();
    window.resize(1280, 800);
    window.Form_Load();
    window.elementAs<QAbstractButton>(Element{QStringLiteral("cmdConnect"), 0})->click();
    const auto settled = [&] { return state.comOnline == 1 && !state.transferActive && !tool.com().connecting(); };
    clock.waitServing(60, settled);
    clock.waitServing(3); // a few rounds of live polling
    reportMessages(dialogs);
    if (state.comOnline != 1) {
        QTextStream(stderr) << "no drive found\n";
        return 1;
    }
    saveTabs(window, folder + QStringLiteral("/connected-de-1280x800"));
    // The lists after a switch to English while the link polls: each shows the drive's value.
    window.cmdLanguage_MouseUp(0, Qt::LeftButton, QPoint(1, 1));
    clock.waitServing(1);
    saveTabs(window, folder + QStringLiteral("/connected-switched-to-en-1280x800"));
    clock.setQuitting();
    port.close();
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    const qsizetype connectAt = args.indexOf(QStringLiteral("--connect"));
    const QString folder = !args.isEmpty() && connectAt != 0 ? args.first() : QStringLiteral("/tmp/kinetra-shots");
    QDir().mkpath(folder);
    if (connectAt >= 0)
        return connected(folder, args.value(connectAt + 1));
    const QString programFolder = QCoreApplication::applicationDirPath();

    for (int language : {1, 0, 5}) {
        for (QSize size : {QSize(1280, 800), QSize(1920, 1080)}) {
            SharedState state;
            test::MemorySettingsStore settings;
            presetSettings(settings, language);
            test::RecordingDialogs dialogs;
            QtClock clock;
            frmSDI window(state, settings, dialogs, clock, programFolder);
            window.resize(size);
            window.Form_Load();
            reportMessages(dialogs);
            const QString tag = QStringLiteral("%1/%2-%3x%4")
                                    .arg(folder, QStringList{"en", "de", "it", "fr", "es", "tr"}.value(language))
                                    .arg(size.width())
                                    .arg(size.height());
            // The pictures show the pages a level-500 drive offers as well.
            auto* tabs = window.elementAs<QTabWidget>(Element{QStringLiteral("SSTab1"), 0});
            for (int tab = 0; tab < tabs->count(); ++tab)
                tabs->setTabVisible(tab, true);
            saveTabs(window, tag);
            window.cmdTool_Click();
            save(&window, tag + QStringLiteral("-tools.png"));
            window.cmdTool_Click();
            auto* expert = window.elementAs<QCheckBox>(Element{QStringLiteral("Check2"), 0});
            window.element(QStringLiteral("frameSecurity"))->setEnabled(true);
            expert->setEnabled(true);
            expert->click();
            save(&window, tag + QStringLiteral("-simple.png"));
            if (size.width() == 1280 && language != 5) {
                // The port assignment with an adapter, a built-in port, the simulated drive's
                // pseudo-terminal pinned to COM3 and an adapter pinned to COM5 that is unplugged.
                test::FakeSerialDevices devices;
                devices.listed = {{QStringLiteral("/dev/ttyS0")},
                                  {QStringLiteral("/dev/ttyUSB0"), QStringLiteral("FT232R USB UART"),
                                   QStringLiteral("FTDI"), 0x0403, 0x6001}};
                devices.unlisted = {QStringLiteral("/dev/pts/4")};
                settings.setValue(kApplicationName, PortNames::kSection, QStringLiteral("COM3"), devices.unlisted[0]);
                settings.setValue(kApplicationName, PortNames::kSection, QStringLiteral("COM5"),
                                  QStringLiteral("/dev/ttyUSB1"));
                frmPorts ports(state, settings, dialogs, &devices, &window);
                ports.show();
                save(&ports, tag + QStringLiteral("-ports.png"));
            }
            if (size.width() == 1280 && language == 1) {
                for (int variant : {0, 1}) {
                    AboutWindow* about = window.splashWindow(variant);
                    about->show();
                    save(about, QStringLiteral("%1/about-%2.png").arg(folder, about->objectName()));
                    about->hide();
                }
            }
        }
    }
    return 0;
}
