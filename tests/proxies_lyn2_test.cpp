// The LYN 2 model: its custom-data schema, defaults, fixed values, the VLAN
// sign encoding, its checks and its device proxy.

#include "FakeHost.h"
#include "Lyn2_Proxies.h"
#include "Lyn2_Schema.h"

#include <QRegularExpression>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using TPaths = std::vector<std::pair<std::string, TCustomDataKind>>;

// Stored custom data as (path, kind) in order, read from the host library's
// canonical text: siblings separated by one space, "name=value" or
// "name{...}", strings quoted with backslash escapes, unsigned numbers ending in 'u'.
TPaths StoredPaths(const AnsiString &Text) {
    static const QRegularExpression token(
        QStringLiteral(R"( ?(?:(\w+)=(?:("(?:[^"\\]|\\.)*")|(true|false)|-?\d+(u?))|(\w+)\{|\}))"));
    const QString text = QString::fromLatin1(Text);
    TPaths out;
    QStringList nodes;
    qsizetype at = 0;
    for (const QRegularExpressionMatch &m : token.globalMatch(text)) {
        EXPECT_EQ(m.capturedStart(), at) << "unread text: " << Text.substr(std::size_t(at));
        at = m.capturedEnd();
        if (m.hasCaptured(5))
            nodes.append(m.captured(5));
        else if (!m.hasCaptured(1))
            nodes.removeLast();
        else
            out.emplace_back((nodes + QStringList{m.captured(1)}).join(QLatin1Char('/')).toStdString(),
                             m.hasCaptured(2)       ? TCustomDataKind::Text
                             : m.hasCaptured(3)     ? TCustomDataKind::Boolean
                             : m.captured(4) == "u" ? TCustomDataKind::Unsigned
                                                    : TCustomDataKind::Integer);
    }
    EXPECT_EQ(at, text.size()) << "unread text: " << Text.substr(std::size_t(at));
    return out;
}

// The paths the host reads, in order.
TPaths Schema() {
    TPaths schema;
    for (const TCustomDataPath &p : Lyn2CustomDataPaths)
        schema.emplace_back(p.Path, p.Kind);
    return schema;
}

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
    std::string Finding(TLyn2ProfileProxy &proxy) {
        const TDeviceConflictLevel level = proxy.Validate();
        EXPECT_EQ(level, proxy.Conflict().Message.empty() ? dclNone : dclError);
        return proxy.Conflict().Message;
    }

    TFakeProfile profile;
    TFakeServant servant;
};

TEST_F(Lyn2Profile, EveryPathLoadsAndSavesBackAndNothingElse) {
    EXPECT_EQ(StoredPaths(AllSettings), Schema());
    profile.CustomData = std::string("Legacy{Kept=1} ") + AllSettings;
    auto p = Build();
    EXPECT_TRUE(p->CustomLoaded());
    EXPECT_EQ(std::tuple(p->SWVersion.Text(), p->InterdigitTimeout, p->Country.Text(), p->TimeZone,
                         p->Adjust4DayLightSavings, p->Allow_G_729, p->G_729_Silence_Sup, p->RingTone, p->SupportsPage),
              std::tuple(QStringLiteral("2.3.1"), 3000, QStringLiteral("UK"), 60, false, false, true, 7, false));
    EXPECT_EQ(std::tuple(p->InviteRetrans, p->NonInviteRetrans, p->TransportProtocol, p->ReceivePort),
              std::tuple(7, 9, TLS, 5070));
    EXPECT_EQ(std::tuple(p->Proxy.MainProxySource, p->Proxy.UseBackupProxy, p->Proxy.MainProxy.URI.Text(),
                         p->Proxy.MainProxy.Port, p->Proxy.BackupProxy.URI.Text(), p->Proxy.BackupProxy.Port),
              std::tuple(prsSpecifiedAddress, true, QStringLiteral("pbx.example.com"), 5080, QStringLiteral("10.0.0.9"),
                         5090));
    EXPECT_EQ(std::tuple(p->VLAN_Support, p->VLAN_Tag, p->Priority_Tag, p->Call_Sign_VLAN_Tag,
                         p->Call_Sign_Priority_Tag, p->RTP_VLAN_Tag, p->RTP_Priority_Tag),
              std::tuple(true, 100, 5, 200, 6, 300, 7));
    EXPECT_EQ(std::tuple(p->Call_Sig_DSCP, p->RTP_DSCP, p->DHCP, p->GetsStaticIP()), std::tuple(46, 34, false, true));
    const TIPSettings &ip = p->IP_Settings;
    EXPECT_EQ(std::tuple(ip.Gateway, ip.SubnetMask, ip.DNS.Text(), ip.SecondaryDNS.Text(), ip.NTP.Text(),
                         ip.Domain.Text(), ip.TFTPSource, ip.TFTPAddress.Text()),
              std::tuple(0xC0A80101u, 0xFFFFFF00u, QStringLiteral("192.168.1.2"), QStringLiteral("192.168.1.3"),
                         QStringLiteral("ntp.example.com"), QStringLiteral("example.com"), tftpssFixed,
                         QStringLiteral("192.168.1.10")));
    EXPECT_EQ(Finding(*p), "");

    p->FlushChanges();
    EXPECT_EQ(profile.CustomData, AllSettings); // every value, kind and place as it was; nothing else
    EXPECT_EQ(std::tuple(profile.GetsStaticIP, profile.IsDHCPServer, profile.SupportsPage),
              std::tuple(true, false, false));
}

