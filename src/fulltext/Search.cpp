#include "fulltext/Search.h"

#include "fulltext/BitRecord.h"
#include "fulltext/EngineListener.h"
#include "fulltext/EngineState.h"
#include "fulltext/Expression.h"
#include "fulltext/Quelvan.h"
#include "fulltext/SearchWildCard.h"
#include "fulltext/SoundAlike.h"
#include "fulltext/TextADSLink.h"
#include "fulltext/TextLink.h"
#include "fulltext/WordParser.h"
#include "fulltext/WordsLink.h"
#include "platform/Ansi.h"
#include "store/AdsTable.h"
#include "store/Field.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace {

// Whole-range sets of one search all have the same size.
void AndInto(TrbBitSet& target, const TrbBitSet& other) {
    std::uint8_t* t = target.Bytes();
    const std::uint8_t* o = other.Bytes();
    const int n = std::min(target.ByteCount(), other.ByteCount());
    for (int i = 0; i < n; ++i)
        t[i] &= o[i];
    for (int i = n; i < target.ByteCount(); ++i)
        t[i] = 0;
}

void OrInto(TrbBitSet& target, const TrbBitSet& other) {
    std::uint8_t* t = target.Bytes();
    const std::uint8_t* o = other.Bytes();
    const int n = std::min(target.ByteCount(), other.ByteCount());
    for (int i = 0; i < n; ++i)
        t[i] |= o[i];
    target.ClearPadding();
}

void Invert(TrbBitSet& target) {
    std::uint8_t* t = target.Bytes();
    for (int i = 0; i < target.ByteCount(); ++i)
        t[i] = std::uint8_t(~t[i]);
    target.ClearPadding();
}

bool AndLike(TrbSearchLogic logic) {
    return logic == slAnd || logic == slPhrase || logic == slNear || logic == slLike;
}

QByteArray FoldWith(QByteArrayView text, const unsigned char* table) {
    QByteArray out(text.constData(), text.size());
    for (char& c : out)
        c = char(table[static_cast<unsigned char>(c)]);
    return out;
}

QByteArray Reversed(QByteArrayView text) {
    QByteArray out(text.constData(), text.size());
    std::reverse(out.begin(), out.end());
    return out;
}

// Unsegmented rows are decoded into a set as large as their highest bit; a
// damaged row must not make that an unbounded allocation.
constexpr qint64 kMaxUnsegmentedBits = qint64(1) << 26;

const QStringList kDefaultTokens = {QStringLiteral("and"), QStringLiteral("or"), QStringLiteral("not"),
                                    QStringLiteral("like"), QStringLiteral("near")};

} // namespace

// Reads the words of a catalogue record field by field, and finds records by
// number, for the candidate check, ranking and navigation.
//
// On the program's table layer with a number tag, Locate reads the record
// straight from the table: a seek on the tag for its record number, then one
// query for the number and the fields (notes included). The catalogue's
// cursor, order and view are not touched, so a check costs the same however
// large the catalogue is, and every record is read as it is stored at that
// moment (a series of them, between Begin and End, in one read transaction).
// On other text links (or without a number tag) it walks the link in a batch
// and goes through ProcessRecord one field at a time.
//
// Words are handed on as views into a buffer of the reader's own, valid
// until the next field: a record of a few hundred words costs no allocation
// per word.
class TrbSearch::TRecordReader {
public:
    using TWords = std::vector<QByteArrayView>;

    TRecordReader(TrbTextLink& link, const TrbWordDelims& delims) : link_(link), delims_(delims) {
        ads_ = dynamic_cast<TrbTextADSLink*>(&link);
        names_ = link.SubFieldNames().isEmpty() ? link.FieldNames() : link.SubFieldNames();
        if (ads_) {
            TAdsTable& table = ads_->Table();
            for (const QString& tag : table.IndexNames())
                if (tag.compare(link.IndexFieldName(), Qt::CaseInsensitive) == 0)
                    tag_ = tag;
            for (const QString& name : names_)
                if (TField* field = table.FindField(name))
                    fields_.push_back(field);
            number_ = table.FindField(link.IndexFieldName());
            if (!number_)
                EQuelvan::Raise(EQuelvan::MissingIndexFieldName);
            columns_.push_back(number_->Index());
            for (TField* field : fields_)
                columns_.push_back(field->Index());
        }
        parser_.SetMinWordLen(1);
        parser_.SetWordFieldSize(TrbWordParser::MaxRunLength);
        parser_.SetWordDelims(delims.Caret());
    }

    // Before and after a series of Locate calls. A walk in record-number
    // order puts the user's view back at End(); a direct reader has no walk,
    // but stores a pending edit first as the walk would.
    void Begin() {
        if (!Direct())
            return link_.BeginBatch();
        if (!link_.Active())
            EQuelvan::Raise(EQuelvan::TextDatasetClosed);
        TAdsTable& table = ads_->Table();
        table.CheckBrowseMode();
        // The series of reads shares one read transaction.
        table.BeginReads();
    }
    void End() {
        if (!Direct())
            return link_.EndBatch();
        ads_->Table().EndReads();
    }

