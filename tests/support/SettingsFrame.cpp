#include "SettingsFrame.h"

#include "DPFeatureFrame.h"
#include "ui_SettingsFrame.h"

#include <functional>

std::vector<std::string> FrameEvents;

namespace {

constexpr const char *UnitPath = "tests\\SettingsFrame";

class TLoggingFeature : public TPluginFeatureFrame {
public:
    using TPluginFeatureFrame::TPluginFeatureFrame;
    void FrameInitialize(TPluginFrame *Frame) override {
        TPluginFeatureFrame::FrameInitialize(Frame);
        FrameEvents.push_back("feature FrameInitialize");
    }
    void FrameFinalize() override { FrameEvents.push_back("feature FrameFinalize"); }
    void InitControls() override { FrameEvents.push_back("feature InitControls"); }
    void DoneControls() override { FrameEvents.push_back("feature DoneControls"); }
    void EnDisableControls() override { FrameEvents.push_back("feature EnDisableControls"); }
};

} // namespace

const TPluginProfileFrameClass &TSettingsFrame::Class() {
    static const TPluginProfileFrameClassOf<TSettingsFrame> cls("TSettingsFrame", &TPluginProfileFrame::Class());
    return cls;
}

TSettingsFrame::TSettingsFrame(QWidget *AOwner, IPluginFrameContainer *Container, IDevicePluginModule *ModuleLink)
    : TPluginProfileFrame(AOwner, Container, ModuleLink), ui(std::make_unique<Ui::TSettingsFrame>()) {
    ui->setupUi(this);
    auto *feature = new TLoggingFeature(this);
    feature->setObjectName(QStringLiteral("ftfLog"));
    ui->lyFrame->addWidget(feature);
}

TSettingsFrame::~TSettingsFrame() = default;

TLyn2ProfileProxy &TSettingsFrame::ProfileProxy() const { return ProxyAs<TLyn2ProfileProxy>(UnitPath, 20); }

TFrameHelper &TSettingsFrame::Helper() const { return HelperAs<TFrameHelper>(UnitPath, 21); }

void TSettingsFrame::StartupControls() {
    FrameEvents.push_back("StartupControls");
    ui->edDomain->OnChange = std::bind_front(&TSettingsFrame::edDomainChange, this);
    ui->edDomain->OnExit = [this](QObject *) {
        FrameEvents.push_back(Displaying() ? "edDomain exit, shown" : "edDomain exit");
    };
    ui->chbDHCP->OnClick = std::bind_front(&TSettingsFrame::chbDHCPClick, this);
    ui->vqimMask->OnChange = ui->vqimMask->OnExit = std::bind_front(&TSettingsFrame::vqimMaskChange, this);
    ui->vqipGateway->OnChange = std::bind_front(&TSettingsFrame::vqipGatewayChange, this);
    ui->vqipNTP->OnChange = std::bind_front(&TSettingsFrame::vqipNTPChange, this);
}

void TSettingsFrame::ShutdownControls() { FrameEvents.push_back("ShutdownControls"); }

void TSettingsFrame::InitControls() {
    TPluginProfileFrame::InitControls();
    FrameEvents.push_back("InitControls");
    const TLyn2ProfileProxy &proxy = ProfileProxy();
    ui->edDomain->SetText(proxy.IP_Settings.Domain.Text());
    ui->chbDHCP->SetChecked(proxy.DHCP);
    ui->vqimMask->SetNML(MaskToNML(proxy.IP_Settings.SubnetMask));
    ui->vqipGateway->SetIPv4(proxy.IP_Settings.Gateway);
    ui->vqipNTP->SetText(proxy.IP_Settings.NTP.Ansi());
}

void TSettingsFrame::DoneControls() { FrameEvents.push_back("DoneControls"); }

void TSettingsFrame::EnDisableControls() {
    TPluginProfileFrame::EnDisableControls();
    FrameEvents.push_back("EnDisableControls");
}

void TSettingsFrame::edDomainChange(QObject *) {
    if (SilentMode())
        return;
    const TdpURIString value = TdpURIString::From(ui->edDomain->Text());
    if (value == ProfileProxy().IP_Settings.Domain)
        return;
    ProfileProxy().IP_Settings.Domain = value;
    ValidateSetModified();
}

void TSettingsFrame::chbDHCPClick(QObject *) {
    if (SilentMode() || ui->chbDHCP->Checked() == ProfileProxy().DHCP)
        return;
    ProfileProxy().DHCP = ui->chbDHCP->Checked();
    ValidateSetModified();
}

void TSettingsFrame::vqimMaskChange(QObject *) {
    Helper().vqimMaskChange(ui->vqimMask, ProfileProxy().IP_Settings.SubnetMask, QStringLiteral("Subnet Mask"), false);
}

void TSettingsFrame::vqipGatewayChange(QObject *) {
    Helper().vqipAddrChange(ui->vqipGateway, ProfileProxy().IP_Settings.Gateway, QStringLiteral("Default Gateway"),
                            false);
}

void TSettingsFrame::vqipNTPChange(QObject *) {
    Helper().vqipAddrChange(ui->vqipNTP, ProfileProxy().IP_Settings.NTP, QStringLiteral("NTP Server"), true);
}

const TPluginDeviceFrameClass &TBareDeviceFrame::Class() {
    static const TPluginDeviceFrameClassOf<TBareDeviceFrame> cls("TBareDeviceFrame", &TPluginDeviceFrame::Class());
    return cls;
}
