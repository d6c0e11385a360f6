#include "fulltext/Accept.h"
#include "platform/Ansi.h"

#include <gtest/gtest.h>

namespace {

QByteArray Ansi(const char* utf8) {
    return TAnsi::FromUnicode(QString::fromUtf8(utf8));
}

// The rules as the catalogue sets them: the defaults with at most one digit.
TrbAccept ProgramAccept() {
    TrbAccept accept;
    accept.SetNumericLimit(1);
    return accept;
}

struct TVerdict {
    const char* word; // UTF-8, upper case as the engine hands it over
    bool accepted;
    const char* why;
};

class ProgramVerdicts : public ::testing::TestWithParam<TVerdict> {};

TEST_P(ProgramVerdicts, Judges) {
    TrbAccept accept = ProgramAccept();
    accept.SetWord(Ansi(GetParam().word));
    EXPECT_EQ(accept.Accept(), GetParam().accepted) << GetParam().why;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProgramVerdicts,
    ::testing::Values(
        TVerdict{"GRÖßE", true, "two others are allowed, E is a vowel"},
        TVerdict{"MÜLL", false, "four characters without a listed vowel"},
        TVerdict{"FÜNF", false, "four characters without a listed vowel"},
        TVerdict{"MÜL", true, "shorter than four: no vowel needed"},
        TVerdict{"DVD", true, "short"},
        TVerdict{"MP3", true, "one digit, not in front"},
        TVerdict{"HDTV", false, "no vowel"},
        TVerdict{"3D", false, "leading digit"},
        TVerdict{"2001", false, "more digits than letters"},
        TVerdict{"AAAAA", false, "a run of five"},
        TVerdict{"AAAA", true, "a run of four is allowed"},
        TVerdict{"XAAAAAX", false, "runs count anywhere"},
        TVerdict{"LL....", false, "four others"},
        TVerdict{"MP33", false, "two digits"},
        TVerdict{"A1", true, "letters equal digits"},
        TVerdict{"GRÖßEÄ", false, "three others"},
        TVerdict{"ÄÖ", true, "two others and no letters: letters minus digits is still 0"},
        TVerdict{"RHYTHM", true, "Y is a vowel"},
        TVerdict{"", true, "empty word"}));

TEST(Accept, DefaultsReadBack) {
    const TrbAccept accept;
    EXPECT_EQ(accept.Word(), QByteArray());
    EXPECT_TRUE(accept.Accept());
    EXPECT_EQ(accept.Alpha(), "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    EXPECT_EQ(accept.Numeric(), "0123456789");
    EXPECT_EQ(accept.Vowel(), "AEIOUY");
    EXPECT_EQ(accept.Balance(), 0);
    EXPECT_EQ(accept.ConsecutiveLimit(), 4);
    EXPECT_EQ(accept.MinVowelCount(), 1);
    EXPECT_EQ(accept.MinVowelLength(), 4);
    EXPECT_TRUE(accept.NoLeadingNumbers());
    EXPECT_EQ(accept.NumericLimit(), 3);
    EXPECT_EQ(accept.OtherLimit(), 2);
}

TEST(Accept, CharacterSetsReadBackSortedWithoutDuplicates) {
    TrbAccept accept;
    accept.SetVowel(Ansi("YUOIEAÄaa"));
    EXPECT_EQ(accept.Vowel(), Ansi("AEIOUYaÄ"));
    accept.SetNumeric("9876543210");
    EXPECT_EQ(accept.Numeric(), "0123456789");
    accept.SetAlpha("");
    EXPECT_EQ(accept.Alpha(), "");
}

// Each rule refuses the word exactly at its limit.
TEST(Accept, EachRuleHasItsBoundary) {
    TrbAccept accept;
    accept.SetWord("AB12C"); // letters 3, digits 2, vowel A
    EXPECT_TRUE(accept.Accept());

    accept.SetNumericLimit(2);
    EXPECT_TRUE(accept.Accept());
    accept.SetNumericLimit(1);
    EXPECT_FALSE(accept.Accept());
    accept.SetNumericLimit(3);

    accept.SetBalance(1); // 3 - 2 = 1
    EXPECT_TRUE(accept.Accept());
    accept.SetBalance(2);
    EXPECT_FALSE(accept.Accept());
    accept.SetBalance(0);

    accept.SetWord("A--B");
    accept.SetOtherLimit(2);
    EXPECT_TRUE(accept.Accept());
    accept.SetOtherLimit(1);
    EXPECT_FALSE(accept.Accept());
    accept.SetOtherLimit(2);

    accept.SetWord("BAAA");
    accept.SetConsecutiveLimit(3);
    EXPECT_TRUE(accept.Accept());
    accept.SetConsecutiveLimit(2);
    EXPECT_FALSE(accept.Accept());
    accept.SetConsecutiveLimit(4);

    accept.SetWord("BCDAE"); // two vowels, length 5
    accept.SetMinVowelCount(2);
    EXPECT_TRUE(accept.Accept());
    accept.SetMinVowelCount(3);
    EXPECT_FALSE(accept.Accept());
    accept.SetMinVowelLength(6); // now short enough to need none
    EXPECT_TRUE(accept.Accept());
    accept.SetMinVowelLength(5);
    EXPECT_FALSE(accept.Accept());
}

TEST(Accept, LeadingDigitRuleCanBeSwitchedOff) {
    TrbAccept accept;
    accept.SetWord("1ABE");
    EXPECT_FALSE(accept.Accept());
    accept.SetNoLeadingNumbers(false);
    EXPECT_TRUE(accept.Accept());
}

TEST(Accept, DigitsWinOverLetters) {
    // A character in both sets counts as a digit only.
    TrbAccept accept;
    accept.SetAlpha("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    accept.SetWord("A0000");
    EXPECT_FALSE(accept.Accept()); // 1 letter - 4 digits < 0, 4 digits > 3
    accept.SetNumeric("");
    EXPECT_TRUE(accept.Accept()); // now five letters with a vowel
}

TEST(Accept, VowelsCountOnlyAmongLetters) {
    TrbAccept accept;
    accept.SetVowel(Ansi("AEIOUYÄ")); // Ä is a vowel but not a letter
    accept.SetWord(Ansi("BÄCK"));
    EXPECT_FALSE(accept.Accept());
    accept.SetAlpha(Ansi("ABCDEFGHIJKLMNOPQRSTUVWXYZÄ"));
    EXPECT_TRUE(accept.Accept());
}

TEST(Accept, SameWordTwiceIsNotAnalysedAgain) {
    TrbAccept accept = ProgramAccept();
    const long long before = accept.AnalysisCount();
    accept.SetWord("HDTV");
    accept.SetWord("HDTV");
    EXPECT_EQ(accept.AnalysisCount(), before + 1);
    EXPECT_FALSE(accept.Accept());
    accept.SetWord("DVD");
    EXPECT_EQ(accept.AnalysisCount(), before + 2);
    EXPECT_TRUE(accept.Accept());
    accept.SetWord("HDTV");
    EXPECT_EQ(accept.AnalysisCount(), before + 3);
}

TEST(Accept, ChangingAPropertyReanalysesTheCurrentWord) {
    TrbAccept accept = ProgramAccept();
    accept.SetWord("HDTV");
    ASSERT_FALSE(accept.Accept());
    accept.SetVowel("AEIOUYV");
    EXPECT_TRUE(accept.Accept());
    accept.SetVowel("AEIOUY");
    EXPECT_FALSE(accept.Accept());
    accept.SetMinVowelCount(0);
    EXPECT_TRUE(accept.Accept());
}

} // namespace
