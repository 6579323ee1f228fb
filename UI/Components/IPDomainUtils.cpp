#include "IPDomainUtils.h"

#include <arpa/inet.h>

#include <string_view>

const std::array<TReservedIPBlock, 4> ReservedIPBlocks = {{
    {0x00000000, 0xFF000000, "0.0.0.0/8", "\"this\" network"},
    {0x7F000000, 0xFF000000, "127.0.0.0/8", "loopback"},
    {0xE0000000, 0xF0000000, "224.0.0.0/4", "multicast"},
    {0xF0000000, 0xF0000000, "240.0.0.0/4", "future use"},
}};

namespace {

// 8-bit character classes; every byte above 127 is outside them.
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsLetterOrDigit(char c) { return IsLetter(c) || (c >= '0' && c <= '9'); }
bool IsLabelInner(char c) { return IsLetterOrDigit(c) || c == '-' || c == '_'; }
// The unreserved characters of RFC 3261.
bool IsUserNameChar(char c) { return IsLetterOrDigit(c) || std::string_view("!'()*-._~").find(c) != std::string_view::npos; }

bool IsWellFormedLabel(std::string_view label, bool rightmost) {
    if (label.empty() || !(rightmost ? IsLetter(label.front()) : IsLetterOrDigit(label.front())))
        return false;
    if (label.size() == 1)
        return true;
    for (char c : label.substr(1, label.size() - 2))
        if (!IsLabelInner(c))
            return false;
    return IsLetterOrDigit(label.back());
}

AnsiString Quoted(const AnsiString &text) { return '"' + text + '"'; }

// The rules shared by e-mail and user-domain addresses; only two messages differ.
bool ValidateUserAtHost(const AnsiString &address, AnsiString &msg, TEMailValidationOptions options,
                        const char *emptyMsg, const AnsiString &noUserMsg) {
    msg.clear();
    if (address.empty()) {
        if (!options.testFlag(emMandatory))
            return true;
        msg = emptyMsg;
        return false;
    }
    const std::size_t at = address.find('@');
    if (at == AnsiString::npos || at == 0) {
        msg = noUserMsg;
        return false;
    }
    for (char c : std::string_view(address).substr(0, at))
        if (!IsUserNameChar(c)) {
            msg = "Invalid symbol in user name " + Quoted(AnsiString(1, c));
            return false;
        }
    const AnsiString host = address.substr(at + 1);
    if (options.testFlag(emNoIPAsHost))
        return ValidateDomainName(host, msg, ipMandatory);
    return ValidateHostName(host, msg, ipMandatory);
}

} // namespace

uint32_t StrToIP(const AnsiString &text) { return text.empty() ? 0 : ntohl(inet_addr(text.c_str())); }

AnsiString IPToStr(uint32_t ip) {
    in_addr addr;
    addr.s_addr = htonl(ip);
    return inet_ntoa(addr);
}

bool IsValidSubnetMask(uint32_t mask) { return mask != 0 && mask != 0xFFFFFFFF && (~mask & (0u - mask)) == 0; }

bool FindReservedBlock(uint32_t ip, int &index) {
    for (std::size_t i = 0; i < ReservedIPBlocks.size(); ++i)
        if ((ip & ReservedIPBlocks[i].Mask) == ReservedIPBlocks[i].Network) {
            index = int(i);
            return true;
        }
    return false;
}

bool IsWellFormedDomainName(const AnsiString &name) {
    if (name.empty())
        return false;
    std::string_view rest(name);
    for (bool rightmost = true;; rightmost = false) {
        const std::size_t dot = rest.rfind('.');
        if (!IsWellFormedLabel(dot == std::string_view::npos ? rest : rest.substr(dot + 1), rightmost))
            return false;
        if (dot == std::string_view::npos)
            return true;
        rest = rest.substr(0, dot);
    }
}

bool ValidateDomainName(const AnsiString &name, AnsiString &msg, TIPValidationOptions options) {
    msg.clear();
    if (name.empty()) {
        if (!options.testFlag(ipMandatory))
            return true;
        msg = "Domain name cannot be empty.";
        return false;
    }
    if (!IsWellFormedDomainName(name)) {
        msg = Quoted(name) + " is not a well-formed domain name.";
        return false;
    }
    return true;
}

