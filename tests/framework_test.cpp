// The frame framework through the small settings frame and the bare device
// frame of tests/support: what the container hears when an object is shown,
// edited, applied and hidden; input errors and the address helper's messages;
// silent sections; the profile name request; the device's profile lookup;
// feature sub-frames and the frame's own lifecycle. Then the control
// utilities every frame uses: enabling a tree of controls with the colour
// rule, and the read-only walk.

#include "ControlTesting.h"
#include "DPFrame.h"
#include "FakeHost.h"
#include "SettingsFrame.h"
#include "StrictVQControls.h"
#include "VQIPAddress.h"
#include "VQSpin.h"

#include <QSpinBox>

namespace {

constexpr const char *DHCPProfile = "IPComm{DHCP=true}";
// 255.255.255.0, gateway 192.168.1.1, the phone system as TFTP server
constexpr const char *StaticProfile =
    "IPComm{DHCP=false} IPSettings{SubnetMask=4294967040u Gateway=3232235777u TFTPFixed=2}";
constexpr const char *NoMaskProfile = "IPComm{DHCP=false} IPSettings{TFTPFixed=2}";

using Lines = std::vector<std::string>;

class Frame : public TActiveWindow {
protected:
    void SetUp() override {
        FrameEvents.clear();
        profile.CustomData = StaticProfile;
    }
    void TearDown() override {
        owned.reset();
        EXPECT_EQ(profile.Refs + servant.Refs, 0);
        EXPECT_EQ(profile.Outstanding() + profile.ForeignFrees, 0);
    }

    template <class F = TSettingsFrame>
    F *Make(IPluginFrameContainer *Container) {
        owned = F::Class().Create(&Window, Container, nullptr);
        Layout->addWidget(owned.get());
        return static_cast<F *>(owned.get());
    }
    TSettingsFrame *Shown(TPluginFrameFlags Flags = {}) {
        TSettingsFrame *frame = Make(&servant);
        EXPECT_TRUE(frame->ShowProfile(&profile, Flags));
        return frame;
    }
    // What the container heard since the last call.
    Lines Heard() { return std::exchange(servant.Heard, {}); }
    static void TypeInto(QWidget *Field, const QString &Text) {
        Field->setFocus();
        Type(Text);
    }
    // A click on the box itself, not on the room the layout gives it.
    static void Click(QAbstractButton *Box) { QTest::mouseClick(Box, Qt::LeftButton, {}, QPoint(4, Box->height() / 2)); }
    static void Clear(TCustomVQIPAddress *Address) {
        for (int i = Address->FieldCount() - 1; i >= 0; --i)
            Address->Field(i)->clear();
    }

