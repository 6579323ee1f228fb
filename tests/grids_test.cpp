// The grids as a user meets them: what the header and the cells show, what
// typing and choosing from a cell's list do, and fetching rows as they are reached.
#include "ControlTesting.h"

#include "VarnelGrid.h"

#include <QComboBox>

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
