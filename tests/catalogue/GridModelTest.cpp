#include "app/ZebINI.h"
#include "catalogue/CatalogueSession.h"
#include "catalogue/GridModel.h"
#include "support/RecordingUserInterface.h"
#include "support/TempFolder.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A new catalogue in a temporary folder, showing the film kind, and a grid
// model over it with the film grid's default columns.
class GridModelTest : public testing::Test {
protected:
    void SetUp() override {
        settings.SetINIFileName(folder.File(QStringLiteral("Talmer-DVD.ini")));
        ASSERT_TRUE(session.Open());
        ASSERT_TRUE(session.SelectKind(TDvdKind::Film));
        model = std::make_unique<TGridModel>(session.TableDVD());
        tester = std::make_unique<QAbstractItemModelTester>(model.get(),
                                                            QAbstractItemModelTester::FailureReportingMode::Warning);
        model->SetColumns(TColumnList::DefaultList(TDvdKind::Film));
    }

    TTempFolder folder;
    TRecordingUserInterface ui;
    TZebINI settings{QStringLiteral("ZebINI_Prog"), folder.Path()};
    TCatalogueSession session{folder.Path(), settings, ui};
    std::unique_ptr<TGridModel> model;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

TEST_F(GridModelTest, ShowsTheKindViewAndFollowsItsChanges) {
    TAdsTable& table = session.TableDVD();
    TGridModel& model = *this->model;
    EXPECT_EQ(model.columnCount(), 28);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Titel"));

    for (const char* no : {"10", "2", "7"}) {
        table.Insert();
        table.FieldByName(QStringLiteral("Title")).SetAsString(QStringLiteral("Disc %1").arg(QLatin1String(no)));
        table.FieldByName(QStringLiteral("DVDNo")).SetAsString(QString::fromLatin1(no));
        table.FieldByName(QStringLiteral("Price")).SetAsFloat(4.5);
        table.Post();
    }
    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), QStringLiteral("2"));
    EXPECT_EQ(model.data(model.index(2, 1)).toString(), QStringLiteral("Disc 10"));
    const int price = 20;
    ASSERT_EQ(model.Columns()[price].field, QStringLiteral("Price"));
    EXPECT_EQ(model.data(model.index(0, price)).toString(), QStringLiteral("4.50"));
    const int available = 11;
    ASSERT_EQ(model.Columns()[available].field, QStringLiteral("IsAvailable"));
    EXPECT_TRUE(model.flags(model.index(0, available)) & Qt::ItemIsUserCheckable);
    EXPECT_EQ(model.data(model.index(0, available), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));

    // Ticking a check box stores the record; the grid shows the stored value.
    ASSERT_TRUE(model.setData(model.index(0, available), Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(model.data(model.index(0, available), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    EXPECT_TRUE(table.FieldByName(QStringLiteral("IsAvailable")).AsBoolean());
    EXPECT_EQ(table.FieldByName(QStringLiteral("DVDNo")).AsString(), QStringLiteral("2"));

    // An edit that moves the record in the order reorders the rows.
    ASSERT_TRUE(model.setData(model.index(0, 0), QStringLiteral("99"), Qt::EditRole));
    EXPECT_EQ(model.data(model.index(2, 0)).toString(), QStringLiteral("99"));

    // A value the field cannot take is refused with a message, nothing changes.
    QSignalSpy failed(&model, &TGridModel::EditFailed);
    EXPECT_FALSE(model.setData(model.index(0, price), QStringLiteral("cheap"), Qt::EditRole));
    EXPECT_EQ(failed.count(), 1);
    EXPECT_EQ(table.State(), TAdsTable::TState::Browse);

    // Another kind, another view.
    session.SelectKind(TDvdKind::Music);
    EXPECT_EQ(model.rowCount(), 0);
    session.SelectKind(TDvdKind::Film);
    session.TitleClick(QStringLiteral("Title"));
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), QStringLiteral("Disc 10"));
    EXPECT_EQ(model.RecNoAt(model.RowOf(table.RecNo())), table.RecNo());
}

TEST_F(GridModelTest, NotesOfEveryRowAreShownWithoutMovingTheTable) {
    TAdsTable& table = session.TableDVD();
    TGridModel& model = *this->model;
    const int notes = model.ColumnOf(QStringLiteral("notesfilm"));
    ASSERT_GE(notes, 0);
    EXPECT_TRUE(model.IsMemoColumn(notes));
    EXPECT_FALSE(model.IsMemoColumn(model.ColumnOf(QStringLiteral("Title"))));
    EXPECT_EQ(model.ColumnOf(QStringLiteral("NoSuchField")), -1);

    const QStringList texts = {QStringLiteral("Erste Notiz"), QString(), QStringLiteral("Dritte\nNotiz")};
    for (int i = 0; i < int(texts.size()); ++i) {
        table.Insert();
        table.FieldByName(QStringLiteral("Title")).SetAsString(QStringLiteral("Disc %1").arg(i));
        table.FieldByName(QStringLiteral("DVDNo")).SetAsString(QString::number(i + 1));
        table.FieldByName(QStringLiteral("NotesFilm")).SetAsString(texts[i]);
        table.Post();
    }
    ASSERT_EQ(model.rowCount(), 3);
    ASSERT_TRUE(table.GotoRecNo(model.RecNoAt(2)));
    const qint64 current = table.RecNo();

    // Every row's notes, the current record's and the others'.
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(model.data(model.index(row, notes)).toString(), texts[row]) << row;
        EXPECT_EQ(model.data(model.index(row, notes), Qt::EditRole).toString(), texts[row]) << row;
    }
    EXPECT_EQ(table.RecNo(), current); // reading them moved nothing
    EXPECT_EQ(table.State(), TAdsTable::TState::Browse);

    // The record being edited shows its edit buffer.
    table.Edit();
    table.FieldByName(QStringLiteral("NotesFilm")).SetAsString(QStringLiteral("im Puffer"));
    EXPECT_EQ(model.data(model.index(2, notes)).toString(), QStringLiteral("im Puffer"));
    table.Cancel();

    // Notes are edited like any cell: stored through the record rules, and
    // the row shows the new text, not the cached one.
    EXPECT_TRUE(model.flags(model.index(0, notes)) & Qt::ItemIsEditable);
    ASSERT_TRUE(model.setData(model.index(0, notes), QStringLiteral("Neue Notiz"), Qt::EditRole));
    EXPECT_EQ(table.State(), TAdsTable::TState::Browse);
    EXPECT_EQ(table.RecNo(), model.RecNoAt(0));
    ASSERT_TRUE(table.GotoRecNo(model.RecNoAt(1)));
    EXPECT_EQ(model.data(model.index(0, notes)).toString(), QStringLiteral("Neue Notiz"));
}

} // namespace
