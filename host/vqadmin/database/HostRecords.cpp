#include "HostRecords.h"

#include "Lyn2_Schema.h"


#include <array>
#include <limits>

namespace {

constexpr std::array<const char *, 5> ProtocolNames = {"ptNotSet", "ptAnalog", "ptSIP", "ptClientUI", "ptDebug"};
constexpr std::array<const char *, 3> DisplayTypeNames = {"devdtNone", "devdtDigitsOnly", "devdtAlphanum"};
constexpr std::array<const char *, 9> OptionTagNames = {
    nullptr,
    "POT_DistinctiveRingtones_Internal",
    "POT_DistinctiveRingtones_External",
    "POT_DistinctiveRingtones_Group",
    "POT_DistinctiveRingtones_Trasferred",
    "POT_displayToFrom",
    "POT_SilenceSuppression",
    "POT_AutoAnswerIntercomCalls",
    "POT_AutoAnswerType",
};

template <std::size_t N>
QString OneOf(const std::array<const char *, N> &names) {
    QStringList list;
    for (const char *n : names)
        list << QLatin1String(n);
    return QStringLiteral("expected one of ") + list.join(QStringLiteral(", "));
}

template <class E, std::size_t N>
QString SetEnum(E &member, const std::array<const char *, N> &names, const QString &text) {
    for (std::size_t i = 0; i < N; ++i)
        if (text == QLatin1String(names[i])) {
            member = E(i);
            return {};
        }
    return OneOf(names);
}

template <class I>
QString SetInteger(I &member, const QVariant &value) {
    const qlonglong v = value.toLongLong();
    if (v < std::numeric_limits<I>::min() || v > std::numeric_limits<I>::max())
        return QStringLiteral("out of range for a %1-bit integer").arg(sizeof(I) * 8);
    member = I(v);
    return {};
}

QString SetText(QString &member, TTextKind kind, const QString &text) {
    if (kind != TTextKind::Unicode) {
        if (QString why = CheckAnsiText(text); !why.isEmpty())
            return why;
        if (kind == TTextKind::Name && text.size() > 31)
            return QStringLiteral("longer than 31 characters");
    }
    member = text;
    return {};
}

// Dispatches on the member's type: what each kind of field reads and stores as.
template <class R>
struct TFieldAccess {
    const TRecordField<R> &Field;

    TValueType Type() const {
        return std::visit(
            [](auto m) {
                using T = std::remove_reference_t<decltype(std::declval<R &>().*m)>;
                if constexpr (std::is_same_v<T, bool>)
                    return TValueType::Boolean;
                else if constexpr (std::is_same_v<T, int32_t> || std::is_same_v<T, int64_t>)
                    return TValueType::Integer;
                else
                    return TValueType::Text;
            },
            Field.Member);
    }

    QVariant Get(const R &record) const {
        return std::visit(
            [&](auto m) -> QVariant {
                const auto &v = record.*m;
                using T = std::remove_cvref_t<decltype(v)>;
                if constexpr (std::is_same_v<T, bool>)
                    return v;
                else if constexpr (std::is_same_v<T, int32_t> || std::is_same_v<T, int64_t>)
                    return qlonglong(v);
                else if constexpr (std::is_same_v<T, QString>)
                    return v;
                else if constexpr (std::is_same_v<T, TdpDeviceDisplayType>)
                    return QString::fromLatin1(DisplayTypeNames.at(v));
                else if constexpr (std::is_same_v<T, TdpProtocolType>)
                    return QString::fromLatin1(ProtocolNames.at(v));
                else if constexpr (std::is_same_v<T, TIPAddressRec>)
                    return IPText(v);
                else
                    return MACToText(v);
            },
            Field.Member);
    }

