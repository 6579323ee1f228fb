#include "DPProxies.h"

namespace {

constexpr const char *UnitPath = "UI\\AdminUI\\DevicePlugins\\DPProxies";

} // namespace

// ---- host services ------------------------------------------------------------

bool GetServantValue(IDevicePluginServant *Servant, TServantValueId Id, uintptr_t Param, uintptr_t &Value) {
    return Servant && Servant->GetValue(Id, Param, Value);
}

QString GetServantText(IDevicePluginServant *Servant, TServantValueId Id, uintptr_t Param) {
    uintptr_t value = 0;
    if (!GetServantValue(Servant, Id, Param, value))
        return {};
    auto text = reinterpret_cast<PAnsiStringRef>(value);
    return TakeAnsiStringRef(Servant, text);
}

// ---- messages -------------------------------------------------------------------

QString EmptyMessage(const QString &Name) { return Name + QStringLiteral(" is empty"); }

QString IncompleteMessage(const QString &Name) { return Name + QStringLiteral(" is incomplete"); }

QString InvalidMessage(const QString &Name, const QString &Detail) {
    return Detail.isEmpty() ? QStringLiteral("Invalid ") + Name : QStringLiteral("Invalid %1: %2").arg(Name, Detail);
}

// ---- descriptors ----------------------------------------------------------------

const TProfileProxyClass &TDeviceProxyClass::ProfileProxyClass() const {
    const TBasicProfileProxyClass &cls = DeviceProfileProxyClass();
    Assert(cls.InheritsFrom(&TProfileProxy::Class()), UnitPath, __LINE__);
    return static_cast<const TProfileProxyClass &>(cls);
}

// ---- TProfileProxy ----------------------------------------------------------------

const TProfileProxyClass &TProfileProxy::Class() {
    static const TProfileProxyClassOf<TProfileProxy> cls("TProfileProxy", &TBasicProfileProxy::Class());
    return cls;
}

const TBasicProxyHelperClass &TProfileProxy::HelperClass() { return TProxyHelper::Class(); }

TdpNameString TProfileProxy::GetDeviceType(const TProfileProxyClass &) {
    throw Exception(QStringLiteral("Abstract Error"));
}

TProfileProxy::~TProfileProxy() = default;

TProxyHelper &TProfileProxy::Helper() const {
    TBasicProxyHelper &helper = TBasicProfileProxy::Helper();
    Assert(helper.InheritsFrom(TProxyHelper::Class()), UnitPath, __LINE__);
    return static_cast<TProxyHelper &>(helper);
}

void TProfileProxy::Load() {
    TBasicProfileProxy::Load();
    IDeviceProfile *p = Profile();
    ProfileID = p->getProfileID();
    DeviceType = p->getDeviceType();
    SyslogIfNotRegistered = p->getSyslogIfNotRegistered();
    Codecs = p->getCodecs();
    NumberOfLines = p->getNumberOfLines();
    HasAnalogLine = p->getHasAnalogLine();
    SupportsConferences = p->getSupportsConferences();
    SendsSIPRegister = p->getSendsSIPRegister();
    UnsolicitedMWI = p->getUnsolicitedMWI();
    SupportsEarlyMedia = p->getSupportsEarlyMedia();
    SupportsAssertedIdentity = p->getSupportsAssertedIdentity();
    DisplayType = p->getDisplayType();
    SupportsPage = p->getSupportsPage();
    SupportsIM = p->getSupportsIM();
    PrefixExtCalls = p->getPrefixExtCalls();
    AllowLocationSpecOnPhone = p->getAllowLocationSpecOnPhone();
    Name = p->getName();
    SupportsSIPBasedUpdate = p->getSupportsSIPBasedUpdate();
    IsDefault = p->getIsDefault();
    UpdateDevicesRequired = p->getUpdateDevicesRequired();
    FailoverNodeId = p->getFailoverNodeId();
    PAnsiStringRef failoverIP = p->getFailoverSIPIP();
    FailoverSIPIP = TakeAnsiStringRef(p, failoverIP);
    FailoverSIPPort = p->getFailoverSIPPort();
    p->FillOptions(Options);
}

