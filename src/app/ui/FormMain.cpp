#include "app/ui/FormMain.h"

#include "app/ui/FormAbout.h"
#include "app/ui/HelpWindow.h"
#include "app/ui/TrayMenu.h"
#include "app/ui/KindGrid.h"
#include "app/ui/NavigatorBar.h"
#include "app/ui/NotesEdit.h"
#include "app/ui/RecordPage.h"
#include "catalogue/CatalogueSession.h"
#include "catalogue/GridModel.h"
#include "controls/ui/ExtrudeLabel.h"
#include "controls/ui/HintTiming.h"
#include "controls/ui/TipsDialog.h"
#include "controls/ui/ZebGauge.h"
#include "fulltext/FullTextIndexer.h"
#include "fulltext/ui/ProgressDialog.h"
#include "fulltext/ui/ProgressDlg.h"
#include "platform/MovarixError.h"
#include "platform/TextFile.h"
#include "platform/Translate.h"
#include "platform/UserInterface.h"
#include "store/AdsTable.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QMenuBar>
#include <QScreen>
#include <QStackedWidget>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTextEdit>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

namespace {

const QString kMain = QStringLiteral("Main");
constexpr TDvdKind kKinds[] = {TDvdKind::Film, TDvdKind::Music, TDvdKind::Data};

} // namespace

TFormMain::TFormMain(TUserInterface& ui, const TFolders& folders, QWidget* parent)
    : QMainWindow(parent), ui_(ui), folders_(folders),
      zebIni_(QStringLiteral("ZebINI_Prog"), QCoreApplication::applicationDirPath(), static_cast<TFormPlacement*>(this)) {
    setWindowTitle(QStringLiteral("Movarix"));
    setMinimumSize(800, 600);
    hintTiming_ = new THintTiming(this);
    resize(803, 563 + 90);

    // FormCreate: the program folder becomes the current directory; the
    // settings file lies in the Windows folder.
    folders_.EnsureProgramFolder();
    QDir::setCurrent(folders_.ProgramFolder());
    QDir().mkpath(folders_.WindowsFolder());
    zebIni_.SetINIFileName(folders_.SettingsFile());
    zebIni_.SetSaveWinPos(TSaveWinPos::swpSizePosition);
    zebIni_.OnReadINI = [this](TZebINI&) { INIWerteLesen(); };
    zebIni_.OnWriteINI = [this](TZebINI&) { ZebINI_ProgWriteINI(); };

    session_ = std::make_unique<TCatalogueSession>(folders_.ProgramFolder(), zebIni_, ui_,
                                                   static_cast<TCatalogueStatus*>(this));

    BuildPages();
    BuildMenus();
    BuildToolbar();
    BuildStatusBar();

    timerStartUp_ = new QTimer(this);
    timerStartUp_->setInterval(200);
    timerStartUp_->setSingleShot(true);
    connect(timerStartUp_, &QTimer::timeout, this, &TFormMain::Timer_StartUpTimer);
    timerStatus_ = new QTimer(this);
    timerStatus_->setInterval(1000);
    timerStatus_->setSingleShot(true);
    connect(timerStatus_, &QTimer::timeout, this, [this] {
        ui_.ShowMessage(Tr("Drücken Sie den Knopf mit dem Pluszeichen (unten im Steuerelement) um einen neuen "
                           "Datensatz zu erzeugen...."));
    });
    timerTips_ = new QTimer(this);
    timerTips_->setInterval(1000);
    timerTips_->setSingleShot(true);
    connect(timerTips_, &QTimer::timeout, this, &TFormMain::Timer_tipsTimer);

    TAdsTable& table = session_->TableDVD();
    connect(&table, &TAdsTable::RecordChanged, this, &TFormMain::RecordChanged);
    connect(&table, &TAdsTable::StateChanged, this, &TFormMain::RecordChanged);

    zebIni_.ReadINI();
}

TFormMain::~TFormMain() {
    if (progress_)
        progress_->SetEngine(nullptr);
    session_->SetSearcher(nullptr);
    session_->SetIndexer(nullptr);
    indexer_.reset();
}

// ---------------------------------------------------------------- building

