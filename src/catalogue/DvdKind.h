#pragma once
// The three kinds of disc as views of the one catalogue table: what each
// kind's view, pages and files are called.

#include <QColor>
#include <QString>

enum class TDvdKind { Film = 0, Music = 1, Data = 2 };

struct TDvdKindInfo {
    TDvdKind kind;
    const char* flagField;     // the record's kind flag
    const char* menuCaption;   // "Film-DVDs"
    const char* toolbarCaption;
    const char* labelCaption;  // the kind label over the pages
    QColor labelFarColour;     // far colour of the label's extrude effect
    const char* panelCaption;  // the hidden kind panel
    const char* discNoTag;     // index tag sorted by disc number
    const char* titleTag;      // index tag sorted by title
    const char* matchTag;      // index tag of full-text search marks
    const char* gridName;
    const char* columnFile;    // the grid's column list file
    const char* notesCaption;  // caption of the notes page
};

class TDvdKinds {
public:
    static const TDvdKindInfo& Info(TDvdKind kind);
    // "film", "music", "data" (any case) → kind; false for anything else.
    static bool FromName(const QString& name, TDvdKind* kind);
};
