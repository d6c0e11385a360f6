#pragma once
// TrbSearchWildCard: matching of an index word against a search pattern with
// the search engine's two wildcard characters, and EWildCard, the error a bad
// pattern raises.
//
// AnyChar matches any run of characters, including none (consecutive AnyChar
// characters count as one); OneChar matches exactly one character; every
// other character must be equal after upper-casing both sides through the
// plain folding table; the whole word must match.

#include "platform/MovarixError.h"

#include <QByteArrayView>

class EWildCard : public EMovarixError {
public:
    explicit EWildCard(const QString& message) : EMovarixError(message) {}
};

class TrbSearchWildCard {
public:
    // Longest pattern the matcher takes.
    static constexpr int MaxPatternLength = 127;

    // True when `word` matches `pattern`. A pattern longer than
    // MaxPatternLength raises EWildCard "Mask Length too long"; equal wildcard
    // characters raise EWildCard "AnyChar = OneChar".
    static bool Matches(QByteArrayView word, QByteArrayView pattern, char anyChar, char oneChar);

    // True when the text holds either wildcard character.
    static bool HasWildCard(QByteArrayView text, char anyChar, char oneChar);
};
