#include "Lyn2_ProfileFrame.h"

#include "Feature_LocOnPhone.h"
#include "Feature_SyslogReg.h"
#include "VQDivider.h"
#include "VQIPAddress.h"
#include "VQSpin.h"
#include "ui_Lyn2_ProfileFrame.h"

namespace {

constexpr const char *UnitPath = "UI\\AdminUI\\DevicePlugins\\Lyn2\\Lyn2_ProfileFrame";

// A drop-down list filled from a value table: each item carries its entry's index.
class TComboItems final : public TItemList {
public:
    explicit TComboItems(TComboBox *Items) : FItems(Items) {}
    void Clear() override { FItems->clear(); }
    void AddItem(const QString &Text, int Data) override { FItems->AddItem(Text, Data); }

private:
    TComboBox *FItems;
};

// The table index the chosen item carries; -1 when none is chosen.
int ChosenEntry(const TComboBox *Items) {
    return Items->ItemIndex() < 0 ? -1 : Items->itemData(Items->ItemIndex()).toInt();
}

// Selects the item that carries Entry; none when no item does.
void ChooseEntry(TComboBox *Items, int Entry) { Items->SetItemIndex(Items->findData(Entry)); }

} // namespace

int32_t RoundInterdigitTimeout(int32_t Value) {
    int32_t tens = Value / 10, rest = Value % 10;
    if (rest < 0) {
        rest += 10;
        --tens;
    }
    if (rest > 5 || (rest == 5 && tens % 2 != 0))
        ++tens;
    return tens * 10;
}

const TPluginProfileFrameClass &TLyn2ProfileFrame::Class() {
    static const TPluginProfileFrameClassOf<TLyn2ProfileFrame> cls("TLyn2ProfileFrame", &TLynProfileFrame::Class());
    return cls;
}

template <class T>
T *TLyn2ProfileFrame::LayoutControl(const char *Name) const {
    T *control = findChild<T *>(QString::fromLatin1(Name));
    Assert(control != nullptr, UnitPath, __LINE__, QString::fromLatin1(Name));
    return control;
}

