#include "fulltext/Cache.h"

#include "fulltext/BitRecord.h"
#include "fulltext/Quelvan.h"

#include <cmath>
#include <vector>

namespace {

qint64 RoundUp16(qint64 bytes) {
    return (bytes + 15) & ~qint64(15);
}

} // namespace

TrbCache::TrbCache() = default;
TrbCache::~TrbCache() = default;

qint64 TrbCache::HeldSize(const TRecord& record) {
    if (record.compressed)
        return RoundUp16(4 + record.stored.size());
    return RoundUp16(4 + 12 + record.bits.ByteCount());
}

void TrbCache::Account(qint64 before, qint64 after) {
    bytesHeld_ += after - before;
    if (bytesHeld_ > peakBytes_)
        peakBytes_ = bytesHeld_;
}

void TrbCache::Reset(int buckets, int maxBuckets) {
    (void)maxBuckets;
    Clear();
    map_.reserve(size_t(buckets > 0 ? buckets : 0));
}

void TrbCache::Resize(int buckets) {
    if (buckets > 0 && size_t(buckets) > map_.bucket_count())
        map_.reserve(size_t(buckets));
}

void TrbCache::MakeWorking(TRecord& record) {
    const qint64 before = HeldSize(record);
    if (record.compressed) {
        TrbBitSet bits(workingBits_);
        TrbBitRecord::Decompress(record.stored, bits); // 30470 when it does not fit
        record.bits = std::move(bits);
        record.stored.clear();
        record.compressed = false;
    } else if (record.bits.Size() != workingBits_) {
        if (record.bits.Last() >= workingBits_)
            EQuelvan::Raise(EQuelvan::DecompressBufferTooSmall);
        record.bits.Resize(workingBits_);
    }
    Account(before, HeldSize(record));
}

TrbCache::TLookup TrbCache::LookUpForChange(const QByteArray& word, qint64 seenMark, bool insert) {
    TLookup result;
    auto it = map_.find(word);
    if (it != map_.end()) {
        ++hits_;
        ++counter_;
        TRecord* record = it->second.get();
        if (!record) {
            result.found = TFound::Omitted;
            return result;
        }
        if (record->stamp > seenMark) {
            result.found = TFound::AlreadySeen;
            return result;
        }
        MakeWorking(*record);
        record->stamp = counter_;
        result.found = TFound::Working;
        result.record = record;
        return result;
    }
    if (!insert)
        return result;
    ++counter_;
    auto record = std::make_unique<TRecord>();
    record->bits = TrbBitSet(workingBits_);
    record->stamp = counter_;
    Account(0, HeldSize(*record));
    result.record = record.get();
    result.found = TFound::Working;
    result.isNew = true;
    map_.emplace(word, std::move(record));
    ++insertions_;
    return result;
}

const TrbCache::TRecord* TrbCache::Peek(const QByteArray& word) const {
    auto it = map_.find(word);
    return it == map_.end() ? nullptr : it->second.get();
}

bool TrbCache::Contains(const QByteArray& word) const {
    return map_.find(word) != map_.end();
}

bool TrbCache::AddOmitWord(const QByteArray& word) {
    if (map_.find(word) != map_.end())
        return false;
    ++counter_;
    map_.emplace(word, nullptr);
    ++insertions_;
    return true;
}

void TrbCache::Remove(const QByteArray& word) {
    auto it = map_.find(word);
    if (it == map_.end())
        return;
    if (it->second)
        Account(HeldSize(*it->second), 0);
    map_.erase(it);
    ++deletions_;
}

void TrbCache::Iterate(const TVisit& visit, bool clear) {
    for (auto it = map_.begin(); it != map_.end();) {
        bool remove = false;
        const bool go = visit(it->first, it->second.get(), remove);
        if (remove) {
            if (it->second)
                Account(HeldSize(*it->second), 0);
            it = map_.erase(it);
            ++deletions_;
        } else {
            ++it;
        }
        if (!go)
            break;
    }
    if (clear)
        Clear();
}

void TrbCache::Clear() {
    map_.clear();
    bytesHeld_ = 0;
    counter_ = 0;
    compressionMark_ = 0;
    evictionMark_ = 0;
}

QByteArray TrbCache::StoredForm(const TRecord& record) {
    return record.compressed ? record.stored : TrbBitRecord::Compress(record.bits);
}

void TrbCache::SetMemoryLimit(int value) {
    if (value < 0)
        value = 0;
    limitBytes_ = value > 1048575 ? qint64(value) : qint64(value) * 1024;
}

qint64 TrbCache::CompressOld() {
    const qint64 before = bytesHeld_;
    compressionMark_ += (counter_ - compressionMark_) / 2;
    for (auto& [word, record] : map_) {
        if (!record || record->compressed || record->stamp > compressionMark_)
            continue;
        const qint64 held = HeldSize(*record);
        record->stored = TrbBitRecord::Compress(record->bits);
        record->bits = TrbBitSet();
        record->compressed = true;
        ++compressions_;
        Account(held, HeldSize(*record));
    }
    return before - bytesHeld_;
}

void TrbCache::Evict(const TWriter& writer) {
    const qint64 span = counter_ - evictionMark_;
    if (double(compressionMark_ - evictionMark_) <= 0.75 * double(span))
        return;
    evictionMark_ += std::llround(0.25 * double(span));
    // Write first, remove afterwards: a failing write leaves the cache whole.
    std::vector<QByteArray> victims;
    for (auto& [word, record] : map_) {
        if (!record || record->stamp > evictionMark_)
            continue;
        if (record->unwritten) {
            if (!writer)
                continue; // nobody can write it: keep it rather than lose it
            writer(word, *record);
            record->unwritten = false;
        }
        victims.push_back(word);
    }
    for (const QByteArray& word : victims) {
        Remove(word);
        ++evictions_;
    }
}

void TrbCache::MemoryCheck(TEngineKind kind, const TWriter& writer) {
    if (limitBytes_ == 0 || bytesHeld_ <= limitBytes_)
        return;
    const qint64 freed = CompressOld();
    if (kind == TEngineKind::Build) {
        if (freed < BuildLimitStep)
            limitBytes_ += BuildLimitStep;
        return;
    }
    Evict(writer);
}
