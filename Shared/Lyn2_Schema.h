#pragma once
// The LYN 2 profile's custom data: every setting the profile stores, in load
// and save order, with the kind of value its node holds and the profile
// proxy's field that holds it. The profile proxy loads and saves exactly these
// values; the host names them when it imports and exports sites.

#include "CustomDataSchema.h"

#include <array>
#include <tuple>

// A switch and a tag kept in one stored integer: a switched-off tag is stored
// as its bitwise complement, which is negative (a switched-off 0 is -1).
struct TSwitchedTag {
    bool *Switch;
    int32_t *Tag;

    int32_t Stored() const { return *Switch ? *Tag : ~*Tag; }
    void Load(int32_t Stored) const {
        *Switch = Stored >= 0;
        *Tag = *Switch ? Stored : ~Stored;
    }
};

// Field(proxy) points to the setting's field of the profile proxy (or is a
// TSwitchedTag over two). It is generic, so that only code that has the
// profile proxy instantiates it.
template <class F>
struct TLyn2Setting {
    const char *Path; // node names from the root, joined by '/'
    TCustomDataKind Kind;
    F Field;
};
// Spelt out for compilers without class template argument deduction for aggregates.
template <class F>
TLyn2Setting(const char *, TCustomDataKind, F) -> TLyn2Setting<F>;

inline constexpr auto Lyn2Settings = [] {
    using enum TCustomDataKind;
    return std::tuple{
        TLyn2Setting{"General/SoftwareVersion", Text, [](auto &p) { return &p.SWVersion; }},
        TLyn2Setting{"General/InterdigitTO", Integer, [](auto &p) { return &p.InterdigitTimeout; }},
        TLyn2Setting{"General/Regional/Country", Text, [](auto &p) { return &p.Country; }},
        TLyn2Setting{"General/Regional/Timezone", Integer, [](auto &p) { return &p.TimeZone; }},
        TLyn2Setting{"General/Regional/DaylightSavings", Boolean, [](auto &p) { return &p.Adjust4DayLightSavings; }},
        TLyn2Setting{"General/Audio/AllowG729", Boolean, [](auto &p) { return &p.Allow_G_729; }},
        TLyn2Setting{"General/Audio/G729SilenceSuppress", Boolean, [](auto &p) { return &p.G_729_Silence_Sup; }},
        TLyn2Setting{"General/Audio/RingTone", Integer, [](auto &p) { return &p.RingTone; }},
        // Replaces the host's paging field on load.
        TLyn2Setting{"General/Paging/EnablePaging", Boolean, [](auto &p) { return &p.SupportsPage; }},
        TLyn2Setting{"SIP/RetransInvite", Integer, [](auto &p) { return &p.InviteRetrans; }},
        TLyn2Setting{"SIP/RetransRequest", Integer, [](auto &p) { return &p.NonInviteRetrans; }},
        TLyn2Setting{"SIP/TransportProtocol", Integer, [](auto &p) { return &p.TransportProtocol; }},
        TLyn2Setting{"SIP/ReceivePort", Integer, [](auto &p) { return &p.ReceivePort; }},
        TLyn2Setting{"SIP/Proxies/MainProxySource", Integer, [](auto &p) { return &p.Proxy.MainProxySource; }},
        TLyn2Setting{"SIP/Proxies/UseBackupProxy", Boolean, [](auto &p) { return &p.Proxy.UseBackupProxy; }},
        TLyn2Setting{"SIP/Proxies/MainProxy/Addr", Text, [](auto &p) { return &p.Proxy.MainProxy.URI; }},
        TLyn2Setting{"SIP/Proxies/MainProxy/Port", Integer, [](auto &p) { return &p.Proxy.MainProxy.Port; }},
        TLyn2Setting{"SIP/Proxies/BackupProxy/Addr", Text, [](auto &p) { return &p.Proxy.BackupProxy.URI; }},
        TLyn2Setting{"SIP/Proxies/BackupProxy/Port", Integer, [](auto &p) { return &p.Proxy.BackupProxy.Port; }},
        TLyn2Setting{"VLAN/VLANtag", Integer, [](auto &p) { return TSwitchedTag{&p.VLAN_Support, &p.VLAN_Tag}; }},
        TLyn2Setting{"VLAN/PriorityTag", Integer, [](auto &p) { return &p.Priority_Tag; }},
        TLyn2Setting{"VLAN/CallSignVLANtag", Integer, [](auto &p) { return &p.Call_Sign_VLAN_Tag; }},
        TLyn2Setting{"VLAN/CallSignPriorityTag", Integer, [](auto &p) { return &p.Call_Sign_Priority_Tag; }},
        TLyn2Setting{"VLAN/RTPVLANtag", Integer, [](auto &p) { return &p.RTP_VLAN_Tag; }},
        TLyn2Setting{"VLAN/RTPPriorityTag", Integer, [](auto &p) { return &p.RTP_Priority_Tag; }},
        TLyn2Setting{"IPComm/CallSignDSCP", Integer, [](auto &p) { return &p.Call_Sig_DSCP; }},
        TLyn2Setting{"IPComm/RTP_DSCP", Integer, [](auto &p) { return &p.RTP_DSCP; }},
        TLyn2Setting{"IPComm/DHCP", Boolean, [](auto &p) { return &p.DHCP; }},
        TLyn2Setting{"IPSettings/Gateway", Unsigned, [](auto &p) { return &p.IP_Settings.Gateway; }},
        TLyn2Setting{"IPSettings/SubnetMask", Unsigned, [](auto &p) { return &p.IP_Settings.SubnetMask; }},
        TLyn2Setting{"IPSettings/DNS", Text, [](auto &p) { return &p.IP_Settings.DNS; }},
        TLyn2Setting{"IPSettings/SecondaryDNS", Text, [](auto &p) { return &p.IP_Settings.SecondaryDNS; }},
        TLyn2Setting{"IPSettings/NTP", Text, [](auto &p) { return &p.IP_Settings.NTP; }},
        TLyn2Setting{"IPSettings/Domain", Text, [](auto &p) { return &p.IP_Settings.Domain; }},
        TLyn2Setting{"IPSettings/TFTPFixed", Integer, [](auto &p) { return &p.IP_Settings.TFTPSource; }},
        TLyn2Setting{"IPSettings/TFTPAddress", Text, [](auto &p) { return &p.IP_Settings.TFTPAddress; }},
    };
}();

// The paths and kinds alone, for code that has no profile proxy.
inline constexpr auto Lyn2CustomDataPaths = std::apply(
    [](const auto &...s) { return std::array{TCustomDataPath{s.Path, s.Kind}...}; }, Lyn2Settings);
static_assert(Lyn2CustomDataPaths.size() == 36);

// The paths resolved once.
inline const TCustomDataSchema &Lyn2Schema() {
    static const TCustomDataSchema schema(Lyn2CustomDataPaths);
    return schema;
}
