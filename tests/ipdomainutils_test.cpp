#include "IPDomainUtils.h"

#include <gtest/gtest.h>

#include <set>
#include <type_traits>

namespace {

constexpr uint32_t IP(unsigned a, unsigned b, unsigned c, unsigned d) { return a << 24 | b << 16 | c << 8 | d; }

const AnsiString OK = "(accepted)";

// A validator's message, or OK. Validators run on a message holding stale
// text, so clearing is checked too, and the result must agree with the message.
AnsiString Outcome(bool ok, const AnsiString &msg) {
    EXPECT_EQ(ok, msg.empty()) << msg;
    return ok ? OK : msg;
}

template <typename T, typename Options>
AnsiString Answer(bool (*validate)(T, AnsiString &, Options), std::type_identity_t<T> value,
                  std::type_identity_t<Options> options = {}) {
    AnsiString msg = "stale";
    return Outcome(validate(value, msg, options), msg);
}

template <typename Options>
AnsiString Answer(bool (*validate)(uint32_t, uint32_t, AnsiString &, Options), uint32_t ip, uint32_t mask,
                  std::type_identity_t<Options> options = {}) {
    AnsiString msg = "stale";
    return Outcome(validate(ip, mask, msg, options), msg);
}

AnsiString NotIP(const AnsiString &text) { return '"' + text + "\" is not a well-formed IP address."; }
AnsiString NotDomain(const AnsiString &name) { return '"' + name + "\" is not a well-formed domain name."; }
AnsiString Reserved(const AnsiString &ip, const AnsiString &block, const AnsiString &purpose) {
    return "IP address " + ip + " belongs to the " + block + " block, which is reserved for " + purpose +
           " and cannot be used as a host IP.";
}
AnsiString NoHost(const AnsiString &ip, const AnsiString &mask, const AnsiString &what) {
    return "IP address " + ip + " with a subnet mask of " + mask + " is the " + what +
           " address and cannot be used as a host IP.";
}

} // namespace

TEST(IPConversion, PlatformRulesAndDottedDecimal) {
    EXPECT_EQ(StrToIP(""), 0u);
    EXPECT_EQ(StrToIP("10.1"), IP(10, 0, 0, 1));
    EXPECT_EQ(StrToIP("abc"), 0xFFFFFFFFu);
    EXPECT_EQ(IPToStr(IP(192, 168, 1, 10)), "192.168.1.10");
    EXPECT_EQ(IPToStr(0), "0.0.0.0");
}

TEST(SubnetMask, OnlyContiguousPrefixesOfOneTo31Bits) {
    EXPECT_FALSE(IsValidSubnetMask(0));
    EXPECT_FALSE(IsValidSubnetMask(0xFFFFFFFF));
    EXPECT_FALSE(IsValidSubnetMask(IP(255, 0, 255, 0)));
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
    const std::pair<uint32_t, int> cases[] = { // -1: none
        {IP(0, 0, 0, 0), 0},         {IP(0, 255, 255, 255), 0},    {IP(1, 0, 0, 0), -1},
        {IP(126, 255, 255, 255), -1}, {IP(127, 0, 0, 1), 1},       {IP(127, 255, 255, 255), 1},
        {IP(128, 0, 0, 0), -1},      {IP(223, 255, 255, 255), -1}, {IP(224, 0, 0, 0), 2},
        {IP(239, 255, 255, 255), 2}, {IP(240, 0, 0, 0), 3},        {IP(255, 255, 255, 255), 3},
    };
    for (const auto &[ip, expected] : cases) {
        int index = -1;
        EXPECT_EQ(FindReservedBlock(ip, index) ? index : -1, expected) << IPToStr(ip);
    }
}

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

TEST(DomainName, Utf16FormsConvertBothWays) {
    QString msg;
    // é is one byte of the code page and comes back unchanged; it is still no letter.
    EXPECT_FALSE(ValidateDomainName(QString::fromUtf8("café.lan"), msg));
    EXPECT_EQ(msg, QString::fromUtf8("\"café.lan\" is not a well-formed domain name."));
    // A character the code page lacks becomes '?'.
    EXPECT_FALSE(ValidateDomainName(QString::fromUtf8("дом.lan"), msg));
    EXPECT_EQ(msg, "\"???.lan\" is not a well-formed domain name.");
    EXPECT_FALSE(ValidateDomainName(QString(), msg, ipMandatory));
    EXPECT_EQ(msg, "Domain name cannot be empty.");
    EXPECT_TRUE(ValidateDomainName(QString(), msg));
    EXPECT_TRUE(msg.isEmpty());
    EXPECT_FALSE(ValidateHostName(QStringLiteral("my host"), msg));
    EXPECT_EQ(msg, "An IP address or a domain name cannot contain spaces.");
    EXPECT_TRUE(ValidateHostName(QStringLiteral("10.0.0.1"), msg));
    EXPECT_TRUE(msg.isEmpty());
}

