#include "exchange/VExcelExport.h"

#include "exchange/VExportStream.h"
#include "platform/Ansi.h"
#include "platform/MovarixError.h"

#include <QMap>
#include <QtEndian>

#include <cstring>

namespace {

using TExcelColor = TExcelOptions::TExcelColor;

constexpr quint16 kBOF = 0x0009, kDimensions = 0x0200, kFont = 0x0031, kHeader = 0x0014, kFooter = 0x0015,
                  kFormat = 0x001E, kXF = 0x0043, kInteger = 0x0002, kNumber = 0x0003, kLabel = 0x0004,
                  kColWidth = 0x0024, kEOF = 0x000A;
constexpr int kMaxXF = 63;

struct TPaletteColor {
    TExcelColor value;
    const char* name;
    const char* html;
};

constexpr TPaletteColor kPalette[] = {
    {TExcelColor::eclBlack, "Black", "#000000"},   {TExcelColor::eclRed, "Red", "#ff0000"},
    {TExcelColor::eclGreen, "Green", "#008000"},   {TExcelColor::eclBlue, "Blue", "#0000ff"},
    {TExcelColor::eclYellow, "Yellow", "#ffff00"}, {TExcelColor::eclCyan, "Cyan", "#00ffff"},
    {TExcelColor::eclMagenta, "Magenta", "#ff00ff"}, {TExcelColor::eclWhite, "White", "#ffffff"},
};

void AppendU16(QByteArray& bytes, quint16 value) {
    char b[2];
    qToLittleEndian(value, b);
    bytes.append(b, 2);
}

// u8 length and the Windows-1252 bytes, cut to 255.
QByteArray ShortString(const QString& text) {
    const QByteArray bytes = TAnsi::FromUnicode(text).left(255);
    return char(quint8(bytes.size())) + bytes;
}

QByteArray FontData(const TExportFont& font) {
    QByteArray data;
    AppendU16(data, quint16(qBound(1, font.size, 409) * 20));
    quint16 attributes = 0;
    if (font.bold)
        attributes |= 0x0001;
    if (font.italic)
        attributes |= 0x0002;
    if (font.underline)
        attributes |= 0x0004;
    if (font.strikeOut)
        attributes |= 0x0008;
    AppendU16(data, attributes);
    return data + ShortString(font.name);
}

double DaySerial(const QDateTime& value) {
    const qint64 days = QDate(1899, 12, 30).daysTo(value.date());
    const QTime time = value.time().isValid() ? value.time() : QTime(0, 0);
    return double(days) + time.msecsSinceStartOfDay() / 86400000.0;
}

bool SplitEntry(const QString& entry, QString* key, QString* value) {
    const int at = entry.indexOf(QLatin1Char('='));
    if (at < 0)
        return false;
    *key = entry.left(at).trimmed();
    *value = entry.mid(at + 1).trimmed();
    return true;
}

} // namespace

// ---- options --------------------------------------------------------------------

TExcelOptions::TExcelOptions() {
    rowHeaderFont_.bold = true;
}

void TExcelOptions::SetRowHeaderFont(const TExportFont& font) {
    rowHeaderFont_ = font;
    rowHeaderFontColor_ = ExcelColorOf(font.color);
}

void TExcelOptions::SetRowHeaderFontColor(TExcelColor color) {
    rowHeaderFontColor_ = color;
    if (color != TExcelColor::eclDefault)
        rowHeaderFont_.color = ColorOf(color);
}

TColor TExcelOptions::ColorOf(TExcelColor color) {
    for (const TPaletteColor& p : kPalette)
        if (p.value == color)
            return TExportColor::FromHtml(QString::fromLatin1(p.html));
    return TExportColor::WindowText;
}

TExcelColor TExcelOptions::ExcelColorOf(TColor color) {
    for (const TPaletteColor& p : kPalette)
        if (TExportColor::FromHtml(QString::fromLatin1(p.html)) == color)
            return p.value;
    return TExcelColor::eclDefault;
}

