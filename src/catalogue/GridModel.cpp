#include "catalogue/GridModel.h"

#include "platform/MovarixError.h"
#include "store/AdsTable.h"

#include <QDate>

namespace {
constexpr int kCachedRows = 512;
constexpr int kCachedMemos = 1024;
}

TGridModel::TGridModel(TAdsTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table), rows_(kCachedRows), memos_(kCachedMemos) {
    connect(&table_, &TAdsTable::ViewChanged, this, &TGridModel::Reload);
    connect(&table_, &TAdsTable::RecordChanged, this, &TGridModel::RefreshCurrent);
    Reload();
}

void TGridModel::SetColumns(const QList<TColumnDef>& columns) {
    beginResetModel();
    columns_ = columns;
    MapColumnsToFields();
    endResetModel();
}

void TGridModel::MapColumnsToFields() {
    fieldOfColumn_.clear();
    for (const TColumnDef& column : columns_) {
        const TField* field = table_.Active() ? table_.FindField(column.field) : nullptr;
        fieldOfColumn_.push_back(field ? field->Index() : -1);
    }
}

void TGridModel::Reload() {
    beginResetModel();
    rows_.clear();
    memos_.clear();
    recnos_ = table_.Active() ? table_.ViewRecNos() : std::vector<qint64>();
    MapColumnsToFields();
    endResetModel();
}

void TGridModel::RefreshCurrent() {
    const qint64 recno = table_.Active() ? table_.RecNo() : 0;
    rows_.remove(recno);
    ForgetMemos(recno);
    const int row = RowOf(recno);
    if (row >= 0 && !columns_.isEmpty())
        emit dataChanged(index(row, 0), index(row, int(columns_.size()) - 1));
}

qint64 TGridModel::RecNoAt(int row) const {
    return row >= 0 && row < int(recnos_.size()) ? recnos_[size_t(row)] : 0;
}

int TGridModel::RowOf(qint64 recno) const {
    for (size_t i = 0; i < recnos_.size(); ++i)
        if (recnos_[i] == recno)
            return int(i);
    return -1;
}

int TGridModel::ColumnOf(const QString& field) const {
    for (int i = 0; i < int(columns_.size()); ++i)
        if (columns_[i].field.compare(field, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool TGridModel::IsMemoColumn(int column) const {
    const int field = FieldIndex(column);
    return field >= 0 && table_.Active() && table_.Fields(field).DataType() == TFieldType::Memo;
}

int TGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(recnos_.size());
}

int TGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(columns_.size());
}

int TGridModel::FieldIndex(int column) const {
    return column >= 0 && column < int(fieldOfColumn_.size()) ? fieldOfColumn_[size_t(column)] : -1;
}

const std::vector<QVariant>* TGridModel::Row(int row) const {
    const qint64 recno = RecNoAt(row);
    if (recno == 0)
        return nullptr;
    if (!rows_.contains(recno)) {
        rows_.insert(recno, new std::vector<QVariant>(table_.ReadRecord(recno))); // the cache owns it
    }
    return rows_.object(recno);
}

QVariant TGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !table_.Active())
        return QVariant();
    const int field = FieldIndex(index.column());
    if (field < 0)
        return QVariant();
    const TFieldDef& def = table_.Fields(field).Def();
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(table_.Fields(field).Alignment() | Qt::AlignVCenter);
    if (def.type == TFieldType::Memo)
        return role == Qt::DisplayRole || role == Qt::EditRole ? QVariant(MemoText(index.row(), field)) : QVariant();
    if (def.IsBlob()) {
        // Pictures are not read for painting; a grid shows a marker.
        return role == Qt::DisplayRole ? QVariant(QStringLiteral("(Memo)")) : QVariant();
    }
    const std::vector<QVariant>* values = Row(index.row());
    if (!values || values->empty())
        return QVariant();
    const QVariant& value = (*values)[size_t(field)];
    if (def.type == TFieldType::Logical) {
        if (role == Qt::CheckStateRole)
            return value.toBool() ? Qt::Checked : Qt::Unchecked;
        return QVariant();
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return QVariant();
    if (!value.isValid())
        return QString();
    if (def.type == TFieldType::Date)
        return value.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    if (def.type == TFieldType::CurDouble)
        return QString::number(value.toDouble(), 'f', 2);
    return value.toString();
}

QVariant TGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < int(columns_.size()) ? QVariant(columns_[section].title) : QVariant();
    return QVariant(section + 1);
}

Qt::ItemFlags TGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    const int field = FieldIndex(index.column());
    if (field < 0 || !table_.Active())
        return flags;
    const TField& f = table_.Fields(field);
    if (f.DataType() == TFieldType::AutoInc || f.ReadOnly() || (f.IsBlob() && f.DataType() != TFieldType::Memo))
        return flags;
    return flags | (f.DataType() == TFieldType::Logical ? Qt::ItemIsUserCheckable : Qt::ItemIsEditable);
}

bool TGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const int field = FieldIndex(index.column());
    if (!index.isValid() || field < 0 || !(flags(index) & (Qt::ItemIsEditable | Qt::ItemIsUserCheckable)))
        return false;
    const qint64 recno = RecNoAt(index.row());
    if (!table_.GotoRecNo(recno))
        return false;
    TField& target = table_.Fields(field);
    try {
        table_.Edit();
        if (role == Qt::CheckStateRole)
            target.SetAsBoolean(value.toInt() == Qt::Checked);
        else if (role == Qt::EditRole)
            target.SetAsString(value.toString());
        else
            return false;
        table_.Post();
    } catch (const EAbort&) {
        // The record rules refused and have said why.
        if (table_.State() == TAdsTable::TState::Edit)
            table_.Cancel();
        return false;
    } catch (const EMovarixError& error) {
        if (table_.State() == TAdsTable::TState::Edit)
            table_.Cancel();
        emit EditFailed(error.Message());
        return false;
    }
    rows_.remove(recno);
    ForgetMemos(recno);
    emit dataChanged(index, index);
    return true;
}

QString TGridModel::MemoText(int row, int field) const {
    const qint64 recno = RecNoAt(row);
    if (recno == 0)
        return QString();
    if (recno == table_.RecNo())
        return table_.Fields(field).AsString();
    const TMemoKey key(recno, field);
    if (const QString* text = memos_.object(key))
        return *text;
    std::vector<QVariant> values;
    const QString text = table_.ReadFields(recno, {field}, values) ? table_.Fields(field).TextOf(values[0]) : QString();
    memos_.insert(key, new QString(text)); // the cache owns it
    return text;
}

void TGridModel::ForgetMemos(qint64 recno) {
    for (int field : fieldOfColumn_)
        memos_.remove(TMemoKey(recno, field));
}
