// "rbChar" text coding
// ===================
//
// Raw bytes are taken in groups of three, x y z (a final group of one or two
// bytes is padded with zero bytes), and each group becomes four characters
// carrying six bits each:
//
//   v0 = x >> 2
//   v1 = ((x & 3) << 4) | (y >> 4)
//   v2 = ((y & 15) << 2) | (z >> 6)
//   v3 = z & 63
//
// A value v is stored as the character v + 32, except that 0 is stored as the
// grave accent "`" (96) rather than a blank, so that a character column never
// ends in blanks it could lose. The characters are therefore 33..96. On
// reading, a blank is taken as 0 too.
//
// A column of c characters carries floor(3c / 4) raw bytes: a text cut
// inside a group still yields the bytes its characters complete (two
// characters give one byte, three give two).

#include "fulltext/CharCodec.h"

#include "fulltext/Quelvan.h"

#include <cstdint>

namespace {

char CharOf(unsigned value) {
    return value == 0 ? '`' : static_cast<char>(value + 32);
}

unsigned ValueOf(char ch) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c == '`' || c == ' ')
        return 0;
    if (c < 33 || c > 95)
        EQuelvan::Raise(EQuelvan::InvalidBlockSize);
    return c - 32u;
}

} // namespace

QByteArray TrbCharCodec::Encode(QByteArrayView raw) {
    QByteArray out;
    out.reserve((raw.size() + 2) / 3 * 4);
    for (qsizetype i = 0; i < raw.size(); i += 3) {
        const unsigned x = static_cast<std::uint8_t>(raw[i]);
        const unsigned y = i + 1 < raw.size() ? static_cast<std::uint8_t>(raw[i + 1]) : 0u;
        const unsigned z = i + 2 < raw.size() ? static_cast<std::uint8_t>(raw[i + 2]) : 0u;
        out.append(CharOf(x >> 2));
        out.append(CharOf(((x & 3) << 4) | (y >> 4)));
        out.append(CharOf(((y & 15) << 2) | (z >> 6)));
        out.append(CharOf(z & 63));
    }
    return out;
}

QByteArray TrbCharCodec::Decode(QByteArrayView text) {
    QByteArray out;
    out.reserve(text.size() / 4 * 3 + 2);
    for (qsizetype i = 0; i < text.size(); i += 4) {
        const qsizetype left = text.size() - i;
        const unsigned v0 = ValueOf(text[i]);
        const unsigned v1 = left > 1 ? ValueOf(text[i + 1]) : 0u;
        const unsigned v2 = left > 2 ? ValueOf(text[i + 2]) : 0u;
        const unsigned v3 = left > 3 ? ValueOf(text[i + 3]) : 0u;
        // A short final group yields the bytes its characters complete.
        if (left > 1)
            out.append(static_cast<char>((v0 << 2) | (v1 >> 4)));
        if (left > 2)
            out.append(static_cast<char>(((v1 & 15) << 4) | (v2 >> 2)));
        if (left > 3)
            out.append(static_cast<char>(((v2 & 3) << 6) | v3));
    }
    return out;
}

int TrbCharCodec::Capacity(int columnSize) {
    return columnSize > 0 ? columnSize / 4 * 3 + (columnSize % 4) * 3 / 4 : 0;
}
