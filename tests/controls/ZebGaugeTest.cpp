#include "ControlsTestApp.h"

#include "controls/ui/ZebGauge.h"

#include <QElapsedTimer>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

class ZebGaugeTest : public ::testing::Test {
protected:
    void SetUp() override { ControlsTestApp(); }

    // A gauge whose peak timer does not run by itself, so tests drive it.
    static std::unique_ptr<TZebGauge> QuietGauge() {
        auto gauge = std::make_unique<TZebGauge>();
        gauge->SetShowPeak(false);
        return gauge;
    }
};

// The colours of the boxes of a 100 x 20 gauge with border width 2, left to
// right, read along its middle row inside the frame and margin.
std::vector<QRgb> BoxColours(const QImage& image, QRgb background) {
    std::vector<QRgb> colours;
    for (const TColourRun& run : RunsInRow(image, image.height() / 2, 3, image.width() - 4, background))
        colours.push_back(run.colour);
    return colours;
}

QRgb Rgb(int r, int g, int b) {
    return qRgb(r, g, b);
}

TEST_F(ZebGaugeTest, StartsWithItsDefaults) {
    TZebGauge gauge;
    EXPECT_EQ(gauge.About_ZebTools(), QStringLiteral("10.10.98"));
    EXPECT_EQ(gauge.BorderStyle(), TZebBevel::Lowered);
    EXPECT_EQ(gauge.BorderWidth(), 2);
    EXPECT_EQ(gauge.Boxes(), 10);
    EXPECT_EQ(gauge.BoxColor().rgb(), Rgb(0, 0, 128));
    EXPECT_EQ(gauge.Color().rgb(), Rgb(192, 192, 192));
    EXPECT_EQ(gauge.Kind(), zebgHorizontal);
    EXPECT_EQ(gauge.MinValue(), 0);
    EXPECT_EQ(gauge.MaxValue(), 100);
    EXPECT_EQ(gauge.Progress(), 0);
    EXPECT_TRUE(gauge.BoxPreview());
    EXPECT_TRUE(gauge.ShowPeak());
    EXPECT_TRUE(gauge.PeakTimerActive());
    EXPECT_FALSE(gauge.IsLevelMeter());
    EXPECT_EQ(gauge.size(), QSize(100, 20));
    EXPECT_EQ(gauge.property("About_ZebTools").toString(), QStringLiteral("10.10.98"));
}

TEST_F(ZebGaugeTest, LightsBoxesByTruncatedPercent) {
    const struct {
        int min, max, boxes, progress, lit, clamped;
    } cases[] = {
        {0, 100, 10, 55, 5, 55},
        {0, 100, 10, 59, 5, 59},
        {0, 100, 10, 60, 6, 60},
        {0, 100, 10, 0, 0, 0},
        {0, 100, 10, 100, 10, 100},
        {0, 100, 10, 250, 10, 100},  // above the range: clamped to MaxValue
        {0, 100, 10, -7, 0, 0},      // below: clamped to MinValue
        {50, 150, 10, 119, 6, 119},  // percent 69 -> 6 boxes
        {50, 150, 10, 10, 0, 50},
        {0, 3, 10, 1, 3, 1},         // percent 33.3 truncated to 33 -> 3 boxes
        {0, 3, 10, 2, 6, 2},         // 66 -> 6
        {0, 100, 7, 50, 3, 50},      // 50 * 7 div 100 = 3
        {0, 100, 100, 37, 37, 37},
        {0, 2000000000, 10, 1999999999, 9, 1999999999}, // a large range divides first
        {0, 2000000000, 10, 2000000000, 10, 2000000000},
        {0, 2000000000, 10, 199999999, 0, 199999999},   // 9.99 % -> 9 % -> 0 boxes
    };
    for (const auto& c : cases) {
        auto gauge = QuietGauge();
        gauge->SetMaxValue(c.max);
        gauge->SetMinValue(c.min);
        gauge->SetBoxes(c.boxes);
        gauge->SetProgress(c.progress);
        EXPECT_EQ(gauge->Progress(), c.clamped) << c.min << ".." << c.max << " @" << c.progress;
        EXPECT_EQ(gauge->LitBoxes(), c.lit) << c.min << ".." << c.max << " @" << c.progress;
    }
}

