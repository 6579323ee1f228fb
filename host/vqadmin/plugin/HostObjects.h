#pragma once
// The host objects a plug-in works on: the servant answering the phone
// system's values, profiles, devices and the profile list, all over the
// configuration database. Each object holds a copy of its record; what the
// plug-in writes back stays in the object until the host saves it.

#include "database/ConfigDatabase.h"

// Reference counting as every host object does it: an object starts with no
// references and frees itself at its last release, so hold it in a
// TInterfaceRef. It answers its own interface only.
template <class I>
class THostObject : public I {
public:
    HResult QueryInterface(const TGUID &iid, void **obj) override {
        *obj = iid == I::IID ? static_cast<I *>(this) : nullptr;
        if (!*obj)
            return E_NOINTERFACE;
        this->_AddRef();
        return S_OK;
    }
    int32_t _AddRef() override { return ++FRefCount; }
    int32_t _Release() override {
        const int32_t n = --FRefCount;
        if (n == 0)
            delete this;
        return n;
    }
    void FreeStr(PAnsiStringRef &s) override { ReleaseStringRef(s); }
    void FreeStr(PUnicodeStringRef &s) override { ReleaseStringRef(s); }

protected:
    virtual ~THostObject() = default;

private:
    int32_t FRefCount = 0;
};

// Answers GetValue from the system values read when it was made; value 1 from
// the devices stored at the time of asking.
class THostServant : public THostObject<IDevicePluginServant> {
public:
    explicit THostServant(TConfigDatabase &Database);
    bool GetValue(int32_t Id, uintptr_t Param, uintptr_t &Value) override;

private:
    TConfigDatabase &FDatabase;
    TSystemValues FValues;
};

// A host object over a copy of one database record.
template <class I, class R>
class THostRecordObject : public THostObject<I> {
public:
    const R &Record() const { return FRecord; }
    // Whether a setter changed anything since the last save.
    bool Modified() const { return FModified; }

protected:
    THostRecordObject(TConfigDatabase &Database, R Record) : FDatabase(Database), FRecord(std::move(Record)) {}

    template <class T>
    void Assign(T &Field, const T &Value) {
        if (!(Field == Value)) {
            Field = Value;
            FModified = true;
        }
    }

    TConfigDatabase &FDatabase;
    R FRecord;
    bool FModified = false;
};

class THostProfile : public THostRecordObject<IDeviceProfile, TProfileRecord> {
public:
    THostProfile(TConfigDatabase &Database, TProfileRecord Record);

    // Stores the changes, all in one transaction. Raises EDatabase, also when
    // the profile's ID (the database key) was changed.
    void Save();
    // Holds the record as the database stores it now, unchanged.
    void Reset(TProfileRecord Record);

    int64_t getProfileID() override { return FRecord.ProfileID; }
    TdpNameString getDeviceType() override { return TdpNameString::From(FRecord.DeviceType); }
    bool getSyslogIfNotRegistered() override { return FRecord.SyslogIfNotRegistered; }
    int32_t getCodecs() override { return FRecord.Codecs; }
    int32_t getNumberOfLines() override { return FRecord.NumberOfLines; }
    bool getHasAnalogLine() override { return FRecord.HasAnalogLine; }
    bool getSupportsConferences() override { return FRecord.SupportsConferences; }
    bool getSendsSIPRegister() override { return FRecord.SendsSIPRegister; }
    bool getUnsolicitedMWI() override { return FRecord.UnsolicitedMWI; }
    bool getSupportsEarlyMedia() override { return FRecord.SupportsEarlyMedia; }
    bool getSupportsAssertedIdentity() override { return FRecord.SupportsAssertedIdentity; }
    TdpDeviceDisplayType getDisplayType() override { return FRecord.DisplayType; }
    bool getSupportsPage() override { return FRecord.SupportsPage; }
    bool getSupportsIM() override { return FRecord.SupportsIM; }
    bool getPrefixExtCalls() override { return FRecord.PrefixExtCalls; }
    bool getAllowLocationSpecOnPhone() override { return FRecord.AllowLocationSpecOnPhone; }
    TdpNameString getName() override { return TdpNameString::From(FRecord.Name); }
    bool getGetsStaticIP() override { return FRecord.GetsStaticIP; }
    bool getIsDHCPServer() override { return FRecord.IsDHCPServer; }
    PAnsiStringRef getCustomData() override { return NewAnsiStringRef(FRecord.CustomData); }
    bool getSupportsSIPBasedUpdate() override { return FRecord.SupportsSIPBasedUpdate; }
    bool getIsDefault() override { return FRecord.IsDefault; }
    int32_t getExtraValue() override { return FRecord.ExtraValue; }
    bool getUpdateDevicesRequired() override { return FRecord.UpdateDevicesRequired; }
    int32_t getFailoverNodeId() override { return FRecord.FailoverNodeId; }
    PAnsiStringRef getFailoverSIPIP() override { return NewAnsiStringRef(FRecord.FailoverSIPIP); }
    int32_t getFailoverSIPPort() override { return FRecord.FailoverSIPPort; }

