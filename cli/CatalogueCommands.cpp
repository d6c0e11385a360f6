// init and info: the catalogue table as the program's start prepares it.

#include "CliCommand.h"

#include "catalogue/CatalogueSchema.h"
#include "catalogue/CatalogueStore.h"
#include "catalogue/DatabaseUtils.h"
#include "store/AdsTable.h"

int CmdInit(TCliContext& context) {
    if (!context.args.isEmpty())
        throw EUsage(QStringLiteral("init takes no arguments"));
    context.folders.EnsureProgramFolder();
    TAdsTable table;
    TCatalogueStore store(table, context.folders.ProgramFolder(), context.ui);
    return store.Prepare() ? 0 : 1;
}

int CmdInfo(TCliContext& context) {
    if (!context.args.isEmpty())
        throw EUsage(QStringLiteral("info takes no arguments"));
    TAdsTable table;
    if (!TDatabaseUtils::OpenTable(table, TTableType::ADT, context.folders.ProgramFolder(), true, false, QString(),
                                   QLatin1String(TCatalogueSchema::TableName), context.ui))
        return 1;
    for (int i = 0; i < table.FieldCount(); ++i) {
        const TField& field = table.Fields(i);
        PrintLine(QStringLiteral("%1\t%2\t%3\t%4")
                      .arg(field.FieldName(), TFieldDefs::TypeName(field.DataType()))
                      .arg(field.Size())
                      .arg(field.Decimals()));
    }
    for (const TIndexDef& tag : table.IndexDefs())
        PrintLine(QStringLiteral("tag\t%1\t%2\t%3").arg(tag.name, tag.expression, tag.condition));
    PrintLine(QStringLiteral("records\t%1").arg(table.TotalRecordCount()));
    return 0;
}
