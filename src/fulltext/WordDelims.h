#pragma once
// TrbWordDelims: the set of byte values that separate words, one flag byte
// per byte value (a splitter tests every byte of a text: one load each),
// built from the WordDelims property string in caret notation.
//
// Caret notation: "^" followed by a character from "A" (65) to "_" (95)
// stands for the character 64 below it ("^M" carriage return, "^I" tab),
// "^^" for one "^"; any other "^" is literal. Reading back writes bytes below
// 32 as "^" + (byte + 64), so byte 0 comes out as "^@", which reads as the two
// characters "^" and "@", and byte 30 as "^^", which reads as a caret: those
// two bytes do not survive a round trip ("<<<" makes them delimiters).
//
// The marker "<<<" anywhere in the string adds the bytes 0..31, ">>>" the
// bytes 128..255.

#include <QByteArray>
#include <QByteArrayView>

#include <array>
#include <cstdint>

class TrbWordDelims {
public:
    // The default set (DefaultCaret()).
    TrbWordDelims();
    explicit TrbWordDelims(QByteArrayView caret);

    // The 40-character default: blank and the common punctuation, "^^" for the
    // caret, then carriage return, line feed and tab.
    static QByteArray DefaultCaret();
    // What the catalogue's build engine uses: "<<<" and the default up to and
    // including the apostrophe, so every control byte separates words while
    // the bytes 128..255 (umlauts, accents, ß) stay word characters.
    static QByteArray ProgramCaret();

    static QByteArray DecodeCaret(QByteArrayView caret);
    // Bytes below 32 become "^" plus the byte + 64, "^" becomes "^^".
    static QByteArray EncodeCaret(QByteArrayView raw);

    // Rebuilds the set; an empty string gives the default.
    void SetCaret(QByteArrayView caret);
    // The caret form of the decoded string (not necessarily the text set:
    // a lone "^" comes back as "^^").
    QByteArray Caret() const;
    // The decoded string the set was built from.
    const QByteArray& Decoded() const { return decoded_; }

    bool Contains(unsigned char byte) const { return flags_[byte] != 0; }
    // Direct edits of the set; the search engine takes the wildcard characters
    // out of its copy. They do not change Decoded()/Caret().
    void Add(unsigned char byte) { flags_[byte] = 1; }
    void Remove(unsigned char byte) { flags_[byte] = 0; }
    // Number of byte values in the set.
    int Count() const;

    bool operator==(const TrbWordDelims& other) const { return flags_ == other.flags_; }

private:
    QByteArray decoded_;
    std::array<std::uint8_t, 256> flags_{}; // 1: the byte value separates words
};