void TProfileProxy::Save() {
    TBasicProfileProxy::Save();
    IDeviceProfile *p = Profile();
    p->setProfileID(ProfileID);
    p->setDeviceType(DeviceType);
    p->setSyslogIfNotRegistered(SyslogIfNotRegistered);
    p->setCodecs(Codecs);
    p->setNumberOfLines(NumberOfLines);
    p->setHasAnalogLine(HasAnalogLine);
    p->setSupportsConferences(SupportsConferences);
    p->setSendsSIPRegister(SendsSIPRegister);
    p->setUnsolicitedMWI(UnsolicitedMWI);
    p->setSupportsEarlyMedia(SupportsEarlyMedia);
    p->setSupportsAssertedIdentity(SupportsAssertedIdentity);
    p->setDisplayType(DisplayType);
    p->setSupportsPage(SupportsPage);
    p->setSupportsIM(SupportsIM);
    p->setPrefixExtCalls(PrefixExtCalls);
    p->setAllowLocationSpecOnPhone(AllowLocationSpecOnPhone);
    p->setName(Name);
    p->setGetsStaticIP(GetsStaticIP());
    p->setIsDHCPServer(IsDHCPServer());
    p->setSupportsSIPBasedUpdate(SupportsSIPBasedUpdate);
    p->setIsDefault(IsDefault);
    p->setUpdateDevicesRequired(UpdateDevicesRequired);
    p->setFailoverNodeId(FailoverNodeId);
    p->setFailoverSIPIP(ToAnsi(FailoverSIPIP).c_str());
    p->setFailoverSIPPort(FailoverSIPPort);
    p->setOptions(Options);
}

void TProfileProxy::InitializeFixed() {
    TBasicProfileProxy::InitializeFixed();
    DeviceType = ClassType().GetDeviceType();
}

void TProfileProxy::InitializeDefaults() {
    TBasicProfileProxy::InitializeDefaults();
    ResetRedundancy();
}

int32_t TProfileProxy::GetUnderlyingRedundancyNodeId() const {
    uintptr_t value = 0;
    if (!GetServantValue(Servant(), svRedundant, 0, value) || value != 1)
        return -1;
    int32_t node = FailoverNodeId;
    if (node == 0)
        node = GetServantValue(Servant(), svProposedFailoverNode, 0, value) ? int32_t(value) : -1;
    const int32_t current = GetServantValue(Servant(), svCurrentNode, 0, value) ? int32_t(value) : -1;
    return node == current ? -1 : node;
}

void TProfileProxy::ResetRedundancy() {
    FailoverNodeId = 0;
    FailoverSIPPort = 0;
    FailoverSIPIP = GetServantText(Servant(), svNodeSIPAddress, uintptr_t(GetUnderlyingRedundancyNodeId()));
}

// ---- TProfiledBasicDeviceProxy ------------------------------------------------------

const TProfiledBasicDeviceProxyClass &TProfiledBasicDeviceProxy::Class() {
    static const TProfiledBasicDeviceProxyClassOf<TProfiledBasicDeviceProxy> cls("TProfiledBasicDeviceProxy",
                                                                                 &TBasicDeviceProxy::Class());
    return cls;
}

const TBasicProfileProxyClass &TProfiledBasicDeviceProxy::DeviceProfileProxyClass() { return TBasicProfileProxy::Class(); }

TProfiledBasicDeviceProxy::TProfiledBasicDeviceProxy(IDevice *Device, std::unique_ptr<TBasicProfileProxy> AProfileProxy,
                                                     IDevicePluginServant *Servant)
    : TBasicDeviceProxy(Device, Servant) {
    setProfileProxy(std::move(AProfileProxy));
}

TProfiledBasicDeviceProxy::TProfiledBasicDeviceProxy(IDevice *Device, IDevicePluginServant *Servant)
    : TProfiledBasicDeviceProxy(Device, nullptr, Servant) {}

TProfiledBasicDeviceProxy::~TProfiledBasicDeviceProxy() = default;

void TProfiledBasicDeviceProxy::setProfileProxy(std::unique_ptr<TBasicProfileProxy> Value) {
    FOwnProfileProxy = std::move(Value);
    FProfileProxy = FOwnProfileProxy.get();
}

void TProfiledBasicDeviceProxy::LendProfileProxy(TBasicProfileProxy *Value) {
    FOwnProfileProxy.reset();
    FProfileProxy = Value;
}

void TProfiledBasicDeviceProxy::setProfile(IDeviceProfile *Value) {
    setProfileProxy(nullptr);
    if (!Value)
        return;
    auto proxy = ClassType().DeviceProfileProxyClass().Create(Value, Servant());
    proxy->Initialize({}, true);
    setProfileProxy(std::move(proxy));
}

// ---- TDeviceProxy -------------------------------------------------------------------

const TDeviceProxyClass &TDeviceProxy::Class() {
    static const TDeviceProxyClassOf<TDeviceProxy> cls("TDeviceProxy", &TProfiledBasicDeviceProxy::Class());
    return cls;
}