TEST_F(ZebGaugeTest, PaintsTheLitBoxesAndDimPreviewBoxes) {
    const QRgb navy = Rgb(0, 0, 128);
    const QRgb dim = Rgb(28, 28, 53); // (c - 32) div 5 + 34 per channel of navy
    const struct {
        int progress;
        int lit;
    } cases[] = {{55, 5}, {59, 5}, {60, 6}, {0, 0}, {100, 10}};
    for (const auto& c : cases) {
        auto gauge = QuietGauge();
        gauge->SetProgress(c.progress);
        const std::vector<QRgb> boxes = BoxColours(Paint(*gauge), TZebGauge::kSilver);
        ASSERT_EQ(boxes.size(), 10u) << c.progress;
        for (int i = 0; i < 10; ++i)
            EXPECT_EQ(boxes[i], i < c.lit ? navy : dim) << "progress " << c.progress << " box " << i + 1;
    }
}

TEST_F(ZebGaugeTest, LaysOutCentredBoxesWithOnePixelGaps) {
    auto gauge = QuietGauge();
    gauge->SetProgress(100);
    const QImage image = Paint(*gauge);
    // Width 100, border width 2: box pitch (100 - 2 - 2) div 10 = 9, inner
    // width 94 from x = 3, row offset (94 - 90) div 2 = 2; each box 8 wide.
    const auto runs = RunsInRow(image, 10, 3, 96, TZebGauge::kSilver);
    ASSERT_EQ(runs.size(), 10u);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(runs[i].start, 5 + 9 * i) << i;
        EXPECT_EQ(runs[i].length, 8) << i;
    }
    // The boxes take the full inner height (rows 3 .. 16) and no more.
    EXPECT_EQ(image.pixel(5, 3), Rgb(0, 0, 128));
    EXPECT_EQ(image.pixel(5, 16), Rgb(0, 0, 128));
    EXPECT_EQ(image.pixel(5, 2), Rgb(192, 192, 192));
    EXPECT_EQ(image.pixel(5, 17), Rgb(192, 192, 192));
}

TEST_F(ZebGaugeTest, DrawsTheFrameByBorderStyle) {
    const QRgb grey = Rgb(128, 128, 128), white = Rgb(255, 255, 255), silver = Rgb(192, 192, 192);
    const struct {
        TZebBevel style;
        QRgb topLeft, bottomRight;
    } cases[] = {
        {TZebBevel::Lowered, grey, white},
        {TZebBevel::Raised, white, grey},
        {TZebBevel::None, silver, silver},
        {TZebBevel::Space, silver, silver},
    };
    for (const auto& c : cases) {
        auto gauge = QuietGauge();
        gauge->SetBorderStyle(c.style);
        gauge->SetBorderWidth(0);
        gauge->SetProgress(100);
        const QImage image = Paint(*gauge);
        EXPECT_EQ(image.pixel(0, 0), c.topLeft) << int(c.style);
        EXPECT_EQ(image.pixel(0, 10), c.topLeft) << int(c.style);
        EXPECT_EQ(image.pixel(50, 0), c.topLeft) << int(c.style);
        EXPECT_EQ(image.pixel(99, 19), c.bottomRight) << int(c.style);
        EXPECT_EQ(image.pixel(99, 10), c.bottomRight) << int(c.style);
        EXPECT_EQ(image.pixel(50, 19), c.bottomRight) << int(c.style);
        // Border width 0: the boxes start right inside the kept pixel, from
        // row 1 to row 18 (pitch 98 div 10 = 9, offset (98 - 90) div 2 = 4).
        EXPECT_EQ(image.pixel(5, 1), Rgb(0, 0, 128)) << int(c.style);
        EXPECT_EQ(image.pixel(5, 18), Rgb(0, 0, 128)) << int(c.style);
        EXPECT_EQ(image.pixel(4, 10), silver) << int(c.style);
    }
}

