#include "device_status.h"

#include "device_texts.h"
#include "display_numbers.h"
#include "display_window.h"
#include "shared_state.h"

#include <cmath>
#include <cstdlib>

namespace kinetra {

namespace {

constexpr int kDiagnoseTab = 4;
constexpr int kProgramTab = 5;

struct BusText {
    int state;
    const char* text;
    bool raised;
};

// Exact, trailing blanks included: the panel shows them as they are.
constexpr BusText kProfiBus[] = {{0, "ProfiBus : OFFLINE ", false},
                                 {1, "ProfiBus : WAIT PRM", false},
                                 {2, "ProfiBus : WAIT_CFG", false},
                                 {3, "ProfiBus : ERROR   ", false},
                                 {4, "ProfiBus : DATA EX ", true}};
constexpr BusText kCanOpen[] = {{0, "canOPEN : INIT_CAN ", false},
                                {127, "canOPEN : PRE_OPERATE", true},
                                {4, "canOPEN : STOP_CAN", false},
                                {5, "canOPEN : OPERATE", true}};

} // namespace

QString operatingTimeText(double minutes, const QLocale& locale)
{
    // Whole hours come off while more than 59 minutes are left, computed at once rather than
    // hour by hour: a drive may report any count.
    double hours = 0;
    if (minutes > 59) {
        hours = std::ceil((minutes - 59) / 60);
        minutes -= 60 * hours;
    }
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString((hours * 100 + minutes) / 100, 'f', 2) + QLatin1Char('h');
}

DeviceStatus::DeviceStatus(SharedState& state, WindowElements& window, DisplayWindow& extra)
    : state_(state), window_(window), extra_(extra)
{
}

void DeviceStatus::deviceType(const QString& text)
{
    const auto code = wholeNumber(text);
    if (!code)
        return;
    if (const QString name = deviceTypeText(*code); !name.isEmpty())
        window_.setText(el::txtPara(2401), name);
    const auto hideEncoderAndSave = [this] {
        extra_.setChecked(el::chkEncoder(), true);
        window_.setVisible(el::chkEncoder(), false);
        window_.setVisible(el::cmdComand(153), false);
    };
    if (*code >= 2010 && *code <= 2014)
        hideEncoderAndSave();
    if (*code >= 2050 && *code <= 2054) {
        window_.setText(el::txtPara(1), state_.message(kModelNote));
        window_.setEnabled(el::txtPara(2106), false);
        window_.setEnabled(el::txtPara(3106), false);
        window_.setVisible(el::cmbPara(2125), false);
        window_.setVisible(el::lblPara(2125), false);
        hideEncoderAndSave();
    }
    state_.busType = busTypeOf(*code);
}

void DeviceStatus::softwareVersion(const QString& text)
{
    if (state_.firmwareLevel >= 500) {
        extra_.setTabVisible(kDiagnoseTab, true);
        extra_.setTabVisible(kProgramTab, true);
    }
    if (const auto level = wholeNumber(text))
        window_.setText(el::txtPara(2402), versionText(*level));
    extra_.firmwareLevelShown();
}

void DeviceStatus::operatingTime(const QString& text, const QLocale& locale)
{
    if (const auto minutes = displayNumber(text))
        window_.setText(el::txtPara(2429), operatingTimeText(*minutes, locale));
}

void DeviceStatus::fieldBusState(const QString& text)
{
    window_.setStatusBevel(3, Bevel::Sunken);
    if (state_.busType == 0) {
        window_.setStatusText(3, QString());
        return;
    }
    const auto value = wholeNumber(text);
    if (!value)
        return;
    const auto show = [&](const auto& table) {
        for (const BusText& b : table) {
            if (b.state != *value)
                continue;
            window_.setStatusText(3, QString::fromLatin1(b.text));
            if (b.raised)
                window_.setStatusBevel(3, Bevel::Raised);
        }
    };
    if (state_.busType == 2)
        show(kProfiBus);
    else if (state_.busType == 1)
        show(kCanOpen);
}

void DeviceStatus::canOpenState(const QString& hex)
{
    if (state_.busType != 1)
        return;
    const QString pair = hex.mid(2, 2);
    const char* word = pair == QLatin1String("00")   ? "init"
                       : pair == QLatin1String("7F") ? "pre operate"
                       : pair == QLatin1String("04") ? "stopt"
                       : pair == QLatin1String("05") ? "operate"
                                                     : nullptr;
    if (word)
        window_.setStatusText(3, QStringLiteral("canOPEN  ") + QString::fromLatin1(word));
}

} // namespace kinetra
