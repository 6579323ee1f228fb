#include "DPFrame.h"

const TPluginFrameClass &TPluginFrame::Class() {
    static const TPluginFrameClass cls("TPluginFrame", nullptr);
    return cls;
}
