#include "store/AdsTable.h"

#include "platform/Ansi.h"
#include "store/AdsError.h"
#include "store/IndexKey.h"
#include "store/SqliteDb.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <algorithm>
#include <cmath>

// Engine-style error codes the callers may test.
namespace {
constexpr int kErrorNotFound = 7008;
constexpr int kErrorNotTable = 7016;
constexpr int kErrorState = 5026;
constexpr int kErrorRecordChanged = 7028;
constexpr int kErrorDuplicateKey = 7057;
constexpr int kErrorNoIndex = 5073;
constexpr int kErrorReadOnly = 5075;
constexpr int kErrorExclusive = 5076;
constexpr int kFormat = 1;

QString ColumnName(int index) {
    return QStringLiteral("f%1").arg(index + 1);
}

QByteArray Sql(const QString& text) {
    return text.toUtf8();
}

// A value as the table keeps it in memory, from any QVariant the caller gives.
QVariant Normalize(const TFieldDef& def, const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return QVariant();
    switch (def.type) {
    case TFieldType::Char: {
        QString text = value.toString();
        if (text.size() > def.length)
            text.truncate(def.length);
        qsizetype end = text.size();
        while (end > 0 && text[end - 1] == QLatin1Char(' '))
            --end;
        text.truncate(end);
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
    case TFieldType::Date: {
        const QDate date = value.typeId() == QMetaType::QString
                               ? QDate::fromString(value.toString(), QStringLiteral("d.M.yyyy"))
                               : value.toDate();
        return date.isValid() ? QVariant(date) : QVariant();
    }
    case TFieldType::Logical:
        return QVariant(value.toBool());
    case TFieldType::Integer:
    case TFieldType::AutoInc: {
        bool ok = false;
        const qint64 number = value.toLongLong(&ok);
        if (!ok || number < INT32_MIN || number > INT32_MAX)
            throw EAdsError(QStringLiteral("Value %1 does not fit field %2").arg(value.toString(), def.name));
        return QVariant(int(number));
    }
    case TFieldType::ShortInt: {
        bool ok = false;
        const qint64 number = value.toLongLong(&ok);
        if (!ok || number < INT16_MIN || number > INT16_MAX)
            throw EAdsError(QStringLiteral("Value %1 does not fit field %2").arg(value.toString(), def.name));
        return QVariant(int(number));
    }
    case TFieldType::CurDouble: {
        const double scale = std::pow(10.0, def.decimals > 0 ? def.decimals : 4);
        return QVariant(std::round(value.toDouble() * scale) / scale);
    }
    case TFieldType::Double:
        return QVariant(value.toDouble());
    case TFieldType::Raw: {
        QByteArray bytes = value.toByteArray();
        bytes.resize(def.length, '\0');
        return QVariant(bytes);
    }
    case TFieldType::Memo:
        return QVariant(value.typeId() == QMetaType::QByteArray ? value.toByteArray() : value.toString().toUtf8());
    case TFieldType::Image:
    case TFieldType::Binary:
        return QVariant(value.toByteArray());
    }
    return QVariant();
}

// A stored SQLite value back into the in-memory form.
QVariant FromStored(const TFieldDef& def, const TSqliteStmt& stmt, int column) {
    if (stmt.IsNull(column))
        return QVariant();
    switch (def.type) {
    case TFieldType::Char:
        return QVariant(stmt.Text(column));
    case TFieldType::Date:
        return QVariant(QDate::fromJulianDay(stmt.Int(column)));
    case TFieldType::Logical:
        return QVariant(stmt.Int(column) != 0);
    case TFieldType::Integer:
    case TFieldType::ShortInt:
    case TFieldType::AutoInc:
        return QVariant(int(stmt.Int(column)));
    case TFieldType::CurDouble:
    case TFieldType::Double:
        return QVariant(stmt.Double(column));
    case TFieldType::Raw:
        return QVariant(stmt.Blob(column));
    default:
        return QVariant();
    }
}

// The in-memory form into the value bound for SQLite.
QVariant ToStored(const TFieldDef& def, const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return QVariant();
    switch (def.type) {
    case TFieldType::Date:
        return QVariant(qint64(value.toDate().toJulianDay()));
    case TFieldType::Logical:
        return QVariant(qint64(value.toBool() ? 1 : 0));
    default:
        return value;
    }
}

void RemoveFileSet(const QString& path) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(path + QLatin1String(suffix));
}

} // namespace

struct TAdsTable::TTag {
    qint64 id = 0;
    TIndexDef def;
    std::unique_ptr<TIndexKey> key;
    // Statements of the connection's cache, found once (see PrepareStatements).
    TSqliteStmt* insert = nullptr;
    TSqliteStmt* remove = nullptr;
    TSqliteStmt* clash = nullptr;
    // Statements of the cursor-free reads, found on first use.
    TSqliteStmt* seek = nullptr;
    TSqliteStmt* first = nullptr;
    TSqliteStmt* last = nullptr;
    QByteArray TableName() const { return "idx.mvx_tag_" + QByteArray::number(id); }
};

// Begins a write transaction unless one is open, advances the generation of
// both files on commit, rolls back when it goes out of scope uncommitted.
class TAdsTable::TWriteTransaction {
public:
    explicit TWriteTransaction(TAdsTable& table) : table_(table) {
        if (table_.transactionDepth_ == 0) {
            table_.EndSharedRead();
            table_.db_->Exec("BEGIN IMMEDIATE");
            owns_ = true;
        }
    }
    ~TWriteTransaction() {
        if (owns_ && !done_) {
            try {
                table_.db_->Exec("ROLLBACK");
            } catch (const EAdsError&) {
                // The connection rolls back by itself when the commit failed.
            }
        }
    }
    // The generation this write stamps on the records it touches.
    qint64 Generation() {
        // Inside an explicit transaction all posts share one stamp: the
        // files are committed together anyway.
        if (generation_ == 0 && !owns_ && table_.transactionGeneration_ != 0)
            generation_ = table_.transactionGeneration_;
        if (generation_ == 0) {
            table_.db_->Exec("UPDATE mvx_meta SET value = value + 1 WHERE key = 'generation'");
            TSqliteStmt& read = table_.db_->Cached("SELECT value FROM mvx_meta WHERE key = 'generation'");
            read.Step();
            generation_ = read.Int(0);
            read.Reset();
            if (table_.hasIndexFile_) {
                TSqliteStmt& write = table_.db_->Cached("UPDATE idx.mvx_meta SET value = ? WHERE key = 'generation'");
                write.Bind(1, generation_).Exec();
            }
            if (!owns_)
                table_.transactionGeneration_ = generation_;
        }
        return generation_;
    }
    void Commit() {
        Generation();
        if (owns_)
            table_.db_->Exec("COMMIT");
        done_ = true;
    }

private:
    TAdsTable& table_;
    bool owns_ = false;
    bool done_ = false;
    qint64 generation_ = 0;
};

TAdsTable::TAdsTable(QObject* parent) : QObject(parent) {}

TAdsTable::~TAdsTable() {
    try {
        Close();
    } catch (...) {
        // Closing never throws past a destructor.
    }
}

// ---------------------------------------------------------------- files

QString TAdsTable::IndexFileOf(const QString& path) {
    if (path.endsWith(QLatin1String(".ADT")))
        return path.left(path.size() - 1) + QLatin1Char('I');
    if (path.endsWith(QLatin1String(".adt"), Qt::CaseInsensitive))
        return path.left(path.size() - 1) + QLatin1Char('i');
    return path + QStringLiteral(".ADI");
}

bool TAdsTable::Exists(const QString& path) {
    return QFileInfo::exists(path);
}

