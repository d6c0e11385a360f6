#pragma once
// A user interface for tests: records every call as one line ("message: …",
// "confirm: …", "status: …") and answers confirmations from a queue (No when
// the queue is empty).

#include "platform/UserInterface.h"

#include <QStringList>
#include <deque>

class TRecordingUserInterface : public TUserInterface {
public:
    QStringList calls;             // every call, in order
    std::deque<bool> answers;      // answers for Confirm, front first
    int hourglassDepth = 0;        // current nesting of SetHourglass
    int maxHourglassDepth = 0;

    // Only the texts of plain messages, warnings and boxes, in order.
    QStringList Messages() const;

    void ShowMessage(const QString& text) override;
    void MessageBox(const QString& caption, const QString& text, TDialogKind kind) override;
    void Dialog(const QString& text, TDialogKind kind) override;
    bool Confirm(const QString& text, TDialogKind kind) override;
    void TimedNotice(const QString& caption, const QString& text, int seconds) override;
    void ErrorBox(const QString& title, const QString& text) override;
    void SetHourglass(bool on) override;
    void ProcessEvents() override {}
    void Beep() override { calls << QStringLiteral("beep"); }
    void StatusShow(const QString& text, bool showGauges, bool showSecondPanel) override;
    void StatusUpdate(const QString& text, const QString& secondText, int percent1, int percent2) override;
    void StatusClose() override { calls << QStringLiteral("status closed"); }
};
