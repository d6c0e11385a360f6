#include "QuelvanCode.h"
#include "fulltext/BitRecord.h"
#include "fulltext/BitSet.h"
#include "fulltext/MakeWordsADSLink.h"
#include "fulltext/PropertiesBlock.h"
#include "fulltext/Quelvan.h"
#include "fulltext/WordsADSLink.h"
#include "store/AdsTable.h"
#include "store/Field.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <functional>

namespace {


TrbBitSet SetOf(int size, std::initializer_list<int> bits) {
    TrbBitSet set(size);
    for (int b : bits)
        set.Set(b);
    return set;
}

class WordsTableTest : public ::testing::Test {
protected:
    WordsTableTest() {
        table.SetDatabaseName(folder.Path());
        table.SetTableName(QStringLiteral("FTS.ADT"));
    }

    // A fresh segmented words table, open, with its indexes.
    void CreateTable() {
        make.SetSegmented(true);
        make.PrepareBuild();
        make.AddIndexes();
        make.FinishBuild();
    }

    // Writes one row through the link.
    void AddRow(const QByteArray& word, int segment, const TrbBitSet& bits) {
        make.Insert();
        make.SetLike("AL150");
        make.SetSegment(segment);
        make.SetWord(word);
        make.WriteRecord(TrbBitRecord::Compress(bits));
        make.Post();
    }

    TTempFolder folder;
    TAdsTable table;
    TrbMakeWordsADSLink make{table};
};

TEST_F(WordsTableTest, CreatesTheColumnsAndIndexesOfTheWordsTable) {
    CreateTable();
    const QList<TFieldDef> defs = table.FieldDefs();
    ASSERT_EQ(defs.size(), 7);
    const struct {
        const char* name;
        TFieldType type;
        int length;
    } expected[] = {{"rbWord", TFieldType::Char, 20},  {"rbSegment", TFieldType::ShortInt, 2},
                    {"rbCount", TFieldType::Integer, 4}, {"rbLike", TFieldType::Char, 5},
                    {"rbSize", TFieldType::Integer, 4},  {"rbBytes", TFieldType::Raw, 28},
                    {"rbBlob", TFieldType::Binary, 9}};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(defs[i].name, QLatin1String(expected[i].name));
        EXPECT_EQ(defs[i].type, expected[i].type) << expected[i].name;
        if (expected[i].type == TFieldType::Char || expected[i].type == TFieldType::Raw) {
            EXPECT_EQ(defs[i].length, expected[i].length) << expected[i].name;
        }
    }
    const QList<TIndexDef> indexes = table.IndexDefs();
    ASSERT_EQ(indexes.size(), 2);
    EXPECT_EQ(indexes[0].name, QStringLiteral("rbWord"));
    EXPECT_EQ(indexes[0].expression, QStringLiteral("rbWord;rbSegment"));
    EXPECT_TRUE(indexes[0].unique);
    EXPECT_EQ(indexes[1].name, QStringLiteral("rbLike"));
    EXPECT_EQ(indexes[1].expression, QStringLiteral("rbLike;rbWord"));
    EXPECT_FALSE(indexes[1].unique);
    EXPECT_EQ(table.IndexName(), QStringLiteral("rbWord"));
    EXPECT_FALSE(table.Exclusive());
}

TEST_F(WordsTableTest, ColumnSizesFollowTheirRulesAndAreReadOnlyOnOtherLinks) {
    make.SetWordFieldSize(4);  // ignored
    make.SetWordFieldSize(41); // ignored
    make.SetWordFieldSize(30);
    make.SetBytesFieldSize(23); // ignored
    make.SetBytesFieldSize(0);
    make.SetLikeFieldSize(0);
    make.SetReverseField(true);
    EXPECT_EQ(make.ColumnDefinition(),
              QStringLiteral("rbWord,Char,30;rbReverse,Char,30;rbCount,Integer,4;rbSize,Integer,4;rbBlob,Blob,9"));
    make.PrepareBuild();
    make.AddIndexes();
    make.FinishBuild();
    EXPECT_EQ(table.IndexNames(), (QStringList{"rbWord", "rbReverse"}));

    TrbWordsADSLink reader(table);
    EXPECT_EQ(CodeOf([&] { reader.SetWordFieldSize(20); }), EQuelvan::ReadOnlyProperty);
    reader.Open();
    EXPECT_EQ(reader.WordFieldSize(), 30);
    EXPECT_EQ(reader.BytesFieldSize(), 0);
    EXPECT_EQ(reader.LikeFieldSize(), 0);
    EXPECT_TRUE(reader.ReverseField());
    EXPECT_FALSE(reader.Segmented());
    EXPECT_EQ(CodeOf([&] { reader.SetIndexMode(TrbWordsLink::TIndexMode::Like); }), EQuelvan::LikeNotAvailable);

    // Without "rbBytes" the whole record lies in the blob.
    reader.Insert();
    reader.SetWord("ALIEN");
    reader.WriteRecord(TrbBitRecord::Compress(SetOf(100, {7})));
    reader.Post();
    ASSERT_TRUE(reader.FindWord("ALIEN"));
    EXPECT_EQ(table.FieldByName(QStringLiteral("rbReverse")).AsString(), QStringLiteral("NEILA"));
    EXPECT_EQ(table.FieldByName(QStringLiteral("rbBlob")).AsBytes().size(), 20);
    TrbBitSet back(100);
    TrbBitRecord::Decompress(reader.ReadRecord(), back);
    EXPECT_EQ(back, SetOf(100, {7}));
}

