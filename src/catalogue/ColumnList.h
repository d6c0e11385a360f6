#pragma once
// The columns of a list grid as text. A column definition line is
//   field name TAB display width TAB column title [TAB "F"]
// (the fourth field, "F" = not read-only, appears in the grids' design
// lists). A column list is one such line per column, in display order, and
// survives in a column list file ("GridFilm.txt" …): Windows-1252 text, one
// line per column, used only when the file is larger than 10 bytes.

#include "catalogue/DvdKind.h"

#include <QList>
#include <QString>
#include <optional>

struct TColumnDef {
    QString field;
    int width = 0;
    QString title;
    QString flags; // the optional fourth field, as read

    static TColumnDef Parse(const QString& line);
    QString ToLine() const;
    bool operator==(const TColumnDef&) const = default;
};

class TColumnList {
public:
    // The list of the file, or nothing when the file is missing or not larger
    // than 10 bytes. Lines that name no field are skipped.
    static std::optional<QList<TColumnDef>> LoadFile(const QString& path);
    // Writes the list whole (atomically). Throws EMovarixError.
    static void SaveFile(const QString& path, const QList<TColumnDef>& columns);

    // The list a kind's grid shows when its file gives none.
    static QList<TColumnDef> DefaultList(TDvdKind kind);
    // The list the film grid holds before any kind is selected: the fields of
    // the creation list (without the later notes fields and the upgrade's
    // fields), DVDNo right after Title.
    static QList<TColumnDef> FilmDesignList();
    // The grid's list at selection: the file's when it has one, else the default.
    static QList<TColumnDef> ForKind(TDvdKind kind, const QString& programFolder);
};
