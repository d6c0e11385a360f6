#include "controls/ui/TipsDialog.h"

#include "app/ZebINI.h"
#include "controls/ui/ImageButton.h"
#include "controls/ui/OutlinedLabel.h"
#include "platform/Translate.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <QScreen>
#include <QShowEvent>
#include <QWindow>

#include <cmath>
#include <numbers>

namespace {

const QString kSection = QStringLiteral("TipsDialog");
const QString kKey = QStringLiteral("DialogZeigen");

// The picture's geometry: a rounded panel and, overlapping its top left
// corner, the round badge with the light bulb.
const QRectF kPanel(0, 26, TTipsDialog::kWidth, TTipsDialog::kHeight - 26);
constexpr qreal kPanelRadius = 30;
const QPointF kBadgeCentre(80, 80);
constexpr qreal kBadgeRadius = 72;
const QRectF kTipArea(34, 156, 512, 146);

const QColor kDeepBlue(13, 43, 99);
const QColor kTeal(14, 124, 140);
const QColor kGold(255, 214, 74);
const QColor kInk(8, 28, 64);

} // namespace

QString TTipsDialog::TipText(int number) {
    switch (number) {
    case 1:
        return Tr("Dass ein Klick auf die Spaltenüberschrift Titel oder DVDNr. der Listenanzeige die Sortierung "
                  "umschaltet....?");
    case 2:
        return Tr("Dass Sie mit Strg+Alt+C einen Datensatz kopieren und ihn mit Strg+Alt+V als neuen Datensatz "
                  "wieder einfügen können....?");
    case 3:
        return Tr("Daß man Verbesserungswünsche zu unseren Programmen direkt an den Programmierer (Support) stellen "
                  "kann...?");
    case 4:
        return Tr("Daß Movarix sowie die meisten unserer anderen Programme ständig weiterentwickelt werden..?");
    case 5:
        return Tr("Dass Sie die Beschreibung in der Listenanzeige mit einem Doppelklick auf ihre Spalte in einem "
                  "eigenen Fenster bearbeiten können....?");
    case 6:
        return Tr("Dass in Movarix ein sehr mächtiger Reportgenerator zur Verfügung steht...?");
    case 7:
        return Tr("Dass neue Begriffe, die Sie bei Gruppe, Qualität, Genre oder Soundformat eintippen, in die "
                  "Auswahlliste aufgenommen und beim nächsten Start wieder angeboten werden....?");
    case 8:
        return Tr("Daß wir uns über Ihre Meinung zu  diesem Programm sehr freuen ....?");
    case 9:
        return Tr("Dass  dieses Programm über eine sehr schnelle und leistungsfähige Volltext-Suche / "
                  "Volltext-Filterung verfügt....?");
    case 10:
        return Tr("Dass dieses Programm aus der Praxis kommt und für Praktiker entwickelt wurde....?");
    default:
        return QString();
    }
}

QString TTipsDialog::InitialText() {
    return Tr("Dass Movarix Film-, Musik- und Daten-DVDs in einem Katalog verwaltet und Sie mit den Knöpfen Filme, "
              "Musik und Daten der Werkzeugleiste zwischen den drei Arten wechseln....?");
}

