#include "exchange/VHTMLExport.h"

#include "exchange/VExportStream.h"
#include "platform/MovarixError.h"
#include "platform/TextFile.h"

#include <QFileInfo>
#include <QMap>

namespace {

struct TTemplateColors {
    const char* background;
    const char* link;
    const char* visited;
    const char* active;
    const char* text;
    const char* headerRow;
    const char* headerText;
    const char* table;
    const char* tableText;
    const char* oddRows;
};

// In the order of THTMLTemplate from htBW on.
constexpr TTemplateColors kTemplates[] = {
    {"#ffffff", "#ff0000", "#800080", "#0000ff", "#000000", "#000000", "#ffffff", "#ffffff", "#000000", "#f3f3f3"},
    {"#333399", "#69ef7d", "#ff00ff", "#00ff00", "#ffffff", "#ff0000", "#ffffff", "#007aec", "#ffffff", "#006bce"},
    {"#339966", "#0066cc", "#923fc1", "#0000ff", "#ffffff", "#cc0033", "#ffffff", "#ffffff", "#000000", "#faf100"},
    {"#ffffff", "#ff0000", "#800080", "#0000ff", "#000000", "#808080", "#ffffff", "#ffffff", "#000000", "#eeeeee"},
    {"#ffffff", "#ff0000", "#800080", "#0000ff", "#000000", "#cec6b5", "#000000", "#dee7de", "#000000", "#fffbf0"},
    {"#317676", "#ffe760", "#cccc39", "#ffff00", "#ffffff", "#3a9393", "#ffffff", "#276262", "#ffe760", "#367800"},
    {"#ffffff", "#ff0000", "#800080", "#0000ff", "#5f605f", "#cfc890", "#000000", "#ffffff", "#5f605f", "#ffffcf"},
    {"#ffffff", "#ff0000", "#800080", "#0000ff", "#000000", "#068fe6", "#ffffff", "#ffffff", "#000000", "#fffcd9"},
    {"#ffffff", "#ff0000", "#800080", "#0000ff", "#004080", "#336699", "#ffffff", "#ffffff", "#000000", "#ffffcf"},
};

const QString kHtmlSection = QStringLiteral("HTML options");
const QString kTableSection = QStringLiteral("Table options");

QString ColorValue(TColor color) {
    return QStringLiteral("0x%1").arg(quint32(color), 6, 16, QLatin1Char('0'));
}

// An integer with an optional "0x" prefix, or a decimal one.
bool ParseColor(const QString& text, TColor* color) {
    const QString t = text.trimmed();
    bool ok = false;
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        const quint32 value = t.mid(2).toUInt(&ok, 16);
        if (ok)
            *color = TColor(value);
        return ok;
    }
    const qint64 value = t.toLongLong(&ok);
    if (ok && value >= std::numeric_limits<qint32>::min() && value <= std::numeric_limits<quint32>::max()) {
        *color = TColor(quint32(value));
        return true;
    }
    return false;
}

QString Quoted(const QString& text) {
    return QLatin1Char('"') + text + QLatin1Char('"');
}

} // namespace

TVHTMLExport::TVHTMLExport() {
    Header() << QStringLiteral("<br>");
    Footer() << QStringLiteral("<br>");
    for (const char c : {'"', '&', '<', '>'})
        escapeSet_.set(static_cast<unsigned char>(c));
    SetHTMLTemplate(THTMLTemplate::htClassic);
}

TVHTMLExport::~TVHTMLExport() = default;

QStringList TVHTMLExport::TemplateNames() {
    return {QStringLiteral("Custom"), QStringLiteral("Black&White"), QStringLiteral("Classic"),
            QStringLiteral("ColorFul"), QStringLiteral("Gray"),       QStringLiteral("MS_Money"),
            QStringLiteral("Murky"),   QStringLiteral("Olive"),       QStringLiteral("Plain"),
            QStringLiteral("Simple")};
}

void TVHTMLExport::SetHTMLTemplate(THTMLTemplate value) {
    if (value == template_)
        return;
    template_ = value;
    if (value == THTMLTemplate::htCustom)
        return;
    const TTemplateColors& c = kTemplates[int(value) - 1];
    auto color = [](const char* html) { return TExportColor::FromHtml(QString::fromLatin1(html)); };
    htmlOptions_.BackgroundColor = color(c.background);
    htmlOptions_.LinkColor = color(c.link);
    htmlOptions_.VLinkColor = color(c.visited);
    htmlOptions_.ALinkColor = color(c.active);
    htmlOptions_.TextFont.color = color(c.text);
    htmlOptions_.TextFont.name = QStringLiteral("Arial");
    tableOptions_.HeadersRowBgColor = color(c.headerRow);
    tableOptions_.HeadersRowFontColor = color(c.headerText);
    tableOptions_.TableBgColor = color(c.table);
    tableOptions_.TableFontColor = color(c.tableText);
    tableOptions_.OddRowBgColor = color(c.oddRows);
}

