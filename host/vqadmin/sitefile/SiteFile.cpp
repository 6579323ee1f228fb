#include "SiteFile.h"

#include "ZDBDataTree.h"

#include <QBuffer>
#include <QJsonObject>

namespace {

// Where a value sits in the file: a text, the reader's position, or an
// element of a top-level array ("devices[3]"), which is spelled out only when
// a refusal names it.
class TPlace {
public:
    TPlace(const QString &Text) : FText(&Text) {}
    explicit TPlace(const TJsonReader &Json) : FJson(&Json) {}
    TPlace(const char *Array, qsizetype Index) : FArray(Array), FIndex(Index) {}
    QString Text() const {
        if (FArray)
            return QLatin1String(FArray) + QLatin1Char('[') + QString::number(FIndex) + QLatin1Char(']');
        return FText ? *FText : FJson->Place();
    }

private:
    const QString *FText = nullptr;
    const TJsonReader *FJson = nullptr;
    const char *FArray = nullptr;
    qsizetype FIndex = 0;
};

[[noreturn]] void Refuse(const TPlace &place, const QString &why) {
    const QString at = place.Text();
    throw ESiteFile(at.isEmpty() ? why : at + QStringLiteral(": ") + why);
}

QString Member(const QString &place, const QString &key) {
    return place.isEmpty() ? key : place + QLatin1Char('.') + key;
}

QJsonObject ObjectAt(const QJsonValue &v, const TPlace &place) {
    if (!v.isObject())
        Refuse(place, QStringLiteral("expected an object"));
    return v.toObject();
}

QString StringAt(const QJsonValue &v, const TPlace &place) {
    if (!v.isString())
        Refuse(place, QStringLiteral("expected a string"));
    return v.toString();
}

QString AnsiStringAt(const QJsonValue &v, const TPlace &place) {
    const QString text = StringAt(v, place);
    if (const QString why = CheckAnsiText(text); !why.isEmpty())
        Refuse(place, why);
    return text;
}

bool BooleanAt(const QJsonValue &v, const TPlace &place) {
    if (!v.isBool())
        Refuse(place, QStringLiteral("expected a Boolean"));
    return v.toBool();
}

qint64 IntegerAt(const QJsonValue &v, const TPlace &place, qint64 min, qint64 max) {
    // toInteger answers 0 for a number that is not whole or does not fit 64 bits.
    const qint64 n = v.toInteger();
    if (!v.isDouble() || (n == 0 && v.toDouble() != 0))
        Refuse(place, QStringLiteral("expected an integer"));
    if (n < min || n > max)
        Refuse(place, QStringLiteral("out of range %1..%2").arg(QString::number(min), QString::number(max)));
    return n;
}

int32_t Int32At(const QJsonValue &v, const TPlace &place) {
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
        v.SIPAddress = ParseIPv4Text(StringAt(o[QLatin1String("sipAddress")], at));
        if (!v.SIPAddress)
            Refuse(at, QStringLiteral("not an IPv4 address like 10.0.0.5"));
    }
    const auto integer = [&](const char *key, std::optional<int32_t> &out) {
        if (o.contains(QLatin1String(key)))
            out = Int32At(o[QLatin1String(key)], Member(place, QLatin1String(key)));
    };
    const auto boolean = [&](const char *key, std::optional<bool> &out) {
        if (o.contains(QLatin1String(key)))
            out = BooleanAt(o[QLatin1String(key)], Member(place, QLatin1String(key)));
    };
    if (o.contains(QLatin1String("sipPort")))
        v.SIPPort = int32_t(IntegerAt(o[QLatin1String("sipPort")], Member(place, QStringLiteral("sipPort")), MinPort,
                                      MaxPort));
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
        o[QLatin1String("sipAddress")] = IPv4Text(*v.SIPAddress);
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

// One member of a record's fields (the field of the key, none for an unknown
// key), a string's Text or any other value V. GivenElsewhere is the field the
// file gives outside them: a profile's name, a device's profile.
template <class R>
void ReadField(R &record, const TRecordField<R> *field, const QString &key, const std::optional<QString> &text,
               const QJsonValue &v, const TPlace &at, const char *givenElsewhere, const QString &hint) {
    if (!field)
        Refuse(at, QStringLiteral("unknown field"));
    if (key == QLatin1String(givenElsewhere))
        Refuse(at, QStringLiteral("unknown field (%1)").arg(hint));
    QVariant value;
    switch (ValueType(*field)) {
    case TValueType::Boolean:
        value = BooleanAt(v, at);
        break;
    case TValueType::Integer:
        value = IntegerAt(v, at, std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max());
        break;
    case TValueType::Text:
        value = text ? *text : StringAt(v, at);
        break;
    }
    if (const QString why = SetFieldValue(record, *field, value); !why.isEmpty())
        Refuse(at, why);
}

template <class R>
void WriteFields(TJsonWriter &json, const R &record, const std::vector<TRecordField<R>> &table,
                 const char *givenElsewhere) {
    json.Key(QLatin1String("fields"));
    json.BeginObject();
    for (const auto &f : table)
        if (qstrcmp(f.Name, givenElsewhere) != 0) {
            json.Key(QLatin1String(f.Name));
            json.Scalar(GetFieldValue(record, f));
        }
    json.EndObject();
}

// ---- custom data -----------------------------------------------------------------

// The custom-data text holding the settings, written in schema order.
QString SettingsToCustomData(const QJsonObject &settings, const TCustomDataSchema &schema, const QString &place) {
    for (auto it = settings.begin(); it != settings.end(); ++it)
        if (!schema.Find(it.key()))
            Refuse(Member(place, it.key()), QStringLiteral("unknown path"));
    const std::unique_ptr<TZDBDataTree> tree = TZDBDataTree::CreateNew(QString());
    for (const TResolvedPath &path : schema) {
        const QString key = QLatin1String(path.Path());
        if (!settings.contains(key))
            continue;
        const QString at = Member(place, key);
        const QJsonValue value = settings[key];
        TZDBDataValue *node = &path.Node(*tree->Root());
        switch (path.Kind()) {
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

// "settings" or "customData" of a record, which gives at most one of them.
QString ReadCustomData(TJsonReader &json, const QString &key, const TPlace &at, const TCustomDataSchema &schema,
                       const TPlace &record, bool &given) {
    if (std::exchange(given, true))
        Refuse(Member(record.Text(), QStringLiteral("customData")),
               QStringLiteral("give either settings or customData"));
    const QJsonValue value = json.ReadValue();
    if (key == QLatin1String("settings"))
        return SettingsToCustomData(ObjectAt(value, at), schema, at.Text());
    return AnsiStringAt(value, at);
}

} // namespace

std::optional<QJsonObject> CustomDataSettings(const QString &Text, const TCustomDataSchema &Schema) {
    const std::unique_ptr<TZDBDataTree> tree = TZDBDataTree::CreateNew(Text);
    if (!tree)
        return std::nullopt;
    QJsonObject settings;
    for (const TResolvedPath &path : Schema) {
        TZDBDataValue *node = path.FindNode(*tree->Root());
        if (!node)
            continue;
        QJsonValue value;
        switch (path.Kind()) {
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
        settings.insert(QLatin1String(path.Path()), value);
    }
    return settings;
}

namespace {

// Settings when they give back exactly this text, the raw text otherwise;
// nothing for no custom data.
void WriteCustomData(TJsonWriter &json, const QString &text, const TCustomDataSchema &schema) {
    if (text.isEmpty())
        return;
    if (const std::optional<QJsonObject> settings = CustomDataSettings(text, schema)) {
        if (SettingsToCustomData(*settings, schema, QString()) == text) {
            json.Key(QLatin1String("settings"));
            json.Value(*settings);
            return;
        }
    }
    json.Key(QLatin1String("customData"));
    json.Scalar(text);
}

// ---- profiles and devices --------------------------------------------------------

// The members of the object that comes next, read as the file gives them, so
// that a site's bulk is never built as objects: Member, a bool (const QString
// &key, const TPlace &at), takes each one it knows (reading its value) and
// answers false for any other. A template rather than a std::function: it
// runs for every member of a million devices.
template <class Member>
void ReadMembers(TJsonReader &json, const TPlace &place, const Member &member) {
    if (!json.EnterObject()) {
        json.ReadValue(); // not valid JSON is refused as such
        Refuse(place, QStringLiteral("expected an object"));
    }
    QString key;
    while (json.NextMember(key))
        if (const TPlace at(json); !member(key, at))
            Refuse(at, QStringLiteral("unknown field"));
}

[[noreturn]] void RefuseGivenTwice(const TPlace &at, const char *key, int64_t id) {
    Refuse(at, QStringLiteral("%1 %2 is given twice").arg(QLatin1String(key), QString::number(id)));
}

// A record's fields; ID names its key, which the file may give: positive, and
// not given twice where Given holds the keys given before (devices' keys are
// their sink's to check).
template <class R>
void ReadFields(TJsonReader &json, R &record, const std::vector<TRecordField<R>> &table, const char *id,
                QSet<int64_t> *given, const char *givenElsewhere, const QString &hint) {
    // Files mostly give the fields in table order, as export writes them: the
    // one after the field before is tried first, the whole table only then.
    std::size_t next = 0;
    ReadMembers(json, TPlace(json), [&](const QString &key, const TPlace &at) {
        // Most values are strings, taken as they are. For one, the value is
        // null, which a field of another kind refuses alike.
        const std::optional<QString> text = json.ReadString();
        const QJsonValue value = text ? QJsonValue() : json.ReadValue();
        if (key == QLatin1String(id)) {
            const int64_t n = IntegerAt(value, at, 1, std::numeric_limits<qint64>::max());
            if (given && given->contains(n))
                RefuseGivenTwice(at, id, n);
            if (given)
                given->insert(n);
        }
        const TRecordField<R> *field =
            next < table.size() && key == QLatin1String(table[next].Name) ? &table[next] : FindField(table, key);
        if (field)
            next = std::size_t(field - table.data()) + 1;
        ReadField(record, field, key, text, value, at, givenElsewhere, hint);
        return true;
    });
}

// Given IDs are kept; the others take the next free number in file order.
template <class T>
void AssignIDs(std::vector<T> &held, const QSet<int64_t> &given, const auto &id) {
    int64_t next = 1;
    for (T &r : held)
        if (id(r) == 0) {
            while (given.contains(next))
                ++next;
            id(r) = next++;
        }
}

TProfileRecord ReadProfile(TJsonReader &json, const QString &place, QSet<int64_t> &given) {
    TProfileRecord p;
    bool named = false, customGiven = false;
    ReadMembers(json, place, [&](const QString &key, const TPlace &at) {
        if (key == QLatin1String("name")) {
            const QString name = StringAt(json.ReadValue(), at);
            if (name.isEmpty())
                Refuse(at, QStringLiteral("empty"));
            if (const QString why = SetFieldValue(p, *FindField(ProfileFields(), QStringLiteral("Name")), name);
                !why.isEmpty())
                Refuse(at, why);
            named = true;
        } else if (key == QLatin1String("fields")) {
            ReadFields(json, p, ProfileFields(), "ProfileID", &given, "Name",
                       QStringLiteral("the profile's name is \"name\""));
        } else if (key == QLatin1String("settings") || key == QLatin1String("customData")) {
            p.CustomData = ReadCustomData(json, key, at, ProfileSettings(), place, customGiven);
        } else if (key == QLatin1String("options")) {
            // Option names are distinct keys, so the record holds them all.
            static_assert(TSIPDevice_Profile_Option_Capacity >= POT_AutoAnswerType);
            ReadMembers(json, at, [&](const QString &option, const TPlace &optionAt) {
                const std::optional<TSIPDevice_Profile_Option_Tag> tag = OptionTagFromName(option);
                if (!tag)
                    Refuse(optionAt, QStringLiteral("unknown option"));
                p.Options.list[p.Options.len++] = {*tag, Int32At(json.ReadValue(), optionAt)};
                return true;
            });
        } else {
            return false;
        }
        return true;
    });
    if (!named)
        Refuse(Member(place, QStringLiteral("name")), QStringLiteral("missing"));
    return p;
}

// A device and the name of its profile (null for none), as the file gives them.
struct TDeviceEntry {
    TDeviceRecord Device;
    QString Profile;
    TPlace Place;
};

TDeviceEntry ReadDevice(TJsonReader &json, const TPlace &place) {
    TDeviceEntry entry{{}, {}, place};
    bool customGiven = false;
    ReadMembers(json, place, [&](const QString &key, const TPlace &at) {
        if (key == QLatin1String("profile")) {
            if (const QJsonValue profile = json.ReadValue(); !profile.isNull())
                entry.Profile = StringAt(profile, at);
        } else if (key == QLatin1String("fields")) {
            ReadFields(json, entry.Device, DeviceFields(), "DeviceID", nullptr, "ProfileID",
                       QStringLiteral("the device's profile is \"profile\""));
        } else if (key == QLatin1String("settings") || key == QLatin1String("customData")) {
            entry.Device.CustomData = ReadCustomData(json, key, at, DeviceSettings(), place, customGiven);
        } else {
            return false;
        }
        return true;
    });
    return entry;
}

// Passes the records on to the sink in file order as soon as they are
// complete: a profile without an ID holds back itself and those after it until
// its array ends and the free IDs are known, a device naming a profile until
// the profiles are all known. Devices without an ID are the sink's to number,
// so a file that gives its profiles first (as export writes them) is held
// nowhere.
class TSiteReader {
public:
    explicit TSiteReader(TSiteSink &Sink) : FSink(Sink) {}

    void System(const QJsonValue &v) {
        FSink.System(ReadSystem(ObjectAt(v, QStringLiteral("system"))));
        FSystemGiven = true;
    }

    void Profile(TJsonReader &json, const QString &place) {
        TProfileRecord p = ReadProfile(json, place, FGivenProfiles);
        if (FProfileNames.contains(p.Name))
            Refuse(Member(place, QStringLiteral("name")), QStringLiteral("profile \"%1\" is given twice").arg(p.Name));
        FProfileNames.insert(p.Name);
        FHeldProfiles.push_back(std::move(p));
        if (FHeldProfiles.size() == 1 && FHeldProfiles[0].ProfileID != 0)
            PassProfiles();
    }

    void EndProfiles() {
        AssignIDs(FHeldProfiles, FGivenProfiles, [](TProfileRecord &p) -> int64_t & { return p.ProfileID; });
        PassProfiles();
        FProfilesKnown = true;
        PassDevices();
    }

    // The next element of the devices array.
    void Device(TJsonReader &json) {
        FHeldDevices.push_back(ReadDevice(json, TPlace("devices", FDevicesRead++)));
        if (FHeldDevices.size() == 1)
            PassDevices();
    }

    // The document has ended: no more profiles come.
    void Finish() {
        if (!FSystemGiven)
            FSink.System({});
        FProfilesKnown = true;
        PassDevices();
        FSink.NumberDevices();
    }

private:
    void PassProfiles() {
        for (const TProfileRecord &p : FHeldProfiles) {
            FProfileIDs.insert(p.Name, p.ProfileID);
            FSink.Profile(p);
        }
        FHeldProfiles.clear();
    }

    // Up to the first device that is not complete yet.
    void PassDevices() {
        auto it = FHeldDevices.begin();
        for (; it != FHeldDevices.end(); ++it) {
            TDeviceEntry &e = *it;
            if (!e.Profile.isNull() && !FProfilesKnown)
                break;
            if (!e.Profile.isNull()) {
                const auto id = FProfileIDs.constFind(e.Profile);
                if (id == FProfileIDs.cend())
                    Refuse(Member(e.Place.Text(), QStringLiteral("profile")),
                           QStringLiteral("unknown profile \"%1\"").arg(e.Profile));
                e.Device.ProfileID = *id;
            }
            if (!FSink.Device(e.Device))
                RefuseGivenTwice(Member(Member(e.Place.Text(), QStringLiteral("fields")), QStringLiteral("DeviceID")),
                                 "DeviceID", e.Device.DeviceID);
        }
        FHeldDevices.erase(FHeldDevices.begin(), it);
    }

    TSiteSink &FSink;
    bool FSystemGiven = false;
    bool FProfilesKnown = false;
    QSet<int64_t> FGivenProfiles;
    QSet<QString> FProfileNames;
    QHash<QString, int64_t> FProfileIDs; // of the profiles passed on
    std::vector<TProfileRecord> FHeldProfiles;
    std::vector<TDeviceEntry> FHeldDevices;
    qsizetype FDevicesRead = 0;
};

// Keeps the records it is given.
class TSiteCollector : public TSiteSink {
public:
    void System(const TSystemValues &Values) override { Site.System = Values; }
    void Profile(const TProfileRecord &Profile) override { Site.Profiles.push_back(Profile); }
    bool Device(const TDeviceRecord &Device) override {
        if (Device.DeviceID != 0 && FGiven.contains(Device.DeviceID))
            return false;
        if (Device.DeviceID != 0)
            FGiven.insert(Device.DeviceID);
        Site.Devices.push_back(Device);
        return true;
    }
    void NumberDevices() override {
        AssignIDs(Site.Devices, FGiven, [](TDeviceRecord &d) -> int64_t & { return d.DeviceID; });
    }
    TSite Site;

private:
    QSet<int64_t> FGiven;
};

} // namespace

void ReadSiteFile(QIODevice &File, TSiteSink &Sink) {
    try {
        TJsonReader json(File);
        if (!json.EnterObject()) {
            json.ReadValue(); // not valid JSON is refused as such
            json.Finish();
            Refuse(QString(), QStringLiteral("expected an object at the top level"));
        }
        TSiteReader site(Sink);
        QString key;
        while (json.NextMember(key)) {
            if (key == QLatin1String("system")) {
                site.System(json.ReadValue());
            } else if (key == QLatin1String("profiles") || key == QLatin1String("devices")) {
                const bool profiles = key == QLatin1String("profiles");
                if (!json.EnterArray())
                    Refuse(key, QStringLiteral("expected an array"));
                while (json.NextElement()) {
                    if (profiles)
                        site.Profile(json, json.Place());
                    else
                        site.Device(json);
                }
                if (profiles)
                    site.EndProfiles();
            } else {
                Refuse(key, QStringLiteral("unknown field"));
            }
        }
        json.Finish();
        site.Finish();
    } catch (const EJsonRead &e) {
        throw ESiteFile(e.Message());
    }
}

TSite ReadSiteFile(const QByteArray &Json) {
    QBuffer buffer;
    buffer.setData(Json);
    buffer.open(QIODevice::ReadOnly);
    TSiteCollector collector;
    ReadSiteFile(buffer, collector);
    return std::move(collector.Site);
}

// ---- writing ---------------------------------------------------------------------

TSiteFileWriter::TSiteFileWriter(QIODevice &Out, const QString &Name) : FJson(Out, Name) { FJson.BeginObject(); }

void TSiteFileWriter::BeginArray(TArray Array) {
    if (FOpen == Array)
        return;
    EndArray();
    FJson.Key(QLatin1String(Array == TArray::Profiles ? "profiles" : "devices"));
    FJson.BeginArray();
    FOpen = Array;
    (Array == TArray::Profiles ? FProfilesBegun : FDevicesBegun) = true;
}

void TSiteFileWriter::EndArray() {
    if (FOpen != TArray::None)
        FJson.EndArray();
    FOpen = TArray::None;
}

void TSiteFileWriter::System(const TSystemValues &Values) {
    EndArray();
    FJson.Key(QLatin1String("system"));
    FJson.Value(WriteSystem(Values));
}

void TSiteFileWriter::Profile(const TProfileRecord &Profile) {
    BeginArray(TArray::Profiles);
    FNames.insert(Profile.ProfileID, Profile.Name);
    FJson.BeginObject();
    FJson.Key(QLatin1String("name"));
    FJson.Scalar(Profile.Name);
    WriteFields(FJson, Profile, ProfileFields(), "Name");
    WriteCustomData(FJson, Profile.CustomData, ProfileSettings());
    QJsonObject options;
    for (int i = 0; i < Profile.Options.len; ++i)
        options[OptionTagName(Profile.Options.list[i].tag)] = Profile.Options.list[i].value;
    FJson.Key(QLatin1String("options"));
    FJson.Value(options);
    FJson.EndObject();
}

void TSiteFileWriter::Device(const TDeviceRecord &Device) {
    // The profiles come first, so that a reader knows them when it meets their devices.
    if (!FProfilesBegun)
        BeginArray(TArray::Profiles);
    BeginArray(TArray::Devices);
    FJson.BeginObject();
    if (Device.ProfileID != 0) {
        FJson.Key(QLatin1String("profile"));
        FJson.Scalar(FNames.value(Device.ProfileID));
    }
    WriteFields(FJson, Device, DeviceFields(), "ProfileID");
    WriteCustomData(FJson, Device.CustomData, DeviceSettings());
    FJson.EndObject();
}

void TSiteFileWriter::Finish() {
    if (!FProfilesBegun)
        BeginArray(TArray::Profiles);
    if (!FDevicesBegun)
        BeginArray(TArray::Devices);
    EndArray();
    FJson.EndObject();
}

QByteArray WriteSiteFile(const TSite &Site) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    TSiteFileWriter writer(buffer, QStringLiteral("site file"));
    writer.System(Site.System);
    for (const TProfileRecord &p : Site.Profiles)
        writer.Profile(p);
    for (const TDeviceRecord &d : Site.Devices)
        writer.Device(d);
    writer.Finish();
    return buffer.data();
}
