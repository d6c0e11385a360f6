// export: runs one export writer over the catalogue in natural order, as the
// export dialog does, and reports the number of records written.

#include "CliCommand.h"

#include "catalogue/CatalogueSchema.h"
#include "catalogue/DatabaseUtils.h"
#include "exchange/AdsExportDataSet.h"
#include "exchange/VASCIIExport.h"
#include "exchange/VClipboardExport.h"
#include "exchange/VDBFExport.h"
#include "exchange/VExcelExport.h"
#include "exchange/VHTMLExport.h"
#include "exchange/VLaTeXExport.h"
#include "exchange/VRTFExport.h"
#include "exchange/VSQLExport.h"
#include "exchange/VXMLExport.h"
#include "platform/Translate.h"
#include "store/AdsTable.h"

#include <QFileInfo>

#include <memory>

namespace {

struct TExportOptions {
    QString format;
    QString out;
    QStringList fields;
    QString title;
    bool titleGiven = false;
    QStringList headerLines;
    QStringList footerLines;
    bool headerGiven = false;
    bool footerGiven = false;
    bool noColHeaders = false;
    int maxRecords = 0;
    bool indexPage = false;
    bool cssExternal = false;
    QString cssFile;
    QString htmlTemplate;
    QString tableName;
    bool createTable = false;
    int commitEvery = 0;
    bool commitAfter = false;
    QStringList userFormats;
    QString filter;
};

int NumberOf(const QString& option, const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 0)
        throw EUsage(option + QStringLiteral(" needs a number"));
    return value;
}

TExportOptions ParseOptions(const QStringList& words) {
    TExportOptions o;
    for (int i = 0; i < words.size(); ++i) {
        const QString& word = words[i];
        auto value = [&]() -> QString {
            if (i + 1 >= words.size())
                throw EUsage(word + QStringLiteral(" needs a value"));
            return words[++i];
        };
        if (word == QLatin1String("--format"))
            o.format = value().toLower();
        else if (word == QLatin1String("--out"))
            o.out = value();
        else if (word == QLatin1String("--fields")) {
            for (const QString& name : value().split(QLatin1Char(','), Qt::SkipEmptyParts))
                o.fields << name.trimmed();
        } else if (word == QLatin1String("--title")) {
            o.title = value();
            o.titleGiven = true;
        } else if (word == QLatin1String("--header-line")) {
            o.headerLines << value();
            o.headerGiven = true;
        } else if (word == QLatin1String("--footer-line")) {
            o.footerLines << value();
            o.footerGiven = true;
        } else if (word == QLatin1String("--no-col-headers"))
            o.noColHeaders = true;
        else if (word == QLatin1String("--max-records"))
            o.maxRecords = NumberOf(word, value());
        else if (word == QLatin1String("--index-page"))
            o.indexPage = true;
        else if (word == QLatin1String("--css-external")) {
            o.cssExternal = true;
            if (i + 1 < words.size() && !words[i + 1].startsWith(QLatin1String("--")))
                o.cssFile = words[++i];
        } else if (word == QLatin1String("--template"))
            o.htmlTemplate = value();
        else if (word == QLatin1String("--table-name"))
            o.tableName = value();
        else if (word == QLatin1String("--create-table"))
            o.createTable = true;
        else if (word == QLatin1String("--commit-every"))
            o.commitEvery = NumberOf(word, value());
        else if (word == QLatin1String("--commit-after"))
            o.commitAfter = true;
        else if (word == QLatin1String("--user-format")) {
            const QString entry = value();
            if (!entry.contains(QLatin1Char('=')))
                throw EUsage(QStringLiteral("--user-format needs FIELD=FORMAT"));
            o.userFormats << entry;
        } else if (word == QLatin1String("--filter"))
            o.filter = value();
        else
            throw EUsage(QStringLiteral("unexpected ") + word);
    }
    if (o.format.isEmpty())
        throw EUsage(QStringLiteral("--format is required"));
    if (o.out.isEmpty() && o.format != QLatin1String("clipboard"))
        throw EUsage(QStringLiteral("--out is required"));
    return o;
}

// The HTML colour template by its display name, or a template file.
void ApplyTemplate(TVHTMLExport& html, const QString& choice) {
    if (choice.endsWith(QLatin1String(".htf"), Qt::CaseInsensitive)) {
        if (!QFileInfo::exists(choice))
            throw EMovarixError(QStringLiteral("Template file not found: %1").arg(choice));
        html.LoadTemplate(choice);
        html.SetHTMLTemplate(TVHTMLExport::THTMLTemplate::htCustom);
        return;
    }
    const QStringList names = TVHTMLExport::TemplateNames();
    for (int i = 0; i < names.size(); ++i) {
        if (names[i].compare(choice, Qt::CaseInsensitive) == 0) {
            html.SetHTMLTemplate(TVHTMLExport::THTMLTemplate(i));
            return;
        }
    }
    throw EUsage(QStringLiteral("--template must be one of %1 or a .htf file").arg(names.join(QStringLiteral(", "))));
}

