// Screenshots of the file window and the save window, to look at them:
//   QT_QPA_PLATFORM=offscreen build/bin/kinetra-file-shots /tmp/kinetra-shots
// The file window shows a folder with a few parameter files and a load into the drive halfway.

#include "file_window_rig.h"
#include "frm_save.h"
#include "language_fields.h"
#include "language_sections.h"
#include "language_targets.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>

using namespace kinetra;
using namespace kinetra::test;

namespace {

void loadMessages(SharedState& state, const QString& languageFile)
{
    QFile file(languageFile);
    if (!file.open(QIODevice::ReadOnly))
        return;
    LanguageTargets nowhere;
    applyLanguageFields(splitLanguageFields(file.readAll(), kLanguageFieldLimit).fields, state, nowhere);
}

void save(QWidget& w, const QString& path)
{
    w.adjustSize();
    w.show();
    QApplication::processEvents();
    w.grab().save(path);
    qInfo("%s", qPrintable(path));
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/kinetra-shots");
    QDir().mkpath(out);

    FileWindowRig r;
    loadMessages(r.state, QCoreApplication::applicationDirPath() + QStringLiteral("/English.txt"));
    for (const char* name : {"axis-1.par", "conveyor.par", "lift.PAR", "notes.txt"}) {
        QFile f(r.dir.filePath(QString::fromLatin1(name)));
        if (f.open(QIODevice::WriteOnly))
            f.write("\"Parameter KINETRA\"\r\n");
    }
    r.settings.setValue("KINETRA", "System", "Explore", r.dir.path());
    frmFile& w = r.open();
    auto* files = w.findChild<QListWidget*>("filList");
    files->setCurrentRow(1);
    w.filList_Click(files->item(1));
    w.elements().setText(el::fileHelpLine(), r.state.message(33) + QStringLiteral(" COM2"));
    w.elements().setValue(el::fileProgressBar2(), 80);
    save(w, out + QStringLiteral("/file-window.png"));

    frmSave s(*r.com, r.window);
    save(s, out + QStringLiteral("/save-window.png"));
    return 0;
}
