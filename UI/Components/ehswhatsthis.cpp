#include "ehswhatsthis.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

#include <utility>

namespace {

// The engine that watches the input of the process, if any.
TWhatsThis *RunningEngine = nullptr;

// The message the engine posts itself to answer once the input event is over.
constexpr int cmShowHelp = 1;

bool IsForm(const QObject *Object) {
    const auto *widget = qobject_cast<const QWidget *>(Object);
    return widget && widget->isWindow();
}

// Menus are the toolkit's, not controls: clicks in them are theirs.
bool IsMenu(const QWidget *Widget) {
    for (; Widget; Widget = Widget->parentWidget())
        if (qobject_cast<const QMenu *>(Widget) || qobject_cast<const QMenuBar *>(Widget))
            return true;
    return false;
}

QMenu *OpenMenu() { return qobject_cast<QMenu *>(QApplication::activePopupWidget()); }

void CloseMenus() {
    for (QWidget *popup = QApplication::activePopupWidget(); popup;) {
        popup->close();
        QWidget *next = QApplication::activePopupWidget();
        popup = next != popup ? next : nullptr;
    }
}

// The deepest visible control of Widget's window under the point; the parts
// Qt builds composite widgets from ("qt_..." names) answer as their widget.
QWidget *ControlAt(QWidget *Widget, QPoint Global) {
    QWidget *window = Widget->window();
    QWidget *control = window->childAt(window->mapFromGlobal(Global));
    if (!control)
        control = window;
    // A page's tab stands for its page.
    if (auto *tabs = qobject_cast<QTabBar *>(control))
        if (auto *pages = qobject_cast<QTabWidget *>(tabs->parentWidget()))
            if (QWidget *page = pages->widget(tabs->tabAt(tabs->mapFromGlobal(Global))))
                return page;
    while (!control->isWindow() && control->objectName().startsWith(QLatin1String("qt_")))
        control = control->parentWidget();
    return control;
}

// Where a context is looked for next: a widget's parent up to its form; for a
// menu item, the item that opens its menu, and from a menu bar on its window.
QObject *HelpParent(QObject *Object) {
    if (auto *widget = qobject_cast<QWidget *>(Object))
        return widget->isWindow() ? nullptr : widget->parentWidget();
    if (auto *item = qobject_cast<QAction *>(Object))
        for (QObject *holder : item->associatedObjects()) {
            if (auto *menu = qobject_cast<QMenu *>(holder))
                return menu->menuAction() != item ? menu->menuAction() : nullptr;
            if (qobject_cast<QWidget *>(holder))
                return holder;
        }
    return nullptr;
}

// The form a widget or menu item belongs to; the active window for a menu of its own.
QWidget *FormOf(QObject *Object) {
    for (QObject *o = Object; o; o = HelpParent(o))
        if (IsForm(o))
            return static_cast<QWidget *>(o);
    return QApplication::activeWindow();
}

int TagOf(const QObject *Object) {
    const auto *control = dynamic_cast<const TWinControl *>(Object);
    return control ? control->Tag() : 0;
}

} // namespace

TWhatsThis::TWhatsThis(QObject *Owner) : TehsBase(Owner) {}

TWhatsThis::~TWhatsThis() {
    Stop();
    // After the application has gone (a library unloaded at exit) there is no
    // input to watch, and widgets can no longer be freed.
    if (!QCoreApplication::instance()) {
        (void)FPopupMenu.release();
        return;
    }
    if (FPredecessor && FPredecessor->Active())
        FPredecessor->Start();
}

void TWhatsThis::Loaded() {
    FLoading = false;
    if (FActive)
        Start();
}

void TWhatsThis::SetActive(bool Value) {
    FActive = Value;
    if (FLoading)
        return;
    if (Value)
        Start();
    else
        Stop();
}

void TWhatsThis::SetPopupCaption(const QString &Value) {
    FPopupCaption = Value;
    if (FPopupMenu)
        FPopupMenu->actions().constFirst()->setText(Value);
}

void TWhatsThis::SetPopupHelpContext(int Value) {
    FPopupHelpContext = Value;
    if (FPopupMenu)
        SetHelpContext(FPopupMenu->actions().constFirst(), Value);
}

void TWhatsThis::SetWTMenuItem(QAction *Value) {
    if (FRunning)
        throw Exception(QStringLiteral("TWhatsThis must be deactivated to change this property"));
    if (FWTMenuItem)
        FWTMenuItem->setShortcut(QKeySequence());
    FWTMenuItem = Value;
    if (Value)
        Value->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F1));
}