QString TExcelOptions::ColorName(TExcelColor color) {
    for (const TPaletteColor& p : kPalette)
        if (p.value == color)
            return QString::fromLatin1(p.name);
    return QString();
}

// ---- writer ---------------------------------------------------------------------

TVExcelExport::TVExcelExport() = default;
TVExcelExport::~TVExcelExport() = default;

QString TVExcelExport::SpreadsheetFormat(const QString& picture, const TFormatSettings& settings, bool dateTime) {
    if (!dateTime)
        return picture;
    QString out;
    for (int i = 0; i < picture.size();) {
        const QChar c = picture[i];
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            int j = picture.indexOf(c, i + 1);
            if (j < 0)
                j = picture.size();
            out += QLatin1Char('"') + picture.mid(i + 1, j - i - 1) + QLatin1Char('"');
            i = j + 1;
            continue;
        }
        const QChar lower = c.toLower();
        int n = 0;
        while (i + n < picture.size() && picture[i + n].toLower() == lower)
            ++n;
        if (lower == QLatin1Char('n')) {
            out += QString(qMin(n, 2), QLatin1Char('m'));
        } else if (lower == QLatin1Char('d') && n >= 5) {
            out += SpreadsheetFormat(n == 5 ? settings.shortDateFormat : settings.longDateFormat, settings, true);
        } else if (lower == QLatin1Char('t') && n <= 2) {
            out += SpreadsheetFormat(n == 1 ? settings.shortTimeFormat : settings.longTimeFormat, settings, true);
        } else if (lower == QLatin1Char('c') && n == 1) {
            out += SpreadsheetFormat(settings.shortDateFormat + QLatin1Char(' ') + settings.longTimeFormat, settings, true);
        } else {
            out += picture.mid(i, n);
        }
        i += n;
    }
    return out;
}

void TVExcelExport::WriteXF(int font, int format) {
    QByteArray data(4, '\0');
    data[0] = char(font);
    data[2] = char(quint8((format & 0x3F) + 0x40));
    WriteRecord(kXF, data);
}

void TVExcelExport::WriteRecord(quint16 number, const QByteArray& data) {
    QByteArray record;
    AppendU16(record, number);
    AppendU16(record, quint16(data.size()));
    out_->WriteBytes(record + data);
}

void TVExcelExport::WriteCell(quint16 number, int row, int column, int xf, const QByteArray& value) {
    QByteArray data;
    AppendU16(data, quint16(row));
    AppendU16(data, quint16(column));
    data += char(quint8(0x40 + xf));
    data += '\0';
    data += '\0';
    WriteRecord(number, data + value);
}

void TVExcelExport::WriteLabel(int row, int column, int xf, const QString& text) {
    WriteCell(kLabel, row, column, xf, ShortString(text));
}

int TVExcelExport::Row() {
    if (row_ > 0xFFFF)
        throw EMovarixError(QStringLiteral("Cannot write %1: a sheet holds at most 65536 rows").arg(FileName()));
    return row_;
}

void TVExcelExport::WriteColumnWidths(bool finished) {
    TExportDataSet& data = *Dataset();
    for (int column = 0; column < fields_.size(); ++column) {
        const TExportField& field = data.Fields(fields_[column]);
        int width = int(Caption(fields_[column]).size());
        if (finished)
            width = TExportFieldTypes::IsString(field.DataType()) ? field.Size() : qMax(width, 12);
        for (const QString& entry : columnsWidth_) {
            QString key, value;
            if (!SplitEntry(entry, &key, &value) || key.compare(field.DisplayName(), Qt::CaseInsensitive) != 0)
                continue;
            bool ok = false;
            const int number = value.toInt(&ok);
            if (ok)
                width = number;
        }
        QByteArray colWidth;
        colWidth += char(quint8(column));
        colWidth += char(quint8(column));
        AppendU16(colWidth, quint16(qBound(0, width, 255) * 256));
        WriteRecord(kColWidth, colWidth);
    }
}

