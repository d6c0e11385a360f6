#include "exchange/VRTFExport.h"

#include "exchange/VExportStream.h"
#include "platform/Ansi.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>

#include <vector>

// The output stream: "{" when created, "}" when released, and the font and
// colour tables with insertion of new entries into the written file.
class TVRTFExport::TRTF : public TVExportStream {
public:
    explicit TRTF(const QString& fileName) : TVExportStream(fileName) { WriteText(QStringLiteral("{")); }

    // Writes the font table line; positions are tracked from here on.
    void WriteFontTable(const QString& font0, const QString& font1) {
        fonts_ = {{0, font0}, {1, font1}};
        const QString line = QStringLiteral("{\\fonttbl") + FontEntry(0, font0) + FontEntry(1, font1);
        WriteText(line);
        fontTableEnd_ = Size();
        WriteLine(QStringLiteral("}"));
    }
    void WriteColorTable() {
        colors_ = {TExportColor::Black};
        WriteText(QStringLiteral("{\\colortbl") + ColorEntry(TExportColor::Black));
        colorTableEnd_ = Size();
        WriteLine(QStringLiteral("}"));
    }
    // The number of a font by name (any case); a new font is added.
    int Font(const QString& name) {
        int highest = -1;
        for (const auto& [number, fontName] : fonts_) {
            if (fontName.compare(name, Qt::CaseInsensitive) == 0)
                return number;
            highest = qMax(highest, number);
        }
        const int number = highest + 1;
        const QByteArray entry = TAnsi::FromUnicode(FontEntry(number, name));
        InsertAt(fontTableEnd_, entry);
        fontTableEnd_ += entry.size();
        colorTableEnd_ += entry.size();
        fonts_.push_back({number, name});
        return number;
    }
    // The index of a colour by value; a new colour is added.
    int Color(TColor color) {
        const TColor rgb = TExportColor::ToRgb(color);
        for (size_t i = 0; i < colors_.size(); ++i)
            if (colors_[i] == rgb)
                return int(i);
        const QByteArray entry = TAnsi::FromUnicode(ColorEntry(rgb));
        InsertAt(colorTableEnd_, entry);
        colorTableEnd_ += entry.size();
        colors_.push_back(rgb);
        return int(colors_.size() - 1);
    }

protected:
    void WriteTrailer() override { WriteText(QStringLiteral("}")); }

private:
    static QString FontEntry(int number, const QString& name) {
        return QStringLiteral("{\\f%1\\f%2 %3;}").arg(number).arg(QLatin1String("nil"), name);
    }
    static QString ColorEntry(TColor color) {
        return QStringLiteral("\\red%1\\green%2\\blue%3;")
            .arg(TExportColor::RedOf(color))
            .arg(TExportColor::GreenOf(color))
            .arg(TExportColor::BlueOf(color));
    }

    std::vector<std::pair<int, QString>> fonts_;
    std::vector<TColor> colors_;
    qint64 fontTableEnd_ = 0;  // position of the font table's closing brace
    qint64 colorTableEnd_ = 0; // position of the colour table's closing brace
};

namespace {

QString FontReference(const TExportFont& font, int number) {
    return QStringLiteral("\\f%1\\fs%2").arg(number).arg(font.size * 2);
}

QString StyleCodes(const TExportFont& font) {
    QString codes;
    if (font.bold)
        codes += QLatin1String("\\b");
    if (font.italic)
        codes += QLatin1String("\\i");
    if (font.underline)
        codes += QLatin1String("\\ul");
    if (font.strikeOut)
        codes += QLatin1String("\\strike");
    return codes;
}

} // namespace

TVRTFExport::TVRTFExport() = default;
TVRTFExport::~TVRTFExport() = default;

int TVRTFExport::TextWidth(const TExportFont& font, const QString& text) {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        QFont qfont(font.name);
        qfont.setPointSize(qMax(1, font.size));
        qfont.setBold(font.bold);
        qfont.setItalic(font.italic);
        return QFontMetrics(qfont).horizontalAdvance(text);
    }
    // no screen: an average letter is about 0.55 em; 96 pixels per inch
    return int(text.size() * font.size * 96 / 72 * 0.55 + 0.5);
}

void TVRTFExport::EscapeText(const QString& source, QString& result) {
    result.clear();
    for (int i = 0; i < source.size(); ++i) {
        const QChar c = source[i];
        switch (c.unicode()) {
        case '\\':
        case '{':
        case '}':
            result += QLatin1Char('\\');
            result += c;
            break;
        case '\r':
            if (i + 1 < source.size() && source[i + 1] == QLatin1Char('\n'))
                ++i;
            result += QLatin1String("\\line ");
            break;
        case '\n':
            result += QLatin1String("\\line ");
            break;
        default:
            result += c;
        }
    }
}

void TVRTFExport::WriteEnd() {
    out_->WriteLine(QStringLiteral("\\pard"));
    out_->WriteLine(QStringLiteral("\\par"));
    for (const QString& line : Footer()) {
        out_->WriteLine(QStringLiteral("\\par"));
        out_->WriteLine(line);
    }
}

