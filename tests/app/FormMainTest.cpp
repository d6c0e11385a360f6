// The main window under the offscreen platform: the first start, kinds,
// the empty-record refusal from the page and the grid layout across starts.

#include "app/ui/FormMain.h"
#include "app/ui/GridComboDelegate.h"
#include "app/ui/HelpWindow.h"
#include "app/ui/NotesEdit.h"
#include "app/ui/KindGrid.h"
#include "app/ui/NavigatorBar.h"
#include "app/ui/NotesPopup.h"
#include "app/ui/RecordPage.h"
#include "catalogue/CatalogueSession.h"
#include "catalogue/GridModel.h"
#include "controls/ui/HintTiming.h"
#include "controls/ui/ImageButton.h"
#include "controls/ui/TipsDialog.h"
#include "platform/Folders.h"
#include "support/RecordingUserInterface.h"
#include "support/TempFolder.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QMouseEvent>
#include <QTextCursor>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QHelpEvent>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>

#include <utility>

#include <gtest/gtest.h>

namespace {

void EnsureApplication() {
    static int argc = 1;
    static char name[] = "app_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        new QApplication(argc, argv);
    }
}

class FormMainTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureApplication();
        qputenv("XDG_DATA_HOME", folder.File(QStringLiteral("xdg")).toUtf8());
    }
    std::unique_ptr<TFormMain> Start() {
        auto window = std::make_unique<TFormMain>(ui, TFolders({folder.Path(), folder.Path()}, folder.Path()));
        EXPECT_TRUE(window->FormShow());
        window->Timer_StartUpTimer();
        return window;
    }
    QString Setting(const char* key) {
        TZebINI ini(QStringLiteral("x"), folder.Path());
        ini.SetINIFileName(folder.File(QStringLiteral("Talmer-DVD.ini")));
        return ini.INIReadString(QStringLiteral("Main"), QString::fromLatin1(key), QStringLiteral("(absent)"));
    }

    TTempFolder folder;
    TRecordingUserInterface ui;
};

TEST_F(FormMainTest, FirstStartCreatesTheCatalogueAndClosingWritesTheSettings) {
    auto window = Start();
    EXPECT_EQ(ui.Messages(),
              (QStringList{"Neue Datenbank erzeugt !",
                           "Drücken Sie OK, um die Datenbank jetzt anzupassen....bitte haben Sie etwas Geduld...",
                           "Datenbank aktualisiert und erneut geöffnet !"}));
    EXPECT_TRUE(QFile::exists(folder.File(QStringLiteral("DVD.ADT"))));
    EXPECT_TRUE(QFile::exists(folder.File(QStringLiteral("DVD.ADI"))));
    EXPECT_TRUE(window->KindAction(TDvdKind::Film)->isChecked());
    EXPECT_EQ(window->Session().TableDVD().IndexName(), QStringLiteral("DVDNoFilm"));
    // The upgrade of the new table (THX) saved the film grid's design list
    // with the THX column; selecting the film kind shows that saved list.
    EXPECT_EQ(window->Grid(TDvdKind::Film).model()->columnCount(), 51);
    EXPECT_EQ(window->Grid(TDvdKind::Music).model()->columnCount(), 0); // not selected yet
    EXPECT_EQ(window->SearchBox().text(), QStringLiteral("Suchtext eingeben"));
    EXPECT_TRUE(QFile::exists(folder.File(QStringLiteral("xdg/applications/movarix.desktop"))));
    // The very first start opens the help at its main topic.
    ASSERT_NE(window->HelpWindow(), nullptr);
    EXPECT_TRUE(window->HelpWindow()->isVisible());
    EXPECT_EQ(window->HelpWindow()->CurrentTopic(), QStringLiteral("Hlp_Movarix"));
    EXPECT_TRUE(window->HelpWindow()->toPlainText().contains(QStringLiteral("Film-DVDs")));

    window->close();
    EXPECT_EQ(Setting("ErstStart"), QStringLiteral("0"));
    EXPECT_EQ(Setting("LastDVDNo"), QStringLiteral("1"));
    EXPECT_EQ(Setting("InternFilterNummer"), QStringLiteral("0"));
    for (const char* file : {"GridFilm.txt", "GridMusic.txt", "GridData.txt"})
        EXPECT_TRUE(QFile::exists(folder.File(QString::fromLatin1(file)))) << file;

    // Later starts open no help.
    auto again = Start();
    EXPECT_EQ(again->HelpWindow(), nullptr);
    again->close();
}

