// The export engine's shared behaviour: the data set over our tables, the
// start protocol, captions, field selection, value texts, events, stops and
// what happens to the target file on errors.

#include "ExportTestSupport.h"

#include "exchange/VASCIIExport.h"
#include "exchange/VExportStream.h"
#include "platform/MovarixError.h"

#include <QDir>
#include <QFileInfo>

namespace {

const char* kDefinition = "Title,Char,50,0;Price,CurDouble,10,2;Count,Integer,4,0;Small,ShortInt,2,0;"
                          "Seen,Date,4,0;Flag,Logical,1,0;Ratio,Double,8,0;Notes,Memo,9,0;Cover,Image,9,0;"
                          "Data,Binary,9,0;No,AutoInc,4,0";

TEST(ExportDataSet, TypeNamesInTheirOrder) {
    EXPECT_EQ(TExportFieldTypes::Name(TExportFieldType::ftUnknown), QStringLiteral("ftUnknown"));
    EXPECT_EQ(TExportFieldTypes::Name(TExportFieldType::ftCurrency), QStringLiteral("ftCurrency"));
    EXPECT_EQ(TExportFieldTypes::Name(TExportFieldType::ftAutoInc), QStringLiteral("ftAutoInc"));
    EXPECT_EQ(int(TExportFieldType::ftMemo), 16);
    EXPECT_EQ(int(TExportFieldType::ftDataSet), TExportFieldTypes::Count - 1);
    EXPECT_EQ(TExportFieldTypes::Name(TExportFieldType::ftDataSet), QStringLiteral("ftDataSet"));
    EXPECT_TRUE(TExportFieldTypes::Name(TExportFieldType(TExportFieldTypes::Count)).isEmpty());
}

TEST(ExportDataSet, TableFieldsMapToDataTypes) {
    TExportTable t(QString::fromLatin1(kDefinition));
    struct {
        const char* field;
        TExportFieldType type;
        const char* className;
        int dataSize;
    } const expected[] = {
        {"Title", TExportFieldType::ftString, "TStringField", 51},
        {"Price", TExportFieldType::ftCurrency, "TCurrencyField", 8},
        {"Count", TExportFieldType::ftInteger, "TIntegerField", 4},
        {"Small", TExportFieldType::ftSmallint, "TSmallintField", 2},
        {"Seen", TExportFieldType::ftDate, "TDateField", 4},
        {"Flag", TExportFieldType::ftBoolean, "TBooleanField", 2},
        {"Ratio", TExportFieldType::ftFloat, "TFloatField", 8},
        {"Notes", TExportFieldType::ftMemo, "TMemoField", 0},
        {"Cover", TExportFieldType::ftBlob, "TBlobField", 0},
        {"Data", TExportFieldType::ftBlob, "TBlobField", 0},
        {"No", TExportFieldType::ftAutoInc, "TAutoIncField", 4},
    };
    ASSERT_EQ(t.Data()->FieldCount(), int(std::size(expected)));
    for (int i = 0; i < t.Data()->FieldCount(); ++i) {
        const TExportField& field = t.Data()->Fields(i);
        SCOPED_TRACE(expected[i].field);
        EXPECT_EQ(field.FieldName(), QString::fromLatin1(expected[i].field));
        EXPECT_EQ(field.DataType(), expected[i].type);
        EXPECT_EQ(field.FieldClassName(), QString::fromLatin1(expected[i].className));
        EXPECT_EQ(field.DataSize(), expected[i].dataSize);
    }
    EXPECT_TRUE(t.Data()->Fields(7).IsBlob());
    EXPECT_FALSE(t.Data()->Fields(0).IsBlob());
}

TEST(ExportDataSet, WalksTheRecordsAndReadsTypedValues) {
    TExportTable t(QString::fromLatin1(kDefinition));
    t.Add({{"Title", "Alien"}, {"Price", 12.5}, {"Seen", QDate(2003, 12, 24)}, {"Flag", true}});
    t.Add({{"Title", "Brazil"}});
    TAdsExportDataSet& data = *t.Data();
    data.First();
    EXPECT_EQ(data.RecNo(), 1);
    EXPECT_EQ(data.Fields(0).AsString(), QStringLiteral("Alien"));
    EXPECT_DOUBLE_EQ(data.Fields(1).AsCurrency(), 12.5);
    EXPECT_EQ(data.Fields(4).AsDateTime().date(), QDate(2003, 12, 24));
    EXPECT_TRUE(data.Fields(5).AsBoolean());
    EXPECT_EQ(data.Fields(5).AsInteger(), 1);
    EXPECT_TRUE(data.Fields(2).IsNull());
    data.Next();
    EXPECT_EQ(data.RecNo(), 2);
    EXPECT_TRUE(data.Fields(1).IsNull());
    data.Next();
    EXPECT_TRUE(data.Eof());
}

// A CSV writer over a small table, German formats, no quoting of strings
// unless asked: the base behaviour shows through its lines.
class ExportBase : public ::testing::Test {
protected:
    ExportBase() : table(QString::fromLatin1(kDefinition)) {
        writer.SetDataset(table.Data());
        writer.SetFileName(table.File(QStringLiteral("out.csv")));
        writer.SetExportType(TVASCIIExport::TASCIIExportType::etCSV);
        writer.SetCSVQuoteStrings(false);
        writer.SetShellHandler([this](const QString& file, const QString& verb) { shellCalls << verb + ":" + file; });
        UseGermanFormats(writer);
    }
    QList<QByteArray> Lines() { return CrLfLines(ReadFile(writer.FileName())); }

