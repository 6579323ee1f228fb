#pragma once
// The IP address value behind every address field: an IPv4 or IPv6 address
// (or none) with its text forms, an optional IPv4 prefix length, and the
// outcome of the last text conversion. Its record, TIPAddressRec, is the one
// that crosses the host boundary.

#include "IPAddressRec.h"

#include <cstdint>

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