TEST_F(ZebGaugeTest, RepaintsOnlyWhenTheLitBoxCountChanges) {
    auto gauge = QuietGauge();
    int paints = 0;
    struct TPaintCounter : QObject {
        int* count;
        explicit TPaintCounter(int* c) : count(c) {}
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint)
                ++*count;
            return false;
        }
    } counter(&paints);
    gauge->installEventFilter(&counter);
    gauge->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(gauge.get()));
    DrainEvents();

    const struct {
        int progress;
        bool repaints;
    } steps[] = {
        {55, true},   // 0 -> 5 boxes
        {59, false},  // still 5
        {59, false},  // unchanged value
        {60, true},   // 6
        {64, false},
        {250, true},  // clamped to 100: 10 boxes
        {100, false}, // same as the clamped value
        {0, true},
    };
    for (const auto& s : steps) {
        const int before = paints;
        gauge->SetProgress(s.progress);
        DrainEvents();
        EXPECT_EQ(paints > before, s.repaints) << "progress " << s.progress;
    }
}

TEST_F(ZebGaugeTest, AcceptsMinAndMaxOnlyWithinTheirRules) {
    // Each step starts from the state the previous one left.
    enum TWhich { Min, Max };
    const struct {
        TWhich which;
        int value;
        int min, max; // afterwards
    } steps[] = {
        {Min, 150, 0, 100}, // above MaxValue
        {Min, 100, 0, 100}, // equal to MaxValue
        {Min, -1, 0, 100},  // negative
        {Min, 99, 99, 100},
        {Max, 99, 99, 100}, // equal to MinValue
        {Max, 50, 99, 100}, // below MinValue
        {Max, 200, 99, 200},
        {Min, 0, 0, 200},
        {Max, -5, 0, 200},
        {Max, 1, 0, 1},
        {Max, 0, 0, 1},     // not above MinValue 0
    };
    auto gauge = QuietGauge();
    for (const auto& s : steps) {
        if (s.which == Min)
            gauge->SetMinValue(s.value);
        else
            gauge->SetMaxValue(s.value);
        EXPECT_EQ(gauge->MinValue(), s.min) << (s.which == Min ? "min " : "max ") << s.value;
        EXPECT_EQ(gauge->MaxValue(), s.max) << (s.which == Min ? "min " : "max ") << s.value;
    }
}

TEST_F(ZebGaugeTest, StepAddsToProgressWithinTheRange) {
    auto gauge = QuietGauge();
    const struct {
        int delta, progress;
    } steps[] = {{10, 10}, {15, 25}, {-5, 20}, {-100, 0}, {1000, 100}, {0, 100}, {-1, 99}};
    for (const auto& s : steps) {
        gauge->Step(s.delta);
        EXPECT_EQ(gauge->Progress(), s.progress) << s.delta;
    }
}

TEST_F(ZebGaugeTest, NarrowGaugeLosesOneBoxPerPaintUntilBoxesAreThreePixels) {
    auto gauge = QuietGauge();
    gauge->resize(20, 20);
    gauge->SetProgress(100);
    // (20 - 2 - 2) = 16 pixels: 10, 9 boxes give 1 pixel, 8, 7, 6 give 2, 5 give 3.
    const int expected[] = {9, 8, 7, 6, 5, 5, 5};
    for (int boxes : expected) {
        Paint(*gauge);
        EXPECT_EQ(gauge->Boxes(), boxes);
    }
    // Five boxes of 3 pixels (2 lit + 1 gap) fill the 14-pixel inner width.
    const auto runs = RunsInRow(Paint(*gauge), 10, 3, 16, TZebGauge::kSilver);
    ASSERT_EQ(runs.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(runs[i].start, 3 + 3 * i);
        EXPECT_EQ(runs[i].length, 2);
    }
}