void TAdsTable::CreateTable(const QString& path, const QString& definition, bool durable) {
    const QList<TFieldDef> defs = TFieldDefs::Parse(definition);
    if (defs.isEmpty())
        throw EAdsError(QStringLiteral("No fields given for table %1").arg(path));

    // Build the new table under a temporary name so that a table of the
    // final name is always complete.
    const QString temp = path + QStringLiteral(".creating");
    RemoveFileSet(temp);
    try {
        TSqliteDb db(temp, false, true);
        db.Exec("PRAGMA journal_mode=DELETE");
        db.Exec("BEGIN");
        db.Exec("CREATE TABLE mvx_meta(key TEXT PRIMARY KEY, value)");
        db.Exec("CREATE TABLE mvx_fields(ord INTEGER PRIMARY KEY, name TEXT NOT NULL, type TEXT NOT NULL, "
                "length INTEGER NOT NULL, decimals INTEGER NOT NULL)");
        db.Exec("CREATE TABLE mvx_blobs(recno INTEGER NOT NULL, field INTEGER NOT NULL, data BLOB NOT NULL, "
                "PRIMARY KEY(recno, field))");
        QString columns;
        for (int i = 0; i < defs.size(); ++i)
            if (!defs[i].IsBlob())
                columns += QStringLiteral(", ") + ColumnName(i);
        db.Exec(Sql(QStringLiteral("CREATE TABLE mvx_records(recno INTEGER PRIMARY KEY, mvx_version INTEGER NOT NULL")
                    + columns + QLatin1Char(')')));
        TSqliteStmt meta(db, "INSERT INTO mvx_meta(key, value) VALUES(?, ?)");
        meta.Bind(1, QStringLiteral("format")).Bind(2, qint64(kFormat)).Exec();
        meta.Bind(1, QStringLiteral("generation")).Bind(2, qint64(1)).Exec();
        meta.Bind(1, QStringLiteral("durable")).Bind(2, qint64(durable ? 1 : 0)).Exec();
        TSqliteStmt field(db, "INSERT INTO mvx_fields VALUES(?, ?, ?, ?, ?)");
        for (int i = 0; i < defs.size(); ++i) {
            field.Bind(1, qint64(i + 1)).Bind(2, defs[i].name).Bind(3, TFieldDefs::TypeName(defs[i].type));
            field.Bind(4, qint64(defs[i].length)).Bind(5, qint64(defs[i].decimals)).Exec();
        }
        db.Exec("COMMIT");
    } catch (...) {
        RemoveFileSet(temp);
        throw;
    }
    DeleteTable(path);
    if (!QFile::rename(temp, path)) {
        RemoveFileSet(temp);
        throw EAdsError(QStringLiteral("Cannot create table %1").arg(path));
    }
}

void TAdsTable::DeleteTable(const QString& path) {
    RemoveFileSet(path);
    RemoveFileSet(IndexFileOf(path));
}

void TAdsTable::DeleteIndexFile(const QString& path) {
    RemoveFileSet(IndexFileOf(path));
}

void TAdsTable::RestructureAppend(const QString& path, const QString& definition) {
    if (!Exists(path))
        throw EAdsError(QStringLiteral("Table %1 not found").arg(path), kErrorNotFound);
    const QList<TFieldDef> added = TFieldDefs::Parse(definition);
    TTableLock lock(path, true);
    TSqliteDb db(path, false, false);
    db.Exec("BEGIN IMMEDIATE");
    try {
        QStringList existing;
        {
            TSqliteStmt names(db, "SELECT name FROM mvx_fields ORDER BY ord");
            while (names.Step())
                existing << names.Text(0);
        }
        qint64 ord = existing.size();
        TSqliteStmt insert(db, "INSERT INTO mvx_fields VALUES(?, ?, ?, ?, ?)");
        for (const TFieldDef& def : added) {
            for (const QString& name : existing)
                if (name.compare(def.name, Qt::CaseInsensitive) == 0)
                    throw EAdsError(QStringLiteral("Field %1 exists already in %2").arg(def.name, path));
            existing << def.name;
            ++ord;
            if (!def.IsBlob())
                db.Exec(Sql(QStringLiteral("ALTER TABLE mvx_records ADD COLUMN ") + ColumnName(int(ord - 1))));
            if (def.type == TFieldType::AutoInc) {
                // Existing records get numbers in record order, new ones follow.
                db.Exec(Sql(QStringLiteral("UPDATE mvx_records SET %1 = recno").arg(ColumnName(int(ord - 1)))));
                TSqliteStmt next(db, "INSERT OR REPLACE INTO mvx_meta(key, value) "
                                     "VALUES(?, (SELECT COALESCE(MAX(recno), 0) + 1 FROM mvx_records))");
                next.Bind(1, QStringLiteral("autoinc.%1").arg(ord)).Exec();
            }
            insert.Bind(1, ord).Bind(2, def.name).Bind(3, TFieldDefs::TypeName(def.type));
            insert.Bind(4, qint64(def.length)).Bind(5, qint64(def.decimals)).Exec();
        }
        db.Exec("COMMIT");
    } catch (...) {
        db.Exec("ROLLBACK");
        throw;
    }
}

// ---------------------------------------------------------------- opening

QString TAdsTable::FullPath() const {
    if (folder_.isEmpty())
        return tableName_;
    return folder_.endsWith(QLatin1Char('/')) ? folder_ + tableName_ : folder_ + QLatin1Char('/') + tableName_;
}

void TAdsTable::Open() {
    if (Active())
        return;
    const QString path = FullPath();
    if (!Exists(path))
        throw EAdsError(QStringLiteral("Table %1 not found").arg(path), kErrorNotFound);

    TTableLock lock(path, exclusive_);
    auto db = std::make_unique<TSqliteDb>(path, readOnly_, false);
    bool durable = true;
    std::vector<TFieldDef> defs;
    try {
        TSqliteStmt format(*db, "SELECT value FROM mvx_meta WHERE key = 'format'");
        if (!format.Step() || format.Int(0) != kFormat)
            throw EAdsError(QString());
        TSqliteStmt durability(*db, "SELECT value FROM mvx_meta WHERE key = 'durable'");
        durable = !durability.Step() || durability.Int(0) != 0;
        TSqliteStmt fields(*db, "SELECT name, type, length, decimals FROM mvx_fields ORDER BY ord");
        while (fields.Step()) {
            TFieldDef def;
            def.name = fields.Text(0);
            if (!TFieldDefs::TypeFromName(fields.Text(1), &def.type))
                throw EAdsError(QString());
            def.length = int(fields.Int(2));
            def.decimals = int(fields.Int(3));
            defs.push_back(def);
        }
        if (defs.empty())
            throw EAdsError(QString());
    } catch (const EAdsError&) {
        throw EAdsError(QStringLiteral("%1 is not a table file or is damaged").arg(path), kErrorNotTable);
    }
    if (!readOnly_) {
        db->Exec("PRAGMA journal_mode=WAL");
        db->Exec(durable ? "PRAGMA synchronous=FULL" : "PRAGMA synchronous=NORMAL");
    }

    lock_ = std::move(lock);
    db_ = std::move(db);
    defs_ = std::move(defs);
    for (int i = 0; i < int(defs_.size()); ++i)
        fields_.push_back(std::make_unique<TField>(*this, i, defs_[i]));
    try {
        PrepareStatements();
        OpenIndexFile();
    } catch (...) {
        Close();
        throw;
    }
    state_ = TState::Browse;
    currentTag_ = -1;
    filtered_ = false;
    InvalidateView();
    First();
    Fire(AfterOpen);
    Notify(&TAdsTable::StateChanged);
    Notify(&TAdsTable::ViewChanged);
}

// The record statements are made once per open: every post and every move
// uses them, and their text is long.
void TAdsTable::PrepareStatements() {
    QString columns = QStringLiteral("mvx_version");
    QString marks = QStringLiteral("?");
    QString assignments = QStringLiteral("mvx_version = ?");
    for (int i = 0; i < int(defs_.size()); ++i) {
        if (defs_[i].IsBlob())
            continue;
        columns += QLatin1Char(',') + ColumnName(i);
        marks += QStringLiteral(",?");
        assignments += QLatin1Char(',') + ColumnName(i) + QStringLiteral(" = ?");
    }
    insertRecord_ = &db_->Cached(Sql(QStringLiteral("INSERT INTO mvx_records(%1) VALUES(%2)").arg(columns, marks)));
    updateRecord_ = &db_->Cached(
        Sql(QStringLiteral("UPDATE mvx_records SET %1 WHERE recno = ? AND mvx_version = ?").arg(assignments)));
    selectRecord_ = &db_->Cached(Sql(QStringLiteral("SELECT %1 FROM mvx_records WHERE recno = ?").arg(columns)));
}

