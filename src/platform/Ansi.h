#pragma once
// Windows-1252 ("ANSI") text, the encoding of every text file the program
// writes and of the bytes the full-text engine works on. Qt 6 has no cp1252
// codec, so the conversion is table driven. Characters outside Windows-1252
// become "?" when encoded.

#include <QByteArray>
#include <QString>

class TAnsi {
public:
    static QByteArray FromUnicode(const QString& text);
    // FromUnicode(QString::fromUtf8(utf8)), byte for byte, without the
    // detour through UTF-16 for the common text (ASCII and two-byte
    // sequences); anything else takes the detour.
    static QByteArray FromUtf8(QByteArrayView utf8);
    static QString ToUnicode(const QByteArray& bytes);
    static QString ToUnicode(const char* bytes, qsizetype length);

    // The Unicode character of one byte; the five bytes Windows-1252 leaves
    // undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control of the
    // same value so that they survive a round trip.
    static char16_t CharOf(unsigned char byte);
    // The byte of one character, or '?' when Windows-1252 has none.
    static unsigned char ByteOf(char16_t ch);

    // Upper-casing of the Windows ANSI code page: a-z, à-þ (without ÷), š, œ,
    // ž and ÿ become upper case; everything else, ß included, stays.
    static const unsigned char* PlainFoldTable();
    // The plain table with the accented vowels, Ç/ç, Ñ/ñ and Ý/ý folded onto
    // their base letters, so that "Müller" and "MULLER" sort side by side.
    static const unsigned char* InternationalFoldTable();
};