TEST_F(FormMainTest, AMaximisedWindowComesBackMaximisedWithItsNormalPlacement) {
    {
        auto window = Start();
        window->setGeometry(120, 80, 900, 700);
        window->close();
    }
    {
        auto window = Start();
        window->show();
        window->showMaximized();
        window->close();
    }
    TZebINI ini(QStringLiteral("x"), folder.Path());
    ini.SetINIFileName(folder.File(QStringLiteral("Talmer-DVD.ini")));
    EXPECT_EQ(ini.INIReadInteger(QStringLiteral("WinPos"), QStringLiteral("ZebINI_Prog_WindowState"), -1), 2);
    EXPECT_EQ(ini.INIReadInteger(QStringLiteral("WinPos"), QStringLiteral("ZebINI_Prog_Width"), -1), 900);
    auto window = Start();
    EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
    window->close();
}

TEST_F(FormMainTest, PageEditsGoThroughTheRecordRules) {
    auto window = Start();
    TNavigatorBar& navigator = window->Navigator();
    navigator.Button(QStringLiteral("insert"))->click();
    ui.calls.clear();
    navigator.Button(QStringLiteral("post"))->click();
    EXPECT_EQ(ui.Messages(),
              QStringList{QStringLiteral("Wichtige Felder sind noch leer, Daten eingeben oder Neuanlage abbrechen !")});

    auto* title = qobject_cast<QLineEdit*>(window->Page(TDvdKind::Film).Editor(QStringLiteral("Title")));
    ASSERT_NE(title, nullptr);
    title->setText(QStringLiteral("Metropolis"));
    emit title->textEdited(title->text());
    navigator.Button(QStringLiteral("post"))->click();
    TAdsTable& table = window->Session().TableDVD();
    EXPECT_EQ(table.State(), TAdsTable::TState::Browse);
    EXPECT_EQ(table.FieldByName(QStringLiteral("Title")).AsString(), QStringLiteral("Metropolis"));
    EXPECT_EQ(window->RecordCountPanel().text(), QStringLiteral("1"));
    EXPECT_EQ(window->Grid(TDvdKind::Film).model()->rowCount(), 1);

    // Another kind shows its own (empty) view; the film record stays.
    window->KindAction(TDvdKind::Music)->trigger();
    EXPECT_EQ(table.IndexName(), QStringLiteral("DVDNoMusic"));
    EXPECT_EQ(window->Grid(TDvdKind::Music).model()->rowCount(), 0);
    window->KindAction(TDvdKind::Film)->trigger();
    EXPECT_EQ(window->Grid(TDvdKind::Film).model()->rowCount(), 1);
    window->close();
}

TEST_F(FormMainTest, GridLayoutSurvivesARestart) {
    QList<TColumnDef> before;
    {
        auto window = Start();
        TKindGrid& grid = window->Grid(TDvdKind::Film);
        before = grid.ColumnList();
        grid.horizontalHeader()->moveSection(1, 0); // the second column first
        grid.setColumnWidth(grid.horizontalHeader()->logicalIndex(0), 300);
        window->close();
    }
    auto window = Start();
    const QList<TColumnDef> columns = window->Grid(TDvdKind::Film).ColumnList();
    ASSERT_EQ(columns.size(), before.size());
    EXPECT_EQ(columns[0].field, before[1].field);
    EXPECT_EQ(columns[1].field, before[0].field);
    EXPECT_GT(columns[0].width, before[1].width);
    window->close();
}

} // namespace

