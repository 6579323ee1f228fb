#pragma once
// TDevicePlugin: a plug-in that owns device plug-in modules and hands them to
// the host through IDevicePlugin.

#include "Plugin.h"

#include <memory>
#include <vector>

// The generic device plug-in module; the model supplies the concrete one.
class TDevicePluginModule : public TInterfacedObject<IDevicePluginModule> {
public:
    virtual ~TDevicePluginModule() = default;
};

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
