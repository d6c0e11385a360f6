#pragma once
// The list grid of one kind ("3. Teil - Listenanzeige"): the rows of the
// catalogue view with the kind's column list. Moving a column or changing
// its width keeps the list up to date and saves it to the kind's column
// list file; a title click sorts by title or disc number.

#include "catalogue/ColumnList.h"
#include "catalogue/DvdKind.h"

#include <QTableView>

class TGridModel;
class TAdsTable;
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

signals:
    void TitleClicked(const QString& field);
    void RecordDoubleClicked();

private:
    void ColumnMoved();
    void ColumnResized();
    int CharWidth() const;

    TDvdKind kind_;
    TAdsTable& table_;
    QString programFolder_;
    TGridModel* model_;
    bool applying_ = false;
};