    // Between Begin and End: makes the record with this number the one
    // ForEachField reads. False when there is none.
    bool Locate(int number) {
        if (Direct()) {
            TAdsTable& table = ads_->Table();
            const qint64 recno = table.SeekRecNo(tag_, {number});
            // A record deleted since the seek reads as missing.
            return recno != 0 && table.ReadFields(recno, columns_, values_) &&
                   number_->IntegerOf(values_.front()) == number;
        }
        link_.LocateFrom(number);
        return !link_.Eof() && link_.IndexValue() == number;
    }

    // Outside a batch: positions the catalogue on the record in its current
    // order and view.
    bool Navigate(int number) {
        if (ads_ && !tag_.isEmpty()) {
            TAdsTable& table = ads_->Table();
            table.CheckBrowseMode();
            const QString saved = table.IndexName();
            table.SetIndexName(tag_);
            const bool found = table.FindKey({number});
            table.SetIndexName(saved);
            return found && !table.Eof() && number_->AsInteger() == number;
        }
        link_.LocateFrom(number);
        return !link_.Eof() && link_.IndexValue() == number;
    }

    // Hands each field's words (folded, split, no length or acceptance
    // rule) of the located record to `onField` until it answers true
    // (decided). Returns whether it did.
    bool ForEachField(const std::function<bool(const TWords&)>& onField) {
        if (ads_) {
            for (size_t i = 0; i < fields_.size(); ++i) {
                const TField& field = *fields_[i];
                const QVariant value = Direct() ? values_[i + 1] : field.Value();
                if (!value.isValid() || value.isNull())
                    continue;
                words_.clear();
                switch (field.DataType()) {
                case TFieldType::Char:
                case TFieldType::Memo:
                case TFieldType::Image:
                case TFieldType::Binary:
                    folded_ = field.BytesOf(value);
                    TrbWordParser::FoldInPlace(folded_);
                    TrbWordParser::SplitInto(folded_, delims_, words_);
                    break;
                case TFieldType::Raw:
                    continue;
                default:
                    folded_ = TAnsi::FromUnicode(field.TextOf(value));
                    TrbWordParser::FoldInPlace(folded_);
                    if (!folded_.isEmpty())
                        words_.push_back(QByteArrayView(folded_).first(
                            std::min<qsizetype>(folded_.size(), TrbWordParser::MaxRunLength)));
                    break;
                }
                if (!words_.empty() && onField(words_))
                    return true;
            }
            return false;
        }
        const QStringList saved = link_.FieldNames();
        bool decided = false;
        try {
            for (const QString& name : names_) {
                stored_.clear();
                link_.SetFieldNames({name});
                link_.ProcessRecord(parser_, [&](const QByteArray& word) { stored_.append(word); });
                words_.assign(stored_.cbegin(), stored_.cend());
                if (!words_.empty() && onField(words_)) {
                    decided = true;
                    break;
                }
            }
        } catch (...) {
            link_.SetFieldNames(saved);
            throw;
        }
        link_.SetFieldNames(saved);
        return decided;
    }

private:
    // Reads records from the table directly (see the class comment).
    bool Direct() const { return ads_ && !tag_.isEmpty(); }

    TrbTextLink& link_;
    TrbTextADSLink* ads_ = nullptr;
    TrbWordDelims delims_;
    QStringList names_;
    QString tag_;
    std::vector<TField*> fields_;
    TField* number_ = nullptr;
    std::vector<int> columns_;    // the number field, then fields_ (direct reads)
    std::vector<QVariant> values_; // the located record's values of columns_
    QByteArray folded_;           // the current field's text, folded
    QList<QByteArray> stored_;    // the current field's words from ProcessRecord
    TWords words_;
    TrbWordParser parser_;
};

// Tells which query words a record word counts as in the candidate check:
// query word i when the word's first WordFieldSize bytes were entered for it
// (so wildcard and like expansions count), or when it equals query word i.
// A record word whose first byte and length fit no entered word and no query
// word counts as none without a hash look-up: most words of a record are
// turned away so.
class TrbSearch::TWordMatcher {
public:
    TWordMatcher(const QList<QByteArray>& query, const QHash<QByteArray, QList<int>>& local, int fieldSize)
        : query_(query), local_(local), fieldSize_(fieldSize) {
        usable_ = fieldSize_ > 0;
        for (auto it = local.constBegin(); it != local.constEnd() && usable_; ++it)
            Mark(it.key());
        for (const QByteArray& word : query)
            Mark(word);
    }

    int Size() const { return int(query_.size()); }
    const QByteArray& Query(int i) const { return query_[i]; }

