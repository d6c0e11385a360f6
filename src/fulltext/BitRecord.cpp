// Stored bit records
// ==================
//
// One word row of the words table carries the set of catalogue records (of
// one segment) that contain the word. Its stored form is a byte string of
// rbSize bytes; all integers are 32-bit little-endian, two's complement. The
// sign of the first integer tells the two forms apart. (In memory the word
// cache keeps a 4-byte stamp in front of these bytes, which is why every size
// field counts 4 bytes more than the stored length.)
//
// Uncompressed form (first integer >= 0; read, never written by the engines):
//
//   offset  width          field
//   0       4              count: number of set bits
//   4       4              total size T = bitmap bytes + 12
//   8       T - 12         the bitmap (bit b = bit b%8 of byte b/8, LSB first)
//
//   rbSize = T - 4.
//
// Compressed form (first integer < 0):
//
//   offset  width          field
//   0       4              -N, N = number of set bits
//   4       4              total size S = rbSize + 4
//   8       4              first: lowest set bit (0 when N = 0)
//   12      4              last: highest set bit (0 when N = 0)
//   16      4              type, 1..5
//   20      S - 24         payload:
//
//   type 1  N <= 3        nothing for N <= 2 (the bits are first and last);
//                          for N = 3 one int32, the middle bit.  S = 24 / 28
//   type 2  bit list      N - 2 int32: every set bit but first and last,
//                          ascending.                                S = 4N + 16
//   type 3  gap list      N - 1 uint16 (LE): bit(i+1) - bit(i) from first on.
//                                                                    S = 2(N-1) + 24
//   type 4  bitmap        nb = last/8 - first/8 + 1 bytes: the bitmap bytes
//                          first/8 .. last/8 as in memory.           S = nb + 24
//   type 5  run length    those nb bytes run-length encoded.         S = code + 24
//
// Run-length code (type 5): a sequence of groups, each a control byte c and
// its data. c >= 128: a run, c - 128 (2..127) copies of the one byte that
// follows. c < 128: a literal, the c (1..127) bytes that follow, as they are.
//
// Row split: the first min(rbSize, bytes column size) bytes of a record are
// kept in the fixed "rbBytes" column (28 bytes), the rest, if any, is the
// whole "rbBlob". "rbSize" and "rbCount" (= N) are columns of their own.
//
// The empty set: the compressed form of N = 0 starts with -0 = 0 and so has
// the uncompressed form's signature; a reader therefore takes any record with
// a count of 0 as the empty set (a sound uncompressed record with count 0 has
// an all-zero bitmap anyway).
//
// Checks on read: the record must be at least as long as its size field says;
// T >= 12; S >= 24; 0 <= first <= last; N no larger than last - first + 1;
// the payload length must be exactly the one of its type and N; every listed
// or gap-derived bit lies inside first..last; a run-length payload decodes to
// exactly nb bytes; and the decoded bits must be exactly N, with first and
// last among them. Anything else is a damaged record (30477).

#include "fulltext/BitRecord.h"

#include "fulltext/BitSet.h"
#include "fulltext/Quelvan.h"

#include <bit>
#include <cstring>
#include <vector>

namespace {

std::int32_t ReadInt(QByteArrayView data, qsizetype offset) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<std::uint8_t>(data[offset + i]);
    return static_cast<std::int32_t>(v);
}

std::uint16_t ReadWord(QByteArrayView data, qsizetype offset) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(data[offset]) |
                                      (static_cast<std::uint8_t>(data[offset + 1]) << 8));
}

