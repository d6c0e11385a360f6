// The search engine and its expression language over a real catalogue and a
// real built index, compared with a plain reference computed from the
// records' text.

#include "IndexFixture.h"

#include "fulltext/EngineState.h"
#include "fulltext/Expression.h"
#include "fulltext/FullTextIndexer.h"
#include "fulltext/Quelvan.h"
#include "fulltext/Search.h"
#include "fulltext/SearchWildCard.h"
#include "fulltext/SoundAlike.h"
#include "fulltext/WordDelims.h"
#include "fulltext/WordParser.h"
#include "store/Field.h"

#include <gtest/gtest.h>

#include <QThread>

#include <functional>
#include <set>

namespace {

using TFields = QList<QList<QByteArray>>; // words of each field, in text order
using TRecords = std::map<int, TFields>;  // FTSNo -> fields

// The reference: every record's words straight from its fields.
TRecords ReadRecords(TAdsTable& table) {
    QStringList fields = TFullTextIndexer::IndexedFieldNames();
    fields.removeAll(QStringLiteral("NotesData"));
    const TrbWordDelims delims(TrbWordDelims::ProgramCaret());
    TRecords records;
    for (table.First(); !table.Eof(); table.Next()) {
        TFields words;
        for (const QString& name : fields) {
            const TField* field = table.FindField(name);
            if (!field || field->IsNull())
                continue;
            QList<QByteArray> list;
            if (field->DataType() == TFieldType::Char || field->DataType() == TFieldType::Memo)
                TrbWordParser::Split(TrbWordParser::Fold(field->AsBytes()), delims, [&](QByteArrayView w) {
                    if (!w.isEmpty())
                        list << w.toByteArray();
                });
            else
                list << TrbWordParser::Fold(field->AsString().toLatin1());
            if (!list.isEmpty())
                words << list;
        }
        records[table.FieldByName(QStringLiteral("FTSNo")).AsInteger()] = words;
    }
    return records;
}

bool Has(const TFields& fields, const std::function<bool(const QByteArray&)>& match) {
    for (const auto& field : fields)
        for (const QByteArray& w : field)
            if (match(w))
                return true;
    return false;
}

std::function<bool(const QByteArray&)> Is(const QByteArray& q) {
    return [q](const QByteArray& w) { return w == q; };
}

std::function<bool(const QByteArray&)> SoundsLike(const QByteArray& q) {
    return [q](const QByteArray& w) { return TrbSoundAlike::Key(w) == TrbSoundAlike::Key(q); };
}

bool Phrase(const TFields& fields, const QList<QByteArray>& q) {
    for (const auto& field : fields)
        for (qsizetype s = 0; s + q.size() <= field.size(); ++s) {
            bool all = true;
            for (qsizetype k = 0; k < q.size() && all; ++k)
                all = field[s + k] == q[k];
            if (all)
                return true;
        }
    return false;
}

bool Near(const TFields& fields, const QByteArray& a, const QByteArray& b, int window) {
    for (const auto& field : fields)
        for (qsizetype i = 0; i < field.size(); ++i)
            for (qsizetype j = 0; j < field.size(); ++j)
                if (field[i] == a && field[j] == b && std::abs(i - j) < window)
                    return true;
    return false;
}

struct TQueryCase {
    const char* name;
    const char* query;
    TrbSearchLogic logic;
    std::function<bool(const TFields&)> reference;
};
void PrintTo(const TQueryCase& c, std::ostream* os) {
    *os << c.name;
}

class TSearchFixture {
public:
    TSearchFixture() {
        search.SetTextLink(&indexer.TextLink());
        search.SetWordsLink(&indexer.WordsLink());
    }
    void Build() {
        indexer.BuildIndex(TFullTextIndexer::ProgramSegmentSize);
        records = ReadRecords(fx.catalogue);
    }
    std::set<int> Run(const QString& query, TrbSearchLogic logic) {
        search.ResetSearch();
        search.SetSearchFor(query);
        search.SetSearchLogic(logic);
        search.Search();
        const QList<int> numbers = search.MatchNumbers();
        EXPECT_EQ(numbers.size(), search.Count());
        return {numbers.begin(), numbers.end()};
    }
    std::set<int> Expected(const std::function<bool(const TFields&)>& reference) {
        std::set<int> out;
        for (const auto& [number, fields] : records)
            if (reference(fields))
                out.insert(number);
        return out;
    }

