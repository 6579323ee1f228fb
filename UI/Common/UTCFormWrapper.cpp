#include "UTCFormWrapper.h"

#include "DialogPanel.h"
#include "IPAddressEditors.h"
#include "SysUtils.h"
#include "VQGrids.h"
#include "VQIPAddress.h"
#include "VQSpin.h"
#include "VQStdControls.h"
#include "VarnelGrid.h"

#include <algorithm>
#include <bit>

#include <arpa/inet.h>
#include <dlfcn.h>
#include <sys/eventfd.h>

namespace {

constexpr const char *UnitPath = "UI\\Common\\UTCFormWrapper";
const QString ErrorText = QStringLiteral("Error!!!");

QString ParamText(const char *Text) { return FromAnsi(Text); }

HWND Decide(const QWidget *Form) { return AcceptsInput(Form) ? WindowHandle(const_cast<QWidget *>(Form)) : INVALID_HWND; }

// The first open form that Matches decides.
template <class Match>
HWND FindForm(Match &&Matches) {
    for (QWidget *form : Forms())
        if (Matches(form))
            return Decide(form);
    return INVALID_HWND;
}

// A combo box's handlers in the order a user's choice runs them, each when assigned.
void RunChoiceHandlers(TComboBox *Control) {
    for (const TNotifyEvent *handler : {&Control->OnChange, &Control->OnClick, &Control->OnSelect})
        if (*handler)
            (*handler)(Control);
}

// Walks the rows First..Last whose text (TextOf) is Wanted, handing each to
// Take; with Every false only the first. True when any row matched.
bool TakeMatches(int First, int Last, const QString &Wanted, const std::function<QString(int Row)> &TextOf,
                 const std::function<void(int Row)> &Take, bool Every) {
    bool found = false;
    for (int row = First; row <= Last; ++row)
        if (TextOf(row) == Wanted) {
            Take(row);
            found = true;
            if (!Every)
                break;
        }
    return found;
}

// The control a setting table names; a table that names a control the frame
// does not have, or one of another kind, is a programming error.
template <class T>
T *SettingControl(QWidget *Frame, const char *Name) {
    auto *control = dynamic_cast<T *>(Frame->findChild<QWidget *>(QLatin1String(Name)));
    Assert(control != nullptr, UnitPath, __LINE__, QStringLiteral("No control %1").arg(QLatin1String(Name)));
    return control;
}

} // namespace

// ---- TUTCGenericWrapper ----

TUTCGenericWrapper::~TUTCGenericWrapper() = default;

HWND TUTCGenericWrapper::UTCCommand() {
    static const QStringList names = {QStringLiteral("GetWndByClass"), QStringLiteral("NetworkCableUnpluggedEmulation")};
    switch (names.indexOf(Name())) {
    case 0:
        return FindWindowByClassName(P2().left(255));
    case 1:
        return 0;
    default:
        return INVALID_HWND;
    }
}

bool TUTCGenericWrapper::UTCSet() { return false; }
QString TUTCGenericWrapper::UTCGet() { return ErrorText; }
bool TUTCGenericWrapper::UTCTableAdd() { return false; }
bool TUTCGenericWrapper::UTCTableFind() { return false; }
QString TUTCGenericWrapper::UTCTableGet() { return ErrorText; }
bool TUTCGenericWrapper::UTCTableSet() { return false; }

void TUTCGenericWrapper::SetParams(PUTCData pData, Pcparm pParams) {
    pUTCData = pData;
    pUTCparams = pParams;
}

void TUTCGenericWrapper::SetResult(int32_t Res) {
    if (pUTCData)
        pUTCData->int_result = Res;
}

void TUTCGenericWrapper::FireEvent() {
    if (FFired)
        return;
    const uint32_t event = pUTCData ? pUTCData->event : 0;
    pUTCparams = nullptr;
    pUTCData = nullptr;
    FFired = true;
    if (event)
        eventfd_write(int(event), 1);
}

QString TUTCGenericWrapper::Name() const { return pUTCparams ? ParamText(pUTCparams->name) : QString(); }
QString TUTCGenericWrapper::P2() const { return pUTCparams ? ParamText(pUTCparams->p2) : QString(); }
QString TUTCGenericWrapper::P3() const { return pUTCparams ? ParamText(pUTCparams->p3) : QString(); }

