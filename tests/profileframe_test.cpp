// The LYN 2 profile frame as the host embeds it, through the loaded plug-in:
// what the pages show for new, stored and read-only profiles, and what the
// container hears and the profile holds while a user edits the proxy source,
// DHCP and TFTP server, VLAN tags, lists, the interdigit timeout and the
// feature check boxes, and while the host reads and sets the open page.

#include "FrameTesting.h"
#include "Lyn2_ProfileFrame.h"

#include <optional>

namespace {

class ProfileFrame : public TProfileFrameTest {};

TEST_F(ProfileFrame, ANewProfileShowsTheModelsDefaults) {
    profile.CustomData = "";
    ASSERT_TRUE(frame->ShowProfile(&profile, {pffCreating}));
    Show();
    EXPECT_EQ(Heard(), (Lines{"modified true", "conflict none"}));

    // The model's defaults are the proxy's test; these rows show them reach the controls.
    const struct {
        const char *control;
        const char *text;
    } shown[] = {
        {"cbLYN2Country", "United States"},
        {"vqseInterdigitTimeout", "2200"},
        {"cbLYN2ProxySource", "VQ Address"},
        {"edLYN2ProxyAddress", "10.0.0.1"}, // the phone system's SIP address
        {"vqseLYN2ProxyPort", "5070"},
        {"vqimLYN2SubnetMask", "255.255.255.0"},
        {"vqseLYN2VLANTag", "0"},
    };
    for (const auto &row : shown)
        EXPECT_EQ(Text(row.control), row.text) << row.control;

    for (const char *on : {"chbLYN2DaylightAdjust", "chbLYN2EnableDHCP", "rbLYN2FromDHCP_TFTPServer"})
        EXPECT_TRUE(Checked(on)) << on;
    for (const char *off : {"chbLYN2RegWithBcpProxy", "chbLYN2EnableVLAN", "chbSyslogIfNotRegistered"})
        EXPECT_FALSE(Checked(off)) << off;
    // Every rule's dependants follow the new profile's values.
    for (const char *disabled : {"edLYN2ProxyAddress", "edLYN2BcpProxy", "vqimLYN2SubnetMask", "vqipLYN2TFTPServer",
                                 "vqseLYN2RTPVLANTag"})
        EXPECT_FALSE(Enabled(disabled)) << disabled;
}

TEST_F(ProfileFrame, TheDefaultProfileAndProfilesWithoutEditRightsAreReadOnly) {
    const struct {
        const char *why;
        bool isDefault;
        std::optional<uintptr_t> rights;
        bool readOnly;
    } cases[] = {
        {"editable", false, 1, false},
        {"default profile", true, 1, true},
        {"host does not answer", false, std::nullopt, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.why);
        profile.IsDefault = c.isDefault;
        servant.Values.erase(svEditRights);
        if (c.rights)
            servant.Values[svEditRights] = *c.rights;
        ShowProfile("IPComm{DHCP=true} VLAN{VLANtag=3}");
        EXPECT_EQ(Control("vqseLYN2VLANTag")->property("readOnly").toBool(), c.readOnly);
        for (const char *choice : {"cbLYN2Country", "chbLYN2EnableDHCP", "chbAllowLocationSpecOnPhone"})
            EXPECT_EQ(Enabled(choice), !c.readOnly) << choice;
        // The rules run after the read-only walk: with DHCP the phones may
        // still obtain the TFTP server from it, and the VLAN tags are enabled.
        EXPECT_TRUE(Enabled("rbLYN2FromDHCP_TFTPServer"));
        EXPECT_TRUE(Enabled("vqseLYN2VLANTag"));

        TypeInto("edLYN2SWVersion", "9");
        EXPECT_EQ(Text("edLYN2SWVersion"), c.readOnly ? "" : "9");
        EXPECT_EQ(Heard(), c.readOnly ? Lines{} : Lines{"modified true"});
        frame->HideProfile();
    }
}

TEST_F(ProfileFrame, TheProxySourceDecidesWhatTheProxyRowsShow) {
    ShowProfile(R"(SIP{Proxies{MainProxySource=1 MainProxy{Addr="pbx.example.com" Port=5080}}})");
    OpenPage("SIP Settings");
    EXPECT_EQ(Text("cbLYN2ProxySource"), "Specified Address");
    EXPECT_EQ(Text("edLYN2ProxyAddress"), "pbx.example.com");
    EXPECT_TRUE(Enabled("edLYN2ProxyAddress"));

    Choose("cbLYN2ProxySource", "VQ Address");
    EXPECT_EQ(Text("edLYN2ProxyAddress"), "10.0.0.1");
    EXPECT_EQ(Text("vqseLYN2ProxyPort"), "5070");
    EXPECT_FALSE(Enabled("vqseLYN2ProxyPort"));
    EXPECT_EQ(Heard(), (Lines{"modified true"}));

    Choose("cbLYN2ProxySource", "Domain");
    EXPECT_EQ(Text("stLYN2ProxyAddr"), "&Domain");
    EXPECT_EQ(Text("edLYN2ProxyAddress"), "corp.example");
    EXPECT_FALSE(Shown("vqseLYN2ProxyPort"));
    // What the other sources showed never reached the proxy.
    const std::string domain = Stored();
    EXPECT_NE(domain.find(R"(MainProxySource=2 UseBackupProxy=false MainProxy{Addr="pbx.example.com" Port=5080})"),
              std::string::npos)
        << domain;

    Choose("cbLYN2ProxySource", "Specified Address");
    EXPECT_EQ(Text("edLYN2ProxyAddress"), "pbx.example.com");
    TypeInto("edLYN2ProxyAddress", "sip.example.com");
    EXPECT_NE(Stored().find(R"(MainProxy{Addr="sip.example.com" Port=5080})"), std::string::npos);
}

TEST_F(ProfileFrame, TheBackupProxyRowsFollowTheirCheckBox) {
    ShowProfile(R"(SIP{Proxies{UseBackupProxy=true BackupProxy{Addr="backup.example.com" Port=5062}}})");
    OpenPage("SIP Settings");
    EXPECT_TRUE(Enabled("edLYN2BcpProxy"));
    EXPECT_EQ(Text("edLYN2BcpProxy"), "backup.example.com");
    Click("chbLYN2RegWithBcpProxy");
    for (const char *name : {"stLYN2BackupProxy", "stLYN2BackupProxyPort", "edLYN2BcpProxy", "vqseLYN2BcpProxyPort"})
        EXPECT_FALSE(Enabled(name)) << name;
    EXPECT_EQ(Heard(), (Lines{"modified true"}));
    EXPECT_NE(Stored().find("UseBackupProxy=false"), std::string::npos);
}

TEST_F(ProfileFrame, SwitchingDHCPOffMovesTheTFTPServerToFixed) {
    ShowProfile("IPComm{DHCP=true} IPSettings{SubnetMask=4294967040u Gateway=3232235777u}");
    OpenPage("IP Communications");
    EXPECT_FALSE(Enabled("vqipLYN2Gateway"));
    EXPECT_FALSE(Enabled("stLYN2NTP"));

    Click("chbLYN2EnableDHCP");
    EXPECT_TRUE(Checked("rbLYN2FixedTFTPServer"));
    EXPECT_FALSE(Enabled("rbLYN2FromDHCP_TFTPServer"));
    EXPECT_TRUE(Enabled("vqipLYN2TFTPServer"));
    for (const char *name : {"vqimLYN2SubnetMask", "vqipLYN2Gateway", "edLYN2Domain", "stLYN2Gateway"})
        EXPECT_TRUE(Enabled(name)) << name;
    // The DHCP change is validated before the source follows it.
    EXPECT_EQ(Heard(), (Lines{"conflict error: TFTP Server IP address can not be obtained from DHCP when DHCP is disabled",
                              "modified true",
                              "conflict error: Fixed TFTP Server IP address can not be blank or 0.0.0.0"}));
    const std::string stored = Stored();
    EXPECT_NE(stored.find("DHCP=false"), std::string::npos) << stored;
    EXPECT_NE(stored.find("TFTPFixed=1"), std::string::npos) << stored;

    TypeInto("vqipLYN2TFTPServer", "192.168.1.9");
    EXPECT_EQ(Heard().back(), "conflict none");
    EXPECT_TRUE(frame->ApplyChanges(false));
    EXPECT_NE(profile.CustomData.find(R"(TFTPAddress="192.168.1.9")"), std::string::npos);

    // Back to DHCP: the network fields are the DHCP server's again.
    Click("chbLYN2EnableDHCP");
    EXPECT_TRUE(Enabled("rbLYN2FromDHCP_TFTPServer"));
    EXPECT_FALSE(Enabled("vqipLYN2Gateway"));
    EXPECT_TRUE(Checked("rbLYN2FixedTFTPServer"));
}

TEST_F(ProfileFrame, TheSystemsOwnTFTPSourceShowsAsFixedUntilTheUserChooses) {
    ShowProfile(R"(IPComm{DHCP=true} IPSettings{TFTPFixed=2 TFTPAddress="10.1.1.1"})");
    OpenPage("IP Communications");
    EXPECT_TRUE(Checked("rbLYN2FixedTFTPServer"));
    EXPECT_EQ(Text("vqipLYN2TFTPServer"), "10.1.1.1");
    EXPECT_TRUE(Enabled("vqipLYN2TFTPServer"));
    EXPECT_NE(Stored().find("TFTPFixed=2"), std::string::npos);

    Click("rbLYN2FromDHCP_TFTPServer");
    EXPECT_FALSE(Enabled("vqipLYN2TFTPServer"));
    EXPECT_NE(Stored().find("TFTPFixed=0"), std::string::npos);

    Click("rbLYN2FixedTFTPServer");
    EXPECT_TRUE(Enabled("vqipLYN2TFTPServer"));
    // The user goes on to the address the choice asks for.
    EXPECT_TRUE(Control("vqipLYN2TFTPServer")->isAncestorOf(QApplication::focusWidget()));
    EXPECT_NE(Stored().find("TFTPFixed=1"), std::string::npos);
}

TEST_F(ProfileFrame, ADHCPSourceStoredWithDHCPOffIsPutRightByOneClickOnFixed) {
    ShowProfile(R"(IPComm{DHCP=false} IPSettings{SubnetMask=4294967040u Gateway=3232235777u TFTPFixed=0
                   TFTPAddress="10.1.1.1"})");
    OpenPage("IP Communications");
    // The stored source cannot be without DHCP: the page shows "Fixed:", and a click on it stores that.
    EXPECT_TRUE(Checked("rbLYN2FixedTFTPServer"));
    Click("rbLYN2FixedTFTPServer");
    EXPECT_EQ(Heard(), (Lines{"conflict none", "modified true"}));
    EXPECT_NE(Stored().find("TFTPFixed=1"), std::string::npos);
}

