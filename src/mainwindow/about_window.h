#pragma once

#include <QDialog>

namespace kinetra {

// The about windows: frmSplash (the maker's) and frmSplashOrven (the distributor's). Dismissing
// one only hides it, by its button, a click anywhere on it, or any key.
class AboutWindow : public QDialog {
    Q_OBJECT
public:
    enum class Variant { Maker, Distributor };

    explicit AboutWindow(Variant variant, QWidget* parent = nullptr);

    Variant variant() const { return variant_; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Escape would reject() the dialog; closing it any way just hides it.
    void reject() override { hide(); }

private:
    Variant variant_;
};

} // namespace kinetra