HWND TUTCGenericWrapper::FindWindow(const QMetaObject *FormClass) const {
    return FindForm([FormClass](const QWidget *form) { return form->metaObject()->inherits(FormClass); });
}

HWND TUTCGenericWrapper::FindWindowByClassName(const QString &ClassName) const {
    return FindForm([&ClassName](const QWidget *form) {
        return QString::fromLatin1(form->metaObject()->className()).compare(ClassName, Qt::CaseInsensitive) == 0;
    });
}

// ---- text and value setters ----

bool TUTCGenericWrapper::SetText(TEdit *Control, const QString &Value) {
    Control->SetText(Value);
    return Control->Text() == Value;
}

bool TUTCGenericWrapper::SetText(TIPAddressEdit *Control, const QString &Value) {
    Control->SetText(Value);
    return Control->Text() == Value;
}

bool TUTCGenericWrapper::SetText(TCustomVQIPAddress *Control, const QString &Value) {
    const AnsiString text = ToAnsi(Value);
    Control->SetText(text);
    return Control->Text() == text;
}

bool TUTCGenericWrapper::SetText(TCustomVQIPMask *Control, const QString &Value) { return SetText(Control->Edit(), Value); }

bool TUTCGenericWrapper::SetText(TComboBox *Control, const QString &Value) {
    Control->SetText(Value);
    RunChoiceHandlers(Control);
    return Control->Text() == Value;
}

bool TUTCGenericWrapper::SetText(TComboBoxEx *Control, const QString &Value) {
    Control->SetText(Value);
    const int found = Control->ItemIndex();
    RunChoiceHandlers(Control);
    return Control->ItemIndex() == found;
}

bool TUTCGenericWrapper::SetText(TSpinEdit *Control, const QString &Value) {
    const int32_t number = StrToInt(Value);
    Control->SetValue(number);
    return Control->Value() == number;
}

bool TUTCGenericWrapper::SetText(TCustomVQSpinEdit *Control, const QString &Value) {
    const int32_t number = StrToInt(Value);
    Control->SetValue(number);
    return Control->Value() == number;
}

QString TUTCGenericWrapper::GetText(TEdit *Control) const { return Control->Text(); }

QString TUTCGenericWrapper::GetText(TComboBox *Control) const { return Control->Text(); }

// ---- check boxes and radio buttons ----

bool TUTCGenericWrapper::CheckBox(TCheckBox *aCheckBox) {
    if (!aCheckBox->Enabled())
        return false;
    const bool before = aCheckBox->Checked();
    aCheckBox->SetChecked(!before);
    return aCheckBox->Checked() != before;
}

// A disabled control is not the user's to change: it fails even when it
// shows the asked state already.
int32_t TUTCGenericWrapper::CheckBox(TCheckBox *aCheckBox, bool Checked) {
    if (!aCheckBox || !aCheckBox->Enabled())
        return -1;
    aCheckBox->SetChecked(Checked);
    return aCheckBox->Checked() == Checked ? 0 : -1;
}

int32_t TUTCGenericWrapper::DoCheckBox(TCheckBox *chBox) {
    return CheckBox(chBox, P2().compare(QLatin1String("True"), Qt::CaseInsensitive) == 0);
}

int32_t TUTCGenericWrapper::SelectRadioButton(TRadioButton *aButton) {
    if (!aButton->Enabled())
        return -1;
    aButton->SetChecked(true);
    return aButton->Checked() ? 0 : -1;
}

// ---- lists and tabs ----

int32_t TUTCGenericWrapper::SelectComboItem(TComboBox *AComboBox, int AIndex) {
    if (AIndex < 0 || AIndex >= AComboBox->count())
        return -1;
    AComboBox->SetItemIndex(AIndex);
    if (AComboBox->OnChange)
        AComboBox->OnChange(AComboBox);
    return AComboBox->ItemIndex() == AIndex ? 0 : -1;
}

bool TUTCGenericWrapper::SelectListBox(TListBox *List) {
    List->SetFocus();
    const int index = List->IndexOf(P2());
    if (index < 0)
        return false;
    List->SetSelected(index, true);
    if (List->OnClick)
        List->OnClick(List);
    return true;
}

// The handlers run even when the page is the active one already.
int32_t TUTCGenericWrapper::ChangeTab(TPageControl *aPageControl, TTabSheet *newPage) {
    if (!ChangeAsked(aPageControl, [&] { aPageControl->SetActivePage(newPage); }))
        return -1;
    return newPage && aPageControl->ActivePage() == newPage ? 0 : -1;
}

