#pragma once
// The automation wrappers: short-lived objects through which the host's UI
// automation operates a window by logical names. A wrapper is made over one
// form or frame, given the command block and its parameters (SetParams), runs
// one operation and is freed. The host and the plug-in both make wrappers and
// both call them, so the order of the virtual operations and of the leading
// fields is a contract.
//
// The control operations act on one control as a user would, so that its own
// handlers run. Two result conventions: a boolean (true when the control reads
// back what was asked for) and a status (0 success, -1 failure; the window
// finders return a window handle instead of 0).

#include "IPC_UTCUI.h"
#include "MetaClass.h"
#include "UTCUtils.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <span>

class QMetaObject;
class QWidget;
class TAction;
class TButton;
class TCheckBox;
class TComboBox;
class TComboBoxEx;
class TCustomVQIPAddress;
class TCustomVQIPMask;
class TCustomVQSpinEdit;
class TDialogPanel;
class TDrawGrid;
class TEdit;
class TIPAddressEdit;
class TListBox;
class TPageControl;
class TRadioButton;
class TSpeedButton;
class TSpinEdit;
class TStringGrid;
class TTabControl;
class TTabSheet;
class TVarnelGrid;
class TVQStringGrid;

// The result of a command that a child control's wrapper ran.
struct TUTCResult {
    bool error = false; // no wrapper could be made
    bool as_bool = false;
    int32_t as_int = 0;
    QString as_string;
};

// How the control that a setting names takes its value.
enum TUTCControlKind {
    uckEdit,        // the text
    uckCombo,       // the item or the text
    uckIPAddress,   // the address text
    uckCheckBox,    // checked for "True" in any letter case
    uckSpinEdit,    // a decimal integer
    uckRadioButton, // selected, whatever the value
    uckSubnetMask,  // a dotted mask, taken as the prefix length of its lowest one bit
};

// A row of a wrapper's setting table: the logical name, the object name of
// the control in the wrapped frame, and the control's kind.
struct TUTCSetting {
    const char *Name;
    const char *Control;
    TUTCControlKind Kind;
};

class TUTCGenericWrapper {
public:
    TUTCGenericWrapper() = default;
    TUTCGenericWrapper(const TUTCGenericWrapper &) = delete;
    TUTCGenericWrapper &operator=(const TUTCGenericWrapper &) = delete;

    // The operations of the command kinds, in slot order. A name that a
    // wrapper does not handle: INVALID_HWND, false or "Error!!!".
    virtual HWND UTCCommand();           // slot 0: "GetWndByClass", "NetworkCableUnpluggedEmulation"
    virtual bool UTCSet();               // slot 1
    virtual QString UTCGet();            // slot 2
    virtual bool UTCTableAdd();          // slot 3
    virtual bool UTCTableFind();         // slot 4
    virtual QString UTCTableGet();       // slot 5
    virtual bool UTCTableSet();          // slot 6
    virtual ~TUTCGenericWrapper();       // after the operations: whoever made the wrapper frees it

    // Borrows the command block and its parameters for the next operation.
    void SetParams(PUTCData pData, Pcparm pParams);
    // Writes the integer result into the command block.
    void SetResult(int32_t Res);
    // Signals the command block's event, once: the pointers are cleared first,
    // so the wrapper never touches the block after the waiting party goes on.
    void FireEvent();
    bool Fired() const { return FFired; }

    // The first open form of the class (or a class derived from it), or of the
    // class name ignoring letter case, decides: its handle when it takes
    // input, else INVALID_HWND. INVALID_HWND when no form matches.
    HWND FindWindow(const QMetaObject *FormClass) const;
    HWND FindWindowByClassName(const QString &ClassName) const;

