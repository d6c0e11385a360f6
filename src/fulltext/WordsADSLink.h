#pragma once
// TrbWordsADSLink: the words link on the program's table layer. The words
// table ("FTS.ADT") is a TAdsTable owned by the caller; this link opens,
// creates and reads it. Columns, in creation order:
//   rbWord    Char(WordFieldSize)   the folded word
//   rbSegment ShortInt              segment number (segmented index only)
//   rbReverse Char(WordFieldSize)   the word reversed (ReverseField only)
//   rbCount   Integer               set bits in this row
//   rbLike    Char(LikeFieldSize)   sound-alike key (LikeFieldSize > 0)
//   rbSize    Integer               length of the stored bit record
//   rbBytes   Raw(BytesFieldSize)   its first bytes (BytesFieldSize > 0)
//   rbBlob    Blob                  the rest of the record; the properties block
// An existing table may also have "rbChar" (further record bytes in the
// three-bytes-to-four-characters text code); it is read and written, never
// created. The blobs live inside the table file, so there is no separate
// "FTS.ADM"; a leftover one is deleted with the table.
//
// The properties row (word PropertiesWord(), segment 0, rbSize 0) holds the
// properties block in rbBlob and, in rbCount, the lowest record number the
// build indexed, so that record positions stay fixed when that record is
// deleted later (NULL in tables that do not record it).

#include "fulltext/WordsLink.h"

#include <QString>

class TAdsTable;
class TField;

class TrbWordsADSLink : public TrbWordsLink {
public:
    static constexpr const char* WordIndexName = "rbWord";
    static constexpr const char* LikeIndexName = "rbLike";
    static constexpr const char* ReverseIndexName = "rbReverse";

    explicit TrbWordsADSLink(TAdsTable& table);

    TAdsTable& Table() const { return table_; }
    // The definition string the build creates the table with.
    QString ColumnDefinition() const;

    bool Active() const override;
    void Open() override;
    void Close() override;

    void PrepareBuild() override;
    void AddIndexes() override;
    void FinishBuild() override;
    void DiscardTable() override;
    void BeginWrites() override;
    void EndWrites(bool commit) override;
    void BeginReads() override;
    void EndReads() override;

    void SetIndexMode(TIndexMode mode) override;
    bool FindWord(QByteArrayView word, int segment = -1) override;
    void FindPrefix(QByteArrayView prefix) override;
    void First() override;
    void Next() override;
    void Prior() override;
    bool Eof() const override;

    void Insert() override;
    void Edit() override;
    void Delete() override;
    void Cancel() override;
    void Post() override;

    void SetWord(QByteArrayView word) override;
    void SetSegment(int segment) override;
    void SetLike(QByteArrayView key) override;
    void WriteRecord(QByteArrayView stored) override;

    QByteArray Word() const override;
    int Segment() const override;
    int Count() const override;
    int Size() const override;
    QByteArray ReadRecord(qsizetype capacity = -1) const override;

    TrbIndexProperties ReadProperties(std::optional<int>* minIndex = nullptr) override;
    void WriteProperties(const TrbIndexProperties& properties, std::optional<int> minIndex) override;

private:
    struct TColumns {
        TField* word = nullptr;
        TField* segment = nullptr;
        TField* reverse = nullptr;
        TField* count = nullptr;
        TField* like = nullptr;
        TField* size = nullptr;
        TField* bytes = nullptr;
        TField* chars = nullptr;
        TField* blob = nullptr;
    };

    void RequireActive() const;
    void LookUpColumns();
    bool HasIndex(const char* name) const;
    void CreateWordIndex();
    // Linear search, for a table built without its word index.
    bool ScanForWord(QByteArrayView word, int segment);
    QString MemoFilePath() const;

    TAdsTable& table_;
    TColumns columns_;
    int bytesSize_ = 0; // of the open table's "rbBytes" / "rbChar"
    int charSize_ = 0;
    // The build created the table anew and has not written its properties
    // row yet: saving it need not look for it. Without the word index, which
    // a build adds only after the properties, looking means reading every row.
    bool propertiesRowAbsent_ = false;
};
