#pragma once
// The thin control layer the frames and the automation are written against:
// Qt widgets with assignable handlers named as the system names them and the
// event rules the system assumes of its toolkit.
//
// - An edit's change event fires for program and user changes of its text.
// - A check box's or radio button's click event fires when its checked state
//   changes, by program or by user (a radio button only when it becomes checked).
// - A program change of a list's selection fires nothing; a user's choice fires
//   the change, click and select events in this order.
// - A page control asks its changing handler before a user's page change and
//   runs its change handler after it; a program change fires neither.
// - Enter and exit events follow the focus between controls of one window,
//   exits first (innermost first), then enters (outermost first).
// - Key handling runs KeyDown, then KeyPress for a character, then the widget's
//   own handling; a handler that zeroes the key stops it there. The widget
//   inserts only the character that came through KeyPress, and text from an
//   input method is typed as keys, so no text gets past the handlers.
// - Component names are object names; a component's owner is the composite
//   control that made it, else the nearest frame or window above it.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include <functional>
#include <type_traits>
#include <utility>

class QToolButton;

using TNotifyEvent = std::function<void(QObject *Sender)>;
// Key is a Qt::Key code; setting it to 0 stops the key.
using TKeyEvent = std::function<void(QObject *Sender, int &Key, Qt::KeyboardModifiers Shift)>;
// Key is the character typed (control characters below 32 included); a null character drops it.
using TKeyPressEvent = std::function<void(QObject *Sender, QChar &Key)>;
using TTabChangingEvent = std::function<void(QObject *Sender, bool &AllowChange)>;

// What every control of the layer carries beside its Qt widget.
class TWinControl {
public:
    TWinControl();
    virtual ~TWinControl() = default;
    TWinControl(const TWinControl &) = delete;
    TWinControl &operator=(const TWinControl &) = delete;

    virtual QWidget *Widget() = 0;
    const QWidget *Widget() const { return const_cast<TWinControl *>(this)->Widget(); }

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;

    QString Name() const { return Widget()->objectName(); }
    void SetName(const QString &Value) { Widget()->setObjectName(Value); }
    int Tag() const { return FTag; }
    void SetTag(int Value) { FTag = Value; }

    // The control's own flags, whatever its parents' state.
    bool Enabled() const { return !Widget()->testAttribute(Qt::WA_ForceDisabled); }
    void SetEnabled(bool Value) { Widget()->setEnabled(Value); }
    bool Visible() const { return !Widget()->isHidden(); }
    void SetVisible(bool Value) { Widget()->setVisible(Value); }

    // True when the control and its parents are shown and enabled.
    bool CanFocus() const;
    bool Focused() const { return Widget()->hasFocus(); }
    void SetFocus() { Widget()->setFocus(Qt::OtherFocusReason); }

    // Background: the window colour, or the parent's colour (as disabled controls show).
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);
    QColor Color() const;

    // The component that owns this one: set by composite controls for their parts;
    // otherwise the nearest frame or window above the control.
    QWidget *Owner() const;
    void SetOwner(QWidget *Value) { FOwner = Value; }
    quint64 CreationOrder() const { return FCreationOrder; }
    // Frames own the components placed on them.
    virtual bool IsForm() const { return false; }
    // Child controls in their order.
    virtual QList<QWidget *> Controls() const;

    // The enter and exit reactions; overrides call the inherited one to run the handler.
    virtual void DoEnter();
    virtual void DoExit();

    // A control made of parts (fields, buttons): screen readers announce it,
    // and each of its parts, as one field with the value it shows.
    virtual bool IsComposite() const { return false; }
    virtual QString CompositeValue() const { return {}; }

protected:
    virtual void KeyDown(int &Key, Qt::KeyboardModifiers Shift);
    virtual void KeyPress(QChar &Key);
    // Keys that go on to the parent (a dialog's Enter and Escape, say) after KeyDown.
    virtual bool KeyToParent(int Key, Qt::KeyboardModifiers Shift) const;

    enum class TKeyRoute { Swallow, Parent, Widget };
    // KeyDown, then KeyPress for the key's character; Char receives the character
    // that the widget is to see (null when the key types none).
    TKeyRoute RouteKey(QKeyEvent *Event, QChar &Char);
    // The text the widget is to insert for a key whose character came through
    // KeyPress as Char: that character (with its pair, when it is half of one),
    // and nothing for a key that types none or a control character.
    static QString WidgetText(const QKeyEvent *Event, QChar Char);
    // What follows the first character (a pair of surrogates counting as one).
    static QString TextAfterFirstChar(const QString &Text);