TLyn2ProfileFrame::TLyn2ProfileFrame(QWidget *AOwner, IPluginFrameContainer *Container, IDevicePluginModule *ModuleLink)
    : TLynProfileFrame(AOwner, Container, ModuleLink) {
    Ui::TLyn2ProfileFrame().setupUi(this);
    pcSettings = LayoutControl<TPageControl>("pcSettings");
    tshGeneral = LayoutControl<TTabSheet>("tshGeneral");
    tshSIP = LayoutControl<TTabSheet>("tshSIP");
    tshIP = LayoutControl<TTabSheet>("tshIP");
    tshVLAN = LayoutControl<TTabSheet>("tshVLAN");

    edLYN2SWVersion = LayoutControl<TEdit>("edLYN2SWVersion");
    VQDivider1 = LayoutControl<TVQDivider>("VQDivider1");
    cbLYN2Country = LayoutControl<TComboBox>("cbLYN2Country");
    cbLYN2TimeZone = LayoutControl<TComboBox>("cbLYN2TimeZone");
    chbLYN2DaylightAdjust = LayoutControl<TCheckBox>("chbLYN2DaylightAdjust");
    VQDivider2 = LayoutControl<TVQDivider>("VQDivider2");
    chbLYN2AllowG729 = LayoutControl<TCheckBox>("chbLYN2AllowG729");
    chbLYN2G729SilentSuppr = LayoutControl<TCheckBox>("chbLYN2G729SilentSuppr");
    vqseLYN2RingTone = LayoutControl<TVQSpinEdit>("vqseLYN2RingTone");
    VQDivider6 = LayoutControl<TVQDivider>("VQDivider6");
    chbLYN2EnablePaging = LayoutControl<TCheckBox>("chbLYN2EnablePaging");
    vqdDialing = LayoutControl<TVQDivider>("vqdDialing");
    vqseInterdigitTimeout = LayoutControl<TVQSpinEdit>("vqseInterdigitTimeout");
    vqdMisc = LayoutControl<TVQDivider>("vqdMisc");
    ftfSyslogReg = LayoutControl<TSyslogRegFeatureFrame>("ftfSyslogReg");
    ftfLocOnPhone = LayoutControl<TLocOnPhoneFeatureFrame>("ftfLocOnPhone");

    VQDivider5 = LayoutControl<TVQDivider>("VQDivider5");
    cbLYN2ProxySource = LayoutControl<TComboBox>("cbLYN2ProxySource");
    stLYN2ProxyAddr = LayoutControl<TLabel>("stLYN2ProxyAddr");
    edLYN2ProxyAddress = LayoutControl<TEdit>("edLYN2ProxyAddress");
    stLYN2ProxyPort = LayoutControl<TLabel>("stLYN2ProxyPort");
    vqseLYN2ProxyPort = LayoutControl<TVQSpinEdit>("vqseLYN2ProxyPort");
    cbLYN2TransportProtocol = LayoutControl<TComboBox>("cbLYN2TransportProtocol");
    vqseLYN2ReceivePort = LayoutControl<TVQSpinEdit>("vqseLYN2ReceivePort");
    chbLYN2RegWithBcpProxy = LayoutControl<TCheckBox>("chbLYN2RegWithBcpProxy");
    stLYN2BackupProxy = LayoutControl<TLabel>("stLYN2BackupProxy");
    edLYN2BcpProxy = LayoutControl<TEdit>("edLYN2BcpProxy");
    stLYN2BackupProxyPort = LayoutControl<TLabel>("stLYN2BackupProxyPort");
    vqseLYN2BcpProxyPort = LayoutControl<TVQSpinEdit>("vqseLYN2BcpProxyPort");
    vqseLYN2InviteRetrans = LayoutControl<TVQSpinEdit>("vqseLYN2InviteRetrans");
    vqseLYN2NonInviteRetrans = LayoutControl<TVQSpinEdit>("vqseLYN2NonInviteRetrans");

    chbLYN2EnableDHCP = LayoutControl<TCheckBox>("chbLYN2EnableDHCP");
    pnlNetLYN2Controls = LayoutControl<TPanel>("pnlNetLYN2Controls");
    vqimLYN2SubnetMask = LayoutControl<TVQIPMask>("vqimLYN2SubnetMask");
    vqipLYN2Gateway = LayoutControl<TVQIPAddress>("vqipLYN2Gateway");
    vqipLYN2DNS = LayoutControl<TVQIPAddress>("vqipLYN2DNS");
    edLYN2Domain = LayoutControl<TEdit>("edLYN2Domain");
    vqipLYN2NTP = LayoutControl<TVQIPAddress>("vqipLYN2NTP");
    pnlNetLYN2TFTP = LayoutControl<TPanel>("pnlNetLYN2TFTP");
    rbLYN2FromDHCP_TFTPServer = LayoutControl<TRadioButton>("rbLYN2FromDHCP_TFTPServer");
    rbLYN2FixedTFTPServer = LayoutControl<TRadioButton>("rbLYN2FixedTFTPServer");
    vqipLYN2TFTPServer = LayoutControl<TVQIPAddress>("vqipLYN2TFTPServer");
    VQDivider4 = LayoutControl<TVQDivider>("VQDivider4");
    vqseLYN2Cal_Sig_DSCP = LayoutControl<TVQSpinEdit>("vqseLYN2Cal_Sig_DSCP");
    vqseLYN2RTP_DSCP = LayoutControl<TVQSpinEdit>("vqseLYN2RTP_DSCP");

    chbLYN2EnableVLAN = LayoutControl<TCheckBox>("chbLYN2EnableVLAN");
    pnlLYN2VLAN = LayoutControl<TPanel>("pnlLYN2VLAN");
    vqseLYN2VLANTag = LayoutControl<TVQSpinEdit>("vqseLYN2VLANTag");
    vqseLYN2PriorityTag = LayoutControl<TVQSpinEdit>("vqseLYN2PriorityTag");
    vqseLYN2CallSigVLANTag = LayoutControl<TVQSpinEdit>("vqseLYN2CallSigVLANTag");
    vqseLYN2CallSigPriorityTag = LayoutControl<TVQSpinEdit>("vqseLYN2CallSigPriorityTag");
    vqseLYN2RTPVLANTag = LayoutControl<TVQSpinEdit>("vqseLYN2RTPVLANTag");
    vqseLYN2RTPPriorityTag = LayoutControl<TVQSpinEdit>("vqseLYN2RTPPriorityTag");
}

TLyn2ProfileProxy &TLyn2ProfileFrame::ProfileProxy() const { return ProxyAs<TLyn2ProfileProxy>(UnitPath, 220); }

// ---- the generic handlers -----------------------------------------------------------

bool TLyn2ProfileFrame::Editing() const { return !SilentMode() && Displaying(); }