void TWhatsThis::SetWTToolbarButton(QWidget *Value) {
    if (FRunning)
        throw Exception(QStringLiteral("TWhatsThis must be deactivated to change this property"));
    FWTToolbarButton = Value;
}

// ---- running ----

void TWhatsThis::Start() {
    if (FRunning)
        return;
    if (RunningEngine && RunningEngine != this) {
        FPredecessor = RunningEngine;
        RunningEngine->Stop();
    }
    RunningEngine = this;
    TakeOverClicks();
    qApp->installEventFilter(this);
    FMode = wmIdle;
    FRunning = true;
}

void TWhatsThis::Stop() {
    if (!FRunning)
        return;
    if (FMode == wmPermanent)
        CancelContextHelp();
    ShowHelpCursor(false);
    GiveBackClicks();
    if (QCoreApplication *app = QCoreApplication::instance())
        app->removeEventFilter(this);
    FMode = wmIdle;
    FRunning = false;
    if (RunningEngine == this)
        RunningEngine = nullptr;
}

void TWhatsThis::TakeOverClicks() {
    if (FWTMenuItem)
        FMenuItemClick = connect(FWTMenuItem, &QAction::triggered, this, &TWhatsThis::ItemClick);
    if (!FWTToolbarButton)
        return;
    auto *button = qobject_cast<QAbstractButton *>(FWTToolbarButton);
    if (!button) {
        MessageBox(nullptr, QStringLiteral("Cannot assign onClick events to menu item / toolbar button"), QString(),
                   QMessageBox::Critical);
        FWTToolbarButton = nullptr;
        return;
    }
    // A tool button made for the menu item already clicks through it.
    auto *tool = qobject_cast<QToolButton *>(button);
    if (!tool || !tool->defaultAction() || tool->defaultAction() != FWTMenuItem)
        FToolbarButtonClick = connect(button, &QAbstractButton::clicked, this, &TWhatsThis::ItemClick);
}

void TWhatsThis::GiveBackClicks() {
    const bool item = !FWTMenuItem || !FMenuItemClick || disconnect(FMenuItemClick);
    const bool button = !FWTToolbarButton || !FToolbarButtonClick || disconnect(FToolbarButtonClick);
    FMenuItemClick = {};
    FToolbarButtonClick = {};
    if (item && button)
        return;
    MessageBox(nullptr, QStringLiteral("Cannot assign onClick events to menu item / toolbar button"), QString(),
               QMessageBox::Critical);
    if (!item)
        FWTMenuItem = nullptr;
    if (!button)
        FWTToolbarButton = nullptr;
}

void TWhatsThis::ItemClick() {
    if (FMode == wmIdle)
        ContextHelp();
    else if (FMode == wmPermanent)
        CancelContextHelp();
    else
        ShowItemsState(false);
}

void TWhatsThis::ContextHelp() {
    if (!FRunning)
        throw Exception(Name() + QStringLiteral(" is currently not active."));
    FMode = wmPermanent;
    ShowHelpCursor(true);
    ShowItemsState(true);
    if (OnEnterContextMode)
        OnEnterContextMode(this);
}

void TWhatsThis::CancelContextHelp() {
    if (!FRunning)
        throw Exception(Name() + QStringLiteral(" is currently not active."));
    FMode = wmIdle;
    ShowHelpCursor(false);
    ShowItemsState(false);
    if (OnLeaveContextMode)
        OnLeaveContextMode(this);
}

// The menu item checked and the toolbar button down while the mode is on. A
// checkable button shows "down" as checked; a plain one through its pressed look.
void TWhatsThis::ShowItemsState(bool On) {
    if (FWTMenuItem)
        FWTMenuItem->setChecked(On);
    if (auto *button = qobject_cast<QAbstractButton *>(FWTToolbarButton)) {
        if (button->isCheckable())
            button->setChecked(On);
        else
            button->setDown(On);
    }
}

void TWhatsThis::ShowHelpCursor(bool On) {
    if (On == FHelpCursor || !QCoreApplication::instance())
        return;
    FHelpCursor = On;
    if (On)
        QApplication::setOverrideCursor(Qt::WhatsThisCursor);
    else
        QApplication::restoreOverrideCursor();
}

// ---- input ----

