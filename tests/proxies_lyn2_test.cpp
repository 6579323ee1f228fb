// The LYN 2 model: its custom-data schema, defaults, fixed values, the VLAN
// sign encoding, its checks, its device proxy, and the frame classes that
// name these proxies.

#include "FakeHost.h"
#include "Lyn2_DeviceFrame.h"
#include "Lyn2_ProfileFrame.h"
#include "Lyn2_Schema.h"

#include <gtest/gtest.h>

namespace {

// Stored custom data as (path, kind) in order, read from the host library's
// canonical text: one space between siblings, '=' after the name, '{' for
// sub-nodes, strings quoted with backslash escapes, unsigned numbers ending in 'u'.
class TCanonicalReader {
public:
    explicit TCanonicalReader(const AnsiString &Text) : s(Text) {}
    std::vector<std::pair<std::string, TCustomDataKind>> Paths() {
        std::vector<std::pair<std::string, TCustomDataKind>> out;
        Nodes({}, out);
        EXPECT_EQ(i, s.size()) << "unread text: " << s.substr(i);
        return out;
    }

private:
    void Nodes(const std::string &prefix, std::vector<std::pair<std::string, TCustomDataKind>> &out) {
        while (i < s.size() && s[i] != '}') {
            if (s[i] == ' ') {
                ++i;
                continue;
            }
            const std::size_t start = i;
            while (i < s.size() && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '_' || s[i] == '-' || s[i] == '.'))
                ++i;
            ASSERT_GT(i, start) << "no name at " << s.substr(start);
            const std::string path = (prefix.empty() ? "" : prefix + "/") + s.substr(start, i - start);
            if (i < s.size() && s[i] == '=') {
                ++i;
                out.emplace_back(path, Value());
            }
            if (i < s.size() && s[i] == '{') {
                ++i;
                Nodes(path, out);
                ASSERT_EQ(s[i], '}');
                ++i;
            }
        }
    }
    TCustomDataKind Value() {
        if (s[i] == '"') {
            for (++i; s[i] != '"'; ++i)
                if (s[i] == '\\')
                    i += s[i + 1] == 'x' ? 3 : 1;
            ++i;
            return TCustomDataKind::Text;
        }
        const std::size_t start = i;
        while (i < s.size() && s[i] != ' ' && s[i] != '{' && s[i] != '}')
            ++i;
        const std::string token = s.substr(start, i - start);
        if (token == "true" || token == "false")
            return TCustomDataKind::Boolean;
        return token.back() == 'u' ? TCustomDataKind::Unsigned : TCustomDataKind::Integer;
    }

    const AnsiString &s;
    std::size_t i = 0;
};

// A profile whose every custom value differs from its default, in the
// host library's canonical form and the schema's order.
const char *const AllSettings =
    R"(General{SoftwareVersion="2.3.1" InterdigitTO=3000 Regional{Country="UK" Timezone=60 DaylightSavings=false})"
    R"( Audio{AllowG729=false G729SilenceSuppress=true RingTone=7} Paging{EnablePaging=false}})"
    R"( SIP{RetransInvite=7 RetransRequest=9 TransportProtocol=3 ReceivePort=5070 Proxies{MainProxySource=1)"
    R"( UseBackupProxy=true MainProxy{Addr="pbx.example.com" Port=5080} BackupProxy{Addr="10.0.0.9" Port=5090}}})"
    R"( VLAN{VLANtag=100 PriorityTag=5 CallSignVLANtag=200 CallSignPriorityTag=6 RTPVLANtag=300 RTPPriorityTag=7})"
    R"( IPComm{CallSignDSCP=46 RTP_DSCP=34 DHCP=false})"
    R"( IPSettings{Gateway=3232235777u SubnetMask=4294967040u DNS="192.168.1.2" SecondaryDNS="192.168.1.3")"
    R"( NTP="ntp.example.com" Domain="example.com" TFTPFixed=1 TFTPAddress="192.168.1.10"})";

