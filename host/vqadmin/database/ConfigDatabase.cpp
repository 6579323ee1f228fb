#include "ConfigDatabase.h"

#include <QRegularExpression>
#include <QScopeGuard>
#include <QSet>

namespace {

// 2: the profile dialog's page per device type (profile_pages).
// 3: the device list's filter finds LAN IPs by index (devices_ip).
// 4: profiles and devices carry a revision; the change log (changes); the
//    plug-in's verdicts kept with the records, marked stale by triggers.
constexpr int SchemaVersion = 5;
// Changes kept for the windows that follow them; one that fell further
// behind reads its lists anew.
constexpr int KeptChanges = 10000;
// Devices read at a time by the whole-site readers.
constexpr int DeviceBatch = 1024;

QByteArray Quoted(const char *name) { return '"' + QByteArray(name) + '"'; }

// Every write of a row counts its revision up by one. A row stored anew
// starts at the number of the change that stores it, which no revision read
// before reaches: a revision grows no faster than the change log, so one read
// of a replaced row, or of a deleted one whose ID is taken again, never
// matches the new row.
constexpr const char *RevisionColumn = "\"Revision\" INTEGER NOT NULL DEFAULT 1";
constexpr const char *NewRevision = "(SELECT coalesce(max(Seq), 0) + 1 FROM changes)";

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
    columns << "\"CustomData\" TEXT NOT NULL DEFAULT ''" << RevisionColumn;
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

// INSERT of every column and the revision of a new row that updates the row
// in place when the key (the first field) exists, so the rows that refer to it
// stay valid.
template <class R>
QByteArray UpsertSql(const char *table, const std::vector<TRecordField<R>> &fields) {
    QByteArrayList updates;
    for (std::size_t i = 1; i < fields.size(); ++i)
        updates << Quoted(fields[i].Name) + " = excluded." + Quoted(fields[i].Name);
    updates << "\"CustomData\" = excluded.\"CustomData\"" << "\"Revision\" = " + QByteArray(table) + ".\"Revision\" + 1";
    const QByteArray marks = QByteArray("?, ").repeated(qsizetype(fields.size())) + "?, " + NewRevision;
    return "INSERT INTO " + QByteArray(table) + " (" + ColumnList(fields) + ", \"Revision\") VALUES (" + marks +
           ") ON CONFLICT (" + Quoted(fields[0].Name) + ") DO UPDATE SET " + updates.join(", ");
}

// UPDATE of every column but the key (the first field) that writes only the
// row at the revision read: the values in field order, then the key and the revision.
template <class R>
QByteArray UpdateSql(const char *table, const std::vector<TRecordField<R>> &fields) {
    QByteArrayList updates;
    for (std::size_t i = 1; i < fields.size(); ++i)
        updates << Quoted(fields[i].Name) + " = ?";
    updates << "\"CustomData\" = ?" << "\"Revision\" = \"Revision\" + 1";
    return "UPDATE " + QByteArray(table) + " SET " + updates.join(", ") + " WHERE " + Quoted(fields[0].Name) +
           " = ? AND \"Revision\" = ?";
}

// INSERT of every column whose key is the one after the highest in use; the key taken is its row.
template <class R>
QByteArray InsertNewSql(const char *table, const std::vector<TRecordField<R>> &fields) {
    const QByteArray key = Quoted(fields[0].Name);
    return "INSERT INTO " + QByteArray(table) + " (" + ColumnList(fields) + ", \"Revision\") VALUES ((SELECT coalesce(max(" +
           key + "), 0) + 1 FROM " + table + "), " + QByteArray("?, ").repeated(qsizetype(fields.size())) + NewRevision +
           ") RETURNING " + key;
}

// The devices of the profile, or of none for 0, as a condition an index
// serves on either backend (a server reads SQLite's "IS ?" as IS NOT
// DISTINCT FROM, which no index serves). Parameter takes the ID.
QByteArray OfProfile(int64_t ProfileID, const QByteArray &Parameter) {
    return ProfileID ? "ProfileID = " + Parameter : QByteArray("ProfileID IS NULL");
}

QVariant Optional(const auto &value) { return value ? QVariant::fromValue(*value) : QVariant(); }

// A kept verdict's level; the column's constraint keeps it in range.
TConflictLevel Level(int64_t column) { return TConflictLevel(column); }
TConflictLevel Level(const QVariant &column) { return Level(column.toLongLong()); }

} // namespace

// A prepared statement from the backend's cache: reset and unbound when it
// goes out of scope.
class TConfigDatabase::TStatement {
public:
    TStatement(TConfigDatabase &Database, const QByteArray &Sql) : FStmt(Database.FBackend->Statement(Sql)) {}
    ~TStatement() { FStmt.Reset(); }
    TStatement(const TStatement &) = delete;
    TStatement &operator=(const TStatement &) = delete;

    // 1-based; a null value binds NULL, a Boolean 0 or 1.
    void Bind(int Index, const QVariant &Value) { FStmt.Bind(Index, Value); }
    void BindAll(const QVariantList &Values) {
        for (int i = 0; i < Values.size(); ++i)
            Bind(i + 1, Values[i]);
    }

    // True while there is a row to read.
    bool Step() { return FStmt.Step(); }
    void Run() {
        while (Step()) {
        }
    }
    // A write whose rows and count nobody reads, perhaps sent on without waiting (TBackendStatement::Queue).
    void Queue() { FStmt.Queue(); }

    // NULL as a null value, INTEGER as qlonglong, TEXT as QString.
    QVariant Column(int Index) const { return FStmt.Column(Index); }
    // Without a QVariant, for the readers of every row (TBackendStatement::Integer, Utf8).
    int64_t Integer(int Index) const { return FStmt.Integer(Index); }
    QByteArrayView Utf8(int Index) const { return FStmt.Utf8(Index); }

private:
    TBackendStatement &FStmt;
};

TConfigDatabase::TConfigDatabase(const QString &Path, TOpenMode Mode)
    : FPath(Path), FBackend(OpenBackend(Path, Mode == TOpenMode::Create)) {
    // Damage is found before anything is read or migrated: a damaged index
    // would have the reads miss rows without a word. (A server keeps its own pages whole.)
    if (Mode == TOpenMode::Existing && FBackend->Embedded())
        CheckIntegrity();
    CheckSchema(Mode);
}

// Another program may be making the same new database: the check and the
// schema are one write transaction.
void TConfigDatabase::CheckSchema(TOpenMode Mode) {
    if (Mode == TOpenMode::Create)
        FBackend->Begin(true);
    try {
        const int version = FBackend->SchemaVersion();
        const bool empty = version == 0 && FBackend->Empty();
        if (version == 0 && (!empty || Mode != TOpenMode::Create))
            throw EDatabase(FPath + QStringLiteral(": not a vqadmin database"));
        if (version == 0)
            CreateSchema();
        else if (version < SchemaVersion) {
            if (Mode == TOpenMode::ExistingUnchecked && FBackend->Embedded())
                CheckIntegrity(); // no migration of a damaged file
            Migrate(version);
        }
        else if (version != SchemaVersion)
            throw EDatabase(FPath + QStringLiteral(": unknown database schema version ") + QString::number(version));
        if (Mode == TOpenMode::Create) {
            CreateIndexes();
            FBackend->Commit();
        }
    } catch (...) {
        if (Mode == TOpenMode::Create)
            FBackend->Rollback();
        throw;
    }
}