void TAdsTable::OpenIndexFile() {
    hasIndexFile_ = false;
    indexFileDamaged_ = false;
    tags_.clear();
    const QString indexPath = IndexFileOf(FullPath());
    if (!Exists(indexPath))
        return;
    try {
        TSqliteStmt attach(*db_, "ATTACH DATABASE ? AS idx");
        attach.Bind(1, indexPath).Exec();
    } catch (const EAdsError&) {
        indexFileDamaged_ = true;
        return;
    }
    try {
        TSqliteStmt check(*db_, "PRAGMA idx.quick_check(1)");
        if (!check.Step() || check.Text(0) != QLatin1String("ok"))
            throw EAdsError(QString());
        if (!readOnly_) {
            db_->Exec("PRAGMA idx.journal_mode=WAL");
            db_->Exec("PRAGMA idx.synchronous=NORMAL");
        }
        hasIndexFile_ = true;
        LoadTags();
    } catch (const EAdsError&) {
        hasIndexFile_ = false;
        tags_.clear();
        indexFileDamaged_ = true;
        try {
            db_->Exec("DETACH DATABASE idx");
        } catch (const EAdsError&) {
        }
        // The index file is derived data: set the damaged one aside so that
        // the next index check builds it anew. The records are untouched.
        if (!readOnly_)
            RemoveFileSet(indexPath);
        return;
    }
    CheckGenerations();
}

void TAdsTable::LoadTags() {
    TSqliteStmt meta(*db_, "SELECT value FROM idx.mvx_meta WHERE key = 'generation'");
    if (!meta.Step())
        throw EAdsError(QString());
    TSqliteStmt list(*db_, "SELECT id, name, expression, condition, isUnique FROM idx.mvx_tags ORDER BY id");
    QList<TFieldDef> defs(defs_.begin(), defs_.end());
    while (list.Step()) {
        auto tag = std::make_unique<TTag>();
        tag->id = list.Int(0);
        tag->def.name = list.Text(1);
        tag->def.expression = list.Text(2);
        tag->def.condition = list.Text(3);
        tag->def.unique = list.Int(4) != 0;
        tag->key = std::make_unique<TIndexKey>(tag->def.expression, tag->def.condition, defs);
        TSqliteStmt exists(*db_, "SELECT 1 FROM idx.sqlite_master WHERE type = 'table' AND name = ?");
        exists.Bind(1, QStringLiteral("mvx_tag_%1").arg(tag->id));
        if (!exists.Step())
            throw EAdsError(QString());
        tags_.push_back(std::move(tag));
    }
}

void TAdsTable::CheckGenerations() {
    if (!hasIndexFile_ || readOnly_)
        return;
    auto generations = [this](qint64* table, qint64* index) {
        TSqliteStmt& a = db_->Cached("SELECT value FROM main.mvx_meta WHERE key = 'generation'");
        a.Step();
        *table = a.Int(0);
        a.Reset();
        TSqliteStmt& b = db_->Cached("SELECT value FROM idx.mvx_meta WHERE key = 'generation'");
        b.Step();
        *index = b.Int(0);
        b.Reset();
    };
    // The write lock keeps another program from committing between the two reads.
    db_->Exec("BEGIN IMMEDIATE");
    try {
        qint64 table = 0;
        qint64 index = 0;
        generations(&table, &index);
        if (table != index) {
            for (auto& tag : tags_)
                RebuildTagEntries(*tag);
            TSqliteStmt& write = db_->Cached("UPDATE idx.mvx_meta SET value = ? WHERE key = 'generation'");
            write.Bind(1, table).Exec();
        }
        db_->Exec("COMMIT");
    } catch (...) {
        db_->Exec("ROLLBACK");
        throw;
    }
}

void TAdsTable::RebuildTagEntries(TTag& tag) {
    db_->Exec("DELETE FROM " + tag.TableName());
    struct TEntry {
        QByteArray key;
        qint64 recno;
        bool operator<(const TEntry& other) const {
            const int order = key.compare(other.key);
            return order < 0 || (order == 0 && recno < other.recno);
        }
    };
    std::vector<TEntry> entries;
    entries.reserve(size_t(TotalRecordCount()));
    {
        // Only the fields the key and its condition read are decoded.
        std::vector<int> used;
        QString columns = QStringLiteral("SELECT recno");
        for (int i = 0; i < int(defs_.size()); ++i) {
            if (!defs_[i].IsBlob() && tag.key->DependsOn(i)) {
                used.push_back(i);
                columns += QLatin1Char(',') + ColumnName(i);
            }
        }
        TSqliteStmt rows(*db_, Sql(columns + QStringLiteral(" FROM mvx_records")));
        std::vector<QVariant> values(defs_.size());
        while (rows.Step()) {
            for (int column = 0; column < int(used.size()); ++column)
                values[used[column]] = FromStored(defs_[used[column]], rows, column + 1);
            if (tag.key->Includes(values))
                entries.push_back({tag.key->KeyOf(values), rows.Int(0)});
        }
    }
    std::sort(entries.begin(), entries.end());
    TSqliteStmt insert(*db_, "INSERT INTO " + tag.TableName() + "(key, recno) VALUES(?, ?)");
    for (size_t i = 0; i < entries.size(); ++i) {
        if (tag.def.unique && i > 0 && entries[i].key == entries[i - 1].key)
            throw EAdsError(QStringLiteral("Duplicate key in unique index %1 (record %2)")
                                .arg(tag.def.name).arg(entries[i].recno),
                            kErrorDuplicateKey);
        insert.BindBlob(1, entries[i].key).Bind(2, entries[i].recno).Exec();
    }
}

void TAdsTable::Close() {
    if (!Active())
        return;
    if (state_ == TState::Edit || state_ == TState::Insert) {
        state_ = TState::Browse;
        buffer_.clear();
        bufferBlobs_.clear();
    }
    Fire(BeforeClose);
    try {
        EndSharedRead();
    } catch (const EAdsError&) {
    }
    readsDepth_ = 0;
    if (transactionDepth_ > 0) {
        transactionDepth_ = 0;
        try {
            db_->Exec("ROLLBACK");
        } catch (const EAdsError&) {
        }
    }
    // The statements go with the connection, and the connection closes
    // before the lock goes (see TableLock.h).
    tags_.clear();
    insertRecord_ = updateRecord_ = selectRecord_ = nullptr;
    fieldStatements_.clear();
    db_.reset();
    lock_.Release();
    fields_.clear();
    defs_.clear();
    hasIndexFile_ = false;
    currentTag_ = -1;
    view_.Clear();
    viewValid_ = false;
    ClearRecord();
    position_ = -1;
    bof_ = eof_ = true;
    state_ = TState::Inactive;
    Notify(&TAdsTable::StateChanged);
    Notify(&TAdsTable::ViewChanged);
}

void TAdsTable::Checkpoint() {
    RequireActive();
    EndSharedRead();
    db_->Exec("PRAGMA main.wal_checkpoint(TRUNCATE)");
    if (hasIndexFile_)
        db_->Exec("PRAGMA idx.wal_checkpoint(TRUNCATE)");
}

// ---------------------------------------------------------------- fields

TField* TAdsTable::FindField(const QString& name) const {
    for (const auto& field : fields_)
        if (field->FieldName().compare(name, Qt::CaseInsensitive) == 0)
            return field.get();
    return nullptr;
}

TField& TAdsTable::FieldByName(const QString& name) const {
    TField* field = FindField(name);
    if (!field)
        throw EAdsError(QStringLiteral("Field %1 not found in %2").arg(name, tableName_));
    return *field;
}

QList<TFieldDef> TAdsTable::FieldDefs() const {
    return QList<TFieldDef>(defs_.begin(), defs_.end());
}

QVariant TAdsTable::FieldValue(int index) const {
    if (state_ == TState::Edit || state_ == TState::Insert)
        return buffer_.at(index);
    if (recno_ == 0 || index >= int(values_.size()))
        return QVariant();
    return values_[index];
}

const QByteArray& TAdsTable::BlobValue(int index) const {
    static const QByteArray empty;
    if (state_ == TState::Edit || state_ == TState::Insert) {
        auto changed = bufferBlobs_.find(index);
        if (changed != bufferBlobs_.end())
            return changed->second;
        if (state_ == TState::Insert)
            return empty;
    }
    if (recno_ == 0)
        return empty;
    OpenSharedRead();
    auto it = blobs_.find(index);
    if (it == blobs_.end() && defs_[index].type == TFieldType::Memo) {
        // Whoever reads one note of a record usually reads the others too
        // (the grid, the full-text index): one query loads all of them.
        // Pictures and other binary blobs stay unread until asked for.
        std::vector<int> memos;
        for (int i = 0; i < int(defs_.size()); ++i)
            if (defs_[i].type == TFieldType::Memo && !blobs_.contains(i))
                memos.push_back(i);
        std::vector<QVariant> values;
        ReadFields(recno_, memos, values); // no values: the record is gone
        for (size_t i = 0; i < memos.size(); ++i)
            blobs_.emplace(memos[i], i < values.size() ? values[i].toByteArray() : QByteArray());
        it = blobs_.find(index);
    }
    if (it == blobs_.end()) {
        TSqliteStmt& read = db_->Cached("SELECT data FROM mvx_blobs WHERE recno = ? AND field = ?");
        read.Bind(1, recno_).Bind(2, qint64(index + 1));
        QByteArray data = read.Step() ? read.Blob(0) : QByteArray();
        read.Reset();
        it = blobs_.emplace(index, std::move(data)).first;
    }
    return it->second;
}

