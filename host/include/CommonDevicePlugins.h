#pragma once
// The contract between the host and a device plug-in: the shared value types
// and every interface either side calls, with its GUID and its operations in
// slot order. The host and the plug-in both include this header.

#include "CommonPlugins.h"
#include "IPC_ResidentDeviceCommon_Types.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <vector>

class QWidget;
class TDPOptionList;
class TVQConfigChangeList;
enum TVQConfigParameter : uint8_t;

// ---- shared value types -----------------------------------------------------

// 8-bit text with a length byte and at most N characters; longer values are cut
// when copied in.
template <int N>
struct TShortString {
    uint8_t Length = 0;
    char Chars[N] = {};

    static TShortString From(const AnsiString &text) {
        TShortString s;
        s.Length = uint8_t(std::min<std::size_t>(text.size(), N));
        std::copy_n(text.data(), s.Length, s.Chars);
        return s;
    }
    static TShortString From(const QString &text) { return From(ToAnsi(text)); }
    AnsiString Ansi() const { return AnsiString(Chars, Length); }
    QString Text() const { return FromAnsi(Chars, Length); }
    friend bool operator==(const TShortString &a, const TShortString &b) { return a.Ansi() == b.Ansi(); }
};
using TdpNameString = TShortString<31>;
using TdpURIString = TShortString<255>;
static_assert(sizeof(TdpNameString) == 32 && sizeof(TdpURIString) == 256);

struct TdpMACAddress {
    uint8_t mac[6];
    friend constexpr bool operator==(const TdpMACAddress &, const TdpMACAddress &) = default;
};
static_assert(sizeof(TdpMACAddress) == 6);

enum TdpProtocolType : uint8_t { ptNotSet, ptAnalog, ptSIP, ptClientUI, ptDebug };
enum TdpDeviceDisplayType : uint8_t { devdtNone, devdtDigitsOnly, devdtAlphanum };

// 16-bit set of TPluginFrameFlag.
enum TPluginFrameFlag : uint16_t { pffCreating, pffReadOnly, pffRange, pffDebug };
class TPluginFrameFlags {
public:
    constexpr TPluginFrameFlags() = default;
    constexpr TPluginFrameFlags(std::initializer_list<TPluginFrameFlag> flags) {
        for (auto f : flags)
            FBits = uint16_t(FBits | 1u << f);
    }
    static constexpr TPluginFrameFlags FromBits(uint16_t bits) { TPluginFrameFlags f; f.FBits = bits; return f; }
    constexpr bool Contains(TPluginFrameFlag f) const { return FBits & (1u << f); }
    constexpr uint16_t Bits() const { return FBits; }
    friend constexpr bool operator==(TPluginFrameFlags, TPluginFrameFlags) = default;

private:
    uint16_t FBits = 0;
};
static_assert(sizeof(TPluginFrameFlags) == 2);

enum TConflictLevel : uint8_t { clvNone = 0, clvWarning = 1, clvError = 2 };

// Opaque to the host; carries a prepared profile proxy.
using TProfileHandle = uintptr_t;

enum TConfigFileOperation : uint8_t { cfoUpload = 0, cfoRemove = 1 };
struct TConfigFile {
    QString FileName;
    TConfigFileOperation Operation = cfoUpload;
    QString Content;
};
using TConfigFileArray = std::vector<TConfigFile>;
using TFileNamesArray = std::vector<QString>;

struct TPedHierInfo {
    QString Pedigree;
    QString DevType;
    int32_t SortOrder = 0;
};

// ---- interfaces -------------------------------------------------------------

struct IPluginManager : IBaseInterface {
    static constexpr TGUID IID{0x06D9F431, 0x761A, 0x40F3, {0x98, 0x70, 0x50, 0x06, 0x66, 0xBB, 0xA1, 0x89}};
    virtual int32_t HostReserved() = 0; // slot 5: the host's own; plug-ins never call it

protected:
    ~IPluginManager() = default;
};

struct IDevicePluginModule;

