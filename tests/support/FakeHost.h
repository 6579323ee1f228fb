#pragma once
// Host objects for tests: a profile, a device and a servant (also a frame
// container) whose values the test sets and reads. They count references and
// check the string hand-off: every text they hand out must come back through
// their own FreeStr, exactly once.

#include "CommonDevicePlugins.h"
#include "DevProfileOption.h"
#include "VQIPAddressUtils.h"

#include <map>
#include <set>
#include <string>
#include <vector>

template <class I>
class TFakeHostObject : public I {
public:
    int32_t _AddRef() override { return ++Refs; }
    int32_t _Release() override { return --Refs; }
    void FreeStr(PAnsiStringRef &s) override { Return(s); }
    void FreeStr(PUnicodeStringRef &s) override { Return(s); }

    // References held by others right now.
    int32_t Refs = 0;
    // Texts handed out and not yet given back.
    int Outstanding() const { return int(FOutstanding.size()); }
    // FreeStr calls with a reference this object did not hand out, or none.
    int ForeignFrees = 0;
    int HandedOut = 0;

protected:
    PAnsiStringRef HandOut(const AnsiString &Text) { return Track(new TAnsiStringRef{Text}); }
    PUnicodeStringRef HandOut(const std::u16string &Text) { return Track(new TUnicodeStringRef{Text}); }

private:
    template <class P>
    P Track(P s) {
        FOutstanding.insert(s);
        ++HandedOut;
        return s;
    }
    template <class P>
    void Return(P &s) {
        if (FOutstanding.erase(s) == 0)
            ++ForeignFrees;
        else
            ReleaseStringRef(s);
        s = nullptr;
    }

    std::set<const void *> FOutstanding;
};

// A host profile: the 27 fields, the custom data and the options. Every setter
// call is logged by field name, in order.
class TFakeProfile final : public TFakeHostObject<IDeviceProfile> {
public:
    HResult QueryInterface(const TGUID &iid, void **obj) override;

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
    bool GetsStaticIP = false;
    bool IsDHCPServer = false;
    AnsiString CustomData;
    bool SupportsSIPBasedUpdate = false;
    bool IsDefault = false;
    int32_t ExtraValue = 0;
    bool UpdateDevicesRequired = false;
    int32_t FailoverNodeId = 0;
    AnsiString FailoverSIPIP;
    int32_t FailoverSIPPort = 0;
    TDPOptionList Options;

    std::vector<std::string> Setters;

    int64_t getProfileID() override { return ProfileID; }
    TdpNameString getDeviceType() override { return DeviceType; }
    bool getSyslogIfNotRegistered() override { return SyslogIfNotRegistered; }
    int32_t getCodecs() override { return Codecs; }
    int32_t getNumberOfLines() override { return NumberOfLines; }
    bool getHasAnalogLine() override { return HasAnalogLine; }
    bool getSupportsConferences() override { return SupportsConferences; }
    bool getSendsSIPRegister() override { return SendsSIPRegister; }
    bool getUnsolicitedMWI() override { return UnsolicitedMWI; }
    bool getSupportsEarlyMedia() override { return SupportsEarlyMedia; }
    bool getSupportsAssertedIdentity() override { return SupportsAssertedIdentity; }
    TdpDeviceDisplayType getDisplayType() override { return DisplayType; }
    bool getSupportsPage() override { return SupportsPage; }
    bool getSupportsIM() override { return SupportsIM; }
    bool getPrefixExtCalls() override { return PrefixExtCalls; }
    bool getAllowLocationSpecOnPhone() override { return AllowLocationSpecOnPhone; }
    TdpNameString getName() override { return Name; }
    bool getGetsStaticIP() override { return GetsStaticIP; }
    bool getIsDHCPServer() override { return IsDHCPServer; }
    PAnsiStringRef getCustomData() override { return HandOut(CustomData); }
    bool getSupportsSIPBasedUpdate() override { return SupportsSIPBasedUpdate; }
    bool getIsDefault() override { return IsDefault; }
    int32_t getExtraValue() override { return ExtraValue; }
    bool getUpdateDevicesRequired() override { return UpdateDevicesRequired; }
    int32_t getFailoverNodeId() override { return FailoverNodeId; }
    PAnsiStringRef getFailoverSIPIP() override { return HandOut(FailoverSIPIP); }
    int32_t getFailoverSIPPort() override { return FailoverSIPPort; }