class Lyn2Profile : public ::testing::Test {
protected:
    std::unique_ptr<TLyn2ProfileProxy> Build(TPluginFrameFlags flags = {}, bool forced = true) {
        auto proxy = TLyn2ProfileProxy::Class().Create(&profile, &servant);
        proxy->Initialize(flags, forced);
        return std::unique_ptr<TLyn2ProfileProxy>(static_cast<TLyn2ProfileProxy *>(proxy.release()));
    }
    // A valid profile with static addresses, ready for one setting to be spoilt.
    std::unique_ptr<TLyn2ProfileProxy> StaticProfile() {
        profile.CustomData = AllSettings;
        return Build();
    }
    std::string Finding(TLyn2ProfileProxy &proxy) {
        const TDeviceConflictLevel level = proxy.Validate();
        EXPECT_EQ(level, proxy.Conflict().Message.empty() ? dclNone : dclError);
        return proxy.Conflict().Message;
    }

    TFakeProfile profile;
    TFakeServant servant;
};

TEST_F(Lyn2Profile, EveryPathLoadsAndSavesBack) {
    profile.CustomData = AllSettings;
    auto p = Build();
    EXPECT_TRUE(p->CustomLoaded());
    EXPECT_EQ(p->SWVersion.Text(), "2.3.1");
    EXPECT_EQ(p->InterdigitTimeout, 3000);
    EXPECT_EQ(p->Country.Text(), "UK");
    EXPECT_EQ(p->TimeZone, 60);
    EXPECT_FALSE(p->Adjust4DayLightSavings);
    EXPECT_FALSE(p->Allow_G_729);
    EXPECT_TRUE(p->G_729_Silence_Sup);
    EXPECT_EQ(p->RingTone, 7);
    EXPECT_FALSE(p->SupportsPage);
    EXPECT_EQ(p->InviteRetrans, 7);
    EXPECT_EQ(p->NonInviteRetrans, 9);
    EXPECT_EQ(p->TransportProtocol, TLS);
    EXPECT_EQ(p->ReceivePort, 5070);
    EXPECT_EQ(p->Proxy.MainProxySource, prsSpecifiedAddress);
    EXPECT_TRUE(p->Proxy.UseBackupProxy);
    EXPECT_EQ(p->Proxy.MainProxy.URI.Text(), "pbx.example.com");
    EXPECT_EQ(p->Proxy.MainProxy.Port, 5080);
    EXPECT_EQ(p->Proxy.BackupProxy.URI.Text(), "10.0.0.9");
    EXPECT_EQ(p->Proxy.BackupProxy.Port, 5090);
    EXPECT_TRUE(p->VLAN_Support);
    EXPECT_EQ(p->VLAN_Tag, 100);
    EXPECT_EQ(p->Priority_Tag, 5);
    EXPECT_EQ(p->Call_Sign_VLAN_Tag, 200);
    EXPECT_EQ(p->Call_Sign_Priority_Tag, 6);
    EXPECT_EQ(p->RTP_VLAN_Tag, 300);
    EXPECT_EQ(p->RTP_Priority_Tag, 7);
    EXPECT_EQ(p->Call_Sig_DSCP, 46);
    EXPECT_EQ(p->RTP_DSCP, 34);
    EXPECT_FALSE(p->DHCP);
    EXPECT_TRUE(p->GetsStaticIP());
    EXPECT_EQ(p->IP_Settings.Gateway, 0xC0A80101u);
    EXPECT_EQ(p->IP_Settings.SubnetMask, 0xFFFFFF00u);
    EXPECT_EQ(p->IP_Settings.DNS.Text(), "192.168.1.2");
    EXPECT_EQ(p->IP_Settings.SecondaryDNS.Text(), "192.168.1.3");
    EXPECT_EQ(p->IP_Settings.NTP.Text(), "ntp.example.com");
    EXPECT_EQ(p->IP_Settings.Domain.Text(), "example.com");
    EXPECT_EQ(p->IP_Settings.TFTPSource, tftpssFixed);
    EXPECT_EQ(p->IP_Settings.TFTPAddress.Text(), "192.168.1.10");
    EXPECT_EQ(Finding(*p), "");

    p->FlushChanges();
    EXPECT_EQ(profile.CustomData, AllSettings); // every value, kind and place as it was
    EXPECT_TRUE(profile.GetsStaticIP);
    EXPECT_FALSE(profile.IsDHCPServer);
    EXPECT_FALSE(profile.SupportsPage);
}

