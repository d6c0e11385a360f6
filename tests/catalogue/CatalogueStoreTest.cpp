#include "catalogue/CatalogueSchema.h"
#include "catalogue/CatalogueStore.h"
#include "catalogue/DatabaseUtils.h"
#include "catalogue/IndexDefinition.h"
#include "platform/MovarixError.h"
#include "store/AdsTable.h"
#include "support/RecordingUserInterface.h"
#include "support/TempFolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

const QString kNewTable = QStringLiteral("Neue Datenbank erzeugt !");
const QString kAskUpgrade =
    QStringLiteral("Drücken Sie OK, um die Datenbank jetzt anzupassen....bitte haben Sie etwas Geduld...");
const QString kUpgraded = QStringLiteral("Datenbank aktualisiert und erneut geöffnet !");
const QString kRebuilding = QStringLiteral("Baue Index neu auf, bitte warten Sie....");

QStringList FieldNames(const TAdsTable& table) {
    QStringList names;
    for (int i = 0; i < table.FieldCount(); ++i)
        names << table.Fields(i).FieldName();
    return names;
}

// The creation list without the named fields: the table of an older version.
QString CreationListWithout(const QStringList& names) {
    QStringList items = TCatalogueSchema::CreationList().split(QLatin1Char(';'), Qt::SkipEmptyParts);
    items.erase(std::remove_if(items.begin(), items.end(),
                               [&](const QString& item) { return names.contains(item.section(QLatin1Char(','), 0, 0).trimmed()); }),
                items.end());
    return items.join(QLatin1Char(';'));
}

class CatalogueStoreTest : public ::testing::Test {
protected:
    TTempFolder folder;
    TRecordingUserInterface ui;
    TAdsTable table;
    TCatalogueStore store{table, folder.Path(), ui};
};

TEST(CatalogueSchemaTest, CreationListNamesTheFieldsInTheirExactForm) {
    const QString list = TCatalogueSchema::CreationList();
    const QStringList items = list.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    ASSERT_EQ(items.size(), 57);
    EXPECT_EQ(items.first() + QLatin1Char(';'), QStringLiteral("Title               ,Char, 50,0;"));
    EXPECT_EQ(items.last() + QLatin1Char(';'), QStringLiteral("FTSNo               ,AutoInc, 1,0;"));
    EXPECT_TRUE(list.contains(QStringLiteral("Path                ,Char, 239,0;")));
    EXPECT_TRUE(list.contains(QStringLiteral("Price               ,CurDouble, 10,2;")));
    EXPECT_FALSE(list.contains(QStringLiteral("THX")));
}

TEST(IndexDefinitionTest, ParsesTheFiveFields) {
    const struct {
        const char* line;
        const char* name;
        const char* key;
        bool unique;
        const char* condition;
    } cases[] = {
        {"DVDNoFilm, val(DVDNo), IDX_NONE, False, FilmDVD", "DVDNoFilm", "val(DVDNo)", false, "FilmDVD"},
        {"  FTSNo ,FTSNo,idx_unique,True,#0", "FTSNo", "FTSNo", true, ""},
        {"A, B, IDX_NONE, False, nil", "A", "B", false, ""},
        {"A, B, IDX_NONE, False,  ", "A", "B", false, ""},
        {"A, B, IDX_NONE, False,", "A", "B", false, ""},
        {"A, B, IDX_NONE, False, MusicDVD, more", "A", "B", false, "MusicDVD, more"},
    };
    for (const auto& c : cases) {
        const TIndexDefinition d = TIndexDefinition::Parse(QString::fromLatin1(c.line));
        EXPECT_EQ(d.name, QString::fromLatin1(c.name)) << c.line;
        EXPECT_EQ(d.expression, QString::fromLatin1(c.key)) << c.line;
        EXPECT_EQ(d.unique, c.unique) << c.line;
        EXPECT_EQ(d.condition, QString::fromLatin1(c.condition)) << c.line;
    }
    EXPECT_TRUE(TIndexDefinition::Parse(QStringLiteral("A, B, IDX_NONE, True, #0")).descending);
    for (const char* bad : {"A, B, IDX_NONE", "A, B, IDX_SORTED, False, #0", ", B, IDX_NONE, False, #0"})
        EXPECT_THROW(TIndexDefinition::Parse(QString::fromLatin1(bad)), EMovarixError) << bad;
}

