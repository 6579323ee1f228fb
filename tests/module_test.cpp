// The device plug-in module: every request it serves over short-lived
// proxies, the prepared profile handle and its assertions; then the LYN 2
// module as the host reaches it, through the loaded plug-in library.

#include "DP_Lyn2Plugin.h"
#include "FakeHost.h"
#include "Lyn2_DeviceFrame.h"
#include "Lyn2_ProfileFrame.h"
#include "plugin/PluginLibrary.h"

#include <QRegularExpression>
#include <QSet>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

// ---- a test model whose proxies answer every request ------------------------------

class TAnsweringProfile : public TProfileProxy {
public:
    static const TProfileProxyClass &Class() {
        static const TProfileProxyClassOf<TAnsweringProfile> cls("TAnsweringProfile", &TProfileProxy::Class());
        return cls;
    }
    const TProfileProxyClass &ClassType() const override { return Class(); }
    static TdpNameString GetDeviceType(const TProfileProxyClass &) {
        return TdpNameString::From(QStringLiteral("A device type longer than thirty-one characters"));
    }

    static inline bool Answer = false;
    static inline int Alive = 0;

    bool VQConfigUpdated(IDevicePluginServant *, TVQConfigChangeList *ChangeList) override {
        Name = TdpNameString::From(QStringLiteral("changes: %1").arg(ChangeList->Count()));
        return Answer;
    }
    bool IsConfigParamterInUse(IDevicePluginServant *, TVQConfigParameter, const char *AValue, uint32_t) override {
        Name = TdpNameString::From(QString::fromLatin1(AValue));
        return Answer;
    }
    bool UpdateDefaultProfile() override {
        IsDefault = true;
        return Answer;
    }
    void UpdateConfigFiles(TConfigFileArray &Files) override {
        Files.push_back({QStringLiteral("profile.cfg"), cfoUpload, QStringLiteral("x=1")});
    }
    void GetConfigFileNames(TFileNamesArray &Files) override { Files.push_back(QStringLiteral("profile.cfg")); }
    ~TAnsweringProfile() override { --Alive; }

protected:
    TAnsweringProfile(IDeviceProfile *Profile, IDevicePluginServant *Servant) : TProfileProxy(Profile, Servant) {
        ++Alive;
    }
    // A finding of each level, by the profile's name.
    void DoValidate() override {
        if (Name.Text() == "warn")
            AddError(QStringLiteral("a warning"), dclWarning);
        if (Name.Text() == "fail")
            AddError(QStringLiteral("an error"), dclError);
    }
};

class TAnsweringDevice : public TDeviceProxy {
public:
    static const TDeviceProxyClass &Class() {
        static const TDeviceProxyClassOf<TAnsweringDevice> cls("TAnsweringDevice", &TDeviceProxy::Class());
        return cls;
    }
    const TDeviceProxyClass &ClassType() const override { return Class(); }
    static const TBasicProfileProxyClass &DeviceProfileProxyClass() { return TAnsweringProfile::Class(); }

    static inline bool Answer = false;
    // Initialising raises, as a model's fixed values might.
    static inline bool RaiseInInitialize = false;
    // The profile proxy each device proxy saw when it validated.
    static inline std::vector<const void *> Seen;

    bool SetScreenName(IDevicePluginServant *, const char16_t *AValue) override {
        Greeting = QString::fromUtf16(AValue);
        return Answer;
    }
    void UpdateConfigFiles(TConfigFileArray &Files) override {
        Files.push_back({QStringLiteral("device.cfg"), cfoRemove, {}});
    }
    void GetConfigFileNames(TFileNamesArray &Files) override { Files.push_back(QStringLiteral("device.cfg")); }

protected:
    using TDeviceProxy::TDeviceProxy;
    void InitializeFixed() override {
        TDeviceProxy::InitializeFixed();
        if (RaiseInInitialize)
            throw Exception(QStringLiteral("no fixed values"));
    }
    void DoValidate() override {
        Seen.push_back(ProfileProxy());
    }
};

