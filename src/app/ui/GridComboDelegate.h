#pragma once
// The combo box editors of a list grid: value-list columns (group and
// qualities) offer the row's grid list and grow it with typed values; fixed
// columns (age rating, and in the film grid region code, video standard and
// aspect ratio) offer their fixed items, mapping display texts to stored
// values where the list has a tab. Notes cells show their text on one line
// (formatted notes as the text they read as); the grid edits them in its
// notes pop-up, not in the cell.

#include "catalogue/DvdKind.h"

#include <QStyledItemDelegate>

class TGridModel;
class TValueLists;

class TGridComboDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    TGridComboDelegate(TDvdKind kind, const TGridModel& model, TValueLists& valueLists, const QString& programFolder,
                       QObject* parent = nullptr);

    // The items a column's editor offers ("text" or "text\tstored value");
    // empty for columns edited as plain text.
    QStringList ItemsFor(const QString& field) const;
    void SetNotesRichText(bool rich) { notesRich_ = rich; }

    // Public so that the text a cell shows can be asked for.
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

private:
    QString FieldOf(const QModelIndex& index) const;
    bool IsValueList(const QString& field) const;

    TDvdKind kind_;
    const TGridModel& model_;
    TValueLists& valueLists_;
    QString programFolder_;
    bool notesRich_ = true;
};
