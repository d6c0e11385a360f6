#include "controls/ui/ZebGauge.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// Above this range (Progress - MinValue) * 100 could overflow the 32-bit
// arithmetic the gauge's numbers come from, so the division goes first.
constexpr double kLargeRange = 21474836.47;

// The dim shade of a colour over dark grey, one channel.
int DimChannel(int c) {
    return (c - 32) / 5 + 32 + 2; // integer division truncates toward zero, as intended
}

} // namespace

TZebGauge::TZebGauge(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(100, 20);
    peakTimer_.setInterval(kPeakInterval);
    connect(&peakTimer_, &QTimer::timeout, this, &TZebGauge::PeakTimerTick);
    if (showPeak_)
        peakTimer_.start();
}

QSize TZebGauge::sizeHint() const {
    return {100, 20};
}

QSize TZebGauge::minimumSizeHint() const {
    // Frame, margins and at least one pixel inside: smaller would make the
    // gauge grow itself while painting.
    const int side = 2 + 2 * borderWidth_ + 1;
    return {side, side};
}

void TZebGauge::SetBorderStyle(TZebBevel style) {
    if (style == borderStyle_)
        return;
    borderStyle_ = style;
    update();
}

void TZebGauge::SetBorderWidth(int width) {
    width = std::max(0, width);
    if (width == borderWidth_)
        return;
    borderWidth_ = width;
    updateGeometry();
    update();
}

void TZebGauge::SetBoxes(int boxes) {
    if (IsLevelMeter() && boxes < 5)
        boxes = 5;
    boxes = std::clamp(boxes, 1, 255);
    if (boxes == boxes_)
        return;
    boxes_ = boxes;
    update();
}

void TZebGauge::SetBoxColor(const QColor& color) {
    if (color == boxColor_)
        return;
    boxColor_ = color;
    update();
}

void TZebGauge::SetColor(const QColor& color) {
    if (color == color_)
        return;
    color_ = color;
    repaint(); // the background is filled at once, not at the next idle moment
}

void TZebGauge::SetKind(TZebGaugeKind kind) {
    if (kind == kind_)
        return;
    kind_ = kind;
    update();
}

void TZebGauge::SetMinValue(int value) {
    if (value < 0 || value >= maxValue_ || value == minValue_)
        return;
    minValue_ = value;
    update();
}

void TZebGauge::SetMaxValue(int value) {
    if (value < 0 || value <= minValue_ || value == maxValue_)
        return;
    maxValue_ = value;
    update();
}

void TZebGauge::SetProgress(int value) {
    if (value == progress_)
        return;
    progress_ = std::clamp(value, minValue_, maxValue_);
    if (LitBoxes() != litAtLastPaint_)
        update();
}

void TZebGauge::Step(int delta) {
    // Widened so that a step beyond the int range clamps instead of wrapping.
    const long long target = static_cast<long long>(progress_) + delta;
    SetProgress(static_cast<int>(std::clamp<long long>(target, minValue_, maxValue_)));
}

void TZebGauge::SetBoxPreview(bool on) {
    if (on == boxPreview_)
        return;
    boxPreview_ = on;
    update();
}

void TZebGauge::SetShowPeak(bool on) {
    showPeak_ = on;
    peak_ = 0;
    peakTicks_ = 0;
    if (on)
        peakTimer_.start(kPeakInterval);
    else
        peakTimer_.stop();
    update();
}

bool TZebGauge::IsLevelMeter() const {
    return boxColor_.rgb() == kGreen;
}

int TZebGauge::LitBoxesFor(int value) const {
    const double range = static_cast<double>(maxValue_) - minValue_;
    const double above = static_cast<double>(value) - minValue_;
    double percent = 0;
    if (range != 0)
        percent = range > kLargeRange ? above / range * 100.0 : above * 100.0 / range;
    const long long whole = static_cast<long long>(std::trunc(percent));
    const long long lit = whole * boxes_ / 100;
    return static_cast<int>(std::clamp<long long>(lit, 0, boxes_));
}

void TZebGauge::PeakTimerTick() {
    ++peakTicks_;
    if (peakTicks_ > kPeakHoldTicks) {
        peakTicks_ = 0;
        peak_ = 0;
        if (progress_ == 0)
            update();
    } else {
        peak_ = std::max(peak_, progress_);
    }
    if (IsLevelMeter())
        Step(-5);
}

QColor TZebGauge::EffectiveBoxColor() const {
    return isEnabled() ? boxColor_ : QColor::fromRgb(kGrey);
}

QColor TZebGauge::LitColor(int box, int t1, int t2, int t3) const {
    if (IsLevelMeter()) {
        if (box > t3)
            return QColor::fromRgb(kRed);
        if (box > t2)
            return QColor::fromRgb(kYellow);
        if (box > t1)
            return QColor::fromRgb(kLime);
    }
    return EffectiveBoxColor();
}

