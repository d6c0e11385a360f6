#include "platform/ConsoleUserInterface.h"

void TConsoleUserInterface::Print(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

void TConsoleUserInterface::ShowMessage(const QString& text) {
    Print(out_, text);
}

void TConsoleUserInterface::MessageBox(const QString& caption, const QString& text, TDialogKind kind) {
    Print(kind == TDialogKind::Error ? err_ : out_, caption + QStringLiteral(": ") + text);
}

void TConsoleUserInterface::Dialog(const QString& text, TDialogKind kind) {
    Print(kind == TDialogKind::Error || kind == TDialogKind::Warning ? err_ : out_, text);
}

bool TConsoleUserInterface::Confirm(const QString& text, TDialogKind) {
    Print(out_, text + (answerYes_ ? QStringLiteral(" [yes]") : QStringLiteral(" [no]")));
    return answerYes_;
}

void TConsoleUserInterface::TimedNotice(const QString& caption, const QString& text, int) {
    Print(out_, caption + QStringLiteral(": ") + text);
}

void TConsoleUserInterface::ErrorBox(const QString& title, const QString& text) {
    Print(err_, title.isEmpty() ? text : title + QStringLiteral(": ") + text);
}

void TConsoleUserInterface::StatusShow(const QString& text, bool, bool) {
    lastStatus_ = text;
    Print(out_, text);
}

void TConsoleUserInterface::StatusUpdate(const QString& text, const QString&, int, int) {
    if (text != lastStatus_) {
        lastStatus_ = text;
        Print(out_, text);
    }
}
