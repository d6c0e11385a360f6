#include "store/RecordView.h"

#include <algorithm>
#include <cstring>

namespace {

int CompareKeys(QByteArrayView a, QByteArrayView b) {
    const qsizetype common = std::min(a.size(), b.size());
    const int byBytes = common > 0 ? std::memcmp(a.data(), b.data(), size_t(common)) : 0;
    if (byBytes != 0)
        return byBytes;
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

} // namespace

void TRecordView::Clear() {
    entries_.clear();
    keys_.clear();
    keyless_ = true;
}

void TRecordView::Reserve(size_t entries, size_t keyBytes) {
    entries_.reserve(entries);
    keys_.reserve(keyBytes);
}

void TRecordView::Append(QByteArrayView key, qint64 recno) {
    entries_.push_back({recno, quint32(keys_.size()), quint32(key.size())});
    keys_.insert(keys_.end(), key.data(), key.data() + key.size());
    if (!key.isEmpty())
        keyless_ = false;
}

QByteArrayView TRecordView::KeyAt(qint64 index) const {
    const TEntry& entry = entries_[size_t(index)];
    return QByteArrayView(keys_.data() + entry.offset, entry.length);
}

qint64 TRecordView::IndexOfRecNo(qint64 recno) const {
    if (keyless_) {
        auto it = std::lower_bound(entries_.begin(), entries_.end(), recno,
                                   [](const TEntry& entry, qint64 value) { return entry.recno < value; });
        return it != entries_.end() && it->recno == recno ? it - entries_.begin() : -1;
    }
    for (size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].recno == recno)
            return qint64(i);
    return -1;
}

qint64 TRecordView::LowerBound(QByteArrayView key, qint64 recno) const {
    qint64 low = 0;
    qint64 high = Size();
    while (low < high) {
        const qint64 middle = low + (high - low) / 2;
        const int order = CompareKeys(KeyAt(middle), key);
        if (order < 0 || (order == 0 && entries_[size_t(middle)].recno < recno))
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

qint64 TRecordView::LowerBound(QByteArrayView key) const {
    return LowerBound(key, INT64_MIN);
}

qint64 TRecordView::Find(QByteArrayView key, qint64 recno) const {
    const qint64 index = LowerBound(key, recno);
    return index < Size() && entries_[size_t(index)].recno == recno && CompareKeys(KeyAt(index), key) == 0 ? index : -1;
}

qint64 TRecordView::Insert(QByteArrayView key, qint64 recno) {
    const qint64 index = LowerBound(key, recno);
    entries_.insert(entries_.begin() + index, TEntry{recno, quint32(keys_.size()), quint32(key.size())});
    keys_.insert(keys_.end(), key.data(), key.data() + key.size());
    if (!key.isEmpty())
        keyless_ = false;
    return index;
}

void TRecordView::EraseAt(qint64 index) {
    // The key bytes stay in the arena until the view is built again.
    entries_.erase(entries_.begin() + index);
}
