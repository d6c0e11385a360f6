#pragma once
// What the catalogue's search procedure asks of the full-text search: run a
// query, copy the matches into the match table, and read the match table's
// record numbers. The full-text engine implements it.

#include <QList>
#include <QString>

class TCatalogueSearcher {
public:
    virtual ~TCatalogueSearcher() = default;

    // Runs the query; returns the number of matching records and the time.
    virtual int Search(const QString& text, qint64* elapsedMs) = 0;
    // Recreates the match table from the last result (at most MatchLimit()
    // rows); returns the time it took.
    virtual qint64 MakeMatches() = 0;
    virtual int MatchLimit() const = 0;
    // The "FTSNo" of every row of the match table, in table order.
    virtual QList<int> MatchRowNumbers() = 0;
};