    // The query-word numbers (1-based) the word was entered for; null when
    // none. Looked up through a QByteArray over the word's bytes, not a copy.
    const QList<int>* Entered(QByteArrayView word) const {
        if (!Possible(word))
            return nullptr;
        const qsizetype size = std::clamp<qsizetype>(fieldSize_, 0, word.size());
        const auto it = local_.constFind(QByteArray::fromRawData(word.data(), size));
        return it != local_.constEnd() ? &it.value() : nullptr;
    }
    // Whether the word counts as query word i; `entered` from Entered(word).
    bool Found(int i, QByteArrayView word, const QList<int>* entered) const {
        return (entered && entered->contains(i + 1)) || word == QByteArrayView(query_[i]);
    }
    // Whether the word may count as any query word (false: it counts as none).
    bool Possible(QByteArrayView word) const {
        if (!usable_ || word.isEmpty() || word.size() >= 64)
            return true;
        const std::uint64_t lengths = lengths_[static_cast<unsigned char>(word.front())];
        const qsizetype cut = std::min<qsizetype>(word.size(), fieldSize_);
        return ((lengths >> word.size()) | (lengths >> cut)) & 1u;
    }

private:
    // Notes a word that record words may equal (or begin with, cut to the
    // field size) by its first byte and length.
    void Mark(const QByteArray& word) {
        if (word.isEmpty() || word.size() >= 64) {
            usable_ = false; // beyond the filter: every word is looked up
            return;
        }
        lengths_[static_cast<unsigned char>(word.front())] |= std::uint64_t(1) << word.size();
    }

    const QList<QByteArray>& query_;
    const QHash<QByteArray, QList<int>>& local_;
    int fieldSize_;
    bool usable_ = true;
    std::array<std::uint64_t, 256> lengths_{}; // by first byte: one bit per length
};

TrbSearch::TrbSearch() : tokens_(kDefaultTokens) {}

TrbSearch::~TrbSearch() = default;

void TrbSearch::SetAnyChar(char c) {
    if (c != oneChar_)
        anyChar_ = c;
}

void TrbSearch::SetOneChar(char c) {
    if (c != anyChar_)
        oneChar_ = c;
}

void TrbSearch::SetNearWord(int value) {
    if (value > 0)
        nearWord_ = value;
}

void TrbSearch::SetTokens(const QStringList& tokens) {
    tokens_ = tokens.isEmpty() ? kDefaultTokens : tokens;
}

void TrbSearch::SetRankLimit(int value) {
    if (value >= 0 && value <= MaxRankLimit)
        rankLimit_ = value;
}

void TrbSearch::SetState(int state) {
    const int previous = state_;
    state_ = state;
    if (listener_ && previous != state)
        listener_->StateChanged(state, previous);
}

void TrbSearch::SetMatching(bool on) {
    SetState(on ? state_ | TrbEngineState::Matching : state_ & ~TrbEngineState::Matching);
}

void TrbSearch::ResetSearch() {
    propertiesLoaded_ = false;
    wordSets_.clear();
    if (wordsLink_)
        wordsLink_->SetPropertiesRead(false);
    if (textLink_)
        textLink_->ResetIndexes();
    // Switching the searching state on and off tells observers the engine
    // was reset.
    SetState(state_ | TrbEngineState::Searching);
    SetState(state_ & ~TrbEngineState::Searching);
}

void TrbSearch::ReadProperties() {
    std::optional<int> minIndex;
    const TrbIndexProperties properties = wordsLink_->ReadProperties(&minIndex);
    if (properties.segmentSize < 0 || properties.segmentSize % 16 != 0 || properties.fieldNames.isEmpty())
        EQuelvan::Raise(EQuelvan::PropertiesNotFound); // not a block a build wrote
    properties_ = properties;
    for (QByteArray& word : properties_.omitList)
        word = TrbWordParser::Fold(word);
    indexDelims_.SetCaret(properties.wordDelims);
    segmentSize_ = properties.segmentSize;
    textLink_->SetFieldNames(properties.fieldNames);
    if (!properties.indexFieldName.isEmpty())
        textLink_->SetIndexFieldName(properties.indexFieldName);
    textLink_->PinMinIndex(minIndex);
    // The update engine keeps its own copy of the properties and its own use
    // of the link's mark; the search never sets it.
    propertiesLoaded_ = true;
    wordSets_.clear();
}

void TrbSearch::Tick() {
    if (onSearch_)
        onSearch_();
    if (listener_)
        listener_->ProcessEvents();
    CheckTime();
}

void TrbSearch::CheckTime() {
    if (!timeLimitActive_ || timer_.elapsed() <= timeLimit_)
        return;
    timeLimitActive_ = false;
    const bool goOn = onTimeout_ ? onTimeout_() : false;
    if (!goOn)
        cancelRequested_ = true;
}

