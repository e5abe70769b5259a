#include "main_window_display.h"

#include "diagnosis_chart.h"
#include "frm_sdi.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QTabWidget>

namespace kinetra {

void MainWindowDisplay::setTabVisible(int tab, bool on)
{
    auto* tabs = window_.elementAs<QTabWidget>(Element{QStringLiteral("SSTab1"), 0});
    if (tabs && tab >= 0 && tab < tabs->count())
        tabs->setTabVisible(tab, on);
}

bool MainWindowDisplay::isChecked(const Element& e) const
{
    auto* box = window_.elementAs<QAbstractButton>(e);
    return box && box->isChecked();
}

void MainWindowDisplay::setChecked(const Element& e, bool on)
{
    auto* box = window_.elementAs<QAbstractButton>(e);
    if (!box || !box->isCheckable() || box->isChecked() == on)
        return;
    box->setChecked(on);
    // A box changed by the program runs its click rule, as a click would.
    if (e == el::chkEncoder())
        window_.chkEncoder_Click();
    else if (e == el::chkReadStop())
        window_.chkReadStop_Click(0);
}

std::optional<QString> MainWindowDisplay::itemText(const Element& list, int position) const
{
    auto* box = window_.elementAs<QComboBox>(list);
    if (!box || position < 0 || position >= box->count())
        return std::nullopt;
    return box->itemText(position);
}

void MainWindowDisplay::firmwareLevelShown()
{
    window_.firmwareLevelShown();
}

ChartSurface* MainWindowDisplay::chart()
{
    return window_.elementAs<DiagnosisChart>(Element{QStringLiteral("picDiag"), 0});
}

void MainWindowDisplay::chartSampled(const ChartSample& sample, double x)
{
    window_.chartSampled(sample, x);
}

} // namespace kinetra
