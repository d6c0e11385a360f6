// The clipboard writer on the offscreen platform's clipboard.

#include "ExportTestSupport.h"

#include "exchange/VClipboardExport.h"

#include <QClipboard>
#include <QImage>
#include <QMimeData>

namespace {

using TType = TVClipboardExport::TExportType;

class ClipboardExport : public ::testing::Test {
protected:
    ClipboardExport() : table(QStringLiteral("Title,Char,20,0;Nr,Integer,4,0")) {
        EnsureGuiApplication();
        writer.SetDataset(table.Data());
        writer.SetShellHandler([this](const QString& file, const QString& verb) { shellCalls << verb + ":" + file; });
        UseGermanFormats(writer);
        table.Add({{"Title", "Alien"}, {"Nr", 5}});
        table.Add({{"Title", "Brazil"}, {"Nr", 12345}});
    }
    QString Clipboard() { return QGuiApplication::clipboard()->text(); }

    TExportTable table;
    TVClipboardExport writer;
    QStringList shellCalls;
};

TEST_F(ClipboardExport, SeparatedTextWithTitleHeaderAndFooter) {
    QGuiApplication::clipboard()->setImage(QImage(4, 4, QImage::Format_RGB32)); // a picture is simply replaced
    writer.SetTitle(QStringLiteral("Filme"));
    writer.Header() << "Kopf";
    writer.Footer() << "Fuss";
    ASSERT_TRUE(writer.Execute());
    const QString expected = QStringLiteral("Filme\r\nKopf\r\n\r\nTitle,Nr\r\nAlien,5\r\nBrazil,12.345\r\nFuss\r\n");
    EXPECT_EQ(writer.Text(), expected);
    EXPECT_EQ(Clipboard(), expected);
}

TEST_F(ClipboardExport, FixedColumnsAreRightAligned) {
    writer.SetExportType(TType::etFixed);
    int fetched = 0;
    writer.OnRecordFetched = [&](TVExport&, int) { ++fetched; };
    ASSERT_TRUE(writer.Execute());
    // Title: longest entry 6 ("Brazil") + 2; Nr: longest 6 ("12.345") + 2
    EXPECT_EQ(Clipboard(), QStringLiteral("   Title      Nr\r\n   Alien       5\r\n  Brazil  12.345\r\n"));
    EXPECT_EQ(fetched, 2);

    writer.SetColHeaders(false);
    writer.SetSpacing(0);
    writer.ExportedFields() << "Nr";
    ASSERT_TRUE(writer.Execute());
    EXPECT_EQ(Clipboard(), QStringLiteral("     5\r\n12.345\r\n"));
}

TEST_F(ClipboardExport, StopLeavesWhatWasBuilt) {
    QStringList events;
    writer.OnRecordExported = [&](TVExport& sender, int) { sender.StopExport(); };
    writer.OnStopExport = [&](TVExport&) { events << "stop"; };
    writer.OnEndExport = [&](TVExport&) { events << "end"; };
    writer.Footer() << "Fuss";
    EXPECT_FALSE(writer.Execute());
    EXPECT_EQ(events, QStringList{"stop"});
    EXPECT_EQ(Clipboard(), QStringLiteral("Title,Nr\r\nAlien,5\r\n"));
}

TEST_F(ClipboardExport, ViewerIsStartedOnlyWhenThereIsOne) {
    writer.SetShowFile(true);
    writer.SetPrintFile(true);
    ASSERT_TRUE(writer.Execute());
    EXPECT_TRUE(shellCalls.isEmpty()); // "Clipbrd.exe" does not exist here
    writer.SetClipboardViewer(QStringLiteral("/usr/bin/viewer"));
    ASSERT_TRUE(writer.Execute());
    EXPECT_EQ(shellCalls, (QStringList{"open:/usr/bin/viewer", "print:/usr/bin/viewer"}));
    EXPECT_EQ(writer.FileName(), QStringLiteral("Clipboard"));
}

} // namespace
