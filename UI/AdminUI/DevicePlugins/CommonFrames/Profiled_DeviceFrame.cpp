#include "Profiled_DeviceFrame.h"

const TDeviceProxyClass &TProfiledDeviceProxy::Class() {
    static const TDeviceProxyClassOf<TProfiledDeviceProxy> cls("TProfiledDeviceProxy", &TBaseDeviceProxy::Class());
    return cls;
}

const TPluginDeviceFrameClass &TProfiledDeviceFrame::Class() {
    static const TPluginDeviceFrameClassOf<TProfiledDeviceFrame> cls("TProfiledDeviceFrame", &TBaseDeviceFrame::Class());
    return cls;
}
