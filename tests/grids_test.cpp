// The grids as a user meets them: what the header and the cells show, what
// typing and choosing from a cell's list do, and fetching rows as they are
// reached; then the automation's table operations on them: which row the user
// sees current and selected afterwards, what the cells show, which handlers ran.
#include "AutomationTesting.h"

#include "VQGrids.h"
#include "VarnelGrid.h"

#include <QComboBox>

namespace {

using Grids = TActiveWindow;
using TableCommands = TAutomationTest;

const QStringList Devices[] = {
    {"1001", "00-11-22-33-44-55", "Office"},
    {"1002", "00-11-22-33-44-66", "Lobby"},
    {"1003", "00-11-22-33-44-77", "Office"},
};

// A string grid with a caption row and the devices below it.
template <class Grid>
Grid *Fill(Grid *g) {
    g->SetColCount(3);
    g->SetRowCount(4);
    for (int c = 0; c < 3; ++c)
        g->SetCells(c, 0, QStringList({"ID", "MAC", "Room"})[c]);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            g->SetCells(c, r + 1, Devices[r][c]);
    return g;
}

// The rows the user sees selected.
QList<int> SelectedRows(QAbstractItemView *View, int FixedRows) {
    QList<int> rows;
    for (const QModelIndex &index : View->selectionModel()->selectedRows())
        rows.append(index.row() + FixedRows);
    std::sort(rows.begin(), rows.end());
    return rows;
}

// Device rows whose data is a map of "id", "mac", "room".
TVarnelGrid *VarnelDevices(TVarnelGrid *grid) {
    const auto column = [](const char *Name, const char *Caption, const char *Tag, TVarnelEditorKind Kind) {
        const QString key = Tag;
        TVarnelColumn c{Name, Caption, Tag, [key](const QVariant &Data) { return Data.toMap().value(key).toString(); }, {}};
        c.Editor.Kind = Kind;
        c.Editor.Items = {"Office", "Lobby", "Lab"};
        if (Kind != vekNone)
            c.Editor.SetText = [key](QVariant &Data, const QString &Text) {
                QVariantMap map = Data.toMap();
                map[key] = Text;
                Data = map;
            };
        return c;
    };
    grid->AddColumn(column("colID", "Device ID", "id", vekNone));
    grid->AddColumn(column("colMAC", "MAC Address", "mac", vekEdit));
    grid->AddColumn(column("colRoom", "Room", "room", vekList));
    for (const QStringList &d : Devices)
        grid->AddRow(QVariantMap{{"id", d[0]}, {"mac", d[1]}, {"room", d[2]}});
    return grid;
}

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
    EXPECT_FALSE(grid->SetCellText(1, 1, "x"));
    EXPECT_FALSE(grid->SetCellText(0, 5, "x"));
    auto *list = qobject_cast<QComboBox *>(OpenEditor(grid, 1, 2));
    ASSERT_TRUE(list);
    QTest::keyClick(list, Qt::Key_Down);
    Confirm(list);
    EXPECT_EQ(Shown(grid, 1, 2), "desk");
    EXPECT_EQ(Shown(grid, 1, 0), "renamed");
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

TEST_F(TableCommands, StringGridFindMakesEachMatchCurrentInTurn) {
    auto *grid = Fill(Add<TStringGrid>());
    struct {
        QString Column, Text;
        bool Found;
        int Row;
    } const cases[] = {
        {"2", "Office", true, 3},  // the last match stays current
        {"0", "1002", true, 2},
        {"1", "00-11-22-33-44-5", false, 2}, // whole cells only
        {"2", "office", false, 2},
        {"3", "", true, 3}, // the column past the last reads empty
        {"x", "Office", false, 3},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(W(c.Column, c.Text).FindInStringGrid(grid), c.Found) << c.Column.toStdString() << " " << c.Text.toStdString();
        EXPECT_EQ(grid->Row(), c.Row);
    }
}

TEST_F(TableCommands, VQStringGridFindsByColumnCaptionAndSelectsTheRow) {
    auto *grid = Add<TVQStringGrid>();
    grid->SetColumns({{.Caption = "ID"}, {.Caption = "MAC"}, {.Caption = "Room"}});
    Fill(grid);
    EXPECT_EQ(W().GetVQColIndByName(grid, "Room"), 2);
    EXPECT_EQ(W().GetVQColIndByName(grid, "room"), -1);

    EXPECT_TRUE(W("Room", "Office").FindInVQStringGrid(grid));
    EXPECT_EQ(SelectedRows(grid, 1), QList<int>({3}));
    EXPECT_TRUE(W("", "Office").FindInVQStringGridCol(grid, 2)); // the first match
    EXPECT_EQ(SelectedRows(grid, 1), QList<int>({1}));
    EXPECT_FALSE(W("", "Room").FindInVQStringGridCol(grid, 2)); // captions are no rows
    EXPECT_FALSE(W("Floor", "Office").FindInVQStringGrid(grid));
    EXPECT_EQ(grid->Row(), 1);
}

TEST_F(TableCommands, VQStringGridFillRunsTheHandlerOfTheEntryKindThenWritesTheCell) {
    auto *grid = Add<TVQStringGrid>();
    grid->SetColumns({{.Caption = "ID"}, {.Caption = "Room", .Items = {"Office", "Lobby"}}});
    grid->SetRowCount(3);
    QStringList log;
    grid->OnSetEditText = [&](QObject *, int Col, int Row, const QString &Value) {
        log.append(QString("edit %1,%2 %3 (was '%4')").arg(Col).arg(Row).arg(Value, grid->Cells(Col, Row)));
    };
    grid->OnComboCloseUp = [&](QObject *, int Col, int Row, const QString &Value) {
        log.append(QString("list %1,%2 %3").arg(Col).arg(Row).arg(Value));
    };
    EXPECT_TRUE(W().FillVQStringGrid(grid, 0, 1, "1001", false));
    EXPECT_TRUE(W().FillVQStringGrid(grid, 1, 1, "Lobby", true));
    EXPECT_FALSE(W().FillVQStringGrid(grid, -1, 1, "x", false));
    EXPECT_FALSE(W().FillVQStringGrid(grid, 5, 1, "x", false)); // no such cell: the handler ran, nothing written
    EXPECT_EQ(grid->model()->index(0, 0).data().toString(), "1001");
    EXPECT_EQ(grid->model()->index(0, 1).data().toString(), "Lobby");
    EXPECT_EQ(log, QStringList({"edit 0,1 1001 (was '')", "list 1,1 Lobby", "edit 5,1 x (was '')"}));
}

TEST_F(TableCommands, DrawGridAsksItsHandlerForEveryRowBelowTheHeader) {
    auto *grid = Add<TDrawGrid>();
    grid->SetColCount(2);
    grid->SetRowCount(4);
    EXPECT_FALSE(W("", "Lobby").FindInDrawGrid(grid, 1)); // no handler
    EXPECT_EQ(W().GetFromDrawGrid(grid, 1), "");
    QList<int> asked;
    grid->OnGetEditText = [&](QObject *, int Col, int Row, QString &Value) {
        asked.append(Row);
        Value = Row == 0 ? "Room" : Devices[Row - 1][Col + 1];
    };
    grid->SelectRow(3);
    asked.clear();
    EXPECT_TRUE(W("", "Office").FindInDrawGrid(grid, 1));
    EXPECT_EQ(asked, QList<int>({1}));
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_FALSE(grid->selectionModel()->isRowSelected(2, {})); // the selection was cleared
    EXPECT_EQ(W().GetFromDrawGrid(grid, 0), "00-11-22-33-44-55");
    asked.clear();
    EXPECT_FALSE(W("", "Room").FindInDrawGrid(grid, 1));
    EXPECT_EQ(asked, QList<int>({1, 2, 3}));
}

TEST_F(TableCommands, VarnelGridFindEndsAnEditAndSetCancelsOne) {
    auto *grid = VarnelDevices(Add<TVarnelGrid>());
    Show(grid);
    const QModelIndex mac = grid->model()->index(1, 1);
    grid->setCurrentIndex(mac);
    grid->edit(mac);
    ASSERT_TRUE(grid->Editing());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), "typed");
    EXPECT_EQ(W().QGridFindRow(grid, 1, "typed"), 1); // the edit was written first
    EXPECT_FALSE(grid->Editing());

    grid->edit(mac);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), "dropped");
    EXPECT_TRUE(W("MAC", "00-00-00-00-00-01").DoQTableSet(grid, {"ID", "MAC"}));
    EXPECT_FALSE(grid->Editing());
    EXPECT_EQ(W().QGridGetText(grid, 1, 1), "00-00-00-00-00-01");
}
