#include "DP_Lyn2Plugin.h"

#include "Lyn2_DeviceFrame.h"
#include "Lyn2_ProfileFrame.h"
#include "PluginExport.h"

// TLyn2PluginModule

const TDevicePluginModuleClass &TLyn2PluginModule::Class() {
    static const TDevicePluginModuleClassOf<TLyn2PluginModule> cls("TLyn2PluginModule", &TDevicePluginModule::Class());
    return cls;
}

TLyn2PluginModule::TLyn2PluginModule(IDevicePlugin *PluginLink) : TDevicePluginModule(PluginLink) {
    FPedigreeInfo = MakePedHierInfo(QStringLiteral("Varnel Phones/LYN 2 models"), QStringLiteral("LYN 2"), 10500);
}

bool TLyn2PluginModule::getFeature(uint32_t FeatureIndex) {
    return FeatureIndex == 1 || FeatureIndex == 2 || FeatureIndex == 5 || FeatureIndex == 8;
}

const TPluginDeviceFrameClass *TLyn2PluginModule::GetDeviceFrameClass() const { return &TLyn2DeviceFrame::Class(); }

const TPluginProfileFrameClass *TLyn2PluginModule::GetProfileFrameClass() const { return &TLyn2ProfileFrame::Class(); }

// TLyn2Plugin

const TPluginClass &TLyn2Plugin::Class() {
    static const TPluginClassOf<TLyn2Plugin> cls("TLyn2Plugin", &TDevicePlugin::Class());
    return cls;
}

TLyn2Plugin::TLyn2Plugin() {
    setPluginID(QStringLiteral("LYN 2 Device"));
    setDescription(QStringLiteral("LYN 2 device plugin. Contains LYN 2 device's frames"));
}

void TLyn2Plugin::CreateModules() { AddModule(TLyn2PluginModule::Class().Create(static_cast<IDevicePlugin *>(this))); }

void RegisterLyn2Plugin() { PluginClass = &TLyn2Plugin::Class(); }
