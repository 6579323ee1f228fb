#include "HostWrappers.h"

#include "DialogPanel.h"
#include "IPAddressEditors.h"
#include "windows/MainWindow.h"
#include "VQGrids.h"
#include "VQIPAddress.h"
#include "VQSpin.h"
#include "VQStdControls.h"
#include "VarnelGrid.h"
#include "WrapperManager.h"

#include <QMessageBox>

namespace {

const QString ErrorText = QStringLiteral("Error!!!");

const QStringList FormCommands = {QStringLiteral("Close"), QStringLiteral("DefaultButton"),
                                  QStringLiteral("CancelButton")};

// The persistent tags of a data grid's columns, in column order.
QStringList ColumnTags(const TVarnelGrid *Grid) {
    QStringList tags;
    for (int i = 0; i < Grid->ColumnCount(); ++i)
        tags << Grid->Column(i).PersistentTag;
    return tags;
}

QString Unaccelerated(QString Caption) { return Caption.remove(QLatin1Char('&')); }

// The wrapper of one standard control. It is made only for the kinds some
// command applies to (Handles).
class TControlWrapper final : public TUTCGenericWrapper {
public:
    explicit TControlWrapper(QWidget *Control) : FControl(Control) {}

    static bool Handles(QWidget *Control) {
        return IsOneOf<TEdit, TComboBox, TSpinEdit, TCustomVQSpinEdit, TIPAddressEdit, TCustomVQIPAddress,
                       TCustomVQIPMask, TCheckBox, TRadioButton, TButton, TListBox, TPageControl, TDrawGrid,
                       TVarnelGrid>(Control);
    }

    HWND UTCCommand() override {
        if (auto *button = As<TButton>())
            return HWND(SimpleButton(button));
        if (auto *box = As<TCheckBox>())
            return HWND(DoCheckBox(box));
        if (auto *radio = As<TRadioButton>())
            return HWND(SelectRadioButton(radio));
        if (auto *pages = As<TPageControl>()) {
            for (int i = 0; i < pages->PageCount(); ++i)
                if (Unaccelerated(pages->Pages(i)->Caption()) == P2())
                    return HWND(ChangeTab(pages, pages->Pages(i)));
            return INVALID_HWND;
        }
        return TUTCGenericWrapper::UTCCommand();
    }

    bool UTCSet() override {
        // The more derived kinds first: an extended list is a list, a number edit an edit.
        bool set = false;
        if (SetTextOfKind<TComboBoxEx, TComboBox, TEdit, TSpinEdit, TCustomVQSpinEdit, TIPAddressEdit,
                          TCustomVQIPAddress, TCustomVQIPMask>(set))
            return set;
        if (auto *c = As<TCheckBox>())
            return DoCheckBox(c) == 0;
        if (auto *c = As<TRadioButton>())
            return SelectRadioButton(c) == 0;
        if (auto *c = As<TListBox>())
            return SelectListBox(c);
        return false;
    }

    QString UTCGet() override {
        if (auto *c = As<TComboBox>())
            return GetText(c);
        if (auto *c = As<TEdit>())
            return GetText(c);
        return ErrorText;
    }

    bool UTCTableAdd() override {
        auto *grid = As<TVarnelGrid>();
        if (!grid)
            return false;
        const int col = grid->ColumnByTag(P2());
        if (col < 0 || grid->Column(col).Editor.Kind == vekNone)
            return false;
        const int row = grid->AddRow({});
        grid->SelectRow(row);
        grid->SetCol(col);
        QGridSetText(grid, col, row, P3());
        return QGridGetText(grid, col, row) == P3();
    }

    bool UTCTableFind() override {
        if (auto *grid = As<TVarnelGrid>())
            return FindInVarnelGrid(grid);
        if (auto *grid = As<TVQStringGrid>())
            return FindInVQStringGrid(grid);
        if (auto *grid = As<TStringGrid>())
            return FindInStringGrid(grid);
        if (auto *grid = As<TDrawGrid>())
            return FindInDrawGrid(grid, P2().toInt());
        return false;
    }

    QString UTCTableGet() override {
        if (auto *grid = As<TVarnelGrid>()) {
            const int col = grid->ColumnByTag(P2());
            return col >= 0 && grid->Row() >= 0 ? QGridGetText(grid, col, grid->Row()) : ErrorText;
        }
        if (auto *grid = As<TVQStringGrid>())
            return GetFromDrawGrid(grid, GetVQColIndByName(grid, P2()));
        if (auto *grid = As<TDrawGrid>())
            return GetFromDrawGrid(grid, P2().toInt());
        return ErrorText;
    }

    bool UTCTableSet() override {
        if (auto *grid = As<TVarnelGrid>())
            return DoQTableSet(grid, ColumnTags(grid));
        if (auto *grid = As<TVQStringGrid>())
            return FillVQStringGrid(grid, GetVQColIndByName(grid, P2()), grid->Row(), P3(), false);
        return false;
    }

private:
    template <class... Kinds>
    static bool IsOneOf(QWidget *Control) {
        return (dynamic_cast<Kinds *>(Control) || ...);
    }

    // Whether the control is one of Kinds; if so, Set tells whether it took P2 as its text.
    template <class... Kinds>
    bool SetTextOfKind(bool &Set) {
        const auto as = [&]<class Kind>() {
            auto *c = As<Kind>();
            if (c)
                Set = SetText(c, P2());
            return c != nullptr;
        };
        return (as.template operator()<Kinds>() || ...);
    }