TTipsDialog::TTipsDialog(TZebINI& settings, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), settings_(settings) {
    setWindowTitle(Tr("Tips und Tricks"));
    setFixedSize(kWidth, kHeight);
    setAttribute(Qt::WA_OpaquePaintEvent); // the background is painted whole

    outline_.addRoundedRect(kPanel, kPanelRadius, kPanelRadius);
    QPainterPath badge;
    badge.addEllipse(kBadgeCentre, kBadgeRadius, kBadgeRadius);
    outline_ = outline_.united(badge).simplified();
    setMask(QRegion(outline_.toFillPolygon().toPolygon()));

    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, Qt::white);
    setPalette(pal);

    heading_ = new TOutlinedLabel(Tr("Wußten Sie schon ?"), this);
    heading_->setObjectName(QStringLiteral("HeadingLabel"));
    QFont headingFont = font();
    headingFont.setBold(true);
    headingFont.setPixelSize(30);
    heading_->setFont(headingFont);
    heading_->SetColours(kGold, kInk);
    heading_->SetOutlineWidth(3);
    heading_->SetAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    heading_->setGeometry(170, 40, 380, 56);

    tipLabel_ = new TOutlinedLabel(InitialText(), this);
    tipLabel_->setObjectName(QStringLiteral("TipLabel"));
    QFont tipFont = font();
    tipFont.setBold(true);
    tipFont.setPixelSize(17);
    tipLabel_->setFont(tipFont);
    tipLabel_->SetColours(Qt::white, kInk);
    tipLabel_->SetOutlineWidth(2.5);
    tipLabel_->SetAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    tipLabel_->setGeometry(kTipArea.adjusted(18, 10, -18, -10).toRect());

    checkBox_ = new QCheckBox(Tr("&Weitere Tips beim nächsten Start zeigen?"), this);
    checkBox_->setObjectName(QStringLiteral("TipsZeigenCheckBox"));
    checkBox_->setVisible(false);

    toggle_ = new TImageButton(Tr("&Weitere Tips beim nächsten Start zeigen?"), this);
    toggle_->setObjectName(QStringLiteral("ToggleButton"));
    toggle_->setCheckable(true);
    toggle_->SetFaceColour(QColor(40, 80, 140));
    toggle_->setGeometry(QRect(QPoint(40, 314), toggle_->sizeHint()));
    connect(toggle_, &TImageButton::toggled, checkBox_, &QCheckBox::setChecked);

    auto makeButton = [this](const QString& caption, TImageButton::TGlyph glyph, const char* name) {
        auto* button = new TImageButton(caption, this);
        button->setObjectName(QLatin1String(name));
        button->SetGlyph(glyph);
        return button;
    };
    help_ = makeButton(Tr("Hilfe"), TImageButton::TGlyph::Help, "HelpButton");
    more_ = makeButton(Tr("Mehr"), TImageButton::TGlyph::More, "MoreButton");
    ok_ = makeButton(Tr("OK"), TImageButton::TGlyph::Tick, "OkButton");
    ok_->SetFaceColour(QColor(30, 120, 70));
    int right = kWidth - 36;
    for (TImageButton* button : {ok_, more_, help_}) {
        const QSize size(std::max(104, button->sizeHint().width()), 36);
        button->setGeometry(right - size.width(), 346, size.width(), size.height());
        right -= size.width() + 10;
    }
    connect(ok_, &TImageButton::clicked, this, &QDialog::accept);
    connect(more_, &TImageButton::clicked, this, &TTipsDialog::MoreClick);
    connect(help_, &TImageButton::clicked, this, &TTipsDialog::HelpClick);
    setTabOrder(ok_, more_);
    setTabOrder(more_, help_);
    setTabOrder(help_, toggle_);

    const bool show = settings_.INIReadBool(kSection, kKey, true);
    checkBox_->setChecked(show);
    toggle_->setChecked(show);
}

TTipsDialog* TTipsDialog::ShowTips(QWidget* parent, int first, int count, TZebINI& settings, int helpContext,
                                   bool onlyWhenEnabled) {
    auto* dialog = new TTipsDialog(settings, parent);
    dialog->SetHelpContext(helpContext);
    dialog->SetTips(first, count);
    if (onlyWhenEnabled && !dialog->ShowAtStart()) {
        dialog->WriteSetting();
        delete dialog;
        return nullptr;
    }
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
    return dialog;
}

void TTipsDialog::SetTips(int first, int count) {
    first_ = first;
    count_ = std::max(1, count);
}

void TTipsDialog::MoreClick() {
    // The global generator is seeded once per run; a tip may come twice.
    const int number = first_ + int(QRandomGenerator::global()->bounded(count_));
    tipLabel_->SetText(TipText(number));
}

void TTipsDialog::HelpClick() {
    emit HelpRequested(helpContext_);
}

bool TTipsDialog::ShowAtStart() const {
    return checkBox_->isChecked();
}

QString TTipsDialog::CurrentTip() const {
    return tipLabel_->Text();
}

void TTipsDialog::WriteSetting() {
    settings_.INIWriteBool(kSection, kKey, checkBox_->isChecked());
}

void TTipsDialog::done(int result) {
    WriteSetting();
    QDialog::done(result);
}

void TTipsDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    ok_->setFocus();
    const QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TTipsDialog::keyPressEvent(QKeyEvent* event) {
    // The picture buttons are no push buttons, so Enter needs saying.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        QWidget* focused = focusWidget();
        if (auto* button = qobject_cast<TImageButton*>(focused); button && button != ok_)
            button->click();
        else
            ok_->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TTipsDialog::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !outline_.contains(event->position())) {
        QDialog::mousePressEvent(event);
        return;
    }
    // The window manager moves the window where it can; elsewhere (no
    // support for it, or no window system at all) the window follows the
    // mouse itself.
    if (windowHandle() && windowHandle()->startSystemMove())
        return;
    dragging_ = true;
    dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void TTipsDialog::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPosition().toPoint() - dragOffset_);
        return;
    }
    QDialog::mouseMoveEvent(event);
}

void TTipsDialog::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        dragging_ = false;
    QDialog::mouseReleaseEvent(event);
}

