// movarix-cli as a script uses it: init and info on an empty folder and on
// an existing catalogue, settings through get/set, exit codes.

#include "support/TempFolder.h"

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

} // namespace