// Frame classes that name the proxy class a test chooses, or none.
struct TProfileFrameNaming final : TPluginProfileFrameClassOf<TPluginProfileFrame> {
    using TPluginProfileFrameClassOf<TPluginProfileFrame>::TPluginProfileFrameClassOf;
    const TProfileProxyClass *Proxy = nullptr;
    const TProfileProxyClass *GetProfileProxyClass() const override { return Proxy; }
};
struct TDeviceFrameNaming final : TPluginDeviceFrameClassOf<TPluginDeviceFrame> {
    using TPluginDeviceFrameClassOf<TPluginDeviceFrame>::TPluginDeviceFrameClassOf;
    const TDeviceProxyClass *Proxy = nullptr;
    const TDeviceProxyClass *GetDeviceProxyClass() const override { return Proxy; }
};
TProfileFrameNaming ProfileFrame("TTestProfileFrame", &TPluginProfileFrame::Class());
TDeviceFrameNaming DeviceFrame("TTestDeviceFrame", &TPluginDeviceFrame::Class());

// A module whose frame classes the test chooses before building it.
class TTestModule : public TDevicePluginModule {
public:
    static const TDevicePluginModuleClass &Class() {
        static const TDevicePluginModuleClassOf<TTestModule> cls("TTestModule", &TDevicePluginModule::Class());
        return cls;
    }
    const TDevicePluginModuleClass &ClassType() const override { return Class(); }
    explicit TTestModule(IDevicePlugin *PluginLink) : TDevicePluginModule(PluginLink) {
        FPedigreeInfo = MakePedHierInfo(QStringLiteral("Test Phones"), {}, 7);
    }

    static inline const TPluginProfileFrameClass *ProfileFrames = &ProfileFrame;
    static inline const TPluginDeviceFrameClass *DeviceFrames = &DeviceFrame;
    const TPluginDeviceFrameClass *GetDeviceFrameClass() const override { return DeviceFrames; }
    const TPluginProfileFrameClass *GetProfileFrameClass() const override { return ProfileFrames; }
};

QString Take(IDevicePluginModule *module, PAnsiStringRef &message) {
    EXPECT_NE(message, nullptr); // always a reference, also for no text
    return TakeAnsiStringRef(module, message);
}

class GenericModule : public ::testing::Test {
protected:
    void SetUp() override {
        TTestModule::ProfileFrames = &ProfileFrame;
        TTestModule::DeviceFrames = &DeviceFrame;
        ProfileFrame.Proxy = &TAnsweringProfile::Class();
        DeviceFrame.Proxy = &TAnsweringDevice::Class();
        TAnsweringProfile::Answer = TAnsweringDevice::Answer = TAnsweringDevice::RaiseInInitialize = false;
        TAnsweringDevice::Seen.clear();
        module = TTestModule::Class().Create(nullptr);
    }
    void TearDown() override {
        EXPECT_EQ(TAnsweringProfile::Alive + profile.Refs + device.Refs, 0);
        EXPECT_EQ(profile.Outstanding() + device.Outstanding() + servant.Outstanding(), 0);
    }

    std::unique_ptr<TDevicePluginModule> module;
    TFakeProfile profile;
    TFakeDevice device;
    TFakeServant servant;
};

TEST_F(GenericModule, LevelsAndMessagesAsTheHostKnowsThem) {
    const struct {
        const char *name;
        TConflictLevel level;
        const char *message;
    } rows[] = {{"ok", clvNone, ""}, {"warn", clvWarning, "a warning"}, {"fail", clvError, "an error"}};
    PAnsiStringRef message = nullptr;
    for (const auto &row : rows) {
        profile.Name = TdpNameString::From(QLatin1String(row.name));
        EXPECT_EQ(module->ValidateProfile(&profile, &servant, message), row.level);
        EXPECT_EQ(Take(module.get(), message), row.message);
        EXPECT_EQ(message, nullptr);
    }
}

TEST_F(GenericModule, DeviceTypeFromTheProfileProxyClassCutAndPedigree) {
    EXPECT_EQ(module->getDeviceType().Text(), "A device type longer than thirt");
    TTestModule::ProfileFrames = nullptr;
    EXPECT_EQ(TTestModule::Class().Create(nullptr)->getDeviceType().Length, 0);
    // A pedigree without a device type has no trailing separator.
    PAnsiStringRef pedigree = module->getPedigree();
    EXPECT_EQ(Take(module.get(), pedigree), "Test Phones");
}

