#pragma once
// TrbSearch: the search engine. It turns a query into the set of catalogue
// records that match it: it reads the word index for the query words,
// combines the words' record sets by the search logic, checks every
// candidate against the record's current text and combines the outcome with
// the previous result (narrow, widen). The result is one bit per record
// position (record number minus MinIndex, the lowest number the index was
// built with), its count and the time the search took; navigation positions
// the catalogue on the matches.
//
// Word sets read from the words table are kept, over the whole record range,
// in a map of the engine's own until ResetSearch(): the shared word cache
// holds segment-sized working records of the update engine and is not used
// for them.
//
// Positions beyond the current highest record (rows written before the top
// records were deleted) belong to records that no longer exist and are
// ignored. Under slNot only positions of existing records can match.

#include "fulltext/BitSet.h"
#include "fulltext/PropertiesBlock.h"
#include "fulltext/SearchLogic.h"
#include "fulltext/WordDelims.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class TrbCache;
class TrbEngineListener;
class TrbTextLink;
class TrbWordsLink;

class TrbSearch {
public:
    using TSearchLogic = TrbSearchLogic;
    enum TSearchMode { smSearch, smNarrow, smWiden };
    enum TSearchOption : int { soLazyPhrase = 1, soNavNatural = 2, soNavReverse = 4 };
    enum TRankMode { rmNone, rmCount, rmPercent, rmPresense };

    // May change a query word (folded) before it is looked up.
    using TPreviewWord = std::function<void(QByteArray& word)>;
    // Weight of one occurrence of a search word when ranking.
    using TRankWord = std::function<int(const QByteArray& word)>;
    // After each index row examined and each candidate verified.
    using TOnSearch = std::function<void()>;
    // The time limit was exceeded: return true to search on without a limit,
    // false to stop. Unassigned: the search stops.
    using TOnTimeout = std::function<bool()>;
    // Replaces the query tokenizer (as the word parser's handler).
    using TParseWord = std::function<QByteArray(QByteArrayView& rest)>;

    // One index word that took part in the last search.
    struct TSearchWord {
        QList<int> queryWords; // 1-based numbers of the query words it stands for
        int occurrences = 0;   // counted by ranking
        int records = 0;       // records it had in the index (-1: never looked up)
    };
    // One row of the rank table.
    struct TRank {
        int number = 0;  // the record's "FTSNo"
        int rank = 0;
        int percent = 0; // rank * 100 / highest rank, rounded
    };

    static constexpr int MaxRankLimit = 536870911;
    static constexpr int RankTableLimit = 8000;

    TrbSearch();
    ~TrbSearch();
    TrbSearch(const TrbSearch&) = delete;
    TrbSearch& operator=(const TrbSearch&) = delete;

    // --- parts -------------------------------------------------------------
    TrbCache* Cache() const { return cache_; }
    void SetCache(TrbCache* cache) { cache_ = cache; }
    TrbTextLink* TextLink() const { return textLink_; }
    void SetTextLink(TrbTextLink* link) { textLink_ = link; }
    TrbWordsLink* WordsLink() const { return wordsLink_; }
    void SetWordsLink(TrbWordsLink* link) { wordsLink_ = link; }
    void SetListener(TrbEngineListener* listener) { listener_ = listener; }

