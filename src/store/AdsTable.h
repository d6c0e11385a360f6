#pragma once
// A table of the program's own table engine, stored in SQLite. One logical
// table is two files beside each other:
//   X.ADT  the field list, the records and their blobs (memo, pictures);
//   X.ADI  the index tags (derived data: it can always be rebuilt).
// Both are opened on one connection in WAL mode and every change of a record
// writes the record, its blobs and its tag entries in one transaction. Each
// file carries a generation number that every write transaction advances in
// both; when they differ at open (a crash between the two commits) the tags
// are rebuilt from the records. A missing or damaged X.ADI means "no index
// file": the table opens in natural order.
//
// The object works like a dataset: it is opened on a folder and a table name,
// has a current record, navigates in the order of the current index tag
// (natural = record-number order) under an optional filter, and changes
// records through the states browse → edit/insert → post or cancel, raising
// the dataset events around each step.
//
// Layout of X.ADT (SQLite):
//   mvx_meta(key, value)       'format' = 1, 'generation', 'autoinc.<n>' = next value
//   mvx_fields(ord, name, type, length, decimals)   ord is the 1-based field number
//   mvx_records(recno INTEGER PRIMARY KEY, mvx_version, f1 … fN)
//                               one column per non-blob field; mvx_version is the
//                               generation of the last write (lost-update check)
//   mvx_blobs(recno, field, data)   non-empty blob values, PRIMARY KEY(recno, field)
// Layout of X.ADI (SQLite, attached as "idx"):
//   mvx_meta(key, value)       'generation'
//   mvx_tags(id, name, expression, condition, isUnique)
//   mvx_tag_<id>(key BLOB, recno) WITHOUT ROWID, PRIMARY KEY(key, recno),
//                               one row per record whose FOR condition holds

#include "store/Field.h"
#include "store/FieldDef.h"
#include "store/RecordView.h"
#include "store/TableLock.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class TSqliteDb;
class TSqliteStmt;
class TIndexKey;

struct TIndexDef {
    QString name;
    QString expression;
    QString condition; // empty: every record
    bool unique = false;
};

class TAdsTable : public QObject {
    Q_OBJECT

public:
    enum class TState { Inactive, Browse, Edit, Insert };
    using TEvent = std::function<void(TAdsTable&)>;

    explicit TAdsTable(QObject* parent = nullptr);
    ~TAdsTable() override;

    // --- files -----------------------------------------------------------
    // Creates a new empty table from a definition string (see FieldDef.h),
    // replacing any table of that name. The table appears under its name only
    // when complete. Derived tables (words, matches) pass durable = false:
    // they are written with synchronous=NORMAL instead of FULL.
    static void CreateTable(const QString& path, const QString& definition, bool durable = true);
    // Deletes the table's files; a missing file counts as deleted.
    static void DeleteTable(const QString& path);
    // Deletes the index file of a closed table; its records stay.
    static void DeleteIndexFile(const QString& path);
    // Appends fields to a closed table; existing records keep their values
    // and the new fields are empty. All or nothing.
    static void RestructureAppend(const QString& path, const QString& definition);
    // The index file that belongs to a table file (DVD.ADT → DVD.ADI).
    static QString IndexFileOf(const QString& path);
    static bool Exists(const QString& path);

    // --- opening -----------------------------------------------------------
    void SetDatabaseName(const QString& folder) { folder_ = folder; }
    const QString& DatabaseName() const { return folder_; }
    void SetTableName(const QString& name) { tableName_ = name; }
    const QString& TableName() const { return tableName_; }
    QString FullPath() const;
    void SetExclusive(bool exclusive) { exclusive_ = exclusive; }
    bool Exclusive() const { return exclusive_; }
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
    bool ReadOnly() const { return readOnly_; }

