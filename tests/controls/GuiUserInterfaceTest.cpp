#include "ControlsTestApp.h"

#include "controls/ui/GuiUserInterface.h"
#include "controls/ui/Status4Frm.h"
#include "controls/ui/TimedMessage.h"
#include "controls/ui/ZebGauge.h"

#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

using TKind = TUserInterface::TDialogKind;

// What the dialog hook saw of one dialog.
struct TSeen {
    int count = 0;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    int timeoutMs = -1; // of a timed message
};

class GuiUserInterfaceTest : public ::testing::Test {
protected:
    void SetUp() override { ControlsTestApp(); }

    // Records each dialog and answers it from inside its event loop with the
    // given action.
    void AnswerWith(std::function<void(QDialog&)> answer) {
        ui.SetDialogHook([this, answer](QDialog& dialog) {
            ++seen.count;
            seen.title = dialog.windowTitle();
            if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
                seen.text = box->text();
                seen.icon = box->icon();
                seen.buttons.clear();
                for (QAbstractButton* button : box->buttons())
                    seen.buttons << button->text();
                seen.buttons.sort();
            }
            if (auto* timed = qobject_cast<TTimedMessage*>(&dialog)) {
                seen.text = timed->TextLabel()->text();
                seen.timeoutMs = timed->TimeoutMs();
            }
            QTimer::singleShot(0, &dialog, [&dialog, answer] { answer(dialog); });
        });
    }

    static std::function<void(QDialog&)> Click(QMessageBox::StandardButton which) {
        return [which](QDialog& dialog) { static_cast<QMessageBox&>(dialog).button(which)->click(); };
    }

    TGuiUserInterface ui{nullptr, QStringLiteral("Talmer-Movarix")};
    TSeen seen;
};

TEST_F(GuiUserInterfaceTest, PlainMessageHasTheApplicationTitleAndOk) {
    AnswerWith(Click(QMessageBox::Ok));
    ui.ShowMessage(QStringLiteral("Neue Datenbank erzeugt !"));
    EXPECT_EQ(seen.count, 1);
    EXPECT_EQ(seen.title, QStringLiteral("Talmer-Movarix"));
    EXPECT_EQ(seen.text, QStringLiteral("Neue Datenbank erzeugt !"));
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.buttons, QStringList{QStringLiteral("OK")});
}

TEST_F(GuiUserInterfaceTest, WithoutATitleUsesTheApplicationName) {
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Movarix Test"));
    TGuiUserInterface plain;
    EXPECT_EQ(plain.ApplicationTitle(), QStringLiteral("Movarix Test"));
}

TEST_F(GuiUserInterfaceTest, MessageBoxesAndDialogsCarryTheirIcons) {
    const struct {
        TKind kind;
        QMessageBox::Icon icon;
        const char* caption;
    } cases[] = {
        {TKind::Information, QMessageBox::Information, "Information"},
        {TKind::Warning, QMessageBox::Warning, "Warnung"},
        {TKind::Error, QMessageBox::Critical, "Fehler"},
        {TKind::Confirmation, QMessageBox::Question, "Bestätigen"},
    };
    AnswerWith(Click(QMessageBox::Ok));
    for (const auto& c : cases) {
        ui.MessageBox(QStringLiteral("Datenbank nicht vorhanden"), QStringLiteral("Datenbank fehlt"), c.kind);
        EXPECT_EQ(seen.title, QStringLiteral("Datenbank nicht vorhanden"));
        EXPECT_EQ(seen.icon, c.icon);
        EXPECT_EQ(seen.buttons, QStringList{QStringLiteral("OK")});

        ui.Dialog(QStringLiteral("Fertig"), c.kind);
        EXPECT_EQ(seen.title, QString::fromUtf8(c.caption));
        EXPECT_EQ(seen.text, QStringLiteral("Fertig"));
        EXPECT_EQ(seen.icon, c.icon);
        EXPECT_EQ(seen.buttons, QStringList{QStringLiteral("OK")});
    }
    EXPECT_EQ(seen.count, 8);
}

TEST_F(GuiUserInterfaceTest, OnlyYesCountsAsConsent) {
    const struct {
        const char* name;
        std::function<void(QDialog&)> answer;
        bool consent;
    } cases[] = {
        {"Yes", Click(QMessageBox::Yes), true},
        {"No", Click(QMessageBox::No), false},
        {"Escape", [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }, false},
        {"closed", [](QDialog& d) { d.close(); }, false},
        {"rejected", [](QDialog& d) { d.reject(); }, false},
        {"Enter on the default", [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Return); }, true},
    };
    for (const auto& c : cases) {
        AnswerWith(c.answer);
        EXPECT_EQ(ui.Confirm(QStringLiteral("Jetzt erzeugen ?")), c.consent) << c.name;
        EXPECT_EQ(seen.icon, QMessageBox::Question) << c.name;
        EXPECT_EQ(seen.buttons, (QStringList{QStringLiteral("&Ja"), QStringLiteral("&Nein")})) << c.name;
    }
    AnswerWith(Click(QMessageBox::Yes));
    EXPECT_TRUE(ui.Confirm(QStringLiteral("Wirklich ?"), TKind::Warning));
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_EQ(seen.title, QStringLiteral("Warnung"));
}