TEST_F(ZebGaugeTest, ShownNarrowGaugeShrinksByItsOwnRepaints) {
    auto gauge = QuietGauge();
    gauge->resize(20, 20);
    gauge->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(gauge.get()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return gauge->Boxes() == 5; }, 2000));
    DrainEvents();
    EXPECT_EQ(gauge->Boxes(), 5);
}

TEST_F(ZebGaugeTest, VerticalGaugeShrinksByItsHeight) {
    auto gauge = QuietGauge();
    gauge->SetKind(zebgVertical);
    gauge->resize(100, 20); // wide but short: the height decides
    Paint(*gauge);
    EXPECT_EQ(gauge->Boxes(), 9);
    gauge->resize(20, 100);
    gauge->SetBoxes(10);
    Paint(*gauge);
    EXPECT_EQ(gauge->Boxes(), 10);
}

TEST_F(ZebGaugeTest, TooSmallGaugeGrowsOnePixelPerPaint) {
    const struct {
        QSize start, end;
    } cases[] = {
        {QSize(4, 20), QSize(7, 20)}, // 4 - 2 - 2 * 2 = -2: grows to an inner width of 1
        {QSize(100, 5), QSize(100, 7)},
        {QSize(7, 7), QSize(7, 7)},   // already one pixel inside
    };
    for (const auto& c : cases) {
        auto gauge = QuietGauge();
        gauge->resize(c.start);
        for (int i = 0; i < 10; ++i) {
            const QSize before = gauge->size();
            Paint(*gauge);
            DrainEvents();
            const QSize after = gauge->size();
            const int grown = (after.width() - before.width()) + (after.height() - before.height());
            EXPECT_LE(grown, 1);
        }
        EXPECT_EQ(gauge->size(), c.end) << c.start.width() << "x" << c.start.height();
    }
}

TEST_F(ZebGaugeTest, VerticalGaugeFillsFromTheBottom) {
    auto gauge = QuietGauge();
    gauge->SetKind(zebgVertical);
    gauge->resize(20, 100);
    gauge->SetProgress(30);
    const QImage image = Paint(*gauge);
    const auto runs = RunsInColumnUpwards(image, 10, 3, 96, TZebGauge::kSilver);
    ASSERT_EQ(runs.size(), 10u);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(runs[i].colour, i < 3 ? Rgb(0, 0, 128) : Rgb(28, 28, 53)) << i;
        EXPECT_EQ(runs[i].length, 8) << i;
        EXPECT_EQ(runs[i].start, 94 - 9 * i) << i; // bottom row of each box
    }
}

TEST_F(ZebGaugeTest, LevelMeterColoursItsBands) {
    const QRgb red = Rgb(255, 0, 0), yellow = Rgb(255, 255, 0), lime = Rgb(0, 255, 0), green = Rgb(0, 128, 0),
               maroon = Rgb(128, 0, 0), olive = Rgb(128, 128, 0);
    const struct {
        const char* name;
        bool preview;
        int progress;
        std::vector<QRgb> boxes; // box 1 first
    } cases[] = {
        {"all lit", true, 100, {lime, lime, lime, lime, lime, lime, yellow, yellow, red, red}},
        {"all dim", true, 0, {green, green, green, green, green, green, olive, olive, maroon, maroon}},
        {"half", true, 50, {lime, lime, lime, lime, lime, green, olive, olive, maroon, maroon}},
        // Without preview the lowest band (up to t1 = 10 - 6 = 4) keeps the box colour.
        {"no preview", false, 100, {green, green, green, green, lime, lime, yellow, yellow, red, red}},
        {"no preview, 70", false, 70, {green, green, green, green, lime, lime, yellow}},
    };
    for (const auto& c : cases) {
        auto gauge = QuietGauge();
        gauge->SetBoxColor(QColor::fromRgb(TZebGauge::kGreen));
        ASSERT_TRUE(gauge->IsLevelMeter());
        gauge->SetBoxPreview(c.preview);
        gauge->SetProgress(c.progress);
        EXPECT_EQ(BoxColours(Paint(*gauge), TZebGauge::kSilver), c.boxes) << c.name;
    }
}