template <class Field>
bool TLyn2ProfileFrame::Store(Field &Target, const Field &Value) {
    if (Target == Value)
        return false;
    Target = Value;
    ValidateSetModified();
    return true;
}

template <class FieldOf>
void TLyn2ProfileFrame::BindEdit(TEdit *Control, FieldOf Field) {
    Control->OnChange = [this, Control, Field](QObject *) {
        if (!Editing())
            return;
        auto &field = Field(ProfileProxy());
        Store(field, std::remove_reference_t<decltype(field)>::From(Control->Text()));
    };
}

template <class FieldOf>
void TLyn2ProfileFrame::BindCheckBox(TCheckBox *Control, FieldOf Field) {
    Control->OnClick = [this, Control, Field](QObject *) {
        if (Editing())
            Store(Field(ProfileProxy()), Control->Checked());
    };
}

template <class FieldOf>
void TLyn2ProfileFrame::BindSpinEdit(TVQSpinEdit *Control, FieldOf Field) {
    Control->OnChange = [this, Control, Field](QObject *) {
        if (!Editing())
            return;
        auto &field = Field(ProfileProxy());
        Store(field, static_cast<std::remove_reference_t<decltype(field)>>(Control->Value()));
    };
}

// ---- start-up and fill ----------------------------------------------------------------

void TLyn2ProfileFrame::StartupControls() {
    TLynProfileFrame::StartupControls();
    edLYN2SWVersion->SetMaxLength(31);
    edLYN2Domain->SetMaxLength(255);
    edLYN2ProxyAddress->SetMaxLength(255);
    edLYN2BcpProxy->SetMaxLength(255);
    TComboItems countries(cbLYN2Country), timeZones(cbLYN2TimeZone), transports(cbLYN2TransportProtocol),
        sources(cbLYN2ProxySource);
    FillCountryList(countries);
    FillTimeZoneList(timeZones);
    FillTransportList(transports);
    FillProxySourceList(sources);

    using P = TLyn2ProfileProxy;
    BindEdit(edLYN2SWVersion, [](P &p) -> auto & { return p.SWVersion; });
    BindEdit(edLYN2ProxyAddress, [](P &p) -> auto & { return p.Proxy.MainProxy.URI; });
    BindEdit(edLYN2BcpProxy, [](P &p) -> auto & { return p.Proxy.BackupProxy.URI; });
    BindEdit(edLYN2Domain, [](P &p) -> auto & { return p.IP_Settings.Domain; });
    BindCheckBox(chbLYN2DaylightAdjust, [](P &p) -> auto & { return p.Adjust4DayLightSavings; });
    BindCheckBox(chbLYN2AllowG729, [](P &p) -> auto & { return p.Allow_G_729; });
    BindCheckBox(chbLYN2G729SilentSuppr, [](P &p) -> auto & { return p.G_729_Silence_Sup; });
    BindCheckBox(chbLYN2EnablePaging, [](P &p) -> auto & { return p.SupportsPage; });
    BindSpinEdit(vqseLYN2RingTone, [](P &p) -> auto & { return p.RingTone; });
    BindSpinEdit(vqseLYN2ProxyPort, [](P &p) -> auto & { return p.Proxy.MainProxy.Port; });
    BindSpinEdit(vqseLYN2ReceivePort, [](P &p) -> auto & { return p.ReceivePort; });
    BindSpinEdit(vqseLYN2BcpProxyPort, [](P &p) -> auto & { return p.Proxy.BackupProxy.Port; });
    BindSpinEdit(vqseLYN2InviteRetrans, [](P &p) -> auto & { return p.InviteRetrans; });
    BindSpinEdit(vqseLYN2NonInviteRetrans, [](P &p) -> auto & { return p.NonInviteRetrans; });
    BindSpinEdit(vqseLYN2Cal_Sig_DSCP, [](P &p) -> auto & { return p.Call_Sig_DSCP; });
    BindSpinEdit(vqseLYN2RTP_DSCP, [](P &p) -> auto & { return p.RTP_DSCP; });
    BindSpinEdit(vqseLYN2VLANTag, [](P &p) -> auto & { return p.VLAN_Tag; });
    BindSpinEdit(vqseLYN2PriorityTag, [](P &p) -> auto & { return p.Priority_Tag; });
    BindSpinEdit(vqseLYN2CallSigVLANTag, [](P &p) -> auto & { return p.Call_Sign_VLAN_Tag; });
    BindSpinEdit(vqseLYN2CallSigPriorityTag, [](P &p) -> auto & { return p.Call_Sign_Priority_Tag; });
    BindSpinEdit(vqseLYN2RTPVLANTag, [](P &p) -> auto & { return p.RTP_VLAN_Tag; });
    BindSpinEdit(vqseLYN2RTPPriorityTag, [](P &p) -> auto & { return p.RTP_Priority_Tag; });

    cbLYN2Country->OnChange = std::bind_front(&TLyn2ProfileFrame::cbLYN2CountryChange, this);
    cbLYN2TimeZone->OnChange = std::bind_front(&TLyn2ProfileFrame::cbLYN2TimeZoneChange, this);
    cbLYN2ProxySource->OnChange = std::bind_front(&TLyn2ProfileFrame::cbLYN2ProxySourceChange, this);
    cbLYN2TransportProtocol->OnChange = std::bind_front(&TLyn2ProfileFrame::cbLYN2TransportProtocolChange, this);
    vqseInterdigitTimeout->OnChange = std::bind_front(&TLyn2ProfileFrame::vqseInterdigitTimeoutChange, this);
    vqseInterdigitTimeout->OnExit = std::bind_front(&TLyn2ProfileFrame::vqseInterdigitTimeoutExit, this);
    chbLYN2RegWithBcpProxy->OnClick = std::bind_front(&TLyn2ProfileFrame::chbLYN2RegWithBcpProxyClick, this);
    chbLYN2EnableDHCP->OnClick = std::bind_front(&TLyn2ProfileFrame::chbLYN2EnableDHCPClick, this);
    rbLYN2FromDHCP_TFTPServer->OnClick = std::bind_front(&TLyn2ProfileFrame::rbLYN2TFTPServerClick, this);
    rbLYN2FixedTFTPServer->OnClick = std::bind_front(&TLyn2ProfileFrame::rbLYN2TFTPServerClick, this);
    chbLYN2EnableVLAN->OnClick = std::bind_front(&TLyn2ProfileFrame::chbLYN2EnableVLANClick, this);
    vqimLYN2SubnetMask->OnChange = std::bind_front(&TLyn2ProfileFrame::vqimLYN2SubnetMaskChange, this);
    vqimLYN2SubnetMask->OnExit = std::bind_front(&TLyn2ProfileFrame::vqimLYN2SubnetMaskChange, this);
    vqipLYN2Gateway->OnChange = std::bind_front(&TLyn2ProfileFrame::vqipLYN2GatewayChange, this);
    vqipLYN2DNS->OnChange = std::bind_front(&TLyn2ProfileFrame::vqipLYN2DNSChange, this);
    vqipLYN2NTP->OnChange = std::bind_front(&TLyn2ProfileFrame::vqipLYN2NTPChange, this);
    vqipLYN2TFTPServer->OnChange = std::bind_front(&TLyn2ProfileFrame::vqipLYN2TFTPServerChange, this);

    pcSettings->SetActivePageIndex(0);
}

