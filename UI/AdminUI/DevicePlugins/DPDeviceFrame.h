#pragma once
// TPluginDeviceFrame: the frame that edits a device, and the class-level
// choice of the device proxy it shows.

#include "DPFrame.h"
#include "DPProxies.h"

class TPluginDeviceFrameClass : public TPluginFrameClass {
public:
    using TPluginFrameClass::TPluginFrameClass;
    // The proxy class of the devices the frame shows; none when the frame has none.
    virtual const TDeviceProxyClass *GetDeviceProxyClass() const = 0;
};

// The descriptor of frame class T: its class-level functions are T's static
// members of the same names.
template <class T, class Base = TPluginDeviceFrameClass>
class TPluginDeviceFrameClassOf : public Base {
public:
    using Base::Base;
    const TDeviceProxyClass *GetDeviceProxyClass() const override { return T::GetDeviceProxyClass(); }
};

class TPluginDeviceFrame : public TPluginFrame {
public:
    static const TPluginDeviceFrameClass &Class();
    static const TDeviceProxyClass *GetDeviceProxyClass() { return &TDeviceProxy::Class(); }
};