    // --- properties --------------------------------------------------------
    const QString& SearchFor() const { return searchFor_; }
    void SetSearchFor(const QString& text) { searchFor_ = text; }
    TSearchLogic SearchLogic() const { return logic_; }
    void SetSearchLogic(TSearchLogic logic) { logic_ = logic; }
    TSearchMode SearchMode() const { return mode_; }
    void SetSearchMode(TSearchMode mode) { mode_ = mode; }
    int SearchOptions() const { return options_; }
    void SetSearchOptions(int options) { options_ = options; }
    // A value equal to the other wildcard character is ignored.
    char AnyChar() const { return anyChar_; }
    void SetAnyChar(char c);
    char OneChar() const { return oneChar_; }
    void SetOneChar(char c);
    bool International() const { return international_; }
    void SetInternational(bool value) { international_ = value; }
    // Values of 0 or less are ignored.
    int NearWord() const { return nearWord_; }
    void SetNearWord(int value);
    // and, or, not, like, near by position; an empty list restores them.
    const QStringList& Tokens() const { return tokens_; }
    void SetTokens(const QStringList& tokens);
    // Milliseconds; 0: no limit.
    int TimeLimit() const { return timeLimit_; }
    void SetTimeLimit(int ms) { timeLimit_ = ms < 0 ? 0 : ms; }
    TRankMode RankMode() const { return rankMode_; }
    void SetRankMode(TRankMode mode) { rankMode_ = mode; }
    // Values above MaxRankLimit are ignored.
    int RankLimit() const { return rankLimit_; }
    void SetRankLimit(int value);

    void SetOnPreviewWord(TPreviewWord handler) { onPreviewWord_ = std::move(handler); }
    void SetOnRankWord(TRankWord handler) { onRankWord_ = std::move(handler); }
    void SetOnSearch(TOnSearch handler) { onSearch_ = std::move(handler); }
    void SetOnTimeout(TOnTimeout handler) { onTimeout_ = std::move(handler); }
    void SetOnParseWord(TParseWord handler) { onParseWord_ = std::move(handler); }

    // --- running -----------------------------------------------------------
    // Runs the query SearchFor() (synchronous). Errors: EQuelvan 30489,
    // 30490, 30483, 30504 and those of the index; EExpression for a faulty
    // expression (its position is also kept in ErrorPosition()); EWildCard.
    void Search();
    // Makes the next search read the index properties and the record range
    // again and forgets the kept word sets.
    void ResetSearch();
    // Asks a running search to stop (from OnSearch); the result keeps only
    // the verified matches.
    void RequestCancel() { cancelRequested_ = true; }
    bool Cancelled() const { return cancelled_; }
    // A stop asked for since the last ClearCancelRequest() (the match maker
    // uses it while it fills its table).
    bool CancelRequested() const { return cancelRequested_; }
    void ClearCancelRequest() { cancelRequested_ = false; }
    // The matching state while a match maker reads the result.
    void SetMatching(bool on);

    int State() const { return state_; }

    // --- result ------------------------------------------------------------
    int Count() const { return hasResult_ ? result_.Count() : 0; }
    const TrbBitSet& Result() const { return result_; }
    // The lowest record number of the last search: position p is record
    // MinIndex() + p.
    int MinIndex() const { return minIndex_; }
    bool HasResult() const { return hasResult_; }
    qint64 Elapsed() const { return elapsed_; }
    // Character position (1-based) where the last expression failed; 0 when
    // it did not.
    int ErrorPosition() const { return errorPosition_; }
    const QHash<QByteArray, TSearchWord>& SearchWords() const { return searchWords_; }
    const QList<QByteArray>& NotFound() const { return notFound_; }
    // The query split into words for the check (folded, wildcards kept).
    const QList<QByteArray>& QueryWords() const { return queryWords_; }
    // Record numbers of the matches in navigation order (rank order when
    // ranking, unless soNavNatural).
    QList<int> MatchNumbers();

    // --- navigation --------------------------------------------------------
    // Position the catalogue on a match and answer whether one was found.
    bool FirstMatch();
    bool NextMatch();
    bool PriorMatch();
    bool LastMatch();
    // Whether the catalogue's current record is a match.
    bool IsMatch();

    // --- ranking -----------------------------------------------------------
    // Up to min(8000, matches, RankLimit) records with their ranks, sorted by
    // rank (ties by ascending number) unless soNavNatural; empty with rmNone.
    const QList<TRank>& RankTable();

