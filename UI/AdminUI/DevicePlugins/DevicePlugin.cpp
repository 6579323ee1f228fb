#include "DevicePlugin.h"

#include "DPHelpModule.h"
#include "HelpCommands.h"

#include <QScopeGuard>

namespace {

constexpr const char *UnitPath = "UI\\AdminUI\\DevicePlugins\\DevicePlugin";

// A frame of the class for the host to embed, named Prefix and 8 hexadecimal
// digits that no other frame alive has.
QWidget *NewFrame(const TPluginFrameClass &FrameClass, const QString &Prefix, IPluginFrameContainer *Container,
                  IDevicePluginModule *Module) {
    static uint32_t lastNumber = 0;
    std::unique_ptr<TPluginFrame> frame = FrameClass.Create(nullptr, Container, Module);
    frame->setObjectName(Prefix + QStringLiteral("%1").arg(++lastNumber, 8, 16, QLatin1Char('0')).toUpper());
    return frame.release();
}

TBasicProfileProxy *PreparedProfile(TProfileHandle ProfileHandle) {
    return reinterpret_cast<TBasicProfileProxy *>(ProfileHandle);
}

} // namespace

TPedHierInfo MakePedHierInfo(const QString &Pedigree, const QString &DevType, int32_t SortOrder) {
    return TPedHierInfo{Pedigree, DevType, SortOrder};
}

// TDevicePluginModule

const TDevicePluginModuleClass &TDevicePluginModule::Class() {
    static const TDevicePluginModuleClassOf<TDevicePluginModule> cls("TDevicePluginModule", nullptr);
    return cls;
}

TDevicePluginModule::TDevicePluginModule(IDevicePlugin *PluginLink) : FPlugin(PluginLink) {}

TDevicePluginModule::~TDevicePluginModule() = default;

void TDevicePluginModule::AfterConstruction() {
    const TPluginProfileFrameClass *frameClass = GetProfileFrameClass();
    const TProfileProxyClass *proxyClass = frameClass ? frameClass->GetProfileProxyClass() : nullptr;
    if (proxyClass)
        FDeviceType = proxyClass->GetDeviceType();
}

HResult TDevicePluginModule::QueryInterface(const TGUID &iid, void **obj) {
    if (iid == IDevicePluginModule::IID || iid == IInterface::IID) {
        *obj = static_cast<IDevicePluginModule *>(this);
        return S_OK;
    }
    *obj = nullptr;
    return E_NOINTERFACE;
}

std::unique_ptr<TBasicProfileProxy> TDevicePluginModule::CreateProfileProxy(IDeviceProfile *Profile,
                                                                           IDevicePluginServant *Servant) {
    const TPluginProfileFrameClass *frameClass = GetProfileFrameClass();
    Assert(frameClass != nullptr, UnitPath, 258);
    const TProfileProxyClass *proxyClass = frameClass->GetProfileProxyClass();
    Assert(proxyClass != nullptr, UnitPath, 261);
    std::unique_ptr<TBasicProfileProxy> proxy = proxyClass->Create(Profile, Servant);
    proxy->Initialize({}, true);
    return proxy;
}

std::unique_ptr<TProfiledBasicDeviceProxy> TDevicePluginModule::NewDeviceProxy(IDevice *Device,
                                                                            IDevicePluginServant *Servant) {
    const TPluginDeviceFrameClass *frameClass = GetDeviceFrameClass();
    Assert(frameClass != nullptr, UnitPath, 236);
    // A device frame's proxy class descends from TDeviceProxy, so it always
    // takes the profile proxy.
    const TDeviceProxyClass *proxyClass = frameClass->GetDeviceProxyClass();
    Assert(proxyClass != nullptr, UnitPath, 239);
    return proxyClass->Create(Device, nullptr, Servant);
}

std::unique_ptr<TProfiledBasicDeviceProxy> TDevicePluginModule::CreateDeviceProxy(IDevice *Device,
                                                                               IDeviceProfile *Profile,
                                                                               IDevicePluginServant *Servant) {
    std::unique_ptr<TBasicProfileProxy> profileProxy = Profile ? CreateProfileProxy(Profile, Servant) : nullptr;
    std::unique_ptr<TProfiledBasicDeviceProxy> proxy = NewDeviceProxy(Device, Servant);
    proxy->setProfileProxy(std::move(profileProxy));
    proxy->Initialize({}, true);
    return proxy;
}

