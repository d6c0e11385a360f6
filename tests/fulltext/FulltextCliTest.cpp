// The full-text commands of movarix-cli run as a script runs them: the words
// a text gives, the stored rows of a word after record commands changed the
// catalogue, and a rebuild.

#include "fulltext/SoundAlike.h"
#include "platform/Ansi.h"
#include "support/TempFolder.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <vector>

namespace {

struct TRun {
    int exitCode;
    QString out;
    QString err;
};

bool CliPresent() {
    return QFile::exists(QStringLiteral(MOVARIX_CLI));
}

TRun RunCli(const TTempFolder& folder, const QStringList& args) {
    QProcess process;
    process.start(QStringLiteral(MOVARIX_CLI),
                  QStringList{QStringLiteral("--data-dir"), folder.File(QStringLiteral("data")),
                              QStringLiteral("--config-dir"), folder.File(QStringLiteral("cfg"))} +
                      args);
    process.waitForFinished(120000);
    // The tool writes its lines as UTF-8.
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QStringList Lines(const QString& out) {
    return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// The sound-alike key of a word given in UTF-8, as the tool should print it.
QString KeyOf(const QString& word) {
    return TAnsi::ToUnicode(TrbSoundAlike::Key(TAnsi::FromUnicode(word)));
}

struct TWordsCase {
    const char* name;
    const char* text;                // UTF-8
    std::vector<const char*> words;  // folded, UTF-8
    std::vector<const char*> keys;   // golden keys, or empty: the key routine's own
};

class FulltextCliWords : public ::testing::TestWithParam<TWordsCase> {};

TEST_P(FulltextCliWords, PrintsEachAcceptedWordWithItsKey) {
    if (!CliPresent())
        GTEST_SKIP() << "movarix-cli is not built: " << MOVARIX_CLI;
    const TWordsCase& c = GetParam();
    TTempFolder folder;
    const TRun run = RunCli(folder, {QStringLiteral("words"), QString::fromUtf8(c.text)});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QStringList expected;
    for (size_t i = 0; i < c.words.size(); ++i) {
        const QString word = QString::fromUtf8(c.words[i]);
        const QString key = c.keys.empty() ? KeyOf(word) : QString::fromUtf8(c.keys[i]);
        expected << word + QLatin1Char('\t') + key;
    }
    EXPECT_EQ(Lines(run.out), expected);
    // The word rules need no catalogue: nothing is created.
    EXPECT_FALSE(QFile::exists(folder.File(QStringLiteral("data/DVD.ADT"))));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FulltextCliWords,
    ::testing::Values(
        TWordsCase{"Names", "Meyer, Schmidt; Müller", {"MEYER", "SCHMIDT", "MÜLLER"}, {"ME600", "SC530", "MU460"}},
        TWordsCase{"Hyphenated", "Blade-Runner", {"BLADE", "RUNNER"}, {}},
        TWordsCase{"Path", "C:\\Filme\\Alien.avi", {"FILME", "ALIEN", "AVI"}, {}},
        TWordsCase{"SharpS", "Größe", {"GRÖßE"}, {}},
        TWordsCase{"RefusedWords", "MÜLL FÜNF HDTV 3D 2001 AAAAA", {}, {}},
        TWordsCase{"ShortAndDigits", "DVD MP3 ab", {"DVD", "MP3"}, {}},
        TWordsCase{"CutTo20", "abcdefghijklmnopqrstuvwxy", {"ABCDEFGHIJKLMNOPQRST"}, {}},
        TWordsCase{"RunOver40IsDropped", "aaaaaaaaaabbbbbbbbbbccccccccccddddddddddeeeee xyz", {"XYZ"}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// segment, rbCount, rbSize, type, first, last of each printed row
struct TRow {
    int segment, count, size, type, first, last;
};

std::vector<TRow> RowsOf(const TRun& run) {
    std::vector<TRow> rows;
    for (const QString& line : Lines(run.out)) {
        const QStringList f = line.split(QLatin1Char('\t'));
        EXPECT_EQ(f.size(), 6) << line.toStdString();
        if (f.size() != 6)
            continue;
        rows.push_back({f[0].toInt(), f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt(), f[5].toInt()});
    }
    return rows;
}

TEST(FulltextCli, RecordCommandsKeepTheIndexAndReindexRebuildsIt) {
    if (!CliPresent())
        GTEST_SKIP() << "movarix-cli is not built: " << MOVARIX_CLI;
    TTempFolder folder;
    auto run = [&](const QStringList& args) { return RunCli(folder, args); };
    ASSERT_EQ(run({"init"}).exitCode, 0);
    ASSERT_EQ(run({"set", "Main", "DVDNrInc", "1"}).exitCode, 0);

    // Nothing indexed yet: no rows, no error.
    TRun rows = run({"word-rows", "alien"});
    EXPECT_EQ(rows.exitCode, 0) << rows.err.toStdString();
    EXPECT_TRUE(rows.out.isEmpty());

    // The first post into an empty catalogue builds the index.
    ASSERT_EQ(run({"add", "--kind", "film", "Title=Alien"}).exitCode, 0);
    EXPECT_TRUE(QFile::exists(folder.File(QStringLiteral("data/FTS.ADT"))));
    rows = run({"word-rows", "alien"});
    ASSERT_EQ(rows.exitCode, 0) << rows.err.toStdString();
    std::vector<TRow> alien = RowsOf(rows);
    ASSERT_EQ(alien.size(), 1u) << rows.out.toStdString();
    EXPECT_EQ(alien[0].segment, 0);
    EXPECT_EQ(alien[0].count, 1);
    EXPECT_EQ(alien[0].size, 20);
    EXPECT_EQ(alien[0].type, 1);
    EXPECT_EQ(alien[0].first, alien[0].last);

    // Further records go in through the update engine.
    const TRun second = run({"add", "--kind", "film", "Title=Alien gegen Predator"});
    ASSERT_EQ(second.exitCode, 0) << second.err.toStdString();
    alien = RowsOf(run({"word-rows", "ALIEN"}));
    ASSERT_EQ(alien.size(), 1u);
    EXPECT_EQ(alien[0].count, 2);
    EXPECT_LT(alien[0].first, alien[0].last);
    std::vector<TRow> predator = RowsOf(run({"word-rows", "Predator"}));
    ASSERT_EQ(predator.size(), 1u);
    EXPECT_EQ(predator[0].count, 1);
    EXPECT_EQ(predator[0].first, alien[0].last);

    // An edit moves the record's words.
    ASSERT_EQ(run({"edit", "--ftsno", "2", "Title=Solaris"}).exitCode, 0);
    EXPECT_TRUE(run({"word-rows", "predator"}).out.isEmpty());
    ASSERT_EQ(RowsOf(run({"word-rows", "solaris"})).size(), 1u);
    EXPECT_EQ(RowsOf(run({"word-rows", "alien"}))[0].count, 1);

    // A delete leaves the words where they are; only a rebuild drops them.
    const QString solarisBefore = run({"word-rows", "solaris"}).out;
    ASSERT_EQ(run({"delete", "--ftsno", "2"}).exitCode, 0);
    EXPECT_EQ(run({"word-rows", "solaris"}).out, solarisBefore);

    const TRun reindex = run({"reindex"});
    ASSERT_EQ(reindex.exitCode, 0) << reindex.err.toStdString();
    const QStringList lines = Lines(reindex.out);
    ASSERT_EQ(lines.size(), 2) << reindex.out.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("rows\t1")); // ALIEN of record 1
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^elapsed\\t\\d+\\.\\d{3} s$")).match(lines[1]).hasMatch())
        << lines[1].toStdString();
    EXPECT_TRUE(run({"word-rows", "solaris"}).out.isEmpty());
    alien = RowsOf(run({"word-rows", "alien"}));
    ASSERT_EQ(alien.size(), 1u);
    EXPECT_EQ(alien[0].count, 1);
}

TEST(FulltextCli, UsageErrors) {
    if (!CliPresent())
        GTEST_SKIP() << "movarix-cli is not built: " << MOVARIX_CLI;
    TTempFolder folder;
    for (const QStringList& args : {QStringList{QStringLiteral("words")}, QStringList{QStringLiteral("word-rows")},
                                    QStringList{QStringLiteral("word-rows"), QStringLiteral("a"), QStringLiteral("b")},
                                    QStringList{QStringLiteral("reindex"), QStringLiteral("now")}})
        EXPECT_EQ(RunCli(folder, args).exitCode, 2) << args.join(QLatin1Char(' ')).toStdString();
}

} // namespace
