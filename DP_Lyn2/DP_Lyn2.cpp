// The library's start-up, in the one order that matters: automation wrappers
// first, then the coloured-control registry, then the plug-in class, so that
// nothing the host can reach runs before it is ready. The exports themselves,
// CreatePlugin and DestroyPlugin, are those of unit PluginExport.

#include "DPFrame.h"
#include "DP_Lyn2Plugin.h"
#include "utc_lyn2wrapper.h"

namespace {
__attribute__((constructor)) void StartLibrary() {
    RegisterLyn2ProfileWrapper();
    RegisterLyn2DeviceWrapper();
    RegisterColoredControlClasses();
    RegisterLyn2Plugin();
}
} // namespace
