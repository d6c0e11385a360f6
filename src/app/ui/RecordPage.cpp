#include "app/ui/RecordPage.h"

#include "catalogue/ValueLists.h"
#include "platform/MovarixError.h"
#include "platform/Translate.h"
#include "store/AdsTable.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QCalendarWidget>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace {

enum class TControl { Edit, Date, Check, Fixed, Values };

struct TFieldSpec {
    const char* field;
    const char* caption;
    TControl control;
    bool film, music, data;
};

// The fields of the pages, in the order they are laid out (two columns).
const TFieldSpec kFields[] = {
    {"DVDNo", "DVD-Nr.", TControl::Edit, true, true, true},
    {"Title", "Titel", TControl::Edit, true, true, true},
    {"ShortDescription", "Kurzbeschreibung", TControl::Edit, true, true, true},
    {"Series", "Serie", TControl::Edit, true, true, true},
    {"Source", "Quelle", TControl::Edit, true, true, true},
    {"Owner", "Eigentümer", TControl::Edit, true, true, true},
    {"Publisher", "Verlag", TControl::Edit, true, true, true},
    {"Producer", "Produzent", TControl::Edit, true, true, true},
    {"Script", "Drehbuch", TControl::Edit, true, false, false},
    {"MusicProducer", "Musikproduzent", TControl::Edit, true, false, false},
    {"Director", "Regie", TControl::Edit, true, false, false},
    {"Date", "Erfassungsdatum", TControl::Date, true, true, true},
    {"ProducerDate", "Produktionsdatum", TControl::Date, true, true, true},
    {"LengthMinute", "Spielzeit (Min.)", TControl::Edit, true, true, true},
    {"DVDCount", "Anzahl DVDs", TControl::Edit, true, false, true},
    {"Price", "Preis ", TControl::Edit, true, true, true},
    {"AgeReleasing", "Altersfreigabe", TControl::Fixed, true, true, true},
    {"Group", "Gruppenzuord.", TControl::Values, true, true, true},
    {"TechQuality", "Technische Qualität", TControl::Values, true, true, true},
    {"ArtQuality", "Künstlerische Qualität", TControl::Values, true, true, true},
    {"Genre", "Genre", TControl::Values, true, false, false},
    {"SoundFormat", "Soundformat", TControl::Values, true, true, false},
    {"DVDCoding", "Ländercode", TControl::Fixed, true, false, false},
    {"PictureFormat", "Bildformat", TControl::Fixed, true, false, false},
    {"FilmFormat", "Filmformat", TControl::Fixed, true, false, false},
    {"US-Ratings", "US-Ratings", TControl::Fixed, true, false, false},
    {"Anamorph", "Anamorph", TControl::Check, true, false, false},
    {"THX", "THX", TControl::Check, true, false, false},
};

bool OnPage(const TFieldSpec& spec, TDvdKind kind) {
    return kind == TDvdKind::Film ? spec.film : kind == TDvdKind::Music ? spec.music : spec.data;
}

QStringList FixedItems(const QString& field, TDvdKind kind) {
    if (field == QLatin1String("AgeReleasing"))
        return TValueLists::AgeReleasing(kind);
    if (field == QLatin1String("DVDCoding"))
        return TValueLists::DVDCodingPage();
    if (field == QLatin1String("PictureFormat"))
        return TValueLists::PictureFormatPage();
    if (field == QLatin1String("FilmFormat"))
        return TValueLists::FilmFormatPage();
    return TValueLists::USRatings();
}

const QDate kNoDate(100, 1, 1); // the date box's "empty" value, below every real date

} // namespace