void TVHTMLExport::SaveTemplate(const QString& fileName) const {
    TTextFile::WriteLines(fileName,
                          {QLatin1Char('[') + kHtmlSection + QLatin1Char(']'),
                           QStringLiteral("Background-color=") + ColorValue(htmlOptions_.BackgroundColor),
                           QStringLiteral("Font-color=") + ColorValue(htmlOptions_.TextFont.color),
                           QStringLiteral("Font-family=") + htmlOptions_.TextFont.name,
                           QStringLiteral("LinkColor=") + ColorValue(htmlOptions_.LinkColor),
                           QStringLiteral("VLinkColor=") + ColorValue(htmlOptions_.VLinkColor),
                           QStringLiteral("ALinkColor=") + ColorValue(htmlOptions_.ALinkColor), QString(),
                           QLatin1Char('[') + kTableSection + QLatin1Char(']'),
                           QStringLiteral("Header-bgcolor=") + ColorValue(tableOptions_.HeadersRowBgColor),
                           QStringLiteral("Header-color=") + ColorValue(tableOptions_.HeadersRowFontColor),
                           QStringLiteral("Table-color=") + ColorValue(tableOptions_.TableFontColor),
                           QStringLiteral("Even_row-bgcolor=") + ColorValue(tableOptions_.TableBgColor),
                           QStringLiteral("Odd_row-bgcolor=") + ColorValue(tableOptions_.OddRowBgColor),
                           QStringLiteral("Border-color=") + ColorValue(tableOptions_.BorderColor)});
}

void TVHTMLExport::LoadTemplate(const QString& fileName) {
    if (!QFileInfo::exists(fileName))
        return;
    // section (lower case) → key (lower case) → value; the first occurrence counts
    QMap<QString, QMap<QString, QString>> ini;
    QString section;
    for (const QString& raw : TTextFile::ReadLines(fileName)) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line.mid(1, line.size() - 2).trimmed().toLower();
            continue;
        }
        const int at = line.indexOf(QLatin1Char('='));
        if (at <= 0 || line.startsWith(QLatin1Char(';')))
            continue;
        const QString key = line.left(at).trimmed().toLower();
        if (!ini[section].contains(key))
            ini[section].insert(key, line.mid(at + 1).trimmed());
    }
    auto read = [&](const QString& sec, const char* key, TColor* target) {
        const auto s = ini.constFind(sec.toLower());
        if (s == ini.constEnd())
            return;
        const auto v = s->constFind(QString::fromLatin1(key).toLower());
        if (v != s->constEnd())
            ParseColor(*v, target);
    };
    read(kHtmlSection, "Background-color", &htmlOptions_.BackgroundColor);
    read(kHtmlSection, "Font-color", &htmlOptions_.TextFont.color);
    read(kHtmlSection, "LinkColor", &htmlOptions_.LinkColor);
    read(kHtmlSection, "VLinkColor", &htmlOptions_.VLinkColor);
    read(kHtmlSection, "ALinkColor", &htmlOptions_.ALinkColor);
    const QString family = ini.value(kHtmlSection.toLower()).value(QStringLiteral("font-family"));
    if (!family.isEmpty())
        htmlOptions_.TextFont.name = family;
    read(kTableSection, "Header-bgcolor", &tableOptions_.HeadersRowBgColor);
    read(kTableSection, "Header-color", &tableOptions_.HeadersRowFontColor);
    read(kTableSection, "Table-color", &tableOptions_.TableFontColor);
    read(kTableSection, "Even_row-bgcolor", &tableOptions_.TableBgColor);
    read(kTableSection, "Odd_row-bgcolor", &tableOptions_.OddRowBgColor);
    read(kTableSection, "Border-color", &tableOptions_.BorderColor);
}