void TFormMain::BuildPages() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    kindLabel_ = new TExtrudeLabel(central);
    kindLabel_->SetDepth(5);
    kindLabel_->setAlignment(Qt::AlignCenter);
    kindLabel_->setToolTip(Tr("Hier sehen Sie, welchen DVD-Typ Sie zur Zeit anzeigen...."));
    QFont labelFont = kindLabel_->font();
    labelFont.setBold(true);
    labelFont.setPointSizeF(labelFont.pointSizeF() * 1.8);
    kindLabel_->setFont(labelFont);
    layout->addWidget(kindLabel_);

    notebook_ = new QStackedWidget(central);
    TAdsTable& table = session_->TableDVD();
    for (TDvdKind kind : kKinds) {
        const size_t k = size_t(kind);
        const TDvdKindInfo& info = TDvdKinds::Info(kind);
        auto* pageSet = new QTabWidget(notebook_);
        pageSets_[k] = pageSet;

        pages_[k] = new TRecordPage(kind, table, valueLists_, folders_.ProgramFolder(), pageSet);
        connect(pages_[k], &TRecordPage::EditFailed, this,
                [this](const QString& message) { ui_.ErrorBox(QString(), message); });
        pageSet->addTab(pages_[k], Tr("1. Teil"));

        auto* notesPage = new QWidget(pageSet);
        auto* notesLayout = new QVBoxLayout(notesPage);
        notesLayout->addWidget(new QLabel(Tr(info.notesCaption), notesPage));
        notes_[k] = new TNotesEdit(notesPage);
        notes_[k]->setObjectName(QStringLiteral("NotesFilm"));
        connect(notes_[k], &QTextEdit::textChanged, this, [this, k] {
            if (loadingNotes_ || !session_->TableDVD().Active())
                return;
            Guarded([this, k] {
                TAdsTable& t = session_->TableDVD();
                loadingNotes_ = true;
                if (t.State() == TAdsTable::TState::Browse)
                    t.IsEmpty() ? t.Insert() : t.Edit();
                t.FieldByName(QStringLiteral("NotesFilm")).SetAsString(notes_[k]->StoredText());
                loadingNotes_ = false;
            });
            loadingNotes_ = false;
        });
        notesLayout->addWidget(notes_[k]);
        pageSet->addTab(notesPage, Tr("2. Teil"));

        grids_[k] = new TKindGrid(kind, table, valueLists_, folders_.ProgramFolder(), pageSet);
        grids_[k]->setObjectName(QLatin1String(info.gridName));
        connect(grids_[k], &TKindGrid::TitleClicked, this,
                [this](const QString& field) { Guarded([&] { session_->TitleClick(field); }); });
        connect(grids_[k], &TKindGrid::RecordDoubleClicked, this, [this, k] { pageSets_[k]->setCurrentIndex(0); });
        connect(&grids_[k]->Model(), &TGridModel::EditFailed, this,
                [this](const QString& message) { ui_.ErrorBox(QString(), message); });
        pageSet->addTab(grids_[k], Tr("3. Teil - Listenanzeige"));
        notebook_->addWidget(pageSet);
    }
    // The film grid holds its design list until a kind is selected.
    grids_[0]->ApplyColumnList(TColumnList::FilmDesignList());
    layout->addWidget(notebook_, 1);

    navigator_ = new TNavigatorBar(table, ui_, central);
    connect(navigator_, &TNavigatorBar::Failed, this, [this](const QString& message) { ui_.ErrorBox(QString(), message); });
    layout->addWidget(navigator_);
    setCentralWidget(central);
}

