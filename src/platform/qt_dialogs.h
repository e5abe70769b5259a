#pragma once

#include "dialogs.h"

class QWidget;

namespace kinetra {

// Message boxes as QMessageBox, over the given parent window.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    MessageAnswer message(const QString& text, const QString& title, MessageIcon icon, MessageButtons buttons,
                          MessageAnswer defaultAnswer) override;
    QString chooseFile(FileChoice choice, const QString& title, const QString& path, const QString& filter) override;

private:
    QWidget* parent_;
};

} // namespace kinetra
