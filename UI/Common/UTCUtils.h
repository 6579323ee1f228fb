#pragma once
// What the automation's wrappers share with the host beside the wrappers
// themselves: window handles, the application's open forms in order, and the
// pending modal form.
//
// The host and the plug-in each carry a copy of this unit, so nothing here is
// kept in a static of its own: handles are the windows' own identifiers, the
// forms are Qt's list, and the pending modal form lives on the application
// object. Both copies see the same.

#include "IPC_UTCUI.h"

#include <QList>

#include <memory>

class QMetaObject;
class QString;
class QWidget;
class TUTCGenericWrapper;

// Forms are top-level windows and dialogs; their class reference is Qt's
// meta-object, so any window, a message box included, can be looked for.
bool IsForm(const QWidget *Widget);
// The open forms in the order their windows were made. A form is open from
// the first time it is shown until it is destroyed, hidden or not.
QList<QWidget *> Forms();
// Visible, enabled and not blocked by another window's modal dialog.
bool AcceptsInput(const QWidget *Form);

// The form's window identifier, cut to 32 bits.
HWND WindowHandle(QWidget *Form);
// The open form with that handle, or none.
QWidget *FindWindowHandle(HWND Handle);

// A modal form that a wrapper's command is waiting for: the host gives the
// waiting wrapper the form's handle when a form of the class opens.
struct TModalFormWaiter {
    const QMetaObject *FormClass;
    TUTCGenericWrapper *Wrapper;
};

// Fills the process-wide slot; raises EAssertionFailed "Assertion failure"
// when it is filled already, and records nothing then.
void SetModalFormWaiter(const QMetaObject *FormClass, TUTCGenericWrapper *Wrapper);
// The waiter in the slot, none when it is empty.
const TModalFormWaiter *ModalFormWaiter();
// Empties the slot and hands its waiter to the caller.
std::unique_ptr<TModalFormWaiter> TakeModalFormWaiter();
