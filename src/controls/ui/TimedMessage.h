#pragma once
// TTimedMessage: the small notice window that closes by itself. A yellow tool
// window centred on the screen with the text in bold blue over an OK button;
// it closes on OK, on a click on the window or the text, or when its time is up.

#include <QDialog>
#include <QTimer>

class QLabel;
class QPushButton;

class TTimedMessage : public QDialog {
    Q_OBJECT

public:
    static constexpr int kDefaultTimeoutMs = 5000;
    static constexpr int kHeight = 100;
    static constexpr int kButtonFromBottom = 60; // the OK button's top edge, above the bottom edge
    static constexpr QRgb kBackground = 0xFFFFFF00; // yellow
    static constexpr QRgb kTextColor = 0xFF0000FF;  // blue

    // An empty caption shows "Ereignisnachricht". The window closes by itself
    // timeoutMs after it is shown (0 or less: only by the user).
    TTimedMessage(const QString& caption, const QString& text, int timeoutMs = kDefaultTimeoutMs,
                  QWidget* parent = nullptr);

    int TimeoutMs() const { return timeoutMs_; }
    QLabel* TextLabel() const { return label_; }
    QPushButton* OkButton() const { return okButton_; }
    bool CloseTimerActive() const { return closeTimer_.isActive(); }

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* label_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QTimer closeTimer_;
    int timeoutMs_;
};
