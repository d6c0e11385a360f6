#include "app/ZebINI.h"
#include "catalogue/CatalogueIndexer.h"
#include "catalogue/CatalogueSession.h"
#include "catalogue/CatalogueStatus.h"
#include "catalogue/ColumnList.h"
#include "catalogue/Datenbank.h"
#include "catalogue/ValueLists.h"
#include "exchange/SemicolonImport.h"
#include "platform/MovarixError.h"
#include "platform/TextFile.h"
#include "support/RecordingUserInterface.h"
#include "support/TempFolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QString kRefused = QStringLiteral("Wichtige Felder sind noch leer, Daten eingeben oder Neuanlage abbrechen !");

class CatalogueSessionTest : public ::testing::Test {
protected:
    void SetUp() override { Start(); }

    // A fresh catalogue and settings file in the test's folder.
    void Start() {
        session.reset();
        for (const QString& name : QDir(folder.Path()).entryList(QDir::Files))
            QFile::remove(folder.File(name));
        ui.calls.clear();
        settings.SetINIFileName(folder.File(QStringLiteral("Talmer-DVD.ini")));
        session = std::make_unique<TCatalogueSession>(folder.Path(), settings, ui);
        ASSERT_TRUE(session->Open());
        ui.calls.clear();
        ASSERT_TRUE(session->SelectKind(TDvdKind::Film));
    }

    TAdsTable& Table() { return session->TableDVD(); }

    // Inserts as the "+" button does, sets the values, posts.
    void Add(TDvdKind kind, std::initializer_list<std::pair<const char*, QString>> values) {
        if (session->CurrentKind() != kind) {
            ASSERT_TRUE(session->SelectKind(kind));
        }
        Table().Insert();
        for (const auto& [name, value] : values)
            Table().FieldByName(QString::fromLatin1(name)).SetAsString(value);
        Table().Post();
    }

    QString Current(const char* field) { return Table().FieldByName(QString::fromLatin1(field)).AsString(); }

    QStringList ViewColumn(const char* field) {
        QStringList values;
        for (Table().First(); !Table().Eof() && !Table().IsEmpty(); Table().Next())
            values << Current(field);
        return values;
    }

    TTempFolder folder;
    TRecordingUserInterface ui;
    TZebINI settings{QStringLiteral("ZebINI_Prog"), folder.Path()};
    std::unique_ptr<TCatalogueSession> session;
};

