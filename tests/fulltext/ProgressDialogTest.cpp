// The build progress window on real builds of a real catalogue: what it
// shows while reading, writing and indexing, how it ends (auto-close or
// "Done"), Cancel and "Close", the extrapolated writing gauge of a
// segmented build, and folding the statistics panel.

#include "IndexFixture.h"
#include "ProgressTestApp.h"

#include "fulltext/EngineListener.h"
#include "fulltext/EngineState.h"
#include "fulltext/FullTextIndexer.h"
#include "fulltext/Make.h"
#include "fulltext/WordsLink.h"
#include "fulltext/ui/ProgressDialog.h"
#include "fulltext/ui/ProgressDlg.h"

#include <QAction>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLocale>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// Sits between the engine and the window component, passing everything on
// and then letting the test look at the window at that moment.
class TProbe : public TrbEngineListener {
public:
    explicit TProbe(TrbProgressDialog& component) : component_(component) {}
    void StateChanged(int state, int previous) override {
        component_.StateChanged(state, previous);
        if (onState)
            onState(state, previous);
    }
    void RowPosted() override { component_.RowPosted(); }
    void ProcessEvents() override {
        component_.ProcessEvents();
        if (onRecord)
            onRecord();
    }

    std::function<void(int state, int previous)> onState;
    std::function<void()> onRecord;

private:
    TrbProgressDialog& component_;
};

bool On(int bit, int state, int previous) {
    return (state & bit) != 0 && (previous & bit) == 0;
}

bool Off(int bit, int state, int previous) {
    return (state & bit) == 0 && (previous & bit) != 0;
}

class ProgressDialogTest : public ::testing::Test {
protected:
    ProgressDialogTest() {
        ProgressTestApp();
        component.SetRefreshInterval(0);
        component.SetOnFormCreate([this](TrbProgressDlg& dialog) {
            ++windowsMade;
            lastWindow = &dialog;
        });
        component.SetEngine(&indexer.Make());
    }
    ~ProgressDialogTest() override {
        component.SetEngine(nullptr);
        DrainProgressEvents();
    }

    // Routes the engine's notifications through the probe.
    void UseProbe() { indexer.Make().SetListener(&probe); }

    TIndexFixture fx;
    TFullTextIndexer indexer{fx.catalogue, fx.folder.Path(), fx.ui};
    TrbProgressDialog component;
    TProbe probe{component};
    int windowsMade = 0;
    QPointer<TrbProgressDlg> lastWindow;
};

TEST_F(ProgressDialogTest, AutoCloseShowsReadingWritingIndexingAndClosesAfterTheIndexes) {
    fx.AddGeneratedRecords(300, 7);
    UseProbe();
    std::vector<std::string> captions; // std::string: readable in a failure message
    bool visibleWhileIndexing = false;
    bool closedWhenIndexingEnded = false;
    int readingMinimum = -99;
    int readingMaximum = -99;
    probe.onState = [&](int state, int previous) {
        TrbProgressDlg* dialog = component.Dialog();
        if (Off(TrbEngineState::Indexing, state, previous))
            closedWhenIndexingEnded = dialog == nullptr;
        if (!dialog)
            return;
        const std::string caption = dialog->windowTitle().toStdString();
        if (captions.empty() || captions.back() != caption)
            captions.push_back(caption);
        if (On(TrbEngineState::Building, state, previous)) {
            readingMinimum = dialog->ReadingGauge()->minimum();
            readingMaximum = dialog->ReadingGauge()->maximum();
        }
        if (On(TrbEngineState::Indexing, state, previous))
            visibleWhileIndexing = dialog->isVisible();
    };
    indexer.BuildIndex(TFullTextIndexer::ProgramSegmentSize);
    DrainProgressEvents();

    ASSERT_TRUE(QFile::exists(indexer.WordsTablePath()));
    EXPECT_EQ(windowsMade, 1);
    EXPECT_TRUE(visibleWhileIndexing);
    EXPECT_TRUE(closedWhenIndexingEnded);
    EXPECT_EQ(captions, (std::vector<std::string>{"Building", "Indexing ..."}));
    // Every segment is built: the gauge spans the whole catalogue.
    EXPECT_EQ(readingMinimum, indexer.Make().MinIndex() - 1);
    EXPECT_EQ(readingMaximum, indexer.Make().MaxIndex());
    // Closed and gone once the indexes exist.
    EXPECT_TRUE(lastWindow.isNull());
    EXPECT_EQ(component.Dialog(), nullptr);
}

