// The bit record codec against a plain reference: random sequences of set,
// clear, compress and decompress on a TrbBitSet and a std::vector<bool> side
// by side, over many seeds, sizes and bit patterns; and random damage to
// sound records, which must either decode to a consistent set or fail with
// the engine's error.

#include "fulltext/BitRecord.h"
#include "fulltext/BitSet.h"
#include "fulltext/Quelvan.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

using TReference = std::vector<bool>;

void ExpectSame(const TrbBitSet& bits, const TReference& ref, const char* where) {
    ASSERT_EQ(bits.Size(), static_cast<int>(ref.size())) << where;
    int count = 0;
    for (int i = 0; i < bits.Size(); ++i) {
        ASSERT_EQ(bits.Test(i), static_cast<bool>(ref[i])) << where << ": bit " << i;
        count += ref[i];
    }
    ASSERT_EQ(bits.Count(), count) << where;
}

// Bit patterns that steer the compressor to each of its forms.
enum class TPattern { Sparse, Clustered, Dense, Runs, Spread };

void Scatter(TrbBitSet& bits, TReference& ref, TPattern pattern, std::mt19937& rng) {
    const int size = bits.Size();
    std::uniform_int_distribution<int> anyBit(0, size - 1);
    auto put = [&](int b, bool value) {
        bits.Assign(b, value);
        ref[b] = value;
    };
    switch (pattern) {
    case TPattern::Sparse: {
        const int n = std::uniform_int_distribution<int>(0, 12)(rng);
        for (int i = 0; i < n; ++i)
            put(anyBit(rng), true);
        break;
    }
    case TPattern::Clustered: {
        const int centre = anyBit(rng);
        const int width = std::uniform_int_distribution<int>(1, 400)(rng);
        std::uniform_int_distribution<int> near(std::max(0, centre - width), std::min(size - 1, centre + width));
        const int n = std::uniform_int_distribution<int>(1, 300)(rng);
        for (int i = 0; i < n; ++i)
            put(near(rng), true);
        break;
    }
    case TPattern::Dense: {
        std::bernoulli_distribution coin(std::uniform_real_distribution<double>(0.2, 0.8)(rng));
        for (int b = 0; b < size; ++b)
            put(b, coin(rng));
        break;
    }
    case TPattern::Runs: {
        const int n = std::uniform_int_distribution<int>(1, 8)(rng);
        for (int i = 0; i < n; ++i) {
            const int start = anyBit(rng);
            const int length = std::uniform_int_distribution<int>(1, 3000)(rng);
            const bool value = i == 0 || std::bernoulli_distribution(0.7)(rng);
            for (int b = start; b < std::min(size, start + length); ++b)
                put(b, value);
        }
        break;
    }
    case TPattern::Spread: {
        // Few bits far apart: gap lists, bit lists and gaps beyond 16 bits.
        const int n = std::uniform_int_distribution<int>(2, 260)(rng);
        const int step = std::max(1, size / n);
        std::uniform_int_distribution<int> jitter(0, step / 2);
        for (int i = 0; i < n; ++i) {
            const int b = std::min(size - 1, i * step + jitter(rng));
            put(b, true);
        }
        break;
    }
    }
}

class BitRecordReference : public ::testing::TestWithParam<int> {};

TEST_P(BitRecordReference, RandomEditsSurviveCompression) {
    const int size = GetParam();
    std::vector<int> typesSeen(6, 0);
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 rng(seed * 7919u + static_cast<unsigned>(size));
        TrbBitSet bits(size);
        TReference ref(static_cast<size_t>(size));
        std::uniform_int_distribution<int> anyBit(0, size - 1);
        std::uniform_int_distribution<int> action(0, 9);
        for (int step = 0; step < 60; ++step) {
            switch (action(rng)) {
            case 0:
            case 1: {
                const int b = anyBit(rng);
                bits.Set(b);
                ref[b] = true;
                break;
            }
            case 2:
            case 3: {
                const int b = anyBit(rng);
                bits.Clear(b);
                ref[b] = false;
                break;
            }
            case 4:
                Scatter(bits, ref, static_cast<TPattern>(std::uniform_int_distribution<int>(0, 4)(rng)), rng);
                break;
            case 5:
                if (std::bernoulli_distribution(0.2)(rng)) {
                    bits.ClearAll();
                    ref.assign(ref.size(), false);
                }
                break;
            default: {
                // Compress, decompress into a set full of stale bits, and
                // carry on editing the decompressed copy.
                const QByteArray record = TrbBitRecord::Compress(bits);
                const TrbBitRecord::THeader h = TrbBitRecord::ReadHeader(record);
                ASSERT_EQ(h.size, record.size());
                ASSERT_EQ(h.count, bits.Count());
                if (h.compressed) {
                    ASSERT_GE(h.type, 1);
                    ASSERT_LE(h.type, 5);
                    ++typesSeen[static_cast<size_t>(h.type)];
                    // Never larger than the bitmap of the span.
                    const int nb = h.last / 8 - h.first / 8 + 1;
                    ASSERT_LE(record.size() + 4, 24 + nb);
                }
                TrbBitSet back(size);
                back.SetAll();
                TrbBitRecord::Decompress(record, back);
                ExpectSame(back, ref, "after decompress");
                ASSERT_EQ(TrbBitRecord::Compress(back), record) << "write, read, write differs";

                // The same through the uncompressed form.
                TrbBitSet viaPlain(size);
                viaPlain.SetAll();
                TrbBitRecord::Decompress(TrbBitRecord::Uncompressed(bits), viaPlain);
                ASSERT_EQ(viaPlain, bits);

                // Into a larger set (the search's whole-catalogue set).
                TrbBitSet larger(size + 37);
                larger.SetAll();
                TrbBitRecord::Decompress(record, larger);
                ASSERT_EQ(larger.Count(), bits.Count());
                ASSERT_EQ(larger.Last(), bits.Last());

                // Into a set that ends just below the last bit.
                if (bits.Last() >= 0) {
                    TrbBitSet smaller(bits.Last());
                    try {
                        TrbBitRecord::Decompress(record, smaller);
                        ADD_FAILURE() << "a record beyond the target was accepted";
                    } catch (const EQuelvan& e) {
                        ASSERT_EQ(e.Code(), EQuelvan::DecompressBufferTooSmall);
                    }
                }
                bits = back;
                break;
            }
            }
        }
        ExpectSame(bits, ref, "at the end");
    }
    // Every size large enough to have a choice must have shown several forms.
    if (size >= 1008) {
        int forms = 0;
        for (int t = 1; t <= 5; ++t)
            forms += typesSeen[static_cast<size_t>(t)] > 0;
        EXPECT_GE(forms, 4) << "the random patterns no longer reach the record types";
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, BitRecordReference, ::testing::Values(1, 2, 7, 8, 9, 31, 100, 1000, 1008, 4096, 70001));

