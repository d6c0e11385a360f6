#include "store/AdsError.h"
#include "store/AdsTable.h"
#include "store/IndexKey.h"
#include "support/TempFolder.h"
#include "StoreTestSupport.h"

#include "platform/MovarixError.h"

#include <QDate>
#include <QFile>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace {

const QString kDefinition = QStringLiteral(
    "Title               ,Char, 20,0;"
    "DVDNo               ,Char, 10,0;"
    "Date                ,Date, 4,0;"
    "Available           ,Logical, 1,0;"
    "Film                ,Logical, 1,0;"
    "Music               ,Logical, 1,0;"
    "Count               ,Integer, 4,0;"
    "Small               ,ShortInt, 2,0;"
    "Price               ,CurDouble, 10,2;"
    "Ratio               ,Double, 8,0;"
    "Code                ,Raw, 4,0;"
    "Notes               ,Memo, 9,0;"
    "Picture             ,Image, 9,0;"
    "Sounds              ,Binary, 9,0;"
    "No                  ,AutoInc, 1,0;");

class AdsTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = folder.File(QStringLiteral("T.ADT"));
        TAdsTable::CreateTable(path, kDefinition);
        table = OpenTableAt(folder.Path(), QStringLiteral("T.ADT"));
    }

    TTempFolder folder;
    QString path;
    std::unique_ptr<TAdsTable> table;
};

TEST_F(AdsTableTest, CreatesFieldsFromTheDefinitionString) {
    ASSERT_EQ(table->FieldCount(), 15);
    EXPECT_EQ(table->Fields(0).FieldName(), QStringLiteral("Title"));
    EXPECT_EQ(table->Fields(0).Size(), 20);
    EXPECT_EQ(table->Fields(8).DataType(), TFieldType::CurDouble);
    EXPECT_EQ(table->Fields(8).Decimals(), 2);
    EXPECT_EQ(table->Fields(14).DataType(), TFieldType::AutoInc);
    EXPECT_EQ(&table->FieldByName(QStringLiteral("tITLE")), &table->Fields(0));
    EXPECT_THROW(table->FieldByName(QStringLiteral("Nope")), EAdsError);
    EXPECT_TRUE(table->IsEmpty());
    EXPECT_TRUE(table->Bof());
    EXPECT_TRUE(table->Eof());
    EXPECT_EQ(table->RecNo(), 0);
    EXPECT_FALSE(table->HasIndexFile());
}

TEST(FieldDefsTest, ParsesItemsAndRejectsBadOnes) {
    const auto defs = TFieldDefs::Parse(QStringLiteral("SoundFormat,Char,10,0;US-Ratings,Char,10;THX,Logical,1"));
    ASSERT_EQ(defs.size(), 3);
    EXPECT_EQ(defs[1].name, QStringLiteral("US-Ratings"));
    EXPECT_EQ(defs[1].length, 10);
    EXPECT_EQ(defs[1].decimals, 0);
    EXPECT_EQ(defs[2].type, TFieldType::Logical);

    for (const char* bad : {"Title,Wrong,10", "Title", ",Char,10", "Title,Char", "Title,Char,x", "A,Char,1;a,Char,2"})
        EXPECT_THROW(TFieldDefs::Parse(QString::fromLatin1(bad)), EAdsError) << bad;
}

