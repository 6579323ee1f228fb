#pragma once
// SIP phones: the device proxy that checks the MAC address and, when the
// profile gives the phone a static address, its LAN IP address; the MAC text
// forms shared by the device frames and the model's device proxy.

#include "DPFrameHelper.h"
#include "Profiled_DeviceFrame.h"

inline constexpr TdpMACAddress EmptyMACAddress{};

// 00-0A-FF-12-34-56
QString MACToText(const TdpMACAddress &MAC);
// 000AFF123456
QString MACToHex(const TdpMACAddress &MAC);
// Byte i from the two characters at positions 3i and 3i+1 (from 0), whatever
// stands between the pairs; a missing character adds nothing and a pair that
// is not hexadecimal reads as 00.
TdpMACAddress TextToMAC(const QString &Text);
// Upper case without separators, as the device frames take typed text.
QString NormalizeMACText(const QString &Text);
bool SameMAC(const TdpMACAddress &A, const TdpMACAddress &B);

class TSIPDeviceProxy : public TProfiledDeviceProxy {
public:
    static const TDeviceProxyClass &Class();
    const TDeviceProxyClass &ClassType() const override { return Class(); }

protected:
    using TProfiledDeviceProxy::TProfiledDeviceProxy;
    void InitializeFixed() override;
    void DoValidate() override;
};

class TSIPDeviceFrame : public TProfiledDeviceFrame {
    Q_OBJECT
public:
    static const TPluginDeviceFrameClass &Class();
    static const TDeviceProxyClass *GetDeviceProxyClass() { return &TSIPDeviceProxy::Class(); }
    static const TBasicFrameHelperClass &GetHelperClass() { return TFrameHelper::Class(); }

protected:
    using TProfiledDeviceFrame::TProfiledDeviceFrame;
};