void TAdsTable::SetFieldValue(int index, const QVariant& value) {
    RequireActive();
    if (state_ != TState::Edit && state_ != TState::Insert)
        throw EAdsError(QStringLiteral("Table %1 is not in edit or insert mode").arg(tableName_), kErrorState);
    const TFieldDef& def = defs_.at(index);
    if (def.type == TFieldType::AutoInc)
        throw EAdsError(QStringLiteral("Field %1 is assigned by the table and cannot be modified").arg(def.name),
                        kErrorReadOnly);
    QVariant normalized = Normalize(def, value);
    if (def.IsBlob())
        bufferBlobs_[index] = normalized.toByteArray();
    else
        buffer_[index] = std::move(normalized);
    Notify(&TAdsTable::RecordChanged);
}

// ---------------------------------------------------------------- tags

void TAdsTable::CreateIndex(const TIndexDef& def) {
    RequireActive();
    RequireWritable();
    RequireBrowsing("create an index");
    QList<TFieldDef> defs(defs_.begin(), defs_.end());
    auto key = std::make_unique<TIndexKey>(def.expression, def.condition, defs);
    if (def.name.trimmed().isEmpty())
        throw EAdsError(QStringLiteral("An index tag needs a name"));

    if (!hasIndexFile_) {
        // A new index file is made complete on a connection of its own, then
        // attached; it starts at the table's generation.
        const QString indexPath = IndexFileOf(FullPath());
        RemoveFileSet(indexPath);
        TSqliteStmt& generation = db_->Cached("SELECT value FROM mvx_meta WHERE key = 'generation'");
        generation.Step();
        const qint64 current = generation.Int(0);
        generation.Reset();
        {
            TSqliteDb index(indexPath, false, true);
            index.Exec("PRAGMA journal_mode=WAL");
            index.Exec("BEGIN");
            index.Exec("CREATE TABLE mvx_meta(key TEXT PRIMARY KEY, value)");
            index.Exec("CREATE TABLE mvx_tags(id INTEGER PRIMARY KEY, name TEXT NOT NULL, "
                       "expression TEXT NOT NULL, condition TEXT NOT NULL, isUnique INTEGER NOT NULL)");
            TSqliteStmt meta(index, "INSERT INTO mvx_meta(key, value) VALUES('generation', ?)");
            meta.Bind(1, current).Exec();
            index.Exec("COMMIT");
        }
        EndSharedRead(); // no ATTACH inside a transaction
        TSqliteStmt attach(*db_, "ATTACH DATABASE ? AS idx");
        attach.Bind(1, indexPath).Exec();
        db_->Exec("PRAGMA idx.synchronous=NORMAL");
        hasIndexFile_ = true;
    }

    const QString previousTag = IndexName();
    TWriteTransaction transaction(*this);
    if (TTag* old = FindTag(def.name)) {
        db_->Exec("DROP TABLE " + old->TableName());
        TSqliteStmt drop(*db_, "DELETE FROM idx.mvx_tags WHERE id = ?");
        drop.Bind(1, old->id).Exec();
    }
    TSqliteStmt insert(*db_, "INSERT INTO idx.mvx_tags(name, expression, condition, isUnique) VALUES(?, ?, ?, ?)");
    insert.Bind(1, def.name.trimmed()).Bind(2, def.expression.trimmed()).Bind(3, def.condition.trimmed());
    insert.Bind(4, qint64(def.unique ? 1 : 0)).Exec();
    auto tag = std::make_unique<TTag>();
    tag->id = db_->LastInsertRowId();
    tag->def = {def.name.trimmed(), def.expression.trimmed(), def.condition.trimmed(), def.unique};
    tag->key = std::move(key);
    db_->Exec("CREATE TABLE " + tag->TableName() +
              "(key BLOB NOT NULL, recno INTEGER NOT NULL, PRIMARY KEY(key, recno)) WITHOUT ROWID");
    RebuildTagEntries(*tag);
    transaction.Commit();

    // Only now, with the file committed, does the in-memory list change.
    auto existing = std::find_if(tags_.begin(), tags_.end(), [&](const auto& t) {
        return t->def.name.compare(tag->def.name, Qt::CaseInsensitive) == 0;
    });
    if (existing != tags_.end())
        tags_.erase(existing);
    tags_.push_back(std::move(tag));
    currentTag_ = -1;
    if (!previousTag.isEmpty())
        SetIndexName(previousTag);
}

QList<TIndexDef> TAdsTable::IndexDefs() const {
    QList<TIndexDef> defs;
    for (const auto& tag : tags_)
        defs << tag->def;
    return defs;
}

QStringList TAdsTable::IndexNames() const {
    QStringList names;
    for (const auto& tag : tags_)
        names << tag->def.name;
    return names;
}

void TAdsTable::Reindex() {
    RequireActive();
    RequireWritable();
    RequireBrowsing("reindex");
    if (!hasIndexFile_)
        return;
    TWriteTransaction transaction(*this);
    for (auto& tag : tags_)
        RebuildTagEntries(*tag);
    transaction.Commit();
    InvalidateView();
}

TAdsTable::TTag* TAdsTable::FindTag(const QString& name) const {
    const QString wanted = name.trimmed();
    // Names that match case-insensitively have the same length: the length
    // turns most tags away before the slower comparison.
    for (auto& tag : tags_)
        if (tag->def.name.size() == wanted.size() && tag->def.name.compare(wanted, Qt::CaseInsensitive) == 0)
            return tag.get();
    return nullptr;
}

TAdsTable::TTag& TAdsTable::CurrentTag() {
    if (currentTag_ < 0)
        throw EAdsError(QStringLiteral("No index is selected for table %1").arg(tableName_), kErrorNoIndex);
    return *tags_[currentTag_];
}

void TAdsTable::SetIndexName(const QString& name) {
    RequireActive();
    CheckBrowseMode();
    int tag = -1;
    if (!name.trimmed().isEmpty()) {
        TTag* found = FindTag(name);
        if (!found)
            throw EAdsError(QStringLiteral("Index %1 not found for table %2").arg(name, tableName_), kErrorNoIndex);
        tag = int(std::find_if(tags_.begin(), tags_.end(), [&](const auto& t) { return t.get() == found; }) -
                  tags_.begin());
    }
    if (tag == currentTag_)
        return;
    currentTag_ = tag;
    const qint64 current = recno_;
    InvalidateView();
    if (current == 0 || !GotoRecNo(current))
        First();
    Notify(&TAdsTable::ViewChanged);
}

QString TAdsTable::IndexName() const {
    return currentTag_ < 0 ? QString() : tags_[currentTag_]->def.name;
}

// ---------------------------------------------------------------- filter

void TAdsTable::SetFilter(const QString& expression) {
    const QString text = expression.trimmed();
    int field = -1;
    QVariant value;
    bool constant = true;
    if (text.isEmpty() || text.compare(QLatin1String(".T."), Qt::CaseInsensitive) == 0) {
        constant = true;
    } else if (text.compare(QLatin1String(".F."), Qt::CaseInsensitive) == 0) {
        constant = false;
    } else {
        const qsizetype equals = text.indexOf(QLatin1Char('='));
        if (equals <= 0)
            throw EAdsError(QStringLiteral("Invalid filter expression \"%1\"").arg(expression));
        if (!Active())
            throw EAdsError(QStringLiteral("Table %1 is not open").arg(tableName_));
        TField& target = FieldByName(text.left(equals).trimmed());
        if (target.IsBlob())
            throw EAdsError(QStringLiteral("Invalid filter expression \"%1\": blob field").arg(expression));
        QString literal = text.mid(equals + 1).trimmed();
        if (literal.size() >= 2 && (literal.front() == QLatin1Char('\'') || literal.front() == QLatin1Char('"')) &&
            literal.back() == literal.front())
            literal = literal.mid(1, literal.size() - 2);
        field = target.Index();
        const TFieldDef& def = defs_[field];
        if (def.type == TFieldType::Logical)
            value = QVariant(literal.compare(QLatin1String(".T."), Qt::CaseInsensitive) == 0 ||
                             literal.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0);
        else if (def.type == TFieldType::Date)
            value = Normalize(def, QDate::fromString(literal, QStringLiteral("d.M.yyyy")));
        else
            value = Normalize(def, literal);
        if (def.IsNumeric() && !value.isNull()) {
            bool ok = false;
            literal.toDouble(&ok);
            if (!ok)
                throw EAdsError(QStringLiteral("Invalid filter expression \"%1\"").arg(expression));
        }
    }
    filterText_ = expression;
    filterField_ = field;
    filterValue_ = value;
    filterConstant_ = constant;
    if (filtered_ && Active()) {
        CheckBrowseMode();
        InvalidateView();
        First();
        Notify(&TAdsTable::ViewChanged);
    }
}