void TConfigDatabase::CheckIntegrity() {
    // A row that breaks a CHECK constraint is no damage: reading it refuses it naming the row.
    Execute("PRAGMA ignore_check_constraints = ON");
    QString finding;
    {
        TStatement s(*this, "PRAGMA quick_check(1)");
        finding = s.Step() ? s.Column(0).toString() : QString();
    }
    Execute("PRAGMA ignore_check_constraints = OFF");
    // The finding's last line; those before only name the database ("*** in database main ***").
    if (finding != QLatin1String("ok"))
        throw EDatabase(FPath + QStringLiteral(": the database is damaged: ") + finding.section(QLatin1Char('\n'), -1));
}

TConfigDatabase::~TConfigDatabase() = default;

void TConfigDatabase::Refuse(const QString &Row, const QString &Why) const {
    throw EDatabase(FPath + QStringLiteral(": ") + Row + QStringLiteral(": ") + Why);
}

void TConfigDatabase::Execute(const QByteArray &Sql) { FBackend->Execute(Sql); }

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
        "CREATE TABLE devices (" + deviceColumns.join(", ") + ") STRICT;";
    Execute(schema.constData());
    CreateProfilePages();
    CreateChangeLog();
    AddKeptVerdicts();
    SetSchemaVersion();
}

void TConfigDatabase::CreateChangeLog() {
    Execute("CREATE TABLE IF NOT EXISTS changes (Seq INTEGER PRIMARY KEY, Kind TEXT NOT NULL, ID INTEGER NOT NULL) STRICT;"
            "INSERT INTO changes VALUES ((SELECT coalesce(max(Seq), 0) + 1 FROM changes), 's', 0)");
}

void TConfigDatabase::CreateProfilePages() {
    Execute("CREATE TABLE IF NOT EXISTS profile_pages (DeviceType TEXT PRIMARY KEY, PagePath TEXT NOT NULL) STRICT");
}

void TConfigDatabase::SetSchemaVersion() { FBackend->SetSchemaVersion(SchemaVersion); }

// Brings a database of an older version up to this one, keeping what it holds.
// Another program may migrate it at the same time: every step may find itself done.
void TConfigDatabase::Migrate(int From) {
    TTransaction t(*this, TTransaction::TLock::Now);
    if (FBackend->SchemaVersion() == SchemaVersion)
        return; // the other program was first
    if (From < 2)
        CreateProfilePages();
    if (From < 4) {
        Execute((QByteArray("ALTER TABLE profiles ADD COLUMN ") + RevisionColumn + "; ALTER TABLE devices ADD COLUMN " +
                 RevisionColumn)
                    .constData());
        CreateChangeLog();
        AddKeptVerdicts();
    }
    if (From < 5 && FBackend->Embedded())
        Execute("DROP INDEX IF EXISTS devices_profile"); // widened below
    // Last, as an index may cover the columns the steps above add.
    CreateIndexes();
    SetSchemaVersion();
    t.Commit();
}

// Devices are read by profile, the host looks for those sharing an ID or a
// MAC address, and the device list's filter finds all three and the LAN IP.
// In a file, the profile's index holds the columns of the validation report
// too, which reads a million devices in its order without looking up each in
// the table. A server refuses an index entry over some 2.7 kB, which the
// message of a MAC address shared by a few hundred devices passes.
void TConfigDatabase::CreateIndexes() {
    Execute(QByteArray("CREATE INDEX IF NOT EXISTS devices_profile ON devices ") +
            (FBackend->Embedded() ? "(ProfileID, DeviceID, UniqueID, Verdict, VerdictMessage);" : "(ProfileID);") +
            "CREATE INDEX IF NOT EXISTS devices_unique_id ON devices (UniqueID);"
            "CREATE INDEX IF NOT EXISTS devices_mac ON devices (MacAddress);"
            "CREATE INDEX IF NOT EXISTS devices_ip ON devices (AssignedIP);");
}

namespace {

// Marks the verdicts of a profile stale, with its devices': Row is NEW or OLD.
// The fresh devices are found by their own index, so a profile whose devices
// are stale already costs nothing (the planner would take devices_profile).
QByteArray StaleProfileSql(const char *row) {
    const QByteArray id = QByteArray(row) + ".ProfileID";
    return "UPDATE profiles SET VerdictStale = 1 WHERE ProfileID = " + id + " AND VerdictStale = 0;"
           " UPDATE devices SET VerdictStale = 1 WHERE DeviceID IN (SELECT DeviceID FROM devices INDEXED BY"
           " devices_fresh WHERE ProfileID = " + id + " AND VerdictStale = 0);";
}

// Marks the devices sharing a device ID or a MAC address (the empty one aside) with Row.
QByteArray StaleSharingSql(const char *row) {
    const QByteArray r(row);
    return "UPDATE devices SET VerdictStale = 1 WHERE UniqueID = " + r + ".UniqueID AND VerdictStale = 0;"
           " UPDATE devices SET VerdictStale = 1 WHERE MacAddress = " + r + ".MacAddress AND MacAddress <> '" +
           MACToText(EmptyMACAddress).toLatin1() + "' AND VerdictStale = 0;";
}

constexpr const char *StaleEverythingSql = "UPDATE profiles SET VerdictStale = 1 WHERE VerdictStale = 0;"
                                           " UPDATE devices SET VerdictStale = 1 WHERE VerdictStale = 0;";

} // namespace

// Each record gets its verdict's level and message, and whether it is stale;
// a partial index finds the stale ones, another the fresh devices of a
// profile (so marking them is no scan when they are stale already), a third
// the devices with warnings or errors. Another program may be adding them too.
void TConfigDatabase::AddKeptVerdicts() {
    if (!FBackend->HasColumn("devices", "Verdict"))
        for (const QByteArray table : {"profiles", "devices"})
            Execute(("ALTER TABLE " + table +
                     " ADD COLUMN Verdict INTEGER NOT NULL DEFAULT 0 CHECK (Verdict BETWEEN 0 AND 2);"
                     "ALTER TABLE " + table + " ADD COLUMN VerdictMessage TEXT NOT NULL DEFAULT '';"
                     "ALTER TABLE " + table + " ADD COLUMN VerdictStale INTEGER NOT NULL DEFAULT 1;")
                        .constData());
    QByteArray sql =
        "CREATE TABLE IF NOT EXISTS verdict_basis (Id INTEGER PRIMARY KEY CHECK (Id = 1), Basis TEXT NOT NULL) STRICT;"
        "CREATE INDEX IF NOT EXISTS devices_stale ON devices (DeviceID) WHERE VerdictStale = 1;"
        "CREATE INDEX IF NOT EXISTS devices_fresh ON devices (ProfileID) WHERE VerdictStale = 0;"
        "CREATE INDEX IF NOT EXISTS devices_flagged ON devices (Verdict) WHERE Verdict > 0;";
    TDatabaseBackend &b = *FBackend;
    sql += b.Trigger("device_changed", "AFTER UPDATE OF " + ColumnList(DeviceFields()) + " ON devices", {},
                     "UPDATE devices SET VerdictStale = 1 WHERE DeviceID = NEW.DeviceID AND VerdictStale = 0;");
    sql += b.Trigger("device_keys_changed", "AFTER UPDATE OF UniqueID, MacAddress ON devices",
                     "OLD.UniqueID IS NOT NEW.UniqueID OR OLD.MacAddress IS NOT NEW.MacAddress",
                     StaleSharingSql("OLD") + StaleSharingSql("NEW"));
    // A site being imported has no fresh device to mark: the check saves a lookup per row.
    const QByteArray anyFresh = "EXISTS (SELECT 1 FROM devices WHERE VerdictStale = 0)";
    sql += b.Trigger("device_added", "AFTER INSERT ON devices", anyFresh, StaleSharingSql("NEW"));
    sql += b.Trigger("device_removed", "AFTER DELETE ON devices", anyFresh, StaleSharingSql("OLD"));
    sql += b.Trigger("profile_changed", "AFTER UPDATE OF " + ColumnList(ProfileFields()) + " ON profiles", {},
                     StaleProfileSql("NEW"));
    sql += b.Trigger("option_added", "AFTER INSERT ON profile_options", {}, StaleProfileSql("NEW"));
    sql += b.Trigger("option_changed", "AFTER UPDATE ON profile_options", {},
                     StaleProfileSql("OLD") + StaleProfileSql("NEW"));
    sql += b.Trigger("option_removed", "AFTER DELETE ON profile_options", {}, StaleProfileSql("OLD"));
    for (const char *table : {"system", "node_addresses"})
        for (const char *event : {"INSERT", "UPDATE", "DELETE"})
            sql += b.Trigger(QByteArray(table) + '_' + QByteArray(event).toLower(),
                             "AFTER " + QByteArray(event) + " ON " + table, {}, StaleEverythingSql);
    Execute(sql);
}

