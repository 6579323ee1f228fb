#include "VQIPAddressUtils.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

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

} // namespace

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
        QStringLiteral("10.1"),       QStringLiteral("010.0.0.5"),    QStringLiteral("10.0.0.5/24"),
        QStringLiteral(" 10.0.0.5"),  QStringLiteral("fe80::1%eth0"), QStringLiteral("10.0.0.5") + QChar(0),
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
    ip.SetVersion(6); // another version clears the value and the prefix
    EXPECT_FALSE(ip.IsShortMask());
    ip.SetShortMask(24); // ignored on IPv6
    EXPECT_FALSE(ip.IsShortMask());
    EXPECT_EQ(ip.ShortMask(), 0);
    EXPECT_EQ(ip.AsAnsiString(), "::");
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
        {"10.0.0.1/0300", "10.0.0.1/300"}, {"10.0.0.1/2147483647", "10.0.0.1/2147483647"},
    };
    for (const auto &[text, printed] : prefixes)
        EXPECT_EQ(ReadOver("10.9.9.9/24", text), Outcome(1, printed)) << text;
    for (const char *text : {"10.0.0.1/", "10.0.0.1/24x", "10.0.0.1/-1", "10.0.0.1/2147483648"})
        EXPECT_EQ(ReadOver("10.9.9.9/24", text), Outcome(1, "10.0.0.1/0")) << text;
    // Refused, the address stays; 255.255.255.255 is how the platform says no.
    for (const char *text : {"255.255.255.255", "1.2.3.256", "1..2", "1.2.3.4.5", "09.1.1.1", "1.2::3:4"})
        EXPECT_EQ(ReadOver("10.9.9.9/24", text), Outcome(0, "10.9.9.9")) << text;
    for (const char *text : {"10", "abc", "10/8", " "}) // neither a full stop nor a colon
        EXPECT_EQ(ReadOver("10.9.9.9/24", text), Outcome(-2, "10.9.9.9")) << text;
}

TEST(IPAddressText, IPv6) {
    // The forms the platform's inet_ntop writes, a row per rule.
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
