#include "Lyn2_ProfileFrame.h"

const TPluginProfileFrameClass &TLyn2ProfileFrame::Class() {
    static const TPluginProfileFrameClassOf<TLyn2ProfileFrame> cls("TLyn2ProfileFrame", &TLynProfileFrame::Class());
    return cls;
}
