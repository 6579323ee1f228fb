#pragma once
// The LYN 2 profile frame: shows LYN 2 profile proxies.

#include "Lyn2_Proxies.h"
#include "Lyn_ProfileFrame.h"

class TLyn2ProfileFrame : public TLynProfileFrame {
    Q_OBJECT
public:
    static const TPluginProfileFrameClass &Class();
    static const TProfileProxyClass *GetProfileProxyClass() { return &TLyn2ProfileProxy::Class(); }

protected:
    using TLynProfileFrame::TLynProfileFrame;
};