TEST_F(GenericModule, UpdatesWriteBackOnlyWhenTheProxySaysSo) {
    TVQConfigChangeList changes;
    changes.Add(vqcpIP, QStringLiteral("10.0.0.5"), QStringLiteral("10.0.0.6"), 0);
    EXPECT_FALSE(module->UpdateDefaultProfile(&profile, &servant));
    EXPECT_TRUE(profile.Setters.empty());

    TAnsweringProfile::Answer = TAnsweringDevice::Answer = true;
    EXPECT_TRUE(module->UpdateVQConfigInProfile(&profile, &servant, &changes));
    EXPECT_EQ(profile.Name.Text(), "changes: 1");
    EXPECT_TRUE(module->IsConfigParameterInUse(&profile, &servant, vqcpIP, "10.0.0.5", 0));
    EXPECT_EQ(profile.Name.Text(), "10.0.0.5");
    EXPECT_TRUE(module->UpdateDefaultProfile(&profile, &servant));
    EXPECT_TRUE(profile.IsDefault);
    profile.Setters.clear();
    EXPECT_TRUE(module->SetScreenName(&device, &profile, &servant, u"Reception"));
    EXPECT_EQ(device.Greeting, u"Reception");
    EXPECT_TRUE(profile.Setters.empty()); // only the device is written
}

TEST_F(GenericModule, ConfigurationFileOperationsClearWhatTheHostPassed) {
    TConfigFileArray files{{QStringLiteral("stale.cfg"), cfoUpload, {}}};
    module->UpdateProfileConfigFiles(&profile, &servant, files);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].FileName, "profile.cfg");
    module->UpdateDeviceConfigFiles(&device, nullptr, &servant, files);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].Operation, cfoRemove);

    TFileNamesArray names{QStringLiteral("stale.cfg"), QStringLiteral("older.cfg")};
    module->GetDeviceConfigFileNames(&device, &profile, &servant, names);
    EXPECT_EQ(names, TFileNamesArray{QStringLiteral("device.cfg")});
    EXPECT_TRUE(profile.Setters.empty() && device.Setters.empty());
}

TEST_F(GenericModule, APreparedProfileSurvivesItsValidations) {
    const TProfileHandle handle = module->ValidateDevice_PrepareProfile(&profile, &servant);
    ASSERT_NE(handle, 0u);
    PAnsiStringRef message = nullptr;
    // Not even a device proxy that fails to be built takes it.
    DeviceFrame.Proxy = nullptr;
    EXPECT_THROW(module->ValidateDevice(&device, handle, &servant, message), EAssertionFailed);
    DeviceFrame.Proxy = &TAnsweringDevice::Class();
    // Nor one that raises once it holds the prepared proxy.
    TAnsweringDevice::RaiseInInitialize = true;
    EXPECT_THROW(module->ValidateDevice(&device, handle, &servant, message), Exception);
    TAnsweringDevice::RaiseInInitialize = false;
    EXPECT_EQ(message, nullptr);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(TAnsweringProfile::Alive, 1);
        EXPECT_EQ(module->ValidateDevice(&device, handle, &servant, message), clvNone);
        Take(module.get(), message);
        EXPECT_EQ(device.Refs, 0);
    }
    ASSERT_EQ(TAnsweringDevice::Seen.size(), 3u);
    EXPECT_EQ(reinterpret_cast<TProfileHandle>(TAnsweringDevice::Seen[2]), handle);
    module->ValidateDevice_FreePreparedProfile(handle);
    EXPECT_EQ(TAnsweringProfile::Alive, 0);
}

