#include "fulltext/Make.h"

#include "fulltext/Cache.h"
#include "fulltext/EngineListener.h"
#include "fulltext/EngineState.h"
#include "fulltext/PropertiesBlock.h"
#include "fulltext/Quelvan.h"
#include "fulltext/SoundAlike.h"
#include "fulltext/TextLink.h"
#include "fulltext/WordsLink.h"

#include <algorithm>

namespace {

constexpr int kBuildBuckets = 10000;
constexpr int kMaxBuckets = 50000;

} // namespace

TrbMake::TrbMake() = default;
TrbMake::~TrbMake() = default;

void TrbMake::SetSegmentSize(int value) {
    if (value <= 0 || value > 2147483632)
        segmentSize_ = Unsegmented;
    else
        segmentSize_ = (value + 15) / 16 * 16;
}

void TrbMake::SetFirstSegment(int value) {
    if (value >= 0 && value <= lastSegment_ && value <= MaxLastSegment)
        firstSegment_ = value;
}

void TrbMake::SetLastSegment(int value) {
    if (value >= firstSegment_ && value <= MaxLastSegment)
        lastSegment_ = value;
}

void TrbMake::SetState(int state) {
    if (state == state_)
        return;
    const int previous = state_;
    state_ = state;
    if (listener_)
        listener_->StateChanged(state_, previous);
}

void TrbMake::RequestCancel() {
    SwitchOn(TrbEngineState::CancelRequested);
    parser_.SetStopRequested(true);
}

bool TrbMake::CancelRequested() const {
    return (state_ & TrbEngineState::CancelRequested) != 0;
}

void TrbMake::EnterOmitWords() {
    for (const QByteArray& word : parser_.OmitList())
        cache_->AddOmitWord(TrbWordParser::Fold(word)); // duplicates are ignored
}

void TrbMake::Start() {
    // A new build starts from exactly "active": a cancel left over from an
    // earlier run is gone.
    SetState(TrbEngineState::Active);
    parser_.SetStopRequested(false);
    if (!cache_ && params_.Flag(TrbParams::CacheRequired, true))
        EQuelvan::Raise(EQuelvan::CacheNotAssigned);
    if (!textLink_)
        EQuelvan::Raise(EQuelvan::TextLinkNotAssigned);
    if (!wordsLink_)
        EQuelvan::Raise(EQuelvan::WordsLinkNotAssigned);
    if (textLink_->FieldNames().isEmpty())
        EQuelvan::Raise(EQuelvan::NoFieldNamesSpecified);
    if (!textLink_->Active())
        EQuelvan::Raise(EQuelvan::TextDatasetClosed);
    if (!cache_) {
        ownCache_ = std::make_unique<TrbCache>();
        cache_ = ownCache_.get();
    }
}

void TrbMake::BuildIndex() {
    recordsProcessed_ = 0;
    try {
        Start();
    } catch (...) {
        SetState(0);
        throw;
    }
    const qint64 configuredLimit = cache_->MemoryLimitBytes();
    bool tableTouched = false;
    bool batchOpen = false;
    try {
        wordsLink_->SetSegmented(Segmented());
        wordsLink_->ResetCounters();
        tableTouched = true;
        wordsLink_->PrepareBuild();
        parser_.SetWordFieldSize(wordsLink_->WordFieldSize());

        textLink_->ResetIndexes();
        textLink_->PinMinIndex(std::nullopt);
        textLink_->PruneFieldNames();
        textLink_->BeginBatch();
        batchOpen = true;
        minIndex_ = textLink_->MinIndex();
        maxIndex_ = textLink_->MaxIndex();
        const qint64 range = qint64(maxIndex_) - minIndex_ + 1;
        bits_ = TrbBitSet(int(std::clamp<qint64>(range, 0, segmentSize_)));
        cache_->Reset(kBuildBuckets, kMaxBuckets);
        cache_->SetWorkingBits(bits_.Size());

        Run();

        SwitchOff(TrbEngineState::Active);
        const bool cancelled = CancelRequested();
        if (!cancelled)
            SaveProperties();
        batchOpen = false;
        textLink_->EndBatch();
        if (cancelled) {
            wordsLink_->DiscardTable();
        } else {
            SwitchOn(TrbEngineState::Indexing);
            wordsLink_->AddIndexes();
            SwitchOff(TrbEngineState::Indexing);
            wordsLink_->FinishBuild();
        }
    } catch (...) {
        // Leave the catalogue as it was and no half-built index behind.
        cache_->Clear();
        cache_->SetMemoryLimitBytes(configuredLimit);
        if (batchOpen) {
            try {
                textLink_->EndBatch();
            } catch (...) {
            }
        }
        if (tableTouched) {
            try {
                wordsLink_->EndWrites(false);
                wordsLink_->DiscardTable();
            } catch (...) {
            }
        }
        SetState(0);
        throw;
    }
    cache_->Clear();
    // The limit a build raised is for that build only.
    cache_->SetMemoryLimitBytes(configuredLimit);
    SetState(state_ & TrbEngineState::CancelRequested);
}

