// Fixed-width text, CSV, DIF and SYLK files byte for byte.

#include "ExportTestSupport.h"

#include "exchange/VASCIIExport.h"

#include <QProcess>

namespace {

using TType = TVASCIIExport::TASCIIExportType;

class AsciiExport : public ::testing::Test {
protected:
    explicit AsciiExport(const char* definition = "Title,Char,20,0;Nr,Integer,4,0;Price,CurDouble,10,2;"
                                                  "Seen,Date,4,0;Notes,Memo,9,0")
        : table(QString::fromLatin1(definition)) {
        writer.SetDataset(table.Data());
        writer.SetFileName(table.File(QStringLiteral("out.txt")));
        writer.SetShellHandler([](const QString&, const QString&) {});
        UseGermanFormats(writer);
    }
    QByteArray Run(TType type) {
        writer.SetExportType(type);
        writer.Execute();
        return ReadFile(writer.FileName());
    }

    TExportTable table;
    TVASCIIExport writer;
};

TEST_F(AsciiExport, CsvQuotesStringsAndMemos) {
    table.Add({{"Title", "Say \"hi\"; bye"}, {"Nr", 5}, {"Price", 12.5}, {"Seen", QDate(2004, 1, 2)},
               {"Notes", "line one\r\nline two; \"quoted\""}});
    table.Add({{"Title", ""}, {"Nr", 1234}});
    writer.ExportedFields() << "Title" << "Nr" << "Price" << "Seen" << "Notes";
    EXPECT_EQ(Run(TType::etCSV), QByteArray("Title;Nr;Price;Seen;Notes\r\n"
                                            "\"Say \"\"hi\"\"; bye\";5;12,50\x80;02.01.2004;"
                                            "\"line one\r\nline two; \"\"quoted\"\"\"\r\n"
                                            "\"\";1.234;;;\"\"\r\n"));
}

TEST_F(AsciiExport, CsvVariants) {
    table.Add({{"Title", "A,B"}, {"Nr", 7}, {"Seen", QDate(2004, 1, 2)}});
    struct {
        const char* name;
        std::function<void()> setUp;
        QByteArray expected;
    } const cases[] = {
        {"numbers_and_dates_never_quoted", [&] { writer.ExportedFields() = QStringList{"Nr", "Seen"}; },
         "Nr;Seen\r\n7;02.01.2004\r\n"},
        {"quoting_off", [&] { writer.ExportedFields() = QStringList{"Title", "Nr"}; writer.SetCSVQuoteStrings(false); },
         "Title;Nr\r\nA,B;7\r\n"},
        {"comma_separator", [&] { writer.SetCSVQuoteStrings(true); writer.SetCSVComma(QLatin1Char(',')); },
         "Title,Nr\r\n\"A,B\",7\r\n"},
        {"caption_with_separator_is_quoted", [&] { writer.Captions() = QStringList{"Nr=No, really"}; },
         "Title,\"No, really\"\r\n\"A,B\",7\r\n"},
    };
    for (const auto& c : cases) {
        c.setUp();
        EXPECT_EQ(Run(TType::etCSV), c.expected) << c.name;
    }
}

TEST_F(AsciiExport, CsvWithoutCaptionsAndRecordsIsEmpty) {
    writer.SetColHeaders(false);
    EXPECT_EQ(Run(TType::etCSV), QByteArray());
}

TEST_F(AsciiExport, DifOfThreeFieldsAndTwoRecords) {
    table.Add({{"Title", "Alien"}, {"Nr", 1234}, {"Price", 12.5}, {"Seen", QDate(2004, 1, 2)}});
    table.Add({{"Title", "Say \"hi\""}});
    writer.ExportedFields() << "Nr" << "Price" << "Seen"; // the first field is not written
    writer.SetTitle(QStringLiteral("Filme"));
    int fetched = 0;
    writer.OnRecordFetched = [&](TVExport&, int) { ++fetched; };
    EXPECT_EQ(Run(TType::etDIF), QByteArray("TABLE\r\n0,1\r\n\"Filme\"\r\nVECTORS\r\n0,3\r\n\"\"\r\n"
                                            "TUPLES\r\n0,2\r\n\"\"\r\nDATA\r\n0,0\r\n\"\"\r\n"
                                            "-1,0\r\nBOT\r\n1,0\r\n\"Nr\"\r\n1,0\r\n\"Price\"\r\n1,0\r\n\"Seen\"\r\n"
                                            "-1,0\r\nBOT\r\n0,1234\r\nV\r\n0,12.5\r\nV\r\n1,0\r\n\"02.01.2004\"\r\n"
                                            "-1,0\r\nBOT\r\n1,0\r\n\"\"\r\n1,0\r\n\"\"\r\n1,0\r\n\"\"\r\n"
                                            "-1,0\r\nEOD\r\n"));
    EXPECT_EQ(fetched, 2);
}

TEST_F(AsciiExport, DifStringsAndBooleans) {
    TExportTable other(QStringLiteral("Title,Char,20,0;Flag,Logical,1,0;Notes,Memo,9,0"));
    other.Add({{"Title", "Say \"hi\""}, {"Flag", true}, {"Notes", "a\r\nb"}});
    writer.SetDataset(other.Data());
    writer.ExportedFields() << "Title" << "Flag" << "Notes";
    writer.SetColHeaders(false);
    const QByteArray dif = Run(TType::etDIF);
    EXPECT_TRUE(dif.contains("-1,0\r\nBOT\r\n1,0\r\n\"Say \"\"hi\"\"\"\r\n0,1\r\nTRUE\r\n1,0\r\n\"a b\"\r\n-1,0\r\nEOD\r\n"))
        << dif.constData();
}

TEST_F(AsciiExport, SylkRowsStartBelowTheCaptions) {
    table.Add({{"Title", "A;B"}, {"Nr", 5}});
    table.Add({{"Title", "x\r\ny"}, {"Nr", 6}});
    writer.ExportedFields() << "Title" << "Nr";
    EXPECT_EQ(Run(TType::etSYLK), QByteArray("ID;PVASCIIEXPORT\r\n"
                                             "C;X1;Y1;K\"Title\"\r\nC;X2;Y1;K\"Nr\"\r\n"
                                             "C;X1;Y2;K\"A;;B\"\r\nC;X2;Y2;K\"5\"\r\n"
                                             "C;X1;Y3;K\"x\x1b :y\"\r\nC;X2;Y3;K\"6\"\r\n"
                                             "E\r\n"));
    writer.SetColHeaders(false);
    const QList<QByteArray> lines = CrLfLines(Run(TType::etSYLK));
    EXPECT_EQ(lines.value(1), QByteArray("C;X1;Y1;K\"A;;B\""));
}

TEST_F(AsciiExport, FixedWidthNrColumn) {
    for (int nr : {5, 123, 42})
        table.Add({{"Nr", nr}});
    writer.ExportedFields() << "Nr";
    EXPECT_EQ(Run(TType::etTxt), QByteArray("  Nr\r\n\r\n   5\r\n 123\r\n  42\r\n\r\n"));
}

TEST_F(AsciiExport, FixedWidthTitleHeaderFooterAndWidths) {
    table.Add({{"Title", "Alien"}, {"Nr", 5}});
    table.Add({{"Title", "Brazil"}, {"Nr", 123456}});
    writer.ExportedFields() << "Title" << "Nr";
    writer.SetTitle(QStringLiteral("Meine Filme"));
    writer.Header() << "Kopf";
    writer.Footer() << "Fuss 1" << "Fuss 2";
    writer.TxtOptions().Spacing = 2;
    EXPECT_EQ(Run(TType::etTxt), "Meine Filme\r\n" + QByteArray(80, '-') + "\r\n\r\nKopf\r\n"
                                 "   Title       Nr\r\n\r\n   Alien        5\r\n  Brazil  123.456\r\n"
                                 "\r\nFuss 1\r\nFuss 2\r\n");

}

TEST_F(AsciiExport, FixedWidthFromDataSizesAndEntries) {
    // every field has a width before measuring: the string its data size,
    // Nr its entry; a longer value is written in full and shifts its line
    TExportTable other(QStringLiteral("Title,Char,5,0;Nr,Integer,4,0"));
    other.Add({{"Title", "Alien"}, {"Nr", 5}});
    other.Add({{"Title", "Brazil"}, {"Nr", 123456}});
    writer.SetDataset(other.Data());
    writer.TxtOptions().AutoCalc = false;
    writer.TxtOptions().ColumnsWidth << "nr=3" << "Title=x";
    int fetched = 0;
    writer.OnRecordFetched = [&](TVExport&, int) { ++fetched; };
    EXPECT_EQ(Run(TType::etTxt), QByteArray("  Title  Nr\r\n\r\n  Alien   5\r\n  Brazi123.456\r\n\r\n"));
    EXPECT_EQ(fetched, 0); // no measuring pass
}

TEST_F(AsciiExport, StopsEndEachFormatProperly) {
    for (int i = 1; i <= 3; ++i)
        table.Add({{"Nr", i}});
    writer.ExportedFields() << "Nr";
    writer.Footer() << "end";
    writer.OnRecordExported = [](TVExport& sender, int recNo) {
        if (recNo == 1)
            sender.StopExport();
    };
    EXPECT_EQ(Run(TType::etCSV), QByteArray("Nr\r\n1\r\n"));
    EXPECT_EQ(Run(TType::etSYLK), QByteArray("ID;PVASCIIEXPORT\r\nC;X1;Y1;K\"Nr\"\r\nC;X1;Y2;K\"1\"\r\nE\r\n"));
    EXPECT_TRUE(Run(TType::etDIF).endsWith("0,1\r\nV\r\n-1,0\r\nEOD\r\n"));
    EXPECT_EQ(Run(TType::etTxt), QByteArray(" Nr\r\n\r\n  1\r\n\r\nend\r\n"));

    // a stop while measuring writes nothing more
    writer.OnRecordExported = nullptr;
    writer.OnRecordFetched = [](TVExport& sender, int) { sender.StopExport(); };
    EXPECT_EQ(Run(TType::etTxt), QByteArray());
    EXPECT_EQ(Run(TType::etDIF), QByteArray());
}

// The standard csv module reads what we write: same rows, same columns.
TEST_F(AsciiExport, PythonCsvModuleReadsTheFile) {
    if (!HaveProgram("python3"))
        GTEST_SKIP() << "python3 is not installed";
    table.Add({{"Title", "Say \"hi\"; bye"}, {"Nr", 5}, {"Notes", "one\r\ntwo;three"}});
    table.Add({{"Title", "\u00c4rger"}, {"Nr", 6}});
    writer.ExportedFields() << "Title" << "Nr" << "Notes";
    Run(TType::etCSV);
    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import csv,sys,json\n"
                                 "rows=list(csv.reader(open(sys.argv[1],newline='',encoding='cp1252'),delimiter=';'))\n"
                                 "print(json.dumps(rows))"),
                  writer.FileName()});
    ASSERT_TRUE(python.waitForFinished(30000));
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().constData();
    EXPECT_EQ(python.readAllStandardOutput().trimmed(),
              QByteArray("[[\"Title\", \"Nr\", \"Notes\"], [\"Say \\\"hi\\\"; bye\", \"5\", \"one\\r\\ntwo;three\"], "
                         "[\"\\u00c4rger\", \"6\", \"\"]]"));
}

} // namespace