bool TWhatsThis::eventFilter(QObject *Watched, QEvent *Event) {
    if (Event->type() == QEvent::EnterWhatsThisMode) {
        if (FMode == wmPermanent)
            CancelContextHelp();
        FMode = wmWaitWMHelp;
        ShowHelpCursor(true);
        return true;
    }
    auto *widget = qobject_cast<QWidget *>(Watched);
    if (!widget)
        return false;
    switch (Event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        return MousePress(widget, static_cast<QMouseEvent *>(Event));
    case QEvent::MouseButtonRelease: {
        auto *mouse = static_cast<QMouseEvent *>(Event);
        if (FSwallowLeftButton && mouse->button() == Qt::LeftButton) {
            FSwallowLeftButton = false;
            return true;
        }
        // Only a right click that began in the menu is one: the release of the click
        // that opened a popup menu lands in it too.
        auto *menu = qobject_cast<QMenu *>(widget);
        if (!menu || mouse->button() != Qt::RightButton || std::exchange(FRightPressMenu, nullptr) != menu)
            return false;
        return MenuRightClick(menu, mouse);
    }
    case QEvent::ContextMenu: {
        auto *request = static_cast<QContextMenuEvent *>(Event);
        return request->reason() == QContextMenuEvent::Mouse && RightClick(widget, request->globalPos());
    }
    case QEvent::ShortcutOverride:
        // The engine sees F1 first, also where Shift+F1 is a menu item's shortcut.
        if (static_cast<QKeyEvent *>(Event)->key() == Qt::Key_F1) {
            Event->accept();
            return true;
        }
        return false;
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(Event);
        if (key->key() == Qt::Key_F1)
            return F1KeyDown(key->modifiers() & Qt::ShiftModifier);
        // Escape leaves the mode, not the window.
        if (key->key() == Qt::Key_Escape && FMode == wmPermanent) {
            CancelContextHelp();
            return true;
        }
        if (key->key() == Qt::Key_Menu && FOptions.testFlag(wtUseAppKey)) {
            QWidget *focus = QApplication::focusWidget();
            return focus && RightClick(focus, focus->mapToGlobal(focus->rect().center()));
        }
        return false;
    }
    default:
        return false;
    }
}

bool TWhatsThis::MousePress(QWidget *Widget, QMouseEvent *Event) {
    if (FSwallowLeftButton && Event->button() == Qt::LeftButton)
        return true;
    if (Event->button() == Qt::RightButton)
        FRightPressMenu = qobject_cast<QMenu *>(Widget);
    if (Event->button() != Qt::LeftButton || (FMode != wmPermanent && FMode != wmWaitWMHelp) || IsMenu(Widget))
        return false;
    if (FMode == wmPermanent && IsToolbarButton(Widget))
        return false;
    const QPoint at = Event->globalPosition().toPoint();
    if (FMode == wmPermanent)
        CancelContextHelp();
    else {
        FMode = wmIdle;
        ShowHelpCursor(false);
    }
    FSwallowLeftButton = true;
    Answer(ControlAt(Widget, at), at, false);
    return true;
}

bool TWhatsThis::RightClick(QWidget *Widget, QPoint At) {
    if (IsMenu(Widget))
        return false;
    if (FMode == wmPermanent) {
        if (!IsToolbarButton(Widget))
            return false;
        CancelContextHelp();
    } else if (FMode != wmIdle)
        return false;
    FMode = wmWaitPopup;
    const bool answered = Answer(ControlAt(Widget, At), At, true);
    // The popup menu keeps the mode until it closes.
    if (!FPopupMenu || !FPopupMenu->isVisible())
        FMode = wmIdle;
    return answered;
}

bool TWhatsThis::MenuRightClick(QMenu *Menu, QMouseEvent *Event) {
    if (!FOptions.testFlag(wtMenuRightClick) && FMode != wmPermanent)
        return false;
    QAction *item = Menu->actionAt(Event->position().toPoint());
    if (!item || item->isSeparator())
        return false;
    if (FMode == wmPermanent)
        CancelContextHelp();
    CloseMenus();
    Answer(item, Event->globalPosition().toPoint(), false);
    return true;
}

