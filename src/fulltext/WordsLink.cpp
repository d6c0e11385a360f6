#include "fulltext/WordsLink.h"

#include "fulltext/Quelvan.h"

QByteArray TrbWordsLink::PropertiesWord() {
    return QByteArrayLiteral("\x7f\x7fProperties\x7f\x7f");
}

void TrbWordsLink::CheckWritable() const {
    if (!SizesWritable())
        EQuelvan::Raise(EQuelvan::ReadOnlyProperty);
}

void TrbWordsLink::SetWordFieldSize(int value) {
    CheckWritable();
    if (value >= 5 && value <= 40)
        wordFieldSize_ = value;
}

void TrbWordsLink::SetLikeFieldSize(int value) {
    CheckWritable();
    if (value >= 0 && value <= 40)
        likeFieldSize_ = value;
}

void TrbWordsLink::SetBytesFieldSize(int value) {
    CheckWritable();
    if (value == 0 || (value >= 24 && value <= 1024))
        bytesFieldSize_ = value;
}

void TrbWordsLink::SetReverseField(bool value) {
    CheckWritable();
    reverseField_ = value;
}

void TrbWordsLink::TakeSizes(int word, int like, int bytes, int chars, bool reverse) {
    wordFieldSize_ = word;
    likeFieldSize_ = like;
    bytesFieldSize_ = bytes;
    charFieldSize_ = chars;
    reverseField_ = reverse;
}