TEST_F(ProfileFrame, ValuesOutsideTheTablesShowNoSelectionAndStayStored) {
    ShowProfile(R"(General{Regional{Country="usa" Timezone=-210}} SIP{TransportProtocol=0})");
    for (const char *list : {"cbLYN2Country", "cbLYN2TimeZone"})
        EXPECT_EQ(Control<QComboBox>(list)->currentIndex(), -1) << list;
    EXPECT_EQ(Control<QComboBox>("cbLYN2TransportProtocol")->currentIndex(), -1);
    const std::string stored = Stored();
    EXPECT_NE(stored.find(R"(Country="usa" Timezone=-210)"), std::string::npos) << stored;
    EXPECT_NE(stored.find("TransportProtocol=0"), std::string::npos) << stored;
}

// The rounding itself is RoundInterdigitTimeout's table below.
TEST_F(ProfileFrame, TheInterdigitTimeoutIsStoredRoundedAndShownSoOnLeaving) {
    ShowProfile("General{InterdigitTO=3000}");
    TypeInto("vqseInterdigitTimeout", "2205");
    EXPECT_EQ(Text("vqseInterdigitTimeout"), "2205"); // the field keeps what is typed
    EXPECT_NE(Stored().find("InterdigitTO=2200"), std::string::npos);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(Text("vqseInterdigitTimeout"), "2200");
}