// Every record type over many shapes: the type counts confirm the patterns
// reach all five forms.
TEST(BitRecordReferenceCoverage, AllTypesAreProduced) {
    std::vector<int> typesSeen(6, 0);
    for (int size : {1008, 200000}) {
        for (unsigned seed = 1; seed <= 200; ++seed) {
            std::mt19937 rng(seed);
            TrbBitSet bits(size);
            TReference ref(static_cast<size_t>(size));
            Scatter(bits, ref, static_cast<TPattern>(seed % 5), rng);
            const QByteArray record = TrbBitRecord::Compress(bits);
            const TrbBitRecord::THeader h = TrbBitRecord::ReadHeader(record);
            if (h.compressed)
                ++typesSeen[static_cast<size_t>(h.type)];
            TrbBitSet back(size);
            TrbBitRecord::Decompress(record, back);
            ExpectSame(back, ref, "coverage");
        }
    }
    for (int t = 1; t <= 5; ++t)
        EXPECT_GT(typesSeen[static_cast<size_t>(t)], 0) << "type " << t;
}

// Random damage: flipped bytes, cut records, stretched size fields. Either the
// record still decodes to a set that agrees with its header, or the engine's
// error comes out with one of the two codes of a stored record.
TEST(BitRecordDamage, RandomDamageFailsCleanly) {
    std::mt19937 rng(2024);
    int failures = 0, survivors = 0;
    for (int round = 0; round < 3000; ++round) {
        const int size = round % 3 == 0 ? 200000 : 1008;
        TrbBitSet bits(size);
        TReference ref(static_cast<size_t>(size));
        Scatter(bits, ref, static_cast<TPattern>(round % 5), rng);
        QByteArray record = round % 7 == 0 ? TrbBitRecord::Uncompressed(bits) : TrbBitRecord::Compress(bits);

        const int damage = std::uniform_int_distribution<int>(0, 3)(rng);
        std::uniform_int_distribution<int> anyByte(0, static_cast<int>(record.size()) - 1);
        if (damage == 0) {
            const int flips = std::uniform_int_distribution<int>(1, 4)(rng);
            for (int i = 0; i < flips; ++i)
                record[anyByte(rng)] = static_cast<char>(std::uniform_int_distribution<int>(0, 255)(rng));
        } else if (damage == 1) {
            record.truncate(anyByte(rng));
        } else if (damage == 2) {
            // A header field replaced by an extreme value.
            const int field = std::uniform_int_distribution<int>(0, 4)(rng) * 4;
            const std::int32_t values[] = {0, -1, 1, INT32_MIN, INT32_MAX, size, size - 1, 24, 23};
            const std::int32_t v = values[std::uniform_int_distribution<int>(0, 8)(rng)];
            if (field + 4 <= record.size())
                for (int i = 0; i < 4; ++i)
                    record[field + i] = static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF);
        } else {
            // Payload bytes flipped in the run-length or list part only.
            if (record.size() > 20)
                record[std::uniform_int_distribution<int>(20, static_cast<int>(record.size()) - 1)(rng)] ^=
                    static_cast<char>(1 << std::uniform_int_distribution<int>(0, 7)(rng));
        }

        TrbBitSet target(size);
        try {
            TrbBitRecord::Decompress(record, target);
            ++survivors;
            const TrbBitRecord::THeader h = TrbBitRecord::ReadHeader(record);
            if (h.compressed || h.size - 8 < target.ByteCount()) {
                ASSERT_EQ(target.Count(), h.count) << "round " << round;
            }
            if (h.compressed && h.count > 0) {
                ASSERT_EQ(target.First(), h.first) << "round " << round;
                ASSERT_EQ(target.Last(), h.last) << "round " << round;
            }
        } catch (const EQuelvan& e) {
            ++failures;
            ASSERT_TRUE(e.Code() == EQuelvan::InvalidBlockSize || e.Code() == EQuelvan::DecompressBufferTooSmall)
                << "round " << round << ": code " << e.Code();
        }
    }
    EXPECT_GT(failures, 1000);
    EXPECT_GT(survivors, 100);
}

} // namespace