TEST(HostName, EmptySpacesAddressesAndDomainNames) {
    EXPECT_EQ(Answer(ValidateHostName, ""), OK);
    EXPECT_EQ(Answer(ValidateHostName, "", ipMandatory), "Please specify an IP address or a domain name.");
    for (const char *name : {"my host", " 10.0.0.1", "10.0.0.1 "})
        EXPECT_EQ(Answer(ValidateHostName, name), "An IP address or a domain name cannot contain spaces.") << name;
    // Whatever the platform reads as IPv4 is judged as an address, with the options.
    EXPECT_EQ(Answer(ValidateHostName, "192.168.1.10"), OK);
    EXPECT_EQ(Answer(ValidateHostName, "1.2.3"), NotIP("1.2.3"));
    EXPECT_EQ(Answer(ValidateHostName, "1234"), NotIP("1234"));
    EXPECT_EQ(Answer(ValidateHostName, "127.0.0.1"), Reserved("127.0.0.1", "127.0.0.0/8", "loopback"));
    EXPECT_EQ(Answer(ValidateHostName, "0.0.0.0"), OK);
    EXPECT_EQ(Answer(ValidateHostName, "0.0.0.0", ipMandatory), "The IP address is empty.");
    // The platform cannot tell this one from a failure, so it is a (bad) domain name.
    EXPECT_EQ(Answer(ValidateHostName, "255.255.255.255"), NotDomain("255.255.255.255"));
    for (const char *name : {"host1", "1host.office.lan", "pbx.example.com"})
        EXPECT_EQ(Answer(ValidateHostName, name), OK) << name;
    for (const char *name : {"1host", "host.lan.", "-host.lan", "a..b", "1.2.3.4x"})
        EXPECT_EQ(Answer(ValidateHostName, name), NotDomain(name)) << name;
}

TEST(HostIP, CanonicalTextThenZeroAndReservedBlocks) {
    for (const char *text :
         {"10.1", "010.0.0.1", "0x0a.0.0.1", "10.0.0.1 ", "10.0.0.01", "10.0.0.256", "abc", "1.2.3.4.5"})
        EXPECT_EQ(Answer(ValidateIPAddress, text), NotIP(text)) << text;
    EXPECT_NE(Answer(ValidateIPAddress, AnsiString("10.0.0.1\0x", 10)), OK);
    EXPECT_EQ(Answer(ValidateIPAddress, "192.168.1.10"), OK);
    for (const char *empty : {"", "0.0.0.0"}) { // 0 counts as empty
        EXPECT_EQ(Answer(ValidateIPAddress, empty), OK);
        EXPECT_EQ(Answer(ValidateIPAddress, empty, ipMandatory), "The IP address is empty.") << empty;
    }
    const char *const reserved[][3] = {{"0.1.2.3", "0.0.0.0/8", "\"this\" network"},
                                       {"127.0.0.1", "127.0.0.0/8", "loopback"},
                                       {"239.1.1.1", "224.0.0.0/4", "multicast"},
                                       {"255.255.255.255", "240.0.0.0/4", "future use"}};
    for (const auto &[ip, block, purpose] : reserved)
        EXPECT_EQ(Answer(ValidateIPAddress, ip), Reserved(ip, block, purpose));
    EXPECT_EQ(Answer(ValidateHostIP, IP(223, 255, 255, 254), ipMandatory), OK);
}