void TFormMain::BuildMenus() {
    auto disabled = [](QAction* action) {
        action->setEnabled(false);
        return action;
    };
    QMenu* file = menuBar()->addMenu(Tr("Datei"));
    disabled(file->addAction(Tr("Liste drucken")));
    disabled(file->addAction(Tr("Report erstellen/ändern")));
    file->addSeparator();
    disabled(file->addAction(Tr("Import")));
    disabled(file->addAction(Tr("Export")));
    file->addSeparator();
    disabled(file->addAction(Tr("Backup")));
    disabled(file->addAction(Tr("Reorganisieren")));
    file->addSeparator();
    file->addAction(Tr("Beenden"), this, &QWidget::close);
    QAction* restart = file->addAction(Tr("Restart"), this, &TFormMain::RestartProgram);
    restart->setVisible(false);

    QMenu* edit = menuBar()->addMenu(Tr("Bearbeiten"));
    edit->addAction(Tr("Filtern"))->setVisible(false);
    QAction* reset = edit->addAction(Tr("Filter-Reset"), this, &TFormMain::Reset1Click);
    reset->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    edit->addSeparator();
    QAction* copy = edit->addAction(Tr("Kopieren"), this, &TFormMain::ToolbarCopy1BtnClick);
    copy->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_C));
    QAction* paste = edit->addAction(Tr("Einfügen"), this, &TFormMain::ToolbarInsert1BtnClick);
    paste->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_V));

    QMenu* view = menuBar()->addMenu(Tr("Ansicht"));
    auto* kinds = new QActionGroup(this);
    for (TDvdKind kind : kKinds) {
        QAction* action = view->addAction(Tr(TDvdKinds::Info(kind).menuCaption), this, [this, kind] { SelectKind(kind); });
        action->setCheckable(true);
        kinds->addAction(action);
        kindActions_[size_t(kind)] = action;
    }
    kindActions_[0]->setChecked(true);
    view->addSeparator();
    toolbarVisible_ = view->addAction(Tr("Toolbar sichtbar"));
    toolbarVisible_->setCheckable(true);
    toolbarVisible_->setChecked(true);
    connect(toolbarVisible_, &QAction::toggled, this, [this](bool on) { toolbar_->setVisible(on); });

    disabled(menuBar()->addAction(Tr("Einstellungen")));
    QMenu* language = menuBar()->addMenu(Tr("Sprache/Language"));
    int languageIndex = 0;
    for (const char* name : {"Deutsch", "English", "France", "Nederlands"}) {
        QAction* action = disabled(language->addAction(QString::fromLatin1(name)));
        action->setCheckable(true);
        if (QLatin1String(name) == QLatin1String("Nederlands"))
            action->setVisible(false);
        languageActions_[size_t(languageIndex++)] = action;
    }
    QMenu* help = menuBar()->addMenu(Tr("Hilfe"));
    help->addAction(Tr("Hilfe"), this, &TFormMain::Help1Click)->setShortcut(QKeySequence(Qt::Key_F1));
    help->addAction(Tr("Tips"), this, &TFormMain::Tips1Click);
    help->addAction(Tr("Über"), this, &TFormMain::ShowAbout);
}