void TAdsTable::SetFiltered(bool filtered) {
    if (filtered == filtered_)
        return;
    filtered_ = filtered;
    if (Active()) {
        CheckBrowseMode();
        const qint64 current = recno_;
        InvalidateView();
        if (filtered || current == 0 || !GotoRecNo(current))
            First();
        Notify(&TAdsTable::ViewChanged);
    }
}

// ---------------------------------------------------------------- view

bool TAdsTable::InView(const std::vector<QVariant>& values) const {
    if (currentTag_ >= 0 && !tags_[currentTag_]->key->Includes(values))
        return false;
    return MatchesFilter(values);
}

bool TAdsTable::MatchesFilter(const std::vector<QVariant>& values) const {
    if (!filtered_)
        return true;
    if (filterField_ < 0)
        return filterConstant_;
    const QVariant& value = values[filterField_];
    if (defs_[filterField_].type == TFieldType::Logical)
        return value.toBool() == filterValue_.toBool();
    if (!value.isValid() || !filterValue_.isValid())
        return !value.isValid() && !filterValue_.isValid();
    if (defs_[filterField_].IsNumeric())
        return value.toDouble() == filterValue_.toDouble();
    return value == filterValue_;
}

QByteArray TAdsTable::ViewKey(const std::vector<QVariant>& values, qint64) const {
    return currentTag_ < 0 ? QByteArray() : tags_[currentTag_]->key->KeyOf(values);
}

void TAdsTable::InvalidateView() {
    viewValid_ = false;
}

void TAdsTable::BuildView() {
    OpenSharedRead();
    view_.Clear();
    const bool constantFalse = filtered_ && filterField_ < 0 && !filterConstant_;
    if (!constantFalse) {
        const bool byField = filtered_ && filterField_ >= 0;
        QByteArray sql;
        if (currentTag_ < 0) {
            sql = byField ? Sql(QStringLiteral("SELECT NULL, recno, %1 FROM mvx_records ORDER BY recno")
                                    .arg(ColumnName(filterField_)))
                          : QByteArray("SELECT NULL, recno FROM mvx_records ORDER BY recno");
        } else {
            const QByteArray table = tags_[currentTag_]->TableName();
            sql = byField ? "SELECT t.key, t.recno, r." + Sql(ColumnName(filterField_)) + " FROM " + table +
                                " t JOIN mvx_records r ON r.recno = t.recno ORDER BY t.key, t.recno"
                          : "SELECT key, recno FROM " + table + " ORDER BY key, recno";
        }
        TSqliteStmt& rows = db_->Cached(sql);
        view_.Reserve(size_t(lastViewSize_), size_t(lastViewSize_) * (currentTag_ < 0 ? 0 : 32));
        std::vector<QVariant> values;
        if (byField)
            values.resize(defs_.size());
        while (rows.Step()) {
            if (byField) {
                // The tag's condition already holds for every tag entry.
                values[filterField_] = FromStored(defs_[filterField_], rows, 2);
                if (!MatchesFilter(values))
                    continue;
            }
            view_.Append(rows.BlobView(0), rows.Int(1));
        }
        rows.Reset();
    }
    lastViewSize_ = view_.Size();
    viewValid_ = true;
}

void TAdsTable::EnsureView() {
    RequireActive();
    if (viewValid_)
        return;
    BuildView();
    position_ = recno_ != 0 ? view_.IndexOfRecNo(recno_) : -1;
}

std::vector<qint64> TAdsTable::ViewRecNos() {
    EnsureView();
    std::vector<qint64> recnos;
    recnos.reserve(size_t(view_.Size()));
    for (qint64 i = 0; i < view_.Size(); ++i)
        recnos.push_back(view_.RecNoAt(i));
    return recnos;
}

// ---------------------------------------------------------------- navigation

void TAdsTable::ClearRecord() {
    recno_ = 0;
    version_ = 0;
    values_.assign(defs_.size(), QVariant());
    blobs_.clear();
}

void TAdsTable::LoadRecord(qint64 recno) {
    OpenSharedRead();
    TSqliteStmt& read = *selectRecord_;
    read.Reset();
    read.Bind(1, recno);
    if (!read.Step()) {
        read.Reset();
        ClearRecord();
        return;
    }
    recno_ = recno;
    version_ = read.Int(0);
    values_.assign(defs_.size(), QVariant());
    int column = 1;
    for (int i = 0; i < int(defs_.size()); ++i)
        if (!defs_[i].IsBlob())
            values_[i] = FromStored(defs_[i], read, column++);
    read.Reset();
    blobs_.clear();
}

std::vector<QVariant> TAdsTable::ReadRecord(qint64 recno) {
    RequireActive();
    OpenSharedRead();
    TSqliteStmt& read = *selectRecord_;
    read.Reset();
    read.Bind(1, recno);
    std::vector<QVariant> values;
    if (read.Step()) {
        values.assign(defs_.size(), QVariant());
        int column = 1;
        for (int i = 0; i < int(defs_.size()); ++i)
            if (!defs_[i].IsBlob())
                values[i] = FromStored(defs_[i], read, column++);
    }
    read.Reset();
    return values;
}

// ---------------------------------------------------------------- reading without the cursor

TAdsTable::TTag* TAdsTable::TagForRead(const QString& name) const {
    RequireActive();
    OpenSharedRead();
    if (name.trimmed().isEmpty())
        return nullptr;
    TTag* tag = FindTag(name);
    if (!tag)
        throw EAdsError(QStringLiteral("Index %1 not found for table %2").arg(name, tableName_), kErrorNoIndex);
    return tag;
}

void TAdsTable::BeginReads() {
    RequireActive();
    ++readsDepth_;
}

void TAdsTable::EndReads() {
    if (readsDepth_ == 0)
        return;
    if (--readsDepth_ == 0)
        EndSharedRead();
}

void TAdsTable::OpenSharedRead() const {
    // Inside an explicit transaction the reads share that one already.
    if (readsDepth_ == 0 || sharedReadOpen_ || transactionDepth_ > 0 || !sqlite3_get_autocommit(db_->Handle()))
        return;
    // Deferred: the read transaction of each file starts with its first read.
    db_->Exec("BEGIN");
    sharedReadOpen_ = true;
}

void TAdsTable::EndSharedRead() const {
    if (!sharedReadOpen_)
        return;
    sharedReadOpen_ = false;
    // A failed read may have ended the transaction already.
    if (!sqlite3_get_autocommit(db_->Handle()))
        db_->Exec("COMMIT");
}

bool TAdsTable::HasRecords() const {
    RequireActive();
    OpenSharedRead();
    TSqliteStmt& any = db_->Cached("SELECT 1 FROM mvx_records LIMIT 1");
    const bool found = any.Step();
    any.Reset();
    return found;
}

qint64 TAdsTable::FirstRecNo(const QString& tagName) const {
    return EndRecNo(tagName, false);
}

qint64 TAdsTable::LastRecNo(const QString& tagName) const {
    return EndRecNo(tagName, true);
}

qint64 TAdsTable::EndRecNo(const QString& tagName, bool last) const {
    TTag* tag = TagForRead(tagName);
    const QByteArray order = last ? " DESC" : "";
    TSqliteStmt* statement = nullptr;
    if (!tag) {
        statement = &db_->Cached("SELECT recno FROM mvx_records ORDER BY recno" + order + " LIMIT 1");
    } else {
        TSqliteStmt*& kept = last ? tag->last : tag->first;
        if (!kept)
            kept = &db_->Cached("SELECT recno FROM " + tag->TableName() + " ORDER BY key" + order + ", recno" + order +
                                " LIMIT 1");
        statement = kept;
    }
    statement->Reset();
    const qint64 recno = statement->Step() ? statement->Int(0) : 0;
    statement->Reset();
    return recno;
}

