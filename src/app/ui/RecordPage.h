#pragma once
// The single-record page ("1. Teil") of one kind: a labelled control per
// field of the kind, bound to the current record of TableDVD. Typing starts
// an edit of the record (or fills the record being inserted); the record
// rules run when the record is posted. Value-list boxes grow their lists as
// the user types new values.

#include "catalogue/DvdKind.h"

#include <QWidget>

#include <functional>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class TAdsTable;
class TValueList;
class TValueLists;

class TRecordPage : public QWidget {
    Q_OBJECT

public:
    TRecordPage(TDvdKind kind, TAdsTable& table, TValueLists& valueLists, const QString& programFolder,
                QWidget* parent = nullptr);

    // Shows the current record's values.
    void Load();
    // Captions of the five user-defined fields.
    void SetUserCaptions(const QStringList& captions);
    // The edit widget of a field, or null (tests and focus handling).
    QWidget* Editor(const QString& field) const;

    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // A value could not be stored in the field.
    void EditFailed(const QString& message);

private:
    struct TBinding {
        QString field;
        QWidget* editor;
        std::function<void()> load;
        TValueList* valueList = nullptr;
    };

    void AddBinding(TBinding binding) { bindings_.push_back(std::move(binding)); }
    // Puts a value typed into a control into the record.
    void Store(const QString& field, const std::function<void()>& assign);
    // Edits go to the field as typed; a shown value starts at its first
    // character, not scrolled to its end.
    void BindLineEdit(const QString& field, QLineEdit* edit);

    TDvdKind kind_;
    TAdsTable& table_;
    QString programFolder_;
    std::vector<TBinding> bindings_;
    std::vector<QLabel*> userCaptions_;
    bool loading_ = false;
};
