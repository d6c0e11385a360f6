#include "QuelvanCode.h"
#include "fulltext/BitRecord.h"
#include "fulltext/BitSet.h"
#include "fulltext/Quelvan.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace {

// Builds expected record bytes: 32-bit little-endian integers, 16-bit gaps
// and single bytes, in order.
class TBytes {
public:
    TBytes& I32(std::int64_t v) {
        for (int i = 0; i < 4; ++i)
            bytes_.append(static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF));
        return *this;
    }
    TBytes& U16(unsigned v) {
        bytes_.append(static_cast<char>(v & 0xFF));
        bytes_.append(static_cast<char>((v >> 8) & 0xFF));
        return *this;
    }
    TBytes& U8(std::initializer_list<int> values) {
        for (int v : values)
            bytes_.append(static_cast<char>(v));
        return *this;
    }
    TBytes& Raw(const QByteArray& raw) {
        bytes_.append(raw);
        return *this;
    }
    operator QByteArray() const { return bytes_; }
    const QByteArray& Get() const { return bytes_; }

private:
    QByteArray bytes_;
};

TrbBitSet SetOf(int size, std::initializer_list<int> bits) {
    TrbBitSet set(size);
    for (int b : bits)
        set.Set(b);
    return set;
}


// Decompressing a record into a fresh set of the same size gives the set back,
// and compressing that again gives the same bytes.
void ExpectRoundTrip(const TrbBitSet& bits, const QByteArray& record) {
    TrbBitSet back(bits.Size());
    back.SetAll(); // stale content must go
    TrbBitRecord::Decompress(record, back);
    EXPECT_EQ(back, bits);
    EXPECT_EQ(TrbBitRecord::Compress(back), record);
}

// ---- golden records ---------------------------------------------------------

TEST(BitRecordGolden, OneRecordIsTwentyBytesOfTypeOne) {
    const TrbBitSet bits = SetOf(1008, {5});
    const QByteArray record = TrbBitRecord::Compress(bits);
    EXPECT_EQ(record, TBytes().I32(-1).I32(24).I32(5).I32(5).I32(1).Get());
    EXPECT_EQ(record.size(), 20); // rbSize
    const TrbBitRecord::THeader h = TrbBitRecord::ReadHeader(record);
    EXPECT_TRUE(h.compressed);
    EXPECT_EQ(h.count, 1);        // rbCount
    EXPECT_EQ(h.size, 20);
    ExpectRoundTrip(bits, record);
}

TEST(BitRecordGolden, FullSegmentIsTwoRunLengthBytes) {
    TrbBitSet bits(1008);
    bits.SetAll();
    const QByteArray record = TrbBitRecord::Compress(bits);
    EXPECT_EQ(record, TBytes().I32(-1008).I32(26).I32(0).I32(1007).I32(5).U8({254, 255}).Get());
    EXPECT_EQ(record.size(), 22);
    ExpectRoundTrip(bits, record);
}

TEST(BitRecordGolden, EmptySetReadsBackEmpty) {
    const TrbBitSet bits(1008);
    const QByteArray record = TrbBitRecord::Compress(bits);
    EXPECT_EQ(record, TBytes().I32(0).I32(24).I32(0).I32(0).I32(1).Get());
    const TrbBitRecord::THeader h = TrbBitRecord::ReadHeader(record);
    EXPECT_EQ(h.count, 0);
    EXPECT_EQ(h.size, 20);
    ExpectRoundTrip(bits, record);
}

struct TGolden {
    const char* name;
    int size;
    std::vector<int> bits;
    QByteArray expected;
};

class BitRecordGoldenTable : public ::testing::TestWithParam<TGolden> {};

TEST_P(BitRecordGoldenTable, CompressesToExpectedBytes) {
    const TGolden& g = GetParam();
    TrbBitSet bits(g.size);
    for (int b : g.bits)
        bits.Set(b);
    const QByteArray record = TrbBitRecord::Compress(bits);
    EXPECT_EQ(record.toHex(' '), g.expected.toHex(' '));
    ExpectRoundTrip(bits, record);
}

