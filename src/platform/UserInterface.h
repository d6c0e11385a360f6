#pragma once
// How the core talks to the user. The core never shows a window itself: the
// GUI implements this with dialogs, the command-line tool prints and answers
// from its flags, and the tests record every call.

#include <QString>

class TUserInterface {
public:
    enum class TDialogKind { Information, Warning, Error, Confirmation };

    virtual ~TUserInterface() = default;

    // A plain message box with the application title as caption and OK.
    virtual void ShowMessage(const QString& text) = 0;
    // A system message box with its own caption (for example the missing-table box).
    virtual void MessageBox(const QString& caption, const QString& text, TDialogKind kind) = 0;
    // A typed dialog with an icon and OK.
    virtual void Dialog(const QString& text, TDialogKind kind) = 0;
    // A typed dialog with Yes and No; only Yes counts as consent.
    virtual bool Confirm(const QString& text, TDialogKind kind = TDialogKind::Confirmation) = 0;
    // The small message window that closes by itself after some seconds.
    virtual void TimedNotice(const QString& caption, const QString& text, int seconds) = 0;
    // The application's error box for a failure that ended an action.
    virtual void ErrorBox(const QString& title, const QString& text) = 0;

    // The hourglass cursor; calls nest (on twice needs off twice).
    virtual void SetHourglass(bool on) = 0;
    // Lets pending window messages run (paint, timers).
    virtual void ProcessEvents() = 0;
    // The system beep.
    virtual void Beep() = 0;

    // The status window of long file operations: one text line, an optional
    // second panel (shown when the job has more than one file) and two gauges.
    virtual void StatusShow(const QString& text, bool showGauges, bool showSecondPanel) = 0;
    virtual void StatusUpdate(const QString& text, const QString& secondText, int percent1, int percent2) = 0;
    virtual void StatusClose() = 0;
};

// Shows the hourglass for the lifetime of the object.
class THourglass {
public:
    explicit THourglass(TUserInterface& ui) : ui_(ui) { ui_.SetHourglass(true); }
    ~THourglass() { ui_.SetHourglass(false); }
    THourglass(const THourglass&) = delete;
    THourglass& operator=(const THourglass&) = delete;

private:
    TUserInterface& ui_;
};
