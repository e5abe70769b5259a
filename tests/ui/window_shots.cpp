// Saves pictures of the main window (every tab, the simple panel, the tools panel) and of the
// about windows, in German, English and Turkish, at 1280 x 800 and 1920 x 1080, so that a person can
// look at the layout without a drive or a display.
#include "about_window.h"
#include "frm_sdi.h"
#include "memory_settings_store.h"
#include "qt_clock.h"
#include "recording_dialogs.h"
#include "shared_state.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QTabWidget>
#include <QTextStream>

using namespace kinetra;

namespace {

void save(QWidget* widget, const QString& path) {
    QApplication::processEvents();
    widget->grab().save(path);
    QTextStream(stdout) << path << '\n';
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/kinetra-shots");
    QDir().mkpath(folder);
    const QString programFolder = QCoreApplication::applicationDirPath();

    for (int language : {1, 0, 5}) {
        for (QSize size : {QSize(1280, 800), QSize(1920, 1080)}) {
            SharedState state;
            test::MemorySettingsStore settings;
            settings.setValue(kApplicationName, QStringLiteral("System"), QStringLiteral("Check"),
                              QStringLiteral("1"));
            settings.setValue(kApplicationName, QStringLiteral("System"), QStringLiteral("Language"),
                              QString::number(language));
            settings.setValue(kApplicationName, QStringLiteral("System"), QStringLiteral("Expert"),
                              QStringLiteral("1"));
            settings.setValue(kApplicationName, QStringLiteral("System"), QStringLiteral("Encoder"),
                              QStringLiteral("0"));
            test::RecordingDialogs dialogs;
            QtClock clock;
            frmSDI window(state, settings, dialogs, clock, programFolder);
            window.resize(size);
            window.Form_Load();
            for (const QString& shown : dialogs.texts())
                QTextStream(stderr) << "message box: " << shown << '\n';
            const QString tag =
                QStringLiteral("%1/%2-%3x%4")
                    .arg(folder, QStringList{"en", "de", "it", "fr", "es", "tr"}.value(language))
                    .arg(size.width())
                    .arg(size.height());
            auto* tabs = window.elementAs<QTabWidget>(Element{QStringLiteral("SSTab1"), 0});
            for (int tab = 0; tab < tabs->count(); ++tab) {
                tabs->setTabVisible(tab, true);
                tabs->setCurrentIndex(tab);
                save(&window, QStringLiteral("%1-tab%2.png").arg(tag).arg(tab));
            }
            window.cmdTool_Click();
            save(&window, tag + QStringLiteral("-tools.png"));
            window.cmdTool_Click();
            auto* expert = window.elementAs<QCheckBox>(Element{QStringLiteral("Check2"), 0});
            window.element(QStringLiteral("frameSecurity"))->setEnabled(true);
            expert->setEnabled(true);
            expert->click();
            save(&window, tag + QStringLiteral("-simple.png"));
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
