#pragma once

#include "window_elements.h"

namespace kinetra {

// The windows as the link sees them: elements named "frmFile.<control>" belong to the file
// window while it is open (and are silent no-ops while it is not); everything else, the status
// bar included, goes to the main window. The application hands this to DriveCom in place of
// the main window, and the file window attaches itself while it exists.
class FileWindowElements : public WindowElements {
public:
    explicit FileWindowElements(WindowElements& mainWindow) : main_(mainWindow) {}

    void attach(WindowElements* fileWindow) { file_ = fileWindow; }
    void detach(const WindowElements* fileWindow)
    {
        if (file_ == fileWindow)
            file_ = nullptr;
    }
    WindowElements* fileWindow() const { return file_; }
    WindowElements& mainWindow() const { return main_; }

    static bool isFileWindowElement(const Element& e);

    QString text(const Element& e) const override { return target(e).text(e); }
    void setText(const Element& e, const QString& t) override { target(e).setText(e, t); }
    int selection(const Element& e) const override { return target(e).selection(e); }
    void setSelection(const Element& e, int position) override { target(e).setSelection(e, position); }
    void setVisible(const Element& e, bool on) override { target(e).setVisible(e, on); }
    void setEnabled(const Element& e, bool on) override { target(e).setEnabled(e, on); }
    void setValue(const Element& e, int v) override { target(e).setValue(e, v); }
    void setMaximum(const Element& e, int v) override { target(e).setMaximum(e, v); }
    void setStatusText(int panel, const QString& t) override { main_.setStatusText(panel, t); }
    void setStatusBevel(int panel, Bevel b) override { main_.setStatusBevel(panel, b); }
    int currentTab() const override { return main_.currentTab(); }
    void setMarked(const Element& e, bool marked, int hintEntry) override { target(e).setMarked(e, marked, hintEntry); }
    void setHeight(const Element& e, int units) override { target(e).setHeight(e, units); }
    void setTop(const Element& e, int units) override { target(e).setTop(e, units); }

private:
    WindowElements& target(const Element& e) const;

    WindowElements& main_;
    WindowElements* file_ = nullptr;
    mutable WindowElements closed_; // stands for the file window while it is not open
};

} // namespace kinetra
