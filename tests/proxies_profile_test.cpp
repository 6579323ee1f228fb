// Profile and device proxies: the host fields they copy, the failover node,
// the device's profile proxy, and the free-text checks.

#include "DPProxies.h"
#include "FakeHost.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// A profile proxy whose checks the test scripts.
class TCheckingProxy : public TProfileProxy {
public:
    static const TProfileProxyClass &Class() {
        static const TProfileProxyClassOf<TCheckingProxy> cls("TCheckingProxy", &TProfileProxy::Class());
        return cls;
    }
    const TProfileProxyClass &ClassType() const override { return Class(); }
    static TdpNameString GetDeviceType(const TProfileProxyClass &) { return TdpNameString::From(QStringLiteral("Test")); }

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
        profile.SyslogIfNotRegistered = true;
        profile.Codecs = 9;
        profile.NumberOfLines = 4;
        profile.HasAnalogLine = true;
        profile.SupportsEarlyMedia = true;
        profile.DisplayType = devdtAlphanum;
        profile.SupportsPage = true;
        profile.AllowLocationSpecOnPhone = true;
        profile.Name = TdpNameString::From(QStringLiteral("Sales"));
        profile.GetsStaticIP = true;
        profile.IsDHCPServer = true;
        profile.SupportsSIPBasedUpdate = true;
        profile.IsDefault = true;
        profile.ExtraValue = 77;
        profile.UpdateDevicesRequired = true;
        profile.FailoverNodeId = 2;
        profile.FailoverSIPIP = "10.0.0.6";
        profile.FailoverSIPPort = 5070;
        profile.Options.AddOption(POT_SilenceSuppression, 1);
    }
    std::unique_ptr<TCheckingProxy> Build() { return As<TCheckingProxy>(TCheckingProxy::Class().Create(&profile, &servant)); }
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

TEST_F(ProfileProxy, LoadsTheHostFields) {
    auto proxy = Build();
    EXPECT_EQ(proxy->ProfileID, 0x1'0000'0002LL);
    EXPECT_EQ(proxy->DeviceType.Text(), "Stored type");
    EXPECT_TRUE(proxy->SyslogIfNotRegistered);
    EXPECT_EQ(proxy->Codecs, 9);
    EXPECT_EQ(proxy->NumberOfLines, 4);
    EXPECT_TRUE(proxy->HasAnalogLine);
    EXPECT_FALSE(proxy->SupportsConferences);
    EXPECT_TRUE(proxy->SupportsEarlyMedia);
    EXPECT_EQ(proxy->DisplayType, devdtAlphanum);
    EXPECT_TRUE(proxy->SupportsPage);
    EXPECT_TRUE(proxy->AllowLocationSpecOnPhone);
    EXPECT_EQ(proxy->Name.Text(), "Sales");
    EXPECT_TRUE(proxy->SupportsSIPBasedUpdate);
    EXPECT_TRUE(proxy->IsDefault);
    EXPECT_TRUE(proxy->UpdateDevicesRequired);
    EXPECT_EQ(proxy->FailoverNodeId, 2);
    EXPECT_EQ(proxy->FailoverSIPIP, "10.0.0.6");
    EXPECT_EQ(proxy->FailoverSIPPort, 5070);
    ASSERT_EQ(proxy->Options.Count(), 1);
    EXPECT_EQ(proxy->Options.Items(0)->Tag, POT_SilenceSuppression);
    // Computed here, never read from the host.
    EXPECT_FALSE(proxy->GetsStaticIP());
    EXPECT_FALSE(proxy->IsDHCPServer());
    EXPECT_EQ(profile.Outstanding(), 0);
    EXPECT_EQ(profile.ForeignFrees, 0);
}

TEST_F(ProfileProxy, SavesInTheHostsOrderWithoutTheExtraValue) {
    auto proxy = Build();
    proxy->FailoverSIPIP = QStringLiteral("10.0.0.7");
    proxy->Options.AddOption(POT_AutoAnswerType, 2);
    proxy->FlushChanges();
    const std::vector<std::string> order = {
        "ProfileID", "DeviceType", "SyslogIfNotRegistered", "Codecs", "NumberOfLines", "HasAnalogLine",
        "SupportsConferences", "SendsSIPRegister", "UnsolicitedMWI", "SupportsEarlyMedia", "SupportsAssertedIdentity",
        "DisplayType", "SupportsPage", "SupportsIM", "PrefixExtCalls", "AllowLocationSpecOnPhone", "Name",
        "GetsStaticIP", "IsDHCPServer", "SupportsSIPBasedUpdate", "IsDefault", "UpdateDevicesRequired",
        "FailoverNodeId", "FailoverSIPIP", "FailoverSIPPort", "Options", "CustomData"};
    EXPECT_EQ(profile.Setters, order);
    EXPECT_EQ(profile.ExtraValue, 77);
    EXPECT_EQ(profile.FailoverSIPIP, "10.0.0.7");
    EXPECT_FALSE(profile.GetsStaticIP); // the computed values are written
    EXPECT_FALSE(profile.IsDHCPServer);
    EXPECT_EQ(profile.Options.Count(), 2);
    EXPECT_EQ(profile.ProfileID, 0x1'0000'0002LL);
}