    // Opens the table (throws EAdsError). Positions on the first record.
    void Open();
    // Posts nothing: a pending edit or insert is cancelled.
    void Close();
    bool Active() const { return db_ != nullptr; }
    void SetActive(bool active) { active ? Open() : Close(); }
    // Writes everything in the WAL files into the table files, so that the
    // two files can be copied on their own (backup).
    void Checkpoint();

    // --- fields ------------------------------------------------------------
    int FieldCount() const { return int(fields_.size()); }
    TField& Fields(int index) const { return *fields_.at(index); }
    TField* FindField(const QString& name) const;
    TField& FieldByName(const QString& name) const; // throws EAdsError when missing
    QList<TFieldDef> FieldDefs() const;

    // --- index tags --------------------------------------------------------
    bool HasIndexFile() const { return hasIndexFile_; }
    // True when the last Open found X.ADI unreadable and set it aside.
    bool IndexFileWasDamaged() const { return indexFileDamaged_; }
    // Creates a tag in X.ADI (creating the file when needed) over all
    // records. Needs an exclusive open when other processes may write.
    void CreateIndex(const TIndexDef& def);
    QList<TIndexDef> IndexDefs() const;
    QStringList IndexNames() const;
    // Rebuilds every tag from the records.
    void Reindex();
    // Selects a tag by name (case-insensitive); empty selects natural order.
    // Stays on the current record when the new order has it, else goes to
    // the first record.
    void SetIndexName(const QString& name);
    QString IndexName() const;

    // --- filter ------------------------------------------------------------
    // "Field=value" (the value may be quoted), ".T." (all) or ".F." (none).
    void SetFilter(const QString& expression);
    const QString& Filter() const { return filterText_; }
    void SetFiltered(bool filtered);
    bool Filtered() const { return filtered_; }

    // --- navigation (in the current order, under the filter) ----------------
    void First();
    void Last();
    void Next();
    void Prior();
    int MoveBy(int distance); // returns how far it moved
    bool Bof() const { return bof_; }
    bool Eof() const { return eof_; }
    bool IsEmpty();
    // The physical record number of the current record (0 when none).
    qint64 RecNo() const;
    // Records in the current view (the tag's FOR condition and the filter).
    int RecordCount();
    // Records in the table, whatever the view.
    int TotalRecordCount() const;
    // Goes to a record by physical number; false when it is not in the view.
    bool GotoRecNo(qint64 recno);
    // Exact seek on the current tag: the first record whose key equals the
    // values (fewer values than key parts compare a prefix). Stays where it
    // was and returns false when there is none. Throws without a tag.
    bool FindKey(const QVariantList& values);
    // Goes to the first record whose key is not less than the values (text
    // compared without regard to case); to the end when there is none.
    void FindNearest(const QVariantList& values);
    // Rereads the current record and the view from the files (changes of
    // other programs become visible).
    void Refresh();
    // The record numbers of the current view, in order.
    std::vector<qint64> ViewRecNos();
    // The stored non-blob values of any record, without moving to it (grids
    // read the rows they paint this way). Empty when there is no such record.
    std::vector<QVariant> ReadRecord(qint64 recno);

    // --- reading without the cursor ------------------------------------------
    // These read what is stored, straight from the files (in a series of
    // reads, see BeginReads, as it was at the series' first read): they
    // neither move the current record nor build or change the view, whatever
    // the current order, and they ignore the filter, so their cost does not
    // grow with the table (except ScanFields, which visits every entry). A tag is
    // named as for SetIndexName (case-insensitive); an empty name means
    // natural order; an unknown name throws EAdsError. A pending edit is not
    // posted and not seen: callers that need it stored post it first.

