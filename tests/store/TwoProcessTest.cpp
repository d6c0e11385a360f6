// The table layer against a second process: a writer killed at random
// moments, and a writer that changes a record another program is editing.

#include "store/AdsError.h"
#include "store/AdsTable.h"
#include "support/TempFolder.h"
#include "StoreTestSupport.h"

#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

QString ChildProgram() {
    return QStringLiteral(MOVARIX_STORE_CHILD);
}

// Every record must be wholly one version: its other fields follow from its
// title. Every tag must hold exactly the records its condition selects, in
// key order.
void ExpectConsistent(TAdsTable& table, int round) {
    struct Row {
        QString title;
        int num;
        bool flag;
        qint64 recno;
    };
    std::vector<Row> rows;
    table.SetIndexName(QString());
    for (table.First(); !table.Eof(); table.Next()) {
        const QString title = table.FieldByName(QStringLiteral("Title")).AsString();
        const int n = title.mid(1, 7).toInt();
        const int version = title.mid(10).toInt();
        ASSERT_EQ(title.size(), 13) << "round " << round;
        EXPECT_EQ(table.FieldByName(QStringLiteral("Num")).AsInteger(), n % 1000 * 1000 + version) << title.toStdString();
        EXPECT_EQ(table.FieldByName(QStringLiteral("Flag")).AsBoolean(), version % 2 == 1) << title.toStdString();
        EXPECT_EQ(table.FieldByName(QStringLiteral("Notes")).AsString(), title.repeated(50)) << title.toStdString();
        const QByteArray picture = table.FieldByName(QStringLiteral("Pic")).AsBytes();
        EXPECT_EQ(picture.size() % 3000, 0) << title.toStdString();
        EXPECT_TRUE(title.toLatin1().repeated(picture.size() / 13 + 1).startsWith(picture)) << title.toStdString();
        rows.push_back({title, table.FieldByName(QStringLiteral("Num")).AsInteger(),
                        table.FieldByName(QStringLiteral("Flag")).AsBoolean(), table.RecNo()});
    }

    std::vector<qint64> byNum;
    auto flagged = rows;
    std::erase_if(flagged, [](const Row& r) { return !r.flag; });
    std::sort(flagged.begin(), flagged.end(),
              [](const Row& a, const Row& b) { return std::pair(a.num, a.recno) < std::pair(b.num, b.recno); });
    for (const Row& r : flagged)
        byNum.push_back(r.recno);
    table.SetIndexName(QStringLiteral("ByNum"));
    EXPECT_EQ(table.ViewRecNos(), byNum) << "round " << round;

    std::vector<qint64> byTitle;
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.title < b.title; });
    for (const Row& r : rows)
        byTitle.push_back(r.recno);
    table.SetIndexName(QStringLiteral("ByTitle"));
    EXPECT_EQ(table.ViewRecNos(), byTitle) << "round " << round;
}

TEST(TwoProcessTest, RecordsBlobsAndTagsSurviveAWriterKilledAtAnyMoment) {
    TTempFolder folder;
    const QString path = folder.File(QStringLiteral("C.ADT"));
    TAdsTable::CreateTable(path, QStringLiteral("Title,Char,20;Num,Integer,4;Flag,Logical,1;Notes,Memo,9;Pic,Image,9"));
    {
        auto table = OpenTableAt(folder.Path(), QStringLiteral("C.ADT"), true);
        table->CreateIndex({QStringLiteral("ByNum"), QStringLiteral("Num"), QStringLiteral("Flag"), false});
        table->CreateIndex({QStringLiteral("ByTitle"), QStringLiteral("Title"), QString(), true});
    }

    std::mt19937 random(20261211);
    int records = 0;
    for (int round = 0; round < 24; ++round) {
        QProcess child;
        child.start(ChildProgram(), {QStringLiteral("churn"), folder.Path(), QString::number(round + 1)});
        ASSERT_TRUE(child.waitForStarted());
        QThread::msleep(80 + random() % 250);
        child.kill(); // SIGKILL: no chance to finish a commit
        child.waitForFinished();
        ASSERT_EQ(child.exitStatus(), QProcess::CrashExit) << child.readAllStandardError().toStdString();

        auto table = OpenTableAt(folder.Path(), QStringLiteral("C.ADT"));
        ExpectConsistent(*table, round);
        records = table->TotalRecordCount();
        if (::testing::Test::HasFailure())
            return;
    }
    EXPECT_GT(records, 0);
}

TEST(TwoProcessTest, APostNeverOverwritesAChangeOfAnotherProgram) {
    TTempFolder folder;
    TAdsTable::CreateTable(folder.File(QStringLiteral("T.ADT")), QStringLiteral("Title,Char,20;Count,Integer,4"));
    auto table = OpenTableAt(folder.Path(), QStringLiteral("T.ADT"));
    AddRecord(*table, {{"Title", QStringLiteral("original")}, {"Count", 1}});

    table->Edit();
    table->FieldByName(QStringLiteral("Count")).SetAsInteger(2);

    QProcess other;
    other.start(ChildProgram(), {QStringLiteral("edit"), folder.Path(), QStringLiteral("1"), QStringLiteral("theirs")});
    ASSERT_TRUE(other.waitForFinished());
    ASSERT_EQ(other.exitCode(), 0) << other.readAllStandardError().toStdString();

    EXPECT_THROW(table->Post(), EAdsError);
    EXPECT_EQ(table->State(), TAdsTable::TState::Edit);
    table->Cancel();
    table->Refresh();
    EXPECT_EQ(table->FieldByName(QStringLiteral("Title")).AsString(), QStringLiteral("theirs"));
    table->Edit();
    table->FieldByName(QStringLiteral("Count")).SetAsInteger(2);
    table->Post();
    table->Close();
    table->Open();
    EXPECT_EQ(table->FieldByName(QStringLiteral("Title")).AsString(), QStringLiteral("theirs"));
    EXPECT_EQ(table->FieldByName(QStringLiteral("Count")).AsInteger(), 2);
}

} // namespace
