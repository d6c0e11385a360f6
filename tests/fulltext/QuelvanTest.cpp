#include "fulltext/Quelvan.h"

#include <gtest/gtest.h>

namespace {

struct TCodeCase {
    int code;
    const char* text;
};

class QuelvanTexts : public ::testing::TestWithParam<TCodeCase> {};

TEST_P(QuelvanTexts, CarriesCodeAndEnglishText) {
    const TCodeCase c = GetParam();
    try {
        EQuelvan::Raise(c.code);
        FAIL() << "Raise returned";
    } catch (const EMovarixError& e) {
        EXPECT_NE(dynamic_cast<const EQuelvan*>(&e), nullptr);
        EXPECT_EQ(e.Code(), c.code);
        EXPECT_EQ(e.Message(), QString::fromLatin1(c.text));
        EXPECT_STREQ(e.what(), c.text);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Codes, QuelvanTexts,
    ::testing::Values(TCodeCase{30464, "Code array full"}, TCodeCase{30465, "Inconsistent Blob size"},
                      TCodeCase{30470, "Decompress buffer too small"},
                      TCodeCase{30471, "Capability not supported"}, TCodeCase{30472, "Text dataset is closed"},
                      TCodeCase{30473, "Words dataset is closed"}, TCodeCase{30474, "Dataset not supported"},
                      TCodeCase{30476, "Dictionary invalidated"}, TCodeCase{30477, "Invalid block size"},
                      TCodeCase{30478, "Invalid field name"}, TCodeCase{30480, "Invalid parameter"},
                      TCodeCase{30481, "Invalid Text DataSet"}, TCodeCase{30482, "Invalid Words DataSet"},
                      TCodeCase{30483, "Like not available"}, TCodeCase{30485, "Missing parenthesis"},
                      TCodeCase{30486, "Missing quote"}, TCodeCase{30487, "Missing string"},
                      TCodeCase{30488, "Cache not assigned"}, TCodeCase{30489, "TextLink not assigned"},
                      TCodeCase{30490, "WordsLink not assigned"}, TCodeCase{30491, "No FieldNames specified"},
                      TCodeCase{30492, "Missing IndexFieldName"}, TCodeCase{30495, "Properties not found"},
                      TCodeCase{30496, "ReadOnly property"}, TCodeCase{30498, "Syntax error"},
                      TCodeCase{30501, "Too many omit words"}, TCodeCase{30502, "Reverse not available"},
                      TCodeCase{30504, "Leading wildcard not supported"}));

TEST(Quelvan, CodeWithoutEntryGetsGenericText) {
    EXPECT_FALSE(EQuelvan::HasText(30466));
    const EQuelvan e(30466);
    EXPECT_EQ(e.Code(), 30466);
    EXPECT_EQ(e.Message(), QStringLiteral("Full-text engine error 30466"));
}

TEST(Quelvan, EveryTextBelongsToTheEngineRange) {
    int withText = 0;
    for (int code = EQuelvan::FirstCode - 100; code <= EQuelvan::LastCode + 100; ++code) {
        if (!EQuelvan::HasText(code))
            continue;
        ++withText;
        EXPECT_GE(code, EQuelvan::FirstCode);
        EXPECT_LE(code, EQuelvan::LastCode);
    }
    EXPECT_EQ(withText, 28);
}

} // namespace
