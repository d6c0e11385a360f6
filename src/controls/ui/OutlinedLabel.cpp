#include "controls/ui/OutlinedLabel.h"

#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>

#include <cmath>

namespace {

// Lays the text out in lines no wider than width; returns the total height.
qreal LayOut(QTextLayout& layout, qreal width) {
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    const qreal leading = QFontMetricsF(layout.font()).leading();
    qreal height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        height += leading;
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout.endLayout();
    return height;
}

} // namespace

TOutlinedLabel::TOutlinedLabel(const QString& text, QWidget* parent) : QWidget(parent), text_(text) {
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void TOutlinedLabel::SetText(const QString& text) {
    if (text == text_)
        return;
    text_ = text;
    updateGeometry();
    update();
}

void TOutlinedLabel::SetColours(const QColor& fill, const QColor& outline) {
    fill_ = fill;
    outline_ = outline;
    update();
}

void TOutlinedLabel::SetOutlineWidth(qreal width) {
    outlineWidth_ = width;
    update();
}

void TOutlinedLabel::SetAlignment(Qt::Alignment alignment) {
    alignment_ = alignment;
    update();
}

int TOutlinedLabel::heightForWidth(int width) const {
    QTextLayout layout(text_, font());
    return int(std::ceil(LayOut(layout, std::max(1.0, width - 2 * outlineWidth_)) + 2 * outlineWidth_));
}

QSize TOutlinedLabel::sizeHint() const {
    const int width = std::min(480, QFontMetrics(font()).horizontalAdvance(text_) + int(2 * outlineWidth_) + 2);
    return QSize(width, heightForWidth(width));
}

void TOutlinedLabel::paintEvent(QPaintEvent*) {
    const qreal margin = outlineWidth_;
    const qreal width = std::max(1.0, this->width() - 2 * margin);
    QTextLayout layout(text_, font());
    const qreal textHeight = LayOut(layout, width);

    qreal top = margin;
    if (alignment_ & Qt::AlignVCenter)
        top = (height() - textHeight) / 2;
    else if (alignment_ & Qt::AlignBottom)
        top = height() - margin - textHeight;

    // Every line becomes a path of glyph outlines: stroked wide for the
    // outline, then filled on top.
    QPainterPath path;
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        const QString part = text_.mid(line.textStart(), line.textLength()).trimmed();
        const qreal partWidth = QFontMetricsF(font()).horizontalAdvance(part);
        qreal left = margin;
        if (alignment_ & Qt::AlignHCenter)
            left = margin + (width - partWidth) / 2;
        else if (alignment_ & Qt::AlignRight)
            left = margin + width - partWidth;
        path.addText(QPointF(left, top + line.y() + line.ascent()), font(), part);
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.strokePath(path, QPen(outline_, outlineWidth_ * 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.fillPath(path, fill_);
}