int32_t TUTCGenericWrapper::ChangeTab(TTabControl *tabControl, int newTab) {
    if (!ChangeAsked(tabControl, [&] { tabControl->SetTabIndex(newTab); }))
        return -1;
    return tabControl->TabIndex() == newTab ? 0 : -1;
}

// ---- buttons and actions ----

int32_t TUTCGenericWrapper::SimpleButton(TButton *aButton) {
    if (!aButton->Enabled())
        return -1;
    aButton->SetFocus();
    aButton->Click();
    return 0;
}

HWND TUTCGenericWrapper::WindowButton(TButton *aButton, const QMetaObject *ExpectedClass) {
    if (!aButton->Enabled())
        return INVALID_HWND;
    aButton->Click();
    return FindWindow(ExpectedClass);
}

bool TUTCGenericWrapper::RecordModalForm(bool Enabled, const QMetaObject *ExpectedClass) {
    if (Enabled)
        SetModalFormWaiter(ExpectedClass, this);
    return Enabled;
}

HWND TUTCGenericWrapper::ModalButton(TButton *aButton, const QMetaObject *ExpectedClass) {
    if (RecordModalForm(aButton->Enabled(), ExpectedClass))
        aButton->Click();
    return INVALID_HWND;
}

HWND TUTCGenericWrapper::ModalSpeedButton(TSpeedButton *aButton, const QMetaObject *ExpectedClass) {
    if (RecordModalForm(aButton->Enabled(), ExpectedClass))
        aButton->Click();
    return INVALID_HWND;
}

int32_t TUTCGenericWrapper::ModalGridBtn(TVQStringGrid *Grid, const QMetaObject *ExpectedClass) {
    RecordModalForm(true, ExpectedClass);
    Grid->ButtonClick();
    return 0;
}

int32_t TUTCGenericWrapper::SimpleAction(TAction *anAction) { return anAction->Execute() ? 0 : -1; }

HWND TUTCGenericWrapper::WindowAction(TAction *anAction, const QMetaObject *ExpectedClass) {
    return anAction->Execute() ? FindWindow(ExpectedClass) : INVALID_HWND;
}

HWND TUTCGenericWrapper::WindowAction(TAction *anAction, const QString &ExpectedClassName) {
    return anAction->Execute() ? FindWindowByClassName(ExpectedClassName) : INVALID_HWND;
}

HWND TUTCGenericWrapper::ModalAction(TAction *anAction, const QMetaObject *ExpectedClass) {
    if (RecordModalForm(anAction->Enabled(), ExpectedClass))
        anAction->Execute();
    return INVALID_HWND;
}

// ---- the dialog panel ----

int32_t TUTCGenericWrapper::ApplyDialogPanel(TDialogPanel *aDialogPanel) {
    if (!aDialogPanel->CanApply())
        return -1;
    aDialogPanel->Apply();
    // A refused Apply leaves the changes unapplied.
    return aDialogPanel->Changed() ? -1 : 0;
}

int32_t TUTCGenericWrapper::CloseDialogPanel(TDialogPanel *aDialogPanel) {
    if (aDialogPanel->Changed())
        return -1;
    aDialogPanel->CancelClose();
    return 0;
}

bool TUTCGenericWrapper::UTCSetChildControl(QWidget *wnControl, const QString &ctName, const QString &val) {
    for (QWidget *child : ChildControls(wnControl)) {
        UTCSetChildControl(child, ctName, val);
        if (child->objectName() != ctName)
            continue;
        if (auto *box = dynamic_cast<TCheckBox *>(child))
            return CheckBox(box, StrToBool(val)) == 0;
        if (auto *edit = dynamic_cast<TEdit *>(child))
            return SetText(edit, val);
        if (auto *labelled = dynamic_cast<TLabeledEdit *>(child))
            return SetText(labelled->Edit, val);
    }
    return true;
}