TEST_F(AdsTableTest, ValuesRoundTripThroughTheFileByType) {
    QFile pictureFile(folder.File(QStringLiteral("in.bin")));
    const QByteArray pictureBytes("\x89PNG\r\n\x1a\n\0\0binary", 18);
    ASSERT_TRUE(pictureFile.open(QIODevice::WriteOnly));
    pictureFile.write(pictureBytes);
    pictureFile.close();

    table->Insert();
    table->FieldByName(QStringLiteral("Title")).SetAsString(QStringLiteral("Größe – ein sehr langer Titel hier"));
    table->FieldByName(QStringLiteral("DVDNo")).SetAsString(QStringLiteral("  42   "));
    table->FieldByName(QStringLiteral("Date")).SetAsString(QStringLiteral("09.12.2026"));
    table->FieldByName(QStringLiteral("Available")).SetAsBoolean(true);
    table->FieldByName(QStringLiteral("Count")).SetAsInteger(-7);
    table->FieldByName(QStringLiteral("Small")).SetAsString(QStringLiteral("300"));
    table->FieldByName(QStringLiteral("Price")).SetAsFloat(12.345);
    table->FieldByName(QStringLiteral("Ratio")).SetAsFloat(1.0 / 3.0);
    table->FieldByName(QStringLiteral("Code")).SetAsBytes(QByteArray("\x01\x02", 2));
    table->FieldByName(QStringLiteral("Notes")).SetAsString(QStringLiteral("Zeile 1\r\nZeile 2 – €"));
    table->LoadBlobFromFile(QStringLiteral("Picture"), pictureFile.fileName());
    table->FieldByName(QStringLiteral("Sounds")).SetAsBytes(QByteArray());
    table->Post();

    table->Close();
    table->Open();
    ASSERT_EQ(table->RecordCount(), 1);
    EXPECT_EQ(table->RecNo(), 1);
    // Char fields are cut to their length and come back without trailing blanks.
    EXPECT_EQ(table->FieldByName(QStringLiteral("Title")).AsString(), QStringLiteral("Größe – ein sehr lan"));
    EXPECT_EQ(table->FieldByName(QStringLiteral("DVDNo")).AsString(), QStringLiteral("  42"));
    EXPECT_EQ(table->FieldByName(QStringLiteral("Date")).AsDate(), QDate(2026, 12, 9));
    EXPECT_EQ(table->FieldByName(QStringLiteral("Date")).AsString(), QStringLiteral("09.12.2026"));
    EXPECT_TRUE(table->FieldByName(QStringLiteral("Available")).AsBoolean());
    EXPECT_FALSE(table->FieldByName(QStringLiteral("Film")).AsBoolean());
    EXPECT_TRUE(table->FieldByName(QStringLiteral("Film")).IsNull());
    EXPECT_EQ(table->FieldByName(QStringLiteral("Count")).AsInteger(), -7);
    EXPECT_EQ(table->FieldByName(QStringLiteral("Small")).AsInteger(), 300);
    EXPECT_DOUBLE_EQ(table->FieldByName(QStringLiteral("Price")).AsFloat(), 12.35);
    EXPECT_DOUBLE_EQ(table->FieldByName(QStringLiteral("Ratio")).AsFloat(), 1.0 / 3.0);
    EXPECT_EQ(table->FieldByName(QStringLiteral("Code")).AsBytes(), QByteArray("\x01\x02\0\0", 4));
    EXPECT_EQ(table->FieldByName(QStringLiteral("Notes")).AsString(), QStringLiteral("Zeile 1\r\nZeile 2 – €"));
    EXPECT_EQ(table->FieldByName(QStringLiteral("Notes")).AsBytes(), QByteArray("Zeile 1\r\nZeile 2 \x96 \x80"));
    EXPECT_EQ(table->FieldByName(QStringLiteral("Picture")).AsBytes(), pictureBytes);
    EXPECT_FALSE(table->BlobIsEmpty(QStringLiteral("Picture")));
    EXPECT_TRUE(table->BlobIsEmpty(QStringLiteral("Sounds"))); // a 0-byte blob is empty
    EXPECT_EQ(table->FieldByName(QStringLiteral("No")).AsInteger(), 1);

    const QString out = folder.File(QStringLiteral("out.bin"));
    table->SaveBlobToFile(QStringLiteral("Picture"), out);
    QFile written(out);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), pictureBytes);
}

TEST_F(AdsTableTest, RejectsValuesThatDoNotFitTheirField) {
    table->Insert();
    EXPECT_THROW(table->FieldByName(QStringLiteral("Count")).SetAsString(QStringLiteral("12x")), EAdsError);
    EXPECT_THROW(table->FieldByName(QStringLiteral("Small")).SetAsInteger(40000), EAdsError);
    EXPECT_THROW(table->FieldByName(QStringLiteral("Date")).SetAsString(QStringLiteral("31.02.2026")), EAdsError);
    EXPECT_THROW(table->FieldByName(QStringLiteral("No")).SetAsInteger(5), EAdsError);
    table->Cancel();
    // Outside edit or insert state nothing can be assigned.
    EXPECT_THROW(table->FieldByName(QStringLiteral("Title")).SetAsString(QStringLiteral("x")), EAdsError);
}

TEST_F(AdsTableTest, NavigatesInRecordOrderWithBofAndEof) {
    for (const char* title : {"A", "B", "C"})
        AddRecord(*table, {{"Title", QString::fromLatin1(title)}});
    EXPECT_EQ(Column(*table, QStringLiteral("Title")), (QStringList{"A", "B", "C"}));
    table->First();
    EXPECT_TRUE(table->Bof());
    EXPECT_FALSE(table->Eof());
    table->Prior();
    EXPECT_TRUE(table->Bof());
    EXPECT_EQ(table->RecNo(), 1);
    EXPECT_EQ(table->MoveBy(5), 2);
    EXPECT_TRUE(table->Eof());
    EXPECT_EQ(table->RecNo(), 3);
    table->Last();
    table->Prior();
    EXPECT_EQ(table->FieldByName(QStringLiteral("Title")).AsString(), QStringLiteral("B"));
    EXPECT_TRUE(table->GotoRecNo(1));
    EXPECT_FALSE(table->GotoRecNo(9));
    EXPECT_EQ(table->RecNo(), 1);
}

TEST_F(AdsTableTest, EventsRunInDatasetOrderAndBeforePostCanAbortQuietly) {
    QStringList events;
    auto log = [&](const char* name) { return [&events, name](TAdsTable&) { events << QString::fromLatin1(name); }; };
    table->BeforeInsert = log("BeforeInsert");
    table->AfterInsert = log("AfterInsert");
    table->BeforeEdit = log("BeforeEdit");
    table->AfterPost = log("AfterPost");
    table->AfterCancel = log("AfterCancel");
    table->AfterDelete = log("AfterDelete");
    table->AfterScroll = log("AfterScroll");
    bool refuse = true;
    table->BeforePost = [&](TAdsTable& t) {
        events << QStringLiteral("BeforePost");
        if (refuse && t.FieldByName(QStringLiteral("Title")).IsNull())
            throw EAbort();
    };

    table->Insert();
    EXPECT_THROW(table->Post(), EAbort);
    EXPECT_EQ(table->State(), TAdsTable::TState::Insert); // refused: still inserting
    table->FieldByName(QStringLiteral("Title")).SetAsString(QStringLiteral("Alien"));
    table->Post();
    table->Edit();
    table->Cancel();
    table->Insert();
    table->Cancel();
    table->Delete();
    EXPECT_EQ(events, (QStringList{"BeforeInsert", "AfterInsert", "AfterScroll", "BeforePost", "BeforePost",
                                   "AfterPost", "BeforeEdit", "AfterCancel", "BeforeInsert", "AfterInsert",
                                   "AfterScroll", "AfterCancel", "AfterScroll", "AfterDelete", "AfterScroll"}));
    EXPECT_TRUE(table->IsEmpty());
}

