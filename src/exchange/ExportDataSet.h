#pragma once
// The records an export writer walks: a generic data set with typed fields.
// The writers know nothing of the catalogue; they see field count, fields by
// position and, per field, its names, visibility, data type and typed value
// of the current record, and they move through the records with
// First/Next/Eof. TAdsExportDataSet puts a table of ours behind it.
//
// The data set is a QObject so that a writer can hold it in a QPointer: a
// data set that goes away clears the writer's reference by itself.

#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTime>

// The data types a field can report. The order is fixed: the number of a
// type is its position in TExportFieldTypes::Names().
enum class TExportFieldType {
    ftUnknown,
    ftString,
    ftSmallint,
    ftInteger,
    ftWord,
    ftBoolean,
    ftFloat,
    ftCurrency,
    ftBCD,
    ftDate,
    ftTime,
    ftDateTime,
    ftBytes,
    ftVarBytes,
    ftAutoInc,
    ftBlob,
    ftMemo,
    ftGraphic,
    ftFmtMemo,
    ftParadoxOle,
    ftDBaseOle,
    ftTypedBinary,
    ftCursor,
    ftFixedChar,
    ftWideString,
    ftLargeint,
    ftADT,
    ftArray,
    ftReference,
    ftDataSet
};

class TExportFieldTypes {
public:
    static constexpr int Count = 30;
    // "ftUnknown" … "ftDataSet", in the order of TExportFieldType.
    static QString Name(TExportFieldType type);
    // Type groups the writers ask about.
    static bool IsInteger(TExportFieldType type);  // small integer, integer, word, auto-increment, large integer
    static bool IsNumeric(TExportFieldType type);  // the integers, float, currency, BCD
    static bool IsString(TExportFieldType type);   // string and its descendants (fixed char, wide string)
    static bool IsDateTime(TExportFieldType type); // date, time, date-time
};

// One field of a data set. Values are those of the data set's current record.
class TExportField {
public:
    virtual ~TExportField() = default;

    virtual QString FieldName() const = 0;
    // The name by which the field is shown where no label is set.
    virtual QString DisplayName() const = 0;
    virtual QString DisplayLabel() const = 0;
    virtual bool Visible() const = 0;
    virtual bool IsBlob() const = 0;
    virtual TExportFieldType DataType() const = 0;
    // The class name of the field object ("TStringField", "TIntegerField" …).
    virtual QString FieldClassName() const = 0;
    // The declared size of a string field (its length); 0 for other types.
    virtual int Size() const = 0;
    // The storage size: for strings the length plus one.
    virtual int DataSize() const = 0;

    virtual bool IsNull() const = 0;
    // The plain text of the value: dates dd.mm.yyyy, Booleans "True"/"False",
    // numbers with "." as decimal point; empty for NULL.
    virtual QString AsString() const = 0;
    virtual qint64 AsInteger() const = 0;
    virtual double AsFloat() const = 0;
    virtual double AsCurrency() const = 0;
    virtual bool AsBoolean() const = 0;
    virtual QDateTime AsDateTime() const = 0;
    // Raw bytes of blobs; the text's Windows-1252 bytes for everything else.
    virtual QByteArray AsBytes() const = 0;
};

class TExportDataSet : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    virtual bool Active() const = 0;
    virtual int FieldCount() const = 0;
    virtual TExportField& Fields(int index) const = 0;
    // The number of the current record as the data set counts it.
    virtual int RecNo() const = 0;
    virtual void First() = 0;
    virtual void Next() = 0;
    virtual bool Eof() const = 0;
};