    TFakeProfile profile;
    TFakeServant servant;
    std::unique_ptr<TPluginFrame> owned;
};

TEST_F(Frame, ShowingTellsTheContainerOnceTheControlsAreFilled) {
    // A mask of 0 shows as the mask of the smallest prefix: were the helper
    // not silent while the frame fills, it would store that and report an edit.
    const struct {
        const char *data;
        TPluginFrameFlags flags;
        Lines heard;
    } rows[] = {
        {DHCPProfile, {}, {"modified false", "conflict none"}},
        {NoMaskProfile, {}, {"modified false", "conflict error: Invalid LAN Subnet mask"}},
        {NoMaskProfile, {pffCreating}, {"modified true", "conflict none"}}, // defaults apply
    };
    for (const auto &row : rows) {
        profile.CustomData = row.data;
        TSettingsFrame *frame = Shown(row.flags);
        EXPECT_EQ(Heard(), row.heard) << row.data;
        EXPECT_EQ(frame->IsNew(), row.flags.Contains(pffCreating));
    }
}

TEST_F(Frame, LifecycleOfTheFrameAndItsFeatureSubFrames) {
    TSettingsFrame *frame = Shown();
    EXPECT_EQ(FrameEvents, (Lines{"StartupControls", "feature FrameInitialize", "InitControls", "feature InitControls",
                             "feature EnDisableControls", "EnDisableControls"}));
    FrameEvents.clear();
    frame->HideProfile();
    EXPECT_EQ(FrameEvents, (Lines{"DoneControls", "feature DoneControls", "feature FrameFinalize"}));
    EXPECT_FALSE(frame->IsDisplaying());
    EXPECT_EQ(profile.Refs, 0);

    // Freed while showing: shut down first, then hidden.
    frame->ShowProfile(&profile, {});
    FrameEvents.clear();
    owned.reset();
    EXPECT_EQ(FrameEvents, (Lines{"ShutdownControls", "DoneControls", "feature DoneControls", "feature FrameFinalize"}));
}

TEST_F(Frame, HidingRunsTheFocusedControlsExitWhileTheObjectIsShown) {
    TSettingsFrame *frame = Shown();
    Show(frame->Control<TEdit>("edDomain"));
    FrameEvents.clear();
    frame->HideProfile();
    EXPECT_EQ(FrameEvents.front(), "edDomain exit, shown");
    EXPECT_EQ(QApplication::focusWidget(), frame);
}

TEST_F(Frame, EditsReportModifiedOnceAndConflictsWhenTheyChange) {
    TSettingsFrame *frame = Shown();
    Show();
    Heard();
    TypeInto(frame->Control<TEdit>("edDomain"), "lan");
    EXPECT_EQ(Heard(), Lines{"modified true"});
    TypeInto(frame->Control<TEdit>("edDomain"), "!");
    EXPECT_EQ(Heard(), Lines{"conflict error: Invalid Domain: \"lan!\" is not a well-formed domain name."});
    QTest::keyClick(frame->Control<TEdit>("edDomain"), Qt::Key_Backspace);
    EXPECT_EQ(Heard(), Lines{"conflict none"});
    // Clicking DHCP on and off again changes the proxy twice, still one report.
    Click(frame->Control<TCheckBox>("chbDHCP"));
    Click(frame->Control<TCheckBox>("chbDHCP"));
    EXPECT_EQ(Heard(), Lines{});
}

TEST_F(Frame, ApplyingAnInvalidObject) {
    profile.CustomData = DHCPProfile;
    TSettingsFrame *frame = Shown();
    Show();
    Heard();
    Click(frame->Control<TCheckBox>("chbDHCP")); // static addresses, but no mask
    EXPECT_EQ(Heard(), (Lines{"conflict error: Invalid LAN Subnet mask", "modified true"}));

    EXPECT_FALSE(frame->ApplyChanges(false));
    EXPECT_TRUE(profile.Setters.empty());
    EXPECT_EQ(Heard(), Lines{}); // the error stays on show, the object modified

    EXPECT_TRUE(frame->ApplyChanges(true));
    EXPECT_EQ(Heard(), Lines{"modified false"});
    EXPECT_NE(profile.CustomData.find("DHCP=false"), std::string::npos);

    // Forced, the check still runs: a change made behind the controls shows.
    frame->ProfileProxy().IP_Settings.SubnetMask = 0xFFFFFF00u;
    profile.Setters.clear();
    EXPECT_TRUE(frame->ApplyChanges(true));
    EXPECT_EQ(Heard(), Lines{"conflict error: Invalid Default Gateway IP address: The IP address is empty."});
    EXPECT_FALSE(profile.Setters.empty());
}

TEST_F(Frame, AnotherShowHidesTheFirstObjectUnwritten) {
    TFakeProfile second;
    second.CustomData = R"(IPComm{DHCP=true} IPSettings{Domain="second.lan"})";
    TSettingsFrame *frame = Shown();
    Show();
    Click(frame->Control<TCheckBox>("chbDHCP"));
    Heard();
    FrameEvents.clear();
    EXPECT_TRUE(frame->ShowProfile(&second, {}));
    EXPECT_EQ(FrameEvents.front(), "DoneControls");
    EXPECT_TRUE(profile.Setters.empty());
    EXPECT_EQ(frame->Control<TEdit>("edDomain")->text(), "second.lan");
    EXPECT_EQ(Heard(), (Lines{"modified false", "conflict none"}));
    // A none profile leaves the frame as it was.
    EXPECT_FALSE(frame->ShowProfile(nullptr, {pffCreating}));
    EXPECT_TRUE(frame->IsDisplaying());
    EXPECT_EQ(Heard(), Lines{});
    frame->HideProfile();
    EXPECT_EQ(second.Refs, 0);
}

TEST_F(Frame, SilentSectionsNest) {
    TSettingsFrame *frame = Shown();
    Show();
    Heard();
    frame->PopSilentMode(); // without a push: still listening
    frame->PushSilentMode(true);
    frame->PushSilentMode(false);
    frame->PopSilentMode();
    TypeInto(frame->Control<TEdit>("edDomain"), "quiet");
    EXPECT_EQ(Heard(), Lines{});
    frame->PopSilentMode();
    frame->PopSilentMode();
    TypeInto(frame->Control<TEdit>("edDomain"), "s");
    EXPECT_EQ(Heard(), Lines{"modified true"});
    EXPECT_EQ(frame->ProfileProxy().IP_Settings.Domain.Text(), "quiets");
}

TEST_F(Frame, InputErrorsOnePerControl) {
    TSettingsFrame *frame = Shown();
    Heard();
    QObject *gateway = frame->Control<TVQIPAddress>("vqipGateway");
    frame->ProcessInputError(true, gateway, "first", dclWarning);
    EXPECT_FALSE(frame->ProcessInputError(true, gateway, "second", dclError));
    EXPECT_TRUE(frame->ProcessInputError(false, frame->Control<TVQIPAddress>("vqipNTP"), {}, dclNone)); // had none
    frame->Validate();
    EXPECT_EQ(Heard(), Lines{"conflict error (input): second"});
    EXPECT_EQ(frame->ProfileProxy().ExternalConflicts().Count(), 1);
    frame->ProcessInputError(false, gateway, {}, dclNone);
    frame->Validate();
    EXPECT_EQ(Heard(), Lines{"conflict none"});
}

TEST_F(Frame, AddressHelperMessages) {
    profile.CustomData = "IPComm{DHCP=true} IPSettings{SubnetMask=4294967040u Gateway=3232235777u}";
    TSettingsFrame *frame = Shown();
    Show();
    Heard();
    // A mask field emptied and typed again: the value never changes, so the
    // input error comes and goes without the object counting as modified.
    TypeInto(frame->Control<TVQIPMask>("vqimMask")->Edit()->Field(3), "\b");
    EXPECT_EQ(Heard(), Lines{"conflict warning (input): Subnet Mask is incomplete"});
    Type("0");
    EXPECT_EQ(Heard(), Lines{"conflict none"});

    // The gateway may not be empty; what the control holds is stored all the same.
    Clear(frame->Control<TVQIPAddress>("vqipGateway"));
    EXPECT_EQ(Heard().back(), "conflict warning (input): Default Gateway is empty");
    EXPECT_EQ(frame->ProfileProxy().IP_Settings.Gateway, 0u);
    frame->Control<TVQIPAddress>("vqipGateway")->SetText("192.168.1.1");
    EXPECT_EQ(Heard(), Lines{"conflict none"});

    // The NTP server may be empty: clearing it clears its input error.
    TypeInto(frame->Control<TVQIPAddress>("vqipNTP")->Field(0), "10.1");
    EXPECT_EQ(Heard().back(), "conflict warning (input): NTP Server is incomplete");
    EXPECT_EQ(frame->ProfileProxy().IP_Settings.NTP.Text(), "10.1.0.0");
    // A warning does not hold the profile back.
    EXPECT_TRUE(frame->ApplyChanges(false));
    EXPECT_NE(profile.CustomData.find(R"(NTP="10.1.0.0")"), std::string::npos) << profile.CustomData;
    Heard();
    Clear(frame->Control<TVQIPAddress>("vqipNTP"));
    EXPECT_EQ(Heard(), (Lines{"modified true", "conflict none"}));
    EXPECT_EQ(frame->ProfileProxy().IP_Settings.NTP.Text(), "");
}

TEST_F(Frame, RenamingTheProfile) {
    TSettingsFrame *frame = Shown();
    Heard();
    const TAnsiStringRef name{"A profile name longer than thirty-one characters"};
    intptr_t result = 7;
    EXPECT_TRUE(frame->ProcessRequest(frqProfileName, reinterpret_cast<uintptr_t>(&name), result));
    EXPECT_FALSE(frame->ProcessRequest(frqStartNumber, 0, result));
    EXPECT_EQ(result, 7);
    EXPECT_EQ(Heard(), Lines{}); // not an edit
    frame->ApplyChanges(false);
    EXPECT_EQ(profile.Name.Text(), "A profile name longer than thir");
}

TEST_F(Frame, CustomFieldsThatCannotBeReadAreReplacedByDefaults) {
    profile.CustomData = R"(Section{Value="unclosed)";
    TMessageBoxRecorder boxes;
    TSettingsFrame *frame = Shown();
    ASSERT_EQ(boxes.Requests.size(), 1);
    const TMessageBoxRequest &box = boxes.Requests[0];
    EXPECT_EQ(QStringList({box.Text, box.Caption}), QStringList({"Can't load custom fields' values", "Warning"}));
    EXPECT_EQ(box.Icon, QMessageBox::Critical);
    EXPECT_EQ(box.Buttons, QMessageBox::Ok);
    EXPECT_TRUE(frame->IsDisplaying());
}