void TrbMake::Run() {
    SwitchOn(TrbEngineState::Building);
    EnterOmitWords();
    const int omitEntries = cache_->WordCount();
    textLink_->First();
    if (Segmented() && firstSegment_ > 0)
        textLink_->LocateFrom(int(std::min<qint64>(qint64(minIndex_) + qint64(firstSegment_) * segmentSize_,
                                                    0x7fffffff)));
    int currentSegment = -1;
    while (!textLink_->Eof() && !CancelRequested()) {
        if (counterLimit_ > 0 && recordsProcessed_ >= counterLimit_)
            break;
        const int value = textLink_->IndexValue();
        const qint64 position = qint64(value) - minIndex_;
        if (position < 0 || position > maxIndex_ - qint64(minIndex_))
            EQuelvan::Raise(EQuelvan::DictionaryInvalidated); // the order does not hold
        const int segment = Segmented() ? int(position / segmentSize_) : 0;
        if (segment > lastSegment_)
            break;
        ++recordsProcessed_;
        seenMark_ = cache_->Counter();
        if (segment != currentSegment) {
            if (cache_->WordCount() > omitEntries)
                WriteCacheOut(currentSegment);
            currentSegment = segment;
            seenMark_ = cache_->Counter();
        }
        currentBit_ = int(position - qint64(segment) * segmentSize_);
        textLink_->ProcessRecord(parser_, [this](const QByteArray& word) { IndexWord(word); });
        textLink_->Next();
        if (listener_)
            listener_->ProcessEvents();
    }
    if (cache_->WordCount() > omitEntries && !CancelRequested())
        WriteCacheOut(currentSegment);
    SwitchOff(TrbEngineState::Building);
}

void TrbMake::IndexWord(const QByteArray& word) {
    const TrbCache::TLookup found = cache_->LookUpForChange(word, seenMark_, true);
    if (found.found != TrbCache::TFound::Working)
        return; // a stop word, or this record set its bit already
    found.record->bits.Set(currentBit_);
    cache_->MemoryCheck(TrbCache::TEngineKind::Build);
}

void TrbMake::WriteCacheOut(int segment) {
    SetState((state_ & ~TrbEngineState::Building) | TrbEngineState::Writing);
    wordsLink_->BeginWrites();
    cache_->Iterate(
        [&](const QByteArray& word, TrbCache::TRecord* record, bool& remove) {
            if (CancelRequested())
                return false;
            if (!record)
                return true;
            wordsLink_->Insert();
            wordsLink_->SetLike(TrbSoundAlike::Key(word));
            wordsLink_->SetSegment(segment);
            wordsLink_->SetWord(word);
            wordsLink_->WriteRecord(TrbCache::StoredForm(*record));
            wordsLink_->Post();
            if (listener_)
                listener_->RowPosted();
            remove = true;
            return true;
        },
        /*clear*/ true);
    wordsLink_->EndWrites(true);
    // The stop words must keep being ignored in the next segment.
    EnterOmitWords();
    SetState((state_ & ~TrbEngineState::Writing) | TrbEngineState::Building);
}

void TrbMake::SaveProperties() {
    if (!params_.Flag(TrbParams::SaveProperties, true) || !wordsLink_->Params().Flag(TrbParams::SaveProperties, true))
        return;
    TrbIndexProperties properties;
    properties.fieldNames = textLink_->FieldNames();
    properties.indexFieldName = textLink_->IndexFieldName();
    properties.minWordLen = parser_.MinWordLen();
    for (const QByteArray& word : parser_.OmitList())
        properties.omitList << TrbWordParser::Fold(word);
    properties.segmentSize = Segmented() ? segmentSize_ : 0;
    properties.wordDelims = parser_.WordDelims();
    properties.ansi = true;
    properties.phrasePairs = false;
    // An empty catalogue fixes no record numbers yet.
    std::optional<int> min;
    if (maxIndex_ >= minIndex_)
        min = minIndex_;
    wordsLink_->WriteProperties(properties, min);
}
