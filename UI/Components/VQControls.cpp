#include "VQControls.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QBoxLayout>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDialog>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QShortcutEvent>
#include <QStyleOptionFrame>
#include <QTabBar>
#include <QToolButton>

#include <algorithm>

namespace {

quint64 NextCreationOrder = 0;

TMessageBoxHandler &MessageBoxHandler() {
    static TMessageBoxHandler handler;
    return handler;
}

std::function<void()> &BeepHandler() {
    static std::function<void()> handler;
    return handler;
}

bool Contains(const QWidget *Outer, const QWidget *Inner) { return Outer == Inner || Outer->isAncestorOf(Inner); }

// The outermost composite control that Widget is or is a part of; none for others.
TWinControl *OuterComposite(QWidget *Widget) {
    TWinControl *composite = nullptr;
    for (QWidget *w = Widget; w; w = w->parentWidget()) {
        auto *control = dynamic_cast<TWinControl *>(w);
        if (control && control->IsComposite())
            composite = control;
        else if (w != Widget)
            break;
    }
    return composite;
}

// A composite control, or a part of one, as screen readers see it: one
// editable field named by the composite's label, with the composite's value.
// The composite is looked up at every question: a part may be asked about
// while its composite is still being made.
class TCompositeAccessible : public QAccessibleWidget {
public:
    explicit TCompositeAccessible(QWidget *Widget) : QAccessibleWidget(Widget, QAccessible::EditableText) {}

    QString text(QAccessible::Text Text) const override {
        TWinControl *composite = OuterComposite(widget());
        if (composite && Text == QAccessible::Value)
            return composite->CompositeValue();
        if (composite && Text == QAccessible::Name && widget() != composite->Widget())
            if (QAccessibleInterface *outer = QAccessible::queryAccessibleInterface(composite->Widget()))
                return outer->text(Text);
        return QAccessibleWidget::text(Text);
    }
    // Its parts are not fields of their own.
    int childCount() const override { return 0; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
};

// A drop-down list named by its label, as every input is (Qt's own names a
// list by its chosen item on some platforms).
class TListAccessible : public QAccessibleWidget {
public:
    explicit TListAccessible(QComboBox *List) : QAccessibleWidget(List, QAccessible::ComboBox) {}