TEST_F(ZebGaugeTest, LevelMeterKeepsAtLeastFiveBoxes) {
    auto gauge = QuietGauge();
    gauge->SetBoxes(3);
    EXPECT_EQ(gauge->Boxes(), 3);
    gauge->SetBoxColor(QColor::fromRgb(TZebGauge::kGreen));
    gauge->SetBoxes(4);
    EXPECT_EQ(gauge->Boxes(), 5);
    gauge->SetBoxes(0);
    EXPECT_EQ(gauge->Boxes(), 5);
    gauge->SetBoxes(12);
    EXPECT_EQ(gauge->Boxes(), 12);
    gauge->SetBoxColor(QColor::fromRgb(TZebGauge::kNavy));
    gauge->SetBoxes(0);
    EXPECT_EQ(gauge->Boxes(), 1); // a gauge keeps one box
    gauge->SetBoxes(300);
    EXPECT_EQ(gauge->Boxes(), 255);
}

TEST_F(ZebGaugeTest, PreviewIsADimShadeOfTheBoxColour) {
    const struct {
        QRgb box, dim;
    } cases[] = {
        {Rgb(0, 0, 128), Rgb(28, 28, 53)},
        {Rgb(255, 255, 255), Rgb(78, 78, 78)},
        {Rgb(255, 0, 0), Rgb(78, 28, 28)},
        {Rgb(32, 37, 100), Rgb(34, 35, 47)},
    };
    for (const auto& c : cases) {
        auto gauge = QuietGauge();
        gauge->SetBoxColor(QColor::fromRgb(c.box));
        gauge->SetProgress(30);
        const std::vector<QRgb> boxes = BoxColours(Paint(*gauge), TZebGauge::kSilver);
        ASSERT_EQ(boxes.size(), 10u);
        EXPECT_EQ(boxes[2], c.box);
        EXPECT_EQ(boxes[3], c.dim) << std::hex << c.box;
        EXPECT_EQ(boxes[9], c.dim) << std::hex << c.box;
    }
}

TEST_F(ZebGaugeTest, WithoutPreviewUnlitBoxesShowTheBackground) {
    auto gauge = QuietGauge();
    gauge->SetBoxPreview(false);
    gauge->SetProgress(30);
    const std::vector<QRgb> boxes = BoxColours(Paint(*gauge), TZebGauge::kSilver);
    EXPECT_EQ(boxes, (std::vector<QRgb>{Rgb(0, 0, 128), Rgb(0, 0, 128), Rgb(0, 0, 128)}));
}

TEST_F(ZebGaugeTest, DisabledGaugePaintsGrey) {
    auto gauge = QuietGauge();
    gauge->SetProgress(40);
    gauge->setEnabled(false);
    std::vector<QRgb> expected(4, Rgb(128, 128, 128));
    expected.resize(10, Rgb(53, 53, 53)); // the dim shade of grey
    EXPECT_EQ(BoxColours(Paint(*gauge), TZebGauge::kSilver), expected);
    gauge->setEnabled(true);
    EXPECT_EQ(BoxColours(Paint(*gauge), TZebGauge::kSilver)[0], Rgb(0, 0, 128));
}

TEST_F(ZebGaugeTest, DisabledLevelMeterGreysOnlyTheBoxColourBand) {
    auto gauge = QuietGauge();
    gauge->SetBoxColor(QColor::fromRgb(TZebGauge::kGreen));
    gauge->SetBoxPreview(false);
    gauge->SetProgress(100);
    gauge->setEnabled(false);
    const QRgb grey = Rgb(128, 128, 128), lime = Rgb(0, 255, 0), yellow = Rgb(255, 255, 0), red = Rgb(255, 0, 0);
    EXPECT_EQ(BoxColours(Paint(*gauge), TZebGauge::kSilver),
              (std::vector<QRgb>{grey, grey, grey, grey, lime, lime, yellow, yellow, red, red}));
}