void TrbSearch::Search() {
    SetState(state_ | TrbEngineState::Searching);
    struct TLeave {
        TrbSearch& s;
        ~TLeave() { s.SetState(s.state_ & ~(TrbEngineState::Searching | TrbEngineState::Verifying)); }
    } leave{*this};

    if (!textLink_)
        EQuelvan::Raise(EQuelvan::TextLinkNotAssigned);
    if (!wordsLink_)
        EQuelvan::Raise(EQuelvan::WordsLinkNotAssigned);
    // Every look-up of the search, in both tables, shares one read
    // transaction per table (no file locking per query).
    textLink_->BeginReads();
    wordsLink_->BeginReads();
    struct TEndReads {
        TrbSearch& s;
        ~TEndReads() {
            try {
                s.wordsLink_->EndReads();
                s.textLink_->EndReads();
            } catch (...) {
                // Ending a read-only transaction loses nothing.
            }
        }
    } endReads{*this};
    timer_.start();
    cancelRequested_ = false;
    cancelled_ = false;
    timeLimitActive_ = timeLimit_ > 0;
    errorPosition_ = 0;
    if (!propertiesLoaded_)
        ReadProperties();
    queryDelims_ = indexDelims_;
    queryDelims_.Remove(static_cast<unsigned char>(anyChar_));
    queryDelims_.Remove(static_cast<unsigned char>(oneChar_));

    std::unique_ptr<TrbBitSet> previous;
    if (mode_ != smSearch && hasResult_)
        previous = std::make_unique<TrbBitSet>(result_);
    const int oldMin = minIndex_;
    minIndex_ = textLink_->MinIndex();
    const qint64 maxIndex = textLink_->MaxIndex();
    const qint64 range = maxIndex - minIndex_ + 1;
    rangeBits_ = int(std::clamp<qint64>(range, 0, TrbBitSet::MaxSize));
    hasResult_ = false;
    result_ = TrbBitSet(rangeBits_);
    searchWords_.clear();
    notFound_.clear();
    queryWords_.clear();
    existing_.reset();
    rankBuilt_ = false;
    rankTable_.clear();
    reader_ = std::make_unique<TRecordReader>(*textLink_, indexDelims_);

    const QByteArray text = TAnsi::FromUnicode(searchFor_);
    if (logic_ == slExpression || logic_ == slSmart) {
        RunExpression(text, logic_ == slSmart);
    } else {
        if (AndLike(logic_))
            result_.SetAll();
        EvaluateWords(text, logic_, result_);
    }

    if (previous) {
        // The previous result, on today's record range.
        TrbBitSet kept(rangeBits_);
        if (oldMin == minIndex_) {
            previous->Resize(rangeBits_);
            kept = *previous;
        }
        if (mode_ == smNarrow)
            AndInto(result_, kept);
        else
            OrInto(result_, kept);
    }
    cancelled_ = cancelRequested_;
    hasResult_ = true;
    elapsed_ = timer_.elapsed();
}

void TrbSearch::RunExpression(const QByteArray& text, bool smart) {
    TCompiler compiler(tokens_);
    TCompile code;
    try {
        compiler.Compile(text, code);
    } catch (const EExpression& error) {
        if (smart && error.Code() == EQuelvan::SyntaxError && compiler.OnlyWords()) {
            result_.SetAll();
            EvaluateWords(text, slAnd, result_);
            return;
        }
        errorPosition_ = error.Position();
        throw;
    }
    if (code.Empty())
        return; // nothing but blanks: no result
    TExecutor executor(*this);
    result_ = executor.Execute(code);
}

QList<QByteArray> TrbSearch::SplitQuery(const QByteArray& folded, bool) const {
    QList<QByteArray> words;
    if (onParseWord_) {
        QByteArrayView rest(folded);
        while (!rest.isEmpty()) {
            const qsizetype before = rest.size();
            const QByteArray word = onParseWord_(rest);
            if (rest.size() >= before || rest.data() < folded.constData() ||
                rest.data() + rest.size() != folded.constData() + folded.size())
                EQuelvan::Raise(EQuelvan::InvalidParameter);
            if (!word.isEmpty())
                words.append(word);
        }
        return words;
    }
    TrbWordParser::Split(folded, queryDelims_, [&](QByteArrayView word) {
        if (!word.isEmpty())
            words.append(word.toByteArray());
    });
    return words;
}

bool TrbSearch::EvaluateWords(const QByteArray& text, TSearchLogic logic, TrbBitSet& result) {
    if (result.Size() != rangeBits_)
        result.Resize(rangeBits_);
    QHash<QByteArray, QList<int>> local;
    bool used = false;
    RunWordList(text, logic, result, used, local);
    if (Stopped()) {
        // An interrupted look-up leaves a set that was not fully combined.
        result.ClearAll();
        return used;
    }
    if (logic == slNot)
        AndInto(result, ExistingRecords());
    const bool hasSub = !textLink_->SubFieldNames().isEmpty();
    const bool lazy = logic == slPhrase && (options_ & soLazyPhrase);
    if ((hasSub || logic == slPhrase || logic == slNear) && !lazy)
        CandidateCheck(text, logic, result, local);
    return used;
}