TEST_F(CatalogueSessionTest, DiscNumbersFollowTheSettings) {
    const struct {
        const char* name;
        bool automatic;
        bool gaps;
        QStringList film;     // disc numbers of the film records already there
        QStringList music;    // and of the music records
        QString expected;     // disc number of the next new film record
        int lastAfterPost;    // "LastDVDNo" afterwards
    } cases[] = {
        {"first automatic number", true, false, {}, {}, "2", 2},
        {"manual numbering still counts", false, false, {}, {}, "", 2},
        {"gap search starts at 0", true, true, {"1", "2", "4"}, {}, "0", 0},
        {"gap after 0", true, true, {"0", "1", "2", "4"}, {"3"}, "3", 3},
        {"other kinds do not count", true, true, {"0", "2"}, {"1"}, "1", 1},
        {"empty and letters are 0", true, true, {"", "abc", "1"}, {}, "2", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Start();
        settings.INIWriteBool(QStringLiteral("Main"), QStringLiteral("DVDNrInc"), c.automatic);
        settings.INIWriteBool(QStringLiteral("Main"), QStringLiteral("LueckenNutzen"), c.gaps);
        settings.INIDeleteKey(QStringLiteral("Main"), QStringLiteral("LastDVDNo"));
        for (const QString& no : c.music)
            Add(TDvdKind::Music, {{"Title", QStringLiteral("m")}, {"DVDNo", no}});
        for (const QString& no : c.film)
            Add(TDvdKind::Film, {{"Title", QStringLiteral("f")}, {"DVDNo", no}});
        settings.INIDeleteKey(QStringLiteral("Main"), QStringLiteral("LastDVDNo"));
        session->SetLastDiscNumber(1);

        Table().Insert();
        EXPECT_EQ(Current("DVDNo"), c.expected);
        EXPECT_TRUE(Table().FieldByName(QStringLiteral("FilmDVD")).AsBoolean());
        EXPECT_FALSE(Table().FieldByName(QStringLiteral("MusicDVD")).AsBoolean());
        EXPECT_FALSE(Table().FieldByName(QStringLiteral("THX")).IsNull());
        Table().FieldByName(QStringLiteral("Title")).SetAsString(QStringLiteral("new"));
        Table().Post();
        EXPECT_EQ(settings.INIReadInteger(QStringLiteral("Main"), QStringLiteral("LastDVDNo"), -1), c.lastAfterPost);
    }
}

TEST_F(CatalogueSessionTest, NextNumbersCountOnAndLettersLeaveTheLastNumber) {
    settings.INIWriteBool(QStringLiteral("Main"), QStringLiteral("DVDNrInc"), true);
    Add(TDvdKind::Film, {{"Title", QStringLiteral("a")}});
    Table().Insert();
    EXPECT_EQ(Current("DVDNo"), QStringLiteral("3"));
    Table().FieldByName(QStringLiteral("DVDNo")).SetAsString(QStringLiteral("A-17"));
    Table().FieldByName(QStringLiteral("Title")).SetAsString(QStringLiteral("b"));
    Table().Post();
    EXPECT_EQ(Current("DVDNo"), QStringLiteral("A-17")); // stored as typed
    EXPECT_EQ(settings.INIReadInteger(QStringLiteral("Main"), QStringLiteral("LastDVDNo"), -1), 3);
}

TEST_F(CatalogueSessionTest, EmptyNewRecordsAreRefused) {
    Table().Insert();
    Table().FieldByName(QStringLiteral("Group")).SetAsString(QStringLiteral("Gruppe"));
    Table().FieldByName(QStringLiteral("NotesFilm")).SetAsString(QStringLiteral("note"));
    Table().FieldByName(QStringLiteral("DVDNo")).SetAsString(QStringLiteral("5"));
    EXPECT_THROW(Table().Post(), EAbort);
    EXPECT_EQ(ui.Messages(), QStringList{kRefused});
    EXPECT_EQ(Table().State(), TAdsTable::TState::Insert);
    Table().FieldByName(QStringLiteral("Title")).SetAsString(QStringLiteral("only a title"));
    Table().Post();
    EXPECT_EQ(Table().RecordCount(), 1);
    // An edited record passes unchecked.
    Table().Edit();
    Table().FieldByName(QStringLiteral("Title")).Clear();
    Table().Post();
    // A kind switch with a refused record stays on the old kind.
    Table().Insert();
    EXPECT_FALSE(session->SelectKind(TDvdKind::Music));
    EXPECT_EQ(session->CurrentKind(), TDvdKind::Film);
}

TEST_F(CatalogueSessionTest, ReferenceNumbersAreTimeStampsMadeAgainWhenEqual) {
    EXPECT_EQ(TCatalogueSession::ReferenceNumber(QDateTime(QDate(2026, 12, 9), QTime(16, 5, 7, 381))),
              QStringLiteral("0912202616050738"));
    EXPECT_EQ(TCatalogueSession::ReferenceNumber(QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5, 9))),
              QStringLiteral("0201202603040500"));

    QList<QDateTime> moments = {QDateTime(QDate(2026, 12, 9), QTime(16, 5, 7, 381)),
                                QDateTime(QDate(2026, 12, 9), QTime(16, 5, 7, 389)),
                                QDateTime(QDate(2026, 12, 9), QTime(16, 5, 7, 439))};
    int asked = 0;
    session->SetClock([&] { return moments.at(asked++); });
    Add(TDvdKind::Film, {{"Title", QStringLiteral("one")}});
    Add(TDvdKind::Film, {{"Title", QStringLiteral("two")}});
    EXPECT_EQ(asked, 3); // the second insert took the time twice
    EXPECT_EQ(Current("RefNr_DVD"), QStringLiteral("0912202616050743"));
    EXPECT_EQ(session->LastReference(), QStringLiteral("0912202616050743"));
}

