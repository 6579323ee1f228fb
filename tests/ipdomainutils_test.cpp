#include "IPDomainUtils.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <random>
#include <set>

namespace {

constexpr uint32_t IP(unsigned a, unsigned b, unsigned c, unsigned d) { return a << 24 | b << 16 | c << 8 | d; }

// Runs a validator on a message that holds stale text, so clearing is checked too.
template <typename F>
std::pair<bool, AnsiString> Check(F validator) {
    AnsiString msg = "stale";
    const bool ok = validator(msg);
    return {ok, msg};
}

const std::pair<bool, AnsiString> Pass{true, ""};
std::pair<bool, AnsiString> Fail(const AnsiString &msg) { return {false, msg}; }

} // namespace

// ---- Conversions ----

TEST(IPConversion, StrToIPUsesThePlatformRules) {
    EXPECT_EQ(StrToIP(""), 0u);
    EXPECT_EQ(StrToIP("192.168.1.10"), IP(192, 168, 1, 10));
    EXPECT_EQ(StrToIP("10.1"), IP(10, 0, 0, 1));
    EXPECT_EQ(StrToIP("010.0.0.1"), IP(8, 0, 0, 1));
    EXPECT_EQ(StrToIP("0x7f.1"), IP(127, 0, 0, 1));
    EXPECT_EQ(StrToIP("abc"), 0xFFFFFFFFu);
    EXPECT_EQ(StrToIP("1.2.3.256"), 0xFFFFFFFFu);
}

TEST(IPConversion, IPToStrIsDottedDecimal) {
    EXPECT_EQ(IPToStr(IP(192, 168, 1, 10)), "192.168.1.10");
    EXPECT_EQ(IPToStr(0), "0.0.0.0");
    EXPECT_EQ(IPToStr(0xFFFFFFFF), "255.255.255.255");
}

// ---- Subnet masks and reserved blocks ----

TEST(SubnetMask, OnlyContiguousPrefixesOfOneTo31Bits) {
    EXPECT_TRUE(IsValidSubnetMask(IP(255, 255, 255, 0)));
    EXPECT_FALSE(IsValidSubnetMask(IP(255, 0, 255, 0)));
    EXPECT_FALSE(IsValidSubnetMask(0));
    EXPECT_FALSE(IsValidSubnetMask(0xFFFFFFFF));
    std::set<uint32_t> prefixes;
    for (int bits = 1; bits < 32; ++bits)
        prefixes.insert(0xFFFFFFFFu << (32 - bits));
    // Every prefix and every mask one bit away from one.
    for (uint32_t prefix : prefixes) {
        EXPECT_TRUE(IsValidSubnetMask(prefix)) << IPToStr(prefix);
        for (int bit = 0; bit < 32; ++bit) {
            const uint32_t mask = prefix ^ (1u << bit);
            EXPECT_EQ(IsValidSubnetMask(mask), prefixes.count(mask) == 1) << IPToStr(mask);
        }
    }
}

TEST(ReservedBlock, FirstMatchingRowAtTheBoundaries) {
    const struct {
        uint32_t ip;
        int index; // -1: none
    } cases[] = {
        {IP(0, 0, 0, 0), 0},         {IP(0, 255, 255, 255), 0},     {IP(1, 0, 0, 0), -1},
        {IP(126, 255, 255, 255), -1}, {IP(127, 0, 0, 1), 1},        {IP(127, 255, 255, 255), 1},
        {IP(128, 0, 0, 0), -1},      {IP(223, 255, 255, 255), -1},  {IP(224, 0, 0, 0), 2},
        {IP(239, 255, 255, 255), 2}, {IP(240, 0, 0, 0), 3},         {IP(255, 255, 255, 255), 3},
    };
    for (const auto &c : cases) {
        int index = -7;
        EXPECT_EQ(FindReservedBlock(c.ip, index), c.index >= 0) << IPToStr(c.ip);
        if (c.index >= 0) {
            EXPECT_EQ(index, c.index) << IPToStr(c.ip);
        }
    }
    EXPECT_STREQ(ReservedIPBlocks[0].ReservedFor, "\"this\" network");
}

