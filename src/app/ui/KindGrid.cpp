#include "app/ui/KindGrid.h"

#include "app/ui/GridComboDelegate.h"
#include "catalogue/GridModel.h"
#include "platform/MovarixError.h"
#include "platform/Translate.h"
#include "store/AdsTable.h"

#include <QHeaderView>

TKindGrid::TKindGrid(TDvdKind kind, TAdsTable& table, TValueLists& valueLists, const QString& programFolder,
                     QWidget* parent)
    : QTableView(parent), kind_(kind), table_(table), programFolder_(programFolder),
      model_(new TGridModel(table, this)) {
    setModel(model_);
    setItemDelegate(new TGridComboDelegate(kind, *model_, valueLists, programFolder, this));
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
        if (table_.GotoRecNo(model_->RecNoAt(index.row())))
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
