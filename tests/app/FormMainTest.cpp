// The main window under the offscreen platform: the first start, kinds,
// the empty-record refusal from the page and the grid layout across starts.

#include "app/ui/FormMain.h"
#include "app/ui/GridComboDelegate.h"
#include "app/ui/HelpWindow.h"
#include "app/ui/NotesEdit.h"
#include "app/ui/KindGrid.h"
#include "app/ui/NavigatorBar.h"
#include "app/ui/RecordPage.h"
#include "catalogue/CatalogueSession.h"
#include "catalogue/GridModel.h"
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
#include <QToolButton>

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
