#include "Lyn2_Proxies.h"

#include "ZDBDataTree.h"

namespace {

constexpr const char *UnitPath = "UI\\AdminUI\\DevicePlugins\\Lyn2\\Lyn2_Proxies";

// One stored integer carries the VLAN switch and the tag: a switched-off tag
// is stored as its bitwise complement, which is negative.
int32_t EncodeVLANTag(bool Support, int32_t Tag) { return Support ? Tag : ~Tag; }

} // namespace

// TLyn2ProfileProxy

const TProfileProxyClass &TLyn2ProfileProxy::Class() {
    static const TProfileProxyClassOf<TLyn2ProfileProxy> cls("TLyn2ProfileProxy", &TLynProfileProxy::Class());
    return cls;
}

TdpNameString TLyn2ProfileProxy::GetDeviceType(const TProfileProxyClass &) {
    return TdpNameString::From(QStringLiteral("LYN 2"));
}

TZDBDataValue &TLyn2ProfileProxy::Node(const char *Path) const {
    TZDBDataValue *node = fCustomRoot;
    for (const QString &name : QString::fromLatin1(Path).split(QLatin1Char('/')))
        node = node->Fields(name);
    return *node;
}

// The paths, their kinds and their order are those of Lyn2CustomDataPaths.
void TLyn2ProfileProxy::Load() {
    TLynProfileProxy::Load();
    SWVersion = TdpNameString::From(Node("General/SoftwareVersion").asString());
    InterdigitTimeout = Node("General/InterdigitTO").asInt();
    Country = TdpNameString::From(Node("General/Regional/Country").asString());
    TimeZone = Node("General/Regional/Timezone").asInt();
    Adjust4DayLightSavings = Node("General/Regional/DaylightSavings").asBool();
    Allow_G_729 = Node("General/Audio/AllowG729").asBool();
    G_729_Silence_Sup = Node("General/Audio/G729SilenceSuppress").asBool();
    RingTone = uint8_t(Node("General/Audio/RingTone").asInt());
    // The host's paging column is replaced by the model's own setting.
    SupportsPage = Node("General/Paging/EnablePaging").asBool();

    InviteRetrans = Node("SIP/RetransInvite").asInt();
    NonInviteRetrans = Node("SIP/RetransRequest").asInt();
    TransportProtocol = TransportType(Node("SIP/TransportProtocol").asInt());
    ReceivePort = uint16_t(Node("SIP/ReceivePort").asInt());
    Proxy.MainProxySource = ProxySourceEnum(Node("SIP/Proxies/MainProxySource").asInt());
    Proxy.UseBackupProxy = Node("SIP/Proxies/UseBackupProxy").asBool();
    Proxy.MainProxy.URI = TdpURIString::From(Node("SIP/Proxies/MainProxy/Addr").asString());
    Proxy.MainProxy.Port = uint16_t(Node("SIP/Proxies/MainProxy/Port").asInt());
    Proxy.BackupProxy.URI = TdpURIString::From(Node("SIP/Proxies/BackupProxy/Addr").asString());
    Proxy.BackupProxy.Port = uint16_t(Node("SIP/Proxies/BackupProxy/Port").asInt());

    VLAN_Tag = Node("VLAN/VLANtag").asInt();
    VLAN_Support = VLAN_Tag >= 0;
    if (!VLAN_Support)
        VLAN_Tag = ~VLAN_Tag;
    Priority_Tag = Node("VLAN/PriorityTag").asInt();
    Call_Sign_VLAN_Tag = Node("VLAN/CallSignVLANtag").asInt();
    Call_Sign_Priority_Tag = Node("VLAN/CallSignPriorityTag").asInt();
    RTP_VLAN_Tag = Node("VLAN/RTPVLANtag").asInt();
    RTP_Priority_Tag = Node("VLAN/RTPPriorityTag").asInt();

    Call_Sig_DSCP = Node("IPComm/CallSignDSCP").asInt();
    RTP_DSCP = Node("IPComm/RTP_DSCP").asInt();
    DHCP = Node("IPComm/DHCP").asBool();

    IP_Settings.Gateway = Node("IPSettings/Gateway").asCardinal();
    IP_Settings.SubnetMask = Node("IPSettings/SubnetMask").asCardinal();
    IP_Settings.DNS = TdpURIString::From(Node("IPSettings/DNS").asString());
    IP_Settings.SecondaryDNS = TdpURIString::From(Node("IPSettings/SecondaryDNS").asString());
    IP_Settings.NTP = TdpURIString::From(Node("IPSettings/NTP").asString());
    IP_Settings.Domain = TdpURIString::From(Node("IPSettings/Domain").asString());
    IP_Settings.TFTPSource = TFTPServerSource(Node("IPSettings/TFTPFixed").asInt());
    IP_Settings.TFTPAddress = TdpURIString::From(Node("IPSettings/TFTPAddress").asString());
}

