#include "platform/Ansi.h"
#include "platform/Folders.h"
#include "platform/MovarixError.h"
#include "platform/TextFile.h"
#include "support/TempFolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

TEST(AnsiTest, EveryByteSurvivesTheRoundTrip) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    EXPECT_EQ(TAnsi::FromUnicode(TAnsi::ToUnicode(all)), all);
}

TEST(AnsiTest, ConvertsTheCharactersOfTheCodePage) {
    const struct {
        const char16_t* text;
        const char* bytes;
    } cases[] = {
        {u"Größe", "Gr\xF6\xDF" "e"},
        {u"€ – „x“", "\x80 \x96 \x84x\x93"},
        {u"Œuvre š ž Ÿ", "\x8Cuvre \x9A \x9E \x9F"},
        {u"日本", "??"},
        {u"\U0001F600!", "?!"}, // one character beyond the basic plane is one "?"
    };
    for (const auto& c : cases)
        EXPECT_EQ(TAnsi::FromUnicode(QString::fromUtf16(c.text)), QByteArray(c.bytes)) << c.bytes;
    EXPECT_EQ(TAnsi::ToUnicode(QByteArray("\x80\x9F")), QString::fromUtf16(u"€Ÿ"));
}

// The conversion one UTF-16 unit at a time, as the code page defines it: the
// fast paths must give the same bytes wherever a character stands.
QByteArray UnitByUnit(const QString& text) {
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out.append('?');
            ++i;
        } else {
            out.append(char(TAnsi::ByteOf(text[i].unicode())));
        }
    }
    return out;
}

TEST(AnsiTest, FastPathsGiveTheBytesOfTheSlowPathAtEveryOffset) {
    // UTF-8 pieces: plain, two-byte (code page and not), three- and
    // four-byte, and malformed input that Qt's decoder replaces.
    const struct {
        const char* name;
        QByteArray utf8;
    } pieces[] = {
        {"Umlaut", "\xC3\xA4"},          {"Sharp s", "\xC3\x9F"},
        {"C1 control", "\xC2\x81"},       {"Two-byte outside", "\xD0\x96"},
        {"Euro", "\xE2\x82\xAC"},        {"Emoji", "\xF0\x9F\x98\x80"},
        {"Lone continuation", "\x80"},     {"Overlong", "\xC0\x80"},
        {"Truncated", "\xC3"},             {"Bad continuation", "\xC3\x41"},
        {"Encoded surrogate", "\xED\xA0\x80"}, {"NUL", QByteArray(1, '\0')},
        {"BOM", "\xEF\xBB\xBF"},
    };
    for (const auto& piece : pieces) {
        for (int before = 0; before <= 17; ++before) {
            for (int after : {0, 1, 9}) {
                const QByteArray utf8 = QByteArray(before, 'a') + piece.utf8 + QByteArray(after, 'z');
                const QString text = QString::fromUtf8(utf8);
                SCOPED_TRACE(testing::Message() << piece.name << " after " << before << " plain bytes");
                EXPECT_EQ(TAnsi::FromUnicode(text), UnitByUnit(text));
                EXPECT_EQ(TAnsi::FromUtf8(utf8), UnitByUnit(text));
            }
        }
    }
    EXPECT_TRUE(TAnsi::FromUtf8(QByteArrayView()).isEmpty());
    EXPECT_TRUE(TAnsi::FromUnicode(QString()).isEmpty());
}

TEST(AnsiTest, FoldingTablesUpperCaseAndFoldAccents) {
    const unsigned char* plain = TAnsi::PlainFoldTable();
    const unsigned char* international = TAnsi::InternationalFoldTable();
    const struct {
        unsigned char byte;
        unsigned char plain;
        unsigned char international;
    } cases[] = {
        {'a', 'A', 'A'},   {'Z', 'Z', 'Z'},   {0xE4, 0xC4, 'A'}, {0xC4, 0xC4, 'A'}, {0xDF, 0xDF, 0xDF}, // ß stays
        {0xF7, 0xF7, 0xF7}, {0xFF, 0x9F, 0x9F}, {0x9A, 0x8A, 0x8A}, {0xE7, 0xC7, 'C'}, {0xF1, 0xD1, 'N'},
        {0xFD, 0xDD, 'Y'}, {0xF8, 0xD8, 0xD8}, {0xFE, 0xDE, 0xDE}, {'1', '1', '1'},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(plain[c.byte], c.plain) << int(c.byte);
        EXPECT_EQ(international[c.byte], c.international) << int(c.byte);
    }
}