private:
    static void EnsureFocusRouting();
    static void RouteFocus(QWidget *Old, QWidget *Now);

    QPointer<QWidget> FOwner;
    quint64 FCreationOrder;
    int FTag = 0;
    bool FParentColor = false;
};

// The character a key types in the system's terms: Ctrl+letter gives the
// control code, Backspace 8, Enter 13, Escape 27; Alt combinations type none,
// while Ctrl+Alt (AltGr) types the character of its text.
QChar KeyChar(const QKeyEvent *Event);

// Types Text as a user's keys would, a key press per character: into Target,
// then into whichever control of its window a key moved the focus to.
void TypeText(QWidget *Target, const QString &Text);

// Binds a Qt widget class to the layer.
template <class QtBase>
class TControlOf : public QtBase, public TWinControl {
public:
    template <class... Args>
        requires std::is_constructible_v<QtBase, Args...>
    explicit TControlOf(Args &&...args) : QtBase(std::forward<Args>(args)...) {}
    QWidget *Widget() override { return this; }

protected:
    void keyPressEvent(QKeyEvent *Event) override {
        // A key that a child passed on has been through the handlers already.
        if (QWidget *focus = QApplication::focusWidget(); focus && focus != this && this->isAncestorOf(focus)) {
            QtBase::keyPressEvent(Event);
            return;
        }
        QChar c;
        switch (RouteKey(Event, c)) {
        case TKeyRoute::Swallow:
            Event->accept();
            return;
        case TKeyRoute::Parent:
            Event->ignore();
            return;
        case TKeyRoute::Widget:
            break;
        }
        // The widget inserts exactly what came through the handlers, as a plain
        // key; a key that types none or a control character acts by its code alone.
        const QString text = WidgetText(Event, c);
        const Qt::KeyboardModifiers modifiers =
            text.isEmpty() ? Event->modifiers()
                           : Event->modifiers() & ~(Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        if (text == Event->text() && modifiers == Event->modifiers()) {
            WidgetKeyPress(Event);
        } else {
            QKeyEvent widgetEvent(Event->type(), Event->key(), modifiers, Event->nativeScanCode(),
                                  Event->nativeVirtualKey(), Event->nativeModifiers(), text, Event->isAutoRepeat(),
                                  Event->count());
            WidgetKeyPress(&widgetEvent);
            Event->setAccepted(widgetEvent.isAccepted());
        }
        // The other characters of one key (a compose sequence) are typed in turn.
        if (!text.isEmpty())
            TypeText(this, TextAfterFirstChar(Event->text()));
    }
    // The widget's own key handling.
    virtual void WidgetKeyPress(QKeyEvent *Event) { QtBase::keyPressEvent(Event); }
};

// Frames (and the sub-frames placed on them) own the components placed on them.
class TFrame : public TControlOf<QWidget> {
    Q_OBJECT
public:
    explicit TFrame(QWidget *Parent = nullptr);
    bool IsForm() const override { return true; }
};

class TPanel : public TControlOf<QFrame> {
    Q_OBJECT
public:
    explicit TPanel(QWidget *Parent = nullptr);
};

class TLabel : public TControlOf<QLabel> {
    Q_OBJECT
public:
    explicit TLabel(QWidget *Parent = nullptr, const QString &Caption = {});
    // "&" marks the access key, which focuses the focus control.
    QString Caption() const { return text(); }
    void SetCaption(const QString &Value);
    QWidget *FocusControl() const { return buddy(); }
    void SetFocusControl(QWidget *Value) { setBuddy(Value); }

protected:
    virtual void CaptionChanged() {}
};

// Single-line edit.
class TEdit : public TControlOf<QLineEdit> {
    Q_OBJECT
public:
    explicit TEdit(QWidget *Parent = nullptr);
    TNotifyEvent OnChange;

    QString Text() const { return text(); }
    void SetText(const QString &Value) { setText(Value); }
    // 0 means no limit.
    int MaxLength() const;
    void SetMaxLength(int Value);
    bool ReadOnly() const { return isReadOnly(); }
    void SetReadOnly(bool Value) { setReadOnly(Value); }

    // Every way of copying, cutting and pasting (keys, context menu, middle click) ends here.
    virtual void CopyToClipboard();
    virtual void CutToClipboard();
    void PasteFromClipboard();

protected:
    // Runs on every change of the text.
    virtual void Change();
    // The character rule of the edit, which every way text enters follows: typed
    // keys with any modifiers, input-method text, pastes and drops. Char may be
    // replaced; false drops it. Index is its place in the text entered at once.
    virtual bool AdmitChar(QChar &Char, qsizetype Index) const;
    // Runs for a typed character that the rule drops.
    virtual void CharRefused() {}
    // The characters of Text that the rule admits, as they are to be inserted.
    QString AdmittedText(const QString &Text) const;
    // Puts pasted or dropped text in place of the selection: the admitted characters.
    virtual void PasteText(const QString &Text);
    // Whether the menu's Copy (and Cut, if writable) has something to act on.
    virtual bool CanCopy() const { return hasSelectedText(); }

