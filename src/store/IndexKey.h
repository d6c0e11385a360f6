#pragma once
// Index tag keys. A tag is described by a key expression and an optional FOR
// condition, both over the fields of its table:
//   key:  "Title"  |  "val(DVDNo)"  |  "rbWord;rbSegment" (compound)
//   FOR:  a Boolean field name, optionally negated with "!" or ".NOT.";
//         empty means every record.
// Keys are stored as byte strings whose plain byte order (memcmp, shorter
// first) is the tag order, so one SQLite BLOB column serves every key kind:
//   number (numeric fields, Logical, Date, val()): 8 bytes, an IEEE double
//            made order-preserving (sign bit flipped for positives, all bits
//            flipped for negatives), big-endian; NULL counts as 0;
//   text:    the Windows-1252 bytes folded through the international table,
//            0x00, the raw bytes, 0x00 — accented letters sort beside their
//            base letter, case-insensitively, with the raw bytes breaking
//            ties (0x00 inside a value is stored as 0x01);
//   raw:     the field's fixed bytes.
// Components of a compound key are concatenated in expression order.

#include "store/FieldDef.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

#include <vector>

class TIndexKey {
public:
    // Compiles the expressions against the table's fields. Throws EAdsError
    // for an unknown field, a FOR condition that is not a Boolean field, or
    // an expression this layer does not support.
    TIndexKey(const QString& expression, const QString& forCondition, const QList<TFieldDef>& fields);

    // The key of a record, given its non-blob field values by field index.
    QByteArray KeyOf(const std::vector<QVariant>& values) const;
    // Whether the record belongs to the tag (its FOR condition holds).
    bool Includes(const std::vector<QVariant>& values) const;

    // The encoded key for a seek with values for the first components
    // (fewer values than components make a prefix). With forNearest, a text
    // value in the last position is encoded by its folded form only, so that
    // the seek lands on the first key of that text in any letter case.
    QByteArray SeekKey(const QVariantList& values, bool forNearest) const;

    int ComponentCount() const { return int(components_.size()); }
    // The fields the key and the condition read; a change of any other field
    // cannot move the record in the tag.
    bool DependsOn(int fieldIndex) const;

    // The numeric value of a text as the xBase VAL function reads it: leading
    // blanks, an optional sign, digits and an optional fraction; anything
    // else ends the number; no digits at all give 0.
    static double XBaseVal(const QString& text);
    static QByteArray EncodeNumber(double value);
    static QByteArray EncodeText(const QString& text, bool foldedOnly = false);

private:
    enum class TKind { Number, Val, Text, Raw };
    struct TComponent {
        int field;
        TKind kind;
    };
    QByteArray Encode(const TComponent& component, const QVariant& value, bool foldedOnly) const;

    std::vector<TComponent> components_;
    int conditionField_ = -1; // -1: no condition
    bool conditionNegated_ = false;
};
