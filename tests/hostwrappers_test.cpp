// The host's side of the automation: the wrappers its manager makes for
// standard controls, data grids and its own windows, the command run that
// fills the command block and signals it, the modal form handed to the waiting
// command, the window a command names, and the endpoint's request decoding.
// This program exports UTC_GetWrapperManager as vqadmin does.

#include "DialogPanel.h"
#include "windows/MainWindow.h"
#include "TestForms.h"
#include "automation/UTCCommands.h"
#include "VQStdControls.h"
#include "VarnelGrid.h"
#include "WindowTesting.h"
#include "automation/WrapperManager.h"

#include <QLabel>
#include <QtEndian>

#include <sys/eventfd.h>
#include <unistd.h>


extern "C" TUTCWrapperManager *UTC_GetWrapperManager() { return &HostWrapperManager(); }

namespace {

// The host's wrapper for Control, given the command.
QString OnControl(QWidget *Control, UTC2UICommand Kind, const QString &Name, const QString &P2 = {},
            const QString &P3 = {}) {
    return RunUTCText(Kind, {Name, P2, P3}, HostWrapperManager().CreateWrapper(Control));
}

// The number of times an eventfd was signalled since the last read.
uint64_t Signals(int Event) {
    eventfd_t count = 0;
    return eventfd_read(Event, &count) == 0 ? count : 0;
}

class HostWrappers : public ::testing::Test {
protected:
    HostWrappers() { Form.show(); }
    template <class T>
    T *Add(T *Control) {
        Control->setParent(&Form);
        Control->show();
        return Control;
    }
    QDialog Form;
};

// Each kind of standard control reaches its own setter; what each setter
// takes is the control commands' test.
TEST_F(HostWrappers, StandardControlsTakeValuesAsTheyShowThem) {
    auto *edit = Add(new TEdit);
    auto *list = Add(new TComboBox);
    list->addItems({"alpha", "beta"});
    auto *box = Add(new TCheckBox);
    auto *spin = Add(new TSpinEdit);
    spin->setRange(0, 50);
    const std::pair<QWidget *, const char *> cases[] = {{edit, "10.0.0.9"}, {list, "beta"}, {box, "TRUE"}, {spin, "42"}};
    for (const auto &[control, value] : cases)
        EXPECT_EQ(OnControl(control, utc_set, "Setting", value), "true") << value;
    EXPECT_EQ(QStringList({edit->text(), list->currentText(), box->isChecked() ? "checked" : "", spin->text()}),
              QStringList({"10.0.0.9", "beta", "checked", "42"}));
    EXPECT_EQ(OnControl(edit, utc_get, "Setting"), "10.0.0.9");
    EXPECT_EQ(OnControl(box, utc_get, "Setting"), "Error!!!");
    // A control no command applies to has no wrapper.
    EXPECT_THROW(OnControl(Add(new QLabel("x")), utc_set, "Setting", "y"), Exception);
}

TEST_F(HostWrappers, CommandsPressButtonsAndSwitchPages) {
    auto *button = Add(new TButton);
    auto *off = Add(new TButton);
    off->setEnabled(false);
    int clicks = 0;
    button->OnClick = off->OnClick = [&](QObject *) { ++clicks; };
    auto *pages = Add(new TPageControl);
    new TTabSheet(pages, "&General");
    new TTabSheet(pages, "VLAN");
    bool allow = true;
    pages->OnChanging = [&](QObject *, bool &Allow) { Allow = allow; };

    EXPECT_EQ(OnControl(button, utc_command, "Apply"), "0");
    EXPECT_EQ(OnControl(off, utc_command, "Apply"), "-1");
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(OnControl(pages, utc_command, "Page", "VLAN"), "0");
    EXPECT_EQ(pages->ActivePageIndex(), 1);
    allow = false;
    EXPECT_EQ(OnControl(pages, utc_command, "Page", "General"), "-1");
    EXPECT_EQ(pages->ActivePageIndex(), 1);
    EXPECT_EQ(OnControl(pages, utc_command, "Page", "Missing"), "-1");
}

TEST_F(HostWrappers, DataGridTablesFindReadWriteAndAddThroughTheColumnsTags) {
    auto *grid = Add(new TVarnelGrid);
    // Rows are maps; the ID column is read-only, the note column edits the map.
    const auto field = [](const char *Key) {
        return [Key](const QVariant &Data) { return Data.toMap().value(Key).toString(); };
    };
    TVarnelColumn id;
    id.Name = "colID";
    id.Caption = "ID";
    id.PersistentTag = "ID";
    id.GetText = field("id");
    grid->AddColumn(id);
    TVarnelColumn note;
    note.Name = "colNote";
    note.Caption = "Note";
    note.PersistentTag = "Note";
    note.GetText = field("note");
    note.Editor = {vekEdit, {}, [](QVariant &Data, const QString &Text) {
                       QVariantMap map = Data.toMap();
                       map["note"] = Text;
                       Data = map;
                   }};
    grid->AddColumn(note);
    for (const char *key : {"a", "b", "c"})
        grid->AddRow(QVariantMap{{"id", key}, {"note", QString("note ") + key}});

    EXPECT_EQ(OnControl(grid, utc_table_get, {}, "Note"), "Error!!!"); // no current row yet
    EXPECT_EQ(OnControl(grid, utc_table_find, {}, "ID", "b"), "true");
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_EQ(OnControl(grid, utc_table_get, {}, "Note"), "note b");
    EXPECT_EQ(OnControl(grid, utc_table_set, {}, "Note", "changed"), "true");
    EXPECT_EQ(grid->model()->index(1, 1).data().toString(), "changed");
    EXPECT_EQ(OnControl(grid, utc_table_find, {}, "ID", "B"), "false");
    EXPECT_EQ(OnControl(grid, utc_table_find, {}, "Missing", "b"), "false");

    EXPECT_EQ(OnControl(grid, utc_table_add, {}, "Note", "fresh"), "true");
    EXPECT_EQ(grid->RowCount(), 4);
    EXPECT_EQ(grid->model()->index(3, 1).data().toString(), "fresh");
    EXPECT_EQ(grid->Row(), 3);
    // A read-only column takes no new row.
    EXPECT_EQ(OnControl(grid, utc_table_add, {}, "ID", "d"), "false");
    EXPECT_EQ(grid->RowCount(), 4);
}

TEST_F(HostWrappers, TheBlockGetsTheResultCutToItsSizeAndOneSignal) {
    auto *edit = Add(new TEdit);
    edit->setText(QString(300, QChar(0xE9))); // é, one byte in the code page
    const int event = eventfd(0, EFD_NONBLOCK);
    const AnsiString name = "Text";
    const cparm params = {0, name.c_str(), "", ""};
    TUTCCommandBlock block;
    block.Data.command = utc_get;
    block.Data.event = uint32_t(event);
    RunUTCCommandOn(block, params, HostWrapperManager().CreateWrapper(edit));
    EXPECT_EQ(block.Outcome, utoRan);
    EXPECT_EQ(std::string(block.Data.str_result), std::string(255, '\xE9'));
    EXPECT_EQ(Signals(event), 1u);

    // No wrapper: still one signal, and the outcome says why.
    block.Data.command = utc_set;
    RunUTCCommandOn(block, params, nullptr);
    EXPECT_EQ(block.Outcome, utoNoTarget);
    EXPECT_EQ(Signals(event), 1u);
    ::close(event);
}

// Presses its button with a modal operation waiting for a TFormA.
class TModalWrapper : public TUTCGenericWrapper {
public:
    explicit TModalWrapper(TButton *Button) : FButton(Button) {}
    HWND UTCCommand() override { return ModalButton(FButton, &TFormA::staticMetaObject); }

private:
    TButton *FButton;
};

TEST_F(HostWrappers, TheFormAModalOperationWaitsForReachesItsCommand) {
    auto *opens = Add(new TButton);
    auto *idle = Add(new TButton);
    TFormA *opened = nullptr;
    opens->OnClick = [&](QObject *) {
        opened = new TFormA(&Form);
        opened->open();
    };
    const int event = eventfd(0, EFD_NONBLOCK);
    const cparm params = {0, "Open", "", ""};
    TUTCCommandBlock block;
    block.Data.command = utc_command;
    block.Data.event = uint32_t(event);

    RunUTCCommandOn(block, params, std::make_unique<TModalWrapper>(opens));
    ASSERT_TRUE(opened);
    EXPECT_EQ(HWND(block.Data.int_result), WindowHandle(opened));
    EXPECT_EQ(Signals(event), 1u);
    EXPECT_EQ(ModalFormWaiter(), nullptr);
    opened->close();

    // No form opens: the operation's own answer, and the slot is empty again.
    RunUTCCommandOn(block, params, std::make_unique<TModalWrapper>(idle));
    EXPECT_EQ(HWND(block.Data.int_result), INVALID_HWND);
    EXPECT_EQ(Signals(event), 1u);
    EXPECT_EQ(ModalFormWaiter(), nullptr);
    ::close(event);
}

TEST_F(HostWrappers, ACommandsWindowIsTheOpenDialogTheMainWindowOrTheHandle) {
    QWidget main;
    main.show();
    Form.hide();
    EXPECT_EQ(TargetWindow(0, &main), &main);
    TFormB dialog;
    dialog.show();
    EXPECT_EQ(TargetWindow(0, &main), &dialog);
    EXPECT_EQ(TargetWindow(int32_t(WindowHandle(&main)), &main), &main);
    EXPECT_EQ(TargetWindow(0x7FFFFFF0, &main), nullptr);
}

TEST(HostWrapperManager, RegistrationsOfAnUnloadedLibraryAreDropped) {
    struct TTestClass : TMetaClass {
        using TMetaClass::TMetaClass;
    };
    static const TTestClass frameClass("TSomeFrame", nullptr);
    struct TSomeFrame : TFrame, TObjectWithClass {
        const TMetaClass &ClassType() const override { return frameClass; }
    };
    THostWrapperManager &manager = HostWrapperManager();
    const std::size_t before = manager.RegistrationCount();
    manager.RegisterWrapper(&frameClass, &TUTCFormWrapper::Class());
    QWidget dialog;
    auto *frame = new TSomeFrame;
    frame->setParent(&dialog);
    EXPECT_EQ(manager.FindWrapperClass(frame), &TUTCFormWrapper::Class());
    manager.DropRegistrations(before);
    EXPECT_EQ(manager.FindWrapperClass(frame), nullptr);
    // Neither a registered frame nor a form nor a known control.
    EXPECT_FALSE(manager.CreateWrapper(frame));
}

class MainWindowWrapper : public THostWindowTest {
protected:
    MainWindowWrapper() : Window(Database, Module) { Window.show(); }
    QString Command(UTC2UICommand Kind, const QString &Name, const QString &P2 = {}, const QString &P3 = {}) {
        const AnsiString texts[] = {ToAnsi(Name), ToAnsi(P2), ToAnsi(P3)};
        const cparm params = {0, texts[0].c_str(), texts[1].c_str(), texts[2].c_str()};
        TUTCCommandBlock block;
        block.Data.command = Kind;
        RunUTCCommand(block, params, &Window);
        return UTCResultText(block);
    }
    TMainWindow Window;
};

TEST_F(MainWindowWrapper, OpensTheDeviceDialogAndSearchesTheDeviceList) {
    EXPECT_EQ(Command(utc_table_find, {}, "DeviceID", "beta"), "true");
    EXPECT_EQ(Window.Devices()->Row(), 1);
    EXPECT_EQ(Command(utc_table_get, {}, "MAC"), "00-01-E1-00-00-02");
    EXPECT_EQ(Command(utc_table_get, {}, "Profile"), "Lab");
    EXPECT_EQ(Command(utc_table_find, {}, "DeviceID", "nobody"), "false");
    // The list's columns take no text.
    EXPECT_EQ(Command(utc_table_set, {}, "MAC", "x"), "false");
    EXPECT_EQ(Command(utc_table_add, {}, "DeviceID", "x"), "false");

    EXPECT_EQ(Command(utc_command, "NewDevice", "Nowhere"), "-1");
    EXPECT_EQ(Window.DeviceDialog(), nullptr);
    const QString handle = Command(utc_command, "NewDevice", "Lab");
    TDeviceDialog *dialog = Window.DeviceDialog();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(handle, QString::number(int32_t(WindowHandle(dialog))));
    EXPECT_EQ(dialog->Action(), TDeviceAction::New);
    // Now the dialog is the active window and its strip answers the form's
    // buttons: a new device is not stored yet, so it does not close.
    EXPECT_EQ(Command(utc_command, "CancelButton"), "-1");
    EXPECT_TRUE(dialog->isVisible());
    dialog->Discard();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Window.DeviceDialog(), nullptr);

