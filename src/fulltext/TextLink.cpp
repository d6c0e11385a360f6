#include "fulltext/TextLink.h"

void TrbTextLink::SetIndexFieldName(const QString& name) {
    if (name.compare(indexFieldName_, Qt::CaseInsensitive) != 0)
        ResetIndexes();
    indexFieldName_ = name;
}

void TrbTextLink::LookUpIndexes() {
    if (minIndex_ && maxIndex_)
        return;
    std::optional<int> low = onMinIndex_ ? std::optional<int>(onMinIndex_()) : ReadMinIndex();
    std::optional<int> high = onMaxIndex_ ? std::optional<int>(onMaxIndex_()) : ReadMaxIndex();
    if (!low || !high) {
        minIndex_ = 0;
        maxIndex_ = -1;
    } else {
        minIndex_ = *low;
        maxIndex_ = *high;
    }
}

int TrbTextLink::MinIndex() {
    if (pinnedMin_)
        return *pinnedMin_;
    LookUpIndexes();
    return *minIndex_;
}

int TrbTextLink::MaxIndex() {
    LookUpIndexes();
    return *maxIndex_;
}

void TrbTextLink::RaiseMaxIndex(int value) {
    LookUpIndexes();
    if (value > *maxIndex_)
        maxIndex_ = value;
}

void TrbTextLink::PinMinIndex(std::optional<int> value) {
    pinnedMin_ = value;
}

void TrbTextLink::ResetIndexes() {
    minIndex_.reset();
    maxIndex_.reset();
}

void TrbTextLink::ForEachIndexValue(const std::function<void(int value)>& onValue) {
    BeginBatch();
    try {
        for (First(); !Eof(); Next())
            onValue(IndexValue());
    } catch (...) {
        EndBatch();
        throw;
    }
    EndBatch();
}