void TVHTMLExport::EscapeText(const QString& source, QString& result) {
    result.clear();
    for (int i = 0; i < source.size(); ++i) {
        const QChar c = source[i];
        switch (c.unicode()) {
        case '"':
            result += QLatin1String("&quot;");
            break;
        case '&':
            result += QLatin1String("&amp;");
            break;
        case '<':
            result += QLatin1String("&lt;");
            break;
        case '>':
            result += QLatin1String("&gt;");
            break;
        case '\r':
        case '\n':
            // CR LF, a lone CR and a lone LF each end one line
            result += QLatin1String("<br>");
            if (c == QLatin1Char('\r') && i + 1 < source.size() && source[i + 1] == QLatin1Char('\n'))
                ++i;
            break;
        default:
            result += c;
        }
    }
}

QString TVHTMLExport::PageFileName(const QString& fileName, int page) {
    const QString number = page < 10 ? QStringLiteral("0%1").arg(page) : QString::number(page);
    const int slash = int(fileName.lastIndexOf(QLatin1Char('/')));
    const int dot = int(fileName.lastIndexOf(QLatin1Char('.')));
    if (dot <= slash + 0 || dot < 0)
        return fileName + number;
    return fileName.left(dot) + number + fileName.mid(dot);
}

QStringList TVHTMLExport::FontLines(int indent) const {
    QStringList lines;
    const QString spaces(indent, QLatin1Char(' '));
    if (!(htmlOptions_.DefaultOptions & THTMLOptions::doFontName))
        lines << spaces + QStringLiteral("font-family: ") + htmlOptions_.TextFont.name + QLatin1Char(';');
    if (!(htmlOptions_.DefaultOptions & THTMLOptions::doFontSize))
        lines << spaces + QStringLiteral("font-size: %1pt;").arg(htmlOptions_.TextFont.size);
    return lines;
}

QStringList TVHTMLExport::StyleLines() const {
    using C = TExportColor;
    const THTMLOptions& h = htmlOptions_;
    const TTableOptions& t = tableOptions_;
    QStringList lines;
    lines << QStringLiteral("  BODY { background: ") + C::Html(h.BackgroundColor) + QLatin1Char(';') +
                 QStringLiteral(" color: ") + C::Html(h.TextFont.color) + QLatin1Char(';');
    lines << FontLines(9);
    if (!h.BackgroundFileName.isEmpty())
        lines << QStringLiteral("background-image: url(%1)").arg(h.BackgroundFileName);
    lines << QStringLiteral("  }");
    lines << QStringLiteral("  A:link { color: ") + C::Html(h.LinkColor) + QStringLiteral(" }");
    lines << QStringLiteral("  A:visited { color: ") + C::Html(h.VLinkColor) + QStringLiteral(" }");
    lines << QStringLiteral("  A:active { color: ") + C::Html(h.ALinkColor) + QStringLiteral(" }");
    if (ColHeaders()) {
        lines << QStringLiteral("  .ThRows { background-color: ") + C::Html(t.HeadersRowBgColor) + QStringLiteral("; ") +
                     QStringLiteral(" color: ") + C::Html(t.HeadersRowFontColor) + QLatin1Char(';');
        lines << QStringLiteral("            font-weight: bold; text-align: center;");
        lines << FontLines(12);
        lines << QStringLiteral("  }");
    }
    lines << QStringLiteral("  .TrRows { background-color: ") + C::Html(t.TableBgColor) + QStringLiteral("; ") +
                 QStringLiteral(" color: ") + C::Html(t.TableFontColor) + QLatin1Char(';');
    lines << FontLines(12);
    lines << QStringLiteral("  }");
    lines << QStringLiteral("  .TrOdd  { background-color: ") + C::Html(t.OddRowBgColor) + QStringLiteral("; ") +
                 QStringLiteral(" color: ") + C::Html(t.TableFontColor) + QLatin1Char(';');
    lines << FontLines(12);
    lines << QStringLiteral("  }");
    if (C::ToRgb(t.BorderColor) != C::White)
        lines << QStringLiteral("  .TrBC { background-color: ") + C::Html(t.BorderColor) + QStringLiteral(" }");
    return lines;
}

void TVHTMLExport::WriteStyleReference(TVExportStream& out) {
    if (usingCSS_ == TUsingCSS::usInternal) {
        out.WriteLine(QStringLiteral(" <Style type=\"text/css\">"));
        for (const QString& line : styleLines_)
            out.WriteLine(line);
        out.WriteLine(QStringLiteral(" </Style>"));
        return;
    }
    if (cssFileName_.isEmpty()) {
        const QFileInfo info(FileName());
        const int slash = int(FileName().lastIndexOf(QLatin1Char('/')));
        const int dot = int(FileName().lastIndexOf(QLatin1Char('.')));
        cssFileName_ = (dot > slash ? FileName().left(dot) : FileName()) + QStringLiteral(".css");
    }
    out.WriteLine(QStringLiteral(" <link rel=\"stylesheet\" type=\"text/css\" href=") + Quoted(cssFileName_) +
                  QLatin1Char('>'));
    if (!cssWritten_) {
        TTextFile::WriteLines(cssFileName_, styleLines_);
        cssWritten_ = true;
    }
}

