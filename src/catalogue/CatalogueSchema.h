#pragma once
// The catalogue table DVD.ADT as the program defines it: the creation list of
// its fields, the index set that turns the one table into three kinds of
// disc, and the upgrade data for tables made by older versions.

#include <QString>
#include <QStringList>

class TCatalogueSchema {
public:
    static constexpr const char* TableName = "DVD.ADT";
    static constexpr const char* IndexFileName = "DVD.ADI";

    // The definition string of the 57 fields the table is created with,
    // each item "Name padded to 20,Type,length,decimals;".
    static QString CreationList();
    // The thirteen index definition lines, in creation order.
    static QStringList IndexDefinitions();
    // Marker fields by which an older table is recognised, in test order.
    static QStringList MarkerFields();

    // What the upgrade appends when a marker is missing (the first missing
    // marker decides, and its list also brings the later markers).
    struct TUpgrade {
        QString marker;
        QString fieldList;      // definition string of the fields to append
        QStringList gridColumns; // column definition lines for the film grid
    };
    static TUpgrade UpgradeFor(const QString& firstMissingMarker);
};
