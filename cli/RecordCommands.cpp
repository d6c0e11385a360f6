// Records of the catalogue from the command line, through the same session
// and record rules as the window: add, edit, delete, list, duplicate, import.

#include "CliArgs.h"
#include "CliCommand.h"
#include "CliSession.h"

#include "catalogue/CatalogueSession.h"
#include "exchange/SemicolonImport.h"
#include "platform/UserInterface.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>
#include <memory>

namespace {

// Field=Value from the command line: Booleans also as wahr/falsch.
void Assign(TAdsTable& table, const QString& assignment) {
    const qsizetype equals = assignment.indexOf(QLatin1Char('='));
    if (equals <= 0)
        throw EUsage(QStringLiteral("expected Field=Value, got ") + assignment);
    TField& field = table.FieldByName(assignment.left(equals));
    QString value = assignment.mid(equals + 1);
    if (field.DataType() == TFieldType::Logical) {
        const QString upper = value.trimmed().toUpper();
        if (upper == QLatin1String("WAHR"))
            value = QStringLiteral("true");
        else if (upper == QLatin1String("FALSCH"))
            value = QStringLiteral("false");
    }
    field.SetAsString(value);
}

void Locate(TAdsTable& table, const QString& ftsNo) {
    bool ok = false;
    const int number = ftsNo.toInt(&ok);
    if (!ok)
        throw EUsage(QStringLiteral("--ftsno needs a number"));
    table.SetIndexName(QStringLiteral("FTSNo"));
    if (!table.FindKey({number}))
        throw EMovarixError(QStringLiteral("No record with FTSNo %1").arg(number));
}

void PrintRecord(TAdsTable& table) {
    PrintLine(QStringLiteral("%1\t%2\t%3")
                  .arg(table.FieldByName(QStringLiteral("FTSNo")).AsString(),
                       table.FieldByName(QStringLiteral("DVDNo")).AsString(),
                       table.FieldByName(QStringLiteral("RefNr_DVD")).AsString()));
}

// Posts; a record the rules refuse has shown its message: exit 1.
bool PostOrRefuse(TAdsTable& table) {
    try {
        table.Post();
        return true;
    } catch (const EAbort&) {
        table.Cancel();
        return false;
    }
}

} // namespace

int CmdAdd(TCliContext& context) {
    TCliArgs args(context.args);
    const TDvdKind kind = KindFromArgument(args.Require(QStringLiteral("--kind")));
    TCliSession cli(context, true);
    cli.session->SelectKind(kind);
    TAdsTable& table = cli.Table();
    table.Insert();
    for (const QString& assignment : args.Rest())
        Assign(table, assignment);
    if (!PostOrRefuse(table))
        return 1;
    PrintRecord(table);
    return 0;
}

int CmdEdit(TCliContext& context) {
    TCliArgs args(context.args);
    const QString ftsNo = args.Require(QStringLiteral("--ftsno"));
    const QStringList assignments = args.Rest();
    if (assignments.isEmpty())
        throw EUsage(QStringLiteral("edit needs Field=Value"));
    TCliSession cli(context, true);
    TAdsTable& table = cli.Table();
    Locate(table, ftsNo);
    table.Edit();
    for (const QString& assignment : assignments)
        Assign(table, assignment);
    if (!PostOrRefuse(table))
        return 1;
    PrintRecord(table);
    return 0;
}

int CmdDelete(TCliContext& context) {
    TCliArgs args(context.args);
    const QString ftsNo = args.Require(QStringLiteral("--ftsno"));
    if (!args.Rest().isEmpty())
        throw EUsage(QStringLiteral("delete takes only --ftsno"));
    TCliSession cli(context, true);
    Locate(cli.Table(), ftsNo);
    cli.Table().Delete();
    return 0;
}

int CmdList(TCliContext& context) {
    TCliArgs args(context.args);
    const TDvdKind kind = KindFromArgument(args.Require(QStringLiteral("--kind")));
    const QString order = args.Take(QStringLiteral("--order"));
    QString fields = args.Take(QStringLiteral("--fields"));
    const QString filter = args.Take(QStringLiteral("--filter"));
    if (!args.Rest().isEmpty())
        throw EUsage(QStringLiteral("unexpected ") + args.Rest().join(QLatin1Char(' ')));
    if (!order.isEmpty() && order != QLatin1String("dvdno") && order != QLatin1String("title"))
        throw EUsage(QStringLiteral("--order must be dvdno or title"));
    if (fields.isEmpty())
        fields = QStringLiteral("FTSNo,DVDNo,Title");

    TCliSession cli(context, true);
    TAdsTable& table = cli.Table();
    cli.session->SelectKind(kind);
    if (order == QLatin1String("title"))
        cli.session->TitleClick(QStringLiteral("Title"));
    if (!filter.isEmpty()) {
        table.SetFilter(filter);
        table.SetFiltered(true);
    }
    std::vector<TField*> columns;
    for (const QString& name : fields.split(QLatin1Char(',')))
        columns.push_back(&table.FieldByName(name.trimmed()));
    for (table.First(); !table.Eof() && !table.IsEmpty(); table.Next()) {
        QStringList values;
        for (TField* field : columns)
            values << field->AsString();
        PrintLine(values.join(QLatin1Char('\t')));
    }
    return 0;
}

int CmdDuplicate(TCliContext& context) {
    TCliArgs args(context.args);
    const QString ftsNo = args.Require(QStringLiteral("--ftsno"));
    const TDvdKind kind = KindFromArgument(args.Require(QStringLiteral("--kind")));
    if (!args.Rest().isEmpty())
        throw EUsage(QStringLiteral("duplicate takes only --ftsno and --kind"));
    TCliSession cli(context, true);
    TAdsTable& table = cli.Table();
    Locate(table, ftsNo);
    cli.session->Copy();
    cli.session->SelectKind(kind);
    cli.session->Paste();
    Locate(table, QString::number(cli.session->LastPastedFtsNo()));
    PrintRecord(table);
    return 0;
}

int CmdImport(TCliContext& context) {
    TCliArgs args(context.args);
    const TDvdKind kind = KindFromArgument(args.Require(QStringLiteral("--kind")));
    const QStringList fields = args.Require(QStringLiteral("--fields")).split(QLatin1Char(','));
    const QStringList rest = args.Rest();
    if (rest.size() != 1)
        throw EUsage(QStringLiteral("import needs one file"));
    TCliSession cli(context, true);
    cli.session->SelectKind(kind);
    for (const QString& field : fields)
        cli.Table().FieldByName(field.trimmed()); // an unknown field is an error before anything is added
    TSemicolonImport import(*cli.session, fields);
    PrintLine(QString::number(import.Run(rest.front())));
    return 0;
}
