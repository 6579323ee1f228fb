// The wrapper contract: command names, the window search, the form commands,
// and delegation to the wrapper that the host's wrapper manager makes for a
// child control. This program exports UTC_GetWrapperManager as the host does.
#include "AutomationTesting.h"

#include "TestWrapperManager.h"
#include "VQStdControls.h"

#include <QCloseEvent>

namespace {

// What the host makes for a check box: set through DoCheckBox, read as a word.
class TCheckBoxWrapper : public TUTCGenericWrapper {
public:
    TCheckBoxWrapper(TCheckBox *Box, int &Freed) : FBox(Box), FFreed(Freed) {}
    ~TCheckBoxWrapper() override { ++FFreed; }
    bool UTCSet() override { return DoCheckBox(FBox) == 0; }
    QString UTCGet() override { return FBox->Checked() ? "True" : "False"; }

private:
    TCheckBox *FBox;
    int &FFreed;
};

TTestWrapperManager Manager;
int Freed = 0;

// A form whose close request can be refused.
class TQueryForm : public QWidget {
public:
    bool CanClose = true;

protected:
    void closeEvent(QCloseEvent *Event) override { Event->setAccepted(CanClose); }
};

using Wrappers = TAutomationTest;

} // namespace

extern "C" TUTCWrapperManager *UTC_GetWrapperManager() { return &Manager; }

// The answers of the operations no wrapper handles are the end-to-end walk's.
TEST_F(Wrappers, GenericCommandNamesAreExact) {
    TUTCGenericWrapper wrapper;
    struct {
        QString Name;
        HWND Result;
    } const cases[] = {
        {"NetworkCableUnpluggedEmulation", 0},
        {"networkcableunpluggedemulation", INVALID_HWND},
        {"Close", INVALID_HWND}, // a form command
    };
    for (const auto &c : cases) {
        TCommand command(utc_command, c.Name, "TAutomationTest");
        EXPECT_EQ(command.To(wrapper).UTCCommand(), c.Result) << c.Name.toStdString();
    }
}

TEST_F(Wrappers, WindowSearchLetsTheFirstFormOfTheClassDecide) {
    Show();
    TFormA first, second;
    TFormB derived;
    for (QWidget *form : std::initializer_list<QWidget *>{&first, &second, &derived})
        form->show();
    TUTCGenericWrapper wrapper;
    const auto getWndByClass = [&](const QString &ClassName) {
        TCommand command(utc_command, "GetWndByClass", ClassName);
        return command.To(wrapper).UTCCommand();
    };
    EXPECT_EQ(getWndByClass("tforma"), WindowHandle(&first));
    EXPECT_EQ(getWndByClass("TFormC"), INVALID_HWND);
    EXPECT_EQ(wrapper.FindWindow(&TFormB::staticMetaObject), WindowHandle(&derived));
    EXPECT_EQ(wrapper.FindWindow(&QDialog::staticMetaObject), WindowHandle(&first));

    // A first form that takes no input decides all the same.
    first.setEnabled(false);
    EXPECT_EQ(getWndByClass("TFormA"), INVALID_HWND);
    first.setEnabled(true);

    // A window-modal dialog blocks the forms it stands on.
    TFormB modal(&first);
    modal.setWindowModality(Qt::WindowModal);
    modal.show();
    EXPECT_EQ(getWndByClass("TFormA"), INVALID_HWND);
    EXPECT_EQ(wrapper.FindWindow(&TFormB::staticMetaObject), WindowHandle(&derived));
    modal.hide();
    EXPECT_EQ(getWndByClass("TFormA"), WindowHandle(&first));
}

TEST_F(Wrappers, FormCommandsCloseAndPressTheFirstEnabledDefaultOrCancelButton) {
    TQueryForm form;
    auto *layout = new QVBoxLayout(&form);
    QStringList log;
    const auto button = [&](const QString &Name, bool Default, bool Cancel, bool Enabled) {
        auto *b = new TButton(&form, Name);
        b->SetName(Name);
        b->setDefault(Default);
        b->SetCancel(Cancel);
        b->SetEnabled(Enabled);
        b->OnClick = [&log](QObject *Sender) { log.append(Sender->objectName()); };
        layout->addWidget(b);
    };
    button("btPlain", false, false, true);
    button("btOffDefault", true, false, false);
    button("btOK", true, false, true);
    button("btCancel", false, true, true);
    form.show();
    TUTCFormWrapper wrapper(&form);
    const auto run = [&](const QString &Name) {
        TCommand command(utc_command, Name);
        return command.To(wrapper).UTCCommand();
    };
    EXPECT_EQ(run("DefaultButton"), 0u);
    EXPECT_EQ(run("CancelButton"), 0u);
    EXPECT_EQ(run("GetWndByClass"), INVALID_HWND); // the form set replaces the generic one
    EXPECT_EQ(log, QStringList({"btOK", "btCancel"}));
    form.findChild<TButton *>("btOK")->SetEnabled(false);
    EXPECT_EQ(run("DefaultButton"), INVALID_HWND);
    EXPECT_EQ(log.size(), 2);

    form.CanClose = false;
    EXPECT_EQ(run("Close"), INVALID_HWND);
    EXPECT_TRUE(form.isVisible());
    form.CanClose = true;
    EXPECT_EQ(run("Close"), 0u);
    EXPECT_FALSE(form.isVisible());

}

TEST_F(Wrappers, ChildCommandsRunOnTheWrapperTheHostMakesAndItIsFreed) {
    TQueryForm form;
    auto *chb = new TCheckBox(&form, "&Link");
    auto *ed = new TEdit(&form);
    TUTCFormWrapper wrapper(&form);
    struct {
        UTC2UICommand Kind;
        QString Name, P2;
        TUTCResult Expected;
    } const cases[] = {
        {utc_set, "x", "True", {false, true, 0, {}}},
        {utc_get, "x", "", {false, false, 0, "True"}},
        {utc_command, "Close", "", {false, false, -1, {}}},
        {utc_table_get, "x", "", {false, false, 0, "Error!!!"}},
    };
    Manager.ControlWrapper = [](QWidget *Control) -> std::unique_ptr<TUTCGenericWrapper> {
        if (auto *box = dynamic_cast<TCheckBox *>(Control))
            return std::make_unique<TCheckBoxWrapper>(box, Freed);
        return nullptr;
    };
    int freed = 0;
    for (const auto &c : cases) {
        TCommand command(c.Kind, c.Name, c.P2);
        const TUTCResult result = command.To(wrapper).ProcessChildWrapper(chb);
        EXPECT_EQ(std::tuple(result.error, result.as_bool, result.as_int, result.as_string),
                  std::tuple(c.Expected.error, c.Expected.as_bool, c.Expected.as_int, c.Expected.as_string))
            << c.Kind << " " << c.P2.toStdString();
        EXPECT_EQ(Freed, ++freed);
    }

    // No wrapper for an edit: only the error is set.
    TCommand set(utc_set, "x", "True");
    EXPECT_TRUE(set.To(wrapper).ProcessChildWrapper(ed).error);

    // A kind without an operation raises, and the child wrapper is freed all the same.
    TCommand help(utc_help, "x");
    EXPECT_THROW(help.To(wrapper).ProcessChildWrapper(chb), EAssertionFailed);
    EXPECT_EQ(Freed, ++freed);
    Manager.ControlWrapper = nullptr;
}