std::vector<int> Spaced(int count, int step, int from = 0) {
    std::vector<int> v;
    for (int i = 0; i < count; ++i)
        v.push_back(from + i * step);
    return v;
}

// One single bit and then pairs every 1000 bits (see ThirdChoice below).
std::vector<int> SingleThenPairs() {
    std::vector<int> v{0};
    for (int k = 1; k < 70; ++k) {
        v.push_back(1000 * k);
        v.push_back(1000 * k + 1);
    }
    return v;
}

TBytes SingleThenPairsGaps() {
    TBytes b;
    b.I32(-139).I32(300).I32(0).I32(69001).I32(3).U16(1000);
    for (int k = 1; k < 70; ++k) {
        b.U16(1);
        if (k < 69)
            b.U16(999);
    }
    return b;
}

QByteArray Alternating(int n) {
    QByteArray b;
    for (int i = 0; i < n; ++i)
        b.append(i % 2 ? char(0xAA) : char(0x55));
    return b;
}

std::vector<int> AlternatingBits(int bytes) {
    std::vector<int> v;
    for (int i = 0; i < bytes; ++i)
        for (int bit = 0; bit < 8; ++bit)
            if (((i % 2 ? 0xAA : 0x55) >> bit) & 1)
                v.push_back(i * 8 + bit);
    return v;
}

// Bits every 16 from 0 to 768, then 1007: a long literal, one zero run and a
// last literal (run-length payload 102 bytes).
std::vector<int> LiteralThenRun() {
    std::vector<int> v = Spaced(49, 16);
    v.push_back(1007);
    return v;
}

TBytes LiteralThenRunGaps() {
    TBytes b;
    b.I32(-50).I32(122).I32(0).I32(1007).I32(3);
    for (int i = 0; i < 48; ++i)
        b.U16(16);
    b.U16(239);
    return b;
}

// Bits every 700 from 0 to 68600, then one 70000 further on.
std::vector<int> SpacedThenFar() {
    std::vector<int> v = Spaced(99, 700);
    v.push_back(138600);
    return v;
}

TBytes SpacedThenFarList() {
    TBytes b;
    b.I32(-100).I32(416).I32(0).I32(138600).I32(2);
    for (int k = 1; k < 99; ++k)
        b.I32(700 * k);
    return b;
}

// Bytes 0xFB nine times, then 0xFE: seven bits in each of ten bytes.
std::vector<int> SevenPerByte() {
    std::vector<int> v;
    for (int bit = 0; bit < 80; ++bit)
        if (bit < 72 ? bit % 8 != 2 : bit != 72)
            v.push_back(bit);
    return v;
}

TBytes Gaps48() {
    TBytes b;
    b.I32(-256).I32(534).I32(0).I32(255 * 48).I32(3);
    for (int i = 0; i < 255; ++i)
        b.U16(48);
    return b;
}

// Every byte 0xFD, the last 0xFF: 7 nb + 1 bits.
std::vector<int> AlmostFull() {
    std::vector<int> v;
    for (int bit = 0; bit < 1008; ++bit)
        if (bit % 8 != 1 || bit >= 1000)
            v.push_back(bit);
    return v;
}