TEST_F(CatalogueStoreTest, FirstStartCreatesUpgradesAndIndexesTheTable) {
    QStringList columns;
    ASSERT_TRUE(store.Prepare(&columns));
    EXPECT_EQ(ui.Messages(), (QStringList{kNewTable, kAskUpgrade, kUpgraded}));
    EXPECT_TRUE(ui.calls.contains(QStringLiteral("status: ") + kRebuilding));
    EXPECT_EQ(ui.hourglassDepth, 0);
    EXPECT_EQ(columns, QStringList{QStringLiteral("THX\t20\tTHX")});

    ASSERT_TRUE(table.Active());
    ASSERT_EQ(table.FieldCount(), 58);
    EXPECT_EQ(table.Fields(56).FieldName(), QStringLiteral("FTSNo"));
    EXPECT_EQ(table.Fields(57).FieldName(), QStringLiteral("THX"));
    EXPECT_EQ(table.Fields(57).DataType(), TFieldType::Logical);
    EXPECT_EQ(table.IndexNames().size(), 13);
    EXPECT_TRUE(QFile::exists(folder.File(QStringLiteral("DVD.ADI"))));
    EXPECT_FALSE(table.Exclusive()); // reopened shared after the rebuild

    // The next start finds everything in place and says nothing.
    table.Close();
    ui.calls.clear();
    ASSERT_TRUE(store.Prepare());
    EXPECT_TRUE(ui.calls.isEmpty()) << ui.calls.join(QLatin1Char('\n')).toStdString();
}

TEST_F(CatalogueStoreTest, OlderTablesGainExactlyTheFieldsTheyLack) {
    const struct {
        QStringList missing;
        QStringList added;
        int columns;
    } cases[] = {
        {{"SoundFormat", "US-Ratings", "Genre", "Anamorph"}, {"SoundFormat", "US-Ratings", "Genre", "Anamorph", "THX"}, 5},
        {{"Anamorph"}, {"Anamorph", "THX"}, 2},
        {{}, {"THX"}, 1},
    };
    for (const auto& c : cases) {
        TAdsTable::CreateTable(folder.File(QStringLiteral("DVD.ADT")), CreationListWithout(c.missing));
        {
            TAdsTable old;
            old.SetDatabaseName(folder.Path());
            old.SetTableName(QStringLiteral("DVD.ADT"));
            old.Open();
            old.Insert();
            old.FieldByName(QStringLiteral("Title")).SetAsString(QStringLiteral("Alien"));
            old.Post();
        }
        ui.calls.clear();
        QStringList columns;
        ASSERT_TRUE(store.Prepare(&columns));
        EXPECT_EQ(ui.Messages(), (QStringList{kAskUpgrade, kUpgraded})) << c.columns;
        const QStringList names = FieldNames(table);
        EXPECT_EQ(names.mid(names.size() - c.added.size()), c.added);
        EXPECT_EQ(names.size(), 58);
        EXPECT_EQ(columns.size(), c.columns);
        EXPECT_EQ(columns.last(), QStringLiteral("THX\t20\tTHX"));
        EXPECT_EQ(table.FieldByName(QStringLiteral("Title")).AsString(), QStringLiteral("Alien"));
        table.Close();
    }
}

TEST_F(CatalogueStoreTest, DeletedIndexFileIsRebuiltWithoutAsking) {
    ASSERT_TRUE(store.Prepare());
    for (const char* no : {"10", "2", "", "abc"}) {
        table.Insert();
        table.FieldByName(QStringLiteral("DVDNo")).SetAsString(QString::fromLatin1(no));
        table.FieldByName(QStringLiteral("FilmDVD")).SetAsBoolean(true);
        table.Post();
    }
    table.Close();
    ASSERT_TRUE(QFile::remove(folder.File(QStringLiteral("DVD.ADI"))));

    ui.calls.clear();
    ASSERT_TRUE(store.Prepare());
    EXPECT_EQ(ui.calls, (QStringList{QStringLiteral("status: ") + kRebuilding, QStringLiteral("status closed")}));
    table.SetIndexName(QStringLiteral("DVDNoFilm"));
    QStringList order;
    for (table.First(); !table.Eof(); table.Next())
        order << table.FieldByName(QStringLiteral("DVDNo")).AsString();
    EXPECT_EQ(order, (QStringList{"", "abc", "2", "10"}));
}

TEST_F(CatalogueStoreTest, AnIndexFileWithTagsMissingIsBuiltAgain) {
    ASSERT_TRUE(store.Prepare());
    table.Close();
    // An index file left by a rebuild that stopped after three tags.
    QFile::remove(folder.File(QStringLiteral("DVD.ADI")));
    table.SetExclusive(true);
    table.Open();
    for (const QString& line : TCatalogueSchema::IndexDefinitions().mid(0, 3))
        table.CreateIndex(TIndexDefinition::Parse(line).ToIndexDef());
    table.Close();
    table.SetExclusive(false);

    ASSERT_TRUE(store.Prepare());
    EXPECT_EQ(table.IndexNames().size(), 13);
    table.SetIndexName(QStringLiteral("FTSNo"));
}