struct IPlugin : IBaseInterface {
    static constexpr TGUID IID{0x0572FC4E, 0xD5B1, 0x4BD0, {0xA2, 0x43, 0xF3, 0xC4, 0xB0, 0x47, 0x0A, 0x5D}};
    virtual bool Initialize(IPluginManager *Manager) = 0;                                      // 5
    virtual void Finalize() = 0;                                                               // 6
    virtual bool PerformMessage(uint32_t aMessage, uintptr_t aParams, uintptr_t &aOutput) = 0; // 7
    virtual PAnsiStringRef getDescription() = 0;                                               // 8
    virtual bool getInitialized() = 0;                                                         // 9
    virtual IPluginManager *getManager() = 0;                                                  // 10: a counted copy
    virtual PAnsiStringRef getPluginID() = 0;                                                  // 11
    virtual PAnsiStringRef getPluginType() = 0;                                                // 12

protected:
    ~IPlugin() = default;
};

struct IDevicePlugin : IPlugin {
    static constexpr TGUID IID = GuidFromAscii("$VQAdm$$DPlg----");
    virtual int32_t getModulesCount() = 0;                  // 13
    virtual IDevicePluginModule *getModule(int32_t Index) = 0; // 14

protected:
    ~IDevicePlugin() = default;
};

// Host services. Text values come back as an 8-bit reference in Value, to be
// returned through this object's FreeStr.
struct IDevicePluginServant : IBaseInterface {
    static constexpr TGUID IID = GuidFromAscii("$VQAdm$$PlgFrCnp");
    virtual bool GetValue(int32_t Id, uintptr_t Param, uintptr_t &Value) = 0; // 5

protected:
    ~IDevicePluginServant() = default;
};

// The ids GetValue answers.
enum TServantValueId : int32_t {
    svFirstFreeStartNumber = 1, // Param: address of a PUnicodeStringRef holding a device ID prefix
    svSIPAddress = 4,           // IPv4 address as an unsigned 32-bit number
    svSIPPort = 5,
    svDomainName = 6,           // text
    svEditRights = 17,          // 1 means yes
    svNodeSIPAddress = 21,      // Param: node; text
    svProposedFailoverNode = 22,
    svCurrentNode = 23,
    svRedundant = 24,           // 1 means yes
};

struct IPluginFrameContainer : IDevicePluginServant {
    static constexpr TGUID IID = GuidFromAscii("$VQAdm$$PlgFrCnt");
    virtual void SetModified(bool Modified) = 0;                                           // 6
    virtual void ShowConflict(TConflictLevel Level, bool IsExternal, const char *Message) = 0; // 7

protected:
    ~IPluginFrameContainer() = default;
};

// A profile in the host's database: 27 getters, 27 setters in the same order,
// then the option-list setter and filler. Text getters follow the hand-off rule.
struct IDeviceProfile : IBaseInterface {
    static constexpr TGUID IID = GuidFromAscii("$VQAdm$$DProf---");
    virtual int64_t getProfileID() = 0;
    virtual TdpNameString getDeviceType() = 0;
    virtual bool getSyslogIfNotRegistered() = 0;
    virtual int32_t getCodecs() = 0;
    virtual int32_t getNumberOfLines() = 0;
    virtual bool getHasAnalogLine() = 0;
    virtual bool getSupportsConferences() = 0;
    virtual bool getSendsSIPRegister() = 0;
    virtual bool getUnsolicitedMWI() = 0;
    virtual bool getSupportsEarlyMedia() = 0;
    virtual bool getSupportsAssertedIdentity() = 0;
    virtual TdpDeviceDisplayType getDisplayType() = 0;
    virtual bool getSupportsPage() = 0;
    virtual bool getSupportsIM() = 0;
    virtual bool getPrefixExtCalls() = 0;
    virtual bool getAllowLocationSpecOnPhone() = 0;
    virtual TdpNameString getName() = 0;
    virtual bool getGetsStaticIP() = 0;
    virtual bool getIsDHCPServer() = 0;
    virtual PAnsiStringRef getCustomData() = 0;
    virtual bool getSupportsSIPBasedUpdate() = 0;
    virtual bool getIsDefault() = 0;
    virtual int32_t getExtraValue() = 0;
    virtual bool getUpdateDevicesRequired() = 0;
    virtual int32_t getFailoverNodeId() = 0;
    virtual PAnsiStringRef getFailoverSIPIP() = 0;
    virtual int32_t getFailoverSIPPort() = 0;

