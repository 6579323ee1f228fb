#include "Lyn2_DeviceFrame.h"

const TPluginDeviceFrameClass &TLyn2DeviceFrame::Class() {
    static const TPluginDeviceFrameClassOf<TLyn2DeviceFrame> cls("TLyn2DeviceFrame", &TLynDeviceFrame::Class());
    return cls;
}
