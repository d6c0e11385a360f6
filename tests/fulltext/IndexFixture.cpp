#include "IndexFixture.h"

#include "catalogue/CatalogueStore.h"
#include "fulltext/Accept.h"
#include "fulltext/BitRecord.h"
#include "fulltext/BitSet.h"
#include "fulltext/FullTextIndexer.h"
#include "fulltext/WordDelims.h"
#include "fulltext/WordParser.h"
#include "fulltext/WordsADSLink.h"
#include "platform/Ansi.h"
#include "store/Field.h"

#include <gtest/gtest.h>

#include <random>

namespace {

const char* const kVocabulary[] = {
    "Alien", "Predator", "Blade", "Runner", "Matrix", "Müller", "Größe", "Meyer", "Schmidt", "night",
    "day", "river", "mountain", "Straße", "Café", "über", "HDTV", "DVD", "MP3", "2001", "3D", "AAAAA",
    "orchestra", "symphony", "Beethoven", "Mozart", "data", "backup", "archive", "holiday", "summer",
    "winter", "Köln", "Zürich", "Paris", "London", "Wien", "documentary", "comedy", "drama", "thriller",
    "western", "animation", "x", "of", "the", "and", "Supercalifragilisticexpialidocious", "A1", "B2B",
};
constexpr int kVocabularySize = int(sizeof(kVocabulary) / sizeof(kVocabulary[0]));

} // namespace

TIndexFixture::TIndexFixture() {
    TCatalogueStore store(catalogue, folder.Path(), ui);
    if (!store.Prepare())
        ADD_FAILURE() << "catalogue could not be prepared";
    ui.calls.clear();
}

TIndexFixture::~TIndexFixture() = default;

int TIndexFixture::AddRecord(const std::map<QString, QVariant>& values) {
    catalogue.Insert();
    catalogue.FieldByName(QStringLiteral("FilmDVD")).SetAsBoolean(true);
    for (const auto& [name, value] : values)
        catalogue.FieldByName(name).SetValue(value);
    catalogue.Post();
    return catalogue.FieldByName(QStringLiteral("FTSNo")).AsInteger();
}

std::map<QString, QVariant> TIndexFixture::GeneratedRecord(unsigned seed, int number) {
    std::mt19937 random(seed * 7919u + unsigned(number));
    auto words = [&](int count) {
        QStringList out;
        for (int i = 0; i < count; ++i)
            out << QString::fromUtf8(kVocabulary[random() % kVocabularySize]);
        return out;
    };
    std::map<QString, QVariant> values;
    values[QStringLiteral("Title")] = words(1 + int(random() % 3)).join(QLatin1Char(' ')) +
                                       QStringLiteral(" Nr%1").arg(number % 7);
    if (random() % 2)
        values[QStringLiteral("Director")] = words(2).join(QStringLiteral("-"));
    if (random() % 3 == 0)
        values[QStringLiteral("NotesFilm")] = words(5 + int(random() % 20)).join(QStringLiteral(", ")) +
                                               QStringLiteral("\r\nC:\\Filme\\Alien.avi");
    if (random() % 4 == 0)
        values[QStringLiteral("AgeReleasing")] = int(random() % 3) == 0 ? 12 : 1000 + int(random() % 5);
    if (random() % 5 == 0)
        values[QStringLiteral("Owner")] = words(1).first();
    return values;
}

void TIndexFixture::AddGeneratedRecords(int count, unsigned seed) {
    catalogue.BeginTransaction();
    for (int i = 0; i < count; ++i)
        AddRecord(GeneratedRecord(seed, i));
    catalogue.Commit();
}

TWordRecords TIndexFixture::Reference() {
    TrbAccept accept;
    accept.SetNumericLimit(1);
    TrbWordParser parser;
    parser.SetMinWordLen(3);
    parser.SetWordDelims(TrbWordDelims::ProgramCaret());
    parser.SetOnAcceptWord([&](const QByteArray& word) {
        accept.SetWord(word);
        return accept.Accept();
    });
    TWordRecords reference;
    const QString saved = catalogue.IndexName();
    const bool filtered = catalogue.Filtered();
    const qint64 recno = catalogue.RecNo();
    catalogue.SetFiltered(false);
    catalogue.SetIndexName(QString());
    for (catalogue.First(); !catalogue.Eof(); catalogue.Next()) {
        const int number = catalogue.FieldByName(QStringLiteral("FTSNo")).AsInteger();
        auto add = [&](const QByteArray& word) { reference[word].insert(number); };
        for (const QString& name : TFullTextIndexer::IndexedFieldNames()) {
            const TField* field = catalogue.FindField(name);
            if (!field || field->IsNull())
                continue;
            if (field->DataType() == TFieldType::Char || field->DataType() == TFieldType::Memo)
                parser.ProcessText(field->AsBytes(), add);
            else
                parser.ProcessSingleWord(TAnsi::FromUnicode(field->AsString()), add);
        }
    }
    catalogue.SetIndexName(saved);
    catalogue.SetFiltered(filtered);
    if (recno != 0)
        catalogue.GotoRecNo(recno);
    return reference;
}

TWordRecords TIndexFixture::StoredIndex() {
    TAdsTable table;
    table.SetDatabaseName(folder.Path());
    table.SetTableName(QStringLiteral("FTS.ADT"));
    TrbWordsADSLink link(table);
    link.Open();
    std::optional<int> minIndex;
    const TrbIndexProperties properties = link.ReadProperties(&minIndex);
    const int segmentSize = properties.segmentSize > 0 ? properties.segmentSize : 1 << 20;
    TWordRecords stored;
    link.SetIndexMode(TrbWordsLink::TIndexMode::Word);
    for (link.First(); !link.Eof(); link.Next()) {
        const QByteArray word = link.Word();
        if (word == TrbWordsLink::PropertiesWord())
            continue;
        EXPECT_TRUE(minIndex.has_value());
        const QByteArray record = link.ReadRecord();
        EXPECT_EQ(link.Size(), record.size()) << word.constData();
        TrbBitSet bits(segmentSize);
        TrbBitRecord::Decompress(record, bits);
        EXPECT_EQ(link.Count(), bits.Count()) << word.constData();
        EXPECT_GT(bits.Count(), 0) << "a row without records: " << word.constData();
        for (int bit = bits.First(); bit >= 0; bit = bits.Next(bit + 1))
            stored[word].insert(minIndex.value_or(0) + link.Segment() * segmentSize + bit);
    }
    table.Close();
    return stored;
}
