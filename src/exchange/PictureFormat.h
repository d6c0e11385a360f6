#pragma once
// Numbers, currency values and dates printed through picture strings.
//
// Number pictures ("#,###,##0.00", "00.00€", "0;(0);zero"):
//   0      a digit, shown even when it is a leading or trailing zero
//   #      a digit, left out when it is a leading or trailing zero
//   .      the decimal point (the first one counts); printed as the locale's
//          decimal separator
//   ,      anywhere among the digits: group the integer digits by thousands
//          with the locale's thousands separator
//   ;      separates the sections for positive, negative and zero values;
//          a negative value printed by its own section gets no minus sign
//   "…" '…'  literal text; every other character is printed as it stands
// The value is rounded to the number of decimal places the picture has. An
// empty picture prints the value in general form.
//
// Date-time pictures ("dd.mm.yyyy", "hh:nn", "dddd, d. mmmm yyyy"):
//   d dd ddd dddd   day; short and long day name    ddddd dddddd  short/long date
//   m mm mmm mmmm   month; short and long month name (minutes right after h/hh)
//   yy yyyy         year in two or four digits
//   h hh  n nn  s ss  z zzz   hour, minute, second, millisecond
//   t tt            short / long time   c  short date and long time
//   am/pm a/p ampm  12-hour clock with the marker
//   /  :            the locale's date and time separators
//   "…" '…'         literal text
// Letters are recognised in either case.

#include "exchange/FormatSettings.h"

#include <QDateTime>
#include <QString>

class TPictureFormat {
public:
    static QString FormatFloat(const QString& picture, double value, const TFormatSettings& settings);
    static QString FormatCurrency(const QString& picture, double value, const TFormatSettings& settings) {
        return FormatFloat(picture, value, settings);
    }
    static QString FormatDateTime(const QString& picture, const QDateTime& value, const TFormatSettings& settings);
};
