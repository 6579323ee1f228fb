#pragma once
// The cell grids of forms: a draw grid whose cells come from its handlers, a
// string grid that holds its cells, and TVQStringGrid with captioned columns,
// list cells and cell buttons. Rows count as the system counts them: the fixed
// row, when there is one, is row 0 and shows as the column header.

#include "VQControls.h"

#include <QTableView>

#include <map>

// Value starts empty; the handler gives the cell's text.
using TGetEditTextEvent = std::function<void(QObject *Sender, int ACol, int ARow, QString &Value)>;
using TSetEditTextEvent = std::function<void(QObject *Sender, int ACol, int ARow, const QString &Value)>;

class TDrawGrid : public TControlOf<QTableView> {
    Q_OBJECT
public:
    explicit TDrawGrid(QWidget *Parent = nullptr);
    // The text of a cell, which it shows and its editor starts from.
    TGetEditTextEvent OnGetEditText;
    // A user's edit of a cell.
    TSetEditTextEvent OnSetEditText;

    int ColCount() const { return FColCount; }
    void SetColCount(int Value);
    // The fixed row included.
    int RowCount() const { return FRowCount; }
    void SetRowCount(int Value);
    // 0 or 1.
    int FixedRows() const { return FFixedRows; }
    void SetFixedRows(int Value);

    // The current cell, -1 when there is none; the fixed row cannot be current,
    // and writing a cell outside the grid changes nothing.
    int Row() const;
    void SetRow(int Value);
    int Col() const;
    void SetCol(int Value);
    // Makes the row current with the whole row selected.
    void SelectRow(int Value);

    bool Editable() const { return editTriggers() != NoEditTriggers; }
    void SetEditable(bool Value);
    // A click selects the whole row.
    bool RowSelect() const { return selectionBehavior() == SelectRows; }
    void SetRowSelect(bool Value) { setSelectionBehavior(Value ? SelectRows : SelectItems); }

    // The text a cell shows: here, the one OnGetEditText gives.
    virtual QString CellText(int ACol, int ARow) const;

protected:
    // A user's edit of a cell: here, OnSetEditText.
    virtual void SetEditText(int ACol, int ARow, const QString &Value);
    // After a change of the counts.
    virtual void SizeChanged() {}
    // Shows the cell's new text; ARow -1 means every cell.
    void CellChanged(int ACol, int ARow);

private:
    class TGridModel;
    QModelIndex IndexOf(int ACol, int ARow) const;

    TGridModel *FModel;
    int FColCount = 5;
    int FRowCount = 5;
    int FFixedRows = 1;
};

class TStringGrid : public TDrawGrid {
    Q_OBJECT
public:
    using TDrawGrid::TDrawGrid;

    // Empty outside the grid; writes outside it are dropped.
    QString Cells(int ACol, int ARow) const;
    void SetCells(int ACol, int ARow, const QString &Value);
    QString CellText(int ACol, int ARow) const override { return Cells(ACol, ARow); }

protected:
    // The cell takes the text, then OnSetEditText runs.
    void SetEditText(int ACol, int ARow, const QString &Value) override;
    void SizeChanged() override;

private:
    std::map<std::pair<int, int>, QString> FCells;
};

// A column of TVQStringGrid: its caption, the list its cells are chosen from
// (none: typed), and whether its cells carry a button.
struct TVQGridColumn {
    QString Caption{};
    QStringList Items{};
    bool Button = false;
};

// Value is the text chosen from a cell's list.
using TComboCloseUpEvent = std::function<void(QObject *Sender, int ACol, int ARow, const QString &Value)>;
using TGridButtonClickEvent = std::function<void(QObject *Sender, int ACol, int ARow)>;

class TVQStringGrid : public TStringGrid {
    Q_OBJECT
public:
    explicit TVQStringGrid(QWidget *Parent = nullptr);
    TComboCloseUpEvent OnComboCloseUp;
    TGridButtonClickEvent OnButtonClick;

    // One column each; the captions fill the fixed row.
    void SetColumns(const QList<TVQGridColumn> &Columns);
    // The column's settings; a default one outside the grid.
    TVQGridColumn Column(int ACol) const { return FColumns.value(ACol); }
    // The first column whose caption is Caption, -1 when none.
    int ColumnByCaption(const QString &Caption) const;

    // What a user's entry in a cell does: the combo close-up handler for a
    // choice from the list (FromList) or the set-edit-text handler, each when
    // assigned, then the cell takes the text.
    void EnterCell(int ACol, int ARow, const QString &Value, bool FromList);
    // A click on the current cell's button: the button-click handler when assigned.
    void ButtonClick();

protected:
    void SetEditText(int ACol, int ARow, const QString &Value) override { EnterCell(ACol, ARow, Value, false); }

private:
    QList<TVQGridColumn> FColumns;
};
