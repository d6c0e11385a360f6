#pragma once
// Colours, fonts and cell alignment as the HTML, RTF and spreadsheet writers
// take them.
//
// A colour is a 32-bit value with red in the low byte, then green, then blue
// (0x00BBGGRR). Values with the top bit set name a colour of the desktop
// scheme by its index in the low byte (0x80000000 scroll bar … 0x80000018
// info background); ToRgb resolves them to the classic default scheme, so
// that every file gets a real colour.

#include <QString>
#include <QtGlobal>

using TColor = qint32;

class TExportColor {
public:
    static constexpr TColor Black = 0x000000;
    static constexpr TColor White = 0xFFFFFF;
    static constexpr TColor Red = 0x0000FF;
    static constexpr TColor Blue = 0xFF0000;
    static constexpr TColor WindowText = TColor(0x80000008u);

    static TColor FromRgb(int red, int green, int blue) { return TColor(red | (green << 8) | (blue << 16)); }
    // "#rrggbb" → colour; invalid text gives black.
    static TColor FromHtml(const QString& text);
    // A desktop colour resolved; any other value unchanged (top byte cleared).
    static TColor ToRgb(TColor color);
    static int RedOf(TColor color) { return ToRgb(color) & 0xFF; }
    static int GreenOf(TColor color) { return (ToRgb(color) >> 8) & 0xFF; }
    static int BlueOf(TColor color) { return (ToRgb(color) >> 16) & 0xFF; }
    // "#" and six lower-case hexadecimal digits in the order red, green, blue.
    static QString Html(TColor color);
};

// A font: name, size in points, styles and colour.
struct TExportFont {
    QString name = QStringLiteral("Arial");
    int size = 10;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    TColor color = TExportColor::WindowText;

    bool operator==(const TExportFont&) const = default;
};

enum class TCellAlign { None, Left, Right, Center };
