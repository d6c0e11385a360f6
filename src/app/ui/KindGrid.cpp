#include "app/ui/KindGrid.h"

#include "app/ui/GridComboDelegate.h"
#include "app/ui/NotesPopup.h"
#include "catalogue/GridModel.h"
#include "platform/MovarixError.h"
#include "platform/Translate.h"
#include "store/AdsTable.h"

#include <QHeaderView>
#include <QKeyEvent>

TKindGrid::TKindGrid(TDvdKind kind, TAdsTable& table, TValueLists& valueLists, const QString& programFolder,
                     QWidget* parent)
    : QTableView(parent), kind_(kind), table_(table), programFolder_(programFolder),
      model_(new TGridModel(table, this)),
      delegate_(new TGridComboDelegate(kind, *model_, valueLists, programFolder, this)) {
    setModel(model_);
    setItemDelegate(delegate_);
    setToolTip(Tr("Hier sehen Sie Ihre eingegebenen Daten, Doppelklick springt zur Einzelsatzanzeige ..."));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setAlternatingRowColors(true);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);

    connect(horizontalHeader(), &QHeaderView::sectionMoved, this, [this] { ColumnMoved(); });
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this] { ColumnResized(); });
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int logical) {
        if (logical >= 0 && logical < model_->Columns().size())
            emit TitleClicked(model_->Columns()[logical].field);
    });
    connect(this, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        // On the notes column the double click opens the notes (edit()).
        if (table_.GotoRecNo(model_->RecNoAt(index.row())) && !model_->IsMemoColumn(index.column()))
            emit RecordDoubleClicked();
    });
    connect(this, &QTableView::clicked, this,
            [this](const QModelIndex& index) { table_.GotoRecNo(model_->RecNoAt(index.row())); });
    connect(&table_, &TAdsTable::RecordChanged, this, &TKindGrid::FollowCurrentRecord);
}

int TKindGrid::CharWidth() const {
    return fontMetrics().averageCharWidth() + 1;
}

void TKindGrid::ApplyColumnList(const QList<TColumnDef>& columns) {
    applying_ = true;
    // Visual order back to logical order before the model's columns change.
    QHeaderView* header = horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (logical != visual)
            header->moveSection(header->visualIndex(visual), visual);
    }
    model_->SetColumns(columns);
    for (int i = 0; i < columns.size(); ++i)
        setColumnWidth(i, std::max(columns[i].width, 2) * CharWidth() + 8);
    applying_ = false;
}

QList<TColumnDef> TKindGrid::ColumnList() const {
    QList<TColumnDef> columns;
    const QHeaderView* header = horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        TColumnDef column = model_->Columns().value(logical);
        column.width = std::max(1, (columnWidth(logical) - 8 + CharWidth() / 2) / CharWidth());
        columns << column;
    }
    return columns;
}

void TKindGrid::SaveColumnList() const {
    TColumnList::SaveFile(programFolder_ + QLatin1String(TDvdKinds::Info(kind_).columnFile), ColumnList());
}

void TKindGrid::ColumnMoved() {
    if (applying_)
        return;
    const QList<TColumnDef> columns = ColumnList();
    ApplyColumnList(columns);
    SaveColumnList();
}

void TKindGrid::ColumnResized() {
    if (!applying_)
        SaveColumnList();
}

void TKindGrid::FollowCurrentRecord() {
    if (!table_.Active())
        return;
    const int row = model_->RowOf(table_.RecNo());
    if (row >= 0 && (!currentIndex().isValid() || currentIndex().row() != row))
        selectRow(row);
}

void TKindGrid::SetNotesRichText(bool rich) {
    notesRich_ = rich;
    delegate_->SetNotesRichText(rich);
    viewport()->update();
}

bool TKindGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    if (!index.isValid() || !model_->IsMemoColumn(index.column()))
        return QTableView::edit(index, trigger, event);
    // Notes have no editor in the cell. Typing does not open the pop-up
    // either: a stray key should not start replacing a long text.
    const EditTriggers opening = editTriggers() & (DoubleClicked | EditKeyPressed);
    if (trigger != AllEditTriggers && !(opening & trigger))
        return false;
    EditNotes(index);
    return notesPopup_ != nullptr;
}

void TKindGrid::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->modifiers() == Qt::NoModifier && state() != EditingState && currentIndex().isValid()
        && model_->IsMemoColumn(currentIndex().column())) {
        EditNotes(currentIndex());
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void TKindGrid::EditNotes(const QModelIndex& index) {
    if (notesPopup_) {
        notesPopup_->raise();
        notesPopup_->activateWindow();
        return;
    }
    if (!index.isValid() || !model_->IsMemoColumn(index.column()) || !(model_->flags(index) & Qt::ItemIsEditable))
        return;
    const qint64 recno = model_->RecNoAt(index.row());
    const QString field = model_->Columns()[index.column()].field;
    // The pop-up starts from the stored notes, which the table gives for its
    // current record only: the row's record becomes current (a pending edit
    // of another record is posted on the way, as on any move).
    try {
        if (table_.RecNo() != recno && !table_.GotoRecNo(recno))
            return;
    } catch (const EAbort&) {
        return; // the record rules refused the pending record and said why
    } catch (const EMovarixError& error) {
        emit model_->EditFailed(error.Message());
        return;
    }
    const QString stored = table_.FieldByName(field).AsString();
    const QString caption = model_->headerData(index.column(), Qt::Horizontal).toString();
    notesPopup_ = new TNotesPopup(caption, notesRich_, stored, this);
    notesPopup_->setAttribute(Qt::WA_DeleteOnClose);
    connect(notesPopup_, &QDialog::accepted, this, [this, recno, field] { StoreNotes(recno, field); });
    notesPopup_->open();
}

void TKindGrid::StoreNotes(qint64 recno, const QString& field) {
    if (!notesPopup_ || !notesPopup_->Changed())
        return;
    const QString stored = notesPopup_->StoredText();
    const int row = model_->RowOf(recno);
    const int column = model_->ColumnOf(field);
    if (row < 0 || column < 0) {
        emit model_->EditFailed(Tr("Der Datensatz wird in der Liste nicht mehr angezeigt, die Notizen wurden nicht "
                                   "gespeichert."));
        return;
    }
    // The same path as every cell edit: edit buffer, record rules, post.
    model_->setData(model_->index(row, column), stored, Qt::EditRole);
}

TNotesPopup* TKindGrid::NotesPopup() const {
    return notesPopup_;
}
