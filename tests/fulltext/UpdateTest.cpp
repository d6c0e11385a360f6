#include "IndexFixture.h"

#include "fulltext/BitRecord.h"
#include "fulltext/FullTextIndexer.h"
#include "fulltext/Quelvan.h"
#include "fulltext/Update.h"
#include "fulltext/WordsADSLink.h"
#include "store/Field.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <random>

namespace {

int CodeOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const EMovarixError& e) {
        return e.Code();
    }
    return 0;
}

// The catalogue's record rules as far as the index is concerned: the
// catalogue table's events drive the indexer the way the program's record
// rules do (build when the words table is missing, one reset and retry on
// 30470).
class UpdateTest : public ::testing::Test {
protected:
    UpdateTest() { Wire(); }

    void Wire() {
        fx.catalogue.BeforeInsert = [this](TAdsTable&) { indexer->PrepareInsert(); };
        fx.catalogue.BeforeEdit = [this](TAdsTable&) { indexer->CaptureOldText(); };
        fx.catalogue.AfterPost = [this](TAdsTable& table) {
            if (table.TotalRecordCount() > 0 && !indexer->IndexExists())
                indexer->BuildIndex(segmentSize);
            if (!indexer->IsOpen())
                return;
            try {
                indexer->ApplyRecord();
            } catch (const EMovarixError& e) {
                if (e.Code() != EQuelvan::DecompressBufferTooSmall)
                    throw;
                indexer->Reset();
                indexer->ApplyRecord();
            }
        };
        fx.catalogue.AfterDelete = [this](TAdsTable&) {
            if (indexer->IsOpen())
                indexer->Refresh();
        };
    }
    void Unwire() {
        fx.catalogue.BeforeInsert = {};
        fx.catalogue.BeforeEdit = {};
        fx.catalogue.AfterPost = {};
        fx.catalogue.AfterDelete = {};
    }

    // A new program run: the old indexer closes, a new one opens the index.
    void Restart() {
        indexer.reset();
        indexer = std::make_unique<TFullTextIndexer>(fx.catalogue, fx.folder.Path(), fx.ui);
        indexer->OpenAtStart();
    }

    void EditRecord(int ftsNo, const QString& field, const QVariant& value) {
        const QString saved = fx.catalogue.IndexName();
        fx.catalogue.SetIndexName(QStringLiteral("FTSNo"));
        ASSERT_TRUE(fx.catalogue.FindKey({ftsNo}));
        fx.catalogue.Edit();
        fx.catalogue.FieldByName(field).SetValue(value);
        fx.catalogue.Post();
        fx.catalogue.SetIndexName(saved);
    }

    void DeleteRecord(int ftsNo) {
        fx.catalogue.SetIndexName(QStringLiteral("FTSNo"));
        ASSERT_TRUE(fx.catalogue.FindKey({ftsNo}));
        fx.catalogue.Delete();
    }

    // Random inserts and edits through the events.
    void RandomChanges(int count, unsigned seed) {
        std::mt19937 random(seed);
        for (int i = 0; i < count; ++i) {
            const int records = fx.catalogue.TotalRecordCount();
            if (random() % 3 == 0 || records == 0) {
                fx.AddRecord(TIndexFixture::GeneratedRecord(seed + 1, 1000 + i));
            } else {
                fx.catalogue.SetIndexName(QStringLiteral("FTSNo"));
                fx.catalogue.First();
                fx.catalogue.MoveBy(int(random() % unsigned(records)));
                const auto values = TIndexFixture::GeneratedRecord(seed + 2, i);
                fx.catalogue.Edit();
                const QString field = random() % 2 ? QStringLiteral("Title") : QStringLiteral("NotesFilm");
                fx.catalogue.FieldByName(field).SetValue(values.count(field) ? values.at(field) : QVariant());
                fx.catalogue.Post();
            }
        }
    }

    int segmentSize = TFullTextIndexer::ProgramSegmentSize;
    TIndexFixture fx;
    std::unique_ptr<TFullTextIndexer> indexer =
        std::make_unique<TFullTextIndexer>(fx.catalogue, fx.folder.Path(), fx.ui);
};

TEST_F(UpdateTest, TheFirstPostIntoAnEmptyCatalogueBuildsTheIndex) {
    EXPECT_FALSE(indexer->IndexExists());
    const int alien = fx.AddRecord({{QStringLiteral("Title"), QStringLiteral("Alien")}});
    EXPECT_TRUE(indexer->IsOpen());
    EXPECT_EQ(fx.StoredIndex(), (TWordRecords{{"ALIEN", {alien}}}));
    const int predator = fx.AddRecord({{QStringLiteral("Title"), QStringLiteral("Predator")}});
    EXPECT_EQ(fx.StoredIndex(), (TWordRecords{{"ALIEN", {alien}}, {"PREDATOR", {predator}}}));
}