QByteArray AlmostFullBytes() {
    QByteArray b(125, char(0xFD));
    b.append(char(0xFF));
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BitRecordGoldenTable,
    ::testing::Values(
        TGolden{"TwoBitsAreFirstAndLast", 1008, {3, 900}, TBytes().I32(-2).I32(24).I32(3).I32(900).I32(1)},
        // N = 3 within three bytes: the bitmap is smaller than a middle bit.
        TGolden{"ThreeBitsInFewBytesUseTheBitmap", 1008, {1, 5, 20},
                TBytes().I32(-3).I32(27).I32(1).I32(20).I32(4).U8({0x22, 0x00, 0x10})},
        TGolden{"ThreeSpreadBitsStoreTheMiddle", 1008, {0, 100, 1000},
                TBytes().I32(-3).I32(28).I32(0).I32(1000).I32(1).I32(100)},
        TGolden{"SparseSmallGapsMakeAGapList", 4000, {0, 1000, 2000, 3000},
                TBytes().I32(-4).I32(30).I32(0).I32(3000).I32(3).U16(1000).U16(1000).U16(1000)},
        // The run-length estimate (28) beats the gap list (30), the real
        // run-length record (38) does not: the gap list is built after all.
        TGolden{"GapListWinsAfterRunLengthTrial", 1008, {0, 100, 200, 300},
                TBytes().I32(-4).I32(30).I32(0).I32(300).I32(3).U16(100).U16(100).U16(100)},
        // Gaps too large for 16 bits: the bit list.
        TGolden{"LargeGapsMakeABitList", 200000, {0, 70000, 140000, 199999},
                TBytes().I32(-4).I32(32).I32(0).I32(199999).I32(2).I32(70000).I32(140000)},
        // The span rules the gap list out in advance, but every gap fits after
        // all: the bit list is stored as a gap list.
        TGolden{"BitListTurnsIntoGapList", 200000, {0, 30000, 60000, 69999},
                TBytes().I32(-4).I32(30).I32(0).I32(69999).I32(3).U16(30000).U16(30000).U16(9999)},
        TGolden{"ClusterIsRunLengthEncoded", 1008, Spaced(200, 1, 100),
                TBytes().I32(-200).I32(30).I32(100).I32(299).I32(5).U8({0x01, 0xF0, 0x98, 0xFF, 0x01, 0x0F})},
        // No runs to find: the encoder gives up and the bitmap is stored.
        TGolden{"RunLengthGivesUpToBitmap", 1008, AlternatingBits(126),
                TBytes().I32(-504).I32(150).I32(0).I32(1007).I32(4).Raw(Alternating(126))},
        // Neither list is a candidate after the estimate, but the real
        // run-length record (302) is larger than a gap list (300).
        TGolden{"GapListTriedAfterEncodedData", 200000, SingleThenPairs(), SingleThenPairsGaps()},
        // The gap list (122) was the candidate before the estimate (75) won;
        // the real run-length record (126) loses against it.
        TGolden{"GapCandidateBeatsRealRunLength", 1008, LiteralThenRun(), LiteralThenRunGaps()},
        // The bit list (416) was the candidate; the real run-length record
        // (558) loses, and the 70000 gap keeps it a bit list.
        TGolden{"BitListCandidateBeatsRealRunLength", 200000, SpacedThenFar(), SpacedThenFarList()},
        // Dense: the estimate counts the 8 nb - N clear bits and ties with the
        // bitmap (150), so the bitmap stays even though runs would be short.
        TGolden{"DenseEstimateKeepsBitmap", 1008, AlmostFull(),
                TBytes().I32(-883).I32(150).I32(0).I32(1007).I32(4).Raw(AlmostFullBytes())},
        // A gap list (34) larger than bitmap bytes + 12 (32) is no candidate,
        // and too large to try after the encoded data (38 + 10 >= 44).
        // N = 256 still has a gap-list candidate (534), which beats the real
        // run-length record.
        TGolden{"TwoHundredFiftySixBitsStillGetAGapList", 16000, Spaced(256, 48), Gaps48()},
        // last - first - N = 65535 is just too wide for a gap-list candidate:
        // the bit list, whose trial gap list fails on the gap of 65537.
        TGolden{"SpanAtTheGapLimitMakesABitList", 70000, {0, 1, 2, 65539},
                TBytes().I32(-4).I32(32).I32(0).I32(65539).I32(2).I32(1).I32(2)},
        // N = nb: the estimate adds nothing for the bits (24 < 34).
        TGolden{"OneBitPerByteEstimatesRunLength", 80, {0, 8, 16, 24, 32, 40, 48, 56, 64, 72},
                TBytes().I32(-10).I32(26).I32(0).I32(72).I32(5).U8({0x8a, 0x01})},
        // N = 7 nb: the estimate adds nothing for the clear bits either.
        TGolden{"SevenBitsPerByteEstimatesRunLength", 80, SevenPerByte(),
                TBytes().I32(-70).I32(28).I32(0).I32(79).I32(5).U8({0x89, 0xFB, 0x01, 0xFE})},
        TGolden{"GapListTooLargeForTheSetStaysRunLength", 160, {0, 16, 32, 48, 64, 159},
                TBytes().I32(-6).I32(38).I32(0).I32(159).I32(5)
                    .U8({0x09, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0x8a, 0x00, 0x01, 0x80})}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BitRecordGolden, GapListWithATooLargeGapFallsBackToBitmap) {
    // last - first - N = 65534 makes the gap list the choice, but the gap
    // from bit 2 to 65538 needs 17 bits.
    const TrbBitSet bits = SetOf(70000, {0, 1, 2, 65538});
    const QByteArray record = TrbBitRecord::Compress(bits);
    ASSERT_EQ(record.size(), 20 + 8193);
    EXPECT_EQ(record.first(20), TBytes().I32(-4).I32(8217).I32(0).I32(65538).I32(4).Get());
    EXPECT_EQ(static_cast<std::uint8_t>(record[20]), 0x07);
    EXPECT_EQ(static_cast<std::uint8_t>(record[20 + 8192]), 0x04);
    EXPECT_EQ(record.mid(21, 8191), QByteArray(8191, '\0'));
    ExpectRoundTrip(bits, record);
}

TEST(BitRecordGolden, SpanStartsAtTheByteOfFirst) {
    const TrbBitSet bits = SetOf(1008, {803, 804, 805, 813, 820});
    const QByteArray record = TrbBitRecord::Compress(bits);
    // bytes 100..102: bits 3,4,5 / 13 / 20 relative to bit 800
    EXPECT_EQ(record, TBytes().I32(-5).I32(27).I32(803).I32(820).I32(4).U8({0x38, 0x20, 0x10}).Get());
    ExpectRoundTrip(bits, record);
}

// ---- uncompressed form -------------------------------------------------------

TEST(BitRecordUncompressed, LayoutAndReading) {
    const TrbBitSet bits = SetOf(20, {0, 9, 19});
    const QByteArray record = TrbBitRecord::Uncompressed(bits);
    EXPECT_EQ(record, TBytes().I32(3).I32(15).U8({0x01, 0x02, 0x08}).Get());
    const TrbBitRecord::THeader h = TrbBitRecord::ReadHeader(record);
    EXPECT_FALSE(h.compressed);
    EXPECT_EQ(h.count, 3);
    EXPECT_EQ(h.size, 11); // bitmap bytes + 8

    TrbBitSet same(20);
    TrbBitRecord::Decompress(record, same);
    EXPECT_EQ(same, bits);

    // A larger target gets the bitmap and is cleared beyond it.
    TrbBitSet larger(64);
    larger.SetAll();
    TrbBitRecord::Decompress(record, larger);
    EXPECT_EQ(larger.Count(), 3);
    EXPECT_TRUE(larger.Test(19));
    EXPECT_FALSE(larger.Test(20));

    // A smaller target takes what fits and counts it.
    TrbBitSet smaller(10);
    TrbBitRecord::Decompress(record, smaller);
    EXPECT_EQ(smaller.Count(), 2);
    EXPECT_TRUE(smaller.Test(9));
}

// ---- run-length code ----------------------------------------------------------

struct TRleCase {
    const char* name;
    QByteArray input;
    std::optional<QByteArray> output;
};

class RunLengthEncoding : public ::testing::TestWithParam<TRleCase> {};

TEST_P(RunLengthEncoding, Encodes) {
    const TRleCase& c = GetParam();
    const std::optional<QByteArray> out = TrbBitRecord::RunLengthEncode(c.input);
    ASSERT_EQ(out.has_value(), c.output.has_value());
    if (!out)
        return;
    EXPECT_EQ(out->toHex(' '), c.output->toHex(' '));
    EXPECT_LE(out->size(), c.input.size() - 2);
    QByteArray back(c.input.size(), '\0');
    const auto written =
        TrbBitRecord::RunLengthDecode(*out, reinterpret_cast<std::uint8_t*>(back.data()), back.size());
    ASSERT_TRUE(written.has_value());
    EXPECT_EQ(*written, c.input.size());
    EXPECT_EQ(back, c.input);
}

QByteArray Mixed() {
    QByteArray in;
    for (int i = 0; i < 130; ++i)
        in.append(i % 2 ? 'B' : 'A');
    in.append(QByteArray(300, 'Z'));
    return in;
}

QByteArray MixedCode() {
    QByteArray out;
    out.append(char(127));
    out.append(Mixed().left(127));
    out.append(char(3));
    out.append(Mixed().mid(127, 3));
    out.append("\xff" "Z" "\xff" "Z" "\xae" "Z");
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RunLengthEncoding,
    ::testing::Values(
        TRleCase{"EmptyFails", "", std::nullopt},
        TRleCase{"OneByteFails", "A", std::nullopt},
        TRleCase{"TwoEqualFail", "AA", std::nullopt},
        TRleCase{"ThreeEqualFail", "AAA", std::nullopt},
        TRleCase{"FourEqual", "AAAA", QByteArray("\x84" "A")},
        TRleCase{"OutputOfNMinus1Fails", "AAAAB", std::nullopt},
        TRleCase{"OutputOfNMinus2Passes", "AAAAAB", QByteArray("\x85" "A" "\x01" "B")},
        TRleCase{"DistinctBytesFail", "ABCDEFGH", std::nullopt},
        TRleCase{"LiteralThenRun", "ABCCCCCCCC", QByteArray("\x02" "AB" "\x88" "C")},
        TRleCase{"RunOf127", QByteArray(127, 'x'), QByteArray("\xff" "x")},
        TRleCase{"RunOf128LeavesOneLiteral", QByteArray(128, 'x'), QByteArray("\xff" "x" "\x01" "x")},
        TRleCase{"RunOf129SplitsIntoRuns", QByteArray(129, 'x'), QByteArray("\xff" "x" "\x82" "x")},
        TRleCase{"LiteralGroupsHold127", Mixed(), MixedCode()},
        TRleCase{"ZeroBytes", QByteArray(10, '\0'), QByteArray("\x8a\x00", 2)}),
    [](const auto& info) { return std::string(info.param.name); });

struct TDecodeCase {
    const char* name;
    QByteArray input;
    qsizetype capacity;
    std::optional<qsizetype> written;
};

class RunLengthDecoding : public ::testing::TestWithParam<TDecodeCase> {};

TEST_P(RunLengthDecoding, StaysInsideItsBuffers) {
    const TDecodeCase& c = GetParam();
    // Guard bytes after the capacity must survive.
    std::vector<std::uint8_t> out(static_cast<size_t>(c.capacity) + 8, 0xEE);
    const auto written = TrbBitRecord::RunLengthDecode(c.input, out.data(), c.capacity);
    EXPECT_EQ(written, c.written);
    for (size_t i = static_cast<size_t>(c.capacity); i < out.size(); ++i)
        EXPECT_EQ(out[i], 0xEE) << "wrote past the capacity at " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RunLengthDecoding,
    ::testing::Values(
        TDecodeCase{"Empty", "", 4, 0},
        TDecodeCase{"ExactFit", QByteArray("\x84" "A"), 4, 4},
        TDecodeCase{"RunOverruns", QByteArray("\x85" "A"), 4, std::nullopt},
        TDecodeCase{"LiteralOverruns", QByteArray("\x03" "ABC"), 2, std::nullopt},
        TDecodeCase{"RunWithoutItsByte", QByteArray("\x85"), 10, std::nullopt},
        TDecodeCase{"LiteralCutShort", QByteArray("\x05" "AB"), 10, std::nullopt},
        TDecodeCase{"LongRunIntoNothing", QByteArray("\xff" "x"), 0, std::nullopt},
        TDecodeCase{"ZeroLengthGroupsAreHarmless", QByteArray("\x00\x80x\x01y", 5), 10, 1}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- damaged and unfitting records ---------------------------------------------

struct THostile {
    const char* name;
    QByteArray record;
    int targetSize;
    int code;
};

class HostileRecords : public ::testing::TestWithParam<THostile> {};

TEST_P(HostileRecords, FailCleanly) {
    const THostile& h = GetParam();
    TrbBitSet target(h.targetSize);
    target.Set(0);
    EXPECT_EQ(CodeOf([&] { TrbBitRecord::Decompress(h.record, target); }), h.code);
    if (h.code == EQuelvan::InvalidBlockSize) {
        EXPECT_EQ(target.Count(), 0) << "a damaged record must not leave bits behind";
    }
    if (h.code == EQuelvan::DecompressBufferTooSmall) {
        EXPECT_EQ(target, SetOf(h.targetSize, {0})) << "an unfitting record must not touch the target";
    }
}

TBytes Head(std::int64_t n, std::int64_t s, std::int64_t first, std::int64_t last, std::int64_t type) {
    return TBytes().I32(-n).I32(s).I32(first).I32(last).I32(type);
}

QByteArray Cut(const QByteArray& record, int keep) {
    return record.left(keep);
}

const QByteArray kGapRecord = TBytes().I32(-4).I32(30).I32(0).I32(300).I32(3).U16(100).U16(100).U16(100);

INSTANTIATE_TEST_SUITE_P(
    Cases, HostileRecords,
    ::testing::Values(
        THostile{"Nothing", "", 1008, 30477},
        THostile{"SevenBytes", QByteArray(7, '\xff'), 1008, 30477},
        THostile{"HeaderCutShort", Cut(Head(1, 24, 5, 5, 1), 16), 1008, 30477},
        THostile{"PayloadCutShort", Cut(kGapRecord, 25), 1008, 30477},
        THostile{"SizeBelowHeader", Head(1, 23, 5, 5, 1), 1008, 30477},
        THostile{"NegativeSize", Head(1, -24, 5, 5, 1), 1008, 30477},
        THostile{"HugeSize", Head(1, 0x7FFFFFFF, 5, 5, 1), 1008, 30477},
        THostile{"NegativeFirst", Head(1, 24, -5, -5, 1), 1008, 30477},
        THostile{"LastBelowFirst", Head(2, 24, 9, 5, 1), 1008, 30477},
        THostile{"MoreBitsThanSpan", Head(5, 24, 0, 3, 1), 1008, 30477},
        THostile{"MinimumCount", TBytes().I32(INT32_MIN).I32(24).I32(0).I32(1000).I32(5), 1008, 30477},
        THostile{"OneBitWithTwoEnds", Head(1, 24, 5, 9, 1), 1008, 30477},
        THostile{"LastBeyondTarget", Head(2, 24, 5, 1008, 1), 1008, 30470},
        THostile{"LastFarBeyondTarget", Head(2, 24, 5, 0x7FFFFFFF, 1), 1008, 30470},
        THostile{"UnknownTypeZero", Head(2, 24, 5, 9, 0), 1008, 30477},
        THostile{"UnknownTypeSix", Head(2, 24, 5, 9, 6), 1008, 30477},
        THostile{"NegativeType", Head(2, 24, 5, 9, -1), 1008, 30477},
        THostile{"FewWithFourBits", Head(4, 28, 0, 9, 1).I32(4), 1008, 30477},
        THostile{"FewThreeWithoutMiddle", Head(3, 24, 0, 9, 1), 1008, 30477},
        THostile{"FewMiddleOnAnEnd", Head(3, 28, 0, 9, 1).I32(9), 1008, 30477},
        THostile{"FewMiddleOutside", Head(3, 28, 0, 9, 1).I32(5000), 1008, 30477},
        THostile{"BitListWrongLength", Head(4, 36, 0, 900, 2).I32(5).I32(6).I32(7), 1008, 30477},
        THostile{"BitListBitOutside", Head(4, 32, 0, 900, 2).I32(5).I32(901), 1008, 30477},
        THostile{"BitListBitNegative", Head(4, 32, 0, 900, 2).I32(5).I32(-1), 1008, 30477},
        THostile{"BitListDuplicate", Head(4, 32, 0, 900, 2).I32(5).I32(5), 1008, 30477},
        THostile{"BitListOneBit", Head(1, 24, 5, 5, 2), 1008, 30477},
        THostile{"GapListWrongLength", Head(4, 28, 0, 300, 3).U16(100).U16(200), 1008, 30477},
        THostile{"GapListOvershoots", Head(4, 30, 0, 300, 3).U16(100).U16(100).U16(101), 1008, 30477},
        THostile{"GapListFallsShort", Head(4, 30, 0, 300, 3).U16(100).U16(100).U16(99), 1008, 30477},
        THostile{"GapListZeroGap", Head(4, 30, 0, 300, 3).U16(100).U16(0).U16(200), 1008, 30477},
        THostile{"GapListPastTheTargetEnd", Head(2, 26, 1000, 1007, 3).U16(10), 1008, 30477},
        THostile{"GapListHugeGaps", Head(4, 30, 0, 1000, 3).U16(65535).U16(65535).U16(65535), 1008, 30477},
        THostile{"BitmapWrongLength", Head(2, 25, 0, 15, 4).U8({0x01}), 1008, 30477},
        // Count, first and last agree; one bit lies outside first..last.
        THostile{"BitmapBitBelowFirst", Head(3, 26, 1, 15, 4).U8({0x03, 0x80}), 1008, 30477},
        THostile{"BitmapBitAboveLast", Head(3, 26, 0, 14, 4).U8({0x01, 0xC0}), 1008, 30477},
        THostile{"BitmapFirstNotSet", Head(2, 26, 0, 15, 4).U8({0x02, 0x80}), 1008, 30477},
        THostile{"BitmapCountWrong", Head(2, 26, 0, 15, 4).U8({0x03, 0x80}), 1008, 30477},
        THostile{"RunLengthOverruns", Head(16, 26, 0, 15, 5).U8({0x83, 0xFF}), 1008, 30477},
        THostile{"RunLengthFallsShort", Head(8, 26, 0, 15, 5).U8({0x01, 0xFF}), 1008, 30477},
        THostile{"RunLengthCutGroup", Head(16, 26, 0, 15, 5).U8({0x05, 0xFF}), 1008, 30477},
        THostile{"RunLengthRunIntoTail", Head(16, 26, 0, 15, 5).U8({0xFF, 0xFF}), 1008, 30477},
        THostile{"RunLengthCountWrong", Head(15, 26, 0, 15, 5).U8({0x82, 0xFF}), 1008, 30477},
        THostile{"UncompressedSizeBelowHeader", TBytes().I32(1).I32(11), 1008, 30477},
        THostile{"UncompressedCutShort", TBytes().I32(1).I32(20).U8({1, 0, 0}), 1008, 30477},
        THostile{"UncompressedCountWrong", TBytes().I32(2).I32(15).U8({1, 0, 0}), 1008, 30477}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BitRecord, ShortRunLengthPayloadLeavesNoStaleBytes) {
    // The code yields one byte of the two the header spans; the second byte
    // of the target still holds 0xFF from before, which would make count,
    // first and last look right.
    const QByteArray record = Head(16, 26, 0, 15, 5).U8({0x01, 0xFF});
    TrbBitSet target(1008);
    target.SetAll();
    EXPECT_EQ(CodeOf([&] { TrbBitRecord::Decompress(record, target); }), 30477);
    EXPECT_EQ(target.Count(), 0);
}

TEST(BitRecord, ZeroSizedTargetTakesNothing) {
    TrbBitSet none(0);
    EXPECT_EQ(CodeOf([&] { TrbBitRecord::Decompress(TrbBitRecord::Compress(SetOf(8, {3})), none); }), 30470);
    TrbBitRecord::Decompress(TrbBitRecord::Uncompressed(SetOf(8, {3})), none);
    EXPECT_EQ(none.Count(), 0);
}

TEST(BitRecord, TrailingBytesAfterTheDeclaredSizeAreIgnored) {
    const TrbBitSet bits = SetOf(1008, {4, 40, 400, 404});
    QByteArray record = TrbBitRecord::Compress(bits);
    record.append(QByteArray(12, '\x5a'));
    TrbBitSet back(1008);
    TrbBitRecord::Decompress(record, back);
    EXPECT_EQ(back, bits);
}

TEST(BitRecord, FitsAnyTargetThatHoldsItsLastBit) {
    const TrbBitSet bits = SetOf(1008, {17, 500, 999});
    const QByteArray record = TrbBitRecord::Compress(bits);
    for (int size : {1000, 1001, 1008, 5000}) {
        TrbBitSet target(size);
        target.SetAll();
        TrbBitRecord::Decompress(record, target);
        EXPECT_EQ(target.Count(), 3) << size;
        EXPECT_TRUE(target.Test(999));
    }
    TrbBitSet tooSmall(999);
    EXPECT_EQ(CodeOf([&] { TrbBitRecord::Decompress(record, tooSmall); }), 30470);
}

// ---- row split and join --------------------------------------------------------

TEST(BitRecordRow, ShortRecordStaysInTheBytesColumn) {
    const QByteArray record = TrbBitRecord::Compress(SetOf(1008, {1, 2, 3, 40, 50}));
    ASSERT_LE(record.size(), 28);
    const TrbBitRecord::TRowParts parts = TrbBitRecord::SplitForRow(record, 28);
    EXPECT_EQ(parts.bytes.size(), 28);
    EXPECT_EQ(parts.bytes.left(record.size()), record);
    EXPECT_FALSE(parts.hasBlob);
    EXPECT_EQ(TrbBitRecord::JoinFromRow(record.size(), parts.bytes, {}, 28), record);
}

TEST(BitRecordRow, LongRecordContinuesInTheBlob) {
    TrbBitSet bits(1008);
    for (int b = 0; b < 1008; b += 3)
        bits.Set(b);
    const QByteArray record = TrbBitRecord::Compress(bits);
    ASSERT_GT(record.size(), 28);
    const TrbBitRecord::TRowParts parts = TrbBitRecord::SplitForRow(record, 28);
    EXPECT_EQ(parts.bytes, record.left(28));
    EXPECT_TRUE(parts.hasBlob);
    EXPECT_EQ(parts.blob, record.mid(28));
    const QByteArray joined = TrbBitRecord::JoinFromRow(record.size(), parts.bytes, parts.blob, 28);
    EXPECT_EQ(joined, record);

    // No bytes column: everything is in the blob.
    const TrbBitRecord::TRowParts blobOnly = TrbBitRecord::SplitForRow(record, 0);
    EXPECT_TRUE(blobOnly.bytes.isEmpty());
    EXPECT_EQ(blobOnly.blob, record);
    EXPECT_EQ(TrbBitRecord::JoinFromRow(record.size(), {}, blobOnly.blob, 0), record);
}

TEST(BitRecordRow, ReadingChecksSizes) {
    const QByteArray bytes(28, '\x01');
    const QByteArray blob(50, '\x02');
    // rbSize 78: the blob must hold 50 bytes exactly.
    EXPECT_EQ(TrbBitRecord::JoinFromRow(78, bytes, blob, 28).size(), 78);
    EXPECT_EQ(CodeOf([&] { TrbBitRecord::JoinFromRow(79, bytes, blob, 28); }), 30465);
    EXPECT_EQ(CodeOf([&] { TrbBitRecord::JoinFromRow(77, bytes, blob, 28); }), 30465);
    EXPECT_EQ(CodeOf([&] { TrbBitRecord::JoinFromRow(78, bytes, {}, 28); }), 30465);
    // The buffer holds a 4-byte stamp in front.
    EXPECT_EQ(TrbBitRecord::JoinFromRow(78, bytes, blob, 28, 82).size(), 78);
    EXPECT_EQ(CodeOf([&] { TrbBitRecord::JoinFromRow(78, bytes, blob, 28, 81); }), 30470);
    // Damaged columns.
    EXPECT_EQ(CodeOf([&] { TrbBitRecord::JoinFromRow(-1, bytes, blob, 28); }), 30477);
    EXPECT_EQ(CodeOf([&] { TrbBitRecord::JoinFromRow(20, bytes.left(19), {}, 28); }), 30477);
    // The properties row has rbSize 0; its blob is not part of a record.
    EXPECT_TRUE(TrbBitRecord::JoinFromRow(0, {}, blob, 28).isEmpty());
}

} // namespace
