#include "store/SqliteDb.h"

#include "store/AdsError.h"

#include <sqlite3.h>

TSqliteDb::TSqliteDb(const QString& path, bool readOnly, bool create) {
    int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    if (create && !readOnly)
        flags |= SQLITE_OPEN_CREATE;
    flags |= SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString reason = db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QStringLiteral("out of memory");
        sqlite3_close(db_);
        db_ = nullptr;
        throw EAdsError(QStringLiteral("Cannot open %1: %2").arg(path, reason), rc);
    }
    sqlite3_extended_result_codes(db_, 1);
    // Another process may hold the write lock for a moment (two instances on
    // one catalogue); wait for it instead of failing at once.
    sqlite3_busy_timeout(db_, 10000);
}

TSqliteDb::~TSqliteDb() {
    cache_.clear();
    sqlite3_close_v2(db_);
}

void TSqliteDb::Fail(int rc, const QString& what) const {
    throw EAdsError(QStringLiteral("%1: %2").arg(what, QString::fromUtf8(sqlite3_errmsg(db_))), rc);
}

void TSqliteDb::Exec(const QByteArray& sql) {
    char* error = nullptr;
    const int rc = sqlite3_exec(db_, sql.constData(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        const QString message = QString::fromUtf8(error ? error : sqlite3_errstr(rc));
        sqlite3_free(error);
        throw EAdsError(message, rc);
    }
}

TSqliteStmt& TSqliteDb::Cached(const QByteArray& sql) {
    auto& slot = cache_[sql.toStdString()];
    if (!slot)
        slot = std::make_unique<TSqliteStmt>(*this, sql);
    else
        slot->Reset(); // a previous user may have stopped in the middle of its rows
    return *slot;
}

qint64 TSqliteDb::LastInsertRowId() const {
    return sqlite3_last_insert_rowid(db_);
}

int TSqliteDb::Changes() const {
    return sqlite3_changes(db_);
}

TSqliteStmt::TSqliteStmt(TSqliteDb& db, const QByteArray& sql) : db_(db) {
    const int rc = sqlite3_prepare_v3(db.Handle(), sql.constData(), int(sql.size()), SQLITE_PREPARE_PERSISTENT,
                                      &stmt_, nullptr);
    if (rc != SQLITE_OK)
        db.Fail(rc, QStringLiteral("Cannot prepare \"%1\"").arg(QString::fromUtf8(sql)));
}

TSqliteStmt::~TSqliteStmt() {
    sqlite3_finalize(stmt_);
}

TSqliteStmt& TSqliteStmt::Bind(int index, qint64 value) {
    sqlite3_bind_int64(stmt_, index, value);
    return *this;
}

TSqliteStmt& TSqliteStmt::Bind(int index, double value) {
    sqlite3_bind_double(stmt_, index, value);
    return *this;
}

TSqliteStmt& TSqliteStmt::Bind(int index, const QString& value) {
    const QByteArray utf8 = value.toUtf8();
    sqlite3_bind_text(stmt_, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    return *this;
}

TSqliteStmt& TSqliteStmt::BindBlob(int index, const QByteArray& value) {
    // A zero-length blob must still bind as a blob, not as NULL.
    sqlite3_bind_blob(stmt_, index, value.isEmpty() ? "" : value.constData(), int(value.size()), SQLITE_TRANSIENT);
    return *this;
}

TSqliteStmt& TSqliteStmt::BindNull(int index) {
    sqlite3_bind_null(stmt_, index);
    return *this;
}

TSqliteStmt& TSqliteStmt::Bind(int index, const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return BindNull(index);
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return Bind(index, value.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return Bind(index, value.toDouble());
    case QMetaType::QByteArray:
        return BindBlob(index, value.toByteArray());
    default:
        return Bind(index, value.toString());
    }
}

bool TSqliteStmt::Step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    sqlite3_reset(stmt_);
    db_.Fail(rc, QStringLiteral("Table access failed"));
}

void TSqliteStmt::Reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

int TSqliteStmt::ColumnCount() const {
    return sqlite3_column_count(stmt_);
}

bool TSqliteStmt::IsNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

qint64 TSqliteStmt::Int(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

double TSqliteStmt::Double(int column) const {
    return sqlite3_column_double(stmt_, column);
}

QString TSqliteStmt::Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return QString::fromUtf8(text, sqlite3_column_bytes(stmt_, column));
}

QByteArray TSqliteStmt::Blob(int column) const {
    const void* data = sqlite3_column_blob(stmt_, column);
    return QByteArray(static_cast<const char*>(data), sqlite3_column_bytes(stmt_, column));
}

QByteArrayView TSqliteStmt::BlobView(int column) const {
    const void* data = sqlite3_column_blob(stmt_, column);
    return QByteArrayView(static_cast<const char*>(data), sqlite3_column_bytes(stmt_, column));
}

QVariant TSqliteStmt::Value(int column) const {
    switch (sqlite3_column_type(stmt_, column)) {
    case SQLITE_INTEGER:
        return QVariant(Int(column));
    case SQLITE_FLOAT:
        return QVariant(Double(column));
    case SQLITE_TEXT:
        return QVariant(Text(column));
    case SQLITE_BLOB:
        return QVariant(Blob(column));
    default:
        return QVariant();
    }
}
