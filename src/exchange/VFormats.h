#pragma once
// The standard value formats of an export writer, one picture string per
// value kind (see PictureFormat.h) and the two Boolean texts. The defaults
// come from the regional settings the object holds (the user's, unless a
// caller sets others):
//   IntegerFormat  "#,###,##0"          FloatFormat   "#,###,##0.00"
//   CurrencyFormat "00.00" + currency symbol
//   DateFormat     short date           TimeFormat    short time
//   DateTimeFormat short date + " " + short time
//   BooleanTrue    "True"               BooleanFalse  "False"
// Setting a picture to an empty text gives its fallback: the default, except
// "#,###,###0.00" for FloatFormat and the short date alone for DateTimeFormat.

#include "exchange/FormatSettings.h"

#include <QString>

class TVFormats {
public:
    TVFormats();
    explicit TVFormats(const TFormatSettings& settings);

    // Copies the eight values through their setters (the regional settings
    // are copied too, so that the values print the same way).
    void Assign(const TVFormats& other);
    // Resets the eight values from the regional settings held.
    void LoadDefaults();

    const TFormatSettings& Settings() const { return settings_; }
    // Replaces the regional settings; the values stay until LoadDefaults.
    void SetSettings(const TFormatSettings& settings) { settings_ = settings; }

    const QString& IntegerFormat() const { return integerFormat_; }
    void SetIntegerFormat(const QString& value);
    const QString& FloatFormat() const { return floatFormat_; }
    void SetFloatFormat(const QString& value);
    const QString& CurrencyFormat() const { return currencyFormat_; }
    void SetCurrencyFormat(const QString& value);
    const QString& DateFormat() const { return dateFormat_; }
    void SetDateFormat(const QString& value);
    const QString& TimeFormat() const { return timeFormat_; }
    void SetTimeFormat(const QString& value);
    const QString& DateTimeFormat() const { return dateTimeFormat_; }
    void SetDateTimeFormat(const QString& value);
    const QString& BooleanTrue() const { return booleanTrue_; }
    void SetBooleanTrue(const QString& value) { booleanTrue_ = value; }
    const QString& BooleanFalse() const { return booleanFalse_; }
    void SetBooleanFalse(const QString& value) { booleanFalse_ = value; }

    // The default pictures for the regional settings held.
    QString DefaultIntegerFormat() const { return QStringLiteral("#,###,##0"); }
    QString DefaultCurrencyFormat() const { return QStringLiteral("00.00") + settings_.currencySymbol; }

private:
    TFormatSettings settings_;
    QString integerFormat_;
    QString floatFormat_;
    QString currencyFormat_;
    QString dateFormat_;
    QString timeFormat_;
    QString dateTimeFormat_;
    QString booleanTrue_;
    QString booleanFalse_;
};
