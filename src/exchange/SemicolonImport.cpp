#include "exchange/SemicolonImport.h"

#include "catalogue/CatalogueSession.h"
#include "catalogue/Datenbank.h"
#include "platform/Translate.h"
#include "platform/TextFile.h"
#include "platform/UserInterface.h"
#include "store/AdsError.h"

TSemicolonImport::TSemicolonImport(TCatalogueSession& session, QStringList importFields)
    : session_(session), importFields_(std::move(importFields)) {}

QStringList TSemicolonImport::SplitColumns(const QString& line) {
    return line.split(QLatin1Char(';'));
}

void TSemicolonImport::FillRecord(const QString& line) {
    TAdsTable& table = session_.TableDVD();
    QString rest = line;
    bool used = false; // the line has no columns left
    for (const QString& name : importFields_) {
        TField& field = table.FieldByName(name);
        if (field.DataType() == TFieldType::AutoInc)
            continue;
        if (used)
            break;
        const qsizetype semicolon = rest.indexOf(QLatin1Char(';'));
        const QString column = semicolon < 0 ? rest : rest.left(semicolon);
        if (semicolon < 0)
            used = true;
        else
            rest = rest.mid(semicolon + 1);

        switch (field.DataType()) {
        case TFieldType::Char:
        case TFieldType::Memo:
            field.SetAsString(column);
            break;
        case TFieldType::Date:
            if (column.size() > 3)
                field.SetAsString(column);
            break;
        case TFieldType::CurDouble:
        case TFieldType::Double: {
            // The file's numbers carry a decimal comma or point.
            QString number = column.trimmed();
            const qsizetype comma = number.indexOf(QLatin1Char(','));
            if (comma >= 0)
                number[comma] = QLatin1Char('.');
            if (number.isEmpty()) {
                field.SetAsFloat(0.0);
            } else {
                bool ok = false;
                const double value = number.toDouble(&ok);
                if (!ok)
                    throw EAdsError(QStringLiteral("'%1' is not a number").arg(column));
                field.SetAsFloat(value);
            }
            break;
        }
        case TFieldType::Logical: {
            const QString upper = column.toUpper();
            field.SetAsBoolean(upper == QLatin1String("T") || upper == QLatin1String("TRUE") ||
                               upper == QLatin1String("WAHR"));
            break;
        }
        default:
            // Integer, picture and binary fields consume their column only.
            break;
        }
    }
}

int TSemicolonImport::Run(const QString& path, const TProgress& progress) {
    TAdsTable& table = session_.TableDVD();
    int added = 0;
    try {
        const QStringList lines = TTextFile::ReadLines(path);
        for (int i = 0; i < lines.size(); ++i) {
            if (progress)
                progress(i + 1);
            table.Insert();
            try {
                FillRecord(lines[i]);
                table.Post();
            } catch (...) {
                // The record being filled is not left half-made.
                if (table.State() == TAdsTable::TState::Insert)
                    table.Cancel();
                throw;
            }
            ++added;
        }
    } catch (const EMovarixError&) {
        throw EDatenbank(Tr(" Fehler beim Importieren aus DVD.ADT !"));
    }
    return added;
}
