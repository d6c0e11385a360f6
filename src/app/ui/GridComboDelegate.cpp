#include "app/ui/GridComboDelegate.h"

#include "app/ui/NotesEdit.h"

#include "catalogue/GridModel.h"
#include "catalogue/ValueLists.h"

#include <QComboBox>

TGridComboDelegate::TGridComboDelegate(TDvdKind kind, const TGridModel& model, TValueLists& valueLists,
                                       const QString& programFolder, QObject* parent)
    : QStyledItemDelegate(parent), kind_(kind), model_(model), valueLists_(valueLists), programFolder_(programFolder) {}

QString TGridComboDelegate::FieldOf(const QModelIndex& index) const {
    return model_.Columns().value(index.column()).field;
}

bool TGridComboDelegate::IsValueList(const QString& field) const {
    static const QStringList gridLists = {QStringLiteral("Group"), QStringLiteral("TechQuality"),
                                          QStringLiteral("ArtQuality")};
    return gridLists.contains(field, Qt::CaseInsensitive) && valueLists_.Find(field, kind_);
}

QStringList TGridComboDelegate::ItemsFor(const QString& field) const {
    if (IsValueList(field))
        return valueLists_.Find(field, kind_)->GridItems();
    if (field.compare(QLatin1String("AgeReleasing"), Qt::CaseInsensitive) == 0)
        return TValueLists::AgeReleasing(kind_);
    if (kind_ == TDvdKind::Film) {
        if (field.compare(QLatin1String("DVDCoding"), Qt::CaseInsensitive) == 0)
            return TValueLists::DVDCodingGrid();
        if (field.compare(QLatin1String("FilmFormat"), Qt::CaseInsensitive) == 0)
            return TValueLists::FilmFormatGrid();
    }
    return {};
}

void TGridComboDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (model_.IsMemoColumn(index.column()))
        option->text = TNotesEdit::OneLine(index.data(Qt::DisplayRole).toString(), notesRich_);
}

QWidget* TGridComboDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                          const QModelIndex& index) const {
    if (model_.IsMemoColumn(index.column()))
        return nullptr; // the grid's notes pop-up edits them
    const QString field = FieldOf(index);
    const bool valueList = IsValueList(field);
    const bool fixed = !ItemsFor(field).isEmpty() ||
                       (kind_ == TDvdKind::Film && field.compare(QLatin1String("PictureFormat"), Qt::CaseInsensitive) == 0);
    if (!valueList && !fixed)
        return QStyledItemDelegate::createEditor(parent, option, index);
    if (valueList)
        valueLists_.Find(field, kind_)->Enter(programFolder_);
    auto* combo = new QComboBox(parent);
    combo->setEditable(valueList);
    for (const QString& item : ItemsFor(field)) {
        const qsizetype tab = item.indexOf(QLatin1Char('\t'));
        combo->addItem(tab < 0 ? item : item.left(tab), tab < 0 ? item : item.mid(tab + 1));
    }
    return combo;
}

void TGridComboDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* combo = qobject_cast<QComboBox*>(editor);
    if (!combo)
        return QStyledItemDelegate::setEditorData(editor, index);
    const QString value = index.data(Qt::EditRole).toString();
    const int item = combo->findData(value);
    if (item >= 0)
        combo->setCurrentIndex(item);
    else if (combo->isEditable())
        combo->setCurrentText(value);
}

void TGridComboDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const {
    auto* combo = qobject_cast<QComboBox*>(editor);
    if (!combo)
        return QStyledItemDelegate::setModelData(editor, model, index);
    const QString field = FieldOf(index);
    QString value = combo->currentText();
    if (!combo->isEditable() || combo->findText(value) >= 0) {
        const int item = combo->findText(value);
        if (item >= 0)
            value = combo->itemData(item).toString();
    }
    model->setData(index, value, Qt::EditRole);
    if (IsValueList(field))
        valueLists_.Find(field, kind_)->Exit(programFolder_, QString(), combo->currentText());
}
