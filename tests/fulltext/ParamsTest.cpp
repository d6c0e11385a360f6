#include "fulltext/Params.h"

#include <gtest/gtest.h>

namespace {

struct TFlagCase {
    const char* name;
    QStringList lines;
    bool defaultValue;
    bool expected;
};

class ParamsFlag : public ::testing::TestWithParam<TFlagCase> {};

TEST_P(ParamsFlag, ReadsSwitch) {
    const TFlagCase& c = GetParam();
    EXPECT_EQ(TrbParams(c.lines).Flag(TrbParams::CreateDataSet, c.defaultValue), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParamsFlag,
    ::testing::Values(
        TFlagCase{"MissingGivesDefaultTrue", {}, true, true},
        TFlagCase{"MissingGivesDefaultFalse", {"Other=1"}, false, false},
        TFlagCase{"EmptyGivesDefault", {"CreateDataSet="}, true, true},
        TFlagCase{"BlankGivesDefault", {"CreateDataSet=   "}, true, true},
        TFlagCase{"One", {"CreateDataSet=1"}, false, true},
        TFlagCase{"T", {"CreateDataSet=t"}, false, true},
        TFlagCase{"TrueAnyCase", {"CreateDataSet= True "}, false, true},
        TFlagCase{"Zero", {"CreateDataSet=0"}, true, false},
        TFlagCase{"Yes", {"CreateDataSet=yes"}, true, false},
        TFlagCase{"False", {"CreateDataSet=FALSE"}, true, false},
        TFlagCase{"Two", {"CreateDataSet=2"}, true, false},
        TFlagCase{"NameCaseIgnored", {"createdataset=F"}, true, false},
        TFlagCase{"FirstLineWins", {"CreateDataSet=F", "CreateDataSet=T"}, true, false},
        TFlagCase{"LineWithoutEqualsIgnored", {"CreateDataSet", "CreateDataSet=T"}, false, true},
        TFlagCase{"PrefixIsNotTheName", {"CreateDataSetX=F"}, true, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Params, ValueIsTrimmedAndUpperCased) {
    const TrbParams params({"AddLikeIndex = no ", "Path=c:\\x=y"});
    EXPECT_EQ(params.Value(TrbParams::AddLikeIndex), "NO");
    EXPECT_EQ(params.Value("Path"), "C:\\X=Y");
    EXPECT_EQ(params.Value("Missing"), "");
}

} // namespace
