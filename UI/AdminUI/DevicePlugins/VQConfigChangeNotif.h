#pragma once
// System-wide configuration changes the host offers to profiles, and the
// system values it asks about.

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

enum TVQConfigParameter : uint8_t {
    vqcpUndefined = 0,
    vqcpVM = 1,
    vqcpParkServer = 2,
    vqcpPageServer = 3,
    vqcpIP = 4,
    vqcpPMapIP = 5,
    vqcpPMapSIPPort = 6,
    vqcpPMapNetworkId = 7,
    vqcpRedundantNode = 8,
};

class TVQConfigChangedValue {
public:
    TVQConfigParameter Parameter = vqcpUndefined;
    QString OldValue;
    QString NewValue;
    uint32_t Data = 0;
};

// Owns its changes, in the order they were added.
class TVQConfigChangeList {
public:
    void Add(TVQConfigParameter AParameter, const QString &AOldValue, const QString &ANewValue, uint32_t AData);
    int Count() const { return int(FItems.size()); }
    // Raises std::out_of_range for an index outside the list.
    TVQConfigChangedValue *GetItem(int Index) const { return FItems.at(std::size_t(Index)).get(); }
    // The first change of that parameter, or none.
    TVQConfigChangedValue *GetItemByParameter(TVQConfigParameter AParameter) const;

private:
    std::vector<std::unique_ptr<TVQConfigChangedValue>> FItems;
};
