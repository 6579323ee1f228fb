#include "VQGrids.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <QToolButton>

#include <algorithm>

// ---- the model every grid shows ----

// Presents a grid's cells to its view: the fixed row as the header, the other
// rows as the view's rows.
class TDrawGrid::TGridModel : public QAbstractTableModel {
public:
    explicit TGridModel(TDrawGrid *Grid) : QAbstractTableModel(Grid), FGrid(Grid) {}

    int rowCount(const QModelIndex &Parent = {}) const override {
        return Parent.isValid() ? 0 : std::max(0, FGrid->FRowCount - FGrid->FFixedRows);
    }
    int columnCount(const QModelIndex &Parent = {}) const override { return Parent.isValid() ? 0 : FGrid->FColCount; }

    QVariant data(const QModelIndex &Index, int Role) const override {
        if (Role != Qt::DisplayRole && Role != Qt::EditRole)
            return {};
        return FGrid->CellText(Index.column(), Index.row() + FGrid->FFixedRows);
    }

    QVariant headerData(int Section, Qt::Orientation Orientation, int Role) const override {
        if (Orientation == Qt::Horizontal && Role == Qt::DisplayRole && FGrid->FFixedRows > 0)
            return FGrid->CellText(Section, 0);
        return QAbstractTableModel::headerData(Section, Orientation, Role);
    }

    Qt::ItemFlags flags(const QModelIndex &Index) const override {
        return QAbstractTableModel::flags(Index) | (FGrid->Editable() ? Qt::ItemIsEditable : Qt::NoItemFlags);
    }

    bool setData(const QModelIndex &Index, const QVariant &Value, int Role) override {
        if (Role != Qt::EditRole)
            return false;
        FGrid->SetEditText(Index.column(), Index.row() + FGrid->FFixedRows, Value.toString());
        return true;
    }

    // Counts change through these, so that the view keeps its current cell.
    void Resize(int &Count, int Value, bool Rows) {
        const int fixed = Rows ? FGrid->FFixedRows : 0;
        const int before = std::max(0, Count - fixed), after = std::max(0, Value - fixed);
        if (after > before)
            Rows ? beginInsertRows({}, before, after - 1) : beginInsertColumns({}, before, after - 1);
        else if (after < before)
            Rows ? beginRemoveRows({}, after, before - 1) : beginRemoveColumns({}, after, before - 1);
        Count = Value;
        if (after > before)
            Rows ? endInsertRows() : endInsertColumns();
        else if (after < before)
            Rows ? endRemoveRows() : endRemoveColumns();
    }

    void Reset(int &Field, int Value) {
        beginResetModel();
        Field = Value;
        endResetModel();
    }

    void Changed(const QModelIndex &From, const QModelIndex &To) { emit dataChanged(From, To); }
    void HeaderChanged(int First, int Last) { emit headerDataChanged(Qt::Horizontal, First, Last); }

private:
    TDrawGrid *FGrid;
};

// ---- TDrawGrid ----

TDrawGrid::TDrawGrid(QWidget *Parent) : TControlOf<QTableView>(Parent), FModel(new TGridModel(this)) {
    setModel(FModel);
    setSelectionMode(SingleSelection);
    verticalHeader()->hide();
    SetEditable(false);
}

void TDrawGrid::SetColCount(int Value) {
    if (Value < 0 || Value == FColCount)
        return;
    FModel->Resize(FColCount, Value, false);
    SizeChanged();
}

void TDrawGrid::SetRowCount(int Value) {
    if (Value < 0 || Value == FRowCount)
        return;
    FModel->Resize(FRowCount, Value, true);
    SizeChanged();
}

void TDrawGrid::SetFixedRows(int Value) {
    if (Value < 0 || Value > 1 || Value == FFixedRows)
        return;
    FModel->Reset(FFixedRows, Value);
    horizontalHeader()->setVisible(Value > 0);
}

QModelIndex TDrawGrid::IndexOf(int ACol, int ARow) const { return FModel->index(ARow - FFixedRows, ACol); }

int TDrawGrid::Row() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + FFixedRows : -1;
}

void TDrawGrid::SetRow(int Value) {
    if (const QModelIndex index = IndexOf(std::max(Col(), 0), Value); index.isValid())
        setCurrentIndex(index);
}

int TDrawGrid::Col() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.column() : -1;
}

void TDrawGrid::SetCol(int Value) {
    if (const QModelIndex index = IndexOf(Value, std::max(Row(), FFixedRows)); index.isValid())
        setCurrentIndex(index);
}

