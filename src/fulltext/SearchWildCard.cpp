#include "fulltext/SearchWildCard.h"

#include "platform/Ansi.h"

#include <vector>

bool TrbSearchWildCard::HasWildCard(QByteArrayView text, char anyChar, char oneChar) {
    for (char c : text)
        if (c == anyChar || c == oneChar)
            return true;
    return false;
}

bool TrbSearchWildCard::Matches(QByteArrayView word, QByteArrayView pattern, char anyChar, char oneChar) {
    if (anyChar == oneChar)
        throw EWildCard(QStringLiteral("AnyChar = OneChar"));
    if (pattern.size() > MaxPatternLength)
        throw EWildCard(QStringLiteral("Mask Length too long"));
    const unsigned char* fold = TAnsi::PlainFoldTable();
    auto up = [fold](char c) { return fold[static_cast<unsigned char>(c)]; };

    // Iterative matching with one back-tracking point (the last AnyChar):
    // linear in practice and never recursive, whatever the pattern.
    qsizetype w = 0, p = 0;
    qsizetype starP = -1, starW = 0;
    const qsizetype wn = word.size(), pn = pattern.size();
    while (w < wn) {
        if (p < pn && pattern[p] == anyChar) {
            while (p < pn && pattern[p] == anyChar)
                ++p;
            starP = p;
            starW = w;
        } else if (p < pn && (pattern[p] == oneChar || up(pattern[p]) == up(word[w]))) {
            ++p;
            ++w;
        } else if (starP >= 0) {
            p = starP;
            w = ++starW;
        } else {
            return false;
        }
    }
    while (p < pn && pattern[p] == anyChar)
        ++p;
    return p == pn;
}
