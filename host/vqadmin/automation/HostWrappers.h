#pragma once
// The wrappers the host makes for its own windows and for the standard
// controls, so that a command reaches a control the way a user's action would.
//
// A control's wrapper acts on its one control: the command's name is the
// caller's (a setting, a column), p2 and p3 are the values.
//   command  presses a button, sets a check box to p2 ("True" checks), selects
//            a radio button, switches a page control to the page captioned p2;
//            on other controls the generic commands
//   set      puts p2 into an edit, list, spin edit, address or mask edit, a
//            check box or list box (true when the control shows it)
//   get      the text of an edit or list
//   tables   on grids: p2 names the column (a string grid's number, a
//            captioned grid's caption, a data grid's persistent tag), p3 is
//            the text to find or to write; table-add appends a row to a data
//            grid whose column p2 has an editor and writes p3 into it
//
// The main window answers the form commands, "NewDevice" (p2: a profile's
// name) and "EditDevice" (p2: a device ID), which open the device dialog as the
// menu does and answer its handle, "NewProfile" and "EditProfile" (p2: a
// profile's name), the same for the profile dialog, and runs the table
// commands on its device list. A message box presses the button its command
// names by caption. Any other form answers the form commands and hands what
// else it gets to the plug-in's frame it holds; with an Apply/Close strip its
// "DefaultButton" applies and its "CancelButton" closes unless there are
// unapplied changes (-1 then), while its "Close" then answers the handle of
// the question whether to save them.

#include "UTCFormWrapper.h"

class QAction;
class TMainWindow;
class TVarnelGrid;

std::unique_ptr<TUTCGenericWrapper> CreateFormWrapper(QWidget *Form);
// None for a control of a kind no command applies to.
std::unique_ptr<TUTCGenericWrapper> CreateControlWrapper(QWidget *Control);

class TMainWindowWrapper : public TUTCFormWrapper {
public:
    explicit TMainWindowWrapper(TMainWindow *aForm);
    HWND UTCCommand() override;
    bool UTCTableAdd() override;
    bool UTCTableFind() override;
    QString UTCTableGet() override;
    bool UTCTableSet() override;

private:
    // Selects the row of List whose first column is p2 (without a list, none),
    // then runs the menu's action; the handle of the dialog of DialogClass
    // reaches the command when the dialog opens.
    HWND OpenDialog(const char *ActionName, TVarnelGrid *List, const QMetaObject *DialogClass);

    TMainWindow *FWindow;
};

// A dialog's wrapper: the form commands, the rest for the frame it holds. In
// a dialog with an Apply/Close strip, "DefaultButton" applies, "CancelButton"
// closes unless there are unapplied changes, and "Close" with unapplied
// changes answers the handle of the save question.
class THostDialogWrapper : public TUTCFormWrapper {
public:
    explicit THostDialogWrapper(QWidget *aForm);
    // "Close", "DefaultButton", "CancelButton"; other names go to the frame.
    HWND UTCCommand() override;
    bool UTCSet() override;
    QString UTCGet() override;
    bool UTCTableAdd() override;
    bool UTCTableFind() override;
    QString UTCTableGet() override;
    bool UTCTableSet() override;

private:
    // The first control of the form that has a registered wrapper class.
    QWidget *Frame() const;
    TUTCResult OnFrame();
};
