#pragma once
// Thin RAII wrappers over the SQLite C API used by the table layer. Every
// failure becomes an EAdsError carrying SQLite's extended result code.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QVariant>

#include <memory>
#include <unordered_map>

struct sqlite3;
struct sqlite3_stmt;

class TSqliteDb;

// One prepared statement. Bind values, then Step() until it returns false.
class TSqliteStmt {
public:
    TSqliteStmt(TSqliteDb& db, const QByteArray& sql);
    ~TSqliteStmt();
    TSqliteStmt(const TSqliteStmt&) = delete;
    TSqliteStmt& operator=(const TSqliteStmt&) = delete;

    TSqliteStmt& Bind(int index, qint64 value);
    TSqliteStmt& Bind(int index, double value);
    TSqliteStmt& Bind(int index, const QString& value);
    TSqliteStmt& BindBlob(int index, const QByteArray& value);
    TSqliteStmt& BindNull(int index);
    TSqliteStmt& Bind(int index, const QVariant& value); // by the variant's type

    // Advances; true while a row is available.
    bool Step();
    // Resets for another run and clears the bindings.
    void Reset();
    // Runs a statement that returns no rows.
    void Exec() { Step(); Reset(); }

    int ColumnCount() const;
    bool IsNull(int column) const;
    qint64 Int(int column) const;
    double Double(int column) const;
    QString Text(int column) const;
    QByteArray Blob(int column) const;
    // The column's bytes without a copy; valid until the next Step or Reset.
    QByteArrayView BlobView(int column) const;
    QVariant Value(int column) const; // by the stored type

private:
    TSqliteDb& db_;
    sqlite3_stmt* stmt_ = nullptr;
};

class TSqliteDb {
public:
    // Opens (and with create, creates) the file. Throws EAdsError.
    TSqliteDb(const QString& path, bool readOnly, bool create);
    ~TSqliteDb();
    TSqliteDb(const TSqliteDb&) = delete;
    TSqliteDb& operator=(const TSqliteDb&) = delete;

    void Exec(const QByteArray& sql);
    // A statement kept for the life of the connection, prepared on first use.
    TSqliteStmt& Cached(const QByteArray& sql);
    qint64 LastInsertRowId() const;
    int Changes() const;
    sqlite3* Handle() const { return db_; }

    [[noreturn]] void Fail(int rc, const QString& what) const;

private:
    sqlite3* db_ = nullptr;
    std::unordered_map<std::string, std::unique_ptr<TSqliteStmt>> cache_;
};
