#pragma once
// TOutlinedLabel: text drawn with an outline around each letter, so that it
// reads on a painted background of any colour. The text is word-wrapped to
// the label's width and centred, or left-aligned, as set.

#include <QColor>
#include <QWidget>

class TOutlinedLabel : public QWidget {
    Q_OBJECT

public:
    explicit TOutlinedLabel(const QString& text = QString(), QWidget* parent = nullptr);

    const QString& Text() const { return text_; }
    void SetText(const QString& text);
    void SetColours(const QColor& fill, const QColor& outline);
    QColor FillColour() const { return fill_; }
    QColor OutlineColour() const { return outline_; }
    void SetOutlineWidth(qreal width);
    void SetAlignment(Qt::Alignment alignment);
    // The height the wrapped text needs at a width.
    int heightForWidth(int width) const override;
    bool hasHeightForWidth() const override { return true; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    QColor fill_{Qt::white};
    QColor outline_{Qt::black};
    qreal outlineWidth_ = 3.0;
    Qt::Alignment alignment_ = Qt::AlignCenter;
};