    // Whether the table holds any record, whatever the view (one row read,
    // not a count).
    bool HasRecords() const;
    // The record number of the first / last entry of the tag: the record
    // First() / Last() reach in that order without a filter. 0 when the tag
    // has no entry.
    qint64 FirstRecNo(const QString& tagName) const;
    qint64 LastRecNo(const QString& tagName) const;
    // Exact seek as FindKey does it, on the named tag: the record number of
    // the first entry whose key begins with the key of the values; 0 when
    // there is none. Throws for natural order (no key to seek).
    qint64 SeekRecNo(const QString& tagName, const QVariantList& values) const;
    // Some fields of one record, by field index, in the order asked for:
    // non-blob fields in the form TField::Value() gives them, blob fields as
    // their stored bytes (a memo's text in UTF-8), which TField's TextOf,
    // IntegerOf and BytesOf read as well; a NULL or empty value is an invalid
    // QVariant. One query for the record and, when blob fields are asked
    // for, one for its blobs. False, with `values` cleared, when there is no
    // such record.
    bool ReadFields(qint64 recno, const std::vector<int>& fields, std::vector<QVariant>& values) const;
    // Every entry of the tag in tag order (every record in record-number
    // order for natural order): its record number and the fields' values as
    // ReadFields gives them. One query for the whole walk.
    using TScanRecord = std::function<void(qint64 recno, const std::vector<QVariant>& values)>;
    void ScanFields(const QString& tagName, const std::vector<int>& fields, const TScanRecord& onRecord) const;
    // Between BeginReads() and EndReads() (pairs nest) every read of the
    // table (these, moving, blobs, building the view) shares one read
    // transaction instead of opening one per query, which saves the file
    // locking of every read in a long series of them; the reads see the
    // files as they were at the first read of the series, with this table's
    // own changes. Any change of the table, Edit, an explicit transaction,
    // Refresh, Checkpoint and Close end the shared read first (the next read
    // starts a new one), so nothing waits for EndReads.
    void BeginReads();
    void EndReads();

    // --- changing records ----------------------------------------------------
    TState State() const { return state_; }
    void Insert();
    void Append() { Insert(); }
    void Edit();
    // Writes the edit buffer. BeforePost may throw EAbort to refuse quietly;
    // the table then stays in its state. A record changed or deleted by
    // another program since it was read is not overwritten: EAdsError.
    void Post();
    void Cancel();
    void Delete();
    // Posts a pending edit or insert (before navigating, for example).
    void CheckBrowseMode();

    // Blobs of the current record.
    bool BlobIsEmpty(const QString& fieldName) const;
    void LoadBlobFromFile(const QString& fieldName, const QString& path);
    void SaveBlobToFile(const QString& fieldName, const QString& path) const;

    // Explicit transactions (several posts committed together).
    void BeginTransaction();
    void Commit();
    void Rollback();
    bool InTransaction() const { return transactionDepth_ > 0; }

    // Removes the gaps deleted records left: record numbers become dense,
    // tags are rebuilt, AutoInc values stay. Needs an exclusive open.
    void Pack();

    // Grids and other views pause their updates while controls are disabled.
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return controlsDisabled_ > 0; }

    // Dataset events.
    TEvent BeforeInsert, AfterInsert, BeforeEdit, BeforePost, AfterPost, AfterCancel, BeforeDelete, AfterDelete,
        AfterScroll, AfterOpen, BeforeClose;

signals:
    // The view (order, filter, set of records) changed; grids rebuild.
    void ViewChanged();
    // The current record or its values changed; record pages refresh.
    void RecordChanged();
    void StateChanged();