    TExportTable table;
    TVASCIIExport writer;
    QStringList shellCalls;
};

TEST_F(ExportBase, StartErrorsComeBeforeAnythingIsWritten) {
    bool begun = false;
    writer.OnBeginExport = [&](TVExport&) { begun = true; };
    struct {
        std::function<void()> setUp;
        const char* message;
    } const cases[] = {
        {[&] { writer.SetFileName(QString()); }, "Invalid file name!"},
        {[&] { writer.SetFileName(table.File("out.csv")); writer.SetDataset(nullptr); }, "Dataset not assigned!"},
        {[&] { writer.SetDataset(table.Data()); table.Table().Close(); }, "Dataset not active!"},
    };
    for (const auto& c : cases) {
        c.setUp();
        try {
            writer.Execute();
            ADD_FAILURE() << "no error for " << c.message;
        } catch (const EMovarixError& error) {
            EXPECT_EQ(error.Message(), QString::fromLatin1(c.message));
        }
    }
    EXPECT_FALSE(begun);
    EXPECT_FALSE(QFileInfo::exists(table.File("out.csv")));
}

TEST_F(ExportBase, DatasetReferenceClearsWhenTheDataSetGoesAway) {
    {
        TAdsExportDataSet other(&table.Table());
        writer.SetDataset(&other);
        EXPECT_EQ(writer.Dataset(), &other);
    }
    EXPECT_EQ(writer.Dataset(), nullptr);
}

TEST_F(ExportBase, CaptionEntriesChainAndIgnoreCase) {
    writer.Captions() << "title=Film title"
                      << "no equals sign"
                      << " FILM TITLE = Titel des Films "
                      << "Price=Preis";
    writer.ExportedFields() << "Title" << "Price";
    table.Add({{"Title", "Alien"}, {"Price", 12.5}});
    writer.Execute();
    EXPECT_EQ(Lines().value(0), QByteArray("Titel des Films;Preis"));
    EXPECT_EQ(writer.CaptionList().size(), table.Data()->FieldCount());
    EXPECT_EQ(writer.CaptionList().value(2), QStringLiteral("Count"));
}

TEST_F(ExportBase, DefaultSelectionLeavesOutBlobsAndHiddenFields) {
    table.Table().FieldByName("Small").SetVisible(false);
    table.Add({{"Title", "Alien"}, {"Notes", "a note"}});
    writer.Execute();
    EXPECT_EQ(Lines().value(0), QByteArray("Title;Price;Count;Seen;Flag;Ratio;No"));
}

TEST_F(ExportBase, NamedFieldsAreWrittenInTableOrderByNameOrLabel) {
    table.Table().FieldByName("Count").SetDisplayLabel(QStringLiteral("Anzahl"));
    writer.ExportedFields() << "NOTES" << "anzahl" << "title";
    table.Add({{"Title", "Alien"}, {"Count", 3}, {"Notes", "a note"}});
    writer.Execute();
    EXPECT_EQ(Lines(), (QList<QByteArray>{"Title;Anzahl;Notes", "Alien;3;a note"}));
}

TEST_F(ExportBase, ValueTextsThroughStandardAndUserFormats) {
    writer.ExportedFields() << "Title" << "Price" << "Count" << "Seen" << "Flag" << "Ratio";
    table.Add({{"Title", "Alien"}, {"Price", 1234.5}, {"Count", 70000}, {"Seen", QDate(2003, 12, 24)},
               {"Flag", true}, {"Ratio", 2.345}});
    table.Add({{"Title", ""}, {"Flag", false}});
    writer.Execute();
    EXPECT_EQ(Lines().value(1), QByteArray("Alien;1234,50\x80;70.000;24.12.2003;True;2,35"));
    EXPECT_EQ(Lines().value(2), QByteArray(";;;;False;")); // null and empty give empty text

    struct {
        const char* entry;
        const char* expected;
    } const cases[] = {
        {"price=0.00", "Alien;1234,50;70.000;24.12.2003;True;2,35"},
        {"PRICE = #,##0.0", "Alien;1.234,5;70.000;24.12.2003;True;2,35"},
        {"Title=0.00", "Alien;1235;70.000;24.12.2003;True;2,35"}, // a string keeps its text
        {"Count=0", "Alien;1235;70000;24.12.2003;True;2,35"},
        {"Seen=yyyy-mm-dd", "Alien;1235;70.000;2003-12-24;True;2,35"},
        {"Flag=0", "Alien;1235;70.000;24.12.2003;1;2,35"}, // Booleans format as 0/1
        {"Ratio=0.000", "Alien;1235;70.000;24.12.2003;True;2,345"},
    };
    // the second entry formats Price whenever the first one names another field
    for (const auto& c : cases) {
        writer.UserFormats() = QStringList{QString::fromLatin1(c.entry), QStringLiteral("Price=0")};
        writer.Execute();
        EXPECT_EQ(Lines().value(1), QByteArray(c.expected)) << c.entry;
    }
}

TEST_F(ExportBase, UserFormatMatchesTheDisplayLabel) {
    table.Table().FieldByName("Price").SetDisplayLabel(QStringLiteral("Preis"));
    writer.ExportedFields() << "Price";
    writer.UserFormats() << "preis=0.0";
    table.Add({{"Price", 3.0}});
    writer.Execute();
    EXPECT_EQ(Lines().value(1), QByteArray("3,0"));
}

TEST_F(ExportBase, EventsArriveInTheirOrder) {
    QStringList events;
    writer.ExportedFields() << "Title" << "Count";
    writer.SetShowFile(true);
    writer.SetPrintFile(true);
    writer.OnBeginExport = [&](TVExport&) { events << "begin"; };
    writer.OnGetExportText = [&](TVExport&, const TExportField& field, QString& text) {
        events << "text " + field.FieldName();
        text = text.toUpper();
    };
    writer.OnRecordExported = [&](TVExport&, int recNo) { events << QStringLiteral("record %1").arg(recNo); };
    writer.OnEndExport = [&](TVExport&) {
        events << "end";
        EXPECT_TRUE(QFileInfo::exists(writer.FileName())); // the output is closed before
        EXPECT_TRUE(shellCalls.isEmpty());
    };
    table.Add({{"Title", "Alien"}, {"Count", 1}});
    table.Add({{"Title", "Brazil"}, {"Count", 2}});
    EXPECT_TRUE(writer.Execute());
    EXPECT_EQ(events, (QStringList{"begin", "text Title", "text Count", "record 1", "text Title", "text Count",
                                   "record 2", "end"}));
    EXPECT_EQ(shellCalls, (QStringList{"open:" + writer.FileName(), "print:" + writer.FileName()}));
    EXPECT_EQ(Lines().value(2), QByteArray("BRAZIL;2"));
}

TEST_F(ExportBase, StopFromAnEventEndsTheRunWithoutEndEvent) {
    for (int i = 1; i <= 5; ++i)
        table.Add({{"Title", QStringLiteral("T%1").arg(i)}});
    writer.ExportedFields() << "Title";
    writer.SetShowFile(true);
    QStringList events;
    writer.OnRecordExported = [&](TVExport& sender, int recNo) {
        events << QStringLiteral("record %1").arg(recNo);
        if (recNo == 2)
            sender.StopExport();
    };
    writer.OnStopExport = [&](TVExport&) { events << "stop"; };
    writer.OnEndExport = [&](TVExport&) { events << "end"; };
    EXPECT_FALSE(writer.Execute());
    EXPECT_EQ(events, (QStringList{"record 1", "record 2", "stop"}));
    EXPECT_FALSE(writer.StopRequested());
    EXPECT_TRUE(shellCalls.isEmpty());
    EXPECT_EQ(Lines(), (QList<QByteArray>{"Title", "T1", "T2"}));
    // the writer runs again from the start
    events.clear();
    writer.OnRecordExported = nullptr;
    EXPECT_TRUE(writer.Execute());
    EXPECT_EQ(events, QStringList{"end"});
    EXPECT_EQ(Lines().size(), 6);
}

TEST_F(ExportBase, GoToFirstRecordFalseStartsAtTheCurrentRecord) {
    for (int i = 1; i <= 3; ++i)
        table.Add({{"Title", QStringLiteral("T%1").arg(i)}});
    writer.ExportedFields() << "Title";
    writer.SetColHeaders(false);
    writer.SetGoToFirstRecord(false);
    table.Table().First();
    table.Table().Next();
    writer.Execute();
    EXPECT_EQ(Lines(), (QList<QByteArray>{"T2", "T3"}));
}

TEST_F(ExportBase, AnErrorDuringTheRunKeepsTheOldFile) {
    const QByteArray old("the previous export\r\n");
    {
        QFile file(writer.FileName());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(old);
    }
    table.Add({{"Title", "Alien"}});
    table.Add({{"Title", "Brazil"}});
    bool ended = false;
    writer.OnEndExport = [&](TVExport&) { ended = true; };
    writer.OnRecordExported = [](TVExport&, int recNo) {
        if (recNo == 2)
            throw EMovarixError(QStringLiteral("disk full"));
    };
    EXPECT_THROW(writer.Execute(), EMovarixError);
    EXPECT_FALSE(ended);
    EXPECT_EQ(ReadFile(writer.FileName()), old);
    // nothing is left behind in the folder but the old file
    EXPECT_EQ(QDir(table.Folder().Path()).entryList(QStringList{"*out.csv*"}, QDir::Files | QDir::Hidden),
              QStringList{"out.csv"});
}

TEST_F(ExportBase, AnUnwritableTargetIsAClearError) {
    table.Add({{"Title", "Alien"}});
    const QString cases[] = {table.File("missing-folder/out.csv"), table.Folder().Path()};
    for (const QString& target : cases) {
        writer.SetFileName(target);
        try {
            writer.Execute();
            ADD_FAILURE() << "no error for " << target.toStdString();
        } catch (const EMovarixError& error) {
            EXPECT_TRUE(error.Message().contains(target)) << error.Message().toStdString();
        }
    }
}

TEST(VExportStream, InsertAtMovesTheTail) {
    TTempFolder folder;
    const QString path = folder.File("s.txt");
    TVExportStream stream(path);
    stream.WriteLine(QStringLiteral("{a}"));
    stream.WriteText(QStringLiteral("tail\u00e4"));
    stream.InsertAt(2, "XY", 2);
    stream.InsertAt(0, QByteArray("<"));
    stream.WriteAt(1, QByteArray("["));
    stream.WriteText(QStringLiteral("!"));
    EXPECT_FALSE(QFileInfo::exists(path)); // nothing under the name before Close
    stream.Close();
    EXPECT_EQ(ReadFile(path), QByteArray("<[aXY}\r\ntail\xE4!"));
}

} // namespace
