#include "VarnelGrid.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QStyledItemDelegate>

class TVarnelGrid::TVarnelModel : public QAbstractTableModel {
public:
    explicit TVarnelModel(TVarnelGrid *Grid) : QAbstractTableModel(Grid), FGrid(Grid) {}

    int rowCount(const QModelIndex &Parent = {}) const override { return Parent.isValid() ? 0 : FGrid->RowCount(); }
    int columnCount(const QModelIndex &Parent = {}) const override { return Parent.isValid() ? 0 : FGrid->ColumnCount(); }

    QVariant data(const QModelIndex &Index, int Role) const override {
        const TVarnelColumn &column = FGrid->Column(Index.column());
        const QVariant &row = FGrid->FRows.at(Index.row());
        switch (Role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return FGrid->CellText(Index.column(), Index.row());
        case Qt::DecorationRole:
            return column.GetIcon ? QVariant(column.GetIcon(row)) : QVariant();
        case Qt::ToolTipRole:
            return column.GetHint ? QVariant(column.GetHint(row)) : QVariant();
        default:
            return {};
        }
    }

    QVariant headerData(int Section, Qt::Orientation Orientation, int Role) const override {
        if (Orientation == Qt::Horizontal && Role == Qt::DisplayRole && Section < FGrid->ColumnCount())
            return FGrid->Column(Section).Caption;
        return QAbstractTableModel::headerData(Section, Orientation, Role);
    }

    Qt::ItemFlags flags(const QModelIndex &Index) const override {
        const bool editable = FGrid->Column(Index.column()).Editor.Kind != vekNone;
        return QAbstractTableModel::flags(Index) | (editable ? Qt::ItemIsEditable : Qt::NoItemFlags);
    }

    bool setData(const QModelIndex &Index, const QVariant &Value, int Role) override {
        return Role == Qt::EditRole && FGrid->SetCellText(Index.column(), Index.row(), Value.toString());
    }

    bool canFetchMore(const QModelIndex &Parent) const override { return !Parent.isValid() && FGrid->CanFetchMore(); }
    void fetchMore(const QModelIndex &Parent) override {
        if (!canFetchMore(Parent))
            return;
        const QList<QVariant> rows = FGrid->FFetch(FGrid->FRows.isEmpty() ? QVariant() : FGrid->FRows.last(), FGrid->FBatch);
        FGrid->FFetchedAll = rows.size() < FGrid->FBatch;
        if (rows.isEmpty())
            return;
        beginInsertRows({}, FGrid->RowCount(), FGrid->RowCount() + int(rows.size()) - 1);
        FGrid->FRows.append(rows);
        endInsertRows();
    }

    // Runs Change between the notifications of a row insertion, removal or reset.
    template <class Change>
    void InsertRow(int Row, Change &&Do) {
        beginInsertRows({}, Row, Row);
        Do();
        endInsertRows();
    }
    template <class Change>
    void RemoveRow(int Row, Change &&Do) {
        beginRemoveRows({}, Row, Row);
        Do();
        endRemoveRows();
    }
    template <class Change>
    void Reset(Change &&Do) {
        beginResetModel();
        Do();
        endResetModel();
    }
    void InsertColumn(int Col) {
        beginInsertColumns({}, Col, Col);
        endInsertColumns();
    }
    void RowChanged(int Row) { emit dataChanged(index(Row, 0), index(Row, columnCount() - 1)); }

private:
    TVarnelGrid *FGrid;
};

// Makes each column's editor and tells the grid which one is open.
class TVarnelGrid::TVarnelDelegate : public QStyledItemDelegate {
public:
    explicit TVarnelDelegate(TVarnelGrid *Grid) : QStyledItemDelegate(Grid), FGrid(Grid) {}

    QWidget *createEditor(QWidget *Parent, const QStyleOptionViewItem &Option, const QModelIndex &Index) const override {
        const TVarnelEditor &editor = FGrid->Column(Index.column()).Editor;
        QWidget *made;
        if (editor.Kind == vekList) {
            auto *list = new QComboBox(Parent);
            list->addItems(editor.Items);
            made = list;
        } else {
            made = QStyledItemDelegate::createEditor(Parent, Option, Index);
        }
        FGrid->FEditor = made;
        return made;
    }

