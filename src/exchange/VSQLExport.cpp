#include "exchange/VSQLExport.h"

#include "exchange/VExportStream.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

namespace {

// Words that SQL:2003 and the common engines reserve; a field of that name
// must be quoted.
const QSet<QString>& ReservedWords() {
    static const QSet<QString> words = [] {
        QSet<QString> set;
        for (const char* w :
             {"ADD", "ALL", "ALTER", "AND", "ANY", "AS", "ASC", "BETWEEN", "BY", "CASE", "CAST", "CHAR", "CHARACTER",
              "CHECK", "COLUMN", "COMMIT", "CONSTRAINT", "COUNT", "CREATE", "CROSS", "CURRENT", "CURRENT_DATE",
              "CURRENT_TIME", "CURRENT_TIMESTAMP", "DATE", "DAY", "DECIMAL", "DEFAULT", "DELETE", "DESC", "DISTINCT",
              "DOUBLE", "DROP", "ELSE", "END", "ESCAPE", "EXCEPT", "EXISTS", "FALSE", "FLOAT", "FOR", "FOREIGN", "FROM",
              "FULL", "GRANT", "GROUP", "HAVING", "HOUR", "IN", "INDEX", "INNER", "INSERT", "INT", "INTEGER",
              "INTERSECT", "INTERVAL", "INTO", "IS", "JOIN", "KEY", "LEFT", "LIKE", "LIMIT", "MINUTE", "MONTH",
              "NATURAL", "NOT", "NULL", "NUMERIC", "OF", "ON", "OR", "ORDER", "OUTER", "POSITION", "PRECISION",
              "PRIMARY", "REAL", "REFERENCES", "RIGHT", "ROLLBACK", "ROW", "ROWS", "SECOND", "SELECT", "SET",
              "SMALLINT", "SOME", "TABLE", "THEN", "TIME", "TIMESTAMP", "TO", "TRUE", "UNION", "UNIQUE", "UPDATE",
              "USER", "USING", "VALUE", "VALUES", "VARCHAR", "VIEW", "WHEN", "WHERE", "WITH", "WORK", "YEAR"})
            set.insert(QString::fromLatin1(w));
        return set;
    }();
    return words;
}

} // namespace

TVSQLExport::TVSQLExport() = default;

QString TVSQLExport::Identifier(const QString& name) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (plain.match(name).hasMatch() && !ReservedWords().contains(name.toUpper()))
        return name;
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

QString TVSQLExport::QuotedString(const QString& text) {
    return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
}

QString TVSQLExport::TypeText(const TExportField& field) const {
    switch (field.DataType()) {
    case TExportFieldType::ftString:
    case TExportFieldType::ftFixedChar:
    case TExportFieldType::ftWideString:
        return QStringLiteral("CHAR(%1)").arg(field.DataSize());
    case TExportFieldType::ftSmallint:
    case TExportFieldType::ftInteger:
    case TExportFieldType::ftWord:
    case TExportFieldType::ftBoolean:
    case TExportFieldType::ftAutoInc:
    case TExportFieldType::ftLargeint:
        return QStringLiteral("INTEGER");
    case TExportFieldType::ftFloat:
    case TExportFieldType::ftCurrency:
    case TExportFieldType::ftBCD:
        return QStringLiteral("DOUBLE PRECISION");
    case TExportFieldType::ftDate:
    case TExportFieldType::ftTime:
    case TExportFieldType::ftDateTime:
        return QStringLiteral("DATE");
    case TExportFieldType::ftBlob:
    case TExportFieldType::ftMemo:
    case TExportFieldType::ftGraphic:
    case TExportFieldType::ftFmtMemo:
        return QStringLiteral("BLOB");
    default:
        return QStringLiteral("UNKNOWN");
    }
}

QString TVSQLExport::ValueText(const TExportField& field) const {
    if (field.IsNull())
        return nullString_;
    const TExportFieldType type = field.DataType();
    if (type == TExportFieldType::ftBoolean)
        return field.AsBoolean() ? Formats().BooleanTrue() : Formats().BooleanFalse();
    if (TExportFieldTypes::IsNumeric(type))
        return field.AsString();
    if (type == TExportFieldType::ftDate)
        return QuotedString(field.AsDateTime().date().toString(Qt::ISODate));
    if (type == TExportFieldType::ftDateTime)
        return QuotedString(field.AsDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    if (type == TExportFieldType::ftBlob || type == TExportFieldType::ftGraphic || type == TExportFieldType::ftBytes ||
        type == TExportFieldType::ftVarBytes || type == TExportFieldType::ftTypedBinary)
        return QStringLiteral("X'") + QString::fromLatin1(field.AsBytes().toHex().toUpper()) + QLatin1Char('\'');
    return QuotedString(field.AsString());
}

bool TVSQLExport::Execute() {
    TVExport::Execute();
    FireBeginExport();
    TExportDataSet& data = *Dataset();
    const QList<int> fields = ExportedFieldIndexes();
    const QString table = Identifier(tableName_.isEmpty() ? QFileInfo(FileName()).completeBaseName() : tableName_);
    TVExportStream out(FileName());

    for (const QString& line : Header())
        out.WriteLine(line);
    if (createTableStatement_ && !tableName_.isEmpty()) {
        out.WriteLine(QStringLiteral("CREATE TABLE %1(").arg(table));
        QStringList lines;
        for (int i : fields)
            lines << QStringLiteral("  %1  %2").arg(Identifier(data.Fields(i).FieldName()), TypeText(data.Fields(i)));
        out.WriteText(lines.join(QStringLiteral(",\r\n")));
        out.WriteLine(QStringLiteral(");"));
        out.NewLine();
    }
    QStringList columns;
    for (int i : fields)
        columns << Identifier(data.Fields(i).FieldName());
    const QString columnList = columns.join(QLatin1Char(','));

    while (!data.Eof()) {
        QStringList values;
        for (int i : fields)
            values << GetExportText(data.Fields(i), ValueText(data.Fields(i)));
        out.WriteLine(QStringLiteral("INSERT INTO ") + table);
        out.WriteLine(QStringLiteral("  (") + columnList + QLatin1Char(')'));
        out.WriteLine(QStringLiteral("VALUES"));
        out.WriteLine(QStringLiteral("  (") + values.join(QLatin1Char(',')) + QLatin1Char(')') + statementTerm_);
        out.NewLine();
        const int recNo = RecNo();
        FireRecordExported(recNo);
        if (commitRecCount_ > 0 && recNo % commitRecCount_ == 0 && !commitStatement_.isEmpty()) {
            out.WriteLine(commitStatement_);
            out.NewLine();
        }
        data.Next();
    }
    if (commitAfterScript_ && !commitStatement_.isEmpty())
        out.WriteLine(commitStatement_);
    for (const QString& line : Footer())
        out.WriteLine(line);
    out.Close();
    FinishExport();
    return true;
}
