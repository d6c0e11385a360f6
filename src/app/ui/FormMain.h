#pragma once
// The main window: menus, toolbar, status bar, the kind notebook with the
// record pages, notes pages and list grids of the three kinds, and the
// navigator. It owns the catalogue session and the settings component,
// runs the start sequence when it is first shown and the orderly close.

#include "app/FormPlacement.h"
#include "app/ZebINI.h"
#include "catalogue/CatalogueStatus.h"
#include "catalogue/DvdKind.h"
#include "catalogue/ValueLists.h"
#include "platform/Folders.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <memory>

class QAction;
class QLabel;
class TExtrudeLabel;
class THintTiming;
class TTipsDialog;
class TZebGauge;
class QLineEdit;
class QStackedWidget;
class QTabWidget;
class QTextEdit;
class QTimer;
class QSystemTrayIcon;
class TCatalogueSession;
class TFullTextIndexer;
class TrbProgressDialog;
class THelpWindow;
class TKindGrid;
class TNavigatorBar;
class TNotesEdit;
class TRecordPage;
class TUserInterface;

class TFormMain : public QMainWindow, private TCatalogueStatus, private TFormPlacement {
    Q_OBJECT

public:
    TFormMain(TUserInterface& ui, const TFolders& folders, QWidget* parent = nullptr);
    ~TFormMain() override;

    TCatalogueSession& Session() const { return *session_; }
    TFullTextIndexer* Indexer() const { return indexer_.get(); }
    TZebINI& ZebINI_Prog() { return zebIni_; }
    TKindGrid& Grid(TDvdKind kind) const { return *grids_[size_t(kind)]; }
    TRecordPage& Page(TDvdKind kind) const { return *pages_[size_t(kind)]; }
    QTabWidget& PageSet(TDvdKind kind) const { return *pageSets_[size_t(kind)]; }
    QAction* KindAction(TDvdKind kind) const { return kindActions_[size_t(kind)]; }
    QLineEdit& SearchBox() const { return *searchBox_; }
    QLabel& RecordNumberPanel() const { return *recordNumberPanel_; }
    QLabel& RecordCountPanel() const { return *recordCountPanel_; }
    TNavigatorBar& Navigator() const { return *navigator_; }
    TNotesEdit& Notes(TDvdKind kind) const { return *notes_[size_t(kind)]; }

    // The steps of the start, run once when the window is first shown; also
    // callable directly (tests). False when the catalogue could not be opened.
    bool FormShow();
    // The orderly close: settings, table, column lists.
    void FormClose();
    // The command the start-up timer runs 200 ms after the start.
    void Timer_StartUpTimer();
    // The tips timer: one second after a start that is not the first, the
    // tips dialog opens unless the user switched it off.
    void Timer_tipsTimer();
    QTimer& Timer_tips() const { return *timerTips_; }
    // Menu "Hilfe" / "Tips": the tips dialog, always.
    void Tips1Click();
    // The open tips dialog, if any.
    TTipsDialog* TipsDialog() const;
    // When tool tips appear and how long they stay, from the settings.
    THintTiming& HintTiming() const { return *hintTiming_; }

    void FilmDVD1Click() { SelectKind(TDvdKind::Film); }
    void MusicDVD1Click() { SelectKind(TDvdKind::Music); }
    void DataDVD1Click() { SelectKind(TDvdKind::Data); }
    void Reset1Click();
    void ToolbarCopy1BtnClick();
    void ToolbarInsert1BtnClick();

    // Writes the desktop entry that registers the program with the desktop.
    void CheckAppPaths();
    // F1: the main help topic of the current help file.
    void Help1Click();
    // The help topic of a window's help context.
    void ShowHelpContext(int helpContext);
    // Starts a new instance of the program and ends this one.
    void RestartProgram();
    void ShowAbout();
    THelpWindow* HelpWindow() const { return helpWindow_; }
    const QString& HelpFile() const { return helpFile_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    void BuildToolbar();
    void BuildStatusBar();
    void BuildPages();
    void SelectKind(TDvdKind kind);
    void INIWerteLesen();
    void ShowTips(int helpContext, bool onlyWhenEnabled);
    void ShowHelpTopic(const QString& topic);
    void ZebINI_ProgWriteINI();
    void RecordChanged();
    // Runs a command; an error is shown in the error box and the program goes on.
    void Guarded(const std::function<void()>& command);

    // TCatalogueStatus
    void ShowRecordNumber(qint64 recno) override;
    void ShowRecordCount(int count) override;
    void SetProgressCaption(const QString& caption) override;
    void SetProgressVisible(bool visible) override;
    void SetSearchText(const QString& text) override;
    void KindSelected(TDvdKind kind, const QList<TColumnDef>& columns) override;

    // TFormPlacement
    int Top() const override;
    int Left() const override;
    int Width() const override;
    int Height() const override;
    void SetTop(int top) override;
    void SetLeft(int left) override;
    void SetWidth(int width) override;
    void SetHeight(int height) override;
    TWindowState WindowState() const override;
    void SetWindowState(TWindowState state) override;
    void SetPosition(TFormPosition position) override;

    TUserInterface& ui_;
    TFolders folders_;
    TZebINI zebIni_;
    TValueLists valueLists_;
    std::unique_ptr<TCatalogueSession> session_;
    std::unique_ptr<TFullTextIndexer> indexer_; // goes before the session's table
    TrbProgressDialog* progress_ = nullptr;     // the build's progress window

    // values read from the settings
    bool notesAsRichText_ = true;
    bool loadPicturesDirectly_ = false;
    THintTiming* hintTiming_ = nullptr; // hints on, hint pause, hint hide pause
    QStringList userCaptions_;

    TExtrudeLabel* kindLabel_ = nullptr;
    TZebGauge* gauge_ = nullptr;
    QStackedWidget* notebook_ = nullptr;
    std::array<QTabWidget*, 3> pageSets_{};
    std::array<TRecordPage*, 3> pages_{};
    std::array<TNotesEdit*, 3> notes_{};
    std::array<TKindGrid*, 3> grids_{};
    std::array<QAction*, 3> kindActions_{};
    std::array<QAction*, 4> languageActions_{};
    QString helpFile_ = QStringLiteral("movarix.html");
    THelpWindow* helpWindow_ = nullptr;
    QAction* toolbarVisible_ = nullptr;
    QToolBar* toolbar_ = nullptr;
    TNavigatorBar* navigator_ = nullptr;
    QLabel* progressPanel_ = nullptr;
    QLabel* percentPanel_ = nullptr;
    QLabel* recordNumberPanel_ = nullptr;
    QLabel* recordCountPanel_ = nullptr;
    QLineEdit* searchBox_ = nullptr;
    QSystemTrayIcon* trayIcon_ = nullptr;
    QTimer* timerStartUp_ = nullptr;
    QTimer* timerStatus_ = nullptr;
    QTimer* timerTips_ = nullptr;
    QPointer<TTipsDialog> tips_;
    bool shown_ = false;
    bool closing_ = false;
    bool loadingNotes_ = false;
};