TEST(HostIPWithMask, SubnetAndBroadcastAddresses) {
    const uint32_t mask = IP(255, 255, 255, 0);
    EXPECT_EQ(Answer(ValidateHostIPWithMask, IP(192, 168, 1, 1), mask), OK);
    EXPECT_EQ(Answer(ValidateHostIPWithMask, IP(192, 168, 1, 254), mask), OK);
    // The host check comes first.
    EXPECT_EQ(Answer(ValidateHostIPWithMask, IP(127, 0, 0, 1), mask),
              Reserved("127.0.0.1", "127.0.0.0/8", "loopback"));
    EXPECT_EQ(Answer(ValidateHostIPWithMask, 0, mask, ipMandatory), "The IP address is empty.");
    const char *const noHost[][3] = {
        {"192.168.1.0", "255.255.255.0", "Subnet"}, {"192.168.1.255", "255.255.255.0", "Subnet's broadcast"},
        {"0.0.0.0", "255.255.255.0", "Subnet"}, // empty, which the host check lets pass
        // Masks of 31 and 32 bits leave no host.
        {"10.0.0.1", "255.255.255.255", "Subnet"}, {"10.0.0.2", "255.255.255.254", "Subnet"},
        {"10.0.0.1", "255.255.255.254", "Subnet's broadcast"}};
    for (const auto &[ip, netmask, what] : noHost)
        EXPECT_EQ(Answer(ValidateHostIPWithMask, StrToIP(ip), StrToIP(netmask)), NoHost(ip, netmask, what));
}

TEST(Network, HostBitsAndReservedBlocks) {
    const uint32_t mask = IP(255, 255, 0, 0);
    EXPECT_EQ(Answer(ValidateNetwork, IP(172, 16, 0, 0), mask), OK);
    EXPECT_EQ(Answer(ValidateNetwork, IP(172, 16, 1, 0), mask),
              "Network address 172.16.1.0 with a subnet mask of 255.255.0.0 is not a valid subnet address.");
    EXPECT_EQ(Answer(ValidateNetwork, IP(127, 0, 0, 0), mask), OK);
    EXPECT_EQ(Answer(ValidateNetwork, IP(127, 0, 0, 0), mask, nwCheckSpecial),
              "Network 127.0.0.0 belongs to the 127.0.0.0/8 block, which is reserved for loopback.");
    // The reserved block is reported before the host bits.
    EXPECT_EQ(Answer(ValidateNetwork, IP(240, 0, 0, 1), mask, nwCheckSpecial),
              "Network 240.0.0.1 belongs to the 240.0.0.0/4 block, which is reserved for future use.");
}

TEST(EMail, EmptyUserAndHost) {
    EXPECT_EQ(Answer(ValidateEMailAddress, ""), OK);
    EXPECT_EQ(Answer(ValidateEMailAddress, "", emMandatory), "The E-Mail address is empty");
    for (const AnsiString address : {"@example.com", "user.example.com", "@"})
        EXPECT_EQ(Answer(ValidateEMailAddress, address), '"' + address + "\" is not valid E-Mail address.");
    EXPECT_EQ(Answer(ValidateEMailAddress, "a.b-c_d~e!f'g(h)i*j@example.com"), OK);
    EXPECT_EQ(Answer(ValidateEMailAddress, "john smith@example.com"), "Invalid symbol in user name \" \"");
    EXPECT_EQ(Answer(ValidateEMailAddress, "j\xe9@example.com"), "Invalid symbol in user name \"\xe9\"");
    // The host is a host name, or with emNoIPAsHost a mandatory domain name.
    EXPECT_EQ(Answer(ValidateEMailAddress, "user@192.168.1.10"), OK);
    EXPECT_EQ(Answer(ValidateEMailAddress, "user@"), "Please specify an IP address or a domain name.");
    EXPECT_EQ(Answer(ValidateEMailAddress, "user@a@b.com"), NotDomain("a@b.com"));
    EXPECT_EQ(Answer(ValidateEMailAddress, "user@192.168.1.10", emNoIPAsHost), NotDomain("192.168.1.10"));
    EXPECT_EQ(Answer(ValidateEMailAddress, "user@", emNoIPAsHost), "Domain name cannot be empty.");
    EXPECT_EQ(Answer(ValidateEMailAddress, "user@mail.example.com", emNoIPAsHost), OK);
}

TEST(UserFQDN, OwnMessagesSameRules) {
    EXPECT_EQ(Answer(ValidateUserFQDN, ""), OK);
    EXPECT_EQ(Answer(ValidateUserFQDN, "", emMandatory), "The user-domain address is empty");
    EXPECT_EQ(Answer(ValidateUserFQDN, "@pbx.lan"), "Invalid user-domain address!");
    EXPECT_EQ(Answer(ValidateUserFQDN, "1001"), "Invalid user-domain address!");
    EXPECT_EQ(Answer(ValidateUserFQDN, "10:01@pbx.lan"), "Invalid symbol in user name \":\"");
    EXPECT_EQ(Answer(ValidateUserFQDN, "1001@pbx.lan"), OK);
    EXPECT_EQ(Answer(ValidateUserFQDN, "1001@10.0.0.5", emNoIPAsHost), NotDomain("10.0.0.5"));
}
