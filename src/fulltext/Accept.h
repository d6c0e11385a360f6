#pragma once
// TrbAccept: judges whether a word is worth indexing. Both indexing engines
// hand every candidate word to one instance; it refuses noise such as part
// numbers, long digit strings, runs of one repeated character and long words
// without a vowel.
//
// Assigning a word runs the analysis once and keeps the verdict: the same word
// assigned again is not analysed again. Changing any rule re-analyses the
// current word.
//
// Works on Windows-1252 bytes, as the engine sees them (already upper-cased).

#include <QByteArray>
#include <QByteArrayView>

#include <array>
#include <cstdint>

class TrbAccept {
public:
    TrbAccept();

    const QByteArray& Word() const { return word_; }
    void SetWord(QByteArrayView word);
    // The verdict on Word().
    bool Accept() const { return accept_; }

    // Character sets, read back as their members in ascending byte order.
    QByteArray Alpha() const { return Members(alpha_); }
    void SetAlpha(QByteArrayView members);
    QByteArray Numeric() const { return Members(numeric_); }
    void SetNumeric(QByteArrayView members);
    // Vowels count only among letters.
    QByteArray Vowel() const { return Members(vowel_); }
    void SetVowel(QByteArrayView members);

    // Minimum of letters minus digits.
    int Balance() const { return balance_; }
    void SetBalance(int value);
    // Longest allowed run of one repeated character.
    int ConsecutiveLimit() const { return consecutiveLimit_; }
    void SetConsecutiveLimit(int value);
    // Vowels required in a word of MinVowelLength or more characters.
    int MinVowelCount() const { return minVowelCount_; }
    void SetMinVowelCount(int value);
    int MinVowelLength() const { return minVowelLength_; }
    void SetMinVowelLength(int value);
    // Refuse a word whose first character is a digit.
    bool NoLeadingNumbers() const { return noLeadingNumbers_; }
    void SetNoLeadingNumbers(bool value);
    // Most digits allowed.
    int NumericLimit() const { return numericLimit_; }
    void SetNumericLimit(int value);
    // Most characters allowed that are neither letters nor digits.
    int OtherLimit() const { return otherLimit_; }
    void SetOtherLimit(int value);

    // How many times the analysis has run (a statistic; shows the verdict
    // cache at work).
    long long AnalysisCount() const { return analyses_; }

private:
    using TCharSet = std::array<std::uint64_t, 4>;

    static TCharSet SetOf(QByteArrayView members);
    static QByteArray Members(const TCharSet& set);
    static bool In(const TCharSet& set, unsigned char c) { return (set[c >> 6] >> (c & 63)) & 1u; }

    void Analyze();

    QByteArray word_;
    bool accept_ = true;
    TCharSet alpha_{};
    TCharSet numeric_{};
    TCharSet vowel_{};
    int balance_ = 0;
    int consecutiveLimit_ = 4;
    int minVowelCount_ = 1;
    int minVowelLength_ = 4;
    bool noLeadingNumbers_ = true;
    int numericLimit_ = 3;
    int otherLimit_ = 2;
    long long analyses_ = 0;
};
