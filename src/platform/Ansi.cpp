#include "platform/Ansi.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace {

// Unicode code points of the bytes 0x80-0x9F; the rest of Windows-1252 equals
// Latin-1. Undefined positions keep their C1 value.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

struct TTables {
    std::array<char16_t, 256> toUnicode{};
    std::array<unsigned char, 256> plainFold{};
    std::array<unsigned char, 256> internationalFold{};

    TTables() {
        for (int b = 0; b < 256; ++b)
            toUnicode[b] = (b >= 0x80 && b < 0xA0) ? kHighControls[b - 0x80] : char16_t(b);

        for (int b = 0; b < 256; ++b) {
            unsigned char u = static_cast<unsigned char>(b);
            if (b >= 'a' && b <= 'z')
                u = static_cast<unsigned char>(b - 32);
            else if (b >= 0xE0 && b <= 0xFE && b != 0xF7)
                u = static_cast<unsigned char>(b - 32);
            else if (b == 0x9A) // š
                u = 0x8A;
            else if (b == 0x9C) // œ
                u = 0x8C;
            else if (b == 0x9E) // ž
                u = 0x8E;
            else if (b == 0xFF) // ÿ
                u = 0x9F;
            plainFold[b] = u;
        }

        internationalFold = plainFold;
        auto map = [this](int from, int to, char base) {
            for (int b = from; b <= to; ++b)
                internationalFold[b] = static_cast<unsigned char>(base);
        };
        map(192, 197, 'A'); map(224, 229, 'A');
        map(199, 199, 'C'); map(231, 231, 'C');
        map(200, 203, 'E'); map(232, 235, 'E');
        map(204, 207, 'I'); map(236, 239, 'I');
        map(209, 209, 'N'); map(241, 241, 'N');
        map(210, 214, 'O'); map(242, 246, 'O');
        map(217, 220, 'U'); map(249, 252, 'U');
        map(221, 221, 'Y'); map(253, 253, 'Y');
    }
};

const TTables& Tables() {
    static const TTables tables;
    return tables;
}

} // namespace

char16_t TAnsi::CharOf(unsigned char byte) {
    return Tables().toUnicode[byte];
}

unsigned char TAnsi::ByteOf(char16_t ch) {
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF))
        return static_cast<unsigned char>(ch);
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] == ch)
            return static_cast<unsigned char>(0x80 + i);
    return '?';
}

QByteArray TAnsi::FromUnicode(const QString& text) {
    // At most one byte per UTF-16 unit: written in place, cut to size at the end.
    const qsizetype size = text.size();
    if (size == 0)
        return QByteArray();
    QByteArray out(size, Qt::Uninitialized);
    const char16_t* src = reinterpret_cast<const char16_t*>(text.constData());
    char* dst = out.data();
    qsizetype n = 0;
    for (qsizetype i = 0; i < size; ++i) {
        // Four plain ASCII units at a time, the common case.
        while (i + 4 <= size) {
            std::uint64_t units;
            std::memcpy(&units, src + i, sizeof units);
            if (units & 0xFF80FF80FF80FF80u)
                break;
            dst[n] = static_cast<char>(src[i]);
            dst[n + 1] = static_cast<char>(src[i + 1]);
            dst[n + 2] = static_cast<char>(src[i + 2]);
            dst[n + 3] = static_cast<char>(src[i + 3]);
            n += 4;
            i += 4;
        }
        if (i == size)
            break;
        const char16_t c = src[i];
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            dst[n++] = static_cast<char>(c);
            continue;
        }
        // A character beyond the basic plane is one "?", not two.
        if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(src[i + 1]))
            ++i;
        dst[n++] = static_cast<char>(ByteOf(c));
    }
    out.truncate(n);
    return out;
}

QByteArray TAnsi::FromUtf8(QByteArrayView utf8) {
    const qsizetype size = utf8.size();
    if (size == 0)
        return QByteArray();
    QByteArray out(size, Qt::Uninitialized);
    const unsigned char* src = reinterpret_cast<const unsigned char*>(utf8.data());
    char* dst = out.data();
    qsizetype n = 0;
    for (qsizetype i = 0; i < size;) {
        // Eight ASCII bytes at a time, the common case.
        std::uint64_t bytes;
        if (i + 8 <= size && (std::memcpy(&bytes, src + i, sizeof bytes), (bytes & 0x8080808080808080u) == 0)) {
            std::memcpy(dst + n, src + i, sizeof bytes);
            n += 8;
            i += 8;
            continue;
        }
        const unsigned char lead = src[i];
        if (lead < 0x80) {
            dst[n++] = static_cast<char>(lead);
            ++i;
            continue;
        }
        // A well-formed two-byte sequence is one character below U+0800
        // (never a surrogate); three- and four-byte sequences and every
        // malformed one are left to Qt's decoder and its replacements.
        if (lead < 0xC2 || lead > 0xDF || i + 1 == size || (src[i + 1] & 0xC0) != 0x80)
            return FromUnicode(QString::fromUtf8(utf8));
        dst[n++] = static_cast<char>(ByteOf(char16_t(((lead & 0x1F) << 6) | (src[i + 1] & 0x3F))));
        i += 2;
    }
    out.truncate(n);
    return out;
}

QString TAnsi::ToUnicode(const char* bytes, qsizetype length) {
    const auto& table = Tables().toUnicode;
    QString out(length, Qt::Uninitialized);
    QChar* dst = out.data();
    for (qsizetype i = 0; i < length; ++i)
        dst[i] = QChar(table[static_cast<unsigned char>(bytes[i])]);
    return out;
}

QString TAnsi::ToUnicode(const QByteArray& bytes) {
    return ToUnicode(bytes.constData(), bytes.size());
}

const unsigned char* TAnsi::PlainFoldTable() {
    return Tables().plainFold.data();
}

const unsigned char* TAnsi::InternationalFoldTable() {
    return Tables().internationalFold.data();
}
