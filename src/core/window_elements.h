#pragma once

#include <QHashFunctions>
#include <QString>

namespace kinetra {

// Bevel values of the status bar panels: raised while active, sunken while not.
enum class Bevel { Sunken = 1, Raised = 2 };

// An element of a window, by control name and index as the main window's arrays have them
// ("txtPara" 2110, "cmbPara" 2125, "txtHelp" 0). Elements of the file window carry its name
// first ("frmFile.txtHelp").
struct Element {
    QString name;
    int index = 0;
    bool operator==(const Element&) const = default;
};

inline size_t qHash(const Element& e, size_t seed = 0)
{
    return qHashMulti(seed, e.name, e.index);
}

namespace el {
inline Element txtPara(int index)
{
    return {QStringLiteral("txtPara"), index};
}
inline Element txtPara1(int index)
{
    return {QStringLiteral("txtPara1"), index};
}
inline Element cmbPara(int index)
{
    return {QStringLiteral("cmbPara"), index};
}
inline Element lblPara(int index)
{
    return {QStringLiteral("lblPara"), index};
}
inline Element lblEA(int index)
{
    return {QStringLiteral("lblEA"), index};
}
inline Element helpLine()
{
    return {QStringLiteral("txtHelp"), 0};
}
inline Element fileHelpLine()
{
    return {QStringLiteral("frmFile.txtHelp"), 0};
}
inline Element progressBar1()
{
    return {QStringLiteral("ProgressBar1"), 0};
}
inline Element progressBar2()
{
    return {QStringLiteral("ProgressBar2"), 0};
}
inline Element fileProgressBar2()
{
    return {QStringLiteral("frmFile.ProgressBar2"), 0};
}
// The correction bar of the main window and the box beside it that shows its value.
inline Element picCorr()
{
    return {QStringLiteral("picCorr"), 0};
}
inline Element txtCorr()
{
    return {QStringLiteral("txtCorr"), 0};
}
// The status bar's sign that the drive holds unsaved values, and the button beside it that
// writes the values read back.
inline Element lblUnsaved()
{
    return {QStringLiteral("lblUnsaved"), 0};
}
inline Element cmdRevert()
{
    return {QStringLiteral("cmdRevert"), 0};
}
} // namespace el

// What the link and the live display may do to the windows. An element that does not exist is
// a silent no-op, and so is every operation of this base class: it stands for "no window".
class WindowElements {
public:
    virtual ~WindowElements() = default;

    virtual QString text(const Element&) const { return {}; }
    virtual void setText(const Element&, const QString&) {}
    // Selected position of a selection list, 0-based; -1 when none or no such list.
    virtual int selection(const Element&) const { return -1; }
    // A position outside the list changes nothing.
    virtual void setSelection(const Element&, int) {}
    virtual void setVisible(const Element&, bool) {}
    virtual void setEnabled(const Element&, bool) {}
    // Progress bars.
    virtual void setValue(const Element&, int) {}
    virtual void setMaximum(const Element&, int) {}
    // Status bar panels 1-5.
    virtual void setStatusText(int, const QString&) {}
    virtual void setStatusBevel(int, Bevel) {}
    // The tab the main window's tab control shows (0-based); -1 without a window.
    virtual int currentTab() const { return -1; }
    // Marks a button as standing for something still to be done (the save button while the
    // drive holds unsaved values): a sign on its picture, and text `hintEntry` of the tool texts
    // after its hint. Unmarked, it shows its own picture and hint again.
    virtual void setMarked(const Element&, bool /*marked*/, int /*hintEntry*/) {}
    // Height and top edge of an element in window units of 1/1440 inch (15 per pixel at 96 dpi).
    virtual void setHeight(const Element&, int) {}
    virtual void setTop(const Element&, int) {}
};

} // namespace kinetra
