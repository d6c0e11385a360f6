#include "app/ui/NotesPopup.h"

#include "app/ui/NotesEdit.h"
#include "platform/Translate.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>
#include <QTextCursor>
#include <QTextList>
#include <QToolButton>
#include <QVBoxLayout>

TNotesPopup::TNotesPopup(const QString& caption, bool rich, const QString& stored, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(caption);
    setSizeGripEnabled(true);
    resize(520, 340);

    editor_ = new TNotesEdit(this);
    editor_->setObjectName(QStringLiteral("NotesPopupEdit"));
    editor_->SetRichText(rich);
    editor_->LoadStoredText(stored);
    editor_->document()->setModified(false);
    editor_->moveCursor(QTextCursor::End);

    auto makeButton = [this](const QString& text, const QString& hint, const QKeySequence& key) {
        auto* button = new QToolButton(this);
        button->setText(text);
        button->setToolTip(hint);
        button->setCheckable(true);
        button->setShortcut(key);
        button->setAutoRaise(true);
        return button;
    };
    bold_ = makeButton(Tr("F"), Tr("Fett (Strg+B)"), QKeySequence(Qt::CTRL | Qt::Key_B));
    QFont boldFont = bold_->font();
    boldFont.setBold(true);
    bold_->setFont(boldFont);
    italic_ = makeButton(Tr("K"), Tr("Kursiv (Strg+I)"), QKeySequence(Qt::CTRL | Qt::Key_I));
    QFont italicFont = italic_->font();
    italicFont.setItalic(true);
    italic_->setFont(italicFont);
    list_ = makeButton(QStringLiteral("•"), Tr("Aufzählung"), QKeySequence());

    connect(bold_, &QToolButton::clicked, this, [this](bool on) {
        editor_->setFontWeight(on ? QFont::Bold : QFont::Normal);
        editor_->setFocus();
    });
    connect(italic_, &QToolButton::clicked, this, [this](bool on) {
        editor_->setFontItalic(on);
        editor_->setFocus();
    });
    connect(list_, &QToolButton::clicked, this, [this](bool on) {
        QTextCursor cursor = editor_->textCursor();
        if (on) {
            cursor.createList(QTextListFormat::ListDisc);
        } else if (QTextList* list = cursor.currentList()) {
            // The paragraph leaves the list and keeps its text.
            list->remove(cursor.block());
            QTextBlockFormat format = cursor.blockFormat();
            format.setIndent(0);
            cursor.setBlockFormat(format);
        }
        editor_->setFocus();
    });
    connect(editor_, &QTextEdit::currentCharFormatChanged, this, &TNotesPopup::FollowFormat);
    connect(editor_, &QTextEdit::cursorPositionChanged, this, &TNotesPopup::FollowFormat);

    auto* formatBar = new QHBoxLayout;
    formatBar->setContentsMargins(0, 0, 0, 0);
    formatBar->addWidget(bold_);
    formatBar->addWidget(italic_);
    formatBar->addWidget(list_);
    formatBar->addStretch(1);
    // Plain notes keep no formatting: the buttons would promise what is lost.
    for (QToolButton* button : {bold_, italic_, list_})
        button->setVisible(rich);

    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(Tr("OK"), QDialogButtonBox::AcceptRole);
    cancel_ = buttons->addButton(Tr("Abbrechen"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Enter starts a new line in the notes; Ctrl+Enter takes them.
    ok_->setAutoDefault(false);
    cancel_->setAutoDefault(false);
    for (const QKeySequence& key : {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)})
        connect(new QShortcut(key, this), &QShortcut::activated, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(formatBar);
    layout->addWidget(editor_, 1);
    layout->addWidget(buttons);
    editor_->setFocus();
    FollowFormat();
}

QString TNotesPopup::StoredText() const {
    return editor_->StoredText();
}

bool TNotesPopup::Changed() const {
    return editor_->document()->isModified();
}

void TNotesPopup::FollowFormat() {
    const QTextCharFormat format = editor_->currentCharFormat();
    bold_->setChecked(format.fontWeight() >= QFont::Bold);
    italic_->setChecked(format.fontItalic());
    list_->setChecked(editor_->textCursor().currentList() != nullptr);
}
