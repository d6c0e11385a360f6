#include "DbfTableReader.h"

#include "ExportTestSupport.h"

#include "platform/Ansi.h"
#include "store/AdsTable.h"

#include <QtEndian>

bool ReadDbfIntoTable(const QString& dbfPath, const QString& tablePath) {
    const QByteArray bytes = ReadFile(dbfPath);
    if (bytes.size() < 33 || bytes[0] != 3) {
        ADD_FAILURE() << "not a dBASE III file: " << dbfPath.toStdString();
        return false;
    }
    const quint32 records = qFromLittleEndian<quint32>(bytes.constData() + 4);
    const int headerLength = qFromLittleEndian<quint16>(bytes.constData() + 8);
    const int recordLength = qFromLittleEndian<quint16>(bytes.constData() + 10);
    const int fieldCount = (headerLength - 33) / 32;
    if ((headerLength - 33) % 32 != 0 || bytes.size() < headerLength || bytes[headerLength - 1] != '\x0D' ||
        bytes.size() < headerLength + qint64(records) * recordLength) {
        ADD_FAILURE() << "damaged header or short file: " << dbfPath.toStdString();
        return false;
    }
    struct TField {
        QString name;
        char type;
        int length, decimals, offset;
    };
    QList<TField> fields;
    QString definition;
    int offset = 1;
    for (int i = 0; i < fieldCount; ++i) {
        const char* d = bytes.constData() + 32 + 32 * i;
        TField f{QString::fromLatin1(d, int(qstrnlen(d, 11))), d[11], quint8(d[16]), quint8(d[17]), offset};
        offset += f.length;
        fields << f;
        QString type;
        switch (f.type) {
        case 'C':
            type = QStringLiteral("Char,%1,0").arg(f.length);
            break;
        case 'N':
            type = f.decimals > 0 ? QStringLiteral("Double,8,%1").arg(f.decimals)
                                  : (f.length <= 6 ? QStringLiteral("ShortInt,2,0") : QStringLiteral("Integer,4,0"));
            break;
        case 'L':
            type = QStringLiteral("Logical,1,0");
            break;
        case 'D':
            type = QStringLiteral("Date,4,0");
            break;
        default:
            ADD_FAILURE() << "unknown field type " << f.type;
            return false;
        }
        definition += f.name + QLatin1Char(',') + type + QLatin1Char(';');
    }
    if (offset != recordLength) {
        ADD_FAILURE() << "record length " << recordLength << " but fields take " << offset;
        return false;
    }
    TAdsTable::CreateTable(tablePath, definition);
    TAdsTable table;
    const int slash = int(tablePath.lastIndexOf(QLatin1Char('/')));
    table.SetDatabaseName(tablePath.left(slash + 1));
    table.SetTableName(tablePath.mid(slash + 1));
    table.Open();
    for (quint32 r = 0; r < records; ++r) {
        const char* record = bytes.constData() + headerLength + qint64(r) * recordLength;
        if (record[0] == '*')
            continue;
        table.Insert();
        for (int i = 0; i < fields.size(); ++i) {
            const TField& f = fields[i];
            const QByteArray raw(record + f.offset, f.length);
            const QByteArray text = raw.trimmed();
            if (text.isEmpty())
                continue;
            ::TField& target = table.Fields(i);
            switch (f.type) {
            case 'C': {
                QByteArray value = raw;
                while (value.endsWith(' '))
                    value.chop(1);
                target.SetValue(TAnsi::ToUnicode(value));
                break;
            }
            case 'N':
                if (f.decimals > 0)
                    target.SetValue(text.toDouble());
                else
                    target.SetValue(text.toInt());
                break;
            case 'L':
                target.SetValue(text == "T");
                break;
            case 'D':
                target.SetValue(QDate::fromString(QString::fromLatin1(text), QStringLiteral("yyyyMMdd")));
                break;
            }
        }
        table.Post();
    }
    table.Close();
    return true;
}