namespace {

TEST_F(FormMainTest, GridEditorsOfferTheValueListsAndFixedItems) {
    auto window = Start();
    TKindGrid& grid = window->Grid(TDvdKind::Film);
    auto* delegate = qobject_cast<TGridComboDelegate*>(grid.itemDelegate());
    ASSERT_NE(delegate, nullptr);
    EXPECT_EQ(delegate->ItemsFor(QStringLiteral("DVDCoding")).size(), 11); // RC 0 … RC 9 and empty
    EXPECT_EQ(delegate->ItemsFor(QStringLiteral("FilmFormat")), (QStringList{"PAL", "NTSC", "SECAM"}));
    EXPECT_TRUE(delegate->ItemsFor(QStringLiteral("AgeReleasing")).contains(QStringLiteral("SPIO/JK\t99")));
    EXPECT_TRUE(delegate->ItemsFor(QStringLiteral("Title")).isEmpty());

    // A typed group joins the grid list and its file.
    window->Navigator().Button(QStringLiteral("insert"))->click();
    auto* title = qobject_cast<QLineEdit*>(window->Page(TDvdKind::Film).Editor(QStringLiteral("Title")));
    title->setText(QStringLiteral("Nosferatu"));
    emit title->textEdited(title->text());
    window->Navigator().Button(QStringLiteral("post"))->click();
    grid.ApplyColumnList(TColumnList::DefaultList(TDvdKind::Film));
    const QModelIndex group = grid.model()->index(0, 7);
    ASSERT_EQ(grid.Model().Columns()[7].field, QStringLiteral("Group"));
    std::unique_ptr<QWidget> editor(delegate->createEditor(&grid, QStyleOptionViewItem(), group));
    auto* combo = qobject_cast<QComboBox*>(editor.get());
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->itemText(0), QStringLiteral("Gruppe")); // entering filled the defaults
    combo->setCurrentText(QStringLiteral("Stummfilm"));
    delegate->setModelData(combo, grid.model(), group);
    EXPECT_EQ(window->Session().TableDVD().FieldByName(QStringLiteral("Group")).AsString(), QStringLiteral("Stummfilm"));
    EXPECT_TRUE(delegate->ItemsFor(QStringLiteral("Group")).contains(QStringLiteral("Stummfilm")));
    EXPECT_TRUE(QFile::exists(folder.File(QStringLiteral("FilmBoxGroup.txt"))));
    window->close();
}

} // namespace

namespace {

TEST_F(FormMainTest, TitleClicksSortAndAFilterEndsWithAKindSwitch) {
    auto window = Start();
    TAdsTable& table = window->Session().TableDVD();
    for (const char* title : {"Zorro", "Alien", "Metropolis"}) {
        table.Insert();
        table.FieldByName(QStringLiteral("Title")).SetAsString(QString::fromLatin1(title));
        table.Post();
    }
    TKindGrid& grid = window->Grid(TDvdKind::Film);
    grid.ApplyColumnList(TColumnList::DefaultList(TDvdKind::Film));
    emit grid.horizontalHeader()->sectionClicked(1); // "Titel"
    EXPECT_EQ(table.IndexName(), QStringLiteral("TitleFilm"));
    EXPECT_EQ(grid.model()->index(0, 1).data().toString(), QStringLiteral("Alien"));
    ui.calls.clear();
    emit grid.horizontalHeader()->sectionClicked(3); // "Eigentümer": not indexed
    EXPECT_EQ(ui.calls.value(1), QStringLiteral("notice: Angeklicktes Feld ist nicht indiziert, Sortierung nicht umgeschaltet !"));
    EXPECT_EQ(table.IndexName(), QStringLiteral("TitleFilm"));

    table.SetFilter(QStringLiteral("Title=Zorro"));
    table.SetFiltered(true);
    EXPECT_EQ(grid.model()->rowCount(), 1);
    ui.calls.clear();
    window->KindAction(TDvdKind::Music)->trigger();
    EXPECT_EQ(ui.Messages(),
              QStringList{QStringLiteral("Wechsel des DVD-Typs (Film, Musik, Daten) , zuvor gesetzter Filter abgeschaltet!")});
    window->KindAction(TDvdKind::Film)->trigger();
    EXPECT_EQ(grid.model()->rowCount(), 3);
    window->close();
}

} // namespace

