#include "fulltext/Params.h"

QString TrbParams::Value(const QString& name) const {
    const QString wanted = name.trimmed();
    for (const QString& line : lines_) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        if (line.left(eq).trimmed().compare(wanted, Qt::CaseInsensitive) == 0)
            return line.mid(eq + 1).trimmed().toUpper();
    }
    return {};
}

bool TrbParams::Flag(const QString& name, bool defaultValue) const {
    const QString value = Value(name);
    if (value.isEmpty())
        return defaultValue;
    return value == QLatin1String("1") || value == QLatin1String("T") || value == QLatin1String("TRUE");
}
