#include "app/ui/NavigatorBar.h"

#include "platform/MovarixError.h"
#include "platform/Translate.h"
#include "platform/UserInterface.h"
#include "store/AdsTable.h"

#include <QHBoxLayout>
#include <QToolButton>

#include <functional>

TNavigatorBar::TNavigatorBar(TAdsTable& table, TUserInterface& ui, QWidget* parent)
    : QWidget(parent), table_(table), ui_(ui) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    struct TButton {
        const char* name;
        const char* glyph;
        const char* hint;
        std::function<void()> action;
        bool repeat;
    };
    const TButton buttons[] = {
        {"first", "|◀", "Zum ersten Satz springen (Datenbankanfang)...", [this] { table_.First(); }, false},
        {"priorPage", "◀◀", "10 Sätze zurück blättern...", [this] { table_.MoveBy(-10); }, true},
        {"prior", "◀", "Zum vorherigen Satz...", [this] { table_.Prior(); }, true},
        {"next", "▶", "Zum nächsten Satz blättern...", [this] { table_.Next(); }, true},
        {"nextPage", "▶▶", "10 Sätze vorwärts blättern...", [this] { table_.MoveBy(10); }, true},
        {"last", "▶|", "Zum letzten Satz (Datenbankende)...", [this] { table_.Last(); }, false},
        {"insert", "+", "Neuen Satz einfügen...", [this] { table_.Insert(); }, false},
        {"delete", "−", "Satz löschen....", [this] {
             if (ui_.Confirm(Tr("Satz löschen ?")))
                 table_.Delete();
         }, false},
        {"post", "✔", "Satz speichern...", [this] { table_.Post(); }, false},
        {"cancel", "✖", "Editieren abbrechen....", [this] { table_.Cancel(); }, false},
        {"remember", "☆", "Diesen Satz merken..", [this] { remembered_ = table_.RecNo(); }, false},
        {"goto", "★", "Zum gemerkten Satz springen...", [this] {
             if (remembered_ != 0)
                 table_.GotoRecNo(remembered_);
         }, false},
    };
    for (const TButton& spec : buttons) {
        auto* button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(spec.name));
        button->setText(QString::fromUtf8(spec.glyph));
        button->setToolTip(Tr(spec.hint));
        button->setAutoRepeat(spec.repeat);
        button->setAutoRepeatDelay(500);
        button->setAutoRepeatInterval(100);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        const std::function<void()> action = spec.action;
        connect(button, &QToolButton::clicked, this, [this, action] {
            try {
                action();
            } catch (const EAbort&) {
                // The record rules refused and said why.
            } catch (const EMovarixError& error) {
                emit Failed(error.Message());
            }
            UpdateButtons();
        });
        layout->addWidget(button);
    }
    connect(&table_, &TAdsTable::StateChanged, this, &TNavigatorBar::UpdateButtons);
    connect(&table_, &TAdsTable::RecordChanged, this, &TNavigatorBar::UpdateButtons);
}

QToolButton* TNavigatorBar::Button(const QString& name) const {
    return findChild<QToolButton*>(name);
}

void TNavigatorBar::UpdateButtons() {
    const bool active = table_.Active();
    const bool editing = active && table_.State() != TAdsTable::TState::Browse;
    const bool hasRecord = active && table_.RecNo() != 0;
    for (const char* name : {"first", "priorPage", "prior", "next", "nextPage", "last"})
        Button(QLatin1String(name))->setEnabled(active);
    Button(QStringLiteral("insert"))->setEnabled(active);
    Button(QStringLiteral("delete"))->setEnabled(hasRecord || editing);
    Button(QStringLiteral("post"))->setEnabled(editing);
    Button(QStringLiteral("cancel"))->setEnabled(editing);
    Button(QStringLiteral("remember"))->setEnabled(hasRecord);
    Button(QStringLiteral("goto"))->setEnabled(active);
}
