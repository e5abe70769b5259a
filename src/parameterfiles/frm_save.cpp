#include "frm_save.h"

#include "drive_com.h"
#include "drive_protocol.h"
#include "drive_workflows.h"
#include "link_presenter.h"
#include "shared_state.h"
#include "window_elements.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kinetra {

namespace {

constexpr int kQuestion = 59;
constexpr int kSaveCaption = 60;
constexpr int kEndCaption = 61;
constexpr int kSaved = 62;

} // namespace

frmSave::frmSave(DriveCom& com, WindowElements& windows, QWidget* parent)
    : QDialog(parent), com_(com), windows_(windows)
{
    setObjectName(QStringLiteral("frmSave"));
    setModal(true);
    setWindowTitle(QString());
    setAccessibleName(QStringLiteral("Parameter speichern"));

    label1_ = new QLabel(QStringLiteral("Parameter speichern ?"), this);
    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->setAlignment(Qt::AlignCenter);
    label1_->setWordWrap(true);
    save_ = new QPushButton(QStringLiteral("Speichern"), this);
    save_->setObjectName(QStringLiteral("cmdComand1_0"));
    end_ = new QPushButton(QStringLiteral("End"), this);
    end_->setObjectName(QStringLiteral("cmdComand1_1"));
    // Enter must not save the drive's parameters by accident.
    static_cast<QPushButton*>(save_)->setAutoDefault(false);
    static_cast<QPushButton*>(end_)->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(save_);
    buttons->addWidget(end_);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(18, 18, 18, 14);
    column->setSpacing(16);
    column->addWidget(label1_);
    column->addLayout(buttons);
    label1_->setMinimumWidth(300);
    save_->setMinimumHeight(30);
    end_->setMinimumHeight(30);

    connect(save_, &QAbstractButton::clicked, this, [this] { cmdComand1_Click(0); });
    connect(end_, &QAbstractButton::clicked, this, [this] { cmdComand1_Click(1); });

    // Opening: the texts of the current language.
    const SharedState& state = com_.state();
    const auto take = [&state](int message, const QString& design) {
        const QString text = state.message(message);
        return text.isEmpty() ? design : text;
    };
    label1_->setText(take(kQuestion, label1_->text()));
    save_->setText(take(kSaveCaption, save_->text()));
    end_->setText(take(kEndCaption, end_->text()));
    save_->setAccessibleName(save_->text());
    end_->setAccessibleName(end_->text());
}

void frmSave::showEvent(QShowEvent* event)
{
    closed_ = false;
    QDialog::showEvent(event);
}

void frmSave::cmdComand1_Click(int index)
{
    if (index == 0) {
        // "Saved" only once the drive has acknowledged the save.
        if (saveParameters(com_) == SaveOutcome::Saved)
            windows_.setText(el::helpLine(), com_.state().message(kSaved));
        return;
    }
    reject();
}

void frmSave::done(int result)
{
    if (!closed_) {
        closed_ = true;
        com_.timerReceive().setEnabled(true);
        windows_.setText(el::helpLine(), QString());
    }
    QDialog::done(result);
}

void askToSaveInDrive(DriveCom& com, WindowElements& windows, QWidget* parent)
{
    frmSave save(com, windows, parent);
    save.exec();
}

void showLinkOffline(WindowElements& windows)
{
    windows.setStatusText(1, kOffline);
    windows.setStatusBevel(1, Bevel::Sunken);
}

void resumeAfterLoad(DriveCom& com, WindowElements& windows)
{
    constexpr double kResumePause = 1.0;
    if (com.state().comOnline != 1) {
        showLinkOffline(windows);
        return;
    }
    com.clock().waitServing(kResumePause);
    com.timerReceive().setEnabled(true);
}

} // namespace kinetra
