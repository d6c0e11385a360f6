// Tool-tip timing on real widgets: the pause before a tip appears comes
// from the application's style, the time it stays from the widget, and
// hints switched off leave every tip unshown.

#include "ControlsTestApp.h"

#include "controls/ui/HintTiming.h"

#include <QElapsedTimer>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QStyle>
#include <QTest>
#include <QToolTip>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

namespace {

class HintTimingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ControlsTestApp();
        window = std::make_unique<QWidget>();
        window->setAttribute(Qt::WA_AlwaysShowToolTips); // the offscreen window need not be active
        auto* layout = new QVBoxLayout(window.get());
        label = new QLabel(QStringLiteral("Satznummer"), window.get());
        label->setToolTip(QStringLiteral("Zeigt die aktuelle Satznr..."));
        plain = new QLabel(QStringLiteral("ohne Hinweis"), window.get());
        layout->addWidget(label);
        layout->addWidget(plain);
        window->resize(300, 200);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        ForgetTips();
    }
    void TearDown() override { ForgetTips(); }

    // No tip on the screen, and Qt's "a tip was just shown, show the next
    // one at once" window closed (a key press closes it).
    void ForgetTips() {
        QToolTip::hideText();
        EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 2000));
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Shift, Qt::NoModifier);
        QApplication::sendEvent(plain, &key);
    }
    // What Qt sends a widget when the mouse has rested on it.
    static void AskForTip(QWidget* widget) {
        QHelpEvent help(QEvent::ToolTip, widget->rect().center(), widget->mapToGlobal(widget->rect().center()));
        QApplication::sendEvent(widget, &help);
    }

    std::unique_ptr<QWidget> window;
    QLabel* label = nullptr;
    QLabel* plain = nullptr;
};

TEST_F(HintTimingTest, ValuesReachTheStyleAndTheWidgets) {
    THintTiming timing;
    EXPECT_EQ(THintTiming::ApplicationHintPause(), 800);
    EXPECT_EQ(timing.HintHidePause(), 2500);
    const struct {
        int pause, hidePause;
        int stylePause, duration; // what the style answers, what the widget gets
    } cases[] = {
        {1200, 5000, 1200, 5000},
        {0, 20000, 0, 20000},
        {-5, 0, 0, -1}, // nothing below 0; no time of our own leaves it to Qt
        {800, 2500, 800, 2500},
    };
    for (const auto& c : cases) {
        timing.SetHintPause(c.pause);
        timing.SetHintHidePause(c.hidePause);
        EXPECT_EQ(THintTiming::ApplicationHintPause(), c.stylePause) << c.pause;
        // Each widget asks its own style, which is the application's.
        EXPECT_EQ(label->style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay, nullptr, label), c.stylePause);
        AskForTip(label);
        EXPECT_TRUE(QToolTip::isVisible());
        EXPECT_EQ(label->toolTipDuration(), c.duration) << c.hidePause;
        ForgetTips();
    }
    // The style is wrapped once, however often the timing is made.
    QStyle* style = QApplication::style();
    THintTiming second;
    second.SetHintPause(1500);
    EXPECT_EQ(QApplication::style(), style);
    EXPECT_EQ(THintTiming::ApplicationHintPause(), 1500);
}

TEST_F(HintTimingTest, TipsAppearAfterThePauseAndStayTheirTime) {
    THintTiming timing;
    // Longer than Qt's own 700 ms, so that a tip shown on Qt's timing
    // would come too early; timers may fire up to 5 % early.
    timing.SetHintPause(1200);
    timing.SetHintHidePause(600); // far below Qt's own 10 s
    QElapsedTimer clock;
    clock.start();
    QTest::mouseMove(label); // the mouse comes to rest on the label
    ASSERT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }, 6000));
    EXPECT_GE(clock.elapsed(), 1200 * 95 / 100);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Zeigt die aktuelle Satznr..."));

    clock.restart();
    ASSERT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 6000));
    EXPECT_GE(clock.elapsed(), 600 * 95 / 100);
}

TEST_F(HintTimingTest, HintsOffShowNoTipUntilSwitchedOnAgain) {
    THintTiming timing;
    const struct {
        bool active, shown;
    } cases[] = {{false, false}, {true, true}, {false, false}};
    for (const auto& c : cases) {
        timing.SetActive(c.active);
        AskForTip(label);
        EXPECT_EQ(QToolTip::isVisible(), c.shown) << c.active;
        ForgetTips();
    }
}

} // namespace
