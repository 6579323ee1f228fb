#include "UTCUtils.h"

#include "SysUtils.h"

#include <QApplication>
#include <QHash>
#include <QWidget>
#include <QWindow>

namespace {

constexpr const char *UnitPath = "UI\\Common\\UTCUtils";
// The application object's property that holds the pending modal form.
constexpr const char *WaiterProperty = "UTCModalFormWaiter";

// True when Ancestor is Widget or a window that Widget's parents lead to.
bool Descends(const QWidget *Widget, const QWidget *Ancestor) {
    for (; Widget; Widget = Widget->parentWidget())
        if (Widget == Ancestor)
            return true;
    return false;
}

TModalFormWaiter *SlotValue() {
    return reinterpret_cast<TModalFormWaiter *>(QCoreApplication::instance()->property(WaiterProperty).value<quintptr>());
}

void SetSlotValue(TModalFormWaiter *Waiter) {
    QCoreApplication::instance()->setProperty(WaiterProperty, QVariant::fromValue(reinterpret_cast<quintptr>(Waiter)));
}

} // namespace

bool IsForm(const QWidget *Widget) {
    if (!Widget || !Widget->isWindow())
        return false;
    switch (Widget->windowType()) {
    case Qt::Window:
    case Qt::Dialog:
    case Qt::Sheet:
    case Qt::Tool:
        return true;
    default:
        return false;
    }
}

QList<QWidget *> Forms() {
    QHash<const QWindow *, QWidget *> byWindow;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (const QWindow *window = widget->windowHandle(); window && IsForm(widget))
            byWindow.insert(window, widget);
    // Qt lists the windows in the order they were made.
    QList<QWidget *> result;
    for (const QWindow *window : QGuiApplication::topLevelWindows())
        if (QWidget *form = byWindow.value(window))
            result.append(form);
    return result;
}

bool AcceptsInput(const QWidget *Form) {
    if (!Form->isVisible() || !Form->isEnabled())
        return false;
    const QWidget *modal = QApplication::activeModalWidget();
    if (!modal || Descends(Form, modal))
        return true;
    // A window-modal dialog blocks only the windows it stands on.
    return modal->windowModality() == Qt::WindowModal && !Descends(modal, Form);
}

HWND WindowHandle(QWidget *Form) { return HWND(Form->winId()); }

QWidget *FindWindowHandle(HWND Handle) {
    for (QWidget *form : Forms())
        if (WindowHandle(form) == Handle)
            return form;
    return nullptr;
}

void SetModalFormWaiter(const QMetaObject *FormClass, TUTCGenericWrapper *Wrapper) {
    Assert(SlotValue() == nullptr, UnitPath, 40);
    SetSlotValue(new TModalFormWaiter{FormClass, Wrapper});
}

const TModalFormWaiter *ModalFormWaiter() { return SlotValue(); }

std::unique_ptr<TModalFormWaiter> TakeModalFormWaiter() {
    std::unique_ptr<TModalFormWaiter> waiter(SlotValue());
    SetSlotValue(nullptr);
    return waiter;
}