    void setProfileID(int64_t Value) override { Set("ProfileID", ProfileID, Value); }
    void setDeviceType(const TdpNameString &Value) override { Set("DeviceType", DeviceType, Value); }
    void setSyslogIfNotRegistered(bool Value) override { Set("SyslogIfNotRegistered", SyslogIfNotRegistered, Value); }
    void setCodecs(int32_t Value) override { Set("Codecs", Codecs, Value); }
    void setNumberOfLines(int32_t Value) override { Set("NumberOfLines", NumberOfLines, Value); }
    void setHasAnalogLine(bool Value) override { Set("HasAnalogLine", HasAnalogLine, Value); }
    void setSupportsConferences(bool Value) override { Set("SupportsConferences", SupportsConferences, Value); }
    void setSendsSIPRegister(bool Value) override { Set("SendsSIPRegister", SendsSIPRegister, Value); }
    void setUnsolicitedMWI(bool Value) override { Set("UnsolicitedMWI", UnsolicitedMWI, Value); }
    void setSupportsEarlyMedia(bool Value) override { Set("SupportsEarlyMedia", SupportsEarlyMedia, Value); }
    void setSupportsAssertedIdentity(bool Value) override {
        Set("SupportsAssertedIdentity", SupportsAssertedIdentity, Value);
    }
    void setDisplayType(TdpDeviceDisplayType Value) override { Set("DisplayType", DisplayType, Value); }
    void setSupportsPage(bool Value) override { Set("SupportsPage", SupportsPage, Value); }
    void setSupportsIM(bool Value) override { Set("SupportsIM", SupportsIM, Value); }
    void setPrefixExtCalls(bool Value) override { Set("PrefixExtCalls", PrefixExtCalls, Value); }
    void setAllowLocationSpecOnPhone(bool Value) override {
        Set("AllowLocationSpecOnPhone", AllowLocationSpecOnPhone, Value);
    }
    void setName(const TdpNameString &Value) override { Set("Name", Name, Value); }
    void setGetsStaticIP(bool Value) override { Set("GetsStaticIP", GetsStaticIP, Value); }
    void setIsDHCPServer(bool Value) override { Set("IsDHCPServer", IsDHCPServer, Value); }
    void setCustomData(const char *Value) override { Set("CustomData", CustomData, AnsiString(Value)); }
    void setSupportsSIPBasedUpdate(bool Value) override { Set("SupportsSIPBasedUpdate", SupportsSIPBasedUpdate, Value); }
    void setIsDefault(bool Value) override { Set("IsDefault", IsDefault, Value); }
    void setExtraValue(int32_t Value) override { Set("ExtraValue", ExtraValue, Value); }
    void setUpdateDevicesRequired(bool Value) override { Set("UpdateDevicesRequired", UpdateDevicesRequired, Value); }
    void setFailoverNodeId(int32_t Value) override { Set("FailoverNodeId", FailoverNodeId, Value); }
    void setFailoverSIPIP(const char *Value) override { Set("FailoverSIPIP", FailoverSIPIP, AnsiString(Value)); }
    void setFailoverSIPPort(int32_t Value) override { Set("FailoverSIPPort", FailoverSIPPort, Value); }
    void setOptions(const TDPOptionList &Value) override {
        Setters.emplace_back("Options");
        Options.Assign(Value);
    }
    void FillOptions(TDPOptionList &Value) override { Value.Assign(Options); }

private:
    template <class F, class V>
    void Set(const char *Name, F &Field, const V &Value) {
        Setters.emplace_back(Name);
        Field = Value;
    }
};

// A host device: the 14 fields it shares with the plug-in and the three it
// keeps to itself. Every setter call is logged by field name, in order.
class TFakeDevice final : public TFakeHostObject<IDevice> {
public:
    HResult QueryInterface(const TGUID &iid, void **obj) override;

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
    std::u16string Greeting;
    AnsiString CustomData;
    int32_t Unused[3] = {};

    std::vector<std::string> Setters;

