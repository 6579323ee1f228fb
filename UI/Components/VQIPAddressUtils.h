#pragma once
// The IP address value behind every address field: an IPv4 or IPv6 address
// (or none) with its text forms, an optional IPv4 prefix length, and the
// outcome of the last text conversion. TIPAddressRec is the plain record that
// crosses the host boundary, so its layout is fixed.

#include "SysUtils.h"

#include <cstdint>

struct TIPAddressRec {
    int32_t version; // 0 = no address, 4 = IPv4, 6 = IPv6
    union {
        uint32_t ip4;   // first octet in the most significant byte: 10.1.2.3 is 0x0A010203
        uint8_t ip6[16]; // network byte order: group 0 in bytes 0-1, high byte first
    };
};

static_assert(sizeof(TIPAddressRec) == 20);

// Raised when an IPv6 record is asked for its 32-bit IPv4 value.
class EIP6NotSupported : public Exception {
public:
    EIP6NotSupported();
};

// Record helpers.
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

class TIPAddress {
public:
    // Result codes of the last text conversion (ErrorCode).
    static constexpr int32_t ipeRead = 1;         // read, or the empty text
    static constexpr int32_t ipeInvalid = 0;      // not a valid address of the detected version
    static constexpr int32_t ipeNoSeparator = -2; // neither a full stop nor a colon

    TIPAddress();
    virtual ~TIPAddress() = default;
    // A single-owner value: copy it with Assign.
    TIPAddress(const TIPAddress &) = delete;
    TIPAddress &operator=(const TIPAddress &) = delete;

    // Copies the address and the prefix flag, not the error code; a null source copies nothing.
    void Assign(const TIPAddress *src);
    // Zeroes the record (version 0).
    void Clear();

    // The text form: dotted decimal with "/prefix", or RFC 4291 text for IPv6.
    virtual AnsiString AsAnsiString() const;
    // Reads text; never raises, the outcome is in ErrorCode.
    virtual void SetAsAnsiString(const AnsiString &value);

    // The record without the prefix length. Writing a record of version 0 clears the value.
    TIPAddressRec IPAddress() const;
    void SetIPAddress(const TIPAddressRec &value);

    bool IsNull() const { return FIPAddress.version == 0; }
    int32_t Version() const { return FIPAddress.version; }
    // A different version clears the value and the prefix flag.
    void SetVersion(int32_t value);

    // The IPv4 prefix length, whatever number the text gave; 0 without one.
    // Writing it is ignored on an IPv6 value.
    int32_t ShortMask() const;
    void SetShortMask(int32_t value);
    bool IsShortMask() const { return FShortMask; }

    bool IsError() const { return FError < ipeRead; }
    int32_t ErrorCode() const { return FError; }

    // Octet 0-3 of an IPv4 value, octet 0 first. Only for version 4; only the low byte is stored.
    int16_t GetIPv4(int index) const;
    void SetIPv4(int index, int16_t value);
    // Group 0-7 of an IPv6 value. Only for version 6.
    uint16_t GetIPv6(int index) const;
    void SetIPv6(int index, uint16_t value);

private:
    void ReadIPv4(AnsiString text);
    void ReadIPv6(const AnsiString &text);

    TIPAddressRec FIPAddress;
    int32_t FError;
    bool FShortMask;
};