void TLyn2ProfileProxy::Save() {
    TLynProfileProxy::Save();
    Node("General/SoftwareVersion").setAsString(SWVersion.Text());
    Node("General/InterdigitTO").setAsInt(InterdigitTimeout);
    Node("General/Regional/Country").setAsString(Country.Text());
    Node("General/Regional/Timezone").setAsInt(TimeZone);
    Node("General/Regional/DaylightSavings").setAsBool(Adjust4DayLightSavings);
    Node("General/Audio/AllowG729").setAsBool(Allow_G_729);
    Node("General/Audio/G729SilenceSuppress").setAsBool(G_729_Silence_Sup);
    Node("General/Audio/RingTone").setAsInt(RingTone);
    Node("General/Paging/EnablePaging").setAsBool(SupportsPage);

    Node("SIP/RetransInvite").setAsInt(InviteRetrans);
    Node("SIP/RetransRequest").setAsInt(NonInviteRetrans);
    Node("SIP/TransportProtocol").setAsInt(TransportProtocol);
    Node("SIP/ReceivePort").setAsInt(ReceivePort);
    Node("SIP/Proxies/MainProxySource").setAsInt(Proxy.MainProxySource);
    Node("SIP/Proxies/UseBackupProxy").setAsBool(Proxy.UseBackupProxy);
    Node("SIP/Proxies/MainProxy/Addr").setAsString(Proxy.MainProxy.URI.Text());
    Node("SIP/Proxies/MainProxy/Port").setAsInt(Proxy.MainProxy.Port);
    Node("SIP/Proxies/BackupProxy/Addr").setAsString(Proxy.BackupProxy.URI.Text());
    Node("SIP/Proxies/BackupProxy/Port").setAsInt(Proxy.BackupProxy.Port);

    Node("VLAN/VLANtag").setAsInt(EncodeVLANTag(VLAN_Support, VLAN_Tag));
    Node("VLAN/PriorityTag").setAsInt(Priority_Tag);
    Node("VLAN/CallSignVLANtag").setAsInt(Call_Sign_VLAN_Tag);
    Node("VLAN/CallSignPriorityTag").setAsInt(Call_Sign_Priority_Tag);
    Node("VLAN/RTPVLANtag").setAsInt(RTP_VLAN_Tag);
    Node("VLAN/RTPPriorityTag").setAsInt(RTP_Priority_Tag);

    Node("IPComm/CallSignDSCP").setAsInt(Call_Sig_DSCP);
    Node("IPComm/RTP_DSCP").setAsInt(RTP_DSCP);
    Node("IPComm/DHCP").setAsBool(DHCP);

    Node("IPSettings/Gateway").setAsCardinal(IP_Settings.Gateway);
    Node("IPSettings/SubnetMask").setAsCardinal(IP_Settings.SubnetMask);
    Node("IPSettings/DNS").setAsString(IP_Settings.DNS.Text());
    Node("IPSettings/SecondaryDNS").setAsString(IP_Settings.SecondaryDNS.Text());
    Node("IPSettings/NTP").setAsString(IP_Settings.NTP.Text());
    Node("IPSettings/Domain").setAsString(IP_Settings.Domain.Text());
    Node("IPSettings/TFTPFixed").setAsInt(IP_Settings.TFTPSource);
    Node("IPSettings/TFTPAddress").setAsString(IP_Settings.TFTPAddress.Text());
}