    EXPECT_NE(Command(utc_command, "EditDevice", "alpha"), "-1");
    ASSERT_TRUE(Window.DeviceDialog());
    EXPECT_EQ(Window.DeviceDialog()->windowTitle(), "Device alpha[*]");
    EXPECT_EQ(Command(utc_command, "DefaultButton"), "-1"); // nothing to apply
    // The fake module's frame has no wrapper: what is not a form command finds none.
    EXPECT_EQ(Command(utc_set, "DeviceID", "x"), "false");
    EXPECT_EQ(Command(utc_command, "General"), "-1");
    EXPECT_EQ(Command(utc_command, "CancelButton"), "0");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Window.DeviceDialog(), nullptr);
}

TEST(UTCRequest, DecodingTakesExactlyOneWellFormedRequest) {
    TUTCRequest request;
    request.Command = utc_table_set;
    request.Wid = -7;
    request.Name = "Grid";
    request.P2 = "MAC";
    request.P3 = QByteArray("caf\xE9");
    const QByteArray frame = EncodeUTCRequest(request);
    ASSERT_EQ(UTCPayloadLength(frame), frame.size() - UTCRequestHeader);
    const std::optional<TUTCRequest> decoded = DecodeUTCRequest(QByteArrayView(frame).sliced(UTCRequestHeader));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->Command, utc_table_set);
    EXPECT_EQ(decoded->Wid, -7);
    EXPECT_EQ(decoded->P3, request.P3);

    const auto payload = [](int32_t Kind, const QByteArray &Texts) {
        QByteArray bytes(8, '\0');
        qToLittleEndian(Kind, bytes.data());
        return bytes + Texts;
    };
    const QByteArray refused[] = {
        payload(8, QByteArray("a\0b\0c\0", 6)),                  // no such kind
        payload(-1, QByteArray("a\0b\0c\0", 6)),                 // no such kind
        payload(1, QByteArray("a\0b\0c", 5)),                    // the last text unterminated
        payload(1, QByteArray("a\0b\0", 4)),                     // a text missing
        payload(1, QByteArray("a\0b\0c\0d", 7)),                 // bytes after the texts
        payload(1, QByteArray(256, 'x') + QByteArray("\0\0\0", 3)), // a text too long
    };
    for (const QByteArray &bytes : refused)
        EXPECT_FALSE(DecodeUTCRequest(bytes)) << bytes.toHex().toStdString();
    EXPECT_TRUE(DecodeUTCRequest(payload(1, QByteArray(255, 'x') + QByteArray("\0\0\0", 3))));
    // Lengths outside what a request can take are refused before its bytes arrive.
    QByteArray header(4, '\0');
    qToLittleEndian<uint32_t>(100000, header.data());
    EXPECT_FALSE(UTCPayloadLength(header));
    EXPECT_FALSE(UTCPayloadLength(QByteArray(3, '\0')));
}

TEST(UTCReply, CarriesTheOutcomeAndTheBlock) {
    TUTCCommandBlock block;
    block.Outcome = utoRaised;
    block.Data.command = utc_get;
    block.Data.event = 99;
    std::strcpy(block.Data.str_result, "broken");
    QByteArray reply = EncodeUTCReply(block);
    ASSERT_EQ(reply.size(), UTCReplySize);
    const std::optional<TUTCCommandBlock> decoded = DecodeUTCReply(reply);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->Data.event, 0u);
    EXPECT_THROW(UTCResultText(*decoded), Exception);
    reply[1 + 12] = 2; // not a boolean
    EXPECT_FALSE(DecodeUTCReply(reply));
    EXPECT_FALSE(DecodeUTCReply(reply.left(100)));
}

} // namespace