// ---- Domain names ----

TEST(DomainName, WellFormed) {
    for (const char *name : {"host1", "a", "a.b", "1host.office.lan", "my-host.example.com", "my_host.lan", "x.y1",
                             "A-1.b", "9.a", "a1-b2.c--d"})
        EXPECT_TRUE(IsWellFormedDomainName(name)) << name;
    for (const char *name : {"", "1host", "host.", ".host", "a..b", "-host.lan", "host-.lan", "host.lan-", "host.1lan",
                             "ho st", "h\xe9.lan", "_a.b", "a._b", "a.b_", "a.b.9", "."})
        EXPECT_FALSE(IsWellFormedDomainName(name)) << name;
    EXPECT_FALSE(IsWellFormedDomainName(AnsiString("a\0b", 3)));
    EXPECT_FALSE(IsWellFormedDomainName(AnsiString("lan\0", 4)));
}

TEST(DomainName, ValidateMessages) {
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateDomainName("", m); }), Pass);
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateDomainName("", m, ipMandatory); }),
              Fail("Domain name cannot be empty."));
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateDomainName("a.b", m, ipMandatory); }), Pass);
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateDomainName("host.", m); }),
              Fail("\"host.\" is not a well-formed domain name."));
}

TEST(DomainName, Utf16FormConvertsBothWays) {
    QString msg = "stale";
    EXPECT_TRUE(ValidateDomainName(QStringLiteral("office.lan"), msg));
    EXPECT_TRUE(msg.isEmpty());
    // é is one byte of the code page and comes back unchanged; it is still no letter.
    EXPECT_FALSE(ValidateDomainName(QString::fromUtf8("café.lan"), msg));
    EXPECT_EQ(msg, QString::fromUtf8("\"café.lan\" is not a well-formed domain name."));
    // A character the code page lacks becomes '?'.
    EXPECT_FALSE(ValidateDomainName(QString::fromUtf8("дом.lan"), msg));
    EXPECT_EQ(msg, "\"???.lan\" is not a well-formed domain name.");
    EXPECT_FALSE(ValidateDomainName(QString(), msg, ipMandatory));
    EXPECT_EQ(msg, "Domain name cannot be empty.");
}

// ---- Host names ----

TEST(HostName, EmptyAndSpaces) {
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateHostName("", m); }), Pass);
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateHostName("", m, ipMandatory); }),
              Fail("Please specify an IP address or a domain name."));
    for (const char *name : {"my host", " 10.0.0.1", "10.0.0.1 "})
        EXPECT_EQ(Check([&](AnsiString &m) { return ValidateHostName(name, m); }),
                  Fail("An IP address or a domain name cannot contain spaces."))
            << name;
}

TEST(HostName, PlatformAddressesAreJudgedAsAddresses) {
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateHostName("192.168.1.10", m); }), Pass);
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateHostName("1.2.3", m); }),
              Fail("\"1.2.3\" is not a well-formed IP address."));
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateHostName("1234", m); }),
              Fail("\"1234\" is not a well-formed IP address."));
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateHostName("127.0.0.1", m); }),
              Fail("IP address 127.0.0.1 belongs to the 127.0.0.0/8 block, which is reserved for loopback and cannot "
                   "be used as a host IP."));
    // The options reach the address check: 0.0.0.0 is empty there.
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateHostName("0.0.0.0", m); }), Pass);
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateHostName("0.0.0.0", m, ipMandatory); }),
              Fail("The IP address is empty."));
    // The platform cannot tell this one from a failure, so it is a (bad) domain name.
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateHostName("255.255.255.255", m); }),
              Fail("\"255.255.255.255\" is not a well-formed domain name."));
}

