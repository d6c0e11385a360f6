#include "CliArgs.h"

QString TCliArgs::Take(const QString& name) {
    const qsizetype at = words_.indexOf(name);
    if (at < 0)
        return QString();
    if (at + 1 >= words_.size())
        throw EUsage(name + QStringLiteral(" needs a value"));
    const QString value = words_[at + 1];
    words_.remove(at, 2);
    return value;
}

QString TCliArgs::Require(const QString& name) {
    const QString value = Take(name);
    if (value.isEmpty())
        throw EUsage(name + QStringLiteral(" is required"));
    return value;
}

bool TCliArgs::TakeFlag(const QString& name) {
    return words_.removeAll(name) > 0;
}

QStringList TCliArgs::Rest() const {
    for (const QString& word : words_)
        if (word.startsWith(QLatin1String("--")))
            throw EUsage(QStringLiteral("unknown option ") + word);
    return words_;
}
