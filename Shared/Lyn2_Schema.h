#pragma once
// The LYN 2 profile's custom data: every path the profile stores, in load and
// save order, with the kind of value each node holds. The profile proxy stores
// exactly these values; the host names them when it imports and exports sites.

#include <array>

enum class TCustomDataKind { Text, Integer, Unsigned, Boolean };

struct TCustomDataPath {
    const char *Path; // node names from the root, joined by '/'
    TCustomDataKind Kind;
};

inline constexpr std::array<TCustomDataPath, 36> Lyn2CustomDataPaths = {{
    {"General/SoftwareVersion", TCustomDataKind::Text},
    {"General/InterdigitTO", TCustomDataKind::Integer},
    {"General/Regional/Country", TCustomDataKind::Text},
    {"General/Regional/Timezone", TCustomDataKind::Integer},
    {"General/Regional/DaylightSavings", TCustomDataKind::Boolean},
    {"General/Audio/AllowG729", TCustomDataKind::Boolean},
    {"General/Audio/G729SilenceSuppress", TCustomDataKind::Boolean},
    {"General/Audio/RingTone", TCustomDataKind::Integer},
    {"General/Paging/EnablePaging", TCustomDataKind::Boolean},
    {"SIP/RetransInvite", TCustomDataKind::Integer},
    {"SIP/RetransRequest", TCustomDataKind::Integer},
    {"SIP/TransportProtocol", TCustomDataKind::Integer},
    {"SIP/ReceivePort", TCustomDataKind::Integer},
    {"SIP/Proxies/MainProxySource", TCustomDataKind::Integer},
    {"SIP/Proxies/UseBackupProxy", TCustomDataKind::Boolean},
    {"SIP/Proxies/MainProxy/Addr", TCustomDataKind::Text},
    {"SIP/Proxies/MainProxy/Port", TCustomDataKind::Integer},
    {"SIP/Proxies/BackupProxy/Addr", TCustomDataKind::Text},
    {"SIP/Proxies/BackupProxy/Port", TCustomDataKind::Integer},
    {"VLAN/VLANtag", TCustomDataKind::Integer},
    {"VLAN/PriorityTag", TCustomDataKind::Integer},
    {"VLAN/CallSignVLANtag", TCustomDataKind::Integer},
    {"VLAN/CallSignPriorityTag", TCustomDataKind::Integer},
    {"VLAN/RTPVLANtag", TCustomDataKind::Integer},
    {"VLAN/RTPPriorityTag", TCustomDataKind::Integer},
    {"IPComm/CallSignDSCP", TCustomDataKind::Integer},
    {"IPComm/RTP_DSCP", TCustomDataKind::Integer},
    {"IPComm/DHCP", TCustomDataKind::Boolean},
    {"IPSettings/Gateway", TCustomDataKind::Unsigned},
    {"IPSettings/SubnetMask", TCustomDataKind::Unsigned},
    {"IPSettings/DNS", TCustomDataKind::Text},
    {"IPSettings/SecondaryDNS", TCustomDataKind::Text},
    {"IPSettings/NTP", TCustomDataKind::Text},
    {"IPSettings/Domain", TCustomDataKind::Text},
    {"IPSettings/TFTPFixed", TCustomDataKind::Integer},
    {"IPSettings/TFTPAddress", TCustomDataKind::Text},
}};
