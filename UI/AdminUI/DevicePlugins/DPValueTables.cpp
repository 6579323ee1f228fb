#include "DPValueTables.h"

#include <algorithm>

const std::array<const char *, 3> ProxySourceNames = {"VQ Address", "Specified Address", "Domain"};

const std::array<TCountryEntry, 6> CountryTable = {{
    {"USA", "United States"},
    {"UK", "United Kingdom"},
    {"BELGIUM", "Belgium"},
    {"GERMANY", "Germany"},
    {"FRANCE", "France"},
    {"JAPAN", "Japan"},
}};

const std::array<TTimeZoneEntry, 25> TimeZoneTable = {{
    {-720, "GMT-12:00"},
    {-660, "GMT-11:00"},
    {-600, "GMT-10:00"},
    {-540, "GMT-09:00"},
    {-480, "GMT-08:00 Pacific Time"},
    {-420, "GMT-07:00 Mountain Time"},
    {-360, "GMT-06:00 Central Time"},
    {-300, "GMT-05:00 Eastern Time"},
    {-240, "GMT-04:00 Atlantic Time"},
    {-180, "GMT-03:00"},
    {-120, "GMT-02:00 Mid-Atlantic Time"},
    {-60, "GMT-01:00"},
    {0, "GMT Greenwich Mean Time"},
    {60, "GMT+01:00"},
    {120, "GMT+02:00"},
    {180, "GMT+03:00"},
    {240, "GMT+04:00"},
    {300, "GMT+05:00"},
    {360, "GMT+06:00"},
    {420, "GMT+07:00"},
    {480, "GMT+08:00"},
    {540, "GMT+09:00"},
    {600, "GMT+10:00"},
    {660, "GMT+11:00"},
    {720, "GMT+12:00"},
}};

const std::array<const char *, 4> TransportNames = {"N/A", "TCP", "UDP", "TLS"};

int FindCountry(const QString &Code) {
    for (std::size_t i = 0; i < CountryTable.size(); ++i)
        if (Code == QLatin1String(CountryTable[i].Code))
            return int(i);
    return -1;
}

int FindTimeZone(int32_t Offset) {
    for (std::size_t i = 0; i < TimeZoneTable.size(); ++i)
        if (TimeZoneTable[i].Offset == Offset)
            return int(i);
    return -1;
}

void FillList(TItemList &List, QString (*Text)(int Index), int LastIndex, std::initializer_list<int> Exclude) {
    List.Clear();
    for (int i = 0; i <= LastIndex; ++i)
        if (std::find(Exclude.begin(), Exclude.end(), i) == Exclude.end())
            List.AddItem(Text(i), i);
}

void FillProxySourceList(TItemList &List) {
    FillList(List, [](int i) -> QString { return QString::fromLatin1(ProxySourceNames[std::size_t(i)]); },
             int(ProxySourceNames.size()) - 1);
}

void FillCountryList(TItemList &List) {
    FillList(List, [](int i) -> QString { return QString::fromLatin1(CountryTable[std::size_t(i)].Name); },
             int(CountryTable.size()) - 1);
}

void FillTimeZoneList(TItemList &List) {
    FillList(List, [](int i) -> QString { return QString::fromLatin1(TimeZoneTable[std::size_t(i)].Name); },
             int(TimeZoneTable.size()) - 1);
}

void FillTransportList(TItemList &List) {
    FillList(List, [](int i) -> QString { return QString::fromLatin1(TransportNames[std::size_t(i)]); },
             int(TransportNames.size()) - 1, {TransportTypeNonSet});
}
