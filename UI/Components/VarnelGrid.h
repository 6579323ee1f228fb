#pragma once
// The general-purpose grid of the host's lists: every row is backed by a data
// value, every column reads its text from that value and writes through its
// own editor. Columns carry a name for the program and a persistent tag that
// stays theirs however the user arranges them.

#include "VQControls.h"

#include <QIcon>
#include <QPointer>
#include <QTreeView>

using TVarnelGetText = std::function<QString(const QVariant &Data)>;
using TVarnelSetText = std::function<void(QVariant &Data, const QString &Text)>;
using TVarnelGetIcon = std::function<QIcon(const QVariant &Data)>;

enum TVarnelEditorKind {
    vekNone, // read-only
    vekEdit, // typed text
    vekList, // one of the editor's items
};

// How a column's cells are edited and how an entry reaches the row's data.
struct TVarnelEditor {
    TVarnelEditorKind Kind = vekNone;
    QStringList Items{};
    TVarnelSetText SetText{};
};

struct TVarnelColumn {
    QString Name{};
    QString Caption{};
    QString PersistentTag{};
    TVarnelGetText GetText{};
    TVarnelEditor Editor{};
    // The mark before the cell's text and the cell's tooltip, when set.
    TVarnelGetIcon GetIcon{};
    TVarnelGetText GetHint{};
};

// Rows read as the view needs them: up to Count rows after the row Last (a
// null value for the first), fewer when there are no more.
using TVarnelFetch = std::function<QList<QVariant>(const QVariant &Last, int Count)>;

// A cell took a text through its column's editor.
using TVarnelCellEvent = std::function<void(QObject *Sender, int Col, int Row)>;

class TVarnelGrid : public TControlOf<QTreeView> {
    Q_OBJECT
public:
    explicit TVarnelGrid(QWidget *Parent = nullptr);
    TVarnelCellEvent OnCellChanged;

    int AddColumn(const TVarnelColumn &Column);
    int ColumnCount() const { return int(FColumns.size()); }
    const TVarnelColumn &Column(int Col) const { return FColumns.at(Col); }
    // The first column with the name or the persistent tag, -1 when none.
    int ColumnByName(const QString &Name) const;
    int ColumnByTag(const QString &Tag) const;

    int AddRow(const QVariant &Data);
    // Before the row Row; at the end for RowCount().
    void InsertRow(int Row, const QVariant &Data);
    void DeleteRow(int Row);
    void ClearRows();
    // Drops the rows and reads them through Fetch from now on, a batch when
    // the view reaches the last one; the first batch at once.
    void SetFetch(const TVarnelFetch &Fetch, int Batch);
    // True while Fetch has rows the grid has not read.
    bool CanFetchMore() const { return FFetch && !FFetchedAll; }
    int RowCount() const { return int(FRows.size()); }
    QVariant RowData(int Row) const { return FRows.value(Row); }
    void SetRowData(int Row, const QVariant &Data);

    // The cell's text from the row's data through the column; empty outside the grid.
    QString CellText(int Col, int Row) const;
    // Writes through the column's editor, then runs OnCellChanged; false when
    // the cell is outside the grid or its column has no editor.
    bool SetCellText(int Col, int Row, const QString &Text);

    // The current cell, -1 when there is none.
    int Row() const;
    int Col() const;
    // Makes the cell current in the current row (the first row when there is none).
    void SetCol(int Value);
    // Makes the row current and the only selected one.
    void SelectRow(int Row);

    bool Editing() const { return FEditor != nullptr; }
    // Writes the text of the edit in progress, then closes it.
    void EndEdit();
    // Closes the edit in progress without writing.
    void CancelEdit();

private:
    class TVarnelModel;
    class TVarnelDelegate;

    QList<TVarnelColumn> FColumns;
    QList<QVariant> FRows;
    TVarnelFetch FFetch;
    int FBatch = 0;
    bool FFetchedAll = false;
    TVarnelModel *FModel;
    QPointer<QWidget> FEditor;
};