TEST_F(ProgressDialogTest, WithoutAutoCloseTheWindowEndsAsDoneWithCloseAndFinalFigures) {
    fx.AddGeneratedRecords(200, 3);
    component.SetAutoClose(false);
    indexer.BuildIndex(TFullTextIndexer::ProgramSegmentSize);
    DrainProgressEvents();

    TrbProgressDlg* dialog = component.Dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle().toStdString(), "Done");
    EXPECT_TRUE(dialog->CancelButton()->isHidden());
    EXPECT_FALSE(dialog->CloseButton()->isHidden());
    EXPECT_TRUE(dialog->CloseButton()->isDefault());
    EXPECT_EQ(dialog->ReadingGauge()->value(), dialog->ReadingGauge()->maximum());
    // Every word row (the properties row is written after the build stops reading and writing).
    const int wordRows = indexer.TableFTS().TotalRecordCount() - 1;
    EXPECT_GT(wordRows, 0);
    EXPECT_EQ(dialog->WritingGauge()->value(), wordRows);
    EXPECT_EQ(dialog->WritingGauge()->value(), dialog->WritingGauge()->maximum());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$"))
                    .match(dialog->ElapsedLabel()->text())
                    .hasMatch())
        << dialog->ElapsedLabel()->text().toStdString();
    EXPECT_FALSE(dialog->MaxMemoryLabel()->text().isEmpty());
    EXPECT_FALSE(dialog->WordCountLabel()->text().isEmpty());

    // "Close" closes; the next build gets a fresh window.
    QTest::mouseClick(dialog->CloseButton(), Qt::LeftButton);
    DrainProgressEvents();
    EXPECT_EQ(component.Dialog(), nullptr);
    EXPECT_TRUE(lastWindow.isNull());
    indexer.BuildIndex(TFullTextIndexer::ProgramSegmentSize);
    DrainProgressEvents();
    EXPECT_EQ(windowsMade, 2);
    ASSERT_NE(component.Dialog(), nullptr);
    EXPECT_EQ(component.Dialog()->windowTitle().toStdString(), "Done");
}

TEST_F(ProgressDialogTest, CancelStopsTheBuildAndASecondClickOnlySwapsInClose) {
    fx.AddGeneratedRecords(400, 11);
    component.SetAutoClose(false);
    UseProbe();
    int records = 0;
    bool stillCancelAfterFirst = false;
    bool closeAfterSecond = false;
    probe.onRecord = [&] {
        if (++records != 5)
            return;
        TrbProgressDlg* dialog = component.Dialog();
        ASSERT_NE(dialog, nullptr);
        QTest::mouseClick(dialog->CancelButton(), Qt::LeftButton);
        stillCancelAfterFirst = indexer.Make().CancelRequested() && !dialog->CancelButton()->isHidden();
        QTest::mouseClick(dialog->CancelButton(), Qt::LeftButton);
        closeAfterSecond = dialog->CancelButton()->isHidden() && !dialog->CloseButton()->isHidden();
    };
    indexer.BuildIndex(TFullTextIndexer::ProgramSegmentSize);
    DrainProgressEvents();

    EXPECT_TRUE(stillCancelAfterFirst);
    EXPECT_TRUE(closeAfterSecond);
    EXPECT_EQ(records, 5); // no record was read after the cancel
    EXPECT_FALSE(QFile::exists(indexer.WordsTablePath()));
    ASSERT_NE(component.Dialog(), nullptr);
    EXPECT_EQ(component.Dialog()->windowTitle().toStdString(), "Done");
    EXPECT_FALSE(component.Dialog()->CloseButton()->isHidden());
}

TEST_F(ProgressDialogTest, CancelWithoutAnEngineShowsClose) {
    fx.AddGeneratedRecords(20, 1);
    component.SetAutoClose(false);
    indexer.BuildIndex(TFullTextIndexer::ProgramSegmentSize);
    TrbProgressDlg* window = component.Dialog();
    ASSERT_NE(window, nullptr);
    window->Reset(QStringLiteral("Building"));
    ASSERT_FALSE(window->CancelButton()->isHidden());
    component.SetEngine(nullptr);
    QTest::mouseClick(window->CancelButton(), Qt::LeftButton);
    EXPECT_TRUE(window->CancelButton()->isHidden());
    EXPECT_FALSE(window->CloseButton()->isHidden());
    EXPECT_FALSE(indexer.Make().CancelRequested());
}