// Whatever the host stored, these are what a LYN 2 is.
void TLyn2ProfileProxy::InitializeFixed() {
    TLynProfileProxy::InitializeFixed();
    Codecs = 15;
    NumberOfLines = 2;
    HasAnalogLine = false;
    SupportsConferences = false;
    SendsSIPRegister = true;
    UnsolicitedMWI = false;
    SupportsEarlyMedia = true;
    SupportsAssertedIdentity = false;
    DisplayType = devdtNone;
    SupportsIM = false;
    PrefixExtCalls = false;
    SupportsSIPBasedUpdate = true;
}

void TLyn2ProfileProxy::InitializeDefaults() {
    TLynProfileProxy::InitializeDefaults();
    SyslogIfNotRegistered = false;
    AllowLocationSpecOnPhone = false;
    SupportsPage = true;
    SWVersion = {};
    InterdigitTimeout = 2200;
    Country = TdpNameString::From(QLatin1String(CountryTable[0].Code));
    TimeZone = TimeZoneTable[4].Offset;
    Adjust4DayLightSavings = true;
    Allow_G_729 = true;
    G_729_Silence_Sup = false;
    RingTone = 1;
    TransportProtocol = UDP;
    ReceivePort = 5060;
    Proxy = TSIPProxy{prsExternalAddress, TEndPoint{{}, 5060}, false, TEndPoint{{}, 5060}};
    InviteRetrans = 4;
    NonInviteRetrans = 4;
    Call_Sig_DSCP = 4;
    RTP_DSCP = 10;
    IP_Settings = TIPSettings{0, 0xFFFFFF00u, {}, {}, {}, {}, tftpssDHCP, {}};
    DHCP = true;
    VLAN_Support = false;
    uintptr_t sipPort = 0;
    Proxy.MainProxy.Port = GetServantValue(Servant(), svSIPPort, 0, sipPort) ? uint16_t(sipPort) : 0;
    IP_Settings.NTP = Proxy.MainProxy.URI;
}

void TLyn2ProfileProxy::DoValidate() {
    TLynProfileProxy::DoValidate();
    if (!DHCP) {
        Check(!IsValidSubnetMask(IP_Settings.SubnetMask), InvalidMessage(QStringLiteral("LAN Subnet mask")), dclError);
        Helper().CheckHostIP(IP_Settings.Gateway, IP_Settings.SubnetMask, QStringLiteral("Default Gateway IP address"),
                             ipMandatory);
        if (IP_Settings.Domain.Length > 0)
            Helper().CheckHostName(IP_Settings.Domain.Text(), QStringLiteral("Domain"), ipMandatory);
    }
    Helper().CheckTFTPSettings(IP_Settings, DHCP, false);
    Helper().CheckProxy(Proxy);
}

// TLyn2DeviceProxy

const TDeviceProxyClass &TLyn2DeviceProxy::Class() {
    static const TDeviceProxyClassOf<TLyn2DeviceProxy> cls("TLyn2DeviceProxy", &TLynDeviceProxy::Class());
    return cls;
}

const TBasicProfileProxyClass &TLyn2DeviceProxy::DeviceProfileProxyClass() { return TLyn2ProfileProxy::Class(); }

TLyn2ProfileProxy *TLyn2DeviceProxy::ProfileProxy() const {
    TLynProfileProxy *proxy = TLynDeviceProxy::ProfileProxy();
    Assert(!proxy || proxy->InheritsFrom(TLyn2ProfileProxy::Class()), UnitPath, __LINE__);
    return static_cast<TLyn2ProfileProxy *>(proxy);
}

void TLyn2DeviceProxy::InitializeDefaults() {
    TLynDeviceProxy::InitializeDefaults();
    MacAddress = TextToMAC(QStringLiteral("00-01-E1-00-00-00"));
}