void AppendInt(QByteArray& out, std::int64_t value) {
    const std::uint32_t v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        out.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void AppendWord(QByteArray& out, std::uint32_t value) {
    out.append(static_cast<char>(value & 0xFF));
    out.append(static_cast<char>((value >> 8) & 0xFF));
}

[[noreturn]] void Damaged() {
    EQuelvan::Raise(EQuelvan::InvalidBlockSize);
}

// What the compressor knows about the set it works on.
struct TSetFacts {
    const TrbBitSet& bits;
    std::int64_t n;      // set bits
    std::int32_t first;
    std::int32_t last;
    std::int64_t nb;     // bytes first/8 .. last/8
    std::int64_t bitmapBytes;
};

QByteArray Header(const TSetFacts& f, int type, std::int64_t payloadBytes) {
    QByteArray out;
    out.reserve(static_cast<qsizetype>(TrbBitRecord::CompressedHeaderSize + payloadBytes));
    AppendInt(out, -f.n);
    AppendInt(out, payloadBytes + 24);
    AppendInt(out, f.first);
    AppendInt(out, f.last);
    AppendInt(out, type);
    return out;
}

// The nb bitmap bytes from first/8 on. Bits beyond the set's size cannot be
// in there: the set keeps its padding clear.
QByteArrayView SpanBytes(const TSetFacts& f) {
    return QByteArrayView(reinterpret_cast<const char*>(f.bits.Bytes()) + f.first / 8,
                          static_cast<qsizetype>(f.nb));
}

QByteArray BuildBitmap(const TSetFacts& f) {
    QByteArray out = Header(f, TrbBitRecord::rtBitmap, f.nb);
    out.append(SpanBytes(f));
    return out;
}

// The gap list, or nullopt when a gap does not fit in 16 bits.
std::optional<QByteArray> BuildGapList(const TSetFacts& f) {
    QByteArray out = Header(f, TrbBitRecord::rtGapList, 2 * (f.n - 1));
    int previous = f.first;
    for (int bit = f.bits.Next(f.first + 1); bit >= 0; bit = f.bits.Next(bit + 1)) {
        const int gap = bit - previous;
        if (gap > TrbBitRecord::MaxGap)
            return std::nullopt;
        AppendWord(out, static_cast<std::uint32_t>(gap));
        previous = bit;
    }
    return out;
}

// The bit list; stored as a gap list instead when there is room to try one
// and every gap fits.
QByteArray BuildBitList(const TSetFacts& f) {
    if (6 * (f.n - 1) < f.bitmapBytes)
        if (std::optional<QByteArray> gaps = BuildGapList(f))
            return *gaps;
    QByteArray out = Header(f, TrbBitRecord::rtBitList, 4 * (f.n - 2));
    for (int bit = f.bits.Next(f.first + 1); bit >= 0 && bit < f.last; bit = f.bits.Next(bit + 1))
        AppendInt(out, bit);
    return out;
}

} // namespace