bool TWhatsThis::F1KeyDown(Qt::KeyboardModifiers Shift) {
    if (FMode == wmPermanent)
        CancelContextHelp();
    if (!QApplication::activeWindow() && FF1Action == goContext)
        return false;
    bool handled = false;
    if (OnF1KeyDown)
        OnF1KeyDown(this, handled);
    if (handled)
        return true;
    if (Shift) {
        ContextHelp();
        return true;
    }
    if (QMenu *menu = OpenMenu(); menu || FF1Action == goContext) {
        if (menu) {
            if (QAction *item = menu->activeAction()) {
                const QPoint at = menu->mapToGlobal(menu->actionGeometry(item).topLeft());
                CloseMenus();
                Answer(item, at, false);
            }
        } else if (QWidget *focus = QApplication::focusWidget(); focus || (focus = QApplication::activeWindow()))
            Answer(focus, focus->mapToGlobal(QPoint(0, 0)), false);
        return true;
    }
    switch (FF1Action) {
    case goDefault:
        Help(hcContents, 0);
        break;
    case goTOC:
        Help(hcTopics, 0);
        break;
    default:
        if (QWidget *form = QApplication::activeWindow())
            Answer(form, std::nullopt, false);
        break;
    }
    return true;
}

bool TWhatsThis::IsToolbarButton(const QWidget *Widget) const {
    return FWTToolbarButton && (Widget == FWTToolbarButton || FWTToolbarButton->isAncestorOf(Widget));
}

// ---- answering ----

bool TWhatsThis::Answer(QObject *Control, std::optional<QPoint> At, bool RightClick) {
    const int context = FindContext(Control);
    const bool popup = RightClick && !FOptions.testFlag(wtDirectHelp);
    if (context == 0 && !FOptions.testFlag(popup ? wtNoContextMenu : wtNoContextHelp))
        return false;
    if (popup && IsForm(Control) && !FOptions.testFlag(wtPopupOnForm))
        return false;
    FContextInfo = {Control, context, At};
    if (!popup) {
        PostMessage(cmShowHelp);
        return true;
    }
    bool show = true;
    if (OnPopup)
        OnPopup(this, FContextInfo, show);
    if (show)
        ShowPopupMenu(*At);
    return true;
}

// Own context (a label's is that of its focus control, which then answers),
// the tag, the enclosing parents (the form only with wtInheritFormContext),
// then the map's context of the control's topic name.
int TWhatsThis::FindContext(QObject *&Control) {
    if (auto *label = qobject_cast<QLabel *>(Control); label && label->buddy())
        Control = label->buddy();
    int context = HelpContextOf(Control);
    if (context == 0 && FOptions.testFlag(wtUseTag))
        context = TagOf(Control);
    for (QObject *parent = HelpParent(Control); context == 0 && parent; parent = HelpParent(parent))
        if (!IsForm(parent) || FOptions.testFlag(wtInheritFormContext))
            context = HelpContextOf(parent);
    if (context == 0 && FHelpContextMap) {
        // A control without a name has no topic of its own.
        const QWidget *form = FormOf(Control);
        const QString name = form == Control ? QString() : Control->objectName();
        if (form && (form == Control || !name.isEmpty()))
            context = FHelpContextMap->GetContext(FHelpContextMap->TopicName(form->objectName(), name));
    }
    if (OnGetContext)
        OnGetContext(this, Control, context);
    return context;
}

void TWhatsThis::ShowPopupMenu(QPoint At) {
    if (!FPopupMenu) {
        FPopupMenu = std::make_unique<QMenu>();
        FPopupMenu->setObjectName(QStringLiteral("WhatsThisPopup"));
        QAction *item = FPopupMenu->addAction(FPopupCaption);
        SetHelpContext(item, FPopupHelpContext);
        connect(item, &QAction::triggered, this, [this] { PostMessage(cmShowHelp); });
        connect(FPopupMenu.get(), &QMenu::aboutToHide, this, [this] {
            if (FMode == wmWaitPopup)
                FMode = wmIdle;
        });
    }
    FPopupMenu->popup(At);
}

void TWhatsThis::WndProc(int Msg) {
    if (Msg == cmShowHelp)
        ShowHelp(FContextInfo);
}

// A negative context asks for the topic itself; otherwise the popup's
// position goes first, then a form's topic or a control's popup.
void TWhatsThis::ShowHelp(const TContextInfo &Info) {
    if (Info.HelpContext < 0) {
        Help(hcContext, uint32_t(-int64_t(Info.HelpContext)));
        return;
    }
    if (Info.At)
        Help(hcSetPopupPos, PackPopupPos(*Info.At));
    Help(IsForm(Info.Control) ? hcContext : hcContextPopup, uint32_t(Info.HelpContext));
}

void TWhatsThis::Help(THelpCommand Command, uint32_t Data) {
    bool callHelp = true;
    if (OnHelp)
        OnHelp(this, Command, Data, callHelp);
    if (callHelp)
        HelpCommand(Command, Data);
}
