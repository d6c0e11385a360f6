#include "exchange/VASCIIExport.h"

#include "exchange/VExportStream.h"

namespace {

// DIF and SYLK keep one item per line: a line break inside a value would
// end the record. DIF has no way to write one, so it becomes a space.
QString OneLine(const QString& text) {
    QString out = text;
    out.replace(QLatin1String("\r\n"), QLatin1String(" "));
    out.replace(QLatin1Char('\r'), QLatin1Char(' '));
    out.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return out;
}

// A DIF string item: embedded double quotes are doubled.
QString DifString(const QString& text) {
    QString out = OneLine(text);
    out.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

// A SYLK text value: ";" is the field separator and is doubled inside a
// value; a line break is written as ESC " :", the spreadsheet's own escape.
QString SylkText(const QString& text) {
    QString out = text;
    out.replace(QLatin1Char(';'), QLatin1String(";;"));
    out.replace(QLatin1String("\r\n"), QLatin1String("\x1b :"));
    out.replace(QLatin1Char('\r'), QLatin1String("\x1b :"));
    out.replace(QLatin1Char('\n'), QLatin1String("\x1b :"));
    return out;
}

QString RightAligned(const QString& text, int width) {
    return text.size() >= width ? text : QString(width - text.size(), QLatin1Char(' ')) + text;
}

} // namespace

TVASCIIExport::TVASCIIExport() = default;
TVASCIIExport::~TVASCIIExport() = default;

void TVASCIIExport::EscapeText(const QString& source, QString& result) {
    if (exportType_ == TASCIIExportType::etCSV && csvQuoteStrings_) {
        QString inner = source;
        inner.replace(QLatin1Char('"'), QLatin1String("\"\""));
        result = QLatin1Char('"') + inner + QLatin1Char('"');
    } else {
        result = source;
    }
}

QString TVASCIIExport::ValueText(const TExportField& field) {
    QString text = FormattedText(field);
    const TExportFieldType type = field.DataType();
    if (TExportFieldTypes::IsString(type) || type == TExportFieldType::ftMemo || type == TExportFieldType::ftFmtMemo)
        text = Escaped(text);
    return GetExportText(field, text);
}

bool TVASCIIExport::Execute() {
    TVExport::Execute();
    FireBeginExport();
    fields_ = ExportedFieldIndexes();
    writingPass_ = false;
    out_ = std::make_unique<TVExportStream>(FileName());
    bool complete = false;
    try {
    switch (exportType_) {
    case TASCIIExportType::etCSV:
        complete = WriteCSV();
        break;
    case TASCIIExportType::etDIF:
        complete = WriteDIF();
        break;
    case TASCIIExportType::etSYLK:
        complete = WriteSYLK();
        break;
    case TASCIIExportType::etTxt:
        complete = WriteTxt();
        break;
    }
    out_->Close();
    } catch (...) {
        out_.reset(); // discards the half-written file
        widths_.clear();
        throw;
    }
    out_.reset();
    widths_.clear();
    if (complete)
        FinishExport();
    return complete;
}

void TVASCIIExport::DoStopExport() {
    if (out_) {
        switch (exportType_) {
        case TASCIIExportType::etTxt:
            if (writingPass_)
                WriteFooterLines();
            break;
        case TASCIIExportType::etDIF:
            if (writingPass_) {
                out_->WriteLine(QStringLiteral("-1,0"));
                out_->WriteLine(QStringLiteral("EOD"));
            }
            break;
        case TASCIIExportType::etSYLK:
            out_->WriteLine(QStringLiteral("E"));
            break;
        case TASCIIExportType::etCSV:
            break;
        }
    }
    TVExport::DoStopExport();
}

void TVASCIIExport::WriteFooterLines() {
    out_->NewLine();
    for (const QString& line : Footer())
        out_->WriteLine(line);
}

bool TVASCIIExport::WriteCSV() {
    TExportDataSet& data = *Dataset();
    const QString comma(csvComma_);
    if (ColHeaders()) {
        QStringList captions;
        for (int i : fields_) {
            QString caption = Caption(i);
            // a caption that holds the separator, a quote or a line break
            // is quoted so that the header keeps its columns
            if (caption.contains(csvComma_) || caption.contains(QLatin1Char('"')) ||
                caption.contains(QLatin1Char('\n')) || caption.contains(QLatin1Char('\r')))
                caption = QLatin1Char('"') + QString(caption).replace(QLatin1Char('"'), QLatin1String("\"\"")) +
                          QLatin1Char('"');
            captions << caption;
        }
        out_->WriteLine(captions.join(comma));
    }
    while (!data.Eof()) {
        QStringList values;
        for (int i : fields_)
            values << ValueText(data.Fields(i));
        out_->WriteLine(values.join(comma));
        FireRecordExported(RecNo());
        if (HandleStopRequest())
            return false;
        data.Next();
    }
    return true;
}

bool TVASCIIExport::WriteDIF() {
    TExportDataSet& data = *Dataset();
    int records = 0;
    while (!data.Eof()) {
        ++records;
        if (OnRecordFetched)
            OnRecordFetched(*this, RecNo());
        if (HandleStopRequest())
            return false;
        data.Next();
    }
    data.First();
    writingPass_ = true;

    out_->WriteLine(QStringLiteral("TABLE"));
    out_->WriteLine(QStringLiteral("0,1"));
    out_->WriteLine(DifString(Title()));
    out_->WriteLine(QStringLiteral("VECTORS"));
    out_->WriteLine(QStringLiteral("0,%1").arg(fields_.size()));
    out_->WriteLine(QStringLiteral("\"\""));
    out_->WriteLine(QStringLiteral("TUPLES"));
    out_->WriteLine(QStringLiteral("0,%1").arg(records));
    out_->WriteLine(QStringLiteral("\"\""));
    out_->WriteLine(QStringLiteral("DATA"));
    out_->WriteLine(QStringLiteral("0,0"));
    out_->WriteLine(QStringLiteral("\"\""));

    if (ColHeaders()) {
        out_->WriteLine(QStringLiteral("-1,0"));
        out_->WriteLine(QStringLiteral("BOT"));
        for (int i : fields_) {
            out_->WriteLine(QStringLiteral("1,0"));
            out_->WriteLine(DifString(Caption(i)));
        }
    }
    while (!data.Eof()) {
        out_->WriteLine(QStringLiteral("-1,0"));
        out_->WriteLine(QStringLiteral("BOT"));
        for (int i : fields_) {
            const TExportField& field = data.Fields(i);
            const TExportFieldType type = field.DataType();
            // Numbers go out as numeric items with their plain value (a
            // formatted "1.234,50" is no number to a reader); Booleans as
            // DIF's TRUE/FALSE; everything else as a string item.
            if (TExportFieldTypes::IsNumeric(type) && !field.IsNull()) {
                const QString text = GetExportText(field, field.AsString());
                bool ok = false;
                text.toDouble(&ok);
                if (ok) {
                    out_->WriteLine(QStringLiteral("0,") + text);
                    out_->WriteLine(QStringLiteral("V"));
                    continue;
                }
                out_->WriteLine(QStringLiteral("1,0"));
                out_->WriteLine(DifString(text));
            } else if (type == TExportFieldType::ftBoolean && !field.IsNull()) {
                const QString text = ValueText(field);
                if (text == Formats().BooleanTrue() || text == Formats().BooleanFalse()) {
                    const bool value = text == Formats().BooleanTrue();
                    out_->WriteLine(value ? QStringLiteral("0,1") : QStringLiteral("0,0"));
                    out_->WriteLine(value ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
                } else {
                    out_->WriteLine(QStringLiteral("1,0"));
                    out_->WriteLine(DifString(text));
                }
            } else {
                out_->WriteLine(QStringLiteral("1,0"));
                out_->WriteLine(DifString(ValueText(field)));
            }
        }
        FireRecordExported(RecNo());
        if (HandleStopRequest())
            return false;
        data.Next();
    }
    out_->WriteLine(QStringLiteral("-1,0"));
    out_->WriteLine(QStringLiteral("EOD"));
    return true;
}

bool TVASCIIExport::WriteSYLK() {
    TExportDataSet& data = *Dataset();
    out_->WriteLine(QStringLiteral("ID;PVASCIIEXPORT"));
    if (ColHeaders()) {
        int n = 1;
        for (int i : fields_)
            out_->WriteLine(QStringLiteral("C;X%1;Y1;K\"%2\"").arg(n++).arg(SylkText(Caption(i))));
    }
    int y = ColHeaders() ? 2 : 1;
    while (!data.Eof()) {
        int n = 1;
        for (int i : fields_)
            out_->WriteLine(QStringLiteral("C;X%1;Y%2;K\"%3\"").arg(n++).arg(y).arg(SylkText(ValueText(data.Fields(i)))));
        ++y;
        FireRecordExported(RecNo());
        if (HandleStopRequest())
            return false;
        data.Next();
    }
    out_->WriteLine(QStringLiteral("E"));
    return true;
}

bool TVASCIIExport::WriteTxt() {
    TExportDataSet& data = *Dataset();
    if (!Title().isEmpty()) {
        out_->WriteLine(Title());
        out_->WriteLine(QString(80, QLatin1Char('-')));
        out_->NewLine();
    }
    for (const QString& line : Header())
        out_->WriteLine(line);

    const int count = data.FieldCount();
    widths_.assign(size_t(count), 0);
    if (!txtOptions_.AutoCalc) {
        for (int i = 0; i < count; ++i)
            if (TExportFieldTypes::IsString(data.Fields(i).DataType()))
                widths_[size_t(i)] = data.Fields(i).DataSize();
        for (int i : fields_) {
            const TExportField& field = data.Fields(i);
            for (const QString& entry : txtOptions_.ColumnsWidth) {
                const int at = entry.indexOf(QLatin1Char('='));
                if (at < 0)
                    continue;
                const QString key = entry.left(at).trimmed();
                if (key.compare(Caption(i), Qt::CaseInsensitive) != 0 &&
                    key.compare(field.FieldName(), Qt::CaseInsensitive) != 0)
                    continue;
                bool ok = false;
                const int width = entry.mid(at + 1).trimmed().toInt(&ok);
                if (ok)
                    widths_[size_t(i)] = width;
            }
        }
    }

    bool measure = false;
    for (int w : widths_)
        if (w == 0)
            measure = true;
    if (measure) {
        while (!data.Eof()) {
            for (int i : fields_) {
                const int length = int(ValueText(data.Fields(i)).size());
                if (length > widths_[size_t(i)])
                    widths_[size_t(i)] = length;
            }
            if (OnRecordFetched)
                OnRecordFetched(*this, RecNo());
            if (HandleStopRequest())
                return false;
            data.Next();
        }
    }

    data.First();
    writingPass_ = true;
    const int spacing = txtOptions_.Spacing;
    if (ColHeaders()) {
        QString line;
        for (int i : fields_) {
            const QString caption = Caption(i);
            if (caption.size() > widths_[size_t(i)])
                widths_[size_t(i)] = int(caption.size());
            line += RightAligned(caption, widths_[size_t(i)] + spacing);
        }
        out_->WriteLine(line);
        out_->NewLine();
    }
    while (!data.Eof()) {
        QString line;
        for (int i : fields_)
            line += RightAligned(ValueText(data.Fields(i)), widths_[size_t(i)] + spacing);
        out_->WriteLine(line);
        FireRecordExported(RecNo());
        if (HandleStopRequest())
            return false;
        data.Next();
    }
    WriteFooterLines();
    return true;
}
