#include "fulltext/FullTextIndexer.h"

#include "fulltext/BitRecord.h"
#include "fulltext/EngineListener.h"
#include "fulltext/Quelvan.h"
#include "fulltext/SoundAlike.h"
#include "fulltext/WordDelims.h"
#include "platform/UserInterface.h"

#include <QFile>

QStringList TFullTextIndexer::IndexedFieldNames() {
    return {QStringLiteral("AgeReleasing"), QStringLiteral("ArtQuality"),   QStringLiteral("Director"),
            QStringLiteral("FilmFormat"),   QStringLiteral("Group"),        QStringLiteral("MusicProducer"),
            QStringLiteral("NotesData"),    QStringLiteral("NotesFilm"),    QStringLiteral("NotesMore"),
            QStringLiteral("NotesMusic"),   QStringLiteral("NotesOther"),   QStringLiteral("Owner"),
            QStringLiteral("Path"),         QStringLiteral("Producer"),     QStringLiteral("Publisher"),
            QStringLiteral("RESERVE1"),     QStringLiteral("RESERVE2"),     QStringLiteral("RESERVE3"),
            QStringLiteral("Script"),       QStringLiteral("Series"),       QStringLiteral("ShortDescription"),
            QStringLiteral("Source"),       QStringLiteral("TechQuality"),  QStringLiteral("Title"),
            QStringLiteral("UD1"),          QStringLiteral("UD2"),          QStringLiteral("UD3"),
            QStringLiteral("UD4"),          QStringLiteral("UD5")};
}

TFullTextIndexer::TFullTextIndexer(TAdsTable& catalogue, const QString& programFolder, TUserInterface& ui)
    : catalogue_(catalogue), folder_(programFolder), ui_(ui), makeText_(catalogue), updateText_(catalogue),
      makeWords_(tableFts_), updateWords_(tableFts_) {
    tableFts_.SetDatabaseName(folder_);
    tableFts_.SetTableName(QLatin1String(WordsTableName));

    accept_.SetNumericLimit(1);

    QStringList subFields = IndexedFieldNames();
    subFields.removeAll(QStringLiteral("NotesData"));
    makeText_.SetFieldNames(IndexedFieldNames());
    updateText_.SetSubFieldNames(subFields);

    make_.SetCache(&cache_);
    make_.SetTextLink(&makeText_);
    make_.SetWordsLink(&makeWords_);
    make_.Parser().SetMinWordLen(ProgramMinWordLen);
    make_.Parser().SetWordDelims(TrbWordDelims::ProgramCaret());
    make_.Parser().SetOnAcceptWord([this](const QByteArray& word) { return AcceptWord(word); });

    update_.SetCache(&cache_);
    update_.SetTextLink(&updateText_);
    update_.SetWordsLink(&updateWords_);
    update_.Parser().SetOnAcceptWord([this](const QByteArray& word) { return AcceptWord(word); });
    // The search reads through the update engine's links; the match table
    // "FTSMatch.adt" takes up to 500 matches.
    search_.SetTextLink(&updateText_);
    search_.SetWordsLink(&updateWords_);
    tableMatch_.SetDatabaseName(folder_);
    tableMatch_.SetTableName(QStringLiteral("FTSMatch.adt"));
    matchMaker_.SetDataSet(&tableMatch_);
    matchMaker_.SetSearcher(&search_);
    matchMaker_.SetFieldNames(TrbMatchMaker::ProgramFieldNames());
    matchMaker_.SetMatchLimit(500);
    // Every row the update engine posts beeps.
    updateWords_.SetAfterPost([this] { ui_.Beep(); });
}

TFullTextIndexer::~TFullTextIndexer() {
    try {
        Close();
    } catch (...) {
        // Nothing can be reported from a destructor; the index is derived data.
    }
}

bool TFullTextIndexer::AcceptWord(const QByteArray& word) {
    accept_.SetWord(word);
    return accept_.Accept();
}

QString TFullTextIndexer::WordsTablePath() const {
    return folder_ + QLatin1String(WordsTableName);
}

void TFullTextIndexer::SetBuildListener(TrbEngineListener* listener) {
    buildListener_ = listener;
    make_.SetListener(listener);
    if (listener)
        makeText_.SetAfterProcess([listener](int value) { listener->RecordProcessed(value); });
    else
        makeText_.SetAfterProcess({});
}

void TFullTextIndexer::OpenWordsTable() {
    // The update link looks its columns up again: a build reopened the table.
    updateWords_.Close();
    updateWords_.Open();
    updateWords_.SetPropertiesRead(false);
}

void TFullTextIndexer::OpenAtStart() {
    if (catalogue_.Active() && catalogue_.HasRecords() && !IndexExists())
        BuildIndex(ProgramSegmentSize);
    if (!IndexExists() || IsOpen())
        return;
    try {
        OpenWordsTable();
    } catch (const EQuelvan& error) {
        if (error.Code() != EQuelvan::InvalidWordsDataSet || !catalogue_.Active())
            throw;
        FTSCreateNew();
    }
}

