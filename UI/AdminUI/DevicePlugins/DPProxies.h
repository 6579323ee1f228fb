#pragma once
// The content every phone profile and every phone device has in the host's
// database, the profile's failover node, the link from a device to its
// profile, and the helper that checks free-text settings.

#include "DevProfileOption.h"
#include "PluginObjectProxies.h"
#include "VQIPAddressUtils.h"
#include "VQUtils.h"

class TProfileProxy;
class TProfiledBasicDeviceProxy;
class TProxyHelper;

// ---- class descriptors --------------------------------------------------------

class TProfileProxyClass : public TBasicProfileProxyClass {
public:
    using TBasicProfileProxyClass::TBasicProfileProxyClass;
    // The device type of the model, read without building a proxy.
    virtual TdpNameString GetDeviceType() const = 0;
};

template <class T, class Base = TProfileProxyClass>
class TProfileProxyClassOf : public TBasicProfileProxyClassOf<T, Base> {
public:
    using TBasicProfileProxyClassOf<T, Base>::TBasicProfileProxyClassOf;
    TdpNameString GetDeviceType() const override { return T::GetDeviceType(*this); }
};

class TProfiledBasicDeviceProxyClass : public TBasicDeviceProxyClass {
public:
    using TBasicDeviceProxyClass::TBasicDeviceProxyClass;
    using TBasicDeviceProxyClass::Create;
    // The class of the profile proxy a device proxy builds for its profile.
    virtual const TBasicProfileProxyClass &DeviceProfileProxyClass() const = 0;
    // A loaded proxy that owns AProfileProxy (which may be none).
    virtual std::unique_ptr<TProfiledBasicDeviceProxy> Create(IDevice *Device,
                                                              std::unique_ptr<TBasicProfileProxy> AProfileProxy,
                                                              IDevicePluginServant *Servant) const = 0;
};

class TDeviceProxyClass : public TProfiledBasicDeviceProxyClass {
public:
    using TProfiledBasicDeviceProxyClass::TProfiledBasicDeviceProxyClass;
    // DeviceProfileProxyClass, which for these classes is a profile proxy class.
    const TProfileProxyClass &ProfileProxyClass() const;
};

template <class T, class Base = TProfiledBasicDeviceProxyClass>
class TProfiledBasicDeviceProxyClassOf : public TBasicDeviceProxyClassOf<T, Base> {
public:
    using TBasicDeviceProxyClassOf<T, Base>::TBasicDeviceProxyClassOf;
    using TBasicDeviceProxyClassOf<T, Base>::Create;
    const TBasicProfileProxyClass &DeviceProfileProxyClass() const override { return T::DeviceProfileProxyClass(); }
    std::unique_ptr<TProfiledBasicDeviceProxy> Create(IDevice *Device, std::unique_ptr<TBasicProfileProxy> AProfileProxy,
                                                      IDevicePluginServant *Servant) const override {
        return TProxyInstance<T>::New(Device, std::move(AProfileProxy), Servant);
    }
};

template <class T>
using TDeviceProxyClassOf = TProfiledBasicDeviceProxyClassOf<T, TDeviceProxyClass>;

// ---- host services ------------------------------------------------------------

// A system value from the host; false, so that the caller's fallback applies,
// when the host does not answer or there is no servant.
bool GetServantValue(IDevicePluginServant *Servant, TServantValueId Id, uintptr_t Param, uintptr_t &Value);
// A text value, taken under the string hand-off rule; empty when not answered.
QString GetServantText(IDevicePluginServant *Servant, TServantValueId Id, uintptr_t Param = 0);

// ---- messages -------------------------------------------------------------------

// "<Name> is empty"
QString EmptyMessage(const QString &Name);
// "<Name> is incomplete"
QString IncompleteMessage(const QString &Name);
// "Invalid <Name>", then ": <Detail>" when there is one.
QString InvalidMessage(const QString &Name, const QString &Detail = {});

// ---- proxies --------------------------------------------------------------------

class TProfileProxy : public TBasicProfileProxy {
public:
    static const TProfileProxyClass &Class();
    const TProfileProxyClass &ClassType() const override { return Class(); }
    static const TBasicProxyHelperClass &HelperClass();
    // Abstract here: every model's proxy class names its own device type.
    static TdpNameString GetDeviceType(const TProfileProxyClass &Self);

    ~TProfileProxy() override;

    virtual bool GetsStaticIP() const { return false; }
    virtual bool IsDHCPServer() const { return false; }
    TProxyHelper &Helper() const;

    // The failover node that applies: none (-1) unless the system runs a
    // redundant pair; the chosen node, else the proposed one, unless it is the
    // node being administered.
    int32_t GetUnderlyingRedundancyNodeId() const;
    // No node chosen, no port, and the SIP address of the node that applies.
    void ResetRedundancy();

