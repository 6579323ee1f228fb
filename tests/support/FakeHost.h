#pragma once
// Host objects for tests: a profile, a device and a servant (also a frame
// container) whose values the test sets and reads. They count references and
// check the string hand-off: every text they hand out must come back through
// their own FreeStr, exactly once.

#include "CommonDevicePlugins.h"
#include "DevProfileOption.h"
#include "VQIPAddressUtils.h"

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

template <class I>
class TFakeHostObject : public I {
public:
    // Answers its own interface only.
    HResult QueryInterface(const TGUID &iid, void **obj) override {
        *obj = nullptr;
        if (iid != I::IID)
            return E_NOINTERFACE;
        *obj = static_cast<I *>(this);
        ++Refs;
        return S_OK;
    }
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
    // Every setter call by field name, in order.
    std::vector<std::string> Setters;

protected:
    PAnsiStringRef HandOut(const AnsiString &Text) { return Track(new TAnsiStringRef{Text}); }
    PUnicodeStringRef HandOut(const std::u16string &Text) { return Track(new TUnicodeStringRef{Text}); }
    template <class F, class V>
    void Set(const char *Name, F &Field, const V &Value) {
        Setters.emplace_back(Name);
        Field = Value;
    }

private:
    template <class P>
    P Track(P s) {
        FOutstanding.insert(s);
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

// A host field: the stored value, its getter and its logging setter, which
// takes the value as Param.
#define VQ_FAKE_FIELD(Type, Param, Name)       \
    Type Name{};                               \
    Type get##Name() override { return Name; } \
    void set##Name(Param Value) override { Set(#Name, Name, Value); }
#define VQ_FAKE_VALUE(Type, Name) VQ_FAKE_FIELD(Type, Type, Name)
#define VQ_FAKE_RECORD(Type, Name) VQ_FAKE_FIELD(Type, const Type &, Name)
// An 8-bit text field, handed out under the hand-off rule.
#define VQ_FAKE_TEXT(Name)                                        \
    AnsiString Name;                                              \
    PAnsiStringRef get##Name() override { return HandOut(Name); } \
    void set##Name(const char *Value) override { Set(#Name, Name, AnsiString(Value)); }

// A host profile: the 27 fields, the custom data and the options.
class TFakeProfile final : public TFakeHostObject<IDeviceProfile> {
public:
    VQ_FAKE_VALUE(int64_t, ProfileID)
    VQ_FAKE_RECORD(TdpNameString, DeviceType)
    VQ_FAKE_VALUE(bool, SyslogIfNotRegistered)
    VQ_FAKE_VALUE(int32_t, Codecs)
    VQ_FAKE_VALUE(int32_t, NumberOfLines)
    VQ_FAKE_VALUE(bool, HasAnalogLine)
    VQ_FAKE_VALUE(bool, SupportsConferences)
    VQ_FAKE_VALUE(bool, SendsSIPRegister)
    VQ_FAKE_VALUE(bool, UnsolicitedMWI)
    VQ_FAKE_VALUE(bool, SupportsEarlyMedia)
    VQ_FAKE_VALUE(bool, SupportsAssertedIdentity)
    VQ_FAKE_VALUE(TdpDeviceDisplayType, DisplayType)
    VQ_FAKE_VALUE(bool, SupportsPage)
    VQ_FAKE_VALUE(bool, SupportsIM)
    VQ_FAKE_VALUE(bool, PrefixExtCalls)
    VQ_FAKE_VALUE(bool, AllowLocationSpecOnPhone)
    VQ_FAKE_RECORD(TdpNameString, Name)
    VQ_FAKE_VALUE(bool, GetsStaticIP)
    VQ_FAKE_VALUE(bool, IsDHCPServer)
    VQ_FAKE_TEXT(CustomData)
    VQ_FAKE_VALUE(bool, SupportsSIPBasedUpdate)
    VQ_FAKE_VALUE(bool, IsDefault)
    VQ_FAKE_VALUE(int32_t, ExtraValue)
    VQ_FAKE_VALUE(bool, UpdateDevicesRequired)
    VQ_FAKE_VALUE(int32_t, FailoverNodeId)
    VQ_FAKE_TEXT(FailoverSIPIP)
    VQ_FAKE_VALUE(int32_t, FailoverSIPPort)

    TDPOptionList Options;
    void setOptions(const TDPOptionList &Value) override {
        Setters.emplace_back("Options");
        Options.Assign(Value);
    }
    void FillOptions(TDPOptionList &Value) override { Value.Assign(Options); }
};

// A host device: the 14 fields it shares with the plug-in and the three it
// keeps to itself.
class TFakeDevice final : public TFakeHostObject<IDevice> {
public:
    VQ_FAKE_VALUE(int64_t, DeviceID)
    VQ_FAKE_VALUE(TdpProtocolType, Protocol)
    VQ_FAKE_VALUE(int64_t, ProfileID)
    VQ_FAKE_RECORD(TdpNameString, UniqueID)
    VQ_FAKE_RECORD(TdpNameString, ProxyPassword)
    VQ_FAKE_RECORD(TIPAddressRec, AssignedIP)
    VQ_FAKE_VALUE(int32_t, AssignedPort)
    VQ_FAKE_TEXT(AssignedContact)
    VQ_FAKE_RECORD(TdpMACAddress, MacAddress)
    VQ_FAKE_VALUE(int64_t, NormalLocationID)
    VQ_FAKE_RECORD(TIPAddressRec, DHCP_SRV_Start_IP)
    VQ_FAKE_RECORD(TIPAddressRec, DHCP_SRV_End_IP)
    VQ_FAKE_TEXT(CustomData)
    VQ_FAKE_VALUE(int32_t, Unused1)
    VQ_FAKE_VALUE(int32_t, Unused2)
    VQ_FAKE_VALUE(int32_t, Unused3)

    std::u16string Greeting;
    PUnicodeStringRef getGreeting() override { return HandOut(Greeting); }
    void setGreeting(const char16_t *Value) override { Set("Greeting", Greeting, std::u16string(Value)); }
};

#undef VQ_FAKE_TEXT
#undef VQ_FAKE_RECORD
#undef VQ_FAKE_VALUE
#undef VQ_FAKE_FIELD

// The host's list of profiles; the items are lent, as the host lends them.
class TFakeProfileList final : public TFakeHostObject<IDeviceProfileList> {
public:
    int32_t getCount() override { return int32_t(Items.size()); }
    IDeviceProfile *getItem(int32_t Index) override {
        return Index >= 0 && std::size_t(Index) < Items.size() ? Items[std::size_t(Index)] : nullptr;
    }

    std::vector<TFakeProfile *> Items;
};

// Host services and frame container. GetValue answers the ids in Values, the
// text ids in Texts, id 21 (a node's SIP address) from NodeAddresses and id 1
// from StartNumbers; everything else is not answered. What a frame tells the
// container is kept in Heard, one line a call: "modified true", "conflict
// none", "conflict error: <message>", with " (input)" after the level for an
// input error.
class TFakeServant final : public TFakeHostObject<IPluginFrameContainer> {
public:
    bool GetValue(int32_t Id, uintptr_t Param, uintptr_t &Value) override;
    void SetModified(bool Modified) override;
    void ShowConflict(TConflictLevel Level, bool IsExternal, const char *Message) override;

    std::vector<std::string> Heard;

    // A system with a redundant pair: the node proposed as failover node, the
    // node being administered, and the SIP address of each node.
    void SetRedundancy(int32_t ProposedNode, int32_t CurrentNode, std::map<int32_t, AnsiString> Addresses);

    std::map<int32_t, uintptr_t> Values;
    std::map<int32_t, AnsiString> Texts;
    // The first free start number (id 1) of each device ID prefix the host knows.
    std::map<std::u16string, int32_t> StartNumbers;
    std::map<int32_t, AnsiString> NodeAddresses;
};

// An IPv4 record from dotted text.
TIPAddressRec IPv4Rec(const char *Dotted);

// The message of the assertion failure that Call raises, or "no assertion".
std::string AssertionOf(const std::function<void()> &Call);
