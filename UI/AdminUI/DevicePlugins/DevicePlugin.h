#pragma once
// TDevicePlugin: a plug-in that owns device plug-in modules and hands them to
// the host through IDevicePlugin; TDevicePluginModule: the module through
// which the host does all model work.

#include "DPDeviceFrame.h"
#include "DPProfileFrame.h"
#include "Plugin.h"

#include <array>
#include <memory>
#include <type_traits>
#include <vector>

class TDevicePluginModule;

// Finding levels as the host knows them, by position.
inline constexpr std::array<TConflictLevel, 3> ConflictLevelMap = {clvNone, clvWarning, clvError};

TPedHierInfo MakePedHierInfo(const QString &Pedigree, const QString &DevType, int32_t SortOrder);

class TDevicePluginModuleClass : public TMetaClass {
public:
    using TMetaClass::TMetaClass;
    // The module, constructed and then given its device type.
    virtual std::unique_ptr<TDevicePluginModule> Create(IDevicePlugin *PluginLink) const = 0;
};

template <class T>
class TDevicePluginModuleClassOf final : public TDevicePluginModuleClass {
public:
    using TDevicePluginModuleClass::TDevicePluginModuleClass;
    std::unique_ptr<TDevicePluginModule> Create(IDevicePlugin *PluginLink) const override;
};

// The module through which the host does all model work. It holds almost no
// logic: every request builds a short-lived proxy of the classes the model's
// frames name, runs one operation, writes the proxy back when the operation
// says so, and frees it.
class TDevicePluginModule : public TInterfacedObject<IDevicePluginModule>, public TObjectWithClass {
public:
    static const TDevicePluginModuleClass &Class();
    const TDevicePluginModuleClass &ClassType() const override { return Class(); }

    ~TDevicePluginModule() override;
    TDevicePluginModule(const TDevicePluginModule &) = delete;
    TDevicePluginModule &operator=(const TDevicePluginModule &) = delete;

    // Feature indexes are numbers agreed with the host.
    bool getFeature(uint32_t) override { return false; }
    virtual const TPluginDeviceFrameClass *GetDeviceFrameClass() const = 0;
    virtual const TPluginProfileFrameClass *GetProfileFrameClass() const = 0;

    const TdpNameString &DeviceType() const { return FDeviceType; }
    const TPedHierInfo &PedigreeInfo() const { return FPedigreeInfo; }
    IDevicePlugin *Plugin() const { return FPlugin.get(); }

    // IDevicePluginModule
    HResult QueryInterface(const TGUID &iid, void **obj) override;
    QWidget *CreateDeviceFrame(IPluginFrameContainer *Container) override;
    QWidget *CreateProfileFrame(IPluginFrameContainer *Container) override;
    void FreeFrame(QWidget *&PluginFrame) override;
    TConflictLevel ValidateProfile(IDeviceProfile *Profile, IDevicePluginServant *Servant,
                                   PAnsiStringRef &Message) override;
    bool UpdateVQConfigInProfile(IDeviceProfile *Profile, IDevicePluginServant *Servant,
                                 TVQConfigChangeList *ChangeList) override;
    bool IsConfigParameterInUse(IDeviceProfile *Profile, IDevicePluginServant *Servant,
                                TVQConfigParameter AParameterType, const char *AValue, uint32_t AData) override;
    bool UpdateDefaultProfile(IDeviceProfile *AProfile, IDevicePluginServant *AServant) override;
    bool SetScreenName(IDevice *ADevice, IDeviceProfile *AProfile, IDevicePluginServant *AServant,
                       const char16_t *AScreenName) override;
    TConflictLevel ValidateDevice(IDevice *Device, IDeviceProfile *Profile, IDevicePluginServant *Servant,
                                  PAnsiStringRef &Message) override;
    TConflictLevel ValidateDevice(IDevice *Device, TProfileHandle ProfileHandle, IDevicePluginServant *Servant,
                                  PAnsiStringRef &Message) override;
    TProfileHandle ValidateDevice_PrepareProfile(IDeviceProfile *Profile, IDevicePluginServant *Servant) override;
    void ValidateDevice_FreePreparedProfile(TProfileHandle ProfileHandle) override;
    void UpdateProfileConfigFiles(IDeviceProfile *Profile, IDevicePluginServant *Servant,
                                  TConfigFileArray &Files) override;
    void UpdateDeviceConfigFiles(IDevice *Device, IDeviceProfile *Profile, IDevicePluginServant *Servant,
                                 TConfigFileArray &Files) override;
    void GetProfileConfigFileNames(IDeviceProfile *Profile, IDevicePluginServant *Servant,
                                   TFileNamesArray &Files) override;
    void GetDeviceConfigFileNames(IDevice *Device, IDeviceProfile *Profile, IDevicePluginServant *Servant,
                                  TFileNamesArray &Files) override;
    TdpNameString getDeviceType() override { return FDeviceType; }
    PAnsiStringRef getPedigree() override;
    int32_t getSortOrder() override { return FPedigreeInfo.SortOrder; }
    IDevicePlugin *getPlugin() override;

protected:
    template <class>
    friend class TDevicePluginModuleClassOf;

