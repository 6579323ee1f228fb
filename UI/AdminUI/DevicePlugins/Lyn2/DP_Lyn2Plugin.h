#pragma once
// The LYN 2 model plug-in.

#include "DevicePlugin.h"

class TLyn2Plugin : public TDevicePlugin {
public:
    static const TPluginClass &Class();
    const TMetaClass &ClassType() const override { return Class(); }

    TLyn2Plugin();
};

// Makes TLyn2Plugin the class CreatePlugin instantiates.
void RegisterLyn2Plugin();
