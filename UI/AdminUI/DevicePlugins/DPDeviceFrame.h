#pragma once
// TPluginDeviceFrame: the frame that edits a device, the host's
// IPluginDeviceFrame, and the class-level choice of the device proxy it shows.

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
class TPluginDeviceFrameClassOf : public TPluginFrameClassOf<T, Base> {
public:
    using TPluginFrameClassOf<T, Base>::TPluginFrameClassOf;
    const TDeviceProxyClass *GetDeviceProxyClass() const override { return T::GetDeviceProxyClass(); }
};

class TPluginDeviceFrame : public TPluginFrameWith<IPluginDeviceFrame> {
    Q_OBJECT
public:
    static const TPluginDeviceFrameClass &Class();
    const TPluginDeviceFrameClass &ClassType() const override = 0;
    static const TDeviceProxyClass *GetDeviceProxyClass() { return &TDeviceProxy::Class(); }

    ~TPluginDeviceFrame() override;

    // The proxy as a TDeviceProxy; an assertion failure while none is shown.
    TDeviceProxy &DeviceProxy() const;
    // The profiles the device may use; may be absent.
    IDeviceProfileList *ProfilesList() const { return FProfilesList.get(); }

    // IPluginDeviceFrame. A none device changes nothing.
    bool ShowDevice(IDevice *Device, IDeviceProfileList *Profiles, TPluginFrameFlags Flags) override;
    void HideDevice() override;

protected:
    using TPluginFrameWith::TPluginFrameWith;
    // A proxy of the class GetDeviceProxyClass names over the device, with the
    // container as its servant and the device's profile from the list.
    std::unique_ptr<TPluginObjectProxy> CreateProxy() override;
    // Hands the proxy the listed profile whose handle is its ProfileID, or none
    // when the list has no such profile; without a list nothing changes.
    void AttachProfile(TDeviceProxy &Proxy);

private:
    TInterfaceRef<IDevice> FDevice;
    TInterfaceRef<IDeviceProfileList> FProfilesList;
};