TEST_F(WordsTableTest, AOneRecordWordIsTwentyBytesOfTypeOneInRbBytes) {
    CreateTable();
    AddRow("ALIEN", 0, SetOf(1008, {5}));
    ASSERT_TRUE(make.FindWord("ALIEN", 0));
    EXPECT_EQ(make.Size(), 20);
    EXPECT_EQ(make.Count(), 1);
    EXPECT_TRUE(table.FieldByName(QStringLiteral("rbBlob")).AsBytes().isEmpty());
    const QByteArray bytes = table.FieldByName(QStringLiteral("rbBytes")).AsBytes();
    ASSERT_EQ(bytes.size(), 28);
    // -1, S = 24, first 5, last 5, type 1.
    const QByteArray golden = QByteArray::fromHex("ffffffff" "18000000" "05000000" "05000000" "01000000");
    EXPECT_EQ(bytes.first(20), golden);
    EXPECT_EQ(make.ReadRecord(), golden);
}

TEST_F(WordsTableTest, ALongRecordContinuesInTheBlob) {
    CreateTable();
    TrbBitSet bits(1008);
    for (int b = 0; b < 1008; b += 3)
        bits.Set(b);
    AddRow("EVERYTHIRD", 2, bits);
    ASSERT_TRUE(make.FindWord("EVERYTHIRD", 2));
    const QByteArray stored = TrbBitRecord::Compress(bits);
    ASSERT_GT(stored.size(), 28);
    EXPECT_EQ(table.FieldByName(QStringLiteral("rbBlob")).AsBytes(), stored.sliced(28));
    EXPECT_EQ(make.ReadRecord(), stored);
    EXPECT_EQ(make.Segment(), 2);
    // A reader whose buffer (with its stamp slot) is too small for the record.
    EXPECT_EQ(CodeOf([&] { make.ReadRecord(stored.size() + 3); }), EQuelvan::DecompressBufferTooSmall);
    EXPECT_EQ(make.ReadRecord(stored.size() + 4), stored);
}

TEST_F(WordsTableTest, ABlobOfTheWrongSizeIsReportedAndLeftAlone) {
    CreateTable();
    TrbBitSet bits(1008);
    for (int b = 0; b < 1008; b += 3)
        bits.Set(b);
    AddRow("DAMAGED", 0, bits);
    ASSERT_TRUE(make.FindWord("DAMAGED", 0));
    const QByteArray blob = table.FieldByName(QStringLiteral("rbBlob")).AsBytes();
    for (const QByteArray& wrong : {blob.chopped(1), blob + "x", QByteArray()}) {
        table.Edit();
        table.FieldByName(QStringLiteral("rbBlob")).SetAsBytes(wrong);
        table.Post();
        EXPECT_EQ(CodeOf([&] { make.ReadRecord(); }), EQuelvan::InconsistentBlobSize) << wrong.size();
        EXPECT_EQ(table.FieldByName(QStringLiteral("rbBlob")).AsBytes(), wrong);
    }
}

TEST_F(WordsTableTest, FindsRowsByWordAndSegmentAndPositionsOnPrefixes) {
    CreateTable();
    const QByteArray mueller = QByteArray("M\xdc" "LLER"); // Windows-1252
    AddRow("MULLER", 0, SetOf(16, {1}));
    AddRow(mueller, 1, SetOf(16, {2}));
    AddRow(mueller, 0, SetOf(16, {3}));
    AddRow("MATRIX", 0, SetOf(16, {4}));
    AddRow("ZEBRA", 3, SetOf(16, {5}));

    ASSERT_TRUE(make.FindWord(mueller, 1));
    EXPECT_EQ(make.Word(), mueller);
    EXPECT_EQ(make.Segment(), 1);
    // Without a segment: the word's first row.
    ASSERT_TRUE(make.FindWord(mueller));
    EXPECT_EQ(make.Segment(), 0);
    ASSERT_TRUE(make.FindWord("MULLER", 0));
    EXPECT_EQ(make.Word(), QByteArray("MULLER"));
    EXPECT_FALSE(make.FindWord("MULLER", 1));
    EXPECT_FALSE(make.FindWord("MULL"));

    make.FindPrefix("mu");
    ASSERT_FALSE(make.Eof());
    QList<QByteArray> words;
    for (; !make.Eof(); make.Next())
        words << make.Word();
    ASSERT_GE(words.size(), 4);
    EXPECT_TRUE(words[0] == "MULLER" || words[0] == mueller);
    EXPECT_EQ(words.last(), QByteArray("ZEBRA"));
    make.FindPrefix("ZZ");
    EXPECT_TRUE(make.Eof());

    make.SetIndexMode(TrbWordsLink::TIndexMode::Like);
    make.FindPrefix("AL1");
    EXPECT_FALSE(make.Eof());
    EXPECT_EQ(CodeOf([&] { make.SetIndexMode(TrbWordsLink::TIndexMode::Reverse); }),
              EQuelvan::ReverseNotAvailable);
}

