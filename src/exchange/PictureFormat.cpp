#include "exchange/PictureFormat.h"

#include <QList>

#include <cmath>

namespace {

// ---- numbers ----------------------------------------------------------------

QStringList SplitSections(const QString& picture) {
    QStringList sections;
    QString current;
    QChar quote;
    for (const QChar c : picture) {
        if (!quote.isNull()) {
            current += c;
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
            current += c;
        } else if (c == QLatin1Char(';')) {
            sections << current;
            current.clear();
        } else {
            current += c;
        }
    }
    sections << current;
    return sections;
}

struct TItem {
    enum TKind { Literal, IntDigit, Point, FracDigit } kind;
    QString text; // literal text, or "0"/"#" for digits
};

struct TParsed {
    QList<TItem> items;
    bool grouping = false;
    bool hasPoint = false;
    int intDigits = 0;
    int minInt = 0;
    int minDec = 0;
    int maxDec = 0;
    bool innerLiterals = false; // literal text between integer digit places
};

TParsed Parse(const QString& section) {
    TParsed p;
    bool afterPoint = false;
    for (int i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            int j = section.indexOf(c, i + 1);
            if (j < 0)
                j = section.size();
            p.items.append({TItem::Literal, section.mid(i + 1, j - i - 1)});
            i = j;
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            p.items.append({afterPoint ? TItem::FracDigit : TItem::IntDigit, QString(c)});
        } else if (c == QLatin1Char('.')) {
            if (!afterPoint) {
                afterPoint = true;
                p.hasPoint = true;
                p.items.append({TItem::Point, QString()});
            }
        } else if (c == QLatin1Char(',')) {
            p.grouping = true;
        } else {
            p.items.append({TItem::Literal, QString(c)});
        }
    }
    // counts
    int firstZero = -1, intIndex = 0, fracIndex = 0, lastIntItem = -1, firstIntItem = -1;
    for (int k = 0; k < p.items.size(); ++k) {
        const TItem& item = p.items[k];
        if (item.kind == TItem::IntDigit) {
            if (firstIntItem < 0)
                firstIntItem = k;
            lastIntItem = k;
            if (item.text == QLatin1String("0") && firstZero < 0)
                firstZero = intIndex;
            ++intIndex;
        } else if (item.kind == TItem::FracDigit) {
            ++fracIndex;
            if (item.text == QLatin1String("0"))
                p.minDec = fracIndex;
        }
    }
    p.intDigits = intIndex;
    p.minInt = firstZero < 0 ? 0 : intIndex - firstZero;
    p.maxDec = fracIndex;
    for (int k = firstIntItem + 1; k < lastIntItem && firstIntItem >= 0; ++k)
        if (p.items[k].kind == TItem::Literal)
            p.innerLiterals = true;
    return p;
}

// The value with the given number of decimals, rounded half away from zero
// on its 15 significant decimal digits (so 2.345 gives 2.35, as a reader of
// the number expects, not 2.34 from its binary neighbour).
QString RoundedFixed(double value, int decimals) {
    const QString e = QString::number(value, 'e', 14); // d.dddddddddddddde±XX
    const int ePos = int(e.indexOf(QLatin1Char('e')));
    QString digits = e.left(ePos);
    digits.remove(QLatin1Char('.'));
    int exponent = e.mid(ePos + 1).toInt();
    // digits[0] has the place value 10^exponent; keep places down to 10^-decimals
    const int keep = exponent + 1 + decimals; // number of leading digits kept
    if (keep < 0)
        return QString::number(0.0, 'f', decimals);
    QString kept = digits.left(keep);
    while (kept.size() < keep)
        kept += QLatin1Char('0');
    const bool roundUp = keep < digits.size() && digits[keep] >= QLatin1Char('5');
    if (roundUp) {
        int i = int(kept.size()) - 1;
        while (i >= 0 && kept[i] == QLatin1Char('9')) {
            kept[i] = QLatin1Char('0');
            --i;
        }
        if (i >= 0)
            kept[i] = QChar(kept[i].unicode() + 1);
        else {
            kept.prepend(QLatin1Char('1'));
            ++exponent;
        }
    }
    // kept now holds the digits from the highest place down to 10^-decimals
    while (kept.size() < decimals + 1)
        kept.prepend(QLatin1Char('0'));
    QString intPart = kept.left(kept.size() - decimals);
    const QString fracPart = kept.right(decimals);
    if (intPart.isEmpty())
        intPart = QStringLiteral("0");
    return decimals > 0 ? intPart + QLatin1Char('.') + fracPart : intPart;
}