    // A typed character that the rule drops reaches OnKeyPress as null.
    void KeyPress(QChar &Key) override;
    void WidgetKeyPress(QKeyEvent *Event) override;
    void contextMenuEvent(QContextMenuEvent *Event) override;
    void mouseReleaseEvent(QMouseEvent *Event) override;
    // Committed text is typed key by key.
    void inputMethodEvent(QInputMethodEvent *Event) override;
    // Dropped text is pasted at the drop point.
    void dropEvent(QDropEvent *Event) override;
};

// Drop-down list whose items may carry a value.
class TComboBox : public TControlOf<QComboBox> {
    Q_OBJECT
public:
    explicit TComboBox(QWidget *Parent = nullptr);
    TNotifyEvent OnChange;
    TNotifyEvent OnClick;
    TNotifyEvent OnSelect;

    // Adds an item without selecting it.
    void AddItem(const QString &Text, const QVariant &Value = {});
    int ItemIndex() const { return currentIndex(); }
    void SetItemIndex(int Value) { setCurrentIndex(Value); }
    QString Text() const { return currentText(); }
    // Selects the item with the text; otherwise an editable box shows the text
    // and a list selects nothing.
    void SetText(const QString &Value);
};

// An access key clicks its button at once, as a click does, where Qt's own
// would show the button pressed for a moment first: true when it did.
bool ClickOnAccessKey(QAbstractButton *Button, QEvent *Event);

// A check box or radio button. Read-only, clicks and keys leave the state as
// it is; the program may still set it.
template <class QtButton>
class TCheckableOf : public TControlOf<QtButton> {
public:
    using TControlOf<QtButton>::TControlOf;
    TNotifyEvent OnClick;
    bool Checked() const { return this->isChecked(); }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }

protected:
    bool event(QEvent *Event) override { return ClickOnAccessKey(this, Event) || TControlOf<QtButton>::event(Event); }
    void nextCheckState() override {
        if (!FReadOnly)
            TControlOf<QtButton>::nextCheckState();
    }

    bool FReadOnly = false;
};

class TCheckBox : public TCheckableOf<QCheckBox> {
    Q_OBJECT
public:
    explicit TCheckBox(QWidget *Parent = nullptr, const QString &Caption = {});
    void SetChecked(bool Value) { setChecked(Value); }
};

// OnClick runs when the button becomes checked, and when the user clicks it checked.
class TRadioButton : public TCheckableOf<QRadioButton> {
    Q_OBJECT
public:
    explicit TRadioButton(QWidget *Parent = nullptr, const QString &Caption = {});
    // Checking unchecks the siblings; unchecking is allowed, as the program may.
    void SetChecked(bool Value);

private:
    // A click on the checked button changes nothing, yet the user chose it:
    // a handler may store what it stands for.
    bool FCheckedWhenPressed = false;
};

class TButton : public TControlOf<QPushButton> {
    Q_OBJECT
public:
    explicit TButton(QWidget *Parent = nullptr, const QString &Caption = {});
    TNotifyEvent OnClick;
    QString Caption() const { return text(); }
    void SetCaption(const QString &Value) { setText(Value); }
    // Runs the click handler as a click would, whatever the enabled state.
    void Click();
    // Marks the button that cancels its form, as isDefault marks the one that confirms it.
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }

protected:
    bool event(QEvent *Event) override;

private:
    bool FCancel = false;
};

class TPageControl;

class TTabSheet : public TControlOf<QWidget> {
    Q_OBJECT
public:
    // A page added to PageControl.
    TTabSheet(TPageControl *PageControl, const QString &Caption);
    // A page that a layout adds to its page control later.
    explicit TTabSheet(QWidget *Parent = nullptr);
    // The page control the page is on; none before it is added.
    TPageControl *PageControl() const;
    int PageIndex() const;
    QString Caption() const;
    void SetCaption(const QString &Value);
    bool TabVisible() const;
    void SetTabVisible(bool Value);
};

class TPageControl : public TControlOf<QTabWidget> {
    Q_OBJECT
public:
    explicit TPageControl(QWidget *Parent = nullptr);
    TTabChangingEvent OnChanging;
    TNotifyEvent OnChange;

