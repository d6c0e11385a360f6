#include "fulltext/Quelvan.h"
#include "fulltext/SoundAlike.h"
#include "fulltext/WordDelims.h"
#include "fulltext/WordParser.h"
#include "platform/Ansi.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

QByteArray Ansi(const char* utf8) {
    return TAnsi::FromUnicode(QString::fromUtf8(utf8));
}

QList<QByteArray> AnsiList(const std::vector<const char*>& words) {
    QList<QByteArray> out;
    for (const char* w : words)
        out.append(Ansi(w));
    return out;
}

// ---- delimiter set ---------------------------------------------------------

TEST(WordDelims, DefaultStringAndItsMembers) {
    const QByteArray caret = TrbWordDelims::DefaultCaret();
    EXPECT_EQ(caret.size(), 40);
    EXPECT_FALSE(caret.contains("<<<"));
    EXPECT_FALSE(caret.contains(">>>"));

    const TrbWordDelims delims;
    const QByteArray expected = QByteArray(" ,.;:?![]{}()<>/+-*=\\|_&#%$@^~`\"'") + "\r\n\t";
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(delims.Contains(static_cast<unsigned char>(b)), expected.contains(static_cast<char>(b)))
            << "byte " << b;
    EXPECT_EQ(delims.Count(), expected.size());
    EXPECT_EQ(delims.Decoded().size(), expected.size());
}

TEST(WordDelims, ProgramStringMakesControlsDelimitersAndKeepsHighBytes) {
    const QByteArray caret = TrbWordDelims::ProgramCaret();
    EXPECT_EQ(caret.size(), 37);
    EXPECT_TRUE(caret.startsWith("<<<"));
    EXPECT_EQ(caret.mid(3), TrbWordDelims::DefaultCaret().left(34));
    EXPECT_TRUE(caret.endsWith('\''));

    const TrbWordDelims delims(caret);
    for (int b = 0; b < 32; ++b)
        EXPECT_TRUE(delims.Contains(static_cast<unsigned char>(b))) << b;
    for (int b = 128; b < 256; ++b)
        EXPECT_FALSE(delims.Contains(static_cast<unsigned char>(b))) << b;
    for (char c : QByteArray("09AZaz"))
        EXPECT_FALSE(delims.Contains(static_cast<unsigned char>(c)));
    // 32 control bytes plus the printable members of the default list.
    EXPECT_EQ(delims.Count(), 32 + 33);
}

TEST(WordDelims, HighMarkerMakesUpperHalfDelimiters) {
    const TrbWordDelims delims(QByteArray(" >>>"));
    for (int b = 128; b < 256; ++b)
        EXPECT_TRUE(delims.Contains(static_cast<unsigned char>(b))) << b;
    EXPECT_FALSE(delims.Contains(10));
    EXPECT_TRUE(delims.Contains('>'));
    EXPECT_TRUE(delims.Contains(' '));
    EXPECT_EQ(delims.Count(), 128 + 2);
}

TEST(WordDelims, MarkersMustBeThreeInARow) {
    const TrbWordDelims delims(QByteArray("<<>><"));
    EXPECT_EQ(delims.Count(), 2);
    EXPECT_FALSE(delims.Contains(0));
    EXPECT_FALSE(delims.Contains(200));
}

TEST(WordDelims, EmptyStringGivesTheDefault) {
    TrbWordDelims delims(QByteArray("x"));
    delims.SetCaret(QByteArray());
    EXPECT_EQ(delims, TrbWordDelims());
    EXPECT_EQ(delims.Caret(), TrbWordDelims::DefaultCaret());
}

struct TCaretCase {
    const char* name;
    QByteArray caret;
    QByteArray decoded;
    QByteArray readBack;
};

class CaretNotation : public ::testing::TestWithParam<TCaretCase> {};

