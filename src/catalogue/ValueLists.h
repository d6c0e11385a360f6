#pragma once
// Every list the catalogue's combo boxes offer: the editable value lists
// (one TValueList per page box) and the fixed lists, where a line with a tab
// maps a display text to the stored value that follows the tab.

#include "catalogue/DvdKind.h"
#include "catalogue/ValueList.h"

#include <QStringList>
#include <vector>

class TValueLists {
public:
    TValueLists();

    // The value list of a field on a kind's page, or null.
    TValueList* Find(const QString& field, TDvdKind kind);
    std::vector<TValueList>& All() { return lists_; }
    // Loads every page box's list from its file (start of the program).
    void LoadAtStart(const QString& programFolder);

    static QStringList Grades();
    // Fixed lists, by field and place.
    static QStringList DVDCodingPage();
    static QStringList DVDCodingGrid();
    static QStringList FilmFormatPage();
    static QStringList FilmFormatGrid();
    static QStringList PictureFormatPage();
    static QStringList AgeReleasing(TDvdKind kind); // "Ohne\t", "Keine\t0", "ab 6\t6", …
    static QStringList USRatings();

private:
    std::vector<TValueList> lists_;
    std::vector<TDvdKind> kinds_;
};
