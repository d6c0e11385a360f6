#include "controls/ui/ImageButton.h"

#include <QEnterEvent>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>

namespace {

constexpr int kTickBox = 24;     // side of a checkable button's picture
constexpr int kCaptionGap = 8;   // between that picture and its caption
constexpr qreal kRadius = 7.0;

} // namespace

TImageButton::TImageButton(const QString& text, QWidget* parent) : QAbstractButton(parent) {
    setText(text);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
}

void TImageButton::SetGlyph(TGlyph glyph) {
    glyph_ = glyph;
    update();
}

void TImageButton::SetFaceColour(const QColor& colour) {
    faceColour_ = colour;
    update();
}

QColor TImageButton::FaceColour() const {
    if (isDown())
        return faceColour_.darker(135);
    if (hovered_)
        return QColor::fromRgb(kHoverColour);
    return faceColour_;
}

QRect TImageButton::ImageRect() const {
    if (!isCheckable())
        return rect();
    return QRect(0, (height() - kTickBox) / 2, kTickBox, kTickBox);
}

QSize TImageButton::sizeHint() const {
    const QFontMetrics metrics(font());
    QString caption = text();
    caption.remove(QLatin1Char('&'));
    if (isCheckable())
        return QSize(kTickBox + kCaptionGap + metrics.horizontalAdvance(caption) + 4,
                     std::max(kTickBox, metrics.height()) + 4);
    return QSize(std::max(96, metrics.horizontalAdvance(caption) + 44), std::max(34, metrics.height() + 14));
}

void TImageButton::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void TImageButton::leaveEvent(QEvent* event) {
    hovered_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void TImageButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF face = QRectF(ImageRect()).adjusted(1.5, 1.5, -1.5, -1.5);
    PaintFace(painter, face);
    PaintGlyph(painter, face);

    const int flags = Qt::TextShowMnemonic | Qt::AlignVCenter;
    if (isCheckable()) {
        // The caption beside the tick box, in the window's text colour.
        const QRect caption = rect().adjusted(kTickBox + kCaptionGap, 0, 0, 0);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(caption, flags | Qt::AlignLeft, text());
        if (hasFocus()) {
            painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(QRectF(caption).adjusted(-2, 1, -1, -1));
        }
        return;
    }
    if (!text().isEmpty()) {
        QRectF caption = face;
        if (glyph_ != TGlyph::None)
            caption.setLeft(face.left() + face.height() * 0.9);
        const QColor faceNow = FaceColour();
        const bool light = qGray(faceNow.rgb()) > 150;
        painter.setPen(light ? QColor(10, 30, 60) : QColor(Qt::white));
        QFont captionFont = font();
        captionFont.setBold(true);
        painter.setFont(captionFont);
        painter.drawText(caption.translated(0, isDown() ? 1 : 0), flags | Qt::AlignHCenter, text());
    }
    if (hasFocus()) {
        painter.setPen(QPen(QColor(255, 255, 255, 200), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(face.adjusted(3, 3, -3, -3), kRadius - 2, kRadius - 2);
    }
}

void TImageButton::PaintFace(QPainter& painter, const QRectF& face) const {
    const QColor colour = FaceColour();
    // A drop shadow under a raised face; a pressed face sits flat.
    if (!isDown()) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, 70));
        painter.drawRoundedRect(face.translated(1.5, 1.5), kRadius, kRadius);
    }
    QLinearGradient body(face.topLeft(), face.bottomLeft());
    body.setColorAt(0.0, colour.lighter(isDown() ? 105 : 135));
    body.setColorAt(0.5, colour);
    body.setColorAt(1.0, colour.darker(isDown() ? 105 : 125));
    painter.setPen(QPen(colour.darker(170), 1.2));
    painter.setBrush(body);
    painter.drawRoundedRect(face, kRadius, kRadius);
    // The gloss on the upper half.
    QRectF gloss = face.adjusted(2, 2, -2, -face.height() / 2);
    QLinearGradient shine(gloss.topLeft(), gloss.bottomLeft());
    shine.setColorAt(0.0, QColor(255, 255, 255, isDown() ? 40 : 110));
    shine.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(shine);
    painter.drawRoundedRect(gloss, kRadius - 2, kRadius - 2);
}

void TImageButton::PaintGlyph(QPainter& painter, const QRectF& face) const {
    const QColor ink = qGray(FaceColour().rgb()) > 150 ? QColor(10, 30, 60) : QColor(Qt::white);
    const qreal side = isCheckable() ? face.height() : face.height() * 0.62;
    const QRectF box = isCheckable()
                           ? face
                           : QRectF(face.left() + face.height() * 0.25, face.center().y() - side / 2, side, side);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(ink, std::max<qreal>(2.0, side / 8), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const bool tick = glyph_ == TGlyph::Tick || (isCheckable() && isChecked());
    if (tick) {
        QPainterPath path;
        path.moveTo(box.left() + side * 0.22, box.top() + side * 0.52);
        path.lineTo(box.left() + side * 0.42, box.top() + side * 0.72);
        path.lineTo(box.left() + side * 0.78, box.top() + side * 0.28);
        painter.drawPath(path);
    } else if (glyph_ == TGlyph::More) {
        // Two chevrons: on to the next tip.
        for (qreal shift : {0.0, side * 0.3}) {
            QPainterPath path;
            path.moveTo(box.left() + side * 0.2 + shift, box.top() + side * 0.22);
            path.lineTo(box.left() + side * 0.48 + shift, box.center().y());
            path.lineTo(box.left() + side * 0.2 + shift, box.bottom() - side * 0.22);
            painter.drawPath(path);
        }
    } else if (glyph_ == TGlyph::Help) {
        QFont mark = font();
        mark.setBold(true);
        mark.setPixelSize(int(side * 0.9));
        painter.setFont(mark);
        painter.setPen(ink);
        painter.drawText(box, Qt::AlignCenter, QStringLiteral("?"));
    }
}