    virtual void setProfileID(int64_t Value) = 0;
    virtual void setDeviceType(const TdpNameString &Value) = 0;
    virtual void setSyslogIfNotRegistered(bool Value) = 0;
    virtual void setCodecs(int32_t Value) = 0;
    virtual void setNumberOfLines(int32_t Value) = 0;
    virtual void setHasAnalogLine(bool Value) = 0;
    virtual void setSupportsConferences(bool Value) = 0;
    virtual void setSendsSIPRegister(bool Value) = 0;
    virtual void setUnsolicitedMWI(bool Value) = 0;
    virtual void setSupportsEarlyMedia(bool Value) = 0;
    virtual void setSupportsAssertedIdentity(bool Value) = 0;
    virtual void setDisplayType(TdpDeviceDisplayType Value) = 0;
    virtual void setSupportsPage(bool Value) = 0;
    virtual void setSupportsIM(bool Value) = 0;
    virtual void setPrefixExtCalls(bool Value) = 0;
    virtual void setAllowLocationSpecOnPhone(bool Value) = 0;
    virtual void setName(const TdpNameString &Value) = 0;
    virtual void setGetsStaticIP(bool Value) = 0;
    virtual void setIsDHCPServer(bool Value) = 0;
    virtual void setCustomData(const char *Value) = 0;
    virtual void setSupportsSIPBasedUpdate(bool Value) = 0;
    virtual void setIsDefault(bool Value) = 0;
    virtual void setExtraValue(int32_t Value) = 0;
    virtual void setUpdateDevicesRequired(bool Value) = 0;
    virtual void setFailoverNodeId(int32_t Value) = 0;
    virtual void setFailoverSIPIP(const char *Value) = 0;
    virtual void setFailoverSIPPort(int32_t Value) = 0;

    virtual void setOptions(const TDPOptionList &Options) = 0; // the host reads the list
    virtual void FillOptions(TDPOptionList &Options) = 0;      // the host fills the list

protected:
    ~IDeviceProfile() = default;
};

struct IDeviceProfileList : IBaseInterface {
    static constexpr TGUID IID = GuidFromAscii("$VQAdm$$DProfLst");
    virtual int32_t getCount() = 0;                   // 5
    virtual IDeviceProfile *getItem(int32_t Index) = 0; // 6

protected:
    ~IDeviceProfileList() = default;
};

// A device in the host's database: 14 getters, 3 the plug-in does not use,
// 14 setters in the same order, 3 it does not use.
struct IDevice : IBaseInterface {
    static constexpr TGUID IID = GuidFromAscii("$VQAdm$$Device--");
    virtual int64_t getDeviceID() = 0;
    virtual TdpProtocolType getProtocol() = 0;
    virtual int64_t getProfileID() = 0;
    virtual TdpNameString getUniqueID() = 0;
    virtual TdpNameString getProxyPassword() = 0;
    virtual TIPAddressRec getAssignedIP() = 0;
    virtual int32_t getAssignedPort() = 0;
    virtual PAnsiStringRef getAssignedContact() = 0;
    virtual TdpMACAddress getMacAddress() = 0;
    virtual int64_t getNormalLocationID() = 0;
    virtual TIPAddressRec getDHCP_SRV_Start_IP() = 0;
    virtual TIPAddressRec getDHCP_SRV_End_IP() = 0;
    virtual PUnicodeStringRef getGreeting() = 0;
    virtual PAnsiStringRef getCustomData() = 0;
    virtual int32_t getUnused1() = 0;
    virtual int32_t getUnused2() = 0;
    virtual int32_t getUnused3() = 0;

