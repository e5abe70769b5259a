// Pictures of parameter entry (edited and committed labels), the login window and the window
// with the input lock on:
//   QT_QPA_PLATFORM=offscreen kinetra-entry-shots <folder>
#include "window_rig.h"

#include "frm_login.h"

#include <QApplication>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextStream>

using namespace kinetra;
using namespace kinetra::test;

namespace {

void save(QWidget* widget, const QString& path)
{
    QApplication::processEvents();
    widget->grab().save(path);
    QTextStream(stdout) << path << '\n';
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/kinetra-shots");
    QDir().mkpath(folder);
    {
        WindowRig r;
        r.started().connected();
        r.window->resize(1280, 800);
        // 2110 committed, 2113 edited and not yet sent.
        r.type(2110, "1,5");
        r.type(2113, "80", false);
        save(r.window.get(), folder + QStringLiteral("/entry-edited-committed.png"));
        r.window->loginWindow()->show();
        save(r.window->loginWindow(), folder + QStringLiteral("/login.png"));
        r.window->loginWindow()->hide();
    }
    {
        WindowRig r({}, {{"Security", "1"}});
        r.started();
        r.window->resize(1280, 800);
        r.window->cmdTool_Click();
        save(r.window.get(), folder + QStringLiteral("/locked.png"));
        r.window->elementAs<QTabWidget>(Element{QStringLiteral("SSTab1"), 0})->setCurrentIndex(6);
        save(r.window.get(), folder + QStringLiteral("/locked-service.png"));
    }
    // The drive holds a committed value it has not saved: the sign on the save button, the status
    // bar's marker and the revert button beside it, in German and English.
    for (const int language : {1, 0}) {
        WindowRig r({}, {{"Language", QString::number(language)}}, WindowRig::Presets::Written,
                    QCoreApplication::applicationDirPath());
        r.started().connected();
        r.window->resize(1280, 800);
        r.type(2110, "1,5");
        r.clock.advance(0.5);
        const QString tag = folder + (language == 1 ? QStringLiteral("/unsaved-de") : QStringLiteral("/unsaved-en"));
        save(r.window.get(), tag + QStringLiteral(".png"));
        save(r.window->statusBar(), tag + QStringLiteral("-status-bar.png"));
        save(r.button(138), tag + QStringLiteral("-save-button.png"));
    }
    return 0;
}
