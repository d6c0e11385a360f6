#include "fulltext/Quelvan.h"

#include <algorithm>
#include <array>

namespace {

struct TCodeText {
    int code;
    const char* text;
};

// The one table of engine texts, sorted by code. New codes go in here.
constexpr std::array kTexts = {
    TCodeText{EQuelvan::CodeArrayFull, "Code array full"},
    TCodeText{EQuelvan::InconsistentBlobSize, "Inconsistent Blob size"},
    TCodeText{EQuelvan::DecompressBufferTooSmall, "Decompress buffer too small"},
    TCodeText{EQuelvan::CapabilityNotSupported, "Capability not supported"},
    TCodeText{EQuelvan::TextDatasetClosed, "Text dataset is closed"},
    TCodeText{EQuelvan::WordsDatasetClosed, "Words dataset is closed"},
    TCodeText{EQuelvan::DatasetNotSupported, "Dataset not supported"},
    TCodeText{EQuelvan::DictionaryInvalidated, "Dictionary invalidated"},
    TCodeText{EQuelvan::InvalidBlockSize, "Invalid block size"},
    TCodeText{EQuelvan::InvalidFieldName, "Invalid field name"},
    TCodeText{EQuelvan::InvalidParameter, "Invalid parameter"},
    TCodeText{EQuelvan::InvalidTextDataSet, "Invalid Text DataSet"},
    TCodeText{EQuelvan::InvalidWordsDataSet, "Invalid Words DataSet"},
    TCodeText{EQuelvan::LikeNotAvailable, "Like not available"},
    TCodeText{EQuelvan::MissingParenthesis, "Missing parenthesis"},
    TCodeText{EQuelvan::MissingQuote, "Missing quote"},
    TCodeText{EQuelvan::MissingString, "Missing string"},
    TCodeText{EQuelvan::CacheNotAssigned, "Cache not assigned"},
    TCodeText{EQuelvan::TextLinkNotAssigned, "TextLink not assigned"},
    TCodeText{EQuelvan::WordsLinkNotAssigned, "WordsLink not assigned"},
    TCodeText{EQuelvan::NoFieldNamesSpecified, "No FieldNames specified"},
    TCodeText{EQuelvan::MissingIndexFieldName, "Missing IndexFieldName"},
    TCodeText{EQuelvan::PropertiesNotFound, "Properties not found"},
    TCodeText{EQuelvan::ReadOnlyProperty, "ReadOnly property"},
    TCodeText{EQuelvan::SyntaxError, "Syntax error"},
    TCodeText{EQuelvan::TooManyOmitWords, "Too many omit words"},
    TCodeText{EQuelvan::ReverseNotAvailable, "Reverse not available"},
    TCodeText{EQuelvan::LeadingWildcardNotSupported, "Leading wildcard not supported"},
};

static_assert(std::is_sorted(kTexts.begin(), kTexts.end(),
                             [](const TCodeText& a, const TCodeText& b) { return a.code < b.code; }),
              "engine texts must stay sorted by code");

const TCodeText* Find(int code) {
    auto it = std::lower_bound(kTexts.begin(), kTexts.end(), code,
                               [](const TCodeText& entry, int c) { return entry.code < c; });
    return (it != kTexts.end() && it->code == code) ? &*it : nullptr;
}

} // namespace

EQuelvan::EQuelvan(int code) : EMovarixError(TextOf(code), code) {}

void EQuelvan::Raise(int code) {
    throw EQuelvan(code);
}

QString EQuelvan::TextOf(int code) {
    if (const TCodeText* entry = Find(code))
        return QString::fromLatin1(entry->text);
    return QStringLiteral("Full-text engine error %1").arg(code);
}

bool EQuelvan::HasText(int code) {
    return Find(code) != nullptr;
}
