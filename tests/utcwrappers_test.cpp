// The wrapper contract: command names, the window search, the form commands,
// completion through the command block's event, and delegation to the wrapper
// that the host's wrapper manager makes for a child control. This program
// exports UTC_GetWrapperManager as the host does.
#include "AutomationTesting.h"

#include "TestWrapperManager.h"
#include "VQStdControls.h"

#include <QCloseEvent>

#include <sys/eventfd.h>
#include <unistd.h>

#include <map>

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

TEST_F(Wrappers, GenericCommandNamesAreExactAndOtherOperationsAnswerNotHandled) {
    TUTCGenericWrapper wrapper;
    struct {
        QString Name;
        HWND Result;
    } const cases[] = {
        {"NetworkCableUnpluggedEmulation", 0},
        {"networkcableunpluggedemulation", INVALID_HWND},
        {"getwndbyclass", INVALID_HWND},
        {"Close", INVALID_HWND}, // a form command
        {"", INVALID_HWND},
    };
    for (const auto &c : cases) {
        TCommand command(utc_command, c.Name, "TAutomationTest");
        EXPECT_EQ(command.To(wrapper).UTCCommand(), c.Result) << c.Name.toStdString();
    }
    TCommand command(utc_get, "Anything", "x", "y");
    command.To(wrapper);
    EXPECT_FALSE(wrapper.UTCSet());
    EXPECT_EQ(wrapper.UTCGet(), "Error!!!");
    EXPECT_FALSE(wrapper.UTCTableAdd());
    EXPECT_FALSE(wrapper.UTCTableFind());
    EXPECT_EQ(wrapper.UTCTableGet(), "Error!!!");
    EXPECT_FALSE(wrapper.UTCTableSet());
    EXPECT_EQ(command.Data.int_result, 0); // operations never write the block
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
    EXPECT_EQ(getWndByClass("TFORMB"), WindowHandle(&derived));
    EXPECT_EQ(getWndByClass("TFormC"), INVALID_HWND);
    EXPECT_EQ(wrapper.FindWindow(&TFormB::staticMetaObject), WindowHandle(&derived));
    EXPECT_EQ(wrapper.FindWindow(&QDialog::staticMetaObject), WindowHandle(&first));
    EXPECT_EQ(FindWindowHandle(WindowHandle(&second)), &second);

    // A first form that takes no input decides all the same.
    first.setEnabled(false);
    EXPECT_EQ(getWndByClass("TFormA"), INVALID_HWND);
    first.setEnabled(true);
    first.hide();
    EXPECT_EQ(getWndByClass("TFormA"), INVALID_HWND);
    EXPECT_EQ(wrapper.FindWindow(&TFormA::staticMetaObject), INVALID_HWND);
    first.show();

    // A modal dialog blocks the other forms; a window-modal one only those it stands on.
    TFormB modal(&first);
    modal.setWindowModality(Qt::ApplicationModal);
    modal.show();
    EXPECT_EQ(getWndByClass("TFormA"), INVALID_HWND);
    EXPECT_EQ(wrapper.FindWindow(&TFormB::staticMetaObject), INVALID_HWND);
    modal.hide();
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
    form.findChild<TButton *>("btCancel")->SetEnabled(false);
    EXPECT_EQ(run("DefaultButton"), INVALID_HWND);
    EXPECT_EQ(run("CancelButton"), INVALID_HWND);
    EXPECT_EQ(log.size(), 2);

    form.CanClose = false;
    EXPECT_EQ(run("Close"), INVALID_HWND);
    EXPECT_TRUE(form.isVisible());
    form.CanClose = true;
    EXPECT_EQ(run("Close"), 0u);
    EXPECT_FALSE(form.isVisible());

    // Wrappers are made over forms only.
    TPanel panel(&form);
    EXPECT_EQ(RaisedMessage<EInvalidCast>([&] { TUTCFormWrapper::Class().Create(&panel); }), "Invalid class typecast");
    EXPECT_TRUE(TUTCFormWrapper::Class().Create(&form));
}