TEST_F(AdsTableTest, NavigatingPostsAPendingEdit) {
    AddRecord(*table, {{"Title", QStringLiteral("One")}});
    AddRecord(*table, {{"Title", QStringLiteral("Two")}});
    table->First();
    table->Edit();
    table->FieldByName(QStringLiteral("Title")).SetAsString(QStringLiteral("Uno"));
    table->Next();
    EXPECT_EQ(table->State(), TAdsTable::TState::Browse);
    EXPECT_EQ(Column(*table, QStringLiteral("Title")), (QStringList{"Uno", "Two"}));
}

TEST_F(AdsTableTest, TagsOrderAndLimitTheView) {
    struct Row {
        const char* title;
        const char* dvdNo;
        bool film;
        bool music;
    };
    // Disc numbers 10, 2, empty and non-numeric: the empty and the
    // non-numeric one have the key 0 and come first.
    const Row rows[] = {{"Zorro", "10", true, false},     {"alien", "2", true, false},
                        {"Ärger", "", true, false},       {"Brazil", "abc", true, true},
                        {"Mozart", "1", false, true},     {"Nothing", "5", false, false},
                        {"Ägypten", "3", false, true},    {"ALIEN", "7", true, false}};
    for (const Row& row : rows)
        AddRecord(*table, {{"Title", QString::fromUtf8(row.title)},
                           {"DVDNo", QString::fromLatin1(row.dvdNo)},
                           {"Film", row.film},
                           {"Music", row.music}});
    table->CreateIndex({QStringLiteral("DVDNoFilm"), QStringLiteral("val(DVDNo)"), QStringLiteral("Film"), false});
    table->CreateIndex({QStringLiteral("TitleFilm"), QStringLiteral("Title"), QStringLiteral("Film"), false});
    table->CreateIndex({QStringLiteral("TitleMusic"), QStringLiteral("Title"), QStringLiteral("Music"), false});
    table->CreateIndex({QStringLiteral("Film"), QStringLiteral("Film"), QString(), false});
    EXPECT_TRUE(table->HasIndexFile());
    EXPECT_TRUE(QFile::exists(folder.File(QStringLiteral("T.ADI"))));
    EXPECT_EQ(table->IndexNames(), (QStringList{"DVDNoFilm", "TitleFilm", "TitleMusic", "Film"}));

    table->SetIndexName(QStringLiteral("DVDNOFILM")); // names match without regard to case
    EXPECT_EQ(Column(*table, QStringLiteral("DVDNo")), (QStringList{"", "abc", "2", "7", "10"}));
    EXPECT_EQ(table->RecordCount(), 5);

    // Text keys order without regard to case, accented letters beside their base.
    table->SetIndexName(QStringLiteral("TitleFilm"));
    EXPECT_EQ(Column(*table, QStringLiteral("Title")),
              (QStringList{"ALIEN", "alien", "Ärger", "Brazil", "Zorro"}));
    table->SetIndexName(QStringLiteral("TitleMusic"));
    EXPECT_EQ(Column(*table, QStringLiteral("Title")), (QStringList{"Ägypten", "Brazil", "Mozart"}));

    // A tag without condition holds every record; natural order again with "".
    table->SetIndexName(QStringLiteral("Film"));
    EXPECT_EQ(table->RecordCount(), 8);
    table->SetIndexName(QString());
    EXPECT_EQ(table->RecordCount(), 8);
    EXPECT_THROW(table->SetIndexName(QStringLiteral("Missing")), EAdsError);

    // Tags follow every change: an edit moves the record, an insert enters it.
    table->SetIndexName(QStringLiteral("DVDNoFilm"));
    ASSERT_TRUE(table->FindKey({QStringLiteral("10")}));
    table->Edit();
    table->FieldByName(QStringLiteral("DVDNo")).SetAsString(QStringLiteral("1"));
    table->Post();
    AddRecord(*table, {{"Title", QStringLiteral("New")}, {"DVDNo", QStringLiteral("4")}, {"Film", true}});
    EXPECT_EQ(table->FieldByName(QStringLiteral("Title")).AsString(), QStringLiteral("New"));
    EXPECT_EQ(Column(*table, QStringLiteral("DVDNo")), (QStringList{"", "abc", "1", "2", "4", "7"}));
    table->Close();
    table->Open();
    table->SetIndexName(QStringLiteral("DVDNoFilm"));
    EXPECT_EQ(Column(*table, QStringLiteral("DVDNo")), (QStringList{"", "abc", "1", "2", "4", "7"}));
}

