#pragma once

#include "display_window.h"

namespace kinetra {

class frmSDI;

// The live display's view of the main window beyond WindowElements: tabs of SSTab1, check
// boxes, list items and the diagnosis chart picDiag, all found by element name and index.
class MainWindowDisplay : public DisplayWindow {
public:
    explicit MainWindowDisplay(frmSDI& window) : window_(window) {}

    void setTabVisible(int tab, bool on) override;
    bool isChecked(const Element& e) const override;
    void setChecked(const Element& e, bool on) override;
    std::optional<QString> itemText(const Element& list, int position) const override;
    ChartSurface* chart() override;
    void chartSampled(const ChartSample& sample, double x) override;
    void firmwareLevelShown() override;

private:
    frmSDI& window_;
};

} // namespace kinetra