    void setEditorData(QWidget *Editor, const QModelIndex &Index) const override {
        if (auto *list = qobject_cast<QComboBox *>(Editor))
            list->setCurrentIndex(list->findText(Index.data(Qt::EditRole).toString()));
        else
            QStyledItemDelegate::setEditorData(Editor, Index);
    }

    void setModelData(QWidget *Editor, QAbstractItemModel *Model, const QModelIndex &Index) const override {
        if (auto *list = qobject_cast<QComboBox *>(Editor)) {
            if (list->currentIndex() >= 0)
                Model->setData(Index, list->currentText());
            return;
        }
        QStyledItemDelegate::setModelData(Editor, Model, Index);
    }

    void destroyEditor(QWidget *Editor, const QModelIndex &Index) const override {
        if (FGrid->FEditor == Editor)
            FGrid->FEditor = nullptr;
        QStyledItemDelegate::destroyEditor(Editor, Index);
    }

private:
    TVarnelGrid *FGrid;
};

TVarnelGrid::TVarnelGrid(QWidget *Parent) : TControlOf<QTreeView>(Parent), FModel(new TVarnelModel(this)) {
    setModel(FModel);
    setItemDelegate(new TVarnelDelegate(this));
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setEditTriggers(DoubleClicked | EditKeyPressed | SelectedClicked);
}

int TVarnelGrid::AddColumn(const TVarnelColumn &Column) {
    FColumns.append(Column);
    FModel->InsertColumn(ColumnCount() - 1);
    return ColumnCount() - 1;
}

int TVarnelGrid::ColumnByName(const QString &Name) const {
    for (int i = 0; i < ColumnCount(); ++i)
        if (FColumns[i].Name == Name)
            return i;
    return -1;
}

int TVarnelGrid::ColumnByTag(const QString &Tag) const {
    for (int i = 0; i < ColumnCount(); ++i)
        if (FColumns[i].PersistentTag == Tag)
            return i;
    return -1;
}

int TVarnelGrid::AddRow(const QVariant &Data) {
    InsertRow(RowCount(), Data);
    return RowCount() - 1;
}

void TVarnelGrid::InsertRow(int Row, const QVariant &Data) {
    if (Row >= 0 && Row <= RowCount())
        FModel->InsertRow(Row, [&] { FRows.insert(Row, Data); });
}

void TVarnelGrid::DeleteRow(int Row) {
    if (Row >= 0 && Row < RowCount())
        FModel->RemoveRow(Row, [&] { FRows.removeAt(Row); });
}

void TVarnelGrid::ClearRows() {
    FModel->Reset([&] { FRows.clear(); });
}

void TVarnelGrid::SetFetch(const TVarnelFetch &Fetch, int Batch) {
    FModel->Reset([&] {
        FRows.clear();
        FFetch = Fetch;
        FBatch = Batch;
        FFetchedAll = false;
    });
    FModel->fetchMore({});
}

void TVarnelGrid::SetRowData(int Row, const QVariant &Data) {
    if (Row < 0 || Row >= RowCount())
        return;
    FRows[Row] = Data;
    FModel->RowChanged(Row);
}

QString TVarnelGrid::CellText(int Col, int Row) const {
    if (Col < 0 || Col >= ColumnCount() || Row < 0 || Row >= RowCount() || !FColumns[Col].GetText)
        return {};
    return FColumns[Col].GetText(FRows[Row]);
}

bool TVarnelGrid::SetCellText(int Col, int Row, const QString &Text) {
    if (Col < 0 || Col >= ColumnCount() || Row < 0 || Row >= RowCount())
        return false;
    const TVarnelEditor &editor = FColumns[Col].Editor;
    if (editor.Kind == vekNone || !editor.SetText)
        return false;
    editor.SetText(FRows[Row], Text);
    FModel->RowChanged(Row);
    if (OnCellChanged)
        OnCellChanged(this, Col, Row);
    return true;
}

int TVarnelGrid::Row() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : -1;
}

int TVarnelGrid::Col() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.column() : -1;
}

void TVarnelGrid::SetCol(int Value) {
    if (const QModelIndex index = FModel->index(std::max(Row(), 0), Value); index.isValid())
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
}

void TVarnelGrid::SelectRow(int Row) {
    if (const QModelIndex index = FModel->index(Row, std::max(Col(), 0)); index.isValid())
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TVarnelGrid::EndEdit() {
    if (QWidget *editor = FEditor) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void TVarnelGrid::CancelEdit() {
    if (QWidget *editor = FEditor)
        closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
}
