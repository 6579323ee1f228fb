#include "DP_Lyn2Plugin.h"

#include "PluginExport.h"

const TPluginClass &TLyn2Plugin::Class() {
    static const TPluginClassOf<TLyn2Plugin> cls("TLyn2Plugin", &TDevicePlugin::Class());
    return cls;
}

TLyn2Plugin::TLyn2Plugin() {
    setPluginID(QStringLiteral("LYN 2 Device"));
    setDescription(QStringLiteral("LYN 2 device plugin. Contains LYN 2 device's frames"));
}

void RegisterLyn2Plugin() { PluginClass = &TLyn2Plugin::Class(); }