void TLyn2ProfileFrame::InitControls() {
    TLynProfileFrame::InitControls();
    const TLyn2ProfileProxy &proxy = ProfileProxy();
    edLYN2SWVersion->SetText(proxy.SWVersion.Text());
    cbLYN2Country->SetItemIndex(FindCountry(proxy.Country.Text()));
    cbLYN2TimeZone->SetItemIndex(FindTimeZone(proxy.TimeZone));
    chbLYN2DaylightAdjust->SetChecked(proxy.Adjust4DayLightSavings);
    chbLYN2AllowG729->SetChecked(proxy.Allow_G_729);
    chbLYN2G729SilentSuppr->SetChecked(proxy.G_729_Silence_Sup);
    vqseLYN2RingTone->SetValue(proxy.RingTone);
    chbLYN2EnablePaging->SetChecked(proxy.SupportsPage);
    vqseInterdigitTimeout->SetValue(proxy.InterdigitTimeout);

    ChooseEntry(cbLYN2ProxySource, proxy.Proxy.MainProxySource);
    edLYN2ProxyAddress->SetText(proxy.Proxy.MainProxy.URI.Text());
    vqseLYN2ProxyPort->SetValue(proxy.Proxy.MainProxy.Port);
    ShowProxySource(ProxyControls(), proxy.Proxy);

    vqseLYN2ReceivePort->SetValue(proxy.ReceivePort);
    ChooseEntry(cbLYN2TransportProtocol, proxy.TransportProtocol);
    vqseLYN2Cal_Sig_DSCP->SetValue(proxy.Call_Sig_DSCP);
    vqseLYN2RTP_DSCP->SetValue(proxy.RTP_DSCP);
    chbLYN2RegWithBcpProxy->SetChecked(proxy.Proxy.UseBackupProxy);
    edLYN2BcpProxy->SetText(proxy.Proxy.BackupProxy.URI.Text());
    vqseLYN2BcpProxyPort->SetValue(proxy.Proxy.BackupProxy.Port);
    vqseLYN2InviteRetrans->SetValue(proxy.InviteRetrans);
    vqseLYN2NonInviteRetrans->SetValue(proxy.NonInviteRetrans);

    vqipLYN2TFTPServer->SetIPv4(StrToIP(proxy.IP_Settings.TFTPAddress.Ansi()));
    // Any source but DHCP (the phone system's own address too) shows as "Fixed:".
    if (proxy.IP_Settings.TFTPSource != tftpssDHCP)
        rbLYN2FixedTFTPServer->SetChecked(true);
    else
        rbLYN2FromDHCP_TFTPServer->SetChecked(true);
    chbLYN2EnableDHCP->SetChecked(proxy.DHCP);
    ApplyDHCPState();
    vqimLYN2SubnetMask->Edit()->SetIPv4(proxy.IP_Settings.SubnetMask);
    vqipLYN2Gateway->SetIPv4(proxy.IP_Settings.Gateway);
    vqipLYN2DNS->SetIPv4(StrToIP(proxy.IP_Settings.DNS.Ansi()));
    vqipLYN2NTP->SetIPv4(StrToIP(proxy.IP_Settings.NTP.Ansi()));
    edLYN2Domain->SetText(proxy.IP_Settings.Domain.Text());

    chbLYN2EnableVLAN->SetChecked(proxy.VLAN_Support);
    vqseLYN2VLANTag->SetValue(proxy.VLAN_Tag);
    vqseLYN2PriorityTag->SetValue(proxy.Priority_Tag);
    vqseLYN2CallSigVLANTag->SetValue(proxy.Call_Sign_VLAN_Tag);
    vqseLYN2CallSigPriorityTag->SetValue(proxy.Call_Sign_Priority_Tag);
    vqseLYN2RTPVLANTag->SetValue(proxy.RTP_VLAN_Tag);
    vqseLYN2RTPPriorityTag->SetValue(proxy.RTP_Priority_Tag);
    EnableControlTree(pnlLYN2VLAN, proxy.VLAN_Support);
}

