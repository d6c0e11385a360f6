#include "exchange/VClipboardExport.h"

#include <QClipboard>
#include <QGuiApplication>

#include <vector>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString RightAligned(const QString& text, int width) {
    return text.size() >= width ? text : QString(width - text.size(), QLatin1Char(' ')) + text;
}

} // namespace

TVClipboardExport::TVClipboardExport() {
    SetFileName(QStringLiteral("Clipboard"));
}

QString TVClipboardExport::ValueText(const TExportField& field) {
    return GetExportText(field, FormattedText(field));
}

void TVClipboardExport::Publish() {
    QGuiApplication::clipboard()->setText(text_);
}

void TVClipboardExport::OpenExportedFile() {
    if (clipboardViewer_.isEmpty() || clipboardViewer_.compare(QLatin1String("Clipbrd.exe"), Qt::CaseInsensitive) == 0)
        return;
    const QString fileName = FileName();
    SetFileName(clipboardViewer_);
    TVExport::OpenExportedFile();
    SetFileName(fileName);
}

bool TVClipboardExport::Execute() {
    SetFileName(QStringLiteral("Clipboard"));
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()) || !QGuiApplication::clipboard())
        throw EClipboardFormatError();
    TVExport::Execute();
    FireBeginExport();
    TExportDataSet& data = *Dataset();
    const QList<int> fields = ExportedFieldIndexes();

    text_.clear();
    if (!Title().isEmpty())
        text_ += Title() + kCrLf;
    for (const QString& line : Header())
        text_ += line + kCrLf;
    if (!Header().isEmpty())
        text_ += kCrLf;

    auto stopped = [&] {
        if (!StopRequested())
            return false;
        Publish();
        HandleStopRequest();
        return true;
    };

    if (exportType_ == TExportType::etSeparated) {
        const QString separator(separator_);
        if (ColHeaders()) {
            QStringList captions;
            for (int i : fields)
                captions << Caption(i);
            text_ += captions.join(separator) + kCrLf;
        }
        while (!data.Eof()) {
            QStringList values;
            for (int i : fields)
                values << ValueText(data.Fields(i));
            text_ += values.join(separator) + kCrLf;
            FireRecordExported(RecNo());
            data.Next();
            if (stopped())
                return false;
        }
    } else {
        std::vector<int> widths;
        for (int i : fields)
            widths.push_back(ColHeaders() ? int(Caption(i).size()) : 0);
        while (!data.Eof()) {
            for (int k = 0; k < fields.size(); ++k)
                widths[size_t(k)] = qMax(widths[size_t(k)], int(ValueText(data.Fields(fields[k])).size()));
            if (OnRecordFetched)
                OnRecordFetched(*this, RecNo());
            data.Next();
            if (stopped())
                return false;
        }
        for (int& width : widths)
            width += spacing_;
        if (ColHeaders()) {
            for (int k = 0; k < fields.size(); ++k)
                text_ += RightAligned(Caption(fields[k]), widths[size_t(k)]);
            text_ += kCrLf;
        }
        data.First();
        while (!data.Eof()) {
            for (int k = 0; k < fields.size(); ++k)
                text_ += RightAligned(ValueText(data.Fields(fields[k])), widths[size_t(k)]);
            text_ += kCrLf;
            FireRecordExported(RecNo());
            data.Next();
            if (stopped())
                return false;
        }
    }
    for (const QString& line : Footer())
        text_ += line + kCrLf;
    Publish();
    FinishExport();
    return true;
}
