#pragma once
// The catalogue table's life at start-up: creating DVD.ADT when it is
// missing, opening it, upgrading a table of an older version with the fields
// it lacks, and making sure its index file exists. The main window runs
// these steps in its start sequence; the command-line tool runs them all at
// once (Prepare).

#include <QString>
#include <QStringList>

class TAdsTable;
class TUserInterface;

class TCatalogueStore {
public:
    // table is the catalogue table object (TableDVD); programFolder ends with "/".
    TCatalogueStore(TAdsTable& table, const QString& programFolder, TUserInterface& ui);

    // Creates the catalogue table in the folder; true on success. A failure of
    // the table layer shows the error box and the warning and returns false.
    bool ErzeugeDatenbank(const QString& folder, const QString& tableName);

    // Rebuilds the index file when it is missing; the table is active again
    // afterwards, whatever the rebuild returned. An index file that lacks a
    // tag of the set (a rebuild that was interrupted) counts as missing.
    void IndexFilePruefen(TAdsTable& table, const QStringList& indexDefinitions, const QString& indexFileName,
                          const QString& folder);

    // True when some field name of the open table contains the marker text.
    bool DVDTableUpToDate(const QString& marker) const;

    // Appends the fields of the first missing marker to the closed table.
    // Throws EMovarixError "Fehler beim updaten der Datenbank!" on failure.
    void AddNewFields();

    // Runs the marker tests and upgrades the table (messages, restructure,
    // reopen). Returns false when the table could not be reopened (the open
    // error has been shown). Collects the film-grid column lines to append.
    bool UpgradeTable(QStringList* gridColumnsToAppend);

    // Everything the start does to the catalogue: create when missing (with
    // its message), open shared, upgrade, rebuild a missing index file.
    // False when the table could not be created or opened.
    bool Prepare(QStringList* gridColumnsToAppend = nullptr);

    QString TablePath() const;

private:
    bool OpenShared();
    void ShowOpenError();

    TAdsTable& table_;
    QString programFolder_;
    TUserInterface& ui_;
};
