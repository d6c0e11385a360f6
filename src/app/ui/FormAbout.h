#pragma once
// The information window: program name, version and revision. At start it
// is the splash window and closes by itself; "Über" opens it as a dialog.

#include <QDialog>

class TFormAbout : public QDialog {
    Q_OBJECT

public:
    explicit TFormAbout(QWidget* parent = nullptr);
    // Closes after the given milliseconds (the splash window).
    void CloseAfter(int milliseconds);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};
