#pragma once
// Declarations the host shares with every resident-device plug-in: the
// address record, the profile option record and the SIP transport enumeration.

#include <cstddef>
#include <cstdint>

// An IPv4 or IPv6 address, or none.
struct TIPAddressRec {
    int32_t version; // 0 = no address, 4 = IPv4, 6 = IPv6
    union {
        uint32_t ip4;    // first octet in the most significant byte: 10.1.2.3 is 0x0A010203
        uint8_t ip6[16]; // network byte order: group 0 in bytes 0-1, high byte first
    };
};

static_assert(sizeof(TIPAddressRec) == 20);
static_assert(offsetof(TIPAddressRec, ip4) == 4 && offsetof(TIPAddressRec, ip6) == 4);

enum TSIPDevice_Profile_Option_Tag : uint32_t {
    POT_Invalid = 0,
    POT_DistinctiveRingtones_Internal = 1,
    POT_DistinctiveRingtones_External = 2,
    POT_DistinctiveRingtones_Group = 3,
    POT_DistinctiveRingtones_Trasferred = 4,
    POT_displayToFrom = 5,
    POT_SilenceSuppression = 6,
    POT_AutoAnswerIntercomCalls = 7,
    POT_AutoAnswerType = 8,
};

struct TSIPDevice_Profile_Option {
    TSIPDevice_Profile_Option_Tag tag;
    int32_t value;
};

constexpr int TSIPDevice_Profile_Option_Capacity = 9;

struct TSIPDevice_Profile_Option_List {
    TSIPDevice_Profile_Option list[TSIPDevice_Profile_Option_Capacity];
    int32_t len; // entries in use, counted from entry 0
};

static_assert(sizeof(TSIPDevice_Profile_Option) == 8);
static_assert(sizeof(TSIPDevice_Profile_Option_List) == 76);
static_assert(offsetof(TSIPDevice_Profile_Option_List, len) == 72);

enum TransportType : int32_t {
    TransportTypeNonSet = 0,
    TCP = 1,
    UDP = 2,
    TLS = 3,
};