TEST_F(ZebGaugeTest, ColorFillsTheBackground) {
    auto gauge = QuietGauge();
    gauge->SetColor(QColor(10, 20, 30));
    gauge->SetBoxPreview(false);
    const QImage image = Paint(*gauge);
    EXPECT_EQ(image.pixel(50, 10), Rgb(10, 20, 30));
    EXPECT_EQ(image.pixel(2, 2), Rgb(10, 20, 30)); // the margin inside the frame
}

// The peak marker of a 100 x 20 gauge: box k spans x = 5 + 9 (k - 1) ... + 7,
// the marker its last bw div 2 - 1 = 3 pixels.
TEST_F(ZebGaugeTest, PeakHoldsForTwentyTicksAndResetsAtTheTwentyFirst) {
    auto gauge = std::make_unique<TZebGauge>();
    gauge->SetShowPeak(true); // fresh cycle; the timer does not fire without an event loop
    gauge->SetProgress(80);
    gauge->PeakTimerTick(); // tick 1
    EXPECT_EQ(gauge->Peak(), 80);
    gauge->SetProgress(30);
    for (int tick = 2; tick <= 20; ++tick) {
        gauge->PeakTimerTick();
        ASSERT_EQ(gauge->Peak(), 80) << "tick " << tick;
    }

    // Box 8 is a preview box with the marker in its right half.
    const QImage image = Paint(*gauge);
    const int box8 = 5 + 9 * 7;
    EXPECT_EQ(image.pixel(box8, 10), Rgb(28, 28, 53));
    EXPECT_EQ(image.pixel(box8 + 4, 10), Rgb(28, 28, 53));
    EXPECT_EQ(image.pixel(box8 + 5, 10), Rgb(0, 0, 128));
    EXPECT_EQ(image.pixel(box8 + 7, 10), Rgb(0, 0, 128));
    EXPECT_EQ(image.pixel(box8 + 5, 3), Rgb(0, 0, 128));  // full height
    EXPECT_EQ(image.pixel(box8 + 5, 16), Rgb(0, 0, 128));
    EXPECT_EQ(image.pixel(box8 - 4, 10), Rgb(28, 28, 53)); // box 7: no marker

    gauge->PeakTimerTick(); // tick 21: reset
    EXPECT_EQ(gauge->Peak(), 0);
    EXPECT_EQ(BoxColours(Paint(*gauge), TZebGauge::kSilver)[7], Rgb(28, 28, 53));
    const auto runs = RunsInRow(Paint(*gauge), 10, box8, box8 + 7, TZebGauge::kSilver);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].length, 8); // box 8 plain preview again

    gauge->PeakTimerTick(); // tick 1 of the next cycle follows Progress again
    EXPECT_EQ(gauge->Peak(), 30);
    gauge->SetProgress(55);
    gauge->PeakTimerTick();
    EXPECT_EQ(gauge->Peak(), 55);
    gauge->SetProgress(10);
    gauge->PeakTimerTick();
    EXPECT_EQ(gauge->Peak(), 55);
}

TEST_F(ZebGaugeTest, NoMarkerWithoutShowPeak) {
    auto gauge = std::make_unique<TZebGauge>();
    gauge->SetProgress(80);
    gauge->PeakTimerTick();
    ASSERT_EQ(gauge->Peak(), 80);
    gauge->SetShowPeak(false);
    EXPECT_EQ(gauge->Peak(), 0);
    EXPECT_FALSE(gauge->PeakTimerActive());
    gauge->SetProgress(30);
    const auto runs = RunsInRow(Paint(*gauge), 10, 5 + 9 * 7, 5 + 9 * 7 + 7, TZebGauge::kSilver);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].colour, Rgb(28, 28, 53));
}