void TVHTMLExport::OpenPage() {
    const int number = int(pageFiles_.size()) + 1;
    const QString file = maxRecords_ > 0 ? PageFileName(FileName(), number) : FileName();
    page_ = std::make_unique<TVExportStream>(file);
    pageFiles_ << file;
    rowsOnPage_ = 0;
    TVExportStream& out = *page_;
    out.WriteLine(QStringLiteral("<HTML>"));
    out.WriteLine(QStringLiteral("<HEAD>"));
    out.WriteLine(QStringLiteral(" <Title>") + Escaped(Title()) + QStringLiteral("</Title>"));
    WriteStyleReference(out);
    out.WriteLine(QStringLiteral("</HEAD>"));
    out.WriteLine(QStringLiteral("<BODY>"));
    for (const QString& line : Header())
        out.WriteLine(line);
    if (TExportColor::ToRgb(tableOptions_.BorderColor) != TExportColor::White) {
        out.WriteLine(QStringLiteral("<Table cellspacing=0 cellpadding=0 class=\"TrBC\">"));
        out.WriteLine(QStringLiteral("<tr><td>"));
    }
    out.WriteLine(QStringLiteral("<Table Border=%1 Cellpadding=%2 Cellspacing=%3>")
                      .arg(Quoted(QString::number(tableOptions_.Border)), Quoted(QString::number(tableOptions_.CellPadding)),
                           Quoted(QString::number(tableOptions_.CellSpacing))));
    if (ColHeaders()) {
        out.WriteLine(QStringLiteral("  <tr>"));
        for (int i : fields_)
            out.WriteLine(QStringLiteral("    <td class=\"ThRows\">") + Escaped(Caption(i)) + QStringLiteral("</td>"));
        out.WriteLine(QStringLiteral("  </tr>"));
    }
}

void TVHTMLExport::ClosePage() {
    if (!page_)
        return;
    TVExportStream& out = *page_;
    out.WriteLine(QStringLiteral("</Table>"));
    if (TExportColor::ToRgb(tableOptions_.BorderColor) != TExportColor::White) {
        out.WriteLine(QStringLiteral("</td></tr>"));
        out.WriteLine(QStringLiteral("</Table>"));
    }
    for (const QString& line : Footer())
        out.WriteLine(line);
    out.WriteLine(QStringLiteral("</BODY>"));
    out.WriteLine(QStringLiteral("</HTML>"));
    out.Close();
    page_.reset();
}

void TVHTMLExport::WriteRow() {
    TExportDataSet& data = *Dataset();
    const bool odd = rowsOnPage_ % 2 == 0;
    const QString rowClass = odd ? QStringLiteral("TrOdd") : QStringLiteral("TrRows");
    const TColor rowBackground = odd ? tableOptions_.OddRowBgColor : tableOptions_.TableBgColor;
    page_->WriteLine(QStringLiteral("  <tr>"));
    for (int k = 0; k < fields_.size(); ++k) {
        const TExportField& field = data.Fields(fields_[k]);
        QString text = FormattedText(field);
        if (field.DataType() != TExportFieldType::ftBoolean)
            text = Escaped(GetExportText(field, text));
        if (text.isEmpty())
            text = QStringLiteral("&nbsp");

        TCellAlign align = aligns_[size_t(fields_[k])];
        QString style;
        if (OnGetHTMLCellParams) {
            const TExportFont base = htmlOptions_.TextFont;
            TExportFont font = base;
            TColor background = rowBackground;
            OnGetHTMLCellParams(*this, field, align, font, background);
            QStringList parts;
            if (background != rowBackground)
                parts << QStringLiteral("background-color: %1;").arg(TExportColor::Html(background));
            if (font.name.compare(base.name, Qt::CaseInsensitive) != 0)
                parts << QStringLiteral("font-family: %1;").arg(font.name);
            if (font.size != base.size)
                parts << QStringLiteral("font-size: %1pt;").arg(font.size);
            if (font.color != base.color)
                parts << QStringLiteral("color: %1;").arg(TExportColor::Html(font.color));
            if (font.bold != base.bold)
                parts << QStringLiteral("font-weight: %1;").arg(font.bold ? "bold" : "normal");
            if (font.italic != base.italic)
                parts << QStringLiteral("font-style: %1;").arg(font.italic ? "italic" : "normal");
            if (font.underline != base.underline)
                parts << QStringLiteral("text-decoration: %1;").arg(font.underline ? "underline" : "none");
            if (!parts.isEmpty()) {
                QString joined;
                for (const QString& part : parts)
                    joined += part + QLatin1Char(' ');
                joined.chop(2);
                style = QStringLiteral(" style=") + Quoted(joined);
            }
        }
        QString line = QStringLiteral("    <td class=") + Quoted(rowClass);
        switch (align) {
        case TCellAlign::Left:
            line += QStringLiteral(" align=Left");
            break;
        case TCellAlign::Right:
            line += QStringLiteral(" align=Right");
            break;
        case TCellAlign::Center:
            line += QStringLiteral(" align=Center");
            break;
        case TCellAlign::None:
            break;
        }
        page_->WriteLine(line + style + QLatin1Char('>') + text + QStringLiteral("</td>"));
    }
    page_->WriteLine(QStringLiteral("  </tr>"));
    ++rowsOnPage_;
}

