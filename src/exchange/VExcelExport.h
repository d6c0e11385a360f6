#pragma once
// The spreadsheet writer: one sheet in the record-based file format of the
// early spreadsheet versions (BIFF). Cells carry typed values — integers,
// floating numbers, dates and times as day numbers, texts — and the value
// formats travel into the file as FORMAT records, so the spreadsheet
// program formats the numbers itself.
//
// File format. All numbers little-endian; u8/u16 unsigned 8/16-bit, f64 an
// IEEE double; a short string is a u8 length and that many Windows-1252
// bytes. Every record is: u16 record number, u16 length of its data, data.
//
//   BOF        0x0009  4 bytes  02 00 10 00 (BIFF2, sheet 0x0010): the records
//                      below are the BIFF2 ones, and readers apply the FORMAT and
//                      XF records only to a file that says so")
//   DIMENSIONS 0x0200 10 bytes  00 00 04 00 00 00 0E 00 00 00 (fixed, not the extent)
//   FONT       0x0031  u16 height in 1/20 point, u16 attributes (1 bold,
//                      2 italic, 4 underline, 8 struck out), short string name
//   HEADER     0x0014  short string: page header text
//   FOOTER     0x0015  short string: page footer text
//   FORMAT     0x001E  short string: a number format; numbered from 0 in file order
//   XF         0x0043  4 bytes: u8 font index, 0, u8 format index + 0x40
//                      (0x40: cell locked), 0; numbered from 0 in file order
//   INTEGER    0x0002  u16 row, u16 column, 3 attribute bytes, u16 value
//   NUMBER     0x0003  u16 row, u16 column, 3 attribute bytes, f64 value
//   LABEL      0x0004  u16 row, u16 column, 3 attribute bytes, short string
//   COLWIDTH   0x0024  u8 first column, u8 last column, u16 width in 1/256 character
//   EOF        0x000A  no data
// Cell attribute bytes: 0x40 + XF index, 0, 0 (so at most 63 XF records).
//
// Order in the file: BOF, DIMENSIONS; FONT 0 (Arial 10), 1 (DefaultFont),
// 2 (RowHeaderFont); HEADER and FOOTER when not empty; FORMAT "General",
// one per usable user format entry ("field name=format"), the six standard
// formats (integer, float, date, time, date-time, currency) and, with a
// caption colour, "[Colour]General"; XF 0 (font 1, General), XF 1 (font 2,
// General), one per written field with a user format, six for the standard
// formats, one (font 2) for the caption colour; the cells row by row
// (header lines, captions, records, footer lines); COLWIDTH per column; EOF.
//
// Value formats are written in the spreadsheet's syntax: the picture
// strings of the writer's formats are the same for numbers, and for dates
// "n" (minutes) becomes "m" and the named formats (ddddd, t, c …) are
// spelled out.
//
// Execute returns true at a normal end and false after a stop.

#include "exchange/ExportStyle.h"
#include "exchange/VExport.h"

#include <memory>
#include <utility>
#include <vector>

class TVExportStream;

class TExcelOptions {
public:
    enum class TExcelColor { eclDefault, eclBlack, eclRed, eclGreen, eclBlue, eclYellow, eclCyan, eclMagenta, eclWhite };

    QString PageHeader;
    QString PageFooter = QStringLiteral("Page &P of &N");
    TExportFont DefaultFont;

    TExcelOptions();
    const TExportFont& RowHeaderFont() const { return rowHeaderFont_; }
    // Also takes the caption colour from the font's colour.
    void SetRowHeaderFont(const TExportFont& font);
    TExcelColor RowHeaderFontColor() const { return rowHeaderFontColor_; }
    // A colour other than eclDefault also becomes the font's colour.
    void SetRowHeaderFontColor(TExcelColor color);

    // The font colour of a palette colour, and the palette colour of a font
    // colour (eclDefault when it is none of them).
    static TColor ColorOf(TExcelColor color);
    static TExcelColor ExcelColorOf(TColor color);
    // "Black" … "White"; empty for eclDefault.
    static QString ColorName(TExcelColor color);

private:
    TExportFont rowHeaderFont_;
    TExcelColor rowHeaderFontColor_ = TExcelColor::eclDefault;
};

class TVExcelExport : public TVExport {
public:
    TVExcelExport();
    ~TVExcelExport() override;

    TExcelOptions& ExcelOptions() { return options_; }
    // "display name=width in characters"
    QStringList& ColumnsWidth() { return columnsWidth_; }

    bool Execute() override;
    void DoStopExport() override;

    // A picture string of ours in the spreadsheet's format syntax.
    static QString SpreadsheetFormat(const QString& picture, const TFormatSettings& settings, bool dateTime);

private:
    void WriteRecord(quint16 number, const QByteArray& data);
    void WriteXF(int font, int format);
    void WriteCell(quint16 number, int row, int column, int xf, const QByteArray& value);
    void WriteLabel(int row, int column, int xf, const QString& text);
    void WriteColumnWidths(bool finished);
    int Row();

    TExcelOptions options_;
    QStringList columnsWidth_;

    // per run
    std::unique_ptr<TVExportStream> out_;
    QList<int> fields_;
    int row_ = 0;
};
