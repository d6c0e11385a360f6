// The tips dialog on a real settings file in a temporary folder.

#include "ControlsTestApp.h"

#include "app/ZebINI.h"
#include "controls/ui/ImageButton.h"
#include "controls/ui/OutlinedLabel.h"
#include "controls/ui/TipsDialog.h"
#include "support/TempFolder.h"

#include <QCheckBox>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QSet>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class TipsDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ControlsTestApp();
        ini.SetINIFileName(folder.File(QStringLiteral("Talmer-DVD.ini")));
    }
    QString Setting() const {
        return ini.INIReadString(QStringLiteral("TipsDialog"), QStringLiteral("DialogZeigen"),
                                 QStringLiteral("(absent)"));
    }
    void SetSetting(bool show) { ini.INIWriteBool(QStringLiteral("TipsDialog"), QStringLiteral("DialogZeigen"), show); }

    TTempFolder folder;
    TZebINI ini{QStringLiteral("ZebINI_Prog"), folder.Path()};
};

TEST_F(TipsDialogTest, ABorderlessPictureOfItsOwnShapeInTheMiddleOfTheScreen) {
    TTipsDialog dialog(ini);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Tips und Tricks"));
    EXPECT_TRUE(dialog.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(dialog.size(), QSize(580, 399));
    EXPECT_EQ(dialog.HeadingLabel()->Text(), QStringLiteral("Wußten Sie schon ?"));
    EXPECT_EQ(dialog.CurrentTip(), TTipsDialog::InitialText());
    EXPECT_EQ(dialog.TipsZeigenCheckBox()->text(), QStringLiteral("&Weitere Tips beim nächsten Start zeigen?"));
    EXPECT_EQ(dialog.ToggleButton()->text(), dialog.TipsZeigenCheckBox()->text());
    EXPECT_EQ(dialog.OkButton()->text(), QStringLiteral("OK"));
    EXPECT_EQ(dialog.MoreButton()->text(), QStringLiteral("Mehr"));
    EXPECT_EQ(dialog.HelpButton()->text(), QStringLiteral("Hilfe"));

    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_FALSE(dialog.TipsZeigenCheckBox()->isVisible());
    for (QWidget* visible : {static_cast<QWidget*>(dialog.OkButton()), static_cast<QWidget*>(dialog.MoreButton()),
                             static_cast<QWidget*>(dialog.HelpButton()), static_cast<QWidget*>(dialog.ToggleButton()),
                             static_cast<QWidget*>(dialog.TipLabel())}) {
        EXPECT_TRUE(visible->isVisible()) << visible->objectName().toStdString();
        // Everything the user works with lies within the window's outline.
        EXPECT_TRUE(dialog.mask().contains(visible->geometry())) << visible->objectName().toStdString();
    }
    // The window has the outline of its picture: the corners are cut away.
    const QRegion mask = dialog.mask();
    EXPECT_TRUE(mask.contains(QPoint(290, 200)));
    for (QPoint corner : {QPoint(1, 397), QPoint(578, 1), QPoint(578, 397), QPoint(200, 2)})
        EXPECT_FALSE(mask.contains(corner)) << corner.x() << "," << corner.y();
    EXPECT_TRUE(mask.contains(QPoint(80, 12))); // the round badge rises above the panel

    const QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    const QPoint off = dialog.frameGeometry().center() - screen->availableGeometry().center();
    EXPECT_LE(off.manhattanLength(), 2);
    dialog.reject();
}

TEST_F(TipsDialogTest, MoreShowsOneOfTheTipsOfItsRange) {
    QSet<QString> all;
    for (int number = 1; number <= 10; ++number) {
        EXPECT_FALSE(TTipsDialog::TipText(number).isEmpty()) << number;
        all.insert(TTipsDialog::TipText(number));
    }
    EXPECT_EQ(all.size(), 10);
    EXPECT_TRUE(TTipsDialog::TipText(0).isEmpty());
    EXPECT_TRUE(TTipsDialog::TipText(11).isEmpty());
    EXPECT_EQ(TTipsDialog::TipText(6), QStringLiteral("Dass in Movarix ein sehr mächtiger Reportgenerator zur "
                                                      "Verfügung steht...?"));
    EXPECT_FALSE(all.contains(TTipsDialog::InitialText()));

    const struct {
        int first, count;
    } ranges[] = {{1, 10}, {3, 2}, {9, 1}};
    for (const auto& range : ranges) {
        TTipsDialog dialog(ini);
        dialog.SetTips(range.first, range.count);
        QSet<QString> allowed;
        for (int number = range.first; number < range.first + range.count; ++number)
            allowed.insert(TTipsDialog::TipText(number));
        QSet<QString> seen;
        for (int i = 0; i < 200; ++i) {
            dialog.MoreButton()->click();
            EXPECT_TRUE(allowed.contains(dialog.CurrentTip())) << dialog.CurrentTip().toStdString();
            seen.insert(dialog.CurrentTip());
        }
        // 200 draws leave out none of ten tips but with a chance of 10 × 0.9^200.
        EXPECT_EQ(seen, allowed) << range.first;
        dialog.reject();
    }
}

TEST_F(TipsDialogTest, TheToggleIsWrittenWhicheverWayTheDialogCloses) {
    enum class TClose { Ok, Escape, Enter, Reject };
    const struct {
        const char* stored; // DialogZeigen before: absent, "1" or "0"
        int toggleClicks;
        bool byText; // click the toggle's caption rather than its tick box
        TClose close;
        const char* written;
    } cases[] = {
        {nullptr, 0, false, TClose::Ok, "1"},   // absent means on
        {nullptr, 1, false, TClose::Ok, "0"},
        {"1", 1, true, TClose::Escape, "0"},
        {"0", 0, false, TClose::Enter, "0"},
        {"0", 1, false, TClose::Reject, "1"},
        {"0", 2, true, TClose::Ok, "0"},
    };
    for (const auto& c : cases) {
        ini.INIEraseSection(QStringLiteral("TipsDialog"));
        if (c.stored)
            SetSetting(QLatin1String(c.stored) == QLatin1String("1"));
        TTipsDialog dialog(ini);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        EXPECT_EQ(dialog.ToggleButton()->isChecked(), !c.stored || *c.stored == '1');
        TImageButton* toggle = dialog.ToggleButton();
        const QPoint where =
            c.byText ? QPoint(toggle->width() - 20, toggle->height() / 2) : toggle->ImageRect().center();
        for (int i = 0; i < c.toggleClicks; ++i)
            QTest::mouseClick(toggle, Qt::LeftButton, Qt::NoModifier, where);
        // The hidden check box holds what the toggle shows.
        EXPECT_EQ(dialog.TipsZeigenCheckBox()->isChecked(), toggle->isChecked());
        EXPECT_EQ(dialog.ShowAtStart(), toggle->isChecked());
        switch (c.close) {
        case TClose::Ok:
            QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
            break;
        case TClose::Escape:
            QTest::keyClick(&dialog, Qt::Key_Escape);
            break;
        case TClose::Enter:
            QTest::keyClick(&dialog, Qt::Key_Return);
            break;
        case TClose::Reject:
            dialog.reject();
            break;
        }
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), c.close == TClose::Ok || c.close == TClose::Enter ? QDialog::Accepted
                                                                                      : QDialog::Rejected);
        EXPECT_EQ(Setting(), QLatin1String(c.written)) << int(&c - cases);
    }
}

