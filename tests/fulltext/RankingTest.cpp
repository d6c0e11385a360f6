// Ranking modes and the order in which navigation visits the matches: the
// rank table's contents (record, rank, percentage) and First/Next/Last/Prior
// under each mode, with natural and reverse order and the rank limit, over a
// catalogue small enough to work every rank out by hand.

#include "IndexFixture.h"

#include "fulltext/FullTextIndexer.h"
#include "fulltext/Search.h"
#include "store/Field.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

// The catalogue, by label. Query "alien* predator" under slOr; the search
// words are ALIEN and ALIENS (for the first query word) and PREDATOR.
//
//        text                                    occurrences   different words
//   A    Title "alien alien alien alien"         ALIEN 4         1
//   B    Title "alien predator"                  1 + 1           2
//   C    Title "predator"                        PREDATOR 1      1
//   D    Title "alien", Director "predator       1 + 2           2  (words of all
//        predator"                                                   fields count)
//   E    Title "aliens alien"                    ALIENS 1 + 1    2  (two expansions
//                                                                    of one query word)
//   F    Title "nothing here"                    no match
const char* const kLabels = "ABCDEF";

struct TRankRow {
    char record;
    int rank;
    int percent;
};

struct TRankCase {
    const char* name;
    TrbSearch::TRankMode mode;
    int options;
    int rankLimit;               // -1: the default
    bool weightPredator;         // OnRankWord: PREDATOR weighs 3, every other word 1
    std::vector<TRankRow> table; // RankTable(), in its order
    std::string navigation;      // records visited by FirstMatch and NextMatch
};
void PrintTo(const TRankCase& c, std::ostream* os) {
    *os << c.name;
}

constexpr int kNatural = TrbSearch::soNavNatural;
constexpr int kReverse = TrbSearch::soNavReverse;

const TRankCase kCases[] = {
    // Sum of occurrences, highest first, ties by ascending record number;
    // percentages of the highest rank (4), rounded.
    {"CountSortsBySum", TrbSearch::rmCount, 0, -1, false,
     {{'A', 4, 100}, {'D', 3, 75}, {'B', 2, 50}, {'E', 2, 50}, {'C', 1, 25}}, "ADBEC"},
    // rmPercent ranks by the same sum as rmCount.
    {"PercentRanksByTheSum", TrbSearch::rmPercent, 0, -1, false,
     {{'A', 4, 100}, {'D', 3, 75}, {'B', 2, 50}, {'E', 2, 50}, {'C', 1, 25}}, "ADBEC"},
    // The number of different search words: each expansion of a wildcard is
    // a search word of its own, repeated words count once.
    {"PresenceCountsDifferentWords", TrbSearch::rmPresense, 0, -1, false,
     {{'B', 2, 100}, {'D', 2, 100}, {'E', 2, 100}, {'A', 1, 50}, {'C', 1, 50}}, "BDEAC"},
    // The weight of each occurrence comes from OnRankWord: D = 1 + 2 * 3 = 7,
    // A = 4, B = 1 + 3, C = 3, E = 2; 4/7, 3/7 and 2/7 round to 57, 43, 29.
    {"CountAddsTheWordWeights", TrbSearch::rmCount, 0, -1, true,
     {{'D', 7, 100}, {'A', 4, 57}, {'B', 4, 57}, {'C', 3, 43}, {'E', 2, 29}}, "DABCE"},
    {"PercentAddsTheWordWeights", TrbSearch::rmPercent, 0, -1, true,
     {{'D', 7, 100}, {'A', 4, 57}, {'B', 4, 57}, {'C', 3, 43}, {'E', 2, 29}}, "DABCE"},
    // Presence counts words, not weights.
    {"PresenceIgnoresTheWordWeights", TrbSearch::rmPresense, 0, -1, true,
     {{'B', 2, 100}, {'D', 2, 100}, {'E', 2, 100}, {'A', 1, 50}, {'C', 1, 50}}, "BDEAC"},
    // Natural order: the table stays in record order and navigation ignores
    // the ranks.
    {"NaturalKeepsRecordOrder", TrbSearch::rmCount, kNatural, -1, false,
     {{'A', 4, 100}, {'B', 2, 50}, {'C', 1, 25}, {'D', 3, 75}, {'E', 2, 50}}, "ABCDE"},
    {"NaturalPresence", TrbSearch::rmPresense, kNatural, -1, false,
     {{'A', 1, 50}, {'B', 2, 100}, {'C', 1, 50}, {'D', 2, 100}, {'E', 2, 100}}, "ABCDE"},
    {"NaturalReverse", TrbSearch::rmCount, kNatural | kReverse, -1, false,
     {{'E', 2, 50}, {'D', 3, 75}, {'C', 1, 25}, {'B', 2, 50}, {'A', 4, 100}}, "EDCBA"},
    // Ranked navigation keeps rank order under reverse.
    {"ReverseKeepsRankOrder", TrbSearch::rmCount, kReverse, -1, false,
     {{'A', 4, 100}, {'D', 3, 75}, {'B', 2, 50}, {'E', 2, 50}, {'C', 1, 25}}, "ADBEC"},
    // The limit ranks the first records in navigation order and visits no
    // others; percentages are of the highest rank among them.
    {"LimitRanksTheFirstRecords", TrbSearch::rmCount, 0, 3, false,
     {{'A', 4, 100}, {'B', 2, 50}, {'C', 1, 25}}, "ABC"},
    {"LimitUnderReverseRanksTheLastRecords", TrbSearch::rmCount, kReverse, 3, false,
     {{'D', 3, 100}, {'E', 2, 67}, {'C', 1, 33}}, "DEC"},
    {"LimitZeroVisitsNothing", TrbSearch::rmCount, 0, 0, false, {}, ""},
    // Without ranking: no table, record order, reverse turns it round.
    {"NoRanking", TrbSearch::rmNone, 0, -1, false, {}, "ABCDE"},
    {"NoRankingReverse", TrbSearch::rmNone, kReverse, -1, false, {}, "EDCBA"},
};