bool TUTCGenericWrapper::SetSetting(QWidget *Frame, std::span<const TUTCSetting> Settings) {
    const QString name = Name();
    const auto row = std::find_if(Settings.begin(), Settings.end(),
                                  [&name](const TUTCSetting &Setting) { return name == QLatin1String(Setting.Name); });
    if (row == Settings.end())
        return false;
    const QString value = P2();
    switch (row->Kind) {
    case uckEdit:
        return SetText(SettingControl<TEdit>(Frame, row->Control), value);
    case uckCombo:
        return SetText(SettingControl<TComboBox>(Frame, row->Control), value);
    case uckIPAddress:
        return SetText(SettingControl<TCustomVQIPAddress>(Frame, row->Control), value);
    case uckCheckBox:
        return DoCheckBox(SettingControl<TCheckBox>(Frame, row->Control)) == 0;
    case uckSpinEdit:
        return SetText(SettingControl<TCustomVQSpinEdit>(Frame, row->Control), value);
    case uckRadioButton:
        return SelectRadioButton(SettingControl<TRadioButton>(Frame, row->Control)) == 0;
    case uckSubnetMask: {
        // The system's address parser: a text it refuses reads as all bits set.
        const AnsiString text = ToAnsi(value);
        const uint32_t mask = text.empty() ? 0 : ntohl(inet_addr(text.c_str()));
        // Only the zero bits at the low end count; the control keeps its own range.
        SettingControl<TCustomVQIPMask>(Frame, row->Control)->SetNML(32 - std::countr_zero(mask));
        return true;
    }
    }
    return false;
}

// ---- tables ----

bool TUTCGenericWrapper::FindInStringGrid(TStringGrid *Grid) {
    // A text that is not a number names no column.
    int32_t col = -1;
    TryStrToInt(P2(), col);
    if (col < 0 || col > Grid->ColCount())
        return false;
    return TakeMatches(
        0, Grid->RowCount() - 1, P3(), [&](int row) { return Grid->Cells(col, row); },
        [&](int row) { Grid->SetRow(row); }, true);
}

bool TUTCGenericWrapper::FindInVQStringGridCol(TVQStringGrid *Grid, int Col) {
    return TakeMatches(
        Grid->FixedRows(), Grid->RowCount() - 1, P3(), [&](int row) { return Grid->Cells(Col, row); },
        [&](int row) { Grid->SelectRow(row); }, false);
}

bool TUTCGenericWrapper::FindInVQStringGrid(TVQStringGrid *Grid) {
    const int col = GetVQColIndByName(Grid, P2());
    if (col < 0)
        return false;
    return TakeMatches(
        Grid->FixedRows(), Grid->RowCount() - 1, P3(), [&](int row) { return Grid->Cells(col, row); },
        [&](int row) { Grid->SelectRow(row); }, true);
}

int TUTCGenericWrapper::GetVQColIndByName(TVQStringGrid *Grid, const QString &Name) const {
    return Grid->ColumnByCaption(Name);
}

bool TUTCGenericWrapper::FillVQStringGrid(TVQStringGrid *CurrGrid, int ColIndx, int RowIndx, const QString &sVal,
                                          bool bComboAttach) {
    if (ColIndx == -1 || RowIndx == -1)
        return false;
    CurrGrid->EnterCell(ColIndx, RowIndx, sVal, bComboAttach);
    return CurrGrid->Cells(ColIndx, RowIndx) == sVal;
}

bool TUTCGenericWrapper::FindInDrawGrid(TDrawGrid *Grid, int ColmnIndx) {
    if (!Grid->OnGetEditText)
        return false;
    Grid->clearSelection();
    // Row 0 is the header.
    return TakeMatches(
        1, Grid->RowCount() - 1, P3(),
        [&](int row) {
            QString text;
            Grid->OnGetEditText(Grid, ColmnIndx, row, text);
            return text;
        },
        [&](int row) { Grid->SetRow(row); }, false);
}

QString TUTCGenericWrapper::GetFromDrawGrid(TDrawGrid *Grid, int ColmnIndx) const {
    QString text;
    if (Grid->OnGetEditText)
        Grid->OnGetEditText(Grid, ColmnIndx, Grid->Row(), text);
    return text;
}

bool TUTCGenericWrapper::FindInVarnelGrid(TVarnelGrid *Grid) {
    const int col = Grid->ColumnByTag(P2());
    if (col < 0)
        return false;
    return TakeMatches(
        0, Grid->RowCount() - 1, P3(), [&](int row) { return Grid->CellText(col, row); },
        [&](int row) { Grid->SelectRow(row); }, true);
}

int TUTCGenericWrapper::QGridGetColIndex(TVarnelGrid *grid, const QString &ColName) const {
    return grid->ColumnByName(ColName);
}

QString TUTCGenericWrapper::QGridGetText(TVarnelGrid *grid, int col, int row) const { return grid->CellText(col, row); }