QColor TZebGauge::PreviewColor(int box, int t1, int t2, int t3) const {
    if (IsLevelMeter()) {
        if (box > t3)
            return QColor::fromRgb(kMaroon);
        if (box > t2)
            return QColor::fromRgb(kOlive);
        if (box > t1)
            return QColor::fromRgb(kGreen);
        return QColor::fromRgb(kDarkGreen);
    }
    const QColor c = EffectiveBoxColor();
    return QColor(DimChannel(c.red()), DimChannel(c.green()), DimChannel(c.blue()));
}

void TZebGauge::paintEvent(QPaintEvent*) {
    const bool vertical = kind_ == zebgVertical;
    const int along = vertical ? height() : width();

    // 1. Box size; a gauge too small for its boxes loses one box per paint.
    int bw = (along - borderWidth_ - 2) / boxes_;
    if (bw < 3 && boxes_ > 1) {
        SetBoxes(boxes_ - 1); // schedules the next paint, which may drop another box
        bw = (along - borderWidth_ - 2) / boxes_;
    }

    // 2. Frame, then the margin.
    QPainter painter(this);
    painter.fillRect(rect(), color_);
    if (borderStyle_ == TZebBevel::Lowered || borderStyle_ == TZebBevel::Raised) {
        const QColor topLeft = QColor::fromRgb(borderStyle_ == TZebBevel::Lowered ? kGrey : kWhite);
        const QColor bottomRight = QColor::fromRgb(borderStyle_ == TZebBevel::Lowered ? kWhite : kGrey);
        const int w = width();
        const int h = height();
        painter.fillRect(QRect(0, 0, w, 1), topLeft);
        painter.fillRect(QRect(0, 0, 1, h), topLeft);
        painter.fillRect(QRect(0, h - 1, w, 1), bottomRight);
        painter.fillRect(QRect(w - 1, 0, 1, h), bottomRight);
    }
    const QRect inner = rect().adjusted(1 + borderWidth_, 1 + borderWidth_, -1 - borderWidth_, -1 - borderWidth_);
    if (inner.width() <= 0 || inner.height() <= 0) {
        // Too small to show anything: grow by one pixel (after this paint)
        // and try again.
        const bool widen = inner.width() <= 0;
        QMetaObject::invokeMethod(
            this,
            [this, widen] {
                if (widen)
                    resize(width() + 1, height());
                else
                    resize(width(), height() + 1);
            },
            Qt::QueuedConnection);
        return;
    }

    // 3. The boxes, centred, one background pixel between them.
    QImage image(inner.size(), QImage::Format_RGB32);
    image.fill(color_);
    QPainter boxes(&image);
    const int innerAlong = vertical ? inner.height() : inner.width();
    const int innerAcross = vertical ? inner.width() : inner.height();
    const int offset = (innerAlong - bw * boxes_) / 2;
    // A segment [start, start + length) along the gauge's axis, across its
    // full thickness; vertical gauges count from the bottom.
    auto segment = [&](int start, int length) {
        if (vertical)
            return QRect(0, innerAlong - start - length, innerAcross, length);
        return QRect(start, 0, length, innerAcross);
    };

    // 4. Level-meter bands.
    const int fifth = boxes_ / 5;
    const int t3 = boxes_ - fifth;
    const int t2 = boxes_ - 2 * fifth;
    const int t1 = boxPreview_ ? 0 : boxes_ - 3 * fifth;

    // 5. Lit boxes; 6. preview boxes.
    const int lit = LitBoxes();
    const int boxLength = bw - 1;
    if (boxLength > 0) {
        for (int i = 1; i <= boxes_; ++i) {
            const int start = offset + (i - 1) * bw;
            if (i <= lit)
                boxes.fillRect(segment(start, boxLength), LitColor(i, t1, t2, t3));
            else if (boxPreview_)
                boxes.fillRect(segment(start, boxLength), PreviewColor(i, t1, t2, t3));
        }
    }

    // 7. Peak marker: the far half of box pk, in the colour box pk has when lit.
    if (showPeak_) {
        const int pk = LitBoxesFor(peak_);
        const int markLength = bw / 2 - 1;
        if (pk > 0 && markLength > 0) {
            const int boxEnd = offset + pk * bw - 1; // one past the box's last pixel
            boxes.fillRect(segment(boxEnd - markLength, markLength), LitColor(pk, t1, t2, t3));
        }
    }
    boxes.end();
    litAtLastPaint_ = lit;

    // 8. Into the frame.
    painter.drawImage(inner.topLeft(), image);
}

void TZebGauge::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    emit mouseDown(event);
}

void TZebGauge::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMove(event);
}

void TZebGauge::mouseReleaseEvent(QMouseEvent* event) {
    emit mouseUp(event);
    if (pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    pressed_ = false;
}

void TZebGauge::mouseDoubleClickEvent(QMouseEvent* event) {
    emit doubleClicked();
    QWidget::mouseDoubleClickEvent(event);
}
