#pragma once
// TrbMatchMaker: copies the matches of a search into the match table
// ("FTSMatch.adt"), which it recreates from nothing at every call: one
// column per copied catalogue field (in the catalogue's field order, the
// auto-increment record number as a plain integer), a rank column last when
// the search ranks, and one row per match in navigation order, up to
// MatchLimit rows. The match table is derived data: it is created with
// durable = false.

#include <QString>
#include <QStringList>

#include <functional>

class TAdsTable;
class TrbSearch;

class TrbMatchMaker {
public:
    // Returns false to leave the catalogue's current record out.
    using TAcceptRecord = std::function<bool(TAdsTable& catalogue)>;

    // The 53 catalogue fields the program copies.
    static QStringList ProgramFieldNames();

    TAdsTable* DataSet() const { return dataSet_; }
    void SetDataSet(TAdsTable* table) { dataSet_ = table; }
    TrbSearch* Searcher() const { return searcher_; }
    void SetSearcher(TrbSearch* search) { searcher_ = search; }
    // Empty: every field.
    const QStringList& FieldNames() const { return fieldNames_; }
    void SetFieldNames(const QStringList& names) { fieldNames_ = names; }
    // Values below 0 are ignored.
    int MatchLimit() const { return matchLimit_; }
    void SetMatchLimit(int value);
    // An empty name gives "Rank".
    const QString& RankFieldName() const { return rankFieldName_; }
    void SetRankFieldName(const QString& name);
    // Milliseconds for filling; 0: no limit.
    int TimeLimit() const { return timeLimit_; }
    void SetTimeLimit(int ms) { timeLimit_ = ms < 0 ? 0 : ms; }
    // Rows per transaction; 0: none. Values below 0 are ignored.
    int Transactions() const { return transactions_; }
    void SetTransactions(int value);
    void SetOnAcceptRecord(TAcceptRecord handler) { onAcceptRecord_ = std::move(handler); }

    // Recreates and fills the match table from the searcher's result.
    // Nothing happens without a table or a searcher; a searcher without an
    // open catalogue table raises 30481; a copied field named like the rank
    // column raises 30478.
    void MakeMatches();
    qint64 Elapsed() const { return elapsed_; }
    int RowsWritten() const { return rows_; }

private:
    void Fill(TAdsTable& catalogue);

    TAdsTable* dataSet_ = nullptr;
    TrbSearch* searcher_ = nullptr;
    QStringList fieldNames_;
    int matchLimit_ = 25;
    QString rankFieldName_ = QStringLiteral("Rank");
    int timeLimit_ = 0;
    int transactions_ = 0;
    TAcceptRecord onAcceptRecord_;
    qint64 elapsed_ = 0;
    int rows_ = 0;
};
