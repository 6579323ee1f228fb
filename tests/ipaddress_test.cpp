#include "VQIPAddressUtils.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

namespace {

using Bytes = std::array<uint8_t, 16>;

TIPAddressRec V6(const Bytes &bytes) {
    TIPAddressRec rec{};
    rec.version = 6;
    std::memcpy(rec.ip6, bytes.data(), 16);
    return rec;
}

// A value that has read a text.
struct IP : TIPAddress {
    explicit IP(const AnsiString &text) { SetAsAnsiString(text); }
};

// The error code of reading a text and the text printed back afterwards.
using Outcome = std::pair<int, AnsiString>;

// Reads text into a value that held `before`.
Outcome ReadOver(const char *before, const AnsiString &text) {
    IP ip(before);
    ip.SetAsAnsiString(text);
    EXPECT_EQ(ip.IsError(), ip.ErrorCode() < 1) << text;
    return {ip.ErrorCode(), ip.AsAnsiString()};
}

// Addresses rich in what the text forms treat specially: zero runs, 0xffff
// groups, the IPv4-mapped and IPv4-compatible prefixes.
Bytes RandomBytes(std::mt19937 &rng) {
    std::uniform_int_distribution<int> word(0, 0xFFFF), kind(0, 5), small(0, 3);
    Bytes b;
    for (int g = 0; g < 8; ++g) {
        const int k = kind(rng);
        const int v = k < 3 ? 0 : k == 3 ? small(rng) : k == 4 ? 0xFFFF : word(rng);
        b[2 * g] = uint8_t(v >> 8);
        b[2 * g + 1] = uint8_t(v);
    }
    const int prefix = small(rng); // 0: ::ffff:a.b.c.d, 1: ::a.b.c.d
    if (prefix < 2) {
        std::fill(b.begin(), b.begin() + 12, 0);
        if (prefix == 0)
            b[10] = b[11] = 0xFF;
    }
    return b;
}

AnsiString Ntop(const Bytes &b) {
    char text[INET6_ADDRSTRLEN];
    EXPECT_NE(inet_ntop(AF_INET6, b.data(), text, sizeof text), nullptr);
    return text;
}

// The address as people write it: groups padded or not, in either case, a zero
// run compressed wherever one starts, the last 32 bits dotted.
AnsiString Rewrite(const Bytes &b, std::mt19937 &rng) {
    const unsigned choice = unsigned(rng());
    const bool upper = choice & 1, padded = choice & 2, tail = choice & 4;
    std::vector<AnsiString> parts;
    char buf[16];
    for (int i = 0; i < (tail ? 6 : 8); ++i) {
        const unsigned group = unsigned(b[2 * i] << 8 | b[2 * i + 1]);
        std::snprintf(buf, sizeof buf, padded ? (upper ? "%04X" : "%04x") : (upper ? "%X" : "%x"), group);
        parts.push_back(buf);
    }
    if (tail) {
        std::snprintf(buf, sizeof buf, "%u.%u.%u.%u", b[12], b[13], b[14], b[15]);
        parts.push_back(buf);
    }
    const auto join = [&parts](std::size_t from, std::size_t to) {
        AnsiString text;
        for (std::size_t i = from; i < to; ++i)
            text += (i > from ? ":" : "") + parts[i];
        return text;
    };
    const std::size_t start = (choice >> 3) % 8;
    std::size_t end = start;
    while (end < parts.size() && parts[end].find_first_not_of('0') == AnsiString::npos)
        ++end;
    return end == start ? join(0, parts.size()) : join(0, start) + "::" + join(end, parts.size());
}

} // namespace

TEST(IPAddressRec, IPv4Conversions) {
    EXPECT_EQ(IPRecFromIPv4(0).version, 0);
    const TIPAddressRec rec = IPRecFromIPv4(0x0A010203);
    EXPECT_EQ(rec.version, 4);
    EXPECT_EQ(rec.ip4, 0x0A010203u);
    EXPECT_EQ(IPRecToIPv4(rec), 0x0A010203u);
    EXPECT_EQ(IPRecToIPv4(TIPAddressRec{}), 0u);
    for (int version : {6, 5, -1}) {
        TIPAddressRec other{};
        other.version = version;
        try {
            IPRecToIPv4(other);
            ADD_FAILURE() << version;
        } catch (const EIP6NotSupported &e) {
            EXPECT_EQ(e.Message(), "IP6 is not supported yet");
        }
    }
}