    virtual void setDeviceID(int64_t Value) = 0;
    virtual void setProtocol(TdpProtocolType Value) = 0;
    virtual void setProfileID(int64_t Value) = 0;
    virtual void setUniqueID(const TdpNameString &Value) = 0;
    virtual void setProxyPassword(const TdpNameString &Value) = 0;
    virtual void setAssignedIP(const TIPAddressRec &Value) = 0;
    virtual void setAssignedPort(int32_t Value) = 0;
    virtual void setAssignedContact(const char *Value) = 0;
    virtual void setMacAddress(const TdpMACAddress &Value) = 0;
    virtual void setNormalLocationID(int64_t Value) = 0;
    virtual void setDHCP_SRV_Start_IP(const TIPAddressRec &Value) = 0;
    virtual void setDHCP_SRV_End_IP(const TIPAddressRec &Value) = 0;
    virtual void setGreeting(const char16_t *Value) = 0;
    virtual void setCustomData(const char *Value) = 0;
    virtual void setUnused1(int32_t Value) = 0;
    virtual void setUnused2(int32_t Value) = 0;
    virtual void setUnused3(int32_t Value) = 0;

protected:
    ~IDevice() = default;
};

// The module through which the host does all model work. Frames are toolkit
// widgets that the host embeds; it gives each back through FreeFrame.
struct IDevicePluginModule : IBaseInterface {
    static constexpr TGUID IID = GuidFromAscii("$VQAdm$$DPlgMod-");
    virtual QWidget *CreateDeviceFrame(IPluginFrameContainer *Container) = 0;  // 5
    virtual QWidget *CreateProfileFrame(IPluginFrameContainer *Container) = 0; // 6
    virtual void FreeFrame(QWidget *&PluginFrame) = 0;                         // 7
    virtual TConflictLevel ValidateProfile(IDeviceProfile *Profile, IDevicePluginServant *Servant,
                                           PAnsiStringRef &Message) = 0; // 8
    virtual bool UpdateVQConfigInProfile(IDeviceProfile *Profile, IDevicePluginServant *Servant,
                                         TVQConfigChangeList *ChangeList) = 0; // 9
    virtual bool IsConfigParameterInUse(IDeviceProfile *Profile, IDevicePluginServant *Servant,
                                        TVQConfigParameter AParameterType, const char *AValue,
                                        uint32_t AData) = 0;                                       // 10
    virtual bool UpdateDefaultProfile(IDeviceProfile *AProfile, IDevicePluginServant *AServant) = 0; // 11
    virtual bool SetScreenName(IDevice *ADevice, IDeviceProfile *AProfile, IDevicePluginServant *AServant,
                               const char16_t *AScreenName) = 0; // 12
    virtual TConflictLevel ValidateDevice(IDevice *Device, IDeviceProfile *Profile, IDevicePluginServant *Servant,
                                          PAnsiStringRef &Message) = 0; // 13
    virtual TConflictLevel ValidateDevice(IDevice *Device, TProfileHandle ProfileHandle,
                                          IDevicePluginServant *Servant, PAnsiStringRef &Message) = 0; // 14
    virtual TProfileHandle ValidateDevice_PrepareProfile(IDeviceProfile *Profile, IDevicePluginServant *Servant) = 0; // 15
    virtual void ValidateDevice_FreePreparedProfile(TProfileHandle ProfileHandle) = 0;                            // 16
    virtual void UpdateProfileConfigFiles(IDeviceProfile *Profile, IDevicePluginServant *Servant,
                                          TConfigFileArray &Files) = 0; // 17
    virtual void UpdateDeviceConfigFiles(IDevice *Device, IDeviceProfile *Profile, IDevicePluginServant *Servant,
                                         TConfigFileArray &Files) = 0; // 18
    virtual void GetProfileConfigFileNames(IDeviceProfile *Profile, IDevicePluginServant *Servant,
                                           TFileNamesArray &Files) = 0; // 19
    virtual void GetDeviceConfigFileNames(IDevice *Device, IDeviceProfile *Profile, IDevicePluginServant *Servant,
                                          TFileNamesArray &Files) = 0; // 20
    virtual TdpNameString getDeviceType() = 0;          // 21
    virtual bool getFeature(uint32_t FeatureIndex) = 0; // 22
    virtual PAnsiStringRef getPedigree() = 0;           // 23
    virtual int32_t getSortOrder() = 0;                 // 24
    virtual IDevicePlugin *getPlugin() = 0;             // 25

protected:
    ~IDevicePluginModule() = default;
};