TLynProfileFrame::TProxyControls TLyn2ProfileFrame::ProxyControls() const {
    return {edLYN2ProxyAddress, vqseLYN2ProxyPort, stLYN2ProxyAddr, stLYN2ProxyPort};
}

bool TLyn2ProfileFrame::ProcessRequest(int32_t Code, uintptr_t Data, intptr_t &Result) {
    switch (Code) {
    case frqGetPagePath:
        Result = reinterpret_cast<intptr_t>(NewAnsiStringRef(GetPagePath(pcSettings)));
        return true;
    case frqSetPagePath: {
        const auto *path = reinterpret_cast<const TAnsiStringRef *>(Data);
        return SetPagePath(pcSettings, path ? FromAnsi(path->Chars) : QString());
    }
    default:
        return TLynProfileFrame::ProcessRequest(Code, Data, Result);
    }
}

// ---- the rules -------------------------------------------------------------------------

void TLyn2ProfileFrame::ApplyDHCPState() {
    const bool dhcp = ProfileProxy().DHCP;
    EnableControlTree(pnlNetLYN2Controls, !dhcp);
    EnableControls({rbLYN2FromDHCP_TFTPServer}, dhcp);
    // Without DHCP the phones cannot learn the TFTP server from it.
    if (!dhcp && rbLYN2FromDHCP_TFTPServer->Checked())
        rbLYN2FixedTFTPServer->SetChecked(true);
}

void TLyn2ProfileFrame::cbLYN2CountryChange(QObject *) {
    if (const int entry = ChosenEntry(cbLYN2Country); entry >= 0 && Editing())
        Store(ProfileProxy().Country, TdpNameString::From(QString::fromLatin1(CountryTable[std::size_t(entry)].Code)));
}

void TLyn2ProfileFrame::cbLYN2TimeZoneChange(QObject *) {
    if (const int entry = ChosenEntry(cbLYN2TimeZone); entry >= 0 && Editing())
        Store(ProfileProxy().TimeZone, TimeZoneTable[std::size_t(entry)].Offset);
}

