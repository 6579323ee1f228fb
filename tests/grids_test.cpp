// The grids as a user meets them: what the header and the cells show, and
// what typing, choosing from a cell's list and pressing its button do.
#include "ControlTesting.h"

#include "VQGrids.h"
#include "VarnelGrid.h"

#include <QComboBox>
#include <QHeaderView>
#include <QToolButton>

namespace {

using Grids = TActiveWindow;

QString Shown(QAbstractItemView *View, int Row, int Col) { return View->model()->index(Row, Col).data().toString(); }
QString Header(QAbstractItemView *View, int Col) { return View->model()->headerData(Col, Qt::Horizontal).toString(); }

// Opens the cell's editor the way a user does and returns it.
QWidget *OpenEditor(QAbstractItemView *View, int Row, int Col) {
    View->setCurrentIndex(View->model()->index(Row, Col));
    QTest::keyClick(View, Qt::Key_F2);
    return QApplication::focusWidget();
}

// Confirms an editor's text as the user does; the view takes it once its events run.
void Confirm(QWidget *Editor) {
    QTest::keyClick(Editor, Qt::Key_Return);
    QCoreApplication::processEvents();
}

} // namespace

TEST_F(Grids, DrawGridShowsWhatItsHandlerGivesAndPassesTypedTextBack) {
    auto *grid = Add<TDrawGrid>();
    grid->SetColCount(2);
    grid->SetRowCount(3);
    grid->SetEditable(true);
    grid->OnGetEditText = [](QObject *, int Col, int Row, QString &Value) { Value = QString("%1:%2").arg(Col).arg(Row); };
    QStringList edits;
    grid->OnSetEditText = [&](QObject *, int Col, int Row, const QString &Value) {
        edits.append(QString("%1:%2 %3").arg(Col).arg(Row).arg(Value));
    };
    Show(grid);
    EXPECT_EQ(Header(grid, 1), "1:0");
    EXPECT_EQ(grid->model()->rowCount(), 2); // the fixed row is the header
    EXPECT_EQ(Shown(grid, 1, 0), "0:2");
    QWidget *editor = OpenEditor(grid, 1, 1);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, "x");
    Confirm(editor);
    EXPECT_EQ(edits, QStringList({"1:2 x"}));
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_EQ(grid->Col(), 1);

    grid->SetFixedRows(0);
    EXPECT_TRUE(grid->horizontalHeader()->isHidden());
    EXPECT_EQ(Shown(grid, 0, 0), "0:0");
}

TEST_F(Grids, StringGridKeepsItsCellsWithinItsSize) {
    auto *grid = Add<TStringGrid>();
    grid->SetColCount(2);
    grid->SetRowCount(3);
    grid->SetCells(0, 0, "Name");
    grid->SetCells(1, 2, "kept");
    grid->SetCells(2, 2, "dropped");
    EXPECT_EQ(Header(grid, 0), "Name");
    EXPECT_EQ(Shown(grid, 1, 1), "kept");
    EXPECT_EQ(grid->Cells(2, 2), "");
    grid->SetRowCount(2);
    grid->SetRowCount(3);
    EXPECT_EQ(grid->Cells(1, 2), ""); // shrinking lost it
    EXPECT_EQ(Shown(grid, 1, 1), "");
    grid->SetRow(0); // the header cannot be current
    EXPECT_EQ(grid->Row(), -1);
    grid->SetRow(2);
    EXPECT_EQ(grid->Row(), 2);
}

