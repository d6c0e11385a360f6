// The index plugged into the catalogue's record rules, as the program runs it.

#include "app/ZebINI.h"
#include "catalogue/CatalogueSession.h"
#include "fulltext/FullTextIndexer.h"
#include "store/Field.h"
#include "support/RecordingUserInterface.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class SessionIndexTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings.SetINIFileName(folder.File(QStringLiteral("Talmer-DVD.ini")));
        session = std::make_unique<TCatalogueSession>(folder.Path(), settings, ui);
        ASSERT_TRUE(session->Open());
        indexer = std::make_unique<TFullTextIndexer>(session->TableDVD(), folder.Path(), ui);
        session->SetIndexer(indexer.get());
        indexer->OpenAtStart();
        ASSERT_TRUE(session->SelectKind(TDvdKind::Film));
        ui.calls.clear();
    }
    void TearDown() override {
        session->SetIndexer(nullptr);
        indexer.reset();
        session.reset();
    }

    TAdsTable& Table() { return session->TableDVD(); }
    int Beeps() const { return int(ui.calls.count(QStringLiteral("beep"))); }
    // Segment and record bits of a word, "segment:first-last/count" each.
    QStringList Rows(const QByteArray& word) {
        QStringList rows;
        for (const auto& row : indexer->WordRows(word))
            rows << QStringLiteral("%1:%2-%3/%4").arg(row.segment).arg(row.first).arg(row.last).arg(row.count);
        return rows;
    }

    TTempFolder folder;
    TRecordingUserInterface ui;
    TZebINI settings{QStringLiteral("ZebINI_Prog"), folder.Path()};
    std::unique_ptr<TCatalogueSession> session;
    std::unique_ptr<TFullTextIndexer> indexer;
};

TEST_F(SessionIndexTest, TheRecordRulesKeepTheIndexCurrent) {
    EXPECT_FALSE(indexer->IndexExists()); // an empty catalogue builds nothing at start

    // The first post finds no words table: a build, then the update.
    Table().Insert();
    Table().FieldByName(QStringLiteral("Title")).SetAsString(QStringLiteral("Alien"));
    Table().Post();
    EXPECT_TRUE(indexer->IsOpen());
    EXPECT_EQ(Rows("ALIEN"), QStringList{"0:0-0/1"});

    Table().Insert();
    Table().FieldByName(QStringLiteral("Title")).SetAsString(QStringLiteral("Alien Nostromo"));
    Table().Post();
    EXPECT_EQ(Rows("ALIEN"), QStringList{"0:0-1/2"});
    EXPECT_EQ(Rows("NOSTROMO"), QStringList{"0:1-1/1"});

    // Edit the first record: ALIEN loses it, PREDATOR is new. Two rows written.
    Table().SetIndexName(QStringLiteral("FTSNo"));
    Table().First();
    ui.calls.clear();
    Table().Edit();
    Table().FieldByName(QStringLiteral("Title")).SetAsString(QStringLiteral("Predator"));
    Table().Post();
    EXPECT_EQ(Beeps(), 2);
    EXPECT_EQ(Rows("ALIEN"), QStringList{"0:1-1/1"});
    EXPECT_EQ(Rows("PREDATOR"), QStringList{"0:0-0/1"});

    // A delete leaves the record's bits; the next post still lands right.
    Table().First();
    Table().Delete();
    Table().Insert();
    Table().FieldByName(QStringLiteral("Title")).SetAsString(QStringLiteral("Zebra"));
    Table().Post();
    EXPECT_EQ(Rows("ZEBRA"), QStringList{"0:2-2/1"});
    EXPECT_EQ(Rows("PREDATOR"), QStringList{"0:0-0/1"});
}

} // namespace