TEST(HostName, DomainNames) {
    for (const char *name : {"host1", "1host.office.lan", "pbx.example.com"})
        EXPECT_EQ(Check([&](AnsiString &m) { return ValidateHostName(name, m); }), Pass) << name;
    for (const char *name : {"1host", "host.lan.", "-host.lan", "a..b", "1.2.3.4x"})
        EXPECT_EQ(Check([&](AnsiString &m) { return ValidateHostName(name, m); }),
                  Fail("\"" + AnsiString(name) + "\" is not a well-formed domain name."))
            << name;
}

TEST(HostName, Utf16Form) {
    QString msg;
    EXPECT_FALSE(ValidateHostName(QStringLiteral("my host"), msg));
    EXPECT_EQ(msg, "An IP address or a domain name cannot contain spaces.");
    EXPECT_TRUE(ValidateHostName(QStringLiteral("10.0.0.1"), msg));
    EXPECT_TRUE(msg.isEmpty());
}

// ---- IP addresses ----

TEST(IPAddressText, OnlyCanonicalDottedDecimal) {
    for (const char *text : {"10.1", "010.0.0.1", "0x0a.0.0.1", "10.0.0.1 ", "10.0.0.01", "10.0.0.256", "abc", "1.2.3.4.5"})
        EXPECT_EQ(Check([&](AnsiString &m) { return ValidateIPAddress(text, m); }),
                  Fail("\"" + AnsiString(text) + "\" is not a well-formed IP address."))
            << text;
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateIPAddress("192.168.1.10", m); }), Pass);
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateIPAddress(AnsiString("10.0.0.1\0x", 10), m); }).first, false);
}

TEST(IPAddressText, EmptyAndZero) {
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateIPAddress("", m); }), Pass);
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateIPAddress("", m, ipMandatory); }),
              Fail("The IP address is empty."));
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateIPAddress("0.0.0.0", m); }), Pass);
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateIPAddress("0.0.0.0", m, ipMandatory); }),
              Fail("The IP address is empty."));
}

TEST(IPAddressText, ReservedBlocks) {
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateIPAddress("127.0.0.1", m); }),
              Fail("IP address 127.0.0.1 belongs to the 127.0.0.0/8 block, which is reserved for loopback and cannot "
                   "be used as a host IP."));
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateIPAddress("255.255.255.255", m); }),
              Fail("IP address 255.255.255.255 belongs to the 240.0.0.0/4 block, which is reserved for future use "
                   "and cannot be used as a host IP."));
}

TEST(HostIP, ZeroAndReservedBlocks) {
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateHostIP(0, m); }), Pass);
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateHostIP(0, m, ipMandatory); }), Fail("The IP address is empty."));
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateHostIP(IP(0, 1, 2, 3), m); }),
              Fail("IP address 0.1.2.3 belongs to the 0.0.0.0/8 block, which is reserved for \"this\" network and "
                   "cannot be used as a host IP."));
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateHostIP(IP(239, 1, 1, 1), m); }),
              Fail("IP address 239.1.1.1 belongs to the 224.0.0.0/4 block, which is reserved for multicast and "
                   "cannot be used as a host IP."));
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateHostIP(IP(223, 255, 255, 254), m, ipMandatory); }), Pass);
}

