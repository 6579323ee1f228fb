#include "SiteFile.h"

#include "Lyn2_Schema.h"
#include "ZDBDataTree.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <span>

namespace {

using TSchema = std::span<const TCustomDataPath>;

// Profiles keep the model's settings in their custom data; devices of this
// model keep none there.
constexpr TSchema ProfileSchema = Lyn2CustomDataPaths;
constexpr TSchema DeviceSchema = {};

[[noreturn]] void Refuse(const QString &place, const QString &why) {
    throw ESiteFile(place.isEmpty() ? why : place + QStringLiteral(": ") + why);
}

QString Member(const QString &place, const QString &key) {
    return place.isEmpty() ? key : place + QLatin1Char('.') + key;
}

QJsonObject ObjectAt(const QJsonValue &v, const QString &place) {
    if (!v.isObject())
        Refuse(place, QStringLiteral("expected an object"));
    return v.toObject();
}

QJsonArray ArrayAt(const QJsonValue &v, const QString &place) {
    if (!v.isArray())
        Refuse(place, QStringLiteral("expected an array"));
    return v.toArray();
}

QString StringAt(const QJsonValue &v, const QString &place) {
    if (!v.isString())
        Refuse(place, QStringLiteral("expected a string"));
    return v.toString();
}

QString AnsiStringAt(const QJsonValue &v, const QString &place) {
    const QString text = StringAt(v, place);
    if (const QString why = CheckAnsiText(text); !why.isEmpty())
        Refuse(place, why);
    return text;
}

bool BooleanAt(const QJsonValue &v, const QString &place) {
    if (!v.isBool())
        Refuse(place, QStringLiteral("expected a Boolean"));
    return v.toBool();
}

qint64 IntegerAt(const QJsonValue &v, const QString &place, qint64 min, qint64 max) {
    // toInteger answers 0 for a number that is not whole or does not fit 64 bits.
    const qint64 n = v.toInteger();
    if (!v.isDouble() || (n == 0 && v.toDouble() != 0))
        Refuse(place, QStringLiteral("expected an integer"));
    if (n < min || n > max)
        Refuse(place, QStringLiteral("out of range %1..%2").arg(min).arg(max));
    return n;
}

int32_t Int32At(const QJsonValue &v, const QString &place) {
    return int32_t(IntegerAt(v, place, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

void CheckKeys(const QJsonObject &o, const QString &place, std::initializer_list<const char *> known) {
    for (auto it = o.begin(); it != o.end(); ++it)
        if (std::none_of(known.begin(), known.end(), [&](const char *k) { return it.key() == QLatin1String(k); }))
            Refuse(Member(place, it.key()), QStringLiteral("unknown field"));
}

// ---- system values -------------------------------------------------------------

TSystemValues ReadSystem(const QJsonObject &o) {
    const QString place = QStringLiteral("system");
    CheckKeys(o, place, {"sipAddress", "sipPort", "domain", "editRights", "redundant", "proposedFailoverNode",
                         "currentNode", "nodeAddresses"});
    TSystemValues v;
    if (o.contains(QLatin1String("sipAddress"))) {
        const QString at = Member(place, QStringLiteral("sipAddress"));
        const std::optional<TIPAddressRec> ip = ParseIPText(StringAt(o[QLatin1String("sipAddress")], at));
        if (!ip || ip->version != 4)
            Refuse(at, QStringLiteral("not an IPv4 address"));
        v.SIPAddress = ip->ip4;
    }
    const auto integer = [&](const char *key, std::optional<int32_t> &out) {
        if (o.contains(QLatin1String(key)))
            out = Int32At(o[QLatin1String(key)], Member(place, QLatin1String(key)));
    };
    const auto boolean = [&](const char *key, std::optional<bool> &out) {
        if (o.contains(QLatin1String(key)))
            out = BooleanAt(o[QLatin1String(key)], Member(place, QLatin1String(key)));
    };
    integer("sipPort", v.SIPPort);
    if (o.contains(QLatin1String("domain")))
        v.Domain = AnsiStringAt(o[QLatin1String("domain")], Member(place, QStringLiteral("domain")));
    boolean("editRights", v.EditRights);
    boolean("redundant", v.Redundant);
    integer("proposedFailoverNode", v.ProposedFailoverNode);
    integer("currentNode", v.CurrentNode);
    if (o.contains(QLatin1String("nodeAddresses"))) {
        const QString at = Member(place, QStringLiteral("nodeAddresses"));
        const QJsonObject nodes = ObjectAt(o[QLatin1String("nodeAddresses")], at);
        for (auto it = nodes.begin(); it != nodes.end(); ++it) {
            bool ok = false;
            const int32_t node = it.key().toInt(&ok);
            if (!ok || it.key() != QString::number(node))
                Refuse(Member(at, it.key()), QStringLiteral("not a node number"));
            v.NodeAddresses.insert(node, AnsiStringAt(it.value(), Member(at, it.key())));
        }
    }
    return v;
}

QJsonObject WriteSystem(const TSystemValues &v) {
    QJsonObject o;
    if (v.SIPAddress)
        o[QLatin1String("sipAddress")] = IPText(IPRecFromIPv4(*v.SIPAddress));
    const auto put = [&](const char *key, const auto &value) {
        if (value)
            o[QLatin1String(key)] = *value;
    };
    put("sipPort", v.SIPPort);
    put("domain", v.Domain);
    put("editRights", v.EditRights);
    put("redundant", v.Redundant);
    put("proposedFailoverNode", v.ProposedFailoverNode);
    put("currentNode", v.CurrentNode);
    if (!v.NodeAddresses.isEmpty()) {
        QJsonObject nodes;
        for (auto it = v.NodeAddresses.begin(); it != v.NodeAddresses.end(); ++it)
            nodes[QString::number(it.key())] = it.value();
        o[QLatin1String("nodeAddresses")] = nodes;
    }
    return o;
}

// ---- fields ----------------------------------------------------------------------

// Fields the file gives elsewhere: a profile's name, a device's profile.
template <class R>
void ReadFields(R &record, const std::vector<TRecordField<R>> &table, const QJsonObject &fields, const QString &place,
                const char *givenElsewhere, const QString &hint) {
    for (auto it = fields.begin(); it != fields.end(); ++it) {
        const QString at = Member(place, it.key());
        const TRecordField<R> *field = FindField(table, it.key());
        if (!field)
            Refuse(at, QStringLiteral("unknown field"));
        if (it.key() == QLatin1String(givenElsewhere))
            Refuse(at, QStringLiteral("unknown field (%1)").arg(hint));
        QVariant value;
        switch (ValueType(*field)) {
        case TValueType::Boolean:
            value = BooleanAt(*it, at);
            break;
        case TValueType::Integer:
            value = IntegerAt(*it, at, std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max());
            break;
        case TValueType::Text:
            value = StringAt(*it, at);
            break;
        }
        if (const QString why = SetFieldValue(record, *field, value); !why.isEmpty())
            Refuse(at, why);
    }
}

template <class R>
QJsonObject WriteFields(const R &record, const std::vector<TRecordField<R>> &table, const char *givenElsewhere) {
    QJsonObject o;
    for (const auto &f : table)
        if (qstrcmp(f.Name, givenElsewhere) != 0)
            o[QLatin1String(f.Name)] = QJsonValue::fromVariant(GetFieldValue(record, f));
    return o;
}

// ---- custom data -----------------------------------------------------------------

// The custom-data text holding the settings, written in schema order.
QString SettingsToCustomData(const QJsonObject &settings, TSchema schema, const QString &place) {
    for (auto it = settings.begin(); it != settings.end(); ++it)
        if (std::none_of(schema.begin(), schema.end(), [&](const auto &p) { return it.key() == QLatin1String(p.Path); }))
            Refuse(Member(place, it.key()), QStringLiteral("unknown path"));
    const std::unique_ptr<TZDBDataTree> tree = TZDBDataTree::CreateNew(QString());
    for (const TCustomDataPath &path : schema) {
        const QString key = QLatin1String(path.Path);
        if (!settings.contains(key))
            continue;
        const QString at = Member(place, key);
        const QJsonValue value = settings[key];
        TZDBDataValue *node = tree->Root();
        for (const QString &name : key.split(QLatin1Char('/')))
            node = node->Fields(name);
        switch (path.Kind) {
        case TCustomDataKind::Text:
            node->setAsString(AnsiStringAt(value, at));
            break;
        case TCustomDataKind::Integer:
            node->setAsInt(Int32At(value, at));
            break;
        case TCustomDataKind::Unsigned:
            node->setAsCardinal(uint32_t(IntegerAt(value, at, 0, std::numeric_limits<uint32_t>::max())));
            break;
        case TCustomDataKind::Boolean:
            node->setAsBool(BooleanAt(value, at));
            break;
        }
    }
    return tree->ToString();
}

QString ReadCustomData(const QJsonObject &o, TSchema schema, const QString &place) {
    const bool hasSettings = o.contains(QLatin1String("settings"));
    if (hasSettings && o.contains(QLatin1String("customData")))
        Refuse(Member(place, QStringLiteral("customData")), QStringLiteral("give either settings or customData"));
    if (hasSettings) {
        const QString at = Member(place, QStringLiteral("settings"));
        return SettingsToCustomData(ObjectAt(o[QLatin1String("settings")], at), schema, at);
    }
    if (o.contains(QLatin1String("customData")))
        return AnsiStringAt(o[QLatin1String("customData")], Member(place, QStringLiteral("customData")));
    return {};
}

// Settings when they give back exactly this text, the raw text otherwise.
void WriteCustomData(QJsonObject &o, const QString &text, TSchema schema) {
    if (const std::unique_ptr<TZDBDataTree> tree = TZDBDataTree::CreateNew(text)) {
        QJsonObject settings;
        for (const TCustomDataPath &path : schema) {
            TZDBDataValue *node = tree->Root();
            for (const QString &name : QString::fromLatin1(path.Path).split(QLatin1Char('/'))) {
                node = node->HasField(name) ? node->Fields(name) : nullptr;
                if (!node)
                    break;
            }
            if (!node)
                continue;
            QJsonValue value;
            switch (path.Kind) {
            case TCustomDataKind::Text:
                value = node->asString();
                break;
            case TCustomDataKind::Integer:
                value = node->asInt();
                break;
            case TCustomDataKind::Unsigned:
                value = qint64(node->asCardinal());
                break;
            case TCustomDataKind::Boolean:
                value = node->asBool();
                break;
            }
            settings.insert(QLatin1String(path.Path), value);
        }
        if (SettingsToCustomData(settings, schema, QString()) == text) {
            o[QLatin1String("settings")] = settings;
            return;
        }
    }
    o[QLatin1String("customData")] = text;
}

// ---- profiles and devices --------------------------------------------------------

// Given IDs are kept; the others take the next free number in file order.
template <class R>
void AssignIDs(std::vector<R> &records, int64_t R::*id, const QSet<int64_t> &given) {
    int64_t next = 1;
    for (R &r : records)
        if (r.*id == 0) {
            while (given.contains(next))
                ++next;
            r.*id = next++;
        }
}

// Reads a record's key when the file gives it: positive and not given twice.
void ReadID(const QJsonObject &fields, const char *key, const QString &place, QSet<int64_t> &given) {
    if (!fields.contains(QLatin1String(key)))
        return;
    const QString at = Member(place, QLatin1String(key));
    const int64_t id = IntegerAt(fields[QLatin1String(key)], at, 1, std::numeric_limits<qint64>::max());
    if (given.contains(id))
        Refuse(at, QStringLiteral("%1 %2 is given twice").arg(QLatin1String(key)).arg(id));
    given.insert(id);
}

std::vector<TProfileRecord> ReadProfiles(const QJsonArray &array, QHash<QString, qsizetype> &byName) {
    std::vector<TProfileRecord> profiles;
    QSet<int64_t> given;
    for (qsizetype i = 0; i < array.size(); ++i) {
        const QString place = QStringLiteral("profiles[%1]").arg(i);
        const QJsonObject o = ObjectAt(array[i], place);
        CheckKeys(o, place, {"name", "fields", "settings", "customData", "options"});
        TProfileRecord p;
        const QString nameAt = Member(place, QStringLiteral("name"));
        if (!o.contains(QLatin1String("name")))
            Refuse(nameAt, QStringLiteral("missing"));
        const QString name = StringAt(o[QLatin1String("name")], nameAt);
        if (name.isEmpty())
            Refuse(nameAt, QStringLiteral("empty"));
        if (byName.contains(name))
            Refuse(nameAt, QStringLiteral("profile \"%1\" is given twice").arg(name));
        if (const QString why = SetFieldValue(p, *FindField(ProfileFields(), QStringLiteral("Name")), name); !why.isEmpty())
            Refuse(nameAt, why);
        byName.insert(name, i);
        if (o.contains(QLatin1String("fields"))) {
            const QString at = Member(place, QStringLiteral("fields"));
            const QJsonObject fields = ObjectAt(o[QLatin1String("fields")], at);
            ReadID(fields, "ProfileID", at, given);
            ReadFields(p, ProfileFields(), fields, at, "Name", QStringLiteral("the profile's name is \"name\""));
        }
        p.CustomData = ReadCustomData(o, ProfileSchema, place);
        if (o.contains(QLatin1String("options"))) {
            const QString at = Member(place, QStringLiteral("options"));
            const QJsonObject options = ObjectAt(o[QLatin1String("options")], at);
            for (auto it = options.begin(); it != options.end(); ++it) {
                const std::optional<TSIPDevice_Profile_Option_Tag> tag = OptionTagFromName(it.key());
                if (!tag)
                    Refuse(Member(at, it.key()), QStringLiteral("unknown option"));
                p.Options.list[p.Options.len++] = {*tag, Int32At(*it, Member(at, it.key()))};
            }
        }
        profiles.push_back(std::move(p));
    }
    AssignIDs(profiles, &TProfileRecord::ProfileID, given);
    return profiles;
}

std::vector<TDeviceRecord> ReadDevices(const QJsonArray &array, const std::vector<TProfileRecord> &profiles,
                                       const QHash<QString, qsizetype> &byName) {
    std::vector<TDeviceRecord> devices;
    QSet<int64_t> given;
    for (qsizetype i = 0; i < array.size(); ++i) {
        const QString place = QStringLiteral("devices[%1]").arg(i);
        const QJsonObject o = ObjectAt(array[i], place);
        CheckKeys(o, place, {"profile", "fields", "settings", "customData"});
        TDeviceRecord d;
        if (const QJsonValue profile = o[QLatin1String("profile")]; !profile.isUndefined() && !profile.isNull()) {
            const QString at = Member(place, QStringLiteral("profile"));
            const QString name = StringAt(profile, at);
            if (!byName.contains(name))
                Refuse(at, QStringLiteral("unknown profile \"%1\"").arg(name));
            d.ProfileID = profiles[std::size_t(byName[name])].ProfileID;
        }
        if (o.contains(QLatin1String("fields"))) {
            const QString at = Member(place, QStringLiteral("fields"));
            const QJsonObject fields = ObjectAt(o[QLatin1String("fields")], at);
            ReadID(fields, "DeviceID", at, given);
            ReadFields(d, DeviceFields(), fields, at, "ProfileID", QStringLiteral("the device's profile is \"profile\""));
        }
        d.CustomData = ReadCustomData(o, DeviceSchema, place);
        devices.push_back(std::move(d));
    }
    AssignIDs(devices, &TDeviceRecord::DeviceID, given);
    return devices;
}

} // namespace

TSite ReadSiteFile(const QByteArray &Json) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(Json, &error);
    if (error.error != QJsonParseError::NoError) {
        const QByteArray before = Json.left(error.offset);
        const qsizetype line = before.count('\n') + 1;
        const qsizetype column = before.size() - (before.lastIndexOf('\n') + 1) + 1;
        Refuse(QStringLiteral("line %1, column %2").arg(line).arg(column),
               QStringLiteral("not valid JSON: %1").arg(error.errorString()));
    }
    if (!doc.isObject())
        Refuse(QString(), QStringLiteral("expected an object at the top level"));
    const QJsonObject top = doc.object();
    CheckKeys(top, QString(), {"system", "profiles", "devices"});
    TSite site;
    if (top.contains(QLatin1String("system")))
        site.System = ReadSystem(ObjectAt(top[QLatin1String("system")], QStringLiteral("system")));
    QHash<QString, qsizetype> byName;
    if (top.contains(QLatin1String("profiles")))
        site.Profiles = ReadProfiles(ArrayAt(top[QLatin1String("profiles")], QStringLiteral("profiles")), byName);
    if (top.contains(QLatin1String("devices")))
        site.Devices =
            ReadDevices(ArrayAt(top[QLatin1String("devices")], QStringLiteral("devices")), site.Profiles, byName);
    return site;
}

QByteArray WriteSiteFile(const TSite &Site) {
    QHash<int64_t, QString> names;
    QJsonArray profiles;
    for (const TProfileRecord &p : Site.Profiles) {
        names.insert(p.ProfileID, p.Name);
        QJsonObject o;
        o[QLatin1String("name")] = p.Name;
        o[QLatin1String("fields")] = WriteFields(p, ProfileFields(), "Name");
        WriteCustomData(o, p.CustomData, ProfileSchema);
        QJsonObject options;
        for (int i = 0; i < p.Options.len; ++i)
            options[OptionTagName(p.Options.list[i].tag)] = p.Options.list[i].value;
        o[QLatin1String("options")] = options;
        profiles.append(o);
    }
    QJsonArray devices;
    for (const TDeviceRecord &d : Site.Devices) {
        QJsonObject o;
        if (d.ProfileID != 0)
            o[QLatin1String("profile")] = names.value(d.ProfileID);
        o[QLatin1String("fields")] = WriteFields(d, DeviceFields(), "ProfileID");
        WriteCustomData(o, d.CustomData, DeviceSchema);
        devices.append(o);
    }
    QJsonObject top;
    top[QLatin1String("system")] = WriteSystem(Site.System);
    top[QLatin1String("profiles")] = profiles;
    top[QLatin1String("devices")] = devices;
    return QJsonDocument(top).toJson(QJsonDocument::Indented);
}