std::unique_ptr<TProfiledBasicDeviceProxy> TDevicePluginModule::CreateDeviceProxy(IDevice *Device,
                                                                               TBasicProfileProxy *Prepared,
                                                                               IDevicePluginServant *Servant) {
    std::unique_ptr<TProfiledBasicDeviceProxy> proxy = NewDeviceProxy(Device, Servant);
    proxy->LendProfileProxy(Prepared);
    proxy->Initialize({}, true);
    return proxy;
}

TConflictLevel TDevicePluginModule::ValidateProxy(TPluginObjectProxy &Proxy, PAnsiStringRef &Message) {
    const TDeviceConflictLevel level = Proxy.Validate();
    Message = new TAnsiStringRef{Proxy.Conflict().Message};
    return ConflictLevelMap[level];
}

QWidget *TDevicePluginModule::CreateDeviceFrame(IPluginFrameContainer *Container) {
    const TPluginDeviceFrameClass *frameClass = GetDeviceFrameClass();
    Assert(frameClass != nullptr, UnitPath, 201);
    return NewFrame(*frameClass, QStringLiteral("DeviceFrame"), Container, this);
}

QWidget *TDevicePluginModule::CreateProfileFrame(IPluginFrameContainer *Container) {
    const TPluginProfileFrameClass *frameClass = GetProfileFrameClass();
    Assert(frameClass != nullptr, UnitPath, 214);
    return NewFrame(*frameClass, QStringLiteral("ProfileFrame"), Container, this);
}

void TDevicePluginModule::FreeFrame(QWidget *&PluginFrame) {
    Assert(qobject_cast<TPluginFrame *>(PluginFrame) != nullptr, UnitPath, 223);
    delete std::exchange(PluginFrame, nullptr);
}

TConflictLevel TDevicePluginModule::ValidateProfile(IDeviceProfile *Profile, IDevicePluginServant *Servant,
                                                    PAnsiStringRef &Message) {
    return ValidateProxy(*CreateProfileProxy(Profile, Servant), Message);
}

bool TDevicePluginModule::UpdateVQConfigInProfile(IDeviceProfile *Profile, IDevicePluginServant *Servant,
                                                  TVQConfigChangeList *ChangeList) {
    const auto proxy = CreateProfileProxy(Profile, Servant);
    const bool changed = proxy->VQConfigUpdated(Servant, ChangeList);
    if (changed)
        proxy->FlushChanges();
    return changed;
}

bool TDevicePluginModule::IsConfigParameterInUse(IDeviceProfile *Profile, IDevicePluginServant *Servant,
                                                 TVQConfigParameter AParameterType, const char *AValue, uint32_t AData) {
    const auto proxy = CreateProfileProxy(Profile, Servant);
    const bool inUse = proxy->IsConfigParamterInUse(Servant, AParameterType, AValue, AData);
    if (inUse)
        proxy->FlushChanges();
    return inUse;
}

bool TDevicePluginModule::UpdateDefaultProfile(IDeviceProfile *AProfile, IDevicePluginServant *AServant) {
    const auto proxy = CreateProfileProxy(AProfile, AServant);
    const bool changed = proxy->UpdateDefaultProfile();
    if (changed)
        proxy->FlushChanges();
    return changed;
}

bool TDevicePluginModule::SetScreenName(IDevice *ADevice, IDeviceProfile *AProfile, IDevicePluginServant *AServant,
                                        const char16_t *AScreenName) {
    const auto proxy = CreateDeviceProxy(ADevice, AProfile, AServant);
    const bool changed = proxy->SetScreenName(AServant, AScreenName);
    if (changed)
        proxy->FlushChanges();
    return changed;
}

TConflictLevel TDevicePluginModule::ValidateDevice(IDevice *Device, IDeviceProfile *Profile,
                                                   IDevicePluginServant *Servant, PAnsiStringRef &Message) {
    return ValidateProxy(*CreateDeviceProxy(Device, Profile, Servant), Message);
}

TConflictLevel TDevicePluginModule::ValidateDevice(IDevice *Device, TProfileHandle ProfileHandle,
                                                   IDevicePluginServant *Servant, PAnsiStringRef &Message) {
    Assert(ProfileHandle != 0, UnitPath, 308);
    return ValidateProxy(*CreateDeviceProxy(Device, PreparedProfile(ProfileHandle), Servant), Message);
}

