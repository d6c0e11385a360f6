#include "QuelvanCode.h"
#include "fulltext/BitSet.h"
#include "fulltext/Quelvan.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {


TEST(BitSet, LayoutIsLeastSignificantBitFirst) {
    TrbBitSet bits(20);
    EXPECT_EQ(bits.ByteCount(), 3);
    bits.Set(0);
    bits.Set(9);
    bits.Set(19);
    EXPECT_EQ(bits.Bytes()[0], 0x01);
    EXPECT_EQ(bits.Bytes()[1], 0x02);
    EXPECT_EQ(bits.Bytes()[2], 0x08);
}

TEST(BitSet, EmptySetQueries) {
    for (int size : {0, 1, 8, 1008}) {
        const TrbBitSet bits(size);
        EXPECT_EQ(bits.Count(), 0);
        EXPECT_EQ(bits.First(), -1);
        EXPECT_EQ(bits.Last(), -1);
        EXPECT_EQ(bits.Next(0), -1);
    }
}

TEST(BitSet, SetAllKeepsPaddingClear) {
    TrbBitSet bits(13);
    bits.SetAll();
    EXPECT_EQ(bits.Count(), 13);
    EXPECT_EQ(bits.Last(), 12);
    EXPECT_EQ(bits.Bytes()[1], 0x1F);
    bits.ClearAll();
    EXPECT_EQ(bits.Count(), 0);
}

TEST(BitSet, BitsOutsideTheSetAreInvalidParameters) {
    TrbBitSet bits(10);
    for (int bad : {-1, 10, 11, -2147483647 - 1, 2147483647}) {
        EXPECT_EQ(CodeOf([&] { bits.Set(bad); }), 30480) << bad;
        EXPECT_EQ(CodeOf([&] { bits.Clear(bad); }), 30480) << bad;
        EXPECT_EQ(CodeOf([&] { (void)bits.Test(bad); }), 30480) << bad;
    }
    EXPECT_EQ(CodeOf([&] { bits.Resize(-1); }), 30480);
    EXPECT_EQ(bits.Size(), 10);
}

TEST(BitSet, ResizeKeepsLowBitsAndClearsNewOnes) {
    TrbBitSet bits(16);
    bits.SetAll();
    bits.Resize(11);
    EXPECT_EQ(bits.Count(), 11);
    bits.Resize(40);
    EXPECT_EQ(bits.Count(), 11);
    EXPECT_EQ(bits.Last(), 10);
    EXPECT_FALSE(bits.Test(11));
    EXPECT_FALSE(bits.Test(39));
}

TEST(BitSet, QueriesAgreeWithPlainVector) {
    std::mt19937 rng(7);
    for (int size : {1, 7, 8, 9, 63, 64, 65, 1000, 1008, 4099}) {
        for (double density : {0.001, 0.05, 0.5, 0.97}) {
            TrbBitSet bits(size);
            std::vector<bool> ref(size);
            std::bernoulli_distribution coin(density);
            for (int i = 0; i < size; ++i)
                if (coin(rng)) {
                    bits.Set(i);
                    ref[i] = true;
                }
            int count = 0, first = -1, last = -1;
            for (int i = 0; i < size; ++i) {
                ASSERT_EQ(bits.Test(i), ref[i]);
                if (ref[i]) {
                    ++count;
                    if (first < 0)
                        first = i;
                    last = i;
                }
            }
            EXPECT_EQ(bits.Count(), count);
            EXPECT_EQ(bits.First(), first);
            EXPECT_EQ(bits.Last(), last);
            // Next walks exactly the set bits.
            std::vector<bool> walked(size);
            for (int b = bits.Next(0); b >= 0; b = bits.Next(b + 1))
                walked[b] = true;
            EXPECT_EQ(walked, ref);
        }
    }
}

TEST(BitSet, CopyFromPlacesASegmentAtAByteBoundary) {
    TrbBitSet segment(32);
    segment.Set(0);
    segment.Set(5);
    segment.Set(31);

    TrbBitSet full(60);
    full.Set(1);
    full.CopyFrom(segment, 16);
    EXPECT_TRUE(full.Test(1));
    EXPECT_TRUE(full.Test(16));
    EXPECT_TRUE(full.Test(21));
    EXPECT_TRUE(full.Test(47));
    EXPECT_EQ(full.Count(), 4);

    // The part reaching beyond the end is dropped, also inside the last byte.
    full.CopyFrom(segment, 56);
    EXPECT_TRUE(full.Test(56));
    EXPECT_EQ(full.Last(), 56);

    EXPECT_EQ(CodeOf([&] { full.CopyFrom(segment, 60); }), 30480);
    EXPECT_EQ(CodeOf([&] { full.CopyFrom(segment, 64); }), 30480);
    EXPECT_EQ(CodeOf([&] { full.CopyFrom(segment, -8); }), 30480);
    EXPECT_EQ(CodeOf([&] { full.CopyFrom(segment, 4); }), 30480);
}

} // namespace
