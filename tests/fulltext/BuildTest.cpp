#include "QuelvanCode.h"
#include "IndexFixture.h"

#include "fulltext/BitRecord.h"
#include "fulltext/EngineListener.h"
#include "fulltext/EngineState.h"
#include "fulltext/FullTextIndexer.h"
#include "fulltext/Make.h"
#include "fulltext/PropertiesBlock.h"
#include "fulltext/Quelvan.h"
#include "fulltext/WordDelims.h"
#include "fulltext/WordsADSLink.h"
#include "store/Field.h"

#include <QFile>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <utility>

namespace {


// Every word row's stored bytes by (word, segment).
std::map<std::pair<QByteArray, int>, QByteArray> RowsOf(TIndexFixture& fx) {
    TAdsTable table;
    table.SetDatabaseName(fx.folder.Path());
    table.SetTableName(QStringLiteral("FTS.ADT"));
    TrbWordsADSLink link(table);
    link.Open();
    std::map<std::pair<QByteArray, int>, QByteArray> rows;
    for (link.First(); !link.Eof(); link.Next())
        if (link.Word() != TrbWordsLink::PropertiesWord())
            rows[{link.Word(), link.Segment()}] = link.ReadRecord();
    return rows;
}

class BuildTest : public ::testing::Test {
protected:
    TIndexFixture fx;
    TFullTextIndexer indexer{fx.catalogue, fx.folder.Path(), fx.ui};
};

TEST_F(BuildTest, GoldenRowsForOneRecordAndForAFullSegment) {
    fx.catalogue.BeginTransaction();
    fx.AddRecord({{QStringLiteral("Title"), QStringLiteral("Alien Predator")}});
    for (int i = 1; i < 1009; ++i)
        fx.AddRecord({{QStringLiteral("Title"), QStringLiteral("Alien")}});
    fx.catalogue.Commit();
    indexer.BuildIndex(TFullTextIndexer::ProgramSegmentSize);
    EXPECT_EQ(indexer.Make().SegmentSize(), 1008);
    ASSERT_TRUE(indexer.IsOpen());

    TrbWordsADSLink& link = indexer.WordsLink();
    ASSERT_TRUE(link.FindWord("PREDATOR", 0));
    EXPECT_EQ(link.Size(), 20);
    EXPECT_EQ(link.Count(), 1);
    EXPECT_TRUE(indexer.TableFTS().FieldByName(QStringLiteral("rbBlob")).AsBytes().isEmpty());
    EXPECT_EQ(link.ReadRecord(), QByteArray::fromHex("ffffffff180000000000000000000000" "01000000"));

    // Every record of segment 0: 126 bytes of 255 run-length encoded as FE FF.
    ASSERT_TRUE(link.FindWord("ALIEN", 0));
    EXPECT_EQ(link.Size(), 22);
    EXPECT_EQ(link.Count(), 1008);
    EXPECT_EQ(link.ReadRecord(), QByteArray::fromHex("10fcffff" "1a000000" "00000000" "ef030000" "05000000" "feff"));
    // The 1009th record starts segment 1.
    ASSERT_TRUE(link.FindWord("ALIEN", 1));
    EXPECT_EQ(link.Count(), 1);
    EXPECT_EQ(link.ReadRecord(), QByteArray::fromHex("ffffffff180000000000000000000000" "01000000"));
}

TEST_F(BuildTest, ThePropertiesRowRecordsTheBuildsSettings) {
    const int first = fx.AddRecord({{QStringLiteral("Title"), QStringLiteral("Alien")}});
    fx.AddRecord({{QStringLiteral("Title"), QStringLiteral("Predator")}});
    indexer.BuildIndex(1000);
    std::optional<int> minIndex;
    const TrbIndexProperties properties = indexer.WordsLink().ReadProperties(&minIndex);
    QStringList fields = TFullTextIndexer::IndexedFieldNames();
    fields.removeAll(QStringLiteral("NotesData")); // the catalogue has no such field
    EXPECT_EQ(properties.fieldNames, fields);
    EXPECT_EQ(properties.version, 2120);
    EXPECT_EQ(properties.indexFieldName, QStringLiteral("FTSNO"));
    EXPECT_EQ(properties.minWordLen, 3);
    EXPECT_EQ(properties.segmentSize, 1008);
    EXPECT_EQ(properties.wordDelims, TrbWordDelims::ProgramCaret());
    EXPECT_TRUE(properties.omitList.isEmpty());
    EXPECT_EQ(minIndex, first);
}

struct TSegmentCase {
    const char* name;
    int segmentSize;
    int records;
};
void PrintTo(const TSegmentCase& c, std::ostream* os) {
    *os << c.name;
}

class BuildReferenceTest : public ::testing::TestWithParam<TSegmentCase> {};

TEST_P(BuildReferenceTest, EveryWordHoldsExactlyTheRecordsThatContainIt) {
    TIndexFixture fx;
    TFullTextIndexer indexer(fx.catalogue, fx.folder.Path(), fx.ui);
    fx.AddGeneratedRecords(GetParam().records, 11);
    indexer.BuildIndex(GetParam().segmentSize);
    const TWordRecords reference = fx.Reference();
    ASSERT_GT(reference.size(), 30u);
    const TWordRecords stored = fx.StoredIndex();
    EXPECT_EQ(stored.size(), reference.size());
    EXPECT_TRUE(stored == reference);
    for (const auto& [word, records] : reference)
        if (stored.count(word) == 0 || stored.at(word) != records)
            ADD_FAILURE() << "differs: " << word.constData();
    EXPECT_EQ(indexer.Make().RecordsProcessed(), GetParam().records);
    EXPECT_EQ(fx.Beeps(), 0); // a build does not beep
}

INSTANTIATE_TEST_SUITE_P(Segments, BuildReferenceTest,
                         ::testing::Values(TSegmentCase{"Segments16", 16, 300},
                                           TSegmentCase{"OneSegment", 1000, 300},
                                           TSegmentCase{"Unsegmented", 0, 300},
                                           // Records far beyond position 2016 are indexed too.
                                           TSegmentCase{"FiveThousandRecords", 1000, 5000}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BuildTest, ATinyMemoryLimitGivesTheSameRows) {
    fx.AddGeneratedRecords(300, 5);
    indexer.BuildIndex(1000);
    const auto rows = RowsOf(fx);
    indexer.Cache().SetMemoryLimit(1); // 1 KB: compress and raise all the time
    indexer.BuildIndex(1000);
    EXPECT_EQ(RowsOf(fx), rows);
    EXPECT_EQ(indexer.Cache().MemoryLimit(), 1); // the raised limit was for that build
    EXPECT_GT(indexer.Cache().PeakBytes(), 1024);
}

TEST_F(BuildTest, TheCataloguesViewIsPutBack) {
    fx.AddGeneratedRecords(50, 3);
    for (const char* title : {"Alien", "Predator", "Matrix"})
        fx.AddRecord({{QStringLiteral("Title"), QLatin1String(title)}, {QStringLiteral("Owner"), QStringLiteral("Meyer")}});
    fx.catalogue.SetIndexName(QStringLiteral("TitleFilm"));
    fx.catalogue.SetFilter(QStringLiteral("Owner=Meyer"));
    fx.catalogue.SetFiltered(true);
    fx.catalogue.First();
    fx.catalogue.Next();
    const qint64 recno = fx.catalogue.RecNo();
    const int count = fx.catalogue.RecordCount();
    ASSERT_GT(count, 1);
    ASSERT_LT(count, 50);
    indexer.BuildIndex(1000);
    EXPECT_EQ(fx.catalogue.IndexName(), QStringLiteral("TitleFilm"));
    EXPECT_TRUE(fx.catalogue.Filtered());
    EXPECT_EQ(fx.catalogue.RecordCount(), count);
    EXPECT_EQ(fx.catalogue.RecNo(), recno);
    EXPECT_FALSE(fx.catalogue.ControlsDisabled());
    // The filter did not limit what was indexed.
    EXPECT_TRUE(fx.StoredIndex() == fx.Reference());
}

class TCancelAfter : public TrbEngineListener {
public:
    TCancelAfter(TrbMake& make, int records) : make_(make), records_(records) {}
    void StateChanged(int state, int) override { states << state; }
    void RecordProcessed(int) override {
        if (++seen == records_)
            make_.RequestCancel();
    }
    void RowPosted() override { ++rows; }
    QList<int> states;
    int seen = 0;
    int rows = 0;

private:
    TrbMake& make_;
    int records_;
};

TEST_F(BuildTest, ACancelledBuildLeavesNoIndexThatLooksComplete) {
    fx.AddGeneratedRecords(100, 4);
    TCancelAfter cancel(indexer.Make(), 10);
    indexer.SetBuildListener(&cancel);
    const qint64 recno = fx.catalogue.RecNo();
    indexer.BuildIndex(16);
    EXPECT_FALSE(indexer.IndexExists());
    EXPECT_FALSE(indexer.IsOpen());
    EXPECT_EQ(cancel.seen, 10);
    EXPECT_TRUE(indexer.Make().State() & TrbEngineState::CancelRequested);
    EXPECT_EQ(fx.catalogue.RecNo(), recno);
    EXPECT_EQ(fx.catalogue.TotalRecordCount(), 100);

    // The next build starts clean and runs to the end.
    indexer.SetBuildListener(nullptr);
    TCancelAfter watch(indexer.Make(), -1);
    indexer.SetBuildListener(&watch);
    indexer.BuildIndex(16);
    EXPECT_TRUE(indexer.IsOpen());
    EXPECT_EQ(watch.seen, 100);
    EXPECT_EQ(watch.rows, indexer.MakeWordsLink().RowsInserted() - 1); // all but the properties row
    ASSERT_FALSE(watch.states.isEmpty());
    EXPECT_EQ(watch.states.first(), TrbEngineState::Active);
    EXPECT_TRUE(watch.states.contains(TrbEngineState::Active | TrbEngineState::Building));
    EXPECT_TRUE(watch.states.contains(TrbEngineState::Active | TrbEngineState::Writing));
    EXPECT_TRUE(watch.states.contains(TrbEngineState::Indexing));
    EXPECT_EQ(watch.states.last(), 0);
    EXPECT_TRUE(fx.StoredIndex() == fx.Reference());
}

TEST_F(BuildTest, MissingPartsAreReportedBeforeAnythingIsTouched) {
    TrbMake make;
    EXPECT_EQ(CodeOf([&] { make.BuildIndex(); }), EQuelvan::CacheNotAssigned);
    make.SetCache(&indexer.Cache());
    EXPECT_EQ(CodeOf([&] { make.BuildIndex(); }), EQuelvan::TextLinkNotAssigned);
    make.SetTextLink(&indexer.MakeTextLink());
    EXPECT_EQ(CodeOf([&] { make.BuildIndex(); }), EQuelvan::WordsLinkNotAssigned);
    make.SetWordsLink(&indexer.MakeWordsLink());
    TrbTextADSLink empty(fx.catalogue);
    make.SetTextLink(&empty);
    EXPECT_EQ(CodeOf([&] { make.BuildIndex(); }), EQuelvan::NoFieldNamesSpecified);
    EXPECT_EQ(make.State(), 0);
    EXPECT_FALSE(indexer.IndexExists());
}

TEST_F(BuildTest, SegmentSizeRoundsUpToSixteen) {
    TrbMake make;
    const std::pair<int, int> cases[] = {{1000, 1008}, {1, 16}, {16, 16}, {17, 32}, {0, TrbMake::Unsegmented},
                                         {-5, TrbMake::Unsegmented}, {2147483632, 2147483632},
                                         {2147483633, TrbMake::Unsegmented}};
    for (const auto& [value, held] : cases) {
        make.SetSegmentSize(value);
        EXPECT_EQ(make.SegmentSize(), held) << value;
    }
}

TEST_F(BuildTest, FTSCreateNewReplacesTheWordsTable) {
    fx.AddRecord({{QStringLiteral("Title"), QStringLiteral("Alien")}});
    indexer.OpenAtStart(); // no index yet: built at start
    ASSERT_TRUE(indexer.IsOpen());
    ASSERT_TRUE(indexer.WordsLink().FindWord("ALIEN", 0));
    QFile memo(fx.folder.File(QStringLiteral("FTS.ADM")));
    ASSERT_TRUE(memo.open(QIODevice::WriteOnly)); // a leftover memo file goes too
    memo.close();
    fx.AddRecord({{QStringLiteral("Title"), QStringLiteral("Predator")}});
    ASSERT_TRUE(indexer.FTSCreateNew());
    EXPECT_FALSE(QFile::exists(fx.folder.File(QStringLiteral("FTS.ADM"))));
    EXPECT_TRUE(indexer.IsOpen());
    EXPECT_TRUE(indexer.WordsLink().FindWord("PREDATOR", 0));
    EXPECT_TRUE(fx.StoredIndex() == fx.Reference());
}

TEST_F(BuildTest, WordRowsAndIndexWordsShowWhatABuildStores) {
    fx.catalogue.BeginTransaction();
    for (int i = 0; i < 1010; ++i)
        fx.AddRecord({{QStringLiteral("Title"), QStringLiteral("Alien")}});
    fx.catalogue.Commit();
    indexer.BuildIndex(1000);
    const QList<TFullTextIndexer::TWordRow> rows = indexer.WordRows("ALIEN");
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].segment, 0);
    EXPECT_EQ(rows[0].count, 1008);
    EXPECT_EQ(rows[0].size, 22);
    EXPECT_EQ(rows[0].type, 5);
    EXPECT_EQ(rows[0].first, 0);
    EXPECT_EQ(rows[0].last, 1007);
    EXPECT_EQ(rows[1].segment, 1);
    EXPECT_EQ(rows[1].count, 2);
    EXPECT_EQ(rows[1].type, 1);
    EXPECT_EQ(rows[1].last, 1);
    EXPECT_TRUE(indexer.WordRows("PREDATOR").isEmpty());
    EXPECT_TRUE(indexer.WordRows(TrbWordsLink::PropertiesWord()).isEmpty());

    using TWord = std::pair<QByteArray, QByteArray>;
    EXPECT_EQ(indexer.IndexWords("Blade-Runner C:\\Filme\\Alien.avi HDTV 2001 M\xfcller"),
              (QList<TWord>{{"BLADE", "BL300"}, {"RUNNER", "RU560"}, {"FILME", "FI450"}, {"ALIEN", "AL500"},
                            {"AVI", "AV000"}, {"M\xdcLLER", "MU460"}}));
}

TEST_F(BuildTest, ADamagedWordsTableIsBuiltAnewAtStart) {
    fx.AddRecord({{QStringLiteral("Title"), QStringLiteral("Alien")}});
    QFile file(indexer.WordsTablePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    TrbWordsADSLink link(indexer.TableFTS());
    EXPECT_EQ(CodeOf([&] { link.Open(); }), EQuelvan::InvalidWordsDataSet);
    indexer.OpenAtStart();
    EXPECT_TRUE(indexer.IsOpen());
    EXPECT_TRUE(fx.StoredIndex() == fx.Reference());
    EXPECT_EQ(fx.catalogue.TotalRecordCount(), 1);
}

} // namespace
