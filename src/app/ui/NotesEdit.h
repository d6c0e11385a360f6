#pragma once
// The notes editor of a kind: the record's NotesFilm as plain or rich text.
// A click on a link — or on a web or mail address written in the text —
// opens it with the desktop's program for it.

#include <QTextEdit>

class TNotesEdit : public QTextEdit {
    Q_OBJECT

public:
    explicit TNotesEdit(QWidget* parent = nullptr);

    // Rich text keeps its formatting as Markdown (bold, italic, lists,
    // links), which stays readable wherever the note is shown as text;
    // plain text is stored as typed.
    void SetRichText(bool rich);
    bool RichText() const { return rich_; }
    // The editor's content in its stored form (remembered as LastStoredText).
    QString StoredText();
    void LoadStoredText(const QString& text);
    // What was last loaded or taken for storing: comparing a record's value
    // with it needs no conversion of the document.
    const QString& LastStoredText() const { return lastStored_; }

    // Stored notes as the reader sees them: the text of the formatted
    // document when rich, the stored text itself when plain.
    static QString PlainTextOf(const QString& stored, bool rich);
    // The same on one line (a grid cell): lines joined by " · ", runs of
    // blanks made one.
    static QString OneLine(const QString& stored, bool rich);

    // The link at a position: an anchor, or an address in the plain text
    // ("http://", "https://", "www.", "mailto:"); empty when there is none.
    QString LinkAt(const QPoint& position) const;

signals:
    void LinkClicked(const QString& link);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool rich_ = true;
    QString lastStored_;
};
