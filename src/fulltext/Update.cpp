#include "fulltext/Update.h"

#include "fulltext/BitRecord.h"
#include "fulltext/EngineListener.h"
#include "fulltext/EngineState.h"
#include "fulltext/PropertiesBlock.h"
#include "fulltext/Quelvan.h"
#include "fulltext/SoundAlike.h"
#include "fulltext/TextLink.h"
#include "fulltext/WordsLink.h"

#include <algorithm>

namespace {

constexpr int kUpdateBuckets = 5000;
constexpr int kMaxSegmentNumber = 32767; // "rbSegment" is a 16-bit column

} // namespace

TrbUpdate::TrbUpdate() = default;
TrbUpdate::~TrbUpdate() = default;

void TrbUpdate::SetState(int state) {
    if (state == state_)
        return;
    const int previous = state_;
    state_ = state;
    if (listener_)
        listener_->StateChanged(state_, previous);
}

void TrbUpdate::SetDelayedWrites(bool value) {
    if (delayedWrites_ && !value && cache_ && wordsLink_ && wordsLink_->Active())
        WriteChanges();
    delayedWrites_ = value;
}

// ---------------------------------------------------------------- steps

void TrbUpdate::BeginStep() {
    if (!cache_)
        EQuelvan::Raise(EQuelvan::CacheNotAssigned);
    if (!textLink_)
        EQuelvan::Raise(EQuelvan::TextLinkNotAssigned);
    if (!wordsLink_)
        EQuelvan::Raise(EQuelvan::WordsLinkNotAssigned);
    SetState(state_ | TrbEngineState::Updating);
    try {
        if (!textLink_->Active())
            EQuelvan::Raise(EQuelvan::TextDatasetClosed);
        if (!wordsLink_->Active())
            wordsLink_->Open();
        if (!wordsLink_->PropertiesRead())
            ReadProperties();
        cache_->Resize(kUpdateBuckets);
    } catch (...) {
        EndStep();
        throw;
    }
}

void TrbUpdate::EndStep() {
    SetState(state_ & ~TrbEngineState::Updating);
}

void TrbUpdate::ReadProperties() {
    std::optional<int> minIndex;
    const TrbIndexProperties properties = wordsLink_->ReadProperties(&minIndex);
    if (properties.segmentSize < 0 || properties.segmentSize % 16 != 0 || properties.fieldNames.isEmpty())
        EQuelvan::Raise(EQuelvan::PropertiesNotFound); // not a block a build wrote
    parser_.SetMinWordLen(properties.minWordLen);
    parser_.SetOmitList(properties.omitList);
    parser_.SetWordDelims(properties.wordDelims);
    parser_.SetWordFieldSize(wordsLink_->WordFieldSize());
    if (segmentSize_ != properties.segmentSize) {
        // Cached rows belong to the old segmentation.
        WriteChanges();
        cache_->Clear();
        currentSegment_ = -1;
    }
    segmentSize_ = properties.segmentSize;
    textLink_->SetFieldNames(properties.fieldNames);
    if (!properties.indexFieldName.isEmpty())
        textLink_->SetIndexFieldName(properties.indexFieldName);
    textLink_->PinMinIndex(minIndex);
    wordsLink_->SetPropertiesRead(true);
    // The stop words are those of the index just read (a rebuild may have
    // changed them); marks of a step in progress stay.
    for (auto it = wordSet_.begin(); it != wordSet_.end();)
        it = it.value() == MarkNone ? wordSet_.erase(it) : std::next(it);
    EnterOmitWords();
}

void TrbUpdate::EnterOmitWords() {
    for (const QByteArray& word : parser_.OmitList())
        wordSet_.insert(TrbWordParser::Fold(word), MarkNone);
}

void TrbUpdate::EnsureBits(int bits) {
    if (bits > bits_.Size())
        bits_.Resize(bits);
    cache_->SetWorkingBits(bits_.Size());
}

void TrbUpdate::LocateRecord() {
    const int value = textLink_->IndexValue();
    const int minIndex = textLink_->MinIndex();
    if (value < minIndex)
        EQuelvan::Raise(EQuelvan::DictionaryInvalidated);
    textLink_->RaiseMaxIndex(value);
    const qint64 range = qint64(textLink_->MaxIndex()) - minIndex + 1;
    const qint64 position = qint64(value) - minIndex;
    const int segment = Segmented() ? int(position / segmentSize_) : 0;
    if (segment > kMaxSegmentNumber)
        EQuelvan::Raise(EQuelvan::InvalidParameter);
    EnsureBits(int(Segmented() ? std::min<qint64>(range, segmentSize_) : std::min<qint64>(range, TrbBitSet::MaxSize)));
    recordValue_ = value;
    segment_ = segment;
    bit_ = int(position - qint64(segment) * (Segmented() ? segmentSize_ : 0));
}

