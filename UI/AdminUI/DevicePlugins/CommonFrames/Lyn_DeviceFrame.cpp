#include "Lyn_DeviceFrame.h"

const TPluginDeviceFrameClass &TLynDeviceFrame::Class() {
    static const TPluginDeviceFrameClassOf<TLynDeviceFrame> cls("TLynDeviceFrame", &TSIPDeviceFrame::Class());
    return cls;
}