    template <class T>
    T *As() const {
        return dynamic_cast<T *>(FControl);
    }

    QWidget *FControl;
};

// A message box's wrapper: a command named by one of its buttons' captions
// ("Yes", "No", "Cancel", "OK") presses that button; the form commands too.
class TMessageBoxWrapper final : public TUTCFormWrapper {
public:
    explicit TMessageBoxWrapper(QMessageBox *Box) : TUTCFormWrapper(Box), FBox(Box) {}

    HWND UTCCommand() override {
        for (QAbstractButton *button : FBox->buttons())
            if (Unaccelerated(button->text()) == Name()) {
                button->click();
                return 0;
            }
        return TUTCFormWrapper::UTCCommand();
    }

private:
    QMessageBox *FBox;
};

} // namespace

std::unique_ptr<TUTCGenericWrapper> CreateFormWrapper(QWidget *Form) {
    if (auto *window = dynamic_cast<TMainWindow *>(Form))
        return std::make_unique<TMainWindowWrapper>(window);
    if (auto *box = qobject_cast<QMessageBox *>(Form))
        return std::make_unique<TMessageBoxWrapper>(box);
    return std::make_unique<THostDialogWrapper>(Form);
}

std::unique_ptr<TUTCGenericWrapper> CreateControlWrapper(QWidget *Control) {
    if (!TControlWrapper::Handles(Control))
        return nullptr;
    return std::make_unique<TControlWrapper>(Control);
}

// ---- TMainWindowWrapper ----

TMainWindowWrapper::TMainWindowWrapper(TMainWindow *aForm) : TUTCFormWrapper(aForm), FWindow(aForm) {}

HWND TMainWindowWrapper::UTCCommand() {
    if (Name() == QLatin1String("NewDevice"))
        return OpenDialog("actNewDevice", FWindow->Profiles(), &TDeviceDialog::staticMetaObject);
    if (Name() == QLatin1String("EditDevice"))
        return OpenDialog("actEditDevice", FWindow->Devices(), &TDeviceDialog::staticMetaObject);
    if (Name() == QLatin1String("NewProfile"))
        return OpenDialog("actNewProfile", nullptr, &TProfileDialog::staticMetaObject);
    if (Name() == QLatin1String("EditProfile"))
        return OpenDialog("actEditProfile", FWindow->Profiles(), &TProfileDialog::staticMetaObject);
    return TUTCFormWrapper::UTCCommand();
}

HWND TMainWindowWrapper::OpenDialog(const char *ActionName, TVarnelGrid *List, const QMetaObject *DialogClass) {
    auto *action = FWindow->findChild<QAction *>(QLatin1String(ActionName));
    if (!action || (List && QGridFindRow(List, 0, P2()) < 0))
        return INVALID_HWND;
    // The menu's actions are Qt's; the modal operation runs one of the layer's.
    TAction menuAction;
    menuAction.SetEnabled(action->isEnabled());
    menuAction.OnExecute = [action](QObject *) { action->trigger(); };
    return ModalAction(&menuAction, DialogClass);
}

bool TMainWindowWrapper::UTCTableAdd() { return ProcessChildWrapper(FWindow->Devices()).as_bool; }
bool TMainWindowWrapper::UTCTableFind() { return ProcessChildWrapper(FWindow->Devices()).as_bool; }
QString TMainWindowWrapper::UTCTableGet() { return ProcessChildWrapper(FWindow->Devices()).as_string; }
bool TMainWindowWrapper::UTCTableSet() { return ProcessChildWrapper(FWindow->Devices()).as_bool; }

// ---- THostDialogWrapper ----

THostDialogWrapper::THostDialogWrapper(QWidget *aForm) : TUTCFormWrapper(aForm) {}

QWidget *THostDialogWrapper::Frame() const {
    for (QWidget *child : FForm->findChildren<QWidget *>())
        if (HostWrapperManager().FindWrapperClass(child))
            return child;
    return nullptr;
}

TUTCResult THostDialogWrapper::OnFrame() {
    TUTCResult result = ProcessChildWrapper(Frame());
    if (result.error) {
        result.as_int = int32_t(INVALID_HWND);
        result.as_string = ErrorText;
    }
    return result;
}

HWND THostDialogWrapper::UTCCommand() {
    const qsizetype command = FormCommands.indexOf(Name());
    if (command < 0)
        return HWND(OnFrame().as_int);
    // The strip's buttons are its own, so the form's button search does not see them.
    auto *panel = FForm->findChild<TDialogPanel *>();
    // Closing with unapplied changes asks to save them: the driver gets the
    // question's handle, to answer it.
    if (panel && command == 0)
        RecordModalForm(panel->Changed(), &QMessageBox::staticMetaObject);
    if (panel && command == 1)
        return HWND(ApplyDialogPanel(panel));
    if (panel && command == 2)
        return HWND(CloseDialogPanel(panel));
    return TUTCFormWrapper::UTCCommand();
}
bool THostDialogWrapper::UTCSet() { return OnFrame().as_bool; }
QString THostDialogWrapper::UTCGet() { return OnFrame().as_string; }
bool THostDialogWrapper::UTCTableAdd() { return OnFrame().as_bool; }
bool THostDialogWrapper::UTCTableFind() { return OnFrame().as_bool; }
QString THostDialogWrapper::UTCTableGet() { return OnFrame().as_string; }
bool THostDialogWrapper::UTCTableSet() { return OnFrame().as_bool; }
