#pragma once
// Field types and field definitions of a table, and the definition string
// from which tables are created and restructured:
//   "Title               ,Char, 50,0;DVDNo,Char,10;THX,Logical,1"
// Items end with ";", parts are separated by ",", blanks around parts are
// ignored, length and decimals may be left out (0).

#include <QList>
#include <QString>

enum class TFieldType {
    Char,      // fixed-length text, cut to its length, read back without trailing blanks
    Date,      // calendar date
    Logical,   // Boolean
    Integer,   // 32-bit signed
    ShortInt,  // 16-bit signed
    CurDouble, // currency, rounded to its decimals
    Double,    // floating point
    Memo,      // text blob
    Image,     // binary blob (pictures)
    Binary,    // binary blob
    Raw,       // fixed-length bytes, padded with zero bytes to the length
    AutoInc    // integer assigned by the table on insert, ascending, never reused
};

struct TFieldDef {
    QString name;
    TFieldType type = TFieldType::Char;
    int length = 0;
    int decimals = 0;

    bool IsBlob() const;
    bool IsNumeric() const;
    bool operator==(const TFieldDef&) const = default;
};

class TFieldDefs {
public:
    // Parses a definition string. Throws EAdsError naming the bad item.
    static QList<TFieldDef> Parse(const QString& definition);
    // The engine's type name as used in definition strings ("Char", "AutoInc").
    static QString TypeName(TFieldType type);
    // The type of a name; accepts the usual aliases ("Character", "Blob",
    // "Short", "Bytes", "Money", "Boolean"), case-insensitively.
    static bool TypeFromName(const QString& name, TFieldType* type);
};
