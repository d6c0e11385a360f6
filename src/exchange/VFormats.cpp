#include "exchange/VFormats.h"

TVFormats::TVFormats() : TVFormats(TFormatSettings::System()) {}

TVFormats::TVFormats(const TFormatSettings& settings) : settings_(settings) {
    LoadDefaults();
}

void TVFormats::Assign(const TVFormats& other) {
    settings_ = other.settings_;
    SetIntegerFormat(other.integerFormat_);
    SetFloatFormat(other.floatFormat_);
    SetCurrencyFormat(other.currencyFormat_);
    SetDateFormat(other.dateFormat_);
    SetTimeFormat(other.timeFormat_);
    SetDateTimeFormat(other.dateTimeFormat_);
    SetBooleanTrue(other.booleanTrue_);
    SetBooleanFalse(other.booleanFalse_);
}

void TVFormats::LoadDefaults() {
    SetIntegerFormat(DefaultIntegerFormat());
    SetFloatFormat(QStringLiteral("#,###,##0.00"));
    SetCurrencyFormat(DefaultCurrencyFormat());
    SetDateFormat(settings_.shortDateFormat);
    SetTimeFormat(settings_.shortTimeFormat);
    SetDateTimeFormat(settings_.shortDateFormat + QLatin1Char(' ') + settings_.shortTimeFormat);
    booleanTrue_ = QStringLiteral("True");
    booleanFalse_ = QStringLiteral("False");
}

void TVFormats::SetIntegerFormat(const QString& value) {
    integerFormat_ = value.isEmpty() ? DefaultIntegerFormat() : value;
}

void TVFormats::SetFloatFormat(const QString& value) {
    floatFormat_ = value.isEmpty() ? QStringLiteral("#,###,###0.00") : value;
}

void TVFormats::SetCurrencyFormat(const QString& value) {
    currencyFormat_ = value.isEmpty() ? DefaultCurrencyFormat() : value;
}

void TVFormats::SetDateFormat(const QString& value) {
    dateFormat_ = value.isEmpty() ? settings_.shortDateFormat : value;
}

void TVFormats::SetTimeFormat(const QString& value) {
    timeFormat_ = value.isEmpty() ? settings_.shortTimeFormat : value;
}

void TVFormats::SetDateTimeFormat(const QString& value) {
    dateTimeFormat_ = value.isEmpty() ? settings_.shortDateFormat : value;
}