TEST_F(AdsTableTest, SeeksExactlyOrToTheNearestKey) {
    for (const char* no : {"0", "1", "2", "4"})
        AddRecord(*table, {{"DVDNo", QString::fromLatin1(no)}, {"Film", true}, {"Title", QString::fromLatin1(no)}});
    AddRecord(*table, {{"DVDNo", QStringLiteral("3")}, {"Music", true}});
    table->CreateIndex({QStringLiteral("DVDNoFilm"), QStringLiteral("val(DVDNo)"), QStringLiteral("Film"), false});
    table->CreateIndex({QStringLiteral("Title"), QStringLiteral("Title"), QString(), false});
    EXPECT_THROW(table->FindKey({QStringLiteral("1")}), EAdsError); // no tag selected

    table->SetIndexName(QStringLiteral("DVDNoFilm"));
    int firstGap = -1;
    for (int n = 0; n <= table->RecordCount(); ++n) {
        if (!table->FindKey({QString::number(n)})) {
            firstGap = n;
            break;
        }
    }
    EXPECT_EQ(firstGap, 3); // the music record's 3 is not in the film tag
    table->FindNearest({QStringLiteral("3")});
    EXPECT_EQ(table->FieldByName(QStringLiteral("DVDNo")).AsString(), QStringLiteral("4"));
    table->FindNearest({QStringLiteral("9")});
    EXPECT_TRUE(table->Eof());

    table->SetIndexName(QStringLiteral("Title"));
    AddRecord(*table, {{"Title", QStringLiteral("Matrix")}});
    EXPECT_FALSE(table->FindKey({QStringLiteral("MATRIX")})); // exact seeks respect case
    table->FindNearest({QStringLiteral("MATRIX")});          // nearest seeks do not
    EXPECT_EQ(table->FieldByName(QStringLiteral("Title")).AsString(), QStringLiteral("Matrix"));
}

TEST_F(AdsTableTest, FiltersOnAFieldValueOrAConstant) {
    for (int i = 1; i <= 5; ++i)
        AddRecord(*table, {{"Count", i % 2}, {"Film", i != 3}, {"Title", QString::number(i)}});
    table->CreateIndex({QStringLiteral("CountFilm"), QStringLiteral("Count"), QStringLiteral("Film"), false});
    table->SetIndexName(QStringLiteral("CountFilm"));
    table->SetFilter(QStringLiteral("Count=1"));
    EXPECT_EQ(table->RecordCount(), 4); // not filtered yet
    table->SetFiltered(true);
    EXPECT_EQ(Column(*table, QStringLiteral("Title")), (QStringList{"1", "5"}));
    table->SetFilter(QStringLiteral(".F."));
    EXPECT_TRUE(table->IsEmpty());
    table->SetFilter(QStringLiteral(".T."));
    EXPECT_EQ(table->RecordCount(), 4);
    table->SetFilter(QStringLiteral("Title='4'"));
    EXPECT_EQ(Column(*table, QStringLiteral("Title")), (QStringList{"4"}));
    table->SetFiltered(false);
    EXPECT_EQ(table->RecordCount(), 4);
    EXPECT_THROW(table->SetFilter(QStringLiteral("Count=abc")), EAdsError);
    EXPECT_THROW(table->SetFilter(QStringLiteral("nonsense")), EAdsError);

    // A record edited out of the filter leaves the view at once.
    table->SetFilter(QStringLiteral("Count=1"));
    table->SetFiltered(true);
    table->First();
    table->Edit();
    table->FieldByName(QStringLiteral("Count")).SetAsInteger(0);
    table->Post();
    EXPECT_EQ(table->RecordCount(), 1);
}

