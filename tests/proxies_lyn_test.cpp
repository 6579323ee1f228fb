// The LYN family: its check helper, its composite checks, and family proxies
// that exist only to be derived from.

#include "FakeHost.h"
#include "Lyn_Proxies.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

namespace {

// A family profile proxy whose checks the test scripts.
class TLynChecks : public TLynProfileProxy {
public:
    static const TProfileProxyClass &Class() {
        static const TProfileProxyClassOf<TLynChecks> cls("TLynChecks", &TLynProfileProxy::Class());
        return cls;
    }
    const TProfileProxyClass &ClassType() const override { return Class(); }

    std::function<void(TLynProxyHelper &)> Checks;

protected:
    using TLynProfileProxy::TLynProfileProxy;
    void DoValidate() override { Checks(Helper()); }
};

class LynHelper : public ::testing::Test {
protected:
    std::string Run(std::function<void(TLynProxyHelper &)> checks, int32_t failoverNode = 0) {
        auto proxy = TLynChecks::Class().Create(&profile, &servant);
        auto &lyn = static_cast<TLynChecks &>(*proxy);
        lyn.Checks = std::move(checks);
        lyn.FailoverNodeId = failoverNode;
        lyn.Validate();
        return lyn.Conflict().Message;
    }

    TFakeProfile profile;
    TFakeServant servant;
};

TEST_F(LynHelper, EachCheckRunsItsValidatorAndNamesTheSetting) {
    const auto reason = [](auto validate) {
        AnsiString msg;
        EXPECT_FALSE(validate(msg));
        return std::string("Invalid Setting: ") + msg;
    };
    const QString name = QStringLiteral("Setting");
    EXPECT_EQ(Run([&](TLynProxyHelper &h) { h.CheckHostIP(QStringLiteral("10.0.0"), name, {}); }),
              reason([](AnsiString &m) { return ValidateIPAddress("10.0.0", m); }));
    EXPECT_EQ(Run([&](TLynProxyHelper &h) { h.CheckHostIP(0x7F000001u, name, {}); }),
              reason([](AnsiString &m) { return ValidateHostIP(0x7F000001u, m); }));
    EXPECT_EQ(Run([&](TLynProxyHelper &h) { h.CheckHostIP(0xC0A801FFu, 0xFFFFFF00u, name, ipMandatory); }),
              reason([](AnsiString &m) { return ValidateHostIPWithMask(0xC0A801FFu, 0xFFFFFF00u, m, ipMandatory); }));
    EXPECT_EQ(Run([&](TLynProxyHelper &h) { h.CheckHostName(QStringLiteral("a b"), name, {}); }),
              reason([](AnsiString &m) { return ValidateHostName(AnsiString("a b"), m); }));
    EXPECT_EQ(Run([&](TLynProxyHelper &h) { h.CheckNetwork(0xC0A80101u, 0xFFFFFF00u, name, {}); }),
              reason([](AnsiString &m) { return ValidateNetwork(0xC0A80101u, 0xFFFFFF00u, m); }));
    EXPECT_EQ(Run([&](TLynProxyHelper &h) { h.CheckDomainName(QString(), name, ipMandatory); }),
              reason([](AnsiString &m) { return ValidateDomainName(AnsiString(), m, ipMandatory); }));
    EXPECT_EQ(Run([&](TLynProxyHelper &h) { h.CheckEMailAddress(QStringLiteral("nobody"), name, emMandatory); }),
              reason([](AnsiString &m) { return ValidateEMailAddress("nobody", m, emMandatory); }));
    EXPECT_EQ(Run([&](TLynProxyHelper &h) { h.CheckUserFQDN(QStringLiteral("nobody"), name, emMandatory); }),
              reason([](AnsiString &m) { return ValidateUserFQDN("nobody", m, emMandatory); }));

    EXPECT_EQ(Run([&](TLynProxyHelper &h) {
                  h.CheckHostIP(QStringLiteral("10.0.0.5"), name, ipMandatory);
                  h.CheckHostName(QStringLiteral("pbx.example.com"), name, ipMandatory);
                  h.CheckDomainName(QString(), name, {});
                  h.CheckEMailAddress(QStringLiteral("ops@example.com"), name, emMandatory);
              }),
              "");
}

TEST_F(LynHelper, ProxyChecksFollowTheSource) {
    TSIPProxy proxy;
    const auto check = [&] { return Run([&](TLynProxyHelper &h) { h.CheckProxy(proxy); }); };
    const auto endPoint = [](const char *uri, uint16_t port) {
        return TEndPoint{TdpURIString::From(QLatin1String(uri)), port};
    };
    proxy.MainProxy = endPoint("not a host!", 0);
    EXPECT_EQ(check(), ""); // the system's own address
    proxy.MainProxySource = prsDomain;
    EXPECT_EQ(check(), "");

    proxy.MainProxySource = prsSpecifiedAddress;
    proxy.MainProxy = endPoint("", 5060);
    EXPECT_EQ(check(), "Invalid Proxy: Please specify an IP address or a domain name.");
    proxy.MainProxy = endPoint("pbx.example.com", 0); // the port is not checked
    proxy.UseBackupProxy = true;
    proxy.BackupProxy = endPoint("backup pbx", 5060);
    EXPECT_EQ(check(), "Invalid Backup proxy: An IP address or a domain name cannot contain spaces.");
    proxy.BackupProxy = endPoint("10.0.0.9", 5060);
    EXPECT_EQ(check(), "");
}

TEST_F(LynHelper, TFTPServer) {
    const auto tftp = [&](TFTPServerSource source, const char *address, bool dhcp, bool fqdn) {
        TIPSettings s;
        s.TFTPSource = source;
        s.TFTPAddress = TdpURIString::From(QLatin1String(address));
        return Run([&](TLynProxyHelper &h) { h.CheckTFTPSettings(s, dhcp, fqdn); });
    };
    EXPECT_EQ(tftp(tftpssDHCP, "", true, false), "");
    EXPECT_EQ(tftp(tftpssDHCP, "", false, false),
              "TFTP Server IP address can not be obtained from DHCP when DHCP is disabled");
    EXPECT_EQ(tftp(tftpssDHCP, "", false, true),
              "TFTP Server address can not be obtained from DHCP when DHCP is disabled");
    EXPECT_EQ(tftp(tftpssVQIP, "", false, false), "");
    for (const char *blank : {"", "0.0.0.0"}) {
        EXPECT_EQ(tftp(tftpssFixed, blank, true, false), "Fixed TFTP Server IP address can not be blank or 0.0.0.0");
        EXPECT_EQ(tftp(tftpssFixed, blank, true, true), "Fixed TFTP Server address can not be blank or 0.0.0.0");
    }
    // A host name is refused by the conversion, which yields 255.255.255.255.
    EXPECT_EQ(tftp(tftpssFixed, "tftp.example.com", true, false),
              "Invalid Fixed TFTP Server IP address: IP address 255.255.255.255 belongs to the 240.0.0.0/4 block, "
              "which is reserved for future use and cannot be used as a host IP.");
    EXPECT_EQ(tftp(tftpssFixed, "tftp.example.com", true, true), "");
    EXPECT_EQ(tftp(tftpssFixed, "tftp example", true, true),
              "Invalid Fixed TFTP Server address: An IP address or a domain name cannot contain spaces.");
    EXPECT_EQ(tftp(tftpssFixed, "10.0.0.5", false, false), "");
}

TEST_F(LynHelper, Failover) {
    EXPECT_EQ(Run([](TLynProxyHelper &h) { h.CheckFailover(); }, -1), "Please, specify Failover VQnode");
    EXPECT_EQ(Run([](TLynProxyHelper &h) { h.CheckFailover(); }, 0), "");
}

TEST(LynProxies, TheFamilyProxyIsNeverUsedForItself) {
    TFakeProfile profile;
    TFakeServant servant;
    auto proxy = TLynProfileProxy::Class().Create(&profile, &servant);
    try {
        proxy->Initialize({}, true);
        FAIL();
    } catch (const Exception &e) {
        EXPECT_EQ(e.Message(), "Do not use the TLynProfileProxy class explicitly!");
    }
}

TEST(LynProxies, AFamilyDeviceHasAFamilyHelperAndTakesOnlyAFamilyProfileProxy) {
    TFakeDevice device;
    TFakeProfile profile;
    TFakeServant servant;
    auto proxy = TLynDeviceProxy::Class().Create(&device, TLynChecks::Class().Create(&profile, &servant), &servant);
    const auto &lyn = static_cast<TLynDeviceProxy &>(*proxy);
    EXPECT_EQ(AssertionOf([&] {
                  lyn.ProfileProxy();
                  lyn.Helper();
              }),
              "no assertion");
    proxy = TLynDeviceProxy::Class().Create(&device, TProfileProxy::Class().Create(&profile, &servant), &servant);
    EXPECT_THAT(
        AssertionOf([&] { static_cast<TLynDeviceProxy &>(*proxy).ProfileProxy(); }),
        ::testing::StartsWith("Assertion failure (UI\\AdminUI\\DevicePlugins\\CommonFrames\\Lyn_Proxies, line "));
}

} // namespace
