#include "DPProfileFrame.h"

namespace {

constexpr const char *UnitPath = "UI\\AdminUI\\DevicePlugins\\DPProfileFrame";

} // namespace

const TPluginProfileFrameClass &TPluginProfileFrame::Class() {
    static const TPluginProfileFrameClassOf<TPluginProfileFrame> cls("TPluginProfileFrame", &TPluginFrame::Class());
    return cls;
}

TPluginProfileFrame::~TPluginProfileFrame() = default;

TProfileProxy &TPluginProfileFrame::ProfileProxy() const { return ProxyAs<TProfileProxy>(UnitPath, __LINE__); }

bool TPluginProfileFrame::ProcessRequest(int32_t Code, uintptr_t Data, intptr_t &Result) {
    if (Code != frqProfileName)
        return TPluginFrameWith::ProcessRequest(Code, Data, Result);
    const auto *text = reinterpret_cast<const TAnsiStringRef *>(Data);
    const TdpNameString name = TdpNameString::From(text ? text->Chars : AnsiString());
    TProfileProxy &proxy = ProfileProxy();
    if (!(name == proxy.Name)) {
        proxy.Name = name;
        Validate();
    }
    return true;
}

bool TPluginProfileFrame::ShowProfile(IDeviceProfile *Profile, TPluginFrameFlags Flags) {
    if (!Profile)
        return false;
    FProfile = Profile;
    return ShowProxy(Flags);
}

void TPluginProfileFrame::HideProfile() {
    HideProxy();
    FProfile = {};
}

std::unique_ptr<TPluginObjectProxy> TPluginProfileFrame::CreateProxy() {
    const TProfileProxyClass *proxyClass = ClassType().GetProfileProxyClass();
    Assert(proxyClass != nullptr, UnitPath, __LINE__);
    return proxyClass->Create(FProfile.get(), Container());
}
