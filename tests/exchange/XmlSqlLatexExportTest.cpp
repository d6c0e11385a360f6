// The XML, SQL and LaTeX writers byte for byte, and real readers of their
// files where the system has them.

#include "ExportTestSupport.h"

#include "exchange/VLaTeXExport.h"
#include "exchange/VSQLExport.h"
#include "exchange/VXMLExport.h"

#include <QProcess>

namespace {

const char* kDefinition = "Title,Char,30,0;Price,CurDouble,10,2;Seen,Date,4,0;Flag,Logical,1,0;Group,Char,10,0;"
                          "US-Ratings,Char,5,0;Notes,Memo,9,0;Cover,Image,9,0;Nr,Integer,4,0";

// Runs a program and gives its standard output; records a failure when it
// does not end with exit code 0.
QByteArray RunProgram(const QString& program, const QStringList& args, const QByteArray& input = QByteArray()) {
    QProcess process;
    process.start(program, args);
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000)) {
        ADD_FAILURE() << program.toStdString() << " did not finish";
        return QByteArray();
    }
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().constData();
    return process.readAllStandardOutput();
}

class SmallWriters : public ::testing::Test {
protected:
    SmallWriters() : table(QString::fromLatin1(kDefinition)) {}
    void Prepare(TVExport& writer, const QString& file) {
        writer.SetDataset(table.Data());
        writer.SetFileName(table.File(file));
        writer.SetShellHandler([](const QString&, const QString&) {});
        UseGermanFormats(writer);
    }
    TExportTable table;
};

TEST_F(SmallWriters, XmlDataPacket) {
    table.Add({{"Title", "Tom & \"Jerry\" <3>"}, {"Price", 12.5}, {"Seen", QDate(2003, 12, 24)}});
    table.Add({});
    TVXMLExport writer;
    Prepare(writer, "out.xml");
    writer.ExportedFields() << "Title" << "Price" << "Seen";
    writer.Captions() << "Title=Film & Titel";
    QList<int> events;
    writer.OnRecordExported = [&](TVExport&, int recNo) { events << recNo; };
    ASSERT_TRUE(writer.Execute());
    EXPECT_EQ(ReadFile(writer.FileName()),
              QByteArray("<?xml version=\"1.0\" standalone=\"yes\"?>\r\n<DATAPACKET Version=\"2.0\">\r\n"
                         "<METADATA>\r\n<FIELDS>\r\n"
                         "<FIELD FieldName=\"Title\" DisplayLabel=\"Film &amp; Titel\" FieldType=\"ftString\" FieldClass=\"TStringField\"/>\r\n"
                         "<FIELD FieldName=\"Price\" DisplayLabel=\"Price\" FieldType=\"ftCurrency\" FieldClass=\"TCurrencyField\"/>\r\n"
                         "<FIELD FieldName=\"Seen\" DisplayLabel=\"Seen\" FieldType=\"ftDate\" FieldClass=\"TDateField\"/>\r\n"
                         "</FIELDS>\r\n</METADATA>\r\n<ROWDATA>\r\n"
                         "<ROW Title=\"Tom &amp; &quot;Jerry&quot; &lt;3&gt;\" Price=\"12,50&#8364;\" Seen=\"24.12.2003\"/>\r\n"
                         "<ROW Title=\"\" Price=\"\" Seen=\"\"/>\r\n"
                         "</ROWDATA>\r\n</DATAPACKET>\r\n"));
    ASSERT_EQ(events.size(), 2);
    EXPECT_EQ(events.first(), 2); // the record moved to

    // declaration variants
    struct {
        const char* encoding;
        bool standAlone;
        const char* first;
    } const cases[] = {
        {"", false, "<?xml version=\"1.0\" standalone=\"no\"?>"},
        {"windows-1252", true, "<?xml version=\"1.0\" encoding=\"windows-1252\" standalone=\"yes\"?>"},
    };
    writer.SetColHeaders(false);
    for (const auto& c : cases) {
        writer.XMLOptions().Encoding = QString::fromLatin1(c.encoding);
        writer.XMLOptions().StandAlone = c.standAlone;
        writer.Execute();
        const QList<QByteArray> lines = CrLfLines(ReadFile(writer.FileName()));
        EXPECT_EQ(lines.value(0), QByteArray(c.first));
        EXPECT_EQ(lines.value(2), QByteArray("<ROWDATA>"));
    }
    // with windows-1252 declared the euro sign is its byte
    EXPECT_TRUE(ReadFile(writer.FileName()).contains("Price=\"12,50\x80\""));
}

