#pragma once
// The list grid of one kind ("3. Teil - Listenanzeige"): the rows of the
// catalogue view with the kind's column list. Moving a column or changing
// its width keeps the list up to date and saves it to the kind's column
// list file; a title click sorts by title or disc number.
//
// The notes column shows the notes on one line and is edited in a pop-up
// window (double click, F2 or Enter on its cell); a double click on any
// other cell shows the record's page "1. Teil".

#include "catalogue/ColumnList.h"
#include "catalogue/DvdKind.h"

#include <QPointer>
#include <QTableView>

class TGridComboDelegate;
class TGridModel;
class TAdsTable;
class TNotesPopup;
class TValueLists;

class TKindGrid : public QTableView {
    Q_OBJECT

public:
    TKindGrid(TDvdKind kind, TAdsTable& table, TValueLists& valueLists, const QString& programFolder,
              QWidget* parent = nullptr);

    // Shows the list: columns in list order with their widths in characters.
    void ApplyColumnList(const QList<TColumnDef>& columns);
    // The list as the grid shows it now (display order, current widths).
    QList<TColumnDef> ColumnList() const;
    void SaveColumnList() const;
    TGridModel& Model() const { return *model_; }
    // Selects the row of the table's current record.
    void FollowCurrentRecord();

    // Notes are edited and shown as rich text (Markdown) or as plain text,
    // as on the record pages.
    void SetNotesRichText(bool rich);
    bool NotesRichText() const { return notesRich_; }
    // Opens the notes pop-up for a cell of a memo column; the record becomes
    // the current one. Accepting posts the notes like any grid edit.
    void EditNotes(const QModelIndex& index);
    // The open notes pop-up, if any.
    TNotesPopup* NotesPopup() const;

    using QTableView::edit;

signals:
    void TitleClicked(const QString& field);
    void RecordDoubleClicked();

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ColumnMoved();
    void ColumnResized();
    int CharWidth() const;
    void StoreNotes(qint64 recno, const QString& field);

    TDvdKind kind_;
    TAdsTable& table_;
    QString programFolder_;
    TGridModel* model_;
    TGridComboDelegate* delegate_;
    QPointer<TNotesPopup> notesPopup_;
    bool notesRich_ = true;
    bool applying_ = false;
};
