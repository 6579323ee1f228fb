#pragma once
// The LYN family's device frame: shows family device proxies.

#include "Lyn_Proxies.h"
#include "SIP_DeviceFrame.h"

class TLynDeviceFrame : public TSIPDeviceFrame {
    Q_OBJECT
public:
    static const TPluginDeviceFrameClass &Class();
    static const TDeviceProxyClass *GetDeviceProxyClass() { return &TLynDeviceProxy::Class(); }

    // The proxy as a TLynDeviceProxy; an assertion failure when it is of another class.
    TLynDeviceProxy &DeviceProxy() const;

protected:
    using TSIPDeviceFrame::TSIPDeviceFrame;
};
