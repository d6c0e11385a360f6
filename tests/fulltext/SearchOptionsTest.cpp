// Search engine settings beyond the query table: operator words, lazy
// phrases, time-limit handler, preview handler, like without its index, and
// the expression compiler on arbitrary text.

#include "IndexFixture.h"

#include "fulltext/Expression.h"
#include "fulltext/FullTextIndexer.h"
#include "fulltext/Params.h"
#include "fulltext/Quelvan.h"
#include "fulltext/Search.h"

#include <gtest/gtest.h>

#include <QThread>

#include <random>
#include <set>

namespace {

class SearchOptionsTest : public ::testing::Test {
protected:
    SearchOptionsTest() {
        search.SetTextLink(&indexer.TextLink());
        search.SetWordsLink(&indexer.WordsLink());
    }
    int Add(const char* title, const char* director = nullptr) {
        std::map<QString, QVariant> values{{QStringLiteral("Title"), QString::fromUtf8(title)}};
        if (director)
            values[QStringLiteral("Director")] = QString::fromUtf8(director);
        return fx.AddRecord(values);
    }
    std::set<int> Run(const QString& query, TrbSearchLogic logic) {
        search.ResetSearch();
        search.SetSearchFor(query);
        search.SetSearchLogic(logic);
        search.Search();
        const QList<int> numbers = search.MatchNumbers();
        return {numbers.begin(), numbers.end()};
    }

    TIndexFixture fx;
    TFullTextIndexer indexer{fx.catalogue, fx.folder.Path(), fx.ui};
    TrbSearch search;
};

TEST_F(SearchOptionsTest, OperatorWordsComeFromTokens) {
    const int both = Add("alien predator");
    Add("alien");
    indexer.BuildIndex(1000);
    search.SetTokens({QStringLiteral("und"), QStringLiteral("oder"), QStringLiteral("nicht"),
                      QStringLiteral("wie"), QStringLiteral("nahe")});
    EXPECT_EQ(Run(QStringLiteral("alien UND predator"), slExpression), (std::set<int>{both}));
    // "and" is now a plain word: two words without an operator.
    EXPECT_THROW(Run(QStringLiteral("alien and predator"), slExpression), EExpression);
    search.SetTokens({});
    EXPECT_EQ(search.Tokens().first(), QStringLiteral("and"));
    EXPECT_EQ(Run(QStringLiteral("alien and predator"), slExpression), (std::set<int>{both}));
}

TEST_F(SearchOptionsTest, LazyPhraseSkipsTheWalk) {
    const int phrase = Add("star trek");
    const int apart = Add("star", "trek");
    indexer.BuildIndex(1000);
    EXPECT_EQ(Run(QStringLiteral("star trek"), slPhrase), (std::set<int>{phrase}));
    search.SetSearchOptions(TrbSearch::soLazyPhrase);
    EXPECT_EQ(Run(QStringLiteral("star trek"), slPhrase), (std::set<int>{phrase, apart}));
}

TEST_F(SearchOptionsTest, ATimeoutHandlerMayLetTheSearchGoOn) {
    for (int i = 0; i < 20; ++i)
        Add("alien");
    indexer.BuildIndex(1000);
    int timeouts = 0;
    search.SetTimeLimit(1);
    search.SetOnSearch([] { QThread::msleep(2); });
    search.SetOnTimeout([&] {
        ++timeouts;
        return true;
    });
    EXPECT_EQ(Run(QStringLiteral("alien"), slAnd).size(), 20u);
    EXPECT_EQ(timeouts, 1);
    EXPECT_FALSE(search.Cancelled());
}

TEST_F(SearchOptionsTest, PreviewMayChangeAQueryWord) {
    const int predator = Add("predator");
    Add("alien");
    indexer.BuildIndex(1000);
    search.SetOnPreviewWord([](QByteArray& word) {
        if (word == "ALIEN")
            word = "PREDATOR";
    });
    EXPECT_EQ(Run(QStringLiteral("alien"), slAnd), (std::set<int>{predator}));
}

TEST_F(SearchOptionsTest, LikeWithoutTheLikeIndexRaises30483) {
    Add("meyer");
    indexer.MakeWordsLink().Params().SetLines({QStringLiteral("AddLikeIndex=F")});
    indexer.BuildIndex(1000);
    try {
        Run(QStringLiteral("meyer"), slLike);
        FAIL();
    } catch (const EQuelvan& e) {
        EXPECT_EQ(e.Code(), 30483);
    }
    // The link is back on the word index: an exact search still works.
    EXPECT_EQ(Run(QStringLiteral("meyer"), slAnd).size(), 1u);
}

TEST_F(SearchOptionsTest, NotFoundWordsAreListed) {
    Add("alien");
    indexer.BuildIndex(1000);
    EXPECT_TRUE(Run(QStringLiteral("alien zzzqqq"), slAnd).empty());
    EXPECT_EQ(search.NotFound(), (QList<QByteArray>{"ZZZQQQ"}));
    EXPECT_EQ(search.SearchWords().value("ALIEN").queryWords, (QList<int>{1}));
}

TEST_F(SearchOptionsTest, AnEmptyCatalogueGivesNoMatches) {
    Add("alien");
    indexer.BuildIndex(1000);
    fx.catalogue.First();
    fx.catalogue.Delete();
    EXPECT_TRUE(Run(QStringLiteral("alien"), slAnd).empty());
    EXPECT_TRUE(Run(QStringLiteral("alien"), slNot).empty());
    EXPECT_FALSE(search.FirstMatch());
}

// Any text compiles to a result or fails with a clean EExpression; never a
// crash, a hang or another error.
TEST(ExpressionFuzzTest, ArbitraryTextCompilesOrFailsCleanly) {
    const QByteArray alphabet = "ab ()\"'\tNOT and or not like near x*?\x01\xe4";
    std::mt19937 random(7);
    for (int round = 0; round < 5000; ++round) {
        QByteArray query;
        const int length = int(random() % 40);
        for (int i = 0; i < length; ++i)
            query += alphabet[int(random() % alphabet.size())];
        if (round % 97 == 0)
            query += QByteArray(int(random() % 1500), 'w');
        TCompiler compiler(QStringList{});
        TCompile code;
        try {
            compiler.Compile(query, code);
            EXPECT_LE(code.Bytes().size(), TCompile::MaxSize);
        } catch (const EExpression& e) {
            EXPECT_GE(e.Position(), 1) << query.toHex().constData();
            EXPECT_LE(e.Position(), query.size() + 1) << query.toHex().constData();
        }
    }
}

} // namespace
