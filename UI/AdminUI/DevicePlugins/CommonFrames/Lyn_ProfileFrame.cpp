#include "Lyn_ProfileFrame.h"

const TPluginProfileFrameClass &TLynProfileFrame::Class() {
    static const TPluginProfileFrameClassOf<TLynProfileFrame> cls("TLynProfileFrame", &TPluginProfileFrame::Class());
    return cls;
}
