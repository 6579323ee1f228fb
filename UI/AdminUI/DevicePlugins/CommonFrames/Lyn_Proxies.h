#pragma once
// The LYN phone family: its network setting records, its check helper, and
// the family's profile and device proxies, which every model derives from.

#include "DPValueTables.h"
#include "IPDomainUtils.h"
#include "SIP_DeviceFrame.h"

struct TEndPoint {
    TdpURIString URI; // host name or IPv4 text
    uint16_t Port = 0;
};

struct TSIPProxy {
    ProxySourceEnum MainProxySource = prsExternalAddress;
    TEndPoint MainProxy;
    bool UseBackupProxy = false;
    TEndPoint BackupProxy;
};

// Where the phone finds its TFTP server.
enum TFTPServerSource : int32_t { tftpssDHCP = 0, tftpssFixed = 1, tftpssVQIP = 2 };

struct TIPSettings {
    uint32_t Gateway = 0;    // IPv4, first octet most significant
    uint32_t SubnetMask = 0; // IPv4, first octet most significant
    TdpURIString DNS;
    TdpURIString SecondaryDNS;
    TdpURIString NTP;
    TdpURIString Domain;
    TFTPServerSource TFTPSource = tftpssDHCP;
    TdpURIString TFTPAddress;
};

// Every check runs a validator and reports a rejection as the error
// "Invalid <setting>: <reason>", which ends the validation.
class TLynProxyHelper : public TProxyHelper {
public:
    static const TBasicProxyHelperClass &Class();
    const TBasicProxyHelperClass &ClassType() const override { return Class(); }
    using TProxyHelper::TProxyHelper;

    void CheckHostIP(const QString &IP, const QString &SettingName, TIPValidationOptions Options);
    void CheckHostIP(uint32_t IP, const QString &SettingName, TIPValidationOptions Options);
    void CheckHostIP(uint32_t IP, uint32_t Mask, const QString &SettingName, TIPValidationOptions Options);
    void CheckHostName(const QString &HostName, const QString &SettingName, TIPValidationOptions Options);
    void CheckNetwork(uint32_t Network, uint32_t Mask, const QString &SettingName, TNetworkValidationOptions Options);
    // ipMandatory makes the name mandatory.
    void CheckDomainName(const QString &DomainName, const QString &SettingName, TIPValidationOptions Options);
    void CheckEMailAddress(const QString &EMailAddress, const QString &SettingName, TEMailValidationOptions Options);
    void CheckUserFQDN(const QString &UserFQDN, const QString &SettingName, TEMailValidationOptions Options);

    // The address must be a host name or IPv4 address; the port is not checked.
    void CheckAddress(const TEndPoint &Address, const QString &SettingName);
    // The main proxy when it is specified, then the backup proxy when used.
    void CheckProxy(const TSIPProxy &SIPProxy);
    // The profile must name its failover node.
    void CheckFailover();
    // The TFTP server must be reachable the way its source says.
    void CheckTFTPSettings(const TIPSettings &Settings, bool DHCP, bool ServerCanBeFQDN);

private:
    void Report(bool Accepted, const QString &SettingName, const AnsiString &Reason);
};

class TLynProfileProxy : public TProfileProxy {
public:
    static const TProfileProxyClass &Class();
    const TProfileProxyClass &ClassType() const override { return Class(); }
    static const TBasicProxyHelperClass &HelperClass();
    // The family has no device type of its own: its proxy exists only to be derived from.
    static TdpNameString GetDeviceType(const TProfileProxyClass &Self);

    TLynProxyHelper &Helper() const;

protected:
    using TProfileProxy::TProfileProxy;
};

class TLynDeviceProxy : public TSIPDeviceProxy {
public:
    static const TDeviceProxyClass &Class();
    const TDeviceProxyClass &ClassType() const override { return Class(); }
    static const TBasicProxyHelperClass &HelperClass();
    static const TBasicProfileProxyClass &DeviceProfileProxyClass();

    // The profile proxy as a TLynProfileProxy; none when the device has no profile.
    TLynProfileProxy *ProfileProxy() const;
    TLynProxyHelper &Helper() const;

protected:
    using TSIPDeviceProxy::TSIPDeviceProxy;
};