TEST_F(CatalogueStoreTest, IndexCannotBeBuiltWhileAnotherProgramHasTheTable) {
    ASSERT_TRUE(store.Prepare());
    table.Close();
    QFile::remove(folder.File(QStringLiteral("DVD.ADI")));
    TAdsTable other;
    other.SetDatabaseName(folder.Path());
    other.SetTableName(QStringLiteral("DVD.ADT"));
    other.Open();

    ui.calls.clear();
    ASSERT_TRUE(store.Prepare());
    EXPECT_EQ(ui.Messages(),
              QStringList{QStringLiteral("Fehler beim exclusive Öffnen der ") + folder.Path() + QStringLiteral("DVD.ADT !")});
    EXPECT_TRUE(table.Active()); // the start goes on without tags
    EXPECT_FALSE(table.HasIndexFile());
    EXPECT_EQ(ui.hourglassDepth, 0);
}

TEST_F(CatalogueStoreTest, OpeningAMissingTableShowsItsBoxAndLeavesTheTableAlone) {
    table.SetTableName(QStringLiteral("Keep.ADT"));
    EXPECT_FALSE(TDatabaseUtils::OpenTable(table, TTableType::ADT, folder.Path(), false, false, QString(),
                                           QStringLiteral("DVD.ADT"), ui));
    EXPECT_EQ(ui.calls, (QStringList{QStringLiteral("box caption: Datenbank nicht vorhanden"),
                                     QStringLiteral("box: Datenbank ") + folder.Path() +
                                         QStringLiteral("DVD.ADT ist nicht vorhanden !")}));
    EXPECT_EQ(table.TableName(), QStringLiteral("Keep.ADT"));

    // A file that is no table fails quietly; the caller shows its message.
    QFile junk(folder.File(QStringLiteral("DVD.ADT")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a table");
    junk.close();
    ui.calls.clear();
    EXPECT_FALSE(store.Prepare());
    EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("Fehler beim Öffnen von ") + folder.Path() +
                                         QStringLiteral("DVD.ADT !")});
    EXPECT_EQ(junk.size(), 11); // untouched
}

TEST_F(CatalogueStoreTest, CreationNormalisesTheFolderAndReportsFailures) {
    ASSERT_TRUE(store.ErzeugeDatenbank(folder.Path() + QStringLiteral("sub///"), QStringLiteral("DVD.ADT")));
    EXPECT_TRUE(QFile::exists(folder.File(QStringLiteral("sub/DVD.ADT"))));
    EXPECT_THROW(store.ErzeugeDatenbank(QString(), QStringLiteral("DVD.ADT")), EMovarixError);

    // A table file that cannot be made (its scratch name is taken by a
    // folder): the error box and the warning.
    const QString target = folder.Path() + QStringLiteral("blocked/");
    ASSERT_TRUE(QDir().mkpath(target + QStringLiteral("DVD.ADT.creating/inside")));
    ui.calls.clear();
    EXPECT_FALSE(store.ErzeugeDatenbank(target, QStringLiteral("DVD.ADT")));
    ASSERT_EQ(ui.calls.size(), 2);
    EXPECT_TRUE(ui.calls[0].startsWith(QStringLiteral("error: Fehler beim Erzeugen der Datenbank ! | ")));
    EXPECT_EQ(ui.calls[1], QStringLiteral("dialog: Kann Datenbank ") + target +
                               QStringLiteral("DVD.ADT nicht erzeugen, bitte System-Administrator informieren!"));
    EXPECT_FALSE(QFile::exists(target + QStringLiteral("DVD.ADT")));
}

TEST_F(CatalogueStoreTest, FailedRestructureReportsTheUpgradeError) {
    TAdsTable::CreateTable(folder.File(QStringLiteral("DVD.ADT")), CreationListWithout({QStringLiteral("Anamorph")}));
    ASSERT_TRUE(TDatabaseUtils::OpenTable(table, TTableType::ADT, folder.Path(), false, false, QString(),
                                          QStringLiteral("DVD.ADT"), ui));
    TAdsTable other; // another program keeps the table open: no restructure
    other.SetDatabaseName(folder.Path());
    other.SetTableName(QStringLiteral("DVD.ADT"));
    other.Open();
    try {
        store.AddNewFields();
        FAIL() << "the restructure should fail";
    } catch (const EMovarixError& error) {
        EXPECT_EQ(error.Message(), QStringLiteral("Fehler beim updaten der Datenbank!"));
    }
    EXPECT_FALSE(table.Active());
    other.Close();
    ASSERT_TRUE(store.Prepare());
    EXPECT_TRUE(store.DVDTableUpToDate(QStringLiteral("THX")));
}

} // namespace
