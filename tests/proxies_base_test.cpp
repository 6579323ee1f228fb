// The proxy base: load through the custom-data tree, initialisation, the
// single worst finding, external findings and the write-back from a fresh tree.

#include "FakeHost.h"
#include "PluginObjectProxies.h"
#include "ZDBDataTree.h"

#include <QWidget>

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
        Value = fCustomRoot->Fields(QStringLiteral("Section"))->Fields(QStringLiteral("Value"))->asString();
    }
    void Save() override {
        Log.emplace_back("Save");
        fCustomRoot->Fields(QStringLiteral("Section"))->Fields(QStringLiteral("Value"))->setAsString(Value);
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

std::unique_ptr<TScriptedProxy> Build(TFakeProfile &profile, TFakeServant &servant) {
    auto proxy = TScriptedProxy::Class().Create(&profile, &servant);
    return std::unique_ptr<TScriptedProxy>(static_cast<TScriptedProxy *>(proxy.release()));
}

auto CheckStep(bool failed, const char *msg, TDeviceConflictLevel level) {
    return [=](TScriptedProxy &p) { p.Check(failed, QString::fromUtf8(msg), level); };
}

class ProxyBase : public ::testing::Test {
protected:
    TFakeProfile profile;
    TFakeServant servant;
};

TEST_F(ProxyBase, LoadsOnceBuiltAndHoldsItsHostObjectsUntilFreed) {
    profile.CustomData = R"(Section{Value="stored"})";
    auto proxy = Build(profile, servant);
    EXPECT_EQ(proxy->Log, (std::vector<std::string>{"Load"}));
    EXPECT_EQ(proxy->Value, "stored");
    EXPECT_TRUE(proxy->CustomLoaded());
    EXPECT_EQ(profile.Refs, 1);
    EXPECT_EQ(servant.Refs, 1);
    EXPECT_EQ(profile.Outstanding(), 0);
    EXPECT_EQ(profile.ForeignFrees, 0);
    EXPECT_EQ(proxy->Servant(), &servant);
    EXPECT_EQ(proxy->Profile(), &profile);

    Cleanups = 0;
    proxy.reset();
    EXPECT_EQ(Cleanups, 1);
    EXPECT_EQ(profile.Refs, 0);
    EXPECT_EQ(servant.Refs, 0);
}

TEST_F(ProxyBase, UnparseableCustomDataLoadsFromAnEmptyTree) {
    profile.CustomData = R"(Section{Value="unclosed)";
    auto broken = Build(profile, servant);
    EXPECT_FALSE(broken->CustomLoaded());
    EXPECT_EQ(broken->Value, "");

    profile.CustomData.clear();
    auto empty = Build(profile, servant);
    EXPECT_TRUE(empty->CustomLoaded()); // empty text is an empty tree, not a failure
    EXPECT_EQ(empty->Value, "");
}

TEST_F(ProxyBase, FlushWritesAFreshTreeEveryTime) {
    profile.CustomData = R"(Other=1 Section{Value="old" Extra=true})";
    auto proxy = Build(profile, servant);
    proxy->Value = QStringLiteral("new");
    proxy->FlushChanges();
    EXPECT_EQ(profile.CustomData, R"(Section{Value="new"})");
    proxy->Value = QStringLiteral("newer");
    proxy->FlushChanges();
    EXPECT_EQ(profile.CustomData, R"(Section{Value="newer"})");
    EXPECT_EQ(proxy->Log, (std::vector<std::string>{"Load", "Save", "Save"}));
}

TEST_F(ProxyBase, FlushWithoutTheTreeLeavesTheCustomDataAlone) {
    profile.CustomData = "Other=1";
    auto proxy = Build(profile, servant);
    proxy->setZDBTreeUsed(false);
    proxy->FlushChanges();
    EXPECT_EQ(profile.CustomData, "Other=1");
    EXPECT_TRUE(profile.Setters.empty());
    EXPECT_EQ(proxy->Log.back(), "Save");
}

TEST_F(ProxyBase, DefaultsOnlyForANewObjectThatIsNotForced) {
    const auto run = [&](TPluginFrameFlags flags, bool forced) {
        auto proxy = Build(profile, servant);
        proxy->Initialize(flags, forced);
        EXPECT_EQ(proxy->Flags(), flags);
        return std::vector<std::string>(proxy->Log.begin() + 1, proxy->Log.end());
    };
    EXPECT_EQ(run({pffCreating}, false), (std::vector<std::string>{"InitializeDefaults", "InitializeFixed"}));
    EXPECT_EQ(run({pffCreating, pffRange}, true), (std::vector<std::string>{"InitializeFixed"}));
    EXPECT_EQ(run({pffReadOnly}, false), (std::vector<std::string>{"InitializeFixed"}));
}

