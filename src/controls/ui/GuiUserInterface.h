#pragma once
// TGuiUserInterface: how the core talks to the user in the desktop program —
// message boxes, typed dialogs, the timed notice window, the hourglass cursor
// and the status window of long file operations.
//
// Every modal window it opens passes through an optional dialog hook just
// before it runs, so a test (or a scripted run) can look at it and answer it.

#include "platform/UserInterface.h"

#include <QPointer>
#include <QString>

#include <functional>

class QDialog;
class QWidget;
class TStatus4Frm;

class TGuiUserInterface : public TUserInterface {
public:
    // Called with every modal dialog just before it runs. The hook must not
    // close it synchronously; schedule the answer (for example with a
    // zero-time QTimer) so it arrives inside the dialog's event loop.
    using TDialogHook = std::function<void(QDialog&)>;

    // parent: the window the dialogs belong to (may be null). An empty
    // application title stands for the application's display name.
    explicit TGuiUserInterface(QWidget* parent = nullptr, const QString& applicationTitle = {});
    ~TGuiUserInterface() override;
    TGuiUserInterface(const TGuiUserInterface&) = delete;
    TGuiUserInterface& operator=(const TGuiUserInterface&) = delete;

    void SetDialogHook(TDialogHook hook) { dialogHook_ = std::move(hook); }
    QString ApplicationTitle() const;
    // The caption of a typed dialog of this kind.
    static QString DialogCaption(TDialogKind kind);

    void ShowMessage(const QString& text) override;
    void MessageBox(const QString& caption, const QString& text, TDialogKind kind) override;
    void Dialog(const QString& text, TDialogKind kind) override;
    bool Confirm(const QString& text, TDialogKind kind = TDialogKind::Confirmation) override;
    void TimedNotice(const QString& caption, const QString& text, int seconds) override;
    void ErrorBox(const QString& title, const QString& text) override;

    void SetHourglass(bool on) override;
    int HourglassDepth() const { return hourglassDepth_; }
    void ProcessEvents() override;
    void Beep() override;

    void StatusShow(const QString& text, bool showGauges, bool showSecondPanel) override;
    void StatusUpdate(const QString& text, const QString& secondText, int percent1, int percent2) override;
    void StatusClose() override;
    // The open status window, or null.
    TStatus4Frm* StatusWindow() const { return status_; }

private:
    // Runs a modal dialog through the hook; returns exec()'s result.
    int Run(QDialog& dialog);
    void OkBox(const QString& caption, const QString& text, TDialogKind kind);

    QPointer<QWidget> parent_;
    QString applicationTitle_;
    TDialogHook dialogHook_;
    int hourglassDepth_ = 0;
    QPointer<TStatus4Frm> status_;
};
