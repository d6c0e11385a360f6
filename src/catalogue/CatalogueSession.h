#pragma once
// The catalogue as the program works with it: the table TableDVD with the
// record rules in its dataset events, the kind shown, the run-wide values of
// the rules (last disc number, last reference, paste pending, the search
// flags), and the record commands (kind selection, title sort, copy, paste,
// filter reset). The main window and the command-line tool are two front
// ends of this one object.

#include "catalogue/DvdKind.h"
#include "store/AdsTable.h"

#include <QDateTime>
#include <QString>
#include <QVariant>

#include <functional>
#include <map>
#include <optional>

class TCatalogueIndexer;
class TCatalogueSearcher;
class TCatalogueStatus;
class TUserInterface;
class TZebINI;

class TCatalogueSession {
public:
    using TClock = std::function<QDateTime()>;

    // settings: the program's settings file; indexer may be null (no
    // full-text index attached); status may be null (nothing to show).
    TCatalogueSession(const QString& programFolder, TZebINI& settings, TUserInterface& ui,
                      TCatalogueStatus* status = nullptr, TCatalogueIndexer* indexer = nullptr);
    ~TCatalogueSession();

    TAdsTable& TableDVD() { return table_; }
    const QString& ProgramFolder() const { return programFolder_; }
    void SetIndexer(TCatalogueIndexer* indexer) { indexer_ = indexer; }
    void SetSearcher(TCatalogueSearcher* searcher) { searcher_ = searcher; }
    void SetClock(TClock clock) { clock_ = std::move(clock); }

    // Creates, opens, upgrades and indexes the catalogue as the start does.
    bool Open();

    // --- run-wide values ---------------------------------------------------
    TDvdKind CurrentKind() const { return kind_; }
    int LastDiscNumber() const { return lastDiscNumber_; }
    void SetLastDiscNumber(int number) { lastDiscNumber_ = number; }
    const QString& LastReference() const { return lastReference_; }
    const QString& SavedIndexName() const { return savedIndexName_; }
    void SetSavedIndexName(const QString& name) { savedIndexName_ = name; }
    bool SearchRunning() const { return searchRunning_; }
    void SetSearchRunning(bool running) { searchRunning_ = running; }
    bool Marking() const { return marking_; }
    void SetMarking(bool marking) { marking_ = marking; }
    bool PastePending() const { return pastePending_; }

    // --- record rules (the dataset events of TableDVD) ------------------------
    void TableDVDBeforeInsert();
    void TableDVDAfterInsert();
    void TableDVDBeforeEdit();
    void TableDVDBeforePost();
    void TableDVDAfterPost();
    void TableDVDAfterCancel();
    void TableDVDAfterDelete();
    void TableDVDAfterScroll();

    // True when no edit-box field of the record (all but DVDNo) holds text.
    bool SindAlleFelderLeer() const;
    // The fields the pages show in single-line edit boxes.
    static QStringList EditBoxFields();
    // DDMMYYYYhhmmss + the first two digits of the milliseconds, local time.
    static QString ReferenceNumber(const QDateTime& moment);

    // --- commands --------------------------------------------------------------
    // Selects a kind; false when a pending record was refused.
    bool SelectKind(TDvdKind kind);
    // A click on a grid column title: sorts by title or disc number.
    void TitleClick(const QString& fieldName);
    // Filter-Reset.
    void FilterReset();
    // Copy: remembers every field value of the current record.
    void Copy();
    bool CopyHeld() const { return copied_.has_value(); }
    // Paste: a new record with the copied values; ends on the view's last record.
    void Paste();
    // The FTSNo of the record the last paste made (0 when none).
    int LastPastedFtsNo() const { return lastPastedFtsNo_; }

    // The full-text search of the search box: finds the matches, marks those
    // of the kind shown with a new filter number and filters the view to
    // them. Both search flags are cleared on every way out.
    void VolltextSucheStarten(const QString& text);
    // The number of the latest search's marks ("InternFilterNummer").
    int FilterCounter() const { return filterCounter_; }
    void SetFilterCounter(int counter) { filterCounter_ = counter; }

private:
    void ShowRecordNumber();
    void ShowRecordCount();
    void ChooseDiscNumber();
    void MakeReference();

    QString programFolder_;
    TZebINI& settings_;
    TUserInterface& ui_;
    TCatalogueStatus* status_;
    TCatalogueIndexer* indexer_;
    TCatalogueSearcher* searcher_ = nullptr;
    int filterCounter_ = 0;
    TClock clock_;
    TAdsTable table_;

    TDvdKind kind_ = TDvdKind::Film;
    int lastDiscNumber_ = 1;
    QString lastReference_;
    QString savedIndexName_;
    bool pastePending_ = false;
    bool searchRunning_ = false;
    bool marking_ = false;
    std::optional<std::map<QString, QVariant>> copied_; // field name → value, FTSNo left out
    int lastPastedFtsNo_ = 0;
};