// The reads without the cursor answer what the cursor finds in the named
// order without a filter (a second connection walks it), while the table
// they run on keeps its order, filter, record and view and hears nothing.
TEST_F(AdsTableTest, CursorFreeReadsAnswerLikeTheCursorAndLeaveItAlone) {
    EXPECT_FALSE(table->HasRecords());
    const struct {
        const char* title;
        const char* dvdNo;
        bool film;
        int count;
        const char* notes;
    } rows[] = {{"Zorro", "10", true, 1, "Größe – €"}, {"alien", "2", true, 0, nullptr},
                {"Brazil", "abc", false, 1, "plain"},  {"Mozart", "1", false, 1, nullptr},
                {"ALIEN", "7", true, 1, "x"},           {"Gone", "3", true, 1, "deleted below"}};
    for (const auto& row : rows)
        AddRecord(*table, {{"Title", QString::fromUtf8(row.title)},
                           {"DVDNo", QString::fromLatin1(row.dvdNo)},
                           {"Film", row.film},
                           {"Count", row.count},
                           {"Notes", row.notes ? QVariant(QString::fromUtf8(row.notes)) : QVariant()},
                           {"Date", QDate(2024, 2, 29)},
                           {"Price", 9.99},
                           {"Code", QByteArray("\x01\x02", 2)},
                           {"Picture", QByteArray(row.title)}});
    table->Last();
    table->Delete(); // a gap in the record numbers
    table->CreateIndex({QStringLiteral("DVDNoFilm"), QStringLiteral("val(DVDNo)"), QStringLiteral("Film"), false});
    table->CreateIndex({QStringLiteral("Title"), QStringLiteral("Title"), QString(), false});
    table->CreateIndex({QStringLiteral("CountTitle"), QStringLiteral("Count;Title"), QString(), false});
    EXPECT_TRUE(table->HasRecords());

    // The view the reads must leave alone: a tag, a filter, a record.
    table->SetIndexName(QStringLiteral("Title"));
    table->SetFilter(QStringLiteral("Count=1"));
    table->SetFiltered(true);
    ASSERT_TRUE(table->GotoRecNo(3));
    const std::vector<qint64> view = table->ViewRecNos();
    int scrolled = 0;
    table->AfterScroll = [&scrolled](TAdsTable&) { ++scrolled; };
    QSignalSpy viewChanged(table.get(), &TAdsTable::ViewChanged);
    QSignalSpy recordChanged(table.get(), &TAdsTable::RecordChanged);

    auto walker = OpenTableAt(folder.Path(), QStringLiteral("T.ADT"));
    for (const QString& tag : {QString(), QStringLiteral("dvdnofilm"), QStringLiteral("Title"),
                               QStringLiteral("CountTitle")}) {
        SCOPED_TRACE(tag.toStdString());
        walker->SetIndexName(tag);
        walker->First();
        EXPECT_EQ(table->FirstRecNo(tag), walker->RecNo());
        walker->Last();
        EXPECT_EQ(table->LastRecNo(tag), walker->RecNo());
        // Every record of the tag, in its order.
        std::vector<qint64> scanned;
        std::vector<qint64> walked;
        table->ScanFields(tag, {0, 11}, [&](qint64 recno, const std::vector<QVariant>& values) {
            scanned.push_back(recno);
            std::vector<QVariant> read;
            EXPECT_TRUE(table->ReadFields(recno, {0, 11}, read));
            EXPECT_EQ(values, read);
        });
        for (walker->First(); !walker->Eof(); walker->Next())
            walked.push_back(walker->RecNo());
        EXPECT_EQ(scanned, walked);
    }

    // Seeks land where FindKey lands, or nowhere.
    const struct {
        const char* tag;
        QVariantList key;
    } seeks[] = {{"DVDNoFilm", {QStringLiteral("7")}},  {"DVDNoFilm", {QStringLiteral("1")}}, // not a film
                 {"DVDNoFilm", {QStringLiteral("99")}}, {"Title", {QStringLiteral("alien")}},
                 {"Title", {QStringLiteral("ALIEN")}},  {"Title", {QStringLiteral("Al")}},  // a prefix
                 {"Title", {QStringLiteral("Gone")}},   {"CountTitle", {1}},
                 {"CountTitle", {0, QStringLiteral("alien")}}};
    for (const auto& seek : seeks) {
        const QString tag = QString::fromLatin1(seek.tag);
        walker->SetIndexName(tag);
        walker->First();
        const qint64 expected = walker->FindKey(seek.key) ? walker->RecNo() : 0;
        EXPECT_EQ(table->SeekRecNo(tag, seek.key), expected)
            << seek.tag << " " << seek.key.front().toString().toStdString();
    }

    // A record's fields as the cursor reads them; blobs as their stored bytes.
    std::vector<int> all;
    for (int i = 0; i < table->FieldCount(); ++i)
        all.push_back(i);
    walker->SetIndexName(QString());
    for (walker->First(); !walker->Eof(); walker->Next()) {
        std::vector<QVariant> values;
        ASSERT_TRUE(table->ReadFields(walker->RecNo(), all, values));
        ASSERT_EQ(values.size(), all.size());
        for (int i = 0; i < table->FieldCount(); ++i) {
            const TField& field = walker->Fields(i);
            SCOPED_TRACE(field.FieldName().toStdString());
            EXPECT_EQ(table->Fields(i).TextOf(values[size_t(i)]), field.AsString());
            EXPECT_EQ(table->Fields(i).BytesOf(values[size_t(i)]), field.AsBytes());
            EXPECT_EQ(values[size_t(i)].isValid(), !field.IsNull());
            // Text that is no number fails alike.
            auto integer = [](const std::function<int()>& read) -> std::optional<int> {
                try {
                    return read();
                } catch (const EAdsError&) {
                    return std::nullopt;
                }
            };
            EXPECT_EQ(integer([&] { return table->Fields(i).IntegerOf(values[size_t(i)]); }),
                      integer([&] { return field.AsInteger(); }));
        }
    }
    // The fields in the order asked for, each as often as asked for.
    std::vector<QVariant> some;
    ASSERT_TRUE(table->ReadFields(1, {11, 0, 11}, some));
    EXPECT_EQ(some, (std::vector<QVariant>{QString::fromUtf8("Größe – €").toUtf8(), QStringLiteral("Zorro"),
                                           QString::fromUtf8("Größe – €").toUtf8()}));
    // Blobs around one that is not asked for (the picture between them).
    ASSERT_TRUE(table->ReadFields(1, {13, 11}, some));
    EXPECT_EQ(some, (std::vector<QVariant>{QVariant(), QString::fromUtf8("Größe – €").toUtf8()}));
    ASSERT_TRUE(table->ReadFields(1, {12}, some));
    EXPECT_EQ(some, (std::vector<QVariant>{QByteArray("Zorro")}));
    EXPECT_FALSE(table->ReadFields(6, {0, 11}, some)); // deleted
    EXPECT_TRUE(some.empty());
    EXPECT_FALSE(table->ReadFields(99, {}, some));

    EXPECT_THROW(table->FirstRecNo(QStringLiteral("Missing")), EAdsError);
    EXPECT_THROW(table->SeekRecNo(QString(), {1}), EAdsError); // natural order has no key
    EXPECT_THROW(table->ReadFields(1, {99}, some), EAdsError);

    EXPECT_EQ(table->IndexName(), QStringLiteral("Title"));
    EXPECT_TRUE(table->Filtered());
    EXPECT_EQ(table->RecNo(), 3);
    EXPECT_EQ(table->FieldByName(QStringLiteral("Title")).AsString(), QStringLiteral("Brazil"));
    EXPECT_EQ(table->ViewRecNos(), view);
    EXPECT_EQ(scrolled, 0);
    EXPECT_EQ(viewChanged.count(), 0);
    EXPECT_EQ(recordChanged.count(), 0);

    table->SetFiltered(false);
    while (!table->IsEmpty())
        table->Delete();
    EXPECT_FALSE(table->HasRecords());
    EXPECT_EQ(table->FirstRecNo(QString()), 0);
    EXPECT_EQ(table->LastRecNo(QStringLiteral("Title")), 0);
}

