// libFuzzer target for the full-text engine's readers of stored data: bit
// records, the run-length code, the "rbChar" text coding, word-row assembly
// and the properties block. The first input byte picks the reader; the rest
// is the data. Every reader must either succeed or raise EQuelvan; whatever a
// record decodes to must survive compress -> decompress unchanged.

#include "fulltext/BitRecord.h"
#include "fulltext/BitSet.h"
#include "fulltext/CharCodec.h"
#include "fulltext/PropertiesBlock.h"
#include "fulltext/Quelvan.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

void CheckRecord(QByteArrayView data) {
    if (data.size() < 2)
        return;
    // Two bytes choose the target size (up to 64 Ki bits).
    const int size = static_cast<std::uint8_t>(data[0]) | (static_cast<std::uint8_t>(data[1]) << 8);
    const QByteArrayView record = data.sliced(2);
    TrbBitSet target(size);
    try {
        TrbBitRecord::Decompress(record, target);
    } catch (const EQuelvan& e) {
        if (e.Code() != EQuelvan::InvalidBlockSize && e.Code() != EQuelvan::DecompressBufferTooSmall)
            __builtin_trap();
        return;
    }
    const QByteArray again = TrbBitRecord::Compress(target);
    TrbBitSet back(size);
    TrbBitRecord::Decompress(again, back);
    if (!(back == target) || TrbBitRecord::Compress(back) != again)
        __builtin_trap();
}

void CheckRunLength(QByteArrayView data) {
    std::vector<std::uint8_t> out(512);
    const auto written = TrbBitRecord::RunLengthDecode(data, out.data(), static_cast<qsizetype>(out.size()));
    if (written && (*written < 0 || *written > static_cast<qsizetype>(out.size())))
        __builtin_trap();
}

void CheckRow(QByteArrayView data) {
    if (data.size() < 6)
        return;
    const std::int32_t rbSize = static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint8_t>(data[0])) |
                                                          (static_cast<std::uint32_t>(static_cast<std::uint8_t>(data[1])) << 8));
    const int bytesFieldSize = static_cast<std::uint8_t>(data[2]);
    const int split = static_cast<std::uint8_t>(data[3]);
    const QByteArrayView rest = data.sliced(4);
    const QByteArrayView bytes = rest.first(split < rest.size() ? split : rest.size());
    const QByteArrayView blob = rest.sliced(bytes.size());
    try {
        const QByteArray joined = TrbBitRecord::JoinFromRow(rbSize, bytes, blob, bytesFieldSize, 4 + 4096);
        if (joined.size() != rbSize)
            __builtin_trap();
    } catch (const EQuelvan&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t length) {
    if (length == 0)
        return 0;
    const QByteArrayView data(reinterpret_cast<const char*>(bytes) + 1, static_cast<qsizetype>(length - 1));
    try {
        switch (bytes[0] % 5) {
        case 0:
            CheckRecord(data);
            break;
        case 1:
            CheckRunLength(data);
            break;
        case 2:
            TrbCharCodec::Decode(data);
            break;
        case 3:
            CheckRow(data);
            break;
        default: {
            // What was read writes a block that reads and writes back to the
            // same bytes (the first write may differ from the input: omit
            // words are folded, non-minimal integer tags shrink).
            const QByteArray written = TrbPropertiesBlock::Write(TrbPropertiesBlock::Read(data));
            if (TrbPropertiesBlock::Write(TrbPropertiesBlock::Read(written)) != written)
                __builtin_trap();
            break;
        }
        }
    } catch (const EQuelvan&) {
    }
    return 0;
}