// ---- transactions ------------------------------------------------------------

TConfigDatabase::TTransaction::TTransaction(TConfigDatabase &Database, TLock Lock)
    : FDatabase(Database), FName("sp" + QByteArray::number(Database.FSavepoints)) {
    // The outermost transaction takes the lock, waiting for another's as any statement does.
    FBegun = !Database.FBackend->InTransaction();
    if (FBegun && Lock == TLock::Never)
        Database.FBackend->BeginReading();
    else if (FBegun)
        Database.FBackend->Begin(Lock == TLock::Now);
    TStatement(FDatabase, "SAVEPOINT " + FName).Run();
    ++FDatabase.FSavepoints;
}

TConfigDatabase::TTransaction::~TTransaction() {
    if (FDone)
        return;
    --FDatabase.FSavepoints;
    try {
        TStatement(FDatabase, "ROLLBACK TO " + FName).Run();
        TStatement(FDatabase, "RELEASE " + FName).Run();
    } catch (const EDatabase &) {
        // SQLite has rolled back the whole transaction by itself then; a
        // server's, with a write of it refused, takes only the rollback below.
    }
    if (FBegun)
        FDatabase.FBackend->Rollback();
}

void TConfigDatabase::TTransaction::Commit() {
    TStatement(FDatabase, "RELEASE " + FName).Run();
    if (FBegun)
        FDatabase.FBackend->Commit();
    --FDatabase.FSavepoints;
    FDone = true;
}

// ---- system values -----------------------------------------------------------

