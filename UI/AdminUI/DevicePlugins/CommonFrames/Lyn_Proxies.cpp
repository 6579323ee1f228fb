#include "Lyn_Proxies.h"

namespace {

constexpr const char *UnitPath = "UI\\AdminUI\\DevicePlugins\\CommonFrames\\Lyn_Proxies";

} // namespace

// TLynProxyHelper

const TBasicProxyHelperClass &TLynProxyHelper::Class() {
    static const TBasicProxyHelperClassOf<TLynProxyHelper> cls("TLynProxyHelper", &TProxyHelper::Class());
    return cls;
}

void TLynProxyHelper::Report(bool Accepted, const QString &SettingName, const AnsiString &Reason) {
    if (!Accepted)
        Error(InvalidMessage(SettingName, FromAnsi(Reason)), dclError);
}

void TLynProxyHelper::CheckHostIP(const QString &IP, const QString &SettingName, TIPValidationOptions Options) {
    AnsiString reason;
    Report(ValidateIPAddress(ToAnsi(IP), reason, Options), SettingName, reason);
}

void TLynProxyHelper::CheckHostIP(uint32_t IP, const QString &SettingName, TIPValidationOptions Options) {
    AnsiString reason;
    Report(ValidateHostIP(IP, reason, Options), SettingName, reason);
}

void TLynProxyHelper::CheckHostIP(uint32_t IP, uint32_t Mask, const QString &SettingName, TIPValidationOptions Options) {
    AnsiString reason;
    Report(ValidateHostIPWithMask(IP, Mask, reason, Options), SettingName, reason);
}

void TLynProxyHelper::CheckHostName(const QString &HostName, const QString &SettingName, TIPValidationOptions Options) {
    AnsiString reason;
    Report(ValidateHostName(ToAnsi(HostName), reason, Options), SettingName, reason);
}

void TLynProxyHelper::CheckNetwork(uint32_t Network, uint32_t Mask, const QString &SettingName,
                                   TNetworkValidationOptions Options) {
    AnsiString reason;
    Report(ValidateNetwork(Network, Mask, reason, Options), SettingName, reason);
}

void TLynProxyHelper::CheckDomainName(const QString &DomainName, const QString &SettingName,
                                      TIPValidationOptions Options) {
    AnsiString reason;
    Report(ValidateDomainName(ToAnsi(DomainName), reason, Options), SettingName, reason);
}

void TLynProxyHelper::CheckEMailAddress(const QString &EMailAddress, const QString &SettingName,
                                        TEMailValidationOptions Options) {
    AnsiString reason;
    Report(ValidateEMailAddress(ToAnsi(EMailAddress), reason, Options), SettingName, reason);
}

void TLynProxyHelper::CheckUserFQDN(const QString &UserFQDN, const QString &SettingName, TEMailValidationOptions Options) {
    AnsiString reason;
    Report(ValidateUserFQDN(ToAnsi(UserFQDN), reason, Options), SettingName, reason);
}

void TLynProxyHelper::CheckAddress(const TEndPoint &Address, const QString &SettingName) {
    CheckHostName(Address.URI.Text(), SettingName, ipMandatory);
}

void TLynProxyHelper::CheckProxy(const TSIPProxy &SIPProxy) {
    if (SIPProxy.MainProxySource == prsSpecifiedAddress)
        CheckAddress(SIPProxy.MainProxy, QStringLiteral("Proxy"));
    if (SIPProxy.UseBackupProxy)
        CheckAddress(SIPProxy.BackupProxy, QStringLiteral("Backup proxy"));
}

void TLynProxyHelper::CheckFailover() {
    TPluginObjectProxy *proxy = Proxy();
    Assert(proxy->InheritsFrom(TLynProfileProxy::Class()), UnitPath, __LINE__);
    if (static_cast<TLynProfileProxy *>(proxy)->FailoverNodeId == -1)
        Error(QStringLiteral("Please, specify Failover VQnode"), dclError);
}

void TLynProxyHelper::CheckTFTPSettings(const TIPSettings &Settings, bool DHCP, bool ServerCanBeFQDN) {
    switch (Settings.TFTPSource) {
    case tftpssDHCP:
        if (!DHCP)
            Error(ServerCanBeFQDN
                      ? QStringLiteral("TFTP Server address can not be obtained from DHCP when DHCP is disabled")
                      : QStringLiteral("TFTP Server IP address can not be obtained from DHCP when DHCP is disabled"),
                  dclError);
        break;
    case tftpssFixed: {
        // A text the conversion refuses reads as 255.255.255.255, not as blank.
        const uint32_t ip = StrToIP(Settings.TFTPAddress.Ansi());
        if (ip == 0)
            Error(ServerCanBeFQDN ? QStringLiteral("Fixed TFTP Server address can not be blank or 0.0.0.0")
                                  : QStringLiteral("Fixed TFTP Server IP address can not be blank or 0.0.0.0"),
                  dclError);
        if (ServerCanBeFQDN)
            CheckHostName(Settings.TFTPAddress.Text(), QStringLiteral("Fixed TFTP Server address"), ipMandatory);
        else
            CheckHostIP(ip, QStringLiteral("Fixed TFTP Server IP address"), ipMandatory);
        break;
    }
    default: // tftpssVQIP: the phone system's own address needs no check
        break;
    }
}

// TLynProfileProxy

const TProfileProxyClass &TLynProfileProxy::Class() {
    static const TProfileProxyClassOf<TLynProfileProxy> cls("TLynProfileProxy", &TProfileProxy::Class());
    return cls;
}

const TBasicProxyHelperClass &TLynProfileProxy::HelperClass() { return TLynProxyHelper::Class(); }

TdpNameString TLynProfileProxy::GetDeviceType(const TProfileProxyClass &Self) {
    throw Exception(QStringLiteral("Do not use the %1 class explicitly!").arg(Self.ClassName()));
}

TLynProxyHelper &TLynProfileProxy::Helper() const {
    TBasicProxyHelper &helper = TProfileProxy::Helper();
    Assert(helper.InheritsFrom(TLynProxyHelper::Class()), UnitPath, __LINE__);
    return static_cast<TLynProxyHelper &>(helper);
}

// TLynDeviceProxy

const TDeviceProxyClass &TLynDeviceProxy::Class() {
    static const TDeviceProxyClassOf<TLynDeviceProxy> cls("TLynDeviceProxy", &TSIPDeviceProxy::Class());
    return cls;
}

const TBasicProxyHelperClass &TLynDeviceProxy::HelperClass() { return TLynProxyHelper::Class(); }

const TBasicProfileProxyClass &TLynDeviceProxy::DeviceProfileProxyClass() { return TLynProfileProxy::Class(); }

TLynProfileProxy *TLynDeviceProxy::ProfileProxy() const {
    TProfileProxy *proxy = TSIPDeviceProxy::ProfileProxy();
    Assert(!proxy || proxy->InheritsFrom(TLynProfileProxy::Class()), UnitPath, __LINE__);
    return static_cast<TLynProfileProxy *>(proxy);
}

TLynProxyHelper &TLynDeviceProxy::Helper() const {
    TBasicProxyHelper &helper = TSIPDeviceProxy::Helper();
    Assert(helper.InheritsFrom(TLynProxyHelper::Class()), UnitPath, __LINE__);
    return static_cast<TLynProxyHelper &>(helper);
}
