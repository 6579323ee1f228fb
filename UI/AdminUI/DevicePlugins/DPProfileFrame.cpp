#include "DPProfileFrame.h"

const TPluginProfileFrameClass &TPluginProfileFrame::Class() {
    static const TPluginProfileFrameClassOf<TPluginProfileFrame> cls("TPluginProfileFrame", &TPluginFrame::Class());
    return cls;
}