const TBasicProxyHelperClass &TDeviceProxy::HelperClass() { return TProxyHelper::Class(); }

const TBasicProfileProxyClass &TDeviceProxy::DeviceProfileProxyClass() { return TProfileProxy::Class(); }

TDeviceProxy::~TDeviceProxy() = default;

TProfileProxy *TDeviceProxy::ProfileProxy() const {
    TBasicProfileProxy *proxy = TProfiledBasicDeviceProxy::ProfileProxy();
    Assert(!proxy || proxy->InheritsFrom(TProfileProxy::Class()), UnitPath, __LINE__);
    return static_cast<TProfileProxy *>(proxy);
}

TProxyHelper &TDeviceProxy::Helper() const {
    TBasicProxyHelper &helper = TProfiledBasicDeviceProxy::Helper();
    Assert(helper.InheritsFrom(TProxyHelper::Class()), UnitPath, __LINE__);
    return static_cast<TProxyHelper &>(helper);
}

void TDeviceProxy::Load() {
    TProfiledBasicDeviceProxy::Load();
    IDevice *d = Device();
    DeviceID = d->getDeviceID();
    ProfileID = d->getProfileID();
    UniqueID = d->getUniqueID();
    ProxyPassword = d->getProxyPassword();
    AssignedIP = d->getAssignedIP();
    AssignedPort = d->getAssignedPort();
    PAnsiStringRef contact = d->getAssignedContact();
    AssignedContact = TakeAnsiText(d, contact);
    MacAddress = d->getMacAddress();
    NormalLocationID = d->getNormalLocationID();
    DHCP_SRV_Start_IP = d->getDHCP_SRV_Start_IP();
    DHCP_SRV_End_IP = d->getDHCP_SRV_End_IP();
    PUnicodeStringRef greeting = d->getGreeting();
    Greeting = TakeUnicodeStringRef(d, greeting);
}

void TDeviceProxy::Save() {
    TProfiledBasicDeviceProxy::Save();
    IDevice *d = Device();
    d->setDeviceID(DeviceID);
    d->setProtocol(Protocol);
    d->setProfileID(ProfileID);
    d->setUniqueID(UniqueID);
    d->setProxyPassword(ProxyPassword);
    d->setAssignedIP(AssignedIP);
    d->setAssignedPort(AssignedPort);
    d->setAssignedContact(AssignedContact.c_str());
    d->setMacAddress(MacAddress);
    d->setNormalLocationID(NormalLocationID);
    d->setDHCP_SRV_Start_IP(DHCP_SRV_Start_IP);
    d->setDHCP_SRV_End_IP(DHCP_SRV_End_IP);
    d->setGreeting(reinterpret_cast<const char16_t *>(Greeting.utf16()));
}

void TDeviceProxy::InitializeFixed() {
    TProfiledBasicDeviceProxy::InitializeFixed();
    Protocol = ptNotSet;
}

// ---- TProxyHelper -------------------------------------------------------------------

const TBasicProxyHelperClass &TProxyHelper::Class() {
    static const TBasicProxyHelperClassOf<TProxyHelper> cls("TProxyHelper", &TBasicProxyHelper::Class());
    return cls;
}

void TProxyHelper::CheckString(const QString &Str, const TEditorFilter &Filter, const QString &SettingName) {
    for (QChar c : Str)
        if (!Filter.Contains(c)) {
            ErrorFmt(QStringLiteral("Invalid character \"%s\" in %s"), {QString(c), SettingName}, dclError);
            return;
        }
}

void TProxyHelper::CheckStringLength(const QString &Str, int MinLength, int MaxLength, const QString &SettingName,
                                     bool SlylyAllowEmpty, TDeviceConflictLevel Level) {
    if (Str.isEmpty() && MinLength > 0) {
        if (!SlylyAllowEmpty)
            Error(EmptyMessage(SettingName), Level);
        return;
    }
    const int length = int(Str.size());
    const bool tooLong = MaxLength > 0 && length > MaxLength;
    const bool tooShort = MinLength > 0 && length < MinLength;
    if (!tooLong && !tooShort)
        return;
    if (MaxLength <= 0)
        ErrorFmt(QStringLiteral("%s length is %d, but it should be at least %d characters long"),
                 {SettingName, length, MinLength, MaxLength}, Level);
    else if (MinLength <= 0)
        ErrorFmt(QStringLiteral("%s length is %d, but it should be no more than %d characters long"),
                 {SettingName, length, MaxLength, MaxLength}, Level);
    else
        ErrorFmt(QStringLiteral("%s length is %d, but it should be %d-%d characters long"),
                 {SettingName, length, MinLength, MaxLength}, Level);
}
