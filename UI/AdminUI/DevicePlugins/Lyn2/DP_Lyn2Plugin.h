#pragma once
// The LYN 2 model plug-in and its one device plug-in module.

#include "DevicePlugin.h"

class TLyn2PluginModule : public TDevicePluginModule {
public:
    static const TDevicePluginModuleClass &Class();
    const TDevicePluginModuleClass &ClassType() const override { return Class(); }

    // True for the features 1, 2, 5 and 8.
    bool getFeature(uint32_t FeatureIndex) override;
    const TPluginDeviceFrameClass *GetDeviceFrameClass() const override;
    const TPluginProfileFrameClass *GetProfileFrameClass() const override;

protected:
    template <class>
    friend class TDevicePluginModuleClassOf;

    explicit TLyn2PluginModule(IDevicePlugin *PluginLink);
};

class TLyn2Plugin : public TDevicePlugin {
public:
    static const TPluginClass &Class();
    const TMetaClass &ClassType() const override { return Class(); }

    TLyn2Plugin();

protected:
    // The one module, at index 0.
    void CreateModules() override;
};

// Makes TLyn2Plugin the class CreatePlugin instantiates.
void RegisterLyn2Plugin();