void TVHTMLExport::WriteIndexPage() {
    TVExportStream out(FileName());
    out.WriteLine(QStringLiteral("<HTML>"));
    out.WriteLine(QStringLiteral("<HEAD>"));
    WriteStyleReference(out);
    out.WriteLine(QStringLiteral("</HEAD>"));
    out.WriteLine(QStringLiteral("<BODY>"));
    out.WriteLine(QStringLiteral("<UL>"));
    for (const QString& file : pageFiles_) {
        out.WriteLine(QStringLiteral("<LI>"));
        out.WriteLine(QStringLiteral("<a href=\"%1\">%1</a>").arg(file));
    }
    out.WriteLine(QStringLiteral("</UL>"));
    out.WriteLine(QStringLiteral("</BODY>"));
    out.WriteLine(QStringLiteral("</HTML>"));
    out.Close();
}

void TVHTMLExport::DoStopExport() {
    ClosePage();
    TVExport::DoStopExport();
}

bool TVHTMLExport::Execute() {
    TVExport::Execute();
    FireBeginExport();
    TExportDataSet& data = *Dataset();
    fields_ = ExportedFieldIndexes();
    pageFiles_.clear();
    cssWritten_ = false;
    styleLines_ = StyleLines();

    aligns_.assign(size_t(data.FieldCount()), TCellAlign::None);
    for (int i = 0; i < data.FieldCount(); ++i) {
        const TExportField& field = data.Fields(i);
        TCellAlign& align = aligns_[size_t(i)];
        if (TExportFieldTypes::IsNumeric(field.DataType()))
            align = TCellAlign::Right;
        else if (field.DataType() == TExportFieldType::ftBoolean && boolAsCheckBox_)
            align = TCellAlign::Center;
        for (const QString& entry : columnsAllign_) {
            const int at = entry.indexOf(QLatin1Char('='));
            if (at < 0 || entry.left(at).trimmed().compare(field.DisplayName(), Qt::CaseInsensitive) != 0)
                continue;
            const QString keyword = entry.mid(at + 1).trimmed().toUpper();
            if (keyword == QLatin1String("L") || keyword == QLatin1String("LEFT") || keyword == QLatin1String("ALLEFT"))
                align = TCellAlign::Left;
            else if (keyword == QLatin1String("R") || keyword == QLatin1String("RIGHT") ||
                     keyword == QLatin1String("ALRIGHT"))
                align = TCellAlign::Right;
            else if (keyword == QLatin1String("C") || keyword == QLatin1String("CENTER") ||
                     keyword == QLatin1String("ALCENTER"))
                align = TCellAlign::Center;
        }
    }

    try {
        while (!data.Eof()) {
            if (!page_)
                OpenPage();
            WriteRow();
            FireRecordExported(RecNo());
            data.Next();
            if (HandleStopRequest()) {
                page_.reset();
                return false;
            }
            if (maxRecords_ > 0 && rowsOnPage_ >= maxRecords_)
                ClosePage();
        }
        if (pageFiles_.isEmpty())
            OpenPage(); // no records: one page with the captions and an empty table
        ClosePage();
        if (maxRecords_ > 0 && generateIndex_)
            WriteIndexPage();
    } catch (...) {
        page_.reset();
        throw;
    }
    FinishExport();
    return true;
}