TEST_F(CatalogueSessionTest, KindsAreViewsOrderedByDiscNumberOrTitle) {
    for (const char* no : {"10", "2", "", "abc"})
        Add(TDvdKind::Film, {{"Title", QStringLiteral("t%1").arg(QLatin1String(no))}, {"DVDNo", QString::fromLatin1(no)}});
    Add(TDvdKind::Music, {{"Title", QStringLiteral("both")}, {"FilmDVD", QStringLiteral("T")}});
    ASSERT_TRUE(session->SelectKind(TDvdKind::Film));
    EXPECT_EQ(session->SavedIndexName(), QStringLiteral("DVDNoFilm"));
    EXPECT_EQ(ViewColumn("DVDNo"), (QStringList{"", "abc", "", "2", "10"}));
    session->TitleClick(QStringLiteral("title"));
    EXPECT_EQ(session->SavedIndexName(), QStringLiteral("TitleFilm"));
    EXPECT_EQ(ViewColumn("Title"), (QStringList{"both", "t", "t10", "t2", "tabc"}));
    session->TitleClick(QStringLiteral("Owner"));
    EXPECT_EQ(ui.calls.mid(ui.calls.size() - 2),
              (QStringList{"notice caption: Hinweis (5 s)",
                           "notice: Angeklicktes Feld ist nicht indiziert, Sortierung nicht umgeschaltet !"}));
    EXPECT_EQ(Table().IndexName(), QStringLiteral("TitleFilm"));
    ASSERT_TRUE(session->SelectKind(TDvdKind::Music));
    EXPECT_EQ(ViewColumn("Title"), QStringList{"both"});
    ASSERT_TRUE(session->SelectKind(TDvdKind::Data));
    EXPECT_TRUE(Table().IsEmpty());
}

TEST_F(CatalogueSessionTest, SwitchingKindsEndsAFilterWithANotice) {
    Add(TDvdKind::Film, {{"Title", QStringLiteral("a")}, {"InternFilter", QStringLiteral("7")}});
    Add(TDvdKind::Film, {{"Title", QStringLiteral("b")}});
    Table().SetIndexName(QStringLiteral("InternFilterFilm"));
    Table().SetFilter(QStringLiteral("InternFilter=7"));
    Table().SetFiltered(true);
    EXPECT_EQ(Table().RecordCount(), 1);
    ui.calls.clear();
    ASSERT_TRUE(session->SelectKind(TDvdKind::Music));
    EXPECT_FALSE(Table().Filtered());
    EXPECT_EQ(ui.Messages(),
              QStringList{QStringLiteral("Wechsel des DVD-Typs (Film, Musik, Daten) , zuvor gesetzter Filter abgeschaltet!")});
    EXPECT_EQ(Table().IndexName(), QStringLiteral("DVDNoMusic"));

    // Filter-Reset returns to the saved order with every record of the kind.
    ASSERT_TRUE(session->SelectKind(TDvdKind::Film));
    session->TitleClick(QStringLiteral("Title"));
    Table().SetIndexName(QStringLiteral("InternFilterFilm"));
    Table().SetFiltered(true);
    session->FilterReset();
    EXPECT_EQ(Table().IndexName(), QStringLiteral("TitleFilm"));
    EXPECT_EQ(ViewColumn("Title"), (QStringList{"a", "b"}));
}

TEST_F(CatalogueSessionTest, CopyAndPasteAcrossKinds) {
    session->Paste();
    EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("Kopieren Sie erst einen Satz !")});
    EXPECT_TRUE(Table().IsEmpty());
    session->Copy();
    EXPECT_EQ(ui.Messages().last(), QStringLiteral("Es existieren noch keine Datensätze zum Kopieren !"));

    Add(TDvdKind::Film, {{"Title", QStringLiteral("Alien")}, {"DVDNo", QStringLiteral("7")},
                         {"NotesFilm", QStringLiteral("Ripley")}, {"Price", QStringLiteral("9.99")}});
    const QString reference = Current("RefNr_DVD");
    session->Copy();
    ASSERT_TRUE(session->SelectKind(TDvdKind::Music));
    ui.calls.clear();
    session->Paste();
    EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("Satz eingefügt !")});
    EXPECT_TRUE(Table().IsEmpty()); // the pasted record is a film record

    ASSERT_TRUE(session->SelectKind(TDvdKind::Film));
    Table().SetIndexName(QStringLiteral("FTSNo"));
    ASSERT_TRUE(Table().FindKey({session->LastPastedFtsNo()}));
    EXPECT_EQ(Current("Title"), QStringLiteral("Alien"));
    EXPECT_EQ(Current("DVDNo"), QStringLiteral("7"));
    EXPECT_EQ(Current("RefNr_DVD"), reference);
    EXPECT_EQ(Current("NotesFilm"), QStringLiteral("Ripley"));
    EXPECT_FALSE(Table().FieldByName(QStringLiteral("MusicDVD")).AsBoolean());
    EXPECT_EQ(Table().FieldByName(QStringLiteral("FTSNo")).AsInteger(), 2);
    EXPECT_EQ(Table().RecordCount(), 2);
}

