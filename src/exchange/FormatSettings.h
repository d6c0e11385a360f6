#pragma once
// The regional settings the export formats are built from and printed with:
// separators, currency symbol, the short and long date and time formats
// (already turned into picture syntax, see PictureFormat.h), the AM/PM texts
// and the locale that names days and months. FromLocale() reads them from a
// QLocale, System() from the user's regional settings.

#include <QLocale>
#include <QString>

struct TFormatSettings {
    QString decimalSeparator = QStringLiteral(".");
    QString thousandSeparator = QStringLiteral(",");
    QString currencySymbol;
    QString dateSeparator = QStringLiteral("/");
    QString timeSeparator = QStringLiteral(":");
    QString shortDateFormat = QStringLiteral("mm/dd/yyyy");
    QString longDateFormat = QStringLiteral("dddd, mmmm d, yyyy");
    QString shortTimeFormat = QStringLiteral("hh:nn");
    QString longTimeFormat = QStringLiteral("hh:nn:ss");
    QString timeAMString = QStringLiteral("AM");
    QString timePMString = QStringLiteral("PM");
    QLocale locale = QLocale::c();

    static TFormatSettings FromLocale(const QLocale& locale);
    static TFormatSettings System();

    // A Qt date/time format ("dd.MM.yy", "HH:mm:ss", "h:mm AP") in picture
    // syntax ("dd.mm.yy", "hh:nn:ss", "h:nn am/pm"). Letters that Qt shows
    // literally are quoted so that the picture shows them literally too.
    static QString PictureFromQtFormat(const QString& qtFormat);
};