TEST_F(ProxyBase, TheFirstWarningStaysAndTheFirstErrorEndsTheChecks) {
    auto proxy = Build(profile, servant);
    proxy->Steps = {CheckStep(false, "passes", dclError), CheckStep(true, "first warning", dclWarning),
                    CheckStep(true, "second warning", dclWarning)};
    EXPECT_EQ(proxy->Validate(), dclWarning);
    EXPECT_EQ(proxy->Conflict().Message, "first warning");
    EXPECT_EQ(proxy->StepsRun, 3);

    proxy->StepsRun = 0;
    proxy->Steps = {CheckStep(true, "a warning", dclWarning), CheckStep(true, "Überlauf", dclError),
                    CheckStep(true, "never", dclError)};
    EXPECT_EQ(proxy->Validate(), dclError);
    EXPECT_EQ(proxy->Conflict().Message, "\xDC" "berlauf"); // kept as 8-bit text
    EXPECT_EQ(proxy->StepsRun, 2);

    // Every validation starts from no finding.
    proxy->Steps.clear();
    EXPECT_EQ(proxy->Validate(), dclNone);
    EXPECT_EQ(proxy->Conflict().Message, "");
}

TEST_F(ProxyBase, ReportingAnswers) {
    auto proxy = Build(profile, servant);
    QObject about;
    bool checkResult = true, noneResult = false, warningResult = true;
    proxy->Steps = {[&](TScriptedProxy &p) { checkResult = p.Check(true, QStringLiteral("w"), dclNone); },
                    [&](TScriptedProxy &p) { noneResult = p.ReportConflict(TDeviceConflict(dclNone, {}, nullptr)); },
                    [&](TScriptedProxy &p) {
                        warningResult = p.ReportConflict(TDeviceConflict(dclWarning, QStringLiteral("r"), &about));
                    }};
    EXPECT_EQ(proxy->Validate(), dclWarning);
    EXPECT_FALSE(checkResult);   // failed, though not severe enough to count
    EXPECT_TRUE(noneResult);     // true for a finding of no level
    EXPECT_FALSE(warningResult);
    EXPECT_EQ(proxy->Conflict().AObject, &about);
    EXPECT_EQ(proxy->Conflict().Message, "r");
}

TEST_F(ProxyBase, FormattedMessages) {
    auto proxy = Build(profile, servant);
    proxy->Steps = {[](TScriptedProxy &p) {
        p.AddErrorFmt(QStringLiteral("%s is %d%% of %d"), {QStringLiteral("Load"), 42, 100, 7}, dclWarning);
    }};
    proxy->Validate();
    EXPECT_EQ(proxy->Conflict().Message, "Load is 42% of 100");

    proxy->Steps = {[](TScriptedProxy &p) { p.AddErrorFmt(QStringLiteral("%s and %s"), {QStringLiteral("one")}, dclError); }};
    EXPECT_THROW(proxy->Validate(), Exception);
    proxy->Steps = {[](TScriptedProxy &p) { p.AddErrorFmt(QStringLiteral("%d"), {QStringLiteral("x")}, dclError); }};
    EXPECT_THROW(proxy->Validate(), Exception);
}

TEST_F(ProxyBase, OtherExceptionsLeaveValidate) {
    auto proxy = Build(profile, servant);
    proxy->Steps = {[](TScriptedProxy &) { throw Exception(QStringLiteral("boom")); }};
    EXPECT_THROW(proxy->Validate(), Exception);
}

TEST_F(ProxyBase, HelperReportsToItsProxy) {
    auto proxy = Build(profile, servant);
    EXPECT_EQ(&proxy->Helper().ClassType(), &TBasicProxyHelper::Class());
    EXPECT_EQ(proxy->Helper().Proxy(), proxy.get());
    proxy->Steps = {[](TScriptedProxy &p) { p.Helper().ErrorFmt(QStringLiteral("%s!"), {QStringLiteral("x")}, dclWarning); },
                    [](TScriptedProxy &p) { p.Helper().Error(QStringLiteral("stop"), dclError); }};
    EXPECT_EQ(proxy->Validate(), dclError);
    EXPECT_EQ(proxy->Conflict().Message, "stop");
}