// A series of reads shares one read transaction: it sees the files as they
// were at its first read, but never stands in the way of a write, its own or
// another program's.
TEST_F(AdsTableTest, ASeriesOfReadsSeesOneStateAndLetsWritesThrough) {
    AddRecord(*table, {{"Title", QStringLiteral("one")}});
    AddRecord(*table, {{"Title", QStringLiteral("two")}});
    auto other = OpenTableAt(folder.Path(), QStringLiteral("T.ADT"));
    auto title = [this](qint64 recno) {
        std::vector<QVariant> values;
        return table->ReadFields(recno, {0}, values) ? values.front().toString() : QString();
    };

    table->BeginReads();
    table->BeginReads(); // pairs nest
    EXPECT_EQ(title(1), QStringLiteral("one"));
    // Another program writes while the series reads: it is not held up, and
    // the series keeps seeing what it saw.
    other->First();
    other->Edit();
    other->FieldByName(QStringLiteral("Title")).SetAsString(QStringLiteral("ONE"));
    ASSERT_NO_THROW(other->Post());
    EXPECT_EQ(title(1), QStringLiteral("one"));
    table->EndReads();
    EXPECT_EQ(title(1), QStringLiteral("one")); // still inside the outer pair

    // The series' own writes go through and end its snapshot: after them the
    // other program's change shows too.
    table->Last();
    ASSERT_NO_THROW(table->Edit());
    table->FieldByName(QStringLiteral("Title")).SetAsString(QStringLiteral("TWO"));
    ASSERT_NO_THROW(table->Post());
    EXPECT_EQ(title(1), QStringLiteral("ONE"));
    EXPECT_EQ(title(2), QStringLiteral("TWO"));
    AddRecord(*table, {{"Title", QStringLiteral("three")}});
    table->First();
    ASSERT_NO_THROW(table->Delete());
    ASSERT_NO_THROW(table->BeginTransaction());
    AddRecord(*table, {{"Title", QStringLiteral("four")}});
    table->Commit();
    ASSERT_NO_THROW(table->CreateIndex({QStringLiteral("Title"), QStringLiteral("Title"), QString(), false}));
    EXPECT_EQ(table->SeekRecNo(QStringLiteral("Title"), {QStringLiteral("four")}), 4);
    other = OpenTableAt(folder.Path(), QStringLiteral("T.ADT")); // with the new index file

    // Refresh shows what others wrote since.
    EXPECT_EQ(title(2), QStringLiteral("TWO"));
    other->First();
    other->Edit();
    other->FieldByName(QStringLiteral("Title")).SetAsString(QStringLiteral("deux"));
    other->Post();
    EXPECT_EQ(title(2), QStringLiteral("TWO"));
    table->Refresh();
    EXPECT_EQ(title(2), QStringLiteral("deux"));
    table->EndReads();
    table->EndReads(); // one too many does nothing

    // A series cut short by Close leaves nothing open.
    table->BeginReads();
    EXPECT_EQ(title(3), QStringLiteral("three"));
    table->Close();
    table->EndReads();
    table->Open();
    other->Last();
    other->Edit();
    other->FieldByName(QStringLiteral("Title")).SetAsString(QStringLiteral("vier"));
    ASSERT_NO_THROW(other->Post());
    EXPECT_EQ(title(4), QStringLiteral("vier"));
}

TEST_F(AdsTableTest, RestructureAppendsFieldsAndKeepsData) {
    AddRecord(*table, {{"Title", QStringLiteral("Kept")}});
    table->Close();
    TAdsTable::RestructureAppend(path, QStringLiteral("SoundFormat,Char,10,0;US-Ratings,Char,10;THX,Logical,1"));
    EXPECT_THROW(TAdsTable::RestructureAppend(path, QStringLiteral("thx,Logical,1")), EAdsError);
    table->Open();
    ASSERT_EQ(table->FieldCount(), 18);
    EXPECT_EQ(table->Fields(17).FieldName(), QStringLiteral("THX"));
    EXPECT_EQ(table->Fields(16).Size(), 10);
    EXPECT_EQ(table->FieldByName(QStringLiteral("Title")).AsString(), QStringLiteral("Kept"));
    EXPECT_TRUE(table->FieldByName(QStringLiteral("Soundformat")).IsNull());
    table->Edit();
    table->FieldByName(QStringLiteral("THX")).SetAsBoolean(true);
    table->Post();
    EXPECT_TRUE(table->FieldByName(QStringLiteral("THX")).AsBoolean());
}