// ---- the device frame -----------------------------------------------------------------

TEST_F(Frame, TheDeviceFrameFindsTheDevicesProfileInTheList) {
    TFakeProfile dhcp, fixed;
    dhcp.ProfileID = 1;
    dhcp.CustomData = DHCPProfile;
    fixed.ProfileID = 2;
    fixed.CustomData = StaticProfile;
    TFakeProfileList profiles;
    profiles.Items = {&dhcp, &fixed};
    TFakeDevice device;
    device.UniqueID = TdpNameString::From(QStringLiteral("desk1"));
    device.MacAddress = {{0x00, 0x01, 0xE1, 0x00, 0x00, 0x01}};

    auto *frame = Make<TBareDeviceFrame>(&servant);
    EXPECT_FALSE(frame->ShowDevice(nullptr, &profiles, {}));
    for (const auto &[id, heard] : {std::pair(int64_t(2), "conflict error: Invalid LAN IP address"),
                                    std::pair(int64_t(1), "conflict none")}) {
        device.ProfileID = id;
        ASSERT_TRUE(frame->ShowDevice(&device, &profiles, {}));
        EXPECT_EQ(Heard(), (Lines{"modified false", heard})) << id;
        EXPECT_EQ(frame->ProfilesList(), &profiles);
        EXPECT_EQ(frame->DeviceProxy().ProfileProxy()->ProfileID, id);
    }
    EXPECT_EQ(dhcp.Refs, 1);
    frame->HideDevice();
    EXPECT_EQ(dhcp.Refs + fixed.Refs + device.Refs + profiles.Refs, 0);
    EXPECT_EQ(dhcp.Outstanding() + fixed.Outstanding() + device.Outstanding(), 0);
}