void TrbSearch::RunWordList(const QByteArray& text, TSearchLogic logic, TrbBitSet& result, bool& used,
                            QHash<QByteArray, QList<int>>& local) {
    const QList<QByteArray> words = SplitQuery(TrbWordParser::Fold(text), false);
    const int fieldSize = wordsLink_->WordFieldSize();
    int number = 0;
    for (QByteArray word : words) {
        if (Stopped())
            break;
        if (onPreviewWord_)
            onPreviewWord_(word);
        word = word.left(fieldSize);
        ++number;
        if (word.isEmpty())
            continue;
        const bool hasAny = word.contains(anyChar_);
        if (logic != slLike &&
            ((word.size() < properties_.minWordLen && !hasAny) || properties_.omitList.contains(word)))
            continue;
        used = true;
        if (logic == slLike)
            LikeWord(word, number, result, local);
        else if (hasAny || word.contains(oneChar_) || international_)
            WildWord(word, number, logic, result, local);
        else
            ExactWord(word, number, logic, result, local);
    }
    if (logic == slNot)
        Invert(result);
    else if (!used)
        result.ClearAll();
}

void TrbSearch::EnterSearchWord(const QByteArray& word, int number, int records,
                                QHash<QByteArray, QList<int>>& local) {
    QList<int>& numbers = local[word];
    if (!numbers.contains(number))
        numbers.append(number);
    TSearchWord& entry = searchWords_[word];
    if (!entry.queryWords.contains(number))
        entry.queryWords.append(number);
    if (records >= 0)
        entry.records = records;
}

TrbBitSet TrbSearch::ReadRowsOfCurrentWord() {
    TrbBitSet full(rangeBits_);
    const QByteArray word = wordsLink_->Word();
    const bool segmented = segmentSize_ > 0;
    do {
        const QByteArray stored = wordsLink_->ReadRecord();
        const qint64 segment = segmented ? wordsLink_->Segment() : 0;
        const qint64 base = segment * (segmented ? segmentSize_ : 0);
        // Rows of positions beyond today's range hold only records that were
        // deleted since: nothing to read.
        if (segment >= 0 && base < rangeBits_) {
            qint64 bits = segmentSize_;
            if (!segmented) {
                const TrbBitRecord::THeader header = TrbBitRecord::ReadHeader(stored);
                bits = std::max<qint64>(rangeBits_, header.compressed ? qint64(header.last) + 1 : 0);
                if (bits > kMaxUnsegmentedBits)
                    EQuelvan::Raise(EQuelvan::DecompressBufferTooSmall);
            }
            TrbBitSet part{static_cast<int>(bits)};
            TrbBitRecord::Decompress(stored, part);
            full.CopyFrom(part, int(base));
        }
        wordsLink_->Next();
    } while (!wordsLink_->Eof() && wordsLink_->Word() == word);
    return full;
}

const TrbBitSet* TrbSearch::WordSet(const QByteArray& word) {
    const auto it = wordSets_.constFind(word);
    if (it != wordSets_.constEnd())
        return it.value().get();
    wordsLink_->SetIndexMode(TrbWordsLink::TIndexMode::Word);
    std::shared_ptr<TrbBitSet> set;
    if (word != TrbWordsLink::PropertiesWord() && wordsLink_->FindWord(word))
        set = std::make_shared<TrbBitSet>(ReadRowsOfCurrentWord());
    wordSets_.insert(word, set);
    return set.get();
}

void TrbSearch::ExactWord(const QByteArray& word, int number, TSearchLogic logic, TrbBitSet& result,
                          QHash<QByteArray, QList<int>>& local) {
    const TrbBitSet* set = WordSet(word);
    Tick();
    if (!set) {
        if (!notFound_.contains(word))
            notFound_.append(word);
        if (AndLike(logic))
            result.ClearAll();
        return;
    }
    EnterSearchWord(word, number, set->Count(), local);
    if (AndLike(logic))
        AndInto(result, *set);
    else
        OrInto(result, *set);
}

