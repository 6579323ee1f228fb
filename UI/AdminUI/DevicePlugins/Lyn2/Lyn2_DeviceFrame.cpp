#include "Lyn2_DeviceFrame.h"

const TPluginDeviceFrameClass &TLyn2DeviceFrame::Class() {
    static const TPluginDeviceFrameClassOf<TLyn2DeviceFrame> cls("TLyn2DeviceFrame", &TLynDeviceFrame::Class());
    return cls;
}

TLyn2DeviceProxy &TLyn2DeviceFrame::DeviceProxy() const {
    return ProxyAs<TLyn2DeviceProxy>("UI\\AdminUI\\DevicePlugins\\Lyn2\\Lyn2_DeviceFrame", 54);
}
