#include "exchange/VXMLExport.h"

#include "exchange/VExportStream.h"
#include "platform/Ansi.h"

namespace {

// The output stream: releasing it ends the document.
class TXMLFile : public TVExportStream {
public:
    using TVExportStream::TVExportStream;

protected:
    void WriteTrailer() override {
        WriteLine(QStringLiteral("</ROWDATA>"));
        WriteLine(QStringLiteral("</DATAPACKET>"));
    }
};

QString Attribute(const QString& name, const QString& value) {
    return name + QStringLiteral("=\"") + value + QLatin1Char('"');
}

} // namespace

TVXMLExport::TVXMLExport() {
    for (const char c : {'"', '&', '<', '>'})
        escapeSet_.set(static_cast<unsigned char>(c));
}

void TVXMLExport::EscapeText(const QString& source, QString& result) {
    const QString encoding = xmlOptions_.Encoding.trimmed().toLower();
    // With windows-1252 declared, every character the file can hold goes
    // out as its byte; otherwise everything beyond ASCII is a reference.
    const bool rawAnsi = encoding == QLatin1String("windows-1252") || encoding == QLatin1String("cp1252");
    result.clear();
    for (int i = 0; i < source.size(); ++i) {
        const QChar c = source[i];
        const char16_t u = c.unicode();
        switch (u) {
        case '"':
            result += QLatin1String("&quot;");
            continue;
        case '&':
            result += QLatin1String("&amp;");
            continue;
        case '<':
            result += QLatin1String("&lt;");
            continue;
        case '>':
            result += QLatin1String("&gt;");
            continue;
        case '\r':
            result += QLatin1String("&#13;");
            continue;
        case '\n':
            result += QLatin1String("&#10;");
            continue;
        case '\t':
            result += QLatin1String("&#9;");
            continue;
        default:
            break;
        }
        if (u < 0x20)
            continue; // not allowed in XML 1.0
        if (u < 0x80) {
            result += c;
            continue;
        }
        uint codePoint = u;
        if (c.isHighSurrogate() && i + 1 < source.size() && source[i + 1].isLowSurrogate()) {
            codePoint = QChar::surrogateToUcs4(c, source[i + 1]);
            ++i;
        } else if (c.isSurrogate()) {
            continue; // half a pair is no character
        }
        if (rawAnsi && codePoint <= 0xFFFF && TAnsi::ByteOf(char16_t(codePoint)) != '?')
            result += c;
        else
            result += QStringLiteral("&#%1;").arg(codePoint);
    }
}

bool TVXMLExport::Execute() {
    TVExport::Execute();
    FireBeginExport();
    TExportDataSet& data = *Dataset();
    const QList<int> fields = ExportedFieldIndexes();
    TXMLFile out(FileName());

    QString declaration = QStringLiteral("<?xml version=\"") + xmlOptions_.Version + QStringLiteral("\" ");
    if (!xmlOptions_.Encoding.isEmpty())
        declaration += QStringLiteral("encoding=\"") + xmlOptions_.Encoding + QStringLiteral("\" ");
    declaration += QStringLiteral("standalone=\"") + (xmlOptions_.StandAlone ? QStringLiteral("yes") : QStringLiteral("no")) +
                   QStringLiteral("\"?>");
    out.WriteLine(declaration);
    out.WriteLine(QStringLiteral("<DATAPACKET Version=\"2.0\">"));
    if (ColHeaders()) {
        out.WriteLine(QStringLiteral("<METADATA>"));
        out.WriteLine(QStringLiteral("<FIELDS>"));
        for (int i : fields) {
            const TExportField& field = data.Fields(i);
            out.WriteLine(QStringLiteral("<FIELD ") +
                          QStringList{Attribute(QStringLiteral("FieldName"), Escaped(field.FieldName())),
                                      Attribute(QStringLiteral("DisplayLabel"), Escaped(Caption(i))),
                                      Attribute(QStringLiteral("FieldType"), TExportFieldTypes::Name(field.DataType())),
                                      Attribute(QStringLiteral("FieldClass"), field.FieldClassName())}
                              .join(QLatin1Char(' ')) +
                          QStringLiteral("/>"));
        }
        out.WriteLine(QStringLiteral("</FIELDS>"));
        out.WriteLine(QStringLiteral("</METADATA>"));
    }
    if (GoToFirstRecord())
        data.First();
    out.WriteLine(QStringLiteral("<ROWDATA>"));
    while (!data.Eof()) {
        QStringList attributes;
        for (int i : fields) {
            const TExportField& field = data.Fields(i);
            attributes << Attribute(field.FieldName(), Escaped(GetExportText(field, FormattedText(field))));
        }
        out.WriteLine(QStringLiteral("<ROW ") + attributes.join(QLatin1Char(' ')) + QStringLiteral("/>"));
        data.Next();
        FireRecordExported(RecNo());
        if (HandleStopRequest()) {
            out.Close();
            return false;
        }
    }
    out.Close();
    FinishExport();
    return true;
}
