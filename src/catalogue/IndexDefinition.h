#pragma once
// One index tag described as a text line of five comma-separated fields:
//   tag name, key expression, "IDX_NONE" | "IDX_UNIQUE", descending flag,
//   FOR condition (everything after the fourth comma)
// Blanks around each field are ignored. The descending flag is read but
// every tag is built ascending. A condition of "#0", "NIL" (any case), a
// single blank or nothing means the tag has none.

#include "store/AdsTable.h"

#include <QString>

class TIndexDefinition {
public:
    // Throws EMovarixError for a line with fewer than four commas, an empty
    // name or key, or options other than IDX_NONE / IDX_UNIQUE.
    static TIndexDefinition Parse(const QString& line);

    TIndexDef ToIndexDef() const { return {name, expression, condition, unique}; }

    QString name;
    QString expression;
    bool unique = false;
    bool descending = false; // read, never applied
    QString condition;       // empty: no condition
};
