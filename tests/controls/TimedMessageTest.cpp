#include "ControlsTestApp.h"

#include "controls/ui/TimedMessage.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

class TimedMessageTest : public ::testing::Test {
protected:
    void SetUp() override { ControlsTestApp(); }
};

const QString kText = QStringLiteral("Angeklicktes Feld ist nicht indiziert !");

TEST_F(TimedMessageTest, EmptyCaptionShowsTheDefault) {
    const struct {
        QString caption, shown;
    } cases[] = {
        {QString(), QStringLiteral("Ereignisnachricht")},
        {QStringLiteral("Hinweis"), QStringLiteral("Hinweis")},
    };
    for (const auto& c : cases) {
        TTimedMessage message(c.caption, kText);
        EXPECT_EQ(message.windowTitle(), c.shown);
        EXPECT_EQ(message.TextLabel()->text(), kText);
        EXPECT_EQ(message.TimeoutMs(), 5000);
    }
}

TEST_F(TimedMessageTest, LooksLikeAYellowNoticeWithBoldBlueText) {
    TTimedMessage message(QStringLiteral("Hinweis"), kText, 0);
    message.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&message));
    EXPECT_EQ(message.windowType(), Qt::Tool);
    EXPECT_EQ(message.height(), 100);
    EXPECT_EQ(message.OkButton()->geometry().top(), message.height() - 60);
    EXPECT_EQ(message.OkButton()->text(), QStringLiteral("OK"));
    EXPECT_TRUE(message.OkButton()->isVisible());
    EXPECT_LT(message.TextLabel()->geometry().bottom(), message.OkButton()->geometry().top());
    EXPECT_TRUE(message.TextLabel()->alignment() & Qt::AlignHCenter);
    EXPECT_EQ(message.TextLabel()->font().family(), QStringLiteral("Arial"));
    EXPECT_TRUE(message.TextLabel()->font().bold());
    EXPECT_EQ(message.TextLabel()->palette().color(QPalette::WindowText).rgb(), TTimedMessage::kTextColor);

    const QImage image = Paint(message);
    EXPECT_EQ(image.pixel(1, 1), qRgb(255, 255, 0));
    EXPECT_EQ(image.pixel(1, message.height() - 2), qRgb(255, 255, 0));
    // The text itself is painted in blue on the yellow ground.
    const QRect text = message.TextLabel()->geometry();
    int blue = 0;
    for (int y = text.top(); y <= text.bottom(); ++y)
        for (int x = text.left(); x <= text.right(); ++x) {
            const QRgb c = image.pixel(x, y);
            if (qBlue(c) > 200 && qRed(c) < 60 && qGreen(c) < 60)
                ++blue;
        }
    EXPECT_GT(blue, 20);

    const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE(std::abs(message.frameGeometry().center().x() - screenCentre.x()), 2);
    EXPECT_LE(std::abs(message.frameGeometry().center().y() - screenCentre.y()), 2);
}

TEST_F(TimedMessageTest, ClosesByItselfWhenItsTimeIsUp) {
    TTimedMessage message(QStringLiteral("Hinweis"), kText, 80);
    QSignalSpy finished(&message, &QDialog::finished);
    QElapsedTimer clock;
    clock.start();
    message.show();
    ASSERT_TRUE(message.CloseTimerActive());
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished.count() == 1; }, 3000));
    EXPECT_GE(clock.elapsed(), 70);
    EXPECT_FALSE(message.isVisible());
    QTest::qWait(150);
    EXPECT_EQ(finished.count(), 1); // it closes once
}

TEST_F(TimedMessageTest, DoesNotCloseBeforeItsTime) {
    TTimedMessage message(QStringLiteral("Hinweis"), kText, 400);
    QSignalSpy finished(&message, &QDialog::finished);
    message.show();
    QTest::qWait(100);
    EXPECT_EQ(finished.count(), 0);
    EXPECT_TRUE(message.isVisible());
}

TEST_F(TimedMessageTest, ClosesOnOkOrAClickOnTheWindowOrTheText) {
    const struct {
        const char* name;
        std::function<void(TTimedMessage&)> act;
    } cases[] = {
        {"OK button", [](TTimedMessage& m) { QTest::mouseClick(m.OkButton(), Qt::LeftButton); }},
        {"text", [](TTimedMessage& m) { QTest::mouseClick(m.TextLabel(), Qt::LeftButton); }},
        {"window", [](TTimedMessage& m) { QTest::mouseClick(&m, Qt::LeftButton, {}, QPoint(3, m.height() - 3)); }},
        {"Enter key", [](TTimedMessage& m) { QTest::keyClick(&m, Qt::Key_Return); }},
    };
    for (const auto& c : cases) {
        TTimedMessage message(QStringLiteral("Hinweis"), kText, 60000);
        QSignalSpy finished(&message, &QDialog::finished);
        message.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&message)) << c.name;
        c.act(message);
        EXPECT_EQ(finished.count(), 1) << c.name;
        EXPECT_FALSE(message.isVisible()) << c.name;
        EXPECT_FALSE(message.CloseTimerActive()) << c.name;
    }
}

TEST_F(TimedMessageTest, RightClickDoesNotClose) {
    TTimedMessage message(QStringLiteral("Hinweis"), kText, 60000);
    QSignalSpy finished(&message, &QDialog::finished);
    message.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&message));
    QTest::mouseClick(message.TextLabel(), Qt::RightButton);
    EXPECT_EQ(finished.count(), 0);
    EXPECT_TRUE(message.isVisible());
}

TEST_F(TimedMessageTest, RunsModallyUntilItsTimeIsUp) {
    TTimedMessage message(QString(), kText, 60);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(message.exec(), QDialog::Accepted);
    EXPECT_GE(clock.elapsed(), 50);
    EXPECT_LT(clock.elapsed(), 3000);
}

} // namespace
