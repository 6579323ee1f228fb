#pragma once
// The standard controls that forms use beside those of the frames: list box,
// tab control, speed button, action, labelled edit, spin edit, and the
// extended and multi-column combo boxes. They follow the layer's event rules
// (VQControls.h): program changes of a selection or a tab fire nothing, a
// user's change runs the handlers.

#include "VQControls.h"

#include <QAction>
#include <QListWidget>
#include <QSpinBox>
#include <QTabBar>
#include <QToolButton>

// A change of a page or tab as a user makes it: asks the control's OnChanging
// (allowed by default) and, when allowed, switches (Switch) and runs OnChange.
// False when refused.
template <class Control, class Switch>
bool ChangeAsked(Control *Sender, Switch &&Do) {
    bool allow = true;
    if (Sender->OnChanging)
        Sender->OnChanging(Sender, allow);
    if (!allow)
        return false;
    Do();
    if (Sender->OnChange)
        Sender->OnChange(Sender);
    return true;
}

class TListBox : public TControlOf<QListWidget> {
    Q_OBJECT
public:
    explicit TListBox(QWidget *Parent = nullptr);
    // A user's choice of an item, by mouse or by key.
    TNotifyEvent OnClick;

    void AddItem(const QString &Text) { addItem(Text); }
    int Count() const { return count(); }
    QString Items(int Index) const;
    // The first item with the text, ignoring letter case, as the system's list lookup does; -1 when none.
    int IndexOf(const QString &Text) const;
    int ItemIndex() const { return currentRow(); }
    void SetItemIndex(int Value) { setCurrentRow(Value); }
    bool MultiSelect() const { return selectionMode() == QAbstractItemView::ExtendedSelection; }
    void SetMultiSelect(bool Value);
    bool Selected(int Index) const;
    // Selecting an item of a single-selection list makes it the only selected one.
    void SetSelected(int Index, bool Value);

protected:
    void WidgetKeyPress(QKeyEvent *Event) override;
};

class TTabControl : public TControlOf<QTabBar> {
    Q_OBJECT
public:
    explicit TTabControl(QWidget *Parent = nullptr);
    TTabChangingEvent OnChanging;
    TNotifyEvent OnChange;

    void AddTab(const QString &Caption) { addTab(Caption); }
    int TabIndex() const { return currentIndex(); }
    // Program changes of the tab run no handler.
    void SetTabIndex(int Value) { setCurrentIndex(Value); }
    // A user's tab change: asks OnChanging, then changes the tab and runs OnChange. False when refused.
    bool ChangeTab(int Index);

protected:
    void mousePressEvent(QMouseEvent *Event) override;
    void KeyDown(int &Key, Qt::KeyboardModifiers Shift) override;
    void wheelEvent(QWheelEvent *Event) override { Event->ignore(); }
    bool event(QEvent *Event) override;
};

// A flat button that takes no focus, as on a tool bar.
class TSpeedButton : public TControlOf<QToolButton> {
    Q_OBJECT
public:
    explicit TSpeedButton(QWidget *Parent = nullptr, const QString &Caption = {});
    TNotifyEvent OnClick;
    // Runs the click handler as a click would, whatever the enabled state.
    void Click();
};

// A command that menus and buttons share.
class TAction : public QAction {
    Q_OBJECT
public:
    explicit TAction(QObject *Parent = nullptr, const QString &Caption = {});
    TNotifyEvent OnExecute;
    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool Value) { setEnabled(Value); }
    // Runs OnExecute when the action is enabled and has one; true when it ran.
    bool Execute();
};

// An edit with its caption above it; the caption's access key focuses the edit.
class TLabeledEdit : public TControlOf<QWidget> {
    Q_OBJECT
public:
    explicit TLabeledEdit(QWidget *Parent = nullptr, const QString &Caption = {});
    TLabel *const EditLabel;
    TEdit *const Edit;

    QString Text() const { return Edit->Text(); }
    void SetText(const QString &Value) { Edit->SetText(Value); }
};

// The toolkit's spin edit: an integer field whose program changes fire OnChange as an edit's do.
class TSpinEdit : public TControlOf<QSpinBox> {
    Q_OBJECT
public:
    explicit TSpinEdit(QWidget *Parent = nullptr);
    TNotifyEvent OnChange;

    int Value() const { return value(); }
    // Kept within the range.
    void SetValue(int Value) { setValue(Value); }
    // Equal limits (the default 0 and 0) mean no limit.
    int MinValue() const { return FMinValue; }
    void SetMinValue(int Value);
    int MaxValue() const { return FMaxValue; }
    void SetMaxValue(int Value);

private:
    void ApplyRange();

    int FMinValue = 0;
    int FMaxValue = 0;
};

// A combo box whose items carry an image.
class TComboBoxEx : public TComboBox {
    Q_OBJECT
public:
    using TComboBox::TComboBox;
    using TComboBox::AddItem;
    // Adds an item without selecting it.
    void AddItem(const QString &Text, const QIcon &Image, const QVariant &Value = {});
};

// A combo box whose list shows several columns; the key column is the text.
class TColumnsComboBox : public TComboBox {
    Q_OBJECT
public:
    explicit TColumnsComboBox(QWidget *Parent = nullptr);

    // The column captions; their number is the number of columns.
    void SetColumns(const QStringList &Captions);
    int KeyColumn() const { return modelColumn(); }
    void SetKeyColumn(int Value) { setModelColumn(Value); }
    // Adds a row without selecting it; Value rides on the key column.
    void AddRow(const QStringList &Cells, const QVariant &Value = {});
    QString Cell(int Row, int Column) const;
};
