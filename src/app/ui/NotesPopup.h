#pragma once
// The small editor window in which a list grid edits a record's notes: the
// notes editor of the record pages (rich or plain, as the pages are), with
// buttons for bold, italic and lists when rich, OK and "Abbrechen". The
// window only edits its copy; the grid stores the text when it is accepted.

#include <QDialog>

class QPushButton;
class QToolButton;
class TNotesEdit;

class TNotesPopup : public QDialog {
    Q_OBJECT

public:
    TNotesPopup(const QString& caption, bool rich, const QString& stored, QWidget* parent = nullptr);

    TNotesEdit& Editor() const { return *editor_; }
    // The edited notes in their stored form.
    QString StoredText() const;
    // True once the user changed the text (loading it is no change).
    bool Changed() const;

    QToolButton* BoldButton() const { return bold_; }
    QToolButton* ItalicButton() const { return italic_; }
    QToolButton* ListButton() const { return list_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }

private:
    void FollowFormat();

    TNotesEdit* editor_ = nullptr;
    QToolButton* bold_ = nullptr;
    QToolButton* italic_ = nullptr;
    QToolButton* list_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};
