#include "exchange/VDBFExport.h"

#include "exchange/VExportStream.h"
#include "platform/Ansi.h"

#include <QSet>
#include <QtEndian>

namespace {

using TFieldDescriptor = TVDBFExport::TFieldDescriptor;

void PutU16(QByteArray& bytes, int at, quint16 value) {
    qToLittleEndian(value, bytes.data() + at);
}

void PutU32(QByteArray& bytes, int at, quint32 value) {
    qToLittleEndian(value, bytes.data() + at);
}

TFieldDescriptor DescriptorFor(const TExportField& field) {
    TFieldDescriptor d;
    switch (field.DataType()) {
    case TExportFieldType::ftString:
    case TExportFieldType::ftFixedChar:
    case TExportFieldType::ftWideString:
        d.type = 'C';
        d.length = qBound(1, field.Size(), 254);
        break;
    case TExportFieldType::ftSmallint:
        d.type = 'N';
        d.length = 6;
        break;
    case TExportFieldType::ftInteger:
    case TExportFieldType::ftAutoInc:
        d.type = 'N';
        d.length = 11;
        break;
    case TExportFieldType::ftWord:
        d.type = 'N';
        d.length = 5;
        break;
    case TExportFieldType::ftBoolean:
        d.type = 'L';
        d.length = 1;
        break;
    case TExportFieldType::ftFloat:
    case TExportFieldType::ftCurrency:
    case TExportFieldType::ftBCD:
        d.type = 'N';
        d.length = 15;
        d.decimals = 4;
        break;
    case TExportFieldType::ftDate:
    case TExportFieldType::ftTime:
    case TExportFieldType::ftDateTime:
        d.type = 'D';
        d.length = 8;
        break;
    default:
        d.type = 'C';
        d.length = 10;
        break;
    }
    return d;
}

// Upper case, letters, digits and "_" only, at most 10 bytes, unique.
QByteArray FieldName(const QString& name, QSet<QByteArray>& used) {
    QByteArray base = TAnsi::FromUnicode(name.toUpper());
    for (char& c : base)
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'))
            c = '_';
    if (base.isEmpty())
        base = "FIELD";
    base = base.left(10);
    QByteArray candidate = base;
    for (int n = 2; used.contains(candidate); ++n) {
        const QByteArray suffix = QByteArray::number(n);
        candidate = base.left(10 - suffix.size()) + suffix;
    }
    used.insert(candidate);
    return candidate;
}

} // namespace

TVDBFExport::TVDBFExport() = default;

QByteArray TVDBFExport::ValueBytes(const TExportField& field, const TFieldDescriptor& d) const {
    QByteArray bytes(d.length, ' ');
    if (field.IsNull())
        return bytes;
    const TExportFieldType type = field.DataType();
    switch (d.type) {
    case 'C': {
        QByteArray text;
        if (TExportFieldTypes::IsString(type) || type == TExportFieldType::ftMemo || type == TExportFieldType::ftFmtMemo) {
            QString value = field.AsString();
            value.replace(QLatin1String("\r\n"), QLatin1String(" "));
            value.replace(QLatin1Char('\r'), QLatin1Char(' '));
            value.replace(QLatin1Char('\n'), QLatin1Char(' '));
            text = TAnsi::FromUnicode(value);
        }
        bytes.replace(0, qMin(text.size(), qsizetype(d.length)), text.left(d.length));
        return bytes;
    }
    case 'D': {
        const QDate date = field.AsDateTime().date();
        if (date.isValid() && date.year() >= 1 && date.year() <= 9999)
            return date.toString(QStringLiteral("yyyyMMdd")).toLatin1();
        return bytes;
    }
    case 'L': {
        const QString text = field.AsString().toUpper();
        if (text.contains(QLatin1String("TRUE")))
            bytes[0] = 'T';
        else if (text.contains(QLatin1String("FALSE")))
            bytes[0] = 'F';
        return bytes;
    }
    case 'N': {
        QByteArray text;
        if (d.decimals > 0)
            text = QByteArray::number(field.AsFloat(), 'f', d.decimals);
        else
            text = field.AsString().trimmed().toLatin1();
        if (text.size() > d.length)
            return QByteArray(d.length, '*');
        bytes.replace(d.length - text.size(), text.size(), text);
        return bytes;
    }
    }
    return bytes;
}

bool TVDBFExport::Execute() {
    TVExport::Execute();
    FireBeginExport();
    TExportDataSet& data = *Dataset();
    TVExportStream out(FileName());

    QList<TFieldDescriptor> descriptors;
    QSet<QByteArray> used;
    int position = 0;
    for (int i : ExportedFieldIndexes()) {
        TFieldDescriptor d = DescriptorFor(data.Fields(i));
        d.name = FieldName(data.Fields(i).FieldName(), used);
        d.position = position;
        d.fieldIndex = i;
        position += d.length;
        descriptors << d;
    }
    const int recordLength = 1 + position;

    QByteArray header(32, '\0');
    const QDate date = fileDate_.isValid() ? fileDate_ : QDate::currentDate();
    header[0] = 3;
    header[1] = char(qBound(0, date.year() - 1900, 255));
    header[2] = char(date.month());
    header[3] = char(date.day());
    PutU16(header, 8, quint16(32 * descriptors.size() + 33));
    PutU16(header, 10, quint16(recordLength));
    for (const TFieldDescriptor& d : descriptors) {
        QByteArray entry(32, '\0');
        entry.replace(0, d.name.size(), d.name);
        entry[11] = d.type;
        PutU32(entry, 12, quint32(d.position));
        entry[16] = char(d.length);
        entry[17] = char(d.decimals);
        header += entry;
    }
    header += '\x0D';
    out.WriteBytes(header);

    quint32 count = 0;
    while (!data.Eof()) {
        QByteArray record(1, ' ');
        for (const TFieldDescriptor& d : descriptors)
            record += ValueBytes(data.Fields(d.fieldIndex), d);
        out.WriteBytes(record);
        QByteArray countBytes(4, '\0');
        PutU32(countBytes, 0, ++count);
        out.WriteAt(4, countBytes);
        data.Next();
        FireRecordExported(RecNo());
        if (HandleStopRequest()) {
            out.Close();
            return false;
        }
    }
    out.WriteBytes(QByteArray(1, '\x1A'));
    out.Close();
    FinishExport();
    return true;
}
