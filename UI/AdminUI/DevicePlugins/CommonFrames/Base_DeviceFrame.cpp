#include "Base_DeviceFrame.h"

#include "VQSpin.h"
#include "ui_Base_DeviceFrame.h"

namespace {

constexpr const char *UnitPath = "UI\\AdminUI\\DevicePlugins\\CommonFrames\\Base_DeviceFrame";

} // namespace

const TEditorFilter &DeviceIDChars() {
    static const TEditorFilter chars(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789!'()*-._~"));
    return chars;
}

const TDeviceProxyClass &TBaseDeviceProxy::Class() {
    static const TDeviceProxyClassOf<TBaseDeviceProxy> cls("TBaseDeviceProxy", &TDeviceProxy::Class());
    return cls;
}

QString TBaseDeviceProxy::DeviceIDSettingName() const {
    return Flags().Contains(pffRange) ? QStringLiteral("Device Prefix") : QStringLiteral("Device ID");
}

void TBaseDeviceProxy::DoValidate() {
    TDeviceProxy::DoValidate();
    const bool range = Flags().Contains(pffRange);
    const QString id = UniqueID.Text();
    if (!range && id.isEmpty())
        AddError(EmptyMessage(QStringLiteral("Device ID")), dclError);
    Helper().CheckString(id, DeviceIDChars(), DeviceIDSettingName());
    if (!range)
        for (const char *name : MetaDeviceNames)
            Check(id == QLatin1String(name), QStringLiteral("Device ID equals to one of meta devices"), dclError);
}

const TPluginDeviceFrameClass &TBaseDeviceFrame::Class() {
    static const TPluginDeviceFrameClassOf<TBaseDeviceFrame> cls("TBaseDeviceFrame", &TPluginDeviceFrame::Class());
    return cls;
}

TBaseDeviceFrame::TBaseDeviceFrame(QWidget *AOwner, IPluginFrameContainer *Container, IDevicePluginModule *ModuleLink,
                                   TFrameLayout Layout)
    : TPluginDeviceFrame(AOwner, Container, ModuleLink) {
    Layout(this);
    stUniqueID = LayoutControl<TLabel>("stUniqueID");
    edUniqueID = LayoutControl<TEdit>("edUniqueID");
    stStartNumber = LayoutControl<TLabel>("stStartNumber");
    vqseStartNumber = LayoutControl<TVQSpinEdit>("vqseStartNumber");
}

void TBaseDeviceFrame::LayOut(TFrame *Frame) { Ui::TBaseDeviceFrame().setupUi(Frame); }

TBaseDeviceProxy &TBaseDeviceFrame::DeviceProxy() const { return ProxyAs<TBaseDeviceProxy>(UnitPath, 98); }

bool TBaseDeviceFrame::ProcessRequest(int32_t Code, uintptr_t Data, intptr_t &Result) {
    if (Code != frqStartNumber)
        return TPluginDeviceFrame::ProcessRequest(Code, Data, Result);
    Result = vqseStartNumber->Value();
    return true;
}

void TBaseDeviceFrame::StartupControls() {
    TPluginDeviceFrame::StartupControls();
    edUniqueID->SetMaxLength(31);
    // Designer cannot reach the spin edit's range: it has no Qt properties.
    vqseStartNumber->SetMinMax(1, 999999);
    vqseStartNumber->SetValue(1);
    vqseStartNumber->SetMaxLength(11);
    edUniqueID->OnChange = std::bind_front(&TBaseDeviceFrame::edUniqueIDChange, this);
}

void TBaseDeviceFrame::InitControls() {
    TPluginDeviceFrame::InitControls();
    // Before the enable rules, which change enabled states only.
    SetControlsReadOnly(this, Flags().Contains(pffReadOnly));
    const bool range = Flags().Contains(pffRange);
    edUniqueID->SetText(DeviceProxy().UniqueID.Text());
    stUniqueID->SetCaption(range ? QStringLiteral("&Device Prefix") : QStringLiteral("&Device ID"));
    ShowControls({vqseStartNumber, stStartNumber}, range);
    UpdateStartNumber();
}

void TBaseDeviceFrame::UpdateStartNumber() {
    if (!Flags().Contains(pffRange))
        return;
    PUnicodeStringRef prefix = NewUnicodeStringRef(DeviceProxy().UniqueID.Text());
    uintptr_t value = 0;
    const int32_t first =
        GetServantValue(Container(), svFirstFreeStartNumber, reinterpret_cast<uintptr_t>(&prefix), value)
            ? int32_t(value)
            : -1;
    ReleaseStringRef(prefix);
    if (first > 0) {
        vqseStartNumber->SetMinValue(first);
        vqseStartNumber->SetValue(first);
    }
}

void TBaseDeviceFrame::edUniqueIDChange(QObject *) {
    if (SilentMode())
        return;
    const TdpNameString value = TdpNameString::From(edUniqueID->Text());
    TBaseDeviceProxy &proxy = DeviceProxy();
    if (value == proxy.UniqueID)
        return;
    proxy.UniqueID = value;
    if (ValidateSetModified())
        UpdateStartNumber();
}
