#pragma once
// What the catalogue's record rules ask of the full-text index. The
// full-text engine implements it; without one the catalogue runs with no
// index attached (IsOpen() false, nothing to tell).

class TCatalogueIndexer {
public:
    virtual ~TCatalogueIndexer() = default;

    // The words table is open.
    virtual bool IsOpen() const = 0;
    // The words table's file exists in the program folder.
    virtual bool IndexExists() const = 0;
    // Builds the whole index over the catalogue (segments of segmentSize).
    virtual void BuildIndex(int segmentSize) = 0;
    // A record is about to be inserted.
    virtual void PrepareInsert() = 0;
    // The current record is about to be edited: its words before the change.
    virtual void CaptureOldText() = 0;
    // The current record was posted: its words go into the index. Throws
    // EMovarixError with code 30470 when the engine's buffer is too small.
    virtual void ApplyRecord() = 0;
    // Forgets cached positions and settings (after an error or a new table).
    virtual void Reset() = 0;
    // The catalogue changed under the engine (delete, kind switch).
    virtual void Refresh() = 0;
    // Forgets the last search's result.
    virtual void ResetSearch() = 0;
};
