// Tests of the settings component on real files in a temporary folder.

#include "app/ZebINI.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <climits>
#include <csignal>
#include <optional>
#include <sys/resource.h>
#include <unistd.h>

namespace {

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// A window as the component sees it, recording what it was told.
class TFakePlacement : public TFormPlacement {
public:
    int top = 0, left = 0, width = 0, height = 0;
    TWindowState state = TWindowState::Normal;
    std::optional<TFormPosition> position; // last position mode set, if any

    int Top() const override { return top; }
    int Left() const override { return left; }
    int Width() const override { return width; }
    int Height() const override { return height; }
    void SetTop(int value) override { top = value; }
    void SetLeft(int value) override { left = value; }
    void SetWidth(int value) override { width = value; }
    void SetHeight(int value) override { height = value; }
    TWindowState WindowState() const override { return state; }
    void SetWindowState(TWindowState value) override { state = value; }
    void SetPosition(TFormPosition value) override { position = value; }
};

class ZebINITest : public ::testing::Test {
protected:
    TTempFolder folder;
    TZebINI ini{QStringLiteral("ZebINI_Prog"), folder.Path()};

    QString Path() const { return ini.FullPath(); }
    QByteArray Bytes() const { return ReadBytes(Path()); }
    void SetFile(const QByteArray& bytes) { WriteBytes(Path(), bytes); }
    QStringList Section(const QString& section) const {
        QStringList lines;
        ini.INIReadSectionValues(section, lines);
        return lines;
    }
};

// ---- where the file is ---------------------------------------------------

TEST(ZebINIPath, ResolvesBareNamesAgainstTheExecutableFolder) {
    const QString exe = QStringLiteral("/opt/movarix/bin"); // no trailing "/" on purpose
    struct TCase {
        const char* name;
        QString value;
        QString fileName;
        QString fullPath;
    } cases[] = {
        {"bare name", "Talmer-DVD.ini", "Talmer-DVD.ini", exe + "/Talmer-DVD.ini"},
        {"empty means Default.INI", "", "Default.INI", exe + "/Default.INI"},
        {"absolute path", "/home/u/.config/Talmer-DVD.ini", "/home/u/.config/Talmer-DVD.ini",
         "/home/u/.config/Talmer-DVD.ini"},
        {"relative path with folder", "conf/x.ini", "conf/x.ini", "conf/x.ini"},
        {"Windows path", "C:\\WINDOWS\\Talmer-DVD.ini", "C:\\WINDOWS\\Talmer-DVD.ini",
         "C:/WINDOWS/Talmer-DVD.ini"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TZebINI ini(QStringLiteral("ZebINI_Prog"), exe);
        ini.SetINIFileName(c.value);
        EXPECT_EQ(ini.INIFileName(), c.fileName);
        EXPECT_EQ(ini.FullPath(), c.fullPath);
    }

    TZebINI fresh(QStringLiteral("ZebINI_Prog"), exe);
    EXPECT_EQ(fresh.INIFileName(), "Default.INI");
    EXPECT_EQ(fresh.FullPath(), exe + "/Default.INI");
    // A later full path replaces the one resolved from the design-time name.
    fresh.SetINIFileName(QStringLiteral("/etc/movarix/Talmer-DVD.ini"));
    EXPECT_EQ(fresh.FullPath(), "/etc/movarix/Talmer-DVD.ini");
}

TEST(ZebINIPath, BareNameIsWrittenIntoTheExecutableFolder) {
    TTempFolder exe;
    TTempFolder elsewhere;
    TZebINI bare(QStringLiteral("ZebINI_Prog"), exe.Path());
    bare.SetINIFileName(QStringLiteral("Talmer-DVD.ini"));
    ASSERT_TRUE(bare.INIWriteString("Main", "Language", "German"));
    EXPECT_TRUE(QFileInfo::exists(exe.File("Talmer-DVD.ini")));

    TZebINI full(QStringLiteral("ZebINI_Prog"), exe.Path());
    full.SetINIFileName(elsewhere.File("Talmer-DVD.ini"));
    ASSERT_TRUE(full.INIWriteString("Main", "Language", "English"));
    EXPECT_EQ(ReadBytes(elsewhere.File("Talmer-DVD.ini")), "[Main]\r\nLanguage=English\r\n");
    EXPECT_EQ(bare.INIReadString("Main", "Language", ""), "German");
}

// ---- values --------------------------------------------------------------

TEST_F(ZebINITest, ReadsIntegersWithCommentsAndFallsBackOnAnythingElse) {
    const QByteArray blanks252(252, ' ');
    struct TCase {
        const char* name;
        QByteArray stored;
        int expected;
    } cases[] = {
        {"comment after blank", "12 ; letzte Nummer", 12},
        {"comment right after", "12;x", 12},
        {"tab before comment", "12\t;x", 12},
        {"blanks around", "   12   ", 12},
        {"negative", "-42", -42},
        {"plus sign", "+7", 7},
        {"largest", "2147483647", INT_MAX},
        {"smallest", "-2147483648", INT_MIN},
        {"one too large", "2147483648", 77},
        {"far too large", "99999999999999999999", 77},
        {"letters", "abc", 77},
        {"number then letters", "12abc", 77},
        {"two numbers", "12 34", 77},
        {"decimal point", "1.5", 77},
        {"hex", "0x10", 77},
        {"empty value", "", 77},
        {"only a comment", "; nur Kommentar", 77},
        {"sign alone", "-", 77},
        {"semicolon at index 254 still cuts", "12" + blanks252 + ";", 12},
        {"semicolon at index 255 does not", "12" + blanks252 + " ;", 77},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetFile("[Main]\r\nLastDVDNo=" + c.stored + "\r\n");
        EXPECT_EQ(ini.INIReadInteger("Main", "LastDVDNo", 77), c.expected);
    }

    EXPECT_EQ(ini.INIReadInteger("Main", "Absent", 5), 5);
    EXPECT_EQ(ini.INIReadInteger("Absent", "LastDVDNo", 6), 6);
    QFile::remove(Path());
    EXPECT_EQ(ini.INIReadInteger("Main", "LastDVDNo", 7), 7);
}

TEST_F(ZebINITest, IntegersRoundTripAsDecimalText) {
    for (int value : {0, 1, -1, 800, INT_MAX, INT_MIN}) {
        ASSERT_TRUE(ini.INIWriteInteger("Main", "HintPause", value));
        EXPECT_EQ(ini.INIReadInteger("Main", "HintPause", 3), value);
        EXPECT_EQ(ini.INIReadString("Main", "HintPause", ""), QString::number(value));
    }
}

TEST_F(ZebINITest, BooleansAreWrittenAsOneAndZero) {
    ASSERT_TRUE(ini.INIWriteBool("Main", "ErstStart", false));
    ASSERT_TRUE(ini.INIWriteBool("Main", "Maushilfe", true));
    EXPECT_EQ(Bytes(), "[Main]\r\nErstStart=0\r\nMaushilfe=1\r\n");
    EXPECT_FALSE(ini.INIReadBool("Main", "ErstStart", true));
    EXPECT_TRUE(ini.INIReadBool("Main", "Maushilfe", false));
}

TEST_F(ZebINITest, ReadsBooleansFromOneZeroTrueFalseOnly) {
    struct TCase {
        QByteArray stored;
        std::optional<bool> expected; // nullopt: the default
    } cases[] = {
        {"1", true}, {"0", false}, {"true", true}, {"FALSE", false}, {"True", true},
        {" 1 ", true}, {"yes", std::nullopt}, {"2", std::nullopt}, {"-1", std::nullopt},
        {"", std::nullopt}, {"10", std::nullopt},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.stored.constData());
        SetFile("[Main]\r\nBMP=" + c.stored + "\r\n");
        for (bool defaultValue : {false, true})
            EXPECT_EQ(ini.INIReadBool("Main", "BMP", defaultValue), c.expected.value_or(defaultValue));
    }
    EXPECT_TRUE(ini.INIReadBool("Main", "Absent", true));
}

TEST_F(ZebINITest, StringsKeepEmptyValuesAndDropSurroundingBlanks) {
    SetFile("[Main]\r\nEmpty=\r\nPadded =  Film DVDs  \r\nPicturePath=/home/u/Bilder/\r\n");
    EXPECT_EQ(ini.INIReadString("Main", "Empty", "default"), "");
    EXPECT_EQ(ini.INIReadString("Main", "Padded", ""), "Film DVDs");
    EXPECT_EQ(ini.INIReadString("Main", "PicturePath", ""), "/home/u/Bilder/");
    EXPECT_EQ(ini.INIReadString("Main", "Absent", "default"), "default");
}

TEST_F(ZebINITest, FileHoldsWindows1252BytesWithCrLf) {
    ASSERT_TRUE(ini.INIWriteString("Main", "Feld", QStringLiteral("Größe")));
    EXPECT_EQ(Bytes(), QByteArray("[Main]\r\nFeld=Gr\xF6\xDF" "e\r\n"));

    ASSERT_TRUE(ini.INIWriteString("Main", "Preis", QStringLiteral("5 €")));
    ASSERT_TRUE(ini.INIWriteString("Über", "Ω", QStringLiteral("x")));
    EXPECT_EQ(Bytes(), QByteArray("[Main]\r\nFeld=Gr\xF6\xDF" "e\r\nPreis=5 \x80\r\n\r\n[\xDC" "ber]\r\n?=x\r\n"));
    EXPECT_EQ(ini.INIReadString("Main", "Feld", ""), QStringLiteral("Größe"));
    EXPECT_EQ(ini.INIReadString("über", "?", ""), "x");
}

TEST_F(ZebINITest, NamesMatchWithoutCaseButKeepTheirFirstSpelling) {
    SetFile("[Main]\r\nLastDVDNo=5\r\n");
    EXPECT_EQ(ini.INIReadInteger("MAIN", "lastdvdno", 0), 5);
    ASSERT_TRUE(ini.INIWriteInteger("main", "LASTDVDNO", 6));
    ASSERT_TRUE(ini.INIWriteString(" Main ", " Language ", "German"));
    ASSERT_TRUE(ini.INIWriteString("MAIN", "language", "English"));
    EXPECT_EQ(Bytes(), "[Main]\r\nLastDVDNo=6\r\nLanguage=English\r\n");
}

TEST_F(ZebINITest, ValuesThatCannotBeAnIniLineAreRefusedAndChangeNothing) {
    const QByteArray original = "[Main]\r\nLanguage=German\r\n";
    struct TCase {
        const char* name;
        QString section, key, value;
    } cases[] = {
        {"empty section", "", "K", "v"},
        {"blank section", "  ", "K", "v"},
        {"bracket in section", "Ma]in", "K", "v"},
        {"line break in section", "Ma\nin", "K", "v"},
        {"empty key", "Main", "", "v"},
        {"equals in key", "Main", "A=B", "v"},
        {"key like a comment", "Main", ";K", "v"},
        {"key like a header", "Main", "[K", "v"},
        {"line break in value", "Main", "Language", "a\r\nb"},
        {"lone LF in value", "Main", "Language", "a\nNew=1"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetFile(original);
        EXPECT_FALSE(ini.INIWriteString(c.section, c.key, c.value));
        EXPECT_EQ(Bytes(), original);
    }
}

// ---- sharing and preserving the file -------------------------------------

TEST_F(ZebINITest, TwoInstancesOnOneFileSeeEachOthersWrites) {
    TZebINI options(QStringLiteral("ZebINI_Options"), folder.Path());
    options.SetINIFileName(Path());

    ASSERT_TRUE(ini.INIWriteInteger("Main", "LastDVDNo", 3));
    EXPECT_EQ(options.INIReadInteger("Main", "LastDVDNo", 0), 3);
    ASSERT_TRUE(options.INIWriteBool("Main", "DVDNrInc", true));
    ASSERT_TRUE(options.INIWriteInteger("Main", "LastDVDNo", 4));
    EXPECT_TRUE(ini.INIReadBool("Main", "DVDNrInc", false));
    EXPECT_EQ(ini.INIReadInteger("Main", "LastDVDNo", 0), 4);
    ASSERT_TRUE(ini.INIDeleteKey("Main", "DVDNrInc"));
    EXPECT_FALSE(options.INIReadBool("Main", "DVDNrInc", false));
    // A change made behind both components' backs is seen too.
    SetFile("[Main]\r\nLastDVDNo=9\r\n");
    EXPECT_EQ(ini.INIReadInteger("Main", "LastDVDNo", 0), 9);
    EXPECT_EQ(options.INIReadInteger("Main", "LastDVDNo", 0), 9);
}

TEST_F(ZebINITest, WritingOneKeyKeepsEveryOtherLine) {
    SetFile("; Einstellungen von Movarix\r\n"
            "Orphan=before any section\r\n"
            "[Main]\r\n"
            "Language = English\r\n"
            "; the last number handed out\r\n"
            "LASTDVDNO=5 ; comment\r\n"
            "=no key\r\n"
            "\r\n"
            "[Dialog]\r\n"
            "  Width=300\r\n"
            "stray line without equals sign\r\n"
            "[Broken\r\n"
            "Key=1");
    ASSERT_TRUE(ini.INIWriteInteger("Main", "LastDVDNo", 6));       // replaced in place
    ASSERT_TRUE(ini.INIWriteInteger("Main", "HintPause", 800));     // after the section's last line
    ASSERT_TRUE(ini.INIWriteBool("TipsDialog", "ShowAtStart", true)); // new section at the end
    ASSERT_TRUE(ini.INIWriteString("Broken", "Key", "2"));           // a header without "]"
    EXPECT_EQ(Bytes(), "; Einstellungen von Movarix\r\n"
                       "Orphan=before any section\r\n"
                       "[Main]\r\n"
                       "Language = English\r\n"
                       "; the last number handed out\r\n"
                       "LASTDVDNO=6\r\n"
                       "=no key\r\n"
                       "HintPause=800\r\n"
                       "\r\n"
                       "[Dialog]\r\n"
                       "  Width=300\r\n"
                       "stray line without equals sign\r\n"
                       "[Broken\r\n"
                       "Key=2\r\n"
                       "\r\n"
                       "[TipsDialog]\r\n"
                       "ShowAtStart=1\r\n");
    EXPECT_EQ(ini.INIReadString("Main", "Language", ""), "English");
    EXPECT_EQ(ini.INIReadInteger("Dialog", "Width", 0), 300);
    EXPECT_EQ(ini.INIReadString("Main", "Orphan", "none"), "none");
}

TEST_F(ZebINITest, ReadsFilesWithUnixLineEndsAndWritesCrLf) {
    SetFile("[Main]\nLanguage=German\nLastDVDNo=3");
    EXPECT_EQ(ini.INIReadInteger("Main", "LastDVDNo", 0), 3);
    ASSERT_TRUE(ini.INIWriteInteger("Main", "LastDVDNo", 4));
    EXPECT_EQ(Bytes(), "[Main]\r\nLanguage=German\r\nLastDVDNo=4\r\n");
}

TEST_F(ZebINITest, WriteReadWriteGivesIdenticalBytes) {
    SetFile("; Movarix\r\n"
            "[Main]\r\n"
            "Language=Nederlands\r\n"
            "ErstStart=0\r\n"
            "Programmpfad=/home/u/Movarix/\r\n"
            "BezeichnerBenutzerdefiniertesFeld1=Gr\xF6\xDF" "e\r\n"
            "InternFilterNummer=-3\r\n"
            "\r\n"
            "[WinPos]\r\n"
            "ZebINI_Prog_WindowState=2\r\n"
            "ZebINI_Prog_Top=10\r\n");
    const QByteArray before = Bytes();
    for (const char* section : {"Main", "WinPos"}) {
        QStringList keys;
        ini.INIReadSection(section, keys);
        for (const QString& key : keys)
            ASSERT_TRUE(ini.INIWriteString(section, key, ini.INIReadString(section, key, "")));
    }
    EXPECT_EQ(Bytes(), before);

    ASSERT_TRUE(ini.INIWriteBool("Main", "ErstStart", ini.INIReadBool("Main", "ErstStart", true)));
    ASSERT_TRUE(ini.INIWriteInteger("Main", "InternFilterNummer", ini.INIReadInteger("Main", "InternFilterNummer", 0)));
    TFakePlacement window;
    ini.INILoadWinPos("ZebINI_Prog", window, TSaveWinPos::swpPosition);
    ASSERT_TRUE(ini.INISaveWinPos("ZebINI_Prog", window, TSaveWinPos::swpPosition));
    EXPECT_EQ(Bytes(), before);
}

// ---- failing writes ------------------------------------------------------

TEST_F(ZebINITest, MissingFolderFailsTheWriteQuietly) {
    TZebINI lost(QStringLiteral("ZebINI_Prog"), folder.Path());
    lost.SetINIFileName(folder.File("missing/Talmer-DVD.ini"));
    EXPECT_FALSE(lost.INIWriteString("Main", "Language", "German"));
    EXPECT_FALSE(QFileInfo::exists(folder.File("missing")));
    EXPECT_EQ(lost.INIReadString("Main", "Language", "default"), "default");

    // A folder that is really a file.
    WriteBytes(folder.File("plain"), "x");
    lost.SetINIFileName(folder.File("plain/Talmer-DVD.ini"));
    EXPECT_FALSE(lost.INIWriteBool("Main", "ErstStart", false));
    TFakePlacement window;
    EXPECT_FALSE(lost.INISaveWinPos("ZebINI_Prog", window, TSaveWinPos::swpSizePosition));
    EXPECT_EQ(ReadBytes(folder.File("plain")), "x");
}

// Makes every file write beyond a few bytes fail, as a full disk would.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t bytes) {
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~TFileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

TEST_F(ZebINITest, FullDiskLeavesTheExistingFileIntact) {
    const QByteArray original = "[Main]\r\nLanguage=German\r\nLastDVDNo=12\r\n";
    SetFile(original);
    bool written = true;
    {
        TFileSizeLimit limit(16);
        written = ini.INIWriteString("Main", "PicturePath", QString(200, QLatin1Char('x')));
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(Bytes(), original);
    EXPECT_EQ(QDir(folder.Path()).entryList(QDir::Files), QStringList{"Default.INI"}) << "no temporary file left";
    EXPECT_EQ(ini.INIReadInteger("Main", "LastDVDNo", 0), 12);
}

TEST_F(ZebINITest, ReadOnlyFolderOrUnreadableFileLeavesTheFileIntact) {
    if (geteuid() == 0)
        GTEST_SKIP() << "file permissions do not bind root";
    const QByteArray original = "[Main]\r\nLastDVDNo=12\r\n";
    SetFile(original);

    QFile::setPermissions(folder.Path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    EXPECT_FALSE(ini.INIWriteInteger("Main", "LastDVDNo", 13));
    QFile::setPermissions(folder.Path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(Bytes(), original);

    // A file that cannot be read must not be replaced by one holding only the
    // new key.
    QFile::setPermissions(Path(), QFileDevice::WriteOwner);
    EXPECT_EQ(ini.INIReadInteger("Main", "LastDVDNo", 0), 0);
    EXPECT_FALSE(ini.INIWriteInteger("Main", "HintPause", 800));
    QFile::setPermissions(Path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(Bytes(), original);
}

// ---- window placement ----------------------------------------------------

TEST_F(ZebINITest, MaximisedWindowKeepsTheNormalPlacementSavedEarlier) {
    TFakePlacement window;
    TZebINI prog(QStringLiteral("ZebINI_Prog"), folder.Path(), &window);
    prog.SetINIFileName(Path());
    prog.SetSaveWinPos(TSaveWinPos::swpSizePosition);

    window.top = 10, window.left = 20, window.width = 300, window.height = 400;
    prog.WriteINI();
    window.state = TWindowState::Maximised;
    window.top = 0, window.left = 0, window.width = 1920, window.height = 1080;
    prog.WriteINI();

    EXPECT_EQ(prog.Caption(), "ZebINI_Prog");
    EXPECT_EQ(Section("WinPos"), (QStringList{"ZebINI_Prog_WindowState=2", "ZebINI_Prog_Top=10",
                                              "ZebINI_Prog_Left=20", "ZebINI_Prog_Height=400",
                                              "ZebINI_Prog_Width=300"}));

    TFakePlacement reopened;
    reopened.top = reopened.left = reopened.width = reopened.height = 1;
    TZebINI next(QStringLiteral("ZebINI_Prog"), folder.Path(), &reopened);
    next.SetINIFileName(Path());
    next.SetSaveWinPos(TSaveWinPos::swpSizePosition);
    next.ReadINI();
    EXPECT_EQ(reopened.position, TFormPosition::Designed);
    EXPECT_EQ(reopened.top, 10);
    EXPECT_EQ(reopened.left, 20);
    EXPECT_EQ(reopened.width, 300);
    EXPECT_EQ(reopened.height, 400);
    EXPECT_EQ(reopened.state, TWindowState::Maximised);
}

TEST_F(ZebINITest, WithoutWinPosSectionTheWindowOpensCentred) {
    SetFile("[Main]\r\nZebINI_Prog_Top=10\r\n");
    TFakePlacement window;
    window.top = 5, window.left = 6, window.width = 803, window.height = 563;
    ini.INILoadWinPos("ZebINI_Prog", window, TSaveWinPos::swpSizePosition);
    EXPECT_EQ(window.position, TFormPosition::ScreenCentre);
    EXPECT_EQ(window.top, 5);
    EXPECT_EQ(window.left, 6);
    EXPECT_EQ(window.width, 803);
    EXPECT_EQ(window.height, 563);

    // The same with no file at all.
    QFile::remove(Path());
    window.position.reset();
    ini.INILoadWinPos("ZebINI_Prog", window, TSaveWinPos::swpPosition);
    EXPECT_EQ(window.position, TFormPosition::ScreenCentre);
}

TEST_F(ZebINITest, WinPosKeysOfOtherWindowsLeaveTheCurrentValues) {
    SetFile("[WinPos]\r\nFormOptions_Top=99\r\n");
    TFakePlacement window;
    window.top = 5, window.left = 6, window.width = 803, window.height = 563;
    window.state = TWindowState::Minimised;
    ini.INILoadWinPos("ZebINI_Prog", window, TSaveWinPos::swpSizePosition);
    EXPECT_EQ(window.position, TFormPosition::Designed);
    EXPECT_EQ(window.top, 5);
    EXPECT_EQ(window.left, 6);
    EXPECT_EQ(window.width, 803);
    EXPECT_EQ(window.height, 563);
    EXPECT_EQ(window.state, TWindowState::Minimised);
}

TEST_F(ZebINITest, PositionModeLeavesTheSizeAlone) {
    TFakePlacement window;
    window.top = 10, window.left = 20, window.width = 300, window.height = 400;
    ASSERT_TRUE(ini.INISaveWinPos("Options", window, TSaveWinPos::swpPosition));
    EXPECT_EQ(Section("WinPos"), (QStringList{"Options_WindowState=0", "Options_Top=10", "Options_Left=20"}));

    SetFile("[WinPos]\r\nOptions_Top=1\r\nOptions_Left=2\r\nOptions_Height=3\r\nOptions_Width=4\r\n");
    ini.INILoadWinPos("Options", window, TSaveWinPos::swpPosition);
    EXPECT_EQ(window.top, 1);
    EXPECT_EQ(window.left, 2);
    EXPECT_EQ(window.width, 300);
    EXPECT_EQ(window.height, 400);
}

TEST_F(ZebINITest, ModeNoneNeitherSavesNorRestores) {
    TFakePlacement window;
    window.top = 10;
    TZebINI prog(QStringLiteral("ZebINI_Prog"), folder.Path(), &window);
    prog.SetINIFileName(Path());
    prog.WriteINI();
    EXPECT_FALSE(QFileInfo::exists(Path()));

    SetFile("[WinPos]\r\nZebINI_Prog_Top=99\r\n");
    prog.ReadINI();
    EXPECT_EQ(window.top, 10);
    EXPECT_FALSE(window.position.has_value());
}

TEST_F(ZebINITest, StoredWindowStateOutsideTheKnownStatesIsNormal) {
    struct TCase {
        QByteArray stored;
        TWindowState expected;
    } cases[] = {
        {"0", TWindowState::Normal},     {"1", TWindowState::Minimised}, {"2", TWindowState::Maximised},
        {"3", TWindowState::Normal},     {"-1", TWindowState::Normal},   {"2 ; max", TWindowState::Maximised},
        // Not a number at all: like an absent key, the current state stays.
        {"abc", TWindowState::Minimised},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.stored.constData());
        SetFile("[WinPos]\r\nZebINI_Prog_WindowState=" + c.stored + "\r\n");
        TFakePlacement window;
        window.state = TWindowState::Minimised;
        ini.INILoadWinPos("ZebINI_Prog", window, TSaveWinPos::swpPosition);
        EXPECT_EQ(window.state, c.expected);
    }
}

TEST_F(ZebINITest, EventsFollowThePlacementAndCaptionFallsBackToTheName) {
    TFakePlacement window;
    window.top = 42;
    TZebINI prog(QStringLiteral("ZebINI_Prog"), folder.Path(), &window);
    prog.SetINIFileName(Path());
    prog.SetSaveWinPos(TSaveWinPos::swpPosition);

    QStringList log;
    prog.OnWriteINI = [&](TZebINI& sender) {
        EXPECT_EQ(&sender, &prog);
        log << "write: top " + sender.INIReadString("WinPos", "ZebINI_Prog_Top", "absent");
        sender.INIWriteBool("Main", "ErstStart", false);
    };
    prog.OnReadINI = [&](TZebINI& sender) {
        log << "read: top " + QString::number(window.top);
        log << "ErstStart " + QString::number(sender.INIReadBool("Main", "ErstStart", true));
    };
    EXPECT_EQ(prog.Caption(), "");
    prog.WriteINI();
    window.top = 0;
    prog.ReadINI();
    EXPECT_EQ(log, (QStringList{"write: top 42", "read: top 42", "ErstStart 0"}));

    // An explicit caption names the keys instead.
    prog.SetCaption(QStringLiteral("Haupt"));
    prog.WriteINI();
    EXPECT_EQ(ini.INIReadInteger("WinPos", "Haupt_Top", -1), 42);

    // Without an owner only the events run.
    TZebINI lonely(QStringLiteral("ZebINI_Alone"), folder.Path());
    lonely.SetINIFileName(Path());
    lonely.SetSaveWinPos(TSaveWinPos::swpSizePosition);
    int events = 0;
    lonely.OnReadINI = [&](TZebINI&) { ++events; };
    lonely.OnWriteINI = [&](TZebINI&) { ++events; };
    lonely.WriteINI();
    lonely.ReadINI();
    EXPECT_EQ(events, 2);
    EXPECT_EQ(lonely.Caption(), "ZebINI_Alone");
    EXPECT_EQ(ini.INIReadString("WinPos", "ZebINI_Alone_WindowState", "absent"), "absent");
}

// ---- sections and lists --------------------------------------------------

TEST_F(ZebINITest, ReadItemsCountsAnzahlInclusively) {
    struct TCase {
        const char* name;
        QByteArray file;
        QStringList expected;
    } cases[] = {
        {"three items, last one absent", "[Quellen]\r\nAnzahl=2\r\n0=Kauf\r\n1=Verleih\r\n", {"Kauf", "Verleih", "Leer"}},
        {"no count: one item", "[Quellen]\r\n0=Kauf\r\n1=Verleih\r\n", {"Kauf"}},
        {"no section", "[Main]\r\n0=Kauf\r\n", {"Leer"}},
        {"no file", "", {"Leer"}},
        {"negative count", "[Quellen]\r\nAnzahl=-1\r\n0=Kauf\r\n", {}},
        {"count with comment", "[Quellen]\r\nAnzahl=1 ; zwei\r\n0=a\r\n1=b\r\n2=c\r\n", {"a", "b"}},
        {"count in letters", "[Quellen]\r\nAnzahl=zwei\r\n0=a\r\n", {"a"}},
        {"absurd count", "[Quellen]\r\nAnzahl=2000000000\r\n0=a\r\n", {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(Path());
        if (!c.file.isEmpty())
            SetFile(c.file);
        QStringList list{"left over"};
        ini.INIReadItems("Quellen", list);
        EXPECT_EQ(list, c.expected);
    }
}

TEST_F(ZebINITest, ReadSectionListsKeysAsWrittenSkippingCommentsAndRepeats) {
    SetFile("[Main]\r\n; comment\r\nLanguage=German\r\n  BMP = 1\r\nlanguage=English\r\nno equals\r\n"
            "[Other]\r\nX=1\r\n");
    QStringList keys{"left over"};
    ini.INIReadSection("main", keys);
    EXPECT_EQ(keys, (QStringList{"Language", "BMP"}));
    EXPECT_EQ(Section("Main"), (QStringList{"Language=German", "BMP=1"}));
    ini.INIReadSection("Absent", keys);
    EXPECT_TRUE(keys.isEmpty());
    EXPECT_TRUE(Section("Absent").isEmpty());
}

TEST_F(ZebINITest, SectionExistsEraseAndDeleteKey) {
    const QByteArray original = "; top\r\n[Main]\r\nA=1\r\nB=2\r\n\r\n[Other]\r\nC=3\r\nc=4\r\n[main]\r\nD=4\r\n";
    SetFile(original);
    EXPECT_TRUE(ini.INISectionExists("MAIN"));
    EXPECT_TRUE(ini.INISectionExists("Other"));
    EXPECT_FALSE(ini.INISectionExists("WinPos"));

    // Erasing something absent leaves the file alone.
    ASSERT_TRUE(ini.INIEraseSection("WinPos"));
    ASSERT_TRUE(ini.INIDeleteKey("Main", "Absent"));
    ASSERT_TRUE(ini.INIDeleteKey("Absent", "A"));
    EXPECT_EQ(Bytes(), original);

    ASSERT_TRUE(ini.INIDeleteKey("other", "C"));
    EXPECT_EQ(ini.INIReadInteger("Other", "C", -1), -1) << "a repeated key must not show through";
    EXPECT_TRUE(ini.INISectionExists("Other")) << "an emptied section keeps its header";

    ASSERT_TRUE(ini.INIEraseSection("Main"));
    EXPECT_FALSE(ini.INISectionExists("Main"));
    EXPECT_EQ(Bytes(), "; top\r\n[Other]\r\n");

    // Nothing to delete in a missing file: no file is made.
    QFile::remove(Path());
    EXPECT_TRUE(ini.INIDeleteKey("Main", "A"));
    EXPECT_TRUE(ini.INIEraseSection("Main"));
    EXPECT_FALSE(QFileInfo::exists(Path()));
    EXPECT_FALSE(ini.INISectionExists("Main"));
}

TEST_F(ZebINITest, EmptySectionHeaderCountsAsExisting) {
    SetFile("[WinPos]\r\n[Main]\r\nA=1\r\n");
    EXPECT_TRUE(ini.INISectionExists("WinPos"));
    TFakePlacement window;
    window.top = 7;
    ini.INILoadWinPos("ZebINI_Prog", window, TSaveWinPos::swpPosition);
    EXPECT_EQ(window.position, TFormPosition::Designed);
    EXPECT_EQ(window.top, 7);
    ini.INIFlush(); // nothing buffered; the file is already complete
    EXPECT_EQ(Bytes(), "[WinPos]\r\n[Main]\r\nA=1\r\n");
}

// ---- fonts, columns, view styles -----------------------------------------

TEST_F(ZebINITest, FontRoundTripsWithWindowsColourNumber) {
    QFont font(QStringLiteral("DejaVu Sans"), 11);
    font.setBold(true);
    font.setStrikeOut(true);
    ASSERT_TRUE(ini.INISaveFont("Export", "Kopf", font, QColor(0x12, 0x34, 0x56)));
    EXPECT_EQ(Section("Export"),
              (QStringList{"Kopf_Name=DejaVu Sans", "Kopf_Size=11", "Kopf_Color=5649426", "Kopf_Style=BS"}));

    QFont loaded(QStringLiteral("Courier New"), 20);
    loaded.setItalic(true);
    QColor colour(Qt::white);
    ini.INILoadFont("Export", "Kopf", loaded, colour);
    EXPECT_EQ(loaded.family(), "DejaVu Sans");
    EXPECT_EQ(loaded.pointSize(), 11);
    EXPECT_TRUE(loaded.bold());
    EXPECT_FALSE(loaded.italic());
    EXPECT_FALSE(loaded.underline());
    EXPECT_TRUE(loaded.strikeOut());
    EXPECT_EQ(colour, QColor(0x12, 0x34, 0x56));
}

TEST_F(ZebINITest, FontLoadingKeepsWhatIsNotStored) {
    SetFile("[Export]\r\nKopf_Style=iu\r\nKopf_Color=-16777201\r\nKopf_Size=0\r\n");
    QFont font(QStringLiteral("Courier New"), 20);
    font.setBold(true);
    QColor colour(0, 0, 255);
    ini.INILoadFont("Export", "Kopf", font, colour);
    EXPECT_EQ(font.family(), "Courier New");
    EXPECT_EQ(font.pointSize(), 20);
    EXPECT_FALSE(font.bold());
    EXPECT_TRUE(font.italic());
    EXPECT_TRUE(font.underline());
    EXPECT_EQ(colour, QColor(0, 0, 255)) << "a system colour code is no colour";

    QFile::remove(Path());
    ini.INILoadFont("Export", "Kopf", font, colour);
    EXPECT_TRUE(font.italic());
    EXPECT_TRUE(font.underline());
    EXPECT_EQ(font.pointSize(), 20);
}

TEST_F(ZebINITest, ColumnsKeepCaptionAndWidth) {
    ASSERT_TRUE(ini.INISaveColumns("Liste", "Film", {{"Titel", 120}, {"Jahr|Ort", 60}}));
    EXPECT_EQ(Section("Liste"), (QStringList{"FilmColum_0=Titel|120", "FilmColum_1=Jahr|Ort|60"}));

    std::vector<TListColumn> columns{{"a", 1}, {"b", 2}, {"c", 3}};
    ini.INILoadColumns("Liste", "Film", columns, false);
    EXPECT_EQ(columns[0].caption, "a");
    EXPECT_EQ(columns[0].width, 120);
    EXPECT_EQ(columns[1].width, 60);
    EXPECT_EQ(columns[2].width, 3) << "absent key leaves the column";

    ini.INILoadColumns("Liste", "Film", columns, true);
    EXPECT_EQ(columns[0].caption, "Titel");
    EXPECT_EQ(columns[1].caption, "Jahr|Ort");
    EXPECT_EQ(columns[2].caption, "c");

    SetFile("[Liste]\r\nFilmColum_0=Titel|breit\r\nFilmColum_1=ohne Breite\r\n");
    ini.INILoadColumns("Liste", "Film", columns, true);
    EXPECT_EQ(columns[0].width, 120);
    EXPECT_EQ(columns[1].caption, "ohne Breite");
    EXPECT_EQ(columns[1].width, 60);
}

TEST_F(ZebINITest, ViewStylesAreKeptByName) {
    const std::pair<TViewStyle, const char*> styles[] = {
        {TViewStyle::vsIcon, "Icon"}, {TViewStyle::vsSmallIcon, "SmallIcon"},
        {TViewStyle::vsList, "List"}, {TViewStyle::vsReport, "Report"}};
    for (const auto& [style, text] : styles) {
        ASSERT_TRUE(ini.INIWriteViewStyle("Liste", "Ansicht", style));
        EXPECT_EQ(ini.INIReadString("Liste", "Ansicht", ""), text);
        EXPECT_EQ(ini.INIReadViewStyle("Liste", "Ansicht"), style);
    }
    SetFile("[Liste]\r\nA=report\r\nB=Details\r\nC=\r\n");
    EXPECT_EQ(ini.INIReadViewStyle("Liste", "A"), TViewStyle::vsReport);
    EXPECT_EQ(ini.INIReadViewStyle("Liste", "B"), TViewStyle::vsSmallIcon);
    EXPECT_EQ(ini.INIReadViewStyle("Liste", "C"), TViewStyle::vsSmallIcon);
    EXPECT_EQ(ini.INIReadViewStyle("Liste", "Absent"), TViewStyle::vsSmallIcon);
}

} // namespace