TEST(IPAddressRec, AssignReportsChange) {
    TIPAddressRec rec{};
    EXPECT_FALSE(AssignIPv4ToIPRec(rec, 0));
    EXPECT_TRUE(AssignIPv4ToIPRec(rec, 0x01020304));
    EXPECT_EQ(rec.version, 4);
    EXPECT_EQ(rec.ip4, 0x01020304u);
    EXPECT_FALSE(AssignIPv4ToIPRec(rec, 0x01020304));
    EXPECT_TRUE(AssignIPv4ToIPRec(rec, 0x01020305));
    EXPECT_TRUE(AssignIPv4ToIPRec(rec, 0));
    EXPECT_EQ(rec.version, 0);
    // An IPv6 record whose first bytes happen to match still changes.
    rec = V6({0x01, 0x02, 0x03, 0x04});
    EXPECT_TRUE(AssignIPv4ToIPRec(rec, rec.ip4));
    EXPECT_EQ(rec.version, 4);
}

TEST(IPAddressRec, EqualityAndEmptinessLookOnlyAtTheVersionsAddress) {
    TIPAddressRec a = IPRecFromIPv4(0x01020304), b = a;
    b.ip6[7] = 0xFF; // beyond ip4
    EXPECT_TRUE(a == b);
    b.ip4 = 0x01020305;
    EXPECT_FALSE(a == b);
    TIPAddressRec z1{}, z2{};
    z2.ip6[3] = 9;
    EXPECT_TRUE(z1 == z2 && IsEmptyIPRec(z2)); // version 0, whatever the bytes
    z1.version = z2.version = 5;
    EXPECT_TRUE(z1 == z2 && IsEmptyIPRec(z2)); // so is any unknown version
    const TIPAddressRec v4{4, {}}, v6 = V6({});
    TIPAddressRec other = v6;
    other.ip6[15] = 1;
    EXPECT_TRUE(IsEmptyIPRec(v6) && IsEmptyIPRec(v4));
    EXPECT_FALSE(IsEmptyIPRec(other) || IsEmptyIPRec(IPRecFromIPv4(1)));
    EXPECT_FALSE(v6 == other || v6 == v4);
}

// The host's own files hold addresses in exactly one form each, so whatever
// it reads it writes back the same, and nothing else reads as an address.
TEST(IPAddressRec, HostTextsAreStrict) {
    const std::pair<const char *, TIPAddressRec> read[] = {
        {"", TIPAddressRec{}},
        {"10.0.0.5", IPRecFromIPv4(0x0A000005)},
        {"255.255.255.255", IPRecFromIPv4(0xFFFFFFFF)},
        {"0.0.0.0", TIPAddressRec{4, {}}},
        {"fe80::1", V6({0xFE, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1})},
        {"::ffff:10.0.0.1", V6({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 10, 0, 0, 1})},
    };
    for (const auto &[text, rec] : read) {
        const std::optional<TIPAddressRec> got = ParseIPText(QString::fromLatin1(text));
        ASSERT_TRUE(got) << text;
        EXPECT_TRUE(*got == rec) << text;
        EXPECT_EQ(IPText(*got), QString::fromLatin1(text));
    }
    const QString refused[] = {
        QStringLiteral("10.0.0.5 junk"), QStringLiteral("0 1..00.5"),  QStringLiteral("10.1"),
        QStringLiteral("010.0.0.5"),     QStringLiteral("10.0.0.256"), QStringLiteral("10.0.0.5/24"),
        QStringLiteral(" 10.0.0.5"),     QStringLiteral("10.0.0.5\n"), QStringLiteral("0x0A.0.0.5"),
        QStringLiteral("fe80::1%eth0"),  QStringLiteral("1::2::3"),    QStringLiteral("10.0.0.5") + QChar(0),
        QString::fromUtf16(u"10.0.0.\u0665")};
    for (const QString &text : refused)
        EXPECT_FALSE(ParseIPText(text)) << text.toStdString();
    TIPAddressRec unknown{};
    unknown.version = 5;
    EXPECT_EQ(IPText(unknown), "");
}

