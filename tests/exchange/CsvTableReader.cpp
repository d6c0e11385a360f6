#include "CsvTableReader.h"

#include "ExportTestSupport.h"

#include "platform/Ansi.h"
#include "store/AdsTable.h"

#include <QDate>

namespace {

struct TCell {
    QString text;
    bool quoted = false;
};

// Splits CSV text into rows; CR LF ends a row outside quotes.
bool Parse(const QString& text, QChar separator, QList<QList<TCell>>* rows) {
    QList<TCell> row;
    TCell cell;
    bool inQuotes = false, cellStarted = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (inQuotes) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                    cell.text += c;
                    ++i;
                } else {
                    inQuotes = false;
                }
            } else {
                cell.text += c;
            }
            continue;
        }
        if (c == QLatin1Char('"') && !cellStarted) {
            inQuotes = true;
            cell.quoted = true;
            cellStarted = true;
        } else if (c == separator) {
            row << cell;
            cell = TCell();
            cellStarted = false;
        } else if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) {
            row << cell;
            *rows << row;
            row.clear();
            cell = TCell();
            cellStarted = false;
            ++i;
        } else {
            if (cell.quoted)
                return false; // text after a closing quote
            cell.text += c;
            cellStarted = true;
        }
    }
    if (inQuotes)
        return false;
    if (cellStarted || !row.isEmpty()) {
        row << cell;
        *rows << row;
    }
    return true;
}

QString GermanNumber(const QString& text) {
    return QString(text).remove(QLatin1Char('.')).replace(QLatin1Char(','), QLatin1Char('.'));
}

} // namespace

bool ReadCsvIntoTable(const QString& csvPath, const QString& tablePath, QChar separator) {
    QList<QList<TCell>> rows;
    if (!Parse(TAnsi::ToUnicode(ReadFile(csvPath)), separator, &rows) || rows.isEmpty()) {
        ADD_FAILURE() << "not a CSV file: " << csvPath.toStdString();
        return false;
    }
    const QList<TCell> header = rows.takeFirst();
    QString definition;
    QList<char> kinds; // S string, M memo, L logical, I integer, D double, T date
    for (int column = 0; column < header.size(); ++column) {
        bool allQuoted = true, lineBreak = false, logical = true, integer = true, number = true, date = true;
        int longest = 1;
        for (const QList<TCell>& row : rows) {
            if (row.size() != header.size()) {
                ADD_FAILURE() << "a row has " << row.size() << " columns, the header " << header.size();
                return false;
            }
            const TCell& cell = row[column];
            longest = qMax(longest, int(cell.text.size()));
            lineBreak = lineBreak || cell.text.contains(QLatin1Char('\n'));
            if (cell.text.isEmpty() && !cell.quoted)
                continue;
            allQuoted = allQuoted && cell.quoted;
            bool ok = false;
            logical = logical && (cell.text == QLatin1String("True") || cell.text == QLatin1String("False"));
            GermanNumber(cell.text).toInt(&ok);
            integer = integer && ok;
            GermanNumber(cell.text).toDouble(&ok);
            number = number && ok;
            date = date && QDate::fromString(cell.text, QStringLiteral("dd.MM.yyyy")).isValid();
        }
        char kind;
        QString type;
        if (allQuoted) {
            kind = lineBreak || longest > 254 ? 'M' : 'S';
            type = kind == 'M' ? QStringLiteral("Memo,9,0") : QStringLiteral("Char,%1,0").arg(longest);
        } else if (logical) {
            kind = 'L', type = QStringLiteral("Logical,1,0");
        } else if (date) {
            kind = 'T', type = QStringLiteral("Date,4,0");
        } else if (integer) {
            kind = 'I', type = QStringLiteral("Integer,4,0");
        } else if (number) {
            kind = 'D', type = QStringLiteral("Double,8,0");
        } else {
            ADD_FAILURE() << "column " << header[column].text.toStdString() << " has no type";
            return false;
        }
        kinds << kind;
        definition += header[column].text + QLatin1Char(',') + type + QLatin1Char(';');
    }
    TAdsTable::CreateTable(tablePath, definition);
    TAdsTable table;
    const int slash = int(tablePath.lastIndexOf(QLatin1Char('/')));
    table.SetDatabaseName(tablePath.left(slash + 1));
    table.SetTableName(tablePath.mid(slash + 1));
    table.Open();
    for (const QList<TCell>& row : rows) {
        table.Insert();
        for (int column = 0; column < row.size(); ++column) {
            const QString& text = row[column].text;
            if (text.isEmpty())
                continue;
            TField& field = table.Fields(column);
            switch (kinds[column]) {
            case 'S':
            case 'M':
                field.SetValue(text);
                break;
            case 'L':
                field.SetValue(text == QLatin1String("True"));
                break;
            case 'I':
                field.SetValue(GermanNumber(text).toInt());
                break;
            case 'D':
                field.SetValue(GermanNumber(text).toDouble());
                break;
            case 'T':
                field.SetValue(QDate::fromString(text, QStringLiteral("dd.MM.yyyy")));
                break;
            }
        }
        table.Post();
    }
    table.Close();
    return true;
}