QList<TFullTextIndexer::TWordRow> TFullTextIndexer::WordRows(const QByteArray& word) {
    QList<TWordRow> rows;
    if (!IsOpen() || word == TrbWordsLink::PropertiesWord())
        return rows;
    TrbWordsADSLink& link = updateWords_;
    link.SetIndexMode(TrbWordsLink::TIndexMode::Word);
    if (!link.FindWord(word))
        return rows;
    for (; !link.Eof() && link.Word() == word; link.Next()) {
        const TrbBitRecord::THeader header = TrbBitRecord::ReadHeader(link.ReadRecord());
        TWordRow row;
        row.segment = link.Segment();
        row.count = link.Count();
        row.size = link.Size();
        row.type = header.compressed ? header.type : 0;
        row.first = header.first;
        row.last = header.last;
        rows << row;
    }
    return rows;
}

QList<std::pair<QByteArray, QByteArray>> TFullTextIndexer::IndexWords(const QByteArray& text) {
    QList<std::pair<QByteArray, QByteArray>> words;
    TrbWordParser& parser = make_.Parser();
    parser.SetWordFieldSize(makeWords_.WordFieldSize());
    parser.ProcessText(text, [&words](const QByteArray& word) { words.append({word, TrbSoundAlike::Key(word)}); });
    return words;
}

void TFullTextIndexer::Close() {
    if (IsOpen()) {
        update_.WriteChanges();
        update_.FlushCache();
    }
    updateWords_.Close();
}

bool TFullTextIndexer::FTSCreateNew() {
    update_.Reset();
    updateWords_.Close();
    const QString path = WordsTablePath();
    QString memoPath = path;
    memoPath.chop(4);
    memoPath += QStringLiteral(".ADM");
    if (QFile::exists(path) && !QFile::remove(path))
        return false;
    if (QFile::exists(memoPath) && !QFile::remove(memoPath))
        return false;
    try {
        TAdsTable::DeleteTable(path); // the index file and what SQLite keeps beside it
    } catch (const EMovarixError&) {
        return false;
    }
    BuildIndex(ProgramSegmentSize);
    return true;
}

bool TFullTextIndexer::IsOpen() const {
    return tableFts_.Active();
}

bool TFullTextIndexer::IndexExists() const {
    return QFile::exists(WordsTablePath());
}

void TFullTextIndexer::BuildIndex(int segmentSize) {
    // Changes the update engine still holds go into the old table first.
    update_.Reset();
    updateWords_.Close();
    make_.SetSegmentSize(segmentSize);
    // Every segment: a build that stopped early would leave records
    // unsearchable although they plainly contain the words.
    make_.SetLastSegment(TrbMake::MaxLastSegment);
    make_.BuildIndex();
    if (IndexExists())
        OpenWordsTable();
}

void TFullTextIndexer::PrepareInsert() {
    deferred_.reset();
    update_.PrepareInsert();
}

void TFullTextIndexer::CaptureOldText() {
    deferred_.reset();
    if (!IsOpen())
        return;
    try {
        update_.CaptureOldText();
    } catch (const EMovarixError& error) {
        // The edit goes on; the post adds the new text's words and then
        // reports the error.
        update_.PrepareInsert();
        deferred_ = error;
    }
}

void TFullTextIndexer::ApplyRecord() {
    try {
        update_.ApplyRecord();
    } catch (...) {
        deferred_.reset();
        throw;
    }
    if (deferred_) {
        const EMovarixError error = *deferred_;
        deferred_.reset();
        throw error;
    }
}

void TFullTextIndexer::Reset() {
    update_.Reset();
}

void TFullTextIndexer::Refresh() {
    if (!IsOpen())
        return;
    try {
        update_.Refresh();
    } catch (const EMovarixError&) {
        // A delete or a kind switch must not fail because of the index. The
        // properties stay unread, so the next post reads them again and
        // reports the error after its record is stored.
        updateWords_.SetPropertiesRead(false);
    }
}

void TFullTextIndexer::ResetSearch() {
    search_.ResetSearch();
}

int TFullTextIndexer::Search(const QString& text, qint64* elapsedMs) {
    if (!IsOpen())
        return 0;
    search_.SetSearchFor(text);
    search_.ResetSearch();
    search_.Search();
    if (elapsedMs)
        *elapsedMs = search_.Elapsed();
    return search_.Count();
}

qint64 TFullTextIndexer::MakeMatches() {
    matchMaker_.MakeMatches();
    return matchMaker_.Elapsed();
}

QList<int> TFullTextIndexer::MatchRowNumbers() {
    QList<int> numbers;
    if (!tableMatch_.Active())
        return numbers;
    tableMatch_.SetIndexName(QString());
    TField& number = tableMatch_.FieldByName(QStringLiteral("FTSNo"));
    for (tableMatch_.First(); !tableMatch_.Eof() && !tableMatch_.IsEmpty(); tableMatch_.Next())
        numbers << number.AsInteger();
    return numbers;
}
