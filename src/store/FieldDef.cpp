#include "store/FieldDef.h"

#include "store/AdsError.h"

#include <QStringList>

bool TFieldDef::IsBlob() const {
    return type == TFieldType::Memo || type == TFieldType::Image || type == TFieldType::Binary;
}

bool TFieldDef::IsNumeric() const {
    switch (type) {
    case TFieldType::Integer:
    case TFieldType::ShortInt:
    case TFieldType::CurDouble:
    case TFieldType::Double:
    case TFieldType::AutoInc:
        return true;
    default:
        return false;
    }
}

namespace {

struct TTypeName {
    const char* name;
    TFieldType type;
};

// The first name of each type is the one TypeName() gives back.
constexpr TTypeName kTypeNames[] = {
    {"Char", TFieldType::Char},         {"Character", TFieldType::Char},    {"String", TFieldType::Char},
    {"Date", TFieldType::Date},         {"Logical", TFieldType::Logical},   {"Boolean", TFieldType::Logical},
    {"Integer", TFieldType::Integer},   {"ShortInt", TFieldType::ShortInt}, {"Short", TFieldType::ShortInt},
    {"ShortInteger", TFieldType::ShortInt}, {"CurDouble", TFieldType::CurDouble},
    {"Money", TFieldType::CurDouble},   {"Double", TFieldType::Double},     {"Memo", TFieldType::Memo},
    {"Image", TFieldType::Image},       {"Binary", TFieldType::Binary},     {"Blob", TFieldType::Binary},
    {"Raw", TFieldType::Raw},           {"Bytes", TFieldType::Raw},         {"AutoInc", TFieldType::AutoInc},
    {"AutoIncrement", TFieldType::AutoInc},
};

} // namespace

QString TFieldDefs::TypeName(TFieldType type) {
    for (const auto& entry : kTypeNames)
        if (entry.type == type)
            return QString::fromLatin1(entry.name);
    return QString();
}

bool TFieldDefs::TypeFromName(const QString& name, TFieldType* type) {
    for (const auto& entry : kTypeNames) {
        if (name.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0) {
            *type = entry.type;
            return true;
        }
    }
    return false;
}

QList<TFieldDef> TFieldDefs::Parse(const QString& definition) {
    QList<TFieldDef> defs;
    const QStringList items = definition.split(QLatin1Char(';'));
    for (const QString& rawItem : items) {
        const QString item = rawItem.trimmed();
        if (item.isEmpty())
            continue;
        const QStringList parts = item.split(QLatin1Char(','));
        auto fail = [&](const QString& why) {
            throw EAdsError(QStringLiteral("Invalid field definition \"%1\": %2").arg(item, why));
        };
        if (parts.size() < 2 || parts.size() > 4)
            fail(QStringLiteral("expected name, type, length and decimals"));
        TFieldDef def;
        def.name = parts[0].trimmed();
        if (def.name.isEmpty())
            fail(QStringLiteral("missing field name"));
        if (!TypeFromName(parts[1].trimmed(), &def.type))
            fail(QStringLiteral("unknown field type"));
        bool ok = true;
        if (parts.size() > 2 && !parts[2].trimmed().isEmpty())
            def.length = parts[2].trimmed().toInt(&ok);
        if (!ok || def.length < 0)
            fail(QStringLiteral("invalid length"));
        if (parts.size() > 3 && !parts[3].trimmed().isEmpty())
            def.decimals = parts[3].trimmed().toInt(&ok);
        if (!ok || def.decimals < 0)
            fail(QStringLiteral("invalid decimals"));
        if ((def.type == TFieldType::Char || def.type == TFieldType::Raw) && def.length <= 0)
            fail(QStringLiteral("a text or byte field needs a length"));
        for (const TFieldDef& other : defs)
            if (other.name.compare(def.name, Qt::CaseInsensitive) == 0)
                fail(QStringLiteral("duplicate field name"));
        defs.append(def);
    }
    return defs;
}
