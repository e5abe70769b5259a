#include "messages.h"

#include "language_fields.h"
#include "language_sections.h"
#include "language_targets.h"
#include "shared_state.h"

#include <QFile>

namespace kinetra::cli {

namespace {

// A language file is some 30 KB; anything far beyond is not one.
constexpr qint64 kMaxLanguageFileBytes = 16 * 1024 * 1024;

// Keeps the label texts of the parameters (lblPara of a command number) as the window would
// show them; everything else the file holds goes nowhere.
class LabelRecorder : public LanguageTargets {
public:
    void setCaption(const Element& e, const QString& caption) override
    {
        if (e.name == QLatin1String("lblPara") && e.index >= 2000 && e.index < 3000)
            labels.insert(e.index, caption);
    }
    QHash<int, QString> labels;
};

} // namespace

int languageIndexFor(const QString& name)
{
    static const QStringList names[] = {
        {QStringLiteral("english"), QStringLiteral("en")},
        {QStringLiteral("german"), QStringLiteral("deutsch"), QStringLiteral("de")},
        {QStringLiteral("italian"), QStringLiteral("italiano"), QStringLiteral("it")},
        {QStringLiteral("french"), QStringLiteral("france"), QStringLiteral("francais"), QStringLiteral("fr")},
        {QStringLiteral("spanish"), QStringLiteral("spain"), QStringLiteral("espanol"), QStringLiteral("es")},
        {QStringLiteral("turkish"), QStringLiteral("turkce"), QStringLiteral("tr")},
    };
    const QString key = name.trimmed().toLower();
    for (int i = 0; i < 6; ++i)
        if (names[i].contains(key))
            return i;
    return -1;
}

bool loadMessageTexts(SharedState& state, const QString& path, QHash<int, QString>* labels)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const LanguageFields read = splitLanguageFields(file.read(kMaxLanguageFileBytes), kLanguageFieldCount);
    // Applied to a scratch state first: a file that ends early leaves the table as it was.
    SharedState scratch;
    LabelRecorder recorder;
    if (!applyLanguageFields(read.fields, scratch, recorder))
        return false;
    state.messageText = scratch.messageText;
    if (labels)
        *labels = recorder.labels;
    return true;
}

} // namespace kinetra::cli
