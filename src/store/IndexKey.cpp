#include "store/IndexKey.h"

#include "platform/Ansi.h"
#include "store/AdsError.h"

#include <QDate>
#include <QRegularExpression>

#include <bit>
#include <cstring>

namespace {

int FieldIndexOf(const QList<TFieldDef>& fields, const QString& name) {
    for (int i = 0; i < fields.size(); ++i)
        if (fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

} // namespace

TIndexKey::TIndexKey(const QString& expression, const QString& forCondition, const QList<TFieldDef>& fields) {
    static const QRegularExpression valCall(QStringLiteral("^val\\s*\\(\\s*([^)\\s]+)\\s*\\)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QStringList parts = expression.split(QLatin1Char(';'));
    for (const QString& rawPart : parts) {
        const QString part = rawPart.trimmed();
        TComponent component{};
        QString fieldName = part;
        const auto match = valCall.match(part);
        if (match.hasMatch())
            fieldName = match.captured(1);
        component.field = FieldIndexOf(fields, fieldName);
        if (component.field < 0)
            throw EAdsError(QStringLiteral("Invalid index expression \"%1\": no field %2").arg(expression, fieldName));
        const TFieldDef& def = fields[component.field];
        if (def.IsBlob())
            throw EAdsError(QStringLiteral("Invalid index expression \"%1\": %2 is a blob").arg(expression, def.name));
        if (match.hasMatch()) {
            if (def.type != TFieldType::Char)
                throw EAdsError(QStringLiteral("Invalid index expression \"%1\": val() needs a text field").arg(expression));
            component.kind = TKind::Val;
        } else if (def.type == TFieldType::Char) {
            component.kind = TKind::Text;
        } else if (def.type == TFieldType::Raw) {
            component.kind = TKind::Raw;
        } else {
            component.kind = TKind::Number;
        }
        components_.push_back(component);
    }

    QString condition = forCondition.trimmed();
    if (!condition.isEmpty()) {
        if (condition.startsWith(QLatin1Char('!'))) {
            conditionNegated_ = true;
            condition = condition.mid(1).trimmed();
        } else if (condition.startsWith(QLatin1String(".NOT."), Qt::CaseInsensitive)) {
            conditionNegated_ = true;
            condition = condition.mid(5).trimmed();
        }
        conditionField_ = FieldIndexOf(fields, condition);
        if (conditionField_ < 0 || fields[conditionField_].type != TFieldType::Logical)
            throw EAdsError(QStringLiteral("Invalid FOR condition \"%1\": a Boolean field is expected").arg(forCondition));
    }
}

double TIndexKey::XBaseVal(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        ++i;
    qsizetype digits = 0;
    while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == QLatin1Char('.')) {
        ++i;
        while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0.0;
    QString number = text.mid(start, i - start);
    if (number.endsWith(QLatin1Char('.')))
        number.chop(1);
    return number.toDouble();
}

QByteArray TIndexKey::EncodeNumber(double value) {
    if (value == 0.0 || value != value) // -0 and NaN order as 0
        value = 0.0;
    quint64 bits = std::bit_cast<quint64>(value);
    bits = (bits & 0x8000000000000000ULL) ? ~bits : (bits | 0x8000000000000000ULL);
    QByteArray out(8, Qt::Uninitialized);
    for (int i = 7; i >= 0; --i) {
        out[i] = char(bits & 0xFF);
        bits >>= 8;
    }
    return out;
}

QByteArray TIndexKey::EncodeText(const QString& text, bool foldedOnly) {
    QByteArray raw = TAnsi::FromUnicode(text);
    raw.replace('\0', '\x01');
    const unsigned char* fold = TAnsi::InternationalFoldTable();
    QByteArray out;
    out.reserve(raw.size() * 2 + 2);
    for (char c : raw)
        out.append(char(fold[static_cast<unsigned char>(c)]));
    out.append('\0');
    if (!foldedOnly) {
        out.append(raw);
        out.append('\0');
    }
    return out;
}

QByteArray TIndexKey::Encode(const TComponent& component, const QVariant& value, bool foldedOnly) const {
    switch (component.kind) {
    case TKind::Val:
        if (value.typeId() == QMetaType::QString || !value.isValid())
            return EncodeNumber(XBaseVal(value.toString()));
        return EncodeNumber(value.toDouble());
    case TKind::Text:
        return EncodeText(value.toString(), foldedOnly);
    case TKind::Raw:
        return value.toByteArray();
    case TKind::Number:
        if (value.typeId() == QMetaType::QDate)
            return EncodeNumber(double(value.toDate().toJulianDay()));
        if (value.typeId() == QMetaType::QString)
            return EncodeNumber(XBaseVal(value.toString()));
        return EncodeNumber(value.toDouble());
    }
    return QByteArray();
}

QByteArray TIndexKey::KeyOf(const std::vector<QVariant>& values) const {
    QByteArray key;
    for (const TComponent& component : components_)
        key += Encode(component, values[component.field], false);
    return key;
}

bool TIndexKey::Includes(const std::vector<QVariant>& values) const {
    if (conditionField_ < 0)
        return true;
    return values[conditionField_].toBool() != conditionNegated_;
}

QByteArray TIndexKey::SeekKey(const QVariantList& values, bool forNearest) const {
    if (values.size() > qsizetype(components_.size()))
        throw EAdsError(QStringLiteral("Too many values for the index key"));
    QByteArray key;
    for (qsizetype i = 0; i < values.size(); ++i)
        key += Encode(components_[i], values[i], forNearest && i == values.size() - 1);
    return key;
}

bool TIndexKey::DependsOn(int fieldIndex) const {
    if (fieldIndex == conditionField_)
        return true;
    for (const TComponent& component : components_)
        if (component.field == fieldIndex)
            return true;
    return false;
}
