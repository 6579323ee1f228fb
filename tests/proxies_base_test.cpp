// The proxy base: load through the custom-data tree, initialisation, the
// single worst finding, external findings and the write-back from a fresh tree.

#include "FakeHost.h"
#include "PluginObjectProxies.h"
#include "VQControls.h"
#include "ZDBDataTree.h"

#include <QDialog>

#include <gmock/gmock.h>
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

TEST_F(ProxyBase, UnparseableCustomDataLoadsFromAnEmptyTree) {
    // Empty text is an empty tree, not a failure.
    for (const auto &[text, loaded] : {std::pair(R"(Section{Value="unclosed)", false), std::pair("", true)}) {
        profile.CustomData = text;
        auto proxy = Build();
        EXPECT_EQ(proxy->CustomLoaded(), loaded) << text;
        EXPECT_EQ(proxy->Value, "");
    }
}

// A load that reads nothing of its empty custom data builds no tree, but the
// tree is there for Load and Save only: a check that reaches for it is a
// programming error.
TEST_F(ProxyBase, TheCustomTreeIsOnlyForLoadAndSave) {
    auto proxy = Build();
    try {
        Run(*proxy, {[](TScriptedProxy &p) { p.CustomRoot(); }});
        ADD_FAILURE() << "a check reached the custom-data tree";
    } catch (const EAssertionFailed &e) {
        EXPECT_TRUE(e.Message().startsWith("Assertion failure (UI\\AdminUI\\DevicePlugins\\PluginObjectProxies, line "))
            << e.Message().toStdString();
    }
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

TEST_F(ProxyBase, ReportingAnswers) {
    auto proxy = Build();
    QObject about;
    bool checkResult = true, noneResult = false, warningResult = true;
    Run(*proxy, {[&](TScriptedProxy &p) { checkResult = p.Check(true, QStringLiteral("w"), dclNone); },
                 [&](TScriptedProxy &p) { noneResult = p.ReportConflict(TDeviceConflict(dclNone, {}, nullptr)); },
                 [&](TScriptedProxy &p) {
                     warningResult = p.ReportConflict(TDeviceConflict(dclWarning, QStringLiteral("r"), &about));
                 }});
    EXPECT_FALSE(checkResult); // failed, though not severe enough to count
    EXPECT_TRUE(noneResult);   // true for a finding of no level
    EXPECT_FALSE(warningResult);
    EXPECT_EQ(proxy->Conflict().Level, dclWarning);
    EXPECT_EQ(proxy->Conflict().AObject, &about);
    EXPECT_EQ(proxy->Conflict().Message, "r");
}

TEST_F(ProxyBase, FormattedMessagesAndTheHelperReportToTheProxy) {
    auto proxy = Build();
    EXPECT_EQ(Run(*proxy, {FormatStep("%s is %d%% of %d", {QStringLiteral("Load"), 42, 100, 7}, dclWarning)}).second,
              "Load is 42% of 100");
    EXPECT_EQ(Run(*proxy, {[](TScriptedProxy &p) {
                               p.Helper().ErrorFmt(QStringLiteral("%s!"), {QStringLiteral("x")}, dclWarning);
                           },
                           [](TScriptedProxy &p) { p.Helper().Error(QStringLiteral("stop"), dclError); }}),
              std::pair(dclError, std::string("stop")));

    // A format that does not fit its arguments, like any exception but the
    // error's own, leaves Validate.
    EXPECT_THROW(Run(*proxy, {FormatStep("%s and %s", {QStringLiteral("one")}, dclError)}), Exception);
    EXPECT_THROW(Run(*proxy, {FormatStep("%d", {QStringLiteral("x")}, dclError)}), Exception);
    EXPECT_THROW(Run(*proxy, {[](TScriptedProxy &) { throw Exception(QStringLiteral("boom")); }}), Exception);
}

TEST(ProxyClasses, DevicesAndProfilesNeedTheirHostObject) {
    TFakeDevice device;
    TFakeServant servant;
    EXPECT_THAT(AssertionOf([&] { TBasicProfileProxy::Class().Create(nullptr, &servant); }),
                ::testing::StartsWith("Assertion failure (UI\\AdminUI\\DevicePlugins\\PluginObjectProxies, line "));
    EXPECT_THROW(TBasicDeviceProxy::Class().Create(nullptr, &servant), EAssertionFailed);
    EXPECT_EQ(servant.Refs, 0);

    // A device's custom data travels through the device.
    device.CustomData = "Kept=5";
    auto proxy = TBasicDeviceProxy::Class().Create(&device, &servant);
    EXPECT_TRUE(proxy->CustomLoaded());
    EXPECT_EQ(device.Outstanding(), 0);
    proxy->FlushChanges(); // the basic device writes no values of its own
    EXPECT_EQ(device.CustomData, "");
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
        {true, dclWarning, "typed warning", 1, {hiddenError, typedWarning}},
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

} // namespace