TEST_F(TipsDialogTest, ShowTipsOpensOnlyWhenAllowedAndAlwaysWrites) {
    const struct {
        const char* stored;
        bool onlyWhenEnabled, opens;
    } cases[] = {
        {nullptr, true, true}, {"1", true, true}, {"0", true, false}, {"0", false, true},
    };
    for (const auto& c : cases) {
        ini.INIEraseSection(QStringLiteral("TipsDialog"));
        if (c.stored)
            SetSetting(*c.stored == '1');
        QPointer<TTipsDialog> dialog = TTipsDialog::ShowTips(nullptr, 1, 10, ini, 20, c.onlyWhenEnabled);
        EXPECT_EQ(dialog != nullptr, c.opens);
        // Not opened, the setting is written all the same.
        EXPECT_EQ(Setting(), QLatin1String(c.stored ? c.stored : (c.opens ? "(absent)" : "0")));
        if (!dialog)
            continue;
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_TRUE(dialog->isModal());
        EXPECT_EQ(dialog->HelpContext(), 20);
        EXPECT_EQ(dialog->FirstTip(), 1);
        EXPECT_EQ(dialog->TipCount(), 10);
        QSignalSpy help(dialog.data(), &TTipsDialog::HelpRequested);
        QTest::mouseClick(dialog->HelpButton(), Qt::LeftButton);
        ASSERT_EQ(help.count(), 1);
        EXPECT_EQ(help.at(0).at(0).toInt(), 20);
        dialog->accept();
        EXPECT_EQ(Setting(), QLatin1String(c.stored && *c.stored == '0' ? "0" : "1"));
        DrainEvents();
        EXPECT_TRUE(dialog.isNull()); // it deletes itself once closed
    }
}

