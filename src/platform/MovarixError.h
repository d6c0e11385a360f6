#pragma once
// Exception base of the program. Every failure the program reports is an
// EMovarixError or one of its descendants; the numeric code is optional and
// carries the engine codes where a subsystem has them (full-text, table layer).

#include <QString>
#include <stdexcept>

class EMovarixError : public std::runtime_error {
public:
    explicit EMovarixError(const QString& message, int code = 0)
        : std::runtime_error(message.toStdString()), message_(message), code_(code) {}

    const QString& Message() const { return message_; }
    int Code() const { return code_; }

private:
    QString message_;
    int code_;
};

// A silent abort: a handler refuses an action after it has already told the
// user why (for example an empty new record). Callers end the action and show
// nothing more.
class EAbort : public EMovarixError {
public:
    EAbort() : EMovarixError(QStringLiteral("Operation aborted")) {}
};