// The full-text index as the record rules see it: every call recorded; the
// first ApplyRecord may fail with the engine's buffer error.
class TRecordingIndexer : public TCatalogueIndexer {
public:
    QStringList calls;
    bool open = true;
    int failuresLeft = 0;
    bool IsOpen() const override { return open; }
    bool IndexExists() const override { return open; }
    void BuildIndex(int segmentSize) override { calls << QStringLiteral("BuildIndex %1").arg(segmentSize); }
    void PrepareInsert() override { calls << QStringLiteral("PrepareInsert"); }
    void CaptureOldText() override { calls << QStringLiteral("CaptureOldText"); }
    void ApplyRecord() override {
        calls << QStringLiteral("ApplyRecord");
        if (failuresLeft-- > 0)
            throw EMovarixError(QStringLiteral("Decompress buffer too small"), 30470);
    }
    void Reset() override { calls << QStringLiteral("Reset"); }
    void Refresh() override { calls << QStringLiteral("Refresh"); }
    void ResetSearch() override { calls << QStringLiteral("ResetSearch"); }
};

TEST_F(CatalogueSessionTest, RecordRulesTellTheIndexWhatChanged) {
    TRecordingIndexer indexer;
    session->SetIndexer(&indexer);
    indexer.failuresLeft = 1;
    Add(TDvdKind::Film, {{"Title", QStringLiteral("a")}});
    EXPECT_EQ(indexer.calls, (QStringList{"PrepareInsert", "ApplyRecord", "Reset", "ApplyRecord"}));

    indexer.calls.clear();
    Table().Edit();
    Table().FieldByName(QStringLiteral("Title")).SetAsString(QStringLiteral("b"));
    Table().Post();
    session->SetSearchRunning(true);
    Table().Edit(); // a search marking records captures nothing
    session->SetMarking(true);
    Table().Post(); // and applies nothing
    session->SetSearchRunning(false);
    session->SetMarking(false);
    Table().Delete();
    EXPECT_EQ(indexer.calls, (QStringList{"CaptureOldText", "ApplyRecord", "Refresh", "ResetSearch"}));

    // A pasted record is applied again once its copied values are written.
    Add(TDvdKind::Film, {{"Title", QStringLiteral("c")}});
    session->Copy();
    indexer.calls.clear();
    session->Paste();
    EXPECT_EQ(indexer.calls, (QStringList{"PrepareInsert", "ApplyRecord", "CaptureOldText", "ApplyRecord"}));

    indexer.failuresLeft = 2; // a second failure reaches the user; the record is stored
    EXPECT_THROW(Add(TDvdKind::Film, {{"Title", QStringLiteral("d")}}), EMovarixError);
    EXPECT_EQ(Current("Title"), QStringLiteral("d"));
    session->SetIndexer(nullptr);
}

TEST_F(CatalogueSessionTest, UpgradedTableRewritesTheFilmGridFile) {
    // The fresh table gained THX at its first start: GridFilm.txt holds the
    // design list with the THX column appended.
    const auto columns = TColumnList::LoadFile(folder.File(QStringLiteral("GridFilm.txt")));
    ASSERT_TRUE(columns.has_value());
    EXPECT_EQ(*columns, TColumnList::FilmDesignList() + QList<TColumnDef>{TColumnDef::Parse(QStringLiteral("THX\t20\tTHX"))});
}

