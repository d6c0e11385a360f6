#include "exchange/ExportStyle.h"

namespace {

// The classic default desktop scheme, by index (0x00BBGGRR).
constexpr quint32 kSchemeColors[] = {
    0xC8C8C8, // 0 scroll bar
    0xA56E3A, // 1 background (desktop)
    0x6A240A, // 2 active caption
    0x808080, // 3 inactive caption
    0xC8D0D4, // 4 menu
    0xFFFFFF, // 5 window
    0x000000, // 6 window frame
    0x000000, // 7 menu text
    0x000000, // 8 window text
    0xFFFFFF, // 9 caption text
    0xC8D0D4, // 10 active border
    0xC8D0D4, // 11 inactive border
    0x808080, // 12 application workspace
    0x6A240A, // 13 highlight
    0xFFFFFF, // 14 highlight text
    0xC8D0D4, // 15 button face
    0x808080, // 16 button shadow
    0x808080, // 17 gray text
    0x000000, // 18 button text
    0xC8D0D4, // 19 inactive caption text
    0xFFFFFF, // 20 button highlight
    0x404040, // 21 3D dark shadow
    0xC8D0D4, // 22 3D light
    0x000000, // 23 info text
    0xE1FFFF, // 24 info background
};

} // namespace

TColor TExportColor::ToRgb(TColor color) {
    if (color < 0) {
        const int index = color & 0xFF;
        if (index < int(std::size(kSchemeColors)))
            return TColor(kSchemeColors[index]);
        return Black;
    }
    return color & 0xFFFFFF;
}

QString TExportColor::Html(TColor color) {
    const TColor rgb = ToRgb(color);
    return QStringLiteral("#%1%2%3")
        .arg(rgb & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((rgb >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((rgb >> 16) & 0xFF, 2, 16, QLatin1Char('0'));
}

TColor TExportColor::FromHtml(const QString& text) {
    if (text.size() != 7 || !text.startsWith(QLatin1Char('#')))
        return Black;
    bool ok = false;
    const uint value = text.mid(1).toUInt(&ok, 16);
    if (!ok)
        return Black;
    return FromRgb((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}