TEST_F(AdsTableTest, PackRenumbersDenselyKeepsAutoIncAndRebuildsTags) {
    for (int i = 1; i <= 6; ++i)
        AddRecord(*table, {{"Title", QString::number(i)}, {"Film", true}, {"Notes", QStringLiteral("note %1").arg(i)}});
    table->CreateIndex({QStringLiteral("TitleFilm"), QStringLiteral("Title"), QStringLiteral("Film"), false});
    for (int recno : {2, 5}) {
        ASSERT_TRUE(table->GotoRecNo(recno));
        table->Delete();
    }
    EXPECT_THROW(table->Pack(), EAdsError); // needs an exclusive open
    table->Close();
    table = OpenTableAt(folder.Path(), QStringLiteral("T.ADT"), true);
    table->Pack();
    QStringList seen;
    for (table->First(); !table->Eof(); table->Next())
        seen << QStringLiteral("%1:%2:%3:%4")
                    .arg(table->RecNo())
                    .arg(table->FieldByName(QStringLiteral("Title")).AsString())
                    .arg(table->FieldByName(QStringLiteral("No")).AsInteger())
                    .arg(table->FieldByName(QStringLiteral("Notes")).AsString());
    EXPECT_EQ(seen, (QStringList{"1:1:1:note 1", "2:3:3:note 3", "3:4:4:note 4", "4:6:6:note 6"}));
    table->SetIndexName(QStringLiteral("TitleFilm"));
    EXPECT_EQ(table->ViewRecNos(), (std::vector<qint64>{1, 2, 3, 4}));
    // AutoInc never hands out a value twice, not even after a pack.
    AddRecord(*table, {{"Title", QStringLiteral("7")}});
    EXPECT_EQ(table->FieldByName(QStringLiteral("No")).AsInteger(), 7);
    EXPECT_EQ(table->RecNo(), 5);
}

TEST_F(AdsTableTest, ExplicitTransactionsCommitOrRollBackTogether) {
    table->BeginTransaction();
    AddRecord(*table, {{"Title", QStringLiteral("a")}});
    AddRecord(*table, {{"Title", QStringLiteral("b")}});
    table->Rollback();
    EXPECT_TRUE(table->IsEmpty());
    table->BeginTransaction();
    AddRecord(*table, {{"Title", QStringLiteral("c")}});
    table->Commit();
    table->Close();
    table->Open();
    EXPECT_EQ(Column(*table, QStringLiteral("Title")), (QStringList{"c"}));
}

TEST_F(AdsTableTest, DeletesInsideATransactionAreCommitted) {
    for (int i = 0; i < 5; ++i)
        AddRecord(*table, {{"Title", QString::number(i)}});
    table->BeginTransaction();
    for (int i = 0; i < 3; ++i) {
        table->Last();
        table->Delete();
    }
    table->Commit();
    EXPECT_EQ(table->TotalRecordCount(), 2);
    table->Close();
    table->Open();
    EXPECT_EQ(Column(*table, QStringLiteral("Title")), (QStringList{"0", "1"}));
}

TEST_F(AdsTableTest, ExclusiveOpenFailsWhileTheTableIsInUse) {
    EXPECT_THROW(OpenTableAt(folder.Path(), QStringLiteral("T.ADT"), true), EAdsError);
    auto second = OpenTableAt(folder.Path(), QStringLiteral("T.ADT")); // shared beside shared is fine
    table->Close();
    second->Close();
    auto exclusive = OpenTableAt(folder.Path(), QStringLiteral("T.ADT"), true);
    EXPECT_THROW(OpenTableAt(folder.Path(), QStringLiteral("T.ADT")), EAdsError);
}

TEST_F(AdsTableTest, ReadOnlyOpenRefusesChanges) {
    AddRecord(*table, {{"Title", QStringLiteral("a")}});
    table->Close();
    table = OpenTableAt(folder.Path(), QStringLiteral("T.ADT"), false, true);
    EXPECT_EQ(Column(*table, QStringLiteral("Title")), (QStringList{"a"}));
    EXPECT_THROW(table->Insert(), EAdsError);
    EXPECT_THROW(table->Edit(), EAdsError);
}

TEST_F(AdsTableTest, MissingOrDamagedIndexFileNeverLosesRecords) {
    for (int i = 0; i < 20; ++i)
        AddRecord(*table, {{"Title", QStringLiteral("t%1").arg(i, 2, 10, QLatin1Char('0'))}, {"Film", true}});
    table->CreateIndex({QStringLiteral("TitleFilm"), QStringLiteral("Title"), QStringLiteral("Film"), false});
    table->Close();

    const QString index = folder.File(QStringLiteral("T.ADI"));
    for (const QByteArray& damage : {QByteArray("garbage, not a table at all"), QByteArray()}) {
        QFile file(index);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(damage);
        file.close();
        table->Open();
        EXPECT_FALSE(table->HasIndexFile());
        EXPECT_EQ(table->RecordCount(), 20);
        EXPECT_THROW(table->SetIndexName(QStringLiteral("TitleFilm")), EAdsError);
        // The index file can be built again.
        table->CreateIndex({QStringLiteral("TitleFilm"), QStringLiteral("Title"), QStringLiteral("Film"), false});
        table->SetIndexName(QStringLiteral("TitleFilm"));
        EXPECT_EQ(table->RecordCount(), 20);
        table->Close();
    }
    QFile::remove(index);
    table->Open();
    EXPECT_FALSE(table->HasIndexFile());
    EXPECT_EQ(table->RecordCount(), 20);
}

