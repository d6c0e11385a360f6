#pragma once
// TrbWordsLink: the engines' access to the words table, one row per indexed
// word and segment plus the properties row. This base holds what does not
// depend on the table engine (column sizes, parameters, counters, the
// properties-read mark, the after-post event); TrbWordsADSLink implements the
// row operations on the program's table layer.
//
// Words, like keys and the stored bit records are Windows-1252 bytes, as the
// engines work with them.
//
// Column sizes are read-only here (they come from the opened table; setting
// one raises 30496 "ReadOnly property"); the build's link
// TrbMakeWordsADSLink makes them settable.

#include "fulltext/Params.h"
#include "fulltext/PropertiesBlock.h"

#include <QByteArray>
#include <QByteArrayView>

#include <functional>
#include <optional>

class TrbWordsLink {
public:
    using TAfterPost = std::function<void()>;
    enum class TIndexMode { Word, Like, Reverse };

    // The word of the properties row: DEL DEL "Properties" DEL DEL.
    static QByteArray PropertiesWord();

    virtual ~TrbWordsLink() = default;

    // --- column sizes --------------------------------------------------------
    int WordFieldSize() const { return wordFieldSize_; }
    void SetWordFieldSize(int value);   // 5..40, other values ignored
    int LikeFieldSize() const { return likeFieldSize_; }
    void SetLikeFieldSize(int value);   // 0..40 (0: no "rbLike")
    int BytesFieldSize() const { return bytesFieldSize_; }
    void SetBytesFieldSize(int value);  // 0 or 24..1024 (0: no "rbBytes")
    bool ReverseField() const { return reverseField_; }
    void SetReverseField(bool value);
    // Size of an "rbChar" column found in an opened table (0: none).
    int CharFieldSize() const { return charFieldSize_; }

    TrbParams& Params() { return params_; }
    const TrbParams& Params() const { return params_; }

    // Whether the index has the "rbSegment" column: the build sets it before
    // it creates the table, opening a table takes it from the columns found.
    bool Segmented() const { return segmented_; }
    void SetSegmented(bool value) { segmented_ = value; }

    // Rows inserted and edited since the last ResetCounters().
    int RowsInserted() const { return rowsInserted_; }
    int RowsEdited() const { return rowsEdited_; }
    void ResetCounters() { rowsInserted_ = rowsEdited_ = 0; }

    // Set once the update or search engine has read the properties block.
    bool PropertiesRead() const { return propertiesRead_; }
    void SetPropertiesRead(bool value) { propertiesRead_ = value; }

    // Called after every posted row.
    void SetAfterPost(TAfterPost handler) { afterPost_ = std::move(handler); }

    // --- table ---------------------------------------------------------------
    virtual bool Active() const = 0;
    // Opens the table and looks up its columns ("rbWord", "rbCount", "rbSize"
    // and "rbBlob" must exist: 30482), taking the sizes from them.
    virtual void Open() = 0;
    virtual void Close() = 0;

    // --- the build's steps ---------------------------------------------------
    // Closes the table and takes it exclusively; with "CreateDataSet" deletes
    // its files and creates it anew with the columns of the current sizes
    // (and "rbSegment" when Segmented()); with "AddWordIndexAtStart" adds the
    // word index at once; opens it and looks up its columns.
    virtual void PrepareBuild() = 0;
    // Creates the "rbWord", "rbLike" and "rbReverse" indexes as the
    // parameters and columns allow.
    virtual void AddIndexes() = 0;
    // Closes the table, gives up exclusive use, reopens it and selects the
    // word index.
    virtual void FinishBuild() = 0;
    // Closes the table and deletes its files (a build that did not finish
    // leaves no index that looks complete).
    virtual void DiscardTable() = 0;
    // Groups many row writes into one commit.
    virtual void BeginWrites() = 0;
    virtual void EndWrites(bool commit) = 0;
    // The search brackets its look-ups with these; a link may let the reads
    // share one read transaction. Pairs nest.
    virtual void BeginReads() {}
    virtual void EndReads() {}

    // --- rows ----------------------------------------------------------------
    // Selects the order word look-ups and prefix positioning use.
    virtual void SetIndexMode(TIndexMode mode) = 0;
    // The row of (word, segment); segment < 0 (or an unsegmented index): the
    // first row of the word. False when there is none (position unchanged).
    virtual bool FindWord(QByteArrayView word, int segment = -1) = 0;
    // Positions on the first row whose word is not less than the prefix
    // (compared without case) in the current index mode; Eof() when none.
    virtual void FindPrefix(QByteArrayView prefix) = 0;
    virtual void First() = 0;
    virtual void Next() = 0;
    virtual void Prior() = 0;
    virtual bool Eof() const = 0;

    virtual void Insert() = 0;
    virtual void Edit() = 0;
    virtual void Delete() = 0;
    virtual void Cancel() = 0;
    // Writes the row and calls the after-post event.
    virtual void Post() = 0;

    // Fields of the row being inserted (rbWord also sets rbReverse).
    virtual void SetWord(QByteArrayView word) = 0;
    virtual void SetSegment(int segment) = 0;
    virtual void SetLike(QByteArrayView key) = 0;
    // Writes a stored bit record: rbCount, rbSize, rbBytes and rbBlob.
    virtual void WriteRecord(QByteArrayView stored) = 0;

    // Fields of the current row.
    virtual QByteArray Word() const = 0;
    virtual int Segment() const = 0;
    virtual int Count() const = 0;
    virtual int Size() const = 0;
    // The current row's stored bit record. `capacity` is the reader's buffer
    // including its 4-byte stamp slot (30470 when the record does not fit;
    // negative: no limit). A blob of the wrong length raises 30465.
    virtual QByteArray ReadRecord(qsizetype capacity = -1) const = 0;

    // --- properties row -----------------------------------------------------
    // Reads the properties block (30495 when the row is missing or empty).
    // `minIndex` receives the lowest record number the build indexed, when
    // the row records one.
    virtual TrbIndexProperties ReadProperties(std::optional<int>* minIndex = nullptr) = 0;
    // Appends the properties row, or edits the one the table has.
    virtual void WriteProperties(const TrbIndexProperties& properties, std::optional<int> minIndex) = 0;

protected:
    // Whether the sizes may be set (the build's link).
    virtual bool SizesWritable() const { return false; }
    void CountInsert() { ++rowsInserted_; }
    void CountEdit() { ++rowsEdited_; }
    void CallAfterPost() const {
        if (afterPost_)
            afterPost_();
    }
    // Sizes taken from an opened table, bypassing the setters' checks.
    void TakeSizes(int word, int like, int bytes, int chars, bool reverse);

private:
    void CheckWritable() const;

    int wordFieldSize_ = 20;
    int likeFieldSize_ = 5;
    int bytesFieldSize_ = 28;
    int charFieldSize_ = 0;
    bool reverseField_ = false;
    bool segmented_ = false;
    bool propertiesRead_ = false;
    int rowsInserted_ = 0;
    int rowsEdited_ = 0;
    TrbParams params_;
    TAfterPost afterPost_;
};
