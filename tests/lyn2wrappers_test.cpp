// The LYN 2 profile and device frames driven by the automation, through the
// loaded plug-in as the host drives it: the plug-in registers its wrappers
// when it is loaded, the host's manager makes them over the frames, and each
// setting shows in the frame's control and reaches the container as a user's
// edit does. This program exports UTC_GetWrapperManager as the host does.

#include "AutomationTesting.h"
#include "DeviceFrameTesting.h"
#include "ProfileFrameTesting.h"
#include "TestWrapperManager.h"

#include <QCheckBox>
#include <QComboBox>

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

TEST_F(DeviceWrapper, TheLoadedPlugInRegistersAWrapperForEachFrame) {
    std::map<QString, QString> registered;
    for (const auto &[frameClass, wrapperClass] : Manager.Registered)
        registered[frameClass->ClassName()] = wrapperClass->ClassName();
    EXPECT_EQ(registered, (std::map<QString, QString>{{"TLyn2DeviceFrame", "TUTCLYN2DeviceWrapper"},
                                                      {"TLyn2ProfileFrame", "TUTCLYN2ProfileWrapper"}}));
    QWidget plain;
    EXPECT_FALSE(Manager.CreateWrapper(&plain));
    for (const auto &entry : Manager.Registered)
        EXPECT_EQ(RaisedMessage<EInvalidCast>([&] { entry.second->Create(&plain); }), "Invalid class typecast");
    // Each wrapper takes its own frame only.
    for (const auto &entry : Manager.Registered) {
        if (entry.first->ClassName() == "TLyn2ProfileFrame") {
            EXPECT_EQ(RaisedMessage<EInvalidCast>([&] { entry.second->Create(widget); }), "Invalid class typecast");
        }
    }
}

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
        {"Profile2", "dhcp", false}, // found, but shown as "Dhcp"
        {"deviceid", "x", false}, // names are exact
        {"Close", "", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Set(c.Name, c.Value), c.Took) << c.Name.toStdString() << " " << c.Value.toStdString();
    EXPECT_EQ(Text("edUniqueID"), "desk10");
    EXPECT_EQ(Text("edMACAddress"), "00-01-E1-00-00-0A");
    EXPECT_EQ(IPText(), "10.0.0.5");
    EXPECT_EQ(Text("edProxyPassword"), "s3cret");
    EXPECT_EQ(widget->findChild<QComboBox *>("cbProfile")->currentText(), "Dhcp");
    EXPECT_EQ(Heard().front(), "modified true");

    ASSERT_TRUE(frame->ApplyChanges(false));
    EXPECT_EQ(device.UniqueID.Text(), "desk10");
    EXPECT_EQ(device.ProfileID, 5);
}

TEST_F(DeviceWrapper, TheLinkBoxTakesTrueInAnyCaseAndADisabledOneStays) {
    ShowDevice({});
    EXPECT_TRUE(Set("UseMACAsID", "TRUE"));
    EXPECT_TRUE(Link()->isChecked());
    EXPECT_EQ(Text("edUniqueID"), "0001E1000001"); // the frame links the ID, as for a click
    EXPECT_TRUE(Set("UseMACAsID", "1")); // anything else unchecks
    EXPECT_FALSE(Link()->isChecked());
    Link()->setEnabled(false);
    EXPECT_FALSE(Set("UseMACAsID", "true"));
    EXPECT_FALSE(Link()->isChecked());
}

TEST_F(DeviceWrapper, TheFrameIsNoFormSoFormCommandsAreNotHandled) {
    ShowDevice({});
    const auto wrapper = Manager.CreateWrapper(widget);
    ASSERT_TRUE(wrapper);
    for (const char *name : {"Close", "DefaultButton", "CancelButton", "GetWndByClass"}) {
        TCommand command(utc_command, name, "TActiveWindow");
        EXPECT_EQ(command.To(*wrapper).UTCCommand(), INVALID_HWND) << name;
    }
    TCommand get(utc_get, "DeviceID");
    EXPECT_EQ(get.To(*wrapper).UTCGet(), "Error!!!");
    EXPECT_FALSE(wrapper->UTCTableFind());
    EXPECT_TRUE(widget->isVisible());
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
    for (const char *name : {"general", "SIP Settings", "Close", ""})
        EXPECT_EQ(Command(name), INVALID_HWND) << name;
    EXPECT_EQ(OpenPage(), "tshGeneral");
}

TEST_F(ProfileWrapper, SettingsReachTheProfileAsAUsersEditsDo) {
    ShowProfile("IPComm{DHCP=true}");
    struct {
        QString Name, Value;
        bool Took;
    } const cases[] = {
        {"SoftwareVers", "2.4.0", true},
        {"Country", "Japan", true},
        {"country", "Japan", false}, // names are exact
        {"TimeZone", "GMT+02:00", true},
        {"AdjustSavings", "TRUE", true},
        {"AllowG729", "1", true}, // anything but "true" clears
        {"RingTone", "12", false}, // the spin edit keeps its maximum
        {"Dialing", "2205", true},
        {"SendSyslog", "true", true},
        {"ProxySource", "Specified Address", true},
        {"ProxyAddress", "pbx.example.com", true},
        {"ProxyPort", "5090", true},
        {"TransportProtocol", "TCP", true},
        {"rbRegisterBackup", "True", true},
        {"BackupProxy", "backup.example.com", true},
        {"DHCP", "false", true},
        {"SubnetMask", "255.0.255.0", true}, // the lowest one bit decides: 24
        {"DefGateway", "192.168.1.1", true},
        {"DNS", "192.168.1.2", true},
        {"Domain", "lobby.example.com", true},
        {"rbObtain", "anything", false}, // disabled without DHCP
        {"rbTFTP", "", true},
        {"EditTFTP", "192.168.1.4", true},
        {"RTP", "46", true},
        {"VLANSupport", "true", true},
        {"VLANtag", "12", true},
        {"RTPPriorityTag", "5", true},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Set(c.Name, c.Value), c.Took) << c.Name.toStdString() << " " << c.Value.toStdString();
    EXPECT_EQ(Text("vqseLYN2RingTone"), "8");
    EXPECT_EQ(Text("vqimLYN2SubnetMask"), "255.255.255.0");
    EXPECT_EQ(Heard().front(), "modified true");

    const std::string stored = Stored();
    for (const char *part : {R"(SoftwareVersion="2.4.0" InterdigitTO=2200)", R"(Country="JAPAN" Timezone=120)",
                             "DaylightSavings=true", "AllowG729=false", "RingTone=8", "TransportProtocol=1",
                             R"(MainProxySource=1 UseBackupProxy=true MainProxy{Addr="pbx.example.com" Port=5090})",
                             "VLANtag=12", "RTPPriorityTag=5", "RTP_DSCP=46 DHCP=false",
                             "Gateway=3232235777u SubnetMask=4294967040u", "TFTPFixed=1", R"(TFTPAddress="192.168.1.4")"})
        EXPECT_NE(stored.find(part), std::string::npos) << part << " in " << stored;
    EXPECT_TRUE(profile.SyslogIfNotRegistered);
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
