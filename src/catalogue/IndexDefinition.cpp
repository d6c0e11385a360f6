#include "catalogue/IndexDefinition.h"

#include "platform/MovarixError.h"

TIndexDefinition TIndexDefinition::Parse(const QString& line) {
    auto fail = [&](const QString& why) {
        throw EMovarixError(QStringLiteral("Invalid index definition \"%1\": %2").arg(line, why));
    };
    QStringList parts;
    qsizetype start = 0;
    for (int i = 0; i < 4; ++i) {
        const qsizetype comma = line.indexOf(QLatin1Char(','), start);
        if (comma < 0)
            fail(QStringLiteral("five comma-separated fields are expected"));
        parts << line.mid(start, comma - start).trimmed();
        start = comma + 1;
    }
    TIndexDefinition definition;
    definition.name = parts[0];
    definition.expression = parts[1];
    if (definition.name.isEmpty() || definition.expression.isEmpty())
        fail(QStringLiteral("tag name and key expression are required"));
    if (parts[2].compare(QLatin1String("IDX_UNIQUE"), Qt::CaseInsensitive) == 0)
        definition.unique = true;
    else if (parts[2].compare(QLatin1String("IDX_NONE"), Qt::CaseInsensitive) != 0)
        fail(QStringLiteral("options must be IDX_NONE or IDX_UNIQUE"));
    definition.descending = parts[3].compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
    const QString condition = line.mid(start).trimmed();
    if (condition != QLatin1String("#0") && condition.compare(QLatin1String("NIL"), Qt::CaseInsensitive) != 0)
        definition.condition = condition;
    return definition;
}