TEST_F(Lyn2Profile, TheStoredTreeHoldsExactlyTheSchema) {
    profile.CustomData = R"(Legacy{Kept=1} General{Unknown="x"})";
    Build({pffCreating}, false)->FlushChanges();
    const auto stored = TCanonicalReader(profile.CustomData).Paths();
    ASSERT_EQ(stored.size(), Lyn2CustomDataPaths.size()) << profile.CustomData;
    for (std::size_t k = 0; k < stored.size(); ++k) {
        EXPECT_EQ(stored[k].first, Lyn2CustomDataPaths[k].Path);
        EXPECT_EQ(stored[k].second, Lyn2CustomDataPaths[k].Kind) << stored[k].first;
    }
}

TEST_F(Lyn2Profile, ANewProfileStartsFromTheDefaults) {
    servant.Values[svSIPPort] = 5062;
    servant.SetRedundancy(2, 1, {{2, "10.0.0.6"}});
    profile.SyslogIfNotRegistered = true;
    profile.AllowLocationSpecOnPhone = true;
    profile.CustomData = "VLAN{PriorityTag=5}";
    auto p = Build({pffCreating}, false);
    EXPECT_FALSE(p->SyslogIfNotRegistered);
    EXPECT_FALSE(p->AllowLocationSpecOnPhone);
    EXPECT_TRUE(p->SupportsPage);
    EXPECT_EQ(p->FailoverNodeId, 0);
    EXPECT_EQ(p->FailoverSIPIP, "10.0.0.6");
    EXPECT_EQ(p->SWVersion.Text(), "");
    EXPECT_EQ(p->InterdigitTimeout, 2200);
    EXPECT_EQ(p->Country.Text(), "USA");
    EXPECT_EQ(p->TimeZone, -480);
    EXPECT_TRUE(p->Adjust4DayLightSavings);
    EXPECT_TRUE(p->Allow_G_729);
    EXPECT_FALSE(p->G_729_Silence_Sup);
    EXPECT_EQ(p->RingTone, 1);
    EXPECT_EQ(p->TransportProtocol, UDP);
    EXPECT_EQ(p->ReceivePort, 5060);
    EXPECT_EQ(p->Proxy.MainProxySource, prsExternalAddress);
    EXPECT_EQ(p->Proxy.MainProxy.Port, 5062); // the system's SIP port
    EXPECT_FALSE(p->Proxy.UseBackupProxy);
    EXPECT_EQ(p->Proxy.BackupProxy.Port, 5060);
    EXPECT_EQ(p->InviteRetrans, 4);
    EXPECT_EQ(p->NonInviteRetrans, 4);
    EXPECT_EQ(p->Call_Sig_DSCP, 4);
    EXPECT_EQ(p->RTP_DSCP, 10);
    EXPECT_EQ(p->IP_Settings.Gateway, 0u);
    EXPECT_EQ(p->IP_Settings.SubnetMask, 0xFFFFFF00u);
    EXPECT_EQ(p->IP_Settings.TFTPSource, tftpssDHCP);
    EXPECT_EQ(p->IP_Settings.NTP.Text(), "");
    EXPECT_TRUE(p->DHCP);
    EXPECT_FALSE(p->VLAN_Support);
    EXPECT_EQ(p->Priority_Tag, 5); // as loaded
    EXPECT_EQ(Finding(*p), "");

    p->FlushChanges();
    for (const char *stored : {"VLANtag=-1 ", "DHCP=true}", "ReceivePort=5060 ", "MainProxy{Addr=\"\" Port=5062}"})
        EXPECT_NE(profile.CustomData.find(stored), std::string::npos) << stored << " in " << profile.CustomData;
    EXPECT_EQ(servant.Outstanding(), 0);
}

TEST_F(Lyn2Profile, WithoutAnAnsweringHostTheMainProxyPortIsZero) {
    EXPECT_EQ(Build({pffCreating}, false)->Proxy.MainProxy.Port, 0);
    // Forced: the loaded values stand.
    profile.CustomData = "General{InterdigitTO=900}";
    auto p = Build({pffCreating}, true);
    EXPECT_EQ(p->InterdigitTimeout, 900);
    EXPECT_FALSE(p->DHCP);
}

