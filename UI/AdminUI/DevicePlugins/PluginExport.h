#pragma once
// The library's front door: the process-wide plug-in object, its count, and
// the two C exports the host calls.

#include "Plugin.h"

// The class CreatePlugin instantiates; set once while the library loads.
extern const TPluginClass *PluginClass;
extern TPlugin *PluginInstance;
// CreatePlugin calls not yet matched by an accepted DestroyPlugin.
extern int32_t PluginRefCount;

extern "C" {
// The one plug-in object, built on the first call; every call counts.
TPlugin *CreatePlugin();
// Accepts only the current instance; the last accepted call frees it.
bool DestroyPlugin(TPlugin *Plugin);
}