TEST(Completion, TheEventIsSignalledOnceAndTheBlockIsLeftAlone) {
    const int event = eventfd(0, EFD_NONBLOCK);
    ASSERT_GE(event, 0);
    TUTCGenericWrapper wrapper;
    TCommand command(utc_set, "Anything");
    command.Data.event = uint32_t(event);
    command.To(wrapper).SetResult(42);
    EXPECT_EQ(command.Data.int_result, 42);
    wrapper.FireEvent();
    wrapper.FireEvent();
    EXPECT_TRUE(wrapper.Fired());
    eventfd_t count = 0;
    EXPECT_EQ(eventfd_read(event, &count), 0);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(eventfd_read(event, &count), -1); // nothing more
    // After completion the wrapper no longer writes into the block.
    wrapper.SetResult(7);
    EXPECT_EQ(command.Data.int_result, 42);
    close(event);

    TUTCGenericWrapper silent; // a block without an event
    TCommand quiet(utc_set, "Anything");
    quiet.To(silent).FireEvent();
    EXPECT_TRUE(silent.Fired());
}

TEST_F(Wrappers, ParametersAreReadFromTheCodePage) {
    auto *lb = Add<TListBox>();
    lb->AddItem("Cafe 5");
    lb->AddItem(QString::fromUtf8("Caf\u00e9 \u20ac5"));
    TCommand command(utc_set, "x", QString::fromUtf8("Caf\u00e9 \u20ac5"));
    EXPECT_EQ(command.P2, "Caf\xE9 \x80" "5"); // as the host sends it
    TUTCGenericWrapper wrapper;
    EXPECT_TRUE(command.To(wrapper).SelectListBox(lb));
    EXPECT_EQ(lb->ItemIndex(), 1);
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
        {utc_set, "x", "TRUE", {false, true, 0, {}}},
        {utc_get, "x", "", {false, false, 0, "True"}},
        {utc_set, "x", "1", {false, true, 0, {}}},
        {utc_get, "x", "", {false, false, 0, "False"}},
        {utc_command, "NetworkCableUnpluggedEmulation", "", {false, false, 0, {}}},
        {utc_command, "Close", "", {false, false, -1, {}}},
        {utc_table_add, "x", "", {false, false, 0, {}}},
        {utc_table_find, "x", "", {false, false, 0, {}}},
        {utc_table_get, "x", "", {false, false, 0, "Error!!!"}},
        {utc_table_set, "x", "", {false, false, 0, {}}},
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
    const TUTCResult none = set.To(wrapper).ProcessChildWrapper(ed);
    EXPECT_TRUE(none.error);
    EXPECT_FALSE(none.as_bool);

    // A kind without an operation raises, and the child wrapper is freed all the same.
    for (const auto kind : {utc_help, UTC2UICommand(99)}) {
        TCommand help(kind, "x");
        EXPECT_EQ(RaisedMessage<EAssertionFailed>([&] { help.To(wrapper).ProcessChildWrapper(chb); }),
                  "Unknown UTC command (UI\\Common\\UTCFormWrapper, line 1084)");
        EXPECT_EQ(Freed, ++freed);
    }
    Manager.ControlWrapper = nullptr;
}

TEST(Registration, TheHostManagerMakesTheRegisteredWrapperOverFramesOfTheClassAndItsDescendants) {
    struct TTestFrameClass : TMetaClass {
        using TMetaClass::TMetaClass;
    };
    static const TTestFrameClass base("TBaseFrame", nullptr), model("TModelFrame", &base);
    struct TModelFrame : TFrame, TObjectWithClass {
        const TMetaClass &ClassType() const override { return model; }
    };
    // A wrapper over a frame keeps the frame itself.
    struct TModelWrapper : TUTCFormWrapper {
        explicit TModelWrapper(QWidget *aForm) : Frame(dynamic_cast<TModelFrame *>(aForm)) {
            if (!Frame)
                throw EInvalidCast();
        }
        TModelFrame *Frame;
    };
    static const TUTCFormWrapperClassOf<TModelWrapper> wrapperClass("TModelWrapper", &TUTCFormWrapper::Class());

    UTCWrapperManager()->RegisterWrapper(&base, &wrapperClass);
    TModelFrame frame;
    TPanel panel;
    auto wrapper = UTCWrapperManager()->CreateWrapper(&frame);
    ASSERT_TRUE(wrapper);
    EXPECT_EQ(static_cast<TModelWrapper *>(wrapper.get())->Frame, &frame);
    EXPECT_FALSE(UTCWrapperManager()->CreateWrapper(&panel));
    // Its form commands have no form to act on.
    TCommand close(utc_command, "Close");
    EXPECT_EQ(close.To(*wrapper).UTCCommand(), INVALID_HWND);
    Manager.Registered.clear();
}