void TrbSearch::WildWord(const QByteArray& word, int number, TSearchLogic logic, TrbBitSet& result,
                         QHash<QByteArray, QList<int>>& local) {
    const unsigned char* intl = TAnsi::InternationalFoldTable();
    const QByteArray pattern = international_ ? FoldWith(word, intl) : word;
    qsizetype cut = 0;
    while (cut < pattern.size() && pattern[cut] != anyChar_ && pattern[cut] != oneChar_)
        ++cut;
    const QByteArray prefix = pattern.left(cut);
    // Check the pattern before any row is read.
    TrbSearchWildCard::Matches(QByteArrayView(), pattern, anyChar_, oneChar_);

    bool reverse = false;
    QByteArray reversePrefix;
    if (prefix.isEmpty()) {
        const QByteArray reversed = Reversed(pattern);
        qsizetype rcut = 0;
        while (rcut < reversed.size() && reversed[rcut] != anyChar_ && reversed[rcut] != oneChar_)
            ++rcut;
        reversePrefix = reversed.left(rcut);
        if (wordsLink_->ReverseField() && !reversePrefix.isEmpty())
            reverse = true;
        else if (properties_.phrasePairs)
            EQuelvan::Raise(EQuelvan::LeadingWildcardNotSupported);
    }

    TrbBitSet patternSet(rangeBits_);
    TrbBitSet& target = AndLike(logic) ? patternSet : result;
    bool any = false;
    wordsLink_->SetIndexMode(reverse ? TrbWordsLink::TIndexMode::Reverse : TrbWordsLink::TIndexMode::Word);
    if (reverse)
        wordsLink_->FindPrefix(reversePrefix);
    else if (prefix.isEmpty())
        wordsLink_->First();
    else
        wordsLink_->FindPrefix(prefix);
    while (!wordsLink_->Eof() && !Stopped()) {
        const QByteArray rowWord = wordsLink_->Word();
        const QByteArray key = international_ ? FoldWith(rowWord, intl) : rowWord;
        if (reverse ? !Reversed(key).startsWith(reversePrefix) : !key.startsWith(prefix))
            break;
        if (rowWord != TrbWordsLink::PropertiesWord() &&
            TrbSearchWildCard::Matches(key, pattern, anyChar_, oneChar_)) {
            std::shared_ptr<TrbBitSet> set;
            const auto it = wordSets_.constFind(rowWord);
            if (it != wordSets_.constEnd() && it.value()) {
                set = it.value();
                while (!wordsLink_->Eof() && wordsLink_->Word() == rowWord)
                    wordsLink_->Next();
            } else {
                set = std::make_shared<TrbBitSet>(ReadRowsOfCurrentWord());
                wordSets_.insert(rowWord, set);
            }
            OrInto(target, *set);
            EnterSearchWord(rowWord, number, set->Count(), local);
            any = true;
        } else {
            while (!wordsLink_->Eof() && wordsLink_->Word() == rowWord)
                wordsLink_->Next();
        }
        Tick();
    }
    wordsLink_->SetIndexMode(TrbWordsLink::TIndexMode::Word);
    if (!any && !notFound_.contains(word))
        notFound_.append(word);
    if (AndLike(logic))
        AndInto(result, patternSet);
}

void TrbSearch::LikeWord(const QByteArray& word, int number, TrbBitSet& result,
                         QHash<QByteArray, QList<int>>& local) {
    const QByteArray key = TrbSoundAlike::Key(word);
    QList<QByteArray> words;
    wordsLink_->SetIndexMode(TrbWordsLink::TIndexMode::Like);
    try {
        wordsLink_->FindPrefix(key);
        while (!wordsLink_->Eof() && !Stopped()) {
            const QByteArray rowWord = wordsLink_->Word();
            if (TrbSoundAlike::Key(rowWord) != key)
                break;
            if (rowWord != TrbWordsLink::PropertiesWord() && !words.contains(rowWord))
                words.append(rowWord);
            wordsLink_->Next();
            Tick();
        }
    } catch (...) {
        wordsLink_->SetIndexMode(TrbWordsLink::TIndexMode::Word);
        throw;
    }
    wordsLink_->SetIndexMode(TrbWordsLink::TIndexMode::Word);
    TrbBitSet likeSet(rangeBits_);
    for (const QByteArray& rowWord : words) {
        if (const TrbBitSet* set = WordSet(rowWord)) {
            OrInto(likeSet, *set);
            EnterSearchWord(rowWord, number, set->Count(), local);
        }
    }
    if (words.isEmpty() && !notFound_.contains(word))
        notFound_.append(word);
    AndInto(result, likeSet);
}

const TrbBitSet& TrbSearch::ExistingRecords() {
    if (existing_)
        return *existing_;
    existing_ = std::make_unique<TrbBitSet>(rangeBits_);
    if (rangeBits_ == 0)
        return *existing_;
    textLink_->ForEachIndexValue([this](int value) {
        const qint64 position = qint64(value) - minIndex_;
        if (position >= 0 && position < rangeBits_)
            existing_->Set(int(position));
    });
    return *existing_;
}