// The writer of a format with the settings the export dialog gives it.
std::unique_ptr<TVExport> MakeWriter(const TExportOptions& o) {
    using TASCII = TVASCIIExport::TASCIIExportType;
    const QString& f = o.format;
    if (f == QLatin1String("xls")) {
        auto excel = std::make_unique<TVExcelExport>();
        excel->ExcelOptions().SetRowHeaderFontColor(TExcelOptions::TExcelColor::eclBlue);
        return excel;
    }
    if (f == QLatin1String("doc") || f == QLatin1String("rtf"))
        return std::make_unique<TVRTFExport>();
    if (f == QLatin1String("html")) {
        auto html = std::make_unique<TVHTMLExport>();
        html->Header().clear();
        if (!o.htmlTemplate.isEmpty())
            ApplyTemplate(*html, o.htmlTemplate);
        html->SetMaxRecords(o.maxRecords);
        html->SetGenerateIndex(o.indexPage);
        if (o.cssExternal) {
            html->SetUsingCSS(TVHTMLExport::TUsingCSS::usExternal);
            html->SetCSSFileName(o.cssFile);
        }
        return html;
    }
    const struct {
        const char* name;
        TASCII type;
    } ascii[] = {{"txt", TASCII::etTxt}, {"csv", TASCII::etCSV}, {"dif", TASCII::etDIF}, {"slk", TASCII::etSYLK}};
    for (const auto& a : ascii) {
        if (f == QLatin1String(a.name)) {
            auto writer = std::make_unique<TVASCIIExport>();
            writer->SetExportType(a.type);
            return writer;
        }
    }
    if (f == QLatin1String("tex"))
        return std::make_unique<TVLaTeXExport>();
    if (f == QLatin1String("sql")) {
        auto sql = std::make_unique<TVSQLExport>();
        sql->SetTableName(o.tableName);
        sql->SetCreateTableStatement(o.createTable);
        sql->SetCommitRecCount(o.commitEvery);
        sql->SetCommitAfterScript(o.commitAfter);
        return sql;
    }
    if (f == QLatin1String("xml"))
        return std::make_unique<TVXMLExport>();
    if (f == QLatin1String("dbf"))
        return std::make_unique<TVDBFExport>();
    if (f == QLatin1String("clipboard")) {
        auto clipboard = std::make_unique<TVClipboardExport>();
        clipboard->SetExportType(TVClipboardExport::TExportType::etFixed);
        return clipboard;
    }
    throw EUsage(QStringLiteral("--format must be xls, doc, rtf, html, txt, csv, dif, slk, tex, sql, xml, dbf or clipboard"));
}

} // namespace

int CmdExport(TCliContext& context) {
    const TExportOptions o = ParseOptions(context.args);
    std::unique_ptr<TVExport> writer = MakeWriter(o);

    TAdsTable table;
    if (!TDatabaseUtils::OpenTable(table, TTableType::ADT, context.folders.ProgramFolder(), true, false, QString(),
                                   QLatin1String(TCatalogueSchema::TableName), context.ui))
        return 1;
    if (!o.filter.isEmpty()) {
        table.SetFilter(o.filter);
        table.SetFiltered(true);
    }
    TAdsExportDataSet data(&table);

    writer->SetDataset(&data);
    if (o.format != QLatin1String("clipboard"))
        writer->SetFileName(o.out);
    writer->SetShellHandler([](const QString&, const QString&) {});
    if (o.titleGiven)
        writer->SetTitle(o.title);
    if (o.headerGiven)
        writer->Header() = o.headerLines;
    if (o.footerGiven)
        writer->Footer() = o.footerLines;
    writer->SetColHeaders(!o.noColHeaders);
    writer->OnBeginExport = [&o](TVExport& sender) {
        sender.ExportedFields() = o.fields;
        if (o.format != QLatin1String("sql"))
            sender.UserFormats() = o.userFormats;
    };
    int exported = 0;
    writer->OnRecordExported = [&exported](TVExport&, int) { ++exported; };
    writer->Execute();
    PrintLine(Tr("%d Sätze wurden exportiert!").replace(QLatin1String("%d"), QString::number(exported)));
    return 0;
}