    QString text(QAccessible::Text Text) const override {
        return Text == QAccessible::Value ? static_cast<QComboBox *>(widget())->currentText()
                                          : QAccessibleWidget::text(Text);
    }
};

QAccessibleInterface *ControlAccessible(const QString &, QObject *Object) {
    if (auto *list = qobject_cast<TComboBox *>(Object))
        return new TListAccessible(list);
    auto *widget = qobject_cast<QWidget *>(Object);
    return widget && OuterComposite(widget) ? new TCompositeAccessible(widget) : nullptr;
}

} // namespace

// ---- TWinControl ----

TWinControl::TWinControl() : FCreationOrder(NextCreationOrder++) {
    EnsureFocusRouting();
    static const bool accessible = (QAccessible::installFactory(&ControlAccessible), true);
    Q_UNUSED(accessible);
}

bool TWinControl::CanFocus() const { return Widget()->isVisible() && Widget()->isEnabled(); }

void TWinControl::SetParentColor(bool Value) {
    FParentColor = Value;
    ::SetParentColor(Widget(), Value);
}

QColor TWinControl::Color() const { return Widget()->palette().color(QPalette::Base); }

QWidget *TWinControl::Owner() const {
    if (FOwner)
        return FOwner;
    for (QWidget *w = Widget()->parentWidget(); w; w = w->parentWidget()) {
        const auto *control = dynamic_cast<TWinControl *>(w);
        if ((control && control->IsForm()) || w->isWindow())
            return w;
    }
    return nullptr;
}

QList<QWidget *> TWinControl::Controls() const {
    QList<QWidget *> result;
    for (QObject *child : Widget()->children())
        if (auto *w = qobject_cast<QWidget *>(child); w && !w->isWindow())
            result.append(w);
    return result;
}

void TWinControl::DoEnter() {
    if (OnEnter)
        OnEnter(Widget());
}

void TWinControl::DoExit() {
    if (OnExit)
        OnExit(Widget());
}

void TWinControl::KeyDown(int &Key, Qt::KeyboardModifiers Shift) {
    if (OnKeyDown)
        OnKeyDown(Widget(), Key, Shift);
}

void TWinControl::KeyPress(QChar &Key) {
    if (OnKeyPress)
        OnKeyPress(Widget(), Key);
}

bool TWinControl::KeyToParent(int, Qt::KeyboardModifiers) const { return false; }

TWinControl::TKeyRoute TWinControl::RouteKey(QKeyEvent *Event, QChar &Char) {
    int key = Event->key();
    KeyDown(key, Event->modifiers());
    if (key == 0)
        return TKeyRoute::Swallow;
    if (KeyToParent(key, Event->modifiers()))
        return TKeyRoute::Parent;
    Char = KeyChar(Event);
    if (!Char.isNull()) {
        KeyPress(Char);
        if (Char.isNull())
            return TKeyRoute::Swallow;
    }
    return TKeyRoute::Widget;
}

void TWinControl::EnsureFocusRouting() {
    // The host and a plug-in each carry a copy of this layer: the mark on the
    // application makes the first copy route for all controls, so no enter or
    // exit handler runs twice.
    static const char *const routedMark = "vqFocusRouted";
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    if (!app || app->property(routedMark).toBool())
        return;
    app->setProperty(routedMark, true);
    QObject::connect(app, &QApplication::focusChanged, app, &TWinControl::RouteFocus);
}

void TWinControl::RouteFocus(QWidget *Old, QWidget *Now) {
    // Only moves inside one window count: activating another window (a message
    // box, a popup) leaves the focused control where it was.
    if (!Old || !Now || Old->window() != Now->window())
        return;
    QList<QPointer<QWidget>> exits, enters;
    for (QWidget *w = Old; w && !Contains(w, Now); w = w->parentWidget())
        exits.append(w);
    for (QWidget *w = Now; w && !Contains(w, Old); w = w->parentWidget())
        enters.prepend(w);
    for (const auto &w : exits)
        if (auto *control = dynamic_cast<TWinControl *>(w.data()))
            control->DoExit();
    // An exit handler that moved the focus elsewhere has had its own move routed.
    if (QApplication::focusWidget() != Now)
        return;
    for (const auto &w : enters)
        if (auto *control = dynamic_cast<TWinControl *>(w.data()))
            control->DoEnter();
}

QString TWinControl::WidgetText(const QKeyEvent *Event, QChar Char) {
    if (Char.unicode() < 32)
        return {};
    const QString text = Event->text();
    if (Char.isHighSurrogate() && text.startsWith(Char) && text.size() > 1 && text.at(1).isLowSurrogate())
        return text.left(2);
    return QString(Char);
}

QString TWinControl::TextAfterFirstChar(const QString &Text) {
    const bool pair = Text.size() > 1 && Text.at(0).isHighSurrogate() && Text.at(1).isLowSurrogate();
    return Text.mid(pair ? 2 : 1);
}

QChar KeyChar(const QKeyEvent *Event) {
    const Qt::KeyboardModifiers modifiers = Event->modifiers();
    const int key = Event->key();
    const bool control = modifiers & Qt::ControlModifier, alt = modifiers & Qt::AltModifier;
    // Alt alone makes access keys; Ctrl+Alt is how AltGr arrives, which types its text.
    if (alt && !control)
        return {};
    if (control && !alt)
        return key >= Qt::Key_A && key <= Qt::Key_Z ? QChar(key - Qt::Key_A + 1) : QChar();
    switch (key) {
    case Qt::Key_Backspace:
        return QChar(8);
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QChar(13);
    case Qt::Key_Escape:
        return QChar(27);
    default:
        break;
    }
    const QString text = Event->text();
    if (text.isEmpty() || text.at(0).unicode() < 32 || text.at(0).unicode() == 127)
        return {};
    return text.at(0);
}

namespace {

// The key code a character's key reports: that of its upper-case form, as Qt's
// letter keys do, unless that form lies beyond the codes Latin-1 keys use.
int KeyOfChar(char32_t Char) {
    const char32_t upper = QChar::toUpper(Char);
    return Char <= 0xFF && upper > 0xFF ? int(Char) : int(upper);
}

} // namespace

void TypeText(QWidget *Target, const QString &Text) {
    QPointer<QWidget> to = Target;
    for (const char32_t c : Text.toUcs4()) {
        if (!to)
            return;
        const QString typed = QString::fromUcs4(&c, 1);
        const QWidget *focus = QApplication::focusWidget();
        QKeyEvent press(QEvent::KeyPress, KeyOfChar(c), Qt::NoModifier, typed);
        QCoreApplication::sendEvent(to, &press);
        QKeyEvent release(QEvent::KeyRelease, KeyOfChar(c), Qt::NoModifier, typed);
        QCoreApplication::sendEvent(to, &release);
        // A key that moved the focus on sends the next one there, as a user's would go.
        if (QWidget *now = QApplication::focusWidget(); now && now != focus && to && now->window() == to->window())
            to = now;
    }
}

// ---- simple controls ----

TFrame::TFrame(QWidget *Parent) : TControlOf<QWidget>(Parent) {}

TPanel::TPanel(QWidget *Parent) : TControlOf<QFrame>(Parent) { setFrameShape(QFrame::NoFrame); }

TLabel::TLabel(QWidget *Parent, const QString &Caption) : TControlOf<QLabel>(Caption, Parent) {
    setTextFormat(Qt::PlainText);
}

void TLabel::SetCaption(const QString &Value) {
    setText(Value);
    CaptionChanged();
}

bool ClickOnAccessKey(QAbstractButton *Button, QEvent *Event) {
    if (Event->type() != QEvent::Shortcut || static_cast<QShortcutEvent *>(Event)->isAmbiguous() ||
        !Button->isEnabled())
        return false;
    if (Button->isCheckable())
        Button->setFocus(Qt::ShortcutFocusReason);
    Button->click();
    return true;
}

TCheckBox::TCheckBox(QWidget *Parent, const QString &Caption) : TCheckableOf<QCheckBox>(Caption, Parent) {
    connect(this, &QCheckBox::toggled, this, [this] {
        if (OnClick)
            OnClick(this);
    });
}

TRadioButton::TRadioButton(QWidget *Parent, const QString &Caption) : TCheckableOf<QRadioButton>(Caption, Parent) {
    connect(this, &QRadioButton::toggled, this, [this](bool checked) {
        if (checked && OnClick)
            OnClick(this);
    });
    // Every click (mouse, key, click()) is pressed first.
    connect(this, &QRadioButton::pressed, this, [this] { FCheckedWhenPressed = isChecked(); });
    connect(this, &QRadioButton::clicked, this, [this] {
        if (FCheckedWhenPressed && isChecked() && !FReadOnly && OnClick)
            OnClick(this);
    });
}

void TRadioButton::SetChecked(bool Value) {
    // Qt keeps the last checked button of an exclusive set checked.
    const bool exclusive = autoExclusive();
    if (!Value)
        setAutoExclusive(false);
    setChecked(Value);
    setAutoExclusive(exclusive);
}

TButton::TButton(QWidget *Parent, const QString &Caption) : TControlOf<QPushButton>(Caption, Parent) {
    connect(this, &QPushButton::clicked, this, &TButton::Click);
}

bool TButton::event(QEvent *Event) { return ClickOnAccessKey(this, Event) || TControlOf<QPushButton>::event(Event); }

void TButton::Click() {
    if (OnClick)
        OnClick(this);
}

// ---- TEdit ----

TEdit::TEdit(QWidget *Parent) : TControlOf<QLineEdit>(Parent) {
    connect(this, &QLineEdit::textChanged, this, &TEdit::Change);
}

int TEdit::MaxLength() const { return maxLength() == 32767 ? 0 : maxLength(); }

void TEdit::SetMaxLength(int Value) { setMaxLength(Value > 0 ? Value : 32767); }

void TEdit::CopyToClipboard() { copy(); }

void TEdit::CutToClipboard() { cut(); }

void TEdit::PasteFromClipboard() {
    if (!isReadOnly())
        PasteText(QGuiApplication::clipboard()->text());
}

void TEdit::Change() {
    if (OnChange)
        OnChange(this);
}

bool TEdit::AdmitChar(QChar &, qsizetype) const { return true; }

QString TEdit::AdmittedText(const QString &Text) const {
    QString result;
    for (qsizetype i = 0; i < Text.size(); ++i) {
        QChar c = Text.at(i);
        if (AdmitChar(c, i))
            result.append(c);
    }
    return result;
}

void TEdit::PasteText(const QString &Text) { insert(AdmittedText(Text)); }

void TEdit::KeyPress(QChar &Key) {
    if (Key.unicode() >= 32 && !AdmitChar(Key, 0)) {
        CharRefused();
        Key = QChar();
    }
    TControlOf<QLineEdit>::KeyPress(Key);
}

void TEdit::inputMethodEvent(QInputMethodEvent *Event) {
    const QString commit = Event->commitString();
    if (commit.isEmpty()) {
        TControlOf<QLineEdit>::inputMethodEvent(Event);
        return;
    }
    // The text the composition replaces goes first, then the committed text is
    // typed, then a new composition starts where the typing left the caret.
    // Qt's own handling would change even a read-only edit; keys do not.
    if (!isReadOnly()) {
        QInputMethodEvent replace;
        replace.setCommitString({}, Event->replacementStart(), Event->replacementLength());
        TControlOf<QLineEdit>::inputMethodEvent(&replace);
    }
    TypeText(this, commit);
    if (!Event->preeditString().isEmpty()) {
        QInputMethodEvent compose(Event->preeditString(), Event->attributes());
        TControlOf<QLineEdit>::inputMethodEvent(&compose);
    }
    Event->accept();
}

void TEdit::dropEvent(QDropEvent *Event) {
    // Ends Qt's drag feedback, whose own drop would insert the text unfiltered.
    QDragLeaveEvent leave;
    TControlOf<QLineEdit>::dragLeaveEvent(&leave);
    if (isReadOnly() || !Event->mimeData()->hasText()) {
        Event->ignore();
        return;
    }
    setCursorPosition(cursorPositionAt(Event->position().toPoint()));
    PasteText(Event->mimeData()->text());
    // A drop copies, also within the edit: the dragged text stays where it was.
    Event->setDropAction(Qt::CopyAction);
    Event->accept();
    setFocus(Qt::MouseFocusReason);
}

void TEdit::WidgetKeyPress(QKeyEvent *Event) {
    const auto modifiers = Event->modifiers() & ~Qt::KeypadModifier;
    const int key = Event->key();
    if (Event->matches(QKeySequence::Copy) || (key == Qt::Key_Insert && modifiers == Qt::ControlModifier)) {
        CopyToClipboard();
    } else if (Event->matches(QKeySequence::Cut) || (key == Qt::Key_Delete && modifiers == Qt::ShiftModifier)) {
        if (!isReadOnly())
            CutToClipboard();
    } else if (Event->matches(QKeySequence::Paste) || (key == Qt::Key_Insert && modifiers == Qt::ShiftModifier)) {
        PasteFromClipboard();
    } else {
        TControlOf<QLineEdit>::WidgetKeyPress(Event);
        return;
    }
    Event->accept();
}

void TEdit::contextMenuEvent(QContextMenuEvent *Event) {
    // Qt's own menu pastes past PasteText, so the menu is built here.
    QMenu menu(this);
    const bool writable = !isReadOnly();
    const bool selected = hasSelectedText();
    menu.addAction(tr("&Undo"), QKeySequence::Undo, this, &QLineEdit::undo)->setEnabled(writable && isUndoAvailable());
    menu.addAction(tr("&Redo"), QKeySequence::Redo, this, &QLineEdit::redo)->setEnabled(writable && isRedoAvailable());
    menu.addSeparator();
    menu.addAction(tr("Cu&t"), QKeySequence::Cut, this, [this] { CutToClipboard(); })->setEnabled(writable && CanCopy());
    menu.addAction(tr("&Copy"), QKeySequence::Copy, this, [this] { CopyToClipboard(); })->setEnabled(CanCopy());
    menu.addAction(tr("&Paste"), QKeySequence::Paste, this, [this] { PasteFromClipboard(); })
        ->setEnabled(writable && !QGuiApplication::clipboard()->text().isEmpty());
    menu.addAction(tr("Delete"), this, [this] { del(); })->setEnabled(writable && selected);
    menu.addSeparator();
    menu.addAction(tr("Select All"), QKeySequence::SelectAll, this, &QLineEdit::selectAll)->setEnabled(!text().isEmpty());
    menu.exec(Event->globalPos());
}

void TEdit::mouseReleaseEvent(QMouseEvent *Event) {
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (Event->button() == Qt::MiddleButton && clipboard->supportsSelection()) {
        if (!isReadOnly())
            PasteText(clipboard->text(QClipboard::Selection));
        Event->accept();
        return;
    }
    TControlOf<QLineEdit>::mouseReleaseEvent(Event);
}

// ---- TComboBox ----

TComboBox::TComboBox(QWidget *Parent) : TControlOf<QComboBox>(Parent) {
    // activated is Qt's signal for a user's choice; program changes do not emit it.
    connect(this, &QComboBox::activated, this, [this] {
        if (OnChange)
            OnChange(this);
        if (OnClick)
            OnClick(this);
        if (OnSelect)
            OnSelect(this);
    });
}

void TComboBox::AddItem(const QString &Text, const QVariant &Value) {
    const int selected = currentIndex();
    addItem(Text, Value);
    setCurrentIndex(selected);
}

void TComboBox::SetText(const QString &Value) {
    // The item lookup ignores letter case, as the system's list lookup does.
    const int index = findText(Value, Qt::MatchFixedString);
    setCurrentIndex(index);
    if (index < 0 && isEditable())
        setEditText(Value);
}

// ---- pages ----

class TPageControl::TPageTabBar : public QTabBar {
public:
    explicit TPageTabBar(TPageControl *Owner) : QTabBar(Owner), FOwner(Owner) {}

protected:
    // Every user route to another tab goes through ChangePage, which may refuse.
    void mousePressEvent(QMouseEvent *Event) override {
        if (Event->button() == Qt::LeftButton) {
            const int index = tabAt(Event->position().toPoint());
            if (index >= 0 && index != currentIndex()) {
                if (isTabEnabled(index))
                    FOwner->ChangePage(index);
                Event->accept();
                return;
            }
        }
        QTabBar::mousePressEvent(Event);
    }