// ---- editing frames ---------------------------------------------------------
// CreateDeviceFrame and CreateProfileFrame hand the host a widget to embed; the
// widget carries the frame's interfaces, which the host reaches with
// qobject_cast<IPluginFrame *>(widget) and then QueryAs (FrameInterface below).

struct IPluginFrame : IBaseInterface {
    static constexpr TGUID IID = GuidFromAscii("$VQAdm$$DPlgFrm-");
    virtual bool ApplyChanges(bool Force) = 0;                                    // 5
    // Result is pointer-sized: request 4 returns a string reference in it.
    virtual bool ProcessRequest(int32_t Code, uintptr_t Data, intptr_t &Result) = 0; // 6
    virtual bool IsDisplaying() = 0;                                              // 7
    virtual void GetModule(IDevicePluginModule *&Module) = 0;                     // 8: a counted copy

protected:
    ~IPluginFrame() = default;
};

// Request codes of ProcessRequest.
enum TPluginFrameRequest : int32_t {
    frqStartNumber = 1,  // device frame, range mode: Result is the start number shown
    frqProfileName = 3,  // profile frame: Data is a PAnsiStringRef with the profile's new name
    frqGetPagePath = 4,  // profile frame: Result is a new PAnsiStringRef with the open page's path
    frqSetPagePath = 5,  // profile frame: Data is a PAnsiStringRef with a page path to open
};

struct IPluginProfileFrame : IPluginFrame {
    static constexpr TGUID IID = GuidFromAscii("$VQAdm$$DPlgFrm/");
    virtual bool ShowProfile(IDeviceProfile *Profile, TPluginFrameFlags Flags) = 0; // 9
    virtual void HideProfile() = 0;                                                 // 10

protected:
    ~IPluginProfileFrame() = default;
};

struct IPluginDeviceFrame : IPluginFrame {
    static constexpr TGUID IID = GuidFromAscii("$VQAdm$$DPlgFrm.");
    virtual bool ShowDevice(IDevice *Device, IDeviceProfileList *Profiles, TPluginFrameFlags Flags) = 0; // 9
    virtual void HideDevice() = 0;                                                                      // 10

protected:
    ~IPluginDeviceFrame() = default;
};

// ---- the library's exports ---------------------------------------------------
// A plug-in library exports exactly these two C functions. CreatePlugin hands
// out the plug-in object itself, which the host treats as opaque: the object
// begins with its IPlugin interface, so PluginInterface reaches it without
// knowing the object's class.

class TPlugin;
using TCreatePluginFunc = TPlugin *(*)();
using TDestroyPluginFunc = bool (*)(TPlugin *);

inline IPlugin *PluginInterface(TPlugin *Plugin) { return reinterpret_cast<IPlugin *>(Plugin); }

// Asks an interface for another; null when the object does not implement it.
template <class I>
I *QueryAs(IInterface *obj) {
    void *p = nullptr;
    return obj && obj->QueryInterface(I::IID, &p) == S_OK ? static_cast<I *>(p) : nullptr;
}

Q_DECLARE_INTERFACE(IPluginFrame, "VQAdm.IPluginFrame")

// The frame interface I of a widget that CreateDeviceFrame or
// CreateProfileFrame returned; null for any other widget.
template <class I>
I *FrameInterface(QObject *frame) {
    return QueryAs<I>(qobject_cast<IPluginFrame *>(frame));
}
