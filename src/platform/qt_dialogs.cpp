#include "qt_dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace kinetra {

MessageAnswer QtDialogs::message(const QString& text, const QString& title, MessageIcon icon, MessageButtons buttons,
                                 MessageAnswer defaultAnswer)
{
    QMessageBox box(parent_);
    box.setText(text);
    box.setWindowTitle(title);
    switch (icon) {
    case MessageIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    case MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MessageIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MessageIcon::Error: box.setIcon(QMessageBox::Critical); break;
    case MessageIcon::Question: box.setIcon(QMessageBox::Question); break;
    }
    if (buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(defaultAnswer == MessageAnswer::Yes ? QMessageBox::Yes : QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MessageAnswer::Ok;
}

QString QtDialogs::chooseFile(FileChoice choice, const QString& title, const QString& path, const QString& filter)
{
    // Qt's own file window: the same on every desktop, and reachable by its accessible names.
    const auto options = QFileDialog::DontUseNativeDialog;
    return choice == FileChoice::Open ? QFileDialog::getOpenFileName(parent_, title, path, filter, nullptr, options)
                                      : QFileDialog::getSaveFileName(parent_, title, path, filter, nullptr, options);
}

} // namespace kinetra
