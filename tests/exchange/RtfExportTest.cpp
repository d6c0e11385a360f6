// The RTF writer: document structure, tables with inserted entries,
// escapes, and the office suite reading the document.

#include "ExportTestSupport.h"

#include "OfficeReader.h"
#include "exchange/VRTFExport.h"

namespace {

class RtfExport : public ::testing::Test {
protected:
    RtfExport() : table(QStringLiteral("Title,Char,30,0;Nr,Integer,4,0")) {
        EnsureGuiApplication();
        writer.SetDataset(table.Data());
        writer.SetFileName(table.File(QStringLiteral("out.rtf")));
        writer.SetShellHandler([](const QString&, const QString&) {});
        UseGermanFormats(writer);
    }
    QByteArray Written() { return ReadFile(writer.FileName()); }
    // The row definition for the captions Title and Nr in the header font.
    QByteArray RowDefinition() {
        const TExportFont& font = writer.RTFOptions().HeaderFont;
        const int first = 36 + TVRTFExport::TextWidth(font, "Title") * 20 + 10;
        const int second = first + TVRTFExport::TextWidth(font, "Nr") * 20 + 10;
        const QByteArray border = "\\clbrdrl\\brdrth \\clbrdrr\\brdrth \\clbrdrt\\brdrth \\clbrdrb\\brdrth\r\n";
        return "\\trowd\\trql\\trgaph0\\trleft36\r\n" + border + "\\cellx" + QByteArray::number(first) + "\r\n" + border +
               "\\cellx" + QByteArray::number(second) + "\r\n";
    }
    TExportTable table;
    TVRTFExport writer;
};

TEST_F(RtfExport, EmptyTableDocument) {
    ASSERT_TRUE(writer.Execute());
    EXPECT_EQ(Written(), "{\\rtf1\\ansi\\deff0\\deftab720\r\n{\\fonttbl{\\f0\\fnil Arial;}{\\f1\\fnil Arial;}}\r\n"
                         "{\\colortbl\\red0\\green0\\blue0;}\r\n\\f1\\fs20\r\n\\par\r\n" +
                             RowDefinition() +
                             "\\f0\\fs20\r\n\\pard\\intbl\\li30\\ri30{\\b Title}\\cell\\pard\\intbl\\li30\\ri30{\\b Nr}\\cell\\row\r\n"
                             "\\f1\\fs20\r\n\\pard\r\n\\par\r\n}");
}

TEST_F(RtfExport, RowsEscapesAlignmentHeaderAndFooter) {
    table.Add({{"Title", "C:\\Filme {neu}\r\nZeile 2 \u00e4"}, {"Nr", 1234}});
    writer.RTFOptions().HeaderFont.bold = false;
    writer.Header() << "Kopf";
    writer.Footer() << "Fuss";
    ASSERT_TRUE(writer.Execute());
    const QByteArray rtf = Written();
    EXPECT_TRUE(rtf.contains("\\f1\\fs20\r\nKopf\r\n\\par\r\n\\par\r\n\\trowd"));
    EXPECT_TRUE(rtf.contains("\\pard\\intbl\\li30\\ri30{ Title}\\cell\\pard\\intbl\\li30\\ri30{ Nr}\\cell\\row\r\n"));
    EXPECT_TRUE(rtf.contains("\\f1\\fs20\r\n\\pard\\intbl\\li30\\ri30{C:\\\\Filme \\{neu\\}\\line Zeile 2 \xe4}\\cell"
                             "\\pard\\intbl\\li30\\ri30\\qr{1.234}\\cell\\row\r\n\\pard\r\n\\par\r\n\\par\r\nFuss\r\n}"))
        << rtf.constData();
}

TEST_F(RtfExport, CellFontsAndColoursAreAddedToTheTables) {
    table.Add({{"Title", "A"}, {"Nr", 1}});
    table.Add({{"Title", "B"}, {"Nr", 2}});
    writer.OnGetRTFCellParams = [](TVExport&, const TExportField& field, TCellAlign& align, TExportFont& font,
                                   TColor& background) {
        if (field.FieldName() == QLatin1String("Title")) {
            font.name = QStringLiteral("Courier New");
            font.color = TExportColor::Red;
            font.italic = true;
            align = TCellAlign::Center;
        } else {
            background = TExportColor::FromHtml(QStringLiteral("#ffff00"));
        }
    };
    writer.ColumnsWidth() << "nr=3";
    ASSERT_TRUE(writer.Execute());
    const QByteArray rtf = Written();
    EXPECT_TRUE(rtf.contains("{\\fonttbl{\\f0\\fnil Arial;}{\\f1\\fnil Arial;}{\\f2\\fnil Courier New;}}\r\n"
                             "{\\colortbl\\red0\\green0\\blue0;\\red255\\green0\\blue0;\\red255\\green255\\blue0;}\r\n"))
        << rtf.constData();
    EXPECT_TRUE(rtf.contains("\\pard\\intbl\\li30\\ri30\\qc{\\f2\\fs20\\cf1\\i A}\\cell"
                             "\\pard\\intbl\\li30\\ri30\\cbpat2\\qr{1}\\cell\\row\r\n"));
    EXPECT_TRUE(rtf.contains("\\qc{\\f2\\fs20\\cf1\\i B}\\cell"));
    // the Nr column is 3 letters W wide
    const TExportFont& font = writer.RTFOptions().HeaderFont;
    const int first = 36 + TVRTFExport::TextWidth(font, "Title") * 20 + 10;
    EXPECT_TRUE(rtf.contains("\\cellx" + QByteArray::number(first + 3 * TVRTFExport::TextWidth(font, "W") * 20 + 10) + "\r\n"));
}

TEST_F(RtfExport, StopEndsTheDocument) {
    table.Add({{"Title", "A"}});
    table.Add({{"Title", "B"}});
    writer.Footer() << "Fuss";
    writer.OnRecordExported = [](TVExport& sender, int) { sender.StopExport(); };
    EXPECT_FALSE(writer.Execute());
    EXPECT_TRUE(Written().endsWith("{A}\\cell\\pard\\intbl\\li30\\ri30\\qr{}\\cell\\row\r\n\\pard\r\n\\par\r\n\\par\r\nFuss\r\n}"));
}

TEST_F(RtfExport, OfficeSuiteReadsTheDocument) {
    if (!HaveOffice())
        GTEST_SKIP() << "no office suite (soffice) is installed";
    table.Add({{"Title", "M\u00fcller {1} \\ 2"}, {"Nr", 5}});
    ASSERT_TRUE(writer.Execute());
    TTempFolder out;
    const QString text = ConvertWithOffice(writer.FileName(), QStringLiteral("txt:Text (encoded):UTF8"), out);
    const QString content = QString::fromUtf8(ReadFile(text));
    EXPECT_TRUE(content.contains(QStringLiteral("M\u00fcller {1} \\ 2"))) << content.toStdString();
    EXPECT_TRUE(content.contains(QStringLiteral("Title"))) << content.toStdString();
}

} // namespace
