#pragma once
// A label whose text stands out of the window: the text is drawn several
// times, stepping from a far colour behind towards the face, then the face
// itself on top (the kind label over the pages).

#include <QColor>
#include <QLabel>

class TExtrudeLabel : public QLabel {
    Q_OBJECT

public:
    explicit TExtrudeLabel(QWidget* parent = nullptr);

    void SetFarColour(const QColor& colour);
    const QColor& FarColour() const { return farColour_; }
    void SetDepth(int depth);
    int Depth() const { return depth_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor farColour_ = Qt::cyan;
    int depth_ = 5;
};