void TFormMain::BuildToolbar() {
    toolbar_ = addToolBar(QStringLiteral("Program"));
    toolbar_->setObjectName(QStringLiteral("Toolbar"));
    toolbar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    auto add = [this](const char* caption, const char* hint, auto slot, bool enabled = true) {
        QAction* action = toolbar_->addAction(Tr(caption));
        action->setToolTip(Tr(hint));
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    add("Setup", "Call the Optionsmenu....", [] {}, false);
    add("Ende", "Dieses Programm beenden....", [this] { close(); });
    toolbar_->addSeparator();
    add("Kopieren", "Datensatz kopieren", [this] { ToolbarCopy1BtnClick(); });
    add("Einfügen", "Datensatz einfügen", [this] { ToolbarInsert1BtnClick(); });
    add("Reset", "Filter aufheben...(wieder alle anzeigen)", [this] { Reset1Click(); });
    add("Drucken", "Eine Liste ausdrucken...", [] {}, false);
    add("Bild zeigen", "Ein in der Datenbank gespeichertes Bild anzeigen...", [] {}, false);
    add("Über...", "Über uns...", [this] { ShowAbout(); });
    toolbar_->addSeparator();
    add("Filme", "Umschalten auf Film-DVDs...", [this] { FilmDVD1Click(); });
    add("Musik", "Umschalten auf Musik-DVDs...", [this] { MusicDVD1Click(); });
    add("Daten", "Umschalten auf Daten-DVDs...", [this] { DataDVD1Click(); });
}

void TFormMain::BuildStatusBar() {
    progressPanel_ = new QLabel(Tr("Fertig !"), this);
    progressPanel_->setMinimumWidth(150);
    progressPanel_->setVisible(false);
    gauge_ = new TZebGauge(this);
    gauge_->setObjectName(QStringLiteral("ZebGauge1"));
    gauge_->SetBoxes(25);
    gauge_->setVisible(false);
    percentPanel_ = new QLabel(QStringLiteral("0"), this);
    recordNumberPanel_ = new QLabel(QStringLiteral("0"), this);
    recordNumberPanel_->setToolTip(Tr("Zeigt die aktuelle Satznr..."));
    recordNumberPanel_->setMinimumWidth(60);
    recordCountPanel_ = new QLabel(QStringLiteral("0"), this);
    recordCountPanel_->setToolTip(Tr("Zeigt, wieviele Sätze insgesammt gespeichert sind..."));
    recordCountPanel_->setMinimumWidth(60);
    searchBox_ = new QLineEdit(Tr("Suchtext eingeben"), this);
    searchBox_->setObjectName(QStringLiteral("EditFTSSearch"));
    searchBox_->setFixedWidth(250);
    searchBox_->setToolTip(Tr("Geben Sie hier einen Suchbegriff für die Volltextsuche ein und drücken Sie "
                              "abschliessend ENTER....."));
    // Entering the search box clears it; Enter runs the search.
    searchBox_->installEventFilter(this);
    connect(searchBox_, &QLineEdit::returnPressed, this,
            [this] { Guarded([this] { session_->VolltextSucheStarten(searchBox_->text()); }); });
    statusBar()->addWidget(progressPanel_);
    statusBar()->addWidget(gauge_);
    statusBar()->addWidget(percentPanel_);
    statusBar()->addWidget(recordNumberPanel_);
    statusBar()->addWidget(recordCountPanel_);
    statusBar()->addWidget(new QLabel(this), 1);
    statusBar()->addPermanentWidget(searchBox_);

    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        trayIcon_ = new QSystemTrayIcon(windowIcon(), this);
        trayIcon_->setToolTip(QStringLiteral("Talmer-DVD"));
        auto* menu = new TTrayMenu(this);
        menu->addAction(QStringLiteral("Talmer-DVD"), this, [this] {
            showNormal();
            raise();
            activateWindow();
        });
        menu->addAction(Tr("Homepage"), this, &TFormMain::Help1Click);
        menu->addAction(Tr("Über"), this, &TFormMain::ShowAbout);
        menu->addSeparator();
        menu->addAction(Tr("Beenden"), this, &QWidget::close);
        trayIcon_->setContextMenu(menu);
        trayIcon_->show();
    }
}

// ---------------------------------------------------------------- settings

void TFormMain::INIWerteLesen() {
    notesAsRichText_ = zebIni_.INIReadBool(kMain, QStringLiteral("RTFinMemofelder"), true);
    loadPicturesDirectly_ = zebIni_.INIReadBool(kMain, QStringLiteral("BildDirektLaden"), false);
    // Hints: on or off for the whole program, the pause before a tip and
    // how long it stays (the seconds key is absent until the options set it;
    // the time then stays as it is).
    hintTiming_->SetActive(zebIni_.INIReadBool(kMain, QStringLiteral("Maushilfe"), true));
    hintTiming_->SetHintPause(zebIni_.INIReadInteger(kMain, QStringLiteral("HintPause"), hintTiming_->HintPause()));
    const int hideSeconds = zebIni_.INIReadInteger(kMain, QStringLiteral("HintHidePauseSek"), -1);
    if (hideSeconds >= 0)
        hintTiming_->SetHintHidePause(std::min(hideSeconds, std::numeric_limits<int>::max() / 1000) * 1000);
    session_->SetFilterCounter(zebIni_.INIReadInteger(kMain, QStringLiteral("InternFilterNummer"), 0));
    session_->SetLastDiscNumber(zebIni_.INIReadInteger(kMain, QStringLiteral("LastDVDNo"), 1));
    userCaptions_.clear();
    for (int i = 1; i <= 5; ++i)
        userCaptions_ << zebIni_.INIReadString(kMain, QStringLiteral("BezeichnerBenutzerdefiniertesFeld%1").arg(i),
                                               QStringLiteral("BenutzerdefiniertFeld1"));
    for (TRecordPage* page : pages_)
        page->SetUserCaptions(userCaptions_);
    for (TNotesEdit* notes : notes_)
        notes->SetRichText(notesAsRichText_);
    for (TKindGrid* grid : grids_)
        grid->SetNotesRichText(notesAsRichText_);
}

