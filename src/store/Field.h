#pragma once
// One field of an open table: its definition, typed access to the value of
// the current record (or of the edit buffer while editing or inserting), and
// the display properties that grids and export writers read.

#include "store/FieldDef.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QVariant>

class TAdsTable;

class TField {
public:
    TField(TAdsTable& table, int index, const TFieldDef& def);

    const QString& FieldName() const { return def_.name; }
    TFieldType DataType() const { return def_.type; }
    int Size() const { return def_.length; }
    int Decimals() const { return def_.decimals; }
    int Index() const { return index_; }          // 0-based position in the table
    int FieldNo() const { return index_ + 1; }     // 1-based, as the engine counts
    const TFieldDef& Def() const { return def_; }
    bool IsBlob() const { return def_.IsBlob(); }

    bool IsNull() const;
    // Char → QString, Date → QDate, Logical → bool, the integer types → int,
    // CurDouble/Double → double, Raw and blobs → QByteArray, Memo → QString;
    // an invalid QVariant for NULL.
    QVariant Value() const;
    void SetValue(const QVariant& value);
    void Clear() { SetValue(QVariant()); }

    // Text form: dates as dd.MM.yyyy, Booleans "True"/"False", numbers in
    // C locale; an empty text for NULL. Setting parses the same forms and
    // throws EAdsError for a text that is not a value of the field's type.
    QString AsString() const;
    void SetAsString(const QString& text);
    int AsInteger() const;
    void SetAsInteger(int value) { SetValue(value); }
    double AsFloat() const;
    void SetAsFloat(double value) { SetValue(value); }
    bool AsBoolean() const;
    void SetAsBoolean(bool value) { SetValue(value); }
    QDate AsDate() const;
    void SetAsDate(const QDate& value) { SetValue(value); }
    // Blobs and Raw: the stored bytes; Memo and Char: the Windows-1252 bytes
    // of the text (the form the full-text engine reads).
    QByteArray AsBytes() const;
    void SetAsBytes(const QByteArray& bytes);

    // The conversions above for a value of this field that was read without
    // moving to its record: `value` in the form Value() or
    // TAdsTable::ReadFields gives (a memo as text or as its UTF-8 bytes).
    QString TextOf(const QVariant& value) const;
    int IntegerOf(const QVariant& value) const;
    QByteArray BytesOf(const QVariant& value) const;

    // Display properties; they live with this table object, not in the file.
    QString DisplayLabel() const { return displayLabel_.isEmpty() ? def_.name : displayLabel_; }
    void SetDisplayLabel(const QString& label) { displayLabel_ = label; }
    int DisplayWidth() const;
    void SetDisplayWidth(int width) { displayWidth_ = width; }
    bool Visible() const { return visible_; }
    void SetVisible(bool visible) { visible_ = visible; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
    Qt::Alignment Alignment() const;
    void SetAlignment(Qt::Alignment alignment) { alignment_ = alignment; }

private:
    TAdsTable& table_;
    int index_;
    TFieldDef def_;
    QString displayLabel_;
    int displayWidth_ = -1;
    bool visible_ = true;
    bool readOnly_ = false;
    Qt::Alignment alignment_ = {};
};
