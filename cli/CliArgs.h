#pragma once
// The words after a command name: "--name value" options, then the rest.

#include "CliCommand.h"

#include <QStringList>

class TCliArgs {
public:
    explicit TCliArgs(QStringList words) : words_(std::move(words)) {}

    // The value of "--name VALUE" (removed from the words), or empty.
    QString Take(const QString& name);
    // Like Take, but a missing option is a usage error.
    QString Require(const QString& name);
    // Whether "--name" is given (removed from the words).
    bool TakeFlag(const QString& name);
    // What is left; an option still among it is a usage error.
    QStringList Rest() const;

private:
    QStringList words_;
};
