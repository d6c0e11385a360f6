// The spreadsheet writer: BIFF records byte for byte, and the office suite
// reading the file.

#include "ExportTestSupport.h"

#include "OfficeReader.h"
#include "exchange/VExcelExport.h"

#include <QtEndian>

namespace {

using TExcelColor = TExcelOptions::TExcelColor;

QByteArray U16(quint16 v) {
    QByteArray b(2, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray Record(quint16 number, const QByteArray& data) {
    return U16(number) + U16(quint16(data.size())) + data;
}

QByteArray Str(const QByteArray& text) {
    return char(text.size()) + text;
}

QByteArray Font(int size, quint16 attributes, const QByteArray& name) {
    return Record(0x0031, U16(quint16(size * 20)) + U16(attributes) + Str(name));
}

QByteArray XF(int font, int format) {
    return Record(0x0043, QByteArray(1, char(font)) + '\0' + char(format + 0x40) + '\0');
}

QByteArray Cell(quint16 number, int row, int column, int xf, const QByteArray& value) {
    return Record(number, U16(quint16(row)) + U16(quint16(column)) + char(0x40 + xf) + '\0' + '\0' + value);
}

QByteArray Label(int row, int column, int xf, const QByteArray& text) {
    return Cell(0x0004, row, column, xf, Str(text));
}

QByteArray Number(int row, int column, int xf, double value) {
    QByteArray b(8, '\0');
    qToLittleEndian(value, b.data());
    return Cell(0x0003, row, column, xf, b);
}

QByteArray Integer(int row, int column, int xf, quint16 value) {
    return Cell(0x0002, row, column, xf, U16(value));
}

QByteArray ColWidth(int column, int chars) {
    return Record(0x0024, QByteArray(1, char(column)) + char(column) + U16(quint16(chars * 256)));
}

// BOF … the six standard formats, for German formats.
QByteArray Start(const QByteArray& userFormats = QByteArray(), const QByteArray& extraFormat = QByteArray()) {
    return Record(0x0009, QByteArray("\x02\x00\x10\x00", 4)) +
           Record(0x0200, QByteArray("\x00\x00\x04\x00\x00\x00\x0E\x00\x00\x00", 10)) + Font(10, 0, "Arial") +
           Font(10, 0, "Arial") + Font(10, 1, "Arial") + Record(0x0015, Str("Page &P of &N")) +
           Record(0x001E, Str("General")) + userFormats + Record(0x001E, Str("#,###,##0")) +
           Record(0x001E, Str("#,###,##0.00")) + Record(0x001E, Str("dd.mm.yyyy")) + Record(0x001E, Str("hh:mm")) +
           Record(0x001E, Str("dd.mm.yy hh:mm")) + Record(0x001E, Str("00.00\x80")) + extraFormat;
}

class ExcelExport : public ::testing::Test {
protected:
    ExcelExport() : table(QStringLiteral("Title,Char,50,0;Price,CurDouble,10,2;Nr,Integer,4,0;Seen,Date,4,0")) {
        writer.SetDataset(table.Data());
        writer.SetFileName(table.File(QStringLiteral("out.xls")));
        writer.SetShellHandler([](const QString&, const QString&) {});
        UseGermanFormats(writer);
    }
    QByteArray Written() { return ReadFile(writer.FileName()); }
    TExportTable table;
    TVExcelExport writer;
};

TEST_F(ExcelExport, TitleAndPriceRecordSequence) {
    table.Add({{"Title", "Alien"}, {"Price", 12.5}});
    table.Add({{"Title", "Brazil"}, {"Price", 7.0}});
    writer.ExportedFields() << "Title" << "Price";
    ASSERT_TRUE(writer.Execute());
    QByteArray expected = Start();
    for (int i = 0; i < 2; ++i)
        expected += XF(i + 1, 0);
    for (int k = 0; k < 6; ++k)
        expected += XF(1, 1 + k);
    expected += Label(0, 0, 1, "Title") + Label(0, 1, 1, "Price") + Label(1, 0, 0, "Alien") + Number(1, 1, 7, 12.5) +
                Label(2, 0, 0, "Brazil") + Number(2, 1, 7, 7.0) + ColWidth(0, 50) + ColWidth(1, 12) +
                Record(0x000A, QByteArray());
    EXPECT_EQ(Written(), expected);
}

TEST_F(ExcelExport, IntegersUserFormatsNullsAndHeaderColour) {
    table.Add({{"Nr", 70000}, {"Price", 1.25}});
    table.Add({{"Nr", -1}});
    table.Add({{"Nr", 42}, {"Title", "x"}});
    writer.ExportedFields() << "Title" << "Price" << "Nr" << "Seen";
    writer.UserFormats() << "Price=0.0"
                         << "Unknown=0"      // names no field: no FORMAT record
                         << "price=#,##0.00" // the last entry naming a field counts
                         << "Seen=dd.mm.yyyy hh:nn";
    writer.ExcelOptions().SetRowHeaderFontColor(TExcelColor::eclRed);
    writer.ExcelOptions().PageHeader = QStringLiteral("Filme");
    writer.Header() << "Kopf";
    writer.Footer() << "Fuss";
    writer.ColumnsWidth() << "Nr=5" << "Seen=x";
    ASSERT_TRUE(writer.Execute());

    const QByteArray userFormats =
        Record(0x001E, Str("0.0")) + Record(0x001E, Str("#,##0.00")) + Record(0x001E, Str("dd.mm.yyyy hh:mm"));
    QByteArray expected = Start(userFormats, Record(0x001E, Str("[Red]General")));
    // the page header stands before the footer
    expected.replace(Record(0x0015, Str("Page &P of &N")), Record(0x0014, Str("Filme")) + Record(0x0015, Str("Page &P of &N")));
    expected += XF(1, 0) + XF(2, 0) + XF(1, 2) + XF(1, 3); // u = 2: Price → FORMAT 2, Seen → FORMAT 3
    for (int k = 0; k < 6; ++k)
        expected += XF(1, 4 + k);
    expected += XF(2, 10);
    expected += Label(0, 0, 0, "Kopf");
    expected += Label(1, 0, 10, "Title") + Label(1, 1, 10, "Price") + Label(1, 2, 10, "Nr") + Label(1, 3, 10, "Seen");
    expected += Label(2, 0, 0, "") + Number(2, 1, 2, 1.25) + Number(2, 2, 0, 70000) + Label(2, 3, 3, "");
    expected += Label(3, 0, 0, "") + Label(3, 1, 2, "") + Number(3, 2, 0, -1) + Label(3, 3, 3, "");
    expected += Label(4, 0, 0, "x") + Label(4, 1, 2, "") + Integer(4, 2, 4, 42) + Label(4, 3, 3, "");
    expected += Label(5, 0, 0, "Fuss");
    expected += ColWidth(0, 50) + ColWidth(1, 12) + ColWidth(2, 5) + ColWidth(3, 12) + Record(0x000A, QByteArray());
    EXPECT_EQ(Written(), expected);
}

TEST_F(ExcelExport, LongTextsAreCut) {
    TExportTable notes(QStringLiteral("Notes,Memo,9,0"));
    notes.Add({{"Notes", QString(300, QLatin1Char('x'))}});
    writer.SetDataset(notes.Data());
    writer.ExportedFields() << "Notes";
    writer.SetColHeaders(false);
    ASSERT_TRUE(writer.Execute());
    EXPECT_TRUE(Written().contains(Label(0, 0, 0, QByteArray(255, 'x')) + ColWidth(0, 12)));
}

TEST_F(ExcelExport, DatesAreDayNumbers) {
    table.Add({{"Seen", QDate(2003, 12, 24)}});
    writer.ExportedFields() << "Seen";
    writer.SetColHeaders(false);
    ASSERT_TRUE(writer.Execute());
    EXPECT_TRUE(Written().contains(Number(0, 0, 4, 37979.0)));
}

TEST_F(ExcelExport, StopWritesCaptionWidthsAndEnd) {
    table.Add({{"Title", "A"}});
    table.Add({{"Title", "B"}});
    writer.ExportedFields() << "Title" << "Nr";
    writer.Footer() << "Fuss";
    writer.OnRecordExported = [](TVExport& sender, int) { sender.StopExport(); };
    EXPECT_FALSE(writer.Execute());
    const QByteArray written = Written();
    EXPECT_TRUE(written.endsWith(Label(1, 0, 0, "A") + Label(1, 1, 0, "") +
                                 ColWidth(0, 5) + ColWidth(1, 2) + Record(0x000A, QByteArray())));
    EXPECT_FALSE(written.contains("Fuss"));
}

TEST_F(ExcelExport, RowHeaderFontAndColourFollowEachOther) {
    TExcelOptions options;
    TExportFont font = options.RowHeaderFont();
    font.color = TExportColor::FromHtml(QStringLiteral("#0000ff"));
    options.SetRowHeaderFont(font);
    EXPECT_EQ(options.RowHeaderFontColor(), TExcelColor::eclBlue);
    options.SetRowHeaderFontColor(TExcelColor::eclGreen);
    EXPECT_EQ(options.RowHeaderFont().color, TExportColor::FromHtml(QStringLiteral("#008000")));
    font.color = TExportColor::FromHtml(QStringLiteral("#123456"));
    options.SetRowHeaderFont(font);
    EXPECT_EQ(options.RowHeaderFontColor(), TExcelColor::eclDefault);
    EXPECT_EQ(TExcelOptions::ColorName(TExcelColor::eclMagenta), QStringLiteral("Magenta"));
}

TEST_F(ExcelExport, OfficeSuiteReadsTheSheet) {
    if (!HaveOffice())
        GTEST_SKIP() << "no office suite (soffice) is installed";
    table.Add({{"Title", "M\u00fcller"}, {"Price", 12.5}, {"Nr", 70000}, {"Seen", QDate(2003, 12, 24)}});
    table.Add({{"Title", "B"}, {"Nr", 42}});
    writer.ExportedFields() << "Title" << "Price" << "Nr" << "Seen";
    writer.Formats().SetCurrencyFormat(QStringLiteral("0.00"));
    writer.Formats().SetIntegerFormat(QStringLiteral("0"));
    writer.Formats().SetDateFormat(QStringLiteral("yyyy-mm-dd"));
    ASSERT_TRUE(writer.Execute());
    TTempFolder out;
    const QString csv = ConvertWithOffice(writer.FileName(), QStringLiteral("csv:Text - txt - csv (StarCalc):59,34,76"), out);
    const QList<QByteArray> lines = CrLfLines(ReadFile(csv));
    ASSERT_GE(lines.size(), 3) << ReadFile(csv).constData();
    EXPECT_EQ(lines[0], QByteArray("Title;Price;Nr;Seen"));
    EXPECT_EQ(lines[1], QByteArray("M\xc3\xbcller;12.50;70000;2003-12-24"));
    EXPECT_EQ(lines[2], QByteArray("B;;42;"));
}

} // namespace
