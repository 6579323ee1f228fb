// The LYN models' proxies: the family's check helper and composite checks,
// device identity (the device ID, meta-device, MAC and LAN IP rules, the MAC
// text forms), and the LYN 2 model's custom-data schema, defaults, fixed
// values, VLAN sign encoding, checks and device proxy.

#include "FakeHost.h"
#include "Lyn2_Proxies.h"
#include "Lyn_Proxies.h"
#include "SIP_DeviceFrame.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

namespace {

// A family profile proxy whose checks the test scripts.
class TLynChecks : public TLynProfileProxy {
public:
    static const TProfileProxyClass &Class() {
        static const TProfileProxyClassOf<TLynChecks> cls("TLynChecks", &TLynProfileProxy::Class());
        return cls;
    }
    const TProfileProxyClass &ClassType() const override { return Class(); }

    std::function<void(TLynProxyHelper &)> Checks;

protected:
    using TLynProfileProxy::TLynProfileProxy;
    void DoValidate() override { Checks(Helper()); }
};

class LynHelper : public ::testing::Test {
protected:
    std::string Run(std::function<void(TLynProxyHelper &)> checks, int32_t failoverNode = 0) {
        auto proxy = TLynChecks::Class().Create(&profile, &servant);
        auto &lyn = static_cast<TLynChecks &>(*proxy);
        lyn.Checks = std::move(checks);
        lyn.FailoverNodeId = failoverNode;
        lyn.Validate();
        return lyn.Conflict().Message;
    }

    TFakeProfile profile;
    TFakeServant servant;
};

TEST_F(LynHelper, ProxyChecksFollowTheSource) {
    TSIPProxy proxy;
    const auto check = [&] { return Run([&](TLynProxyHelper &h) { h.CheckProxy(proxy); }); };
    const auto endPoint = [](const char *uri, uint16_t port) {
        return TEndPoint{TdpURIString::From(QLatin1String(uri)), port};
    };
    proxy.MainProxy = endPoint("not a host!", 0);
    EXPECT_EQ(check(), ""); // the system's own address
    proxy.MainProxySource = prsDomain;
    EXPECT_EQ(check(), "");

    proxy.MainProxySource = prsSpecifiedAddress;
    proxy.MainProxy = endPoint("", 5060);
    EXPECT_EQ(check(), "Invalid Proxy: Please specify an IP address or a domain name.");
    proxy.MainProxy = endPoint("pbx.example.com", 0); // the port is not checked
    proxy.UseBackupProxy = true;
    proxy.BackupProxy = endPoint("backup pbx", 5060);
    EXPECT_EQ(check(), "Invalid Backup proxy: An IP address or a domain name cannot contain spaces.");
    proxy.BackupProxy = endPoint("10.0.0.9", 5060);
    EXPECT_EQ(check(), "");
}

TEST_F(LynHelper, TFTPServer) {
    const auto tftp = [&](TFTPServerSource source, const char *address, bool dhcp, bool fqdn) {
        TIPSettings s;
        s.TFTPSource = source;
        s.TFTPAddress = TdpURIString::From(QLatin1String(address));
        return Run([&](TLynProxyHelper &h) { h.CheckTFTPSettings(s, dhcp, fqdn); });
    };
    EXPECT_EQ(tftp(tftpssDHCP, "", true, false), "");
    EXPECT_EQ(tftp(tftpssDHCP, "", false, false),
              "TFTP Server IP address can not be obtained from DHCP when DHCP is disabled");
    EXPECT_EQ(tftp(tftpssDHCP, "", false, true),
              "TFTP Server address can not be obtained from DHCP when DHCP is disabled");
    EXPECT_EQ(tftp(tftpssVQIP, "", false, false), "");
    EXPECT_EQ(tftp(tftpssFixed, "0.0.0.0", true, false), "Fixed TFTP Server IP address can not be blank or 0.0.0.0");
    EXPECT_EQ(tftp(tftpssFixed, "", true, true), "Fixed TFTP Server address can not be blank or 0.0.0.0");
    // A host name is refused by the conversion, which yields 255.255.255.255.
    EXPECT_EQ(tftp(tftpssFixed, "tftp.example.com", true, false),
              "Invalid Fixed TFTP Server IP address: IP address 255.255.255.255 belongs to the 240.0.0.0/4 block, "
              "which is reserved for future use and cannot be used as a host IP.");
    EXPECT_EQ(tftp(tftpssFixed, "tftp.example.com", true, true), "");
    EXPECT_EQ(tftp(tftpssFixed, "tftp example", true, true),
              "Invalid Fixed TFTP Server address: An IP address or a domain name cannot contain spaces.");
    EXPECT_EQ(tftp(tftpssFixed, "10.0.0.5", false, false), "");
}

TEST_F(LynHelper, Failover) {
    EXPECT_EQ(Run([](TLynProxyHelper &h) { h.CheckFailover(); }, -1), "Please, specify Failover VQnode");
    EXPECT_EQ(Run([](TLynProxyHelper &h) { h.CheckFailover(); }, 0), "");
}

class Identity : public ::testing::Test {
protected:
    void SetUp() override {
        device.UniqueID = TdpNameString::From(QStringLiteral("0001E1000001"));
        device.MacAddress = {{0x00, 0x01, 0xE1, 0x00, 0x00, 0x01}};
    }
    // A device proxy of the given level over `device`, with a LYN 2 profile
    // that uses DHCP or has static addresses.
    std::unique_ptr<TProfiledBasicDeviceProxy> Build(const TDeviceProxyClass &cls, bool dhcp,
                                                     TPluginFrameFlags flags = {}) {
        profile.CustomData = dhcp ? "IPComm{DHCP=true}" : "IPComm{DHCP=false}";
        auto proxy = cls.Create(&device, TLyn2ProfileProxy::Class().Create(&profile, &servant), &servant);
        proxy->Initialize(flags, true);
        return proxy;
    }

