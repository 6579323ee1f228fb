// The LYN 2 profile and device frames driven by the automation, through the
// loaded plug-in as the host drives it: the plug-in registers its wrappers
// when it is loaded, the host's manager makes them over the frames, and each
// setting shows in the frame's control and reaches the container as a user's
// edit does. This program exports UTC_GetWrapperManager as the host does.

#include "AutomationTesting.h"
#include "FrameTesting.h"
#include "TestWrapperManager.h"

#include <QCheckBox>

#include <gmock/gmock.h>

namespace {

TTestWrapperManager Manager;

class DeviceWrapper : public TDeviceFrameTest {
protected:
    // Runs utc_set NAME VALUE on a wrapper the host's manager makes over the frame.
    bool Set(const QString &Name, const QString &Value) {
        const auto wrapper = Manager.CreateWrapper(widget);
        EXPECT_TRUE(wrapper);
        TCommand command(utc_set, Name, Value);
        return wrapper && command.To(*wrapper).UTCSet();
    }
    // The shown address fields' texts, as the user reads them. (The plug-in's
    // controls are its own classes: only Qt's classes can be looked for here.)
    QString IPText() const {
        const QWidget *ip = widget->findChild<QWidget *>("vqipIP");
        QStringList fields;
        for (const QLineEdit *field : ip->findChildren<QLineEdit *>())
            if (field->isVisibleTo(ip))
                fields.append(field->text());
        return fields.join('.');
    }
    QCheckBox *Link() const { return Control<QCheckBox>("cbIDLinkedToMAC"); }
};

} // namespace

extern "C" TUTCWrapperManager *UTC_GetWrapperManager() { return &Manager; }

TEST_F(DeviceWrapper, SettingsShowInTheirControlsAndMarkTheDeviceModified) {
    ShowDevice({});
    struct {
        QString Name, Value;
        bool Took;
    } const cases[] = {
        {"DeviceID", "desk9", true},
        {"DeviceID", QString(40, 'd'), false}, // cut to 31 characters
        {"DeviceID", "desk10", true},
        {"MAC", "00-01-E1-00-00-0A", true},
        {"IP", "10.0.0.5", true},
        {"IP", "10.0.0.300", false},
        {"Password", "s3cret", true},
        {"Profile2", "Dhcp", true},
        {"deviceid", "x", false}, // names are exact
    };
    for (const auto &c : cases)
        EXPECT_EQ(Set(c.Name, c.Value), c.Took) << c.Name.toStdString() << " " << c.Value.toStdString();
    EXPECT_EQ(Text("edUniqueID"), "desk10");
    EXPECT_EQ(Text("edMACAddress"), "00-01-E1-00-00-0A");
    EXPECT_EQ(IPText(), "10.0.0.5");
    EXPECT_EQ(Text("edProxyPassword"), "s3cret");
    EXPECT_EQ(Heard().front(), "modified true");

    ASSERT_TRUE(frame->ApplyChanges(false));
    EXPECT_EQ(device.UniqueID.Text(), "desk10");
    EXPECT_EQ(device.ProfileID, 5);
}

// Unlinking changes no stored value, yet it is an edit the user can apply.
TEST_F(DeviceWrapper, UnlinkingAnIDThatIsItsMACMarksTheDeviceModified) {
    device.UniqueID = TdpNameString::From(QStringLiteral("0001E1000001"));
    ShowDevice({});
    ASSERT_TRUE(Link()->isChecked());
    EXPECT_TRUE(Set("UseMACAsID", "false"));
    EXPECT_FALSE(Link()->isChecked());
    EXPECT_EQ(Heard(), Lines{"modified true"});
}

