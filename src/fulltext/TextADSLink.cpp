#include "fulltext/TextADSLink.h"

#include "fulltext/Quelvan.h"
#include "fulltext/WordParser.h"
#include "platform/Ansi.h"
#include "store/AdsTable.h"
#include "store/Field.h"

TrbTextADSLink::TrbTextADSLink(TAdsTable& table) : table_(table) {}

bool TrbTextADSLink::Active() const {
    return table_.Active();
}

void TrbTextADSLink::BeginReads() {
    if (table_.Active())
        table_.BeginReads();
}

void TrbTextADSLink::EndReads() {
    table_.EndReads();
}

void TrbTextADSLink::RequireActive() const {
    if (!table_.Active())
        EQuelvan::Raise(EQuelvan::TextDatasetClosed);
}

QStringList TrbTextADSLink::TableFieldNames() const {
    RequireActive();
    QStringList names;
    for (int i = 0; i < table_.FieldCount(); ++i)
        names << table_.Fields(i).FieldName();
    return names;
}

void TrbTextADSLink::PruneFieldNames() {
    RequireActive();
    QStringList kept;
    for (const QString& name : FieldNames())
        if (table_.FindField(name))
            kept << name;
    SetFieldNames(kept);
}

QString TrbTextADSLink::NumberTagName() const {
    for (const QString& tag : table_.IndexNames())
        if (tag.compare(IndexFieldName(), Qt::CaseInsensitive) == 0)
            return tag;
    return QString();
}

TrbTextADSLink::TSavedView TrbTextADSLink::EnterNumberOrder() {
    RequireActive();
    table_.CheckBrowseMode();
    TSavedView saved;
    saved.active = true;
    saved.indexName = table_.IndexName();
    saved.filtered = table_.Filtered();
    saved.recno = table_.RecNo();
    table_.DisableControls();
    try {
        if (saved.filtered)
            table_.SetFiltered(false);
        table_.SetIndexName(NumberTagName());
    } catch (...) {
        LeaveNumberOrder(saved);
        throw;
    }
    return saved;
}

void TrbTextADSLink::LeaveNumberOrder(const TSavedView& saved) {
    if (!table_.Active()) {
        table_.EnableControls();
        return;
    }
    try {
        table_.SetIndexName(saved.indexName);
        if (saved.filtered)
            table_.SetFiltered(true);
        if (saved.recno == 0 || !table_.GotoRecNo(saved.recno))
            table_.First();
    } catch (...) {
        table_.EnableControls();
        throw;
    }
    table_.EnableControls();
}

std::optional<int> TrbTextADSLink::ReadEnd(bool last) {
    RequireActive();
    // A pending edit is stored first, as a walk would store it.
    table_.CheckBrowseMode();
    if (!table_.HasRecords())
        return std::nullopt;
    TField* field = table_.FindField(IndexFieldName());
    if (!field)
        EQuelvan::Raise(EQuelvan::MissingIndexFieldName);
    // The end of record-number order is read from the tag (or the record
    // numbers) directly: the user's view is neither left nor rebuilt.
    const QString tag = NumberTagName();
    const qint64 recno = last ? table_.LastRecNo(tag) : table_.FirstRecNo(tag);
    std::vector<QVariant> values;
    if (recno == 0 || !table_.ReadFields(recno, {field->Index()}, values))
        return 0; // what the field of no record reads as
    return field->IntegerOf(values.front());
}

std::optional<int> TrbTextADSLink::ReadMinIndex() {
    return ReadEnd(false);
}

std::optional<int> TrbTextADSLink::ReadMaxIndex() {
    return ReadEnd(true);
}

void TrbTextADSLink::BeginBatch() {
    if (batch_.active)
        return;
    batch_ = EnterNumberOrder();
}

void TrbTextADSLink::EndBatch() {
    if (!batch_.active)
        return;
    const TSavedView saved = batch_;
    batch_ = {};
    LeaveNumberOrder(saved);
}

void TrbTextADSLink::First() {
    RequireActive();
    table_.First();
}

void TrbTextADSLink::Next() {
    RequireActive();
    table_.Next();
}

void TrbTextADSLink::Last() {
    RequireActive();
    table_.Last();
}

bool TrbTextADSLink::Eof() const {
    RequireActive();
    return table_.Eof() || table_.RecNo() == 0;
}

void TrbTextADSLink::LocateFrom(int value) {
    RequireActive();
    TField* field = table_.FindField(IndexFieldName());
    if (!field)
        EQuelvan::Raise(EQuelvan::MissingIndexFieldName);
    for (table_.First(); !table_.Eof() && field->AsInteger() < value; table_.Next()) {
    }
}

void TrbTextADSLink::ForEachIndexValue(const std::function<void(int value)>& onValue) {
    RequireActive();
    // A pending edit is stored first, as a walk would store it.
    table_.CheckBrowseMode();
    TField* field = table_.FindField(IndexFieldName());
    if (!field) {
        // A walk asks for the number only when there is a record.
        if (table_.HasRecords())
            EQuelvan::Raise(EQuelvan::MissingIndexFieldName);
        return;
    }
    table_.ScanFields(NumberTagName(), {field->Index()},
                      [&](qint64, const std::vector<QVariant>& values) { onValue(field->IntegerOf(values.front())); });
}

int TrbTextADSLink::IndexValue() const {
    RequireActive();
    TField* field = table_.FindField(IndexFieldName());
    if (!field)
        EQuelvan::Raise(EQuelvan::MissingIndexFieldName);
    return field->AsInteger();
}

void TrbTextADSLink::ResolveFields() {
    const QStringList tableNames = TableFieldNames();
    if (resolvedFor_ == FieldNames() && resolvedTable_ == tableNames)
        return;
    fieldIndexes_.clear();
    for (const QString& name : FieldNames())
        if (TField* field = table_.FindField(name))
            fieldIndexes_.push_back(field->Index());
    resolvedFor_ = FieldNames();
    resolvedTable_ = tableNames;
}

void TrbTextADSLink::ProcessRecord(const TrbWordParser& parser, const TIndexWord& index) {
    RequireActive();
    ResolveFields();
    for (int fieldIndex : fieldIndexes_) {
        const TField& field = table_.Fields(fieldIndex);
        if (field.IsNull())
            continue;
        switch (field.DataType()) {
        case TFieldType::Char:
        case TFieldType::Memo:
        case TFieldType::Image:
        case TFieldType::Binary:
            parser.ProcessText(field.AsBytes(), index);
            break;
        case TFieldType::Raw:
            break; // fixed bytes are not text
        default:
            parser.ProcessSingleWord(TAnsi::FromUnicode(field.AsString()), index);
            break;
        }
    }
    CallAfterProcess(IndexValue());
}
