#pragma once
// THintTiming: when the program's tool tips appear, how long they stay and
// whether they appear at all.
//
// Qt asks the widget's style how long the mouse must rest before it sends a
// tool-tip event (QStyle::SH_ToolTip_WakeUpDelay), so the application's
// style is wrapped once in a proxy style that answers with the hint pause.
// How long a tip stays is a widget's tool-tip duration; an application-wide
// event filter gives it to every widget just before that widget shows its
// tip, so widgets made later need nothing. With hints off the same filter
// swallows the tool-tip events, and no tip appears anywhere.

#include <QObject>

class THintTiming : public QObject {
    Q_OBJECT

public:
    static constexpr int kDefaultHintPause = 800;      // ms before a tip appears
    static constexpr int kDefaultHintHidePause = 2500; // ms a tip stays

    // Takes effect at once with the defaults: hints on, 800 ms, 2500 ms.
    explicit THintTiming(QObject* parent = nullptr);

    bool Active() const { return active_; }
    void SetActive(bool active) { active_ = active; }
    int HintPause() const { return hintPause_; }
    // Negative values count as 0.
    void SetHintPause(int ms);
    int HintHidePause() const { return hintHidePause_; }
    // 0 or less leaves the time to Qt, which lets a tip stay about 10 s.
    void SetHintHidePause(int ms);

    // The delay the application's style now answers for tool tips.
    static int ApplicationHintPause();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool active_ = true;
    int hintPause_ = kDefaultHintPause;
    int hintHidePause_ = kDefaultHintHidePause;
};
