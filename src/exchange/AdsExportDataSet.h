#pragma once
// The export data set over one of our tables: the writers walk the table's
// current view (its index order and filter) and read the fields of its
// current record. Engine types map to data types as follows:
//   Char → string (data size = length + 1)   Date → date
//   Logical → Boolean                          Integer → integer
//   ShortInt → small integer                   CurDouble → currency
//   Double → float                             Memo → memo
//   Image, Binary → blob                       Raw → bytes
//   AutoInc → auto-increment
// The table is not owned; when it is destroyed the data set reports itself
// inactive.

#include "exchange/ExportDataSet.h"

#include <QPointer>

#include <memory>
#include <vector>

class TAdsTable;
class TField;

class TAdsExportDataSet : public TExportDataSet {
    Q_OBJECT

public:
    explicit TAdsExportDataSet(TAdsTable* table, QObject* parent = nullptr);
    ~TAdsExportDataSet() override;

    TAdsTable* Table() const { return table_; }

    bool Active() const override;
    int FieldCount() const override;
    TExportField& Fields(int index) const override;
    int RecNo() const override;
    void First() override;
    void Next() override;
    bool Eof() const override;

    // The data type and field class name a table field is exported as.
    static TExportFieldType TypeOf(const TField& field);
    static QString ClassNameOf(const TField& field);

private:
    void SyncFields() const;

    QPointer<TAdsTable> table_;
    mutable std::vector<std::unique_ptr<TExportField>> fields_;
};