template <class T>
T *Put(QWidget *Parent, const char *Name) {
    auto *control = new T(Parent);
    control->setObjectName(Name);
    if (!Parent->layout())
        new QVBoxLayout(Parent);
    Parent->layout()->addWidget(control);
    return control;
}

QColor Background(const QWidget *Control) { return Control->palette().color(QPalette::Base); }

class FrameControls : public TActiveWindow {
protected:
    void SetUp() override { RegisterColoredControlClasses(); }

    TFrame *frame = Add<TFrame>();
    TPanel *pnl = Put<TPanel>(frame, "pnl");
    TEdit *ed = Put<TEdit>(pnl, "ed");
    TStrictEdit *edStrict = Put<TStrictEdit>(pnl, "edStrict");
    TLabel *st = Put<TLabel>(pnl, "st");
    TPanel *pnlInner = Put<TPanel>(pnl, "pnlInner");
    TComboBox *cb = Put<TComboBox>(pnlInner, "cb");
    TCheckBox *chb = Put<TCheckBox>(pnlInner, "chb");
    TRadioButton *rb = Put<TRadioButton>(pnlInner, "rb");
    TVQSpinEdit *vqse = Put<TVQSpinEdit>(pnlInner, "vqse");
    TVQIPAddress *vqip = Put<TVQIPAddress>(pnlInner, "vqip");
    TVQIPMask *vqim = Put<TVQIPMask>(pnlInner, "vqim");
    QSpinBox *spin = Put<QSpinBox>(pnlInner, "spin");
    QColor windowColor = QApplication::palette().color(QPalette::Active, QPalette::Base);
};