qint64 TAdsTable::SeekRecNo(const QString& tagName, const QVariantList& values) const {
    TTag* tag = TagForRead(tagName);
    if (!tag)
        throw EAdsError(QStringLiteral("No index is selected for table %1").arg(tableName_), kErrorNoIndex);
    const QByteArray key = tag->key->SeekKey(values, false);
    // SQLite orders BLOBs as the view does (memcmp, shorter first): the
    // first key not less than the sought one is where FindKey lands.
    if (!tag->seek)
        tag->seek = &db_->Cached("SELECT key, recno FROM " + tag->TableName() +
                                 " WHERE key >= ? ORDER BY key, recno LIMIT 1");
    TSqliteStmt& seek = *tag->seek;
    seek.Reset();
    seek.BindBlob(1, key);
    const qint64 recno = seek.Step() && seek.BlobView(0).startsWith(key) ? seek.Int(1) : 0;
    seek.Reset();
    return recno;
}

void TAdsTable::RequireFieldNumber(int field) const {
    if (field < 0 || field >= int(defs_.size()))
        throw EAdsError(QStringLiteral("Field number %1 not found in %2").arg(field + 1).arg(tableName_));
}

const TAdsTable::TFieldsRead& TAdsTable::FieldsRead(const std::vector<int>& fields) const {
    auto found = fieldStatements_.find(fields);
    if (found != fieldStatements_.end())
        return found->second;
    TFieldsRead read;
    QByteArray sql = "SELECT recno";
    int columns = 0;
    QByteArray blobs; // "WHEN n THEN data" for each blob field n (1-based)
    int low = 0;
    int high = 0;
    for (int field : fields) {
        RequireFieldNumber(field);
        if (defs_[size_t(field)].IsBlob()) {
            read.column.push_back(-1);
            low = blobs.isEmpty() ? field + 1 : std::min(low, field + 1);
            high = blobs.isEmpty() ? field + 1 : std::max(high, field + 1);
            blobs += " WHEN " + QByteArray::number(field + 1) + " THEN data";
        } else {
            read.column.push_back(++columns);
            sql += ", " + Sql(ColumnName(field));
        }
    }
    read.record = &db_->Cached(sql + " FROM mvx_records WHERE recno = ?1");
    // The blobs of a record lie side by side in the primary key: one range
    // of it holds every one asked for, and only their data is read (a
    // picture in between stays on disk). A CASE, not IN: IN would build a
    // temporary table on every run.
    if (!blobs.isEmpty())
        read.blobs = &db_->Cached("SELECT field, CASE field" + blobs + " END FROM mvx_blobs WHERE recno = ?1 " +
                                  "AND field BETWEEN " + QByteArray::number(low) + " AND " + QByteArray::number(high));
    return fieldStatements_.emplace(fields, read).first->second;
}

QVariant TAdsTable::FieldFromRow(int field, const TSqliteStmt& row, int column) const {
    const TFieldDef& def = defs_[size_t(field)];
    if (!def.IsBlob())
        return FromStored(def, row, column);
    if (row.IsNull(column))
        return QVariant();
    const QByteArrayView bytes = row.BlobView(column);
    if (bytes.isEmpty())
        return QVariant();
    return QByteArray(bytes.data(), bytes.size());
}

bool TAdsTable::ReadFields(qint64 recno, const std::vector<int>& fields, std::vector<QVariant>& values) const {
    RequireActive();
    OpenSharedRead();
    const TFieldsRead& read = FieldsRead(fields);
    values.clear();
    TSqliteStmt& record = *read.record;
    record.Reset();
    record.Bind(1, recno);
    if (!record.Step()) {
        record.Reset();
        return false;
    }
    values.resize(fields.size());
    for (size_t i = 0; i < fields.size(); ++i)
        if (read.column[i] > 0)
            values[i] = FromStored(defs_[size_t(fields[i])], record, read.column[i]);
    record.Reset();
    if (read.blobs) {
        TSqliteStmt& blobs = *read.blobs;
        blobs.Reset();
        blobs.Bind(1, recno);
        while (blobs.Step()) {
            const int field = int(blobs.Int(0)) - 1;
            for (size_t i = 0; i < fields.size(); ++i)
                if (fields[i] == field && read.column[i] < 0)
                    values[i] = FieldFromRow(field, blobs, 1);
        }
        blobs.Reset();
    }
    return true;
}

void TAdsTable::ScanFields(const QString& tagName, const std::vector<int>& fields, const TScanRecord& onRecord) const {
    TTag* tag = TagForRead(tagName);
    QByteArray columns = "r.recno";
    for (int field : fields) {
        RequireFieldNumber(field);
        if (defs_[size_t(field)].IsBlob())
            columns += ", (SELECT data FROM mvx_blobs WHERE recno = r.recno AND field = " +
                       QByteArray::number(field + 1) + ")";
        else
            columns += ", r." + Sql(ColumnName(field));
    }
    // The tag drives the walk (CROSS JOIN keeps SQLite from turning it
    // round): its key order is the order asked for.
    const QByteArray sql = tag ? "SELECT " + columns + " FROM " + tag->TableName() +
                                     " t CROSS JOIN mvx_records r ON r.recno = t.recno ORDER BY t.key, t.recno"
                               : "SELECT " + columns + " FROM mvx_records r ORDER BY r.recno";
    // A statement of its own: onRecord may use the table's other reads.
    TSqliteStmt rows(*db_, sql);
    std::vector<QVariant> values(fields.size());
    while (rows.Step()) {
        for (size_t i = 0; i < fields.size(); ++i)
            values[i] = FieldFromRow(fields[i], rows, int(i) + 1);
        onRecord(rows.Int(0), values);
    }
}

void TAdsTable::MoveTo(qint64 position) {
    if (position < 0 || position >= view_.Size()) {
        position_ = -1;
        ClearRecord();
        return;
    }
    position_ = position;
    LoadRecord(view_.RecNoAt(position));
}

void TAdsTable::Scrolled() {
    Fire(AfterScroll);
    Notify(&TAdsTable::RecordChanged);
}

void TAdsTable::First() {
    RequireActive();
    CheckBrowseMode();
    if (!viewValid_ && currentTag_ < 0 && !filtered_) {
        // The first record in record order needs no list of them all; the
        // list is made when the view is moved through.
        OpenSharedRead();
        TSqliteStmt& first = db_->Cached("SELECT MIN(recno) FROM mvx_records");
        first.Step();
        const bool none = first.IsNull(0);
        const qint64 recno = first.Int(0);
        first.Reset();
        none ? ClearRecord() : LoadRecord(recno);
        position_ = -1;
        bof_ = true;
        eof_ = none;
        Scrolled();
        return;
    }
    EnsureView();
    MoveTo(view_.Empty() ? -1 : 0);
    bof_ = true;
    eof_ = view_.Empty();
    Scrolled();
}

void TAdsTable::Last() {
    RequireActive();
    CheckBrowseMode();
    EnsureView();
    MoveTo(view_.Size() - 1);
    eof_ = true;
    bof_ = view_.Empty();
    Scrolled();
}

void TAdsTable::Next() {
    MoveBy(1);
}

void TAdsTable::Prior() {
    MoveBy(-1);
}

int TAdsTable::MoveBy(int distance) {
    RequireActive();
    CheckBrowseMode();
    EnsureView();
    if (view_.Empty()) {
        bof_ = eof_ = true;
        return 0;
    }
    const qint64 from = position_ < 0 ? 0 : position_;
    qint64 to = from + distance;
    bof_ = eof_ = false;
    if (to >= view_.Size()) {
        to = view_.Size() - 1;
        eof_ = true;
    }
    if (to < 0) {
        to = 0;
        bof_ = true;
    }
    const bool moved = to != position_;
    MoveTo(to);
    if (moved)
        Scrolled();
    return int(to - from);
}

bool TAdsTable::IsEmpty() {
    EnsureView();
    return view_.Empty();
}

qint64 TAdsTable::RecNo() const {
    return state_ == TState::Insert ? 0 : recno_;
}

int TAdsTable::RecordCount() {
    EnsureView();
    return int(view_.Size());
}