TEST_P(CaretNotation, DecodesAndReadsBack) {
    const TCaretCase& c = GetParam();
    EXPECT_EQ(TrbWordDelims::DecodeCaret(c.caret), c.decoded);
    EXPECT_EQ(TrbWordDelims::EncodeCaret(c.decoded), c.readBack);
    EXPECT_EQ(TrbWordDelims(c.caret).Caret(), c.readBack);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CaretNotation,
    ::testing::Values(
        TCaretCase{"ControlLetters", "^M^J^I", "\r\n\t", "^M^J^I"},
        // "@" lies below "A": byte 0 is written "^@" but that reads back as
        // two literal characters.
        TCaretCase{"AtIsNotAnEscape", "^@x", "^@x", "^^@x"},
        TCaretCase{"AIsOne", "^A", "\x01", "^A"},
        TCaretCase{"UnderscoreIs31", "^_", "\x1f", "^_"},
        TCaretCase{"DoubleCaretIsCaret", "a^^b", "a^b", "a^^b"},
        TCaretCase{"CaretBeforeOtherCharIsLiteral", "^a^1", "^a^1", "^^a^^1"},
        TCaretCase{"TrailingCaretIsLiteral", "x^", "x^", "x^^"},
        TCaretCase{"BacktickIsNotAnEscape", "^`", "^`", "^^`"},
        TCaretCase{"TripleCaret", "^^^M", "^\r", "^^^M"},
        TCaretCase{"HighBytesStayRaw", "\xe4\xdf", "\xe4\xdf", "\xe4\xdf"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WordDelims, EncodeDecodeRoundTripsEveryByteButTwo) {
    // Byte 0 reads back as "^@" (not an escape), byte 30 as "^^" (a caret).
    EXPECT_EQ(TrbWordDelims::DecodeCaret(TrbWordDelims::EncodeCaret(QByteArray(1, '\0'))), "^@");
    EXPECT_EQ(TrbWordDelims::DecodeCaret(TrbWordDelims::EncodeCaret("\x1e")), "^");
    QByteArray all;
    for (int b = 1; b < 256; ++b)
        if (b != 30)
            all.append(static_cast<char>(b));
    const QByteArray caret = TrbWordDelims::EncodeCaret(all);
    for (int i = 0; i < caret.size(); ++i)
        EXPECT_GE(static_cast<unsigned char>(caret[i]), 32) << "control byte in caret form at " << i;
    EXPECT_EQ(TrbWordDelims::DecodeCaret(caret), all);
}

// ---- splitting and the word step ------------------------------------------

TrbWordParser ProgramParser() {
    TrbWordParser parser;
    parser.SetWordDelims(TrbWordDelims::ProgramCaret());
    parser.SetMinWordLen(3);
    return parser;
}

struct TSplitCase {
    const char* name;
    const char* text; // UTF-8, converted to Windows-1252
    std::vector<const char*> words;
};

class ProgramWords : public ::testing::TestWithParam<TSplitCase> {};

TEST_P(ProgramWords, TextYieldsWords) {
    const TSplitCase& c = GetParam();
    EXPECT_EQ(ProgramParser().WordsOf(Ansi(c.text)), AnsiList(c.words));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProgramWords,
    ::testing::Values(
        TSplitCase{"Hyphenated", "Blade-Runner", {"BLADE", "RUNNER"}},
        TSplitCase{"PathDropsShortDrive", "C:\\Filme\\Alien.avi", {"FILME", "ALIEN", "AVI"}},
        TSplitCase{"SharpSStaysUnfolded", "Größe", {"GRÖßE"}},
        TSplitCase{"AccentsAreFolded", "café crème ÿ", {"CAFÉ", "CRÈME"}},
        TSplitCase{"ControlBytesSplit", "eins\x01zwei\r\ndrei\tvier", {"EINS", "ZWEI", "DREI", "VIER"}},
        TSplitCase{"DigitsAreWordCharacters", "Teil 2 von MP3s", {"TEIL", "VON", "MP3S"}},
        TSplitCase{"DelimitersOnly", " ,.;  ", {}},
        TSplitCase{"Empty", "", {}},
        TSplitCase{"CutTo20", "abcdefghijklmnopqrstuvwxy", {"ABCDEFGHIJKLMNOPQRST"}},
        TSplitCase{"LongRunGivesOneWord",
                   "aaaaaaaaaabbbbbbbbbbccccccccccddddddddddeeeee zz xyz",
                   {"AAAAAAAAAABBBBBBBBBB", "XYZ"}},
        TSplitCase{"ExactlyMinWordLen", "ab abc", {"ABC"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WordParser, SplitterEmitsRunsCutTo40AndOneEmptyWordForTrailingDelimiters) {
    const TrbWordDelims delims;
    QList<QByteArray> runs;
    const QByteArray longRun(45, 'X');
    // The splitter works on what it is given; folding is the caller's step.
    TrbWordParser::Split(QByteArray("  ab ") + longRun + "-cd  ", delims,
                         [&runs](QByteArrayView w) { runs.append(w.toByteArray()); });
    ASSERT_EQ(runs.size(), 4);
    EXPECT_EQ(runs[0], "ab");
    EXPECT_EQ(runs[1], QByteArray(40, 'X'));
    EXPECT_EQ(runs[2], "cd");
    EXPECT_EQ(runs[3], "");
}

TEST(WordParser, SplitIntoListsTheNonEmptyWordsOfSplit) {
    // The list splitter works on 64-byte blocks: words across block
    // boundaries, runs longer than 40 and texts of every length near a
    // block size are where it could part from Split.
    const TrbWordDelims program(TrbWordDelims::ProgramCaret());
    const TrbWordDelims high(QByteArray(" >>>"));
    std::mt19937 random(11);
    const QByteArray alphabet("ab \xE4\x01,-Z9");
    std::vector<QByteArray> texts = {"", " ", "a", "  ab ", QByteArray(130, 'x'), QByteArray(63, 'x') + " y",
                                     QByteArray(64, 'x') + " y", " " + QByteArray(64, 'x'), QByteArray(128, ' ')};
    for (int length : {1, 2, 39, 40, 41, 63, 64, 65, 127, 128, 129, 200, 1000})
        for (int round = 0; round < 20; ++round) {
            QByteArray text;
            for (int i = 0; i < length; ++i)
                text.append(alphabet[int(random() % unsigned(alphabet.size()))]);
            texts.push_back(text);
        }
    std::vector<QByteArrayView> listed;
    for (const TrbWordDelims* delims : {&program, &high}) {
        for (const QByteArray& text : texts) {
            std::vector<QByteArrayView> expected;
            TrbWordParser::Split(text, *delims, [&](QByteArrayView w) {
                if (!w.isEmpty())
                    expected.push_back(w);
            });
            TrbWordParser::SplitInto(text, *delims, listed);
            ASSERT_EQ(listed.size(), expected.size()) << text.toHex().constData();
            for (size_t i = 0; i < listed.size(); ++i) {
                EXPECT_EQ(listed[i], expected[i]) << text.toHex().constData();
                EXPECT_EQ(listed[i].data(), expected[i].data()) << "a view into the text";
            }
        }
    }
}

TEST(WordParser, HighMarkerSplitsUmlautWords) {
    TrbWordParser parser;
    parser.SetWordDelims(QByteArray(" >>>"));
    EXPECT_EQ(parser.WordsOf(Ansi("Müller")), AnsiList({"M", "LLER"}));
}

TEST(WordParser, SingleWordValuesAreFoldedButNotSplit) {
    TrbWordParser parser = ProgramParser();
    QList<QByteArray> words;
    auto collect = [&words](const QByteArray& w) { words.append(w); };
    parser.ProcessSingleWord("12", collect);           // too short
    parser.ProcessSingleWord("1234.5", collect);       // not split at the full stop
    parser.ProcessSingleWord("31.12.1999", collect);
    parser.ProcessSingleWord("true", collect);
    EXPECT_EQ(words, (QList<QByteArray>{"1234.5", "31.12.1999", "TRUE"}));
}

TEST(WordParser, AcceptHandlerSeesCutWordsAtLeastMinWordLen) {
    TrbWordParser parser = ProgramParser();
    QList<QByteArray> offered;
    parser.SetOnAcceptWord([&offered](const QByteArray& w) {
        offered.append(w);
        return w != "ZWEI";
    });
    EXPECT_EQ(parser.WordsOf("ab eins zwei drei abcdefghijklmnopqrstuvwxyz"),
              (QList<QByteArray>{"EINS", "DREI", "ABCDEFGHIJKLMNOPQRST"}));
    EXPECT_EQ(offered, (QList<QByteArray>{"EINS", "ZWEI", "DREI", "ABCDEFGHIJKLMNOPQRST"}));
}

TEST(WordParser, StopRequestEndsWordProcessing) {
    TrbWordParser parser = ProgramParser();
    QList<QByteArray> words;
    parser.SetOnAcceptWord([&parser](const QByteArray& w) {
        if (w == "ZWEI")
            parser.SetStopRequested(true);
        return true;
    });
    parser.ProcessText("eins zwei drei vier", [&words](const QByteArray& w) { words.append(w); });
    EXPECT_EQ(words, (QList<QByteArray>{"EINS", "ZWEI"}));
}

TEST(WordParser, SettersIgnoreValuesOutOfRange) {
    TrbWordParser parser;
    EXPECT_EQ(parser.MinWordLen(), 1);
    EXPECT_EQ(parser.WordFieldSize(), 20);
    parser.SetMinWordLen(0);
    parser.SetMinWordLen(-3);
    EXPECT_EQ(parser.MinWordLen(), 1);
    parser.SetMinWordLen(4);
    EXPECT_EQ(parser.MinWordLen(), 4);

    for (int bad : {4, 41, 0, -1})
        parser.SetWordFieldSize(bad);
    EXPECT_EQ(parser.WordFieldSize(), 20);
    parser.SetWordFieldSize(5);
    EXPECT_EQ(parser.WordFieldSize(), 5);
    EXPECT_EQ(parser.WordsOf("Abenteuer"), QList<QByteArray>{"ABENT"});
    parser.SetWordFieldSize(40);
    EXPECT_EQ(parser.WordsOf(QByteArray(45, 'q')), QList<QByteArray>{QByteArray(40, 'Q')});
}

TEST(WordParser, OmitListAboveFiveHundredIsRefusedUnchanged) {
    TrbWordParser parser;
    parser.SetOmitList({"DER", "DIE", "DAS"});
    QList<QByteArray> many;
    for (int i = 0; i < 501; ++i)
        many.append(QByteArray::number(i));
    try {
        parser.SetOmitList(many);
        FAIL() << "no error";
    } catch (const EQuelvan& e) {
        EXPECT_EQ(e.Code(), 30501);
    }
    EXPECT_EQ(parser.OmitList(), (QList<QByteArray>{"DER", "DIE", "DAS"}));
    many.removeLast();
    parser.SetOmitList(many);
    EXPECT_EQ(parser.OmitList().size(), 500);
}

TEST(WordParser, ParseHandlerReplacesTheSplitter) {
    TrbWordParser parser;
    QList<QByteArray> seenText;
    // Words of two characters each, whatever the delimiters say.
    parser.SetOnParseWord([&seenText](QByteArrayView& rest) {
        seenText.append(rest.toByteArray());
        const QByteArray word = rest.first(qMin<qsizetype>(2, rest.size())).toByteArray();
        rest = rest.sliced(word.size());
        return word;
    });
    EXPECT_EQ(parser.WordsOf("ab c,d"), (QList<QByteArray>{"AB", " C", ",D"}));
    EXPECT_EQ(seenText.first(), "AB C,D"); // the handler gets folded text
}

TEST(WordParser, ParseHandlerThatDoesNotAdvanceIsAnError) {
    TrbWordParser parser;
    parser.SetOnParseWord([](QByteArrayView&) { return QByteArray("X"); });
    EXPECT_THROW(parser.WordsOf("abc"), EQuelvan);
}

// ---- sound-alike key --------------------------------------------------------

struct TKeyCase {
    const char* word; // UTF-8
    const char* key;
};

class SoundAlikeKeys : public ::testing::TestWithParam<TKeyCase> {};

TEST_P(SoundAlikeKeys, KeyOfWord) {
    EXPECT_EQ(TrbSoundAlike::Key(Ansi(GetParam().word)), QByteArray(GetParam().key));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SoundAlikeKeys,
    ::testing::Values(TKeyCase{"MEYER", "ME600"}, TKeyCase{"MEIER", "ME600"}, TKeyCase{"SCHMIDT", "SC530"},
                      TKeyCase{"MÜLLER", "MU460"}, TKeyCase{"MULLER", "MU460"}, TKeyCase{"", "00000"},
                      TKeyCase{"A", "00000"}, TKeyCase{"AB", "AB000"}, TKeyCase{"éa", "EA000"},
                      TKeyCase{"ÇA", "CA000"},
                      // codes beyond the third position are dropped
                      TKeyCase{"ABCDFGLMR", "AB231"},
                      // a vowel between equal codes does not separate them
                      TKeyCase{"ATATAT", "AT300"},
                      // the first code is compared with the second character
                      TKeyCase{"X2C", "X2000"},
                      // accented consonants with a code
                      TKeyCase{"ABÇÑ", "AB250"},
                      // lower case gets codes too; the first two are upper-cased
                      TKeyCase{"meyer", "ME600"}));

TEST(SoundAlike, CodeTable) {
    const QByteArray groups[6] = {"BFPV", "CGJKQSXZ", "DT", "L", "MN", "R"};
    int withCode = 0;
    for (int b = 0; b < 256; ++b) {
        const char code = TrbSoundAlike::CodeOf(static_cast<unsigned char>(b));
        if (code)
            ++withCode;
        char expected = 0;
        for (int g = 0; g < 6; ++g)
            if (groups[g].contains(static_cast<char>(b)) || groups[g].toLower().contains(static_cast<char>(b)))
                expected = static_cast<char>('1' + g);
        if (b == 0xC7 || b == 0xE7)
            expected = '2';
        if (b == 0xD1 || b == 0xF1)
            expected = '5';
        EXPECT_EQ(code, expected) << "byte " << b;
    }
    EXPECT_EQ(withCode, 2 * 18 + 4);
}

} // namespace
