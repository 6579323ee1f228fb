#pragma once
// Display texts of the enumerated profile settings, in the order the frames
// list them: where the SIP proxy address comes from, countries, time zones and
// SIP transports.

#include "IPC_ResidentDeviceCommon_Types.h"

#include <QString>

#include <array>
#include <initializer_list>

enum ProxySourceEnum : int32_t { prsExternalAddress = 0, prsSpecifiedAddress = 1, prsDomain = 2 };

struct TCountryEntry {
    const char *Code; // stored value
    const char *Name; // shown
};

struct TTimeZoneEntry {
    int32_t Offset; // minutes from GMT, stored value
    const char *Name;
};

extern const std::array<const char *, 3> ProxySourceNames;
extern const std::array<TCountryEntry, 6> CountryTable;
extern const std::array<TTimeZoneEntry, 25> TimeZoneTable;
extern const std::array<const char *, 4> TransportNames;

// Index of the entry, or -1. Country codes compare exactly (case-sensitive).
int FindCountry(const QString &Code);
int FindTimeZone(int32_t Offset);

// What list filling needs of a list control: its items carry a number.
class TItemList {
public:
    virtual void Clear() = 0;
    virtual void AddItem(const QString &Text, int Data) = 0;

protected:
    ~TItemList() = default;
};

// Clears the list, then adds the texts of entries 0..LastIndex in order, each
// carrying its entry index, skipping the indexes in Exclude.
void FillList(TItemList &List, QString (*Text)(int Index), int LastIndex, std::initializer_list<int> Exclude = {});

// The lists the profile frame shows.
void FillProxySourceList(TItemList &List);
void FillCountryList(TItemList &List);
void FillTimeZoneList(TItemList &List);
// "TCP", "UDP", "TLS" carrying 1, 2, 3: "N/A" is never offered.
void FillTransportList(TItemList &List);
