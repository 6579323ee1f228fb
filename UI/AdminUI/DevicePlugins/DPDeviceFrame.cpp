#include "DPDeviceFrame.h"

namespace {

constexpr const char *UnitPath = "UI\\AdminUI\\DevicePlugins\\DPDeviceFrame";

// The listed profile with that handle, or none.
IDeviceProfile *ListedProfile(IDeviceProfileList *List, int64_t Handle) {
    const int index = FindProfileIndex(List, Handle);
    return index >= 0 ? List->getItem(index) : nullptr;
}

} // namespace

const TPluginDeviceFrameClass &TPluginDeviceFrame::Class() {
    static const TPluginDeviceFrameClassOf<TPluginDeviceFrame> cls("TPluginDeviceFrame", &TPluginFrame::Class());
    return cls;
}

TPluginDeviceFrame::~TPluginDeviceFrame() = default;

TDeviceProxy &TPluginDeviceFrame::DeviceProxy() const { return ProxyAs<TDeviceProxy>(UnitPath, __LINE__); }

bool TPluginDeviceFrame::ShowDevice(IDevice *Device, IDeviceProfileList *Profiles, TPluginFrameFlags Flags) {
    if (!Device)
        return false;
    FDevice = Device;
    FProfilesList = Profiles;
    return ShowProxy(Flags);
}

void TPluginDeviceFrame::HideDevice() {
    HideProxy();
    FDevice = {};
    FProfilesList = {};
}

std::unique_ptr<TPluginObjectProxy> TPluginDeviceFrame::CreateProxy() {
    const TDeviceProxyClass *proxyClass = ClassType().GetDeviceProxyClass();
    Assert(proxyClass != nullptr, UnitPath, __LINE__);
    IDeviceProfile *profile = FProfilesList ? ListedProfile(FProfilesList.get(), FDevice->getProfileID()) : nullptr;
    std::unique_ptr<TBasicProfileProxy> profileProxy;
    if (profile)
        profileProxy = proxyClass->ProfileProxyClass().Create(profile, Container());
    std::unique_ptr<TProfiledBasicDeviceProxy> proxy = proxyClass->Create(FDevice.get(), std::move(profileProxy), Container());
    Assert(proxy->InheritsFrom(TDeviceProxy::Class()), UnitPath, __LINE__);
    AttachProfile(static_cast<TDeviceProxy &>(*proxy));
    return proxy;
}

void TPluginDeviceFrame::AttachProfile(TDeviceProxy &Proxy) {
    if (FProfilesList)
        Proxy.setProfile(ListedProfile(FProfilesList.get(), Proxy.ProfileID));
}