    // ---- text and value setters: true when the control shows Value ----
    // Single-line edits, masked and input-restricting edits included.
    bool SetText(TEdit *Control, const QString &Value);
    // Raises EIPAddressEditorError on a text its parser refuses.
    bool SetText(TIPAddressEdit *Control, const QString &Value);
    bool SetText(TCustomVQIPAddress *Control, const QString &Value);
    // The mask's address text; the prefix length follows the control's rules.
    bool SetText(TCustomVQIPMask *Control, const QString &Value);
    // Selects the item (the list's own lookup) or sets the edit text, then runs
    // the change, click and select handlers, each when assigned.
    bool SetText(TComboBox *Control, const QString &Value);
    // As for the combo box; true when the selected index is the one found (-1: none).
    bool SetText(TComboBoxEx *Control, const QString &Value);
    // Value must be a decimal integer, else EConvertError and the control is unchanged.
    bool SetText(TSpinEdit *Control, const QString &Value);
    bool SetText(TCustomVQSpinEdit *Control, const QString &Value);
    QString GetText(TEdit *Control) const;
    QString GetText(TComboBox *Control) const;

    // ---- check boxes and radio buttons; disabled ones are never changed ----
    // Inverts an enabled check box; true when inverted.
    bool CheckBox(TCheckBox *aCheckBox);
    // Status: 0 when the box reads back as Checked; -1 without a box or for a disabled one.
    int32_t CheckBox(TCheckBox *aCheckBox, bool Checked);
    // Checks when p2 is "True" in any letter case, else unchecks.
    int32_t DoCheckBox(TCheckBox *chBox);
    int32_t SelectRadioButton(TRadioButton *aButton);

    // ---- lists and tabs ----
    // Index outside the items: -1 and no handler runs.
    int32_t SelectComboItem(TComboBox *AComboBox, int AIndex);
    // Selects the item p2 names; true when found.
    bool SelectListBox(TListBox *List);
    // Asks the changing handler, switches, runs the change handler. -1 when refused or not taken.
    int32_t ChangeTab(TPageControl *aPageControl, TTabSheet *newPage);
    int32_t ChangeTab(TTabControl *tabControl, int newTab);

    // ---- buttons and actions ----
    int32_t SimpleButton(TButton *aButton);
    HWND WindowButton(TButton *aButton, const QMetaObject *ExpectedClass);
    // Records the pending modal form, then clicks; INVALID_HWND always, the
    // handle reaches the waiter when the form opens.
    HWND ModalButton(TButton *aButton, const QMetaObject *ExpectedClass);
    HWND ModalSpeedButton(TSpeedButton *aButton, const QMetaObject *ExpectedClass);
    int32_t ModalGridBtn(TVQStringGrid *Grid, const QMetaObject *ExpectedClass);
    int32_t SimpleAction(TAction *anAction);
    HWND WindowAction(TAction *anAction, const QMetaObject *ExpectedClass);
    HWND WindowAction(TAction *anAction, const QString &ExpectedClassName);
    HWND ModalAction(TAction *anAction, const QMetaObject *ExpectedClass);

    // ---- the dialog panel ----
    // -1 when the panel cannot apply, or its Apply left the changes unapplied.
    int32_t ApplyDialogPanel(TDialogPanel *aDialogPanel);
    // -1, and nothing happens, while the panel holds unapplied changes.
    int32_t CloseDialogPanel(TDialogPanel *aDialogPanel);

    // Sets the first direct child check box, edit or labelled edit named ctName
    // (a check box through StrToBool) after descending into each child before
    // it, whose own settings do not count. True when the value reads back, or
    // when no direct child bears the name.
    bool UTCSetChildControl(QWidget *wnControl, const QString &ctName, const QString &val);

