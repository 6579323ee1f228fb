#include "DevicePlugin.h"

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

bool TDevicePlugin::PerformMessage(uint32_t aMessage, uintptr_t aParams, uintptr_t &aOutput) {
    return TPlugin::PerformMessage(aMessage, aParams, aOutput);
}