void TFormMain::ZebINI_ProgWriteINI() {
    zebIni_.INIWriteString(kMain, QStringLiteral("Programmpfad"), folders_.ProgramFolder());
    zebIni_.INIWriteBool(kMain, QStringLiteral("ErstStart"), false);
    zebIni_.INIWriteInteger(kMain, QStringLiteral("InternFilterNummer"), session_->FilterCounter());
    zebIni_.INIWriteBool(kMain, QStringLiteral("Maushilfe"), hintTiming_->Active());
    zebIni_.INIWriteInteger(kMain, QStringLiteral("HintPause"), hintTiming_->HintPause());
    zebIni_.INIWriteInteger(kMain, QStringLiteral("HintHidePause"), hintTiming_->HintHidePause());
    zebIni_.INIWriteInteger(kMain, QStringLiteral("LastDVDNo"), session_->LastDiscNumber());
}

// ---------------------------------------------------------------- start and close

bool TFormMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == searchBox_ && event->type() == QEvent::FocusIn)
        searchBox_->clear(); // EditFTSSearchEnter
    return QMainWindow::eventFilter(watched, event);
}

void TFormMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        QTimer::singleShot(0, this, [this] { FormShow(); });
    }
}

bool TFormMain::FormShow() {
    shown_ = true;
    zebIni_.ReadINI();
    // The language setting chooses the help file and the ticked language.
    const struct {
        const char* setting;
        const char* helpFile;
    } languages[] = {{"GERMAN", "movarix.html"},
                     {"ENGLISH", "movarix_eng.html"},
                     {"FRANCE", "movarix_fra.html"},
                     {"NEDERLANDS", "movarix_nld.html"}};
    const QString language = zebIni_.INIReadString(kMain, QStringLiteral("Language"), QStringLiteral("German")).toUpper();
    for (size_t i = 0; i < languageActions_.size(); ++i) {
        const bool chosen = language == QLatin1String(languages[i].setting);
        languageActions_[i]->setChecked(chosen);
        if (chosen)
            helpFile_ = QLatin1String(languages[i].helpFile);
    }
    bool opened = false;
    Guarded([&] { opened = session_->Open(); });
    if (!opened) {
        if (!QFileInfo::exists(folders_.ProgramFolder() + QStringLiteral("DVD.ADT")))
            close(); // the table could not be created: the program ends
        return false;
    }
    // The full-text index: built when the catalogue has records and no
    // words table yet, then kept current by the record rules.
    indexer_ = std::make_unique<TFullTextIndexer>(session_->TableDVD(), folders_.ProgramFolder(), ui_);
    session_->SetIndexer(indexer_.get());
    session_->SetSearcher(indexer_.get());
    progress_ = new TrbProgressDialog(this);
    progress_->SetParentWidget(this);
    progress_->SetAutoClose(true);
    progress_->SetEngine(&indexer_->Make());
    Guarded([this] { indexer_->OpenAtStart(); });
    // The upgrade may have rewritten the film layout; the grid shows it.
    if (auto saved = TColumnList::LoadFile(folders_.ProgramFolder() + QStringLiteral("GridFilm.txt")))
        grids_[0]->ApplyColumnList(*saved);
    // The very first start opens the help; later ones show a tip.
    const bool firstStart = zebIni_.INIReadBool(kMain, QStringLiteral("ErstStart"), true);
    if (firstStart)
        Help1Click();
    valueLists_.LoadAtStart(folders_.ProgramFolder());
    ShowRecordCount(session_->TableDVD().RecordCount());
    notebook_->setCurrentIndex(0);
    for (QTabWidget* pageSet : pageSets_)
        pageSet->setCurrentIndex(0);
    if (!session_->TableDVD().HasRecords())
        timerStatus_->start();
    zebIni_.ReadINI();
    ShowRecordNumber(session_->TableDVD().RecNo());
    timerStartUp_->start();
    if (!firstStart)
        timerTips_->start();
    return true;
}

