#pragma once
// Declarations the host shares with every resident-device plug-in: the
// profile option record and the SIP transport enumeration.

#include <cstddef>
#include <cstdint>

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
