#pragma once
// TImageButton: a button drawn as a picture rather than in the style's look:
// a glossy rounded face with a glyph or a caption. While the mouse is over
// it the face turns aqua, unless the button is held down. A checkable one
// draws a tick box as its picture and its caption beside the picture;
// clicking either flips it, and the caption's "&" letter is its shortcut.

#include <QAbstractButton>
#include <QColor>

class TImageButton : public QAbstractButton {
    Q_OBJECT

public:
    enum class TGlyph { None, Tick, More, Help };

    static constexpr QRgb kHoverColour = 0xFF00FFFF; // aqua

    explicit TImageButton(const QString& text, QWidget* parent = nullptr);

    void SetGlyph(TGlyph glyph);
    TGlyph Glyph() const { return glyph_; }
    void SetFaceColour(const QColor& colour);
    // The colour the face has now: aqua while hovered and not pressed.
    QColor FaceColour() const;
    bool Hovered() const { return hovered_; }
    // The part of the button that is the picture (the whole of a plain one).
    QRect ImageRect() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void PaintFace(QPainter& painter, const QRectF& face) const;
    void PaintGlyph(QPainter& painter, const QRectF& face) const;

    TGlyph glyph_ = TGlyph::None;
    QColor faceColour_{70, 110, 170};
    bool hovered_ = false;
};