TEST_F(Lyn2Profile, FixedValuesOverwriteWhatTheHostStored) {
    profile.DeviceType = TdpNameString::From(QStringLiteral("LYN 3"));
    profile.Codecs = 3;
    profile.NumberOfLines = 4;
    profile.HasAnalogLine = true;
    profile.SupportsConferences = true;
    profile.SendsSIPRegister = false;
    profile.UnsolicitedMWI = true;
    profile.SupportsEarlyMedia = false;
    profile.SupportsAssertedIdentity = true;
    profile.DisplayType = devdtAlphanum;
    profile.SupportsIM = true;
    profile.PrefixExtCalls = true;
    profile.SupportsSIPBasedUpdate = false;
    profile.AllowLocationSpecOnPhone = true;
    profile.CustomData = "General{Paging{EnablePaging=true}}";
    Build()->FlushChanges();
    EXPECT_EQ(profile.DeviceType.Text(), "LYN 2");
    EXPECT_EQ(profile.Codecs, 15);
    EXPECT_EQ(profile.NumberOfLines, 2);
    EXPECT_FALSE(profile.HasAnalogLine);
    EXPECT_FALSE(profile.SupportsConferences);
    EXPECT_TRUE(profile.SendsSIPRegister);
    EXPECT_FALSE(profile.UnsolicitedMWI);
    EXPECT_TRUE(profile.SupportsEarlyMedia);
    EXPECT_FALSE(profile.SupportsAssertedIdentity);
    EXPECT_EQ(profile.DisplayType, devdtNone);
    EXPECT_FALSE(profile.SupportsIM);
    EXPECT_FALSE(profile.PrefixExtCalls);
    EXPECT_TRUE(profile.SupportsSIPBasedUpdate);
    // Not fixed: paging comes from the custom data, location as stored.
    EXPECT_TRUE(profile.SupportsPage);
    EXPECT_TRUE(profile.AllowLocationSpecOnPhone);
    EXPECT_TRUE(profile.GetsStaticIP); // no DHCP stored
}

TEST_F(Lyn2Profile, VLANSwitchInTheSignOfTheTag) {
    profile.CustomData = "VLAN{VLANtag=-5 PriorityTag=-2}";
    auto p = Build();
    EXPECT_FALSE(p->VLAN_Support);
    EXPECT_EQ(p->VLAN_Tag, 4);
    EXPECT_EQ(p->Priority_Tag, -2); // the others are stored as they are
    p->FlushChanges();
    EXPECT_NE(profile.CustomData.find("VLAN{VLANtag=-5 PriorityTag=-2 "), std::string::npos) << profile.CustomData;
    p->VLAN_Support = true;
    p->FlushChanges();
    EXPECT_NE(profile.CustomData.find("VLAN{VLANtag=4 "), std::string::npos) << profile.CustomData;

    profile.CustomData = "VLAN{VLANtag=-1}";
    p = Build();
    EXPECT_FALSE(p->VLAN_Support);
    EXPECT_EQ(p->VLAN_Tag, 0);
    p->VLAN_Tag = 100;
    p->FlushChanges();
    EXPECT_NE(profile.CustomData.find("VLAN{VLANtag=-101 "), std::string::npos) << profile.CustomData;
    EXPECT_EQ(Build()->VLAN_Tag, 100);
}

TEST_F(Lyn2Profile, ValuesAreCutToTheirFields) {
    profile.CustomData = "General{SoftwareVersion=\"" + std::string(40, 'v') + "\" Audio{RingTone=258}}" +
                         " SIP{ReceivePort=70000} IPSettings{DNS=\"" + std::string(300, 'd') +
                         "\" Gateway=-1 TFTPFixed=\"2\"}";
    auto p = Build();
    EXPECT_EQ(p->SWVersion.Text(), QString(31, QLatin1Char('v')));
    EXPECT_EQ(p->RingTone, 2);
    EXPECT_EQ(p->ReceivePort, 70000 & 0xFFFF);
    EXPECT_EQ(p->IP_Settings.DNS.Length, 255);
    EXPECT_EQ(p->IP_Settings.Gateway, 0xFFFFFFFFu); // read as its kind whatever was stored
    EXPECT_EQ(p->IP_Settings.TFTPSource, tftpssVQIP);
}