    void setProfileID(int64_t Value) override { Assign(FRecord.ProfileID, Value); }
    void setDeviceType(const TdpNameString &Value) override { Assign(FRecord.DeviceType, Value.Text()); }
    void setSyslogIfNotRegistered(bool Value) override { Assign(FRecord.SyslogIfNotRegistered, Value); }
    void setCodecs(int32_t Value) override { Assign(FRecord.Codecs, Value); }
    void setNumberOfLines(int32_t Value) override { Assign(FRecord.NumberOfLines, Value); }
    void setHasAnalogLine(bool Value) override { Assign(FRecord.HasAnalogLine, Value); }
    void setSupportsConferences(bool Value) override { Assign(FRecord.SupportsConferences, Value); }
    void setSendsSIPRegister(bool Value) override { Assign(FRecord.SendsSIPRegister, Value); }
    void setUnsolicitedMWI(bool Value) override { Assign(FRecord.UnsolicitedMWI, Value); }
    void setSupportsEarlyMedia(bool Value) override { Assign(FRecord.SupportsEarlyMedia, Value); }
    void setSupportsAssertedIdentity(bool Value) override { Assign(FRecord.SupportsAssertedIdentity, Value); }
    void setDisplayType(TdpDeviceDisplayType Value) override { Assign(FRecord.DisplayType, Value); }
    void setSupportsPage(bool Value) override { Assign(FRecord.SupportsPage, Value); }
    void setSupportsIM(bool Value) override { Assign(FRecord.SupportsIM, Value); }
    void setPrefixExtCalls(bool Value) override { Assign(FRecord.PrefixExtCalls, Value); }
    void setAllowLocationSpecOnPhone(bool Value) override { Assign(FRecord.AllowLocationSpecOnPhone, Value); }
    void setName(const TdpNameString &Value) override { Assign(FRecord.Name, Value.Text()); }
    void setGetsStaticIP(bool Value) override { Assign(FRecord.GetsStaticIP, Value); }
    void setIsDHCPServer(bool Value) override { Assign(FRecord.IsDHCPServer, Value); }
    void setCustomData(const char *Value) override { Assign(FRecord.CustomData, FromAnsi(Value)); }
    void setSupportsSIPBasedUpdate(bool Value) override { Assign(FRecord.SupportsSIPBasedUpdate, Value); }
    void setIsDefault(bool Value) override { Assign(FRecord.IsDefault, Value); }
    void setExtraValue(int32_t Value) override { Assign(FRecord.ExtraValue, Value); }
    void setUpdateDevicesRequired(bool Value) override { Assign(FRecord.UpdateDevicesRequired, Value); }
    void setFailoverNodeId(int32_t Value) override { Assign(FRecord.FailoverNodeId, Value); }
    void setFailoverSIPIP(const char *Value) override { Assign(FRecord.FailoverSIPIP, FromAnsi(Value)); }
    void setFailoverSIPPort(int32_t Value) override { Assign(FRecord.FailoverSIPPort, Value); }

    void setOptions(const TDPOptionList &Options) override;
    void FillOptions(TDPOptionList &Options) override;

private:
    int64_t FStoredID; // the row this object was read from
};