QByteArray TrbBitRecord::Compress(const TrbBitSet& bits) {
    const std::int64_t n = bits.Count();
    const std::int32_t first = n ? bits.First() : 0;
    const std::int32_t last = n ? bits.Last() : 0;
    const TSetFacts f{bits, n, first, last, last / 8 - first / 8 + 1, bits.ByteCount()};

    if (n <= 2)
        return Header(f, rtFew, 0);
    if (n == 3) {
        if (f.nb < 4)
            return BuildBitmap(f);
        QByteArray out = Header(f, rtFew, 4);
        AppendInt(out, bits.Next(first + 1));
        return out;
    }

    // Choose by predicted size: the bitmap, a gap or bit list for few bits,
    // or the run-length code when its estimate beats them all.
    int type = rtBitmap;
    std::int64_t size = 24 + f.nb;
    std::int64_t gapCandidate = 0; // 0: none
    std::int64_t bitCandidate = 0;
    if (n <= 256) {
        if (std::int64_t(last) - first - n < MaxGap) {
            const std::int64_t gapSize = 2 * (n - 1) + 24;
            if (gapSize <= f.bitmapBytes + 12) {
                gapCandidate = gapSize;
                if (gapSize < size) {
                    type = rtGapList;
                    size = gapSize;
                }
            }
        } else {
            bitCandidate = 4 * n + 16;
            if (bitCandidate < size) {
                type = rtBitList;
                size = bitCandidate;
            }
        }
    }
    std::int64_t estimate = ((std::int64_t(last) - first) / 4) / 127 + 24;
    if (n < f.nb)
        estimate += n;
    else if (n > 7 * f.nb)
        estimate += 8 * f.nb - n;
    if (estimate < size)
        type = rtRunLength;

    switch (type) {
    case rtGapList:
        // A gap beyond 16 bits falls back to the bitmap, not to a bit list.
        if (std::optional<QByteArray> gaps = BuildGapList(f))
            return *gaps;
        return BuildBitmap(f);
    case rtBitList:
        return BuildBitList(f);
    case rtRunLength:
        break;
    default:
        return BuildBitmap(f);
    }

    // An encoder that gives up leaves the bitmap, whatever the candidates.
    const std::optional<QByteArray> code = RunLengthEncode(SpanBytes(f));
    if (!code)
        return BuildBitmap(f);
    QByteArray out = Header(f, rtRunLength, code->size());
    out.append(*code);
    const std::int64_t s = out.size() + 4;

    // The real size may lose against a list after all.
    if (gapCandidate && gapCandidate < s) {
        if (std::optional<QByteArray> gaps = BuildGapList(f))
            return *gaps;
        return out;
    }
    if (bitCandidate && bitCandidate < s)
        return BuildBitList(f);
    // 2(N - 1) < S - 24 already makes the gap list the smaller one.
    if (n < 256 && 2 * (n - 1) < s - 24 && s + 2 * (n - 1) < f.bitmapBytes + 24)
        if (std::optional<QByteArray> gaps = BuildGapList(f))
            return *gaps;
    return out;
}

QByteArray TrbBitRecord::Uncompressed(const TrbBitSet& bits) {
    QByteArray out;
    out.reserve(UncompressedHeaderSize + bits.ByteCount());
    AppendInt(out, bits.Count());
    AppendInt(out, std::int64_t(bits.ByteCount()) + 12);
    out.append(reinterpret_cast<const char*>(bits.Bytes()), bits.ByteCount());
    return out;
}

std::optional<QByteArray> TrbBitRecord::RunLengthEncode(QByteArrayView input) {
    const qsizetype n = input.size();
    if (n <= 1)
        return std::nullopt;
    const qsizetype limit = n - 1; // the output must stay below this
    QByteArray out;
    out.reserve(limit);
    qsizetype literal = -1; // position of the open literal group's control byte
    qsizetype i = 0;
    while (i < n) {
        const char current = input[i];
        if (i + 1 < n && input[i + 1] == current) {
            qsizetype run = 2;
            while (i + run < n && run < MaxGroup && input[i + run] == current)
                ++run;
            if (out.size() + 2 >= limit)
                return std::nullopt;
            out.append(static_cast<char>(128 + run));
            out.append(current);
            literal = -1;
            i += run;
        } else {
            if (literal < 0 || static_cast<std::uint8_t>(out[literal]) == MaxGroup) {
                if (out.size() + 2 >= limit)
                    return std::nullopt;
                literal = out.size();
                out.append('\0');
            } else if (out.size() + 1 >= limit) {
                return std::nullopt;
            }
            out[literal] = static_cast<char>(out[literal] + 1);
            out.append(current);
            ++i;
        }
    }
    return out;
}

std::optional<qsizetype> TrbBitRecord::RunLengthDecode(QByteArrayView input, std::uint8_t* out,
                                                       qsizetype capacity) {
    qsizetype written = 0;
    qsizetype pos = 0;
    while (pos < input.size()) {
        const std::uint8_t control = static_cast<std::uint8_t>(input[pos++]);
        if (control >= 128) {
            const qsizetype count = control - 128;
            if (pos >= input.size() || count > capacity - written)
                return std::nullopt;
            std::memset(out + written, static_cast<std::uint8_t>(input[pos++]), static_cast<size_t>(count));
            written += count;
        } else {
            const qsizetype count = control;
            if (count > input.size() - pos || count > capacity - written)
                return std::nullopt;
            if (count)
                std::memcpy(out + written, input.data() + pos, static_cast<size_t>(count));
            pos += count;
            written += count;
        }
    }
    return written;
}

