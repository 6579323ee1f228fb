#include "Lyn_DeviceFrame.h"

const TPluginDeviceFrameClass &TLynDeviceFrame::Class() {
    static const TPluginDeviceFrameClassOf<TLynDeviceFrame> cls("TLynDeviceFrame", &TSIPDeviceFrame::Class());
    return cls;
}

TLynDeviceProxy &TLynDeviceFrame::DeviceProxy() const {
    return ProxyAs<TLynDeviceProxy>("UI\\AdminUI\\DevicePlugins\\CommonFrames\\Lyn_DeviceFrame", 45);
}
