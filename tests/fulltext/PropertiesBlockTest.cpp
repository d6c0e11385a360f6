#include "fulltext/PropertiesBlock.h"
#include "fulltext/Quelvan.h"
#include "fulltext/WordDelims.h"
#include "platform/Ansi.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// Tagged values written by hand, to check the writer and feed the reader.
class TBlock {
public:
    TBlock& Int8(int v) { return Tag(2).Byte(v); }
    TBlock& Int16(int v) { return Tag(3).Byte(v).Byte(v >> 8); }
    TBlock& Int32(std::int64_t v) { return Tag(4).Byte(int(v)).Byte(int(v >> 8)).Byte(int(v >> 16)).Byte(int(v >> 24)); }
    TBlock& Str(const QByteArray& s) {
        Tag(6).Byte(int(s.size()));
        bytes_.append(s);
        return *this;
    }
    TBlock& LongStr(const QByteArray& s) {
        Tag(12).Byte(int(s.size())).Byte(int(s.size() >> 8)).Byte(int(s.size() >> 16)).Byte(int(s.size() >> 24));
        bytes_.append(s);
        return *this;
    }
    TBlock& False() { return Tag(8); }
    TBlock& True() { return Tag(9); }
    TBlock& List() { return Tag(1); }
    TBlock& End() { return Tag(0); }
    TBlock& Tag(int t) { return Byte(t); }
    TBlock& Byte(int v) {
        bytes_.append(static_cast<char>(v & 0xFF));
        return *this;
    }
    operator QByteArray() const { return bytes_; }

private:
    QByteArray bytes_;
};

const QStringList kFields = {"AgeReleasing", "ArtQuality", "Director", "FilmFormat", "Group", "MusicProducer",
                             "NotesFilm", "NotesMore", "NotesMusic", "NotesOther", "Owner", "Path", "Producer",
                             "Publisher", "RESERVE1", "RESERVE2", "RESERVE3", "Script", "Series",
                             "ShortDescription", "Source", "TechQuality", "Title", "UD1", "UD2", "UD3", "UD4",
                             "UD5"};

TrbIndexProperties CatalogueProperties() {
    TrbIndexProperties p;
    p.fieldNames = kFields;
    p.indexFieldName = "FTSNO";
    p.minWordLen = 3;
    p.segmentSize = 1008;
    p.wordDelims = TrbWordDelims::ProgramCaret();
    return p;
}

QByteArray CatalogueBlock() {
    TBlock b;
    b.Int16(2120).Int8(32).List();
    for (const QString& f : kFields)
        b.Str(f.toLatin1());
    b.End().Str("FTSNO").Int8(3).List().End().Int16(1008).Str(TrbWordDelims::ProgramCaret()).True().False();
    return b;
}

TEST(PropertiesBlock, CatalogueBlockByteForByte) {
    const QByteArray block = TrbPropertiesBlock::Write(CatalogueProperties());
    EXPECT_EQ(block.toHex(' '), CatalogueBlock().toHex(' '));
    EXPECT_EQ(TrbPropertiesBlock::Read(block), CatalogueProperties());
}

TEST(PropertiesBlock, IntegersTakeTheSmallestTag) {
    struct TCase {
        int value;
        QByteArray bytes;
    } cases[] = {
        {0, TBlock().Int8(0)},           {127, TBlock().Int8(127)},       {-128, TBlock().Int8(-128)},
        {128, TBlock().Int16(128)},      {-129, TBlock().Int16(-129)},    {32767, TBlock().Int16(32767)},
        {-32768, TBlock().Int16(-32768)}, {32768, TBlock().Int32(32768)}, {-32769, TBlock().Int32(-32769)},
        {2147483647, TBlock().Int32(2147483647)},
    };
    for (const TCase& c : cases) {
        TrbIndexProperties p;
        p.segmentSize = c.value;
        const QByteArray block = TrbPropertiesBlock::Write(p);
        // version, word size, empty field list, index field name, MinWordLen,
        // empty omit list come first.
        const QByteArray prefix = TBlock().Int16(2120).Int8(32).List().End().Str("").Int8(1).List().End();
        ASSERT_TRUE(block.startsWith(prefix));
        EXPECT_EQ(block.mid(prefix.size(), c.bytes.size()).toHex(' '), c.bytes.toHex(' ')) << c.value;
        EXPECT_EQ(TrbPropertiesBlock::Read(block).segmentSize, c.value);
    }
}

TEST(PropertiesBlock, LongStringsUseTheLongTag) {
    TrbIndexProperties p = CatalogueProperties();
    for (int length : {255, 256, 1000}) {
        p.wordDelims = QByteArray(length, 'x');
        const QByteArray block = TrbPropertiesBlock::Write(p);
        const QByteArray expected = length <= 255 ? QByteArray(TBlock().Str(p.wordDelims))
                                                  : QByteArray(TBlock().LongStr(p.wordDelims));
        EXPECT_TRUE(block.contains(expected)) << length;
        EXPECT_EQ(TrbPropertiesBlock::Read(block).wordDelims, p.wordDelims);
    }
}

TEST(PropertiesBlock, OmitWordsAreWrittenFolded) {
    TrbIndexProperties p = CatalogueProperties();
    p.omitList = {TAnsi::FromUnicode(QStringLiteral("und")), TAnsi::FromUnicode(QStringLiteral("über")), "DER"};
    const TrbIndexProperties back = TrbPropertiesBlock::Read(TrbPropertiesBlock::Write(p));
    EXPECT_EQ(back.omitList, (QList<QByteArray>{"UND", TAnsi::FromUnicode(QStringLiteral("ÜBER")), "DER"}));
}

