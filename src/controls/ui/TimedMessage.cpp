#include "controls/ui/TimedMessage.h"

#include "platform/Translate.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

#include <algorithm>

namespace {

constexpr int kMargin = 12;
constexpr int kMinWidth = 240;
constexpr int kMaxWidth = 640;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;

} // namespace

TTimedMessage::TTimedMessage(const QString& caption, const QString& text, int timeoutMs, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      timeoutMs_(timeoutMs) {
    setWindowTitle(caption.isEmpty() ? Tr("Ereignisnachricht") : caption);

    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor::fromRgb(kBackground));
    setPalette(pal);
    setAutoFillBackground(true);

    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPointSize(10);

    label_ = new QLabel(text, this);
    label_->setFont(font);
    label_->setAlignment(Qt::AlignCenter);
    label_->setWordWrap(true);
    QPalette textPal = label_->palette();
    textPal.setColor(QPalette::WindowText, QColor::fromRgb(kTextColor));
    label_->setPalette(textPal);
    label_->installEventFilter(this);

    okButton_ = new QPushButton(Tr("OK"), this);
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);

    // Wide enough for the text on one line, within sensible bounds; the
    // height is fixed.
    const int textWidth = QFontMetrics(font).horizontalAdvance(text);
    const int width = std::clamp(textWidth + 2 * kMargin, kMinWidth, kMaxWidth);
    setFixedSize(width, kHeight);
    const int buttonTop = kHeight - kButtonFromBottom;
    label_->setGeometry(kMargin / 2, 2, width - kMargin, buttonTop - 4);
    okButton_->setGeometry((width - kButtonWidth) / 2, buttonTop, kButtonWidth, kButtonHeight);

    closeTimer_.setSingleShot(true);
    connect(&closeTimer_, &QTimer::timeout, this, &QDialog::accept);
}

void TTimedMessage::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    if (timeoutMs_ > 0)
        closeTimer_.start(timeoutMs_);
}

void TTimedMessage::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        accept();
        return;
    }
    QDialog::mousePressEvent(event);
}

bool TTimedMessage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == label_ && event->type() == QEvent::MouseButtonPress
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TTimedMessage::done(int result) {
    closeTimer_.stop(); // closed once, it must not close (and report) again
    QDialog::done(result);
}
