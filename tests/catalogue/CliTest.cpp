// movarix-cli as a script uses it: init and info on an empty folder and on
// an existing catalogue, settings through get/set, exit codes.

#include "support/TempFolder.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

struct TRun {
    int exitCode;
    QString out;
    QString err;
};

TRun RunCli(const TTempFolder& folder, const QStringList& args) {
    QProcess process;
    process.start(QStringLiteral(MOVARIX_CLI),
                  QStringList{QStringLiteral("--data-dir"), folder.File(QStringLiteral("data")),
                              QStringLiteral("--config-dir"), folder.File(QStringLiteral("cfg"))} + args);
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

TEST(CliTest, InitAndInfoOnAnEmptyFolderAndAnExistingCatalogue) {
    TTempFolder folder;
    TRun info = RunCli(folder, {QStringLiteral("info")});
    EXPECT_EQ(info.exitCode, 1);

    const TRun init = RunCli(folder, {QStringLiteral("init")});
    ASSERT_EQ(init.exitCode, 0) << init.err.toStdString();
    EXPECT_TRUE(init.out.startsWith(QStringLiteral("Neue Datenbank erzeugt !\n")));

    info = RunCli(folder, {QStringLiteral("info")});
    ASSERT_EQ(info.exitCode, 0) << info.err.toStdString();
    const QStringList lines = info.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 58 + 13 + 1);
    EXPECT_EQ(lines[0], QStringLiteral("Title\tChar\t50\t0"));
    EXPECT_EQ(lines[21], QStringLiteral("Price\tCurDouble\t10\t2"));
    EXPECT_EQ(lines[29], QStringLiteral("Picture\tImage\t9\t0"));
    EXPECT_EQ(lines[56], QStringLiteral("FTSNo\tAutoInc\t1\t0"));
    EXPECT_EQ(lines[57], QStringLiteral("THX\tLogical\t1\t0"));
    EXPECT_EQ(lines[58], QStringLiteral("tag\tDVDNoFilm\tval(DVDNo)\tFilmDVD"));
    EXPECT_EQ(lines[70], QStringLiteral("tag\tFTSNo\tFTSNo\t"));
    EXPECT_EQ(lines[71], QStringLiteral("records\t0"));

    const TRun again = RunCli(folder, {QStringLiteral("init")});
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_TRUE(again.out.isEmpty()) << again.out.toStdString();
}

TEST(CliTest, SettingsAndUsageErrors) {
    TTempFolder folder;
    EXPECT_EQ(RunCli(folder, {QStringLiteral("set"), QStringLiteral("Main"), QStringLiteral("LastDVDNo"),
                              QStringLiteral("12")}).exitCode, 0);
    const TRun get = RunCli(folder, {QStringLiteral("get"), QStringLiteral("main"), QStringLiteral("LASTDVDNO")});
    EXPECT_EQ(get.exitCode, 0);
    EXPECT_EQ(get.out, QStringLiteral("12\n"));

    for (const QStringList& args : {QStringList{}, QStringList{QStringLiteral("nope")},
                                    QStringList{QStringLiteral("get"), QStringLiteral("Main")},
                                    QStringList{QStringLiteral("--bogus"), QStringLiteral("info")}})
        EXPECT_EQ(RunCli(folder, args).exitCode, 2) << args.join(QLatin1Char(' ')).toStdString();
}

TEST(CliTest, RecordCommandsRunTheRecordRules) {
    TTempFolder folder;
    auto run = [&](const QStringList& args) { return RunCli(folder, args); };
    ASSERT_EQ(run({"set", "Main", "DVDNrInc", "1"}).exitCode, 0);

    const TRun refused = run({"add", "--kind", "film"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.out.contains(QStringLiteral("Wichtige Felder sind noch leer")));

    const TRun added = run({"add", "--kind", "film", "Title=Alien", "Price=9.99", "IsAvailable=wahr"});
    ASSERT_EQ(added.exitCode, 0) << added.err.toStdString();
    const QStringList fields = added.out.trimmed().split(QLatin1Char('\t'));
    ASSERT_EQ(fields.size(), 3);
    EXPECT_EQ(fields[0], QStringLiteral("1"));
    EXPECT_EQ(fields[1], QStringLiteral("2"));
    EXPECT_EQ(fields[2].size(), 16);
    ASSERT_EQ(run({"add", "--kind", "music", "Title=Mozart", "DVDNo=10"}).exitCode, 0);
    EXPECT_EQ(run({"edit", "--ftsno", "2", "Title=Bach"}).exitCode, 0);

    const TRun duplicated = run({"duplicate", "--ftsno", "1", "--kind", "music"});
    ASSERT_EQ(duplicated.exitCode, 0) << duplicated.err.toStdString();
    EXPECT_TRUE(duplicated.out.startsWith(QStringLiteral("Satz eingefügt !\n3\t2\t") + fields[2]));

    const QString file = folder.File(QStringLiteral("import.txt"));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("Zorro;12,50\r\nSolaris\r\n");
    out.close();
    const TRun imported = run({"import", "--kind", "data", "--fields", "Title,Price", file});
    ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    EXPECT_EQ(imported.out, QStringLiteral("2\n"));

    EXPECT_EQ(run({"list", "--kind", "film", "--order", "title", "--fields", "Title,Price,IsAvailable"}).out,
              QStringLiteral("Alien\t9.99\tTrue\nAlien\t9.99\tTrue\n"));
    EXPECT_EQ(run({"list", "--kind", "music"}).out, QStringLiteral("2\t10\tBach\n"));
    EXPECT_EQ(run({"list", "--kind", "data", "--filter", "Title=Solaris", "--fields", "Title,DVDNo"}).out,
              QStringLiteral("Solaris\t12\n"));
    EXPECT_EQ(run({"delete", "--ftsno", "3"}).exitCode, 0);
    EXPECT_EQ(run({"list", "--kind", "film"}).out, QStringLiteral("1\t2\tAlien\n"));
    EXPECT_EQ(run({"delete", "--ftsno", "99"}).exitCode, 1);
    EXPECT_EQ(run({"list", "--kind", "vinyl"}).exitCode, 2);
}

TEST(CliTest, DemoFillsOnlyAnEmptyCatalogue) {
    TTempFolder folder;
    const TRun demo = RunCli(folder, {QStringLiteral("demo")});
    ASSERT_EQ(demo.exitCode, 0) << demo.err.toStdString();
    EXPECT_TRUE(demo.out.endsWith(QStringLiteral("25 Film-DVDs, 20 Musik-DVDs, 15 Daten-DVDs\n")));
    const struct {
        const char* kind;
        int records;
    } kinds[] = {{"film", 25}, {"music", 20}, {"data", 15}};
    for (const auto& k : kinds) {
        const TRun list = RunCli(folder, {QStringLiteral("list"), QStringLiteral("--kind"), QString::fromLatin1(k.kind)});
        EXPECT_EQ(list.out.count(QLatin1Char('\n')), k.records) << k.kind;
    }
    EXPECT_EQ(RunCli(folder, {QStringLiteral("demo")}).exitCode, 1);
}

} // namespace
