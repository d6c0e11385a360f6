#pragma once
// TTipsDialog ("Tips und Tricks"): one short did-you-know tip at a time. A
// borderless window in the outline of its painted background (a panel with
// a round light-bulb badge), dragged by that background; "Mehr" shows a tip
// picked at random, "Hilfe" asks for the help topic of the dialog's help
// context, and a toggle says whether the dialog opens by itself at the next
// start (section "TipsDialog", key "DialogZeigen" of the settings file,
// written whenever the dialog closes).

#include <QDialog>
#include <QPainterPath>
#include <QPoint>

class QCheckBox;
class TImageButton;
class TOutlinedLabel;
class TZebINI;

class TTipsDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr int kWidth = 580;
    static constexpr int kHeight = 399;
    static constexpr int kFirstTip = 1;
    static constexpr int kTipCount = 10;

    // Reads "DialogZeigen" (default true) into the toggle.
    explicit TTipsDialog(TZebINI& settings, QWidget* parent = nullptr);

    // Shows the tips from number first on (count of them) with the help
    // context given. With onlyWhenEnabled the dialog opens only when
    // "DialogZeigen" is on. The dialog is window-modal and deletes itself
    // when closed; "DialogZeigen" is written when it closes, or at once
    // when it does not open. Returns the open dialog, or null.
    static TTipsDialog* ShowTips(QWidget* parent, int first, int count, TZebINI& settings, int helpContext,
                                 bool onlyWhenEnabled);

    // The built-in text of a tip number (1 … 10); empty for other numbers.
    static QString TipText(int number);
    // What the tip line shows until "Mehr" is used.
    static QString InitialText();

    void SetTips(int first, int count);
    int FirstTip() const { return first_; }
    int TipCount() const { return count_; }
    void SetHelpContext(int context) { helpContext_ = context; }
    int HelpContext() const { return helpContext_; }

    // "Mehr": a tip number first … first + count − 1 at random.
    void MoreClick();
    // "Hilfe"
    void HelpClick();
    // The state of the toggle (kept by the hidden check box).
    bool ShowAtStart() const;
    // The tip line's text.
    QString CurrentTip() const;
    // The window's outline, in its own coordinates.
    const QPainterPath& Outline() const { return outline_; }

    TImageButton* OkButton() const { return ok_; }
    TImageButton* MoreButton() const { return more_; }
    TImageButton* HelpButton() const { return help_; }
    TImageButton* ToggleButton() const { return toggle_; }
    QCheckBox* TipsZeigenCheckBox() const { return checkBox_; }
    TOutlinedLabel* TipLabel() const { return tipLabel_; }
    TOutlinedLabel* HeadingLabel() const { return heading_; }

    // Closing in any way writes the toggle's state.
    void done(int result) override;

signals:
    void HelpRequested(int helpContext);

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void WriteSetting();
    void PaintBadge(QPainter& painter) const;

    TZebINI& settings_;
    int first_ = kFirstTip;
    int count_ = kTipCount;
    int helpContext_ = 0;
    QPainterPath outline_;
    TOutlinedLabel* heading_ = nullptr;
    TOutlinedLabel* tipLabel_ = nullptr;
    TImageButton* ok_ = nullptr;
    TImageButton* more_ = nullptr;
    TImageButton* help_ = nullptr;
    TImageButton* toggle_ = nullptr;
    QCheckBox* checkBox_ = nullptr;
    bool dragging_ = false;
    QPoint dragOffset_; // from the window's top left to the grab point
};