TEST_F(ProgressDialogTest, SegmentedBuildExtrapolatesTheWritingGauge) {
    fx.AddGeneratedRecords(3000, 5);
    component.SetAutoClose(false);
    UseProbe();
    struct TWrite {
        int value, maximum;
    };
    std::vector<TWrite> atWritingOn, atWritingOff;
    std::vector<int> readingAtWritingOn;
    probe.onState = [&](int state, int previous) {
        TrbProgressDlg* dialog = component.Dialog();
        if (!dialog)
            return;
        QProgressBar* writing = dialog->WritingGauge();
        if (On(TrbEngineState::Writing, state, previous)) {
            atWritingOn.push_back({writing->value(), writing->maximum()});
            readingAtWritingOn.push_back(dialog->ReadingGauge()->value());
        }
        if (Off(TrbEngineState::Writing, state, previous))
            atWritingOff.push_back({writing->value(), writing->maximum()});
    };
    indexer.BuildIndex(TFullTextIndexer::ProgramSegmentSize);
    DrainProgressEvents();

    ASSERT_EQ(indexer.Make().SegmentSize(), 1008);
    ASSERT_EQ(atWritingOn.size(), 3u); // 3000 records: three segments
    ASSERT_EQ(atWritingOff.size(), 3u);
    // The first segment holds a third of the records: the gauge expects
    // about three times the rows it is about to write.
    EXPECT_EQ(atWritingOn[0].value, 0);
    EXPECT_GT(atWritingOff[0].value, 0);
    EXPECT_LT(atWritingOff[0].value, atWritingOff[0].maximum);
    EXPECT_GE(atWritingOn[0].maximum, 2 * atWritingOff[0].value);
    // The last part: reading gauge full, the maximum is what is written.
    TrbProgressDlg* dialog = component.Dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(readingAtWritingOn[2], dialog->ReadingGauge()->maximum());
    EXPECT_LT(readingAtWritingOn[0], dialog->ReadingGauge()->maximum());
    EXPECT_EQ(atWritingOff[2].value, indexer.TableFTS().TotalRecordCount() - 1); // all but the properties row
    EXPECT_EQ(atWritingOff[2].value, atWritingOff[2].maximum);
}

TEST_F(ProgressDialogTest, DoubleClickFoldsTheStatisticsAndTheMenuFollows) {
    TrbProgressDlg dialog;
    dialog.show();
    EXPECT_EQ(dialog.size(), QSize(204, 217));
    EXPECT_EQ(dialog.ExpandAction()->text(), QStringLiteral("Shrink"));
    EXPECT_TRUE(dialog.AutoCloseAction()->isChecked());

    QTest::mouseDClick(dialog.WordCountLabel(), Qt::LeftButton);
    EXPECT_FALSE(dialog.Expanded());
    EXPECT_TRUE(dialog.StatisticsPanel()->isHidden());
    EXPECT_EQ(dialog.size(), QSize(204, 217 - 73));
    EXPECT_EQ(dialog.ExpandAction()->text(), QStringLiteral("Expand"));

    // Gauges and their panel toggle as well; the menu item does the same.
    QTest::mouseDClick(dialog.ReadingGauge()->parentWidget(), Qt::LeftButton);
    EXPECT_TRUE(dialog.Expanded());
    EXPECT_EQ(dialog.size(), QSize(204, 217));
    dialog.ExpandAction()->trigger();
    EXPECT_FALSE(dialog.Expanded());
    EXPECT_EQ(dialog.ExpandAction()->text(), QStringLiteral("Expand"));

    dialog.AutoCloseAction()->trigger();
    EXPECT_FALSE(dialog.AutoClose());
    EXPECT_FALSE(dialog.AutoCloseAction()->isChecked());
    dialog.AutoCloseAction()->trigger();
    EXPECT_TRUE(dialog.AutoClose());
}

TEST_F(ProgressDialogTest, StatisticsStayEmptyWhileThePanelIsFolded) {
    fx.AddGeneratedRecords(50, 2);
    component.SetAutoClose(false);
    component.SetExpanded(false);
    indexer.BuildIndex(TFullTextIndexer::ProgramSegmentSize);
    TrbProgressDlg* dialog = component.Dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(dialog->Expanded());
    EXPECT_TRUE(dialog->ElapsedLabel()->text().isEmpty());
    EXPECT_TRUE(dialog->MemoryLabel()->text().isEmpty());
    EXPECT_EQ(dialog->ReadingGauge()->value(), dialog->ReadingGauge()->maximum());
}

struct TFormatCase {
    qint64 value;
    const char* text;
};

class ProgressFormatKilobytes : public ::testing::TestWithParam<TFormatCase> {};

TEST_P(ProgressFormatKilobytes, GroupsThousandsWithoutDecimals) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(TrbProgressDialog::FormatKilobytes(GetParam().value), QString::fromLatin1(GetParam().text));
    QLocale::setDefault(saved);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProgressFormatKilobytes,
                         ::testing::Values(TFormatCase{0, "0"}, TFormatCase{1024, "1"},
                                           TFormatCase{1023 * 1024, "1.023"}, TFormatCase{1024 * 1024, "1.024"},
                                           TFormatCase{2048000LL * 1024, "2.048.000"},
                                           TFormatCase{1024 * 1024 + 1000, "1.025"}));

class ProgressFormatElapsed : public ::testing::TestWithParam<TFormatCase> {};

TEST_P(ProgressFormatElapsed, HoursMinutesSeconds) {
    EXPECT_EQ(TrbProgressDialog::FormatElapsed(GetParam().value), QString::fromLatin1(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Cases, ProgressFormatElapsed,
                         ::testing::Values(TFormatCase{0, "00:00:00"}, TFormatCase{999, "00:00:00"},
                                           TFormatCase{59999, "00:00:59"}, TFormatCase{3723000, "01:02:03"},
                                           TFormatCase{36000000, "10:00:00"}));

} // namespace
