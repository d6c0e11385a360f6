#include "catalogue/DatabaseUtils.h"

#include "catalogue/IndexDefinition.h"
#include "platform/Translate.h"
#include "platform/UserInterface.h"
#include "store/AdsError.h"
#include "store/AdsTable.h"

#include <QFileInfo>

namespace {

// Suspends the updates of the table's views for a scope.
class TControlsPause {
public:
    explicit TControlsPause(TAdsTable& table) : table_(table) { table_.DisableControls(); }
    ~TControlsPause() { table_.EnableControls(); }

private:
    TAdsTable& table_;
};

// Closes the status window however the scope ends.
class TStatusWindow {
public:
    TStatusWindow(TUserInterface& ui, const QString& text) : ui_(ui) { ui_.StatusShow(text, false, false); }
    ~TStatusWindow() { ui_.StatusClose(); }

private:
    TUserInterface& ui_;
};

} // namespace

bool TDatabaseUtils::OpenTable(TAdsTable& table, TTableType, const QString& folder, bool readOnly, bool exclusive,
                               const QString& password, const QString& tableName, TUserInterface& ui) {
    if (!QFileInfo::exists(folder + tableName)) {
        ui.MessageBox(Tr("Datenbank nicht vorhanden"),
                      Tr("Datenbank ") + folder + tableName + Tr(" ist nicht vorhanden !"),
                      TUserInterface::TDialogKind::Information);
        return false;
    }
    table.Close();
    THourglass hourglass(ui);
    table.SetDatabaseName(folder);
    table.SetTableName(tableName);
    TControlsPause pause(table);
    table.SetExclusive(exclusive);
    table.SetReadOnly(readOnly);
    try {
        table.Open();
        if (!password.isEmpty()) {
            table.Close();
            throw EAdsError(QStringLiteral("Encrypted tables are not supported"));
        }
    } catch (const EAdsError&) {
        return false;
    }
    return true;
}

bool TDatabaseUtils::RebuildIndexFile(TAdsTable& table, TTableType type, const QString& folder,
                                      const QStringList& indexDefinitions, const QString& indexFileName,
                                      TUserInterface& ui) {
    if (QFileInfo::exists(folder + indexFileName))
        return true;
    THourglass hourglass(ui);
    const QString tableName = table.TableName();
    table.Close();
    if (!OpenTable(table, type, folder, false, true, QString(), tableName, ui)) {
        ui.ShowMessage(Tr("Fehler beim exclusive Öffnen der ") + folder + tableName + QStringLiteral(" !"));
        return false;
    }
    try {
        TStatusWindow status(ui, Tr("Baue Index neu auf, bitte warten Sie...."));
        for (const QString& line : indexDefinitions)
            table.CreateIndex(TIndexDefinition::Parse(line).ToIndexDef());
    } catch (...) {
        // No half-built index file is left behind: the next start builds it
        // again from the beginning.
        table.Close();
        TAdsTable::DeleteIndexFile(folder + tableName);
        throw;
    }
    table.Close();
    if (!OpenTable(table, type, folder, false, false, QString(), tableName, ui)) {
        ui.ShowMessage(Tr("Fehler beim shareable Öffnen der ") + folder + tableName + QStringLiteral(" !"));
        return false;
    }
    return true;
}