namespace {

TEST_F(FormMainTest, NotesFindLinksAndDateBoxesOpenTheirCalendar) {
    auto window = Start();
    window->show();
    window->PageSet(TDvdKind::Film).setCurrentIndex(1);
    TNotesEdit& notes = window->Notes(TDvdKind::Film);
    notes.setPlainText(QStringLiteral("Mehr unter https://example.org/film und sonst nichts"));
    notes.resize(600, 200);
    QTextCursor cursor(notes.document());
    cursor.setPosition(20);
    const QPoint onLink = notes.cursorRect(cursor).center();
    EXPECT_EQ(notes.LinkAt(onLink), QStringLiteral("https://example.org/film"));
    cursor.setPosition(2);
    EXPECT_TRUE(notes.LinkAt(notes.cursorRect(cursor).center()).isEmpty());
    EXPECT_EQ(window->Session().TableDVD().FieldByName(QStringLiteral("NotesFilm")).AsString(),
              notes.toPlainText()); // typing notes fills the record

    window->PageSet(TDvdKind::Film).setCurrentIndex(0);
    auto* date = qobject_cast<QDateEdit*>(window->Page(TDvdKind::Film).Editor(QStringLiteral("Date")));
    ASSERT_NE(date, nullptr);
    date->setFocus();
    QLineEdit* text = date->findChild<QLineEdit*>();
    ASSERT_NE(text, nullptr);
    QMouseEvent doubleClick(QEvent::MouseButtonDblClick, QPointF(5, 5), text->mapToGlobal(QPointF(5, 5)),
                            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(text, &doubleClick);
    QApplication::processEvents();
    ASSERT_NE(date->calendarWidget(), nullptr);
    EXPECT_TRUE(date->calendarWidget()->isVisible());
    date->calendarWidget()->window()->close();
    window->Session().TableDVD().Cancel();
    window->close();
}

} // namespace

namespace {

TEST_F(FormMainTest, RichNotesKeepTheirFormattingAndPlainNotesTheirText) {
    auto window = Start();
    window->show();
    window->PageSet(TDvdKind::Film).setCurrentIndex(1);
    TNotesEdit& notes = window->Notes(TDvdKind::Film);
    ASSERT_TRUE(notes.RichText()); // "RTFinMemofelder" is on by default
    notes.setHtml(QStringLiteral("Mit <b>Brigitte Helm</b> als Maria"));
    TAdsTable& table = window->Session().TableDVD();
    EXPECT_EQ(table.FieldByName(QStringLiteral("NotesFilm")).AsString(),
              QStringLiteral("Mit **Brigitte Helm** als Maria"));
    table.FieldByName(QStringLiteral("Title")).SetAsString(QStringLiteral("Metropolis"));
    table.Post();
    window->close();

    window->ZebINI_Prog().INIWriteBool(QStringLiteral("Main"), QStringLiteral("RTFinMemofelder"), false);
    auto plain = Start();
    EXPECT_FALSE(plain->Notes(TDvdKind::Film).RichText());
    EXPECT_EQ(plain->Notes(TDvdKind::Film).toPlainText(), QStringLiteral("Mit **Brigitte Helm** als Maria"));
    plain->close();
}

} // namespace

namespace {

// The notes column of a list grid: one line in the cell, edited in a pop-up
// that follows the rich/plain setting and stores only when accepted.
TEST_F(FormMainTest, NotesColumnIsEditedInAPopUp) {
    auto window = Start();
    window->show();
    TAdsTable& table = window->Session().TableDVD();
    const QString initial = QStringLiteral("Mit **Brigitte Helm** als Maria");
    for (const auto& [title, notes] : {std::pair{"Metropolis", initial},
                                       std::pair{"Nosferatu", QStringLiteral("Max Schreck\n\nals *Graf Orlok*")}}) {
        window->Navigator().Button(QStringLiteral("insert"))->click();
        table.FieldByName(QStringLiteral("Title")).SetAsString(QString::fromLatin1(title));
        table.FieldByName(QStringLiteral("NotesFilm")).SetAsString(notes);
        table.Post();
    }
    TKindGrid& grid = window->Grid(TDvdKind::Film);
    grid.ApplyColumnList(TColumnList::DefaultList(TDvdKind::Film));
    window->PageSet(TDvdKind::Film).setCurrentIndex(2);
    QApplication::processEvents();
    auto* delegate = qobject_cast<TGridComboDelegate*>(grid.itemDelegate());
    ASSERT_NE(delegate, nullptr);
    const int notesColumn = grid.Model().ColumnOf(QStringLiteral("NotesFilm"));
    ASSERT_GE(notesColumn, 0);
    ASSERT_EQ(grid.model()->rowCount(), 2);
    const QModelIndex first = grid.model()->index(0, notesColumn);
    const QModelIndex second = grid.model()->index(1, notesColumn);
    auto cellText = [&](const QModelIndex& index) {
        QStyleOptionViewItem option;
        delegate->initStyleOption(&option, index);
        return option.text;
    };

    // The cells read as one line of text, also for a record that is not the
    // current one (its notes are read after the paint).
    ASSERT_TRUE(table.GotoRecNo(grid.Model().RecNoAt(0)));
    EXPECT_EQ(cellText(first), QStringLiteral("Mit Brigitte Helm als Maria"));
    cellText(second);
    const QString secondLine = QStringLiteral("Max Schreck · als Graf Orlok");
    EXPECT_TRUE(QTest::qWaitFor([&] { return cellText(second) == secondLine; }, 2000)) << cellText(second).toStdString();

    enum class TOpen { DoubleClick, F2, Enter };
    enum class TClose { Ok, Cancel, Escape };
    const struct {
        bool rich;
        TOpen open;
        bool bold; // the bold button before typing
        const char* typed;
        TClose close;
        QString stored;
    } cases[] = {
        {true, TOpen::DoubleClick, false, " und Alfred Abel", TClose::Ok, initial + QStringLiteral(" und Alfred Abel")},
        {true, TOpen::F2, false, " XYZ", TClose::Cancel, initial},
        {true, TOpen::Enter, false, " XYZ", TClose::Escape, initial},
        {true, TOpen::F2, true, "Stummfilm", TClose::Ok, initial + QStringLiteral("**Stummfilm**")},
        {false, TOpen::Enter, false, " **fett**", TClose::Ok, initial + QStringLiteral(" **fett**")},
        {false, TOpen::DoubleClick, false, " XYZ", TClose::Cancel, initial},
    };
    for (const auto& c : cases) {
        const std::string name = std::to_string(&c - cases);
        window->PageSet(TDvdKind::Film).setCurrentIndex(2);
        grid.SetNotesRichText(c.rich);
        ASSERT_TRUE(table.GotoRecNo(grid.Model().RecNoAt(0)));
        table.Edit();
        table.FieldByName(QStringLiteral("NotesFilm")).SetAsString(initial);
        table.Post();
        grid.setCurrentIndex(first);
        const QPoint cell = grid.visualRect(first).center();
        switch (c.open) {
        case TOpen::DoubleClick:
            QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, cell);
            QTest::mouseDClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, cell);
            break;
        case TOpen::F2:
            QTest::keyClick(&grid, Qt::Key_F2);
            break;
        case TOpen::Enter:
            QTest::keyClick(&grid, Qt::Key_Return);
            break;
        }
        TNotesPopup* popup = grid.NotesPopup();
        ASSERT_NE(popup, nullptr) << name;
        EXPECT_TRUE(popup->isVisible());
        EXPECT_EQ(popup->windowTitle(), QStringLiteral("Schauspieler-Crew"));
        EXPECT_EQ(window->PageSet(TDvdKind::Film).currentIndex(), 2) << name; // no jump to "1. Teil"
        EXPECT_EQ(popup->Editor().RichText(), c.rich);
        EXPECT_EQ(popup->BoldButton()->isVisible(), c.rich);
        EXPECT_EQ(popup->Editor().toPlainText(), c.rich ? QStringLiteral("Mit Brigitte Helm als Maria") : initial);
        if (c.bold)
            popup->BoldButton()->click();
        QTest::keyClicks(&popup->Editor(), QString::fromUtf8(c.typed));
        EXPECT_EQ(table.FieldByName(QStringLiteral("NotesFilm")).AsString(), initial) << name; // not yet
        switch (c.close) {
        case TClose::Ok:
            popup->OkButton()->click();
            break;
        case TClose::Cancel:
            popup->CancelButton()->click();
            break;
        case TClose::Escape:
            QTest::keyClick(&popup->Editor(), Qt::Key_Escape);
            break;
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(grid.NotesPopup(), nullptr) << name;
        EXPECT_EQ(table.State(), TAdsTable::TState::Browse) << name;
        EXPECT_EQ(table.FieldByName(QStringLiteral("NotesFilm")).AsString(), c.stored) << name;
        EXPECT_EQ(table.TotalRecordCount(), 2);
        EXPECT_EQ(cellText(first), TNotesEdit::OneLine(c.stored, c.rich)) << name;
        // The notes page shows what the grid stored.
        EXPECT_EQ(window->Notes(TDvdKind::Film).LastStoredText(), c.stored) << name;
    }

