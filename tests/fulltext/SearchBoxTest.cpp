// The search of the search box through the catalogue session: marks, the
// filter of the kind shown, the messages and the flags.

#include "app/ZebINI.h"
#include "catalogue/CatalogueSession.h"
#include "catalogue/CatalogueStatus.h"
#include "fulltext/Expression.h"
#include "fulltext/FullTextIndexer.h"
#include "support/RecordingUserInterface.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class TGaugeStatus : public TCatalogueStatus {
public:
    QStringList captions;
    void SetProgressCaption(const QString& caption) override { captions << caption; }
};

class SearchBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings.SetINIFileName(folder.File(QStringLiteral("Talmer-DVD.ini")));
        session = std::make_unique<TCatalogueSession>(folder.Path(), settings, ui, &status);
        ASSERT_TRUE(session->Open());
        indexer = std::make_unique<TFullTextIndexer>(session->TableDVD(), folder.Path(), ui);
        session->SetIndexer(indexer.get());
        session->SetSearcher(indexer.get());
    }
    void TearDown() override {
        session->SetSearcher(nullptr);
        session->SetIndexer(nullptr);
        indexer.reset();
    }
    void Add(TDvdKind kind, const QString& title, int count = 1) {
        session->SelectKind(kind);
        TAdsTable& table = session->TableDVD();
        for (int i = 0; i < count; ++i) {
            table.Insert();
            table.FieldByName(QStringLiteral("Title")).SetAsString(title);
            table.Post();
        }
    }
    QStringList Titles() {
        QStringList titles;
        TAdsTable& table = session->TableDVD();
        for (table.First(); !table.Eof() && !table.IsEmpty(); table.Next())
            titles << table.FieldByName(QStringLiteral("Title")).AsString();
        return titles;
    }

    TTempFolder folder;
    TRecordingUserInterface ui;
    TGaugeStatus status;
    TZebINI settings{QStringLiteral("ZebINI_Prog"), folder.Path()};
    std::unique_ptr<TCatalogueSession> session;
    std::unique_ptr<TFullTextIndexer> indexer;
};

TEST_F(SearchBoxTest, MarksTheMatchesOfTheKindShownAndFiltersToThem) {
    Add(TDvdKind::Film, QStringLiteral("Alien Resurrection"));
    Add(TDvdKind::Film, QStringLiteral("Predator"));
    Add(TDvdKind::Film, QStringLiteral("Alien vs Predator"));
    Add(TDvdKind::Music, QStringLiteral("Alien Soundtrack"));
    ASSERT_TRUE(indexer->IsOpen());
    ASSERT_TRUE(session->SelectKind(TDvdKind::Film));
    session->TitleClick(QStringLiteral("Title"));

    status.captions.clear();
    session->VolltextSucheStarten(QStringLiteral("alien"));
    EXPECT_FALSE(session->SearchRunning());
    EXPECT_FALSE(session->Marking());
    EXPECT_EQ(session->FilterCounter(), 1);
    EXPECT_TRUE(status.captions.first().startsWith(QStringLiteral("3 Treffer (")));
    EXPECT_EQ(status.captions.last(), QStringLiteral("2 Treffer"));
    TAdsTable& table = session->TableDVD();
    EXPECT_TRUE(table.Filtered());
    EXPECT_EQ(table.IndexName(), QStringLiteral("InternFilterFilm"));
    EXPECT_EQ(Titles(), (QStringList{"Alien Resurrection", "Alien vs Predator"}));

    // The second search's marks alone make the view, even where both match.
    session->VolltextSucheStarten(QStringLiteral("predator"));
    EXPECT_EQ(session->FilterCounter(), 2);
    EXPECT_EQ(Titles(), (QStringList{"Predator", "Alien vs Predator"})); // one mark number: record order

    // Filter-Reset brings back every film in the order chosen before.
    session->FilterReset();
    EXPECT_EQ(table.IndexName(), QStringLiteral("TitleFilm"));
    EXPECT_EQ(Titles(), (QStringList{"Alien Resurrection", "Alien vs Predator", "Predator"}));
}

TEST_F(SearchBoxTest, MatchesOnlyInAnotherKindOrNowhere) {
    Add(TDvdKind::Music, QStringLiteral("Mozart Requiem"));
    Add(TDvdKind::Film, QStringLiteral("Metropolis"));
    ASSERT_TRUE(session->SelectKind(TDvdKind::Film));
    ui.calls.clear();
    session->VolltextSucheStarten(QStringLiteral("mozart"));
    EXPECT_EQ(status.captions.last(), QStringLiteral("0 Treffer"));
    EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("Suchbegriff in Film-DVD`s nicht gefunden !")});
    EXPECT_FALSE(session->TableDVD().Filtered());
    EXPECT_EQ(session->TableDVD().IndexName(), QStringLiteral("DVDNoFilm"));

    ui.calls.clear();
    session->VolltextSucheStarten(QString()); // an empty box finds nothing
    EXPECT_EQ(status.captions.last(), QStringLiteral("Nicht´s gefunden"));
    EXPECT_EQ(ui.Messages(),
              QStringList{QStringLiteral("Suchbegriff in keiner DVD-Kategorie (Film-DVD, Musik- und Daten-DVD) gefunden !")});

    // An error of the engine leaves both flags cleared.
    indexer->SearchEngine().SetSearchLogic(slExpression);
    EXPECT_THROW(session->VolltextSucheStarten(QStringLiteral("(metropolis")), EExpression);
    EXPECT_FALSE(session->SearchRunning());
    EXPECT_FALSE(session->Marking());
}

TEST_F(SearchBoxTest, TheMatchLimitIsNamedAsItStands) {
    EXPECT_EQ(indexer->MatchLimit(), 500);
    indexer->MatchMaker().SetMatchLimit(5); // the rule, on a catalogue small enough for a test
    Add(TDvdKind::Film, QStringLiteral("Serie Folge"), 8);
    ui.calls.clear();
    session->VolltextSucheStarten(QStringLiteral("folge"));
    EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("Eingestelltes Limit von 5 Sätzen erreicht!")});
    EXPECT_EQ(status.captions.last(), QStringLiteral("5 Treffer"));
    EXPECT_EQ(session->TableDVD().RecordCount(), 5);
}

} // namespace