private:
    friend class TField;
    struct TTag;
    class TWriteTransaction;

    // field access for TField
    QVariant FieldValue(int index) const;
    void SetFieldValue(int index, const QVariant& value);
    const QByteArray& BlobValue(int index) const;

    void RequireActive() const;
    void RequireWritable() const;
    void RequireBrowsing(const char* what) const;
    TTag& CurrentTag();
    TTag* FindTag(const QString& name) const;
    // The named tag for the cursor-free reads; nullptr for natural order.
    TTag* TagForRead(const QString& name) const;
    // FirstRecNo / LastRecNo.
    qint64 EndRecNo(const QString& tagName, bool last) const;
    // How ReadFields reads one list of fields (made on first use; the
    // statements are kept with the connection).
    struct TFieldsRead {
        TSqliteStmt* record = nullptr; // the non-blob fields of the record bound to ?1
        TSqliteStmt* blobs = nullptr;  // (field, data) of its blobs asked for; null without blob fields
        std::vector<int> column;       // per requested field: its column in `record`, -1 for a blob
    };
    // Throws EAdsError for a field index the table does not have.
    void RequireFieldNumber(int field) const;
    const TFieldsRead& FieldsRead(const std::vector<int>& fields) const;
    // Column `column` of a row into the form ReadFields gives for `field`.
    QVariant FieldFromRow(int field, const TSqliteStmt& row, int column) const;
    // Starts the shared read transaction of BeginReads when one is wanted
    // and none is open; ends it (before a write, a refresh or a close).
    void OpenSharedRead() const;
    void EndSharedRead() const;

    void PrepareStatements();
    void OpenIndexFile();
    void LoadTags();
    void CheckGenerations();
    void RebuildTagEntries(TTag& tag);
    void EnsureView();
    void InvalidateView();
    void BuildView();
    bool InView(const std::vector<QVariant>& values) const;
    bool MatchesFilter(const std::vector<QVariant>& values) const;
    QByteArray ViewKey(const std::vector<QVariant>& values, qint64 recno) const;
    void MoveTo(qint64 position); // loads the record at that view position
    void LoadRecord(qint64 recno);
    void ClearRecord();
    void Scrolled();
    void Notify(void (TAdsTable::*signal)());
    void Fire(const TEvent& event);

    void WriteTagEntries(qint64 recno, const std::vector<QVariant>* before, const std::vector<QVariant>* after);
    void WriteBlobs(qint64 recno, bool inserting);
    qint64 NextAutoInc(int field);

    QString folder_;
    QString tableName_;
    bool exclusive_ = false;
    bool readOnly_ = false;

    std::unique_ptr<TSqliteDb> db_;
    TSqliteStmt* insertRecord_ = nullptr; // statements owned by db_
    TSqliteStmt* updateRecord_ = nullptr;
    TSqliteStmt* selectRecord_ = nullptr;
    // Statements of ReadFields by field list (owned by db_).
    mutable std::map<std::vector<int>, TFieldsRead> fieldStatements_;
    TTableLock lock_;
    bool hasIndexFile_ = false;
    bool indexFileDamaged_ = false;
    std::vector<TFieldDef> defs_;
    std::vector<std::unique_ptr<TField>> fields_;
    std::vector<std::unique_ptr<TTag>> tags_;
    int currentTag_ = -1; // -1: natural order

    QString filterText_;
    bool filtered_ = false;
    int filterField_ = -1;       // -1 with filterConstant_ for ".T."/".F."
    QVariant filterValue_;
    bool filterConstant_ = true;

    TRecordView view_;
    bool viewValid_ = false;
    qint64 lastViewSize_ = 1024; // to reserve room when the view is built again
    qint64 position_ = -1; // index into view_, -1 when there is no current record
    bool bof_ = true;
    bool eof_ = true;

    // the current record as stored
    qint64 recno_ = 0;
    qint64 version_ = 0;
    std::vector<QVariant> values_;
    mutable std::map<int, QByteArray> blobs_; // loaded blob values of the current record

    // the edit buffer
    TState state_ = TState::Inactive;
    std::vector<QVariant> buffer_;
    std::map<int, QByteArray> bufferBlobs_; // blobs changed in the buffer

    int transactionDepth_ = 0;
    int readsDepth_ = 0;               // BeginReads nesting
    mutable bool sharedReadOpen_ = false; // our "BEGIN" of BeginReads is open
    qint64 transactionGeneration_ = 0; // stamp shared by the posts of an explicit transaction
    int controlsDisabled_ = 0;
    bool viewChangedWhileDisabled_ = false;
    bool recordChangedWhileDisabled_ = false;
};