int TAdsTable::TotalRecordCount() const {
    RequireActive();
    OpenSharedRead();
    TSqliteStmt& count = db_->Cached("SELECT COUNT(*) FROM mvx_records");
    count.Step();
    const int total = int(count.Int(0));
    count.Reset();
    return total;
}

bool TAdsTable::GotoRecNo(qint64 recno) {
    RequireActive();
    CheckBrowseMode();
    EnsureView();
    const qint64 found = view_.IndexOfRecNo(recno);
    if (found < 0)
        return false;
    const bool moved = found != position_ || recno_ != recno;
    MoveTo(found);
    bof_ = eof_ = false;
    if (moved)
        Scrolled();
    return true;
}

bool TAdsTable::FindKey(const QVariantList& values) {
    RequireActive();
    CheckBrowseMode();
    const QByteArray key = CurrentTag().key->SeekKey(values, false);
    EnsureView();
    const qint64 found = view_.LowerBound(key);
    if (found >= view_.Size() || !view_.KeyAt(found).startsWith(key))
        return false;
    MoveTo(found);
    bof_ = eof_ = false;
    Scrolled();
    return true;
}

void TAdsTable::FindNearest(const QVariantList& values) {
    RequireActive();
    CheckBrowseMode();
    const QByteArray key = CurrentTag().key->SeekKey(values, true);
    EnsureView();
    const qint64 found = view_.LowerBound(key);
    bof_ = false;
    eof_ = found >= view_.Size();
    MoveTo(eof_ ? view_.Size() - 1 : found);
    Scrolled();
}

void TAdsTable::Refresh() {
    RequireActive();
    CheckBrowseMode();
    EndSharedRead(); // what other programs wrote since becomes visible
    const qint64 current = recno_;
    const qint64 position = position_;
    InvalidateView();
    EnsureView();
    if (current == 0 || !GotoRecNo(current)) {
        MoveTo(std::min(position, view_.Size() - 1));
        bof_ = eof_ = view_.Empty();
    }
    Notify(&TAdsTable::ViewChanged);
    Notify(&TAdsTable::RecordChanged);
}

// ---------------------------------------------------------------- changing

void TAdsTable::RequireActive() const {
    if (!Active())
        throw EAdsError(QStringLiteral("Table %1 is not open").arg(tableName_), kErrorState);
}

void TAdsTable::RequireWritable() const {
    if (readOnly_)
        throw EAdsError(QStringLiteral("Table %1 is open read-only").arg(tableName_), kErrorReadOnly);
}

void TAdsTable::RequireBrowsing(const char* what) const {
    if (state_ != TState::Browse)
        throw EAdsError(QStringLiteral("Cannot %1 of %2 while a record is being edited")
                            .arg(QString::fromLatin1(what), tableName_),
                        kErrorState);
}

void TAdsTable::CheckBrowseMode() {
    if (state_ == TState::Edit || state_ == TState::Insert)
        Post();
}

void TAdsTable::Insert() {
    RequireActive();
    RequireWritable();
    CheckBrowseMode();
    Fire(BeforeInsert);
    buffer_.assign(defs_.size(), QVariant());
    bufferBlobs_.clear();
    state_ = TState::Insert;
    Notify(&TAdsTable::StateChanged);
    Fire(AfterInsert);
    Scrolled();
}

void TAdsTable::Edit() {
    RequireActive();
    RequireWritable();
    if (state_ == TState::Edit || state_ == TState::Insert)
        return;
    if (recno_ == 0)
        throw EAdsError(QStringLiteral("Table %1 has no current record to edit").arg(tableName_), kErrorState);
    Fire(BeforeEdit);
    // Edit what is stored now, not what was read when the record was reached.
    EndSharedRead();
    LoadRecord(recno_);
    if (recno_ == 0) {
        InvalidateView();
        throw EAdsError(QStringLiteral("The record was deleted by another program"), kErrorRecordChanged);
    }
    buffer_ = values_;
    bufferBlobs_.clear();
    state_ = TState::Edit;
    Notify(&TAdsTable::StateChanged);
}

qint64 TAdsTable::NextAutoInc(int field) {
    const QString key = QStringLiteral("autoinc.%1").arg(field + 1);
    TSqliteStmt& read = db_->Cached("SELECT value FROM mvx_meta WHERE key = ?");
    read.Bind(1, key);
    qint64 next = read.Step() ? read.Int(0) : 1;
    read.Reset();
    TSqliteStmt& write = db_->Cached("INSERT OR REPLACE INTO mvx_meta(key, value) VALUES(?, ?)");
    write.Bind(1, key).Bind(2, next + 1).Exec();
    return next;
}

void TAdsTable::WriteBlobs(qint64 recno, bool inserting) {
    for (const auto& [field, data] : bufferBlobs_) {
        if (!inserting) {
            TSqliteStmt& remove = db_->Cached("DELETE FROM mvx_blobs WHERE recno = ? AND field = ?");
            remove.Bind(1, recno).Bind(2, qint64(field + 1)).Exec();
        }
        if (!data.isEmpty()) {
            TSqliteStmt& insert = db_->Cached("INSERT INTO mvx_blobs(recno, field, data) VALUES(?, ?, ?)");
            insert.Bind(1, recno).Bind(2, qint64(field + 1)).BindBlob(3, data).Exec();
        }
    }
}

void TAdsTable::WriteTagEntries(qint64 recno, const std::vector<QVariant>* before,
                                const std::vector<QVariant>* after) {
    if (!hasIndexFile_)
        return;
    for (auto& tag : tags_) {
        const bool wasIn = before && tag->key->Includes(*before);
        const bool isIn = after && tag->key->Includes(*after);
        const QByteArray oldKey = wasIn ? tag->key->KeyOf(*before) : QByteArray();
        const QByteArray newKey = isIn ? tag->key->KeyOf(*after) : QByteArray();
        if (wasIn && isIn && oldKey == newKey)
            continue;
        if (!tag->insert) {
            tag->insert = &db_->Cached("INSERT INTO " + tag->TableName() + "(key, recno) VALUES(?, ?)");
            tag->remove = &db_->Cached("DELETE FROM " + tag->TableName() + " WHERE key = ? AND recno = ?");
            tag->clash = &db_->Cached("SELECT recno FROM " + tag->TableName() + " WHERE key = ? LIMIT 1");
        }
        if (wasIn)
            tag->remove->BindBlob(1, oldKey).Bind(2, recno).Exec();
        if (isIn) {
            if (tag->def.unique) {
                tag->clash->BindBlob(1, newKey);
                const bool duplicate = tag->clash->Step();
                tag->clash->Reset();
                if (duplicate)
                    throw EAdsError(QStringLiteral("Duplicate key in unique index %1 of %2")
                                        .arg(tag->def.name, tableName_),
                                    kErrorDuplicateKey);
            }
            tag->insert->BindBlob(1, newKey).Bind(2, recno).Exec();
        }
    }
}