TEST_F(SmallWriters, XmllintReadsTheValuesBack) {
    if (!HaveProgram("xmllint"))
        GTEST_SKIP() << "xmllint is not installed";
    const QString title = QStringLiteral("M\u00fcller & \"S\u00f6hne\" \u20ac <1>");
    table.Add({{"Title", title}, {"Notes", "line 1\r\nline 2"}});
    TVXMLExport writer;
    Prepare(writer, "out.xml");
    writer.ExportedFields() << "Title" << "Notes";
    for (const char* encoding : {"", "windows-1252"}) {
        writer.XMLOptions().Encoding = QString::fromLatin1(encoding);
        ASSERT_TRUE(writer.Execute());
        for (const auto& [field, expected] : {std::pair{"Title", title}, std::pair{"Notes", QStringLiteral("line 1\r\nline 2")}}) {
            const QByteArray value = RunProgram(
                QStringLiteral("xmllint"),
                {QStringLiteral("--xpath"), QStringLiteral("string(//ROW[1]/@%1)").arg(QLatin1String(field)), writer.FileName()});
            EXPECT_EQ(QString::fromUtf8(value).chopped(1), expected) << encoding << " " << field;
        }
    }
}

TEST_F(SmallWriters, SqlScript) {
    table.Add({{"Title", "O'Hara"}, {"Price", 12.5}, {"Seen", QDate(2003, 12, 24)}, {"Flag", true}, {"Group", "A"}});
    table.Add({{"Title", "B"}, {"Flag", false}});
    table.Add({{"Title", "C"}, {"Price", -1.0}});
    TVSQLExport writer;
    Prepare(writer, "out.sql");
    writer.ExportedFields() << "Title" << "Price" << "Seen" << "Flag" << "Group";
    writer.SetTableName(QStringLiteral("Filme"));
    writer.SetCreateTableStatement(true);
    writer.SetCommitRecCount(2);
    writer.SetCommitAfterScript(true);
    writer.Header() << "-- Kopf";
    writer.Footer() << "-- Ende";
    ASSERT_TRUE(writer.Execute());
    const QByteArray insert = "INSERT INTO Filme\r\n  (Title,Price,Seen,Flag,\"Group\")\r\nVALUES\r\n";
    EXPECT_EQ(ReadFile(writer.FileName()),
              "-- Kopf\r\nCREATE TABLE Filme(\r\n  Title  CHAR(31),\r\n  Price  DOUBLE PRECISION,\r\n"
              "  Seen  DATE,\r\n  Flag  INTEGER,\r\n  \"Group\"  CHAR(11));\r\n\r\n" +
                  insert + "  ('O''Hara',12.5,'2003-12-24',True,'A');\r\n\r\n" + insert +
                  "  ('B',NULL,NULL,False,NULL);\r\n\r\nCOMMIT WORK;\r\n\r\n" + insert +
                  "  ('C',-1,NULL,NULL,NULL);\r\n\r\nCOMMIT WORK;\r\n-- Ende\r\n")
        << ReadFile(writer.FileName()).constData();
}

TEST_F(SmallWriters, SqlCommitsFollowTheRecordNumbers) {
    for (int i = 1; i <= 5; ++i)
        table.Add({{"Nr", i}});
    TVSQLExport writer;
    Prepare(writer, "Export.sql");
    writer.ExportedFields() << "Nr";
    writer.SetCommitRecCount(2);
    writer.SetNullString(QStringLiteral("null"));
    writer.SetStatementTerm(QLatin1Char('!'));
    int stops = 0;
    writer.OnStopExport = [&](TVExport&) { ++stops; };
    writer.OnRecordExported = [](TVExport& sender, int) { sender.StopExport(); }; // scripts are not cut
    ASSERT_TRUE(writer.Execute());
    const QList<QByteArray> lines = CrLfLines(ReadFile(writer.FileName()));
    QList<QByteArray> afterCommit;
    for (int i = 1; i < lines.size(); ++i)
        if (lines[i] == "COMMIT WORK;")
            afterCommit << lines[i - 2];
    EXPECT_EQ(afterCommit, (QList<QByteArray>{"  (2)!", "  (4)!"}));
    EXPECT_EQ(lines.value(0), QByteArray("INSERT INTO Export")); // named after the file without a table name
    EXPECT_EQ(lines.count("VALUES"), 5);
    EXPECT_EQ(stops, 0);
}

TEST_F(SmallWriters, SqliteRunsTheScript) {
    if (!HaveProgram("python3"))
        GTEST_SKIP() << "python3 is not installed";
    table.Add({{"Title", "O'Hara'); DROP TABLE Filme; --"}, {"Price", 12.5}, {"Seen", QDate(2003, 12, 24)},
               {"Flag", true}, {"Group", "G"}, {"US-Ratings", "PG"}, {"Notes", "a 'note'\r\nline"}, {"Nr", 7}});
    table.Add({{"Title", "Zweiter"}});
    TVSQLExport writer;
    Prepare(writer, "out.sql");
    writer.ExportedFields() << "Title" << "Price" << "Seen" << "Flag" << "Group" << "US-Ratings" << "Notes" << "Nr";
    writer.SetTableName(QStringLiteral("Filme"));
    writer.SetCreateTableStatement(true);
    writer.SetCommitStatement(QString()); // no transaction is open in the test database
    ASSERT_TRUE(writer.Execute());
    const QByteArray out = RunProgram(
        QStringLiteral("python3"),
        {QStringLiteral("-c"),
         QStringLiteral("import sqlite3,sys,json\n"
                        "db=sqlite3.connect(':memory:')\n"
                        "db.executescript(open(sys.argv[1],encoding='cp1252',newline='').read())\n"
                        "print(json.dumps(db.execute('select * from Filme order by rowid').fetchall()))"),
         writer.FileName()});
    EXPECT_EQ(out.trimmed(), QByteArray("[[\"O'Hara'); DROP TABLE Filme; --\", 12.5, \"2003-12-24\", 1, \"G\", \"PG\", "
                                        "\"a 'note'\\r\\nline\", 7], [\"Zweiter\", null, null, null, null, null, null, null]]"));
}

