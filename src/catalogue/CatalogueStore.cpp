#include "catalogue/CatalogueStore.h"

#include "catalogue/CatalogueSchema.h"
#include "catalogue/DatabaseUtils.h"
#include "catalogue/IndexDefinition.h"
#include "platform/MovarixError.h"
#include "platform/Translate.h"
#include "platform/UserInterface.h"
#include "store/AdsError.h"
#include "store/AdsTable.h"

#include <QDir>
#include <QFileInfo>

TCatalogueStore::TCatalogueStore(TAdsTable& table, const QString& programFolder, TUserInterface& ui)
    : table_(table), programFolder_(programFolder), ui_(ui) {}

QString TCatalogueStore::TablePath() const {
    return programFolder_ + QLatin1String(TCatalogueSchema::TableName);
}

bool TCatalogueStore::ErzeugeDatenbank(const QString& folder, const QString& tableName) {
    QString path = folder;
    while (path.endsWith(QLatin1String("//")))
        path.chop(1);
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    if (folder.isEmpty() || !QDir().mkpath(path))
        throw EMovarixError(Tr("Das Verzeichnis kann nicht erstellt werden"));

    table_.DisableControls();
    table_.Close();
    table_.SetTableName(QString());
    try {
        TAdsTable::CreateTable(path + tableName, TCatalogueSchema::CreationList());
    } catch (const EAdsError& error) {
        ui_.ErrorBox(Tr("Fehler beim Erzeugen der Datenbank !"), error.Message());
        ui_.Dialog(Tr("Kann Datenbank ") + path + tableName +
                       Tr(" nicht erzeugen, bitte System-Administrator informieren!"),
                   TUserInterface::TDialogKind::Warning);
        table_.EnableControls();
        return false;
    }
    table_.EnableControls();
    return true;
}

void TCatalogueStore::IndexFilePruefen(TAdsTable& table, const QStringList& indexDefinitions,
                                       const QString& indexFileName, const QString& folder) {
    if (QFileInfo::exists(folder + indexFileName)) {
        bool complete = table.Active() && table.HasIndexFile();
        const QStringList present = table.IndexNames();
        for (const QString& line : indexDefinitions)
            if (!present.contains(TIndexDefinition::Parse(line).name, Qt::CaseInsensitive))
                complete = false;
        if (complete || !table.Active())
            return;
        // A set with tags missing cannot serve the views: build it anew.
        table.Close();
        TAdsTable::DeleteIndexFile(folder + table.TableName());
    }
    table.Close();
    TDatabaseUtils::RebuildIndexFile(table, TTableType::ADT, folder, indexDefinitions, indexFileName, ui_);
    // After a failed exclusive open the table still asks for exclusive
    // access; the start goes on with the table shared, as everywhere else.
    table.SetExclusive(false);
    table.SetActive(true);
}

bool TCatalogueStore::DVDTableUpToDate(const QString& marker) const {
    for (int i = 0; i < table_.FieldCount(); ++i)
        if (table_.Fields(i).FieldName().contains(marker, Qt::CaseSensitive))
            return true;
    return false;
}

void TCatalogueStore::AddNewFields() {
    QString firstMissing;
    for (const QString& marker : TCatalogueSchema::MarkerFields()) {
        if (!DVDTableUpToDate(marker)) {
            firstMissing = marker;
            break;
        }
    }
    const TCatalogueSchema::TUpgrade upgrade = TCatalogueSchema::UpgradeFor(firstMissing);
    table_.Close();
    THourglass hourglass(ui_);
    try {
        TAdsTable::RestructureAppend(TablePath(), upgrade.fieldList);
    } catch (const EMovarixError&) {
        throw EMovarixError(Tr("Fehler beim updaten der Datenbank!"));
    }
}

bool TCatalogueStore::OpenShared() {
    return TDatabaseUtils::OpenTable(table_, TTableType::ADT, programFolder_, false, false, QString(),
                                     QLatin1String(TCatalogueSchema::TableName), ui_);
}

void TCatalogueStore::ShowOpenError() {
    ui_.ShowMessage(Tr("Fehler beim Öffnen von ") + TablePath() + QStringLiteral(" !"));
}

bool TCatalogueStore::UpgradeTable(QStringList* gridColumnsToAppend) {
    for (const QString& marker : TCatalogueSchema::MarkerFields()) {
        if (DVDTableUpToDate(marker))
            continue;
        ui_.ShowMessage(Tr("Drücken Sie OK, um die Datenbank jetzt anzupassen....bitte haben Sie etwas Geduld..."));
        const TCatalogueSchema::TUpgrade upgrade = TCatalogueSchema::UpgradeFor(marker);
        AddNewFields();
        if (!OpenShared()) {
            ShowOpenError();
            return false;
        }
        if (gridColumnsToAppend)
            *gridColumnsToAppend += upgrade.gridColumns;
        ui_.ShowMessage(Tr("Datenbank aktualisiert und erneut geöffnet !"));
    }
    return true;
}

bool TCatalogueStore::Prepare(QStringList* gridColumnsToAppend) {
    if (!QFileInfo::exists(TablePath())) {
        if (!ErzeugeDatenbank(programFolder_, QLatin1String(TCatalogueSchema::TableName)))
            return false;
        ui_.ShowMessage(Tr("Neue Datenbank erzeugt !"));
    }
    {
        THourglass hourglass(ui_);
        ui_.ProcessEvents();
        if (!OpenShared()) {
            ShowOpenError();
            return false;
        }
    }
    if (!UpgradeTable(gridColumnsToAppend))
        return false;
    IndexFilePruefen(table_, TCatalogueSchema::IndexDefinitions(), QLatin1String(TCatalogueSchema::IndexFileName),
                     programFolder_);
    return true;
}
