#pragma once
// The program's routines for opening a table and rebuilding its index file,
// with the messages the user sees when they fail.

#include <QString>
#include <QStringList>

class TAdsTable;
class TUserInterface;

enum class TTableType { ADT };

class TDatabaseUtils {
public:
    // Opens folder + tableName on the table object. A missing file shows the
    // "Datenbank nicht vorhanden" box and returns false without touching the
    // table's settings; a table-layer failure returns false quietly (the
    // caller shows its own message). Other errors propagate. The folder ends
    // with "/". Encryption is not offered: a password makes the open fail.
    static bool OpenTable(TAdsTable& table, TTableType type, const QString& folder, bool readOnly, bool exclusive,
                          const QString& password, const QString& tableName, TUserInterface& ui);

    // Builds the index file from the definition lines on the exclusively
    // opened table, with the status window, then reopens the table shared.
    // True when the index file exists afterwards and the table is open.
    // True when an item of the list equals the text exactly (letter case counts).
    static bool ComboHasItem(const QStringList& items, const QString& text) { return items.contains(text); }

    static bool RebuildIndexFile(TAdsTable& table, TTableType type, const QString& folder,
                                 const QStringList& indexDefinitions, const QString& indexFileName,
                                 TUserInterface& ui);
};