#include "CsvTableReader.h"
#include "OfficeReader.h"

namespace {

// write → read → write gives the same bytes
TEST(CsvRoundTrip, WriteReadWriteIsIdentical) {
    TExportTable source(QStringLiteral("Title,Char,30,0;Notes,Memo,9,0;Nr,Integer,4,0;Ratio,Double,8,0;"
                                       "Seen,Date,4,0;Flag,Logical,1,0"));
    source.Add({{"Title", "Say \"hi\"; bye"}, {"Notes", "one\r\ntwo; \"three\""}, {"Nr", 70000}, {"Ratio", 1234.5},
                {"Seen", QDate(2004, 1, 2)}, {"Flag", true}});
    source.Add({{"Title", "M\u00fcller"}, {"Nr", -3}, {"Flag", false}});
    source.Add({});
    const QStringList all{"Title", "Notes", "Nr", "Ratio", "Seen", "Flag"};
    auto write = [&](TExportDataSet* data, const QString& file) {
        TVASCIIExport writer;
        writer.SetDataset(data);
        writer.SetFileName(file);
        writer.SetExportType(TType::etCSV);
        writer.ExportedFields() = all;
        UseGermanFormats(writer);
        EXPECT_TRUE(writer.Execute());
        return ReadFile(file);
    };
    const QByteArray once = write(source.Data(), source.File("once.csv"));
    ASSERT_TRUE(ReadCsvIntoTable(source.File("once.csv"), source.File("COPY.ADT")));
    TAdsTable copy;
    copy.SetDatabaseName(source.Folder().Path());
    copy.SetTableName(QStringLiteral("COPY.ADT"));
    copy.Open();
    TAdsExportDataSet data(&copy);
    EXPECT_EQ(write(&data, source.File("twice.csv")), once);
}

// The office suite opens the DIF and SYLK files with their values in place.
TEST(OfficeReadsAsciiFormats, DifAndSylk) {
    if (!HaveOffice())
        GTEST_SKIP() << "no office suite (soffice) is installed";
    TExportTable table(QStringLiteral("Title,Char,30,0;Nr,Integer,4,0;Ratio,Double,8,0"));
    table.Add({{"Title", "A;B \"q\""}, {"Nr", 70000}, {"Ratio", 2.5}});
    table.Add({{"Title", "Mueller"}, {"Nr", 5}}); // the reader takes SYLK in the system's code page
    struct {
        TType type;
        const char* file;
        const char* filter;
        const char* expected;
    } const cases[] = {
        {TType::etDIF, "out.dif", "DIF", "Title;Nr;Ratio\nA;B \"q\";70000;2.5\nMueller;5;\n"},
        {TType::etSYLK, "out.slk", "SYLK", "Title;Nr;Ratio\nA;B \"q\";70000;2.5\nMueller;5;\n"},
    };
    for (const auto& c : cases) {
        TVASCIIExport writer;
        writer.SetDataset(table.Data());
        writer.SetFileName(table.File(QString::fromLatin1(c.file)));
        writer.SetExportType(c.type);
        writer.Formats().SetIntegerFormat(QStringLiteral("0"));
        writer.Formats().SetFloatFormat(QStringLiteral("0.0"));
        writer.Formats().SetSettings(TFormatSettings{});
        ASSERT_TRUE(writer.Execute());
        TTempFolder out;
        const QString csv = ConvertWithOffice(writer.FileName(), QStringLiteral("csv:Text - txt - csv (StarCalc):9,0,76"),
                                              out, QString::fromLatin1(c.filter));
        QByteArray text = ReadFile(csv);
        text.replace("\r\n", "\n");
        text.replace('\t', ';');
        EXPECT_EQ(text, QByteArray(c.expected)) << c.file;
    }
}

} // namespace
