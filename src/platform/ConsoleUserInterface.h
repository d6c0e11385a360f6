#pragma once
// The user interface of the command-line tool: messages go to standard
// output, errors to standard error, and confirmations are answered from the
// --yes / --no flag (No when neither was given).

#include "platform/UserInterface.h"

#include <cstdio>

class TConsoleUserInterface : public TUserInterface {
public:
    explicit TConsoleUserInterface(bool answerYes, std::FILE* out = stdout, std::FILE* err = stderr)
        : answerYes_(answerYes), out_(out), err_(err) {}

    void ShowMessage(const QString& text) override;
    void MessageBox(const QString& caption, const QString& text, TDialogKind kind) override;
    void Dialog(const QString& text, TDialogKind kind) override;
    bool Confirm(const QString& text, TDialogKind kind) override;
    void TimedNotice(const QString& caption, const QString& text, int seconds) override;
    void ErrorBox(const QString& title, const QString& text) override;
    void SetHourglass(bool) override {}
    void ProcessEvents() override {}
    void Beep() override {}
    void StatusShow(const QString& text, bool showGauges, bool showSecondPanel) override;
    void StatusUpdate(const QString& text, const QString& secondText, int percent1, int percent2) override;
    void StatusClose() override {}

private:
    void Print(std::FILE* stream, const QString& text);

    bool answerYes_;
    std::FILE* out_;
    std::FILE* err_;
    QString lastStatus_;
};
