#pragma once
// The host's configuration records: the phone system's values that the
// servant answers, and one record per profile and per device holding every
// host field the plug-in copies. The field tables name each field as the
// plug-in's proxies do; the database and the site file are written from them.

#include "CommonDevicePlugins.h"
#include "CustomDataSchema.h"
#include "IPAddressRec.h"
#include "MACAddressUtils.h"

#include <QMap>
#include <QString>
#include <QVariant>

#include <optional>
#include <variant>
#include <vector>

constexpr int32_t MinPort = 1;
constexpr int32_t MaxPort = 65535;

// The phone system's values; an absent one is not answered.
struct TSystemValues {
    std::optional<uint32_t> SIPAddress; // IPv4, first octet most significant
    std::optional<int32_t> SIPPort;     // MinPort..MaxPort
    std::optional<QString> Domain;
    std::optional<bool> EditRights;
    std::optional<bool> Redundant;
    std::optional<int32_t> ProposedFailoverNode;
    std::optional<int32_t> CurrentNode;
    QMap<int32_t, QString> NodeAddresses; // node -> SIP address

    friend bool operator==(const TSystemValues &, const TSystemValues &) = default;
};

// 8-bit texts are kept as the UTF-16 they stand for; names hold at most 31 characters.
struct TProfileRecord {
    int64_t ProfileID = 0;
    QString DeviceType;
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
    QString Name;
    bool GetsStaticIP = false;
    bool IsDHCPServer = false;
    QString CustomData;
    bool SupportsSIPBasedUpdate = false;
    bool IsDefault = false;
    int32_t ExtraValue = 0;
    bool UpdateDevicesRequired = false;
    int32_t FailoverNodeId = 0;
    QString FailoverSIPIP;
    int32_t FailoverSIPPort = 0;
    // The host's option record; entries 0 .. len-1 are in use.
    TSIPDevice_Profile_Option_List Options{};
    // The row's revision in the database, which every write counts up; 0
    // for a record not stored. Not a host field.
    int64_t Revision = 0;
};

struct TDeviceRecord {
    int64_t DeviceID = 0;
    TdpProtocolType Protocol = ptNotSet;
    int64_t ProfileID = 0; // 0: no profile
    QString UniqueID;
    QString ProxyPassword;
    TIPAddressRec AssignedIP{};
    int32_t AssignedPort = 0;
    QString AssignedContact;
    TdpMACAddress MacAddress{};
    int64_t NormalLocationID = 0;
    TIPAddressRec DHCP_SRV_Start_IP{};
    TIPAddressRec DHCP_SRV_End_IP{};
    QString Greeting; // UTF-16, unlike the other texts
    QString CustomData;
    int64_t Revision = 0; // as the profile's
};

// The same entries in the same order.
bool SameOptions(const TSIPDevice_Profile_Option_List &A, const TSIPDevice_Profile_Option_List &B);

// A whole site: what import replaces and export writes.
struct TSite {
    TSystemValues System;
    std::vector<TProfileRecord> Profiles;
    std::vector<TDeviceRecord> Devices;
};

// ---- field tables -------------------------------------------------------------

// How a field's value travels in the database and the site file.
enum class TValueType { Boolean, Integer, Text };

enum class TTextKind {
    Name,    // 8-bit, at most 31 characters
    Ansi,    // 8-bit
    Unicode, // any UTF-16
};

template <class R>
using TFieldMember = std::variant<bool R::*, int32_t R::*, int64_t R::*, QString R::*, TdpDeviceDisplayType R::*,
                                  TdpProtocolType R::*, TIPAddressRec R::*, TdpMACAddress R::*>;

template <class R>
struct TRecordField {
    const char *Name;
    TFieldMember<R> Member;
    TTextKind Kind = TTextKind::Ansi; // for QString members
};

// Every host field in host order; the custom data and the options are kept apart.
const std::vector<TRecordField<TProfileRecord>> &ProfileFields();
const std::vector<TRecordField<TDeviceRecord>> &DeviceFields();

// The field of that name, or none.
template <class R>
const TRecordField<R> *FindField(const std::vector<TRecordField<R>> &Fields, const QString &Name) {
    for (const auto &f : Fields)
        if (Name == QLatin1String(f.Name))
            return &f;
    return nullptr;
}

template <class R>
TValueType ValueType(const TRecordField<R> &Field);
// The value as a bool, a qlonglong or a QString (enumerations by member name,
// addresses in their text forms).
template <class R>
QVariant GetFieldValue(const R &Record, const TRecordField<R> &Field);
// Stores a value of the field's ValueType; empty on success, otherwise why the
// value does not fit (and the record is unchanged).
template <class R>
QString SetFieldValue(R &Record, const TRecordField<R> &Field, const QVariant &Value);

// The model settings a profile's and a device's custom data hold, by path.
const TCustomDataSchema &ProfileSettings();
const TCustomDataSchema &DeviceSettings();

// ---- value texts ----------------------------------------------------------------

// Empty when the text can cross the boundary as 8-bit text; otherwise why not.
QString CheckAnsiText(const QString &Text);

// Only the full "00-01-E1-00-00-01" form, which MACToText writes; the empty
// address is six zero bytes.
std::optional<TdpMACAddress> ParseMACText(const QString &Text);

// An IPv4 address as a dotted quad, 0.0.0.0 included; reading it as strictly
// as ParseIPText does.
QString IPv4Text(uint32_t IP);
std::optional<uint32_t> ParseIPv4Text(const QString &Text);

// Option tags by name ("POT_SilenceSuppression"); POT_Invalid has no name here.
QString OptionTagName(TSIPDevice_Profile_Option_Tag Tag);
std::optional<TSIPDevice_Profile_Option_Tag> OptionTagFromName(const QString &Name);
