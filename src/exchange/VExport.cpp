#include "exchange/VExport.h"

#include "exchange/PictureFormat.h"
#include "exchange/ShellFile.h"
#include "platform/MovarixError.h"

namespace {

// "key=value" with both parts trimmed; false for an entry without "=".
bool SplitEntry(const QString& entry, QString* key, QString* value) {
    const int at = entry.indexOf(QLatin1Char('='));
    if (at < 0)
        return false;
    *key = entry.left(at).trimmed();
    *value = entry.mid(at + 1).trimmed();
    return true;
}

} // namespace

TVExport::TVExport() : shell_([](const QString& file, const QString& verb) { TShellFile::Execute(file, verb); }) {}

TVExport::~TVExport() = default;

void TVExport::SetDataset(TExportDataSet* dataset) {
    dataset_ = dataset;
}

bool TVExport::Execute() {
    stopRequested_ = false;
    if (fileName_.isEmpty())
        throw EMovarixError(QStringLiteral("Invalid file name!"));
    if (!dataset_)
        throw EMovarixError(QStringLiteral("Dataset not assigned!"));
    if (!dataset_->Active())
        throw EMovarixError(QStringLiteral("Dataset not active!"));

    captionList_.clear();
    for (int i = 0; i < dataset_->FieldCount(); ++i) {
        QString caption = dataset_->Fields(i).DisplayName();
        for (const QString& entry : captions_) {
            QString key, value;
            if (SplitEntry(entry, &key, &value) && key.compare(caption, Qt::CaseInsensitive) == 0)
                caption = value;
        }
        captionList_ << caption;
    }
    if (goToFirstRecord_)
        dataset_->First();
    return true;
}

bool TVExport::IsFieldExported(const TExportField& field) const {
    if (!exportedFields_.isEmpty())
        return exportedFields_.contains(field.FieldName(), Qt::CaseInsensitive) ||
               exportedFields_.contains(field.DisplayLabel(), Qt::CaseInsensitive);
    return field.Visible() && !field.IsBlob();
}

void TVExport::FormatField(const TExportField& field, QString& text) {
    if (field.IsNull()) {
        text.clear();
        return;
    }
    text = field.AsString();
    const TExportFieldType type = field.DataType();
    const TFormatSettings& settings = formats_.Settings();

    for (const QString& entry : userFormats_) {
        QString key, format;
        if (!SplitEntry(entry, &key, &format))
            continue;
        if (key.compare(field.DisplayLabel(), Qt::CaseInsensitive) != 0 &&
            key.compare(field.FieldName(), Qt::CaseInsensitive) != 0)
            continue;
        switch (type) {
        case TExportFieldType::ftSmallint:
        case TExportFieldType::ftInteger:
        case TExportFieldType::ftWord:
        case TExportFieldType::ftBoolean:
        case TExportFieldType::ftAutoInc:
        case TExportFieldType::ftLargeint:
            text = TPictureFormat::FormatFloat(format, double(field.AsInteger()), settings);
            break;
        case TExportFieldType::ftFloat:
        case TExportFieldType::ftBCD:
            text = TPictureFormat::FormatFloat(format, field.AsFloat(), settings);
            break;
        case TExportFieldType::ftCurrency:
            text = TPictureFormat::FormatCurrency(format, field.AsCurrency(), settings);
            break;
        case TExportFieldType::ftDate:
        case TExportFieldType::ftTime:
        case TExportFieldType::ftDateTime:
            text = TPictureFormat::FormatDateTime(format, field.AsDateTime(), settings);
            break;
        default:
            break;
        }
        return;
    }

    switch (type) {
    case TExportFieldType::ftSmallint:
    case TExportFieldType::ftInteger:
    case TExportFieldType::ftWord:
    case TExportFieldType::ftAutoInc:
    case TExportFieldType::ftLargeint:
        text = TPictureFormat::FormatFloat(formats_.IntegerFormat(), double(field.AsInteger()), settings);
        break;
    case TExportFieldType::ftBoolean:
        text = field.AsBoolean() ? formats_.BooleanTrue() : formats_.BooleanFalse();
        break;
    case TExportFieldType::ftFloat:
    case TExportFieldType::ftBCD:
        text = TPictureFormat::FormatFloat(formats_.FloatFormat(), field.AsFloat(), settings);
        break;
    case TExportFieldType::ftCurrency:
        text = TPictureFormat::FormatCurrency(formats_.CurrencyFormat(), field.AsCurrency(), settings);
        break;
    case TExportFieldType::ftDate:
        text = TPictureFormat::FormatDateTime(formats_.DateFormat(), field.AsDateTime(), settings);
        break;
    case TExportFieldType::ftTime:
        text = TPictureFormat::FormatDateTime(formats_.TimeFormat(), field.AsDateTime(), settings);
        break;
    case TExportFieldType::ftDateTime:
        text = TPictureFormat::FormatDateTime(formats_.DateTimeFormat(), field.AsDateTime(), settings);
        break;
    default:
        break;
    }
}

void TVExport::DoStopExport() {
    if (OnStopExport)
        OnStopExport(*this);
}

void TVExport::EscapeText(const QString& source, QString& result) {
    result = source;
}

void TVExport::OpenExportedFile() {
    if (!shell_)
        return;
    if (showFile_)
        shell_(fileName_, QStringLiteral("open"));
    if (printFile_)
        shell_(fileName_, QStringLiteral("print"));
}

QString TVExport::FormattedText(const TExportField& field) {
    QString text;
    FormatField(field, text);
    return text;
}

QString TVExport::Escaped(const QString& text) {
    QString result;
    EscapeText(text, result);
    return result;
}

QString TVExport::GetExportText(const TExportField& field, const QString& text) {
    QString result = text;
    if (OnGetExportText)
        OnGetExportText(*this, field, result);
    return result;
}

QList<int> TVExport::ExportedFieldIndexes() const {
    QList<int> indexes;
    for (int i = 0; i < dataset_->FieldCount(); ++i)
        if (IsFieldExported(dataset_->Fields(i)))
            indexes << i;
    return indexes;
}

void TVExport::FireBeginExport() {
    if (OnBeginExport)
        OnBeginExport(*this);
}

void TVExport::FireRecordExported(int recNo) {
    if (OnRecordExported)
        OnRecordExported(*this, recNo);
}

void TVExport::FinishExport() {
    if (OnEndExport)
        OnEndExport(*this);
    OpenExportedFile();
}

bool TVExport::HandleStopRequest() {
    if (!stopRequested_)
        return false;
    DoStopExport();
    stopRequested_ = false;
    return true;
}

int TVExport::RecNo() const {
    return dataset_ ? dataset_->RecNo() : 0;
}