TEST(HostIPWithMask, SubnetAndBroadcastAddresses) {
    const uint32_t mask = IP(255, 255, 255, 0);
    EXPECT_EQ(Check([&](AnsiString &m) { return ValidateHostIPWithMask(IP(192, 168, 1, 1), mask, m); }), Pass);
    EXPECT_EQ(Check([&](AnsiString &m) { return ValidateHostIPWithMask(IP(192, 168, 1, 254), mask, m); }), Pass);
    EXPECT_EQ(Check([&](AnsiString &m) { return ValidateHostIPWithMask(IP(192, 168, 1, 0), mask, m); }),
              Fail("IP address 192.168.1.0 with a subnet mask of 255.255.255.0 is the Subnet address and cannot be "
                   "used as a host IP."));
    EXPECT_EQ(Check([&](AnsiString &m) { return ValidateHostIPWithMask(IP(192, 168, 1, 255), mask, m); }),
              Fail("IP address 192.168.1.255 with a subnet mask of 255.255.255.0 is the Subnet's broadcast address "
                   "and cannot be used as a host IP."));
    // The host check comes first; an empty address it accepts is still the subnet address.
    EXPECT_EQ(Check([&](AnsiString &m) { return ValidateHostIPWithMask(IP(127, 0, 0, 1), mask, m); }),
              Fail("IP address 127.0.0.1 belongs to the 127.0.0.0/8 block, which is reserved for loopback and cannot "
                   "be used as a host IP."));
    EXPECT_EQ(Check([&](AnsiString &m) { return ValidateHostIPWithMask(0, mask, m); }),
              Fail("IP address 0.0.0.0 with a subnet mask of 255.255.255.0 is the Subnet address and cannot be used "
                   "as a host IP."));
    EXPECT_EQ(Check([&](AnsiString &m) { return ValidateHostIPWithMask(0, mask, m, ipMandatory); }),
              Fail("The IP address is empty."));
}

TEST(HostIPWithMask, NarrowMasksLeaveNoHosts) {
    for (uint32_t ip : {IP(10, 0, 0, 1), IP(10, 0, 0, 2), IP(192, 168, 7, 9)}) {
        EXPECT_FALSE(Check([&](AnsiString &m) { return ValidateHostIPWithMask(ip, 0xFFFFFFFF, m); }).first);
        EXPECT_FALSE(Check([&](AnsiString &m) { return ValidateHostIPWithMask(ip, 0xFFFFFFFE, m); }).first);
    }
}

// ---- Networks ----

TEST(Network, HostBitsAndReservedBlocks) {
    const uint32_t mask = IP(255, 255, 0, 0);
    EXPECT_EQ(Check([&](AnsiString &m) { return ValidateNetwork(IP(172, 16, 0, 0), mask, m); }), Pass);
    EXPECT_EQ(Check([&](AnsiString &m) { return ValidateNetwork(IP(172, 16, 1, 0), mask, m); }),
              Fail("Network address 172.16.1.0 with a subnet mask of 255.255.0.0 is not a valid subnet address."));
    EXPECT_EQ(Check([&](AnsiString &m) { return ValidateNetwork(IP(127, 0, 0, 0), mask, m); }), Pass);
    EXPECT_EQ(Check([&](AnsiString &m) { return ValidateNetwork(IP(127, 0, 0, 0), mask, m, nwCheckSpecial); }),
              Fail("Network 127.0.0.0 belongs to the 127.0.0.0/8 block, which is reserved for loopback."));
    // The reserved block is reported before the host bits.
    EXPECT_EQ(Check([&](AnsiString &m) { return ValidateNetwork(IP(240, 0, 0, 1), mask, m, nwCheckSpecial); }),
              Fail("Network 240.0.0.1 belongs to the 240.0.0.0/4 block, which is reserved for future use."));
}

// ---- E-mail and user-domain addresses ----

TEST(EMail, EmptyAndMissingUser) {
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateEMailAddress("", m); }), Pass);
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateEMailAddress("", m, emMandatory); }),
              Fail("The E-Mail address is empty"));
    for (const char *address : {"@example.com", "user.example.com", "@"})
        EXPECT_EQ(Check([&](AnsiString &m) { return ValidateEMailAddress(address, m); }),
                  Fail("\"" + AnsiString(address) + "\" is not valid E-Mail address."))
            << address;
}

