#include "fulltext/Accept.h"

TrbAccept::TrbAccept()
    : alpha_(SetOf("ABCDEFGHIJKLMNOPQRSTUVWXYZ")),
      numeric_(SetOf("0123456789")),
      vowel_(SetOf("AEIOUY")) {
    Analyze();
}

TrbAccept::TCharSet TrbAccept::SetOf(QByteArrayView members) {
    TCharSet set{};
    for (char ch : members) {
        const unsigned char c = static_cast<unsigned char>(ch);
        set[c >> 6] |= std::uint64_t(1) << (c & 63);
    }
    return set;
}

QByteArray TrbAccept::Members(const TCharSet& set) {
    QByteArray out;
    for (int c = 0; c < 256; ++c)
        if (In(set, static_cast<unsigned char>(c)))
            out.append(static_cast<char>(c));
    return out;
}

void TrbAccept::SetWord(QByteArrayView word) {
    if (word == QByteArrayView(word_))
        return;
    word_ = word.toByteArray();
    Analyze();
}

void TrbAccept::SetAlpha(QByteArrayView members) { alpha_ = SetOf(members); Analyze(); }
void TrbAccept::SetNumeric(QByteArrayView members) { numeric_ = SetOf(members); Analyze(); }
void TrbAccept::SetVowel(QByteArrayView members) { vowel_ = SetOf(members); Analyze(); }
void TrbAccept::SetBalance(int value) { balance_ = value; Analyze(); }
void TrbAccept::SetConsecutiveLimit(int value) { consecutiveLimit_ = value; Analyze(); }
void TrbAccept::SetMinVowelCount(int value) { minVowelCount_ = value; Analyze(); }
void TrbAccept::SetMinVowelLength(int value) { minVowelLength_ = value; Analyze(); }
void TrbAccept::SetNoLeadingNumbers(bool value) { noLeadingNumbers_ = value; Analyze(); }
void TrbAccept::SetNumericLimit(int value) { numericLimit_ = value; Analyze(); }
void TrbAccept::SetOtherLimit(int value) { otherLimit_ = value; Analyze(); }

void TrbAccept::Analyze() {
    ++analyses_;

    qsizetype digits = 0, letters = 0, vowels = 0, others = 0;
    qsizetype longestRun = 0, run = 0;
    unsigned char previous = 0;
    for (qsizetype i = 0; i < word_.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(word_[i]);
        run = (i > 0 && c == previous) ? run + 1 : 1;
        if (run > longestRun)
            longestRun = run;
        previous = c;

        if (In(numeric_, c)) {
            ++digits;
        } else if (In(alpha_, c)) {
            ++letters;
            if (In(vowel_, c))
                ++vowels;
        } else {
            ++others;
        }
    }

    const bool leadingDigit = digits > 0 && In(numeric_, static_cast<unsigned char>(word_[0]));
    if (longestRun > consecutiveLimit_ || letters - digits < balance_ || others > otherLimit_ ||
        digits > numericLimit_ || (noLeadingNumbers_ && leadingDigit)) {
        accept_ = false;
        return;
    }
    accept_ = word_.size() < minVowelLength_ || vowels >= minVowelCount_;
}