TEST(IPAddressValue, PrefixAndVersion) {
    TIPAddress fresh; // empty, and in error until text is read
    EXPECT_TRUE(fresh.IsNull() && fresh.IsError() && !fresh.IsShortMask());
    EXPECT_EQ(fresh.ErrorCode(), 0);
    EXPECT_EQ(fresh.AsAnsiString(), "");

    IP ip("192.168.1.10/24");
    EXPECT_EQ(ip.IPAddress().ip4, 0xC0A8010Au);
    EXPECT_TRUE(ip.IsShortMask());
    EXPECT_EQ(ip.ShortMask(), 24);
    ip.SetShortMask(8);
    EXPECT_EQ(ip.AsAnsiString(), "192.168.1.10/8");
    // The prefix never leaves the object in a record.
    const TIPAddressRec rec = ip.IPAddress();
    EXPECT_TRUE(std::all_of(rec.ip6 + 4, rec.ip6 + 16, [](uint8_t b) { return b == 0; }));

    ip.SetVersion(4);
    EXPECT_EQ(ip.AsAnsiString(), "192.168.1.10/8");
    ip.SetVersion(6); // another version clears the value and the prefix
    EXPECT_FALSE(ip.IsShortMask());
    ip.SetShortMask(24); // ignored on IPv6
    EXPECT_FALSE(ip.IsShortMask());
    EXPECT_EQ(ip.ShortMask(), 0);
    EXPECT_EQ(ip.AsAnsiString(), "::");
    ip.SetVersion(0);
    EXPECT_TRUE(ip.IsNull());
    ip.SetShortMask(16);
    EXPECT_EQ(ip.ShortMask(), 16);
    EXPECT_EQ(ip.AsAnsiString(), "");
}

TEST(IPAddressValue, RecordWriteAndAssign) {
    TIPAddress ip;
    ip.SetIPAddress(IPRecFromIPv4(0x0A000001));
    EXPECT_EQ(ip.AsAnsiString(), "10.0.0.1");
    TIPAddressRec none{};
    none.ip4 = 5;
    ip.SetIPAddress(none);
    EXPECT_TRUE(ip.IsNull());
    EXPECT_EQ(ip.IPAddress().ip4, 0u);

    IP src("10.0.0.1/16");
    TIPAddress dst;
    dst.Assign(&src);
    EXPECT_EQ(dst.AsAnsiString(), "10.0.0.1/16");
    EXPECT_TRUE(dst.IsError()); // the error code is not copied
    dst.Assign(nullptr);
    EXPECT_EQ(dst.AsAnsiString(), "10.0.0.1/16");
}

TEST(IPAddressValue, OctetsAndGroups) {
    IP v4("10.1.2.3"), v6("1:2:3:4:5:6:7:8");
    EXPECT_EQ(v4.GetIPv4(0), 10);
    EXPECT_EQ(v4.GetIPv4(3), 3);
    v4.SetIPv4(1, 200);
    v4.SetIPv4(3, 0x1FF); // only the low byte
    EXPECT_EQ(v4.IPAddress().ip4, 0x0AC802FFu);
    EXPECT_EQ(v6.GetIPv6(0), 1);
    EXPECT_EQ(v6.GetIPv6(7), 8);
    v6.SetIPv6(0, 0xFE80);
    v6.SetIPv6(7, 0xABCD);
    EXPECT_EQ(v6.AsAnsiString(), "fe80:2:3:4:5:6:7:abcd");
}

TEST(IPAddressValue, WrongVersionOrIndexAsserts) {
    IP v4("10.1.2.3"), v6("::1"), none(""), unknown("");
    unknown.SetVersion(5);
    const std::function<void()> misuses[] = {
        [&] { v6.GetIPv4(0); }, [&] { v6.SetIPv4(0, 1); }, [&] { none.GetIPv4(0); },
        [&] { v4.GetIPv6(0); }, [&] { v4.SetIPv6(0, 1); }, [&] { v4.GetIPv4(4); },
        [&] { v6.GetIPv6(8); }, [&] { v6.GetIPv6(-1); }, [&] { unknown.AsAnsiString(); },
    };
    for (std::size_t i = 0; i < std::size(misuses); ++i) {
        try {
            misuses[i]();
            ADD_FAILURE() << "no assertion in misuse #" << i;
        } catch (const EAssertionFailed &e) {
            EXPECT_TRUE(e.Message().startsWith("Assertion failure (UI\\Components\\VQIPAddressUtils, line "))
                << e.what();
        }
    }
}

