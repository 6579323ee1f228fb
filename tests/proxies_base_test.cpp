// The proxy base: load through the custom-data tree, initialisation, the
// single worst finding, external findings and the write-back from a fresh tree;
// then profile and device proxies: the host fields they copy, the failover
// node, the device's profile proxy, and the free-text checks.

#include "DPProxies.h"
#include "FakeHost.h"
#include "PluginObjectProxies.h"
#include "VQControls.h"
#include "ZDBDataTree.h"

#include <QDialog>

#include <gtest/gtest.h>

#include <functional>

namespace {

int Cleanups = 0;

// A profile proxy whose checks the test scripts; it logs its life and keeps
// one custom value, Section/Value.
class TScriptedProxy : public TBasicProfileProxy {
public:
    static const TBasicProfileProxyClass &Class() {
        static const TBasicProfileProxyClassOf<TScriptedProxy> cls("TScriptedProxy", &TBasicProfileProxy::Class());
        return cls;
    }
    const TBasicProfileProxyClass &ClassType() const override { return Class(); }

    using TPluginObjectProxy::AddErrorFmt;
    using TPluginObjectProxy::Check;
    using TPluginObjectProxy::CustomRoot;
    using TPluginObjectProxy::ReportConflict;
    using TPluginObjectProxy::setZDBTreeUsed;

    std::vector<std::function<void(TScriptedProxy &)>> Steps;
    int StepsRun = 0;
    std::vector<std::string> Log;
    QString Value;

protected:
    using TBasicProfileProxy::TBasicProfileProxy;
    void Load() override {
        Log.emplace_back("Load");
        Value = CustomRoot().Fields(QStringLiteral("Section"))->Fields(QStringLiteral("Value"))->asString();
    }
    void Save() override {
        Log.emplace_back("Save");
        CustomRoot().Fields(QStringLiteral("Section"))->Fields(QStringLiteral("Value"))->setAsString(Value);
    }
    void InitializeDefaults() override { Log.emplace_back("InitializeDefaults"); }
    void InitializeFixed() override { Log.emplace_back("InitializeFixed"); }
    void Cleanup() override { ++Cleanups; }
    void DoValidate() override {
        TBasicProfileProxy::DoValidate();
        for (auto &step : Steps) {
            ++StepsRun;
            step(*this);
        }
    }
};

auto CheckStep(bool failed, const char *msg, TDeviceConflictLevel level) {
    return [=](TScriptedProxy &p) { p.Check(failed, QString::fromUtf8(msg), level); };
}
auto FormatStep(const char *format, const QVariantList &args, TDeviceConflictLevel level) {
    return [=](TScriptedProxy &p) { p.AddErrorFmt(QString::fromLatin1(format), args, level); };
}

class ProxyBase : public ::testing::Test {
protected:
    std::unique_ptr<TScriptedProxy> Build() {
        auto proxy = TScriptedProxy::Class().Create(&profile, &servant);
        return std::unique_ptr<TScriptedProxy>(static_cast<TScriptedProxy *>(proxy.release()));
    }
    // Validates with the given steps; returns the level and the message.
    std::pair<TDeviceConflictLevel, std::string> Run(TScriptedProxy &proxy,
                                                     std::vector<std::function<void(TScriptedProxy &)>> steps) {
        proxy.Steps = std::move(steps);
        proxy.StepsRun = 0;
        const TDeviceConflictLevel level = proxy.Validate();
        return {level, proxy.Conflict().Message};
    }