TEST_F(GuiUserInterfaceTest, TimedNoticeUsesTheTimedWindow) {
    AnswerWith([](QDialog& d) { QTest::mouseClick(static_cast<TTimedMessage&>(d).TextLabel(), Qt::LeftButton); });
    ui.TimedNotice(QStringLiteral("Hinweis"), QStringLiteral("Angeklicktes Feld ist nicht indiziert !"), 5);
    EXPECT_EQ(seen.count, 1);
    EXPECT_EQ(seen.title, QStringLiteral("Hinweis"));
    EXPECT_EQ(seen.text, QStringLiteral("Angeklicktes Feld ist nicht indiziert !"));
    EXPECT_EQ(seen.timeoutMs, 5000);

    ui.TimedNotice(QString(), QStringLiteral("x"), 2);
    EXPECT_EQ(seen.title, QStringLiteral("Ereignisnachricht"));
    EXPECT_EQ(seen.timeoutMs, 2000);
}

TEST_F(GuiUserInterfaceTest, TimedNoticeEndsByItself) {
    // The hook only watches; the window closes on its own after one second.
    ui.SetDialogHook([this](QDialog&) { ++seen.count; });
    QElapsedTimer clock;
    clock.start();
    ui.TimedNotice(QStringLiteral("Hinweis"), QStringLiteral("x"), 1);
    EXPECT_EQ(seen.count, 1);
    EXPECT_GE(clock.elapsed(), 900);
    EXPECT_LT(clock.elapsed(), 5000);
}

TEST_F(GuiUserInterfaceTest, ErrorBoxShowsTheErrorIcon) {
    AnswerWith(Click(QMessageBox::Ok));
    ui.ErrorBox(QStringLiteral("Fehler"), QStringLiteral("Datei nicht gefunden"));
    EXPECT_EQ(seen.title, QStringLiteral("Fehler"));
    EXPECT_EQ(seen.text, QStringLiteral("Datei nicht gefunden"));
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    ui.ErrorBox(QString(), QStringLiteral("x"));
    EXPECT_EQ(seen.title, QStringLiteral("Talmer-Movarix"));
}

TEST_F(GuiUserInterfaceTest, HourglassNests) {
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    ui.SetHourglass(true);
    ui.SetHourglass(true);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    ui.SetHourglass(false);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    ui.SetHourglass(false);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(ui.HourglassDepth(), 0);

    // An unmatched "off" leaves a cursor set by someone else alone.
    QGuiApplication::setOverrideCursor(Qt::CrossCursor);
    ui.SetHourglass(false);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
    QGuiApplication::restoreOverrideCursor();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(GuiUserInterfaceTest, HourglassScopeAndDestructionRestoreTheCursor) {
    {
        THourglass scope(ui);
        EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    {
        TGuiUserInterface other;
        other.SetHourglass(true);
        other.SetHourglass(true);
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(GuiUserInterfaceTest, ProcessEventsRunsPendingWork) {
    bool ran = false;
    QTimer::singleShot(0, [&ran] { ran = true; });
    ui.ProcessEvents();
    EXPECT_TRUE(ran);
}

TEST_F(GuiUserInterfaceTest, StatusWindowShowsUpdatesAndCloses) {
    ui.StatusShow(QStringLiteral("Baue Index neu auf, bitte warten Sie...."), false, false);
    QPointer<TStatus4Frm> window = ui.StatusWindow();
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Bearbeitungs-Status"));
    EXPECT_EQ(window->Label1()->text(), QStringLiteral("Baue Index neu auf, bitte warten Sie...."));
    EXPECT_FALSE(window->ZebGauge1()->isVisible());
    EXPECT_FALSE(window->Panel2()->isVisible());

    ui.StatusClose();
    DrainEvents();
    EXPECT_FALSE(window);
    EXPECT_EQ(ui.StatusWindow(), nullptr);
    ui.StatusClose(); // twice is harmless
}

TEST_F(GuiUserInterfaceTest, StatusWindowWithGaugesAndSecondPanel) {
    ui.StatusShow(QStringLiteral("Von /data/DVD.A*"), true, true);
    QPointer<TStatus4Frm> window = ui.StatusWindow();
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->ZebGauge1()->isVisible());
    EXPECT_TRUE(window->Panel2()->isVisible());
    EXPECT_TRUE(window->ZebGauge2()->isVisible());
    EXPECT_EQ(window->ZebGauge1()->Progress(), 0);

    ui.StatusUpdate(QStringLiteral("Datei 1"), QStringLiteral("Nach /backup.zip"), 40, 250);
    EXPECT_EQ(window->Label1()->text(), QStringLiteral("Datei 1"));
    EXPECT_EQ(window->Label2()->text(), QStringLiteral("Nach /backup.zip"));
    EXPECT_EQ(window->ZebGauge1()->Progress(), 40);
    EXPECT_EQ(window->ZebGauge2()->Progress(), 100); // clamped by the gauge

    // A second show replaces the first window.
    ui.StatusShow(QStringLiteral("again"), false, false);
    DrainEvents();
    EXPECT_FALSE(window);
    ASSERT_NE(ui.StatusWindow(), nullptr);
    EXPECT_EQ(ui.StatusWindow()->Label1()->text(), QStringLiteral("again"));
    ui.StatusClose();
    // Without a window an update does nothing.
    ui.StatusUpdate(QStringLiteral("x"), QString(), 1, 1);
    EXPECT_EQ(ui.StatusWindow(), nullptr);
}

} // namespace