TEST(IPAddressText, IPv4) {
    const std::pair<const char *, const char *> read[] = {
        {"192.168.1.10/24", "192.168.1.10/24"}, {"10.1", "10.0.0.1"}, // shorthand; the old prefix is dropped
        {"0.0.0.0", "0.0.0.0"}, {"255.255.255.254", "255.255.255.254"}, {"", ""},
    };
    for (const auto &[text, printed] : read)
        EXPECT_EQ(ReadOver("10.9.9.9/24", text), Outcome(1, printed)) << text;
    // The prefix is the number after the slash, however large; what is not a number reads as 0.
    const std::pair<const char *, const char *> prefixes[] = {
        {"10.0.0.1/256", "10.0.0.1/256"}, {"10.0.0.1/300", "10.0.0.1/300"}, {"10.0.0.1/0300", "10.0.0.1/300"},
        {"10.0.0.1/2147483647", "10.0.0.1/2147483647"},
    };
    for (const auto &[text, printed] : prefixes)
        EXPECT_EQ(ReadOver("10.9.9.9/24", text), Outcome(1, printed)) << text;
    for (const char *text : {"10.0.0.1/", "10.0.0.1/x", "10.0.0.1/24x", "10.0.0.1/-1", "10.0.0.1/+8", "10.0.0.1/2/4",
                             "10.0.0.1/2147483648"})
        EXPECT_EQ(ReadOver("10.9.9.9/24", text), Outcome(1, "10.0.0.1/0")) << text;
    // Refused, the address stays; 255.255.255.255 is how the platform says no.
    for (const char *text : {"255.255.255.255", "1.2.3.256", "1..2", "1.2.3.4.5", "a.b", ".", "09.1.1.1", "1.2::3:4"})
        EXPECT_EQ(ReadOver("10.9.9.9/24", text), Outcome(0, "10.9.9.9")) << text;
    for (const char *text : {"10", "abc", "10/8", " "}) // neither a full stop nor a colon
        EXPECT_EQ(ReadOver("10.9.9.9/24", text), Outcome(-2, "10.9.9.9")) << text;
}

TEST(IPAddressText, IPv6) {
    // Most forms are compared with the platform below; these are the rules' corners.
    const std::pair<const char *, const char *> read[] = {
        {"fe80::1", "fe80::1"}, {"FE80::ABCD", "fe80::abcd"}, {"::", "::"}, {"1::", "1::"},
        {"1:2:3:4:5:6:7::", "1:2:3:4:5:6:7:0"}, // a single zero group is not compressed
        {"::10.1", "::10.0.0.1"}, {"::0x7f.1", "::127.0.0.1"}, // the tail reads as IPv4 text does
        {"0:0:0:0:0:ffff:a00:1", "::ffff:10.0.0.1"}, {"0:0:0:0:0:0:a00:1", "::10.0.0.1"}, {"0:0:0:0:0:0:0:1", "::1"},
        {"1:0:0:2:0:0:0:3", "1:0:0:2::3"},   // the longer run wins
        {"1:0:0:2:0:0:3:4", "1::2:0:0:3:4"}, // the first of equal runs
        // Written with a 255.255.255.255 tail, which the tail conversion refuses (below).
        {"::ffff:ffff:ffff", "::ffff:255.255.255.255"},
    };
    for (const auto &[text, printed] : read)
        EXPECT_EQ(ReadOver("fe80::2", text), Outcome(1, printed)) << text;
    for (const char *text : {"1:2:3", ":1::2", "1::2::3", "1:2:3:4:5:6:7:8:9", "1:2:3:4:5:6:7:8::", "::1:2:3:4:5:6:7:8",
                             "1::2:", "1:", ":", ":::", "1:::2", "12345::", "g::1", "::1 ", "::1/64",
                             "1:2:3:4:5:6:7:1.2.3.4", "1:2:3:4:5:6:1.2.3.4::", "::1.2.3.4:5", "::1.2.3.4.5",
                             "::ffff:255.255.255.255"})
        EXPECT_EQ(ReadOver("fe80::2", text), Outcome(0, "fe80::2")) << text;
}

