#include "store/Field.h"

#include "platform/Ansi.h"
#include "store/AdsError.h"
#include "store/AdsTable.h"

TField::TField(TAdsTable& table, int index, const TFieldDef& def) : table_(table), index_(index), def_(def) {}

bool TField::IsNull() const {
    if (IsBlob())
        return table_.BlobValue(index_).isEmpty();
    const QVariant value = table_.FieldValue(index_);
    return !value.isValid() || value.isNull();
}

QVariant TField::Value() const {
    if (IsBlob()) {
        const QByteArray& bytes = table_.BlobValue(index_);
        if (bytes.isEmpty())
            return QVariant();
        if (def_.type == TFieldType::Memo)
            return QString::fromUtf8(bytes);
        return bytes;
    }
    return table_.FieldValue(index_);
}

void TField::SetValue(const QVariant& value) {
    table_.SetFieldValue(index_, value);
}

QString TField::AsString() const {
    return TextOf(Value());
}

QString TField::TextOf(const QVariant& value) const {
    if (!value.isValid() || value.isNull())
        return QString();
    switch (def_.type) {
    case TFieldType::Date:
        return value.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    case TFieldType::Logical:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case TFieldType::CurDouble:
    case TFieldType::Double:
        return QString::number(value.toDouble(), 'g', 15);
    case TFieldType::Image:
    case TFieldType::Binary:
    case TFieldType::Raw:
        return TAnsi::ToUnicode(value.toByteArray());
    default:
        return value.toString();
    }
}

void TField::SetAsString(const QString& text) {
    auto invalid = [&](const char* what) {
        throw EAdsError(QStringLiteral("'%1' is not a valid %2 value for field %3")
                            .arg(text, QString::fromLatin1(what), def_.name));
    };
    const QString trimmed = text.trimmed();
    switch (def_.type) {
    case TFieldType::Date: {
        if (trimmed.isEmpty())
            return Clear();
        QDate date = QDate::fromString(trimmed, QStringLiteral("d.M.yyyy"));
        if (!date.isValid())
            date = QDate::fromString(trimmed, Qt::ISODate);
        if (!date.isValid())
            invalid("date");
        return SetValue(date);
    }
    case TFieldType::Logical: {
        if (trimmed.isEmpty())
            return Clear();
        const QString upper = trimmed.toUpper();
        if (upper == QLatin1String("TRUE") || upper == QLatin1String("T") || upper == QLatin1String("Y") ||
            upper == QLatin1String("YES") || upper == QLatin1String("1") || upper == QLatin1String(".T."))
            return SetValue(true);
        if (upper == QLatin1String("FALSE") || upper == QLatin1String("F") || upper == QLatin1String("N") ||
            upper == QLatin1String("NO") || upper == QLatin1String("0") || upper == QLatin1String(".F."))
            return SetValue(false);
        invalid("Boolean");
        return;
    }
    case TFieldType::Integer:
    case TFieldType::ShortInt:
    case TFieldType::AutoInc: {
        if (trimmed.isEmpty())
            return Clear();
        bool ok = false;
        const int value = trimmed.toInt(&ok);
        if (!ok)
            invalid("integer");
        return SetValue(value);
    }
    case TFieldType::CurDouble:
    case TFieldType::Double: {
        if (trimmed.isEmpty())
            return Clear();
        bool ok = false;
        double value = trimmed.toDouble(&ok);
        if (!ok)
            value = QString(trimmed).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
        if (!ok)
            invalid("number");
        return SetValue(value);
    }
    case TFieldType::Image:
    case TFieldType::Binary:
    case TFieldType::Raw:
        return SetValue(TAnsi::FromUnicode(text));
    default:
        return SetValue(text);
    }
}

int TField::AsInteger() const {
    return IntegerOf(Value());
}

int TField::IntegerOf(const QVariant& value) const {
    if (def_.type == TFieldType::Char || def_.type == TFieldType::Memo) {
        bool ok = false;
        const int number = value.toString().trimmed().toInt(&ok);
        if (!ok && !value.toString().trimmed().isEmpty())
            throw EAdsError(QStringLiteral("'%1' is not a valid integer value").arg(value.toString()));
        return number;
    }
    return value.toInt();
}

double TField::AsFloat() const {
    return Value().toDouble();
}

bool TField::AsBoolean() const {
    return Value().toBool();
}

QDate TField::AsDate() const {
    return Value().toDate();
}

QByteArray TField::AsBytes() const {
    switch (def_.type) {
    case TFieldType::Image:
    case TFieldType::Binary:
        return table_.BlobValue(index_);
    default:
        return BytesOf(Value());
    }
}

QByteArray TField::BytesOf(const QVariant& value) const {
    switch (def_.type) {
    case TFieldType::Image:
    case TFieldType::Binary:
    case TFieldType::Raw:
        return value.toByteArray();
    case TFieldType::Memo:
        if (value.typeId() == QMetaType::QByteArray)
            return TAnsi::FromUtf8(value.toByteArray());
        return TAnsi::FromUnicode(TextOf(value));
    default:
        return TAnsi::FromUnicode(TextOf(value));
    }
}

void TField::SetAsBytes(const QByteArray& bytes) {
    switch (def_.type) {
    case TFieldType::Image:
    case TFieldType::Binary:
    case TFieldType::Raw:
        return SetValue(bytes);
    default:
        return SetValue(TAnsi::ToUnicode(bytes));
    }
}

int TField::DisplayWidth() const {
    if (displayWidth_ >= 0)
        return displayWidth_;
    switch (def_.type) {
    case TFieldType::Char:
    case TFieldType::Raw:
        return def_.length;
    case TFieldType::Date:
        return 10;
    case TFieldType::Logical:
        return 5;
    case TFieldType::ShortInt:
        return 6;
    case TFieldType::Integer:
    case TFieldType::AutoInc:
        return 11;
    case TFieldType::CurDouble:
    case TFieldType::Double:
        return 15;
    default:
        return 10;
    }
}

Qt::Alignment TField::Alignment() const {
    if (alignment_ != Qt::Alignment())
        return alignment_;
    return def_.IsNumeric() ? Qt::AlignRight : Qt::AlignLeft;
}
