#pragma once
// TrbParams: the Params list of a full-text link or engine, lines of the form
// Name=Value. Switches are read trimmed and upper-cased: "1", "T" and "TRUE"
// mean True, anything else False, and an empty or missing value gives the
// switch's default.

#include <QString>
#include <QStringList>

class TrbParams {
public:
    // Keys the links and engines know.
    static inline const QString CreateDataSet = QStringLiteral("CreateDataSet");
    static inline const QString AddWordIndex = QStringLiteral("AddWordIndex");
    static inline const QString AddWordIndexAtStart = QStringLiteral("AddWordIndexAtStart");
    static inline const QString AddLikeIndex = QStringLiteral("AddLikeIndex");
    static inline const QString AddReverseIndex = QStringLiteral("AddReverseIndex");
    static inline const QString SaveProperties = QStringLiteral("SaveProperties");
    static inline const QString CacheRequired = QStringLiteral("CacheRequired");

    TrbParams() = default;
    explicit TrbParams(const QStringList& lines) : lines_(lines) {}

    const QStringList& Lines() const { return lines_; }
    void SetLines(const QStringList& lines) { lines_ = lines; }

    // The value of the first line whose name matches (names compare without
    // regard to case or surrounding blanks), trimmed and upper-cased; empty
    // when there is none.
    QString Value(const QString& name) const;
    bool Flag(const QString& name, bool defaultValue) const;

private:
    QStringList lines_;
};