class RankingFixture : public ::testing::Test {
protected:
    RankingFixture() {
        auto add = [&](char label, const char* title, const char* director = nullptr) {
            std::map<QString, QVariant> values{{QStringLiteral("Title"), QString::fromLatin1(title)}};
            if (director)
                values[QStringLiteral("Director")] = QString::fromLatin1(director);
            const int number = fx.AddRecord(values);
            numbers[label] = number;
            labels[number] = label;
        };
        add('A', "alien alien alien alien");
        add('B', "alien predator");
        add('C', "predator");
        add('D', "alien", "predator predator");
        add('E', "aliens alien");
        add('F', "nothing here");
        indexer.BuildIndex(TFullTextIndexer::ProgramSegmentSize);
        search.SetTextLink(&indexer.TextLink());
        search.SetWordsLink(&indexer.WordsLink());
    }

    void Run(const TRankCase& c) {
        search.SetRankMode(c.mode);
        search.SetSearchOptions(c.options);
        if (c.rankLimit >= 0)
            search.SetRankLimit(c.rankLimit);
        if (c.weightPredator)
            search.SetOnRankWord([](const QByteArray& word) { return word == "PREDATOR" ? 3 : 1; });
        search.ResetSearch();
        search.SetSearchFor(QStringLiteral("alien* predator"));
        search.SetSearchLogic(slOr);
        search.Search();
    }

    char Current() {
        const auto it = labels.find(fx.catalogue.FieldByName(QStringLiteral("FTSNo")).AsInteger());
        return it == labels.end() ? '?' : it->second;
    }

    TIndexFixture fx;
    TFullTextIndexer indexer{fx.catalogue, fx.folder.Path(), fx.ui};
    TrbSearch search;
    std::map<char, int> numbers;
    std::map<int, char> labels;
};

class RankingTest : public RankingFixture, public ::testing::WithParamInterface<TRankCase> {};

TEST_P(RankingTest, RankTableAndNavigationOrder) {
    const TRankCase& c = GetParam();
    Run(c);
    ASSERT_EQ(search.Count(), 5); // A to E; F has neither word

    std::vector<TRankRow> table;
    for (const TrbSearch::TRank& rank : search.RankTable())
        table.push_back({labels.count(rank.number) ? labels[rank.number] : '?', rank.rank, rank.percent});
    ASSERT_EQ(table.size(), c.table.size());
    for (size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(table[i].record, c.table[i].record) << "row " << i;
        EXPECT_EQ(table[i].rank, c.table[i].rank) << "row " << i;
        EXPECT_EQ(table[i].percent, c.table[i].percent) << "row " << i;
    }

    std::string forward;
    for (bool found = search.FirstMatch(); found && forward.size() <= 6; found = search.NextMatch()) {
        forward += Current();
        EXPECT_TRUE(search.IsMatch());
    }
    EXPECT_EQ(forward, c.navigation);

    // Last and Prior walk the same order backwards.
    std::string backward;
    for (bool found = search.LastMatch(); found && backward.size() <= 6; found = search.PriorMatch())
        backward.insert(backward.begin(), Current());
    EXPECT_EQ(backward, c.navigation);

    std::string numbersOrder;
    for (int number : search.MatchNumbers())
        numbersOrder += labels.count(number) ? labels[number] : '?';
    EXPECT_EQ(numbersOrder, c.navigation);
}

INSTANTIATE_TEST_SUITE_P(Modes, RankingTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The rank table is built once per search: asking again neither reads the
// records again nor counts their words twice; the next search starts anew.
TEST_F(RankingFixture, TheTableIsBuiltOncePerSearch) {
    Run(kCases[0]);
    const QList<TrbSearch::TRank> first = search.RankTable();
    const QList<TrbSearch::TRank> again = search.RankTable();
    ASSERT_EQ(first.size(), again.size());
    for (qsizetype i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].number, again[i].number);
        EXPECT_EQ(first[i].rank, again[i].rank);
    }
    // Occurrences in the ranked records: ALIEN in A (4), B, D, E; ALIENS in
    // E; PREDATOR in B, C and twice in D.
    const auto& words = search.SearchWords();
    EXPECT_EQ(words.value("ALIEN").occurrences, 7);
    EXPECT_EQ(words.value("ALIENS").occurrences, 1);
    EXPECT_EQ(words.value("PREDATOR").occurrences, 4);

    Run(kCases[0]);
    EXPECT_EQ(search.RankTable().size(), first.size());
    EXPECT_EQ(search.SearchWords().value("ALIEN").occurrences, 7);
}

} // namespace