TEST_F(UpdateTest, AnEditThatSwapsAlienForPredatorTouchesOnlyThoseRows) {
    const int first = fx.AddRecord({{QStringLiteral("Title"), QStringLiteral("Alien Nostromo")}});
    const int second = fx.AddRecord({{QStringLiteral("Title"), QStringLiteral("Alien")}});
    fx.ui.calls.clear();

    EditRecord(second, QStringLiteral("Title"), QStringLiteral("Predator"));
    // PREDATOR inserted, ALIEN edited (still in the first record): two rows, two beeps.
    EXPECT_EQ(fx.Beeps(), 2);
    EXPECT_EQ(fx.StoredIndex(), (TWordRecords{{"ALIEN", {first}}, {"NOSTROMO", {first}}, {"PREDATOR", {second}}}));

    fx.ui.calls.clear();
    EditRecord(first, QStringLiteral("Title"), QStringLiteral("Predator Nostromo"));
    // ALIEN's last record went: its row is deleted (no post, no beep);
    // PREDATOR edited; NOSTROMO unchanged and not written.
    EXPECT_EQ(fx.Beeps(), 1);
    EXPECT_FALSE(indexer->WordsLink().FindWord("ALIEN"));
    EXPECT_EQ(fx.StoredIndex(), (TWordRecords{{"NOSTROMO", {first}}, {"PREDATOR", {first, second}}}));

    // An edit that changes no word writes nothing.
    fx.ui.calls.clear();
    EditRecord(first, QStringLiteral("Title"), QStringLiteral("predator, NOSTROMO!"));
    EXPECT_EQ(fx.Beeps(), 0);
}

struct TUpdateCase {
    const char* name;
    int segmentSize;
    bool delayed;
    int memoryLimitKb;
};
void PrintTo(const TUpdateCase& c, std::ostream* os) {
    *os << c.name;
}

class UpdateReferenceTest : public UpdateTest, public ::testing::WithParamInterface<TUpdateCase> {};

// Random inserts and edits keep the index equal to the records, and a
// rebuild gives the same index.
TEST_P(UpdateReferenceTest, UpdatesKeepTheIndexEqualToARebuild) {
    segmentSize = GetParam().segmentSize;
    fx.AddGeneratedRecords(120, 21);
    indexer->BuildIndex(segmentSize);
    indexer->Update().SetDelayedWrites(GetParam().delayed);
    indexer->Cache().SetMemoryLimit(GetParam().memoryLimitKb);
    RandomChanges(80, 77);
    if (GetParam().delayed)
        indexer->Update().FlushCache();
    if (GetParam().memoryLimitKb == 1) {
        EXPECT_GT(indexer->Cache().Evictions(), 0);
    }
    const TWordRecords reference = fx.Reference();
    const TWordRecords updated = fx.StoredIndex();
    EXPECT_TRUE(updated == reference);
    for (const auto& [word, records] : reference)
        if (updated.count(word) == 0 || updated.at(word) != records)
            ADD_FAILURE() << "differs: " << word.constData();
    for (const auto& [word, records] : updated)
        if (reference.count(word) == 0)
            ADD_FAILURE() << "left over: " << word.constData();
    indexer->BuildIndex(segmentSize);
    EXPECT_TRUE(fx.StoredIndex() == updated);
}