QString Group(const QString& digits, const QString& separator) {
    QString out;
    const int n = digits.size();
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += separator;
        out += digits[i];
    }
    return out;
}

QString FormatSection(const QString& section, double value, bool withSign, const TFormatSettings& s) {
    const TParsed p = Parse(section);
    const bool negative = value < 0;
    const QString fixed = RoundedFixed(std::fabs(value), p.maxDec);
    QString intPart = fixed.section(QLatin1Char('.'), 0, 0);
    QString fracPart = p.maxDec > 0 ? fixed.section(QLatin1Char('.'), 1, 1) : QString();
    while (intPart.startsWith(QLatin1Char('0')))
        intPart.remove(0, 1);
    while (intPart.size() < p.minInt)
        intPart.prepend(QLatin1Char('0'));
    while (fracPart.size() > p.minDec && fracPart.endsWith(QLatin1Char('0')))
        fracPart.chop(1);
    bool allZero = true;
    for (const QChar c : intPart + fracPart)
        if (c != QLatin1Char('0'))
            allZero = false;

    QString out;
    const bool groupHere = p.grouping && !p.innerLiterals;
    int intSeen = 0, fracSeen = 0;
    for (const TItem& item : p.items) {
        switch (item.kind) {
        case TItem::Literal:
            out += item.text;
            break;
        case TItem::IntDigit: {
            if (!p.innerLiterals) {
                if (intSeen == 0)
                    out += groupHere ? Group(intPart, s.thousandSeparator) : intPart;
            } else {
                // right-align the digits onto the places; excess digits go
                // to the first place
                const int excess = intPart.size() - p.intDigits;
                if (intSeen == 0 && excess > 0)
                    out += intPart.left(excess);
                const int at = intPart.size() - p.intDigits + intSeen;
                if (at >= 0)
                    out += intPart[at];
            }
            ++intSeen;
            break;
        }
        case TItem::Point:
            if (p.intDigits == 0)
                out += intPart; // ".00": the integer digits stand before the point
            if (!fracPart.isEmpty())
                out += s.decimalSeparator;
            break;
        case TItem::FracDigit:
            if (fracSeen < fracPart.size())
                out += fracPart[fracSeen];
            ++fracSeen;
            break;
        }
    }
    if (withSign && negative && !allZero)
        out.prepend(QLatin1Char('-'));
    return out;
}

// ---- date and time --------------------------------------------------------------

int Run(const QString& f, int at, QChar lower) {
    int n = 0;
    while (at + n < f.size() && f[at + n].toLower() == lower)
        ++n;
    return n;
}

bool StartsWithCI(const QString& f, int at, const char* what) {
    return f.mid(at, int(qstrlen(what))).compare(QLatin1String(what), Qt::CaseInsensitive) == 0;
}

bool UsesClock12(const QString& f) {
    return f.contains(QLatin1String("am/pm"), Qt::CaseInsensitive) ||
           f.contains(QLatin1String("a/p"), Qt::CaseInsensitive) ||
           f.contains(QLatin1String("ampm"), Qt::CaseInsensitive);
}

QString Two(int v) {
    return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}

