#pragma once
// TStatus4Frm: the small status window of long file operations (packing the
// backup, rebuilding index files). A text line over a gauge, and a second,
// normally hidden panel with a word-wrapped line over a second gauge.
//
// The caller creates it, may announce the number of files of its job, sets the
// texts, shows or hides Panel2 and the gauges, shows the window without waiting
// for it, does its work and deletes it.

#include <QWidget>

class QLabel;
class QFrame;
class TZebGauge;

class TStatus4Frm : public QWidget {
    Q_OBJECT

public:
    static constexpr int kClientWidth = 494;

    explicit TStatus4Frm(QWidget* parent = nullptr);

    // The number of files of the current job; more than one shows Panel2 when
    // the window is shown.
    int FileCount() const { return fileCount_; }
    void SetFileCount(int count) { fileCount_ = count; }

    QLabel* Label1() const { return label1_; }
    TZebGauge* ZebGauge1() const { return gauge1_; }
    QFrame* Panel2() const { return panel2_; }
    QLabel* Label2() const { return label2_; }
    TZebGauge* ZebGauge2() const { return gauge2_; }

protected:
    // Sets the caption, opens Panel2 for a job of several files and centres
    // the window on the screen.
    void showEvent(QShowEvent* event) override;

private:
    QFrame* panel1_ = nullptr;
    QLabel* label1_ = nullptr;
    TZebGauge* gauge1_ = nullptr;
    QFrame* panel2_ = nullptr;
    QLabel* label2_ = nullptr;
    TZebGauge* gauge2_ = nullptr;
    int fileCount_ = 0;
};