TrbBitRecord::THeader TrbBitRecord::ReadHeader(QByteArrayView stored) {
    if (stored.size() < UncompressedHeaderSize)
        Damaged();
    THeader h;
    const std::int32_t head = ReadInt(stored, 0);
    const std::int32_t total = ReadInt(stored, 4);
    if (head >= 0) {
        if (total < 12 || total - 4 > stored.size())
            Damaged();
        h.compressed = false;
        h.count = head;
        h.size = total - 4;
        return h;
    }
    if (total < 24 || total - 4 > stored.size())
        Damaged();
    h.compressed = true;
    h.count = -std::int64_t(head);
    h.size = total - 4;
    h.first = ReadInt(stored, 8);
    h.last = ReadInt(stored, 12);
    h.type = ReadInt(stored, 16);
    if (h.first < 0 || h.last < h.first || h.count > std::int64_t(h.last) - h.first + 1 ||
        (h.count == 1 && h.first != h.last))
        Damaged();
    return h;
}

void TrbBitRecord::Decompress(QByteArrayView stored, TrbBitSet& target) {
    try {
        DecompressInto(stored, target);
    } catch (const EQuelvan& e) {
        // No half-decoded record may survive a damaged one.
        if (e.Code() == EQuelvan::InvalidBlockSize)
            target.ClearAll();
        throw;
    }
}

void TrbBitRecord::DecompressInto(QByteArrayView stored, TrbBitSet& target) {
    const THeader h = ReadHeader(stored);
    const qsizetype targetBytes = target.ByteCount();
    std::uint8_t* bytes = target.Bytes();

    if (!h.compressed) {
        // An empty set compressed has -0 = 0 in front and so reads as the
        // uncompressed form; a count of 0 means no bits in either form.
        if (h.count == 0) {
            target.ClearAll();
            return;
        }
        const qsizetype bitmapBytes = h.size - UncompressedHeaderSize;
        const QByteArrayView bitmap = stored.sliced(UncompressedHeaderSize, bitmapBytes);
        const qsizetype copied = bitmapBytes < targetBytes ? bitmapBytes : targetBytes;
        if (copied)
            std::memcpy(bytes, bitmap.data(), static_cast<size_t>(copied));
        if (copied < targetBytes)
            std::memset(bytes + copied, 0, static_cast<size_t>(targetBytes - copied));
        target.ClearPadding();
        // A bitmap that ends inside the target must agree with its count; a
        // longer one was cut to the target and is simply counted.
        if (bitmapBytes < targetBytes && target.Count() != h.count)
            Damaged();
        return;
    }

    if (h.last >= target.Size())
        EQuelvan::Raise(EQuelvan::DecompressBufferTooSmall);

    const QByteArrayView payload = stored.sliced(CompressedHeaderSize, h.size - CompressedHeaderSize);
    const std::int64_t n = h.count;
    const qsizetype firstByte = h.first / 8;
    const qsizetype lastByte = h.last / 8;
    const qsizetype nb = lastByte - firstByte + 1;

    std::int64_t setBits = 0;
    auto setBit = [&](std::int64_t bit) {
        std::uint8_t& b = bytes[bit >> 3];
        const std::uint8_t mask = std::uint8_t(1u << (bit & 7));
        if (!(b & mask)) {
            b |= mask;
            ++setBits;
        }
    };

    switch (h.type) {
    case rtFew:
        if (n > 3 || payload.size() != (n == 3 ? 4 : 0))
            Damaged();
        target.ClearAll();
        if (n >= 1)
            setBit(h.first);
        if (n >= 2)
            setBit(h.last);
        if (n == 3) {
            const std::int32_t middle = ReadInt(payload, 0);
            if (middle <= h.first || middle >= h.last)
                Damaged();
            setBit(middle);
        }
        break;
    case rtBitList:
        if (n < 2 || payload.size() != 4 * (n - 2))
            Damaged();
        target.ClearAll();
        setBit(h.first);
        setBit(h.last);
        for (qsizetype at = 0; at < payload.size(); at += 4) {
            const std::int32_t bit = ReadInt(payload, at);
            if (bit <= h.first || bit >= h.last)
                Damaged();
            setBit(bit);
        }
        break;
    case rtGapList: {
        if (n < 1 || payload.size() != 2 * (n - 1))
            Damaged();
        target.ClearAll();
        setBit(h.first);
        std::int64_t bit = h.first;
        for (qsizetype at = 0; at < payload.size(); at += 2) {
            bit += ReadWord(payload, at);
            if (bit > h.last)
                Damaged();
            setBit(bit);
        }
        if (bit != h.last)
            Damaged();
        break;
    }
    case rtBitmap:
    case rtRunLength: {
        if (h.type == rtBitmap && payload.size() != nb)
            Damaged();
        std::memset(bytes, 0, static_cast<size_t>(firstByte));
        std::memset(bytes + lastByte + 1, 0, static_cast<size_t>(targetBytes - lastByte - 1));
        if (h.type == rtBitmap) {
            std::memcpy(bytes + firstByte, payload.data(), static_cast<size_t>(nb));
        } else {
            const std::optional<qsizetype> written = RunLengthDecode(payload, bytes + firstByte, nb);
            if (!written || *written != nb)
                Damaged();
        }
        // Nothing may lie outside first..last, and first and last must be set
        // (unless the record is empty).
        const std::uint8_t below = std::uint8_t((1u << (h.first & 7)) - 1);
        const std::uint8_t above = std::uint8_t(~((2u << (h.last & 7)) - 1));
        if ((bytes[firstByte] & below) || (bytes[lastByte] & above))
            Damaged();
        if (n > 0 && (!((bytes[firstByte] >> (h.first & 7)) & 1u) || !((bytes[lastByte] >> (h.last & 7)) & 1u)))
            Damaged();
        for (qsizetype i = firstByte; i <= lastByte; ++i)
            setBits += std::popcount(bytes[i]);
        break;
    }
    default:
        Damaged();
    }

    if (setBits != n)
        Damaged();
}

