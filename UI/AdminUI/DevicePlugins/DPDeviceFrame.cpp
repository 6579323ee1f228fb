#include "DPDeviceFrame.h"

const TPluginDeviceFrameClass &TPluginDeviceFrame::Class() {
    static const TPluginDeviceFrameClassOf<TPluginDeviceFrame> cls("TPluginDeviceFrame", &TPluginFrame::Class());
    return cls;
}