    QString Set(R &record, const QVariant &value) const {
        return std::visit(
            [&](auto m) -> QString {
                auto &member = record.*m;
                using T = std::remove_reference_t<decltype(member)>;
                if constexpr (std::is_same_v<T, bool>) {
                    member = value.toBool();
                    return {};
                } else if constexpr (std::is_same_v<T, int32_t> || std::is_same_v<T, int64_t>) {
                    return SetInteger(member, value);
                } else if constexpr (std::is_same_v<T, QString>) {
                    return SetText(member, Field.Kind, value.toString());
                } else if constexpr (std::is_same_v<T, TdpDeviceDisplayType>) {
                    return SetEnum(member, DisplayTypeNames, value.toString());
                } else if constexpr (std::is_same_v<T, TdpProtocolType>) {
                    return SetEnum(member, ProtocolNames, value.toString());
                } else if constexpr (std::is_same_v<T, TIPAddressRec>) {
                    const std::optional<TIPAddressRec> ip = ParseIPText(value.toString());
                    if (!ip)
                        return QStringLiteral("not an IP address");
                    member = *ip;
                    return {};
                } else {
                    const std::optional<TdpMACAddress> mac = ParseMACText(value.toString());
                    if (!mac)
                        return QStringLiteral("not a MAC address like 00-01-E1-00-00-01");
                    member = *mac;
                    return {};
                }
            },
            Field.Member);
    }
};

} // namespace

const std::vector<TRecordField<TProfileRecord>> &ProfileFields() {
    using R = TProfileRecord;
    static const std::vector<TRecordField<R>> fields = {
        {"ProfileID", &R::ProfileID},
        {"DeviceType", &R::DeviceType, TTextKind::Name},
        {"SyslogIfNotRegistered", &R::SyslogIfNotRegistered},
        {"Codecs", &R::Codecs},
        {"NumberOfLines", &R::NumberOfLines},
        {"HasAnalogLine", &R::HasAnalogLine},
        {"SupportsConferences", &R::SupportsConferences},
        {"SendsSIPRegister", &R::SendsSIPRegister},
        {"UnsolicitedMWI", &R::UnsolicitedMWI},
        {"SupportsEarlyMedia", &R::SupportsEarlyMedia},
        {"SupportsAssertedIdentity", &R::SupportsAssertedIdentity},
        {"DisplayType", &R::DisplayType},
        {"SupportsPage", &R::SupportsPage},
        {"SupportsIM", &R::SupportsIM},
        {"PrefixExtCalls", &R::PrefixExtCalls},
        {"AllowLocationSpecOnPhone", &R::AllowLocationSpecOnPhone},
        {"Name", &R::Name, TTextKind::Name},
        {"GetsStaticIP", &R::GetsStaticIP},
        {"IsDHCPServer", &R::IsDHCPServer},
        {"SupportsSIPBasedUpdate", &R::SupportsSIPBasedUpdate},
        {"IsDefault", &R::IsDefault},
        {"ExtraValue", &R::ExtraValue},
        {"UpdateDevicesRequired", &R::UpdateDevicesRequired},
        {"FailoverNodeId", &R::FailoverNodeId},
        {"FailoverSIPIP", &R::FailoverSIPIP},
        {"FailoverSIPPort", &R::FailoverSIPPort},
    };
    return fields;
}

const std::vector<TRecordField<TDeviceRecord>> &DeviceFields() {
    using R = TDeviceRecord;
    static const std::vector<TRecordField<R>> fields = {
        {"DeviceID", &R::DeviceID},
        {"Protocol", &R::Protocol},
        {"ProfileID", &R::ProfileID},
        {"UniqueID", &R::UniqueID, TTextKind::Name},
        {"ProxyPassword", &R::ProxyPassword, TTextKind::Name},
        {"AssignedIP", &R::AssignedIP},
        {"AssignedPort", &R::AssignedPort},
        {"AssignedContact", &R::AssignedContact},
        {"MacAddress", &R::MacAddress},
        {"NormalLocationID", &R::NormalLocationID},
        {"DHCP_SRV_Start_IP", &R::DHCP_SRV_Start_IP},
        {"DHCP_SRV_End_IP", &R::DHCP_SRV_End_IP},
        {"Greeting", &R::Greeting, TTextKind::Unicode},
    };
    return fields;
}

