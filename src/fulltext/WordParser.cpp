#include "fulltext/WordParser.h"

#include "fulltext/Quelvan.h"
#include "platform/Ansi.h"

#include <algorithm>
#include <bit>
#include <cstdint>

void TrbWordParser::SetMinWordLen(int value) {
    if (value > 0)
        minWordLen_ = value;
}

void TrbWordParser::SetWordFieldSize(int value) {
    if (value >= 5 && value <= 40)
        wordFieldSize_ = value;
}

void TrbWordParser::SetOmitList(const QList<QByteArray>& words) {
    if (words.size() > MaxOmitWords)
        EQuelvan::Raise(EQuelvan::TooManyOmitWords);
    omitList_ = words;
}

void TrbWordParser::FoldInPlace(QByteArray& text) {
    const unsigned char* fold = TAnsi::PlainFoldTable();
    for (char& ch : text)
        ch = static_cast<char>(fold[static_cast<unsigned char>(ch)]);
}

QByteArray TrbWordParser::Fold(QByteArrayView text) {
    QByteArray out = text.toByteArray();
    FoldInPlace(out);
    return out;
}

void TrbWordParser::Split(QByteArrayView folded, const TrbWordDelims& delims,
                          const std::function<void(QByteArrayView word)>& onWord) {
    const qsizetype n = folded.size();
    qsizetype pos = 0;
    while (pos < n) {
        while (pos < n && delims.Contains(static_cast<unsigned char>(folded[pos])))
            ++pos;
        const qsizetype start = pos;
        while (pos < n && !delims.Contains(static_cast<unsigned char>(folded[pos])))
            ++pos;
        const qsizetype length = pos - start;
        onWord(folded.sliced(start, length < MaxRunLength ? length : MaxRunLength));
    }
}

void TrbWordParser::SplitInto(QByteArrayView folded, const TrbWordDelims& delims,
                              std::vector<QByteArrayView>& words) {
    // Split's words, found 64 bytes at a time: a mask of the word bytes of a
    // block, and the bits where it changes from the byte before are the word
    // starts and ends in order. No branch per byte, and one per boundary
    // that always alternates (start, end, start, ...), which the processor
    // predicts; the byte loop mispredicts at nearly every boundary.
    words.clear();
    const qsizetype n = folded.size();
    const char* text = folded.data();
    qsizetype start = -1;       // of the word being read, -1 between words
    std::uint64_t before = 0;   // 1 when the last byte of the previous block is a word byte
    for (qsizetype base = 0; base < n; base += 64) {
        const int count = int(std::min<qsizetype>(64, n - base));
        std::uint64_t inWord = 0;
        for (int j = 0; j < count; ++j)
            inWord |= std::uint64_t(delims.Contains(static_cast<unsigned char>(text[base + j])) ^ 1) << j;
        std::uint64_t changes = inWord ^ ((inWord << 1) | before);
        if (count < 64)
            changes &= (std::uint64_t(1) << count) - 1;
        while (changes != 0) {
            const int bit = std::countr_zero(changes);
            changes &= changes - 1;
            if (start < 0) {
                start = base + bit;
            } else {
                const qsizetype length = base + bit - start;
                words.push_back(folded.sliced(start, length < MaxRunLength ? length : MaxRunLength));
                start = -1;
            }
        }
        before = count == 64 ? inWord >> 63 : 0;
    }
    if (start >= 0) {
        const qsizetype length = n - start;
        words.push_back(folded.sliced(start, length < MaxRunLength ? length : MaxRunLength));
    }
}

void TrbWordParser::ProcessText(QByteArrayView value, const TIndexWord& index) const {
    const QByteArray folded = Fold(value);
    if (!onParseWord_) {
        Split(folded, delims_, [&](QByteArrayView word) { WordStep(word, index); });
        return;
    }
    QByteArrayView rest(folded);
    while (!rest.isEmpty()) {
        const qsizetype before = rest.size();
        const QByteArray word = onParseWord_(rest);
        // A handler that neither consumes text nor stays inside it would loop
        // for ever or read past the value.
        if (rest.size() >= before || rest.data() < folded.constData() ||
            rest.data() + rest.size() != folded.constData() + folded.size())
            EQuelvan::Raise(EQuelvan::InvalidParameter);
        WordStep(word, index);
    }
}

void TrbWordParser::ProcessSingleWord(QByteArrayView value, const TIndexWord& index) const {
    WordStep(Fold(value), index);
}

void TrbWordParser::WordStep(QByteArrayView word, const TIndexWord& index) const {
    if (stopRequested_)
        return;
    const QByteArray cut = word.first(word.size() < wordFieldSize_ ? word.size() : wordFieldSize_).toByteArray();
    if (cut.size() < minWordLen_)
        return;
    if (onAcceptWord_ && !onAcceptWord_(cut))
        return;
    index(cut);
}

QList<QByteArray> TrbWordParser::WordsOf(QByteArrayView value) const {
    QList<QByteArray> words;
    ProcessText(value, [&words](const QByteArray& word) { words.append(word); });
    return words;
}