    int64_t ProfileID = 0;
    TdpNameString DeviceType;
    bool SyslogIfNotRegistered = false;
    int32_t Codecs = 0;
    int32_t NumberOfLines = 0;
    bool HasAnalogLine = false;
    bool SupportsConferences = false;
    bool SendsSIPRegister = false;
    bool UnsolicitedMWI = false;
    bool SupportsEarlyMedia = false;
    bool SupportsAssertedIdentity = false;
    TdpDeviceDisplayType DisplayType = devdtNone;
    bool SupportsPage = false;
    bool SupportsIM = false;
    bool PrefixExtCalls = false;
    bool AllowLocationSpecOnPhone = false;
    TdpNameString Name;
    bool SupportsSIPBasedUpdate = false;
    bool IsDefault = false;
    bool UpdateDevicesRequired = false;
    int32_t FailoverNodeId = 0;
    QString FailoverSIPIP;
    int32_t FailoverSIPPort = 0;
    TDPOptionList Options;

protected:
    using TBasicProfileProxy::TBasicProfileProxy;
    void Load() override;
    void Save() override;
    void InitializeFixed() override;
    void InitializeDefaults() override;
};

class TProfiledBasicDeviceProxy : public TBasicDeviceProxy {
public:
    static const TProfiledBasicDeviceProxyClass &Class();
    const TProfiledBasicDeviceProxyClass &ClassType() const override { return Class(); }
    static const TBasicProfileProxyClass &DeviceProfileProxyClass();

    ~TProfiledBasicDeviceProxy() override;

    TBasicProfileProxy *ProfileProxy() const { return FProfileProxy; }
    // Frees the profile proxy this proxy owns and owns the new one.
    void setProfileProxy(std::unique_ptr<TBasicProfileProxy> Value);
    // Uses a profile proxy that stays its owner's (a prepared one): never freed here.
    void LendProfileProxy(TBasicProfileProxy *Value);
    // Replaces the profile proxy by one of DeviceProfileProxyClass over Value,
    // initialised for a check (no defaults), or by none.
    void setProfile(IDeviceProfile *Value);

protected:
    TProfiledBasicDeviceProxy(IDevice *Device, std::unique_ptr<TBasicProfileProxy> AProfileProxy,
                              IDevicePluginServant *Servant);
    TProfiledBasicDeviceProxy(IDevice *Device, IDevicePluginServant *Servant);

private:
    std::unique_ptr<TBasicProfileProxy> FOwnProfileProxy;
    // The owned one, a lent one, or none.
    TBasicProfileProxy *FProfileProxy = nullptr;
};

class TDeviceProxy : public TProfiledBasicDeviceProxy {
public:
    static const TDeviceProxyClass &Class();
    const TDeviceProxyClass &ClassType() const override { return Class(); }
    static const TBasicProxyHelperClass &HelperClass();
    static const TBasicProfileProxyClass &DeviceProfileProxyClass();

    ~TDeviceProxy() override;

    // The profile proxy as a TProfileProxy; none when the device has no profile.
    TProfileProxy *ProfileProxy() const;
    TProxyHelper &Helper() const;

    int64_t DeviceID = 0;
    TdpProtocolType Protocol = ptNotSet;
    int64_t ProfileID = 0;
    TdpNameString UniqueID;
    TdpNameString ProxyPassword;
    TIPAddressRec AssignedIP{};
    int32_t AssignedPort = 0;
    AnsiString AssignedContact;
    TdpMACAddress MacAddress{};
    int64_t NormalLocationID = 0;
    TIPAddressRec DHCP_SRV_Start_IP{};
    TIPAddressRec DHCP_SRV_End_IP{};
    QString Greeting;

protected:
    using TProfiledBasicDeviceProxy::TProfiledBasicDeviceProxy;
    void Load() override;
    void Save() override;
    void InitializeFixed() override;
};

// Checks of free-text settings.
class TProxyHelper : public TBasicProxyHelper {
public:
    static const TBasicProxyHelperClass &Class();
    const TBasicProxyHelperClass &ClassType() const override { return Class(); }
    using TBasicProxyHelper::TBasicProxyHelper;

    // The first character outside Filter is an error naming it and the setting.
    void CheckString(const QString &Str, const TEditorFilter &Filter, const QString &SettingName);
    // Lengths in UTF-16 code units; a limit of 0 is no limit. An empty text
    // against a minimum is "<name> is empty", or passes when SlylyAllowEmpty.
    void CheckStringLength(const QString &Str, int MinLength, int MaxLength, const QString &SettingName,
                           bool SlylyAllowEmpty, TDeviceConflictLevel Level);
};
