#pragma once

#include "window_elements.h"

#include <QString>

namespace kinetra {

// Where the texts of a language file go. The main window implements it over its widgets; an
// element it does not have is a silent no-op, as every operation of this base class is.
class LanguageTargets {
public:
    virtual ~LanguageTargets() = default;

    // Caption of a label, frame or check box ("lblPara" 2110, "lblObject" 3, "frmMain" 0,
    // "framepara" 5); a label sizes itself to its new text.
    virtual void setCaption(const Element&, const QString&) {}
    // Hover hint (tool tip) of a button ("cmdComand" 128, "cmdConnect" 0, "cmdData" 0, ...).
    virtual void setHint(const Element&, const QString&) {}
    // Items of a selection list ("cmbPara" 2125).
    virtual void clearItems(const Element&) {}
    virtual void addItem(const Element&, const QString&) {}
    // The "P25" ... "P39" tag of a selection list.
    virtual void setTag(const Element&, const QString&) {}
    // Caption of tab n of the main tab control.
    virtual void setTabCaption(int, const QString&) {}
    // Every selection list has been filled anew: each is to show its value again.
    virtual void selectionListsFilled() {}
    // The newer windows' texts (SharedState::toolText) are those of the language just loaded.
    virtual void toolTextsLoaded() {}
};

} // namespace kinetra