TEST_F(Lyn2Profile, UnparseableOrEmptyCustomDataLoadsTheEmptyValues) {
    for (const char *text : {"General{InterdigitTO=", ""}) {
        profile.CustomData = text;
        auto p = Build();
        EXPECT_EQ(p->CustomLoaded(), *text == '\0');
        EXPECT_EQ(p->InterdigitTimeout, 0);
        EXPECT_EQ(p->Country.Text(), "");
        EXPECT_FALSE(p->DHCP);
        EXPECT_FALSE(p->SupportsPage);
        EXPECT_TRUE(p->VLAN_Support); // a stored 0 is a switched-on tag 0
        p->FlushChanges();
        EXPECT_EQ(TCanonicalReader(profile.CustomData).Paths().size(), 36u);
    }
}

TEST_F(Lyn2Profile, WithDHCPTheLANSettingsAreNotChecked) {
    auto p = StaticProfile();
    p->DHCP = true;
    p->IP_Settings.Gateway = 0;
    p->IP_Settings.SubnetMask = 0;
    p->IP_Settings.Domain = TdpURIString::From(QStringLiteral("not a domain"));
    EXPECT_EQ(Finding(*p), "");
}

TEST_F(Lyn2Profile, LANChecksInOrder) {
    auto p = StaticProfile();
    p->IP_Settings.SubnetMask = 0xFF00FF00u;
    p->IP_Settings.Gateway = 0;
    EXPECT_EQ(Finding(*p), "Invalid LAN Subnet mask");
    p->IP_Settings.SubnetMask = 0xFFFFFF00u;
    EXPECT_EQ(Finding(*p), "Invalid Default Gateway IP address: The IP address is empty.");
    p->IP_Settings.Gateway = 0xC0A801FFu;
    EXPECT_EQ(Finding(*p), "Invalid Default Gateway IP address: IP address 192.168.1.255 with a subnet mask of "
                           "255.255.255.0 is the Subnet's broadcast address and cannot be used as a host IP.");
    p->IP_Settings.Gateway = 0xC0A80101u;
    p->IP_Settings.Domain = TdpURIString::From(QStringLiteral("my domain"));
    p->IP_Settings.TFTPSource = tftpssDHCP;
    EXPECT_EQ(Finding(*p), "Invalid Domain: An IP address or a domain name cannot contain spaces.");
    p->IP_Settings.Domain = {};
    EXPECT_EQ(Finding(*p), "TFTP Server IP address can not be obtained from DHCP when DHCP is disabled");
    p->IP_Settings.TFTPSource = tftpssFixed;
    p->Proxy.MainProxy.URI = {};
    EXPECT_EQ(Finding(*p), "Invalid Proxy: Please specify an IP address or a domain name.");
    // DNS and NTP are the phone's business.
    p->Proxy.MainProxy.URI = TdpURIString::From(QStringLiteral("pbx.example.com"));
    p->IP_Settings.DNS = TdpURIString::From(QStringLiteral("?? not checked ??"));
    p->IP_Settings.NTP = TdpURIString::From(QStringLiteral("!!"));
    EXPECT_EQ(Finding(*p), "");
}

TEST_F(Lyn2Profile, InputErrorsComeFirst) {
    auto p = StaticProfile();
    p->IP_Settings.SubnetMask = 0xFF00FF00u;
    QObject setting;
    p->ExternalConflicts().Add(std::make_unique<TDeviceConflict>(dclError, QStringLiteral("MAC address is incomplete"), &setting));
    EXPECT_EQ(Finding(*p), "MAC address is incomplete");
}

class Lyn2Device : public Lyn2Profile {
protected:
    TFakeDevice device;
};

