#include "VQIPAddressUtils.h"

#include "IPDomainUtils.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <string_view>

namespace {

const char *const UnitPath = "UI\\Components\\VQIPAddressUtils";

// Where an IPv4 value keeps its prefix length: the four record bytes after ip4.
constexpr int PrefixOffset = 4;

int32_t Prefix(const TIPAddressRec &rec) {
    int32_t prefix;
    std::memcpy(&prefix, rec.ip6 + PrefixOffset, sizeof prefix);
    return prefix;
}

void SetPrefix(TIPAddressRec &rec, int32_t prefix) { std::memcpy(rec.ip6 + PrefixOffset, &prefix, sizeof prefix); }

// IPv4 text as the validators read it (the platform's classic conversion), but
// the empty text is no address. 255.255.255.255 is how that conversion reports
// failure, so that address never reads.
bool ParseIPv4(const AnsiString &text, uint32_t &ip) {
    ip = StrToIP(text);
    return !text.empty() && ip != 0xFFFFFFFF;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// One group: one to four hexadecimal digits.
bool ParseGroup(std::string_view part, uint16_t &group) {
    if (part.empty() || part.size() > 4)
        return false;
    unsigned value = 0;
    for (char c : part) {
        const int digit = HexDigit(c);
        if (digit < 0)
            return false;
        value = value * 16 + unsigned(digit);
    }
    group = uint16_t(value);
    return true;
}

// RFC 4291 text: colon-separated groups, at most one "::" standing for one or
// more zero groups, and optionally the last 32 bits as IPv4 text.
bool ParseIPv6(const AnsiString &text, uint8_t (&bytes)[16]) {
    std::array<uint16_t, 8> groups{};
    int count = 0;
    int gap = -1; // where "::" stands among the groups
    std::size_t pos = 0;
    if (text.starts_with("::")) {
        gap = 0;
        pos = 2;
    } else if (text.starts_with(':')) {
        return false;
    }
    while (pos < text.size()) {
        const std::size_t end = std::min(text.find(':', pos), text.size());
        const std::string_view part(text.data() + pos, end - pos);
        if (end == text.size() && part.find('.') != std::string_view::npos) {
            uint32_t ip;
            if (count > 6 || !ParseIPv4(AnsiString(part), ip))
                return false;
            groups[count++] = uint16_t(ip >> 16);
            groups[count++] = uint16_t(ip);
            break;
        }
        if (count == 8 || !ParseGroup(part, groups[count]))
            return false;
        ++count;
        if (end == text.size())
            break;
        pos = end + 1;
        if (pos == text.size())
            return false; // a trailing single colon
        if (text[pos] == ':') {
            if (gap >= 0)
                return false;
            gap = count;
            ++pos;
        }
    }
    if (gap < 0 ? count != 8 : count > 7)
        return false;
    if (gap >= 0) {
        // Move the groups after "::" to the end and zero the ones it stands for.
        std::move_backward(groups.begin() + gap, groups.begin() + count, groups.end());
        std::fill(groups.begin() + gap, groups.begin() + gap + (8 - count), 0);
    }
    for (int i = 0; i < 8; ++i) {
        bytes[2 * i] = uint8_t(groups[i] >> 8);
        bytes[2 * i + 1] = uint8_t(groups[i]);
    }
    return true;
}

AnsiString IPv6ToText(const uint8_t (&bytes)[16]) {
    std::array<uint16_t, 8> groups;
    for (int i = 0; i < 8; ++i)
        groups[i] = uint16_t(bytes[2 * i] << 8 | bytes[2 * i + 1]);

    // The longest run of two or more zero groups; the first one on a tie.
    int best = -1, bestLength = 1;
    for (int i = 0; i < 8;) {
        int length = 0;
        while (i + length < 8 && groups[i + length] == 0)
            ++length;
        if (length > bestLength) {
            best = i;
            bestLength = length;
        }
        i += std::max(length, 1);
    }
    // IPv4-compatible and IPv4-mapped addresses end in a dotted quad.
    const bool ipv4Tail = best == 0 && (bestLength == 6 || (bestLength == 5 && groups[5] == 0xFFFF));
    const int last = ipv4Tail ? 6 : 8;

    AnsiString result;
    const auto separate = [&result] {
        if (!result.empty() && !result.ends_with(':'))
            result += ':';
    };
    for (int i = 0; i < last;) {
        if (i == best) {
            result += "::";
            i += bestLength;
            continue;
        }
        separate();
        char digits[4];
        const auto end = std::to_chars(digits, digits + sizeof digits, groups[i], 16).ptr;
        result.append(digits, end);
        ++i;
    }
    if (ipv4Tail) {
        separate();
        result += IPToStr(uint32_t(groups[6]) << 16 | groups[7]);
    }
    return result;
}

void ClearAfterIPv4(TIPAddressRec &rec) { std::memset(rec.ip6 + 4, 0, sizeof rec.ip6 - 4); }

} // namespace

TIPAddress::TIPAddress() : FIPAddress{}, FError(ipeInvalid), FShortMask(false) {}

void TIPAddress::Assign(const TIPAddress *src) {
    if (!src)
        return;
    FIPAddress = src->FIPAddress;
    FShortMask = src->FShortMask;
}

void TIPAddress::Clear() { FIPAddress = TIPAddressRec{}; }

AnsiString TIPAddress::AsAnsiString() const {
    switch (FIPAddress.version) {
    case 0:
        return {};
    case 4: {
        AnsiString text = IPToStr(FIPAddress.ip4);
        if (FShortMask)
            text += '/' + std::to_string(Prefix(FIPAddress));
        return text;
    }
    case 6:
        return IPv6ToText(FIPAddress.ip6);
    default:
        Assert(false, UnitPath, __LINE__);
        return {};
    }
}

void TIPAddress::SetAsAnsiString(const AnsiString &value) {
    if (value.empty()) {
        FError = ipeRead;
        Clear();
        return;
    }
    FShortMask = false;
    FError = ipeNoSeparator;
    const std::size_t separator = value.find_first_of(".:");
    if (separator == AnsiString::npos)
        return;
    FError = ipeRead;
    if (value[separator] == '.') {
        FIPAddress.version = 4;
        ReadIPv4(value);
    } else {
        FIPAddress.version = 6;
        ReadIPv6(value);
    }
}

void TIPAddress::ReadIPv4(AnsiString text) {
    const std::size_t slash = text.find('/');
    if (slash != AnsiString::npos) {
        // The prefix length is the decimal number after the slash, however large
        // (the rules that use it judge it); what is not a number reads as 0.
        int32_t prefix = 0;
        const char *first = text.data() + slash + 1, *last = text.data() + text.size();
        const bool digits = first != last && std::all_of(first, last, [](char c) { return c >= '0' && c <= '9'; });
        if (!digits || std::from_chars(first, last, prefix).ec != std::errc())
            prefix = 0;
        FShortMask = true;
        SetPrefix(FIPAddress, prefix);
        text.erase(slash);
    }
    uint32_t ip;
    if (!ParseIPv4(text, ip)) {
        FError = ipeInvalid;
        return;
    }
    const int32_t prefix = FShortMask ? Prefix(FIPAddress) : 0;
    ClearAfterIPv4(FIPAddress);
    FIPAddress.ip4 = ip;
    SetPrefix(FIPAddress, prefix);
}

void TIPAddress::ReadIPv6(const AnsiString &text) {
    uint8_t bytes[16];
    if (!ParseIPv6(text, bytes)) {
        FError = ipeInvalid;
        return;
    }
    std::memcpy(FIPAddress.ip6, bytes, sizeof bytes);
}

TIPAddressRec TIPAddress::IPAddress() const {
    TIPAddressRec rec = FIPAddress;
    if (rec.version != 6)
        ClearAfterIPv4(rec);
    return rec;
}

void TIPAddress::SetIPAddress(const TIPAddressRec &value) {
    if (value.version == 0) {
        Clear();
        return;
    }
    // A record carries no prefix length, so an IPv4 value's prefix reads 0 afterwards.
    FIPAddress = value;
    if (value.version != 6)
        ClearAfterIPv4(FIPAddress);
}

void TIPAddress::SetVersion(int32_t value) {
    if (value == FIPAddress.version)
        return;
    Clear();
    FIPAddress.version = value;
    FShortMask = false;
}

int32_t TIPAddress::ShortMask() const { return FShortMask ? Prefix(FIPAddress) : 0; }

void TIPAddress::SetShortMask(int32_t value) {
    if (FIPAddress.version == 6)
        return;
    SetPrefix(FIPAddress, value);
    FShortMask = true;
}

int16_t TIPAddress::GetIPv4(int index) const {
    Assert(FIPAddress.version == 4 && index >= 0 && index < 4, UnitPath, __LINE__);
    return int16_t(FIPAddress.ip4 >> (8 * (3 - index)) & 0xFF);
}

void TIPAddress::SetIPv4(int index, int16_t value) {
    Assert(FIPAddress.version == 4 && index >= 0 && index < 4, UnitPath, __LINE__);
    const int shift = 8 * (3 - index);
    FIPAddress.ip4 = (FIPAddress.ip4 & ~(0xFFu << shift)) | uint32_t(uint8_t(value)) << shift;
}

uint16_t TIPAddress::GetIPv6(int index) const {
    Assert(FIPAddress.version == 6 && index >= 0 && index < 8, UnitPath, __LINE__);
    return uint16_t(FIPAddress.ip6[2 * index] << 8 | FIPAddress.ip6[2 * index + 1]);
}

void TIPAddress::SetIPv6(int index, uint16_t value) {
    Assert(FIPAddress.version == 6 && index >= 0 && index < 8, UnitPath, __LINE__);
    FIPAddress.ip6[2 * index] = uint8_t(value >> 8);
    FIPAddress.ip6[2 * index + 1] = uint8_t(value);
}