TEST_F(SmallWriters, SqlIdentifiers) {
    EXPECT_EQ(TVSQLExport::Identifier(QStringLiteral("Title")), QStringLiteral("Title"));
    EXPECT_EQ(TVSQLExport::Identifier(QStringLiteral("US-Ratings")), QStringLiteral("\"US-Ratings\""));
    EXPECT_EQ(TVSQLExport::Identifier(QStringLiteral("date")), QStringLiteral("\"date\""));
    EXPECT_EQ(TVSQLExport::Identifier(QStringLiteral("a\"b")), QStringLiteral("\"a\"\"b\""));
    EXPECT_EQ(TVSQLExport::QuotedString(QStringLiteral("O'Hara")), QStringLiteral("'O''Hara'"));
}

TEST_F(SmallWriters, LatexDocument) {
    table.Add({{"Title", "50% & more_{x}"}, {"Price", 12.5}});
    table.Add({{"Title", "a\\b ~c^ #1 $"}});
    TVLaTeXExport writer;
    Prepare(writer, "out.tex");
    writer.ExportedFields() << "Title" << "Price";
    writer.Captions() << "Price=Preis in %";
    writer.Header() << "Kopf";
    writer.Footer() << "Fuss";
    writer.Preambula() << "\\usepackage{longtable}";
    ASSERT_TRUE(writer.Execute());
    EXPECT_EQ(ReadFile(writer.FileName()),
              QByteArray("\\documentclass[a4paper]{article}\r\n\\usepackage[cp1252]{inputenc}\r\n"
                         "\\usepackage[english]{babel}\r\n\\usepackage{longtable}\r\n\r\n\\begin{document}\r\n\r\nKopf\r\n"
                         "\\par\\bigskip\r\n\\begin{tabular}{|l|r|}\r\n\\hline\r\n{\\bf Title} & {\\bf Preis in \\%}\r\n"
                         "\\\\\r\n\\hline\r\n50\\% \\& more\\_\\{x\\} & 12,50\x80\r\n\\\\\r\n\\hline\r\n"
                         "a\\textbackslash{}b \\textasciitilde{}c\\textasciicircum{} \\#1 \\$ & \r\n\\\\\r\n\\hline\r\n"
                         "\\end{tabular}\r\n\r\nFuss\r\n\\end{document}\r\n"));

    // 2.09 style, book, no parameters, Russian; a stop ends the document
    writer.LaTeXOptions().LaTeXVersion = TLaTeXOptions::TLaTeXVersion::LaTeX209;
    writer.LaTeXOptions().DocumentStyle = TLaTeXOptions::TDocumentStyle::dsBook;
    writer.LaTeXOptions().DocumentParams.clear();
    writer.LaTeXOptions().Languages = QStringLiteral("russian");
    writer.Header().clear();
    writer.Footer().clear();
    writer.SetColHeaders(false);
    writer.OnRecordExported = [](TVExport& sender, int) { sender.StopExport(); };
    EXPECT_FALSE(writer.Execute());
    EXPECT_EQ(ReadFile(writer.FileName()),
              QByteArray("\\documentstyle{book}\r\n\\begin{document}\r\n\\Rus\r\n\r\n\\par\\bigskip\r\n"
                         "\\begin{tabular}{|l|r|}\r\n\\hline\r\n50\\% \\& more\\_\\{x\\} & 12,50\x80\r\n\\\\\r\n\\hline\r\n"
                         "\\hline\r\n\\end{tabular}\r\n\r\n\\end{document}\r\n"));
}

TEST_F(SmallWriters, PdflatexTypesetsTheDocument) {
    if (!HaveProgram("pdflatex"))
        GTEST_SKIP() << "pdflatex is not installed";
    table.Add({{"Title", "50% & more \\ ~x^ {y} #1 $ M\u00fcller"}, {"Price", 12.5}, {"Notes", "a\r\n\r\nb"}});
    TVLaTeXExport writer;
    Prepare(writer, "out.tex");
    writer.ExportedFields() << "Title" << "Price" << "Notes";
    ASSERT_TRUE(writer.Execute());
    RunProgram(QStringLiteral("pdflatex"), {QStringLiteral("-interaction=nonstopmode"), QStringLiteral("-halt-on-error"),
                                            QStringLiteral("-output-directory"), table.Folder().Path(), writer.FileName()});
}

} // namespace
