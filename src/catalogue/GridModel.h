#pragma once
// The rows of a catalogue view as an item model for the list grids: one row
// per record of the table's current view (tag order, FOR condition,
// filter), one column per column definition. The record-number list is
// rebuilt when the view changes, not per paint; painted rows are read
// without moving the table and kept in a small cache. Boolean columns are
// check boxes. An edit moves the table to the row's record and posts it
// through the record rules.
//
// Memo columns (the notes) give their stored text, read for the painted rows
// without moving the table and cached like the rows.

#include "catalogue/ColumnList.h"

#include <QAbstractTableModel>
#include <QCache>
#include <QPair>

#include <vector>

class TAdsTable;

class TGridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit TGridModel(TAdsTable& table, QObject* parent = nullptr);

    void SetColumns(const QList<TColumnDef>& columns);
    const QList<TColumnDef>& Columns() const { return columns_; }
    // The record number of a row, and the row of a record (-1 when absent).
    qint64 RecNoAt(int row) const;
    int RowOf(qint64 recno) const;
    // The column of a field in the current column list (-1 when absent).
    int ColumnOf(const QString& field) const;
    // True when the column shows a memo field (notes).
    bool IsMemoColumn(int column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    // An edit could not be stored; the grid shows the message.
    void EditFailed(const QString& message);

public slots:
    // The view changed: rows are read again.
    void Reload();
    // The current record's values changed.
    void RefreshCurrent();

private:
    using TMemoKey = QPair<qint64, int>; // record number, field index

    int FieldIndex(int column) const; // -1 when the column names no field
    void MapColumnsToFields();
    const std::vector<QVariant>* Row(int row) const;
    // The memo of a row: the current record's from the table (its edit
    // buffer while editing), another's as stored.
    QString MemoText(int row, int field) const;
    void ForgetMemos(qint64 recno);

    TAdsTable& table_;
    QList<TColumnDef> columns_;
    std::vector<int> fieldOfColumn_;
    std::vector<qint64> recnos_;
    mutable QCache<qint64, std::vector<QVariant>> rows_;
    mutable QCache<TMemoKey, QString> memos_;
};