    int64_t getDeviceID() override { return DeviceID; }
    TdpProtocolType getProtocol() override { return Protocol; }
    int64_t getProfileID() override { return ProfileID; }
    TdpNameString getUniqueID() override { return UniqueID; }
    TdpNameString getProxyPassword() override { return ProxyPassword; }
    TIPAddressRec getAssignedIP() override { return AssignedIP; }
    int32_t getAssignedPort() override { return AssignedPort; }
    PAnsiStringRef getAssignedContact() override { return HandOut(AssignedContact); }
    TdpMACAddress getMacAddress() override { return MacAddress; }
    int64_t getNormalLocationID() override { return NormalLocationID; }
    TIPAddressRec getDHCP_SRV_Start_IP() override { return DHCP_SRV_Start_IP; }
    TIPAddressRec getDHCP_SRV_End_IP() override { return DHCP_SRV_End_IP; }
    PUnicodeStringRef getGreeting() override { return HandOut(Greeting); }
    PAnsiStringRef getCustomData() override { return HandOut(CustomData); }
    int32_t getUnused1() override { return Unused[0]; }
    int32_t getUnused2() override { return Unused[1]; }
    int32_t getUnused3() override { return Unused[2]; }

    void setDeviceID(int64_t Value) override { Set("DeviceID", DeviceID, Value); }
    void setProtocol(TdpProtocolType Value) override { Set("Protocol", Protocol, Value); }
    void setProfileID(int64_t Value) override { Set("ProfileID", ProfileID, Value); }
    void setUniqueID(const TdpNameString &Value) override { Set("UniqueID", UniqueID, Value); }
    void setProxyPassword(const TdpNameString &Value) override { Set("ProxyPassword", ProxyPassword, Value); }
    void setAssignedIP(const TIPAddressRec &Value) override { Set("AssignedIP", AssignedIP, Value); }
    void setAssignedPort(int32_t Value) override { Set("AssignedPort", AssignedPort, Value); }
    void setAssignedContact(const char *Value) override { Set("AssignedContact", AssignedContact, AnsiString(Value)); }
    void setMacAddress(const TdpMACAddress &Value) override { Set("MacAddress", MacAddress, Value); }
    void setNormalLocationID(int64_t Value) override { Set("NormalLocationID", NormalLocationID, Value); }
    void setDHCP_SRV_Start_IP(const TIPAddressRec &Value) override { Set("DHCP_SRV_Start_IP", DHCP_SRV_Start_IP, Value); }
    void setDHCP_SRV_End_IP(const TIPAddressRec &Value) override { Set("DHCP_SRV_End_IP", DHCP_SRV_End_IP, Value); }
    void setGreeting(const char16_t *Value) override { Set("Greeting", Greeting, std::u16string(Value)); }
    void setCustomData(const char *Value) override { Set("CustomData", CustomData, AnsiString(Value)); }
    void setUnused1(int32_t Value) override { Set("Unused1", Unused[0], Value); }
    void setUnused2(int32_t Value) override { Set("Unused2", Unused[1], Value); }
    void setUnused3(int32_t Value) override { Set("Unused3", Unused[2], Value); }

private:
    template <class F, class V>
    void Set(const char *Name, F &Field, const V &Value) {
        Setters.emplace_back(Name);
        Field = Value;
    }
};

// Host services and frame container. GetValue answers the ids in Values, the
// text ids from Texts (id 21 by node from NodeAddresses); everything else is
// not answered.
class TFakeServant final : public TFakeHostObject<IPluginFrameContainer> {
public:
    HResult QueryInterface(const TGUID &iid, void **obj) override;
    bool GetValue(int32_t Id, uintptr_t Param, uintptr_t &Value) override;
    void SetModified(bool Modified) override { ModifiedCalls.push_back(Modified); }
    void ShowConflict(TConflictLevel Level, bool IsExternal, const char *Message) override {
        Conflicts.push_back({Level, IsExternal, Message});
    }

    // A system with a redundant pair: the node proposed as failover node, the
    // node being administered, and the SIP address of each node.
    void SetRedundancy(int32_t ProposedNode, int32_t CurrentNode, std::map<int32_t, AnsiString> Addresses);

    std::map<int32_t, uintptr_t> Values;
    std::map<int32_t, AnsiString> Texts;
    std::map<int32_t, AnsiString> NodeAddresses;
    // Every GetValue call, as (id, param).
    std::vector<std::pair<int32_t, uintptr_t>> Asked;

    struct TShownConflict {
        TConflictLevel Level;
        bool IsExternal;
        std::string Message;
    };
    std::vector<bool> ModifiedCalls;
    std::vector<TShownConflict> Conflicts;
};

// An IPv4 record from dotted text.
TIPAddressRec IPv4Rec(const char *Dotted);
