#pragma once
// TrbUpdate: the update engine. It keeps the words table in step with single
// catalogue records as they are inserted, edited or deleted: before an edit
// it collects the record's old words, after the post it compares them with
// the new ones and sets or clears the record's bit in the rows of the words
// that came or went.
//
// Settings (fields, word rules, segment size, the lowest record number) come
// from the properties row the build wrote; they are read on the first step
// and again after Refresh() or Reset().
//
// Phases: idle -> insert-pending (PrepareInsert) -> idle (ApplyRecord);
// idle -> old-text-captured (CaptureOldText) -> applying-edit -> idle
// (ApplyRecord); delete-captured (CaptureDelete) -> idle (ApplyDelete).
//
// Word set marks: 0 = stop word, 1 = word of the old text not yet seen in the
// new one, 2 = word of the new text already handled.

#include "fulltext/BitSet.h"
#include "fulltext/Cache.h"
#include "fulltext/WordParser.h"

#include <QByteArray>
#include <QHash>

class TrbEngineListener;
class TrbTextLink;
class TrbWordsLink;

class TrbUpdate {
public:
    enum class TPhase { Idle, OldTextCaptured, ApplyingEdit, DeleteCaptured, InsertPending };
    enum TMark : int { MarkNone = 0, MarkOld = 1, MarkNew = 2 };

    TrbUpdate();
    ~TrbUpdate();

    void SetCache(TrbCache* cache) { cache_ = cache; }
    void SetTextLink(TrbTextLink* link) { textLink_ = link; }
    void SetWordsLink(TrbWordsLink* link) { wordsLink_ = link; }
    void SetListener(TrbEngineListener* listener) { listener_ = listener; }

    // The word rules; MinWordLen, WordDelims and the omit list are replaced
    // by those of the properties row. The accept handler is the caller's.
    TrbWordParser& Parser() { return parser_; }

    // False: every changed row is written at once. True: changed rows stay in
    // the cache marked unwritten until evicted, the segment changes or the
    // engine is flushed; switching back to False writes them.
    bool DelayedWrites() const { return delayedWrites_; }
    void SetDelayedWrites(bool value);

    TPhase Phase() const { return phase_; }
    int State() const { return state_; }
    int SegmentSize() const { return segmentSize_; }
    bool Segmented() const { return segmentSize_ != 0; }
    int BitSetSize() const { return bits_.Size(); }
    // The mark of a word in the word set, -1 when it is not there.
    int MarkOf(const QByteArray& word) const { return wordSet_.value(word, -1); }

    // --- the catalogue's events -------------------------------------------------
    void PrepareInsert();
    // Collects the current record's words before it is edited.
    void CaptureOldText();
    // Applies the current (just posted) record to the index.
    void ApplyRecord();
    // Collects the current record's words before it is deleted.
    void CaptureDelete();
    // Clears the record's bit in every collected word.
    void ApplyDelete();
    // Reads the properties again (the catalogue changed under the engine).
    void Refresh();
    // Writes unwritten rows and forgets the cache, the bit set, the record
    // number range and the properties.
    void Reset();
    // Writes every unwritten cached row.
    void WriteChanges();
    // Writes unwritten rows and empties the cache.
    void FlushCache();

    // Sets or clears the current record's bit in the word's row of its
    // segment, inserting or deleting the row as needed.
    void ChangeWordBit(const QByteArray& word, bool set);

private:
    void CaptureCurrentWords();
    void SetState(int state);
    // The start of each step: properties, tables, cache sizing.
    void BeginStep();
    void EndStep();
    void ReadProperties();
    // Segment and bit of the current catalogue record.
    void LocateRecord();
    // Writes out and empties the cache when the record's segment is not the cached one.
    void SwitchSegment();
    void EnsureBits(int bits);
    void DropMarkedWords();
    void EnterOmitWords();
    // Writes one word's working record to its row of the current segment.
    void WriteWord(const QByteArray& word, TrbCache::TRecord& record);
    void LoadRow(const QByteArray& word, TrbCache::TRecord& record);

    TrbCache* cache_ = nullptr;
    TrbTextLink* textLink_ = nullptr;
    TrbWordsLink* wordsLink_ = nullptr;
    TrbEngineListener* listener_ = nullptr;
    TrbWordParser parser_;
    bool delayedWrites_ = false;
    int state_ = 0;
    TPhase phase_ = TPhase::Idle;
    QHash<QByteArray, int> wordSet_;

    int segmentSize_ = 0; // 0: not segmented
    TrbBitSet bits_;
    int currentSegment_ = -1; // the segment the cached records belong to
    int segment_ = 0;         // of the record being handled
    int bit_ = 0;
    int recordValue_ = 0;     // its record number
};
