#include "support/RecordingUserInterface.h"

QStringList TRecordingUserInterface::Messages() const {
    QStringList texts;
    for (const QString& call : calls) {
        for (const char* prefix : {"message: ", "box: ", "dialog: ", "notice: "}) {
            const QString p = QString::fromLatin1(prefix);
            if (call.startsWith(p)) {
                texts << call.mid(p.size());
                break;
            }
        }
    }
    return texts;
}

void TRecordingUserInterface::ShowMessage(const QString& text) {
    calls << QStringLiteral("message: ") + text;
}

void TRecordingUserInterface::MessageBox(const QString& caption, const QString& text, TDialogKind) {
    calls << QStringLiteral("box caption: ") + caption;
    calls << QStringLiteral("box: ") + text;
}

void TRecordingUserInterface::Dialog(const QString& text, TDialogKind) {
    calls << QStringLiteral("dialog: ") + text;
}

bool TRecordingUserInterface::Confirm(const QString& text, TDialogKind) {
    calls << QStringLiteral("confirm: ") + text;
    if (answers.empty())
        return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}

void TRecordingUserInterface::TimedNotice(const QString& caption, const QString& text, int seconds) {
    calls << QStringLiteral("notice caption: %1 (%2 s)").arg(caption).arg(seconds);
    calls << QStringLiteral("notice: ") + text;
}

void TRecordingUserInterface::ErrorBox(const QString& title, const QString& text) {
    calls << QStringLiteral("error: ") + title + QStringLiteral(" | ") + text;
}

void TRecordingUserInterface::SetHourglass(bool on) {
    hourglassDepth += on ? 1 : -1;
    if (hourglassDepth > maxHourglassDepth)
        maxHourglassDepth = hourglassDepth;
}

void TRecordingUserInterface::StatusShow(const QString& text, bool, bool) {
    calls << QStringLiteral("status: ") + text;
}

void TRecordingUserInterface::StatusUpdate(const QString& text, const QString&, int, int) {
    calls << QStringLiteral("status update: ") + text;
}