void TVRTFExport::DoStopExport() {
    if (out_)
        WriteEnd();
    TVExport::DoStopExport();
}

bool TVRTFExport::Execute() {
    TVExport::Execute();
    FireBeginExport();
    TExportDataSet& data = *Dataset();
    const QList<int> fields = ExportedFieldIndexes();
    out_ = std::make_unique<TRTF>(FileName());
    try {
        TRTF& out = *out_;
        const TExportFont& defaultFont = options_.DefaultFont;
        const TExportFont& headerFont = options_.HeaderFont;
        out.WriteLine(QStringLiteral("\\rtf%1\\%2\\deff%3\\deftab%4").arg(1).arg(QLatin1String("ansi")).arg(0).arg(720));
        out.WriteFontTable(headerFont.name, defaultFont.name);
        out.WriteColorTable();
        const QString defaultReference = FontReference(defaultFont, 1);
        out.WriteLine(defaultReference);
        for (const QString& line : Header()) {
            out.WriteLine(line);
            out.WriteLine(QStringLiteral("\\par"));
        }
        out.WriteLine(QStringLiteral("\\par"));

        out.WriteLine(QStringLiteral("\\trowd\\trql\\trgaph0\\trleft36"));
        int edge = 36;
        const int letterW = TextWidth(headerFont, QStringLiteral("W"));
        for (int i : fields) {
            int width = TextWidth(headerFont, Caption(i));
            for (const QString& entry : columnsWidth_) {
                const int at = entry.indexOf(QLatin1Char('='));
                if (at < 0 || entry.left(at).trimmed().compare(data.Fields(i).FieldName(), Qt::CaseInsensitive) != 0)
                    continue;
                bool ok = false;
                const int number = entry.mid(at + 1).trimmed().toInt(&ok);
                if (ok && number != width)
                    width = number * letterW;
            }
            edge += width * 20 + 10;
            out.WriteLine(QStringLiteral("\\clbrdrl\\brdrth \\clbrdrr\\brdrth \\clbrdrt\\brdrth \\clbrdrb\\brdrth"));
            out.WriteLine(QStringLiteral("\\cellx%1").arg(edge));
        }
        if (ColHeaders()) {
            out.WriteLine(FontReference(headerFont, 0));
            QString line;
            for (int i : fields)
                line += QStringLiteral("\\pard\\intbl\\li30\\ri30{") + StyleCodes(headerFont) + QLatin1Char(' ') +
                        Escaped(Caption(i)) + QStringLiteral("}\\cell");
            out.WriteLine(line + QStringLiteral("\\row"));
        }
        out.WriteLine(defaultReference);

        while (!data.Eof()) {
            QString line;
            for (int i : fields) {
                const TExportField& field = data.Fields(i);
                const QString text = Escaped(GetExportText(field, FormattedText(field)));
                TExportFont font = defaultFont;
                TCellAlign align = TExportFieldTypes::IsNumeric(field.DataType()) ? TCellAlign::Right : TCellAlign::None;
                TColor background = TExportColor::White;
                if (OnGetRTFCellParams)
                    OnGetRTFCellParams(*this, field, align, font, background);
                QString codes;
                if (font.name.compare(defaultFont.name, Qt::CaseInsensitive) != 0)
                    codes += FontReference(font, out.Font(font.name));
                if (TExportColor::ToRgb(font.color) != TExportColor::ToRgb(defaultFont.color))
                    codes += QStringLiteral("\\cf%1").arg(out.Color(font.color));
                TExportFont styles = font;
                styles.bold = font.bold || defaultFont.bold;
                styles.italic = font.italic || defaultFont.italic;
                styles.underline = font.underline || defaultFont.underline;
                styles.strikeOut = font.strikeOut || defaultFont.strikeOut;
                codes += StyleCodes(styles);
                QString cell = QStringLiteral("\\pard\\intbl\\li30\\ri30");
                if (TExportColor::ToRgb(background) != TExportColor::White)
                    cell += QStringLiteral("\\cbpat%1").arg(out.Color(background));
                switch (align) {
                case TCellAlign::Left:
                    cell += QLatin1String("\\ql");
                    break;
                case TCellAlign::Right:
                    cell += QLatin1String("\\qr");
                    break;
                case TCellAlign::Center:
                    cell += QLatin1String("\\qc");
                    break;
                case TCellAlign::None:
                    break;
                }
                cell += QLatin1Char('{') + (codes.isEmpty() ? QString() : codes + QLatin1Char(' ')) + text +
                        QStringLiteral("}\\cell");
                line += cell;
            }
            out.WriteLine(line + QStringLiteral("\\row"));
            FireRecordExported(RecNo());
            if (HandleStopRequest()) {
                out.Close();
                out_.reset();
                return false;
            }
            data.Next();
        }
        WriteEnd();
        out.Close();
        out_.reset();
    } catch (...) {
        out_.reset();
        throw;
    }
    FinishExport();
    return true;
}
