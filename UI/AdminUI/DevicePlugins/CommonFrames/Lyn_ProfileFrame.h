#pragma once
// The LYN family's profile frame: shows family profile proxies.

#include "DPProfileFrame.h"
#include "Lyn_Proxies.h"

class TLynProfileFrame : public TPluginProfileFrame {
public:
    static const TPluginProfileFrameClass &Class();
    static const TProfileProxyClass *GetProfileProxyClass() { return &TLynProfileProxy::Class(); }
};