    TIndexFixture fx;
    TFullTextIndexer indexer{fx.catalogue, fx.folder.Path(), fx.ui};
    TrbSearch search;
    TRecords records;
};

std::map<QString, QVariant> Film(const char* title, const char* notes = nullptr, const char* director = nullptr) {
    std::map<QString, QVariant> values{{QStringLiteral("Title"), QString::fromUtf8(title)}};
    if (notes)
        values[QStringLiteral("NotesFilm")] = QString::fromUtf8(notes);
    if (director)
        values[QStringLiteral("Director")] = QString::fromUtf8(director);
    return values;
}

void AddSmallCatalogue(TIndexFixture& fx) {
    fx.AddRecord(Film("Alien", "The alien lands on a ship", "Ridley Scott"));
    fx.AddRecord(Film("Aliens", "Ripley returns; more aliens", "James Cameron"));
    fx.AddRecord(Film("Alien vs Predator", "alien and predator fight"));
    fx.AddRecord(Film("Predator", "A predator hunts in the jungle"));
    fx.AddRecord(Film("Star Trek IV", "Whales and time travel"));
    fx.AddRecord(Film("Star Trek", "The first film of the star fleet", "Robert Wise"));
    fx.AddRecord(Film("Trek Star", "Star and trek in the wrong order"));
    fx.AddRecord(Film("Alienation", "A drama about alienation"));
    fx.AddRecord(Film("Meyer family", "Documentary"));
    fx.AddRecord(Film("Maier home", "Documentary about Maier"));
    fx.AddRecord(Film("Blade Runner", "replicants in the rain", "Ridley Scott"));
    fx.AddRecord(Film("Star", nullptr, "Trek"));   // star and trek in different fields
    fx.AddRecord(Film("Runner", "blade one two three four five six seven eight nine runner"));
    fx.AddRecord(Film("Star star trek"));           // the phrase begins at the word that broke it
}

const TQueryCase kQueries[] = {
    {"AndTwoWords", "alien predator", slAnd,
     [](const TFields& f) { return Has(f, Is("ALIEN")) && Has(f, Is("PREDATOR")); }},
    {"AndIsAWordUnderAnd", "alien and predator", slAnd,
     [](const TFields& f) { return Has(f, Is("ALIEN")) && Has(f, Is("AND")) && Has(f, Is("PREDATOR")); }},
    {"OrTwoWords", "alien predator", slOr,
     [](const TFields& f) { return Has(f, Is("ALIEN")) || Has(f, Is("PREDATOR")); }},
    {"NotOneWord", "alien", slNot, [](const TFields& f) { return !Has(f, Is("ALIEN")); }},
    {"ShortWordsOnly", "a of", slAnd, [](const TFields&) { return false; }},
    {"StarTrekIVNeedsIV", "Star Trek IV", slAnd,
     [](const TFields& f) { return Has(f, Is("STAR")) && Has(f, Is("TREK")) && Has(f, Is("IV")); }},
    {"PrefixWildcard", "ALIEN*", slAnd,
     [](const TFields& f) { return Has(f, [](const QByteArray& w) { return w.startsWith("ALIEN"); }); }},
    {"LeadingWildcard", "*ALIEN", slAnd,
     [](const TFields& f) { return Has(f, [](const QByteArray& w) { return w.endsWith("ALIEN"); }); }},
    {"OneCharWildcard", "ALIEN?", slAnd,
     [](const TFields& f) {
         return Has(f, [](const QByteArray& w) { return w.size() == 6 && w.startsWith("ALIEN"); });
     }},
    {"PhraseSameField", "star trek", slPhrase, [](const TFields& f) { return Phrase(f, {"STAR", "TREK"}); }},
    {"NearWindow", "blade runner", slNear, [](const TFields& f) { return Near(f, "BLADE", "RUNNER", 8); }},
    {"LikeMeyerFindsMaier", "meyer", slLike,
     [](const TFields& f) { return Has(f, SoundsLike("MEYER")); }},
    {"ExpressionAnd", "alien and predator", slExpression,
     [](const TFields& f) { return Has(f, Is("ALIEN")) && Has(f, Is("PREDATOR")); }},
    {"ExpressionOr", "alien or predator", slExpression,
     [](const TFields& f) { return Has(f, Is("ALIEN")) || Has(f, Is("PREDATOR")); }},
    {"ExpressionNotBindsOneFactor", "not alien and predator", slExpression,
     [](const TFields& f) { return !Has(f, Is("ALIEN")) && Has(f, Is("PREDATOR")); }},
    {"ExpressionParentheses", "(alien or predator) and not jungle", slExpression,
     [](const TFields& f) {
         return (Has(f, Is("ALIEN")) || Has(f, Is("PREDATOR"))) && !Has(f, Is("JUNGLE"));
     }},
    {"ExpressionPhrase", "\"star trek\" or runner", slExpression,
     [](const TFields& f) { return Phrase(f, {"STAR", "TREK"}) || Has(f, Is("RUNNER")); }},
    {"ExpressionNearBindsTighter", "scott and blade near runner", slExpression,
     [](const TFields& f) { return Has(f, Is("SCOTT")) && Near(f, "BLADE", "RUNNER", 8); }},
    {"ExpressionLike", "like maier and documentary", slExpression,
     [](const TFields& f) {
         return Has(f, SoundsLike("MAIER")) && Has(f, Is("DOCUMENTARY"));
     }},
    {"SmartFallsBackToWords", "alien predator", slSmart,
     [](const TFields& f) { return Has(f, Is("ALIEN")) && Has(f, Is("PREDATOR")); }},
    {"ApostrophePhraseWithQuote", "'star \"trek'", slExpression,
     [](const TFields& f) { return Phrase(f, {"STAR", "TREK"}); }},
};

class SearchQueryTest : public ::testing::TestWithParam<TQueryCase> {};

TEST_P(SearchQueryTest, MatchesTheReference) {
    TSearchFixture s;
    AddSmallCatalogue(s.fx);
    s.Build();
    const auto expected = s.Expected(GetParam().reference);
    EXPECT_EQ(s.Run(QString::fromUtf8(GetParam().query), GetParam().logic), expected);
}

INSTANTIATE_TEST_SUITE_P(Queries, SearchQueryTest, ::testing::ValuesIn(kQueries),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SearchTest, PhraseAndNearLookAtOneFieldAtATime) {
    TSearchFixture s;
    const int split = s.fx.AddRecord(Film("Star", nullptr, "Trek"));
    const int together = s.fx.AddRecord(Film("Star Trek"));
    s.Build();
    EXPECT_EQ(s.Run(QStringLiteral("star trek"), slAnd), (std::set<int>{split, together}));
    EXPECT_EQ(s.Run(QStringLiteral("star trek"), slPhrase), (std::set<int>{together}));
    EXPECT_EQ(s.Run(QStringLiteral("star trek"), slNear), (std::set<int>{together}));
}

TEST(SearchTest, NearWindowIsCountedInWords) {
    TSearchFixture s;
    const int close = s.fx.AddRecord(Film("blade a b c d e f runner"));          // 7 apart
    s.fx.AddRecord(Film("blade one two three four five six seven eight runner")); // 9 apart
    s.Build();
    EXPECT_EQ(s.Run(QStringLiteral("blade runner"), slNear), (std::set<int>{close}));
    s.search.SetNearWord(0); // ignored
    EXPECT_EQ(s.search.NearWord(), 8);
}

TEST(SearchTest, NarrowAndWidenCombineWithThePreviousResult) {
    TSearchFixture s;
    AddSmallCatalogue(s.fx);
    s.Build();
    const auto alien = s.Run(QStringLiteral("alien"), slAnd);
    s.search.SetSearchMode(TrbSearch::smNarrow);
    const auto narrowed = s.Run(QStringLiteral("predator"), slAnd);
    EXPECT_EQ(narrowed, s.Expected([](const TFields& f) { return Has(f, Is("ALIEN")) && Has(f, Is("PREDATOR")); }));
    s.search.SetSearchMode(TrbSearch::smWiden);
    const auto widened = s.Run(QStringLiteral("runner"), slAnd);
    EXPECT_EQ(widened, s.Expected([](const TFields& f) {
                  return (Has(f, Is("ALIEN")) && Has(f, Is("PREDATOR"))) || Has(f, Is("RUNNER"));
              }));
    EXPECT_FALSE(alien.empty());
}

TEST(SearchTest, ADeletedRecordIsRemovedByTheCandidateCheck) {
    TSearchFixture s;
    AddSmallCatalogue(s.fx);
    s.Build();
    // Delete the first "Alien" record behind the index's back.
    s.fx.catalogue.SetIndexName(QString());
    s.fx.catalogue.First();
    const int gone = s.fx.catalogue.FieldByName(QStringLiteral("FTSNo")).AsInteger();
    s.fx.catalogue.Delete();
    s.records.erase(gone);
    const auto found = s.Run(QStringLiteral("alien"), slAnd);
    EXPECT_EQ(found.count(gone), 0u);
    EXPECT_EQ(found, s.Expected([](const TFields& f) { return Has(f, Is("ALIEN")); }));
    // Not never matches a record that no longer exists.
    const auto none = s.Run(QStringLiteral("alien"), slNot);
    EXPECT_EQ(none.count(gone), 0u);
    EXPECT_EQ(none, s.Expected([](const TFields& f) { return !Has(f, Is("ALIEN")); }));
}

TEST(SearchTest, WordsBeyondTheCurrentRangeAfterTheTopRecordsWereDeleted) {
    TSearchFixture s;
    s.fx.catalogue.BeginTransaction();
    for (int i = 0; i < 1100; ++i)
        s.fx.AddRecord(Film(i < 1050 ? "filler" : "toprecord alien"));
    s.fx.AddRecord(Film("alien low"));
    s.fx.catalogue.Commit();
    s.Build();
    // Delete every record of segment 1 and above, except the last "alien low".
    s.fx.catalogue.SetIndexName(QString());
    s.fx.catalogue.Last();
    const int low = s.fx.catalogue.FieldByName(QStringLiteral("FTSNo")).AsInteger();
    s.fx.catalogue.First();
    const int first = s.fx.catalogue.FieldByName(QStringLiteral("FTSNo")).AsInteger();
    // Keep the first 900 records, remove the rest (the top of the range).
    while (s.fx.catalogue.TotalRecordCount() > 900) {
        s.fx.catalogue.Last();
        ASSERT_GE(s.fx.catalogue.FieldByName(QStringLiteral("FTSNo")).AsInteger(), first + 900);
        s.fx.catalogue.Delete();
    }
    ASSERT_EQ(s.fx.catalogue.TotalRecordCount(), 900) << first << " " << low;
    (void)low;
    EXPECT_NO_THROW(s.Run(QStringLiteral("toprecord"), slAnd));
    EXPECT_EQ(s.search.Count(), 0);
    EXPECT_NO_THROW(s.Run(QStringLiteral("alien"), slOr));
    EXPECT_EQ(s.search.Count(), 0);
    EXPECT_EQ(s.Run(QStringLiteral("filler"), slAnd).size(), 900u);
}

TEST(SearchTest, FiveThousandRecordsAreWhollySearchable) {
    TSearchFixture s;
    s.fx.catalogue.BeginTransaction();
    for (int i = 0; i < 5000; ++i)
        s.fx.AddRecord(Film(i % 1000 == 999 ? "rare marker" : "common"));
    s.fx.catalogue.Commit();
    s.Build();
    const auto found = s.Run(QStringLiteral("marker"), slAnd);
    EXPECT_EQ(found, s.Expected([](const TFields& f) { return Has(f, Is("MARKER")); }));
    ASSERT_EQ(found.size(), 5u);
    EXPECT_GT(*found.rbegin() - s.search.MinIndex(), 2016);
    EXPECT_EQ(s.Run(QStringLiteral("common"), slAnd).size(), 4995u);
}

TEST(SearchTest, ACancelDuringTheCandidateCheckKeepsOnlyVerifiedMatches) {
    TSearchFixture s;
    for (int i = 0; i < 10; ++i)
        s.fx.AddRecord(Film("alien"));
    s.Build();
    int verified = 0;
    s.search.SetOnSearch([&] {
        if ((s.search.State() & TrbEngineState::Verifying) && ++verified == 3)
            s.search.RequestCancel();
    });
    s.Run(QStringLiteral("alien"), slAnd);
    EXPECT_EQ(s.search.Count(), 3);
    EXPECT_TRUE(s.search.Cancelled());
    const QList<int> numbers = s.search.MatchNumbers();
    ASSERT_EQ(numbers.size(), 3);
    EXPECT_EQ(numbers.front(), s.search.MinIndex());
}

// The search reads the catalogue beside the user's view: order, filter,
// current record and the view's records are as they were, whatever the
// logic (the candidate check, "not" with its existing records, wildcards,
// expressions).
TEST(SearchTest, TheCataloguesOrderFilterAndRecordStayAsTheyWere) {
    TSearchFixture s;
    AddSmallCatalogue(s.fx);
    s.Build();
    TAdsTable& catalogue = s.fx.catalogue;
    catalogue.SetIndexName(QStringLiteral("TitleFilm"));
    catalogue.SetFilter(QStringLiteral("Director='Ridley Scott'"));
    catalogue.SetFiltered(true);
    catalogue.Last();
    const qint64 recno = catalogue.RecNo();
    const std::vector<qint64> view = catalogue.ViewRecNos();
    ASSERT_EQ(view.size(), 2u);
    const struct {
        const char* query;
        TrbSearchLogic logic;
    } cases[] = {{"alien", slAnd},        {"alien", slNot},   {"star trek", slPhrase}, {"blade runner", slNear},
                 {"ALIEN*", slAnd},       {"meyer", slLike},  {"alien predator", slOr},
                 {"not alien and predator", slExpression}};
    for (const auto& c : cases) {
        s.Run(QString::fromLatin1(c.query), c.logic);
        EXPECT_GT(s.search.Count(), 0) << c.query;
        EXPECT_EQ(catalogue.IndexName(), QStringLiteral("TitleFilm")) << c.query;
        EXPECT_TRUE(catalogue.Filtered()) << c.query;
        EXPECT_EQ(catalogue.Filter(), QStringLiteral("Director='Ridley Scott'")) << c.query;
        EXPECT_EQ(catalogue.RecNo(), recno) << c.query;
        EXPECT_EQ(catalogue.FieldByName(QStringLiteral("Title")).AsString(), QStringLiteral("Blade Runner"))
            << c.query;
        EXPECT_EQ(catalogue.ViewRecNos(), view) << c.query;
    }
}

// The check reads each candidate as it is stored at that moment: not the
// values the catalogue's cursor holds, and with a pending edit stored first.
TEST(SearchTest, TheCandidateCheckReadsWhatIsStoredNow) {
    TSearchFixture s;
    const int alien = s.fx.AddRecord(Film("Alien", "The alien lands on a ship"));
    const int aliens = s.fx.AddRecord(Film("Aliens", "more aliens"));
    const int predator = s.fx.AddRecord(Film("Alien vs Predator", "alien and predator fight"));
    s.Build();
    TAdsTable& catalogue = s.fx.catalogue;
    catalogue.SetIndexName(QStringLiteral("FTSNo"));
    ASSERT_TRUE(catalogue.FindKey({alien}));

    // Another program takes the word out of the record the cursor stands on.
    TAdsTable other;
    other.SetDatabaseName(catalogue.DatabaseName());
    other.SetTableName(catalogue.TableName());
    other.Open();
    other.SetIndexName(QStringLiteral("FTSNo"));
    ASSERT_TRUE(other.FindKey({alien}));
    other.Edit();
    other.FieldByName(QStringLiteral("Title")).SetAsString(QStringLiteral("Gone"));
    other.FieldByName(QStringLiteral("NotesFilm")).SetAsString(QStringLiteral("nothing here"));
    other.Post();
    EXPECT_EQ(catalogue.FieldByName(QStringLiteral("Title")).AsString(), QStringLiteral("Alien"));
    EXPECT_EQ(s.Run(QStringLiteral("alien"), slAnd), (std::set<int>{predator}));

    // An edit in progress is stored before the search reads.
    ASSERT_TRUE(catalogue.FindKey({predator}));
    catalogue.Edit();
    catalogue.FieldByName(QStringLiteral("Title")).SetAsString(QStringLiteral("Predator"));
    catalogue.FieldByName(QStringLiteral("NotesFilm")).SetAsString(QStringLiteral("predator alone"));
    EXPECT_TRUE(s.Run(QStringLiteral("alien"), slAnd).empty());
    EXPECT_EQ(catalogue.State(), TAdsTable::TState::Browse);
    EXPECT_EQ(s.Run(QStringLiteral("aliens"), slAnd), (std::set<int>{aliens}));
}

// The search reads in one read transaction per table; a change made while
// it runs (from its progress handler, as an event loop might) is not
// refused, and the search still ends with the right matches.
TEST(SearchTest, ACatalogueChangeDuringTheSearchGoesThrough) {
    TSearchFixture s;
    AddSmallCatalogue(s.fx);
    s.Build();
    TAdsTable& catalogue = s.fx.catalogue;
    catalogue.SetIndexName(QStringLiteral("FTSNo"));
    catalogue.Last();
    const int last = catalogue.FieldByName(QStringLiteral("FTSNo")).AsInteger();
    bool changed = false;
    s.search.SetOnSearch([&] {
        if (changed || !(s.search.State() & TrbEngineState::Verifying))
            return;
        changed = true;
        catalogue.Edit();
        catalogue.FieldByName(QStringLiteral("Owner")).SetAsString(QStringLiteral("changed"));
        catalogue.Post();
    });
    std::set<int> found;
    ASSERT_NO_THROW(found = s.Run(QStringLiteral("alien"), slAnd));
    EXPECT_TRUE(changed);
    EXPECT_EQ(found, s.Expected([](const TFields& f) { return Has(f, Is("ALIEN")); }));
    EXPECT_EQ(found, s.Run(QStringLiteral("alien"), slAnd));
    TAdsTable other;
    other.SetDatabaseName(catalogue.DatabaseName());
    other.SetTableName(catalogue.TableName());
    other.Open();
    other.SetIndexName(QStringLiteral("FTSNo"));
    ASSERT_TRUE(other.FindKey({last}));
    EXPECT_EQ(other.FieldByName(QStringLiteral("Owner")).AsString(), QStringLiteral("changed"));
}

TEST(SearchTest, ATimeLimitWithoutHandlerStops) {
    TSearchFixture s;
    for (int i = 0; i < 50; ++i)
        s.fx.AddRecord(Film("alien"));
    s.Build();
    s.search.SetTimeLimit(1);
    s.search.SetOnSearch([] { QThread::msleep(2); });
    s.Run(QStringLiteral("alien"), slAnd);
    EXPECT_TRUE(s.search.Cancelled());
    EXPECT_LT(s.search.Count(), 50);
}

TEST(SearchTest, NavigationVisitsMatchesInOrderAndReverse) {
    TSearchFixture s;
    AddSmallCatalogue(s.fx);
    s.Build();
    const auto expected = s.Run(QStringLiteral("alien"), slAnd);
    const std::vector<int> order(expected.begin(), expected.end());
    auto current = [&] { return s.fx.catalogue.FieldByName(QStringLiteral("FTSNo")).AsInteger(); };
    ASSERT_TRUE(s.search.FirstMatch());
    EXPECT_EQ(current(), order.front());
    EXPECT_TRUE(s.search.IsMatch());
    for (size_t i = 1; i < order.size(); ++i) {
        ASSERT_TRUE(s.search.NextMatch());
        EXPECT_EQ(current(), order[i]);
    }
    EXPECT_FALSE(s.search.NextMatch());
    ASSERT_TRUE(s.search.LastMatch());
    EXPECT_EQ(current(), order.back());
    ASSERT_TRUE(s.search.PriorMatch());
    EXPECT_EQ(current(), order[order.size() - 2]);
    s.search.SetSearchOptions(TrbSearch::soNavReverse);
    ASSERT_TRUE(s.search.FirstMatch());
    EXPECT_EQ(current(), order.back());
}

TEST(SearchTest, RankingCountsOccurrences) {
    TSearchFixture s;
    const int once = s.fx.AddRecord(Film("alien"));
    const int thrice = s.fx.AddRecord(Film("alien", "alien alien"));
    s.Build();
    s.search.SetRankMode(TrbSearch::rmCount);
    s.Run(QStringLiteral("alien"), slAnd);
    const auto table = s.search.RankTable();
    ASSERT_EQ(table.size(), 2);
    EXPECT_EQ(table[0].number, thrice);
    EXPECT_EQ(table[0].rank, 3);
    EXPECT_EQ(table[0].percent, 100);
    EXPECT_EQ(table[1].number, once);
    EXPECT_EQ(table[1].percent, 33);
    EXPECT_EQ(s.search.MatchNumbers(), (QList<int>{thrice, once}));
}

TEST(SearchTest, MissingLinksRaiseTheirCodes) {
    TrbSearch search;
    try {
        search.Search();
        FAIL();
    } catch (const EQuelvan& e) {
        EXPECT_EQ(e.Code(), 30489);
    }
}

struct TErrorCase {
    const char* name;
    const char* query;
    int code;
    int position;
};
void PrintTo(const TErrorCase& c, std::ostream* os) {
    *os << c.name;
}

const TErrorCase kErrors[] = {
    {"TwoWordsWithoutOperator", "alien predator", 30498, 7},
    {"MissingParenthesis", "(alien", 30485, 7},
    {"LeadingKeyword", "and alien", 30487, 1},
    {"EmptyParentheses", "()", 30498, 2},
    {"MissingQuote", "\"star trek", 30486, 11},
    {"NearAfterPhrase", "\"star trek\" near x", 30487, 13},
    {"TrailingOperator", "alien or", 30487, 9},
    {"TextAfterExpression", "alien)", 30498, 6},
    {"NotNot", "not not alien", 30487, 5},
    {"LikeWithoutWord", "like (alien)", 30487, 6},
};

class ExpressionErrorTest : public ::testing::TestWithParam<TErrorCase> {};

TEST_P(ExpressionErrorTest, RaisesItsCodeAndPosition) {
    TCompiler compiler(QStringList{});
    TCompile code;
    try {
        compiler.Compile(GetParam().query, code);
        FAIL() << "no error";
    } catch (const EExpression& e) {
        EXPECT_EQ(e.Code(), GetParam().code);
        EXPECT_EQ(e.Position(), GetParam().position);
        EXPECT_EQ(e.Message(), EQuelvan::TextOf(GetParam().code));
    }
}

INSTANTIATE_TEST_SUITE_P(Errors, ExpressionErrorTest, ::testing::ValuesIn(kErrors),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ExpressionTest, CodeArrayFullAt1023Bytes) {
    QByteArray query = "w0000";
    for (int i = 1; i < 200; ++i)
        query += " or w" + QByteArray::number(i).rightJustified(4, '0');
    TCompiler compiler(QStringList{});
    TCompile code;
    try {
        compiler.Compile(query, code);
        FAIL();
    } catch (const EExpression& e) {
        EXPECT_EQ(e.Code(), 30464);
        EXPECT_GT(e.Position(), 0);
    }
}

// Each parenthesis costs a group byte of the 1023: "(" * n + "a" + ")" * n
// takes 4 + n + 1 bytes. Deeper nesting used to recurse once per "(" before
// anything was emitted, so a long run of them ran out of stack.
TEST(ExpressionTest, NestingStopsAtTheCodeArrayLimit) {
    struct TCase {
        int depth;
        bool closed;
        int code;     // 0: compiles
        int position; // of the error
    };
    const TCase cases[] = {
        {1018, true, 0, 0},                  // exactly 1023 bytes
        {1019, true, 30464, 2 * 1019 + 2},   // the end mark no longer fits
        {100000, true, 30464, 1023},         // stops at the first "(" that cannot fit
        {100000, false, 30464, 1023},
        {5, false, 30485, 7},                // shallow: the missing ")" as before
    };
    for (const TCase& c : cases) {
        const QByteArray query = QByteArray(c.depth, '(') + "a" + (c.closed ? QByteArray(c.depth, ')') : QByteArray());
        TCompiler compiler(QStringList{});
        TCompile code;
        SCOPED_TRACE(testing::Message() << c.depth << (c.closed ? " closed" : " open"));
        if (c.code == 0) {
            EXPECT_NO_THROW(compiler.Compile(query, code));
            EXPECT_EQ(code.Bytes().size(), 4 + c.depth + 1);
            continue;
        }
        try {
            compiler.Compile(query, code);
            ADD_FAILURE() << "no error";
        } catch (const EExpression& e) {
            EXPECT_EQ(e.Code(), c.code);
            EXPECT_EQ(e.Position(), c.position);
        }
    }
}

TEST(ExpressionTest, TheSearchKeepsTheErrorPosition) {
    TSearchFixture s;
    AddSmallCatalogue(s.fx);
    s.Build();
    EXPECT_THROW(s.Run(QStringLiteral("alien predator"), slExpression), EExpression);
    EXPECT_EQ(s.search.ErrorPosition(), 7);
    EXPECT_NO_THROW(s.Run(QStringLiteral("alien predator"), slSmart));
    EXPECT_EQ(s.search.ErrorPosition(), 0);
    // Under slSmart an operator before the error still raises.
    EXPECT_THROW(s.Run(QStringLiteral("alien and (predator"), slSmart), EExpression);
}

TEST(WildCardTest, Matching) {
    EXPECT_TRUE(TrbSearchWildCard::Matches("ALIENS", "ALIEN*", '*', '?'));
    EXPECT_TRUE(TrbSearchWildCard::Matches("ALIEN", "ALIEN*", '*', '?'));
    EXPECT_TRUE(TrbSearchWildCard::Matches("alien", "A**N", '*', '?'));
    EXPECT_FALSE(TrbSearchWildCard::Matches("ALIENS", "ALIEN?X", '*', '?'));
    EXPECT_TRUE(TrbSearchWildCard::Matches("ABXCD", "A*C?", '*', '?'));
    EXPECT_FALSE(TrbSearchWildCard::Matches("ABC", "ABCD", '*', '?'));
    EXPECT_THROW(TrbSearchWildCard::Matches("A", "A", '*', '*'), EWildCard);
    EXPECT_THROW(TrbSearchWildCard::Matches("A", QByteArray(128, 'A'), '*', '?'), EWildCard);
}

} // namespace