    TFakeProfile profile;
    TFakeServant servant;
};

TEST_F(ProxyBase, LoadsOnceBuiltAndHoldsItsHostObjectsUntilFreed) {
    profile.CustomData = R"(Section{Value="stored"})";
    auto proxy = Build();
    EXPECT_EQ(proxy->Log, (std::vector<std::string>{"Load"}));
    EXPECT_EQ(proxy->Value, "stored");
    EXPECT_EQ(profile.Refs + servant.Refs, 2);
    EXPECT_EQ(profile.Outstanding() + profile.ForeignFrees, 0);

    Cleanups = 0;
    proxy.reset();
    EXPECT_EQ(Cleanups, 1);
    EXPECT_EQ(profile.Refs + servant.Refs, 0);
}

TEST_F(ProxyBase, FlushWritesAFreshTreeEveryTimeAndOnlyWhenUsed) {
    profile.CustomData = R"(Other=1 Section{Value="old" Extra=true})";
    auto proxy = Build();
    proxy->Value = QStringLiteral("new");
    proxy->FlushChanges();
    EXPECT_EQ(profile.CustomData, R"(Section{Value="new"})");
    proxy->Value = QStringLiteral("newer");
    proxy->FlushChanges();
    EXPECT_EQ(profile.CustomData, R"(Section{Value="newer"})");

    proxy->setZDBTreeUsed(false);
    proxy->Value = QStringLiteral("unsaved");
    proxy->FlushChanges();
    EXPECT_EQ(profile.CustomData, R"(Section{Value="newer"})");
    EXPECT_EQ(profile.Setters, (std::vector<std::string>{"CustomData", "CustomData"}));
    EXPECT_EQ(proxy->Log, (std::vector<std::string>{"Load", "Save", "Save", "Save"}));
}

TEST_F(ProxyBase, DefaultsOnlyForANewObjectThatIsNotForced) {
    const auto run = [&](TPluginFrameFlags flags, bool forced) {
        auto proxy = Build();
        proxy->Initialize(flags, forced);
        EXPECT_EQ(proxy->Flags(), flags);
        return std::vector<std::string>(proxy->Log.begin() + 1, proxy->Log.end());
    };
    EXPECT_EQ(run({pffCreating}, false), (std::vector<std::string>{"InitializeDefaults", "InitializeFixed"}));
    EXPECT_EQ(run({pffCreating, pffRange}, true), (std::vector<std::string>{"InitializeFixed"}));
    EXPECT_EQ(run({pffReadOnly}, false), (std::vector<std::string>{"InitializeFixed"}));
}

TEST_F(ProxyBase, TheFirstWarningStaysAndTheFirstErrorEndsTheChecks) {
    auto proxy = Build();
    EXPECT_EQ(Run(*proxy, {CheckStep(false, "passes", dclError), CheckStep(true, "first warning", dclWarning),
                           CheckStep(true, "second warning", dclWarning)}),
              std::pair(dclWarning, std::string("first warning")));
    EXPECT_EQ(proxy->StepsRun, 3);
    EXPECT_EQ(Run(*proxy, {CheckStep(true, "a warning", dclWarning), CheckStep(true, "Überlauf", dclError),
                           CheckStep(true, "never", dclError)}),
              std::pair(dclError, std::string("\334berlauf"))); // kept as 8-bit text
    EXPECT_EQ(proxy->StepsRun, 2);
    // Every validation starts from no finding.
    EXPECT_EQ(Run(*proxy, {}), std::pair(dclNone, std::string()));
}

TEST_F(ProxyBase, FormattedMessages) {
    auto proxy = Build();
    EXPECT_EQ(Run(*proxy, {FormatStep("%s is %d%% of %d", {QStringLiteral("Load"), 42, 100, 7}, dclWarning)}).second,
              "Load is 42% of 100");

    // A format that does not fit its arguments, like any exception but the
    // error's own, leaves Validate.
    EXPECT_THROW(Run(*proxy, {FormatStep("%s and %s", {QStringLiteral("one")}, dclError)}), Exception);
    EXPECT_THROW(Run(*proxy, {FormatStep("%d", {QStringLiteral("x")}, dclError)}), Exception);
    EXPECT_THROW(Run(*proxy, {[](TScriptedProxy &) { throw Exception(QStringLiteral("boom")); }}), Exception);
}

// External findings: a frame's input errors, taken into the next validation.
TEST_F(ProxyBase, ExternalConflictsCountOnlyOnControlsTheUserCanReach) {
    QDialog form; // never shown, and disabled: only the controls' own flags on the way up decide
    form.setEnabled(false);
    auto *panel = new QWidget(&form);
    auto *shown = new QWidget(panel);
    auto *hidden = new QWidget(panel);
    hidden->hide();
    auto *disabledPanel = new QWidget(&form);
    disabledPanel->setEnabled(false);
    auto *inDisabled = new QWidget(disabledPanel);
    // A frame is a form of its own until the host embeds it; then the host's window is.
    TFrame frame;
    auto *onFrame = new QWidget(&frame);
    auto *embedded = new TFrame(hidden);
    auto *onEmbedded = new QWidget(embedded);
    // Controls outside every form: a stray one, and one on a stray panel.
    QWidget stray, strayPanel;
    auto *onStrayPanel = new QWidget(&strayPanel);
    QObject notAControl;

    using TItem = std::tuple<TDeviceConflictLevel, const char *, QObject *>;
    const TItem typedWarning{dclWarning, "typed warning", shown}, hiddenError{dclError, "hidden error", hidden};
    const struct {
        bool trick;
        TDeviceConflictLevel level;
        const char *message;
        int stepsRun; // the proxy's own checks run unless an error ended the validation
        std::vector<TItem> items;
    } rows[] = {
        {true, dclWarning, "own warning", 1, {}},
        {true, dclWarning, "own warning", 1, {{dclNone, "nothing", shown}}},
        {true, dclWarning, "typed warning", 1, {typedWarning, hiddenError, {dclError, "disabled error", inDisabled}}},
        {true, dclError, "not a control", 0, {typedWarning, {dclError, "not a control", &notAControl}, hiddenError}},
        {true, dclError, "on the form", 0, {{dclError, "on the form", &form}}},
        {true, dclError, "on a frame", 0, {{dclError, "on a frame", onFrame}}},
        {true, dclError, "the frame", 0, {{dclError, "the frame", &frame}}},
        {true, dclWarning, "typed warning", 1, {typedWarning, {dclError, "embedded in a hidden panel", onEmbedded}}},
        {true, dclWarning, "own warning", 1, {{dclError, "stray", &stray}, {dclError, "on a stray panel", onStrayPanel}}},
        {false, dclError, "hidden error", 0, {typedWarning, hiddenError}},
    };
    for (const auto &row : rows) {
        auto proxy = Build();
        proxy->setExtConflictsControlTrick(row.trick);
        for (const auto &[level, msg, obj] : row.items)
            proxy->ExternalConflicts().Add(std::make_unique<TDeviceConflict>(level, QString::fromLatin1(msg), obj));
        EXPECT_EQ(Run(*proxy, {CheckStep(true, "own warning", dclWarning)}),
                  std::pair(row.level, std::string(row.message)));
        EXPECT_EQ(proxy->StepsRun, row.stepsRun) << row.message;
    }
}

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
    EXPECT_EQ(length("abcdefghijk", 5, 10).second, "Password length is 11, but it should be 5-10 characters long");
    EXPECT_EQ(length("", 1, 10), std::make_pair(dclError, std::string("Password is empty")));
    EXPECT_EQ(length("", 1, 10, true).first, dclNone);
    EXPECT_EQ(length("abcde", 5, 5).first, dclNone);
    EXPECT_EQ(length("abc", 5, 0, false, dclWarning).first, dclWarning);
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

// A device proxy's profile proxy follows the profile set on it.
TEST_F(DeviceProxy, SettingTheProfileBuildsItsProxy) {
    TFakeProfile first, second;
    auto proxy = TProfiledBasicDeviceProxy::Class().Create(&device, nullptr, &servant);
    proxy->setProfile(&first);
    ASSERT_NE(proxy->ProfileProxy(), nullptr);
    EXPECT_EQ(proxy->ProfileProxy()->Profile(), &first);
    proxy->setProfile(&second);
    EXPECT_EQ(std::pair(first.Refs, second.Refs), std::pair(0, 1));
    proxy->setProfile(nullptr);
    EXPECT_EQ(proxy->ProfileProxy(), nullptr);
    EXPECT_EQ(second.Refs, 0);
}

} // namespace
