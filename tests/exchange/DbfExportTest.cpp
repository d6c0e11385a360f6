// The dBASE writer byte for byte, read back, written again.

#include "ExportTestSupport.h"

#include "DbfTableReader.h"
#include "exchange/VDBFExport.h"

#include <QtEndian>

namespace {

QByteArray Descriptor(const char* name, char type, int position, int length, int decimals) {
    QByteArray d(32, '\0');
    d.replace(0, int(qstrlen(name)), name);
    d[11] = type;
    qToLittleEndian(quint32(position), d.data() + 12);
    d[16] = char(length);
    d[17] = char(decimals);
    return d;
}

QByteArray Header(int records, int fields, int recordLength) {
    QByteArray h(32, '\0');
    h[0] = 3;
    h[1] = char(2004 - 1900);
    h[2] = 2;
    h[3] = 29;
    qToLittleEndian(quint32(records), h.data() + 4);
    qToLittleEndian(quint16(32 * fields + 33), h.data() + 8);
    qToLittleEndian(quint16(recordLength), h.data() + 10);
    return h;
}

class DbfExport : public ::testing::Test {
protected:
    explicit DbfExport() : table(QStringLiteral("Title,Char,50,0;Price,CurDouble,10,2")) { Prepare(writer, table); }
    void Prepare(TVDBFExport& w, TExportTable& t) {
        w.SetDataset(t.Data());
        w.SetFileName(t.File(QStringLiteral("out.dbf")));
        w.SetShellHandler([](const QString&, const QString&) {});
        w.SetFileDate(QDate(2004, 2, 29));
    }
    TExportTable table;
    TVDBFExport writer;
};

TEST_F(DbfExport, TitleAndPriceByteForByte) {
    table.Add({{"Title", "Alien"}, {"Price", 12.5}});
    table.Add({{"Title", QString(60, QLatin1Char('x'))}});
    ASSERT_TRUE(writer.Execute());
    const QByteArray expected = Header(2, 2, 66) + Descriptor("TITLE", 'C', 0, 50, 0) +
                                Descriptor("PRICE", 'N', 50, 15, 4) + "\x0D" + " Alien" + QByteArray(45, ' ') +
                                "        12.5000" + " " + QByteArray(50, 'x') + QByteArray(15, ' ') + "\x1A";
    const QByteArray written = ReadFile(writer.FileName());
    EXPECT_EQ(written, expected);
    EXPECT_EQ(qFromLittleEndian<quint16>(written.constData() + 8), 97);
    EXPECT_EQ(qFromLittleEndian<quint16>(written.constData() + 10), 66);
}

TEST_F(DbfExport, EmptyDataSet) {
    ASSERT_TRUE(writer.Execute());
    EXPECT_EQ(ReadFile(writer.FileName()),
              Header(0, 2, 66) + Descriptor("TITLE", 'C', 0, 50, 0) + Descriptor("PRICE", 'N', 50, 15, 4) + "\x0D\x1A");
}

TEST_F(DbfExport, TypesValuesAndNames) {
    TExportTable other(QStringLiteral("ShortDescription,Char,3,0;ShortDescriptor,Char,2,0;US-Ratings,Char,4,0;"
                                      "Small,ShortInt,2,0;Count,Integer,4,0;Flag,Logical,1,0;Seen,Date,4,0;"
                                      "Notes,Memo,9,0;Cover,Image,9,0;No,AutoInc,4,0;Ratio,Double,8,0"));
    other.Add({{"ShortDescription", "abcdef"}, {"ShortDescriptor", "\u00e4\u00f6"}, {"US-Ratings", "PG"}, {"Small", -5},
               {"Count", 1234567890}, {"Flag", true}, {"Seen", QDate(2003, 12, 24)},
               {"Notes", "line one\r\nline two"}, {"Cover", QByteArray("\xff\xd8", 2)}, {"Ratio", 1e20}});
    other.Add({{"Flag", false}});
    TVDBFExport w;
    Prepare(w, other);
    w.ExportedFields() << "ShortDescription" << "ShortDescriptor" << "US-Ratings" << "Small" << "Count" << "Flag"
                       << "Seen" << "Notes" << "Cover" << "No" << "Ratio";
    ASSERT_TRUE(w.Execute());
    const QByteArray expected =
        Header(2, 11, 1 + 3 + 2 + 4 + 6 + 11 + 1 + 8 + 10 + 10 + 11 + 15) + Descriptor("SHORTDESCR", 'C', 0, 3, 0) +
        Descriptor("SHORTDESC2", 'C', 3, 2, 0) + Descriptor("US_RATINGS", 'C', 5, 4, 0) +
        Descriptor("SMALL", 'N', 9, 6, 0) + Descriptor("COUNT", 'N', 15, 11, 0) + Descriptor("FLAG", 'L', 26, 1, 0) +
        Descriptor("SEEN", 'D', 27, 8, 0) + Descriptor("NOTES", 'C', 35, 10, 0) + Descriptor("COVER", 'C', 45, 10, 0) +
        Descriptor("NO", 'N', 55, 11, 0) + Descriptor("RATIO", 'N', 66, 15, 4) + "\x0D" +
        // record 1
        " abc\xe4\xf6PG      -5 1234567890T20031224line one l" + QByteArray(10, ' ') + "          1" +
        QByteArray(15, '*') +
        // record 2
        " " + QByteArray(3 + 2 + 4 + 6 + 11, ' ') + "F" + QByteArray(8 + 10 + 10, ' ') + "          2" +
        QByteArray(15, ' ') + "\x1A";
    EXPECT_EQ(ReadFile(w.FileName()), expected);
}

TEST_F(DbfExport, StopLeavesAValidTableWithoutEndMark) {
    for (int i = 1; i <= 3; ++i)
        table.Add({{"Title", QStringLiteral("T%1").arg(i)}});
    QList<int> events;
    writer.OnRecordExported = [&](TVExport& sender, int recNo) {
        events << recNo;
        sender.StopExport();
    };
    EXPECT_FALSE(writer.Execute());
    EXPECT_EQ(events, QList<int>{2}); // the record moved to
    const QByteArray written = ReadFile(writer.FileName());
    EXPECT_EQ(qFromLittleEndian<quint32>(written.constData() + 4), 1u);
    EXPECT_EQ(written.size(), 97 + 66);
}

// write → read → write gives the same bytes
TEST_F(DbfExport, WriteReadWriteIsIdentical) {
    TExportTable source(QStringLiteral("Title,Char,20,0;Small,ShortInt,2,0;Count,Integer,4,0;Price,CurDouble,10,2;"
                                       "Ratio,Double,8,0;Flag,Logical,1,0;Seen,Date,4,0"));
    source.Add({{"Title", "M\u00fcller & S\u00f6hne"}, {"Small", 12}, {"Count", -70000}, {"Price", 12.5},
                {"Ratio", 0.0001}, {"Flag", true}, {"Seen", QDate(1999, 1, 31)}});
    source.Add({{"Title", "  padded  "}, {"Flag", false}});
    source.Add({});
    TVDBFExport first;
    Prepare(first, source);
    ASSERT_TRUE(first.Execute());
    const QByteArray once = ReadFile(first.FileName());

    const QString copy = source.File(QStringLiteral("COPY.ADT"));
    ASSERT_TRUE(ReadDbfIntoTable(first.FileName(), copy));
    TAdsTable table;
    table.SetDatabaseName(source.Folder().Path());
    table.SetTableName(QStringLiteral("COPY.ADT"));
    table.Open();
    TAdsExportDataSet data(&table);
    TVDBFExport second;
    second.SetDataset(&data);
    second.SetFileName(source.File(QStringLiteral("again.dbf")));
    second.SetFileDate(QDate(2004, 2, 29));
    ASSERT_TRUE(second.Execute());
    EXPECT_EQ(ReadFile(second.FileName()), once);
}

} // namespace

