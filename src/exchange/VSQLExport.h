#pragma once
// The SQL writer: a script of INSERT statements, one per record, with an
// optional CREATE TABLE statement before them and commit statements after
// every CommitRecCount records and at the end.
//
//   INSERT INTO Filme
//     (Title,Price,"Date")
//   VALUES
//     ('O''Hara',12.5,'2003-12-24');
//
// Values are the fields' plain values, not the formats: strings and memos
// between single quotes with inner quotes doubled, dates as quoted ISO
// dates, numbers with a decimal point, Booleans as BooleanTrue/BooleanFalse,
// blobs as X'…' hex literals, NULL values as NullString. Names that are no
// plain SQL identifier (a hyphen, a reserved word such as Group or Date)
// are written in double quotes. Without a TableName the statements name
// the table after the file ("Export.sql" → Export).
//
// The writer does not react to a stop request: a script is all or nothing.

#include "exchange/VExport.h"

class TVSQLExport : public TVExport {
public:
    TVSQLExport();

    const QString& TableName() const { return tableName_; }
    void SetTableName(const QString& value) { tableName_ = value; }
    int CommitRecCount() const { return commitRecCount_; }
    void SetCommitRecCount(int value) { commitRecCount_ = qMax(0, value); }
    bool CommitAfterScript() const { return commitAfterScript_; }
    void SetCommitAfterScript(bool value) { commitAfterScript_ = value; }
    const QString& CommitStatement() const { return commitStatement_; }
    void SetCommitStatement(const QString& value) { commitStatement_ = value; }
    bool CreateTableStatement() const { return createTableStatement_; }
    void SetCreateTableStatement(bool value) { createTableStatement_ = value; }
    const QString& NullString() const { return nullString_; }
    void SetNullString(const QString& value) { nullString_ = value; }
    QChar StatementTerm() const { return statementTerm_; }
    void SetStatementTerm(QChar value) { statementTerm_ = value; }

    bool Execute() override;

    // A name as the script writes it: plain identifiers as they are, others
    // in double quotes.
    static QString Identifier(const QString& name);
    // A text between single quotes, inner single quotes doubled.
    static QString QuotedString(const QString& text);

private:
    QString ValueText(const TExportField& field) const;
    QString TypeText(const TExportField& field) const;

    QString tableName_;
    int commitRecCount_ = 0;
    bool commitAfterScript_ = false;
    QString commitStatement_ = QStringLiteral("COMMIT WORK;");
    bool createTableStatement_ = false;
    QString nullString_ = QStringLiteral("NULL");
    QChar statementTerm_ = QLatin1Char(';');
};