void TrbSearch::CandidateCheck(const QByteArray& text, TSearchLogic logic, TrbBitSet& result,
                               const QHash<QByteArray, QList<int>>& local) {
    const QByteArray folded =
        international_ ? FoldWith(text, TAnsi::InternationalFoldTable()) : TrbWordParser::Fold(text);
    const QList<QByteArray> query = SplitQuery(folded, true);
    queryWords_ = query;
    // Query words that were never looked up take part with no data.
    for (int i = 0; i < query.size(); ++i) {
        bool known = false;
        for (const TSearchWord& entry : std::as_const(searchWords_))
            if (entry.queryWords.contains(i + 1)) {
                known = true;
                break;
            }
        if (!known && !searchWords_.contains(query[i]))
            searchWords_.insert(query[i], TSearchWord{{}, 0, -1});
    }
    if (query.isEmpty() || (result.Count() == 0 && logic != slNot))
        return;
    if (textLink_->SubFieldNames().isEmpty() && (logic == slPhrase || logic == slNear) && query.size() == 1)
        return;

    std::vector<int> positions;
    if (logic == slNot) {
        for (int p = 0; p < rangeBits_; ++p)
            if (!result.Test(p))
                positions.push_back(p);
    } else {
        // The set bits only: a rare word costs no walk over the whole range.
        for (int p = result.First(); p >= 0; p = result.Next(p + 1))
            positions.push_back(p);
    }
    if (options_ & soNavReverse)
        std::reverse(positions.begin(), positions.end());

    const TWordMatcher matcher(query, local, wordsLink_->WordFieldSize());
    SetState(state_ | TrbEngineState::Verifying);
    reader_->Begin();
    size_t index = 0;
    try {
        for (; index < positions.size(); ++index) {
            if (Stopped())
                break;
            const int position = positions[index];
            const bool exists = reader_->Locate(minIndex_ + position);
            const bool pass = exists && Passes(logic, matcher);
            if (logic == slNot) {
                if (exists && !pass)
                    result.Set(position);
            } else if (!pass) {
                result.Clear(position);
            }
            Tick();
        }
    } catch (...) {
        reader_->End();
        SetState(state_ & ~TrbEngineState::Verifying);
        throw;
    }
    reader_->End();
    if (index < positions.size()) {
        // Unchecked candidates never count as matches.
        const int stop = positions[index];
        if (options_ & soNavReverse) {
            for (int p = 0; p <= stop; ++p)
                result.Clear(p);
        } else {
            for (int p = stop; p < rangeBits_; ++p)
                result.Clear(p);
        }
    }
    SetState(state_ & ~TrbEngineState::Verifying);
}

bool TrbSearch::Passes(TSearchLogic logic, const TWordMatcher& matcher) {
    using TWords = TRecordReader::TWords;
    const int n = matcher.Size();
    switch (logic) {
    case slOr:
        return reader_->ForEachField([&](const TWords& words) {
            for (QByteArrayView word : words) {
                if (!matcher.Possible(word))
                    continue;
                const QList<int>* entered = matcher.Entered(word);
                for (int i = 0; i < n; ++i)
                    if (matcher.Found(i, word, entered))
                        return true;
            }
            return false;
        });
    case slPhrase: {
        std::vector<bool> wild(static_cast<size_t>(n));
        for (int k = 0; k < n; ++k)
            wild[size_t(k)] = matcher.Query(k).contains(anyChar_);
        return reader_->ForEachField([&](const TWords& words) {
            // Every start in the field: a mismatch part-way must not skip a
            // phrase that begins at the word that broke the previous try.
            for (size_t start = 0; start + size_t(n) <= words.size(); ++start) {
                int k = 0;
                while (k < n) {
                    const QByteArrayView word = words[start + size_t(k)];
                    if (!matcher.Possible(word) || !matcher.Found(k, word, matcher.Entered(word)) ||
                        (!wild[size_t(k)] && word.size() != matcher.Query(k).size()))
                        break;
                    ++k;
                }
                if (k == n)
                    return true;
            }
            return false;
        });
    }
    case slNear:
        return reader_->ForEachField([&](const TWords& words) {
            std::vector<qsizetype> last(size_t(n), -1);
            for (qsizetype p = 0; p < qsizetype(words.size()); ++p) {
                const QByteArrayView word = words[size_t(p)];
                if (!matcher.Possible(word))
                    continue;
                const QList<int>* entered = matcher.Entered(word);
                bool hit = false;
                for (int i = 0; i < n; ++i)
                    if (matcher.Found(i, word, entered)) {
                        last[size_t(i)] = p;
                        hit = true;
                    }
                if (!hit)
                    continue;
                bool all = true;
                for (int i = 0; i < n && all; ++i)
                    all = last[size_t(i)] >= 0 && p - last[size_t(i)] < nearWord_;
                if (all)
                    return true;
            }
            return false;
        });
    default: {
        std::vector<bool> seen(size_t(n), false);
        int missing = n;
        return reader_->ForEachField([&](const TWords& words) {
            for (QByteArrayView word : words) {
                if (!matcher.Possible(word))
                    continue;
                const QList<int>* entered = matcher.Entered(word);
                for (int i = 0; i < n; ++i)
                    if (!seen[size_t(i)] && matcher.Found(i, word, entered)) {
                        seen[size_t(i)] = true;
                        if (--missing == 0)
                            return true;
                    }
            }
            return false;
        });
    }
    }
}

// --- navigation --------------------------------------------------------------

std::vector<int> TrbSearch::NavigationOrder() {
    std::vector<int> order;
    if (!hasResult_)
        return order;
    if (rankMode_ != rmNone && !(options_ & soNavNatural)) {
        for (const TRank& rank : RankTable())
            order.push_back(rank.number - minIndex_);
        return order;
    }
    for (int p = result_.First(); p >= 0; p = p + 1 < result_.Size() ? result_.Next(p + 1) : -1)
        order.push_back(p);
    if (options_ & soNavReverse)
        std::reverse(order.begin(), order.end());
    return order;
}

QList<int> TrbSearch::MatchNumbers() {
    QList<int> numbers;
    for (int p : NavigationOrder())
        numbers.append(minIndex_ + p);
    return numbers;
}

