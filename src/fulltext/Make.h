#pragma once
// TrbMake: the build engine. It indexes the whole catalogue in one pass in
// record-number order, one segment at a time: the words of a segment's
// records collect in the word cache, and when the segment ends they are
// written to the words table as one row per word. The word indexes are
// created once at the end, then the properties row records the settings the
// update and search engines must share.
//
// A build that is cancelled or fails leaves no words table behind (a missing
// table makes the program build again), so a half-written index never looks
// complete. The catalogue is only read.

#include "fulltext/BitSet.h"
#include "fulltext/Params.h"
#include "fulltext/WordParser.h"

#include <QByteArray>

#include <memory>

class TrbCache;
class TrbEngineListener;
class TrbTextLink;
class TrbWordsLink;

class TrbMake {
public:
    // Segment size value meaning "not segmented".
    static constexpr int Unsegmented = 2147483647;
    static constexpr int MaxLastSegment = 32767;

    TrbMake();
    ~TrbMake();

    void SetCache(TrbCache* cache) { cache_ = cache; }
    void SetTextLink(TrbTextLink* link) { textLink_ = link; }
    void SetWordsLink(TrbWordsLink* link) { wordsLink_ = link; }
    void SetListener(TrbEngineListener* listener) { listener_ = listener; }
    TrbCache* Cache() const { return cache_; }
    TrbTextLink* TextLink() const { return textLink_; }
    TrbWordsLink* WordsLink() const { return wordsLink_; }

    // Word settings (MinWordLen, WordDelims, omit list, accept handler).
    TrbWordParser& Parser() { return parser_; }
    const TrbWordParser& Parser() const { return parser_; }
    TrbParams& Params() { return params_; }

    // Rounded up to a multiple of 16; 0 or less, or above 2147483632, means
    // not segmented (held as Unsegmented).
    int SegmentSize() const { return segmentSize_; }
    void SetSegmentSize(int value);
    bool Segmented() const { return segmentSize_ != Unsegmented; }
    // Segments to index (accepted when FirstSegment <= LastSegment).
    int FirstSegment() const { return firstSegment_; }
    void SetFirstSegment(int value);
    int LastSegment() const { return lastSegment_; }
    void SetLastSegment(int value);
    // Stop after this many records; 0: no limit.
    int CounterLimit() const { return counterLimit_; }
    void SetCounterLimit(int value) { counterLimit_ = value < 0 ? 0 : value; }

    // TrbEngineState bits.
    int State() const { return state_; }
    // Asks a running build to stop (state bit CancelRequested).
    void RequestCancel();
    bool CancelRequested() const;

    // Runs a complete build. Returns when the words table is written and
    // indexed, or when the build was cancelled (then the table is deleted).
    // Raises 30488 / 30489 / 30490 for a missing cache / text link / words
    // link, 30491 for an empty field list.
    void BuildIndex();

    // --- figures of the last build ----------------------------------------------
    int RecordsProcessed() const { return recordsProcessed_; }
    int BitSetSize() const { return bits_.Size(); }
    int MinIndex() const { return minIndex_; }
    int MaxIndex() const { return maxIndex_; }

private:
    void SetState(int state);
    void SwitchOn(int bit) { SetState(state_ | bit); }
    void SwitchOff(int bit) { SetState(state_ & ~bit); }
    void Start();
    void Run();
    void IndexWord(const QByteArray& word);
    void WriteCacheOut(int segment);
    void EnterOmitWords();
    void SaveProperties();

    TrbCache* cache_ = nullptr;
    std::unique_ptr<TrbCache> ownCache_; // when no cache is assigned and none is required
    TrbTextLink* textLink_ = nullptr;
    TrbWordsLink* wordsLink_ = nullptr;
    TrbEngineListener* listener_ = nullptr;
    TrbWordParser parser_;
    TrbParams params_;
    int segmentSize_ = Unsegmented;
    int firstSegment_ = 0;
    int lastSegment_ = MaxLastSegment;
    int counterLimit_ = 0;
    int state_ = 0;

    // the running build
    TrbBitSet bits_;
    int minIndex_ = 0;
    int maxIndex_ = -1;
    int currentBit_ = 0;
    qint64 seenMark_ = 0;
    int recordsProcessed_ = 0;
};