#include "OfficeReader.h"

namespace {

TEST(DbfOffice, OfficeSuiteReadsTheTable) {
    if (!HaveOffice())
        GTEST_SKIP() << "no office suite (soffice) is installed";
    TExportTable table(QStringLiteral("Title,Char,20,0;Price,CurDouble,10,2;Flag,Logical,1,0;Seen,Date,4,0;Nr,Integer,4,0"));
    table.Add({{"Title", "Alien"}, {"Price", 12.5}, {"Flag", true}, {"Seen", QDate(2003, 12, 24)}, {"Nr", 7}});
    table.Add({{"Title", "B"}});
    TVDBFExport writer;
    writer.SetDataset(table.Data());
    writer.SetFileName(table.File(QStringLiteral("out.dbf")));
    ASSERT_TRUE(writer.Execute());
    TTempFolder out;
    bool unsupported = false;
    const QString csv = ConvertWithOffice(writer.FileName(), QStringLiteral("csv:Text - txt - csv (StarCalc):59,34,76"), out,
                                          QStringLiteral("dBase"), &unsupported);
    if (unsupported)
        GTEST_SKIP() << "the office suite has no dBASE import (libreoffice-base-drivers)";
    QByteArray text = ReadFile(csv);
    text.replace("\r\n", "\n");
    const QList<QByteArray> lines = text.split('\n');
    ASSERT_GE(lines.size(), 3) << text.constData();
    EXPECT_TRUE(lines[0].startsWith("TITLE,C,20;PRICE,N,15,4;FLAG,L;SEEN,D;NR,N,11,0")) << lines[0].constData();
    EXPECT_TRUE(lines[1].startsWith("Alien;12.5")) << lines[1].constData();
    EXPECT_TRUE(lines[1].endsWith(";7")) << lines[1].constData();
    EXPECT_TRUE(lines[2].startsWith("B;")) << lines[2].constData();
}

} // namespace
