#include "exchange/VLaTeXExport.h"

#include "exchange/VExportStream.h"

TVLaTeXExport::TVLaTeXExport() {
    for (const char c : {'#', '$', '%', '&', '\\', '^', '_', '{', '}', '~'})
        escapeSet_.set(static_cast<unsigned char>(c));
}

void TVLaTeXExport::EscapeText(const QString& source, QString& result) {
    result.clear();
    for (int i = 0; i < source.size(); ++i) {
        const QChar c = source[i];
        switch (c.unicode()) {
        case '\\':
            result += QLatin1String("\\textbackslash{}");
            break;
        case '~':
            result += QLatin1String("\\textasciitilde{}");
            break;
        case '^':
            result += QLatin1String("\\textasciicircum{}");
            break;
        case '#':
        case '$':
        case '%':
        case '&':
        case '_':
        case '{':
        case '}':
            result += QLatin1Char('\\');
            result += c;
            break;
        case '\r':
            if (i + 1 < source.size() && source[i + 1] == QLatin1Char('\n'))
                ++i;
            result += QLatin1Char(' ');
            break;
        case '\n':
            result += QLatin1Char(' ');
            break;
        default:
            result += c;
        }
    }
}

void TVLaTeXExport::WriteEnd() {
    out_->WriteLine(QStringLiteral("\\end{tabular}"));
    out_->NewLine();
    for (const QString& line : Footer())
        out_->WriteLine(line);
    out_->WriteLine(QStringLiteral("\\end{document}"));
}

void TVLaTeXExport::DoStopExport() {
    if (out_) {
        out_->WriteLine(QStringLiteral("\\hline"));
        WriteEnd();
    }
    TVExport::DoStopExport();
}

bool TVLaTeXExport::Execute() {
    TVExport::Execute();
    FireBeginExport();
    TExportDataSet& data = *Dataset();
    const QList<int> fields = ExportedFieldIndexes();
    TVExportStream out(FileName());
    out_ = &out;
    struct TReset {
        TVExportStream*& p;
        ~TReset() { p = nullptr; }
    } reset{out_};

    const QString style =
        options_.DocumentStyle == TLaTeXOptions::TDocumentStyle::dsBook ? QStringLiteral("book") : QStringLiteral("article");
    const QString params = options_.DocumentParams.isEmpty() ? QString() : QLatin1Char('[') + options_.DocumentParams + QLatin1Char(']');
    if (options_.LaTeXVersion == TLaTeXOptions::TLaTeXVersion::LaTeX2e) {
        out.WriteLine(QStringLiteral("\\documentclass") + params + QLatin1Char('{') + style + QLatin1Char('}'));
        out.WriteLine(QStringLiteral("\\usepackage[cp%1]{inputenc}").arg(options_.CodePage > 0 ? options_.CodePage : 1252));
        out.WriteLine(QStringLiteral("\\usepackage[") + options_.Languages + QStringLiteral("]{babel}"));
        for (const QString& line : preambula_)
            out.WriteLine(line);
        if (!preambula_.isEmpty())
            out.NewLine();
    } else {
        out.WriteLine(QStringLiteral("\\documentstyle") + params + QLatin1Char('{') + style + QLatin1Char('}'));
    }
    out.WriteLine(QStringLiteral("\\begin{document}"));
    if (options_.Languages.toUpper().contains(QLatin1String("RUSSIAN")))
        out.WriteLine(QStringLiteral("\\Rus"));
    out.NewLine();
    for (const QString& line : Header())
        out.WriteLine(line);
    out.WriteLine(QStringLiteral("\\par\\bigskip"));

    QString columns = QStringLiteral("|");
    for (int i : fields)
        columns += (TExportFieldTypes::IsNumeric(data.Fields(i).DataType()) ? QStringLiteral("r") : QStringLiteral("l")) +
                QStringLiteral("|");
    out.WriteLine(QStringLiteral("\\begin{tabular}{") + columns + QLatin1Char('}'));
    out.WriteLine(QStringLiteral("\\hline"));
    if (ColHeaders()) {
        QStringList captions;
        for (int i : fields)
            captions << QStringLiteral("{\\bf ") + Escaped(Caption(i)) + QLatin1Char('}');
        out.WriteLine(captions.join(QStringLiteral(" & ")));
        out.WriteLine(QStringLiteral("\\\\"));
        out.WriteLine(QStringLiteral("\\hline"));
    }
    while (!data.Eof()) {
        QStringList values;
        for (int i : fields) {
            const TExportField& field = data.Fields(i);
            values << GetExportText(field, Escaped(FormattedText(field)));
        }
        out.WriteLine(values.join(QStringLiteral(" & ")));
        out.WriteLine(QStringLiteral("\\\\"));
        out.WriteLine(QStringLiteral("\\hline"));
        FireRecordExported(RecNo());
        if (HandleStopRequest()) {
            out.Close();
            return false;
        }
        data.Next();
    }
    WriteEnd();
    out.Close();
    FinishExport();
    return true;
}
