#pragma once
// The address record that crosses the host boundary: reading and writing its
// IPv4 value, comparing records, and the strict text forms the host keeps in
// its database and site files.

#include "IPC_ResidentDeviceCommon_Types.h"
#include "SysUtils.h"

#include <QString>

#include <optional>

// Raised when an IPv6 record is asked for its 32-bit IPv4 value.
class EIP6NotSupported : public Exception {
public:
    EIP6NotSupported();
};

// Version 4 with the value, or version 0 for the value 0.
TIPAddressRec IPRecFromIPv4(uint32_t ip);
// 0 for version 0, ip4 for version 4; raises EIP6NotSupported for any other version.
uint32_t IPRecToIPv4(const TIPAddressRec &rec);
// Stores the value as IPRecFromIPv4 would; true when the record changed.
bool AssignIPv4ToIPRec(TIPAddressRec &rec, uint32_t ip);
// Same version and, for versions 4 and 6, the same address.
bool operator==(const TIPAddressRec &a, const TIPAddressRec &b);
// Version 4 or 6 with an all-zero address, or any other version (0 included).
bool IsEmptyIPRec(const TIPAddressRec &rec);

// Dotted decimal for IPv4, RFC 5952 text for IPv6; the empty text for a
// record of any other version.
QString IPText(const TIPAddressRec &IP);
// A dotted quad or IPv6 text and nothing else; the empty text is no address
// (version 0). None for anything else, a prefix length included.
std::optional<TIPAddressRec> ParseIPText(const QString &Text);