TEST(IPAddressPlatform, IPv6TextMatchesInetNtop) {
    std::mt19937 rng(20240501);
    std::uniform_int_distribution<int> byte(0, 255);
    TIPAddress ip;
    for (int n = 0; n < 20000; ++n) {
        Bytes b = RandomBytes(rng);
        if (n % 4 == 0)
            for (auto &x : b)
                x = uint8_t(byte(rng));
        ip.SetIPAddress(V6(b));
        ASSERT_EQ(ip.AsAnsiString(), Ntop(b)) << n;
    }
}

TEST(IPAddressPlatform, TextsInetPtonAcceptsReadToTheSameBytes) {
    std::mt19937 rng(4291);
    int compared = 0;
    for (int n = 0; n < 20000; ++n) {
        const Bytes b = RandomBytes(rng);
        for (const AnsiString &text : {Ntop(b), Rewrite(b, rng)}) {
            Bytes expected;
            if (inet_pton(AF_INET6, text.c_str(), expected.data()) != 1)
                continue;
            ++compared;
            IP ip(text);
            if (text.ends_with("255.255.255.255")) {
                // The IPv4 tail conversion cannot tell this address from a failure.
                EXPECT_EQ(ip.ErrorCode(), 0) << text;
                continue;
            }
            ASSERT_EQ(ip.ErrorCode(), 1) << text;
            ASSERT_TRUE(ip.IPAddress() == V6(expected)) << text;
        }
    }
    EXPECT_GT(compared, 30000);
}

TEST(IPAddressPlatform, RandomIPv6LikeTextsAgreeWithInetPton) {
    // Short texts over the IPv6 alphabet: whatever inet_pton reads must read to the
    // same bytes; whatever only we read must owe it to the IPv4 tail conversion.
    std::mt19937 rng(6);
    const char alphabet[] = "0011::::..fA2";
    std::uniform_int_distribution<int> length(1, 24), pick(0, sizeof alphabet - 2);
    int accepted = 0;
    for (int n = 0; n < 200000; ++n) {
        AnsiString text(std::size_t(length(rng)), ' ');
        for (char &c : text)
            c = alphabet[pick(rng)];
        if (text.find(':') == AnsiString::npos || text.find(':') > text.find('.'))
            continue;
        Bytes expected;
        const bool platform = inet_pton(AF_INET6, text.c_str(), expected.data()) == 1;
        IP ip(text);
        if (platform) {
            ++accepted;
            ASSERT_EQ(ip.ErrorCode(), 1) << text;
            ASSERT_TRUE(ip.IPAddress() == V6(expected)) << text;
        } else if (!ip.IsError()) {
            ASSERT_NE(text.find('.'), AnsiString::npos) << text;
        }
    }
    EXPECT_GT(accepted, 100);
}

TEST(IPAddressPlatform, IPv4ReadingAgreesWithInetAddr) {
    std::mt19937 rng(1981);
    std::uniform_int_distribution<int> parts(2, 4), form(0, 3), octet(0, 300);
    std::uniform_int_distribution<uint32_t> wide(0, 0xFFFFFFFF);
    const char *const formats[] = {"%u", "0%o", "0x%x", "0X%X"};
    int accepted = 0;
    for (int n = 0; n < 50000; ++n) {
        const int count = parts(rng);
        AnsiString text;
        char buf[32];
        for (int i = 0; i < count; ++i) {
            // The last part of a shorthand text may be wide.
            const uint32_t v = i == count - 1 && form(rng) == 0 ? wide(rng) >> (8 * (count - 1)) : uint32_t(octet(rng));
            std::snprintf(buf, sizeof buf, formats[form(rng)], v);
            text += (i ? "." : "") + AnsiString(buf);
        }
        const uint32_t platform = inet_addr(text.c_str());
        IP ip(text);
        if (platform == INADDR_NONE) {
            ASSERT_EQ(ip.ErrorCode(), 0) << text;
        } else {
            ++accepted;
            ASSERT_EQ(ip.ErrorCode(), 1) << text;
            ASSERT_EQ(ip.IPAddress().ip4, ntohl(platform)) << text;
        }
    }
    EXPECT_GT(accepted, 5000);
}