    int PageCount() const { return count(); }
    TTabSheet *Pages(int Index) const;
    // Program changes of the active page run no handler.
    TTabSheet *ActivePage() const;
    void SetActivePage(TTabSheet *Value);
    int ActivePageIndex() const { return currentIndex(); }
    void SetActivePageIndex(int Value) { setCurrentIndex(Value); }
    QList<QWidget *> Controls() const override;

    // A user's page change: asks OnChanging, then activates the page and runs OnChange.
    // False when refused.
    bool ChangePage(int Index);

protected:
    void keyPressEvent(QKeyEvent *Event) override;

private:
    friend class TTabSheet;
    class TPageTabBar;
    // The next page from the active one whose tab is visible and enabled.
    int NextPage(int From, int Step) const;
};

enum TBorderStyle { bsNone, bsSingle };
enum TUDBtnType { btNext, btPrev };
enum TUDOrientation { udHorizontal, udVertical };
enum TUpDownDirection { updNone, updUp, updDown };
using TUDClickEvent = std::function<void(QObject *Sender, TUDBtnType Button)>;
using TUDChangingEvent = std::function<void(QObject *Sender, bool &AllowChange, int NewValue, TUpDownDirection Direction)>;

// Up-down counter: a pair of arrow buttons over a position within a range.
class TUpDown : public TControlOf<QWidget> {
    Q_OBJECT
public:
    explicit TUpDown(QWidget *Parent = nullptr);
    TUDClickEvent OnClick;
    TUDChangingEvent OnChanging;

    int Min() const { return FMin; }
    int Max() const { return FMax; }
    // Keeps the position within the new range.
    void SetRange(int Min, int Max);
    int Position() const { return FPosition; }
    // Program change: limited to the range, no handler runs.
    void SetPosition(int Value);
    int Increment() const { return FIncrement; }
    void SetIncrement(int Value) { FIncrement = Value; }
    bool Wrap() const { return FWrap; }
    void SetWrap(bool Value) { FWrap = Value; }
    TUDOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TUDOrientation Value);

    // What a click on a button does: one step, checked by the changing handler,
    // then OnClick when the step was allowed.
    virtual void Step(TUDBtnType Button);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    // One step without the click: false when the changing handler refused it.
    bool StepPosition(TUDBtnType Button);
    // The position a step starts from.
    virtual int StepBase() const { return FPosition; }
    // False refuses the step; NewValue may be changed.
    virtual bool Changing(int &NewValue, TUpDownDirection Direction);
    // Runs after the position was set.
    virtual void PositionChanged() {}
    void KeyDown(int &Key, Qt::KeyboardModifiers Shift) override;

private:
    void Arrange();

    QToolButton *FNext;
    QToolButton *FPrev;
    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    int FIncrement = 1;
    bool FWrap = false;
    TUDOrientation FOrientation = udVertical;
};

// The layer controls owned by Owner, in creation order.
QList<QWidget *> Components(QWidget *Owner);
// The first of Owner's components with that name, or null.
QWidget *FindComponent(QWidget *Owner, const QString &Name);
// A control's child controls in their order (the pages of a page control).
QList<QWidget *> ChildControls(QWidget *Parent);
// The form a control is on: the outermost of the control and its parents that
// is a form (a frame, or a top-level dialog or main window); none for a control
// outside every form, such as a stray parentless one.
QWidget *ParentForm(const QWidget *Control);

// The background of any widget: its parent's window colour, or the window
// colour (an edit's white) when Value is false.
void SetParentColor(QWidget *Widget, bool Value);

// Paints the sunken panel of a line edit over Widget, for controls made of several fields.
void PaintEditPanel(QWidget *Widget, bool Framed, bool ReadOnly);

// Makes a row of field edits one tab stop: Tab leaves the row, Shift+Tab too,
// from whichever field has the focus. Owner keeps the filter.
void JoinTabStop(QWidget *Owner, const QList<QWidget *> &Fields);

// The one way the plug-in shows a modal message box; tests answer it instead.
struct TMessageBoxRequest {
    QWidget *Parent;
    QString Text;
    QString Caption;
    QMessageBox::Icon Icon;
    QMessageBox::StandardButtons Buttons;
};
using TMessageBoxHandler = std::function<QMessageBox::StandardButton(const TMessageBoxRequest &)>;
QMessageBox::StandardButton MessageBox(QWidget *Parent, const QString &Text, const QString &Caption,
                                       QMessageBox::Icon Icon,
                                       QMessageBox::StandardButtons Buttons = QMessageBox::Ok);
// Returns the previous handler; an empty handler shows Qt's message box.
TMessageBoxHandler SetMessageBoxHandler(TMessageBoxHandler Handler);

// The one way the plug-in beeps; tests count the beeps instead.
void Beep();
std::function<void()> SetBeepHandler(std::function<void()> Handler);