void TFormMain::Help1Click() {
    ShowHelpTopic(QStringLiteral("Hlp_Movarix"));
}

void TFormMain::ShowHelpContext(int helpContext) {
    ShowHelpTopic(THelpWindow::TopicOfContext(helpContext));
}

void TFormMain::ShowHelpTopic(const QString& topic) {
    if (!helpWindow_)
        helpWindow_ = new THelpWindow(this);
    if (!helpWindow_->ShowTopic(helpFile_, topic))
        ui_.ShowMessage(Tr("Die Hilfedatei ") + THelpWindow::HelpFolder() + helpFile_ + Tr(" fehlt."));
}

TTipsDialog* TFormMain::TipsDialog() const {
    return tips_;
}

void TFormMain::Tips1Click() {
    ShowTips(20, false);
}

void TFormMain::Timer_tipsTimer() {
    timerTips_->stop();
    ShowTips(10, true);
}

void TFormMain::ShowTips(int helpContext, bool onlyWhenEnabled) {
    if (tips_) {
        tips_->raise();
        tips_->activateWindow();
        return;
    }
    tips_ = TTipsDialog::ShowTips(this, TTipsDialog::kFirstTip, TTipsDialog::kTipCount, zebIni_, helpContext,
                                  onlyWhenEnabled);
    if (tips_)
        connect(tips_, &TTipsDialog::HelpRequested, this, &TFormMain::ShowHelpContext);
}

void TFormMain::ShowAbout() {
    TFormAbout about(this);
    about.exec();
}

void TFormMain::RestartProgram() {
    QProcess::startDetached(QCoreApplication::applicationFilePath(), QCoreApplication::arguments().mid(1));
    hide();
    close();
    QCoreApplication::quit();
}

void TFormMain::Timer_StartUpTimer() {
    timerStartUp_->stop();
    FilmDVD1Click();
    Guarded([this] { CheckAppPaths(); });
}

void TFormMain::CheckAppPaths() {
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty())
        data = QDir::homePath() + QStringLiteral("/.local/share");
    const QString folder = data + QStringLiteral("/applications/");
    QDir().mkpath(folder);
    const QString executable = QCoreApplication::applicationFilePath();
    TTextFile::WriteAtomically(folder + QStringLiteral("movarix.desktop"),
                               QStringLiteral("[Desktop Entry]\nType=Application\nName=Movarix\n"
                                              "Comment=Katalog für DVDs und CDs\nExec=\"%1\"\nPath=%2\n"
                                              "Terminal=false\nCategories=Office;Database;\n")
                                   .arg(executable, folders_.ProgramFolder())
                                   .toUtf8());
}

void TFormMain::FormClose() {
    if (closing_)
        return;
    closing_ = true;
    timerTips_->stop();
    if (tips_)
        tips_->reject(); // writes whether tips show at the next start
    THourglass hourglass(ui_);
    try {
        TAdsTable& table = session_->TableDVD();
        if (table.Active() && table.State() != TAdsTable::TState::Browse)
            table.Cancel();
        zebIni_.WriteINI();
        table.Close();
        if (indexer_)
            indexer_->Close(); // the cache's changed rows go into the words table
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 500) {
            ui_.ProcessEvents();
            QThread::msleep(10);
        }
    } catch (const EMovarixError&) {
        closing_ = false;
        throw EMovarixError(Tr("Fehler beim Programm beenden..."));
    }
    for (TKindGrid* grid : grids_)
        grid->SaveColumnList();
}

void TFormMain::closeEvent(QCloseEvent* event) {
    try {
        FormClose();
        event->accept();
    } catch (const EMovarixError& error) {
        ui_.ErrorBox(QString(), error.Message());
        event->ignore();
    }
}

// ---------------------------------------------------------------- commands

