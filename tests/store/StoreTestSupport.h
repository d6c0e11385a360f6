#pragma once
// Small helpers shared by the table-layer tests.

#include "store/AdsTable.h"

#include <QString>
#include <QStringList>

#include <memory>

// Opens a table of the folder; shared and writable unless asked otherwise.
inline std::unique_ptr<TAdsTable> OpenTableAt(const QString& folder, const QString& name, bool exclusive = false,
                                              bool readOnly = false) {
    auto table = std::make_unique<TAdsTable>();
    table->SetDatabaseName(folder);
    table->SetTableName(name);
    table->SetExclusive(exclusive);
    table->SetReadOnly(readOnly);
    table->Open();
    return table;
}

// The values of one field along the current view, first to last.
inline QStringList Column(TAdsTable& table, const QString& field) {
    QStringList values;
    for (table.First(); !table.Eof(); table.Next())
        values << table.FieldByName(field).AsString();
    return values;
}

// Appends a record with the given field=value pairs.
inline void AddRecord(TAdsTable& table, std::initializer_list<std::pair<const char*, QVariant>> values) {
    table.Insert();
    for (const auto& [name, value] : values)
        table.FieldByName(QString::fromLatin1(name)).SetValue(value);
    table.Post();
}
