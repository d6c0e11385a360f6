#pragma once
// TrbWordParser: turns the text of a catalogue field into index words.
//
// A text value is upper-cased through the plain ANSI folding table, split at
// the delimiter bytes, each run cut to 40 bytes (the rest of a longer run is
// dropped), and every word then goes through the word step: cut to the word
// field size, refused when shorter than MinWordLen, offered to the accept
// handler, and finally handed to the caller's indexing step. Values that are
// not text (numbers, dates) pass as one single folded word without splitting.
//
// The parser holds the word settings of an indexing engine: WordDelims,
// MinWordLen, the omit list and the word field size of the words table.

#include "fulltext/WordDelims.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <functional>
#include <vector>

class TrbWordParser {
public:
    // Longest run of word characters the splitter takes as one word.
    static constexpr int MaxRunLength = 40;
    static constexpr int MaxOmitWords = 500;

    // Returns true to index the word.
    using TAcceptWord = std::function<bool(const QByteArray& word)>;
    // Replaces the built-in splitter: returns the next word of the folded text
    // and advances `rest` past it; called until `rest` is empty.
    using TParseWord = std::function<QByteArray(QByteArrayView& rest)>;
    // The engine's indexing step, called with every word that passed.
    using TIndexWord = std::function<void(const QByteArray& word)>;

    TrbWordParser() = default;

    // Caret notation; an empty string gives the default set.
    QByteArray WordDelims() const { return delims_.Caret(); }
    void SetWordDelims(QByteArrayView caret) { delims_.SetCaret(caret); }
    const TrbWordDelims& Delims() const { return delims_; }

    // Values of 0 or less are ignored.
    int MinWordLen() const { return minWordLen_; }
    void SetMinWordLen(int value);

    // Size of the words table's word column; values outside 5..40 are ignored.
    int WordFieldSize() const { return wordFieldSize_; }
    void SetWordFieldSize(int value);

    // Stop words. More than 500 raise 30501 and leave the list unchanged.
    // The words reach the indexing step like any other; the engine ignores
    // them there.
    const QList<QByteArray>& OmitList() const { return omitList_; }
    void SetOmitList(const QList<QByteArray>& words);

    void SetOnAcceptWord(TAcceptWord handler) { onAcceptWord_ = std::move(handler); }
    void SetOnParseWord(TParseWord handler) { onParseWord_ = std::move(handler); }

    // An engine asked to stop processes no further words.
    bool StopRequested() const { return stopRequested_; }
    void SetStopRequested(bool value) { stopRequested_ = value; }

    // Upper-cases through the plain ANSI folding table.
    static QByteArray Fold(QByteArrayView text);
    static void FoldInPlace(QByteArray& text);

    // The built-in splitter over folded text. After the last word, trailing
    // delimiters yield one empty word (which the word step refuses).
    static void Split(QByteArrayView folded, const TrbWordDelims& delims,
                      const std::function<void(QByteArrayView word)>& onWord);
    // The same split into `words` (cleared first), empty words left out: views
    // into `folded`, with no call per word and, once `words` has grown, no
    // allocation (the search reads every candidate record this way).
    static void SplitInto(QByteArrayView folded, const TrbWordDelims& delims, std::vector<QByteArrayView>& words);

    // A text value (string or memo bytes): fold, split, word step per word.
    void ProcessText(QByteArrayView value, const TIndexWord& index) const;
    // A value taken as one word (the display text of a number or date).
    void ProcessSingleWord(QByteArrayView value, const TIndexWord& index) const;
    // The word step on one folded word.
    void WordStep(QByteArrayView word, const TIndexWord& index) const;

    // The words a text value yields, in order (ProcessText into a list).
    QList<QByteArray> WordsOf(QByteArrayView value) const;

private:
    TrbWordDelims delims_;
    int minWordLen_ = 1;
    int wordFieldSize_ = 20;
    QList<QByteArray> omitList_;
    TAcceptWord onAcceptWord_;
    TParseWord onParseWord_;
    bool stopRequested_ = false;
};
