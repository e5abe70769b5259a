// Screenshots of the compare window in English and German, to look at them:
//   QT_QPA_PLATFORM=offscreen build/bin/kinetra-compare-shots /tmp/kinetra-shots
// The drive against a file with a few differences, once with every row and once filtered.

#include "file_window_rig.h"
#include "frm_compare.h"
#include "language_fields.h"
#include "language_sections.h"
#include "language_targets.h"
#include "parameter_file_writer.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>

using namespace kinetra;
using namespace kinetra::test;

namespace {

// The texts of a language file, and the parameters' labels as the main window would show them.
class Labels : public LanguageTargets {
public:
    void setCaption(const Element& e, const QString& caption) override
    {
        if (e.name == QLatin1String("lblPara"))
            texts.insert(e.index, caption);
    }
    QHash<int, QString> texts;
};

void loadLanguage(SharedState& state, Labels& labels, const QString& languageFile)
{
    QFile file(languageFile);
    if (file.open(QIODevice::ReadOnly))
        applyLanguageFields(splitLanguageFields(file.readAll(), kLanguageFieldLimit).fields, state, labels);
}

void save(QWidget& w, const QString& path)
{
    w.resize(820, 620);
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

    for (const auto& [language, tag] : {std::pair{"English", "en"}, std::pair{"German", "de"}}) {
        FileWindowRig r;
        Labels labels;
        loadLanguage(r.state, labels, QCoreApplication::applicationDirPath() + QStringLiteral("/%1.txt").arg(language));
        r.com->cmdConnect();
        r.clock.advance(0.5);
        r.state.decPnt = 2;
        const QString file = r.dir.filePath(QStringLiteral("conveyor.par"));
        ParameterTable table = r.state.table;
        for (const auto& [cmd, value] : {std::pair{2110, 4321}, {2111, 77}, {2117, 1500}, {2131, 12}})
            table.store(cmd, ParameterValue::number(value));
        writeParameterFile(file, table, r.state.firmwareLevel);

        frmCompare w(*r.com, r.window, r.dialogs);
        w.setLabelSource([&labels](int cmd) { return labels.texts.value(cmd); });
        w.findChild<QLineEdit*>("txtCompareFileB")->setText(QDir::toNativeSeparators(file));
        w.cmdCompareRun_Click();
        save(w, out + QStringLiteral("/compare-%1.png").arg(QLatin1String(tag)));
        w.findChild<QCheckBox*>("chkCompareDifferences")->click();
        save(w, out + QStringLiteral("/compare-%1-differences.png").arg(QLatin1String(tag)));
    }
    return 0;
}