TEST(ProxyClasses, DescendAndRefuseMissingHostObjects) {
    EXPECT_TRUE(TScriptedProxy::Class().InheritsFrom(&TExtPluginObjectProxy::Class()));
    EXPECT_TRUE(TBasicDeviceProxy::Class().InheritsFrom(&TPluginObjectProxy::Class()));
    EXPECT_FALSE(TBasicDeviceProxy::Class().InheritsFrom(&TBasicProfileProxy::Class()));
    EXPECT_EQ(TBasicProfileProxy::Class().ClassName(), "TBasicProfileProxy");
    EXPECT_EQ(&TBasicDeviceProxy::Class().HelperClass(), &TBasicProxyHelper::Class());

    TFakeServant servant;
    try {
        TBasicProfileProxy::Class().Create(nullptr, &servant);
        FAIL();
    } catch (const EAssertionFailed &e) {
        EXPECT_TRUE(e.Message().startsWith("Assertion failure (UI\\AdminUI\\DevicePlugins\\PluginObjectProxies, line "))
            << e.Message().toStdString();
    }
    EXPECT_THROW(TBasicDeviceProxy::Class().Create(nullptr, &servant), EAssertionFailed);
    EXPECT_EQ(servant.Refs, 0);
}

TEST(ProxyClasses, DeviceCustomDataTravelsThroughTheDevice) {
    TFakeDevice device;
    TFakeServant servant;
    device.CustomData = "Kept=5";
    auto proxy = TBasicDeviceProxy::Class().Create(&device, &servant);
    EXPECT_TRUE(proxy->CustomLoaded());
    EXPECT_EQ(device.Outstanding(), 0);
    proxy->FlushChanges(); // the basic device writes no values of its own
    EXPECT_EQ(device.CustomData, "");
    EXPECT_FALSE(proxy->SetScreenName(&servant, u"Reception"));
}

// External findings: a frame's input errors, taken into the next validation.
class ExternalConflicts : public ProxyBase {
protected:
    void SetUp() override {
        proxy = Build(profile, servant);
        panel = new QWidget(&form);
        shown = new QWidget(panel);
        hidden = new QWidget(panel);
        hidden->hide();
        disabledPanel = new QWidget(&form);
        disabledPanel->setEnabled(false);
        inDisabled = new QWidget(disabledPanel);
        proxy->Steps = {CheckStep(true, "own warning", dclWarning)};
    }
    void Add(TDeviceConflictLevel level, const char *msg, QObject *obj) {
        proxy->ExternalConflicts().Add(std::make_unique<TDeviceConflict>(level, QString::fromLatin1(msg), obj));
    }

    std::unique_ptr<TScriptedProxy> proxy;
    QWidget form; // never shown: the controls' own flags decide
    QWidget *panel, *shown, *hidden, *disabledPanel, *inDisabled;
};

TEST_F(ExternalConflicts, UnreachableControlsDoNotCount) {
    Add(dclWarning, "typed warning", shown);
    Add(dclError, "hidden error", hidden);
    Add(dclError, "disabled error", inDisabled);
    EXPECT_EQ(proxy->Validate(), dclWarning);
    EXPECT_EQ(proxy->Conflict().Message, "typed warning");
    EXPECT_EQ(proxy->Conflict().AObject, shown);
    EXPECT_EQ(proxy->StepsRun, 1); // the proxy's own checks still run after a warning
}

TEST_F(ExternalConflicts, ALaterReachableFindingReplacesAnUnreachableFirstOne) {
    Add(dclError, "hidden error", hidden);
    Add(dclWarning, "typed warning", shown);
    EXPECT_EQ(proxy->Validate(), dclWarning);
    EXPECT_EQ(proxy->Conflict().Message, "typed warning");
}

TEST_F(ExternalConflicts, AReachableErrorEndsTheValidation) {
    QObject notAControl;
    Add(dclWarning, "first", shown);
    Add(dclError, "setting error", &notAControl);
    Add(dclError, "later error", shown);
    EXPECT_EQ(proxy->Validate(), dclError);
    EXPECT_EQ(proxy->Conflict().Message, "setting error");
    EXPECT_EQ(proxy->StepsRun, 0);
}

TEST_F(ExternalConflicts, TheFormItselfIsAlwaysReachable) {
    form.setEnabled(false);
    Add(dclError, "on the form", &form);
    EXPECT_EQ(proxy->Validate(), dclError);
    EXPECT_EQ(proxy->Conflict().Message, "on the form");
}

TEST_F(ExternalConflicts, WithoutTheTrickTheHighestCountsWherever) {
    proxy->setExtConflictsControlTrick(false);
    Add(dclWarning, "typed warning", shown);
    Add(dclError, "hidden error", hidden);
    EXPECT_EQ(proxy->Validate(), dclError);
    EXPECT_EQ(proxy->Conflict().Message, "hidden error");
    EXPECT_EQ(proxy->StepsRun, 0);
}

TEST_F(ExternalConflicts, NoneKeepsTheProxysOwnFinding) {
    EXPECT_EQ(proxy->Validate(), dclWarning);
    EXPECT_EQ(proxy->Conflict().Message, "own warning");
    Add(dclNone, "nothing", shown);
    EXPECT_EQ(proxy->Validate(), dclWarning);
    EXPECT_EQ(proxy->Conflict().Message, "own warning");
}

} // namespace