TEST_F(ProfileFrame, TheVLANTagsFollowTheVLANSwitch) {
    ShowProfile("VLAN{VLANtag=-6 PriorityTag=3}");
    OpenPage("VLAN");
    EXPECT_FALSE(Checked("chbLYN2EnableVLAN"));
    EXPECT_EQ(Text("vqseLYN2VLANTag"), "5");
    EXPECT_EQ(Text("vqseLYN2PriorityTag"), "3");
    const char *const tags[] = {"vqseLYN2VLANTag", "vqseLYN2CallSigPriorityTag", "vqseLYN2RTPVLANTag",
                                "stLYN2RTPPriorityTag"};
    for (const char *name : tags)
        EXPECT_FALSE(Enabled(name)) << name;

    Click("chbLYN2EnableVLAN");
    for (const char *name : tags)
        EXPECT_TRUE(Enabled(name)) << name;
    EXPECT_EQ(Heard(), (Lines{"modified true"}));
    EXPECT_NE(Stored().find("VLANtag=5 PriorityTag=3"), std::string::npos);
}

TEST_F(ProfileFrame, TheHostReadsAndSetsTheOpenPageAsAPath) {
    ShowProfile("");
    EXPECT_EQ(PagePath(), "pcSettings.tshGeneral.General");
    OpenPage("SIP Settings");
    EXPECT_EQ(PagePath(), "pcSettings.tshSIP.SIP Settings");

    EXPECT_TRUE(SetPagePath("pcSettings.tshVLAN.VLAN"));
    EXPECT_EQ(PagePath(), "pcSettings.tshVLAN.VLAN");
    EXPECT_TRUE(SetPagePath("pcSettings.tshIP"));
    EXPECT_EQ(PagePath(), "pcSettings.tshIP.IP Communications");
    for (const char *path : {"pcSettings", "pcSettings.tshNone.Nothing", ""}) {
        EXPECT_TRUE(SetPagePath("pcSettings.tshVLAN"));
        EXPECT_FALSE(SetPagePath(path)) << path;
        EXPECT_EQ(PagePath(), "pcSettings.tshGeneral.General") << path;
    }
    // The open page stays for the next profile.
    EXPECT_TRUE(SetPagePath("pcSettings.tshSIP"));
    ShowProfile("");
    EXPECT_EQ(PagePath(), "pcSettings.tshSIP.SIP Settings");
}