TEST_F(ZebGaugeTest, LevelMeterPeakMarkerTakesTheBandColour) {
    const struct {
        int peak;
        QRgb marker;
    } cases[] = {{100, Rgb(255, 0, 0)}, {80, Rgb(255, 255, 0)}, {40, Rgb(0, 255, 0)}};
    for (const auto& c : cases) {
        auto gauge = std::make_unique<TZebGauge>();
        gauge->SetBoxColor(QColor::fromRgb(TZebGauge::kGreen));
        gauge->SetShowPeak(true);
        gauge->SetProgress(c.peak);
        gauge->PeakTimerTick(); // peak = c.peak, Progress falls by 5
        ASSERT_EQ(gauge->Peak(), c.peak);
        gauge->SetProgress(0);
        const int pk = c.peak / 10;
        const int boxStart = 5 + 9 * (pk - 1);
        const QImage image = Paint(*gauge);
        EXPECT_EQ(image.pixel(boxStart + 7, 10), c.marker) << c.peak;
        EXPECT_NE(image.pixel(boxStart, 10), c.marker) << c.peak; // left half stays dim
    }
}

TEST_F(ZebGaugeTest, LevelMeterFallsByFivePerTick) {
    auto gauge = std::make_unique<TZebGauge>();
    gauge->SetBoxColor(QColor::fromRgb(TZebGauge::kGreen));
    gauge->SetShowPeak(true);
    gauge->SetProgress(100);
    const int expected[] = {95, 90, 85, 80};
    for (int p : expected) {
        gauge->PeakTimerTick();
        EXPECT_EQ(gauge->Progress(), p);
    }
    EXPECT_EQ(gauge->Peak(), 100);
    gauge->SetProgress(7);
    gauge->PeakTimerTick();
    EXPECT_EQ(gauge->Progress(), 2);
    gauge->PeakTimerTick();
    EXPECT_EQ(gauge->Progress(), 0); // never below MinValue

    auto plain = std::make_unique<TZebGauge>();
    plain->SetProgress(100);
    plain->PeakTimerTick();
    EXPECT_EQ(plain->Progress(), 100); // only a level meter falls
}

TEST_F(ZebGaugeTest, PeakTimerRunsEveryFiftyMilliseconds) {
    auto gauge = std::make_unique<TZebGauge>();
    gauge->SetBoxColor(QColor::fromRgb(TZebGauge::kGreen));
    gauge->SetProgress(100);
    QElapsedTimer clock;
    clock.start();
    // 100 falls to 0 in 20 ticks: about a second at 50 ms a tick.
    ASSERT_TRUE(QTest::qWaitFor([&] { return gauge->Progress() == 0; }, 5000));
    EXPECT_GE(clock.elapsed(), 19 * TZebGauge::kPeakInterval - 50);
    EXPECT_EQ(gauge->Peak(), 100);
    gauge->SetShowPeak(false);
    gauge->SetProgress(50);
    QTest::qWait(120);
    EXPECT_EQ(gauge->Progress(), 50); // stopped
}

TEST_F(ZebGaugeTest, ReportsClicksAndDoubleClicks) {
    qRegisterMetaType<QMouseEvent*>();
    auto gauge = QuietGauge();
    gauge->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(gauge.get()));
    QSignalSpy clicks(gauge.get(), &TZebGauge::clicked);
    QSignalSpy doubleClicks(gauge.get(), &TZebGauge::doubleClicked);
    QSignalSpy downs(gauge.get(), &TZebGauge::mouseDown);
    QTest::mouseClick(gauge.get(), Qt::LeftButton, {}, QPoint(50, 10));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(downs.count(), 1);
    QTest::mouseDClick(gauge.get(), Qt::LeftButton, {}, QPoint(50, 10));
    EXPECT_EQ(doubleClicks.count(), 1);
    // A press that ends outside the gauge is no click.
    const int before = clicks.count();
    QTest::mousePress(gauge.get(), Qt::LeftButton, {}, QPoint(50, 10));
    QTest::mouseRelease(gauge.get(), Qt::LeftButton, {}, QPoint(150, 10));
    EXPECT_EQ(clicks.count(), before);
}

} // namespace