TRecordPage::TRecordPage(TDvdKind kind, TAdsTable& table, TValueLists& valueLists, const QString& programFolder,
                         QWidget* parent)
    : QWidget(parent), kind_(kind), table_(table), programFolder_(programFolder) {
    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(12);
    std::vector<std::pair<QString, QWidget*>> rows;

    for (const TFieldSpec& spec : kFields) {
        if (!OnPage(spec, kind))
            continue;
        const QString field = QString::fromLatin1(spec.field);
        QWidget* editor = nullptr;
        switch (spec.control) {
        case TControl::Edit: {
            auto* edit = new QLineEdit(this);
            BindLineEdit(field, edit);
            editor = edit;
            break;
        }
        case TControl::Date: {
            auto* date = new QDateEdit(this);
            date->setCalendarPopup(true);
            date->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
            date->setMinimumDate(kNoDate);
            date->setSpecialValueText(QStringLiteral(" "));
            // A double click opens the calendar, as the arrow button does.
            if (QLineEdit* text = date->findChild<QLineEdit*>())
                text->installEventFilter(this);
            connect(date, &QDateEdit::dateChanged, this, [this, field](const QDate& value) {
                Store(field, [&] {
                    table_.FieldByName(field).SetValue(value == kNoDate ? QVariant() : QVariant(value));
                });
            });
            AddBinding({field, date, [this, field, date] {
                            const QDate value = table_.FieldByName(field).AsDate();
                            date->setDate(value.isValid() ? value : kNoDate);
                        }});
            editor = date;
            break;
        }
        case TControl::Check: {
            auto* check = new QCheckBox(Tr(spec.caption), this);
            connect(check, &QCheckBox::toggled, this, [this, field](bool on) {
                Store(field, [&] { table_.FieldByName(field).SetAsBoolean(on); });
            });
            AddBinding({field, check, [this, field, check] {
                            check->setChecked(table_.FieldByName(field).AsBoolean());
                        }});
            editor = check;
            break;
        }
        case TControl::Fixed: {
            auto* combo = new QComboBox(this);
            for (const QString& item : FixedItems(field, kind)) {
                const qsizetype tab = item.indexOf(QLatin1Char('\t'));
                combo->addItem(tab < 0 ? item : item.left(tab), tab < 0 ? item : item.mid(tab + 1));
            }
            connect(combo, &QComboBox::activated, this, [this, field, combo](int index) {
                Store(field, [&] { table_.FieldByName(field).SetAsString(combo->itemData(index).toString()); });
            });
            AddBinding({field, combo, [this, field, combo] {
                            combo->setCurrentIndex(combo->findData(table_.FieldByName(field).AsString()));
                        }});
            editor = combo;
            break;
        }
        case TControl::Values: {
            auto* combo = new QComboBox(this);
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert);
            combo->setToolTip(Tr("Wählen Sie hier einen Begriff aus oder geben Sie einen neuen Begriff ein, in dem "
                                 "Sie das Fenster aufklappen, den neuen Begriff eingeben und dann ENTER drücken....."));
            TValueList* list = valueLists.Find(field, kind);
            if (list)
                combo->addItems(list->PageItems());
            combo->installEventFilter(this);
            connect(combo, &QComboBox::currentTextChanged, this, [this, field, combo](const QString& text) {
                if (combo->hasFocus() || combo->view()->isVisible())
                    Store(field, [&] { table_.FieldByName(field).SetAsString(text); });
            });
            AddBinding({field, combo,
                        [this, field, combo] { combo->setCurrentText(table_.FieldByName(field).AsString()); }, list});
            editor = combo;
            break;
        }
        }
        editor->setObjectName(field);
        rows.emplace_back(spec.control == TControl::Check ? QString() : Tr(spec.caption), editor);
    }
    for (int i = 1; i <= 5; ++i) {
        const QString field = QStringLiteral("UD%1").arg(i);
        auto* edit = new QLineEdit(this);
        edit->setObjectName(field);
        BindLineEdit(field, edit);
        rows.emplace_back(QStringLiteral("BenutzerdefiniertFeld%1").arg(i), edit);
    }

    // Two columns of label + control, filled top to bottom.
    const int half = int(rows.size() + 1) / 2;
    for (int i = 0; i < int(rows.size()); ++i) {
        const int column = i < half ? 0 : 2;
        const int row = i < half ? i : i - half;
        auto* label = new QLabel(rows[i].first, this);
        label->setBuddy(rows[i].second);
        if (rows[i].second->objectName().startsWith(QLatin1String("UD")))
            userCaptions_.push_back(label);
        grid->addWidget(label, row, column, Qt::AlignRight);
        grid->addWidget(rows[i].second, row, column + 1);
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(half, 1);
}

QWidget* TRecordPage::Editor(const QString& field) const {
    for (const TBinding& binding : bindings_)
        if (binding.field.compare(field, Qt::CaseInsensitive) == 0)
            return binding.editor;
    return nullptr;
}

void TRecordPage::SetUserCaptions(const QStringList& captions) {
    for (size_t i = 0; i < userCaptions_.size() && i < size_t(captions.size()); ++i)
        userCaptions_[i]->setText(captions[qsizetype(i)]);
}

void TRecordPage::Load() {
    if (loading_ || !table_.Active())
        return;
    loading_ = true;
    for (const TBinding& binding : bindings_) {
        const QSignalBlocker blocker(binding.editor);
        if (table_.FindField(binding.field))
            binding.load();
        binding.editor->setEnabled(table_.FindField(binding.field) != nullptr);
    }
    loading_ = false;
}

void TRecordPage::BindLineEdit(const QString& field, QLineEdit* edit) {
    connect(edit, &QLineEdit::textEdited, this, [this, field, edit] {
        Store(field, [&] { table_.FieldByName(field).SetAsString(edit->text()); });
    });
    AddBinding({field, edit, [this, field, edit] {
                    edit->setText(table_.FieldByName(field).AsString());
                    edit->setCursorPosition(0);
                }});
}

void TRecordPage::Store(const QString& field, const std::function<void()>& assign) {
    if (loading_ || !table_.Active() || !table_.FindField(field))
        return;
    loading_ = true; // the table's change notice must not reload the control being typed in
    try {
        if (table_.State() == TAdsTable::TState::Browse) {
            if (table_.IsEmpty())
                table_.Insert();
            else
                table_.Edit();
        }
        assign();
    } catch (const EMovarixError& error) {
        loading_ = false;
        emit EditFailed(error.Message());
        return;
    }
    loading_ = false;
}

bool TRecordPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (auto* date = qobject_cast<QDateEdit*>(watched->parent())) {
            QCalendarWidget* calendar = date->calendarWidget();
            calendar->setSelectedDate(date->date());
            QWidget* popup = calendar->window();
            popup->move(date->mapToGlobal(QPoint(0, date->height())));
            popup->show();
            return true;
        }
    }
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        for (const TBinding& binding : bindings_) {
            if (binding.editor != watched || !binding.valueList)
                continue;
            auto* combo = static_cast<QComboBox*>(binding.editor);
            try {
                if (event->type() == QEvent::FocusIn)
                    binding.valueList->Enter(programFolder_);
                else
                    binding.valueList->Exit(programFolder_, combo->currentText());
            } catch (const EMovarixError& error) {
                emit EditFailed(error.Message());
            }
            // The list may have grown from the file or by the typed value.
            const QSignalBlocker blocker(combo);
            const QString text = combo->currentText();
            combo->clear();
            combo->addItems(binding.valueList->PageItems());
            combo->setCurrentText(text);
        }
    }
    return QWidget::eventFilter(watched, event);
}