TEST(TextFileTest, WritesAnsiWithCrLfAndReadsAnyLineEnd) {
    TTempFolder folder;
    const QString path = folder.File(QStringLiteral("lines.txt"));
    TTextFile::WriteLines(path, {QStringLiteral("Größe"), QString(), QStringLiteral("€")});
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("Gr\xF6\xDF" "e\r\n\r\n\x80\r\n"));
    file.close();
    EXPECT_EQ(TTextFile::ReadLines(path), (QStringList{"Größe", "", "€"}));

    TTextFile::WriteAtomically(path, QByteArray("a\nb\rc\r\nd"));
    EXPECT_EQ(TTextFile::ReadLines(path), (QStringList{"a", "b", "c", "d"}));
    EXPECT_THROW(TTextFile::ReadLines(folder.File(QStringLiteral("missing.txt"))), EMovarixError);
    // A target that cannot be written leaves nothing behind and says so.
    EXPECT_THROW(TTextFile::WriteLines(folder.File(QStringLiteral("no/such/folder/x.txt")), {}), EMovarixError);
}

class FoldersTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"MOVARIX_DATA", "MOVARIX_CONFIG", "XDG_DATA_HOME", "XDG_CONFIG_HOME"})
            qunsetenv(name);
        qputenv("HOME", folder.Path().toUtf8());
    }
    void TearDown() override { qputenv("HOME", home_); }

    TTempFolder folder;
    QByteArray home_ = qgetenv("HOME");
};

TEST_F(FoldersTest, ResolvesFlagsEnvironmentPortableModeAndDefaults) {
    const QString exeDir = folder.File(QStringLiteral("bin"));
    QDir().mkpath(exeDir);

    TFolders defaults({}, exeDir);
    EXPECT_EQ(defaults.ProgramFolder(), folder.Path() + QStringLiteral(".local/share/movarix/"));
    EXPECT_EQ(defaults.WindowsFolder(), folder.Path() + QStringLiteral(".config/"));
    EXPECT_EQ(defaults.SettingsFile(), folder.Path() + QStringLiteral(".config/Talmer-DVD.ini"));

    qputenv("XDG_DATA_HOME", folder.File(QStringLiteral("xdgdata")).toUtf8());
    qputenv("XDG_CONFIG_HOME", folder.File(QStringLiteral("xdgconfig")).toUtf8());
    TFolders xdg({}, exeDir);
    EXPECT_EQ(xdg.ProgramFolder(), folder.Path() + QStringLiteral("xdgdata/movarix/"));
    EXPECT_EQ(xdg.WindowsFolder(), folder.Path() + QStringLiteral("xdgconfig/"));

    // A folder beside the executable that holds a catalogue or "portable".
    QFile marker(exeDir + QStringLiteral("/portable"));
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.close();
    EXPECT_EQ(TFolders({}, exeDir).ProgramFolder(), exeDir + QLatin1Char('/'));

    qputenv("MOVARIX_DATA", folder.File(QStringLiteral("envdata")).toUtf8());
    qputenv("MOVARIX_CONFIG", folder.File(QStringLiteral("envcfg")).toUtf8());
    TFolders environment({}, exeDir);
    EXPECT_EQ(environment.ProgramFolder(), folder.Path() + QStringLiteral("envdata/"));
    EXPECT_EQ(environment.WindowsFolder(), folder.Path() + QStringLiteral("envcfg/"));

    TFolders flags({folder.File(QStringLiteral("flag//")), folder.File(QStringLiteral("cfgflag"))}, exeDir);
    EXPECT_EQ(flags.ProgramFolder(), folder.Path() + QStringLiteral("flag/"));
    EXPECT_EQ(flags.WindowsFolder(), folder.Path() + QStringLiteral("cfgflag/"));
    EXPECT_FALSE(QDir(flags.ProgramFolder()).exists());
    flags.EnsureProgramFolder();
    EXPECT_TRUE(QDir(flags.ProgramFolder()).exists());
}

TEST(FoldersTrailingSlashTest, KeepsExactlyOne) {
    EXPECT_EQ(TFolders::WithTrailingSlash(QStringLiteral("/a/b")), QStringLiteral("/a/b/"));
    EXPECT_EQ(TFolders::WithTrailingSlash(QStringLiteral("/a/b///")), QStringLiteral("/a/b/"));
    EXPECT_EQ(TFolders::WithTrailingSlash(QStringLiteral("/")), QStringLiteral("/"));
}

} // namespace