    void keyPressEvent(QKeyEvent *Event) override {
        int step = 0;
        switch (Event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Up:
            step = -1;
            break;
        case Qt::Key_Right:
        case Qt::Key_Down:
            step = 1;
            break;
        default:
            QTabBar::keyPressEvent(Event);
            return;
        }
        if (const int index = FOwner->NextPage(currentIndex(), step); index >= 0 && index != currentIndex())
            FOwner->ChangePage(index);
        Event->accept();
    }

    void wheelEvent(QWheelEvent *Event) override { Event->ignore(); }

    bool event(QEvent *Event) override {
        if (Event->type() == QEvent::Shortcut) {
            const QKeySequence key = static_cast<QShortcutEvent *>(Event)->key();
            for (int i = 0; i < count(); ++i)
                if (isTabVisible(i) && isTabEnabled(i) && QKeySequence::mnemonic(tabText(i)) == key) {
                    FOwner->ChangePage(i);
                    return true;
                }
        }
        return QTabBar::event(Event);
    }

private:
    TPageControl *FOwner;
};

TPageControl::TPageControl(QWidget *Parent) : TControlOf<QTabWidget>(Parent) { setTabBar(new TPageTabBar(this)); }

TTabSheet *TPageControl::Pages(int Index) const { return qobject_cast<TTabSheet *>(widget(Index)); }

TTabSheet *TPageControl::ActivePage() const { return qobject_cast<TTabSheet *>(currentWidget()); }

void TPageControl::SetActivePage(TTabSheet *Value) { setCurrentWidget(Value); }

QList<QWidget *> TPageControl::Controls() const {
    QList<QWidget *> result;
    for (int i = 0; i < count(); ++i)
        result.append(widget(i));
    return result;
}

bool TPageControl::ChangePage(int Index) {
    if (Index < 0 || Index >= count())
        return false;
    if (Index == currentIndex())
        return true;
    bool allow = true;
    if (OnChanging)
        OnChanging(this, allow);
    if (!allow)
        return false;
    setCurrentIndex(Index);
    if (OnChange)
        OnChange(this);
    return true;
}

int TPageControl::NextPage(int From, int Step) const {
    const int n = count();
    for (int i = 1; i < n; ++i) {
        const int index = ((From + Step * i) % n + n) % n;
        if (isTabVisible(index) && isTabEnabled(index))
            return index;
    }
    return -1;
}

void TPageControl::keyPressEvent(QKeyEvent *Event) {
    const auto modifiers = Event->modifiers();
    const int key = Event->key();
    int step = 0;
    if (modifiers & Qt::ControlModifier) {
        if (key == Qt::Key_Backtab || (key == Qt::Key_Tab && (modifiers & Qt::ShiftModifier)) || key == Qt::Key_PageUp)
            step = -1;
        else if (key == Qt::Key_Tab || key == Qt::Key_PageDown)
            step = 1;
    }
    if (!step) {
        TControlOf<QTabWidget>::keyPressEvent(Event);
        return;
    }
    if (const int index = NextPage(currentIndex(), step); index >= 0)
        ChangePage(index);
    Event->accept();
}

TTabSheet::TTabSheet(TPageControl *PageControl, const QString &Caption) { PageControl->addTab(this, Caption); }

TTabSheet::TTabSheet(QWidget *Parent) : TControlOf<QWidget>(Parent) {}

TPageControl *TTabSheet::PageControl() const {
    // A page control keeps its pages in a stack of its own.
    QWidget *stack = parentWidget();
    return stack ? qobject_cast<TPageControl *>(stack->parentWidget()) : nullptr;
}

int TTabSheet::PageIndex() const { return PageControl()->indexOf(const_cast<TTabSheet *>(this)); }

QString TTabSheet::Caption() const { return PageControl()->tabText(PageIndex()); }

void TTabSheet::SetCaption(const QString &Value) { PageControl()->setTabText(PageIndex(), Value); }

bool TTabSheet::TabVisible() const { return PageControl()->isTabVisible(PageIndex()); }

void TTabSheet::SetTabVisible(bool Value) { PageControl()->setTabVisible(PageIndex(), Value); }

// ---- TUpDown ----

TUpDown::TUpDown(QWidget *Parent)
    : TControlOf<QWidget>(Parent), FNext(new QToolButton(this)), FPrev(new QToolButton(this)) {
    auto *layout = new QBoxLayout(QBoxLayout::TopToBottom, this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QToolButton *button : {FNext, FPrev}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRepeat(true);
        // The buttons share whatever room the counter gets, however small.
        button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
        button->setMinimumSize(1, 1);
        layout->addWidget(button);
    }
    connect(FNext, &QToolButton::clicked, this, [this] { Step(btNext); });
    connect(FPrev, &QToolButton::clicked, this, [this] { Step(btPrev); });
    // A tab stop for the arrow keys; a click on a button leaves the focus where it is.
    setFocusPolicy(Qt::TabFocus);
    Arrange();
}

void TUpDown::SetRange(int Min, int Max) {
    FMin = Min;
    FMax = Max;
    FPosition = std::clamp(FPosition, FMin, std::max(FMin, FMax));
}

void TUpDown::SetPosition(int Value) {
    FPosition = std::clamp(Value, FMin, std::max(FMin, FMax));
    PositionChanged();
}

QSize TUpDown::sizeHint() const { return FOrientation == udVertical ? QSize(16, 24) : QSize(32, 20); }

QSize TUpDown::minimumSizeHint() const { return {8, 8}; }

void TUpDown::SetOrientation(TUDOrientation Value) {
    FOrientation = Value;
    Arrange();
}

void TUpDown::Arrange() {
    auto *layout = static_cast<QBoxLayout *>(this->layout());
    // Vertical: up above down. Horizontal: the decrementing left arrow first.
    const bool vertical = FOrientation == udVertical;
    layout->setDirection(vertical ? QBoxLayout::TopToBottom : QBoxLayout::RightToLeft);
    FNext->setArrowType(vertical ? Qt::UpArrow : Qt::RightArrow);
    FPrev->setArrowType(vertical ? Qt::DownArrow : Qt::LeftArrow);
}

void TUpDown::Step(TUDBtnType Button) {
    if (StepPosition(Button) && OnClick)
        OnClick(this, Button);
}

bool TUpDown::StepPosition(TUDBtnType Button) {
    const qint64 delta = Button == btNext ? FIncrement : -FIncrement;
    const qint64 raw = qint64(StepBase()) + delta;
    int value = int(raw);
    if (raw > FMax)
        value = FWrap ? FMin : FMax;
    else if (raw < FMin)
        value = FWrap ? FMax : FMin;
    TUpDownDirection direction = updNone;
    if (delta > 0 && raw <= FMax)
        direction = updUp;
    else if (delta < 0 && raw >= FMin)
        direction = updDown;
    if (!Changing(value, direction))
        return false;
    SetPosition(value);
    return true;
}

bool TUpDown::Changing(int &NewValue, TUpDownDirection Direction) {
    bool allow = true;
    if (OnChanging)
        OnChanging(this, allow, NewValue, Direction);
    return allow;
}

void TUpDown::KeyDown(int &Key, Qt::KeyboardModifiers Shift) {
    TControlOf<QWidget>::KeyDown(Key, Shift);
    if (Key == Qt::Key_Up || Key == Qt::Key_Right) {
        Step(btNext);
        Key = 0;
    } else if (Key == Qt::Key_Down || Key == Qt::Key_Left) {
        Step(btPrev);
        Key = 0;
    }
}

// ---- components ----

QList<QWidget *> Components(QWidget *Owner) {
    QList<QWidget *> result;
    for (QWidget *w : Owner->findChildren<QWidget *>())
        if (auto *control = dynamic_cast<TWinControl *>(w); control && control->Owner() == Owner)
            result.append(w);
    std::stable_sort(result.begin(), result.end(), [](QWidget *a, QWidget *b) {
        return dynamic_cast<TWinControl *>(a)->CreationOrder() < dynamic_cast<TWinControl *>(b)->CreationOrder();
    });
    return result;
}

QWidget *FindComponent(QWidget *Owner, const QString &Name) {
    for (QWidget *w : Components(Owner))
        if (w->objectName() == Name)
            return w;
    return nullptr;
}

QList<QWidget *> ChildControls(QWidget *Parent) {
    if (auto *control = dynamic_cast<TWinControl *>(Parent))
        return control->Controls();
    QList<QWidget *> result;
    for (QObject *child : Parent->children())
        if (auto *w = qobject_cast<QWidget *>(child); w && !w->isWindow())
            result.append(w);
    return result;
}

void SetParentColor(QWidget *Widget, bool Value) {
    const QColor color = Value ? (Widget->parentWidget() ? Widget->parentWidget()->palette() : QApplication::palette())
                                     .color(QPalette::Window)
                               : QApplication::palette(Widget).color(QPalette::Active, QPalette::Base);
    QPalette palette = Widget->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Base, color);
    Widget->setPalette(palette);
}