bool ValidateDomainName(const QString &name, QString &msg, TIPValidationOptions options) {
    AnsiString ansiMsg;
    const bool result = ValidateDomainName(ToAnsi(name), ansiMsg, options);
    msg = FromAnsi(ansiMsg);
    return result;
}

bool ValidateHostName(const AnsiString &name, AnsiString &msg, TIPValidationOptions options) {
    msg.clear();
    if (name.empty()) {
        if (!options.testFlag(ipMandatory))
            return true;
        msg = "Please specify an IP address or a domain name.";
        return false;
    }
    if (name.find(' ') != AnsiString::npos) {
        msg = "An IP address or a domain name cannot contain spaces.";
        return false;
    }
    // Whatever the platform reads as IPv4, shorthand included, is judged as an address.
    if (StrToIP(name) != 0xFFFFFFFF)
        return ValidateIPAddress(name, msg, options);
    return ValidateDomainName(name, msg);
}

bool ValidateHostName(const QString &name, QString &msg, TIPValidationOptions options) {
    AnsiString ansiMsg;
    const bool result = ValidateHostName(ToAnsi(name), ansiMsg, options);
    msg = FromAnsi(ansiMsg);
    return result;
}

bool ValidateIPAddress(const AnsiString &text, AnsiString &msg, TIPValidationOptions options) {
    msg.clear();
    if (text.empty()) {
        if (!options.testFlag(ipMandatory))
            return true;
        msg = "The IP address is empty.";
        return false;
    }
    // Only the canonical form passes: no shorthand, no leading zeros, no spaces.
    const uint32_t ip = StrToIP(text);
    if (IPToStr(ip) != text) {
        msg = Quoted(text) + " is not a well-formed IP address.";
        return false;
    }
    return ValidateHostIP(ip, msg, options);
}

bool ValidateHostIP(uint32_t ip, AnsiString &msg, TIPValidationOptions options) {
    msg.clear();
    if (ip == 0) {
        if (!options.testFlag(ipMandatory))
            return true;
        msg = "The IP address is empty.";
        return false;
    }
    int index;
    if (FindReservedBlock(ip, index)) {
        const TReservedIPBlock &block = ReservedIPBlocks[std::size_t(index)];
        msg = "IP address " + IPToStr(ip) + " belongs to the " + block.Block + " block, which is reserved for " +
              block.ReservedFor + " and cannot be used as a host IP.";
        return false;
    }
    return true;
}

bool ValidateHostIPWithMask(uint32_t ip, uint32_t mask, AnsiString &msg, TIPValidationOptions options) {
    if (!ValidateHostIP(ip, msg, options))
        return false;
    const uint32_t host = ip & ~mask;
    if (host != 0 && host != ~mask)
        return true;
    msg = "IP address " + IPToStr(ip) + " with a subnet mask of " + IPToStr(mask) + " is the " +
          (host == 0 ? "Subnet" : "Subnet's broadcast") + " address and cannot be used as a host IP.";
    return false;
}

bool ValidateNetwork(uint32_t network, uint32_t mask, AnsiString &msg, TNetworkValidationOptions options) {
    msg.clear();
    int index;
    if (options.testFlag(nwCheckSpecial) && FindReservedBlock(network, index)) {
        const TReservedIPBlock &block = ReservedIPBlocks[std::size_t(index)];
        msg = "Network " + IPToStr(network) + " belongs to the " + block.Block + " block, which is reserved for " +
              block.ReservedFor + ".";
        return false;
    }
    if ((network & ~mask) != 0) {
        msg = "Network address " + IPToStr(network) + " with a subnet mask of " + IPToStr(mask) +
              " is not a valid subnet address.";
        return false;
    }
    return true;
}

bool ValidateEMailAddress(const AnsiString &address, AnsiString &msg, TEMailValidationOptions options) {
    return ValidateUserAtHost(address, msg, options, "The E-Mail address is empty",
                              Quoted(address) + " is not valid E-Mail address.");
}

bool ValidateUserFQDN(const AnsiString &address, AnsiString &msg, TEMailValidationOptions options) {
    return ValidateUserAtHost(address, msg, options, "The user-domain address is empty", "Invalid user-domain address!");
}