// A missing class, a zero handle or an object that is no frame is a bug of
// the host or the model: an assertion, and no message reference is handed out.
TEST_F(GenericModule, ProgrammingErrorsAreAssertions) {
    PAnsiStringRef message = nullptr;
    QWidget notAFrame;
    QWidget *frame = &notAFrame;
    const std::function<void()> calls[] = {
        [&] { module->ValidateDevice(&device, TProfileHandle(0), &servant, message); },
        [&] { module->FreeFrame(frame); },
        [&] { ProfileFrame.Proxy = nullptr; module->UpdateDefaultProfile(&profile, &servant); },
        [&] { TTestModule::DeviceFrames = nullptr; module->ValidateDevice(&device, nullptr, &servant, message); },
        [&] { module->CreateDeviceFrame(&servant); },
    };
    for (std::size_t k = 0; k < std::size(calls); ++k)
        EXPECT_THAT(AssertionOf(calls[k]), ::testing::StartsWith("Assertion failure (UI\\AdminUI\\DevicePlugins\\DevicePlugin, line "))
            << k;
    EXPECT_EQ(message, nullptr);
}

// ---- the LYN 2 module, through the loaded plug-in library -------------------------

class Lyn2Module : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(module, nullptr);
        device.UniqueID = TdpNameString::From(QStringLiteral("0001E1000001"));
        device.MacAddress = {{0x00, 0x01, 0xE1, 0x00, 0x00, 0x01}};
    }
    void TearDown() override {
        EXPECT_EQ(profile.Refs + device.Refs, 0);
        EXPECT_EQ(profile.Outstanding() + device.Outstanding() + profile.ForeignFrees + device.ForeignFrees, 0);
    }

    const TPluginLibrary lib{DefaultPluginPath()};
    IDevicePluginModule *module = lib.Module();
    TFakeProfile profile;
    TFakeDevice device;
    TFakeServant servant;
};

TEST_F(Lyn2Module, Values) {
    EXPECT_EQ(module->getDeviceType().Text(), "LYN 2");
    PAnsiStringRef pedigree = module->getPedigree();
    EXPECT_EQ(Take(module, pedigree), "Varnel Phones/LYN 2 models/LYN 2");
    for (uint32_t feature = 0; feature < 12; ++feature)
        EXPECT_EQ(module->getFeature(feature), feature == 1 || feature == 2 || feature == 5 || feature == 8) << feature;
    IDevicePlugin *back = module->getPlugin();
    EXPECT_EQ(back, lib.Plugin());
    back->_Release();
}

TEST_F(Lyn2Module, ExceptionsReachTheHost) {
    PAnsiStringRef message = nullptr;
    profile.CustomData = "IPComm{DHCP=false}";
    device.AssignedIP = TIPAddressRec{6, {}};
    device.AssignedIP.ip6[0] = 0x20;
    EXPECT_THROW(module->ValidateDevice(&device, &profile, &servant, message), EIP6NotSupported);
    // Past its ID a SIP device needs its profile: a host that gives none has a bug.
    EXPECT_THROW(module->ValidateDevice(&device, nullptr, &servant, message), EAssertionFailed);
    EXPECT_EQ(message, nullptr);
    device.UniqueID = {};
    EXPECT_EQ(module->ValidateDevice(&device, nullptr, &servant, message), clvError);
    EXPECT_EQ(Take(module, message), "Device ID is empty");
}

TEST_F(Lyn2Module, FramesForTheHost) {
    // Enough frames alive at once for their names to need the letters of hexadecimal.
    std::vector<QWidget *> deviceFrames(16);
    QSet<QString> names;
    const QRegularExpression deviceName("^DeviceFrame[0-9A-F]{8}$");
    for (QWidget *&widget : deviceFrames) {
        widget = module->CreateDeviceFrame(&servant);
        EXPECT_TRUE(deviceName.match(widget->objectName()).hasMatch()) << widget->objectName().toStdString();
        names.insert(widget->objectName());
    }
    EXPECT_EQ(names.size(), 16);
    QWidget *profileFrame = module->CreateProfileFrame(nullptr);
    EXPECT_TRUE(QRegularExpression("^ProfileFrame[0-9A-F]{8}$").match(profileFrame->objectName()).hasMatch());

    for (QWidget *&widget : deviceFrames) {
        module->FreeFrame(widget);
        EXPECT_EQ(widget, nullptr);
    }
    module->FreeFrame(profileFrame);
    EXPECT_EQ(servant.Refs, 0);
}

} // namespace
