#include "controls/ui/GuiUserInterface.h"

#include "controls/ui/Status4Frm.h"
#include "controls/ui/TimedMessage.h"
#include "controls/ui/ZebGauge.h"
#include "platform/Translate.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace {

QMessageBox::Icon IconOf(TUserInterface::TDialogKind kind) {
    switch (kind) {
    case TUserInterface::TDialogKind::Information:
        return QMessageBox::Information;
    case TUserInterface::TDialogKind::Warning:
        return QMessageBox::Warning;
    case TUserInterface::TDialogKind::Error:
        return QMessageBox::Critical;
    case TUserInterface::TDialogKind::Confirmation:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

} // namespace

TGuiUserInterface::TGuiUserInterface(QWidget* parent, const QString& applicationTitle)
    : parent_(parent), applicationTitle_(applicationTitle) {}

TGuiUserInterface::~TGuiUserInterface() {
    StatusClose();
    while (hourglassDepth_ > 0)
        SetHourglass(false);
}

QString TGuiUserInterface::ApplicationTitle() const {
    return applicationTitle_.isEmpty() ? QGuiApplication::applicationDisplayName() : applicationTitle_;
}

QString TGuiUserInterface::DialogCaption(TDialogKind kind) {
    switch (kind) {
    case TDialogKind::Information:
        return Tr("Information");
    case TDialogKind::Warning:
        return Tr("Warnung");
    case TDialogKind::Error:
        return Tr("Fehler");
    case TDialogKind::Confirmation:
        return Tr("Bestätigen");
    }
    return {};
}

int TGuiUserInterface::Run(QDialog& dialog) {
    if (dialogHook_)
        dialogHook_(dialog);
    return dialog.exec();
}

void TGuiUserInterface::OkBox(const QString& caption, const QString& text, TDialogKind kind) {
    QMessageBox box(IconOf(kind), caption, text, QMessageBox::Ok, parent_);
    box.button(QMessageBox::Ok)->setText(Tr("OK"));
    Run(box);
}

void TGuiUserInterface::ShowMessage(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, ApplicationTitle(), text, QMessageBox::Ok, parent_);
    box.button(QMessageBox::Ok)->setText(Tr("OK"));
    Run(box);
}

void TGuiUserInterface::MessageBox(const QString& caption, const QString& text, TDialogKind kind) {
    OkBox(caption, text, kind);
}

void TGuiUserInterface::Dialog(const QString& text, TDialogKind kind) {
    OkBox(DialogCaption(kind), text, kind);
}

bool TGuiUserInterface::Confirm(const QString& text, TDialogKind kind) {
    QMessageBox box(IconOf(kind), DialogCaption(kind), text, QMessageBox::Yes | QMessageBox::No, parent_);
    QAbstractButton* yes = box.button(QMessageBox::Yes);
    yes->setText(Tr("&Ja"));
    box.button(QMessageBox::No)->setText(Tr("&Nein"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    Run(box);
    // Only Yes is consent: No, Escape and closing the window all refuse.
    return box.clickedButton() == yes;
}

void TGuiUserInterface::TimedNotice(const QString& caption, const QString& text, int seconds) {
    TTimedMessage message(caption, text, seconds > 0 ? seconds * 1000 : TTimedMessage::kDefaultTimeoutMs, parent_);
    Run(message);
}

void TGuiUserInterface::ErrorBox(const QString& title, const QString& text) {
    OkBox(title.isEmpty() ? ApplicationTitle() : title, text, TDialogKind::Error);
}

void TGuiUserInterface::SetHourglass(bool on) {
    if (on) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        ++hourglassDepth_;
    } else if (hourglassDepth_ > 0) {
        // An unmatched "off" must not take away a cursor someone else set.
        QGuiApplication::restoreOverrideCursor();
        --hourglassDepth_;
    }
}

void TGuiUserInterface::ProcessEvents() {
    QCoreApplication::processEvents();
}

void TGuiUserInterface::Beep() {
    QApplication::beep();
}

void TGuiUserInterface::StatusShow(const QString& text, bool showGauges, bool showSecondPanel) {
    StatusClose();
    status_ = new TStatus4Frm(parent_);
    status_->setAttribute(Qt::WA_DeleteOnClose);
    status_->SetFileCount(showSecondPanel ? 2 : 1);
    status_->Label1()->setText(text);
    status_->ZebGauge1()->setVisible(showGauges);
    status_->ZebGauge2()->setVisible(showGauges);
    status_->ZebGauge1()->SetProgress(0);
    status_->ZebGauge2()->SetProgress(0);
    status_->show();
    status_->raise();
    ProcessEvents();
}

void TGuiUserInterface::StatusUpdate(const QString& text, const QString& secondText, int percent1, int percent2) {
    if (!status_)
        return;
    status_->Label1()->setText(text);
    status_->Label2()->setText(secondText);
    status_->ZebGauge1()->SetProgress(percent1);
    status_->ZebGauge2()->SetProgress(percent2);
    ProcessEvents();
}

void TGuiUserInterface::StatusClose() {
    delete status_.data(); // QPointer: null when the window is gone already
    status_ = nullptr;
}
