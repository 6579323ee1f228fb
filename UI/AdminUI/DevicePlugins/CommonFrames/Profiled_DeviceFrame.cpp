#include "Profiled_DeviceFrame.h"

#include "ui_Profiled_DeviceFrame.h"

namespace {

constexpr const char *UnitPath = "UI\\AdminUI\\DevicePlugins\\CommonFrames\\Profiled_DeviceFrame";

} // namespace

const TDeviceProxyClass &TProfiledDeviceProxy::Class() {
    static const TDeviceProxyClassOf<TProfiledDeviceProxy> cls("TProfiledDeviceProxy", &TBaseDeviceProxy::Class());
    return cls;
}

const TPluginDeviceFrameClass &TProfiledDeviceFrame::Class() {
    static const TPluginDeviceFrameClassOf<TProfiledDeviceFrame> cls("TProfiledDeviceFrame", &TBaseDeviceFrame::Class());
    return cls;
}

TProfiledDeviceFrame::TProfiledDeviceFrame(QWidget *AOwner, IPluginFrameContainer *Container,
                                           IDevicePluginModule *ModuleLink, TFrameLayout Layout)
    : TBaseDeviceFrame(AOwner, Container, ModuleLink, Layout) {
    stProfile = LayoutControl<TLabel>("stProfile");
    cbProfile = LayoutControl<TComboBox>("cbProfile");
}

void TProfiledDeviceFrame::LayOut(TFrame *Frame) { Ui::TProfiledDeviceFrame().setupUi(Frame); }

TProfiledDeviceProxy &TProfiledDeviceFrame::DeviceProxy() const { return ProxyAs<TProfiledDeviceProxy>(UnitPath, 57); }

void TProfiledDeviceFrame::StartupControls() {
    TBaseDeviceFrame::StartupControls();
    cbProfile->OnChange = std::bind_front(&TProfiledDeviceFrame::cbProfileChange, this);
}

void TProfiledDeviceFrame::InitControls() {
    TBaseDeviceFrame::InitControls();
    const TProfileProxy *profile = DeviceProxy().ProfileProxy();
    Assert(profile != nullptr, UnitPath, 67);
    FillProfileItems(ProfilesList(), cbProfile, true);
    cbProfile->SetItemIndex(FindProfileItem(cbProfile, profile->ProfileID));
}

void TProfiledDeviceFrame::cbProfileChange(QObject *) {
    if (SilentMode())
        return;
    const int index = cbProfile->ItemIndex();
    Assert(index >= 0, UnitPath, 81);
    IDeviceProfile *profile = GetProfileItem(cbProfile, index);
    Assert(profile != nullptr, UnitPath, 83);
    TProfiledDeviceProxy &proxy = DeviceProxy();
    proxy.ProfileID = profile->getProfileID();
    proxy.setProfile(profile);
    EnDisableControls();
    ValidateSetModified();
}