TEST_F(AdsTableTest, StaleIndexFileIsRebuiltFromTheRecords) {
    for (int i = 0; i < 5; ++i)
        AddRecord(*table, {{"Title", QStringLiteral("old%1").arg(i)}, {"Film", true}});
    table->CreateIndex({QStringLiteral("TitleFilm"), QStringLiteral("Title"), QStringLiteral("Film"), false});
    table->Checkpoint();
    table->Close();
    const QString index = folder.File(QStringLiteral("T.ADI"));
    const QString saved = folder.File(QStringLiteral("saved.ADI"));
    ASSERT_TRUE(QFile::copy(index, saved));

    // More changes, then the index file of before them comes back, as if the
    // program had died between the two commits.
    table->Open();
    AddRecord(*table, {{"Title", QStringLiteral("a-new")}, {"Film", true}});
    table->First();
    table->Delete();
    table->Checkpoint();
    table->Close();
    QFile::remove(index);
    ASSERT_TRUE(QFile::copy(saved, index));

    table->Open();
    table->SetIndexName(QStringLiteral("TitleFilm"));
    EXPECT_EQ(Column(*table, QStringLiteral("Title")), (QStringList{"a-new", "old1", "old2", "old3", "old4"}));
}

TEST(WordsLikeTableTest, CompoundUniqueTagsWithShortIntRawAndBlobColumns) {
    TTempFolder folder;
    TAdsTable::CreateTable(folder.File(QStringLiteral("W.ADT")),
                           QStringLiteral("rbWord,Char,20;rbSegment,ShortInt,2;rbCount,Integer,4;rbBytes,Raw,28;rbBlob,Blob,9"),
                           false);
    auto table = OpenTableAt(folder.Path(), QStringLiteral("W.ADT"), true);
    table->CreateIndex({QStringLiteral("rbWord"), QStringLiteral("rbWord;rbSegment"), QString(), true});
    table->SetIndexName(QStringLiteral("RBWORD"));
    const struct {
        const char* word;
        int segment;
    } rows[] = {{"MATRIX", 1}, {"ALIEN", 0}, {"MATRIX", 0}, {"ÄRGER", 0}, {"MATRIX", -1}, {"ZORRO", 3}};
    for (const auto& row : rows) {
        table->Insert();
        table->FieldByName(QStringLiteral("rbWord")).SetAsString(QString::fromUtf8(row.word));
        table->FieldByName(QStringLiteral("rbSegment")).SetAsInteger(row.segment);
        table->FieldByName(QStringLiteral("rbBytes")).SetAsBytes(QByteArray(28, char(row.segment + 2)));
        table->FieldByName(QStringLiteral("rbBlob")).SetAsBytes(QByteArray(5000, 'x'));
        table->Post();
    }
    QStringList order;
    for (table->First(); !table->Eof(); table->Next())
        order << table->FieldByName(QStringLiteral("rbWord")).AsString() + QLatin1Char('/') +
                     table->FieldByName(QStringLiteral("rbSegment")).AsString();
    EXPECT_EQ(order, (QStringList{"ALIEN/0", "ÄRGER/0", "MATRIX/-1", "MATRIX/0", "MATRIX/1", "ZORRO/3"}));

    // A duplicate (word, segment) is refused and nothing is written.
    table->Insert();
    table->FieldByName(QStringLiteral("rbWord")).SetAsString(QStringLiteral("MATRIX"));
    table->FieldByName(QStringLiteral("rbSegment")).SetAsInteger(0);
    EXPECT_THROW(table->Post(), EAdsError);
    table->Cancel();
    EXPECT_EQ(table->TotalRecordCount(), 6);

    // Seeks on both parts, on the word alone, and to the first word of a prefix.
    ASSERT_TRUE(table->FindKey({QStringLiteral("MATRIX"), 1}));
    EXPECT_EQ(table->FieldByName(QStringLiteral("rbBytes")).AsBytes(), QByteArray(28, char(3)));
    EXPECT_EQ(table->FieldByName(QStringLiteral("rbBlob")).AsBytes().size(), 5000);
    ASSERT_TRUE(table->FindKey({QStringLiteral("MATRIX")}));
    EXPECT_EQ(table->FieldByName(QStringLiteral("rbSegment")).AsInteger(), -1);
    EXPECT_FALSE(table->FindKey({QStringLiteral("MATRIX"), 2}));
    EXPECT_FALSE(table->FindKey({QStringLiteral("MATRI")}));
    table->FindNearest({QStringLiteral("MAT")});
    EXPECT_EQ(table->FieldByName(QStringLiteral("rbWord")).AsString(), QStringLiteral("MATRIX"));
    EXPECT_EQ(table->FieldByName(QStringLiteral("rbSegment")).AsInteger(), -1);
}

TEST(IndexKeyTest, XBaseValReadsTheLeadingNumber) {
    const struct {
        const char* text;
        double value;
    } cases[] = {{"10", 10}, {"  2", 2}, {"", 0}, {"abc", 0}, {"12abc", 12}, {"-3", -3}, {"4.5x", 4.5}, {"+", 0},
                 {".5", 0.5}, {"7.", 7}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(TIndexKey::XBaseVal(QString::fromLatin1(c.text)), c.value) << c.text;
}

TEST(IndexKeyTest, NumberKeysSortLikeTheNumbers) {
    const double values[] = {-1e9, -2.5, -1, 0, 0.25, 1, 2, 10, 1e12};
    for (size_t i = 1; i < std::size(values); ++i)
        EXPECT_LT(TIndexKey::EncodeNumber(values[i - 1]), TIndexKey::EncodeNumber(values[i])) << values[i];
    EXPECT_EQ(TIndexKey::EncodeNumber(-0.0), TIndexKey::EncodeNumber(0.0));
}

} // namespace
