#pragma once
// The records of a table's current view (tag order, FOR condition, filter) as
// an ordered list of (key, record number), kept in memory so that moving,
// counting and seeking cost no query. Keys live side by side in one byte
// arena instead of one allocation each; an entry is ordered by its key bytes
// (memcmp, shorter first), then by record number — the order of the tag.

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <vector>

class TRecordView {
public:
    void Clear();
    void Reserve(size_t entries, size_t keyBytes);
    // Appends an entry that sorts after every entry already there.
    void Append(QByteArrayView key, qint64 recno);

    qint64 Size() const { return qint64(entries_.size()); }
    bool Empty() const { return entries_.empty(); }
    qint64 RecNoAt(qint64 index) const { return entries_[size_t(index)].recno; }
    QByteArrayView KeyAt(qint64 index) const;

    // The index of the record, or -1. Binary search when the view is in
    // record-number order (keyless), a scan otherwise.
    qint64 IndexOfRecNo(qint64 recno) const;
    // The first entry whose key is not less than the given one.
    qint64 LowerBound(QByteArrayView key) const;
    // The index of the entry (key, recno), or -1.
    qint64 Find(QByteArrayView key, qint64 recno) const;
    // Inserts in order; returns the new entry's index.
    qint64 Insert(QByteArrayView key, qint64 recno);
    void EraseAt(qint64 index);

private:
    struct TEntry {
        qint64 recno;
        quint32 offset; // into keys_
        quint32 length;
    };
    // Entries before (key, recno) in tag order.
    qint64 LowerBound(QByteArrayView key, qint64 recno) const;

    std::vector<TEntry> entries_;
    std::vector<char> keys_;
    bool keyless_ = true; // every key empty: record-number order
};