QWidget *ParentForm(const QWidget *Control) {
    const QWidget *form = nullptr;
    for (const QWidget *w = Control; w; w = w->parentWidget()) {
        const auto *control = dynamic_cast<const TWinControl *>(w);
        const bool window = w->isWindow() && (qobject_cast<const QDialog *>(w) || qobject_cast<const QMainWindow *>(w));
        if ((control && control->IsForm()) || window)
            form = w;
    }
    return const_cast<QWidget *>(form);
}

void PaintEditPanel(QWidget *Widget, bool Framed, bool ReadOnly) {
    QPainter painter(Widget);
    QStyleOptionFrame option;
    option.initFrom(Widget);
    option.rect = Widget->rect();
    option.lineWidth = Framed ? Widget->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, Widget) : 0;
    option.midLineWidth = 0;
    option.state |= QStyle::State_Sunken;
    if (ReadOnly)
        option.state |= QStyle::State_ReadOnly;
    if (QWidget *focus = QApplication::focusWidget(); focus && Widget->isAncestorOf(focus))
        option.state |= QStyle::State_HasFocus;
    Widget->style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, Widget);
}

namespace {

// Shift+Tab from a later field starts from the first, so it leaves the row
// instead of landing on the first field.
class TTabStopFilter : public QObject {
public:
    TTabStopFilter(QObject *Parent, QWidget *First) : QObject(Parent), FFirst(First) {}

protected:
    bool eventFilter(QObject *Watched, QEvent *Event) override {
        if (Event->type() == QEvent::KeyPress && Watched != FFirst && FFirst) {
            const auto *key = static_cast<QKeyEvent *>(Event);
            const bool backward = key->key() == Qt::Key_Backtab ||
                                  (key->key() == Qt::Key_Tab && (key->modifiers() & Qt::ShiftModifier));
            if (backward && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
                FFirst->setFocus(Qt::BacktabFocusReason);
        }
        return false;
    }

private:
    QPointer<QWidget> FFirst;
};

} // namespace

void JoinTabStop(QWidget *Owner, const QList<QWidget *> &Fields) {
    if (Fields.isEmpty())
        return;
    auto *filter = new TTabStopFilter(Owner, Fields.first());
    for (int i = 0; i < Fields.size(); ++i) {
        Fields[i]->setFocusPolicy(i == 0 ? Qt::StrongFocus : Qt::ClickFocus);
        Fields[i]->installEventFilter(filter);
    }
}

// ---- seams ----

QMessageBox::StandardButton MessageBox(QWidget *Parent, const QString &Text, const QString &Caption,
                                       QMessageBox::Icon Icon, QMessageBox::StandardButtons Buttons) {
    if (const auto &handler = MessageBoxHandler())
        return handler({Parent, Text, Caption, Icon, Buttons});
    QMessageBox box(Icon, Caption, Text, Buttons, Parent);
    return QMessageBox::StandardButton(box.exec());
}

TMessageBoxHandler SetMessageBoxHandler(TMessageBoxHandler Handler) { return std::exchange(MessageBoxHandler(), std::move(Handler)); }

void Beep() {
    if (const auto &handler = BeepHandler())
        handler();
    else
        QApplication::beep();
}

std::function<void()> SetBeepHandler(std::function<void()> Handler) { return std::exchange(BeepHandler(), std::move(Handler)); }
