#include "fulltext/BitSet.h"

#include "fulltext/Quelvan.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

std::size_t BytesFor(int bits) {
    return (static_cast<std::size_t>(bits) + 7) / 8;
}

} // namespace

TrbBitSet::TrbBitSet(int bits) {
    Resize(bits);
}

void TrbBitSet::Resize(int bits) {
    if (bits < 0)
        EQuelvan::Raise(EQuelvan::InvalidParameter);
    bytes_.resize(BytesFor(bits), 0);
    bits_ = bits;
    ClearPadding();
}

void TrbBitSet::Check(int bit) const {
    if (bit < 0 || bit >= bits_)
        EQuelvan::Raise(EQuelvan::InvalidParameter);
}

bool TrbBitSet::Test(int bit) const {
    Check(bit);
    return (bytes_[bit >> 3] >> (bit & 7)) & 1u;
}

void TrbBitSet::Set(int bit) {
    Check(bit);
    bytes_[bit >> 3] |= std::uint8_t(1u << (bit & 7));
}

void TrbBitSet::Clear(int bit) {
    Check(bit);
    bytes_[bit >> 3] &= std::uint8_t(~(1u << (bit & 7)));
}

void TrbBitSet::Assign(int bit, bool value) {
    if (value)
        Set(bit);
    else
        Clear(bit);
}

void TrbBitSet::SetAll() {
    std::fill(bytes_.begin(), bytes_.end(), std::uint8_t(0xFF));
    ClearPadding();
}

void TrbBitSet::ClearAll() {
    std::fill(bytes_.begin(), bytes_.end(), std::uint8_t(0));
}

void TrbBitSet::ClearPadding() {
    if (bits_ & 7)
        bytes_.back() &= std::uint8_t((1u << (bits_ & 7)) - 1);
}

int TrbBitSet::Count() const {
    // Eight bytes per step: a whole-range set of a large catalogue is
    // counted several times per search.
    const std::size_t size = bytes_.size();
    std::size_t i = 0;
    int n = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes_.data() + i, sizeof word);
        n += std::popcount(word);
    }
    for (; i < size; ++i)
        n += std::popcount(bytes_[i]);
    return n;
}

int TrbBitSet::First() const {
    return Next(0);
}

int TrbBitSet::Next(int from) const {
    if (from < 0)
        from = 0;
    if (from >= bits_)
        return -1;
    std::size_t i = static_cast<std::size_t>(from) >> 3;
    unsigned b = bytes_[i] & (0xFFu << (from & 7));
    while (b == 0) {
        if (++i == bytes_.size())
            return -1;
        b = bytes_[i];
    }
    return static_cast<int>(i * 8 + std::countr_zero(b));
}

int TrbBitSet::Last() const {
    for (std::size_t i = bytes_.size(); i-- > 0;)
        if (bytes_[i])
            return static_cast<int>(i * 8 + 7 - std::countl_zero(bytes_[i]));
    return -1;
}

void TrbBitSet::CopyFrom(const TrbBitSet& part, int atBit) {
    if (atBit < 0 || (atBit & 7) || atBit >= bits_)
        EQuelvan::Raise(EQuelvan::InvalidParameter);
    const std::size_t at = static_cast<std::size_t>(atBit) >> 3;
    const std::size_t n = std::min(part.bytes_.size(), bytes_.size() - at);
    if (n)
        std::memcpy(bytes_.data() + at, part.bytes_.data(), n);
    ClearPadding();
}