void TrbUpdate::SwitchSegment() {
    if (segment_ == currentSegment_)
        return;
    WriteChanges();
    cache_->Clear();
    currentSegment_ = segment_;
}

void TrbUpdate::DropMarkedWords() {
    for (auto it = wordSet_.begin(); it != wordSet_.end();)
        it = it.value() != MarkNone ? wordSet_.erase(it) : std::next(it);
}

// ---------------------------------------------------------------- events

void TrbUpdate::PrepareInsert() {
    phase_ = TPhase::InsertPending;
}

// Marks the words of the current record as its old words.
void TrbUpdate::CaptureCurrentWords() {
    BeginStep();
    try {
        LocateRecord();
        DropMarkedWords();
        textLink_->ProcessRecord(parser_, [this](const QByteArray& word) {
            if (!wordSet_.contains(word))
                wordSet_.insert(word, MarkOld);
        });
    } catch (...) {
        EndStep();
        throw;
    }
    EndStep();
}

void TrbUpdate::CaptureOldText() {
    phase_ = TPhase::OldTextCaptured;
    CaptureCurrentWords();
}

void TrbUpdate::CaptureDelete() {
    if (phase_ == TPhase::OldTextCaptured)
        return;
    phase_ = TPhase::DeleteCaptured;
    CaptureCurrentWords();
}

void TrbUpdate::ApplyRecord() {
    BeginStep();
    // On failure the phase and the marks stay, so that a retry after Reset()
    // finishes the same step.
    try {
        LocateRecord();
        SwitchSegment();
        if (phase_ == TPhase::OldTextCaptured)
            phase_ = TPhase::ApplyingEdit;
        if (phase_ != TPhase::ApplyingEdit)
            DropMarkedWords();
        const TPhase phase = phase_;
        textLink_->ProcessRecord(parser_, [this, phase](const QByteArray& word) {
            if (phase != TPhase::ApplyingEdit && phase != TPhase::InsertPending)
                return;
            auto it = wordSet_.find(word);
            if (it != wordSet_.end()) {
                if (phase == TPhase::ApplyingEdit && it.value() != MarkNone)
                    it.value() = MarkNew; // in the old text and in the new one: no change
                return;
            }
            wordSet_.insert(word, MarkNew);
            try {
                ChangeWordBit(word, true);
            } catch (...) {
                wordSet_.remove(word);
                throw;
            }
        });
        if (phase_ == TPhase::ApplyingEdit) {
            QList<QByteArray> gone;
            for (auto it = wordSet_.cbegin(); it != wordSet_.cend(); ++it)
                if (it.value() == MarkOld)
                    gone << it.key();
            for (const QByteArray& word : gone) {
                wordSet_.remove(word);
                try {
                    ChangeWordBit(word, false);
                } catch (...) {
                    wordSet_.insert(word, MarkOld);
                    throw;
                }
            }
        }
    } catch (...) {
        EndStep();
        throw;
    }
    phase_ = TPhase::Idle;
    EndStep();
}

void TrbUpdate::ApplyDelete() {
    if (phase_ != TPhase::DeleteCaptured)
        return;
    BeginStep();
    try {
        // The position of a record is its number minus the lowest number;
        // removing that lowest record would shift every position unless the
        // index fixed it when it was built.
        if (recordValue_ == textLink_->MinIndex() && !textLink_->MinIndexPinned())
            EQuelvan::Raise(EQuelvan::DictionaryInvalidated);
        SwitchSegment();
        QList<QByteArray> gone;
        for (auto it = wordSet_.cbegin(); it != wordSet_.cend(); ++it)
            if (it.value() == MarkOld)
                gone << it.key();
        for (const QByteArray& word : gone) {
            wordSet_.remove(word);
            ChangeWordBit(word, false);
        }
    } catch (...) {
        EndStep();
        throw;
    }
    phase_ = TPhase::Idle;
    EndStep();
}

void TrbUpdate::Refresh() {
    if (wordsLink_)
        wordsLink_->SetPropertiesRead(false);
    BeginStep();
    EndStep();
}