TEST_F(ProfileFrame, TheFeatureCheckBoxesEditTheirHostFields) {
    profile.SyslogIfNotRegistered = true;
    ShowProfile("IPComm{DHCP=true}");
    EXPECT_TRUE(Checked("chbSyslogIfNotRegistered"));
    EXPECT_FALSE(Checked("chbAllowLocationSpecOnPhone"));

    Click("chbSyslogIfNotRegistered");
    Click("chbSyslogIfNotRegistered");
    // Back where it was, but the profile was edited.
    EXPECT_EQ(Heard(), (Lines{"modified true"}));
    Click("chbAllowLocationSpecOnPhone");
    EXPECT_TRUE(frame->ApplyChanges(false));
    EXPECT_EQ(Heard(), (Lines{"modified false"}));
    EXPECT_TRUE(profile.SyslogIfNotRegistered);
    EXPECT_TRUE(profile.AllowLocationSpecOnPhone);
}

TEST(ProfileInterdigitTimeout, RoundsHalfToEvenTens) {
    const struct {
        int32_t value, rounded;
    } cases[] = {{2205, 2200}, {2215, 2220}, {2204, 2200}, {2206, 2210}, {-15, -20}, {-25, -20}};
    for (const auto &c : cases)
        EXPECT_EQ(RoundInterdigitTimeout(c.value), c.rounded) << c.value;
}

} // namespace
