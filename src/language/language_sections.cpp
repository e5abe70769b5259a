#include "language_sections.h"

#include "language_targets.h"
#include "parameter_catalogue.h"
#include "shared_state.h"

#include <algorithm>
#include <array>

namespace kinetra {

namespace {

// Axis parameters with a label, in the order of the first section (12, 52, 53, 54 have none).
constexpr std::array<int, 52> kAxisLabels = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 13, 14, 15, 16, 17, 18,
                                             19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36,
                                             37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 55};
// Device parameters with a label on the window.
constexpr std::array<int, 17> kDeviceLabels = {1, 2, 10, 13, 14, 15, 16, 17, 18, 19, 25, 29, 30, 37, 40, 43, 46};
// The selection lists that the third section fills.
constexpr std::array<int, 12> kLists = {2125, 2126, 2127, 2129, 2130, 2136, 2139, 2142, 2146, 2147, 2148, 2149};
constexpr std::array<int, 3> kInputs = {2146, 2147, 2148};
// Buttons whose hints come from the fourth section, in entry order.
constexpr std::array<int, 7> kCommandHints = {128, 129, 130, 131, 136, 139, 138};
constexpr std::array<const char*, 5> kToolHints = {"cmdConnect", "cmdData", "cmdStop", "cmdTool", "cmdInfo"};

template <size_t N> bool contains(const std::array<int, N>& values, int value)
{
    return std::find(values.begin(), values.end(), value) != values.end();
}

Element element(const char* name, int index)
{
    return {QString::fromLatin1(name), index};
}

// Reads the fields one by one, in file order.
class Cursor {
public:
    explicit Cursor(const QStringList& fields) : fields_(fields) {}

    bool header()
    {
        if (fields_.size() - pos_ < 3)
            return false;
        pos_ += 3;
        return true;
    }
    // One entry: the number (not evaluated) and the text.
    bool entry(QString& text)
    {
        if (fields_.size() - pos_ < 2)
            return false;
        text = fields_[pos_ + 1];
        pos_ += 2;
        return true;
    }

private:
    const QStringList& fields_;
    qsizetype pos_ = 0;
};

// Fills the selection lists from the third section's texts, for one drive level.
class ListFiller {
public:
    ListFiller(LanguageTargets& targets, bool level500) : targets_(targets), level500_(level500) {}

    void listItem(int entry, const QString& text)
    {
        switch (entry) {
        case 1:
        case 2: add(2125, text); break;
        case 3:
            add(2125, text);
            tag(2125, "P25");
            break;
        case 4:
            direction_ = text;
            add(2142, text);
            break;
        case 5:
            // Below level 500 the drive counts the other way round: the position of the item
            // is the parameter value, so the two texts swap places.
            add(2142, text);
            add(2126, level500_ ? direction_ : text);
            add(2126, level500_ ? text : direction_);
            tag(2126, "P26");
            tag(2142, "P42");
            break;
        case 6: add(2127, text); break;
        case 7:
            add(2127, text);
            tag(2127, "P27");
            break;
        case 8: add(2129, text); break;
        case 9:
            add(2129, text);
            tag(2129, "P29");
            break;
        case 10: add(2130, text); break;
        case 11:
            add(2130, text);
            tag(2130, "P30");
            break;
        case 12: add(2136, text); break;
        case 13:
            add(2136, text);
            tag(2136, "P36");
            break;
        case 14: add(2139, text); break;
        case 15:
            add(2139, text);
            tag(2139, "P39");
            break;
        case 16:
        case 17: addInputs(text); break;
        case 18:
        case 19:
        case 20: add(kInputs[size_t(entry - 18)], text); break;
        case 21:
            none_ = text;
            addInputs(text);
            break;
        case 22:
            if (level500_)
                addInputs(text);
            break;
        case 23:
        case 24: add(2149, text); break;
        case 25:
            add(2149, text);
            add(2149, none_);
            break;
        default: break;
        }
    }

private:
    void add(int list, const QString& text) { targets_.addItem(el::cmbPara(list), text); }
    void addInputs(const QString& text)
    {
        for (int list : kInputs)
            add(list, text);
    }
    void tag(int list, const char* text) { targets_.setTag(el::cmbPara(list), QString::fromLatin1(text)); }

