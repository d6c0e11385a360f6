#include "controls/ui/HintTiming.h"

#include <QApplication>
#include <QEvent>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QWidget>

#include <algorithm>

namespace {

// The application's own style with the tool-tip delay replaced. One instance
// serves the whole application; it is made on first use and then kept.
class THintStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    int wakeUpDelay = THintTiming::kDefaultHintPause;

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_ToolTip_WakeUpDelay)
            return wakeUpDelay;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

THintStyle& ApplicationHintStyle() {
    if (auto* style = dynamic_cast<THintStyle*>(QApplication::style()))
        return *style;
    // A fresh instance of the current style becomes the proxy's base (the
    // application deletes its old style when the new one is set).
    QStyle* base = QStyleFactory::create(QApplication::style()->name());
    auto* style = new THintStyle(base); // null base: the proxy makes the desktop style
    QApplication::setStyle(style);      // the application owns it
    return *style;
}

} // namespace

THintTiming::THintTiming(QObject* parent) : QObject(parent) {
    SetHintPause(hintPause_);
    qApp->installEventFilter(this);
}

void THintTiming::SetHintPause(int ms) {
    hintPause_ = std::max(0, ms);
    ApplicationHintStyle().wakeUpDelay = hintPause_;
}

void THintTiming::SetHintHidePause(int ms) {
    hintHidePause_ = std::max(0, ms);
}

int THintTiming::ApplicationHintPause() {
    return QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay);
}

bool THintTiming::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return false;
    if (!active_)
        return true; // hints off: no widget sees the request for its tip
    // A widget shows its tool tip for its own duration (-1: Qt's choice).
    if (auto* widget = qobject_cast<QWidget*>(watched))
        widget->setToolTipDuration(hintHidePause_ > 0 ? hintHidePause_ : -1);
    return false;
}