TProfileHandle TDevicePluginModule::ValidateDevice_PrepareProfile(IDeviceProfile *Profile,
                                                                  IDevicePluginServant *Servant) {
    return reinterpret_cast<TProfileHandle>(CreateProfileProxy(Profile, Servant).release());
}

void TDevicePluginModule::ValidateDevice_FreePreparedProfile(TProfileHandle ProfileHandle) {
    Assert(ProfileHandle != 0, UnitPath, 333);
    delete PreparedProfile(ProfileHandle);
}

void TDevicePluginModule::UpdateProfileConfigFiles(IDeviceProfile *Profile, IDevicePluginServant *Servant,
                                                   TConfigFileArray &Files) {
    Files.clear();
    CreateProfileProxy(Profile, Servant)->UpdateConfigFiles(Files);
}

void TDevicePluginModule::UpdateDeviceConfigFiles(IDevice *Device, IDeviceProfile *Profile,
                                                  IDevicePluginServant *Servant, TConfigFileArray &Files) {
    Files.clear();
    CreateDeviceProxy(Device, Profile, Servant)->UpdateConfigFiles(Files);
}

void TDevicePluginModule::GetProfileConfigFileNames(IDeviceProfile *Profile, IDevicePluginServant *Servant,
                                                    TFileNamesArray &Files) {
    Files.clear();
    CreateProfileProxy(Profile, Servant)->GetConfigFileNames(Files);
}

void TDevicePluginModule::GetDeviceConfigFileNames(IDevice *Device, IDeviceProfile *Profile,
                                                   IDevicePluginServant *Servant, TFileNamesArray &Files) {
    Files.clear();
    CreateDeviceProxy(Device, Profile, Servant)->GetConfigFileNames(Files);
}

PAnsiStringRef TDevicePluginModule::getPedigree() {
    const QString separator = !FPedigreeInfo.Pedigree.isEmpty() && !FPedigreeInfo.DevType.isEmpty()
                                  ? QStringLiteral("/")
                                  : QString();
    return NewAnsiStringRef(FPedigreeInfo.Pedigree + separator + FPedigreeInfo.DevType);
}

IDevicePlugin *TDevicePluginModule::getPlugin() {
    if (FPlugin)
        FPlugin->_AddRef();
    return FPlugin.get();
}

// TDevicePlugin

const TPluginClass &TDevicePlugin::Class() {
    static const TPluginClassOf<TDevicePlugin> cls("TDevicePlugin", &TPlugin::Class());
    return cls;
}

TDevicePlugin::TDevicePlugin() { setPluginType(QStringLiteral("DevicePlugin")); }

TDevicePlugin::~TDevicePlugin() {
    DestroyModules();
    FModules.clear();
}

TDevicePluginModule *TDevicePlugin::Modules(int32_t Index) const { return FModules.at(std::size_t(Index)).get(); }

IDevicePluginModule *TDevicePlugin::getModule(int32_t Index) { return Modules(Index); }

void TDevicePlugin::AddModule(std::unique_ptr<TDevicePluginModule> Module) { FModules.push_back(std::move(Module)); }

HResult TDevicePlugin::QueryInterface(const TGUID &iid, void **obj) {
    if (iid == IDevicePlugin::IID) {
        *obj = static_cast<IDevicePlugin *>(this);
        return S_OK;
    }
    return TPlugin::QueryInterface(iid, obj);
}

// 4096 and 4097 hand over the host's "What's this?" menu item and toolbar
// button; aOutput is not written.
bool TDevicePlugin::PerformMessage(uint32_t aMessage, uintptr_t aParams, uintptr_t &aOutput) {
    if (aMessage != pmWhatsThisMenuItem && aMessage != pmWhatsThisToolbarButton)
        return TPlugin::PerformMessage(aMessage, aParams, aOutput);
    if (!dmDPHelp)
        dmDPHelp = std::make_unique<TdmDPHelp>();
    auto *object = reinterpret_cast<QObject *>(aParams);
    return aMessage == pmWhatsThisMenuItem ? dmDPHelp->SetWTMenuItem(object) : dmDPHelp->SetWTToolbarBtn(object);
}
