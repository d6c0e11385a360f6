// Picture formatting of numbers and dates, and the standard formats.

#include "ExportTestSupport.h"

#include "exchange/PictureFormat.h"
#include "exchange/VFormats.h"

namespace {

struct TNumberCase {
    const char* name;
    const char* picture;
    double value;
    const char* german;  // "," decimal, "." thousands
    const char* english; // "." decimal, "," thousands
};

const TNumberCase kNumberCases[] = {
    {"grouped_integer", "#,###,##0", 1234567, "1.234.567", "1,234,567"},
    {"grouped_small", "#,###,##0", 42, "42", "42"},
    {"grouped_zero", "#,###,##0", 0, "0", "0"},
    {"grouped_negative", "#,###,##0", -1234, "-1.234", "-1,234"},
    {"float_two_places", "#,###,##0.00", 1234.5, "1.234,50", "1,234.50"},
    {"float_rounds", "#,###,##0.00", 2.345678, "2,35", "2.35"},
    {"float_fallback_picture", "#,###,###0.00", 1234567.891, "1.234.567,89", "1,234,567.89"},
    {"currency_suffix", "00.00\xE2\x82\xAC", 12.5, "12,50\xE2\x82\xAC", "12.50\xE2\x82\xAC"},
    {"currency_pads", "00.00\xE2\x82\xAC", 5, "05,00\xE2\x82\xAC", "05.00\xE2\x82\xAC"},
    {"plain_zero_places", "0", 41.6, "42", "42"},
    {"optional_decimals", "0.##", 5, "5", "5"},
    {"optional_decimals_shown", "0.##", 5.25, "5,25", "5.25"},
    {"hash_only_zero", "#", 0, "", ""},
    {"negative_section", "0.00;(0.00)", -3.5, "(3,50)", "(3.50)"},
    {"zero_section", "0;-0;\"none\"", 0, "none", "none"},
    {"quoted_literal", "\"Nr. \"000", 7, "Nr. 007", "Nr. 007"},
    {"negative_rounds_to_zero", "0.00", -0.001, "0,00", "0.00"},
    {"inner_literal", "00-00", 1234, "12-34", "12-34"},
    {"empty_picture", "", 2.5, "2,5", "2.5"},
};

class NumberPicture : public ::testing::TestWithParam<TNumberCase> {};

TEST_P(NumberPicture, FormatsWithTheLocaleSeparators) {
    const TNumberCase& c = GetParam();
    const QString picture = QString::fromUtf8(c.picture);
    EXPECT_EQ(TPictureFormat::FormatFloat(picture, c.value, GermanSettings()), QString::fromUtf8(c.german));
    TFormatSettings english = TFormatSettings::FromLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(TPictureFormat::FormatFloat(picture, c.value, english), QString::fromUtf8(c.english));
}

INSTANTIATE_TEST_SUITE_P(Cases, NumberPicture, ::testing::ValuesIn(kNumberCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct TDateCase {
    const char* name;
    const char* picture;
    const char* expected;
};

// 24 December 2003, 15:07:09.045 (a Wednesday), German settings.
const TDateCase kDateCases[] = {
    {"day_month_year", "dd.mm.yyyy", "24.12.2003"},
    {"short_forms", "d.m.yy", "24.12.03"},
    {"month_names", "d. mmmm yyyy", "24. Dezember 2003"},
    {"short_month_name", "mmm", "Dez."},
    {"day_name", "dddd", "Mittwoch"},
    {"minutes_after_hours", "hh:mm", "15:07"},
    {"minutes_n", "hh:nn:ss", "15:07:09"},
    {"milliseconds", "zzz", "045"},
    {"twelve_hour", "h:nn am/pm", "3:07 pm"},
    {"separators_from_locale", "dd/mm/yyyy", "24.12.2003"},
    {"quoted_text", "\"Tag\" d", "Tag 24"},
    {"case_insensitive", "DD.MM.YYYY", "24.12.2003"},
};

class DatePicture : public ::testing::TestWithParam<TDateCase> {};

TEST_P(DatePicture, Formats) {
    const TDateCase& c = GetParam();
    const QDateTime value(QDate(2003, 12, 24), QTime(15, 7, 9, 45));
    EXPECT_EQ(TPictureFormat::FormatDateTime(QString::fromUtf8(c.picture), value, GermanSettings()),
              QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Cases, DatePicture, ::testing::ValuesIn(kDateCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FormatSettings, QtFormatsBecomePictures) {
    EXPECT_EQ(TFormatSettings::PictureFromQtFormat(QStringLiteral("dd.MM.yy")), QStringLiteral("dd.mm.yy"));
    EXPECT_EQ(TFormatSettings::PictureFromQtFormat(QStringLiteral("HH:mm:ss")), QStringLiteral("hh:nn:ss"));
    EXPECT_EQ(TFormatSettings::PictureFromQtFormat(QStringLiteral("h:mm AP")), QStringLiteral("h:nn am/pm"));
    EXPECT_EQ(TFormatSettings::PictureFromQtFormat(QStringLiteral("d 'de' MMMM")), QStringLiteral("d \"de\" mmmm"));
    // The locale's short date, printed through its picture, reads as Qt prints it.
    const QLocale german(QLocale::German, QLocale::Germany);
    const TFormatSettings s = TFormatSettings::FromLocale(german);
    const QDate date(2004, 1, 2);
    EXPECT_EQ(TPictureFormat::FormatDateTime(s.shortDateFormat, QDateTime(date, QTime(0, 0)), s),
              german.toString(date, QLocale::ShortFormat));
    EXPECT_EQ(s.decimalSeparator, QStringLiteral(","));
    EXPECT_EQ(s.thousandSeparator, QStringLiteral("."));
    EXPECT_EQ(s.currencySymbol, QStringLiteral("\u20AC"));
}

TEST(VFormats, DefaultsComeFromTheRegionalSettings) {
    TVFormats formats(GermanSettings());
    EXPECT_EQ(formats.IntegerFormat(), QStringLiteral("#,###,##0"));
    EXPECT_EQ(formats.FloatFormat(), QStringLiteral("#,###,##0.00"));
    EXPECT_EQ(formats.CurrencyFormat(), QStringLiteral("00.00\u20AC"));
    EXPECT_EQ(formats.DateFormat(), GermanSettings().shortDateFormat);
    EXPECT_EQ(formats.TimeFormat(), GermanSettings().shortTimeFormat);
    EXPECT_EQ(formats.DateTimeFormat(), GermanSettings().shortDateFormat + " " + GermanSettings().shortTimeFormat);
    EXPECT_EQ(formats.BooleanTrue(), QStringLiteral("True"));
    EXPECT_EQ(formats.BooleanFalse(), QStringLiteral("False"));
}

TEST(VFormats, EmptyValuesTakeTheirFallbacks) {
    TVFormats formats(GermanSettings());
    formats.SetIntegerFormat(QString());
    formats.SetFloatFormat(QString());
    formats.SetCurrencyFormat(QString());
    formats.SetDateFormat(QString());
    formats.SetTimeFormat(QString());
    formats.SetDateTimeFormat(QString());
    formats.SetBooleanTrue(QString());
    EXPECT_EQ(formats.IntegerFormat(), QStringLiteral("#,###,##0"));
    EXPECT_EQ(formats.FloatFormat(), QStringLiteral("#,###,###0.00"));
    EXPECT_EQ(formats.CurrencyFormat(), QStringLiteral("00.00\u20AC"));
    EXPECT_EQ(formats.DateFormat(), GermanSettings().shortDateFormat);
    EXPECT_EQ(formats.TimeFormat(), GermanSettings().shortTimeFormat);
    EXPECT_EQ(formats.DateTimeFormat(), GermanSettings().shortDateFormat); // no time part
    EXPECT_EQ(formats.BooleanTrue(), QString());                           // no fallback

    TVFormats copy(TFormatSettings{});
    copy.Assign(formats);
    EXPECT_EQ(copy.DateTimeFormat(), formats.DateTimeFormat());
    EXPECT_EQ(copy.Settings().decimalSeparator, QStringLiteral(","));
}

} // namespace
