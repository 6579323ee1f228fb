#include "VQStdControls.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QShortcutEvent>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>

#include <limits>

// ---- TListBox ----

TListBox::TListBox(QWidget *Parent) : TControlOf<QListWidget>(Parent) {
    connect(this, &QListWidget::itemClicked, this, [this] {
        if (OnClick)
            OnClick(this);
    });
}

QString TListBox::Items(int Index) const {
    const QListWidgetItem *entry = item(Index);
    return entry ? entry->text() : QString();
}

int TListBox::IndexOf(const QString &Text) const {
    for (int i = 0; i < count(); ++i)
        if (item(i)->text().compare(Text, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void TListBox::SetMultiSelect(bool Value) {
    setSelectionMode(Value ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

bool TListBox::Selected(int Index) const {
    const QListWidgetItem *entry = item(Index);
    return entry && entry->isSelected();
}

void TListBox::SetSelected(int Index, bool Value) {
    QListWidgetItem *entry = item(Index);
    if (!entry)
        return;
    if (Value && !MultiSelect())
        setCurrentRow(Index, QItemSelectionModel::ClearAndSelect);
    else
        entry->setSelected(Value);
}

void TListBox::WidgetKeyPress(QKeyEvent *Event) {
    const int before = currentRow();
    TControlOf<QListWidget>::WidgetKeyPress(Event);
    if (currentRow() != before && OnClick)
        OnClick(this);
}

// ---- TTabControl ----

TTabControl::TTabControl(QWidget *Parent) : TControlOf<QTabBar>(Parent) {}

bool TTabControl::ChangeTab(int Index) {
    if (Index < 0 || Index >= count())
        return false;
    return Index == currentIndex() || ChangeAsked(this, [&] { setCurrentIndex(Index); });
}

// Every user route to another tab goes through ChangeTab, which may refuse.
void TTabControl::mousePressEvent(QMouseEvent *Event) {
    const int index = tabAt(Event->position().toPoint());
    if (Event->button() == Qt::LeftButton && index >= 0 && index != currentIndex()) {
        if (isTabEnabled(index))
            ChangeTab(index);
        Event->accept();
        return;
    }
    TControlOf<QTabBar>::mousePressEvent(Event);
}

void TTabControl::KeyDown(int &Key, Qt::KeyboardModifiers Shift) {
    TControlOf<QTabBar>::KeyDown(Key, Shift);
    const int step = Key == Qt::Key_Left || Key == Qt::Key_Up ? -1 : Key == Qt::Key_Right || Key == Qt::Key_Down ? 1 : 0;
    if (!step)
        return;
    for (int i = currentIndex() + step; i >= 0 && i < count(); i += step)
        if (isTabVisible(i) && isTabEnabled(i)) {
            ChangeTab(i);
            break;
        }
    Key = 0;
}

bool TTabControl::event(QEvent *Event) {
    if (Event->type() == QEvent::Shortcut) {
        const QKeySequence key = static_cast<QShortcutEvent *>(Event)->key();
        for (int i = 0; i < count(); ++i)
            if (isTabVisible(i) && isTabEnabled(i) && QKeySequence::mnemonic(tabText(i)) == key) {
                ChangeTab(i);
                return true;
            }
    }
    return TControlOf<QTabBar>::event(Event);
}

// ---- TSpeedButton, TAction ----

TSpeedButton::TSpeedButton(QWidget *Parent, const QString &Caption) : TControlOf<QToolButton>(Parent) {
    setText(Caption);
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QToolButton::clicked, this, &TSpeedButton::Click);
}

void TSpeedButton::Click() {
    if (OnClick)
        OnClick(this);
}

TAction::TAction(QObject *Parent, const QString &Caption) : QAction(Caption, Parent) {
    connect(this, &QAction::triggered, this, &TAction::Execute);
}

bool TAction::Execute() {
    if (!isEnabled() || !OnExecute)
        return false;
    OnExecute(this);
    return true;
}

// ---- TLabeledEdit ----

TLabeledEdit::TLabeledEdit(QWidget *Parent, const QString &Caption)
    : TControlOf<QWidget>(Parent), EditLabel(new TLabel(this, Caption)), Edit(new TEdit(this)) {
    EditLabel->SetOwner(this);
    Edit->SetOwner(this);
    EditLabel->SetName(QStringLiteral("SubLabel"));
    EditLabel->SetFocusControl(Edit);
    setFocusProxy(Edit);
    setFocusPolicy(Edit->focusPolicy()); // so that a tab order can name the control
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(EditLabel);
    layout->addWidget(Edit);
}

// ---- TSpinEdit ----

TSpinEdit::TSpinEdit(QWidget *Parent) : TControlOf<QSpinBox>(Parent) {
    ApplyRange();
    connect(this, &QSpinBox::valueChanged, this, [this] {
        if (OnChange)
            OnChange(this);
    });
}

void TSpinEdit::SetMinValue(int Value) {
    FMinValue = Value;
    ApplyRange();
}

void TSpinEdit::SetMaxValue(int Value) {
    FMaxValue = Value;
    ApplyRange();
}

void TSpinEdit::ApplyRange() {
    if (FMinValue == FMaxValue)
        setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    else
        setRange(FMinValue, FMaxValue);
}

// ---- combo boxes ----

void TComboBoxEx::AddItem(const QString &Text, const QIcon &Image, const QVariant &Value) {
    const int selected = currentIndex();
    addItem(Image, Text, Value);
    setCurrentIndex(selected);
}

TColumnsComboBox::TColumnsComboBox(QWidget *Parent) : TComboBox(Parent) {
    auto *view = new QTreeView(this);
    view->setRootIsDecorated(false);
    view->setAllColumnsShowFocus(true);
    view->setUniformRowHeights(true);
    setModel(new QStandardItemModel(0, 1, this));
    setView(view);
}

void TColumnsComboBox::SetColumns(const QStringList &Captions) {
    auto *items = static_cast<QStandardItemModel *>(model());
    items->setColumnCount(int(Captions.size()));
    items->setHorizontalHeaderLabels(Captions);
}

void TColumnsComboBox::AddRow(const QStringList &Cells, const QVariant &Value) {
    const int selected = currentIndex();
    QList<QStandardItem *> row;
    for (const QString &cell : Cells)
        row.append(new QStandardItem(cell));
    while (row.size() <= modelColumn())
        row.append(new QStandardItem);
    row[modelColumn()]->setData(Value, Qt::UserRole);
    static_cast<QStandardItemModel *>(model())->appendRow(row);
    setCurrentIndex(selected);
}

QString TColumnsComboBox::Cell(int Row, int Column) const { return model()->index(Row, Column).data().toString(); }
