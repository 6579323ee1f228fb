#pragma once
// The LYN 2 data model: every setting of a profile of these phones, where it
// is stored, its default for a new profile, the values the model fixes, and
// the checks run before the host saves; and the matching device proxy.

#include "Lyn_Proxies.h"

class TLyn2ProfileProxy : public TLynProfileProxy {
public:
    static const TProfileProxyClass &Class();
    const TProfileProxyClass &ClassType() const override { return Class(); }
    // "LYN 2"
    static TdpNameString GetDeviceType(const TProfileProxyClass &Self);

    // A phone that does not use DHCP has a static address.
    bool GetsStaticIP() const override { return !DHCP; }

    TSIPProxy Proxy;
    TIPSettings IP_Settings;
    TdpNameString SWVersion;
    int32_t InterdigitTimeout = 0; // milliseconds
    TdpNameString Country;         // a code of the country table
    int32_t TimeZone = 0;          // minutes from GMT, a value of the time-zone table
    bool Adjust4DayLightSavings = false;
    bool Allow_G_729 = false;
    bool G_729_Silence_Sup = false;
    uint8_t RingTone = 0;
    TransportType TransportProtocol = TransportTypeNonSet;
    uint16_t ReceivePort = 0;
    int32_t InviteRetrans = 0;
    int32_t NonInviteRetrans = 0;
    int32_t Call_Sig_DSCP = 0;
    int32_t RTP_DSCP = 0;
    bool DHCP = false;
    bool VLAN_Support = false;
    int32_t VLAN_Tag = 0;
    int32_t Priority_Tag = 0;
    int32_t Call_Sign_VLAN_Tag = 0;
    int32_t Call_Sign_Priority_Tag = 0;
    int32_t RTP_VLAN_Tag = 0;
    int32_t RTP_Priority_Tag = 0;

protected:
    using TLynProfileProxy::TLynProfileProxy;
    void Load() override;
    void Save() override;
    void InitializeFixed() override;
    void InitializeDefaults() override;
    void DoValidate() override;
};

class TLyn2DeviceProxy : public TLynDeviceProxy {
public:
    static const TDeviceProxyClass &Class();
    const TDeviceProxyClass &ClassType() const override { return Class(); }
    static const TBasicProfileProxyClass &DeviceProfileProxyClass();

    // The profile proxy as a TLyn2ProfileProxy; none when the device has no profile.
    TLyn2ProfileProxy *ProfileProxy() const;

protected:
    using TLynDeviceProxy::TLynDeviceProxy;
    void InitializeDefaults() override;
};