TEST_F(TipsDialogTest, PictureButtonsTurnAquaUnderTheMouseUnlessPressed) {
    TTipsDialog dialog(ini);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const QColor aqua(0, 255, 255);
    for (TImageButton* button : {dialog.OkButton(), dialog.MoreButton(), dialog.HelpButton(), dialog.ToggleButton()}) {
        const QColor normal = button->FaceColour();
        ASSERT_NE(normal, aqua);
        // The middle of the face, right of any glyph or caption.
        const QRect image = button->ImageRect();
        const QPoint probe = button->isCheckable()
                                 ? QPoint(image.left() + image.width() * 85 / 100, image.center().y() + 1)
                                 : QPoint(image.right() - 8, image.center().y() + 1);
        auto paintedNear = [&](const QColor& colour) {
            const QColor painted = Paint(*button).pixelColor(probe);
            return std::abs(painted.red() - colour.red()) < 40 && std::abs(painted.green() - colour.green()) < 40 &&
                   std::abs(painted.blue() - colour.blue()) < 40;
        };
        EXPECT_FALSE(paintedNear(aqua));

        QEnterEvent enter(QPointF(probe), button->mapToGlobal(QPointF(probe)), button->mapToGlobal(QPointF(probe)));
        QApplication::sendEvent(button, &enter);
        EXPECT_EQ(button->FaceColour(), aqua) << button->objectName().toStdString();
        EXPECT_TRUE(paintedNear(aqua)) << button->objectName().toStdString();

        button->setDown(true);
        EXPECT_NE(button->FaceColour(), aqua);
        EXPECT_FALSE(paintedNear(aqua));
        button->setDown(false);
        EXPECT_EQ(button->FaceColour(), aqua);

        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(button, &leave);
        EXPECT_EQ(button->FaceColour(), normal);
    }
    dialog.reject();
}

TEST_F(TipsDialogTest, DraggingTheBackgroundMovesTheWindow) {
    TTipsDialog dialog(ini);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const QPoint before = dialog.pos();
    const QPoint grab(300, 120); // on the painted panel, away from every control
    ASSERT_EQ(dialog.childAt(grab), nullptr);
    QTest::mousePress(&dialog, Qt::LeftButton, Qt::NoModifier, grab);
    QTest::mouseMove(&dialog, grab + QPoint(40, 30));
    QTest::mouseRelease(&dialog, Qt::LeftButton, Qt::NoModifier, grab + QPoint(40, 30));
    EXPECT_EQ(dialog.pos(), before + QPoint(40, 30));
    dialog.reject();
}

} // namespace
