#pragma once
// EQuelvan: the error of the full-text engine. Every failure of the engine
// (damaged stored records, missing components, bad parameters) carries one of
// the engine's numeric codes 30464..30504 and the English text that belongs
// to it. The texts live in one table in Quelvan.cpp; TextOf() reads it, so
// other engine errors (the query expression compiler) share the same texts.

#include "platform/MovarixError.h"

class EQuelvan : public EMovarixError {
public:
    // The engine's codes. Codes inside the range without an entry here have no
    // text of their own and get a generic one.
    enum TCode : int {
        CodeArrayFull = 30464,
        InconsistentBlobSize = 30465,
        DecompressBufferTooSmall = 30470,
        CapabilityNotSupported = 30471,
        TextDatasetClosed = 30472,
        WordsDatasetClosed = 30473,
        DatasetNotSupported = 30474,
        DictionaryInvalidated = 30476,
        InvalidBlockSize = 30477,
        InvalidFieldName = 30478,
        InvalidParameter = 30480,
        InvalidTextDataSet = 30481,
        InvalidWordsDataSet = 30482,
        LikeNotAvailable = 30483,
        MissingParenthesis = 30485,
        MissingQuote = 30486,
        MissingString = 30487,
        CacheNotAssigned = 30488,
        TextLinkNotAssigned = 30489,
        WordsLinkNotAssigned = 30490,
        NoFieldNamesSpecified = 30491,
        MissingIndexFieldName = 30492,
        PropertiesNotFound = 30495,
        ReadOnlyProperty = 30496,
        SyntaxError = 30498,
        TooManyOmitWords = 30501,
        ReverseNotAvailable = 30502,
        LeadingWildcardNotSupported = 30504,
    };

    static constexpr int FirstCode = 30464;
    static constexpr int LastCode = 30504;

    // The error with the text of its code.
    explicit EQuelvan(int code);

    // Throws EQuelvan(code).
    [[noreturn]] static void Raise(int code);

    // The English text of a code: the table entry, or "Full-text engine error
    // <code>" for a code without one (also for codes outside the range).
    static QString TextOf(int code);
    // True when the code has a text of its own in the table.
    static bool HasText(int code);
};