namespace {

class ProfileWrapper : public TProfileFrameTest {
protected:
    std::unique_ptr<TUTCGenericWrapper> Wrapper() {
        auto wrapper = Manager.CreateWrapper(widget);
        EXPECT_TRUE(wrapper);
        return wrapper;
    }
    bool Set(const QString &Name, const QString &Value) {
        const auto wrapper = Wrapper();
        TCommand command(utc_set, Name, Value);
        return wrapper && command.To(*wrapper).UTCSet();
    }
    HWND Command(const char *Name) {
        const auto wrapper = Wrapper();
        TCommand command(utc_command, Name);
        return wrapper ? command.To(*wrapper).UTCCommand() : INVALID_HWND;
    }
    QString OpenPage() const { return Control<QTabWidget>("pcSettings")->currentWidget()->objectName(); }
};

TEST_F(ProfileWrapper, TabNamesOpenTheirPages) {
    ShowProfile("IPComm{DHCP=true}");
    const struct {
        const char *name, *page;
    } cases[] = {{"SIP", "tshSIP"}, {"IP", "tshIP"}, {"VLAN", "tshVLAN"}, {"General", "tshGeneral"}};
    for (const auto &c : cases) {
        EXPECT_EQ(Command(c.name), 0u) << c.name;
        EXPECT_EQ(OpenPage(), c.page) << c.name;
    }
    for (const char *name : {"general", "Close"})
        EXPECT_EQ(Command(name), INVALID_HWND) << name;
    EXPECT_EQ(OpenPage(), "tshGeneral");
}

// Every setting name, each with a value that differs from what the frame
// showed: the user's edit that it makes is what the profile stores.
TEST_F(ProfileWrapper, EverySettingReachesTheProfileAsAUsersEditDoes) {
    ShowProfile("IPComm{DHCP=true}");
    struct {
        QString Name, Value;
        const char *Stored;
    } const cases[] = {
        {"SoftwareVers", "2.4.0", R"(SoftwareVersion="2.4.0")"},
        {"Country", "Japan", R"(Country="JAPAN")"},
        {"TimeZone", "GMT+02:00", "Timezone=120"},
        {"AdjustSavings", "TRUE", "DaylightSavings=true"},
        {"AllowG729", "true", "AllowG729=true"},
        {"G729Silence", "True", "G729SilenceSuppress=true"},
        {"RingTone", "8", "RingTone=8"},
        {"EnablePaging", "true", "EnablePaging=true"},
        {"Dialing", "3000", "InterdigitTO=3000"},
        {"SendSyslog", "true", " SendSyslog"},
        {"AllowLocation", "true", " AllowLocation"},
        {"ProxySource", "Specified Address", "MainProxySource=1"},
        {"ProxyAddress", "pbx.example.com", R"(MainProxy{Addr="pbx.example.com")"},
        {"ProxyPort", "5090", R"(MainProxy{Addr="pbx.example.com" Port=5090})"},
        {"TransportProtocol", "TCP", "TransportProtocol=1"},
        {"ReceivePort", "5072", "ReceivePort=5072"},
        {"rbRegisterBackup", "True", "UseBackupProxy=true"},
        {"BackupProxy", "backup.example.com", R"(BackupProxy{Addr="backup.example.com")"},
        {"BackupProxyPort", "5094", R"(BackupProxy{Addr="backup.example.com" Port=5094})"},
        {"InviteRetransmiss", "6", "RetransInvite=6"},
        {"NonInviteRetransmiss", "7", "RetransRequest=7"},
        {"rbTFTP", "", "TFTPFixed=1"},
        {"EditTFTP", "192.168.1.4", R"(TFTPAddress="192.168.1.4")"},
        {"rbObtain", "", "TFTPFixed=0"},
        {"DHCP", "false", "DHCP=false"},
        {"SubnetMask", "255.255.0.0", "SubnetMask=4294901760u"},
        {"DefGateway", "192.168.1.1", "Gateway=3232235777u"},
        {"DNS", "192.168.1.2", R"( DNS="192.168.1.2")"},
        {"Domain", "lobby.example.com", R"(Domain="lobby.example.com")"},
        {"NTPServer", "192.168.1.3", R"(NTP="192.168.1.3")"},
        {"CallSignalling", "40", "CallSignDSCP=40"},
        {"RTP", "46", "RTP_DSCP=46"},
        {"VLANtag", "12", "VLAN{VLANtag=12 "},
        {"PriorityTag", "3", " PriorityTag=3 "},
        {"CallVLANtag", "20", "CallSignVLANtag=20"},
        {"CallPriorityTag", "4", "CallSignPriorityTag=4"},
        {"RTPVLANtag", "30", "RTPVLANtag=30"},
        {"RTPPriorityTag", "5", "RTPPriorityTag=5"},
        {"VLANSupport", "false", "VLAN{VLANtag=-13 "},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name.toStdString() + " " + c.Value.toStdString());
        EXPECT_TRUE(Set(c.Name, c.Value));
        EXPECT_THAT(Heard(), ::testing::Contains("modified true"));
        std::string stored = Stored();
        stored += std::string(profile.SyslogIfNotRegistered ? " SendSyslog" : "") +
                  (profile.AllowLocationSpecOnPhone ? " AllowLocation" : "");
        EXPECT_THAT(stored, ::testing::HasSubstr(c.Stored));
    }
}

TEST_F(ProfileWrapper, TheSubnetMaskIsTakenAsAPrefixLength) {
    ShowProfile("IPComm{DHCP=false}");
    const struct {
        const char *value, *shown;
    } cases[] = {{"255.255.255.0", "255.255.255.0"}, {"255.255.240.0", "255.255.240.0"},
                 {"", "128.0.0.0"},                    // 0: the control's minimum
                 {"not a mask", "255.255.255.254"}};   // all bits: the control's maximum
    for (const auto &c : cases) {
        EXPECT_TRUE(Set("SubnetMask", c.value)) << c.value;
        EXPECT_EQ(Text("vqimLYN2SubnetMask"), c.shown) << c.value;
    }
    EXPECT_THROW(Set("RingTone", "five"), EConvertError);
}

} // namespace
