#pragma once
// Import of semicolon-separated text into the catalogue. Every line of the
// file becomes one new record of the kind shown, inserted and posted through
// the catalogue session, so the record rules run for each. The columns of a
// line fill the fields of the import list from left to right; auto-increment
// fields take no column; there is no header, quoting or escaping.

#include <QString>
#include <QStringList>

#include <functional>

class TCatalogueSession;

class TSemicolonImport {
public:
    // Called before each line with its number (from 1): the dialog shows it
    // and lets the window repaint.
    using TProgress = std::function<void(int line)>;

    TSemicolonImport(TCatalogueSession& session, QStringList importFields);

    // Imports the file and returns the number of records added. On any
    // failure the record being filled is cancelled, the records of earlier
    // lines stay, and EDatenbank " Fehler beim Importieren aus DVD.ADT !"
    // is thrown.
    int Run(const QString& path, const TProgress& progress = {});

    // The columns of one line as the import reads them.
    static QStringList SplitColumns(const QString& line);

private:
    void FillRecord(const QString& line);

    TCatalogueSession& session_;
    QStringList importFields_;
};