TEST_F(WordsTableTest, ThePropertiesRowHoldsTheBlockAndTheLowestRecordNumber) {
    CreateTable();
    EXPECT_EQ(CodeOf([&] { make.ReadProperties(); }), EQuelvan::PropertiesNotFound);
    TrbIndexProperties properties;
    properties.fieldNames = QStringList{"Title", "NotesFilm"};
    properties.indexFieldName = QStringLiteral("FTSNO");
    properties.minWordLen = 3;
    properties.segmentSize = 1008;
    properties.wordDelims = "<<< ,.";
    make.WriteProperties(properties, 17);
    make.WriteProperties(properties, 17); // edits the row, no second one
    int rows = 0;
    for (make.First(); !make.Eof(); make.Next())
        ++rows;
    EXPECT_EQ(rows, 1);

    ASSERT_TRUE(make.FindWord(TrbWordsLink::PropertiesWord(), 0));
    EXPECT_EQ(make.Word().size(), 14);
    EXPECT_EQ(make.Size(), 0);
    EXPECT_EQ(table.FieldByName(QStringLiteral("rbBlob")).AsBytes(), TrbPropertiesBlock::Write(properties));
    EXPECT_TRUE(table.FieldByName(QStringLiteral("rbLike")).IsNull());

    std::optional<int> minIndex;
    EXPECT_EQ(make.ReadProperties(&minIndex), properties);
    EXPECT_EQ(minIndex, 17);
    make.WriteProperties(properties, std::nullopt);
    make.ReadProperties(&minIndex);
    EXPECT_FALSE(minIndex.has_value());

    // An empty block is no block.
    ASSERT_TRUE(make.FindWord(TrbWordsLink::PropertiesWord(), 0));
    table.Edit();
    table.FieldByName(QStringLiteral("rbBlob")).SetAsBytes(QByteArray());
    table.Post();
    EXPECT_EQ(CodeOf([&] { make.ReadProperties(); }), EQuelvan::PropertiesNotFound);
}

TEST_F(WordsTableTest, ATableWithoutARequiredColumnIsRefused) {
    for (const char* definition :
         {"rbWord,Char,20;rbCount,Integer,4;rbBlob,Blob,9", "rbWord,Char,20;rbCount,Integer,4;rbSize,Integer,4",
          "rbCount,Integer,4;rbSize,Integer,4;rbBlob,Blob,9"}) {
        TAdsTable::CreateTable(table.FullPath(), QLatin1String(definition), false);
        TrbWordsADSLink link(table);
        EXPECT_EQ(CodeOf([&] { link.Open(); }), EQuelvan::InvalidWordsDataSet) << definition;
        EXPECT_FALSE(link.Active());
    }
    TrbWordsADSLink closed(table);
    EXPECT_EQ(CodeOf([&] { closed.First(); }), EQuelvan::WordsDatasetClosed);
}

TEST_F(WordsTableTest, AnExistingRbCharColumnCarriesBytesAfterRbBytes) {
    TAdsTable::CreateTable(table.FullPath(),
                           QStringLiteral("rbWord,Char,20;rbCount,Integer,4;rbSize,Integer,4;rbBytes,Raw,24;"
                                          "rbChar,Char,16;rbBlob,Blob,9"),
                           false);
    TrbWordsADSLink link(table);
    link.Open();
    EXPECT_EQ(link.CharFieldSize(), 16);
    for (int step : {200, 3, 1}) {
        TrbBitSet bits(1008);
        for (int b = 0; b < 1008; b += step)
            bits.Set(b);
        const QByteArray stored = TrbBitRecord::Compress(bits);
        link.Insert();
        link.SetWord(QByteArray("STEP") + QByteArray::number(step));
        link.WriteRecord(stored);
        link.Post();
        ASSERT_TRUE(link.FindWord(QByteArray("STEP") + QByteArray::number(step)));
        EXPECT_EQ(link.ReadRecord(), stored) << step;
        // 24 bytes in rbBytes, 12 in the 16 characters, the rest in the blob.
        EXPECT_EQ(table.FieldByName(QStringLiteral("rbBlob")).AsBytes().size(),
                  std::max<qsizetype>(0, stored.size() - 36));
    }
}

} // namespace
