// The settings file
// =================
//
// A text file of Windows-1252 bytes, each line ended by CR LF (reading also
// accepts LF and a lone CR). Each line is one of:
//
//   [Section]      a section header: "[" after optional blanks, the name up to
//                  the first "]" (or to the end of the line when "]" is
//                  missing), without surrounding blanks. The section runs
//                  until the next header line.
//   Key=Value      a key line inside a section: the key is the text before the
//                  first "=", the value the text after it, both without
//                  surrounding blanks. The key must not be empty.
//   ; text         a comment (first non-blank character ";").
//   anything else  blank lines, lines without "=", and key lines before the
//                  first header. They carry no setting.
//
// Section and key names are matched without regard to letter case. When the
// file holds a section twice, the first copy is the one read and written; a
// key that appears twice in a section is read from its first line.
//
// Values are text. Booleans are written "1" and "0", integers as decimal text
// with an optional "-". A value cannot contain a line break; a value's leading
// and trailing blanks are not kept, because reading drops them.
//
// Writing one key changes only that key's line: an existing key keeps its name
// as spelled in the file and its place; a new key goes after the last
// non-blank line of its section; a new section is appended at the end of the
// file, after a blank line. Every other line is written back as it was, so
// reading a file and writing back what was read gives the same bytes.
//
// Window placement, in section "WinPos", keys named caption + suffix:
//   _WindowState   0 normal, 1 minimised, 2 maximised
//   _Top, _Left    position of the normal window in pixels
//   _Height, _Width  size of the normal window in pixels
//
// Example:
//   [Main]
//   Language=German
//   ErstStart=0
//   LastDVDNo=12 ; last number handed out
//   [WinPos]
//   ZebINI_Prog_WindowState=0
//   ZebINI_Prog_Top=40

#include "app/ZebINI.h"

#include "platform/MovarixError.h"
#include "platform/TextFile.h"

#include <QFileInfo>

#include <limits>
#include <optional>
#include <utility>

