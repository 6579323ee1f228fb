// Profile and device proxies: the host fields they copy, the failover node,
// the device's profile proxy, and the free-text checks.

#include "DPProxies.h"
#include "FakeHost.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

namespace {

using ::testing::StartsWith;

// A profile proxy whose checks the test scripts.
class TCheckingProxy : public TProfileProxy {
public:
    static const TProfileProxyClass &Class() {
        static const TProfileProxyClassOf<TCheckingProxy> cls("TCheckingProxy", &TProfileProxy::Class());
        return cls;
    }
    const TProfileProxyClass &ClassType() const override { return Class(); }
    static TdpNameString GetDeviceType(const TProfileProxyClass &) {
        return TdpNameString::From(QStringLiteral("Test"));
    }

    std::function<void(TProxyHelper &)> Checks;

protected:
    using TProfileProxy::TProfileProxy;
    void DoValidate() override { Checks(Helper()); }
};

// A profile proxy of a model that named the wrong helper class.
class TWrongHelperProxy : public TProfileProxy {
public:
    static const TProfileProxyClass &Class() {
        static const TProfileProxyClassOf<TWrongHelperProxy> cls("TWrongHelperProxy", &TProfileProxy::Class());
        return cls;
    }
    const TProfileProxyClass &ClassType() const override { return Class(); }
    static const TBasicProxyHelperClass &HelperClass() { return TBasicProxyHelper::Class(); }

protected:
    using TProfileProxy::TProfileProxy;
};

template <class T, class Base>
std::unique_ptr<T> As(std::unique_ptr<Base> p) {
    return std::unique_ptr<T>(static_cast<T *>(p.release()));
}

class ProfileProxy : public ::testing::Test {
protected:
    void SetUp() override {
        profile.ProfileID = 0x1'0000'0002LL;
        profile.DeviceType = TdpNameString::From(QStringLiteral("Stored type"));
        profile.Codecs = 9;
        profile.NumberOfLines = 4;
        profile.DisplayType = devdtAlphanum;
        profile.Name = TdpNameString::From(QStringLiteral("Sales"));
        profile.FailoverNodeId = 2;
        profile.FailoverSIPIP = "10.0.0.6";
        profile.FailoverSIPPort = 5070;
        profile.ExtraValue = 77;
        profile.Options.AddOption(POT_SilenceSuppression, 1);
        // Every other flag set, in the host's order, so that no two neighbours can be mixed up.
        profile.SyslogIfNotRegistered = profile.SupportsConferences = profile.UnsolicitedMWI = true;
        profile.SupportsAssertedIdentity = profile.SupportsIM = profile.AllowLocationSpecOnPhone = true;
        profile.IsDefault = true;
        profile.GetsStaticIP = profile.IsDHCPServer = true;
    }
    std::unique_ptr<TCheckingProxy> Build() {
        return As<TCheckingProxy>(TCheckingProxy::Class().Create(&profile, &servant));
    }
    // Runs the checks in a validation and returns its finding.
    std::pair<TDeviceConflictLevel, std::string> Run(std::function<void(TProxyHelper &)> checks) {
        auto proxy = Build();
        proxy->Checks = std::move(checks);
        const TDeviceConflictLevel level = proxy->Validate();
        return {level, proxy->Conflict().Message};
    }

