#include "app/ui/TrayMenu.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPaintEvent>

TTrayMenu::TTrayMenu(QWidget* parent) : QMenu(parent) {
    setContentsMargins(MarginWidth, 0, 0, 0);
}

void TTrayMenu::paintEvent(QPaintEvent* event) {
    QMenu::paintEvent(event);
    QPainter painter(this);
    const QRect margin(0, 0, MarginWidth, height());
    painter.setClipRect(margin);
    // From RGB(0,255,0) at the top to each channel shifted right by two bits.
    QLinearGradient gradient(margin.topLeft(), margin.bottomLeft());
    gradient.setColorAt(0, QColor(0, 255, 0));
    gradient.setColorAt(1, QColor(0, 255 >> 2, 0));
    painter.fillRect(margin, gradient);
    QFont font(QStringLiteral("Courier New"), 20, QFont::Bold);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.translate(margin.left() + painter.fontMetrics().ascent(), margin.bottom() - 5);
    painter.rotate(-90);
    painter.drawText(0, 0, QStringLiteral("DVD"));
}