    TFakeDevice device;
    TFakeProfile profile;
    TFakeServant servant;
};

TEST_F(Identity, DeviceIDMACAndLANAddressRules) {
    const TDeviceProxyClass &base = TBaseDeviceProxy::Class(), &profiled = TProfiledDeviceProxy::Class(),
                            &sip = TSIPDeviceProxy::Class();
    const TdpMACAddress mac = device.MacAddress;
    const TIPAddressRec none{};
    const char *const meta = "Device ID equals to one of meta devices";
    const char *const noLANIP = "Invalid LAN IP address";
    const struct {
        const TDeviceProxyClass &cls;
        const char *id;
        bool hasMAC, dhcp, range;
        TIPAddressRec ip;
        const char *message;
    } rows[] = {
        {base, "virtual", true, true, false, none, meta},
        {base, "Home", true, true, false, none, ""},
        {base, "virtual", true, true, true, none, ""}, // a prefix may be anything the characters allow
        {base, "A-z_0.9~!'()*", true, true, false, none, ""},
        {base, "desk 12", true, true, false, none, "Invalid character \" \" in Device ID"},
        {base, "desk 12", true, true, true, none, "Invalid character \" \" in Device Prefix"},
        {base, "caf\u00E9", true, true, false, none, "Invalid character \"\xE9\" in Device ID"},
        // Above code 255 nothing is allowed, whatever its low byte ('A' here).
        {base, "\u0141x", true, true, false, none, "Invalid character \"?\" in Device ID"},
        {base, "", true, true, false, none, "Device ID is empty"},
        {base, "", true, true, true, none, ""},
        {sip, "", false, true, false, none, "Device ID is empty"}, // the ID comes before the MAC address
        {sip, "d1", false, true, false, none, "Invalid MAC address"},
        {profiled, "d1", false, true, false, none, ""}, // the levels below know nothing of MAC addresses
        {sip, "d1", true, true, false, none, ""},
        {sip, "d1", true, false, false, none, noLANIP},
        {sip, "d1", true, false, true, none, ""},
        {sip, "d1", true, false, false, TIPAddressRec{4, {}}, noLANIP}, // all zero counts as empty
        {sip, "d1", true, false, false, IPv4Rec("10.0.0.20"), ""},
        {sip, "d1", true, false, false, IPv4Rec("224.0.0.1"),
         "Invalid LAN IP address: IP address 224.0.0.1 belongs to the 224.0.0.0/4 block, which is reserved for "
         "multicast and cannot be used as a host IP."},
    };
    for (const auto &row : rows) {
        device.UniqueID = TdpNameString::From(QString::fromUtf8(row.id));
        device.MacAddress = row.hasMAC ? mac : EmptyMACAddress;
        device.AssignedIP = row.ip;
        auto proxy = Build(row.cls, row.dhcp, row.range ? TPluginFrameFlags{pffRange} : TPluginFrameFlags{});
        const TDeviceConflictLevel level = proxy->Validate();
        EXPECT_EQ(std::pair(level, proxy->Conflict().Message),
                  std::pair(*row.message ? dclError : dclNone, std::string(row.message)))
            << row.cls.ClassName().toStdString() << " " << row.id << (row.range ? " (range)" : "");
    }
}

TEST(MACText, Forms) {
    const TdpMACAddress mac{{0x00, 0x0A, 0xFF, 0x12, 0x34, 0x56}};
    EXPECT_EQ(MACToText(mac), "00-0A-FF-12-34-56");
    EXPECT_EQ(MACToHex(mac), "000AFF123456");
    EXPECT_EQ(MACToText(EmptyMACAddress), "00-00-00-00-00-00");
    EXPECT_EQ(TextToMAC(QStringLiteral("00-0a-ff-12-34-56")), mac);
    EXPECT_EQ(TextToMAC(QStringLiteral("00:0A:FF:12:34:56")), mac); // separators are not looked at
    // Pairs are read at fixed places, so compact text must be normalised first.
    EXPECT_EQ(TextToMAC(QStringLiteral("000AFF123456")), (TdpMACAddress{{0x00, 0xAF, 0x12, 0x45, 0x00, 0x00}}));
    EXPECT_EQ(TextToMAC(QStringLiteral("00-0A-F")), (TdpMACAddress{{0x00, 0x0A, 0x0F, 0, 0, 0}}));
    EXPECT_EQ(TextToMAC(QStringLiteral("00-ZZ-FF")), (TdpMACAddress{{0x00, 0x00, 0xFF, 0, 0, 0}}));
    EXPECT_EQ(TextToMAC(QString()), EmptyMACAddress);
    EXPECT_EQ(NormalizeMACText(QStringLiteral("00-0a-ff-12-34-56")), "000AFF123456");
    EXPECT_TRUE(SameMAC(mac, TextToMAC(MACToText(mac))));
    EXPECT_FALSE(SameMAC(mac, EmptyMACAddress));
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
    profile.CustomData = std::string("Legacy{Kept=1} ") + AllSettings;
    // Which control edits which path is the wrappers' test; here every kind
    // reads and writes back unchanged.
    auto p = Build();
    EXPECT_TRUE(p->CustomLoaded());
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
    p->IP_Settings.Domain = TdpURIString::From(QStringLiteral("!")); // however short
    p->IP_Settings.TFTPSource = tftpssDHCP;
    EXPECT_EQ(Finding(*p), "Invalid Domain: \"!\" is not a well-formed domain name.");
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
    std::unique_ptr<TLyn2DeviceProxy> Device() {
        auto proxy = TLyn2DeviceProxy::Class().Create(&device, nullptr, &servant);
        return std::unique_ptr<TLyn2DeviceProxy>(static_cast<TLyn2DeviceProxy *>(proxy.release()));
    }

    TFakeDevice device;
};

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
