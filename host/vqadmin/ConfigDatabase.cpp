#include "ConfigDatabase.h"

#include <QFile>
#include <QSet>

#include <sqlite3.h>

namespace {

constexpr int SchemaVersion = 1;

QByteArray Quoted(const char *name) { return '"' + QByteArray(name) + '"'; }

// Every column defaults to its field's empty value; the constraints replace
// the definition of the columns they name.
template <class R>
QByteArrayList ColumnDefinitions(const std::vector<TRecordField<R>> &fields,
                                 const QHash<QByteArray, QByteArray> &constraints) {
    QByteArrayList columns;
    for (const auto &f : fields) {
        const QByteArray name = Quoted(f.Name);
        const QVariant empty = GetFieldValue(R{}, f);
        if (constraints.contains(f.Name))
            columns << name + ' ' + constraints[f.Name];
        else if (ValueType(f) == TValueType::Text)
            columns << name + " TEXT NOT NULL DEFAULT '" + empty.toString().toUtf8() + "'";
        else
            columns << name + " INTEGER NOT NULL DEFAULT " + QByteArray::number(empty.toLongLong());
    }
    columns << "\"CustomData\" TEXT NOT NULL DEFAULT ''";
    return columns;
}

template <class R>
QByteArray ColumnList(const std::vector<TRecordField<R>> &fields) {
    QByteArrayList names;
    for (const auto &f : fields)
        names << Quoted(f.Name);
    names << "\"CustomData\"";
    return names.join(", ");
}

// INSERT of every column that updates the row in place when the key (the
// first field) exists, so the rows that refer to it stay valid.
template <class R>
QByteArray UpsertSql(const char *table, const std::vector<TRecordField<R>> &fields) {
    QByteArrayList updates;
    for (std::size_t i = 1; i < fields.size(); ++i)
        updates << Quoted(fields[i].Name) + " = excluded." + Quoted(fields[i].Name);
    updates << "\"CustomData\" = excluded.\"CustomData\"";
    const QByteArray marks = QByteArray("?, ").repeated(qsizetype(fields.size())) + "?";
    return "INSERT INTO " + QByteArray(table) + " (" + ColumnList(fields) + ") VALUES (" + marks + ") ON CONFLICT (" +
           Quoted(fields[0].Name) + ") DO UPDATE SET " + updates.join(", ");
}

QVariant Optional(const auto &value) { return value ? QVariant::fromValue(*value) : QVariant(); }

} // namespace

// A prepared statement from the database's cache: reset and unbound when it
// goes out of scope, finalised with the database.
class TConfigDatabase::TStatement {
public:
    TStatement(TConfigDatabase &Database, const QByteArray &Sql) : FDatabase(Database) {
        sqlite3_stmt *&cached = Database.FStatements[Sql];
        if (!cached && sqlite3_prepare_v3(Database.FDb, Sql.constData(), int(Sql.size()), SQLITE_PREPARE_PERSISTENT,
                                          &cached, nullptr) != SQLITE_OK)
            Database.Fail(QStringLiteral("cannot prepare a statement"));
        FStmt = cached;
    }
    ~TStatement() {
        sqlite3_reset(FStmt);
        sqlite3_clear_bindings(FStmt);
    }
    TStatement(const TStatement &) = delete;
    TStatement &operator=(const TStatement &) = delete;