void TDrawGrid::SelectRow(int Value) {
    const QModelIndex index = IndexOf(std::max(Col(), 0), Value);
    if (!index.isValid())
        return;
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TDrawGrid::SetEditable(bool Value) {
    setEditTriggers(Value ? DoubleClicked | EditKeyPressed | AnyKeyPressed : NoEditTriggers);
}

QString TDrawGrid::CellText(int ACol, int ARow) const {
    QString text;
    if (OnGetEditText)
        OnGetEditText(const_cast<TDrawGrid *>(this), ACol, ARow, text);
    return text;
}

void TDrawGrid::SetEditText(int ACol, int ARow, const QString &Value) {
    if (OnSetEditText)
        OnSetEditText(this, ACol, ARow, Value);
}

void TDrawGrid::CellChanged(int ACol, int ARow) {
    if (ARow < 0) {
        FModel->Changed(FModel->index(0, 0), FModel->index(FModel->rowCount() - 1, FColCount - 1));
        FModel->HeaderChanged(0, FColCount - 1);
    } else if (ARow < FFixedRows) {
        FModel->HeaderChanged(ACol, ACol);
    } else {
        FModel->Changed(IndexOf(ACol, ARow), IndexOf(ACol, ARow));
    }
}

// ---- TStringGrid ----

QString TStringGrid::Cells(int ACol, int ARow) const {
    const auto found = FCells.find({ACol, ARow});
    return found == FCells.end() ? QString() : found->second;
}

void TStringGrid::SetCells(int ACol, int ARow, const QString &Value) {
    if (ACol < 0 || ACol >= ColCount() || ARow < 0 || ARow >= RowCount())
        return;
    if (Value.isEmpty())
        FCells.erase({ACol, ARow});
    else
        FCells[{ACol, ARow}] = Value;
    CellChanged(ACol, ARow);
}

void TStringGrid::SetEditText(int ACol, int ARow, const QString &Value) {
    SetCells(ACol, ARow, Value);
    TDrawGrid::SetEditText(ACol, ARow, Value);
}

void TStringGrid::SizeChanged() {
    std::erase_if(FCells, [this](const auto &cell) {
        return cell.first.first >= ColCount() || cell.first.second >= RowCount();
    });
}

// ---- TVQStringGrid ----

namespace {

// The in-cell editors of TVQStringGrid: a list for columns with items, an
// edit with a button for columns with buttons, a plain edit otherwise.
class TVQStringGridDelegate : public QStyledItemDelegate {
public:
    explicit TVQStringGridDelegate(TVQStringGrid *Grid) : QStyledItemDelegate(Grid), FGrid(Grid) {}

    QWidget *createEditor(QWidget *Parent, const QStyleOptionViewItem &Option, const QModelIndex &Index) const override {
        const TVQGridColumn column = FGrid->Column(Index.column());
        const int col = Index.column(), row = Index.row() + FGrid->FixedRows();
        if (!column.Items.isEmpty()) {
            auto *list = new QComboBox(Parent);
            list->addItems(column.Items);
            // A choice from the list is the entry; leaving the list without one changes nothing.
            connect(list, &QComboBox::activated, FGrid, [this, list, col, row] {
                FGrid->EnterCell(col, row, list->currentText(), true);
                emit const_cast<TVQStringGridDelegate *>(this)->closeEditor(list, NoHint);
            });
            return list;
        }
        if (!column.Button)
            return QStyledItemDelegate::createEditor(Parent, Option, Index);
        auto *editor = new QWidget(Parent);
        auto *layout = new QHBoxLayout(editor);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        auto *edit = new QLineEdit(editor);
        auto *button = new QToolButton(editor);
        button->setText(QStringLiteral("..."));
        button->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(edit);
        layout->addWidget(button);
        editor->setFocusProxy(edit);
        connect(button, &QToolButton::clicked, FGrid, &TVQStringGrid::ButtonClick);
        return editor;
    }

    void setEditorData(QWidget *Editor, const QModelIndex &Index) const override {
        const QString text = Index.data(Qt::EditRole).toString();
        if (auto *list = qobject_cast<QComboBox *>(Editor))
            list->setCurrentIndex(list->findText(text));
        else if (auto *edit = Editor->findChild<QLineEdit *>(); edit && !qobject_cast<QLineEdit *>(Editor))
            edit->setText(text);
        else
            QStyledItemDelegate::setEditorData(Editor, Index);
    }

    void setModelData(QWidget *Editor, QAbstractItemModel *Model, const QModelIndex &Index) const override {
        if (qobject_cast<QComboBox *>(Editor))
            return;
        if (auto *edit = Editor->findChild<QLineEdit *>(); edit && !qobject_cast<QLineEdit *>(Editor)) {
            if (edit->text() != Index.data(Qt::EditRole).toString())
                Model->setData(Index, edit->text());
            return;
        }
        QStyledItemDelegate::setModelData(Editor, Model, Index);
    }

private:
    TVQStringGrid *FGrid;
};

} // namespace

TVQStringGrid::TVQStringGrid(QWidget *Parent) : TStringGrid(Parent) {
    setItemDelegate(new TVQStringGridDelegate(this));
    SetRowSelect(true);
}

void TVQStringGrid::SetColumns(const QList<TVQGridColumn> &Columns) {
    FColumns = Columns;
    SetFixedRows(1);
    SetColCount(int(Columns.size()));
    for (int i = 0; i < Columns.size(); ++i)
        SetCells(i, 0, Columns[i].Caption);
}

int TVQStringGrid::ColumnByCaption(const QString &Caption) const {
    for (int i = 0; i < ColCount(); ++i)
        if (Cells(i, 0) == Caption)
            return i;
    return -1;
}

void TVQStringGrid::EnterCell(int ACol, int ARow, const QString &Value, bool FromList) {
    if (FromList && OnComboCloseUp)
        OnComboCloseUp(this, ACol, ARow, Value);
    else if (!FromList && OnSetEditText)
        OnSetEditText(this, ACol, ARow, Value);
    SetCells(ACol, ARow, Value);
}

void TVQStringGrid::ButtonClick() {
    if (OnButtonClick)
        OnButtonClick(this, Col(), Row());
}