void TAdsTable::Post() {
    RequireActive();
    if (state_ != TState::Edit && state_ != TState::Insert)
        throw EAdsError(QStringLiteral("Table %1 is not in edit or insert mode").arg(tableName_), kErrorState);
    Fire(BeforePost); // may throw EAbort: nothing is written and the state stays

    const bool inserting = state_ == TState::Insert;
    std::vector<QVariant> record = buffer_;
    qint64 recno = recno_;
    qint64 generation = 0;
    {
        TWriteTransaction transaction(*this);
        generation = transaction.Generation();
        if (inserting) {
            for (int i = 0; i < int(defs_.size()); ++i)
                if (defs_[i].type == TFieldType::AutoInc)
                    record[i] = QVariant(int(NextAutoInc(i)));
            TSqliteStmt& insert = *insertRecord_;
            insert.Reset();
            insert.Bind(1, generation);
            int column = 2;
            for (int i = 0; i < int(defs_.size()); ++i)
                if (!defs_[i].IsBlob())
                    insert.Bind(column++, ToStored(defs_[i], record[i]));
            insert.Exec();
            recno = db_->LastInsertRowId();
            WriteBlobs(recno, true);
            WriteTagEntries(recno, nullptr, &record);
        } else {
            TSqliteStmt& update = *updateRecord_;
            update.Reset();
            update.Bind(1, generation);
            int column = 2;
            for (int i = 0; i < int(defs_.size()); ++i)
                if (!defs_[i].IsBlob())
                    update.Bind(column++, ToStored(defs_[i], record[i]));
            update.Bind(column, recno);
            update.Bind(column + 1, version_);
            update.Exec();
            if (db_->Changes() != 1)
                throw EAdsError(QStringLiteral("The record was changed or deleted by another program since it "
                                               "was read; your changes were not saved. Cancel and edit it again."),
                                kErrorRecordChanged);
            WriteBlobs(recno, false);
            WriteTagEntries(recno, &values_, &record);
        }
        transaction.Commit();
    }

    // Keep the view in step without reading it again.
    qint64 position = -1;
    if (viewValid_) {
        const bool wasIn = !inserting && InView(values_);
        const bool isIn = InView(record);
        const QByteArray oldKey = wasIn ? ViewKey(values_, recno) : QByteArray();
        const QByteArray newKey = isIn ? ViewKey(record, recno) : QByteArray();
        if (wasIn && isIn && oldKey == newKey) {
            position = position_;
        } else {
            if (wasIn) {
                const qint64 old = view_.Find(oldKey, recno);
                if (old >= 0)
                    view_.EraseAt(old);
            }
            if (isIn)
                position = view_.Insert(newKey, recno);
            Notify(&TAdsTable::ViewChanged);
        }
    }

    recno_ = recno;
    version_ = generation;
    values_ = std::move(record);
    if (inserting)
        blobs_.clear();
    for (auto& [field, data] : bufferBlobs_)
        blobs_[field] = data;
    buffer_.clear();
    bufferBlobs_.clear();
    state_ = TState::Browse;
    position_ = position;
    bof_ = eof_ = false;
    Notify(&TAdsTable::StateChanged);
    Fire(AfterPost);
    Notify(&TAdsTable::RecordChanged);
}

void TAdsTable::Cancel() {
    RequireActive();
    if (state_ != TState::Edit && state_ != TState::Insert)
        return;
    const bool inserting = state_ == TState::Insert;
    buffer_.clear();
    bufferBlobs_.clear();
    state_ = TState::Browse;
    Notify(&TAdsTable::StateChanged);
    Fire(AfterCancel);
    if (inserting)
        Scrolled();
    else
        Notify(&TAdsTable::RecordChanged);
}

void TAdsTable::Delete() {
    RequireActive();
    RequireWritable();
    if (state_ == TState::Insert) {
        Cancel();
        return;
    }
    if (state_ == TState::Edit)
        Cancel();
    if (recno_ == 0)
        throw EAdsError(QStringLiteral("Table %1 has no current record to delete").arg(tableName_), kErrorState);
    Fire(BeforeDelete);
    const qint64 recno = recno_;
    {
        TWriteTransaction transaction(*this);
        TSqliteStmt& remove = db_->Cached("DELETE FROM mvx_records WHERE recno = ? AND mvx_version = ?");
        remove.Bind(1, recno).Bind(2, version_).Exec();
        if (db_->Changes() != 1)
            throw EAdsError(QStringLiteral("The record was changed or deleted by another program since it was "
                                           "read; it was not deleted."),
                            kErrorRecordChanged);
        TSqliteStmt& blobs = db_->Cached("DELETE FROM mvx_blobs WHERE recno = ?");
        blobs.Bind(1, recno).Exec();
        WriteTagEntries(recno, &values_, nullptr);
        transaction.Commit();
    }
    EnsureView();
    qint64 position = view_.IndexOfRecNo(recno);
    if (position >= 0)
        view_.EraseAt(position);
    else
        position = position_;
    if (position >= view_.Size())
        position = view_.Size() - 1;
    MoveTo(position);
    bof_ = view_.Empty();
    eof_ = view_.Empty();
    Fire(AfterDelete);
    Notify(&TAdsTable::ViewChanged);
    Scrolled();
}

// ---------------------------------------------------------------- blobs

bool TAdsTable::BlobIsEmpty(const QString& fieldName) const {
    TField& field = FieldByName(fieldName);
    if (!field.IsBlob())
        throw EAdsError(QStringLiteral("Field %1 is not a blob").arg(fieldName));
    return BlobValue(field.Index()).isEmpty();
}

void TAdsTable::LoadBlobFromFile(const QString& fieldName, const QString& path) {
    TField& field = FieldByName(fieldName);
    if (!field.IsBlob())
        throw EAdsError(QStringLiteral("Field %1 is not a blob").arg(fieldName));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EAdsError(QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EAdsError(QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
    SetFieldValue(field.Index(), field.DataType() == TFieldType::Memo ? QVariant(bytes) : QVariant(bytes));
}

void TAdsTable::SaveBlobToFile(const QString& fieldName, const QString& path) const {
    TField& field = FieldByName(fieldName);
    if (!field.IsBlob())
        throw EAdsError(QStringLiteral("Field %1 is not a blob").arg(fieldName));
    const QByteArray& bytes = BlobValue(field.Index());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() || !file.flush())
        throw EAdsError(QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
}

// ---------------------------------------------------------------- transactions

void TAdsTable::BeginTransaction() {
    RequireActive();
    RequireWritable();
    if (transactionDepth_ > 0)
        throw EAdsError(QStringLiteral("A transaction is already active on %1").arg(tableName_), kErrorState);
    EndSharedRead();
    db_->Exec("BEGIN IMMEDIATE");
    transactionDepth_ = 1;
    transactionGeneration_ = 0;
}

void TAdsTable::Commit() {
    RequireActive();
    if (transactionDepth_ == 0)
        throw EAdsError(QStringLiteral("No transaction is active on %1").arg(tableName_), kErrorState);
    CheckBrowseMode();
    db_->Exec("COMMIT");
    transactionDepth_ = 0;
    transactionGeneration_ = 0;
}

void TAdsTable::Rollback() {
    RequireActive();
    if (transactionDepth_ == 0)
        return;
    if (state_ == TState::Edit || state_ == TState::Insert)
        Cancel();
    transactionDepth_ = 0;
    transactionGeneration_ = 0;
    db_->Exec("ROLLBACK");
    Refresh();
}

// ---------------------------------------------------------------- pack

void TAdsTable::Pack() {
    RequireActive();
    RequireWritable();
    RequireBrowsing("pack");
    if (!exclusive_)
        throw EAdsError(QStringLiteral("Table %1 must be open exclusively to be packed").arg(tableName_),
                        kErrorExclusive);
    {
        TWriteTransaction transaction(*this);
        db_->Exec("CREATE TEMP TABLE mvx_renumber(old INTEGER PRIMARY KEY, new INTEGER NOT NULL)");
        db_->Exec("INSERT INTO temp.mvx_renumber SELECT recno, ROW_NUMBER() OVER (ORDER BY recno) FROM mvx_records");
        db_->Exec("UPDATE mvx_records SET recno = -recno");
        db_->Exec("UPDATE mvx_records SET recno = (SELECT new FROM temp.mvx_renumber WHERE old = -mvx_records.recno)");
        db_->Exec("UPDATE mvx_blobs SET recno = -recno");
        db_->Exec("UPDATE mvx_blobs SET recno = (SELECT new FROM temp.mvx_renumber WHERE old = -mvx_blobs.recno)");
        db_->Exec("DROP TABLE temp.mvx_renumber");
        for (auto& tag : tags_)
            RebuildTagEntries(*tag);
        transaction.Commit();
    }
    EndSharedRead(); // VACUUM runs outside any transaction
    db_->Exec("VACUUM main");
    if (hasIndexFile_)
        db_->Exec("VACUUM idx");
    InvalidateView();
    First();
    Notify(&TAdsTable::ViewChanged);
}

// ---------------------------------------------------------------- notifications

void TAdsTable::DisableControls() {
    ++controlsDisabled_;
}

void TAdsTable::EnableControls() {
    if (controlsDisabled_ == 0 || --controlsDisabled_ > 0)
        return;
    if (viewChangedWhileDisabled_)
        emit ViewChanged();
    if (recordChangedWhileDisabled_)
        emit RecordChanged();
    viewChangedWhileDisabled_ = recordChangedWhileDisabled_ = false;
}

void TAdsTable::Notify(void (TAdsTable::*signal)()) {
    if (controlsDisabled_ > 0) {
        if (signal == &TAdsTable::ViewChanged)
            viewChangedWhileDisabled_ = true;
        else if (signal == &TAdsTable::RecordChanged)
            recordChangedWhileDisabled_ = true;
        if (signal != &TAdsTable::StateChanged)
            return;
    }
    (this->*signal)();
}

void TAdsTable::Fire(const TEvent& event) {
    if (event)
        event(*this);
}