    // 1-based; a null value binds NULL, a Boolean 0 or 1.
    void Bind(int Index, const QVariant &Value) {
        int rc;
        switch (Value.typeId()) {
        case QMetaType::UnknownType:
            rc = sqlite3_bind_null(FStmt, Index);
            break;
        case QMetaType::QString: {
            const QByteArray utf8 = Value.toString().toUtf8();
            rc = sqlite3_bind_text(FStmt, Index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
            break;
        }
        default:
            rc = sqlite3_bind_int64(FStmt, Index, Value.toLongLong());
        }
        if (rc != SQLITE_OK)
            FDatabase.Fail(QStringLiteral("cannot bind a value"));
    }
    void BindAll(const QVariantList &Values) {
        for (int i = 0; i < Values.size(); ++i)
            Bind(i + 1, Values[i]);
    }

    // True while there is a row to read.
    bool Step() {
        const int rc = sqlite3_step(FStmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            FDatabase.Fail(QStringLiteral("cannot run a statement"));
        return false;
    }
    void Run() {
        while (Step()) {
        }
    }

    // NULL as a null value, INTEGER as qlonglong, TEXT as QString.
    QVariant Column(int Index) const {
        switch (sqlite3_column_type(FStmt, Index)) {
        case SQLITE_NULL:
            return {};
        case SQLITE_INTEGER:
            return qlonglong(sqlite3_column_int64(FStmt, Index));
        default:
            return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(FStmt, Index)),
                                     sqlite3_column_bytes(FStmt, Index));
        }
    }

private:
    TConfigDatabase &FDatabase;
    sqlite3_stmt *FStmt = nullptr;
};

