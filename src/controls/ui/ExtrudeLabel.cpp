#include "controls/ui/ExtrudeLabel.h"

#include <QPainter>

TExtrudeLabel::TExtrudeLabel(QWidget* parent) : QLabel(parent) {}

void TExtrudeLabel::SetFarColour(const QColor& colour) {
    farColour_ = colour;
    update();
}

void TExtrudeLabel::SetDepth(int depth) {
    depth_ = std::max(0, depth);
    updateGeometry();
    update();
}

QSize TExtrudeLabel::sizeHint() const {
    return QLabel::sizeHint() + QSize(depth_, depth_);
}

void TExtrudeLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    const QRect area = contentsRect().adjusted(0, 0, -depth_, -depth_);
    const QColor face = palette().color(QPalette::WindowText);
    // From the far end (deepest offset, far colour) towards the face colour.
    for (int step = depth_; step >= 1; --step) {
        const double t = 0.5 + 0.5 * double(step) / double(depth_);
        const QColor colour = QColor::fromRgbF(face.redF() + (farColour_.redF() - face.redF()) * t,
                                               face.greenF() + (farColour_.greenF() - face.greenF()) * t,
                                               face.blueF() + (farColour_.blueF() - face.blueF()) * t);
        painter.setPen(colour);
        painter.drawText(area.translated(step, step), int(alignment()), text());
    }
    painter.setPen(face);
    painter.drawText(area, int(alignment()), text());
}
