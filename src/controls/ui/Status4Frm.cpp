#include "controls/ui/Status4Frm.h"

#include "controls/ui/ZebGauge.h"
#include "platform/Translate.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

// The gauges of the window: 100 navy boxes on silver in a lowered frame.
TZebGauge* MakeGauge(QWidget* parent) {
    auto* gauge = new TZebGauge(parent);
    gauge->SetKind(zebgHorizontal);
    gauge->SetBoxes(100);
    gauge->SetBoxColor(QColor::fromRgb(TZebGauge::kNavy));
    gauge->SetColor(QColor::fromRgb(TZebGauge::kSilver));
    gauge->SetBorderStyle(TZebBevel::Lowered);
    gauge->SetBorderWidth(2);
    gauge->SetShowPeak(true);
    gauge->setFixedHeight(20);
    gauge->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return gauge;
}

QFrame* MakePanel(QWidget* parent, QLabel*& label, TZebGauge*& gauge) {
    auto* panel = new QFrame(parent);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Raised);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->setSpacing(6);
    label = new QLabel(panel);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    gauge = MakeGauge(panel);
    layout->addWidget(gauge);
    return panel;
}

} // namespace

TStatus4Frm::TStatus4Frm(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinMaxButtonsHint) {
    setWindowTitle(Tr("Bearbeitungs-Status"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    panel1_ = MakePanel(this, label1_, gauge1_);
    layout->addWidget(panel1_);
    panel2_ = MakePanel(this, label2_, gauge2_);
    label2_->setWordWrap(true);
    panel2_->setVisible(false);
    layout->addWidget(panel2_);
    layout->addStretch(1);
    resize(kClientWidth, sizeHint().height());
}

void TStatus4Frm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous())
        return; // restored from minimised: nothing to set up again
    setWindowTitle(Tr("Bearbeitungs-Status"));
    if (fileCount_ > 1)
        panel2_->setVisible(true);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}
