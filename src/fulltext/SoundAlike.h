#pragma once
// TrbSoundAlike: the five-character sound-alike key of a word, stored beside
// each word row so that the like operator finds "MEIER" for "MEYER". The key
// is the word's first two characters with accents folded away, followed by up
// to three consonant-group digits; "0" fills the rest.

#include <QByteArray>
#include <QByteArrayView>

class TrbSoundAlike {
public:
    static constexpr int KeyLength = 5;

    // The key of a word (Windows-1252 bytes). Words shorter than two
    // characters give "00000".
    static QByteArray Key(QByteArrayView word);

    // The consonant-group digit of one byte ('1'..'6'), or 0 for bytes
    // without one (vowels, H, W, Y, digits, punctuation, most accents).
    static char CodeOf(unsigned char byte);
};