    LanguageTargets& targets_;
    const bool level500_;
    QString direction_; // first direction text, placed once the second is known
    QString none_;      // "no function": the last item of the output list as well
};

class Applier {
public:
    Applier(SharedState& state, LanguageTargets& targets) : state_(state), targets_(targets) {}

    void axisLabel(int entry, const QString& text)
    {
        if (entry <= int(kAxisLabels.size())) {
            const int p = kAxisLabels[size_t(entry - 1)];
            targets_.setCaption(el::lblPara(2100 + p), text);
            if (const auto mirror = mirrorBoxOf(2100 + p))
                targets_.setCaption(el::lblPara(*mirror), text);
        } else if (entry == 53) {
            targets_.setCaption(el::lblPara(2182), text);
        } else if (entry == 54) {
            targets_.setCaption(el::lblPara(2184), text);
        }
    }

    void deviceLabel(int entry, const QString& text)
    {
        const int p = entry - 1;
        if (contains(kDeviceLabels, p))
            targets_.setCaption(el::lblPara(2400 + p), text);
    }

    void listItem(int entry, const QString& text)
    {
        if (entry == 1)
            lists_.clear();
        lists_ << text;
        if (entry == kLanguageSectionEntries[2]) {
            state_.selectionTexts = lists_;
            fillSelectionLists(state_, targets_);
        }
    }

    void commandText(int entry, const QString& text)
    {
        if (entry <= 7)
            targets_.setHint(element("cmdComand", kCommandHints[size_t(entry - 1)]), text);
        else if (entry <= 14)
            targets_.setCaption(element("lblObject", entry - 8), text);
        else if (entry <= 19)
            targets_.setHint(element(kToolHints[size_t(entry - 15)], 0), text);
    }

    void frameText(int entry, const QString& text)
    {
        if (entry <= 3)
            targets_.setCaption(element("frmMain", entry - 1), text);
        else if (entry <= 15)
            targets_.setCaption(element("framepara", entry - 4), text);
        else if (entry <= 22)
            targets_.setTabCaption(entry - 16, text);
        else if (entry == 23)
            targets_.setCaption(element("frmMain", 4), text);
    }

    void message(int entry, const QString& text) { state_.messageText[size_t(entry - 1)] = text; }

private:
    SharedState& state_;
    LanguageTargets& targets_;
    QStringList lists_; // the third section as it is read
};

} // namespace

void fillSelectionLists(const SharedState& state, LanguageTargets& targets)
{
    if (state.selectionTexts.size() != kLanguageSectionEntries[2])
        return;
    for (int list : kLists)
        targets.clearItems(el::cmbPara(list));
    ListFiller filler(targets, hasNewerSelectionLists(state.firmwareLevel));
    for (int entry = 1; entry <= int(state.selectionTexts.size()); ++entry)
        filler.listItem(entry, state.selectionTexts[entry - 1]);
    targets.selectionListsFilled();
}

bool applyLanguageFields(const QStringList& fields, SharedState& state, LanguageTargets& targets)
{
    static_assert(SharedState::kMessageCount == 101);
    Applier applier(state, targets);
    using Apply = void (Applier::*)(int, const QString&);
    constexpr Apply kSections[6] = {&Applier::axisLabel,   &Applier::deviceLabel, &Applier::listItem,
                                    &Applier::commandText, &Applier::frameText,   &Applier::message};

    Cursor cursor(fields);
    for (int section = 0; section < 6; ++section) {
        if (!cursor.header())
            return false;
        for (int entry = 1; entry <= kLanguageSectionEntries[section]; ++entry) {
            QString text;
            if (!cursor.entry(text))
                return false;
            (applier.*kSections[section])(entry, text);
        }
    }
    state.toolText = SharedState::defaultToolTexts();
    if (cursor.header()) {
        QString text;
        for (int entry = 0; entry < kToolTextCount && cursor.entry(text); ++entry)
            state.toolText[size_t(entry)] = text;
    }
    targets.toolTextsLoaded();
    return true;
}

} // namespace kinetra
