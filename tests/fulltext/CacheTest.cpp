#include "fulltext/BitRecord.h"
#include "fulltext/Cache.h"
#include "fulltext/Quelvan.h"

#include <gtest/gtest.h>

#include <map>

namespace {

QByteArray WordNo(int i) {
    return QByteArray("WORD") + QByteArray::number(i);
}

TEST(CacheTest, MemoryLimitIsKilobytesBelowAMegabyteValueAndBytesAbove) {
    TrbCache cache;
    EXPECT_EQ(cache.MemoryLimit(), 1000);
    EXPECT_EQ(cache.MemoryLimitBytes(), 1024000);
    cache.SetMemoryLimit(1048575);
    EXPECT_EQ(cache.MemoryLimitBytes(), qint64(1048575) * 1024);
    cache.SetMemoryLimit(1048576);
    EXPECT_EQ(cache.MemoryLimitBytes(), 1048576);
    EXPECT_EQ(cache.MemoryLimit(), 1024);
}

TEST(CacheTest, LookUpForChangeHonoursStopWordsAndTheSeenMark) {
    TrbCache cache;
    cache.SetWorkingBits(64);
    EXPECT_TRUE(cache.AddOmitWord("THE"));
    EXPECT_FALSE(cache.AddOmitWord("THE"));
    EXPECT_EQ(cache.LookUpForChange("THE", TrbCache::NoSeenMark, true).found, TrbCache::TFound::Omitted);

    EXPECT_EQ(cache.LookUpForChange("ALIEN", TrbCache::NoSeenMark, false).found, TrbCache::TFound::NotCached);
    EXPECT_FALSE(cache.Contains("ALIEN"));

    // One catalogue record: its seen-mark is the counter when it started.
    const qint64 seen = cache.Counter();
    TrbCache::TLookup first = cache.LookUpForChange("ALIEN", seen, true);
    ASSERT_EQ(first.found, TrbCache::TFound::Working);
    EXPECT_TRUE(first.isNew);
    EXPECT_EQ(first.record->bits.Size(), 64);
    first.record->bits.Set(3);
    // The same word again in the same record is skipped...
    EXPECT_EQ(cache.LookUpForChange("ALIEN", seen, true).found, TrbCache::TFound::AlreadySeen);
    // ...and found again for the next record, in place.
    const qint64 next = cache.Counter();
    TrbCache::TLookup again = cache.LookUpForChange("ALIEN", next, true);
    ASSERT_EQ(again.found, TrbCache::TFound::Working);
    EXPECT_FALSE(again.isNew);
    EXPECT_EQ(again.record, first.record);
    EXPECT_TRUE(again.record->bits.Test(3));
    EXPECT_EQ(again.record->stamp, cache.Counter());
    EXPECT_EQ(cache.WordCount(), 2);
    EXPECT_EQ(cache.Hits(), 3);
}

TEST(CacheTest, ARecordIsBroughtToTheWorkingSizeOrRefusedWhenItDoesNotFit) {
    TrbCache cache;
    cache.SetWorkingBits(32);
    cache.LookUpForChange("ALIEN", TrbCache::NoSeenMark, true).record->bits.Set(31);
    cache.SetWorkingBits(48);
    TrbCache::TLookup grown = cache.LookUpForChange("ALIEN", TrbCache::NoSeenMark, true);
    EXPECT_EQ(grown.record->bits.Size(), 48);
    EXPECT_TRUE(grown.record->bits.Test(31));
    cache.SetWorkingBits(16);
    try {
        cache.LookUpForChange("ALIEN", TrbCache::NoSeenMark, true);
        FAIL() << "no error";
    } catch (const EQuelvan& e) {
        EXPECT_EQ(e.Code(), EQuelvan::DecompressBufferTooSmall);
    }
}

// Many words of a dense segment under the default 1000 KB: the build
// compresses its oldest records first and then raises its limit in steps of
// 1,000,000 bytes; nothing is lost.
TEST(CacheTest, ABuildCompressesOldRecordsThenRaisesItsLimit) {
    TrbCache cache;
    cache.Reset(10000, 50000);
    cache.SetWorkingBits(8064); // 1008-byte bitmaps
    std::map<QByteArray, int> expected;
    qint64 limit = cache.MemoryLimitBytes();
    int raises = 0;
    for (int i = 0; i < 3000; ++i) {
        const QByteArray word = WordNo(i);
        TrbCache::TLookup found = cache.LookUpForChange(word, cache.Counter(), true);
        found.record->bits.Set(i % 8064);
        expected[word] = i % 8064;
        cache.MemoryCheck(TrbCache::TEngineKind::Build);
        if (cache.MemoryLimitBytes() != limit) {
            EXPECT_EQ(cache.MemoryLimitBytes() - limit, TrbCache::BuildLimitStep);
            limit = cache.MemoryLimitBytes();
            ++raises;
        }
    }
    EXPECT_GT(cache.Compressions(), 0);
    EXPECT_GT(raises, 0);
    EXPECT_EQ(cache.Evictions(), 0);
    EXPECT_EQ(cache.WordCount(), 3000);
    EXPECT_GE(cache.PeakBytes(), cache.BytesHeld());
    for (const auto& [word, bit] : expected) {
        const TrbCache::TRecord* record = cache.Peek(word);
        ASSERT_NE(record, nullptr);
        TrbBitSet bits(8064);
        TrbBitRecord::Decompress(TrbCache::StoredForm(*record), bits);
        EXPECT_EQ(bits.Count(), 1);
        EXPECT_TRUE(bits.Test(bit));
    }
}

// An update engine evicts its oldest records, writing unwritten ones first.
TEST(CacheTest, AnUpdateEvictsTheOldestAndWritesUnwrittenRecordsFirst) {
    TrbCache cache;
    cache.SetMemoryLimit(16); // 16 KB
    cache.SetWorkingBits(8064);
    std::map<QByteArray, QByteArray> written;
    auto writer = [&](const QByteArray& word, TrbCache::TRecord& record) {
        written[word] = TrbCache::StoredForm(record);
    };
    for (int i = 0; i < 200; ++i) {
        cache.MemoryCheck(TrbCache::TEngineKind::Update, writer);
        TrbCache::TLookup found = cache.LookUpForChange(WordNo(i), TrbCache::NoSeenMark, true);
        for (int b = 0; b < 8064; b += 2)
            found.record->bits.Set(b); // incompressible enough to stay large
        found.record->bits.Set(i);
        found.record->unwritten = (i % 2) == 0;
    }
    EXPECT_GT(cache.Evictions(), 0);
    EXPECT_LT(cache.WordCount(), 200);
    EXPECT_LE(cache.MemoryLimitBytes(), 16 * 1024); // an update never raises it
    // Every unwritten record that left was written; written ones were not.
    for (int i = 0; i < 200; ++i) {
        const QByteArray word = WordNo(i);
        if (cache.Contains(word))
            continue;
        EXPECT_EQ(written.count(word), i % 2 == 0 ? 1u : 0u) << i;
        if (i % 2 == 0) {
            TrbBitSet bits(8064);
            TrbBitRecord::Decompress(written[word], bits);
            EXPECT_TRUE(bits.Test(i));
        }
    }
}

TEST(CacheTest, IterateRemovesWhatTheVisitorMarksAndClearResetsTheCounters) {
    TrbCache cache;
    cache.SetWorkingBits(16);
    cache.AddOmitWord("AND");
    for (int i = 0; i < 5; ++i)
        cache.LookUpForChange(WordNo(i), TrbCache::NoSeenMark, true);
    int visited = 0;
    cache.Iterate(
        [&](const QByteArray& word, TrbCache::TRecord* record, bool& remove) {
            ++visited;
            remove = record && word.endsWith('3');
            return true;
        },
        false);
    EXPECT_EQ(visited, 6);
    EXPECT_EQ(cache.WordCount(), 5);
    EXPECT_FALSE(cache.Contains(WordNo(3)));
    EXPECT_EQ(cache.Deletions(), 1);
    cache.Iterate([](const QByteArray&, TrbCache::TRecord*, bool&) { return true; }, true);
    EXPECT_EQ(cache.WordCount(), 0);
    EXPECT_EQ(cache.Counter(), 0);
    EXPECT_EQ(cache.BytesHeld(), 0);
}

} // namespace