    // Evaluates `text` as a word list under `logic` into `result` (which
    // holds the start set for the and-like logics), candidate check
    // included. False when every word was ignored. Used by the expression
    // executor.
    bool EvaluateWords(const QByteArray& text, TSearchLogic logic, TrbBitSet& result);
    // Bits of the record range of the running search.
    int RangeBits() const { return rangeBits_; }
    // The record positions that exist (for "not").
    const TrbBitSet& ExistingRecords();

private:
    class TRecordReader;
    class TWordMatcher;

    void SetState(int state);
    void ReadProperties();
    void Begin();
    void RunWordList(const QByteArray& text, TSearchLogic logic, TrbBitSet& result, bool& used,
                     QHash<QByteArray, QList<int>>& local);
    void ExactWord(const QByteArray& word, int number, TSearchLogic logic, TrbBitSet& result,
                   QHash<QByteArray, QList<int>>& local);
    void WildWord(const QByteArray& pattern, int number, TSearchLogic logic, TrbBitSet& result,
                  QHash<QByteArray, QList<int>>& local);
    void LikeWord(const QByteArray& word, int number, TrbBitSet& result, QHash<QByteArray, QList<int>>& local);
    // The complete set of the word at the words link's current row; leaves
    // the link on the first row of the next word.
    TrbBitSet ReadRowsOfCurrentWord();
    const TrbBitSet* WordSet(const QByteArray& word);
    void EnterSearchWord(const QByteArray& word, int number, int records, QHash<QByteArray, QList<int>>& local);
    QList<QByteArray> SplitQuery(const QByteArray& text, bool forCheck) const;
    void CandidateCheck(const QByteArray& text, TSearchLogic logic, TrbBitSet& result,
                        const QHash<QByteArray, QList<int>>& local);
    bool Passes(TSearchLogic logic, const TWordMatcher& matcher);
    bool LocateRecord(int number);
    void Tick();
    void CheckTime();
    bool Stopped() const { return cancelRequested_; }
    void RunExpression(const QByteArray& text, bool smart);
    void BuildRankTable();
    std::vector<int> NavigationOrder();
    bool GoTo(int position);
    int CurrentPosition();

    TrbCache* cache_ = nullptr;
    TrbTextLink* textLink_ = nullptr;
    TrbWordsLink* wordsLink_ = nullptr;
    TrbEngineListener* listener_ = nullptr;

    QString searchFor_;
    TSearchLogic logic_ = slAnd;
    TSearchMode mode_ = smSearch;
    int options_ = 0;
    char anyChar_ = '*';
    char oneChar_ = '?';
    bool international_ = false;
    int nearWord_ = 8;
    QStringList tokens_;
    int timeLimit_ = 0;
    TRankMode rankMode_ = rmNone;
    int rankLimit_ = 8000;
    TPreviewWord onPreviewWord_;
    TRankWord onRankWord_;
    TOnSearch onSearch_;
    TOnTimeout onTimeout_;
    TParseWord onParseWord_;

    // Index settings read from the properties row.
    bool propertiesLoaded_ = false;
    TrbIndexProperties properties_;
    TrbWordDelims indexDelims_;
    TrbWordDelims queryDelims_;
    int segmentSize_ = 0;

    int state_ = 0;
    bool cancelRequested_ = false;
    bool cancelled_ = false;
    bool timeLimitActive_ = false;
    QElapsedTimer timer_;
    qint64 elapsed_ = 0;
    int errorPosition_ = 0;

    int minIndex_ = 0;
    int rangeBits_ = 0;
    bool hasResult_ = false;
    TrbBitSet result_;
    QHash<QByteArray, TSearchWord> searchWords_;
    QList<QByteArray> notFound_;
    QList<QByteArray> queryWords_;
    int queryWordCount_ = 0; // numbering across one word list
    std::unique_ptr<TrbBitSet> existing_;
    // Whole-range sets of words read from the index (null: no row).
    QHash<QByteArray, std::shared_ptr<TrbBitSet>> wordSets_;
    std::unique_ptr<TRecordReader> reader_;
    bool rankBuilt_ = false;
    QList<TRank> rankTable_;
};
