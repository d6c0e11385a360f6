// movarix-cli export over a catalogue in a temporary program folder.

#include "ExportTestSupport.h"

#include <QFileInfo>
#include <QProcessEnvironment>

namespace {

class CliExport : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QFileInfo::exists(QStringLiteral(MOVARIX_CLI)))
            GTEST_SKIP() << "movarix-cli is not built (" MOVARIX_CLI ")";
        ASSERT_EQ(Run({"init"}), 0) << error.constData();
        ASSERT_EQ(Run({"add", "--kind", "film", "Title=Alien", "Price=12.5", "Owner=Anna"}), 0) << error.constData();
        ASSERT_EQ(Run({"add", "--kind", "music", "Title=O'Hara; \"Live\"", "Owner=Bert"}), 0) << error.constData();
        ASSERT_EQ(Run({"add", "--kind", "data", "Title=Backup", "Owner=Anna"}), 0) << error.constData();
    }
    int Run(std::initializer_list<const char*> words) {
        QStringList args{QStringLiteral("--data-dir"), folder.File("data"), QStringLiteral("--config-dir"), folder.File("cfg"),
                         QStringLiteral("--yes")};
        for (const char* word : words)
            args << QString::fromUtf8(word);
        QProcess cli;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        cli.setProcessEnvironment(env);
        cli.start(QStringLiteral(MOVARIX_CLI), args);
        if (!cli.waitForFinished(60000))
            return -1;
        output = cli.readAllStandardOutput();
        error = cli.readAllStandardError();
        return cli.exitCode();
    }
    TTempFolder folder;
    QByteArray output;
    QByteArray error;
};

TEST_F(CliExport, EveryFormatWritesItsFile) {
    for (const char* format : {"xls", "doc", "rtf", "html", "txt", "csv", "dif", "slk", "tex", "sql", "xml", "dbf"}) {
        const QString file = folder.File(QStringLiteral("out.") + QLatin1String(format));
        ASSERT_EQ(Run({"export", "--format", format, "--out", file.toUtf8().constData()}), 0)
            << format << ": " << error.constData();
        EXPECT_EQ(output, QByteArray("3 S\xc3\xa4tze wurden exportiert!\n")) << format;
        EXPECT_GT(QFileInfo(file).size(), 0) << format;
    }
}

TEST_F(CliExport, CsvWithFieldsFilterAndUserFormat) {
    const QByteArray file = folder.File("out.csv").toUtf8();
    ASSERT_EQ(Run({"export", "--format", "csv", "--out", file.constData(), "--fields", "Title,Price", "--filter",
                   "Owner=Anna", "--user-format", "Price=0.000"}),
              0)
        << error.constData();
    EXPECT_EQ(output, QByteArray("2 S\xc3\xa4tze wurden exportiert!\n"));
    const QList<QByteArray> lines = CrLfLines(ReadFile(QString::fromUtf8(file)));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], QByteArray("Title;Price"));
    EXPECT_TRUE(lines[1].startsWith("\"Alien\";12")) << lines[1].constData();
    EXPECT_TRUE(lines[1].endsWith("500")) << lines[1].constData();
    EXPECT_EQ(lines[2], QByteArray("\"Backup\";"));
}

TEST_F(CliExport, HtmlPagesSqlOptionsAndTitles) {
    const QByteArray html = folder.File("Liste.htm").toUtf8();
    ASSERT_EQ(Run({"export", "--format", "html", "--out", html.constData(), "--max-records", "2", "--index-page",
                   "--css-external", "--template", "Gray", "--title", "Filme", "--fields", "Title"}),
              0)
        << error.constData();
    EXPECT_TRUE(QFileInfo::exists(folder.File("Liste01.htm")));
    EXPECT_TRUE(QFileInfo::exists(folder.File("Liste02.htm")));
    EXPECT_TRUE(ReadFile(folder.File("Liste.htm")).contains("Liste02.htm"));
    EXPECT_TRUE(ReadFile(folder.File("Liste.css")).contains("  .TrOdd  { background-color: #eeeeee;"));
    EXPECT_TRUE(ReadFile(folder.File("Liste01.htm")).contains(" <Title>Filme</Title>"));

    const QByteArray sql = folder.File("out.sql").toUtf8();
    ASSERT_EQ(Run({"export", "--format", "sql", "--out", sql.constData(), "--fields", "Title", "--table-name", "Filme",
                   "--create-table", "--commit-every", "2", "--commit-after", "--header-line", "-- a",
                   "--footer-line", "-- z"}),
              0)
        << error.constData();
    const QByteArray script = ReadFile(QString::fromUtf8(sql));
    EXPECT_TRUE(script.startsWith("-- a\r\nCREATE TABLE Filme(\r\n  Title  CHAR(51));\r\n")) << script.constData();
    EXPECT_TRUE(script.contains("('O''Hara; \"Live\"');"));
    EXPECT_EQ(script.count("COMMIT WORK;"), 2);
    EXPECT_TRUE(script.endsWith("COMMIT WORK;\r\n-- z\r\n"));
}

TEST_F(CliExport, BadUseAndUnwritableTargets) {
    EXPECT_EQ(Run({"export", "--format", "pdf", "--out", "x"}), 2);
    EXPECT_TRUE(error.contains("--format must be")) << error.constData();
    EXPECT_EQ(Run({"export", "--format", "csv"}), 2);
    EXPECT_EQ(Run({"export", "--format", "html", "--out", "x.htm", "--template", "Pink"}), 2);
    const QByteArray target = folder.File("no-such-folder/out.csv").toUtf8();
    EXPECT_EQ(Run({"export", "--format", "csv", "--out", target.constData()}), 1);
    EXPECT_TRUE(error.contains("Cannot create") && error.contains("no-such-folder")) << error.constData();
    EXPECT_FALSE(output.contains("exportiert"));
}

} // namespace