namespace {

const QString kDefaultFileName = QStringLiteral("Default.INI");
const QString kWinPosSection = QStringLiteral("WinPos");
const QString kItemCountKey = QStringLiteral("Anzahl");
const QString kEmptyItem = QStringLiteral("Leer");

// Only within this many characters does a ";" start a comment of an integer
// value; further out the value is read as it stands (and so fails).
constexpr qsizetype kIntegerCommentWindow = 255;

// INIReadItems refuses larger counts: they come from damaged files and would
// otherwise make millions of list entries.
constexpr int kMaxItemCount = 1000000;

bool SameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool HasLineBreak(const QString& text) {
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

// A name that, written into a header line, reads back as itself.
bool IsValidSection(const QString& section) {
    return !section.isEmpty() && !section.contains(QLatin1Char(']')) && !HasLineBreak(section);
}

// A name that, written into a key line, reads back as itself and is not taken
// for a comment or a header.
bool IsValidKey(const QString& key) {
    return !key.isEmpty() && !key.contains(QLatin1Char('=')) && !key.startsWith(QLatin1Char(';')) &&
           !key.startsWith(QLatin1Char('[')) && !HasLineBreak(key);
}

bool ParseHeader(const QString& line, QString& name) {
    const QString text = line.trimmed();
    if (!text.startsWith(QLatin1Char('[')))
        return false;
    const qsizetype close = text.indexOf(QLatin1Char(']'));
    name = (close < 0 ? text.mid(1) : text.mid(1, close - 1)).trimmed();
    return true;
}

bool ParseKey(const QString& line, QString& key, QString& value) {
    const QString text = line.trimmed();
    if (text.startsWith(QLatin1Char(';')) || text.startsWith(QLatin1Char('[')))
        return false;
    const qsizetype equals = text.indexOf(QLatin1Char('='));
    if (equals < 0)
        return false;
    key = text.left(equals).trimmed();
    if (key.isEmpty())
        return false;
    value = text.mid(equals + 1).trimmed();
    return true;
}

// Lines [header + 1, end) of one copy of a section; header is -1 when absent.
struct TSectionSpan {
    qsizetype header = -1;
    qsizetype end = 0;
    bool Found() const { return header >= 0; }
};

TSectionSpan FindSection(const QStringList& lines, const QString& section, qsizetype from = 0) {
    TSectionSpan span;
    QString name;
    for (qsizetype i = from; i < lines.size(); ++i) {
        if (!ParseHeader(lines[i], name))
            continue;
        if (span.Found()) {
            span.end = i;
            return span;
        }
        if (SameName(name, section))
            span.header = i;
    }
    span.end = lines.size();
    return span;
}

qsizetype FindKey(const QStringList& lines, const TSectionSpan& span, const QString& key) {
    QString name, value;
    for (qsizetype i = span.header + 1; i < span.end; ++i)
        if (ParseKey(lines[i], name, value) && SameName(name, key))
            return i;
    return -1;
}

std::optional<QString> Lookup(const QStringList& lines, const QString& section, const QString& key) {
    const TSectionSpan span = FindSection(lines, section.trimmed());
    if (!span.Found())
        return std::nullopt;
    const qsizetype at = FindKey(lines, span, key.trimmed());
    if (at < 0)
        return std::nullopt;
    QString name, value;
    ParseKey(lines[at], name, value);
    return value;
}

// The key lines of a section, first occurrence of each name, in file order.
std::vector<std::pair<QString, QString>> SectionEntries(const QStringList& lines, const QString& section) {
    std::vector<std::pair<QString, QString>> entries;
    const TSectionSpan span = FindSection(lines, section.trimmed());
    if (!span.Found())
        return entries;
    QString name, value;
    for (qsizetype i = span.header + 1; i < span.end; ++i) {
        if (!ParseKey(lines[i], name, value))
            continue;
        bool seen = false;
        for (const auto& entry : entries)
            seen = seen || SameName(entry.first, name);
        if (!seen)
            entries.emplace_back(name, value);
    }
    return entries;
}

// Sets one key; the names are valid and trimmed.
void Put(QStringList& lines, const QString& section, const QString& key, const QString& value) {
    const TSectionSpan span = FindSection(lines, section);
    if (!span.Found()) {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines.append(QString());
        lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        lines.append(key + QLatin1Char('=') + value);
        return;
    }
    const qsizetype at = FindKey(lines, span, key);
    if (at >= 0) {
        QString name, old;
        ParseKey(lines[at], name, old);
        lines[at] = name + QLatin1Char('=') + value;
        return;
    }
    qsizetype insertAt = span.header + 1;
    for (qsizetype i = span.header + 1; i < span.end; ++i)
        if (!lines[i].trimmed().isEmpty())
            insertAt = i + 1;
    lines.insert(insertAt, key + QLatin1Char('=') + value);
}

bool IsBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// Strict decimal: optional sign, digits only, within 32 bits.
std::optional<int> ParseDecimal(const QString& text) {
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    qint64 magnitude = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        magnitude = magnitude * 10 + (c - u'0');
        if (magnitude > qint64(std::numeric_limits<int>::max()) + 1)
            return std::nullopt;
    }
    const qint64 number = negative ? -magnitude : magnitude;
    if (number > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(number);
}

int IntegerFrom(const std::optional<QString>& stored, int defaultValue) {
    if (!stored)
        return defaultValue;
    QString text = *stored;
    const qsizetype semicolon = text.indexOf(QLatin1Char(';'));
    if (semicolon >= 0 && semicolon < kIntegerCommentWindow) {
        text.truncate(semicolon);
        while (!text.isEmpty() && IsBlank(text.back()))
            text.chop(1);
    }
    return ParseDecimal(text).value_or(defaultValue);
}

bool BoolFrom(const std::optional<QString>& stored, bool defaultValue) {
    if (!stored)
        return defaultValue;
    if (*stored == QLatin1String("1") || SameName(*stored, QStringLiteral("true")))
        return true;
    if (*stored == QLatin1String("0") || SameName(*stored, QStringLiteral("false")))
        return false;
    return defaultValue;
}

// Colours are kept as Windows keeps them: red in the low byte.
int ColorToInteger(const QColor& color) {
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}

const char* const kViewStyleNames[] = {"Icon", "SmallIcon", "List", "Report"};

QString StyleLetters(const QFont& font) {
    QString letters;
    if (font.bold())
        letters += QLatin1Char('B');
    if (font.italic())
        letters += QLatin1Char('I');
    if (font.underline())
        letters += QLatin1Char('U');
    if (font.strikeOut())
        letters += QLatin1Char('S');
    return letters;
}

QString WinPosKey(const QString& caption, const char* suffix) {
    return caption + QLatin1String(suffix);
}

QString ColumnKey(const QString& prefix, std::size_t column) {
    return prefix + QStringLiteral("Colum_") + QString::number(column);
}

} // namespace

TZebINI::TZebINI(const QString& name, const QString& executableFolder, TFormPlacement* owner)
    : name_(name), executableFolder_(executableFolder), owner_(owner) {
    if (!executableFolder_.isEmpty() && !executableFolder_.endsWith(QLatin1Char('/')))
        executableFolder_ += QLatin1Char('/');
    SetINIFileName(kDefaultFileName);
}

void TZebINI::SetINIFileName(const QString& fileName) {
    iniFileName_ = fileName.isEmpty() ? kDefaultFileName : fileName;
    // A backslash marks a path written the Windows way; on this system the
    // same path is spelled with "/".
    if (iniFileName_.contains(QLatin1Char('/')) || iniFileName_.contains(QLatin1Char('\\'))) {
        fullPath_ = iniFileName_;
        fullPath_.replace(QLatin1Char('\\'), QLatin1Char('/'));
    } else {
        fullPath_ = executableFolder_ + iniFileName_;
    }
}

void TZebINI::ReadINI() {
    if (caption_.isEmpty())
        caption_ = name_;
    if (owner_)
        INILoadWinPos(caption_, *owner_, saveWinPos_);
    if (OnReadINI)
        OnReadINI(*this);
}

void TZebINI::WriteINI() {
    if (caption_.isEmpty())
        caption_ = name_;
    if (owner_)
        INISaveWinPos(caption_, *owner_, saveWinPos_);
    if (OnWriteINI)
        OnWriteINI(*this);
}

bool TZebINI::INIReadBool(const QString& section, const QString& key, bool defaultValue) const {
    return BoolFrom(Lookup(ReadLines(), section, key), defaultValue);
}

bool TZebINI::INIWriteBool(const QString& section, const QString& key, bool value) {
    return INIWriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

int TZebINI::INIReadInteger(const QString& section, const QString& key, int defaultValue) const {
    return IntegerFrom(Lookup(ReadLines(), section, key), defaultValue);
}

bool TZebINI::INIWriteInteger(const QString& section, const QString& key, int value) {
    return INIWriteString(section, key, QString::number(value));
}

QString TZebINI::INIReadString(const QString& section, const QString& key, const QString& defaultValue) const {
    return Lookup(ReadLines(), section, key).value_or(defaultValue);
}

bool TZebINI::INIWriteString(const QString& section, const QString& key, const QString& value) {
    const QString sectionName = section.trimmed();
    const QString keyName = key.trimmed();
    if (!IsValidSection(sectionName) || !IsValidKey(keyName) || HasLineBreak(value))
        return false;
    return Change([&](QStringList& lines) { Put(lines, sectionName, keyName, value); });
}

void TZebINI::INILoadWinPos(const QString& caption, TFormPlacement& form, TSaveWinPos mode) const {
    if (mode == TSaveWinPos::swpNone)
        return;
    form.SetPosition(TFormPosition::Designed);
    const QStringList lines = ReadLines();
    if (!FindSection(lines, kWinPosSection).Found()) {
        form.SetPosition(TFormPosition::ScreenCentre);
        return;
    }
    auto read = [&](const char* suffix, int current) {
        return IntegerFrom(Lookup(lines, kWinPosSection, WinPosKey(caption, suffix)), current);
    };
    form.SetTop(read("_Top", form.Top()));
    form.SetLeft(read("_Left", form.Left()));
    if (mode == TSaveWinPos::swpSizePosition) {
        form.SetHeight(read("_Height", form.Height()));
        form.SetWidth(read("_Width", form.Width()));
    }
    const int state = read("_WindowState", static_cast<int>(form.WindowState()));
    // The component writes only 0, 1 and 2; anything else is a hand edit or
    // damage, and a normal window is the one the user can always get at.
    form.SetWindowState(state == 1   ? TWindowState::Minimised
                        : state == 2 ? TWindowState::Maximised
                                     : TWindowState::Normal);
}

bool TZebINI::INISaveWinPos(const QString& caption, const TFormPlacement& form, TSaveWinPos mode) {
    if (mode == TSaveWinPos::swpNone)
        return true;
    const QString prefix = caption.trimmed();
    if (!IsValidKey(WinPosKey(prefix, "_Top")))
        return false;
    const TWindowState state = form.WindowState();
    std::vector<std::pair<QString, int>> values;
    values.emplace_back(WinPosKey(prefix, "_WindowState"), static_cast<int>(state));
    if (state == TWindowState::Normal) {
        values.emplace_back(WinPosKey(prefix, "_Top"), form.Top());
        values.emplace_back(WinPosKey(prefix, "_Left"), form.Left());
        if (mode == TSaveWinPos::swpSizePosition) {
            values.emplace_back(WinPosKey(prefix, "_Height"), form.Height());
            values.emplace_back(WinPosKey(prefix, "_Width"), form.Width());
        }
    }
    return Change([&](QStringList& lines) {
        for (const auto& [key, value] : values)
            Put(lines, kWinPosSection, key, QString::number(value));
    });
}

void TZebINI::INIFlush() {
    // Nothing is buffered: each write has replaced the whole file, flushed,
    // before it returned.
}

bool TZebINI::INISectionExists(const QString& section) const {
    return FindSection(ReadLines(), section.trimmed()).Found();
}

bool TZebINI::INIEraseSection(const QString& section) {
    const QString name = section.trimmed();
    return Change([&](QStringList& lines) {
        for (TSectionSpan span = FindSection(lines, name); span.Found(); span = FindSection(lines, name, span.header))
            lines.remove(span.header, span.end - span.header);
    });
}

bool TZebINI::INIDeleteKey(const QString& section, const QString& key) {
    const QString sectionName = section.trimmed();
    const QString keyName = key.trimmed();
    return Change([&](QStringList& lines) {
        const TSectionSpan span = FindSection(lines, sectionName);
        if (!span.Found())
            return;
        // Every line of the key goes, so that a duplicate cannot show through.
        QString name, value;
        for (qsizetype i = span.end - 1; i > span.header; --i)
            if (ParseKey(lines[i], name, value) && SameName(name, keyName))
                lines.removeAt(i);
    });
}

void TZebINI::INIReadItems(const QString& section, QStringList& list) const {
    list.clear();
    const QStringList lines = ReadLines();
    const int count = IntegerFrom(Lookup(lines, section, kItemCountKey), 0);
    if (count < 0 || count > kMaxItemCount)
        return;
    for (int i = 0; i <= count; ++i)
        list.append(Lookup(lines, section, QString::number(i)).value_or(kEmptyItem));
}

void TZebINI::INIReadSection(const QString& section, QStringList& keys) const {
    keys.clear();
    for (const auto& entry : SectionEntries(ReadLines(), section))
        keys.append(entry.first);
}

void TZebINI::INIReadSectionValues(const QString& section, QStringList& lines) const {
    lines.clear();
    for (const auto& entry : SectionEntries(ReadLines(), section))
        lines.append(entry.first + QLatin1Char('=') + entry.second);
}

bool TZebINI::INISaveFont(const QString& section, const QString& prefix, const QFont& font, const QColor& color) {
    const QString sectionName = section.trimmed();
    const QString keyPrefix = prefix.trimmed();
    const QString family = font.family();
    if (!IsValidSection(sectionName) || !IsValidKey(keyPrefix + QStringLiteral("_Name")) || HasLineBreak(family))
        return false;
    return Change([&](QStringList& lines) {
        Put(lines, sectionName, keyPrefix + QStringLiteral("_Name"), family);
        // A font sized in pixels has no point size to keep; loading then
        // leaves the size as it is.
        if (font.pointSize() > 0)
            Put(lines, sectionName, keyPrefix + QStringLiteral("_Size"), QString::number(font.pointSize()));
        Put(lines, sectionName, keyPrefix + QStringLiteral("_Color"), QString::number(ColorToInteger(color)));
        Put(lines, sectionName, keyPrefix + QStringLiteral("_Style"), StyleLetters(font));
    });
}

void TZebINI::INILoadFont(const QString& section, const QString& prefix, QFont& font, QColor& color) const {
    const QStringList lines = ReadLines();
    const QString keyPrefix = prefix.trimmed();
    auto value = [&](const char* suffix) { return Lookup(lines, section, keyPrefix + QLatin1String(suffix)); };

    const QString family = value("_Name").value_or(font.family());
    if (!family.isEmpty())
        font.setFamily(family);
    const int size = IntegerFrom(value("_Size"), font.pointSize());
    if (size > 0)
        font.setPointSize(size);
    const int rgb = IntegerFrom(value("_Color"), ColorToInteger(color));
    // Negative numbers and the high byte are Windows' system colour codes,
    // which have no fixed colour; the current colour stays.
    if (rgb >= 0 && rgb <= 0xFFFFFF)
        color = QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
    const QString style = value("_Style").value_or(StyleLetters(font)).toUpper();
    font.setBold(style.contains(QLatin1Char('B')));
    font.setItalic(style.contains(QLatin1Char('I')));
    font.setUnderline(style.contains(QLatin1Char('U')));
    font.setStrikeOut(style.contains(QLatin1Char('S')));
}

bool TZebINI::INISaveColumns(const QString& section, const QString& prefix, const std::vector<TListColumn>& columns) {
    const QString sectionName = section.trimmed();
    const QString keyPrefix = prefix.trimmed();
    if (!IsValidSection(sectionName) || !IsValidKey(ColumnKey(keyPrefix, 0)))
        return false;
    for (const TListColumn& column : columns)
        if (HasLineBreak(column.caption))
            return false;
    return Change([&](QStringList& lines) {
        for (std::size_t i = 0; i < columns.size(); ++i)
            Put(lines, sectionName, ColumnKey(keyPrefix, i),
                columns[i].caption + QLatin1Char('|') + QString::number(columns[i].width));
    });
}

void TZebINI::INILoadColumns(const QString& section, const QString& prefix, std::vector<TListColumn>& columns,
                             bool withCaptions) const {
    const QStringList lines = ReadLines();
    const QString keyPrefix = prefix.trimmed();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const std::optional<QString> stored = Lookup(lines, section, ColumnKey(keyPrefix, i));
        if (!stored)
            continue;
        // The caption may itself hold "|"; the width follows the last one.
        const qsizetype bar = stored->lastIndexOf(QLatin1Char('|'));
        const QString caption = bar < 0 ? *stored : stored->left(bar);
        if (bar >= 0)
            columns[i].width = ParseDecimal(stored->mid(bar + 1).trimmed()).value_or(columns[i].width);
        if (withCaptions)
            columns[i].caption = caption;
    }
}

TViewStyle TZebINI::INIReadViewStyle(const QString& section, const QString& key) const {
    const QString stored = INIReadString(section, key, QString());
    for (int i = 0; i < 4; ++i)
        if (SameName(stored, QLatin1String(kViewStyleNames[i])))
            return static_cast<TViewStyle>(i);
    return TViewStyle::vsSmallIcon;
}

bool TZebINI::INIWriteViewStyle(const QString& section, const QString& key, TViewStyle style) {
    return INIWriteString(section, key, QLatin1String(kViewStyleNames[static_cast<int>(style)]));
}

QStringList TZebINI::ReadLines() const {
    if (!QFileInfo::exists(fullPath_))
        return {};
    try {
        return TTextFile::ReadLines(fullPath_);
    } catch (const EMovarixError&) {
        // An unreadable file reads like a missing one: every read gives its
        // default.
        return {};
    }
}

bool TZebINI::Change(const std::function<void(QStringList&)>& change) {
    QStringList lines;
    if (QFileInfo::exists(fullPath_)) {
        try {
            lines = TTextFile::ReadLines(fullPath_);
        } catch (const EMovarixError&) {
            // Writing now would replace settings we could not read.
            return false;
        }
    }
    const QStringList before = lines;
    change(lines);
    if (lines == before)
        return true;
    try {
        TTextFile::WriteLines(fullPath_, lines);
    } catch (const EMovarixError&) {
        return false;
    }
    return true;
}