QString FormatDT(const QString& f, const QDateTime& dt, const TFormatSettings& s, int depth) {
    if (depth > 3)
        return QString();
    const QDate date = dt.date();
    const QTime time = dt.time().isValid() ? dt.time() : QTime(0, 0);
    const bool clock12 = UsesClock12(f);
    QString out;
    bool lastWasHour = false;
    for (int i = 0; i < f.size();) {
        const QChar c = f[i];
        const QChar lower = c.toLower();
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            int j = f.indexOf(c, i + 1);
            if (j < 0)
                j = f.size();
            out += f.mid(i + 1, j - i - 1);
            i = j + 1;
            continue;
        }
        if (lower == QLatin1Char('a')) {
            const bool pm = time.hour() >= 12;
            if (StartsWithCI(f, i, "am/pm")) {
                out += pm ? QStringLiteral("pm") : QStringLiteral("am");
                if (f[i].isUpper())
                    out = out.left(out.size() - 2) + out.right(2).toUpper();
                i += 5;
            } else if (StartsWithCI(f, i, "a/p")) {
                out += f[i].isUpper() ? (pm ? QStringLiteral("P") : QStringLiteral("A"))
                                      : (pm ? QStringLiteral("p") : QStringLiteral("a"));
                i += 3;
            } else if (StartsWithCI(f, i, "ampm")) {
                out += pm ? s.timePMString : s.timeAMString;
                i += 4;
            } else {
                out += c;
                ++i;
            }
            continue;
        }
        int n = Run(f, i, lower);
        bool hour = false;
        switch (lower.unicode()) {
        case 'c':
            out += FormatDT(s.shortDateFormat, dt, s, depth + 1);
            if (time != QTime(0, 0))
                out += QLatin1Char(' ') + FormatDT(s.longTimeFormat, dt, s, depth + 1);
            n = 1;
            break;
        case 'd':
            n = qMin(n, 6);
            if (n == 1)
                out += QString::number(date.day());
            else if (n == 2)
                out += Two(date.day());
            else if (n == 3)
                out += s.locale.dayName(date.dayOfWeek(), QLocale::ShortFormat);
            else if (n == 4)
                out += s.locale.dayName(date.dayOfWeek(), QLocale::LongFormat);
            else if (n == 5)
                out += FormatDT(s.shortDateFormat, dt, s, depth + 1);
            else
                out += FormatDT(s.longDateFormat, dt, s, depth + 1);
            break;
        case 'm':
            if (lastWasHour) {
                n = qMin(n, 2);
                out += n == 2 ? Two(time.minute()) : QString::number(time.minute());
            } else {
                n = qMin(n, 4);
                if (n == 1)
                    out += QString::number(date.month());
                else if (n == 2)
                    out += Two(date.month());
                else if (n == 3)
                    out += s.locale.monthName(date.month(), QLocale::ShortFormat);
                else
                    out += s.locale.monthName(date.month(), QLocale::LongFormat);
            }
            break;
        case 'y':
            n = qMin(n, 4);
            out += n <= 2 ? Two(date.year() % 100) : QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'));
            break;
        case 'h': {
            n = qMin(n, 2);
            int h = time.hour();
            if (clock12) {
                h %= 12;
                if (h == 0)
                    h = 12;
            }
            out += n == 2 ? Two(h) : QString::number(h);
            hour = true;
            break;
        }
        case 'n':
            n = qMin(n, 2);
            out += n == 2 ? Two(time.minute()) : QString::number(time.minute());
            break;
        case 's':
            n = qMin(n, 2);
            out += n == 2 ? Two(time.second()) : QString::number(time.second());
            break;
        case 'z':
            n = n >= 3 ? 3 : 1;
            out += n == 3 ? QStringLiteral("%1").arg(time.msec(), 3, 10, QLatin1Char('0')) : QString::number(time.msec());
            break;
        case 't':
            n = qMin(n, 2);
            out += FormatDT(n == 1 ? s.shortTimeFormat : s.longTimeFormat, dt, s, depth + 1);
            break;
        case '/':
            n = 1;
            out += s.dateSeparator;
            break;
        case ':':
            n = 1;
            out += s.timeSeparator;
            break;
        default:
            n = 1;
            out += c;
            i += 1;
            continue; // literal characters do not end an hour context
        }
        if (lower != QLatin1Char(':') && lower != QLatin1Char('/'))
            lastWasHour = hour;
        i += n;
    }
    return out;
}

} // namespace

QString TPictureFormat::FormatFloat(const QString& picture, double value, const TFormatSettings& settings) {
    if (!std::isfinite(value))
        return QString::number(value);
    if (picture.isEmpty()) {
        QString general = QString::number(value, 'g', 15);
        general.replace(QLatin1Char('.'), settings.decimalSeparator);
        return general;
    }
    const QStringList sections = SplitSections(picture);
    if (value < 0 && sections.size() >= 2 && !sections[1].isEmpty())
        return FormatSection(sections[1], value, false, settings);
    if (value == 0 && sections.size() >= 3 && !sections[2].isEmpty())
        return FormatSection(sections[2], value, false, settings);
    return FormatSection(sections[0], value, true, settings);
}

QString TPictureFormat::FormatDateTime(const QString& picture, const QDateTime& value, const TFormatSettings& settings) {
    if (!value.isValid())
        return QString();
    return FormatDT(picture.isEmpty() ? QStringLiteral("c") : picture, value, settings, 0);
}