void TFormMain::Guarded(const std::function<void()>& command) {
    try {
        command();
    } catch (const EAbort&) {
        // Refused by the record rules, which said why.
    } catch (const EMovarixError& error) {
        ui_.ErrorBox(QString(), error.Message());
    }
}

void TFormMain::SelectKind(TDvdKind kind) {
    Guarded([&] {
        if (!session_->SelectKind(kind))
            kindActions_[size_t(session_->CurrentKind())]->setChecked(true);
    });
}

void TFormMain::Reset1Click() {
    Guarded([this] { session_->FilterReset(); });
}

void TFormMain::ToolbarCopy1BtnClick() {
    Guarded([this] { session_->Copy(); });
}

void TFormMain::ToolbarInsert1BtnClick() {
    Guarded([this] { session_->Paste(); });
}

void TFormMain::RecordChanged() {
    TAdsTable& table = session_->TableDVD();
    if (!table.Active())
        return;
    const size_t k = size_t(session_->CurrentKind());
    pages_[k]->Load();
    if (!loadingNotes_) {
        loadingNotes_ = true;
        const QString notes = table.FieldByName(QStringLiteral("NotesFilm")).AsString();
        if (notes_[k]->LastStoredText() != notes)
            notes_[k]->LoadStoredText(notes);
        loadingNotes_ = false;
    }
}

// ---------------------------------------------------------------- status

void TFormMain::ShowRecordNumber(qint64 recno) {
    recordNumberPanel_->setText(QString::number(recno));
}

void TFormMain::ShowRecordCount(int count) {
    recordCountPanel_->setText(QString::number(count));
}

void TFormMain::SetProgressCaption(const QString& caption) {
    progressPanel_->setText(caption);
}

void TFormMain::SetProgressVisible(bool visible) {
    progressPanel_->setVisible(visible);
}

void TFormMain::SetSearchText(const QString& text) {
    searchBox_->setText(text);
}

void TFormMain::KindSelected(TDvdKind kind, const QList<TColumnDef>& columns) {
    const TDvdKindInfo& info = TDvdKinds::Info(kind);
    kindActions_[size_t(kind)]->setChecked(true);
    QString caption = Tr(info.labelCaption);
    caption.replace(QStringLiteral("&&"), QStringLiteral("&"));
    kindLabel_->setText(caption);
    QPalette palette = kindLabel_->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 128));
    kindLabel_->setPalette(palette);
    kindLabel_->SetFarColour(info.labelFarColour);
    grids_[size_t(kind)]->ApplyColumnList(columns);
    notebook_->setCurrentIndex(int(kind));
    RecordChanged();
}

// ---------------------------------------------------------------- placement

int TFormMain::Top() const {
    return normalGeometry().isValid() ? normalGeometry().top() : y();
}

int TFormMain::Left() const {
    return normalGeometry().isValid() ? normalGeometry().left() : x();
}

int TFormMain::Width() const {
    return normalGeometry().isValid() ? normalGeometry().width() : width();
}

int TFormMain::Height() const {
    return normalGeometry().isValid() ? normalGeometry().height() : height();
}

void TFormMain::SetTop(int top) {
    move(x(), top);
}

void TFormMain::SetLeft(int left) {
    move(left, y());
}

void TFormMain::SetWidth(int width) {
    resize(width, height());
}

void TFormMain::SetHeight(int height) {
    resize(width(), height);
}

TWindowState TFormMain::WindowState() const {
    if (windowState() & Qt::WindowMinimized)
        return TWindowState::Minimised;
    if (windowState() & Qt::WindowMaximized)
        return TWindowState::Maximised;
    return TWindowState::Normal;
}

void TFormMain::SetWindowState(TWindowState state) {
    switch (state) {
    case TWindowState::Minimised:
        setWindowState(Qt::WindowMinimized);
        break;
    case TWindowState::Maximised:
        setWindowState(Qt::WindowMaximized);
        break;
    default:
        setWindowState(Qt::WindowNoState);
        break;
    }
}

void TFormMain::SetPosition(TFormPosition position) {
    if (position != TFormPosition::ScreenCentre)
        return;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        move(available.center() - QPoint(width() / 2, height() / 2));
    }
}