void TTipsDialog::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // Outside the outline the mask hides the window; paint it plainly.
    painter.fillRect(rect(), kDeepBlue);

    QLinearGradient body(kPanel.topLeft(), kPanel.bottomRight());
    body.setColorAt(0.0, kDeepBlue);
    body.setColorAt(0.55, QColor(16, 80, 128));
    body.setColorAt(1.0, kTeal);
    painter.setPen(Qt::NoPen);
    painter.setBrush(body);
    painter.drawPath(outline_);

    // A broad soft sheen across the upper part of the panel.
    QPainterPath sheen;
    sheen.moveTo(kPanel.left(), kPanel.top() + 40);
    sheen.cubicTo(180, 40, 380, 170, kPanel.right(), 110);
    sheen.lineTo(kPanel.right(), kPanel.top());
    sheen.lineTo(kPanel.left(), kPanel.top());
    sheen.closeSubpath();
    QLinearGradient shine(0, kPanel.top(), 0, 170);
    shine.setColorAt(0.0, QColor(255, 255, 255, 46));
    shine.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.setBrush(shine);
    painter.drawPath(sheen.intersected(outline_));

    // The gold rule under the heading.
    QLinearGradient rule(170, 0, 548, 0);
    rule.setColorAt(0.0, kGold);
    rule.setColorAt(1.0, QColor(255, 214, 74, 0));
    painter.fillRect(QRectF(170, 102, 378, 3), rule);

    // The tip's panel.
    painter.setPen(QPen(QColor(255, 255, 255, 70), 1.2));
    painter.setBrush(QColor(255, 255, 255, 26));
    painter.drawRoundedRect(kTipArea, 16, 16);

    PaintBadge(painter);

    // The rim of the whole picture.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(140, 230, 255, 150), 2.0));
    painter.drawPath(outline_);
}

void TTipsDialog::PaintBadge(QPainter& painter) const {
    const qreal r = kBadgeRadius - 6;
    QRadialGradient disc(kBadgeCentre - QPointF(18, 22), r * 1.5);
    disc.setColorAt(0.0, QColor(255, 240, 170));
    disc.setColorAt(0.6, QColor(240, 170, 30));
    disc.setColorAt(1.0, QColor(170, 95, 10));
    painter.setPen(QPen(QColor(255, 250, 220), 3));
    painter.setBrush(disc);
    painter.drawEllipse(kBadgeCentre, r, r);

    // The light bulb: a glowing glass, its neck and a screw base.
    const QPointF glass = kBadgeCentre - QPointF(0, 10);
    const qreal g = 24;
    QRadialGradient glow(glass, g * 2.1);
    glow.setColorAt(0.0, QColor(255, 255, 255, 200));
    glow.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawEllipse(glass, g * 2.1, g * 2.1);

    painter.setPen(QPen(QColor(255, 255, 235, 220), 2.5, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 7; ++i) {
        const qreal angle = std::numbers::pi * (1.1 + 0.8 * i / 6.0); // a fan of rays above the glass
        const QPointF direction(std::cos(angle), std::sin(angle));
        painter.drawLine(glass + direction * (g + 6), glass + direction * (g + 14));
    }

    QPainterPath bulb;
    bulb.addEllipse(glass, g, g);
    QPainterPath neck;
    neck.moveTo(glass.x() - 13, glass.y() + 18);
    neck.lineTo(glass.x() - 10, glass.y() + 32);
    neck.lineTo(glass.x() + 10, glass.y() + 32);
    neck.lineTo(glass.x() + 13, glass.y() + 18);
    neck.closeSubpath();
    bulb = bulb.united(neck);
    QRadialGradient light(glass - QPointF(7, 8), g * 1.3);
    light.setColorAt(0.0, Qt::white);
    light.setColorAt(0.5, QColor(255, 246, 170));
    light.setColorAt(1.0, QColor(255, 205, 60));
    painter.setPen(QPen(QColor(150, 100, 10), 1.5));
    painter.setBrush(light);
    painter.drawPath(bulb);

    // The filament.
    painter.setPen(QPen(QColor(200, 110, 0), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    QPainterPath filament;
    filament.moveTo(glass.x() - 6, glass.y() + 22);
    filament.lineTo(glass.x() - 6, glass.y() + 4);
    filament.cubicTo(glass.x() - 3, glass.y() - 4, glass.x() + 3, glass.y() - 4, glass.x() + 6, glass.y() + 4);
    filament.lineTo(glass.x() + 6, glass.y() + 22);
    painter.drawPath(filament);

    QLinearGradient metal(glass.x() - 11, 0, glass.x() + 11, 0);
    metal.setColorAt(0.0, QColor(110, 115, 125));
    metal.setColorAt(0.45, QColor(235, 238, 242));
    metal.setColorAt(1.0, QColor(95, 100, 110));
    painter.setPen(QPen(QColor(60, 62, 70), 1));
    painter.setBrush(metal);
    for (int i = 0; i < 3; ++i)
        painter.drawRoundedRect(QRectF(glass.x() - 11 + i, glass.y() + 32 + i * 6, 22 - 2 * i, 6), 2, 2);
    painter.setBrush(QColor(60, 62, 70));
    painter.drawEllipse(QPointF(glass.x(), glass.y() + 52), 4, 2.5);
}
