#pragma once
// The LYN family's profile frame: shows family profile proxies.

#include "DPFrameHelper.h"
#include "DPProfileFrame.h"
#include "Lyn_Proxies.h"

class TLynProfileFrame : public TPluginProfileFrame {
    Q_OBJECT
public:
    static const TPluginProfileFrameClass &Class();
    static const TProfileProxyClass *GetProfileProxyClass() { return &TLynProfileProxy::Class(); }
    static const TBasicFrameHelperClass &GetHelperClass() { return TFrameHelper::Class(); }

protected:
    using TPluginProfileFrame::TPluginProfileFrame;
};