TEST_F(FrameControls, EnablingATree) {
    vqse->SetReadOnly(true);
    EnableControlTree(pnl, false);
    for (QWidget *control : QList<QWidget *>{pnl, ed, st, pnlInner, cb, vqse, spin})
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    // Registered classes take their parent's colour; others keep theirs.
    EXPECT_EQ(Background(ed), pnl->palette().color(QPalette::Window));
    EXPECT_EQ(Background(cb), pnlInner->palette().color(QPalette::Window));
    EXPECT_EQ(Background(spin), pnlInner->palette().color(QPalette::Window));
    EXPECT_FALSE(edStrict->testAttribute(Qt::WA_SetPalette));

    // Never enabled inside a disabled parent.
    EnableControlTree(pnlInner, true);
    EXPECT_TRUE(pnlInner->testAttribute(Qt::WA_ForceDisabled));
    EXPECT_EQ(Background(cb), pnlInner->palette().color(QPalette::Window));

    EnableControlTree(pnl, true);
    for (QWidget *control : QList<QWidget *>{pnl, ed, st, pnlInner, cb, vqse, spin})
        EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_EQ(Background(ed), windowColor);
    EXPECT_EQ(Background(vqse), windowColor);
    // The read-only spin edit's buttons stay as the spin edit keeps them.
    EXPECT_FALSE(vqse->UpDown()->isEnabled());
}

TEST_F(FrameControls, TheReadOnlyWalk) {
    ed->setText("typed");
    Show(ed);
    SetControlsReadOnly(frame, true);
    ed->end(false);
    Type("x");
    EXPECT_EQ(ed->text(), "typed");
    const struct {
        QWidget *control;
        bool locked;
    } rows[] = {
        {edStrict, edStrict->isReadOnly()}, {cb, !cb->isEnabled()},  {chb, !chb->isEnabled()},
        {rb, !rb->isEnabled()},             {vqse, vqse->ReadOnly()}, {vqip, vqip->ReadOnly()},
        {vqim, vqim->ReadOnly()},           {spin, spin->isReadOnly()},
    };
    for (const auto &row : rows)
        EXPECT_TRUE(row.locked) << row.control->objectName().toStdString();
    EXPECT_FALSE(vqse->UpDown()->isEnabled());
    EXPECT_FALSE(vqim->UpDown()->isEnabled());
    EXPECT_TRUE(st->isEnabled() && pnlInner->isEnabled());
    // A rule that enables a button again leaves it read-only: a click changes nothing.
    rb->setEnabled(true);
    QTest::mouseClick(rb, Qt::LeftButton, {}, QPoint(4, rb->height() / 2));
    EXPECT_FALSE(rb->isChecked());
    ed->setFocus();

    SetControlsReadOnly(frame, false);
    Type("x");
    EXPECT_EQ(ed->text(), "typedx");
    EXPECT_EQ(QList<bool>({cb->isEnabled(), chb->isEnabled(), vqse->ReadOnly(), vqip->ReadOnly(), spin->isReadOnly()}),
              QList<bool>({true, true, false, false, false}));
    EXPECT_TRUE(vqse->UpDown()->isEnabled());
}

} // namespace
