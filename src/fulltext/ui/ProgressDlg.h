#pragma once
// TrbProgressDlg: the small window a running index build shows. A statistics
// panel (word count, elapsed time, cache memory and its peak) above two
// gauges, "Reading" and "Writing", and a Cancel button that gives way to
// "Close" when the build is over or can no longer be cancelled. Double-
// clicking the window folds the statistics panel away ("Shrink") or brings
// it back ("Expand"); the pop-up menu also switches "Auto Close".
//
// The window only shows what it is told: TrbProgressDialog drives it from
// the engine's notifications.

#include <QDialog>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;

class TrbProgressDlg : public QDialog {
    Q_OBJECT

public:
    // Client size with the statistics panel shown.
    static constexpr int ExpandedWidth = 204;
    static constexpr int ExpandedHeight = 217;
    static constexpr int StatisticsHeight = 73;

    explicit TrbProgressDlg(QWidget* parent = nullptr);

    // Empty statistics, both gauges at 0, Cancel visible and default, the caption given.
    void Reset(const QString& caption);

    bool AutoClose() const { return autoClose_; }
    void SetAutoClose(bool on);
    // True while the statistics panel is shown.
    bool Expanded() const { return expanded_; }
    void SetExpanded(bool on);
    void ToggleExpanded() { SetExpanded(!expanded_); }

    void SetStatistics(const QString& wordCount, const QString& elapsed, const QString& memory,
                       const QString& maxMemory);
    // Swaps Cancel for "Close" (made the default button).
    void ShowCloseButton();

    // The parts, for the component that drives the window.
    QProgressBar* ReadingGauge() const { return reading_; }
    QProgressBar* WritingGauge() const { return writing_; }
    QPushButton* CancelButton() const { return cancel_; }
    QPushButton* CloseButton() const { return close_; }
    QFrame* StatisticsPanel() const { return statistics_; }
    QLabel* WordCountLabel() const { return wordCount_; }
    QLabel* ElapsedLabel() const { return elapsed_; }
    QLabel* MemoryLabel() const { return memory_; }
    QLabel* MaxMemoryLabel() const { return maxMemory_; }
    QMenu* PopupMenu() const { return menu_; }
    QAction* ExpandAction() const { return expandAction_; }
    QAction* AutoCloseAction() const { return autoCloseAction_; }

signals:
    void cancelClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // Escape and the window manager's close go through Cancel first: the
    // window closes only as "Close" does.
    void reject() override;

private:
    void UpdateMenu();

    QFrame* statistics_ = nullptr;
    QFrame* gauges_ = nullptr;
    QLabel* wordCount_ = nullptr;
    QLabel* elapsed_ = nullptr;
    QLabel* memory_ = nullptr;
    QLabel* maxMemory_ = nullptr;
    QProgressBar* reading_ = nullptr;
    QProgressBar* writing_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* close_ = nullptr;
    QMenu* menu_ = nullptr;
    QAction* expandAction_ = nullptr;
    QAction* autoCloseAction_ = nullptr;
    bool autoClose_ = true;
    bool expanded_ = true;
};
