#pragma once
// The LYN 2 device frame: shows LYN 2 device proxies.

#include "Lyn2_Proxies.h"
#include "Lyn_DeviceFrame.h"

class TLyn2DeviceFrame : public TLynDeviceFrame {
    Q_OBJECT
public:
    static const TPluginDeviceFrameClass &Class();
    static const TDeviceProxyClass *GetDeviceProxyClass() { return &TLyn2DeviceProxy::Class(); }

    // The proxy as a TLyn2DeviceProxy; an assertion failure when it is of another class.
    TLyn2DeviceProxy &DeviceProxy() const;

protected:
    using TLynDeviceFrame::TLynDeviceFrame;
};