TConfigDatabase::TConfigDatabase(const QString &Path) : FPath(Path) {
    if (sqlite3_open_v2(QFile::encodeName(Path).constData(), &FDb, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
        const QString why = FDb ? QString::fromUtf8(sqlite3_errmsg(FDb)) : QStringLiteral("out of memory");
        sqlite3_close(FDb);
        throw EDatabase(QStringLiteral("%1: cannot open: %2").arg(Path, why));
    }
    try {
        sqlite3_extended_result_codes(FDb, 1);
        Execute("PRAGMA foreign_keys = ON");
        int version = 0;
        {
            TStatement s(*this, "PRAGMA user_version");
            if (s.Step())
                version = int(s.Column(0).toLongLong());
        }
        if (version == 0) {
            TStatement s(*this, "SELECT count(*) FROM sqlite_schema");
            s.Step();
            if (s.Column(0).toLongLong() != 0)
                throw EDatabase(QStringLiteral("%1: not a vqadmin database").arg(Path));
        }
        if (version == 0)
            CreateSchema();
        else if (version != SchemaVersion)
            throw EDatabase(QStringLiteral("%1: unknown database schema version %2").arg(Path).arg(version));
    } catch (...) {
        for (sqlite3_stmt *s : std::as_const(FStatements))
            sqlite3_finalize(s);
        sqlite3_close(FDb);
        throw;
    }
}

TConfigDatabase::~TConfigDatabase() {
    for (sqlite3_stmt *s : std::as_const(FStatements))
        sqlite3_finalize(s);
    sqlite3_close(FDb);
}

void TConfigDatabase::Fail(const QString &What) {
    throw EDatabase(QStringLiteral("%1: %2: %3").arg(FPath, What, QString::fromUtf8(sqlite3_errmsg(FDb))));
}

void TConfigDatabase::Execute(const char *Sql) {
    if (sqlite3_exec(FDb, Sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        Fail(QStringLiteral("cannot run a statement"));
}

void TConfigDatabase::CreateSchema() {
    // The keys, the profile name that site files refer to, and the device's optional profile.
    const QByteArrayList profileColumns =
        ColumnDefinitions(ProfileFields(), {{"ProfileID", "INTEGER PRIMARY KEY CHECK (\"ProfileID\" > 0)"},
                                            {"Name", "TEXT NOT NULL UNIQUE"}});
    const QByteArrayList deviceColumns =
        ColumnDefinitions(DeviceFields(), {{"DeviceID", "INTEGER PRIMARY KEY CHECK (\"DeviceID\" > 0)"},
                                           {"ProfileID", "INTEGER REFERENCES profiles (\"ProfileID\")"}});
    const QByteArray schema =
        "CREATE TABLE system (Id INTEGER PRIMARY KEY CHECK (Id = 1), SIPAddress TEXT, SIPPort INTEGER, Domain TEXT,"
        " EditRights INTEGER, Redundant INTEGER, ProposedFailoverNode INTEGER, CurrentNode INTEGER) STRICT;"
        "CREATE TABLE node_addresses (Node INTEGER PRIMARY KEY, Address TEXT NOT NULL) STRICT;"
        "CREATE TABLE profiles (" + profileColumns.join(", ") + ") STRICT;"
        "CREATE TABLE profile_options (ProfileID INTEGER NOT NULL REFERENCES profiles (ProfileID) ON DELETE CASCADE,"
        " Tag INTEGER NOT NULL CHECK (Tag BETWEEN 1 AND 8), Value INTEGER NOT NULL,"
        " PRIMARY KEY (ProfileID, Tag)) STRICT, WITHOUT ROWID;"
        "CREATE TABLE devices (" + deviceColumns.join(", ") + ") STRICT;"
        "CREATE INDEX devices_profile ON devices (ProfileID);"
        "PRAGMA user_version = " + QByteArray::number(SchemaVersion) + ";";
    TTransaction t(*this);
    Execute(schema.constData());
    t.Commit();
}

// ---- transactions ------------------------------------------------------------

TConfigDatabase::TTransaction::TTransaction(TConfigDatabase &Database)
    : FDatabase(Database), FName("sp" + QByteArray::number(Database.FSavepoints)) {
    FDatabase.Execute(("SAVEPOINT " + FName).constData());
    ++FDatabase.FSavepoints;
}

TConfigDatabase::TTransaction::~TTransaction() {
    if (FDone)
        return;
    --FDatabase.FSavepoints;
    sqlite3_exec(FDatabase.FDb, ("ROLLBACK TO " + FName + "; RELEASE " + FName).constData(), nullptr, nullptr,
                 nullptr);
}

void TConfigDatabase::TTransaction::Commit() {
    FDatabase.Execute(("RELEASE " + FName).constData());
    --FDatabase.FSavepoints;
    FDone = true;
}

// ---- system values -----------------------------------------------------------

TSystemValues TConfigDatabase::LoadSystem() {
    TSystemValues v;
    {
        TStatement s(*this, "SELECT SIPAddress, SIPPort, Domain, EditRights, Redundant, ProposedFailoverNode,"
                            " CurrentNode FROM system");
        if (s.Step()) {
            if (const QVariant ip = s.Column(0); !ip.isNull()) {
                const std::optional<TIPAddressRec> rec = ParseIPText(ip.toString());
                if (!rec || rec->version != 4)
                    throw EDatabase(QStringLiteral("%1: the SIP address is not an IPv4 address").arg(FPath));
                v.SIPAddress = rec->ip4;
            }
            const auto integer = [&](int i, std::optional<int32_t> &out) {
                if (const QVariant c = s.Column(i); !c.isNull())
                    out = int32_t(c.toLongLong());
            };
            const auto boolean = [&](int i, std::optional<bool> &out) {
                if (const QVariant c = s.Column(i); !c.isNull())
                    out = c.toLongLong() != 0;
            };
            integer(1, v.SIPPort);
            if (const QVariant d = s.Column(2); !d.isNull())
                v.Domain = d.toString();
            boolean(3, v.EditRights);
            boolean(4, v.Redundant);
            integer(5, v.ProposedFailoverNode);
            integer(6, v.CurrentNode);
        }
    }
    TStatement s(*this, "SELECT Node, Address FROM node_addresses ORDER BY Node");
    while (s.Step())
        v.NodeAddresses.insert(int32_t(s.Column(0).toLongLong()), s.Column(1).toString());
    return v;
}

void TConfigDatabase::SaveSystem(const TSystemValues &Values) {
    TTransaction t(*this);
    {
        TStatement s(*this, "INSERT OR REPLACE INTO system VALUES (1, ?, ?, ?, ?, ?, ?, ?)");
        s.BindAll({Values.SIPAddress ? QVariant(IPText(IPRecFromIPv4(*Values.SIPAddress))) : QVariant(),
                   Optional(Values.SIPPort), Optional(Values.Domain), Optional(Values.EditRights),
                   Optional(Values.Redundant), Optional(Values.ProposedFailoverNode), Optional(Values.CurrentNode)});
        s.Run();
    }
    TStatement(*this, "DELETE FROM node_addresses").Run();
    for (auto it = Values.NodeAddresses.begin(); it != Values.NodeAddresses.end(); ++it) {
        TStatement s(*this, "INSERT INTO node_addresses VALUES (?, ?)");
        s.BindAll({it.key(), it.value()});
        s.Run();
    }
    t.Commit();
}

// ---- profiles and devices ----------------------------------------------------

namespace {

// Reads the columns of ColumnList into a record.
template <class R>
R ReadRecord(const std::vector<TRecordField<R>> &fields, const auto &column, const QString &place) {
    R record;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const QVariant value = column(int(i));
        if (value.isNull())
            continue; // a device without a profile
        if (const QString why = SetFieldValue(record, fields[i], value); !why.isEmpty())
            throw EDatabase(QStringLiteral("%1: column %2: %3").arg(place, QLatin1String(fields[i].Name), why));
    }
    record.CustomData = column(int(fields.size())).toString();
    return record;
}

template <class R>
QVariantList RecordValues(const std::vector<TRecordField<R>> &fields, const R &record) {
    QVariantList values;
    for (const auto &f : fields)
        values << GetFieldValue(record, f);
    values << record.CustomData;
    return values;
}

} // namespace

std::vector<TProfileRecord> TConfigDatabase::LoadProfiles() {
    std::vector<TProfileRecord> profiles;
    {
        TStatement s(*this, "SELECT " + ColumnList(ProfileFields()) + " FROM profiles ORDER BY ProfileID");
        while (s.Step())
            profiles.push_back(ReadRecord(ProfileFields(), [&](int i) { return s.Column(i); },
                                          QStringLiteral("%1: profiles").arg(FPath)));
    }
    TStatement s(*this, "SELECT ProfileID, Tag, Value FROM profile_options ORDER BY ProfileID, Tag");
    // Both in ProfileID order, and every option belongs to a profile.
    auto profile = profiles.begin();
    while (s.Step()) {
        const int64_t id = s.Column(0).toLongLong();
        while (profile->ProfileID < id)
            ++profile;
        TSIPDevice_Profile_Option_List &options = profile->Options;
        options.list[options.len++] = {TSIPDevice_Profile_Option_Tag(s.Column(1).toLongLong()),
                                       int32_t(s.Column(2).toLongLong())};
    }
    return profiles;
}

std::optional<TProfileRecord> TConfigDatabase::LoadProfile(int64_t ProfileID) {
    std::optional<TProfileRecord> profile;
    {
        TStatement s(*this, "SELECT " + ColumnList(ProfileFields()) + " FROM profiles WHERE ProfileID = ?");
        s.Bind(1, qlonglong(ProfileID));
        if (!s.Step())
            return std::nullopt;
        profile = ReadRecord(ProfileFields(), [&](int i) { return s.Column(i); },
                             QStringLiteral("%1: profile %2").arg(FPath).arg(ProfileID));
    }
    TStatement s(*this, "SELECT Tag, Value FROM profile_options WHERE ProfileID = ? ORDER BY Tag");
    s.Bind(1, qlonglong(ProfileID));
    while (s.Step())
        profile->Options.list[profile->Options.len++] = {TSIPDevice_Profile_Option_Tag(s.Column(0).toLongLong()),
                                                         int32_t(s.Column(1).toLongLong())};
    return profile;
}

void TConfigDatabase::SaveProfile(const TProfileRecord &Profile) {
    TTransaction t(*this);
    {
        TStatement s(*this, UpsertSql("profiles", ProfileFields()));
        s.BindAll(RecordValues(ProfileFields(), Profile));
        s.Run();
    }
    {
        TStatement s(*this, "DELETE FROM profile_options WHERE ProfileID = ?");
        s.Bind(1, qlonglong(Profile.ProfileID));
        s.Run();
    }
    const int n = std::clamp(Profile.Options.len, 0, TSIPDevice_Profile_Option_Capacity);
    for (int i = 0; i < n; ++i) {
        const TSIPDevice_Profile_Option &o = Profile.Options.list[i];
        if (o.tag == POT_Invalid)
            continue;
        // DO NOTHING covers only a tag seen before; a tag out of range still fails.
        TStatement s(*this, "INSERT INTO profile_options VALUES (?, ?, ?) ON CONFLICT DO NOTHING");
        s.BindAll({qlonglong(Profile.ProfileID), qlonglong(o.tag), o.value});
        s.Run();
    }
    t.Commit();
}

std::vector<TDeviceRecord> TConfigDatabase::LoadDevices() {
    std::vector<TDeviceRecord> devices;
    TStatement s(*this, "SELECT " + ColumnList(DeviceFields()) + " FROM devices ORDER BY DeviceID");
    while (s.Step())
        devices.push_back(ReadRecord(DeviceFields(), [&](int i) { return s.Column(i); },
                                     QStringLiteral("%1: devices").arg(FPath)));
    return devices;
}

std::optional<TDeviceRecord> TConfigDatabase::LoadDevice(int64_t DeviceID) {
    TStatement s(*this, "SELECT " + ColumnList(DeviceFields()) + " FROM devices WHERE DeviceID = ?");
    s.Bind(1, qlonglong(DeviceID));
    if (!s.Step())
        return std::nullopt;
    return ReadRecord(DeviceFields(), [&](int i) { return s.Column(i); },
                      QStringLiteral("%1: device %2").arg(FPath).arg(DeviceID));
}

void TConfigDatabase::SaveDevice(const TDeviceRecord &Device) {
    TTransaction t(*this);
    {
        TStatement s(*this, UpsertSql("devices", DeviceFields()));
        QVariantList values = RecordValues(DeviceFields(), Device);
        if (Device.ProfileID == 0)
            values[2] = QVariant(); // no profile
        s.BindAll(values);
        s.Run();
    }
    t.Commit();
}

void TConfigDatabase::DeleteDevice(int64_t DeviceID) {
    TStatement s(*this, "DELETE FROM devices WHERE DeviceID = ?");
    s.Bind(1, qlonglong(DeviceID));
    s.Run();
}

TSite TConfigDatabase::LoadSite() {
    return {LoadSystem(), LoadProfiles(), LoadDevices()};
}

void TConfigDatabase::ReplaceSite(const TSite &Site) {
    TTransaction t(*this);
    Execute("DELETE FROM devices; DELETE FROM profile_options; DELETE FROM profiles; DELETE FROM system");
    SaveSystem(Site.System);
    for (const TProfileRecord &p : Site.Profiles)
        SaveProfile(p);
    for (const TDeviceRecord &d : Site.Devices)
        SaveDevice(d);
    t.Commit();
}

int32_t TConfigDatabase::FirstFreeStartNumber(const QString &Prefix) {
    TStatement s(*this, "SELECT substr(UniqueID, ?) FROM devices WHERE substr(UniqueID, 1, ?) = ?");
    s.BindAll({qlonglong(Prefix.size() + 1), qlonglong(Prefix.size()), Prefix});
    QSet<int32_t> used;
    while (s.Step()) {
        const QString suffix = s.Column(0).toString();
        bool ok = false;
        const int32_t n = suffix.toInt(&ok);
        // Only the number's own text counts: "Sales07" does not take 7.
        if (ok && n > 0 && suffix == QString::number(n))
            used.insert(n);
    }
    int32_t n = 1;
    while (used.contains(n))
        ++n;
    return n;
}