void TrbUpdate::Reset() {
    if (cache_ && wordsLink_ && wordsLink_->Active()) {
        try {
            WriteChanges();
        } catch (...) {
            // The reset goes on: it is what recovers from a failed step.
        }
    }
    if (cache_)
        cache_->Clear();
    bits_ = TrbBitSet();
    currentSegment_ = -1;
    if (textLink_) {
        textLink_->ResetIndexes();
        textLink_->PinMinIndex(std::nullopt);
    }
    if (wordsLink_)
        wordsLink_->SetPropertiesRead(false);
}

void TrbUpdate::WriteChanges() {
    if (!cache_ || !wordsLink_)
        return;
    cache_->Iterate(
        [this](const QByteArray& word, TrbCache::TRecord* record, bool&) {
            if (record && record->unwritten)
                WriteWord(word, *record);
            return true;
        },
        /*clear*/ false);
}

void TrbUpdate::FlushCache() {
    WriteChanges();
    if (cache_)
        cache_->Clear();
    currentSegment_ = -1;
}

// ---------------------------------------------------------------- rows

void TrbUpdate::LoadRow(const QByteArray& word, TrbCache::TRecord& record) {
    (void)word;
    const QByteArray stored = wordsLink_->ReadRecord();
    const TrbBitRecord::THeader header = TrbBitRecord::ReadHeader(stored);
    // A row may hold bits of records above the current range (records
    // deleted at the top): the working size grows to take them, within the
    // segment.
    qint64 needed = header.compressed ? qint64(header.last) + 1 : qint64(header.size - 8) * 8;
    const qint64 limit = Segmented() ? segmentSize_ : qint64(TrbBitSet::MaxSize);
    if (header.compressed && needed > limit)
        EQuelvan::Raise(EQuelvan::DecompressBufferTooSmall);
    needed = std::min(needed, limit);
    if (needed > bits_.Size())
        EnsureBits(int(needed));
    if (record.bits.Size() != bits_.Size())
        record.bits.Resize(bits_.Size());
    TrbBitRecord::Decompress(stored, record.bits);
}

void TrbUpdate::WriteWord(const QByteArray& word, TrbCache::TRecord& record) {
    const QByteArray stored = TrbCache::StoredForm(record);
    try {
        if (wordsLink_->FindWord(word, currentSegment_)) {
            wordsLink_->Edit();
        } else {
            wordsLink_->Insert();
            wordsLink_->SetLike(TrbSoundAlike::Key(word));
            wordsLink_->SetSegment(currentSegment_);
            wordsLink_->SetWord(word);
        }
        wordsLink_->WriteRecord(stored);
        wordsLink_->Post();
    } catch (...) {
        try {
            wordsLink_->Cancel();
        } catch (...) {
        }
        throw;
    }
    record.unwritten = false;
    if (listener_)
        listener_->RowPosted();
}

void TrbUpdate::ChangeWordBit(const QByteArray& word, bool set) {
    cache_->MemoryCheck(TrbCache::TEngineKind::Update,
                        [this](const QByteArray& evicted, TrbCache::TRecord& record) { WriteWord(evicted, record); });
    if (wordSet_.value(word, -1) == MarkNone)
        return; // a stop word
    const TrbCache::TLookup found = cache_->LookUpForChange(word, TrbCache::NoSeenMark, true);
    if (found.found != TrbCache::TFound::Working)
        return;
    TrbCache::TRecord& record = *found.record;
    bool rowFound = false;
    if (found.isNew) {
        try {
            rowFound = wordsLink_->FindWord(word, currentSegment_);
            if (rowFound)
                LoadRow(word, record);
        } catch (...) {
            // A row that cannot be read stays as it is; the cache forgets it.
            cache_->Remove(word);
            throw;
        }
        if (!rowFound && !set) {
            // Nothing stored, nothing to clear (the record was never indexed
            // under this word).
            cache_->Remove(word);
            return;
        }
    }
    if (bit_ >= record.bits.Size())
        record.bits.Resize(bits_.Size());
    record.bits.Assign(bit_, set);
    if (record.bits.First() < 0) {
        cache_->Remove(word);
        if (found.isNew ? rowFound : wordsLink_->FindWord(word, currentSegment_))
            wordsLink_->Delete();
        return;
    }
    if (delayedWrites_) {
        record.unwritten = true;
        return;
    }
    try {
        WriteWord(word, record);
    } catch (...) {
        // Kept as unwritten, the change is written by a later flush.
        record.unwritten = true;
        throw;
    }
}