TEST(EMail, UserCharacters) {
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateEMailAddress("a.b-c_d~e!f'g(h)i*j@example.com", m); }), Pass);
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateEMailAddress("john smith@example.com", m); }),
              Fail("Invalid symbol in user name \" \""));
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateEMailAddress("jo+hn;x@example.com", m); }),
              Fail("Invalid symbol in user name \"+\""));
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateEMailAddress("j\xe9@example.com", m); }),
              Fail("Invalid symbol in user name \"\xe9\""));
}

TEST(EMail, HostIsAHostNameOrADomainName) {
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateEMailAddress("user@192.168.1.10", m); }), Pass);
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateEMailAddress("user@", m); }),
              Fail("Please specify an IP address or a domain name."));
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateEMailAddress("user@127.0.0.1", m); }),
              Fail("IP address 127.0.0.1 belongs to the 127.0.0.0/8 block, which is reserved for loopback and cannot "
                   "be used as a host IP."));
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateEMailAddress("user@192.168.1.10", m, emNoIPAsHost); }),
              Fail("\"192.168.1.10\" is not a well-formed domain name."));
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateEMailAddress("user@", m, emNoIPAsHost); }),
              Fail("Domain name cannot be empty."));
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateEMailAddress("user@mail.example.com", m, emNoIPAsHost); }), Pass);
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateEMailAddress("user@a@b.com", m); }),
              Fail("\"a@b.com\" is not a well-formed domain name."));
}

TEST(UserFQDN, OwnMessagesSameRules) {
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateUserFQDN("", m); }), Pass);
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateUserFQDN("", m, emMandatory); }),
              Fail("The user-domain address is empty"));
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateUserFQDN("@pbx.lan", m); }), Fail("Invalid user-domain address!"));
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateUserFQDN("1001", m); }), Fail("Invalid user-domain address!"));
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateUserFQDN("10:01@pbx.lan", m); }),
              Fail("Invalid symbol in user name \":\""));
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateUserFQDN("1001@pbx.lan", m); }), Pass);
    EXPECT_EQ(Check([](AnsiString &m) { return ValidateUserFQDN("1001@10.0.0.5", m, emNoIPAsHost); }),
              Fail("\"10.0.0.5\" is not a well-formed domain name."));
}

// ---- Any input ----

TEST(Validators, ArbitraryTextGivesAResultAndAMessage) {
    // Every validator answers any bytes, and a refusal always says why.
    std::mt19937 rng(3261);
    const char alphabet[] = "09aZ.@-_ :!~\xe9\0";
    std::uniform_int_distribution<int> length(0, 40), pick(0, sizeof alphabet - 1), any(0, 255), coin(0, 3);
    const TIPValidationOptions ipOptions[] = {{}, ipMandatory};
    const TEMailValidationOptions emOptions[] = {{}, emMandatory, emNoIPAsHost, emMandatory | emNoIPAsHost};
    for (int n = 0; n < 20000; ++n) {
        AnsiString text(std::size_t(length(rng)), ' ');
        for (char &c : text)
            c = coin(rng) ? alphabet[pick(rng)] : char(any(rng));
        AnsiString msg;
        const auto consistent = [&](bool ok) { return ok == msg.empty(); };
        for (auto o : ipOptions) {
            ASSERT_TRUE(consistent(ValidateDomainName(text, msg, o))) << text;
            ASSERT_TRUE(consistent(ValidateHostName(text, msg, o))) << text;
            ASSERT_TRUE(consistent(ValidateIPAddress(text, msg, o))) << text;
            // An accepted address is canonical, so it is accepted as a host name too.
            if (ValidateIPAddress(text, msg, o) && !text.empty()) {
                ASSERT_TRUE(ValidateHostName(text, msg, o)) << text;
            }
        }
        for (auto o : emOptions) {
            ASSERT_TRUE(consistent(ValidateEMailAddress(text, msg, o))) << text;
            ASSERT_TRUE(consistent(ValidateUserFQDN(text, msg, o))) << text;
        }
    }
}