TEST_F(Lyn2Device, BuildsItsProfileProxyOfTheModel) {
    EXPECT_EQ(&TLyn2DeviceProxy::Class().ProfileProxyClass(), &TLyn2ProfileProxy::Class());
    auto proxy = TLyn2DeviceProxy::Class().Create(&device, nullptr, &servant);
    proxy->setProfile(&profile);
    auto &lyn2 = static_cast<TLyn2DeviceProxy &>(*proxy);
    ASSERT_NE(lyn2.ProfileProxy(), nullptr);
    EXPECT_EQ(&lyn2.ProfileProxy()->ClassType(), &TLyn2ProfileProxy::Class());
    EXPECT_EQ(lyn2.ProfileProxy()->DeviceType.Text(), "LYN 2"); // initialised for the check
    EXPECT_TRUE(lyn2.ProfileProxy()->GetsStaticIP());

    // Another model's profile proxy is a programming error.
    proxy = TLyn2DeviceProxy::Class().Create(&device, TLynProfileProxy::Class().Create(&profile, &servant), &servant);
    try {
        static_cast<TLyn2DeviceProxy &>(*proxy).ProfileProxy();
        FAIL();
    } catch (const EAssertionFailed &e) {
        EXPECT_TRUE(e.Message().startsWith("Assertion failure (UI\\AdminUI\\DevicePlugins\\Lyn2\\Lyn2_Proxies, line "));
    }
}

TEST_F(Lyn2Device, ANewDeviceStartsWithTheVendorsMACPrefix) {
    device.MacAddress = {{1, 2, 3, 4, 5, 6}};
    auto proxy = TLyn2DeviceProxy::Class().Create(&device, nullptr, &servant);
    proxy->Initialize({pffCreating}, false);
    auto &lyn2 = static_cast<TLyn2DeviceProxy &>(*proxy);
    EXPECT_EQ(MACToText(lyn2.MacAddress), "00-01-E1-00-00-00");
    EXPECT_EQ(lyn2.Protocol, ptSIP);
    proxy = TLyn2DeviceProxy::Class().Create(&device, nullptr, &servant);
    proxy->Initialize({pffCreating}, true);
    EXPECT_EQ(MACToText(static_cast<TLyn2DeviceProxy &>(*proxy).MacAddress), "01-02-03-04-05-06");
}

TEST(Lyn2Classes, TheFramesNameTheProxies) {
    EXPECT_EQ(TLyn2ProfileProxy::Class().GetDeviceType().Text(), "LYN 2");
    EXPECT_EQ(TLyn2ProfileFrame::Class().GetProfileProxyClass(), &TLyn2ProfileProxy::Class());
    EXPECT_EQ(TLynProfileFrame::Class().GetProfileProxyClass(), &TLynProfileProxy::Class());
    EXPECT_EQ(TPluginProfileFrame::Class().GetProfileProxyClass(), &TProfileProxy::Class());
    EXPECT_TRUE(TLyn2ProfileFrame::Class().InheritsFrom(&TPluginFrame::Class()));
    EXPECT_EQ(TLyn2ProfileFrame::Class().ClassParent(), &TLynProfileFrame::Class());

    const std::pair<const TPluginDeviceFrameClass *, const TDeviceProxyClass *> device[] = {
        {&TPluginDeviceFrame::Class(), &TDeviceProxy::Class()},
        {&TBaseDeviceFrame::Class(), &TBaseDeviceProxy::Class()},
        {&TProfiledDeviceFrame::Class(), &TProfiledDeviceProxy::Class()},
        {&TSIPDeviceFrame::Class(), &TSIPDeviceProxy::Class()},
        {&TLynDeviceFrame::Class(), &TLynDeviceProxy::Class()},
        {&TLyn2DeviceFrame::Class(), &TLyn2DeviceProxy::Class()},
    };
    for (std::size_t k = 0; k < std::size(device); ++k) {
        EXPECT_EQ(device[k].first->GetDeviceProxyClass(), device[k].second) << device[k].first->ClassName().toStdString();
        if (k > 0) {
            EXPECT_EQ(device[k].first->ClassParent(), device[k - 1].first);
            EXPECT_EQ(device[k].second->ClassParent(), device[k - 1].second);
        }
    }
    EXPECT_EQ(TLyn2DeviceFrame::Class().ClassName(), "TLyn2DeviceFrame");
}

} // namespace