TEST(ColumnListTest, DefaultAndDesignListsAndFiles) {
    EXPECT_EQ(TColumnList::DefaultList(TDvdKind::Film).size(), 28);
    EXPECT_EQ(TColumnList::DefaultList(TDvdKind::Music).size(), 26);
    EXPECT_EQ(TColumnList::DefaultList(TDvdKind::Data).size(), 20);
    EXPECT_EQ(TColumnList::DefaultList(TDvdKind::Music).last().ToLine(), QStringLiteral("NotesFilm\t10\tSänger/Band/Crew"));
    const QList<TColumnDef> design = TColumnList::FilmDesignList();
    ASSERT_EQ(design.size(), 50);
    EXPECT_EQ(design[0].ToLine(), QStringLiteral("Title\t50\tTitel\tF"));
    EXPECT_EQ(design[1].ToLine(), QStringLiteral("DVDNo\t10\tDVDNo\tF"));
    EXPECT_EQ(design.last().field, QStringLiteral("FTSNo"));
    auto line = [&](const char* field) {
        for (const TColumnDef& column : design)
            if (column.field == QLatin1String(field))
                return column.ToLine();
        return QString();
    };
    EXPECT_EQ(line("Path"), QStringLiteral("Path\t239\tPath\tF"));
    EXPECT_EQ(line("Producer"), QStringLiteral("Producer\t20\tProducer\tF"));
    EXPECT_EQ(line("Script"), QStringLiteral("Script\t20\tScript\tF"));
    EXPECT_EQ(line("LengthMinute"), QStringLiteral("LengthMinute\t4\tLengthMinute\tF"));
    EXPECT_EQ(line("MarkedUser"), QStringLiteral("MarkedUser\t6\tMarkedUser\tF"));
    EXPECT_EQ(line("Date"), QStringLiteral("Date\t10\tDate\tF"));
    EXPECT_EQ(line("Price"), QStringLiteral("Price\t10\tPrice\tF"));
    for (const char* absent : {"NotesMusic", "NotesOther", "NotesMore", "US-Ratings", "SoundFormat", "Genre", "Anamorph"})
        EXPECT_TRUE(line(absent).isEmpty()) << absent;

    TTempFolder folder;
    const QString path = folder.File(QStringLiteral("GridMusic.txt"));
    EXPECT_FALSE(TColumnList::LoadFile(path).has_value());
    TTextFile::WriteAtomically(path, QByteArray("Title\t5\tT\n")); // exactly 10 bytes: ignored
    EXPECT_FALSE(TColumnList::LoadFile(path).has_value());
    EXPECT_EQ(TColumnList::ForKind(TDvdKind::Music, folder.Path()), TColumnList::DefaultList(TDvdKind::Music));
    const QList<TColumnDef> mine = {{"Title", 30, "Titel", ""}, {"Genre", 12, "Gattung", ""}};
    TColumnList::SaveFile(path, mine);
    EXPECT_EQ(TColumnList::ForKind(TDvdKind::Music, folder.Path()), mine);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("Title\t30\tTitel\r\nGenre\t12\tGattung\r\n"));
}

TEST(ValueListTest, EnterExitAndTheirFiles) {
    TTempFolder folder;
    TValueLists lists;
    TValueList& group = *lists.Find(QStringLiteral("Group"), TDvdKind::Film);
    EXPECT_TRUE(group.PageItems().isEmpty());
    group.Enter(folder.Path());
    EXPECT_EQ(group.PageItems(), QStringList{QStringLiteral("Gruppe")});
    EXPECT_EQ(group.GridItems(), QStringList{QStringLiteral("Gruppe")});
    EXPECT_FALSE(group.Exit(folder.Path(), QStringLiteral("Gruppe"))); // an existing item writes nothing
    EXPECT_FALSE(QFile::exists(folder.File(QStringLiteral("FilmBoxGroup.txt"))));
    EXPECT_TRUE(group.Exit(folder.Path(), QStringLiteral("Krimi")));
    EXPECT_EQ(TTextFile::ReadLines(folder.File(QStringLiteral("FilmBoxGroup.txt"))), (QStringList{"Gruppe", "Krimi"}));
    EXPECT_TRUE(group.CloseUp(folder.Path(), QString(), QStringLiteral("krimi"))); // letter case counts
    EXPECT_EQ(group.GridItems(), (QStringList{"Gruppe", "krimi"}));
    EXPECT_EQ(TTextFile::ReadLines(folder.File(QStringLiteral("FilmBoxGroup.txt"))), (QStringList{"Gruppe", "krimi"}));

    // Music qualities keep to their own file; file names match without case.
    TValueList& musicTech = *lists.Find(QStringLiteral("TechQuality"), TDvdKind::Music);
    EXPECT_EQ(musicTech.PageItems(), TValueLists::Grades());
    musicTech.Exit(folder.Path(), QStringLiteral("7 (Kratzer)"));
    EXPECT_TRUE(QFile::exists(folder.File(QStringLiteral("MusicBoxTechQuali.txt"))));
    EXPECT_FALSE(QFile::exists(folder.File(QStringLiteral("FilmBoxTechQuali.txt"))));
    QFile::rename(folder.File(QStringLiteral("MusicBoxTechQuali.txt")), folder.File(QStringLiteral("MUSICBOXTECHQUALI.TXT")));

    // The film sound box's new value reaches the music sound box at the next start.
    lists.Find(QStringLiteral("SoundFormat"), TDvdKind::Film)->Exit(folder.Path(), QStringLiteral("Atmos"));
    TValueLists next;
    next.LoadAtStart(folder.Path());
    EXPECT_TRUE(next.Find(QStringLiteral("SoundFormat"), TDvdKind::Music)->PageItems().contains(QStringLiteral("Atmos")));
    EXPECT_EQ(next.Find(QStringLiteral("TechQuality"), TDvdKind::Music)->PageItems().last(), QStringLiteral("7 (Kratzer)"));
    EXPECT_EQ(next.Find(QStringLiteral("Group"), TDvdKind::Data)->PageItems(), QStringList());
}