void TVExcelExport::DoStopExport() {
    if (out_) {
        WriteColumnWidths(false);
        WriteRecord(kEOF, QByteArray());
    }
    TVExport::DoStopExport();
}

bool TVExcelExport::Execute() {
    TVExport::Execute();
    FireBeginExport();
    TExportDataSet& data = *Dataset();
    fields_ = ExportedFieldIndexes();
    if (fields_.size() > 256)
        throw EMovarixError(QStringLiteral("Cannot write %1: a sheet holds at most 256 columns").arg(FileName()));
    out_ = std::make_unique<TVExportStream>(FileName());
    try {
        row_ = 0;
        const TFormatSettings& settings = Formats().Settings();
        WriteRecord(kBOF, QByteArray("\x02\x00\x10\x00", 4));
        WriteRecord(kDimensions, QByteArray("\x00\x00\x04\x00\x00\x00\x0E\x00\x00\x00", 10));
        TExportFont arial;
        WriteRecord(kFont, FontData(arial));
        WriteRecord(kFont, FontData(options_.DefaultFont));
        WriteRecord(kFont, FontData(options_.RowHeaderFont()));
        if (!options_.PageHeader.isEmpty())
            WriteRecord(kHeader, ShortString(options_.PageHeader));
        if (!options_.PageFooter.isEmpty())
            WriteRecord(kFooter, ShortString(options_.PageFooter));

        // FORMAT records: General, the usable user formats, the standard six
        WriteRecord(kFormat, ShortString(QStringLiteral("General")));
        int formatCount = 1;
        QMap<int, int> userFormatOf; // data-set field → FORMAT index (the last entry naming it)
        for (const QString& entry : UserFormats()) {
            QString key, format;
            if (!SplitEntry(entry, &key, &format))
                continue;
            int field = -1;
            for (int i = 0; i < data.FieldCount() && field < 0; ++i)
                if (data.Fields(i).FieldName().compare(key, Qt::CaseInsensitive) == 0)
                    field = i;
            if (field < 0)
                continue;
            const bool dateTime = TExportFieldTypes::IsDateTime(data.Fields(field).DataType());
            WriteRecord(kFormat, ShortString(SpreadsheetFormat(format, settings, dateTime)));
            userFormatOf[field] = formatCount++;
        }
        const int standardFormats = formatCount;
        const TVFormats& f = Formats();
        WriteRecord(kFormat, ShortString(f.IntegerFormat()));
        WriteRecord(kFormat, ShortString(f.FloatFormat()));
        WriteRecord(kFormat, ShortString(SpreadsheetFormat(f.DateFormat(), settings, true)));
        WriteRecord(kFormat, ShortString(SpreadsheetFormat(f.TimeFormat(), settings, true)));
        WriteRecord(kFormat, ShortString(SpreadsheetFormat(f.DateTimeFormat(), settings, true)));
        WriteRecord(kFormat, ShortString(f.CurrencyFormat()));
        formatCount += 6;
        const bool headerColor = options_.RowHeaderFontColor() != TExcelColor::eclDefault;
        if (headerColor)
            WriteRecord(kFormat,
                        ShortString(QStringLiteral("[%1]General").arg(TExcelOptions::ColorName(options_.RowHeaderFontColor()))));

        // XF records; a cell can address 63 of them, so fields beyond that
        // keep the standard format of their type
        WriteXF(1, 0);
        WriteXF(2, 0);
        const int room = kMaxXF + 1 - 2 - 6 - (headerColor ? 1 : 0);
        QMap<int, int> userXFOf; // data-set field → XF index
        for (int i : fields_) {
            if (!userFormatOf.contains(i) || userXFOf.size() >= room)
                continue;
            userXFOf[i] = 2 + int(userXFOf.size());
            WriteXF(1, userFormatOf[i]);
        }
        const int u = int(userXFOf.size());
        for (int k = 0; k < 6; ++k)
            WriteXF(1, standardFormats + k);
        const int headerXF = 8 + u;
        if (headerColor)
            WriteXF(2, standardFormats + 6);

        for (const QString& line : Header())
            WriteLabel(Row(), 0, 0, line), ++row_;
        if (ColHeaders()) {
            for (int column = 0; column < fields_.size(); ++column)
                WriteLabel(Row(), column, headerColor ? headerXF : 1, Caption(fields_[column]));
            ++row_;
        }
        while (!data.Eof()) {
            const int row = Row();
            for (int column = 0; column < fields_.size(); ++column) {
                const TExportField& field = data.Fields(fields_[column]);
                const TExportFieldType type = field.DataType();
                QString text;
                if (!field.IsNull())
                    text = type == TExportFieldType::ftBoolean
                               ? (field.AsBoolean() ? Formats().BooleanTrue() : Formats().BooleanFalse())
                               : field.AsString().trimmed().left(255);
                text = GetExportText(field, text);
                auto unreadable = [&](const char* kind) {
                    return EMovarixError(QStringLiteral("'%1' is not a valid %2 value").arg(text, QLatin1String(kind)));
                };
                const int ownXF = userXFOf.value(fields_[column], -1);
                auto xf = [&](int standard) { return ownXF >= 0 ? ownXF : standard; };
                QByteArray number(8, '\0');
                auto putNumber = [&](double value) { qToLittleEndian(value, number.data()); };
                if (field.IsNull()) {
                    WriteLabel(row, column, xf(0), text);
                } else if (TExportFieldTypes::IsInteger(type)) {
                    bool ok = false;
                    const qint64 value = text.trimmed().toLongLong(&ok);
                    if (!ok)
                        throw unreadable("integer");
                    if (value >= 0 && value <= 65535) {
                        QByteArray v;
                        AppendU16(v, quint16(value));
                        WriteCell(kInteger, row, column, xf(2 + u), v);
                    } else {
                        putNumber(double(value));
                        WriteCell(kNumber, row, column, xf(0), number);
                    }
                } else if (type == TExportFieldType::ftFloat || type == TExportFieldType::ftBCD ||
                           type == TExportFieldType::ftCurrency) {
                    bool ok = false;
                    const double value = text.trimmed().toDouble(&ok);
                    if (!ok)
                        throw unreadable("floating point");
                    putNumber(value);
                    WriteCell(kNumber, row, column, xf(type == TExportFieldType::ftCurrency ? 7 + u : 3 + u), number);
                } else if (TExportFieldTypes::IsDateTime(type)) {
                    QDateTime value;
                    const QString t = text.trimmed();
                    if (type == TExportFieldType::ftTime) {
                        const QTime time = QTime::fromString(t, QStringLiteral("H:mm:ss"));
                        if (time.isValid())
                            value = QDateTime(QDate(1899, 12, 30), time);
                    } else {
                        value = QDateTime::fromString(t, QStringLiteral("dd.MM.yyyy H:mm:ss"));
                        if (!value.isValid())
                            value = QDateTime(QDate::fromString(t, QStringLiteral("dd.MM.yyyy")), QTime(0, 0));
                    }
                    if (!value.isValid())
                        throw unreadable("date");
                    putNumber(DaySerial(value));
                    const int standard = type == TExportFieldType::ftDate ? 4 + u : type == TExportFieldType::ftTime ? 5 + u : 6 + u;
                    WriteCell(kNumber, row, column, xf(standard), number);
                } else {
                    WriteLabel(row, column, xf(0), text);
                }
            }
            ++row_;
            FireRecordExported(RecNo());
            if (HandleStopRequest()) {
                out_->Close();
                out_.reset();
                return false;
            }
            data.Next();
        }
        for (const QString& line : Footer())
            WriteLabel(Row(), 0, 0, line), ++row_;
        WriteColumnWidths(true);
        WriteRecord(kEOF, QByteArray());
        out_->Close();
        out_.reset();
    } catch (...) {
        out_.reset();
        throw;
    }
    FinishExport();
    return true;
}