class THostDevice : public THostRecordObject<IDevice, TDeviceRecord> {
public:
    THostDevice(TConfigDatabase &Database, TDeviceRecord Record);

    // As THostProfile::Save; the device's profile may change, to one that exists.
    void Save();
    void Reset(TDeviceRecord Record);

    int64_t getDeviceID() override { return FRecord.DeviceID; }
    TdpProtocolType getProtocol() override { return FRecord.Protocol; }
    int64_t getProfileID() override { return FRecord.ProfileID; }
    TdpNameString getUniqueID() override { return TdpNameString::From(FRecord.UniqueID); }
    TdpNameString getProxyPassword() override { return TdpNameString::From(FRecord.ProxyPassword); }
    TIPAddressRec getAssignedIP() override { return FRecord.AssignedIP; }
    int32_t getAssignedPort() override { return FRecord.AssignedPort; }
    PAnsiStringRef getAssignedContact() override { return NewAnsiStringRef(FRecord.AssignedContact); }
    TdpMACAddress getMacAddress() override { return FRecord.MacAddress; }
    int64_t getNormalLocationID() override { return FRecord.NormalLocationID; }
    TIPAddressRec getDHCP_SRV_Start_IP() override { return FRecord.DHCP_SRV_Start_IP; }
    TIPAddressRec getDHCP_SRV_End_IP() override { return FRecord.DHCP_SRV_End_IP; }
    PUnicodeStringRef getGreeting() override { return NewUnicodeStringRef(FRecord.Greeting); }
    PAnsiStringRef getCustomData() override { return NewAnsiStringRef(FRecord.CustomData); }
    // Slots of other device kinds: this host keeps nothing in them.
    int32_t getUnused1() override { return 0; }
    int32_t getUnused2() override { return 0; }
    int32_t getUnused3() override { return 0; }

    void setDeviceID(int64_t Value) override { Assign(FRecord.DeviceID, Value); }
    void setProtocol(TdpProtocolType Value) override { Assign(FRecord.Protocol, Value); }
    void setProfileID(int64_t Value) override { Assign(FRecord.ProfileID, Value); }
    void setUniqueID(const TdpNameString &Value) override { Assign(FRecord.UniqueID, Value.Text()); }
    void setProxyPassword(const TdpNameString &Value) override { Assign(FRecord.ProxyPassword, Value.Text()); }
    void setAssignedIP(const TIPAddressRec &Value) override { Assign(FRecord.AssignedIP, Value); }
    void setAssignedPort(int32_t Value) override { Assign(FRecord.AssignedPort, Value); }
    void setAssignedContact(const char *Value) override { Assign(FRecord.AssignedContact, FromAnsi(Value)); }
    void setMacAddress(const TdpMACAddress &Value) override { Assign(FRecord.MacAddress, Value); }
    void setNormalLocationID(int64_t Value) override { Assign(FRecord.NormalLocationID, Value); }
    void setDHCP_SRV_Start_IP(const TIPAddressRec &Value) override { Assign(FRecord.DHCP_SRV_Start_IP, Value); }
    void setDHCP_SRV_End_IP(const TIPAddressRec &Value) override { Assign(FRecord.DHCP_SRV_End_IP, Value); }
    void setGreeting(const char16_t *Value) override { Assign(FRecord.Greeting, QString::fromUtf16(Value)); }
    void setCustomData(const char *Value) override { Assign(FRecord.CustomData, FromAnsi(Value)); }
    void setUnused1(int32_t) override {}
    void setUnused2(int32_t) override {}
    void setUnused3(int32_t) override {}

private:
    int64_t FStoredID;
};

// Every profile of the database in ProfileID order. Items are lent: the list
// keeps them alive and adds no reference for the caller.
class THostProfileList : public THostObject<IDeviceProfileList> {
public:
    explicit THostProfileList(TConfigDatabase &Database);
    int32_t getCount() override { return int32_t(FItems.size()); }
    // None for a position outside the list.
    IDeviceProfile *getItem(int32_t Index) override;

private:
    std::vector<TInterfaceRef<THostProfile>> FItems;
};
