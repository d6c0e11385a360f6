#pragma once
// TrbTextLink: the engines' access to the indexed table (the catalogue). It
// knows which fields are indexed, which field numbers the records
// (IndexFieldName, "FTSNO"), the lowest and highest record number
// (MinIndex, MaxIndex), and hands a record's field values to a word parser.
// TrbTextADSLink implements the table operations on the program's table
// layer.
//
// A record's position in the index is its record number minus MinIndex.
// MinIndex and MaxIndex are looked up on first use and kept until
// ResetIndexes(); OnMinIndex / OnMaxIndex, when set, supply them instead, and
// PinMinIndex() fixes MinIndex to the value an index was built with.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class TrbWordParser;

class TrbTextLink {
public:
    using TIndexSource = std::function<int()>;
    using TAfterProcess = std::function<void(int indexValue)>;
    using TIndexWord = std::function<void(const QByteArray& word)>;

    virtual ~TrbTextLink() = default;

    // Fields whose text is indexed, in order.
    const QStringList& FieldNames() const { return fieldNames_; }
    void SetFieldNames(const QStringList& names) { fieldNames_ = names; }
    // The fields a search verifies against (kept for the search engine).
    const QStringList& SubFieldNames() const { return subFieldNames_; }
    void SetSubFieldNames(const QStringList& names) { subFieldNames_ = names; }
    // The record number field. Changing it forgets MinIndex and MaxIndex.
    const QString& IndexFieldName() const { return indexFieldName_; }
    void SetIndexFieldName(const QString& name);

    void SetOnMinIndex(TIndexSource source) { onMinIndex_ = std::move(source); }
    void SetOnMaxIndex(TIndexSource source) { onMaxIndex_ = std::move(source); }
    // Called after each record ProcessRecord() handled.
    void SetAfterProcess(TAfterProcess handler) { afterProcess_ = std::move(handler); }

    // Lowest and highest record number in record-number order. An empty
    // table gives MinIndex 0 and MaxIndex -1 (no positions).
    int MinIndex();
    int MaxIndex();
    // An added record beyond MaxIndex raises it.
    void RaiseMaxIndex(int value);
    // Fixes MinIndex (kept over ResetIndexes() until unpinned with nullopt).
    void PinMinIndex(std::optional<int> value);
    bool MinIndexPinned() const { return pinnedMin_.has_value(); }
    // Forgets the looked-up MinIndex and MaxIndex (new table, engine reset).
    void ResetIndexes();

    // --- table ---------------------------------------------------------------
    virtual bool Active() const = 0;
    // Drops field names the table does not have.
    virtual void PruneFieldNames() = 0;
    // Every field name of the table.
    virtual QStringList TableFieldNames() const = 0;

    // A batch walks the table in record-number order; its end restores the
    // table's order, current record and controls.
    virtual void BeginBatch() = 0;
    virtual void EndBatch() = 0;
    virtual void First() = 0;
    virtual void Next() = 0;
    virtual void Last() = 0;
    virtual bool Eof() const = 0;
    // Moves to the first record whose record number is at least `value`.
    virtual void LocateFrom(int value) = 0;
    // The engines bracket a series of reads (a search) with these; a link
    // may let the reads share one read transaction. Pairs nest.
    virtual void BeginReads() {}
    virtual void EndReads() {}
    // Calls `onValue` with the record number of every record, in
    // record-number order. This one walks the table in a batch; a link that
    // can read the numbers without moving through the records does so.
    virtual void ForEachIndexValue(const std::function<void(int value)>& onValue);

    // The current record's record number (30472 when the table is closed,
    // 30492 without an index field).
    virtual int IndexValue() const = 0;
    // Hands the current record's indexed fields to the parser: text and memo
    // fields (Windows-1252 bytes) to the tokenizer, numbers, dates and
    // Booleans as one word each; NULL fields give nothing.
    virtual void ProcessRecord(const TrbWordParser& parser, const TIndexWord& index) = 0;

protected:
    // The table's lowest / highest record number, nullopt when it is empty.
    virtual std::optional<int> ReadMinIndex() = 0;
    virtual std::optional<int> ReadMaxIndex() = 0;
    void CallAfterProcess(int indexValue) const {
        if (afterProcess_)
            afterProcess_(indexValue);
    }

private:
    void LookUpIndexes();

    QStringList fieldNames_;
    QStringList subFieldNames_;
    QString indexFieldName_ = QStringLiteral("FTSNO");
    TIndexSource onMinIndex_;
    TIndexSource onMaxIndex_;
    TAfterProcess afterProcess_;
    std::optional<int> minIndex_;
    std::optional<int> maxIndex_;
    std::optional<int> pinnedMin_;
};
