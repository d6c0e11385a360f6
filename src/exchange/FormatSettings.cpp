#include "exchange/FormatSettings.h"

namespace {

// The first character of a format that is neither a letter nor a quote: the
// separator the format uses between its parts.
QString FirstSeparator(const QString& format, const QString& fallback) {
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            continue;
        }
        if (!quoted && !c.isLetter() && !c.isSpace())
            return QString(c);
    }
    return fallback;
}

int RunLength(const QString& text, int at) {
    int n = 1;
    while (at + n < text.size() && text[at + n] == text[at])
        ++n;
    return n;
}

} // namespace

QString TFormatSettings::PictureFromQtFormat(const QString& qtFormat) {
    QString out;
    const QString f = qtFormat;
    for (int i = 0; i < f.size();) {
        const QChar c = f[i];
        if (c == QLatin1Char('\'')) {
            // Qt literal text; '' is a single quote.
            int j = i + 1;
            QString literal;
            while (j < f.size()) {
                if (f[j] == QLatin1Char('\'')) {
                    if (j + 1 < f.size() && f[j + 1] == QLatin1Char('\'')) {
                        literal += QLatin1Char('\'');
                        j += 2;
                        continue;
                    }
                    break;
                }
                literal += f[j++];
            }
            if (j == i + 1 && j < f.size() && f[j] == QLatin1Char('\''))
                literal = QStringLiteral("'");
            if (!literal.isEmpty())
                out += QLatin1Char('"') + literal + QLatin1Char('"');
            i = j + 1;
            continue;
        }
        const int n = RunLength(f, i);
        switch (c.unicode()) {
        case 'd':
            out += QString(qMin(n, 4), QLatin1Char('d'));
            break;
        case 'M':
            out += QString(qMin(n, 4), QLatin1Char('m'));
            break;
        case 'y':
            out += n >= 3 ? QStringLiteral("yyyy") : QStringLiteral("yy");
            break;
        case 'h':
        case 'H':
            out += n >= 2 ? QStringLiteral("hh") : QStringLiteral("h");
            break;
        case 'm':
            out += n >= 2 ? QStringLiteral("nn") : QStringLiteral("n");
            break;
        case 's':
            out += n >= 2 ? QStringLiteral("ss") : QStringLiteral("s");
            break;
        case 'z':
            out += n >= 3 ? QStringLiteral("zzz") : QStringLiteral("z");
            break;
        case 'A':
        case 'a':
            // AP / ap / A / a
            if (i + 1 < f.size() && (f[i + 1] == QLatin1Char('P') || f[i + 1] == QLatin1Char('p'))) {
                out += QStringLiteral("am/pm");
                i += 2;
                continue;
            }
            out += QStringLiteral("am/pm");
            break;
        case 't': // time zone: not in the picture syntax
            break;
        default:
            if (c.isLetter())
                out += QLatin1Char('"') + QString(n, c) + QLatin1Char('"');
            else
                out += QString(n, c);
            break;
        }
        i += n;
    }
    return out.trimmed();
}

TFormatSettings TFormatSettings::FromLocale(const QLocale& locale) {
    TFormatSettings s;
    s.locale = locale;
    s.decimalSeparator = locale.decimalPoint();
    s.thousandSeparator = locale.groupSeparator();
    s.currencySymbol = locale.currencySymbol(QLocale::CurrencySymbol);
    const QString shortDate = locale.dateFormat(QLocale::ShortFormat);
    const QString shortTime = locale.timeFormat(QLocale::ShortFormat);
    s.dateSeparator = FirstSeparator(shortDate, QStringLiteral("/"));
    s.timeSeparator = FirstSeparator(shortTime, QStringLiteral(":"));
    s.shortDateFormat = PictureFromQtFormat(shortDate);
    s.longDateFormat = PictureFromQtFormat(locale.dateFormat(QLocale::LongFormat));
    s.shortTimeFormat = PictureFromQtFormat(shortTime);
    s.longTimeFormat = PictureFromQtFormat(locale.timeFormat(QLocale::LongFormat));
    s.timeAMString = locale.amText();
    s.timePMString = locale.pmText();
    return s;
}

TFormatSettings TFormatSettings::System() {
    return FromLocale(QLocale::system());
}
