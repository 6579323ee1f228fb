#pragma once
// The first level of device frames and their proxy: the device ID rules.

#include "DPDeviceFrame.h"

#include <array>

// Names reserved for devices the phone system itself defines.
inline constexpr std::array<const char *, 5> MetaDeviceNames = {"bound", "home", "cell", "assigned", "virtual"};
// What a device ID may hold: the unreserved characters of RFC 3261.
const TEditorFilter &DeviceIDChars();

class TBaseDeviceProxy : public TDeviceProxy {
public:
    static const TDeviceProxyClass &Class();
    const TDeviceProxyClass &ClassType() const override { return Class(); }

    // "Device ID", or "Device Prefix" while a range of devices is made from a prefix.
    QString DeviceIDSettingName() const;

protected:
    using TDeviceProxy::TDeviceProxy;
    void DoValidate() override;
};

class TBaseDeviceFrame : public TPluginDeviceFrame {
    Q_OBJECT
public:
    static const TPluginDeviceFrameClass &Class();
    static const TDeviceProxyClass *GetDeviceProxyClass() { return &TBaseDeviceProxy::Class(); }

protected:
    using TPluginDeviceFrame::TPluginDeviceFrame;
};