template <class R>
TValueType ValueType(const TRecordField<R> &Field) {
    return TFieldAccess<R>{Field}.Type();
}

template <class R>
QVariant GetFieldValue(const R &Record, const TRecordField<R> &Field) {
    return TFieldAccess<R>{Field}.Get(Record);
}

template <class R>
QString SetFieldValue(R &Record, const TRecordField<R> &Field, const QVariant &Value) {
    return TFieldAccess<R>{Field}.Set(Record, Value);
}

template TValueType ValueType(const TRecordField<TProfileRecord> &);
template TValueType ValueType(const TRecordField<TDeviceRecord> &);
template QVariant GetFieldValue(const TProfileRecord &, const TRecordField<TProfileRecord> &);
template QVariant GetFieldValue(const TDeviceRecord &, const TRecordField<TDeviceRecord> &);
template QString SetFieldValue(TProfileRecord &, const TRecordField<TProfileRecord> &, const QVariant &);
template QString SetFieldValue(TDeviceRecord &, const TRecordField<TDeviceRecord> &, const QVariant &);

bool SameOptions(const TSIPDevice_Profile_Option_List &A, const TSIPDevice_Profile_Option_List &B) {
    return A.len == B.len && std::equal(A.list, A.list + A.len, B.list,
                                        [](const auto &a, const auto &b) { return a.tag == b.tag && a.value == b.value; });
}

const TCustomDataSchema &ProfileSettings() { return Lyn2Schema(); }

// Devices of this model keep no settings in their custom data.
const TCustomDataSchema &DeviceSettings() {
    static const TCustomDataSchema none({});
    return none;
}

QString CheckAnsiText(const QString &Text) {
    // Plain ASCII always fits, and most texts are.
    if (std::all_of(Text.begin(), Text.end(), [](QChar c) { return c.unicode() - 1u < 0x7Fu; }))
        return {};
    // The boundary's texts end at NUL, and the code page holds 256 characters.
    if (Text.contains(QChar(0)))
        return QStringLiteral("contains a NUL character");
    if (FromAnsi(ToAnsi(Text)) != Text)
        return QStringLiteral("holds a character outside Windows-1252");
    return {};
}

std::optional<TdpMACAddress> ParseMACText(const QString &Text) {
    // Six pairs of hex digits joined by hyphens, looked at character by
    // character: every device read passes here, and a regular expression's
    // match took a twentieth of an import.
    if (Text.size() != 17)
        return std::nullopt;
    for (qsizetype i = 0; i < Text.size(); ++i) {
        const char16_t c = Text[i].unicode();
        const bool hex = (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
        if (i % 3 == 2 ? c != u'-' : !hex)
            return std::nullopt;
    }
    return TextToMAC(Text);
}

QString IPv4Text(uint32_t IP) {
    TIPAddressRec rec{};
    rec.version = 4;
    rec.ip4 = IP;
    return IPText(rec);
}

std::optional<uint32_t> ParseIPv4Text(const QString &Text) {
    const std::optional<TIPAddressRec> rec = ParseIPText(Text);
    if (!rec || rec->version != 4)
        return std::nullopt;
    return rec->ip4;
}

QString OptionTagName(TSIPDevice_Profile_Option_Tag Tag) {
    return Tag > POT_Invalid && Tag < OptionTagNames.size() ? QString::fromLatin1(OptionTagNames[Tag]) : QString();
}

std::optional<TSIPDevice_Profile_Option_Tag> OptionTagFromName(const QString &Name) {
    for (std::size_t i = 1; i < OptionTagNames.size(); ++i)
        if (Name == QLatin1String(OptionTagNames[i]))
            return TSIPDevice_Profile_Option_Tag(i);
    return std::nullopt;
}
