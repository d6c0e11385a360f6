#pragma once
// TrbCache: the word cache every engine reads and writes word rows through.
// It maps a folded word (exact bytes) to the word's bit record for the
// current segment, held either uncompressed (a bit set the engine changes)
// or compressed (the stored form of the words table). A word may map to no
// record: stop words are entered that way so every later occurrence is
// ignored.
//
// An access counter advances with every look-up and insertion; each record
// carries the counter value of its last access (its stamp). The memory
// check uses the stamps to compress the oldest records first and, for the
// update and search engines, to evict the oldest (writing unwritten ones
// through the caller first). A build never evicts: it raises its limit and
// writes everything when its segment ends.
//
// Memory is counted as the engine's in-memory record forms would take it:
// an uncompressed record bitmap bytes + 12 plus the 4-byte stamp, a
// compressed one its stored length + 4, each rounded up to 16 bytes.

#include "fulltext/BitSet.h"

#include <QByteArray>
#include <QHashFunctions>

#include <functional>
#include <limits>
#include <memory>
#include <unordered_map>

class TrbCache {
public:
    enum class TEngineKind { Build, Update, Search };

    struct TRecord {
        qint64 stamp = 0;        // access counter value of the last access
        bool unwritten = false;  // changed and not yet written to the words table
        bool compressed = false; // true: `stored` holds it; false: `bits`
        TrbBitSet bits;
        QByteArray stored;
    };

    enum class TFound {
        NotCached,   // not in the cache (and not inserted)
        Omitted,     // a stop word: ignore it
        AlreadySeen, // handled already for the current catalogue record
        Working,     // `record` is the uncompressed working record
    };
    struct TLookup {
        TFound found = TFound::NotCached;
        TRecord* record = nullptr;
        bool isNew = false; // the record was just inserted empty
    };

    // Writes one unwritten record to the words table (eviction).
    using TWriter = std::function<void(const QByteArray& word, TRecord& record)>;
    // Visits an entry (record null for stop words); return false to stop.
    using TVisit = std::function<bool(const QByteArray& word, TRecord* record, bool& remove)>;

    // The seen-mark of engines that never skip a word.
    static constexpr qint64 NoSeenMark = std::numeric_limits<qint64>::max();
    static constexpr int DefaultMemoryLimitKb = 1000;
    // What a build adds to its limit when compressing did not free enough.
    static constexpr qint64 BuildLimitStep = 1000000;

    TrbCache();
    ~TrbCache();
    TrbCache(const TrbCache&) = delete;
    TrbCache& operator=(const TrbCache&) = delete;

    // An engine starts: the map is emptied and sized (buckets; the growth
    // maximum is a sizing hint for the map).
    void Reset(int buckets, int maxBuckets);
    // Resizes the map without emptying it.
    void Resize(int buckets);

    // Bits of the working records (the engine's bit set size).
    int WorkingBits() const { return workingBits_; }
    void SetWorkingBits(int bits) { workingBits_ = bits; }

    // Look-up for change. A record whose stamp is above `seenMark` was
    // already handled for the current catalogue record. A found record is
    // made the working record: decompressed, or brought to the working size
    // (30470 when its bits do not fit). With `insert` a missing word gets a
    // new empty working record. The working record's stamp becomes the
    // advanced counter.
    TLookup LookUpForChange(const QByteArray& word, qint64 seenMark, bool insert);
    // The entry without counting an access; null when the word has no record.
    const TRecord* Peek(const QByteArray& word) const;
    bool Contains(const QByteArray& word) const;

    // Enters a stop word (no record); false when the word is there already.
    bool AddOmitWord(const QByteArray& word);
    void Remove(const QByteArray& word);
    int WordCount() const { return int(map_.size()); }
    qint64 Counter() const { return counter_; }

    // Visits every entry in map order, removing those the visitor marks.
    // With `clear` the cache is emptied afterwards (counters and marks reset).
    void Iterate(const TVisit& visit, bool clear);
    // Empties the cache; the counter and the marks start again at 0.
    void Clear();

    // The stored form of a record (compressing a copy when it is uncompressed).
    static QByteArray StoredForm(const TRecord& record);

    // The memory check, run after every change by the build and update
    // engines: when the records exceed the limit, the oldest half (by stamp)
    // are compressed; a build then raises its limit if that freed less than
    // BuildLimitStep bytes; an update or search evicts the oldest quarter,
    // writing unwritten records through `writer` first.
    void MemoryCheck(TEngineKind kind, const TWriter& writer = {});

    // Limit in kilobytes: a value above 1048575 is taken as bytes; 0 means
    // no limit. The getter returns bytes div 1024.
    int MemoryLimit() const { return int(limitBytes_ / 1024); }
    void SetMemoryLimit(int value);
    qint64 MemoryLimitBytes() const { return limitBytes_; }
    void SetMemoryLimitBytes(qint64 bytes) { limitBytes_ = bytes < 0 ? 0 : bytes; }

    // --- statistics ------------------------------------------------------------
    qint64 BytesHeld() const { return bytesHeld_; }
    qint64 PeakBytes() const { return peakBytes_; }
    qint64 Hits() const { return hits_; }
    qint64 Insertions() const { return insertions_; }
    qint64 Deletions() const { return deletions_; }
    qint64 Compressions() const { return compressions_; }
    qint64 Evictions() const { return evictions_; }
    qint64 CompressionMark() const { return compressionMark_; }
    qint64 EvictionMark() const { return evictionMark_; }

    // Bytes a record is counted with.
    static qint64 HeldSize(const TRecord& record);

private:
    struct THash {
        size_t operator()(const QByteArray& key) const noexcept { return qHash(key); }
    };
    using TMap = std::unordered_map<QByteArray, std::unique_ptr<TRecord>, THash>;

    void Account(qint64 before, qint64 after);
    void MakeWorking(TRecord& record);
    qint64 CompressOld();
    void Evict(const TWriter& writer);

    TMap map_;
    int workingBits_ = 0;
    qint64 counter_ = 0;
    qint64 compressionMark_ = 0;
    qint64 evictionMark_ = 0;
    qint64 limitBytes_ = qint64(DefaultMemoryLimitKb) * 1024;
    qint64 bytesHeld_ = 0;
    qint64 peakBytes_ = 0;
    qint64 hits_ = 0;
    qint64 insertions_ = 0;
    qint64 deletions_ = 0;
    qint64 compressions_ = 0;
    qint64 evictions_ = 0;
};