TSystemValues TConfigDatabase::LoadSystem() {
    TSystemValues v;
    const auto integer = [&](const QVariant &c, const QString &place, qint64 min, qint64 max) {
        if (c.toLongLong() < min || c.toLongLong() > max)
            Refuse(place, QStringLiteral("out of range ") + QString::number(min) + QStringLiteral("..") +
                              QString::number(max));
        return int32_t(c.toLongLong());
    };
    const auto int32 = [&](const QVariant &c, const QString &place) {
        return integer(c, place, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
    };
    const auto ansi = [&](const QVariant &c, const QString &place) {
        if (const QString why = CheckAnsiText(c.toString()); !why.isEmpty())
            Refuse(place, why);
        return c.toString();
    };
    {
        TStatement s(*this, "SELECT SIPAddress, SIPPort, Domain, EditRights, Redundant, ProposedFailoverNode,"
                            " CurrentNode FROM system WHERE Id = 1");
        if (s.Step()) {
            const auto column = [&](int i, const char *name, auto read) {
                const QVariant c = s.Column(i);
                return c.isNull() ? std::nullopt
                                  : std::optional(read(c, QStringLiteral("table system, column ") + QLatin1String(name)));
            };
            v.SIPAddress = column(0, "SIPAddress", [&](const QVariant &c, const QString &place) {
                const std::optional<uint32_t> ip = ParseIPv4Text(c.toString());
                if (!ip)
                    Refuse(place, QStringLiteral("not an IPv4 address like 10.0.0.5"));
                return *ip;
            });
            v.SIPPort = column(1, "SIPPort", [&](const QVariant &c, const QString &place) {
                return integer(c, place, MinPort, MaxPort);
            });
            v.Domain = column(2, "Domain", ansi);
            const auto boolean = [](const QVariant &c, const QString &) { return c.toLongLong() != 0; };
            v.EditRights = column(3, "EditRights", boolean);
            v.Redundant = column(4, "Redundant", boolean);
            v.ProposedFailoverNode = column(5, "ProposedFailoverNode", int32);
            v.CurrentNode = column(6, "CurrentNode", int32);
        }
    }
    TStatement s(*this, "SELECT Node, Address FROM node_addresses ORDER BY Node");
    while (s.Step()) {
        const QString row = QStringLiteral("table node_addresses, row Node ") + s.Column(0).toString();
        v.NodeAddresses.insert(int32(s.Column(0), row), ansi(s.Column(1), row + QStringLiteral(", column Address")));
    }
    return v;
}

void TConfigDatabase::SaveSystem(const TSystemValues &Values) {
    TTransaction t(*this);
    {
        TStatement s(*this, "INSERT INTO system VALUES (1, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT (Id) DO UPDATE SET"
                            " SIPAddress = excluded.SIPAddress, SIPPort = excluded.SIPPort, Domain = excluded.Domain,"
                            " EditRights = excluded.EditRights, Redundant = excluded.Redundant,"
                            " ProposedFailoverNode = excluded.ProposedFailoverNode, CurrentNode = excluded.CurrentNode");
        s.BindAll({Values.SIPAddress ? QVariant(IPv4Text(*Values.SIPAddress)) : QVariant(),
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

// "table devices, row DeviceID 5"
QString RowName(const char *table, std::initializer_list<std::pair<const char *, qlonglong>> keys) {
    QString row = QStringLiteral("table ") + QLatin1String(table) + QStringLiteral(", row");
    for (const auto &[name, value] : keys)
        row += QLatin1Char(' ') + QLatin1String(name) + QLatin1Char(' ') + QString::number(value);
    return row;
}

template <class R>
QByteArray SelectSql(const char *table, const std::vector<TRecordField<R>> &fields, const char *rest) {
    return "SELECT " + ColumnList(fields) + ", \"Revision\" FROM " + table + ' ' + rest;
}

template <class R>
QVariantList RecordValues(const std::vector<TRecordField<R>> &fields, const R &record) {
    QVariantList values;
    values.reserve(qsizetype(fields.size()) + 1);
    for (const auto &f : fields)
        values << GetFieldValue(record, f);
    values << record.CustomData;
    return values;
}

const char *const ProfilesTable = "profiles";
const char *const DevicesTable = "devices";
// Import's devices without an ID, in the order they came (their key), until they are numbered.
const char *const UnnumberedTable = "unnumbered_devices";

} // namespace

// Reads the columns of ColumnList into a record: a key that is not positive,
// or a value the record cannot hold, is refused naming the row.
template <class R>
R TConfigDatabase::ReadRecord(const char *Table, const std::vector<TRecordField<R>> &Fields, const TStatement &S) {
    const QString row = RowName(Table, {{Fields[0].Name, S.Column(0).toLongLong()}});
    const auto column = [&](const char *name) { return row + QStringLiteral(", column ") + QLatin1String(name); };
    if (S.Column(0).toLongLong() <= 0)
        Refuse(column(Fields[0].Name), QStringLiteral("not positive"));
    R record;
    for (std::size_t i = 0; i < Fields.size(); ++i) {
        const QVariant value = S.Column(int(i));
        if (value.isNull())
            continue; // a device without a profile
        if (const QString why = SetFieldValue(record, Fields[i], value); !why.isEmpty())
            Refuse(column(Fields[i].Name), why);
    }
    record.CustomData = S.Column(int(Fields.size())).toString();
    if (const QString why = CheckAnsiText(record.CustomData); !why.isEmpty())
        Refuse(column("CustomData"), why);
    record.Revision = S.Column(int(Fields.size()) + 1).toLongLong();
    return record;
}

void TConfigDatabase::ReadOption(TProfileRecord &Profile, qlonglong Tag, qlonglong Value) {
    const QString row = RowName("profile_options", {{"ProfileID", Profile.ProfileID}, {"Tag", Tag}});
    if (Tag < POT_DistinctiveRingtones_Internal || Tag > POT_AutoAnswerType)
        Refuse(row, QStringLiteral("no option has this tag"));
    if (Value != qlonglong(int32_t(Value)))
        Refuse(row + QStringLiteral(", column Value"), QStringLiteral("out of range for a 32-bit integer"));
    // A profile has each tag once (the table's key), so its record holds them all.
    static_assert(TSIPDevice_Profile_Option_Capacity >= POT_AutoAnswerType);
    Profile.Options.list[Profile.Options.len++] = {TSIPDevice_Profile_Option_Tag(Tag), int32_t(Value)};
}

std::vector<TProfileRecord> TConfigDatabase::LoadProfiles() {
    std::vector<TProfileRecord> profiles;
    {
        TStatement s(*this, SelectSql(ProfilesTable, ProfileFields(), "ORDER BY ProfileID"));
        while (s.Step())
            profiles.push_back(ReadRecord(ProfilesTable, ProfileFields(), s));
    }
    TStatement s(*this, "SELECT ProfileID, Tag, Value FROM profile_options ORDER BY ProfileID, Tag");
    // Both in ProfileID order; an option of a profile that is not there is refused.
    auto profile = profiles.begin();
    while (s.Step()) {
        const qlonglong id = s.Column(0).toLongLong();
        while (profile != profiles.end() && profile->ProfileID < id)
            ++profile;
        if (profile == profiles.end() || profile->ProfileID != id)
            Refuse(RowName("profile_options", {{"ProfileID", id}, {"Tag", s.Column(1).toLongLong()}}),
                   QStringLiteral("refers to profile ") + QString::number(id) + QStringLiteral(", which is not there"));
        ReadOption(*profile, s.Column(1).toLongLong(), s.Column(2).toLongLong());
    }
    return profiles;
}

std::optional<TProfileRecord> TConfigDatabase::LoadProfile(int64_t ProfileID) {
    std::optional<TProfileRecord> profile;
    {
        static const QByteArray sql = SelectSql(ProfilesTable, ProfileFields(), "WHERE ProfileID = ?");
        TStatement s(*this, sql);
        s.Bind(1, qlonglong(ProfileID));
        if (!s.Step())
            return std::nullopt;
        profile = ReadRecord(ProfilesTable, ProfileFields(), s);
    }
    TStatement s(*this, "SELECT Tag, Value FROM profile_options WHERE ProfileID = ? ORDER BY Tag");
    s.Bind(1, qlonglong(ProfileID));
    while (s.Step())
        ReadOption(*profile, s.Column(0).toLongLong(), s.Column(1).toLongLong());
    return profile;
}

void TConfigDatabase::SaveProfile(const TProfileRecord &Profile) {
    static const QByteArray upsert = UpsertSql(ProfilesTable, ProfileFields());
    TTransaction t(*this);
    {
        TStatement s(*this, upsert);
        s.BindAll(RecordValues(ProfileFields(), Profile));
        s.Run();
    }
    SaveOptions(Profile);
    LogChange('p', Profile.ProfileID);
    t.Commit();
}

bool TConfigDatabase::UpdateProfile(const TProfileRecord &Profile) {
    static const QByteArray update = UpdateSql(ProfilesTable, ProfileFields());
    TTransaction t(*this);
    {
        TStatement s(*this, update);
        QVariantList values = RecordValues(ProfileFields(), Profile);
        values << values.takeFirst() << qlonglong(Profile.Revision);
        s.BindAll(values);
        s.Run();
    }
    if (WrittenRows() == 0)
        return false;
    SaveOptions(Profile);
    LogChange('p', Profile.ProfileID);
    t.Commit();
    return true;
}

TProfileRecord TConfigDatabase::InsertProfile(TProfileRecord Profile) {
    static const QByteArray insert = InsertNewSql(ProfilesTable, ProfileFields());
    TTransaction t(*this);
    {
        TStatement s(*this, insert);
        QVariantList values = RecordValues(ProfileFields(), Profile);
        values.removeFirst();
        s.BindAll(values);
        s.Step();
        Profile.ProfileID = s.Column(0).toLongLong();
    }
    Profile.Revision = LastChange() + 1;
    SaveOptions(Profile);
    LogChange('p', Profile.ProfileID);
    t.Commit();
    return Profile;
}

bool TConfigDatabase::DeleteProfile(int64_t ProfileID, int64_t Revision) {
    return DeleteAtRevision("DELETE FROM profiles WHERE ProfileID = ? AND Revision = ?", 'p', ProfileID, Revision);
}

bool TConfigDatabase::DeleteAtRevision(const char *Sql, char Kind, int64_t ID, int64_t Revision) {
    TStatement s(*this, Sql);
    s.BindAll({qlonglong(ID), qlonglong(Revision)});
    s.Run();
    if (WrittenRows() == 0)
        return false;
    LogChange(Kind, ID);
    return true;
}

int64_t TConfigDatabase::WrittenRows() { return FBackend->WrittenRows(); }

// Replaces the profile's options; in the caller's transaction.
void TConfigDatabase::SaveOptions(const TProfileRecord &Profile) {
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
}

std::vector<TDeviceRecord> TConfigDatabase::LoadDevices() {
    std::vector<TDeviceRecord> devices;
    ForEachDevice([&](const TDeviceRecord &d) { devices.push_back(d); });
    return devices;
}

std::optional<TDeviceRecord> TConfigDatabase::LoadDevice(int64_t DeviceID) {
    // Made once: judging reads records one at a time.
    static const QByteArray sql = SelectSql(DevicesTable, DeviceFields(), "WHERE DeviceID = ?");
    TStatement s(*this, sql);
    s.Bind(1, qlonglong(DeviceID));
    if (!s.Step())
        return std::nullopt;
    return ReadRecord(DevicesTable, DeviceFields(), s);
}

// The import stores devices by the million: no transaction of their own.
void TConfigDatabase::SaveDevice(const TDeviceRecord &Device) {
    static const QByteArray upsert = UpsertSql(DevicesTable, DeviceFields());
    WriteDevice(upsert, Device, qlonglong(Device.DeviceID));
    LogChange('d', Device.DeviceID);
}

bool TConfigDatabase::UpdateDevice(const TDeviceRecord &Device) {
    static const QByteArray update = UpdateSql(DevicesTable, DeviceFields());
    TTransaction t(*this);
    {
        TStatement s(*this, update);
        QVariantList values = DeviceValues(Device);
        values << values.takeFirst() << qlonglong(Device.Revision);
        s.BindAll(values);
        s.Run();
    }
    if (WrittenRows() == 0)
        return false;
    LogChange('d', Device.DeviceID);
    t.Commit();
    return true;
}

TDeviceRecord TConfigDatabase::InsertDevice(TDeviceRecord Device) {
    static const QByteArray insert = InsertNewSql(DevicesTable, DeviceFields());
    TTransaction t(*this);
    {
        TStatement s(*this, insert);
        QVariantList values = DeviceValues(Device);
        values.removeFirst();
        s.BindAll(values);
        s.Step();
        Device.DeviceID = s.Column(0).toLongLong();
    }
    Device.Revision = LastChange() + 1;
    LogChange('d', Device.DeviceID);
    t.Commit();
    return Device;
}

bool TConfigDatabase::DeleteDevice(int64_t DeviceID, int64_t Revision) {
    return DeleteAtRevision("DELETE FROM devices WHERE DeviceID = ? AND Revision = ?", 'd', DeviceID, Revision);
}

QVariantList TConfigDatabase::DeviceValues(const TDeviceRecord &Device) {
    QVariantList values = RecordValues(DeviceFields(), Device);
    if (Device.ProfileID == 0)
        values[2] = QVariant(); // no profile
    return values;
}

void TConfigDatabase::WriteDevice(const QByteArray &Sql, const TDeviceRecord &Device, const QVariant &Key,
                                  const QVariant &Revision) {
    TStatement s(*this, Sql);
    QVariantList values = DeviceValues(Device);
    values[0] = Key;
    s.BindAll(values);
    if (Revision.isValid())
        s.Bind(int(values.size()) + 1, Revision);
    s.Queue();
}

bool TConfigDatabase::HasDevice(int64_t DeviceID) {
    TStatement s(*this, "SELECT 1 FROM devices WHERE DeviceID = ?");
    s.Bind(1, qlonglong(DeviceID));
    return s.Step();
}

bool TConfigDatabase::AddDevice(const TDeviceRecord &Device) {
    if (Device.DeviceID == 0) {
        static const QByteArray insert = UpsertSql(UnnumberedTable, DeviceFields());
        WriteDevice(insert, Device, qlonglong(++FUnnumbered));
        return true;
    }
    // The site began without devices: one above every DeviceID added is new without asking.
    if (Device.DeviceID <= FHighestAdded && HasDevice(Device.DeviceID))
        return false;
    FHighestAdded = std::max(FHighestAdded, Device.DeviceID);
    // New, so a plain insert, which a server runs in two thirds of an upsert's
    // time, with the site's revision rather than one looked up for each device.
    static const QByteArray insert = "INSERT INTO devices (" + ColumnList(DeviceFields()) + ", \"Revision\") VALUES (" +
                                     QByteArray("?, ").repeated(qsizetype(DeviceFields().size()) + 1) + "?)";
    WriteDevice(insert, Device, qlonglong(Device.DeviceID), qlonglong(FSiteRevision));
    return true;
}

// Merges the set-aside devices into the free IDs as they come, so that
// neither is ever held.
void TConfigDatabase::NumberAddedDevices() {
    static const QByteArray sql =
        SelectSql(UnnumberedTable, DeviceFields(), "WHERE DeviceID > ?1 ORDER BY DeviceID LIMIT ?2");
    int64_t next = 1;
    ForEachDeviceWhere(sql, {}, [&](const TDeviceRecord &held) {
        while (next <= FHighestAdded && HasDevice(next))
            ++next;
        TDeviceRecord device = held;
        device.DeviceID = next++;
        SaveDevice(device);
    });
    TStatement(*this, "DELETE FROM " + QByteArray(UnnumberedTable)).Run();
    FUnnumbered = 0;
}

// Batches follow the key, so a statement is never held while Visit runs.
// The statement takes the last key read as ?1, the batch size as ?2.
void TConfigDatabase::ForEachDeviceWhere(const QByteArray &Sql, const QVariantList &More,
                                         const std::function<void(const TDeviceRecord &)> &Visit) {
    std::vector<TDeviceRecord> batch;
    qlonglong after = std::numeric_limits<qlonglong>::min(); // keys that are not positive are refused, not skipped
    do {
        batch.clear();
        {
            TStatement s(*this, Sql);
            s.BindAll(QVariantList{after, DeviceBatch} + More);
            while (s.Step())
                batch.push_back(ReadRecord(DevicesTable, DeviceFields(), s));
        }
        for (const TDeviceRecord &d : batch)
            Visit(d);
        if (!batch.empty())
            after = batch.back().DeviceID;
    } while (batch.size() == DeviceBatch);
}

void TConfigDatabase::ForEachDevice(const std::function<void(const TDeviceRecord &)> &Visit) {
    static const QByteArray sql = SelectSql(DevicesTable, DeviceFields(), "WHERE DeviceID > ?1 ORDER BY DeviceID LIMIT ?2");
    ForEachDeviceWhere(sql, {}, Visit);
}

void TConfigDatabase::ForEachDeviceOf(int64_t ProfileID, const std::function<void(const TDeviceRecord &)> &Visit) {
    const QByteArray sql = SelectSql(DevicesTable, DeviceFields(),
                                     "WHERE " + OfProfile(ProfileID, "?3") + " AND DeviceID > ?1 ORDER BY DeviceID LIMIT ?2");
    ForEachDeviceWhere(sql, ProfileID ? QVariantList{qlonglong(ProfileID)} : QVariantList{}, Visit);
}

int64_t TConfigDatabase::CountDevices() {
    TStatement s(*this, "SELECT count(*) FROM devices");
    s.Step();
    return s.Column(0).toLongLong();
}

std::vector<TDeviceRecord> TConfigDatabase::DevicesSharing(const char *Field, const QVariant &Except) {
    const QByteArray column = Quoted(Field);
    TStatement s(*this, SelectSql(DevicesTable, DeviceFields(),
                                  "WHERE " + column + " IN (SELECT " + column + " FROM devices WHERE " + column +
                                      " IS NOT ? GROUP BY " + column + " HAVING count(*) > 1) ORDER BY DeviceID"));
    s.Bind(1, Except);
    std::vector<TDeviceRecord> devices;
    while (s.Step())
        devices.push_back(ReadRecord(DevicesTable, DeviceFields(), s));
    return devices;
}

std::vector<TDeviceRecord> TConfigDatabase::DevicesWith(const char *Field, const QVariant &Value) {
    static QHash<QByteArray, QByteArray> sqls; // by field: judging asks for every record
    QByteArray &sql = sqls[Field];
    if (sql.isEmpty())
        sql = SelectSql(DevicesTable, DeviceFields(), "WHERE " + Quoted(Field) + " = ? ORDER BY DeviceID");
    TStatement s(*this, sql);
    s.Bind(1, Value);
    std::vector<TDeviceRecord> devices;
    while (s.Step())
        devices.push_back(ReadRecord(DevicesTable, DeviceFields(), s));
    return devices;
}

QSet<QString> TConfigDatabase::SharedOf(const char *Field, const QStringList &Values) {
    QSet<QString> shared;
    if (Values.isEmpty())
        return shared;
    // A lookup of two rows at most for each value, which a server plans so
    // also before it has statistics of an imported table.
    TStatement s(*this, "SELECT column1 FROM (VALUES " + QByteArray("(?), ").repeated(Values.size() - 1) +
                            "(?)) AS v WHERE (SELECT count(*) FROM (SELECT 1 FROM devices WHERE " + Quoted(Field) +
                            " = v.column1 LIMIT 2) AS r) > 1");
    s.BindAll(QVariantList(Values.begin(), Values.end()));
    while (s.Step())
        shared.insert(s.Column(0).toString());
    return shared;
}

// ---- the window's lists ------------------------------------------------------------

namespace {

// The conditions of a filter after the key's own; the text is ?2, its MAC form ?3.
// Each term is a prefix range of one index: the text followed by the highest character.
QByteArray FilterTerms(const TDeviceFilter &Filter, const QString &MAC) {
    QByteArray sql;
    if (Filter.FlaggedOnly)
        sql += " AND d.DeviceID IN (SELECT DeviceID FROM devices WHERE Verdict > 0)";
    if (Filter.Text.isEmpty())
        return sql;
    const auto prefix = [](const QByteArray &column, const char *param) {
        return column + " >= " + param + " AND " + column + " < " + param + " || char(1114111)";
    };
    QByteArrayList terms = {prefix("d.UniqueID", "?2"), prefix("d.AssignedIP", "?2"),
                            "d.ProfileID IN (SELECT ProfileID FROM profiles WHERE " + prefix("Name", "?2") + ")"};
    if (!MAC.isEmpty())
        terms << prefix("d.MacAddress", "?3");
    return sql + " AND (" + terms.join(" OR ") + ")";
}

// The text as the beginning of a MAC address as the database holds it
// ("00-01-E1"), whatever separators it was typed with; empty when it cannot be one.
QString MACPrefix(const QString &Text) {
    static const QRegularExpression separators(QStringLiteral("[-:. ]"));
    static const QRegularExpression hex(QStringLiteral("^[0-9A-F]{1,12}$"));
    const QString digits = QString(Text).remove(separators).toUpper();
    if (!hex.match(digits).hasMatch())
        return {};
    QStringList pairs;
    for (int i = 0; i < digits.size(); i += 2)
        pairs << digits.mid(i, 2);
    return pairs.join(QLatin1Char('-'));
}

constexpr const char *DeviceListColumns =
    "SELECT d.DeviceID, coalesce(d.ProfileID, 0), d.UniqueID, d.MacAddress, d.AssignedIP, coalesce(p.Name, ''),"
    " d.Revision, d.Verdict, d.VerdictMessage FROM devices d LEFT JOIN profiles p ON p.ProfileID = d.ProfileID WHERE ";

} // namespace

// Key is the condition on the key, ?1; the batch's size is ?4. A text that
// few devices match finds them through its indexes; one that many match
// walks the key, which soon fills a batch.
std::vector<TDeviceListRow> TConfigDatabase::DeviceListRowsWhere(const TDeviceFilter &Filter, const char *Key,
                                                                 int64_t KeyValue, int Count) {
    constexpr int FewRows = 4096;
    const QString mac = MACPrefix(Filter.Text);
    const QByteArray terms = FilterTerms(Filter, mac);
    const bool few = !Filter.Text.isEmpty() && CountDeviceListRows(Filter, FewRows + 1) <= FewRows;
    const QByteArray where =
        few ? Key + QByteArray(" AND d.DeviceID IN (SELECT d.DeviceID FROM devices d WHERE TRUE") + terms + ")" : Key + terms;
    TStatement s(*this, DeviceListColumns + where + " ORDER BY d.DeviceID LIMIT ?4");
    s.BindAll({qlonglong(KeyValue), Filter.Text, mac, Count});
    std::vector<TDeviceListRow> rows;
    while (s.Step())
        rows.push_back({s.Column(0).toLongLong(), s.Column(6).toLongLong(), s.Column(1).toLongLong(),
                        s.Column(2).toString(), s.Column(3).toString(), s.Column(4).toString(), s.Column(5).toString(),
                        Level(s.Column(7)), s.Column(8).toString()});
    return rows;
}

std::vector<TDeviceListRow> TConfigDatabase::DeviceListRows(const TDeviceFilter &Filter, int64_t After, int Count) {
    return DeviceListRowsWhere(Filter, "d.DeviceID > ?1", After, Count);
}

std::optional<TDeviceListRow> TConfigDatabase::DeviceListRow(const TDeviceFilter &Filter, int64_t DeviceID) {
    const std::vector<TDeviceListRow> rows = DeviceListRowsWhere(Filter, "d.DeviceID = ?1", DeviceID, 1);
    return rows.empty() ? std::nullopt : std::optional(rows.front());
}

int64_t TConfigDatabase::CountDeviceListRows(const TDeviceFilter &Filter, int64_t UpTo) {
    const QString mac = MACPrefix(Filter.Text);
    TStatement s(*this, "SELECT count(*) FROM (SELECT 1 FROM devices d WHERE TRUE" + FilterTerms(Filter, mac) +
                            " LIMIT ?4) AS r");
    s.BindAll({QVariant(), Filter.Text, mac, qlonglong(UpTo)});
    s.Step();
    return s.Column(0).toLongLong();
}

std::vector<TProfileListRow> TConfigDatabase::ProfileListRows(int64_t After, int Count) {
    TStatement s(*this, "SELECT ProfileID, Name, (SELECT count(*) FROM devices d WHERE d.ProfileID = p.ProfileID),"
                        " Revision, Verdict, VerdictMessage FROM profiles p WHERE ProfileID > ? ORDER BY ProfileID LIMIT ?");
    s.BindAll({qlonglong(After), Count});
    std::vector<TProfileListRow> rows;
    while (s.Step())
        rows.push_back({s.Column(0).toLongLong(), s.Column(3).toLongLong(), s.Column(1).toString(), s.Column(2).toLongLong(),
                        Level(s.Column(4)), s.Column(5).toString()});
    return rows;
}

std::optional<TProfileListRow> TConfigDatabase::ProfileListRow(int64_t ProfileID) {
    const std::vector<TProfileListRow> rows = ProfileListRows(ProfileID - 1, 1);
    return rows.empty() || rows.front().ProfileID != ProfileID ? std::nullopt : std::optional(rows.front());
}

int64_t TConfigDatabase::CountProfiles() {
    TStatement s(*this, "SELECT count(*) FROM profiles");
    s.Step();
    return s.Column(0).toLongLong();
}

// ---- kept verdicts ------------------------------------------------------------

bool TConfigDatabase::ReadOnly() const { return FBackend->ReadOnly(); }

QString TConfigDatabase::VerdictBasis() {
    TStatement s(*this, "SELECT Basis FROM verdict_basis");
    return s.Step() ? s.Column(0).toString() : QString();
}

void TConfigDatabase::SetVerdictBasis(const QString &Basis) {
    TTransaction t(*this);
    MarkAllStale();
    TStatement s(*this, "INSERT INTO verdict_basis VALUES (1, ?) ON CONFLICT (Id) DO UPDATE SET Basis = excluded.Basis");
    s.Bind(1, Basis);
    s.Run();
    t.Commit();
}

void TConfigDatabase::MarkAllStale() { Execute(StaleEverythingSql); }

int64_t TConfigDatabase::CountStale(int64_t UpTo) {
    TStatement s(*this, "SELECT (SELECT count(*) FROM profiles WHERE VerdictStale = 1) + (SELECT count(*) FROM"
                        " (SELECT 1 FROM devices INDEXED BY devices_stale WHERE VerdictStale = 1 LIMIT ?) AS r)");
    s.Bind(1, qlonglong(UpTo));
    s.Step();
    return s.Column(0).toLongLong();
}

std::vector<int64_t> TConfigDatabase::StaleProfiles(bool Everything) {
    TStatement s(*this, Everything ? "SELECT ProfileID FROM profiles ORDER BY ProfileID"
                                   : "SELECT ProfileID FROM profiles WHERE VerdictStale = 1 ORDER BY ProfileID");
    std::vector<int64_t> ids;
    while (s.Step())
        ids.push_back(s.Column(0).toLongLong());
    return ids;
}

// One statement a batch: the first judging after an import reads every device.
std::vector<TDeviceRecord> TConfigDatabase::StaleDevices(int64_t After, int Count, bool Everything) {
    static const QByteArray all =
        SelectSql(DevicesTable, DeviceFields(), "WHERE DeviceID > ? ORDER BY DeviceID LIMIT ?");
    static const QByteArray stale = SelectSql(DevicesTable, DeviceFields(),
                                              "INDEXED BY devices_stale WHERE VerdictStale = 1 AND DeviceID > ?"
                                              " ORDER BY DeviceID LIMIT ?");
    TStatement s(*this, Everything ? all : stale);
    s.BindAll({qlonglong(After), Count});
    std::vector<TDeviceRecord> devices;
    while (s.Step())
        devices.push_back(ReadRecord(DevicesTable, DeviceFields(), s));
    return devices;
}

void TConfigDatabase::KeepVerdict(const char *Sql, const TVerdict &Verdict) {
    TStatement s(*this, Sql);
    s.BindAll({int(Verdict.Level), Verdict.Message, qlonglong(Verdict.ID)});
    s.Run();
}

void TConfigDatabase::KeepProfileVerdict(const TVerdict &Verdict) {
    KeepVerdict("UPDATE profiles SET Verdict = ?, VerdictMessage = ?, VerdictStale = 0 WHERE ProfileID = ?", Verdict);
}

// A round trip a batch rather than one a device: a statement of KeptBatch
// rows, or as many as are left, prepared once for each number of rows.
void TConfigDatabase::KeepDeviceVerdicts(const std::vector<TVerdict> &Verdicts) {
    constexpr std::size_t KeptBatch = 64;
    static QHash<std::size_t, QByteArray> sqls;
    for (std::size_t at = 0; at < Verdicts.size(); at += KeptBatch) {
        const std::size_t n = std::min(KeptBatch, Verdicts.size() - at);
        QByteArray &sql = sqls[n];
        if (sql.isEmpty()) {
            const QByteArray row = "(CAST(? AS INTEGER), CAST(? AS INTEGER), ?)";
            sql = "UPDATE devices SET Verdict = v.column2, VerdictMessage = v.column3, VerdictStale = 0 FROM (VALUES " +
                  (QByteArray(row) + ", ").repeated(qsizetype(n) - 1) + row + ") AS v WHERE DeviceID = v.column1";
        }
        TStatement s(*this, sql);
        QVariantList values;
        for (std::size_t i = at; i < at + n; ++i)
            values << qlonglong(Verdicts[i].ID) << int(Verdicts[i].Level) << Verdicts[i].Message;
        s.BindAll(values);
        s.Queue();
    }
}

int64_t TConfigDatabase::CountVerdicts(TConflictLevel Level) {
    // The second term lets the planner take the partial index.
    TStatement s(*this, "SELECT (SELECT count(*) FROM profiles WHERE Verdict = ?1) +"
                        " (SELECT count(*) FROM devices WHERE Verdict = ?1 AND Verdict > 0)");
    s.Bind(1, int(Level));
    s.Step();
    return s.Column(0).toLongLong();
}

// One statement each, stepped through while Visit runs: for speed, as a
// report of every device is long.
void TConfigDatabase::ForEachKeptVerdict(const std::function<void(const TKeptVerdict &)> &Profile,
                                         const std::function<void(const TKeptVerdict &)> &Device) {
    std::vector<std::pair<int64_t, QByteArray>> profiles;
    {
        TStatement s(*this, "SELECT ProfileID, Name, Verdict, VerdictMessage FROM profiles ORDER BY ProfileID");
        while (s.Step()) {
            const auto &[id, name] = profiles.emplace_back(s.Integer(0), s.Utf8(1).toByteArray());
            Profile({name, std::nullopt, Level(s.Integer(2)), s.Utf8(3), id});
        }
    }
    profiles.emplace_back(0, QByteArray());
    for (const auto &[id, name] : profiles) {
        TStatement s(*this, "SELECT DeviceID, UniqueID, Verdict, VerdictMessage FROM devices WHERE " +
                                OfProfile(id, "?") + " ORDER BY DeviceID");
        if (id)
            s.Bind(1, qlonglong(id));
        const std::optional<QByteArrayView> profile = id ? std::optional<QByteArrayView>(name) : std::nullopt;
        while (s.Step())
            Device({s.Utf8(1), profile, Level(s.Integer(2)), s.Utf8(3), s.Integer(0)});
    }
}

void TConfigDatabase::CheckReferences() {
    const auto missing = [&](qlonglong profile) {
        return QStringLiteral("refers to profile ") + QString::number(profile) + QStringLiteral(", which is not there");
    };
    {
        TStatement s(*this, "SELECT ProfileID, Tag FROM profile_options o WHERE NOT EXISTS"
                            " (SELECT 1 FROM profiles p WHERE p.ProfileID = o.ProfileID) LIMIT 1");
        if (s.Step())
            Refuse(RowName("profile_options", {{"ProfileID", s.Column(0).toLongLong()}, {"Tag", s.Column(1).toLongLong()}}),
                   missing(s.Column(0).toLongLong()));
    }
    // The profiles the devices refer to, each the next one up in devices_profile
    // (a few lookups, where a scan would read every device), and the first
    // device of each that is not there.
    TStatement s(*this, "WITH RECURSIVE used (ProfileID) AS (SELECT min(ProfileID) FROM devices UNION ALL"
                        " SELECT (SELECT min(ProfileID) FROM devices WHERE ProfileID > used.ProfileID) FROM used"
                        " WHERE ProfileID IS NOT NULL)"
                        " SELECT (SELECT min(DeviceID) FROM devices d WHERE d.ProfileID = used.ProfileID) AS first,"
                        " ProfileID FROM used WHERE ProfileID IS NOT NULL AND NOT EXISTS"
                        " (SELECT 1 FROM profiles p WHERE p.ProfileID = used.ProfileID) ORDER BY first LIMIT 1");
    if (s.Step())
        Refuse(RowName(DevicesTable, {{"DeviceID", s.Column(0).toLongLong()}}), missing(s.Column(1).toLongLong()));
}

void TConfigDatabase::CheckRows(const QString &Basis) {
    CheckReferences();
    LoadSystem();
    LoadProfiles();
    if (VerdictBasis() != Basis) {
        ForEachDevice([](const TDeviceRecord &) {});
        return;
    }
    static const QByteArray stale = SelectSql(DevicesTable, DeviceFields(),
                                              "INDEXED BY devices_stale WHERE VerdictStale = 1 AND DeviceID > ?1"
                                              " ORDER BY DeviceID LIMIT ?2");
    ForEachDeviceWhere(stale, {}, [](const TDeviceRecord &) {});
}

int64_t TConfigDatabase::CountDevicesOf(int64_t ProfileID) {
    TStatement s(*this, "SELECT count(*) FROM devices WHERE ProfileID = ?");
    s.Bind(1, qlonglong(ProfileID));
    s.Step();
    return s.Column(0).toLongLong();
}

QString TConfigDatabase::LoadProfilePage(const QString &DeviceType) {
    TStatement s(*this, "SELECT PagePath FROM profile_pages WHERE DeviceType = ?");
    s.Bind(1, DeviceType);
    return s.Step() ? s.Column(0).toString() : QString();
}

void TConfigDatabase::SaveProfilePage(const QString &DeviceType, const QString &PagePath) {
    TStatement s(*this, "INSERT INTO profile_pages VALUES (?, ?) ON CONFLICT (DeviceType) DO UPDATE SET"
                        " PagePath = excluded.PagePath");
    s.BindAll({DeviceType, PagePath});
    s.Run();
}

TSite TConfigDatabase::LoadSite() {
    CheckReferences();
    return {LoadSystem(), LoadProfiles(), LoadDevices()};
}

void TConfigDatabase::ReplaceSite(const std::function<void()> &Fill) {
    TTransaction t(*this);
    const bool rebuild = FBackend->Embedded();
    QByteArray cache; // SQLite's page cache as it was
    const auto restoreCache = qScopeGuard([&] {
        try {
            if (!cache.isEmpty())
                Execute("PRAGMA cache_size = " + cache);
        } catch (const EDatabase &) {
            // Setting a number fails only for want of memory, which a smaller cache needs less of.
        }
    });
    if (rebuild) {
        {
            TStatement s(*this, "PRAGMA cache_size");
            cache = s.Step() ? QByteArray::number(s.Integer(0)) : QByteArray();
        }
        // The pages the import writes, and the sorts that build the indexes,
        // stay in memory longer: 16 MiB rather than SQLite's 2.
        Execute("PRAGMA cache_size = -16384");
        // The devices' indexes are built once every device is in, by sorting,
        // rather than grown a row at a time; the triggers that mark the devices
        // sharing a key of one that comes or goes have none to mark, as all go
        // (and without them the devices go at once). Both come back from their
        // definitions at the end, in the same transaction.
        Execute("DROP INDEX IF EXISTS devices_profile; DROP INDEX IF EXISTS devices_unique_id;"
                " DROP INDEX IF EXISTS devices_mac; DROP INDEX IF EXISTS devices_ip; DROP INDEX IF EXISTS devices_stale");
        for (const char *trigger : {"device_added", "device_removed"})
            Execute(FBackend->DropTrigger(trigger, DevicesTable));
    } else {
        // On a server they stay: other sessions read on meanwhile, and only
        // the tables' owner may drop them. With every verdict stale, the
        // triggers have nothing to mark as the devices go.
        MarkAllStale();
    }
    Execute("DELETE FROM devices; DELETE FROM profile_options; DELETE FROM profiles; DELETE FROM system;"
            " DELETE FROM node_addresses");
    FHighestAdded = 0;
    FSiteRevision = LastChange() + 1; // the number the change that stores the site takes
    // SQLite keeps a temporary table in a file of its own, so it holds any number of devices.
    static const QByteArray unnumbered =
        "CREATE TEMP TABLE IF NOT EXISTS " + QByteArray(UnnumberedTable) + " (" +
        ColumnDefinitions(DeviceFields(), {{"DeviceID", "INTEGER PRIMARY KEY"}, {"ProfileID", "INTEGER"}}).join(", ") +
        ")";
    Execute(unnumbered.constData());
    FReplacing = true;
    const auto replaced = qScopeGuard([this] { FReplacing = false; });
    Fill();
    FReplacing = false;
    if (rebuild) {
        CreateIndexes();
        AddKeptVerdicts();
    }
    LogChange('s', 0);
    t.Commit();
}

void TConfigDatabase::ReplaceSite(const TSite &Site) {
    ReplaceSite([&] {
        SaveSystem(Site.System);
        for (const TProfileRecord &p : Site.Profiles)
            SaveProfile(p);
        for (const TDeviceRecord &d : Site.Devices)
            SaveDevice(d);
    });
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

// ---- the change log ---------------------------------------------------------------

void TConfigDatabase::LogChange(char Kind, int64_t ID) {
    if (FReplacing)
        return;
    int64_t seq = 0;
    {
        TStatement s(*this, "INSERT INTO changes VALUES ((SELECT coalesce(max(Seq), 0) + 1 FROM changes), ?, ?)"
                            " RETURNING Seq");
        s.BindAll({QString(QLatin1Char(Kind)), qlonglong(ID)});
        s.Step();
        seq = s.Column(0).toLongLong();
    }
    // A replaced site makes every change before it moot.
    TStatement s(*this, "DELETE FROM changes WHERE Seq <= ?");
    s.Bind(1, qlonglong(seq - (Kind == 's' ? 1 : KeptChanges)));
    s.Run();
    FBackend->NoteChange();
}

int64_t TConfigDatabase::Changes() { return FBackend->Changes(); }

int64_t TConfigDatabase::LastChange() {
    TStatement s(*this, "SELECT coalesce(max(Seq), 0) FROM changes");
    s.Step();
    return s.Column(0).toLongLong();
}

TConfigDatabase::TChanged TConfigDatabase::ChangedAfter(int64_t After) {
    TChanged changed;
    changed.Last = After;
    {
        // Changes right after After that are no longer kept are lost to the reader.
        TStatement s(*this, "SELECT coalesce(min(Seq), 0) FROM changes");
        s.Step();
        changed.Whole = s.Column(0).toLongLong() > After + 1;
    }
    TStatement s(*this, "SELECT Seq, Kind, ID FROM changes WHERE Seq > ? ORDER BY Seq");
    s.Bind(1, qlonglong(After));
    while (s.Step()) {
        changed.Last = s.Column(0).toLongLong();
        const QString kind = s.Column(1).toString();
        if (kind == QLatin1String("s"))
            changed.Whole = true;
        else
            (kind == QLatin1String("p") ? changed.Profiles : changed.Devices).push_back(s.Column(2).toLongLong());
    }
    return changed;
}