TEST(PropertiesBlock, WriteReadWriteIsIdentical) {
    TrbIndexProperties p = CatalogueProperties();
    p.omitList = {"DER", "DIE", "DAS"};
    p.segmentSize = 0;
    p.ansi = false;
    p.phrasePairs = true;
    p.wordDelims = TrbWordDelims::EncodeCaret(QByteArray("\x01\xe4 ^<<<", 7));
    p.fieldNames.append(QString::fromUtf8("Größe"));
    const QByteArray first = TrbPropertiesBlock::Write(p);
    EXPECT_EQ(TrbPropertiesBlock::Read(first), p);
    EXPECT_EQ(TrbPropertiesBlock::Write(TrbPropertiesBlock::Read(first)), first);
}

TEST(PropertiesBlock, OldVersionsAndTheirExtras) {
    // Version 200 carries a boolean after the field list and no phrase flag.
    const QByteArray v200 = TBlock().Int16(200).Int8(32).List().Str("Title").End().True().Str("FTSNO").Int8(2)
                                .List().Str("UND").End().Int32(0).Str("").False();
    const TrbIndexProperties p200 = TrbPropertiesBlock::Read(v200);
    EXPECT_EQ(p200.version, 200);
    EXPECT_EQ(p200.fieldNames, QStringList{"Title"});
    EXPECT_EQ(p200.indexFieldName, "FTSNO");
    EXPECT_EQ(p200.minWordLen, 2);
    EXPECT_EQ(p200.omitList, QList<QByteArray>{"UND"});
    EXPECT_EQ(p200.segmentSize, 0);
    EXPECT_FALSE(p200.ansi);
    EXPECT_FALSE(p200.phrasePairs);
    // Rewritten, the extra boolean comes back as False.
    const QByteArray rewritten = TBlock().Int16(200).Int8(32).List().Str("Title").End().False().Str("FTSNO")
                                     .Int8(2).List().Str("UND").End().Int8(0).Str("").False();
    EXPECT_EQ(TrbPropertiesBlock::Write(p200).toHex(' '), rewritten.toHex(' '));

    // Between 200 and 2040: no extra boolean, no phrase flag.
    const QByteArray v1000 = TBlock().Int16(1000).Int8(32).List().End().Str("FTSNO").Int8(3).List().End()
                                 .Int16(1008).Str("x").True();
    const TrbIndexProperties p1000 = TrbPropertiesBlock::Read(v1000);
    EXPECT_EQ(p1000.segmentSize, 1008);
    EXPECT_TRUE(p1000.ansi);
    EXPECT_EQ(TrbPropertiesBlock::Write(p1000), v1000);

    // From 2040 on the phrase flag is read.
    const QByteArray v2040 = TBlock().Int16(2040).Int8(32).List().End().Str("FTSNO").Int8(3).List().End()
                                 .Int16(1008).Str("x").True().True();
    EXPECT_TRUE(TrbPropertiesBlock::Read(v2040).phrasePairs);
    EXPECT_EQ(TrbPropertiesBlock::Write(TrbPropertiesBlock::Read(v2040)), v2040);
}

TEST(PropertiesBlock, ReaderAcceptsWiderIntegerTagsAndTrailingBytes) {
    QByteArray block = TBlock().Int32(2120).Int32(32).List().End().LongStr("FTSNO").Int16(3).List().End()
                           .Int32(1008).Str("x").True().False();
    block.append("more to come");
    const TrbIndexProperties p = TrbPropertiesBlock::Read(block);
    EXPECT_EQ(p.version, 2120);
    EXPECT_EQ(p.minWordLen, 3);
    EXPECT_EQ(p.indexFieldName, "FTSNO");
    EXPECT_EQ(p.segmentSize, 1008);
}

TEST(PropertiesBlock, DamagedBlocksAreNotFound) {
    const QByteArray good = CatalogueBlock();
    QList<QByteArray> bad;
    bad.append(QByteArray());
    for (int keep = 1; keep < good.size(); keep += 7)
        bad.append(good.left(keep));
    bad.append(good.left(good.size() - 1)); // phrase flag missing
    bad.append(TBlock().Str("2120"));                                  // string for an integer
    bad.append(TBlock().Int16(2120).Int8(32).Int8(1));                 // integer for a list
    bad.append(TBlock().Int16(2120).Int8(32).List().Int8(5).End());    // integer inside a list of strings
    bad.append(TBlock().Int16(2120).Int8(32).List());                  // list never ends
    bad.append(TBlock().Int16(2120).Int8(32).List().End().Tag(6).Byte(200).Byte('F'));   // string too long
    bad.append(TBlock().Int16(2120).Int8(32).List().End().Tag(12).Byte(0xff).Byte(0xff).Byte(0xff).Byte(0x7f));
    bad.append(TBlock().Int16(2120).Int8(32).List().End().Tag(12).Byte(0xff).Byte(0xff).Byte(0xff).Byte(0xff));
    bad.append(TBlock().Tag(5).Byte(0));                                // unknown tag
    bad.append(TBlock().Tag(4).Byte(1).Byte(2));                        // integer cut short
    for (const QByteArray& block : bad) {
        try {
            TrbPropertiesBlock::Read(block);
            ADD_FAILURE() << "accepted " << block.toHex(' ').constData();
        } catch (const EQuelvan& e) {
            EXPECT_EQ(e.Code(), 30495) << block.toHex(' ').constData();
        }
    }
}

} // namespace