TEST_F(Grids, VQStringGridCellsAreTypedChosenFromTheirListOrServedByTheirButton) {
    auto *grid = Add<TVQStringGrid>();
    grid->SetColumns({{.Caption = "Name"},
                      {.Caption = "Codec", .Items = {"G711", "G729"}},
                      {.Caption = "Ring tone", .Button = true}});
    grid->SetRowCount(2);
    grid->SetEditable(true);
    QStringList log;
    grid->OnSetEditText = [&](QObject *, int Col, int Row, const QString &Value) {
        log.append(QString("edit %1,%2 %3").arg(Col).arg(Row).arg(Value));
    };
    grid->OnComboCloseUp = [&](QObject *, int Col, int Row, const QString &Value) {
        log.append(QString("list %1,%2 %3").arg(Col).arg(Row).arg(Value));
    };
    grid->OnButtonClick = [&](QObject *, int Col, int Row) { log.append(QString("button %1,%2").arg(Col).arg(Row)); };
    Show(grid);
    EXPECT_EQ(Header(grid, 2), "Ring tone");

    QWidget *editor = OpenEditor(grid, 0, 0);
    QTest::keyClicks(editor, "Desk");
    Confirm(editor);
    EXPECT_EQ(Shown(grid, 0, 0), "Desk");

    auto *list = qobject_cast<QComboBox *>(OpenEditor(grid, 0, 1));
    ASSERT_TRUE(list);
    EXPECT_EQ(list->count(), 2);
    QTest::keyClick(list, Qt::Key_Down); // the first item
    EXPECT_EQ(Shown(grid, 0, 1), "G711");
    QTest::keyClick(OpenEditor(grid, 0, 1), Qt::Key_Down);
    EXPECT_EQ(Shown(grid, 0, 1), "G729");
    // Leaving the list without a choice changes nothing.
    OpenEditor(grid, 0, 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(Shown(grid, 0, 1), "G729");

    editor = OpenEditor(grid, 0, 2);
    auto *button = editor->parentWidget()->findChild<QToolButton *>();
    ASSERT_TRUE(button);
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::keyClicks(QApplication::focusWidget(), "7");
    Confirm(QApplication::focusWidget());
    EXPECT_EQ(Shown(grid, 0, 2), "7");
    EXPECT_EQ(log, QStringList({"edit 0,1 Desk", "list 1,1 G711", "list 1,1 G729", "button 2,1", "edit 2,1 7"}));
}

TEST_F(Grids, VarnelGridShowsRowDataAndWritesOnlyThroughEditors) {
    auto *grid = Add<TVarnelGrid>();
    const auto text = [](const QVariant &Data) { return Data.toStringList().value(0); };
    grid->AddColumn({"colName", "Name", "name", text, {vekEdit, {}, [](QVariant &Data, const QString &Text) {
                                                           Data = QStringList({Text.trimmed()});
                                                       }}});
    grid->AddColumn({"colShown", "Shown", "shown", text, {}});
    grid->AddColumn({"colKind", "Kind", "kind", [](const QVariant &Data) { return Data.toStringList().value(1); },
                     {vekList, {"desk", "wall"}, [](QVariant &Data, const QString &Text) {
                          Data = QStringList({Data.toStringList().value(0), Text});
                      }}});
    grid->AddRow(QStringList({"first"}));
    grid->AddRow(QStringList({"second"}));
    Show(grid);
    EXPECT_EQ(Header(grid, 1), "Shown");
    QWidget *editor = OpenEditor(grid, 1, 0);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, " renamed ");
    Confirm(editor);
    EXPECT_EQ(Shown(grid, 1, 0), "renamed"); // the column's editor decides what the data holds
    EXPECT_EQ(Shown(grid, 1, 1), "renamed");
    EXPECT_FALSE(grid->model()->flags(grid->model()->index(1, 1)) & Qt::ItemIsEditable);
    EXPECT_FALSE(grid->SetCellText(1, 1, "x"));
    EXPECT_FALSE(grid->SetCellText(0, 5, "x"));
    auto *list = qobject_cast<QComboBox *>(OpenEditor(grid, 1, 2));
    ASSERT_TRUE(list);
    QTest::keyClick(list, Qt::Key_Down);
    Confirm(list);
    EXPECT_EQ(Shown(grid, 1, 2), "desk");
    EXPECT_EQ(Shown(grid, 1, 0), "renamed");

    grid->DeleteRow(0);
    EXPECT_EQ(Shown(grid, 0, 0), "renamed");
    grid->ClearRows();
    EXPECT_EQ(grid->model()->rowCount(), 0);
    EXPECT_EQ(grid->Row(), -1);
}

TEST_F(Grids, AFetchingVarnelGridReadsABatchMoreWhereTheUserReachesItsEnd) {
    auto *grid = Add<TVarnelGrid>();
    grid->AddColumn({"colNumber", "Number", "number", [](const QVariant &Data) { return Data.toString(); }, {}});
    // The numbers 1 to 25, after the last one read.
    grid->SetFetch(
        [](const QVariant &Last, int Count) {
            QList<QVariant> rows;
            for (int n = Last.toInt() + 1; n <= std::min(25, Last.toInt() + Count); ++n)
                rows << n;
            return rows;
        },
        10);
    grid->resize(200, 100);
    Show(grid);
    EXPECT_LT(grid->RowCount(), 25); // a batch or two: what fills the view
    QTest::keyClick(grid, Qt::Key_End);
    EXPECT_EQ(Shown(grid, 24, 0), "25");
    EXPECT_FALSE(grid->CanFetchMore());
}
