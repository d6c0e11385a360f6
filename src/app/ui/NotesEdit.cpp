#include "app/ui/NotesEdit.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>

TNotesEdit::TNotesEdit(QWidget* parent) : QTextEdit(parent) {
    connect(this, &TNotesEdit::LinkClicked, this, [](const QString& link) {
        QDesktopServices::openUrl(QUrl::fromUserInput(link));
    });
}

void TNotesEdit::SetRichText(bool rich) {
    if (rich == rich_)
        return;
    const QString stored = StoredText();
    rich_ = rich;
    setAcceptRichText(rich);
    LoadStoredText(stored);
}

QString TNotesEdit::StoredText() {
    lastStored_ = rich_ ? document()->toMarkdown().trimmed() : toPlainText();
    return lastStored_;
}

void TNotesEdit::LoadStoredText(const QString& text) {
    lastStored_ = text;
    if (rich_)
        setMarkdown(text);
    else
        setPlainText(text);
}

QString TNotesEdit::PlainTextOf(const QString& stored, bool rich) {
    if (!rich || stored.isEmpty())
        return stored;
    // What setMarkdown shows in the editor, without an editor.
    QTextDocument document;
    document.setMarkdown(stored);
    return document.toPlainText();
}

QString TNotesEdit::OneLine(const QString& stored, bool rich) {
    QStringList lines;
    for (const QString& line : PlainTextOf(stored, rich).split(QRegularExpression(QStringLiteral("[\\r\\n]+")))) {
        const QString simple = line.simplified();
        if (!simple.isEmpty())
            lines << simple;
    }
    return lines.join(QStringLiteral(" · "));
}

QString TNotesEdit::LinkAt(const QPoint& position) const {
    const QString anchor = anchorAt(position);
    if (!anchor.isEmpty())
        return anchor;
    const QTextCursor cursor = cursorForPosition(position);
    const QString text = cursor.block().text();
    const int at = cursor.positionInBlock();
    static const QRegularExpression address(QStringLiteral(R"((https?://|www\.|mailto:)[^\s<>"]+)"),
                                            QRegularExpression::CaseInsensitiveOption);
    for (auto match = address.globalMatch(text); match.hasNext();) {
        const auto found = match.next();
        if (at >= found.capturedStart() && at <= found.capturedEnd())
            return found.captured();
    }
    return QString();
}

void TNotesEdit::mouseReleaseEvent(QMouseEvent* event) {
    QTextEdit::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || textCursor().hasSelection())
        return;
    const QString link = LinkAt(event->position().toPoint());
    if (!link.isEmpty())
        emit LinkClicked(link);
}