TEST_F(ProfileProxy, FailoverNodeOfARedundantPair) {
    auto proxy = Build();
    proxy->FailoverNodeId = 0;
    EXPECT_EQ(proxy->GetUnderlyingRedundancyNodeId(), -1); // no redundant pair
    proxy->ResetRedundancy();
    EXPECT_EQ(proxy->FailoverSIPIP, "");
    EXPECT_EQ(proxy->FailoverNodeId, 0);
    EXPECT_EQ(proxy->FailoverSIPPort, 0);

    servant.SetRedundancy(2, 1, {{2, "10.0.0.6"}, {3, "10.0.0.9"}});
    EXPECT_EQ(proxy->GetUnderlyingRedundancyNodeId(), 2); // the proposed node when none is chosen
    proxy->FailoverNodeId = 3;
    EXPECT_EQ(proxy->GetUnderlyingRedundancyNodeId(), 3);
    proxy->FailoverNodeId = 1;
    EXPECT_EQ(proxy->GetUnderlyingRedundancyNodeId(), -1); // the node being administered
    proxy->FailoverSIPPort = 5070;
    proxy->ResetRedundancy();
    EXPECT_EQ(proxy->FailoverNodeId, 0);
    EXPECT_EQ(proxy->FailoverSIPPort, 0);
    EXPECT_EQ(proxy->FailoverSIPIP, "10.0.0.6");

    servant.Values[svCurrentNode] = 2; // proposing the current node yields no address
    proxy->ResetRedundancy();
    EXPECT_EQ(proxy->FailoverSIPIP, "");
    EXPECT_EQ(servant.Outstanding(), 0);
    EXPECT_EQ(servant.ForeignFrees, 0);
}

TEST_F(ProfileProxy, UnansweredNodesCountAsNone) {
    servant.Values[svRedundant] = 1;
    auto proxy = Build();
    proxy->FailoverNodeId = 0;
    EXPECT_EQ(proxy->GetUnderlyingRedundancyNodeId(), -1); // proposed -1 equals current -1
    proxy->FailoverNodeId = 4;
    EXPECT_EQ(proxy->GetUnderlyingRedundancyNodeId(), 4);
    servant.Values[svRedundant] = 2;
    EXPECT_EQ(proxy->GetUnderlyingRedundancyNodeId(), -1);
}

