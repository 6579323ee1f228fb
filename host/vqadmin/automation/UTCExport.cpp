// The one symbol the program exports: plug-ins find the host's wrapper
// manager through it.

#include "WrapperManager.h"

extern "C" TUTCWrapperManager *UTC_GetWrapperManager() { return &HostWrapperManager(); }
