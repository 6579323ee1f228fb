#include "PluginExport.h"

const TPluginClass *PluginClass = nullptr;
TPlugin *PluginInstance = nullptr;
int32_t PluginRefCount = 0;

TPlugin *CreatePlugin() {
    Assert(PluginClass != nullptr, "UI\\AdminUI\\DevicePlugins\\PluginExport", 42,
           QStringLiteral("PluginClass global variable of PluginExport unit MUST be initialized "
                          "before any calls to CreatePlugin() function"));
    if (!PluginInstance)
        PluginInstance = PluginClass->Create();
    ++PluginRefCount;
    return PluginInstance;
}

bool DestroyPlugin(TPlugin *Plugin) {
    if (!Plugin || Plugin != PluginInstance)
        return false;
    if (--PluginRefCount == 0) {
        delete PluginInstance;
        PluginInstance = nullptr;
    }
    return true;
}