INSTANTIATE_TEST_SUITE_P(Modes, UpdateReferenceTest,
                         ::testing::Values(TUpdateCase{"Immediate", 1000, false, 1000},
                                           TUpdateCase{"SmallSegments", 16, false, 1000},
                                           TUpdateCase{"Unsegmented", 0, false, 1000},
                                           TUpdateCase{"TinyCacheEvicts", 16, false, 1},
                                           TUpdateCase{"DelayedWrites", 1000, true, 1000},
                                           TUpdateCase{"DelayedWritesEvicted", 16, true, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(UpdateTest, DelayedRowsAreWrittenWhenSwitchedBackOrFlushed) {
    fx.AddRecord({{QStringLiteral("Title"), QStringLiteral("Alien")}});
    indexer->Update().SetDelayedWrites(true);
    fx.ui.calls.clear();
    const int predator = fx.AddRecord({{QStringLiteral("Title"), QStringLiteral("Predator")}});
    EXPECT_EQ(fx.Beeps(), 0);
    EXPECT_EQ(fx.StoredIndex().count("PREDATOR"), 0u);
    indexer->Update().SetDelayedWrites(false);
    EXPECT_EQ(fx.Beeps(), 1);
    EXPECT_EQ(fx.StoredIndex().at("PREDATOR"), std::set<int>{predator});

    indexer->Update().SetDelayedWrites(true);
    const int matrix = fx.AddRecord({{QStringLiteral("Title"), QStringLiteral("Matrix")}});
    indexer->Close(); // the program's close writes what is left
    EXPECT_EQ(fx.StoredIndex().at("MATRIX"), std::set<int>{matrix});
}

// Record positions are counted from the lowest record number the build saw;
// deleting that record must not shift the positions of later updates.
TEST_F(UpdateTest, DeletingTheLowestRecordDoesNotShiftLaterUpdates) {
    segmentSize = 16;
    fx.AddGeneratedRecords(40, 8);
    indexer->BuildIndex(segmentSize);
    fx.catalogue.SetIndexName(QStringLiteral("FTSNo"));
    fx.catalogue.First();
    DeleteRecord(fx.catalogue.FieldByName(QStringLiteral("FTSNo")).AsInteger());
    Restart();
    const int zebra = fx.AddRecord({{QStringLiteral("Title"), QStringLiteral("Zebra")}});
    const TWordRecords stored = fx.StoredIndex();
    EXPECT_EQ(stored.at("ZEBRA"), std::set<int>{zebra});
    // Apart from the deleted record's stale bits, the index equals the records.
    const TWordRecords reference = fx.Reference();
    for (const auto& [word, records] : reference)
        for (int record : records)
            EXPECT_TRUE(stored.at(word).count(record)) << word.constData() << " " << record;
}

// With the top records deleted, rows still hold their bits beyond the new
// highest record number; updating such a row keeps them and does not fail.
TEST_F(UpdateTest, RowsWithBitsAboveTheHighestRecordStillUpdate) {
    segmentSize = 0; // one bit set over the whole range
    int last = 0;
    int first = 0;
    fx.catalogue.BeginTransaction();
    for (int i = 0; i < 40; ++i) {
        last = fx.AddRecord({{QStringLiteral("Title"), QStringLiteral("Alien %1").arg(i)}});
        if (i == 0)
            first = last;
    }
    fx.catalogue.Commit();
    indexer->BuildIndex(segmentSize);
    Unwire();
    for (int n = last; n > last - 5; --n)
        DeleteRecord(n);
    Wire();
    Restart();
    EditRecord(first, QStringLiteral("Title"), QStringLiteral("Alien Predator"));
    const TWordRecords stored = fx.StoredIndex();
    EXPECT_EQ(stored.at("PREDATOR"), std::set<int>{first});
    EXPECT_EQ(stored.at("ALIEN").size(), 40u);
    EXPECT_TRUE(stored.at("ALIEN").count(last));
}

TEST_F(UpdateTest, RemovingAWordTheIndexNeverHadIsHarmless) {
    fx.AddRecord({{QStringLiteral("Title"), QStringLiteral("Alien")}});
    Unwire();
    const int unindexed = fx.AddRecord({{QStringLiteral("Title"), QStringLiteral("Matrix")}});
    Wire();
    EditRecord(unindexed, QStringLiteral("Title"), QStringLiteral("Predator"));
    const TWordRecords stored = fx.StoredIndex();
    EXPECT_EQ(stored.count("MATRIX"), 0u);
    EXPECT_EQ(stored.at("PREDATOR"), std::set<int>{unindexed});
}

TEST_F(UpdateTest, ADamagedRowIsReportedAndKeptAsItWas) {
    fx.catalogue.BeginTransaction();
    for (int i = 0; i < 300; ++i)
        fx.AddRecord({{QStringLiteral("Title"), i % 3 ? QStringLiteral("Alien") : QStringLiteral("Matrix")}});
    fx.catalogue.Commit();
    indexer->BuildIndex(segmentSize);
    TrbWordsADSLink& link = indexer->WordsLink();
    ASSERT_TRUE(link.FindWord("ALIEN", 0));
    ASSERT_GT(link.Size(), 28);
    TAdsTable& words = indexer->TableFTS();
    const QByteArray damaged = words.FieldByName(QStringLiteral("rbBlob")).AsBytes().chopped(1);
    words.Edit();
    words.FieldByName(QStringLiteral("rbBlob")).SetAsBytes(damaged);
    words.Post();

    fx.catalogue.Insert();
    fx.catalogue.FieldByName(QStringLiteral("Title")).SetAsString(QStringLiteral("Alien"));
    EXPECT_EQ(CodeOf([&] { fx.catalogue.Post(); }), EQuelvan::InconsistentBlobSize);
    // The record is stored, the damaged row untouched.
    EXPECT_EQ(fx.catalogue.TotalRecordCount(), 301);
    ASSERT_TRUE(link.FindWord("ALIEN", 0));
    EXPECT_EQ(words.FieldByName(QStringLiteral("rbBlob")).AsBytes(), damaged);
    EXPECT_EQ(CodeOf([&] { link.ReadRecord(); }), EQuelvan::InconsistentBlobSize);
}

TEST_F(UpdateTest, AnIndexErrorBeforeAnEditDoesNotStopTheEdit) {
    const int alien = fx.AddRecord({{QStringLiteral("Title"), QStringLiteral("Alien")}});
    // Lose the properties row: the engine cannot know its settings.
    TrbWordsADSLink& link = indexer->WordsLink();
    ASSERT_TRUE(link.FindWord(TrbWordsLink::PropertiesWord(), 0));
    indexer->TableFTS().Delete();
    indexer->Reset();
    const QString saved = fx.catalogue.IndexName();
    fx.catalogue.SetIndexName(QStringLiteral("FTSNo"));
    ASSERT_TRUE(fx.catalogue.FindKey({alien}));
    fx.catalogue.Edit(); // no error here
    fx.catalogue.FieldByName(QStringLiteral("Title")).SetAsString(QStringLiteral("Predator"));
    EXPECT_EQ(CodeOf([&] { fx.catalogue.Post(); }), EQuelvan::PropertiesNotFound);
    EXPECT_EQ(fx.catalogue.FieldByName(QStringLiteral("Title")).AsString(), QStringLiteral("Predator"));
    EXPECT_EQ(fx.catalogue.State(), TAdsTable::TState::Browse);
    fx.catalogue.SetIndexName(saved);
}

TEST_F(UpdateTest, ACapturedDeleteClearsTheRecordsBits) {
    const int alien = fx.AddRecord({{QStringLiteral("Title"), QStringLiteral("Alien Nostromo")}});
    const int both = fx.AddRecord({{QStringLiteral("Title"), QStringLiteral("Alien Predator")}});
    fx.catalogue.SetIndexName(QStringLiteral("FTSNo"));
    ASSERT_TRUE(fx.catalogue.FindKey({alien}));
    indexer->Update().CaptureDelete();
    EXPECT_EQ(indexer->Update().Phase(), TrbUpdate::TPhase::DeleteCaptured);
    fx.catalogue.Delete();
    indexer->Update().ApplyDelete();
    EXPECT_EQ(indexer->Update().Phase(), TrbUpdate::TPhase::Idle);
    // The lowest record went: positions stay because the index fixed them.
    EXPECT_EQ(fx.StoredIndex(), (TWordRecords{{"ALIEN", {both}}, {"PREDATOR", {both}}}));
    EXPECT_EQ(fx.StoredIndex(), fx.Reference());
}

TEST_F(UpdateTest, StopWordsOfTheBuildStayOutOfUpdates) {
    segmentSize = 16;
    fx.catalogue.BeginTransaction();
    for (int i = 0; i < 40; ++i)
        fx.AddRecord({{QStringLiteral("Title"), QStringLiteral("Alien Matrix")}});
    fx.catalogue.Commit();
    indexer->Make().Parser().SetOmitList({"Alien"});
    indexer->BuildIndex(segmentSize);
    // Every segment, not only the first, leaves the stop word out.
    TWordRecords stored = fx.StoredIndex();
    EXPECT_EQ(stored.count("ALIEN"), 0u);
    EXPECT_EQ(stored.at("MATRIX").size(), 40u);
    const int zebra = fx.AddRecord({{QStringLiteral("Title"), QStringLiteral("alien zebra")}});
    stored = fx.StoredIndex();
    EXPECT_EQ(stored.count("ALIEN"), 0u);
    EXPECT_EQ(stored.at("ZEBRA"), std::set<int>{zebra});
}

TEST_F(UpdateTest, ARefreshNeverFailsButTheNextPostReports) {
    fx.AddRecord({{QStringLiteral("Title"), QStringLiteral("Alien")}});
    ASSERT_TRUE(indexer->WordsLink().FindWord(TrbWordsLink::PropertiesWord(), 0));
    indexer->TableFTS().Delete();
    EXPECT_EQ(CodeOf([&] { indexer->Refresh(); }), 0);
    fx.catalogue.Insert();
    fx.catalogue.FieldByName(QStringLiteral("Title")).SetAsString(QStringLiteral("Predator"));
    EXPECT_EQ(CodeOf([&] { fx.catalogue.Post(); }), EQuelvan::PropertiesNotFound);
    EXPECT_EQ(fx.catalogue.TotalRecordCount(), 2);
}

TEST_F(UpdateTest, TheIndexSurvivesARestart) {
    fx.AddGeneratedRecords(60, 31);
    indexer->BuildIndex(16);
    Restart();
    segmentSize = 16;
    RandomChanges(30, 5);
    Restart();
    RandomChanges(30, 6);
    EXPECT_TRUE(fx.StoredIndex() == fx.Reference());
}

} // namespace
