#include "exchange/AdsExportDataSet.h"

#include "platform/MovarixError.h"
#include "store/AdsTable.h"
#include "store/Field.h"

namespace {

class TAdsExportField : public TExportField {
public:
    explicit TAdsExportField(TField& field) : field_(field) {}

    TField& Source() const { return field_; }

    QString FieldName() const override { return field_.FieldName(); }
    QString DisplayName() const override { return field_.DisplayLabel(); }
    QString DisplayLabel() const override { return field_.DisplayLabel(); }
    bool Visible() const override { return field_.Visible(); }
    bool IsBlob() const override { return field_.IsBlob(); }
    TExportFieldType DataType() const override { return TAdsExportDataSet::TypeOf(field_); }
    QString FieldClassName() const override { return TAdsExportDataSet::ClassNameOf(field_); }
    int Size() const override {
        return field_.DataType() == TFieldType::Char || field_.DataType() == TFieldType::Raw ? field_.Size() : 0;
    }
    int DataSize() const override {
        switch (field_.DataType()) {
        case TFieldType::Char:
            return field_.Size() + 1;
        case TFieldType::Raw:
            return field_.Size();
        case TFieldType::ShortInt:
        case TFieldType::Logical:
            return 2;
        case TFieldType::Integer:
        case TFieldType::AutoInc:
        case TFieldType::Date:
            return 4;
        case TFieldType::CurDouble:
        case TFieldType::Double:
            return 8;
        default:
            return 0;
        }
    }

    bool IsNull() const override { return field_.IsNull(); }
    QString AsString() const override { return field_.AsString(); }
    qint64 AsInteger() const override {
        if (field_.DataType() == TFieldType::Logical)
            return field_.AsBoolean() ? 1 : 0;
        if (field_.DataType() == TFieldType::CurDouble || field_.DataType() == TFieldType::Double)
            return qRound64(field_.AsFloat());
        return field_.AsInteger();
    }
    double AsFloat() const override {
        if (field_.DataType() == TFieldType::Char || field_.DataType() == TFieldType::Memo) {
            bool ok = false;
            const double value = field_.AsString().trimmed().toDouble(&ok);
            if (!ok && !field_.AsString().trimmed().isEmpty())
                throw EMovarixError(QStringLiteral("'%1' is not a valid floating point value").arg(field_.AsString()));
            return value;
        }
        if (field_.DataType() == TFieldType::Logical)
            return field_.AsBoolean() ? 1 : 0;
        return field_.AsFloat();
    }
    double AsCurrency() const override { return AsFloat(); }
    bool AsBoolean() const override { return field_.AsBoolean(); }
    QDateTime AsDateTime() const override {
        const QDate date = field_.AsDate();
        if (!date.isValid())
            return QDateTime();
        return QDateTime(date, QTime(0, 0));
    }
    QByteArray AsBytes() const override { return field_.AsBytes(); }

private:
    TField& field_;
};

} // namespace

TAdsExportDataSet::TAdsExportDataSet(TAdsTable* table, QObject* parent) : TExportDataSet(parent), table_(table) {}

TAdsExportDataSet::~TAdsExportDataSet() = default;

TExportFieldType TAdsExportDataSet::TypeOf(const TField& field) {
    switch (field.DataType()) {
    case TFieldType::Char:
        return TExportFieldType::ftString;
    case TFieldType::Date:
        return TExportFieldType::ftDate;
    case TFieldType::Logical:
        return TExportFieldType::ftBoolean;
    case TFieldType::Integer:
        return TExportFieldType::ftInteger;
    case TFieldType::ShortInt:
        return TExportFieldType::ftSmallint;
    case TFieldType::CurDouble:
        return TExportFieldType::ftCurrency;
    case TFieldType::Double:
        return TExportFieldType::ftFloat;
    case TFieldType::Memo:
        return TExportFieldType::ftMemo;
    case TFieldType::Image:
    case TFieldType::Binary:
        return TExportFieldType::ftBlob;
    case TFieldType::Raw:
        return TExportFieldType::ftBytes;
    case TFieldType::AutoInc:
        return TExportFieldType::ftAutoInc;
    }
    return TExportFieldType::ftUnknown;
}

QString TAdsExportDataSet::ClassNameOf(const TField& field) {
    switch (field.DataType()) {
    case TFieldType::Char:
        return QStringLiteral("TStringField");
    case TFieldType::Date:
        return QStringLiteral("TDateField");
    case TFieldType::Logical:
        return QStringLiteral("TBooleanField");
    case TFieldType::Integer:
        return QStringLiteral("TIntegerField");
    case TFieldType::ShortInt:
        return QStringLiteral("TSmallintField");
    case TFieldType::CurDouble:
        return QStringLiteral("TCurrencyField");
    case TFieldType::Double:
        return QStringLiteral("TFloatField");
    case TFieldType::Memo:
        return QStringLiteral("TMemoField");
    case TFieldType::Image:
    case TFieldType::Binary:
        return QStringLiteral("TBlobField");
    case TFieldType::Raw:
        return QStringLiteral("TBytesField");
    case TFieldType::AutoInc:
        return QStringLiteral("TAutoIncField");
    }
    return QStringLiteral("TField");
}

bool TAdsExportDataSet::Active() const {
    return table_ && table_->Active();
}

void TAdsExportDataSet::SyncFields() const {
    if (!Active()) {
        fields_.clear();
        return;
    }
    // The table's field objects live as long as it stays open; a reopened or
    // restructured table brings new ones.
    const int count = table_->FieldCount();
    if (int(fields_.size()) == count &&
        (count == 0 || (&static_cast<TAdsExportField&>(*fields_.front()).Source() == &table_->Fields(0) &&
                        &static_cast<TAdsExportField&>(*fields_.back()).Source() == &table_->Fields(count - 1))))
        return;
    fields_.clear();
    for (int i = 0; i < count; ++i)
        fields_.push_back(std::make_unique<TAdsExportField>(table_->Fields(i)));
}

int TAdsExportDataSet::FieldCount() const {
    SyncFields();
    return int(fields_.size());
}

TExportField& TAdsExportDataSet::Fields(int index) const {
    SyncFields();
    if (index < 0 || index >= int(fields_.size()))
        throw EMovarixError(QStringLiteral("Field index out of range: %1").arg(index));
    return *fields_[size_t(index)];
}

int TAdsExportDataSet::RecNo() const {
    return Active() ? int(table_->RecNo()) : 0;
}

void TAdsExportDataSet::First() {
    if (Active())
        table_->First();
}

void TAdsExportDataSet::Next() {
    if (Active())
        table_->Next();
}

bool TAdsExportDataSet::Eof() const {
    return !Active() || table_->Eof();
}
