#pragma once
// The device frame level that lets the user pick the device's profile, and its
// proxy, which adds no rules of its own.

#include "Base_DeviceFrame.h"

class TProfiledDeviceProxy : public TBaseDeviceProxy {
public:
    static const TDeviceProxyClass &Class();
    const TDeviceProxyClass &ClassType() const override { return Class(); }

protected:
    using TBaseDeviceProxy::TBaseDeviceProxy;
};

class TProfiledDeviceFrame : public TBaseDeviceFrame {
    Q_OBJECT
public:
    static const TPluginDeviceFrameClass &Class();
    static const TDeviceProxyClass *GetDeviceProxyClass() { return &TProfiledDeviceProxy::Class(); }

protected:
    using TBaseDeviceFrame::TBaseDeviceFrame;
};
