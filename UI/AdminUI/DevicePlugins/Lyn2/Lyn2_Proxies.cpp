#include "Lyn2_Proxies.h"

#include "Lyn2_Schema.h"

#include <type_traits>

namespace {

constexpr const char *UnitPath = "UI\\AdminUI\\DevicePlugins\\Lyn2\\Lyn2_Proxies";

// How each kind of field reads its node and writes it. Integers narrower than
// 32 bits keep the stored value's low bits; enumerations are stored as their ordinal.
template <int N>
void Read(const TZDBDataValue &Node, TShortString<N> *Field) { *Field = TShortString<N>::From(Node.asAnsiString()); }
void Read(const TZDBDataValue &Node, bool *Field) { *Field = Node.asBool(); }
void Read(const TZDBDataValue &Node, uint32_t *Field) { *Field = Node.asCardinal(); }
template <class T>
void Read(const TZDBDataValue &Node, T *Field) { *Field = T(Node.asInt()); }
void Read(const TZDBDataValue &Node, TSwitchedTag Field) { Field.Load(Node.asInt()); }

template <int N>
void Write(TZDBDataValue &Node, const TShortString<N> *Field) { Node.setAsAnsiString(Field->Ansi()); }
void Write(TZDBDataValue &Node, const bool *Field) { Node.setAsBool(*Field); }
void Write(TZDBDataValue &Node, const uint32_t *Field) { Node.setAsCardinal(*Field); }
template <class T>
void Write(TZDBDataValue &Node, const T *Field) { Node.setAsInt(int32_t(*Field)); }
void Write(TZDBDataValue &Node, TSwitchedTag Field) { Node.setAsInt(Field.Stored()); }

// The kind of node each kind of field is stored in, so that the schema's
// kinds are checked against the fields they name.
template <class F>
constexpr TCustomDataKind StoredKind() {
    using T = std::remove_pointer_t<F>;
    if constexpr (std::is_same_v<T, bool>)
        return TCustomDataKind::Boolean;
    else if constexpr (std::is_same_v<T, uint32_t>)
        return TCustomDataKind::Unsigned;
    else if constexpr (std::is_same_v<T, TdpNameString> || std::is_same_v<T, TdpURIString>)
        return TCustomDataKind::Text;
    else
        return TCustomDataKind::Integer;
}
static_assert(std::apply(
    [](const auto &...s) {
        return ((StoredKind<decltype(s.Field(std::declval<TLyn2ProfileProxy &>()))>() == s.Kind) && ...);
    },
    Lyn2Settings));

} // namespace

// TLyn2ProfileProxy

const TProfileProxyClass &TLyn2ProfileProxy::Class() {
    static const TProfileProxyClassOf<TLyn2ProfileProxy> cls("TLyn2ProfileProxy", &TLynProfileProxy::Class());
    return cls;
}

TdpNameString TLyn2ProfileProxy::GetDeviceType(const TProfileProxyClass &) {
    return TdpNameString::From(QStringLiteral("LYN 2"));
}

// Every setting of the schema, in its order.
void TLyn2ProfileProxy::Load() {
    TLynProfileProxy::Load();
    const std::vector<TZDBDataValue *> nodes = Lyn2Schema().Nodes(CustomRoot());
    std::apply([&](const auto &...s) {
        std::size_t i = 0;
        (Read(*nodes[i++], s.Field(*this)), ...);
    }, Lyn2Settings);
}

// Into the fresh tree: exactly the schema's values, in its order.
void TLyn2ProfileProxy::Save() {
    TLynProfileProxy::Save();
    const std::vector<TZDBDataValue *> nodes = Lyn2Schema().Nodes(CustomRoot());
    std::apply([&](const auto &...s) {
        std::size_t i = 0;
        (Write(*nodes[i++], s.Field(*this)), ...);
    }, Lyn2Settings);
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
        if (!IsValidSubnetMask(IP_Settings.SubnetMask))
            AddError(InvalidMessage(QStringLiteral("LAN Subnet mask")), dclError);
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
