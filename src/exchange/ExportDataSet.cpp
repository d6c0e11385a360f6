#include "exchange/ExportDataSet.h"

namespace {

constexpr const char* kTypeNames[TExportFieldTypes::Count] = {
    "ftUnknown",   "ftString",     "ftSmallint",    "ftInteger", "ftWord",      "ftBoolean",   "ftFloat",
    "ftCurrency",  "ftBCD",        "ftDate",        "ftTime",    "ftDateTime",  "ftBytes",     "ftVarBytes",
    "ftAutoInc",   "ftBlob",       "ftMemo",        "ftGraphic", "ftFmtMemo",   "ftParadoxOle", "ftDBaseOle",
    "ftTypedBinary", "ftCursor",   "ftFixedChar",   "ftWideString", "ftLargeint", "ftADT",     "ftArray",
    "ftReference", "ftDataSet",
};

} // namespace

QString TExportFieldTypes::Name(TExportFieldType type) {
    const int index = int(type);
    if (index < 0 || index >= Count)
        return QString();
    return QString::fromLatin1(kTypeNames[index]);
}

bool TExportFieldTypes::IsInteger(TExportFieldType type) {
    switch (type) {
    case TExportFieldType::ftSmallint:
    case TExportFieldType::ftInteger:
    case TExportFieldType::ftWord:
    case TExportFieldType::ftAutoInc:
    case TExportFieldType::ftLargeint:
        return true;
    default:
        return false;
    }
}

bool TExportFieldTypes::IsNumeric(TExportFieldType type) {
    return IsInteger(type) || type == TExportFieldType::ftFloat || type == TExportFieldType::ftCurrency ||
           type == TExportFieldType::ftBCD;
}

bool TExportFieldTypes::IsString(TExportFieldType type) {
    return type == TExportFieldType::ftString || type == TExportFieldType::ftFixedChar ||
           type == TExportFieldType::ftWideString;
}

bool TExportFieldTypes::IsDateTime(TExportFieldType type) {
    return type == TExportFieldType::ftDate || type == TExportFieldType::ftTime ||
           type == TExportFieldType::ftDateTime;
}