int TUTCGenericWrapper::QGridFindRow(TVarnelGrid *grid, int col, const QString &text) {
    grid->EndEdit();
    const bool found = TakeMatches(
        0, grid->RowCount() - 1, text, [&](int row) { return grid->CellText(col, row); },
        [&](int row) { grid->SelectRow(row); }, false);
    return found ? grid->Row() : -1;
}

void TUTCGenericWrapper::QGridSetText(TVarnelGrid *grid, int col, int row, const QString &text) {
    grid->SetCellText(col, row, text);
}

void TUTCGenericWrapper::QGridSafeSetText(TVarnelGrid *grid, int col, int row, const QString &text) {
    if (QGridGetText(grid, col, row) != text)
        QGridSetText(grid, col, row, text);
}

bool TUTCGenericWrapper::DoQTableFind(TVarnelGrid *grid, const QStringList &Columns) {
    const int col = int(Columns.indexOf(P2()));
    return col >= 0 && QGridFindRow(grid, col, P3()) >= 0;
}

bool TUTCGenericWrapper::DoQTableSet(TVarnelGrid *grid, const QStringList &Columns) {
    const int col = int(Columns.indexOf(P2()));
    if (col < 0)
        return false;
    grid->SetCol(col);
    grid->CancelEdit();
    const QString text = P3();
    QGridSetText(grid, col, grid->Row(), text);
    return grid->Row() >= 0 && QGridGetText(grid, col, grid->Row()) == text;
}

// ---- TUTCFormWrapper ----

const TUTCFormWrapperClass &TUTCFormWrapper::Class() {
    static const TUTCFormWrapperClassOf<TUTCFormWrapper> cls("TUTCFormWrapper", nullptr);
    return cls;
}

TUTCFormWrapper::TUTCFormWrapper(QWidget *aForm) {
    if (!IsForm(aForm))
        throw EInvalidCast();
    FForm = aForm;
}

HWND TUTCFormWrapper::UTCCommand() {
    static const QStringList names = {QStringLiteral("Close"), QStringLiteral("DefaultButton"),
                                      QStringLiteral("CancelButton")};
    const int index = int(names.indexOf(Name()));
    if (index < 0 || !FForm)
        return INVALID_HWND;
    switch (index) {
    case 0:
        // A form may stay open, as one whose user cancels closing does.
        return FForm->close() ? 0 : INVALID_HWND;
    case 1:
        return PressButton([](const TButton *button) { return button->isDefault(); });
    default:
        return PressButton([](const TButton *button) { return button->Cancel(); });
    }
}

HWND TUTCFormWrapper::PressButton(bool (*Is)(const TButton *)) {
    for (QWidget *component : Components(FForm))
        if (auto *button = dynamic_cast<TButton *>(component); button && Is(button) && button->Enabled())
            return HWND(SimpleButton(button));
    return INVALID_HWND;
}

TUTCResult TUTCFormWrapper::ProcessChildWrapper(QWidget *aControl) {
    TUTCResult result;
    TUTCWrapperManager *manager = UTCWrapperManager();
    const std::unique_ptr<TUTCGenericWrapper> child = manager ? manager->CreateWrapper(aControl) : nullptr;
    if (!child) {
        result.error = true;
        return result;
    }
    child->SetParams(pUTCData, pUTCparams);
    switch (pUTCData->command) {
    case utc_command:
        result.as_int = int32_t(child->UTCCommand());
        break;
    case utc_set:
        result.as_bool = child->UTCSet();
        break;
    case utc_get:
        result.as_string = child->UTCGet();
        break;
    case utc_table_add:
        result.as_bool = child->UTCTableAdd();
        break;
    case utc_table_find:
        result.as_bool = child->UTCTableFind();
        break;
    case utc_table_get:
        result.as_string = child->UTCTableGet();
        break;
    case utc_table_set:
        result.as_bool = child->UTCTableSet();
        break;
    default:
        Assert(false, UnitPath, 1084, QStringLiteral("Unknown UTC command"));
    }
    return result;
}

// ---- the host's wrapper manager ----

TUTCWrapperManager *UTCWrapperManager() {
    // The plug-in cannot link against the program, so the export is looked up.
    static const auto get = reinterpret_cast<TUTCGetWrapperManager>(dlsym(RTLD_DEFAULT, "UTC_GetWrapperManager"));
    return get ? get() : nullptr;
}