TEST_F(ProfileProxy, CheckStringNamesTheFirstRefusedCharacter) {
    const TEditorFilter letters(QStringLiteral("abcdefghijklmnopqrstuvwxyz"));
    auto r = Run([&](TProxyHelper &h) { h.CheckString(QStringLiteral("abc\u00E9d@"), letters, QStringLiteral("Name")); });
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

TEST_F(ProfileProxy, AHelperOfAnotherClassIsAProgrammingError) {
    auto proxy = TWrongHelperProxy::Class().Create(&profile, &servant);
    try {
        static_cast<TProfileProxy &>(*proxy).Helper();
        FAIL();
    } catch (const EAssertionFailed &e) {
        EXPECT_TRUE(e.Message().startsWith("Assertion failure (UI\\AdminUI\\DevicePlugins\\DPProxies, line "));
    }
}

class DeviceProxy : public ::testing::Test {
protected:
    void SetUp() override {
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
        device.Unused[1] = 9;
    }
    std::unique_ptr<TDeviceProxy> Build() {
        return As<TDeviceProxy>(TDeviceProxy::Class().Create(&device, &servant));
    }

    TFakeDevice device;
    TFakeServant servant;
};

TEST_F(DeviceProxy, LoadsAndSavesTheHostFieldsInOrder) {
    auto proxy = Build();
    EXPECT_EQ(proxy->DeviceID, 0x7'0000'0001LL);
    EXPECT_EQ(proxy->Protocol, ptNotSet); // not read from the host
    EXPECT_EQ(proxy->ProfileID, 12);
    EXPECT_EQ(proxy->UniqueID.Text(), "0001E1000001");
    EXPECT_EQ(proxy->ProxyPassword.Text(), "secret");
    EXPECT_EQ(proxy->AssignedIP, IPv4Rec("10.0.0.20"));
    EXPECT_EQ(proxy->AssignedPort, 5062);
    EXPECT_EQ(proxy->AssignedContact, "sip:100@10.0.0.20");
    EXPECT_EQ(proxy->MacAddress, device.MacAddress);
    EXPECT_EQ(proxy->NormalLocationID, 3);
    EXPECT_EQ(proxy->DHCP_SRV_End_IP, IPv4Rec("10.0.0.200"));
    EXPECT_EQ(proxy->Greeting, QString::fromStdU16String(device.Greeting));
    EXPECT_EQ(proxy->ProfileProxy(), nullptr);
    EXPECT_EQ(device.Outstanding(), 0);
    EXPECT_EQ(device.ForeignFrees, 0);

    proxy->Initialize({}, true);
    EXPECT_EQ(proxy->Protocol, ptNotSet);
    proxy->Greeting = QStringLiteral("Hallo");
    proxy->FlushChanges();
    EXPECT_EQ(device.Setters,
              (std::vector<std::string>{"DeviceID", "Protocol", "ProfileID", "UniqueID", "ProxyPassword", "AssignedIP",
                                        "AssignedPort", "AssignedContact", "MacAddress", "NormalLocationID",
                                        "DHCP_SRV_Start_IP", "DHCP_SRV_End_IP", "Greeting", "CustomData"}));
    EXPECT_EQ(device.Protocol, ptNotSet);
    EXPECT_EQ(device.Greeting, u"Hallo");
    EXPECT_EQ(device.Unused[1], 9);
}

TEST_F(DeviceProxy, OwnsTheProfileProxyItIsGiven) {
    TFakeProfile profile;
    auto profileProxy = TBasicProfileProxy::Class().Create(&profile, &servant);
    TBasicProfileProxy *given = profileProxy.get();
    auto proxy = TProfiledBasicDeviceProxy::Class().Create(&device, std::move(profileProxy), &servant);
    EXPECT_EQ(proxy->ProfileProxy(), given);
    EXPECT_EQ(profile.Refs, 1);

    // A lender takes it back before the device proxy goes.
    std::unique_ptr<TBasicProfileProxy> back = proxy->ReleaseProfileProxy();
    EXPECT_EQ(back.get(), given);
    proxy.reset();
    EXPECT_EQ(profile.Refs, 1);
    proxy = TProfiledBasicDeviceProxy::Class().Create(&device, std::move(back), &servant);
    proxy.reset();
    EXPECT_EQ(profile.Refs, 0);
}

TEST_F(DeviceProxy, SettingTheProfileBuildsItsProxy) {
    TFakeProfile first, second;
    auto proxy = TProfiledBasicDeviceProxy::Class().Create(&device, nullptr, &servant);
    proxy->setProfile(&first);
    ASSERT_NE(proxy->ProfileProxy(), nullptr);
    EXPECT_EQ(&proxy->ProfileProxy()->ClassType(), &TBasicProfileProxy::Class());
    EXPECT_EQ(proxy->ProfileProxy()->Profile(), &first);
    EXPECT_EQ(proxy->ProfileProxy()->Servant(), &servant);
    proxy->setProfile(&second);
    EXPECT_EQ(first.Refs, 0);
    EXPECT_EQ(second.Refs, 1);
    proxy->setProfile(nullptr);
    EXPECT_EQ(proxy->ProfileProxy(), nullptr);
    EXPECT_EQ(second.Refs, 0);
}

TEST_F(DeviceProxy, AProfileProxyOfAnotherClassIsAProgrammingError) {
    TFakeProfile profile;
    auto proxy = As<TDeviceProxy>(
        TDeviceProxy::Class().Create(&device, TBasicProfileProxy::Class().Create(&profile, &servant), &servant));
    EXPECT_THROW(proxy->ProfileProxy(), EAssertionFailed);
    EXPECT_EQ(&TDeviceProxy::Class().ProfileProxyClass(), &TProfileProxy::Class());
    EXPECT_EQ(&TDeviceProxy::Class().HelperClass(), &TProxyHelper::Class());
}

} // namespace
