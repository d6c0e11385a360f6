// The match maker over a real catalogue, a real index and a real search:
// the match table is recreated per call and holds copies of the matches.

#include "IndexFixture.h"

#include "fulltext/FullTextIndexer.h"
#include "fulltext/MatchMaker.h"
#include "fulltext/Quelvan.h"
#include "fulltext/Search.h"
#include "store/Field.h"

#include <gtest/gtest.h>

namespace {

class MatchMakerTest : public ::testing::Test {
protected:
    MatchMakerTest() {
        search.SetTextLink(&indexer.TextLink());
        search.SetWordsLink(&indexer.WordsLink());
        matchTable.SetDatabaseName(fx.folder.Path());
        matchTable.SetTableName(QStringLiteral("FTSMatch.adt"));
        maker.SetDataSet(&matchTable);
        maker.SetSearcher(&search);
        maker.SetFieldNames(TrbMatchMaker::ProgramFieldNames());
        maker.SetMatchLimit(500);
    }
    void Find(const QString& query) {
        search.ResetSearch();
        search.SetSearchFor(query);
        search.Search();
    }
    std::vector<int> Rows() {
        std::vector<int> numbers;
        for (matchTable.First(); !matchTable.Eof(); matchTable.Next())
            numbers.push_back(matchTable.FieldByName(QStringLiteral("FTSNo")).AsInteger());
        return numbers;
    }

    TIndexFixture fx;
    TFullTextIndexer indexer{fx.catalogue, fx.folder.Path(), fx.ui};
    TrbSearch search;
    TAdsTable matchTable;
    TrbMatchMaker maker;
};

TEST_F(MatchMakerTest, CopiesTheMatchesInNavigationOrderWithTheirFields) {
    const int a = fx.AddRecord({{QStringLiteral("Title"), QStringLiteral("Alien")},
                                {QStringLiteral("NotesFilm"), QStringLiteral("Ripley")},
                                {QStringLiteral("Genre"), QStringLiteral("SciFi")}});
    fx.AddRecord({{QStringLiteral("Title"), QStringLiteral("Predator")}});
    const int c = fx.AddRecord({{QStringLiteral("Title"), QStringLiteral("Aliens")},
                                {QStringLiteral("ShortDescription"), QStringLiteral("alien again")}});
    indexer.BuildIndex(1000);
    Find(QStringLiteral("alien"));
    maker.MakeMatches();
    EXPECT_EQ(Rows(), (std::vector<int>{a, c}));
    EXPECT_EQ(maker.RowsWritten(), 2);
    EXPECT_EQ(matchTable.FieldCount(), 53);
    EXPECT_EQ(matchTable.FindField(QStringLiteral("Genre")), nullptr); // not copied
    EXPECT_EQ(matchTable.FindField(QStringLiteral("Rank")), nullptr);  // no ranking
    EXPECT_EQ(matchTable.FieldByName(QStringLiteral("FTSNo")).DataType(), TFieldType::Integer);
    matchTable.First();
    EXPECT_EQ(matchTable.FieldByName(QStringLiteral("Title")).AsString(), QStringLiteral("Alien"));
    EXPECT_EQ(matchTable.FieldByName(QStringLiteral("NotesFilm")).AsString(), QStringLiteral("Ripley"));
    EXPECT_TRUE(matchTable.FieldByName(QStringLiteral("FilmDVD")).AsBoolean());

    // The next search recreates the table.
    Find(QStringLiteral("predator"));
    maker.MakeMatches();
    EXPECT_EQ(Rows().size(), 1u);
}

TEST_F(MatchMakerTest, WritesAtMostMatchLimitRows) {
    fx.catalogue.BeginTransaction();
    for (int i = 0; i < 600; ++i)
        fx.AddRecord({{QStringLiteral("Title"), QStringLiteral("alien %1").arg(i)}});
    fx.catalogue.Commit();
    indexer.BuildIndex(1000);
    Find(QStringLiteral("alien"));
    EXPECT_EQ(search.Count(), 600);
    maker.SetTransactions(100);
    maker.MakeMatches();
    const auto rows = Rows();
    EXPECT_EQ(rows.size(), 500u);
    EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end()));
    EXPECT_EQ(rows.front(), search.MinIndex());
}

TEST_F(MatchMakerTest, RanksGoIntoTheRankColumnAndAcceptCanSkip) {
    const int once = fx.AddRecord({{QStringLiteral("Title"), QStringLiteral("alien")}});
    const int twice = fx.AddRecord({{QStringLiteral("Title"), QStringLiteral("alien")},
                                    {QStringLiteral("NotesFilm"), QStringLiteral("alien")}});
    const int skipped = fx.AddRecord({{QStringLiteral("Title"), QStringLiteral("alien skip")}});
    indexer.BuildIndex(1000);
    search.SetRankMode(TrbSearch::rmCount);
    Find(QStringLiteral("alien"));
    maker.SetOnAcceptRecord([&](TAdsTable& catalogue) {
        return catalogue.FieldByName(QStringLiteral("FTSNo")).AsInteger() != skipped;
    });
    maker.MakeMatches();
    EXPECT_EQ(Rows(), (std::vector<int>{twice, once}));
    EXPECT_EQ(matchTable.Fields(matchTable.FieldCount() - 1).FieldName(), QStringLiteral("Rank"));
    matchTable.First();
    EXPECT_EQ(matchTable.FieldByName(QStringLiteral("Rank")).AsInteger(), 2);
    maker.SetRankFieldName(QStringLiteral("Title"));
    try {
        maker.MakeMatches();
        FAIL();
    } catch (const EQuelvan& e) {
        EXPECT_EQ(e.Code(), 30478);
    }
}

TEST_F(MatchMakerTest, ARecordDeletedAfterTheSearchIsLeftOut) {
    const int a = fx.AddRecord({{QStringLiteral("Title"), QStringLiteral("alien")}});
    const int b = fx.AddRecord({{QStringLiteral("Title"), QStringLiteral("alien")}});
    indexer.BuildIndex(1000);
    Find(QStringLiteral("alien"));
    fx.catalogue.SetIndexName(QString());
    fx.catalogue.First();
    fx.catalogue.Delete();
    maker.MakeMatches();
    EXPECT_EQ(Rows(), (std::vector<int>{b}));
    (void)a;
}

} // namespace
