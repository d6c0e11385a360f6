#pragma once
// TrbTextADSLink: the text link on the program's table layer, over the
// catalogue table. Record-number order is the table's tag named like
// IndexFieldName ("FTSNo"); without such a tag, natural order (record numbers
// are ascending auto-increment values).
//
// Walking the table in a batch switches a filter off and the controls off for
// the time of the walk and puts order, filter, current record and controls
// back afterwards, so the user's view is unchanged. Looking up MinIndex /
// MaxIndex and ForEachIndexValue read the number tag directly instead: they
// leave the cursor and the view alone, and their cost does not grow with the
// table (the walk's does: the view is built anew on the way in and out).

#include "fulltext/TextLink.h"

#include <QByteArray>

#include <vector>

class TAdsTable;
class TField;

class TrbTextADSLink : public TrbTextLink {
public:
    explicit TrbTextADSLink(TAdsTable& table);

    TAdsTable& Table() const { return table_; }

    bool Active() const override;
    void BeginReads() override;
    void EndReads() override;
    void PruneFieldNames() override;
    QStringList TableFieldNames() const override;

    void BeginBatch() override;
    void EndBatch() override;
    bool InBatch() const { return batch_.active; }
    void First() override;
    void Next() override;
    void Last() override;
    bool Eof() const override;
    void LocateFrom(int value) override;
    // Reads the numbers in one query over the number tag, not moving the
    // table's cursor.
    void ForEachIndexValue(const std::function<void(int value)>& onValue) override;

    int IndexValue() const override;
    void ProcessRecord(const TrbWordParser& parser, const TIndexWord& index) override;

protected:
    std::optional<int> ReadMinIndex() override;
    std::optional<int> ReadMaxIndex() override;

private:
    // What a walk changes and puts back.
    struct TSavedView {
        bool active = false;
        QString indexName;
        bool filtered = false;
        qint64 recno = 0;
    };

    void RequireActive() const;
    TSavedView EnterNumberOrder();
    void LeaveNumberOrder(const TSavedView& saved);
    QString NumberTagName() const;
    std::optional<int> ReadEnd(bool last);
    // Resolves FieldNames() to table fields (cached by field index).
    void ResolveFields();

    TAdsTable& table_;
    TSavedView batch_;
    std::vector<int> fieldIndexes_;
    QStringList resolvedFor_;     // the names fieldIndexes_ was made for
    QStringList resolvedTable_;   // the table's field names at that time
};
