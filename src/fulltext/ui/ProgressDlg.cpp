#include "fulltext/ui/ProgressDlg.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

namespace {

constexpr int kHalf = TrbProgressDlg::ExpandedWidth / 2;
constexpr int kGaugesHeight = TrbProgressDlg::ExpandedHeight - TrbProgressDlg::StatisticsHeight;

QLabel* MakeLabel(QWidget* parent, const QString& text, int x, int y, int width) {
    auto* label = new QLabel(text, parent);
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(8);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(x, y, width, 14);
    return label;
}

QProgressBar* MakeGauge(QWidget* parent, int y) {
    auto* gauge = new QProgressBar(parent);
    gauge->setGeometry(12, y, TrbProgressDlg::ExpandedWidth - 24, 18);
    gauge->setRange(0, 100);
    gauge->setValue(0);
    gauge->setTextVisible(true);
    QPalette palette = gauge->palette();
    palette.setColor(QPalette::Highlight, Qt::red);
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    gauge->setPalette(palette);
    return gauge;
}

} // namespace

TrbProgressDlg::TrbProgressDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
    setWindowTitle(tr("Building"));

    statistics_ = new QFrame(this);
    statistics_->setFrameShape(QFrame::Panel);
    statistics_->setFrameShadow(QFrame::Raised);
    statistics_->setGeometry(0, 0, ExpandedWidth, StatisticsHeight);
    MakeLabel(statistics_, tr("Word Count"), 0, 6, kHalf);
    MakeLabel(statistics_, tr("Memory (kb)"), kHalf, 6, kHalf);
    wordCount_ = MakeLabel(statistics_, QString(), 0, 21, kHalf);
    memory_ = MakeLabel(statistics_, QString(), kHalf, 21, kHalf);
    MakeLabel(statistics_, tr(" Elapsed Time"), 0, 38, kHalf);
    MakeLabel(statistics_, tr("Max Mem (kb)"), kHalf, 38, kHalf);
    elapsed_ = MakeLabel(statistics_, QString(), 0, 53, kHalf);
    maxMemory_ = MakeLabel(statistics_, QString(), kHalf, 53, kHalf);

    gauges_ = new QFrame(this);
    gauges_->setFrameShape(QFrame::Panel);
    gauges_->setFrameShadow(QFrame::Raised);
    gauges_->setGeometry(0, StatisticsHeight, ExpandedWidth, kGaugesHeight);
    MakeLabel(gauges_, tr("Reading"), 0, 6, ExpandedWidth);
    reading_ = MakeGauge(gauges_, 22);
    MakeLabel(gauges_, tr("Writing"), 0, 46, ExpandedWidth);
    writing_ = MakeGauge(gauges_, 62);
    cancel_ = new QPushButton(tr("Cancel"), gauges_);
    close_ = new QPushButton(tr("Close"), gauges_);
    for (QPushButton* button : {cancel_, close_})
        button->setGeometry((ExpandedWidth - 75) / 2, 100, 75, 25);
    close_->hide();
    connect(cancel_, &QPushButton::clicked, this, &TrbProgressDlg::cancelClicked);
    connect(close_, &QPushButton::clicked, this, [this] { QDialog::reject(); });

    // A double click anywhere on the window (panels and labels included)
    // folds the statistics panel.
    for (QWidget* child : findChildren<QWidget*>())
        if (qobject_cast<QLabel*>(child) || qobject_cast<QFrame*>(child))
            child->installEventFilter(this);

    menu_ = new QMenu(this);
    expandAction_ = menu_->addAction(QString());
    connect(expandAction_, &QAction::triggered, this, &TrbProgressDlg::ToggleExpanded);
    autoCloseAction_ = menu_->addAction(tr("Auto Close"));
    autoCloseAction_->setCheckable(true);
    connect(autoCloseAction_, &QAction::triggered, this, [this](bool on) { SetAutoClose(on); });

    setFixedSize(ExpandedWidth, ExpandedHeight);
    UpdateMenu();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TrbProgressDlg::Reset(const QString& caption) {
    for (QLabel* label : {wordCount_, elapsed_, memory_, maxMemory_})
        label->clear();
    for (QProgressBar* gauge : {reading_, writing_}) {
        gauge->setRange(0, 100);
        gauge->setValue(0);
    }
    close_->hide();
    close_->setDefault(false);
    cancel_->show();
    cancel_->setDefault(true);
    setWindowTitle(caption);
}

void TrbProgressDlg::SetAutoClose(bool on) {
    autoClose_ = on;
    UpdateMenu();
}

void TrbProgressDlg::SetExpanded(bool on) {
    if (on == expanded_)
        return;
    expanded_ = on;
    statistics_->setVisible(on);
    gauges_->move(0, on ? StatisticsHeight : 0);
    setFixedSize(ExpandedWidth, on ? ExpandedHeight : kGaugesHeight);
    UpdateMenu();
}

void TrbProgressDlg::SetStatistics(const QString& wordCount, const QString& elapsed, const QString& memory,
                                   const QString& maxMemory) {
    wordCount_->setText(wordCount);
    elapsed_->setText(elapsed);
    memory_->setText(memory);
    maxMemory_->setText(maxMemory);
}

void TrbProgressDlg::ShowCloseButton() {
    cancel_->hide();
    cancel_->setDefault(false);
    close_->show();
    close_->setDefault(true);
}

void TrbProgressDlg::UpdateMenu() {
    expandAction_->setText(expanded_ ? tr("Shrink") : tr("Expand"));
    autoCloseAction_->setChecked(autoClose_);
}

void TrbProgressDlg::mouseDoubleClickEvent(QMouseEvent* event) {
    ToggleExpanded();
    event->accept();
}

bool TrbProgressDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        ToggleExpanded();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TrbProgressDlg::contextMenuEvent(QContextMenuEvent* event) {
    UpdateMenu();
    menu_->popup(event->globalPos());
    event->accept();
}

void TrbProgressDlg::reject() {
    if (!cancel_->isHidden())
        emit cancelClicked();
    else
        QDialog::reject();
}