    // ---- tables: p2 names the column, p3 is the text; texts compare exactly ----
    bool FindInStringGrid(TStringGrid *Grid);
    bool FindInVQStringGridCol(TVQStringGrid *Grid, int Col);
    bool FindInVQStringGrid(TVQStringGrid *Grid);
    int GetVQColIndByName(TVQStringGrid *Grid, const QString &Name) const;
    bool FillVQStringGrid(TVQStringGrid *CurrGrid, int ColIndx, int RowIndx, const QString &sVal, bool bComboAttach);
    bool FindInDrawGrid(TDrawGrid *Grid, int ColmnIndx);
    QString GetFromDrawGrid(TDrawGrid *Grid, int ColmnIndx) const;
    bool FindInVarnelGrid(TVarnelGrid *Grid);
    int QGridGetColIndex(TVarnelGrid *grid, const QString &ColName) const;
    QString QGridGetText(TVarnelGrid *grid, int col, int row) const;
    // The current row afterwards, -1 when no row matched.
    int QGridFindRow(TVarnelGrid *grid, int col, const QString &text);
    void QGridSetText(TVarnelGrid *grid, int col, int row, const QString &text);
    void QGridSafeSetText(TVarnelGrid *grid, int col, int row, const QString &text);
    // The column is p2's place in Columns.
    bool DoQTableFind(TVarnelGrid *grid, const QStringList &Columns);
    bool DoQTableSet(TVarnelGrid *grid, const QStringList &Columns);

protected:
    // The parameters' texts, converted from the 8-bit code page.
    QString Name() const;
    QString P2() const;
    QString P3() const;

    // Sets the control of Frame that the row of the command's name names to p2,
    // with the operation of its kind; true when the control took the value,
    // false for a name not in Settings.
    bool SetSetting(QWidget *Frame, std::span<const TUTCSetting> Settings);
    // Records the pending modal form unless Enabled is false; false then.
    bool RecordModalForm(bool Enabled, const QMetaObject *ExpectedClass);

    // The leading fields, in this order.
    bool FFired = false;
    Pcparm pUTCparams = nullptr; // borrowed
    PUTCData pUTCData = nullptr; // borrowed
};

class TUTCFormWrapper;

// The class reference of a wrapper that is made over a form or frame: its
// virtual constructor (slot 7 of the wrapper's class).
class TUTCFormWrapperClass : public TMetaClass {
public:
    using TMetaClass::TMetaClass;
    virtual std::unique_ptr<TUTCFormWrapper> Create(QWidget *aForm) const = 0;
};

template <class T>
class TUTCFormWrapperClassOf final : public TUTCFormWrapperClass {
public:
    using TUTCFormWrapperClass::TUTCFormWrapperClass;
    std::unique_ptr<TUTCFormWrapper> Create(QWidget *aForm) const override { return std::make_unique<T>(aForm); }
};

class TUTCFormWrapper : public TUTCGenericWrapper {
public:
    static const TUTCFormWrapperClass &Class();
    // Raises EInvalidCast when aForm is not a form.
    explicit TUTCFormWrapper(QWidget *aForm);

    // "Close", "DefaultButton", "CancelButton"; INVALID_HWND without a form.
    HWND UTCCommand() override;

    // Runs the current command on the wrapper the host makes for aControl.
    // Raises EAssertionFailed "Unknown UTC command" for a kind without an operation.
    TUTCResult ProcessChildWrapper(QWidget *aControl);

protected:
    // For wrappers over frames, which keep their frame themselves.
    TUTCFormWrapper() = default;

    QWidget *FForm = nullptr;

private:
    // Presses the first enabled push button owned by the form whose flag Is tells.
    HWND PressButton(bool (*Is)(const TButton *));
};

// The host's wrapper manager, reached through the host's export
// UTC_GetWrapperManager. A plain object; the plug-in calls slots 0 and 2 and
// never frees it.
class TUTCWrapperManager {
public:
    // Slot 0: wrappers of WrapperClass are made over frames of FrameClass and its descendants.
    virtual void RegisterWrapper(const TMetaClass *FrameClass, const TUTCFormWrapperClass *WrapperClass) = 0;
    // Slot 1: the wrapper class registered for the control's class, none when none.
    virtual const TUTCFormWrapperClass *FindWrapperClass(QWidget *Control) = 0;
    // Slot 2: a new wrapper for the control, none when no wrapper applies; the caller frees it.
    virtual std::unique_ptr<TUTCGenericWrapper> CreateWrapper(QWidget *Control) = 0;

protected:
    ~TUTCWrapperManager() = default;
};

// The host's export.
extern "C" TUTCWrapperManager *UTC_GetWrapperManager();
using TUTCGetWrapperManager = TUTCWrapperManager *(*)();
// The host's wrapper manager, none in a process whose program does not export one.
TUTCWrapperManager *UTCWrapperManager();