TEST_F(Lyn2Profile, ANewProfileStartsFromTheDefaults) {
    servant.Values[svSIPPort] = 5062;
    servant.SetRedundancy(2, 1, {{2, "10.0.0.6"}});
    profile.SyslogIfNotRegistered = profile.AllowLocationSpecOnPhone = true;
    profile.CustomData = R"(VLAN{PriorityTag=5} General{Unknown="x"})";
    auto p = Build({pffCreating}, false);
    EXPECT_EQ(std::tuple(p->SyslogIfNotRegistered, p->AllowLocationSpecOnPhone, p->SupportsPage, p->FailoverNodeId,
                         p->FailoverSIPIP),
              std::tuple(false, false, true, 0, QStringLiteral("10.0.0.6")));
    EXPECT_EQ(Finding(*p), "");

    // The main proxy's port is the system's SIP port, the VLAN switched off, PriorityTag as loaded.
    p->FlushChanges();
    EXPECT_EQ(
        profile.CustomData,
        R"(General{SoftwareVersion="" InterdigitTO=2200 Regional{Country="USA" Timezone=-480 DaylightSavings=true})"
        R"( Audio{AllowG729=true G729SilenceSuppress=false RingTone=1} Paging{EnablePaging=true}})"
        R"( SIP{RetransInvite=4 RetransRequest=4 TransportProtocol=2 ReceivePort=5060 Proxies{MainProxySource=0)"
        R"( UseBackupProxy=false MainProxy{Addr="" Port=5062} BackupProxy{Addr="" Port=5060}}})"
        R"( VLAN{VLANtag=-1 PriorityTag=5 CallSignVLANtag=0 CallSignPriorityTag=0 RTPVLANtag=0 RTPPriorityTag=0})"
        R"( IPComm{CallSignDSCP=4 RTP_DSCP=10 DHCP=true})"
        R"( IPSettings{Gateway=0u SubnetMask=4294967040u DNS="" SecondaryDNS="" NTP="" Domain="" TFTPFixed=0)"
        R"( TFTPAddress=""})");
    EXPECT_EQ(servant.Outstanding(), 0);
}

TEST_F(Lyn2Profile, WithoutAnAnsweringHostTheMainProxyPortIsZero) {
    EXPECT_EQ(Build({pffCreating}, false)->Proxy.MainProxy.Port, 0);
    // Forced: the loaded values stand.
    profile.CustomData = "General{InterdigitTO=900}";
    auto p = Build({pffCreating}, true);
    EXPECT_EQ(std::pair(p->InterdigitTimeout, p->DHCP), std::pair(900, false));
}

TEST_F(Lyn2Profile, FixedValuesOverwriteWhatTheHostStored) {
    profile.DeviceType = TdpNameString::From(QStringLiteral("LYN 3"));
    profile.Codecs = 3;
    profile.NumberOfLines = 4;
    profile.DisplayType = devdtAlphanum;
    profile.HasAnalogLine = profile.SupportsConferences = profile.UnsolicitedMWI = true;
    profile.SupportsAssertedIdentity = profile.SupportsIM = profile.PrefixExtCalls = true;
    profile.SendsSIPRegister = profile.SupportsEarlyMedia = profile.SupportsSIPBasedUpdate = false;
    profile.AllowLocationSpecOnPhone = true;
    profile.CustomData = "General{Paging{EnablePaging=true}}";
    Build()->FlushChanges();
    EXPECT_EQ(std::tuple(profile.DeviceType.Text(), profile.Codecs, profile.NumberOfLines, profile.DisplayType),
              std::tuple(QStringLiteral("LYN 2"), 15, 2, devdtNone));
    EXPECT_EQ(std::vector<bool>({profile.HasAnalogLine, profile.SupportsConferences, profile.UnsolicitedMWI,
                                 profile.SupportsAssertedIdentity, profile.SupportsIM, profile.PrefixExtCalls}),
              std::vector<bool>(6, false));
    EXPECT_TRUE(profile.SendsSIPRegister && profile.SupportsEarlyMedia && profile.SupportsSIPBasedUpdate);
    // Not fixed: paging comes from the custom data, location as stored; no DHCP stored.
    EXPECT_TRUE(profile.SupportsPage && profile.AllowLocationSpecOnPhone && profile.GetsStaticIP);
}

