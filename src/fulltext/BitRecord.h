#pragma once
// TrbBitRecord: the stored form of one word row's bit set (which records of a
// segment contain the word), and the run-length coding it uses. The byte
// layout is described at the top of BitRecord.cpp.
//
// A stored record comes from the words table, so it is outside input: every
// reader here checks each size and offset before use. A record that does not
// hold together raises EQuelvan 30477 "Invalid block size"; a sound record
// whose highest bit lies beyond the target set raises 30470 "Decompress
// buffer too small".

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <optional>

class TrbBitSet;

class TrbBitRecord {
public:
    // Compressed record types.
    enum TType : int {
        rtFew = 1,       // N <= 3: first, last and for N = 3 the middle bit
        rtBitList = 2,   // every bit except first and last as 32-bit numbers
        rtGapList = 3,   // N - 1 gaps of 16 bits from first on
        rtBitmap = 4,    // the bitmap bytes from first div 8 to last div 8
        rtRunLength = 5, // those bytes run-length encoded
    };

    // Fixed part of a compressed record, in bytes (count, size, first, last,
    // type); the size field counts 4 more for the in-memory stamp.
    static constexpr int CompressedHeaderSize = 20;
    // Fixed part of an uncompressed record (count, size).
    static constexpr int UncompressedHeaderSize = 8;
    // Longest gap a gap list can hold.
    static constexpr int MaxGap = 65535;
    // Longest run and longest literal group of the run-length code.
    static constexpr int MaxGroup = 127;

    // The checked header of a stored record.
    struct THeader {
        bool compressed = false;
        std::int64_t count = 0;  // N, the number of set bits
        std::int32_t size = 0;   // rbSize: length of the stored record in bytes
        std::int32_t first = 0;  // compressed only
        std::int32_t last = 0;   // compressed only
        std::int32_t type = 0;   // compressed only
    };

    // The compressed record of a bit set (the form the engines write). The
    // type is chosen by size as the format prescribes; the result is rbSize
    // bytes long.
    static QByteArray Compress(const TrbBitSet& bits);
    // The uncompressed record: count, size and the whole bitmap.
    static QByteArray Uncompressed(const TrbBitSet& bits);

    // Reads and checks the header (and the declared size against the bytes
    // given); bytes after the declared size are ignored. The compressed empty
    // set starts with -0 = 0 and so comes back as uncompressed with count 0.
    static THeader ReadHeader(QByteArrayView stored);

    // Decodes a stored record of either form into `target`, whose size stays.
    // A compressed record must fit: its last bit below target.Size(), else
    // 30470 before the target is touched. An uncompressed record is copied as
    // far as both bitmaps reach. On 30477 the target is left cleared.
    static void Decompress(QByteArrayView stored, TrbBitSet& target);

    // Run-length code: groups of a control byte c and data; c >= 128 is a run
    // of c - 128 copies of the next byte, c < 128 a literal of the next c
    // bytes. Encoding gives up (nullopt) for inputs of fewer than 2 bytes and
    // as soon as the output would reach input size - 1 bytes.
    static std::optional<QByteArray> RunLengthEncode(QByteArrayView input);
    // Decodes into out[0..capacity); returns the number of bytes written, or
    // nullopt when the input is cut short or would write past capacity.
    static std::optional<qsizetype> RunLengthDecode(QByteArrayView input, std::uint8_t* out,
                                                    qsizetype capacity);

    // Splitting a stored record over the word row's columns: the first
    // min(rbSize, bytesFieldSize) bytes go to "rbBytes" (padded with zero
    // bytes to the column size), the rest, if any, is the whole "rbBlob".
    struct TRowParts {
        QByteArray bytes;
        QByteArray blob;
        bool hasBlob = false;
    };
    static TRowParts SplitForRow(QByteArrayView stored, int bytesFieldSize);
    // The stored record of a word row read back. `capacity` is the size of the
    // reader's in-memory buffer including its 4-byte stamp slot (30470 when
    // the record does not fit; negative for no limit). A blob that does not
    // hold exactly rbSize - bytesFieldSize bytes raises 30465; a negative
    // rbSize or an "rbBytes" value too short for its part raises 30477.
    static QByteArray JoinFromRow(std::int32_t rbSize, QByteArrayView rbBytes, QByteArrayView rbBlob,
                                  int bytesFieldSize, qsizetype capacity = -1);

private:
    static void DecompressInto(QByteArrayView stored, TrbBitSet& target);
};
