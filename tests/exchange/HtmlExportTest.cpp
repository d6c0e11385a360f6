// The HTML writer: page layout, style sheet, escapes, paging, index page,
// external style sheet, colour templates and template files.

#include "ExportTestSupport.h"

#include "exchange/VHTMLExport.h"
#include "platform/MovarixError.h"

#include <QFileInfo>

namespace {

using TTemplate = TVHTMLExport::THTMLTemplate;

class HtmlExport : public ::testing::Test {
protected:
    HtmlExport() : table(QStringLiteral("Title,Char,30,0;Nr,Integer,4,0;Flag,Logical,1,0")) {
        writer.SetDataset(table.Data());
        writer.SetFileName(table.File(QStringLiteral("Liste.htm")));
        writer.ExportedFields() << "Title" << "Nr";
        writer.SetShellHandler([](const QString&, const QString&) {});
        UseGermanFormats(writer);
    }
    void AddRecords(int count) {
        for (int i = 1; i <= count; ++i)
            table.Add({{"Title", QStringLiteral("T%1").arg(i)}, {"Nr", i}});
    }
    QByteArray Page(const QString& name) { return ReadFile(table.File(name)); }

    TExportTable table;
    TVHTMLExport writer;
};

TEST_F(HtmlExport, DefaultPageMatchesTheGoldenFile) {
    table.Add({{"Title", "a <b> & \"c\"\r\nd"}, {"Nr", 5}});
    table.Add({});
    writer.SetTitle(QStringLiteral("Filme & Serien"));
    EXPECT_TRUE(writer.Execute());
    EXPECT_EQ(Page("Liste.htm"), ReadFile(QStringLiteral(MOVARIX_TEST_DATA "/exchange/classic.htm")));
}

TEST_F(HtmlExport, EscapesLineBreaksOfEveryKind) {
    struct {
        const char* text;
        const char* escaped;
    } const cases[] = {
        {"a\r\nb", "a<br>b"}, {"a\nb", "a<br>b"},   {"a\rb", "a<br>b"},       {"a\r\n\r\nb", "a<br><br>b"},
        {"x > y", "x &gt; y"}, {"", ""},            {"\"q\"&", "&quot;q&quot;&amp;"},
    };
    for (const auto& c : cases) {
        QString result;
        writer.EscapeText(QString::fromLatin1(c.text), result);
        EXPECT_EQ(result, QString::fromLatin1(c.escaped)) << c.text;
    }
}

TEST_F(HtmlExport, PagesOfMaxRecordsWithIndexPage) {
    AddRecords(5);
    writer.SetMaxRecords(2);
    writer.SetGenerateIndex(true);
    int recordEvents = 0;
    writer.OnRecordExported = [&](TVExport&, int) { ++recordEvents; };
    ASSERT_TRUE(writer.Execute());
    EXPECT_EQ(recordEvents, 5);
    const int rows[] = {2, 2, 1};
    for (int page = 1; page <= 3; ++page) {
        const QString name = QStringLiteral("Liste0%1.htm").arg(page);
        const QByteArray html = Page(name);
        SCOPED_TRACE(name.toStdString());
        EXPECT_TRUE(html.startsWith("<HTML>\r\n<HEAD>\r\n"));
        EXPECT_TRUE(html.endsWith("</Table>\r\n<br>\r\n</BODY>\r\n</HTML>\r\n"));
        EXPECT_EQ(html.count("<td class=\"ThRows\">"), 2);
        EXPECT_EQ(html.count("  <tr>\r\n") - 1, rows[page - 1]);
        EXPECT_EQ(html.count("</HTML>"), 1);
        const int firstRow = int(html.indexOf("<td class=\"Tr"));
        EXPECT_EQ(html.mid(firstRow, 19), QByteArray("<td class=\"TrOdd\">T"));
    }
    EXPECT_TRUE(Page("Liste02.htm").contains("<td class=\"TrOdd\">T3</td>"));
    EXPECT_TRUE(Page("Liste02.htm").contains("<td class=\"TrRows\">T4</td>"));
    EXPECT_FALSE(QFileInfo::exists(table.File("Liste04.htm")));

    const QByteArray index = Page("Liste.htm");
    const QByteArray folder = table.Folder().Path().toLocal8Bit();
    QByteArray expectedLinks;
    for (int page = 1; page <= 3; ++page) {
        const QByteArray file = folder + "Liste0" + QByteArray::number(page) + ".htm";
        expectedLinks += "<LI>\r\n<a href=\"" + file + "\">" + file + "</a>\r\n";
    }
    EXPECT_TRUE(index.startsWith("<HTML>\r\n<HEAD>\r\n <Style type=\"text/css\">\r\n"));
    EXPECT_TRUE(index.endsWith("</HEAD>\r\n<BODY>\r\n<UL>\r\n" + expectedLinks + "</UL>\r\n</BODY>\r\n</HTML>\r\n"))
        << index.constData();
}

TEST_F(HtmlExport, FullLastPageIsClosedOnce) {
    AddRecords(4);
    writer.SetMaxRecords(2);
    ASSERT_TRUE(writer.Execute());
    EXPECT_EQ(Page("Liste01.htm").count("</HTML>"), 1);
    EXPECT_EQ(Page("Liste02.htm").count("</HTML>"), 1);
    EXPECT_FALSE(QFileInfo::exists(table.File("Liste03.htm")));
    EXPECT_FALSE(QFileInfo::exists(table.File("Liste.htm"))); // no index page asked for
    EXPECT_EQ(TVHTMLExport::PageFileName(QStringLiteral("/a.b/Liste"), 12), QStringLiteral("/a.b/Liste12"));
}

TEST_F(HtmlExport, EmptyDataSetGivesOnePageWithCaptions) {
    ASSERT_TRUE(writer.Execute());
    const QByteArray html = Page("Liste.htm");
    EXPECT_TRUE(html.contains("<Table Border=\"1\" Cellpadding=\"4\" Cellspacing=\"1\">\r\n  <tr>\r\n"
                              "    <td class=\"ThRows\">Title</td>\r\n    <td class=\"ThRows\">Nr</td>\r\n"
                              "  </tr>\r\n</Table>\r\n<br>\r\n</BODY>\r\n</HTML>\r\n"));
}

TEST_F(HtmlExport, ExternalStyleSheetIsWrittenOncePerRun) {
    AddRecords(3);
    writer.SetUsingCSS(TVHTMLExport::TUsingCSS::usExternal);
    writer.SetMaxRecords(2);
    {
        QFile old(table.File("Liste.css"));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old rules");
    }
    ASSERT_TRUE(writer.Execute());
    const QString css = table.File("Liste.css");
    EXPECT_EQ(writer.CSSFileName(), css);
    const QByteArray link = " <link rel=\"stylesheet\" type=\"text/css\" href=\"" + css.toLocal8Bit() + "\">\r\n";
    for (const char* page : {"Liste01.htm", "Liste02.htm"}) {
        EXPECT_TRUE(Page(page).contains(" <Title></Title>\r\n" + link + "</HEAD>")) << page;
        EXPECT_FALSE(Page(page).contains("<Style"));
    }
    const QByteArray rules = ReadFile(css);
    EXPECT_TRUE(rules.startsWith("  BODY { background: #333399; color: #ffffff;\r\n"));
    EXPECT_TRUE(rules.endsWith("  .TrOdd  { background-color: #006bce;  color: #ffffff;\r\n"
                               "            font-family: Arial;\r\n  }\r\n"));
}

TEST_F(HtmlExport, StyleOptionsAndBorderWrapper) {
    AddRecords(1);
    writer.SetHTMLTemplate(TTemplate::htBW);
    writer.TableOptions().BorderColor = TExportColor::Red;
    writer.TableOptions().Border = 0;
    writer.TableOptions().CellPadding = 2;
    writer.TableOptions().CellSpacing = 3;
    writer.HTMLOptions().DefaultOptions = THTMLOptions::doFontName;
    writer.HTMLOptions().TextFont.size = 12;
    writer.HTMLOptions().BackgroundFileName = QStringLiteral("back.gif");
    writer.SetColHeaders(false);
    ASSERT_TRUE(writer.Execute());
    const QByteArray html = Page("Liste.htm");
    EXPECT_TRUE(html.contains("  BODY { background: #ffffff; color: #000000;\r\n         font-size: 12pt;\r\n"
                              "background-image: url(back.gif)\r\n  }\r\n"));
    EXPECT_FALSE(html.contains("ThRows"));
    EXPECT_TRUE(html.contains("  .TrOdd  { background-color: #f3f3f3;  color: #000000;\r\n            font-size: 12pt;\r\n"
                              "  }\r\n  .TrBC { background-color: #ff0000 }\r\n </Style>"));
    EXPECT_TRUE(html.contains("<br>\r\n<Table cellspacing=0 cellpadding=0 class=\"TrBC\">\r\n<tr><td>\r\n"
                              "<Table Border=\"0\" Cellpadding=\"2\" Cellspacing=\"3\">\r\n  <tr>\r\n"));
    EXPECT_TRUE(html.contains("  </tr>\r\n</Table>\r\n</td></tr>\r\n</Table>\r\n<br>\r\n</BODY>"));
}

TEST_F(HtmlExport, AlignmentsAndCellParameters) {
    table.Add({{"Title", "A"}, {"Nr", 1}, {"Flag", true}});
    writer.ExportedFields() << "Flag";
    writer.SetBoolAsCheckBox(true);
    writer.OnGetHTMLCellParams = [](TVExport&, const TExportField& field, TCellAlign& align, TExportFont& font,
                                    TColor& background) {
        if (field.FieldName() == QLatin1String("Title")) {
            background = TExportColor::Red;
            font.bold = true;
            font.name = QStringLiteral("ARIAL"); // the same name in other letters is no change
        }
        if (field.FieldName() == QLatin1String("Nr"))
            align = TCellAlign::Left;
    };
    ASSERT_TRUE(writer.Execute());
    const QByteArray html = Page("Liste.htm");
    EXPECT_TRUE(html.contains("    <td class=\"TrOdd\" style=\"background-color: #ff0000; font-weight: bold\">A</td>\r\n"
                              "    <td class=\"TrOdd\" align=Left>1</td>\r\n"
                              "    <td class=\"TrOdd\" align=Center>True</td>\r\n"))
        << html.constData();

    struct {
        const char* entry;
        const char* cell;
    } const cases[] = {
        {"title=r", "<td class=\"TrOdd\" align=Right>A</td>"},   {"TITLE = alCenter", "<td class=\"TrOdd\" align=Center>A</td>"},
        {"Title=Left", "<td class=\"TrOdd\" align=Left>A</td>"}, {"Title=middle", "<td class=\"TrOdd\">A</td>"},
        {"Nr=c", "<td class=\"TrOdd\" align=Center>1</td>"},     {"Other=r", "<td class=\"TrOdd\">A</td>"},
    };
    writer.OnGetHTMLCellParams = nullptr;
    for (const auto& c : cases) {
        writer.ColumnsAllign() = QStringList{QString::fromLatin1(c.entry)};
        writer.Execute();
        EXPECT_TRUE(Page("Liste.htm").contains(c.cell)) << c.entry;
    }
}

TEST_F(HtmlExport, TemplatesSetTheirColours) {
    struct {
        TTemplate value;
        const char* body;
        const char* odd;
    } const cases[] = {
        {TTemplate::htColorFul, "  BODY { background: #339966; color: #ffffff;", "  .TrOdd  { background-color: #faf100;  color: #000000;"},
        {TTemplate::htGray, "  BODY { background: #ffffff; color: #000000;", "  .TrOdd  { background-color: #eeeeee;  color: #000000;"},
        {TTemplate::htMS_Money, "  BODY { background: #ffffff; color: #000000;", "  .TrOdd  { background-color: #fffbf0;  color: #000000;"},
        {TTemplate::htMurky, "  BODY { background: #317676; color: #ffffff;", "  .TrOdd  { background-color: #367800;  color: #ffe760;"},
        {TTemplate::htOlive, "  BODY { background: #ffffff; color: #5f605f;", "  .TrOdd  { background-color: #ffffcf;  color: #5f605f;"},
        {TTemplate::htPlain, "  BODY { background: #ffffff; color: #000000;", "  .TrOdd  { background-color: #fffcd9;  color: #000000;"},
        {TTemplate::htSimple, "  BODY { background: #ffffff; color: #004080;", "  .TrOdd  { background-color: #ffffcf;  color: #000000;"},
    };
    for (const auto& c : cases) {
        writer.SetHTMLTemplate(c.value);
        writer.Execute();
        const QByteArray html = Page("Liste.htm");
        EXPECT_TRUE(html.contains(c.body)) << c.body;
        EXPECT_TRUE(html.contains(c.odd)) << c.odd;
    }
    // custom keeps the colours; the same template again does nothing
    writer.SetHTMLTemplate(TTemplate::htCustom);
    EXPECT_EQ(writer.HTMLOptions().TextFont.color, TExportColor::FromHtml("#004080"));
    writer.HTMLOptions().BackgroundColor = TExportColor::Red;
    writer.SetHTMLTemplate(TTemplate::htCustom);
    EXPECT_EQ(writer.HTMLOptions().BackgroundColor, TExportColor::Red);
    writer.SetHTMLTemplate(TTemplate::htClassic);
    EXPECT_EQ(writer.HTMLOptions().BackgroundColor, TExportColor::FromHtml("#333399"));
    EXPECT_EQ(TVHTMLExport::TemplateNames().value(int(TTemplate::htMS_Money)), QStringLiteral("MS_Money"));
}

TEST_F(HtmlExport, TemplateFileRoundTrip) {
    writer.HTMLOptions().BackgroundColor = TExportColor::Red;
    writer.TableOptions().BorderColor = TColor(0x80000005u); // a desktop colour survives the file as it is
    writer.HTMLOptions().TextFont.name = QStringLiteral("Verdana");
    const QString file = table.File("mine.htf");
    writer.SaveTemplate(file);
    const QByteArray text = ReadFile(file);
    EXPECT_TRUE(text.startsWith("[HTML options]\r\nBackground-color=0x0000ff\r\nFont-color=0xffffff\r\n"
                                "Font-family=Verdana\r\nLinkColor=0x7def69\r\n"))
        << text.constData();
    EXPECT_TRUE(text.contains("[Table options]\r\nHeader-bgcolor=0x0000ff\r\n"));
    EXPECT_TRUE(text.contains("Border-color=0x80000005\r\n"));

    TVHTMLExport other;
    other.SetHTMLTemplate(TTemplate::htBW);
    other.LoadTemplate(file);
    EXPECT_EQ(other.HTMLTemplate(), TTemplate::htBW); // loading does not change the template
    EXPECT_EQ(other.HTMLOptions().BackgroundColor, TExportColor::Red);
    EXPECT_EQ(other.HTMLOptions().TextFont.name, QStringLiteral("Verdana"));
    EXPECT_EQ(other.TableOptions().OddRowBgColor, writer.TableOptions().OddRowBgColor);
    EXPECT_EQ(other.TableOptions().BorderColor, TColor(0x80000005u));
    const QString again = table.File("again.htf");
    other.SaveTemplate(again);
    EXPECT_EQ(ReadFile(again), text);

    // decimal values, unreadable and missing keys, a missing file
    QFile edited(table.File("edited.htf"));
    ASSERT_TRUE(edited.open(QIODevice::WriteOnly));
    edited.write("[html OPTIONS]\r\nbackground-color=255\r\nLinkColor=zzz\r\n[Table options]\r\nTable-color=0x00ff00\r\n");
    edited.close();
    TVHTMLExport third;
    const THTMLOptions before = third.HTMLOptions();
    third.LoadTemplate(edited.fileName());
    EXPECT_EQ(third.HTMLOptions().BackgroundColor, TExportColor::Red);
    EXPECT_EQ(third.HTMLOptions().LinkColor, before.LinkColor);
    EXPECT_EQ(third.HTMLOptions().TextFont.name, QStringLiteral("Arial"));
    EXPECT_EQ(third.TableOptions().TableFontColor, TColor(0x00ff00));
    third.LoadTemplate(table.File("missing.htf"));
    EXPECT_EQ(third.HTMLOptions().BackgroundColor, TExportColor::Red);
}

TEST_F(HtmlExport, StopClosesTheOpenPage) {
    AddRecords(5);
    writer.SetMaxRecords(2);
    writer.OnRecordExported = [](TVExport& sender, int recNo) {
        if (recNo == 3)
            sender.StopExport();
    };
    EXPECT_FALSE(writer.Execute());
    EXPECT_TRUE(Page("Liste02.htm").endsWith("</Table>\r\n<br>\r\n</BODY>\r\n</HTML>\r\n"));
    EXPECT_EQ(Page("Liste02.htm").count("  <tr>\r\n"), 2); // captions and record 3
    EXPECT_FALSE(QFileInfo::exists(table.File("Liste03.htm")));
}

TEST_F(HtmlExport, XmllintReadsThePage) {
    if (!HaveProgram("xmllint"))
        GTEST_SKIP() << "xmllint is not installed";
    table.Add({{"Title", "a <b> & c\r\nd"}, {"Nr", 5}});
    ASSERT_TRUE(writer.Execute());
    QProcess lint;
    lint.start(QStringLiteral("xmllint"), {QStringLiteral("--html"), QStringLiteral("--noout"), writer.FileName()});
    ASSERT_TRUE(lint.waitForFinished(30000));
    EXPECT_EQ(lint.exitCode(), 0) << lint.readAllStandardError().constData();
}

} // namespace
