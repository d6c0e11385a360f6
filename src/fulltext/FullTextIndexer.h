#pragma once
// TFullTextIndexer: the full-text index of the catalogue as the program runs
// it. It owns the words table "FTS.ADT" in the program folder, the word
// cache, the build and update engines with their links and the word
// acceptance rules, and implements what the catalogue's record rules ask of
// an index (TCatalogueIndexer). The main window and the command-line tool
// plug one into their catalogue session.
//
// Failures of the index never undo a catalogue change: errors of the update
// after a post reach the caller after the record is stored, and an error
// while collecting a record's old words does not stop the edit (the words of
// the new text are then added and the error is reported after the post).

#include "catalogue/CatalogueIndexer.h"
#include "catalogue/CatalogueSearcher.h"
#include "fulltext/Accept.h"
#include "fulltext/Cache.h"
#include "fulltext/MakeWordsADSLink.h"
#include "fulltext/Make.h"
#include "fulltext/MatchMaker.h"
#include "fulltext/Search.h"
#include "fulltext/TextADSLink.h"
#include "fulltext/Update.h"
#include "fulltext/WordsADSLink.h"
#include "platform/MovarixError.h"
#include "store/AdsTable.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

class TrbEngineListener;
class TUserInterface;

class TFullTextIndexer : public TCatalogueIndexer, public TCatalogueSearcher {
public:
    static constexpr const char* WordsTableName = "FTS.ADT";
    // What the program asks for; the build rounds it up to 1008.
    static constexpr int ProgramSegmentSize = 1000;
    static constexpr int ProgramMinWordLen = 3;

    // The catalogue fields whose text is indexed, in order (names the table
    // lacks are dropped when a build starts).
    static QStringList IndexedFieldNames();

    // catalogue: the open catalogue table (TableDVD); programFolder ends with "/".
    TFullTextIndexer(TAdsTable& catalogue, const QString& programFolder, TUserInterface& ui);
    ~TFullTextIndexer() override;

    QString WordsTablePath() const;

    // At start: builds the index when the catalogue has records and the words
    // table is missing, then opens the words table when it exists. A words
    // table that cannot be opened as one (damaged, foreign columns) is
    // derived data: it is built anew.
    void OpenAtStart();
    // At close: writes and empties the cache, closes the words table.
    void Close();
    // Deletes the words table's files and builds the index anew; false (and
    // no build) when a file could not be deleted.
    bool FTSCreateNew();

    // One stored row of a word, for inspection.
    struct TWordRow {
        int segment = 0;
        int count = 0;  // rbCount
        int size = 0;   // rbSize
        int type = 0;   // 1..5, 0 for the uncompressed form
        int first = 0;
        int last = 0;
    };
    // The rows of one word (Windows-1252, folded as stored), by segment;
    // empty when the word is not indexed.
    QList<TWordRow> WordRows(const QByteArray& word);
    // The words a text would give as a string field of a build, in order,
    // each with its sound-alike key.
    QList<std::pair<QByteArray, QByteArray>> IndexWords(const QByteArray& text);

    // --- TCatalogueIndexer -----------------------------------------------------
    bool IsOpen() const override;
    bool IndexExists() const override;
    void BuildIndex(int segmentSize) override;
    void PrepareInsert() override;
    void CaptureOldText() override;
    void ApplyRecord() override;
    void Reset() override;
    // Reads the index settings again; an error is not raised here (a delete
    // or a kind switch goes on) but by the next ApplyRecord().
    void Refresh() override;
    // Forgets the search's kept word sets and record range.
    void ResetSearch() override;

    // --- TCatalogueSearcher ----------------------------------------------------
    int Search(const QString& text, qint64* elapsedMs) override;
    qint64 MakeMatches() override;
    int MatchLimit() const override { return matchMaker_.MatchLimit(); }
    QList<int> MatchRowNumbers() override;
    TrbSearch& SearchEngine() { return search_; }
    TrbMatchMaker& MatchMaker() { return matchMaker_; }
    TAdsTable& TableFtsMatch() { return tableMatch_; }

    // --- parts ---------------------------------------------------------------------
    // Progress of builds (the progress window attaches here).
    void SetBuildListener(TrbEngineListener* listener);
    TAdsTable& TableFTS() { return tableFts_; }
    TrbCache& Cache() { return cache_; }
    TrbAccept& Accept() { return accept_; }
    TrbMake& Make() { return make_; }
    TrbUpdate& Update() { return update_; }
    TrbMakeWordsADSLink& MakeWordsLink() { return makeWords_; }
    TrbWordsADSLink& WordsLink() { return updateWords_; }
    TrbTextADSLink& MakeTextLink() { return makeText_; }
    TrbTextADSLink& TextLink() { return updateText_; }

private:
    bool AcceptWord(const QByteArray& word);
    void OpenWordsTable();

    TAdsTable& catalogue_;
    QString folder_;
    TUserInterface& ui_;
    TAdsTable tableFts_;
    TrbCache cache_;
    TrbAccept accept_;
    TrbTextADSLink makeText_;
    TrbTextADSLink updateText_;
    TrbMakeWordsADSLink makeWords_;
    TrbWordsADSLink updateWords_;
    TrbMake make_;
    TrbUpdate update_;
    TrbSearch search_;
    TAdsTable tableMatch_;
    TrbMatchMaker matchMaker_;
    TrbEngineListener* buildListener_ = nullptr;
    // An error of CaptureOldText, reported after the record is applied.
    std::optional<EMovarixError> deferred_;
};