TEST_F(CatalogueSessionTest, ImportsSemicolonLines) {
    auto import = [&](const QStringList& fields, const QByteArray& bytes) {
        const QString path = folder.File(QStringLiteral("import.txt"));
        TTextFile::WriteAtomically(path, bytes);
        return TSemicolonImport(*session, fields).Run(path);
    };
    ASSERT_TRUE(session->SelectKind(TDvdKind::Music));
    EXPECT_EQ(import({"Title", "Price", "FilmDVD"}, "Alien;12,50;wahr\r\nBrazil\nSolaris;;falsch;extra\r\n"), 3);
    Table().SetIndexName(QStringLiteral("FTSNo"));
    ASSERT_TRUE(Table().FindKey({1}));
    EXPECT_EQ(Current("Title"), QStringLiteral("Alien"));
    EXPECT_DOUBLE_EQ(Table().FieldByName(QStringLiteral("Price")).AsFloat(), 12.5);
    EXPECT_TRUE(Table().FieldByName(QStringLiteral("FilmDVD")).AsBoolean());
    EXPECT_TRUE(Table().FieldByName(QStringLiteral("MusicDVD")).AsBoolean()); // the kind shown
    ASSERT_TRUE(Table().FindKey({2}));
    EXPECT_TRUE(Table().FieldByName(QStringLiteral("Price")).IsNull());
    EXPECT_TRUE(Table().FieldByName(QStringLiteral("FilmDVD")).IsNull());
    ASSERT_TRUE(Table().FindKey({3}));
    EXPECT_DOUBLE_EQ(Table().FieldByName(QStringLiteral("Price")).AsFloat(), 0.0);
    EXPECT_FALSE(Table().FieldByName(QStringLiteral("FilmDVD")).AsBoolean());

    EXPECT_EQ(import({"Title", "FTSNo", "Owner", "DVDCount", "Date", "ProducerDate"}, "A;B;4;1.1;01.01.2004\r\n"), 1);
    ASSERT_TRUE(Table().FindKey({4}));
    EXPECT_EQ(Current("Owner"), QStringLiteral("B"));
    EXPECT_TRUE(Table().FieldByName(QStringLiteral("DVDCount")).IsNull());
    EXPECT_TRUE(Table().FieldByName(QStringLiteral("Date")).IsNull());
    EXPECT_EQ(Table().FieldByName(QStringLiteral("ProducerDate")).AsDate(), QDate(2004, 1, 1));
    EXPECT_EQ(import({"Title"}, ""), 0);

    // A bad line ends the import; earlier lines stay, the failing record is gone.
    const int before = Table().TotalRecordCount();
    try {
        import({"Title", "Price"}, "Good;1\r\nBad;zwölf\r\nNever;2\r\n");
        FAIL() << "the import should fail";
    } catch (const EDatenbank& error) {
        EXPECT_EQ(error.Message(), QStringLiteral(" Fehler beim Importieren aus DVD.ADT !"));
    }
    EXPECT_EQ(Table().State(), TAdsTable::TState::Browse);
    EXPECT_EQ(Table().TotalRecordCount(), before + 1);
}

} // namespace