    TFakeProfile profile;
    TFakeServant servant;
};

TEST_F(ProfileProxy, LoadsTheHostFieldsAndSavesThemInTheHostsOrder) {
    auto p = Build();
    EXPECT_EQ(
        std::tuple(p->ProfileID, p->DeviceType.Text(), p->Codecs, p->NumberOfLines, p->DisplayType, p->Name.Text()),
        std::tuple(0x1'0000'0002LL, QStringLiteral("Stored type"), 9, 4, devdtAlphanum, QStringLiteral("Sales")));
    EXPECT_EQ(
        std::vector<bool>({p->SyslogIfNotRegistered, p->HasAnalogLine, p->SupportsConferences, p->SendsSIPRegister,
                           p->UnsolicitedMWI, p->SupportsEarlyMedia, p->SupportsAssertedIdentity, p->SupportsPage,
                           p->SupportsIM, p->PrefixExtCalls, p->AllowLocationSpecOnPhone, p->SupportsSIPBasedUpdate,
                           p->IsDefault, p->UpdateDevicesRequired}),
        std::vector<bool>({true, false, true, false, true, false, true, false, true, false, true, false, true, false}));
    EXPECT_EQ(std::tuple(p->FailoverNodeId, p->FailoverSIPIP, p->FailoverSIPPort),
              std::tuple(2, QStringLiteral("10.0.0.6"), 5070));
    ASSERT_EQ(p->Options.Count(), 1);
    EXPECT_EQ(p->Options.Items(0)->Tag, POT_SilenceSuppression);
    EXPECT_EQ(profile.Outstanding() + profile.ForeignFrees, 0);

    p->FailoverSIPIP = QStringLiteral("10.0.0.7");
    p->Options.AddOption(POT_AutoAnswerType, 2);
    p->FlushChanges();
    const std::vector<std::string> order = {
        "ProfileID", "DeviceType", "SyslogIfNotRegistered", "Codecs", "NumberOfLines", "HasAnalogLine",
        "SupportsConferences", "SendsSIPRegister", "UnsolicitedMWI", "SupportsEarlyMedia", "SupportsAssertedIdentity",
        "DisplayType", "SupportsPage", "SupportsIM", "PrefixExtCalls", "AllowLocationSpecOnPhone", "Name",
        "GetsStaticIP", "IsDHCPServer", "SupportsSIPBasedUpdate", "IsDefault", "UpdateDevicesRequired",
        "FailoverNodeId", "FailoverSIPIP", "FailoverSIPPort", "Options", "CustomData"};
    EXPECT_EQ(profile.Setters, order);
    EXPECT_EQ(std::tuple(profile.ProfileID, profile.ExtraValue, profile.FailoverSIPIP),
              std::tuple(0x1'0000'0002LL, 77, AnsiString("10.0.0.7")));
    // Computed here (false), never read from the host.
    EXPECT_FALSE(profile.GetsStaticIP || profile.IsDHCPServer);
    EXPECT_EQ(profile.Options.Count(), 2);
}

TEST_F(ProfileProxy, FailoverNodeOfARedundantPair) {
    // Node 1 is administered, node 2 proposed; unanswered ids count as -1.
    const std::map<int32_t, uintptr_t> pair = {{svRedundant, 1}, {svProposedFailoverNode, 2}, {svCurrentNode, 1}};
    const struct {
        std::map<int32_t, uintptr_t> values;
        int32_t chosen, expected;
    } rows[] = {{{}, 0, -1}, {{{svRedundant, 2}}, 4, -1}, {{{svRedundant, 1}}, 0, -1}, {{{svRedundant, 1}}, 4, 4},
                {pair, 0, 2}, {pair, 3, 3}, {pair, 1, -1}};
    auto proxy = Build();
    for (const auto &row : rows) {
        servant.Values = row.values;
        proxy->FailoverNodeId = row.chosen;
        EXPECT_EQ(proxy->GetUnderlyingRedundancyNodeId(), row.expected) << row.chosen;
    }

    const auto reset = [&] {
        proxy->FailoverNodeId = 1;
        proxy->FailoverSIPPort = 5070;
        proxy->ResetRedundancy();
        EXPECT_EQ(std::pair(proxy->FailoverNodeId, proxy->FailoverSIPPort), std::pair(0, 0));
        return proxy->FailoverSIPIP;
    };
    servant.Values.clear();
    EXPECT_EQ(reset(), "");
    servant.SetRedundancy(2, 1, {{2, "10.0.0.6"}, {3, "10.0.0.9"}});
    EXPECT_EQ(reset(), "10.0.0.6");
    servant.Values[svCurrentNode] = 2; // proposing the current node yields no address
    EXPECT_EQ(reset(), "");
    EXPECT_EQ(servant.Outstanding() + servant.ForeignFrees, 0);
}

TEST_F(ProfileProxy, CheckStringNamesTheFirstRefusedCharacter) {
    const TEditorFilter letters(QStringLiteral("abcdefghijklmnopqrstuvwxyz"));
    auto r =
        Run([&](TProxyHelper &h) { h.CheckString(QStringLiteral("abc\u00E9d@"), letters, QStringLiteral("Name")); });
    EXPECT_EQ(r, std::make_pair(dclError, std::string("Invalid character \"\xE9\" in Name")));
    // Above code 255 nothing belongs to a filter, whatever its low byte says.
    const TEditorFilter wide = letters + TEditorFilter(QStringLiteral("\u0101"));
    r = Run([&](TProxyHelper &h) { h.CheckString(QStringLiteral("a\u0101"), wide, QStringLiteral("Name")); });
    EXPECT_EQ(r, std::make_pair(dclError, std::string("Invalid character \"?\" in Name")));
    r = Run([&](TProxyHelper &h) {
        h.CheckString(QString(), TEditorFilter(), QStringLiteral("Name"));
        h.CheckString(QStringLiteral("abc"), letters, QStringLiteral("Name"));
    });
    EXPECT_EQ(r.first, dclNone);
}

TEST_F(ProfileProxy, CheckStringLengthMessages) {
    const auto length = [&](const char *text, int min, int max, bool sly = false,
                            TDeviceConflictLevel level = dclError) {
        return Run([=](TProxyHelper &h) {
            h.CheckStringLength(QString::fromLatin1(text), min, max, QStringLiteral("Password"), sly, level);
        });
    };
    EXPECT_EQ(length("abcdefghijk", 0, 10).second,
              "Password length is 11, but it should be no more than 10 characters long");
    EXPECT_EQ(length("abc", 5, 0).second, "Password length is 3, but it should be at least 5 characters long");
    EXPECT_EQ(length("abc", 5, 10).second, "Password length is 3, but it should be 5-10 characters long");
    EXPECT_EQ(length("abcdefghijk", 5, 10).second, "Password length is 11, but it should be 5-10 characters long");
    EXPECT_EQ(length("", 1, 10), std::make_pair(dclError, std::string("Password is empty")));
    EXPECT_EQ(length("", 1, 10, true).first, dclNone);
    EXPECT_EQ(length("", 0, 10).first, dclNone);
    EXPECT_EQ(length("abcde", 5, 5).first, dclNone);
    EXPECT_EQ(length("abc", 5, 0, false, dclWarning).first, dclWarning);
}

TEST_F(ProfileProxy, AHelperOrProfileProxyOfAnotherClassIsAProgrammingError) {
    const auto failure = StartsWith("Assertion failure (UI\\AdminUI\\DevicePlugins\\DPProxies, line ");
    auto proxy = TWrongHelperProxy::Class().Create(&profile, &servant);
    EXPECT_THAT(AssertionOf([&] { static_cast<TProfileProxy &>(*proxy).Helper(); }), failure);
    TFakeDevice device;
    auto deviceProxy = As<TDeviceProxy>(
        TDeviceProxy::Class().Create(&device, TBasicProfileProxy::Class().Create(&profile, &servant), &servant));
    EXPECT_THAT(AssertionOf([&] { deviceProxy->ProfileProxy(); }), failure);
}

class DeviceProxy : public ::testing::Test {
protected:
    TFakeDevice device;
    TFakeServant servant;
};

TEST_F(DeviceProxy, LoadsAndSavesTheHostFieldsInOrder) {
    device.DeviceID = 0x7'0000'0001LL;
    device.Protocol = ptClientUI;
    device.ProfileID = 12;
    device.UniqueID = TdpNameString::From(QStringLiteral("0001E1000001"));
    device.ProxyPassword = TdpNameString::From(QStringLiteral("secret"));
    device.AssignedIP = IPv4Rec("10.0.0.20");
    device.AssignedPort = 5062;
    device.AssignedContact = "sip:100@10.0.0.20";
    device.MacAddress = {{0x00, 0x01, 0xE1, 0x00, 0x00, 0x01}};
    device.NormalLocationID = 3;
    device.DHCP_SRV_Start_IP = IPv4Rec("10.0.0.100");
    device.DHCP_SRV_End_IP = IPv4Rec("10.0.0.200");
    device.Greeting = u"Grüß Gott – \u4F60\u597D";
    device.Unused2 = 9;

    auto p = As<TDeviceProxy>(TDeviceProxy::Class().Create(&device, &servant));
    EXPECT_EQ(std::tuple(p->DeviceID, p->ProfileID, p->UniqueID.Text(), p->ProxyPassword.Text(), p->AssignedPort,
                         p->AssignedContact, p->NormalLocationID),
              std::tuple(0x7'0000'0001LL, 12LL, QStringLiteral("0001E1000001"), QStringLiteral("secret"), 5062,
                         AnsiString("sip:100@10.0.0.20"), 3LL));
    EXPECT_EQ(std::tuple(p->AssignedIP, p->DHCP_SRV_Start_IP, p->DHCP_SRV_End_IP, p->MacAddress),
              std::tuple(device.AssignedIP, device.DHCP_SRV_Start_IP, device.DHCP_SRV_End_IP, device.MacAddress));
    EXPECT_EQ(p->Greeting, QString::fromStdU16String(device.Greeting));
    EXPECT_EQ(p->Protocol, ptNotSet); // not read from the host
    EXPECT_EQ(p->ProfileProxy(), nullptr);
    EXPECT_EQ(device.Outstanding() + device.ForeignFrees, 0);

    p->Initialize({}, true);
    p->Greeting = QStringLiteral("Hallo");
    p->FlushChanges();
    EXPECT_EQ(device.Setters,
              (std::vector<std::string>{"DeviceID", "Protocol", "ProfileID", "UniqueID", "ProxyPassword", "AssignedIP",
                                        "AssignedPort", "AssignedContact", "MacAddress", "NormalLocationID",
                                        "DHCP_SRV_Start_IP", "DHCP_SRV_End_IP", "Greeting", "CustomData"}));
    EXPECT_EQ(device.Protocol, ptNotSet);
    EXPECT_EQ(device.Greeting, u"Hallo");
    EXPECT_EQ(device.Unused2, 9);
}

TEST_F(DeviceProxy, OwnsItsProfileProxyUnlessLent) {
    TFakeProfile profile, first, second;
    auto profileProxy = TBasicProfileProxy::Class().Create(&profile, &servant);
    TBasicProfileProxy *given = profileProxy.get();
    auto proxy = TProfiledBasicDeviceProxy::Class().Create(&device, std::move(profileProxy), &servant);
    EXPECT_EQ(proxy->ProfileProxy(), given);
    proxy.reset();
    EXPECT_EQ(profile.Refs, 0);

    // A lent one stays its owner's, also when another takes its place.
    const auto lent = TBasicProfileProxy::Class().Create(&profile, &servant);
    proxy = TProfiledBasicDeviceProxy::Class().Create(&device, nullptr, &servant);
    proxy->LendProfileProxy(lent.get());
    EXPECT_EQ(proxy->ProfileProxy(), lent.get());
    proxy->setProfile(&first);
    proxy->LendProfileProxy(lent.get());
    EXPECT_EQ(first.Refs, 0); // the owned one went
    proxy.reset();
    EXPECT_EQ(profile.Refs, 1);

    // Setting the profile builds its proxy.
    proxy = TProfiledBasicDeviceProxy::Class().Create(&device, nullptr, &servant);
    proxy->setProfile(&first);
    ASSERT_NE(proxy->ProfileProxy(), nullptr);
    EXPECT_EQ(&proxy->ProfileProxy()->ClassType(), &TBasicProfileProxy::Class());
    EXPECT_EQ(proxy->ProfileProxy()->Profile(), &first);
    EXPECT_EQ(proxy->ProfileProxy()->Servant(), &servant);
    proxy->setProfile(&second);
    EXPECT_EQ(std::pair(first.Refs, second.Refs), std::pair(0, 1));
    proxy->setProfile(nullptr);
    EXPECT_EQ(proxy->ProfileProxy(), nullptr);
    EXPECT_EQ(second.Refs, 0);
}

} // namespace