    // A double click on any other column still jumps to the record's page.
    const QModelIndex title = grid.model()->index(1, 1);
    const QPoint titleCell = grid.visualRect(title).center();
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, titleCell);
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, titleCell);
    EXPECT_EQ(window->PageSet(TDvdKind::Film).currentIndex(), 0);
    EXPECT_EQ(grid.NotesPopup(), nullptr);
    EXPECT_EQ(table.FieldByName(QStringLiteral("Title")).AsString(), QStringLiteral("Nosferatu"));
    if (table.State() != TAdsTable::TState::Browse)
        table.Cancel();
    window->close();
}

} // namespace

namespace {

QString TipsSetting(const TTempFolder& folder) {
    TZebINI ini(QStringLiteral("x"), folder.Path());
    ini.SetINIFileName(folder.File(QStringLiteral("Talmer-DVD.ini")));
    return ini.INIReadString(QStringLiteral("TipsDialog"), QStringLiteral("DialogZeigen"), QStringLiteral("(absent)"));
}

QAction* MenuAction(QMainWindow& window, const QString& text) {
    for (QAction* action : window.findChildren<QAction*>())
        if (action->text() == text && !action->menu())
            return action;
    return nullptr;
}

TEST_F(FormMainTest, TipsOpenAfterLaterStartsUnlessSwitchedOffAndAlwaysFromTheMenu) {
    {
        // The first start opens the help, not the tips.
        auto window = Start();
        EXPECT_FALSE(window->Timer_tips().isActive());
        window->close();
    }
    {
        auto window = Start();
        EXPECT_TRUE(window->Timer_tips().isActive());
        EXPECT_TRUE(window->Timer_tips().isSingleShot());
        EXPECT_EQ(window->Timer_tips().interval(), 1000);
        // The timer itself opens the dialog, with the main window's help context.
        ASSERT_TRUE(QTest::qWaitFor([&] { return window->TipsDialog() != nullptr; }, 5000));
        TTipsDialog* tips = window->TipsDialog();
        EXPECT_FALSE(window->Timer_tips().isActive());
        EXPECT_TRUE(tips->isVisible());
        EXPECT_EQ(tips->HelpContext(), 10);
        EXPECT_EQ(tips->CurrentTip(), TTipsDialog::InitialText());
        // Switched off, then the program closes while the tips are open.
        tips->ToggleButton()->click();
        window->close();
        EXPECT_EQ(TipsSetting(folder), QStringLiteral("0"));
    }
    {
        auto window = Start();
        window->Timer_tipsTimer();
        EXPECT_EQ(window->TipsDialog(), nullptr);
        EXPECT_EQ(TipsSetting(folder), QStringLiteral("0"));

        // The menu shows them all the same; "Hilfe" there opens the tips' topic.
        QAction* tipsItem = MenuAction(*window, QStringLiteral("Tips"));
        ASSERT_NE(tipsItem, nullptr);
        EXPECT_TRUE(tipsItem->isEnabled());
        tipsItem->trigger();
        QPointer<TTipsDialog> tips = window->TipsDialog();
        ASSERT_NE(tips, nullptr);
        EXPECT_TRUE(tips->isVisible());
        EXPECT_EQ(tips->HelpContext(), 20);
        EXPECT_FALSE(tips->ShowAtStart());
        tips->MoreButton()->click();
        EXPECT_NE(tips->CurrentTip(), TTipsDialog::InitialText());
        tips->HelpButton()->click();
        ASSERT_NE(window->HelpWindow(), nullptr);
        EXPECT_TRUE(window->HelpWindow()->isVisible());
        EXPECT_EQ(window->HelpWindow()->CurrentTopic(), QStringLiteral("Hlp_Tips"));
        // Switched on there, they come back at the next start.
        tips->ToggleButton()->click();
        tips->OkButton()->click();
        EXPECT_EQ(TipsSetting(folder), QStringLiteral("1"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(tips.isNull());
        EXPECT_EQ(window->TipsDialog(), nullptr);
        window->close();
    }
    auto window = Start();
    window->Timer_tipsTimer();
    ASSERT_NE(window->TipsDialog(), nullptr);
    EXPECT_TRUE(window->TipsDialog()->isVisible());
    window->close();
    EXPECT_EQ(TipsSetting(folder), QStringLiteral("1"));
}

// "HintPause" and "HintHidePauseSek" from the settings file reach the
// program's tool tips; closing writes the pause and the display time in ms.
TEST_F(FormMainTest, HintTimingComesFromTheSettingsAndGoesBackThere) {
    TZebINI ini(QStringLiteral("x"), folder.Path());
    ini.SetINIFileName(folder.File(QStringLiteral("Talmer-DVD.ini")));
    const QString main = QStringLiteral("Main");
    auto askForTip = [](QWidget* widget) {
        QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), widget->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(widget, &help);
    };
    const struct {
        const char* pause;   // "HintPause" before the start (null: absent)
        const char* seconds; // "HintHidePauseSek"
        int appliedPause, appliedHidePause;
    } cases[] = {
        {nullptr, nullptr, 800, 2500}, // the design values
        {"1200", "5", 1200, 5000},
        {"300", nullptr, 300, 2500}, // no seconds: the time is left as it is
        {"1200", "0", 1200, 0},
    };
    for (const auto& c : cases) {
        ini.INIDeleteKey(main, QStringLiteral("HintPause"));
        ini.INIDeleteKey(main, QStringLiteral("HintHidePauseSek"));
        if (c.pause)
            ini.INIWriteString(main, QStringLiteral("HintPause"), QLatin1String(c.pause));
        if (c.seconds)
            ini.INIWriteString(main, QStringLiteral("HintHidePauseSek"), QLatin1String(c.seconds));
        for (int run = 0; run < 2; ++run) { // the values survive a close and a start
            auto window = Start();
            EXPECT_EQ(window->HintTiming().HintPause(), c.appliedPause);
            EXPECT_EQ(THintTiming::ApplicationHintPause(), c.appliedPause);
            EXPECT_EQ(window->HintTiming().HintHidePause(), c.appliedHidePause);
            askForTip(&window->RecordCountPanel());
            EXPECT_EQ(window->RecordCountPanel().toolTipDuration(), c.appliedHidePause > 0 ? c.appliedHidePause : -1);
            QToolTip::hideText();
            window->close();
            EXPECT_EQ(ini.INIReadString(main, QStringLiteral("HintPause"), QString()), QString::number(c.appliedPause));
            EXPECT_EQ(ini.INIReadString(main, QStringLiteral("HintHidePause"), QString()),
                      QString::number(c.appliedHidePause));
        }
    }

    // "Maushilfe" off: no tool tip anywhere in the program; on: they show.
    for (bool hints : {false, true}) {
        ini.INIWriteBool(main, QStringLiteral("Maushilfe"), hints);
        auto window = Start();
        window->show();
        QToolTip::hideText();
        EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 2000));
        askForTip(&window->RecordCountPanel());
        EXPECT_EQ(QToolTip::isVisible(), hints);
        QToolTip::hideText();
        window->close();
        EXPECT_EQ(ini.INIReadBool(main, QStringLiteral("Maushilfe"), !hints), hints);
    }
}

} // namespace