bool TrbSearch::GoTo(int position) {
    if (!textLink_)
        EQuelvan::Raise(EQuelvan::TextLinkNotAssigned);
    if (!reader_)
        reader_ = std::make_unique<TRecordReader>(*textLink_, indexDelims_);
    return reader_->Navigate(minIndex_ + position);
}

int TrbSearch::CurrentPosition() {
    if (!textLink_ || !textLink_->Active() || textLink_->Eof())
        return -1;
    return textLink_->IndexValue() - minIndex_;
}

bool TrbSearch::FirstMatch() {
    const std::vector<int> order = NavigationOrder();
    return !order.empty() && GoTo(order.front());
}

bool TrbSearch::LastMatch() {
    const std::vector<int> order = NavigationOrder();
    return !order.empty() && GoTo(order.back());
}

bool TrbSearch::NextMatch() {
    const std::vector<int> order = NavigationOrder();
    const int current = CurrentPosition();
    const auto here = std::find(order.begin(), order.end(), current);
    if (here != order.end())
        return here + 1 != order.end() && GoTo(*(here + 1));
    if (rankMode_ != rmNone && !(options_ & soNavNatural))
        return !order.empty() && GoTo(order.front());
    // Not on a match: the next one in position order from here.
    const bool reverse = options_ & soNavReverse;
    for (int p : order)
        if (reverse ? p < current : p > current)
            return GoTo(p);
    return false;
}

bool TrbSearch::PriorMatch() {
    const std::vector<int> order = NavigationOrder();
    const int current = CurrentPosition();
    const auto here = std::find(order.begin(), order.end(), current);
    if (here != order.end())
        return here != order.begin() && GoTo(*(here - 1));
    if (rankMode_ != rmNone && !(options_ & soNavNatural))
        return false;
    const bool reverse = options_ & soNavReverse;
    for (auto it = order.rbegin(); it != order.rend(); ++it)
        if (reverse ? *it > current : *it < current)
            return GoTo(*it);
    return false;
}

bool TrbSearch::IsMatch() {
    const int position = CurrentPosition();
    return hasResult_ && position >= 0 && position < result_.Size() && result_.Test(position);
}

// --- ranking -------------------------------------------------------------------

const QList<TrbSearch::TRank>& TrbSearch::RankTable() {
    if (rankMode_ == rmNone || !hasResult_) {
        rankTable_.clear();
        return rankTable_;
    }
    if (!rankBuilt_)
        BuildRankTable();
    return rankTable_;
}

void TrbSearch::BuildRankTable() {
    rankTable_.clear();
    rankBuilt_ = true;
    std::vector<int> positions;
    for (int p = result_.First(); p >= 0; p = p + 1 < result_.Size() ? result_.Next(p + 1) : -1)
        positions.push_back(p);
    if (options_ & soNavReverse)
        std::reverse(positions.begin(), positions.end());
    const size_t limit = size_t(std::min({RankTableLimit, rankLimit_, int(positions.size())}));
    positions.resize(limit);
    if (positions.empty())
        return;
    if (!reader_)
        reader_ = std::make_unique<TRecordReader>(*textLink_, indexDelims_);
    const int fieldSize = wordsLink_ ? wordsLink_->WordFieldSize() : 20;

    SetState(state_ | TrbEngineState::Ranking);
    reader_->Begin();
    try {
        for (int position : positions) {
            TRank rank;
            rank.number = minIndex_ + position;
            if (reader_->Locate(rank.number)) {
                QSet<QByteArray> present;
                int sum = 0;
                reader_->ForEachField([&](const TRecordReader::TWords& words) {
                    for (QByteArrayView word : words) {
                        const qsizetype size = std::clamp<qsizetype>(fieldSize, 0, word.size());
                        auto it = searchWords_.find(QByteArray::fromRawData(word.data(), size));
                        if (it == searchWords_.end())
                            continue;
                        ++it->occurrences;
                        // The stored key: the word's bytes change with the next field.
                        sum += onRankWord_ ? onRankWord_(it.key()) : 1;
                        present.insert(it.key());
                    }
                    return false;
                });
                rank.rank = rankMode_ == rmPresense ? int(present.size()) : sum;
            }
            rankTable_.append(rank);
        }
    } catch (...) {
        reader_->End();
        SetState(state_ & ~TrbEngineState::Ranking);
        throw;
    }
    reader_->End();
    SetState(state_ & ~TrbEngineState::Ranking);
    int highest = 0;
    for (const TRank& rank : rankTable_)
        highest = std::max(highest, rank.rank);
    for (TRank& rank : rankTable_)
        rank.percent = highest > 0 ? int(std::lround(rank.rank * 100.0 / highest)) : 0;
    if (!(options_ & soNavNatural))
        std::stable_sort(rankTable_.begin(), rankTable_.end(), [](const TRank& a, const TRank& b) {
            return a.rank != b.rank ? a.rank > b.rank : a.number < b.number;
        });
}
