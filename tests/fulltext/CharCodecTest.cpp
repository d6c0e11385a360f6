#include "fulltext/CharCodec.h"
#include "fulltext/Quelvan.h"

#include <gtest/gtest.h>

#include <random>

namespace {

TEST(CharCodec, GroupOfThreeBytes) {
    // 0x4D 0x61 0x6E -> 19, 22, 5, 46 -> characters 51, 54, 37, 78
    EXPECT_EQ(TrbCharCodec::Encode("Man"), QByteArray("36%N"));
    EXPECT_EQ(TrbCharCodec::Decode("36%N"), QByteArray("Man"));
}

TEST(CharCodec, ZeroValuesBecomeGraveAccents) {
    EXPECT_EQ(TrbCharCodec::Encode(QByteArray(3, '\0')), QByteArray("````"));
    EXPECT_EQ(TrbCharCodec::Encode(QByteArray("\xff\xff\xff")), QByteArray("____"));
    // A short final group is padded with zero bytes.
    EXPECT_EQ(TrbCharCodec::Encode("M"), QByteArray("30``"));
    EXPECT_EQ(TrbCharCodec::Encode("Ma"), QByteArray("36$`"));
    EXPECT_EQ(TrbCharCodec::Encode(""), QByteArray());
}

TEST(CharCodec, EveryByteValueRoundTrips) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    all.append(all); // 512 bytes: ends in a short group
    const QByteArray text = TrbCharCodec::Encode(all);
    EXPECT_EQ(text.size(), (all.size() + 2) / 3 * 4);
    for (char c : text) {
        EXPECT_GE(static_cast<unsigned char>(c), 33);
        EXPECT_LE(static_cast<unsigned char>(c), 96);
    }
    const QByteArray back = TrbCharCodec::Decode(text);
    EXPECT_EQ(back.left(all.size()), all);
    EXPECT_EQ(back.mid(all.size()), QByteArray(back.size() - all.size(), '\0'));
}

TEST(CharCodec, ColumnCapacityIsThreeQuarters) {
    struct TCase {
        int columnSize;
        int capacity;
    } cases[] = {{0, 0}, {1, 0}, {2, 1}, {3, 2}, {4, 3}, {5, 3}, {100, 75}, {255, 191}, {-4, 0}};
    for (const TCase& c : cases)
        EXPECT_EQ(TrbCharCodec::Capacity(c.columnSize), c.capacity) << c.columnSize;
}

TEST(CharCodec, TextCutToAColumnKeepsWhatItCarries) {
    std::mt19937 rng(5);
    QByteArray raw;
    for (int i = 0; i < 30; ++i)
        raw.append(static_cast<char>(rng()));
    const QByteArray text = TrbCharCodec::Encode(raw);
    for (int column = 0; column <= text.size(); ++column) {
        const QByteArray decoded = TrbCharCodec::Decode(text.left(column));
        const int capacity = TrbCharCodec::Capacity(column);
        ASSERT_EQ(decoded.size(), capacity) << column;
        EXPECT_EQ(decoded, raw.left(capacity)) << column;
    }
}

TEST(CharCodec, BlanksReadAsZeroAndForeignCharactersAreDamage) {
    EXPECT_EQ(TrbCharCodec::Decode("    "), QByteArray(3, '\0'));
    for (const char* bad : {"36%\x7f", "a```", "3\n%N", "36%\x1f", "````\xe4"}) {
        try {
            TrbCharCodec::Decode(bad);
            ADD_FAILURE() << "accepted " << bad;
        } catch (const EQuelvan& e) {
            EXPECT_EQ(e.Code(), 30477);
        }
    }
}

} // namespace
