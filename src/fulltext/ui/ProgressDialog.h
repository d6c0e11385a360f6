#pragma once
// TrbProgressDialog: shows a build's progress in a TrbProgressDlg. It listens
// to the build engine (state changes, every catalogue record read, every
// word row posted), so the engine knows nothing of the window. The window is
// made on the first state change of a build and thrown away when it closes;
// the next build gets a fresh one.
//
// Refreshes are throttled to one per RefreshInterval milliseconds; each
// lets pending user-interface work run, which is how the Cancel button
// reaches a build that runs on the user-interface thread.

#include "fulltext/EngineListener.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class TrbMake;
class TrbProgressDlg;
class QWidget;

class TrbProgressDialog : public QObject, public TrbEngineListener {
    Q_OBJECT

public:
    explicit TrbProgressDialog(QObject* parent = nullptr);
    ~TrbProgressDialog() override;

    // Attaches to the engine's notifications and its text link's record
    // event (detaching from a previous engine first); nullptr detaches.
    TrbMake* Engine() const { return engine_; }
    void SetEngine(TrbMake* engine);

    bool AutoClose() const { return autoClose_; }
    void SetAutoClose(bool on) { autoClose_ = on; }
    bool Expanded() const { return expanded_; }
    void SetExpanded(bool on) { expanded_ = on; }
    int RefreshInterval() const { return refreshInterval_; }
    void SetRefreshInterval(int milliseconds) { refreshInterval_ = milliseconds < 0 ? 0 : milliseconds; }
    // Called once each time a window is made, before it is first shown.
    void SetOnFormCreate(std::function<void(TrbProgressDlg&)> handler) { onFormCreate_ = std::move(handler); }
    // The parent the window is made with (none: a top-level window).
    void SetParentWidget(QWidget* parent) { parentWidget_ = parent; }

    // The window while it exists.
    TrbProgressDlg* Dialog() const { return dialog_; }

    // What Cancel does: requests cancellation; when that is already
    // requested, or there is no engine, swaps Cancel for "Close".
    void CancelClicked();

    // --- TrbEngineListener -------------------------------------------------------
    void StateChanged(int state, int previous) override;
    void RecordProcessed(int indexValue) override;
    void RowPosted() override;
    void ProcessEvents() override;

    // The texts the statistics show.
    static QString FormatElapsed(qint64 milliseconds);
    static QString FormatKilobytes(qint64 bytes);

private:
    void CreateDialog();
    void DialogClosed();
    void AttachLinks();
    void DetachLinks();
    void Start();
    void SetReadingRange();
    void StartWriting();
    void Finish();
    // Shows the current figures; `force` ignores the interval.
    void Refresh(bool force);
    void ShowStatistics();
    int WordCount() const;
    bool LastPart() const;

    TrbMake* engine_ = nullptr;
    QPointer<TrbProgressDlg> dialog_;
    QWidget* parentWidget_ = nullptr;
    std::function<void(TrbProgressDlg&)> onFormCreate_;
    bool autoClose_ = true;
    bool expanded_ = true;
    int refreshInterval_ = 500;

    // the running build
    QElapsedTimer elapsed_;
    QElapsedTimer sinceRefresh_;
    bool running_ = false;
    bool writing_ = false;
    bool awaitingIndexes_ = false;
    bool rangeSet_ = false;
    int lastValue_ = 0;
    bool haveValue_ = false;
};
