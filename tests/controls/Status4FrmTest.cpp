#include "ControlsTestApp.h"

#include "controls/ui/Status4Frm.h"
#include "controls/ui/ZebGauge.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class Status4FrmTest : public ::testing::Test {
protected:
    void SetUp() override { ControlsTestApp(); }
};

TEST_F(Status4FrmTest, IsAToolWindowWithTwoGaugePanels) {
    TStatus4Frm form;
    EXPECT_EQ(form.windowType(), Qt::Tool);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(form.width(), TStatus4Frm::kClientWidth);
    EXPECT_TRUE(form.Label1()->alignment() & Qt::AlignHCenter);
    EXPECT_TRUE(form.Label2()->alignment() & Qt::AlignHCenter);
    EXPECT_TRUE(form.Label2()->wordWrap());
    EXPECT_TRUE(form.Panel2()->isHidden());
    for (TZebGauge* gauge : {form.ZebGauge1(), form.ZebGauge2()}) {
        EXPECT_EQ(gauge->Kind(), zebgHorizontal);
        EXPECT_EQ(gauge->Boxes(), 100);
        EXPECT_EQ(gauge->BoxColor().rgb(), TZebGauge::kNavy);
        EXPECT_EQ(gauge->Color().rgb(), TZebGauge::kSilver);
        EXPECT_EQ(gauge->BorderStyle(), TZebBevel::Lowered);
        EXPECT_EQ(gauge->BorderWidth(), 2);
        EXPECT_TRUE(gauge->ShowPeak());
    }
    EXPECT_EQ(form.ZebGauge2()->parentWidget(), form.Panel2());
    EXPECT_EQ(form.Label2()->parentWidget(), form.Panel2());
}

TEST_F(Status4FrmTest, ShowsThePanelOfTheSecondLineForJobsOfSeveralFiles) {
    const struct {
        int files;
        bool panel2;
    } cases[] = {{0, false}, {1, false}, {2, true}, {17, true}, {-3, false}};
    for (const auto& c : cases) {
        TStatus4Frm form;
        form.SetFileCount(c.files);
        EXPECT_TRUE(form.Panel2()->isHidden()) << c.files; // nothing happens before showing
        form.show();
        EXPECT_EQ(form.Panel2()->isVisible(), c.panel2) << c.files;
    }
}

TEST_F(Status4FrmTest, ACallerMayOpenThePanelItself) {
    TStatus4Frm form;
    form.SetFileCount(1);
    form.Panel2()->setVisible(true);
    form.Label2()->setText(QStringLiteral("Nach /tmp/x.zip"));
    form.ZebGauge2()->setVisible(false);
    form.show();
    EXPECT_TRUE(form.Panel2()->isVisible());
    EXPECT_TRUE(form.Label2()->isVisible());
    EXPECT_FALSE(form.ZebGauge2()->isVisible());
}

TEST_F(Status4FrmTest, TakesItsCaptionWhenShownAndKeepsALaterOne) {
    TStatus4Frm form;
    form.setWindowTitle(QStringLiteral("before"));
    form.show();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Bearbeitungs-Status"));
    form.setWindowTitle(QStringLiteral("Packe Datei(en)....Bitte warten..."));
    QCoreApplication::processEvents();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Packe Datei(en)....Bitte warten..."));
}

TEST_F(Status4FrmTest, OpensInTheMiddleOfTheScreen) {
    TStatus4Frm form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
    const QPoint centre = form.frameGeometry().center();
    EXPECT_LE(std::abs(centre.x() - screenCentre.x()), 2);
    EXPECT_LE(std::abs(centre.y() - screenCentre.y()), 2);
}

TEST_F(Status4FrmTest, GaugesShowProgressInTheWindow) {
    TStatus4Frm form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.ZebGauge1()->SetProgress(50);
    const QImage image = Paint(*form.ZebGauge1());
    const auto runs = RunsInRow(image, image.height() / 2, 3, image.width() - 4, TZebGauge::kSilver);
    int navy = 0;
    for (const TColourRun& run : runs)
        navy += run.colour == (TZebGauge::kNavy | 0xFF000000) ? 1 : 0;
    EXPECT_EQ(navy, 50); // 100 boxes, half lit
}

} // namespace
