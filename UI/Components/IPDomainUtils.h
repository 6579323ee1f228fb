#pragma once
// Decides whether a text or a 32-bit value is an acceptable IPv4 host address,
// network, subnet mask, domain name, host name, e-mail or user-domain address,
// and when it is not, says why in one sentence. Nothing here raises or shows
// anything: every validator returns a Boolean and fills Msg (cleared on entry,
// empty on success). IPv4 values carry the first octet in the most
// significant byte, as TIPAddressRec does. Only IPv4 is accepted.

#include "SysUtils.h"

#include <QFlags>

#include <array>
#include <cstdint>

enum TIPValidationOption { ipMandatory = 0x1 };
Q_DECLARE_FLAGS(TIPValidationOptions, TIPValidationOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TIPValidationOptions)

enum TNetworkValidationOption { nwCheckSpecial = 0x1 };
Q_DECLARE_FLAGS(TNetworkValidationOptions, TNetworkValidationOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TNetworkValidationOptions)

enum TEMailValidationOption { emMandatory = 0x1, emNoIPAsHost = 0x2 };
Q_DECLARE_FLAGS(TEMailValidationOptions, TEMailValidationOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TEMailValidationOptions)

// Address blocks that no host may use, checked in this order.
struct TReservedIPBlock {
    uint32_t Network;
    uint32_t Mask;
    const char *Block;       // "127.0.0.0/8"
    const char *ReservedFor; // "loopback"
};
extern const std::array<TReservedIPBlock, 4> ReservedIPBlocks;

// The platform's classic IPv4 conversion (shorthand, octal and hexadecimal parts
// accepted); 0 for the empty text, 0xFFFFFFFF for a text it refuses.
uint32_t StrToIP(const AnsiString &text);
// Dotted decimal.
AnsiString IPToStr(uint32_t ip);

// One-bits from the top followed only by zero-bits; 0 and 0xFFFFFFFF are refused.
bool IsValidSubnetMask(uint32_t mask);
// The first reserved block holding the address, its index in ReservedIPBlocks.
bool FindReservedBlock(uint32_t ip, int &index);

// Labels separated by full stops: each non-empty, starting with a letter or digit
// (the rightmost with a letter), inner characters letters, digits, "-" and "_",
// ending with a letter or digit.
bool IsWellFormedDomainName(const AnsiString &name);

// ipMandatory refuses the empty name.
bool ValidateDomainName(const AnsiString &name, AnsiString &msg, TIPValidationOptions options = {});
bool ValidateDomainName(const QString &name, QString &msg, TIPValidationOptions options = {});
// An IPv4 address in canonical form or a domain name.
bool ValidateHostName(const AnsiString &name, AnsiString &msg, TIPValidationOptions options = {});
bool ValidateHostName(const QString &name, QString &msg, TIPValidationOptions options = {});
// Canonical dotted decimal only, then the host address checks.
bool ValidateIPAddress(const AnsiString &text, AnsiString &msg, TIPValidationOptions options = {});
// 0 counts as empty; reserved blocks are refused.
bool ValidateHostIP(uint32_t ip, AnsiString &msg, TIPValidationOptions options = {});
// Also refuses the subnet and broadcast addresses of the mask.
bool ValidateHostIPWithMask(uint32_t ip, uint32_t mask, AnsiString &msg, TIPValidationOptions options = {});
// A network address with no host bits; nwCheckSpecial refuses reserved blocks.
bool ValidateNetwork(uint32_t network, uint32_t mask, AnsiString &msg, TNetworkValidationOptions options = {});
// user@host with RFC 3261 unreserved user characters; the host is a domain name
// under emNoIPAsHost, else a host name.
bool ValidateEMailAddress(const AnsiString &address, AnsiString &msg, TEMailValidationOptions options = {});
// user@host as in a SIP identity; the same rules as an e-mail address.
bool ValidateUserFQDN(const AnsiString &address, AnsiString &msg, TEMailValidationOptions options = {});