void TLyn2ProfileFrame::cbLYN2ProxySourceChange(QObject *) {
    if (const int entry = ChosenEntry(cbLYN2ProxySource); entry >= 0 && Editing()) {
        TSIPProxy &proxy = ProfileProxy().Proxy;
        if (Store(proxy.MainProxySource, ProxySourceEnum(entry)))
            ShowProxySource(ProxyControls(), proxy);
    }
}

void TLyn2ProfileFrame::cbLYN2TransportProtocolChange(QObject *) {
    if (const int entry = ChosenEntry(cbLYN2TransportProtocol); entry >= 0 && Editing())
        Store(ProfileProxy().TransportProtocol, TransportType(entry));
}

void TLyn2ProfileFrame::vqseInterdigitTimeoutChange(QObject *) {
    // The field keeps what is typed; the proxy takes the rounded value.
    if (Editing())
        Store(ProfileProxy().InterdigitTimeout, RoundInterdigitTimeout(vqseInterdigitTimeout->Value()));
}

void TLyn2ProfileFrame::vqseInterdigitTimeoutExit(QObject *) {
    vqseInterdigitTimeout->SetValue(RoundInterdigitTimeout(vqseInterdigitTimeout->Value()));
}

void TLyn2ProfileFrame::chbLYN2RegWithBcpProxyClick(QObject *) {
    const bool use = chbLYN2RegWithBcpProxy->Checked();
    EnableControls({stLYN2BackupProxy, stLYN2BackupProxyPort, edLYN2BcpProxy, vqseLYN2BcpProxyPort}, use);
    if (Editing())
        Store(ProfileProxy().Proxy.UseBackupProxy, use);
}

void TLyn2ProfileFrame::chbLYN2EnableDHCPClick(QObject *) {
    if (Editing() && Store(ProfileProxy().DHCP, chbLYN2EnableDHCP->Checked()))
        ApplyDHCPState();
}

void TLyn2ProfileFrame::rbLYN2TFTPServerClick(QObject *) {
    const bool fromDHCP = rbLYN2FromDHCP_TFTPServer->Checked();
    EnableControls({vqipLYN2TFTPServer}, !fromDHCP);
    if (!Editing())
        return;
    // Choosing "Fixed:" goes on to the address it asks for.
    if (rbLYN2FixedTFTPServer->Focused() && vqipLYN2TFTPServer->isEnabled())
        vqipLYN2TFTPServer->SetFocus();
    Store(ProfileProxy().IP_Settings.TFTPSource, fromDHCP ? tftpssDHCP : tftpssFixed);
}

void TLyn2ProfileFrame::chbLYN2EnableVLANClick(QObject *) {
    const bool vlan = chbLYN2EnableVLAN->Checked();
    EnableControlTree(pnlLYN2VLAN, vlan);
    if (Editing())
        Store(ProfileProxy().VLAN_Support, vlan);
}

void TLyn2ProfileFrame::vqimLYN2SubnetMaskChange(QObject *) {
    if (Editing())
        Helper().vqimMaskChange(vqimLYN2SubnetMask, ProfileProxy().IP_Settings.SubnetMask,
                                QStringLiteral("LAN Subnet mask"), false);
}

void TLyn2ProfileFrame::vqipLYN2GatewayChange(QObject *) {
    if (Editing())
        Helper().vqipAddrChange(vqipLYN2Gateway, ProfileProxy().IP_Settings.Gateway,
                                QStringLiteral("Default Gateway IP address"), true);
}

void TLyn2ProfileFrame::vqipLYN2DNSChange(QObject *) {
    if (Editing())
        Helper().vqipAddrChange(vqipLYN2DNS, ProfileProxy().IP_Settings.DNS, QStringLiteral("DNS IP address"), true);
}

void TLyn2ProfileFrame::vqipLYN2NTPChange(QObject *) {
    if (Editing())
        Helper().vqipAddrChange(vqipLYN2NTP, ProfileProxy().IP_Settings.NTP, QStringLiteral("NTP Server IP address"), true);
}

void TLyn2ProfileFrame::vqipLYN2TFTPServerChange(QObject *) {
    if (Editing())
        Helper().vqipAddrChange(vqipLYN2TFTPServer, ProfileProxy().IP_Settings.TFTPAddress,
                                QStringLiteral("TFTP Server IP address"), true);
}