    explicit TDevicePluginModule(IDevicePlugin *PluginLink);
    // Post-construction step: the device type is that of the profile frame's proxy class.
    virtual void AfterConstruction();

    TPedHierInfo FPedigreeInfo;

private:
    // Built over the host objects and initialised for a check: no defaults.
    std::unique_ptr<TBasicProfileProxy> CreateProfileProxy(IDeviceProfile *Profile, IDevicePluginServant *Servant);
    // The same for a device, with a profile proxy of its own over Profile (none without one).
    std::unique_ptr<TProfiledBasicDeviceProxy> CreateDeviceProxy(IDevice *Device, IDeviceProfile *Profile,
                                                                IDevicePluginServant *Servant);
    // The same over a prepared profile proxy, which the device proxy only uses:
    // it stays the handle's whatever the construction or a check raises.
    std::unique_ptr<TProfiledBasicDeviceProxy> CreateDeviceProxy(IDevice *Device, TBasicProfileProxy *Prepared,
                                                                IDevicePluginServant *Servant);
    // Of the device frame's proxy class, loaded but without a profile proxy and not initialised.
    std::unique_ptr<TProfiledBasicDeviceProxy> NewDeviceProxy(IDevice *Device, IDevicePluginServant *Servant);
    TConflictLevel ValidateProxy(TPluginObjectProxy &Proxy, PAnsiStringRef &Message);

    TdpNameString FDeviceType;
    TInterfaceRef<IDevicePlugin> FPlugin;
};

template <class T>
std::unique_ptr<TDevicePluginModule> TDevicePluginModuleClassOf<T>::Create(IDevicePlugin *PluginLink) const {
    if constexpr (std::is_abstract_v<T>) {
        this->AbstractError();
    } else {
        std::unique_ptr<TDevicePluginModule> module(new T(PluginLink));
        module->AfterConstruction();
        return module;
    }
}

class TDevicePlugin : public TPlugin, public IDevicePlugin {
public:
    static const TPluginClass &Class();
    const TMetaClass &ClassType() const override { return Class(); }

    TDevicePlugin();
    ~TDevicePlugin() override;
    // Post-construction step run by the class reference: builds the modules.
    void AfterConstruction() override { CreateModules(); }

    int32_t ModulesCount() const { return int32_t(FModules.size()); }
    // Raises std::out_of_range for an index outside the list.
    TDevicePluginModule *Modules(int32_t Index) const;

    // IDevicePlugin
    int32_t getModulesCount() override { return ModulesCount(); }
    IDevicePluginModule *getModule(int32_t Index) override;

    // TDevicePlugin implements IPlugin twice over (as TPlugin and inside
    // IDevicePlugin); both reach TPlugin's implementation.
    HResult QueryInterface(const TGUID &iid, void **obj) override;
    int32_t _AddRef() override { return TPlugin::_AddRef(); }
    int32_t _Release() override { return TPlugin::_Release(); }
    void FreeStr(PAnsiStringRef &s) override { TPlugin::FreeStr(s); }
    void FreeStr(PUnicodeStringRef &s) override { TPlugin::FreeStr(s); }
    bool Initialize(IPluginManager *Manager) override { return TPlugin::Initialize(Manager); }
    void Finalize() override { TPlugin::Finalize(); }
    bool PerformMessage(uint32_t aMessage, uintptr_t aParams, uintptr_t &aOutput) override;
    PAnsiStringRef getDescription() override { return TPlugin::getDescription(); }
    bool getInitialized() override { return TPlugin::getInitialized(); }
    IPluginManager *getManager() override { return TPlugin::getManager(); }
    PAnsiStringRef getPluginID() override { return TPlugin::getPluginID(); }
    PAnsiStringRef getPluginType() override { return TPlugin::getPluginType(); }

protected:
    virtual void CreateModules() {}
    virtual void DestroyModules() {}
    void AddModule(std::unique_ptr<TDevicePluginModule> Module);

private:
    std::vector<std::unique_ptr<TDevicePluginModule>> FModules;
};