TEST_F(Lyn2Profile, VLANSwitchInTheSignOfTheTag) {
    const struct {
        int32_t stored;
        bool support;
        int32_t tag, toggled; // stored once the switch is flipped
    } rows[] = {{-5, false, 4, 4}, {-1, false, 0, 0}, {-101, false, 100, 100}, {4, true, 4, -5}, {0, true, 0, -1}};
    for (const auto &row : rows) {
        // The other VLAN values are stored as they are.
        profile.CustomData = "VLAN{VLANtag=" + std::to_string(row.stored) + " PriorityTag=-2}";
        auto p = Build();
        EXPECT_EQ(std::tuple(p->VLAN_Support, p->VLAN_Tag, p->Priority_Tag), std::tuple(row.support, row.tag, -2))
            << row.stored;
        p->FlushChanges();
        EXPECT_THAT(profile.CustomData,
                    ::testing::HasSubstr("VLAN{VLANtag=" + std::to_string(row.stored) + " PriorityTag=-2 "));
        p->VLAN_Support = !p->VLAN_Support;
        p->FlushChanges();
        EXPECT_THAT(profile.CustomData, ::testing::HasSubstr("VLAN{VLANtag=" + std::to_string(row.toggled) + " "));
    }
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
        EXPECT_EQ(std::tuple(p->InterdigitTimeout, p->Country.Text(), p->DHCP, p->SupportsPage),
                  std::tuple(0, QString(), false, false));
        EXPECT_TRUE(p->VLAN_Support); // a stored 0 is a switched-on tag 0
        p->FlushChanges();
        EXPECT_EQ(StoredPaths(profile.CustomData), Schema());
    }
}

TEST_F(Lyn2Profile, ChecksInOrder) {
    profile.CustomData = AllSettings; // valid, with static addresses
    auto p = Build();
    p->IP_Settings.SubnetMask = 0xFF00FF00u;
    p->IP_Settings.Gateway = 0;
    QObject setting;
    p->ExternalConflicts().Add(
        std::make_unique<TDeviceConflict>(dclError, QStringLiteral("MAC address is incomplete"), &setting));
    EXPECT_EQ(Finding(*p), "MAC address is incomplete"); // input errors come first
    p->ExternalConflicts().Clear();
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
    // With DHCP the LAN settings are not checked.
    p->DHCP = true;
    p->IP_Settings.Gateway = p->IP_Settings.SubnetMask = 0;
    p->IP_Settings.Domain = TdpURIString::From(QStringLiteral("not a domain"));
    EXPECT_EQ(Finding(*p), "");
}

class Lyn2Device : public Lyn2Profile {
protected:
    std::unique_ptr<TLyn2DeviceProxy> Device(std::unique_ptr<TBasicProfileProxy> profileProxy = nullptr) {
        auto proxy = TLyn2DeviceProxy::Class().Create(&device, std::move(profileProxy), &servant);
        return std::unique_ptr<TLyn2DeviceProxy>(static_cast<TLyn2DeviceProxy *>(proxy.release()));
    }

    TFakeDevice device;
};

TEST_F(Lyn2Device, BuildsItsProfileProxyOfTheModel) {
    auto proxy = Device();
    proxy->setProfile(&profile);
    ASSERT_NE(proxy->ProfileProxy(), nullptr);
    EXPECT_EQ(&proxy->ProfileProxy()->ClassType(), &TLyn2ProfileProxy::Class());
    EXPECT_EQ(proxy->ProfileProxy()->DeviceType.Text(), "LYN 2"); // initialised for the check
    EXPECT_TRUE(proxy->ProfileProxy()->GetsStaticIP());

    // Another model's profile proxy is a programming error.
    proxy = Device(TLynProfileProxy::Class().Create(&profile, &servant));
    EXPECT_THAT(AssertionOf([&] { proxy->ProfileProxy(); }),
                ::testing::StartsWith("Assertion failure (UI\\AdminUI\\DevicePlugins\\Lyn2\\Lyn2_Proxies, line "));
}

TEST_F(Lyn2Device, ANewDeviceStartsWithTheVendorsMACPrefix) {
    device.MacAddress = {{1, 2, 3, 4, 5, 6}};
    auto proxy = Device();
    proxy->Initialize({pffCreating}, false);
    EXPECT_EQ(MACToText(proxy->MacAddress), "00-01-E1-00-00-00");
    EXPECT_EQ(proxy->Protocol, ptSIP);
    proxy = Device();
    proxy->Initialize({pffCreating}, true);
    EXPECT_EQ(MACToText(proxy->MacAddress), "01-02-03-04-05-06");
}

// A device has no custom settings: what it stored is dropped, and saving
// writes the empty tree, whether the stored text parsed or not.
TEST_F(Lyn2Device, SavingStoresAnEmptyCustomTree) {
    for (const char *stored : {R"(Old{Kept=1})", R"(Old{Kept=)", ""}) {
        device.CustomData = stored;
        auto proxy = Device();
        EXPECT_EQ(proxy->CustomLoaded(), std::string(stored) != R"(Old{Kept=)") << stored;
        proxy->FlushChanges();
        EXPECT_EQ(device.CustomData, "") << stored;
    }
}

} // namespace
