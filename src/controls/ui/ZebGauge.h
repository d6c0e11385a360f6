#pragma once
// TZebGauge: a segmented progress bar. A row (or column) of boxes lights up as
// Progress grows; the unlit boxes can show as dim preview boxes, a peak marker
// remembers the highest value of the last second, and a green box colour turns
// the gauge into a multi-colour level meter that falls back by itself.
//
// The control paints opaquely from an off-screen image, and repaints on a
// Progress change only when the number of lit boxes changes.

#include <QColor>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <cstdint>

enum TZebGaugeKind { zebgHorizontal, zebgVertical };

// The 1-pixel frame around the gauge. None and Space draw nothing there but
// keep the pixel free.
enum class TZebBevel { None, Lowered, Raised, Space };

class TZebGauge : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString About_ZebTools READ About_ZebTools)
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE SetBorderWidth)
    Q_PROPERTY(int Boxes READ Boxes WRITE SetBoxes)
    Q_PROPERTY(QColor BoxColor READ BoxColor WRITE SetBoxColor)
    Q_PROPERTY(QColor Color READ Color WRITE SetColor)
    Q_PROPERTY(int MaxValue READ MaxValue WRITE SetMaxValue)
    Q_PROPERTY(int MinValue READ MinValue WRITE SetMinValue)
    Q_PROPERTY(int Progress READ Progress WRITE SetProgress)
    Q_PROPERTY(bool BoxPreview READ BoxPreview WRITE SetBoxPreview)
    Q_PROPERTY(bool ShowPeak READ ShowPeak WRITE SetShowPeak)

public:
    // Colours the painting uses by name.
    static constexpr QRgb kNavy = 0xFF000080;
    static constexpr QRgb kSilver = 0xFFC0C0C0;
    static constexpr QRgb kGreen = 0xFF008000; // as BoxColor: level-meter mode
    static constexpr QRgb kRed = 0xFFFF0000;
    static constexpr QRgb kYellow = 0xFFFFFF00;
    static constexpr QRgb kLime = 0xFF00FF00;
    static constexpr QRgb kMaroon = 0xFF800000;
    static constexpr QRgb kOlive = 0xFF808000;
    static constexpr QRgb kDarkGreen = 0xFF004000; // preview of the lowest level-meter band
    static constexpr QRgb kGrey = 0xFF808080;      // lit boxes of a disabled gauge; frame shadow
    static constexpr QRgb kWhite = 0xFFFFFFFF;     // frame highlight

    static constexpr int kPeakInterval = 50; // ms between peak-timer ticks
    static constexpr int kPeakHoldTicks = 20; // ticks the peak follows before it is reset

    explicit TZebGauge(QWidget* parent = nullptr);

    QString About_ZebTools() const { return QStringLiteral("10.10.98"); }

    TZebBevel BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TZebBevel style);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int width);
    // A byte; 0 counts as 1 (a gauge always has a box), in level-meter mode
    // values below 5 become 5.
    int Boxes() const { return boxes_; }
    void SetBoxes(int boxes);
    QColor BoxColor() const { return boxColor_; }
    void SetBoxColor(const QColor& color);
    QColor Color() const { return color_; }
    void SetColor(const QColor& color);
    TZebGaugeKind Kind() const { return kind_; }
    void SetKind(TZebGaugeKind kind);
    // Accepted only when 0 <= v < MaxValue and v differs; otherwise ignored.
    int MinValue() const { return minValue_; }
    void SetMinValue(int value);
    // Accepted only when v >= 0, v > MinValue and v differs; otherwise ignored.
    int MaxValue() const { return maxValue_; }
    void SetMaxValue(int value);
    // Clamped to MinValue ... MaxValue; repaints only when the lit boxes change.
    int Progress() const { return progress_; }
    void SetProgress(int value);
    bool BoxPreview() const { return boxPreview_; }
    void SetBoxPreview(bool on);
    // Starts or stops the peak timer and clears the peak.
    bool ShowPeak() const { return showPeak_; }
    void SetShowPeak(bool on);
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }

    // Adds delta to Progress.
    void Step(int delta);

    // True while BoxColor is green: red, yellow and lime bands, and the bar
    // falls by 5 at every peak-timer tick.
    bool IsLevelMeter() const;
    // The boxes lit by a value of the range (at most Boxes).
    int LitBoxesFor(int value) const;
    int LitBoxes() const { return LitBoxesFor(progress_); }
    int Peak() const { return peak_; }
    bool PeakTimerActive() const { return peakTimer_.isActive(); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public slots:
    // One tick of the peak timer: for kPeakHoldTicks ticks the peak follows
    // the highest Progress, the next tick resets it to 0 and the count starts
    // again; a level meter also falls by 5.
    void PeakTimerTick();

signals:
    void clicked();
    void doubleClicked();
    void mouseDown(QMouseEvent* event);
    void mouseMove(QMouseEvent* event);
    void mouseUp(QMouseEvent* event);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // The colour of lit box i (1-based) in the bands of t1..t3.
    QColor LitColor(int box, int t1, int t2, int t3) const;
    QColor PreviewColor(int box, int t1, int t2, int t3) const;
    QColor EffectiveBoxColor() const;

    TZebBevel borderStyle_ = TZebBevel::Lowered;
    int borderWidth_ = 2;
    int boxes_ = 10;
    QColor boxColor_ = QColor::fromRgb(kNavy);
    QColor color_ = QColor::fromRgb(kSilver);
    TZebGaugeKind kind_ = zebgHorizontal;
    int minValue_ = 0;
    int maxValue_ = 100;
    int progress_ = 0;
    bool boxPreview_ = true;
    bool showPeak_ = true;
    int tag_ = 0;

    int litAtLastPaint_ = -1; // -1: not painted yet
    int peak_ = 0;
    int peakTicks_ = 0;       // ticks since the last peak reset
    bool pressed_ = false;    // a click needs press and release inside
    QTimer peakTimer_;
};
