#pragma once
// TrbBitSet: a bit set of arbitrary size, one bit per catalogue record of a
// segment (or of the whole catalogue while searching).
//
// Memory layout, shared with the stored bit records: ceil(Size / 8) bytes,
// bit b is bit (b mod 8) of byte (b div 8), least significant bit first.
// Padding bits above Size in the last byte are kept clear.
//
// Bit numbers outside 0..Size-1 raise EQuelvan 30480 "Invalid parameter".

#include <cstdint>
#include <vector>

class TrbBitSet {
public:
    // The largest size: bit numbers are 32-bit signed values on disk.
    static constexpr int MaxSize = 0x7FFFFFFF;

    TrbBitSet() = default;
    explicit TrbBitSet(int bits);

    int Size() const { return bits_; }
    // ceil(Size / 8).
    int ByteCount() const { return static_cast<int>(bytes_.size()); }
    // Keeps the bits below the new size; new bits are clear.
    void Resize(int bits);

    bool Test(int bit) const;
    void Set(int bit);
    void Clear(int bit);
    void Assign(int bit, bool value);
    void SetAll();
    void ClearAll();

    // Number of set bits.
    int Count() const;
    // Lowest / highest set bit, -1 when none is set.
    int First() const;
    int Last() const;
    // Lowest set bit at or above `from`, -1 when none.
    int Next(int from) const;

    // Raw bitmap access for the record codec. After writing through Bytes()
    // call ClearPadding() if the last byte may have received bits beyond Size.
    std::uint8_t* Bytes() { return bytes_.data(); }
    const std::uint8_t* Bytes() const { return bytes_.data(); }
    void ClearPadding();

    // Copies `part` into this set from bit `atBit` on (a multiple of 8, so the
    // copy is byte-wise); bits of `part` beyond the end of this set are
    // dropped. An `atBit` that is negative, not byte aligned or not inside
    // this set raises 30480.
    void CopyFrom(const TrbBitSet& part, int atBit);

    bool operator==(const TrbBitSet& other) const {
        return bits_ == other.bits_ && bytes_ == other.bytes_;
    }

private:
    void Check(int bit) const;

    int bits_ = 0;
    std::vector<std::uint8_t> bytes_;
};