TrbBitRecord::TRowParts TrbBitRecord::SplitForRow(QByteArrayView stored, int bytesFieldSize) {
    if (bytesFieldSize < 0)
        EQuelvan::Raise(EQuelvan::InvalidParameter);
    TRowParts parts;
    const qsizetype inBytes = stored.size() < bytesFieldSize ? stored.size() : bytesFieldSize;
    parts.bytes = stored.first(inBytes).toByteArray();
    parts.bytes.append(QByteArray(bytesFieldSize - inBytes, '\0'));
    if (stored.size() > bytesFieldSize) {
        parts.blob = stored.sliced(bytesFieldSize).toByteArray();
        parts.hasBlob = true;
    }
    return parts;
}

QByteArray TrbBitRecord::JoinFromRow(std::int32_t rbSize, QByteArrayView rbBytes, QByteArrayView rbBlob,
                                     int bytesFieldSize, qsizetype capacity) {
    if (rbSize < 0 || bytesFieldSize < 0)
        Damaged();
    if (capacity >= 0 && capacity - 4 < rbSize)
        EQuelvan::Raise(EQuelvan::DecompressBufferTooSmall);
    const qsizetype inBytes = rbSize < bytesFieldSize ? rbSize : bytesFieldSize;
    if (rbBytes.size() < inBytes)
        Damaged();
    QByteArray out;
    out.reserve(rbSize);
    out.append(rbBytes.first(inBytes));
    if (rbSize > bytesFieldSize) {
        if (rbBlob.size() != qsizetype(rbSize) - bytesFieldSize)
            EQuelvan::Raise(EQuelvan::InconsistentBlobSize);
        out.append(rbBlob);
    }
    return out;
}
