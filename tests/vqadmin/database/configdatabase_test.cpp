// The host's configuration database: schema on first use, every field kept,
// options as a set, profile links, and all-or-nothing writes; in an SQLite
// file and on a PostgreSQL server alike.

#include "database/ConfigDatabase.h"
#include "ServerDatabase.h"
#include "SiteSamples.h"

#include <QCryptographicHash>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ConfigDatabaseTest : public ::testing::Test {
protected:
    QString DbPath() const { return FDir.filePath("site.db"); }
    QTemporaryDir FDir;
};

// The same on the backend the test's parameter names.
class DatabaseTest : public ::testing::TestWithParam<bool> {
protected:
    bool OnServer() const { return GetParam(); }
    QString DbPath() const { return OnServer() ? FServer->Address() : FDir.filePath("site.db"); }
    // Another tool's SQL: its message, or none.
    QString Raw(const char *Sql) const { return OnServer() ? ServerSql(DbPath(), Sql) : RawSql(DbPath(), Sql); }
    qlonglong Scalar(const char *Sql) const;

    QTemporaryDir FDir;
    std::unique_ptr<TServerDatabase> FServer = OnServer() ? std::make_unique<TServerDatabase>() : nullptr;
};

// The first column of the first row of a query, as any SQLite tool reads it.
qlonglong Scalar(const QString &path, const char *sql) {
    sqlite3 *db = nullptr;
    sqlite3_stmt *statement = nullptr;
    qlonglong value = -1;
    if (sqlite3_open(path.toUtf8().constData(), &db) == SQLITE_OK &&
        sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK && sqlite3_step(statement) == SQLITE_ROW)
        value = sqlite3_column_int64(statement, 0);
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return value;
}

qlonglong DatabaseTest::Scalar(const char *Sql) const {
    if (!OnServer())
        return ::Scalar(DbPath(), Sql);
    bool ok = false;
    const qlonglong value = ServerSql(DbPath(), Sql).toLongLong(&ok);
    return ok ? value : -1;
}

// A filter's rows come in key order after a key, whether few devices match
// (read through the filter's indexes) or many (read along the key).
TEST_P(DatabaseTest, AFiltersRowsComeInKeyOrderWhetherFewOrManyMatch) {
    TConfigDatabase db(DbPath());
    db.ReplaceSite([&] {
        db.SaveProfile(SampleProfile(1, "Sales"));
        for (int i = 1; i <= 5000; ++i) {
            TDeviceRecord d = SampleDevice(i, 1, QStringLiteral("ID%1").arg(i));
            d.MacAddress = {{0x00, 0x01, 0xE1, 0x00, uint8_t(i >> 8), uint8_t(i)}};
            db.SaveDevice(d);
        }
    });
    const auto ids = [&](const QString &Text, int64_t After) {
        QList<int64_t> ids;
        for (const TDeviceListRow &r : db.DeviceListRows({Text}, After, 3))
            ids << r.DeviceID;
        return ids;
    };
    EXPECT_EQ(ids("00-01-E1-00", 4000), QList<int64_t>({4001, 4002, 4003}));
    EXPECT_EQ(ids("00:01:e1:00:1", 4500), QList<int64_t>({4501, 4502, 4503}));
    EXPECT_EQ(db.CountDeviceListRows({"00:01:e1:00:1"}), 905);
}

TEST_P(DatabaseTest, CreatedOnFirstUseAndKeepingEveryField) {
    const TProfileRecord profile = SampleProfile(3, QStringLiteral("F\xFCr alle"));
    const TDeviceRecord device = SampleDevice(9, 3, "0001E1ABCD09");
    TDeviceRecord empty; // its texts, enumerations and addresses have empty forms too
    empty.DeviceID = 10;
    // Only import makes a database; any command opens one.
    const auto existing = [&] { TConfigDatabase db(DbPath(), TConfigDatabase::TOpenMode::Existing); };
    EXPECT_EQ(Failure(existing), DbPath() + ": no such database (import creates one)");
    {
        TConfigDatabase db(DbPath());
        EXPECT_EQ(Failure(existing), "");
        EXPECT_TRUE(db.LoadProfiles().empty() && db.LoadDevices().empty());
        EXPECT_EQ(db.LoadSystem(), TSystemValues{});
        db.SaveProfile(profile);
        db.SaveDevice(device);
        db.SaveDevice(empty);
    }
    TConfigDatabase db(DbPath());
    ASSERT_TRUE(db.LoadProfile(3) && db.LoadDevice(9));
    EXPECT_FALSE(db.LoadProfile(4));
    EXPECT_EQ(Describe(*db.LoadProfile(3)), Describe(profile));
    EXPECT_EQ(Describe(db.LoadProfiles().at(0)), Describe(profile));
    EXPECT_EQ(Describe(*db.LoadDevice(9)), Describe(device));
    EXPECT_EQ(Describe(db.LoadDevices().at(1)), Describe(empty));
}

// Files that are no database, or of a newer schema, are vqadmin's tests.
TEST_P(DatabaseTest, ADatabaseOfAnotherProgramIsRefused) {
    ASSERT_EQ(Raw("CREATE TABLE phones (x INTEGER)"), "");
    EXPECT_EQ(Failure([&] { TConfigDatabase db(DbPath()); }), DbPath() + ": not a vqadmin database");
}

// A database of schema 1, as the host before the remembered profile pages made it.
const char *const SchemaOneDatabase = R"sql(
CREATE TABLE system (Id INTEGER PRIMARY KEY CHECK (Id = 1), SIPAddress TEXT, SIPPort INTEGER, Domain TEXT, EditRights INTEGER, Redundant INTEGER, ProposedFailoverNode INTEGER, CurrentNode INTEGER) STRICT;
INSERT INTO system VALUES(1,'10.0.0.5',5060,'pbx.example.com',1,0,-1,-1);
CREATE TABLE node_addresses (Node INTEGER PRIMARY KEY, Address TEXT NOT NULL) STRICT;
CREATE TABLE profiles ("ProfileID" INTEGER PRIMARY KEY CHECK ("ProfileID" > 0), "DeviceType" TEXT NOT NULL DEFAULT '', "SyslogIfNotRegistered" INTEGER NOT NULL DEFAULT 0, "Codecs" INTEGER NOT NULL DEFAULT 0, "NumberOfLines" INTEGER NOT NULL DEFAULT 0, "HasAnalogLine" INTEGER NOT NULL DEFAULT 0, "SupportsConferences" INTEGER NOT NULL DEFAULT 0, "SendsSIPRegister" INTEGER NOT NULL DEFAULT 0, "UnsolicitedMWI" INTEGER NOT NULL DEFAULT 0, "SupportsEarlyMedia" INTEGER NOT NULL DEFAULT 0, "SupportsAssertedIdentity" INTEGER NOT NULL DEFAULT 0, "DisplayType" TEXT NOT NULL DEFAULT 'devdtNone', "SupportsPage" INTEGER NOT NULL DEFAULT 0, "SupportsIM" INTEGER NOT NULL DEFAULT 0, "PrefixExtCalls" INTEGER NOT NULL DEFAULT 0, "AllowLocationSpecOnPhone" INTEGER NOT NULL DEFAULT 0, "Name" TEXT NOT NULL UNIQUE, "GetsStaticIP" INTEGER NOT NULL DEFAULT 0, "IsDHCPServer" INTEGER NOT NULL DEFAULT 0, "SupportsSIPBasedUpdate" INTEGER NOT NULL DEFAULT 0, "IsDefault" INTEGER NOT NULL DEFAULT 0, "ExtraValue" INTEGER NOT NULL DEFAULT 0, "UpdateDevicesRequired" INTEGER NOT NULL DEFAULT 0, "FailoverNodeId" INTEGER NOT NULL DEFAULT 0, "FailoverSIPIP" TEXT NOT NULL DEFAULT '', "FailoverSIPPort" INTEGER NOT NULL DEFAULT 0, "CustomData" TEXT NOT NULL DEFAULT '') STRICT;
INSERT INTO profiles VALUES(1,'LYN 2',0,15,2,0,0,1,0,1,0,'devdtNone',1,0,0,0,'Sales',0,0,1,1,0,0,0,'',0,'General{InterdigitTO=2200}');
CREATE TABLE profile_options (ProfileID INTEGER NOT NULL REFERENCES profiles (ProfileID) ON DELETE CASCADE, Tag INTEGER NOT NULL CHECK (Tag BETWEEN 1 AND 8), Value INTEGER NOT NULL, PRIMARY KEY (ProfileID, Tag)) STRICT, WITHOUT ROWID;
INSERT INTO profile_options VALUES(1,5,1);
CREATE TABLE devices ("DeviceID" INTEGER PRIMARY KEY CHECK ("DeviceID" > 0), "Protocol" TEXT NOT NULL DEFAULT 'ptNotSet', "ProfileID" INTEGER REFERENCES profiles ("ProfileID"), "UniqueID" TEXT NOT NULL DEFAULT '', "ProxyPassword" TEXT NOT NULL DEFAULT '', "AssignedIP" TEXT NOT NULL DEFAULT '', "AssignedPort" INTEGER NOT NULL DEFAULT 0, "AssignedContact" TEXT NOT NULL DEFAULT '', "MacAddress" TEXT NOT NULL DEFAULT '00-00-00-00-00-00', "NormalLocationID" INTEGER NOT NULL DEFAULT 0, "DHCP_SRV_Start_IP" TEXT NOT NULL DEFAULT '', "DHCP_SRV_End_IP" TEXT NOT NULL DEFAULT '', "Greeting" TEXT NOT NULL DEFAULT '', "CustomData" TEXT NOT NULL DEFAULT '') STRICT;
INSERT INTO devices VALUES(1,'ptSIP',1,'0001E1000001','lyn2','',0,'','00-01-E1-00-00-01',0,'','','','');
CREATE INDEX devices_profile ON devices (ProfileID);
PRAGMA user_version = 1;
)sql";

TEST_F(ConfigDatabaseTest, ASchemaOneDatabaseIsMigratedKeepingItsRows) {
    ASSERT_EQ(RawSql(DbPath(), SchemaOneDatabase), "");
    const TSite site = TConfigDatabase(DbPath(), TConfigDatabase::TOpenMode::Existing).LoadSite();
    ASSERT_EQ(site.Profiles.size(), 1u);
    EXPECT_EQ(site.Profiles[0].Name, "Sales");
    EXPECT_EQ(site.Profiles[0].CustomData, "General{InterdigitTO=2200}");
    ASSERT_EQ(site.Devices.size(), 1u);
    EXPECT_EQ(site.Devices[0].UniqueID, "0001E1000001");
    EXPECT_EQ(site.Devices[0].ProxyPassword, "lyn2");
    // The version is written, the device list's index made, the profile's
    // widened to the report's columns; the new table takes pages and keeps them.
    EXPECT_EQ(Scalar(DbPath(), "PRAGMA user_version"), 5);
    EXPECT_EQ(Scalar(DbPath(), "SELECT count(*) FROM sqlite_schema WHERE name = 'devices_ip'"), 1);
    EXPECT_EQ(Scalar(DbPath(), "SELECT count(*) FROM pragma_index_info('devices_profile')"), 5);
    {
        TConfigDatabase db(DbPath());
        db.SaveProfilePage("OTHER", "pcSettings.tshSIP.SIP Settings");
        db.SaveProfilePage("LYN 2", "pcSettings.tshIP.IP Communications");
    }
    TConfigDatabase db(DbPath());
    EXPECT_EQ(db.LoadProfilePage("LYN 2"), "pcSettings.tshIP.IP Communications");
    EXPECT_EQ(db.LoadProfilePage("OTHER"), "pcSettings.tshSIP.SIP Settings");
    // Not part of the site: a new site leaves them.
    db.ReplaceSite(TSite{});
    EXPECT_EQ(db.LoadProfilePage("LYN 2"), "pcSettings.tshIP.IP Communications");
}

TEST_P(DatabaseTest, AProfileGoesWithItsOptionsButNotWhileDevicesUseIt) {
    TConfigDatabase db(DbPath());
    db.SaveProfile(SampleProfile(1, "Sales"));
    db.SaveProfile(SampleProfile(2, "Lab"));
    ASSERT_EQ(Scalar("SELECT count(*) FROM profile_options WHERE ProfileID = 2"), 2);
    db.SaveDevice(SampleDevice(5, 1, "0001E1000005"));
    EXPECT_EQ(db.CountDevicesOf(1), 1);
    EXPECT_EQ(db.CountDevicesOf(2), 0);
    EXPECT_FALSE(Failure([&] { db.DeleteProfile(1, db.LoadProfile(1)->Revision); }).isEmpty());
    EXPECT_TRUE(db.LoadProfile(1));
    // Names identify profiles in site files.
    EXPECT_TRUE(Failure([&] { db.SaveProfile(SampleProfile(3, "Lab")); }).contains("unique constraint", Qt::CaseInsensitive));
    EXPECT_TRUE(db.DeleteProfile(2, db.LoadProfile(2)->Revision));
    EXPECT_FALSE(db.DeleteProfile(7, 1));
    EXPECT_FALSE(db.LoadProfile(2));
    ASSERT_EQ(db.LoadProfiles().size(), 1u);
    EXPECT_EQ(Scalar("SELECT count(*) FROM profile_options WHERE ProfileID = 2"), 0);
    EXPECT_EQ(Scalar("SELECT count(*) FROM profile_options WHERE ProfileID = 1"), 2);
}

TEST_P(DatabaseTest, OptionsAreKeptAsASetByTag) {
    TConfigDatabase db(DbPath());
    TProfileRecord p = SampleProfile(1, "Sales");
    // An empty entry is dropped, and of two entries with one tag the first wins.
    p.Options = {{{POT_SilenceSuppression, 1}, {POT_Invalid, 9}, {POT_DistinctiveRingtones_External, 5},
                  {POT_SilenceSuppression, 0}},
                 4};
    db.SaveProfile(p);
    const TProfileRecord loaded = *db.LoadProfile(1);
    ASSERT_EQ(loaded.Options.len, 2);
    EXPECT_EQ(loaded.Options.list[0].tag, POT_DistinctiveRingtones_External);
    EXPECT_EQ(loaded.Options.list[0].value, 5);
    EXPECT_EQ(loaded.Options.list[1].tag, POT_SilenceSuppression);
    EXPECT_EQ(loaded.Options.list[1].value, 1);

    p.Options.len = 0; // saving again replaces them
    db.SaveProfile(p);
    EXPECT_EQ(db.LoadProfile(1)->Options.len, 0);

    // A tag the host does not keep fails the whole save, the row's fields included.
    p.Codecs = 3;
    p.Options = {{{TSIPDevice_Profile_Option_Tag(9), 1}}, 1};
    EXPECT_TRUE(Failure([&] { db.SaveProfile(p); }).contains("check constraint", Qt::CaseInsensitive));
    EXPECT_EQ(db.LoadProfile(1)->Codecs, 15);
}

// More devices than one batch holds, with gaps in their IDs: each is visited
// once, in DeviceID order, also while the visit writes to the database.
TEST_P(DatabaseTest, DevicesAreVisitedInBatchesInKeyOrder) {
    TConfigDatabase db(DbPath());
    db.SaveProfile(SampleProfile(1, "Sales"));
    db.SaveProfile(SampleProfile(2, "Lab"));
    QList<int64_t> all, of[3];
    {
        TConfigDatabase::TTransaction t(db);
        for (int64_t id = 3; id <= 9000; id += 3) {
            const int64_t profile = id % 5 == 0 ? 0 : 1 + id % 2;
            db.SaveDevice(SampleDevice(id, profile, QStringLiteral("D%1").arg(id)));
            all << id;
            of[profile] << id;
        }
        t.Commit();
    }
    EXPECT_EQ(db.CountDevices(), all.size());
    const auto devicesOf = [&](int64_t profile) {
        QList<int64_t> seen;
        db.ForEachDeviceOf(profile, [&](const TDeviceRecord &d) { seen << d.DeviceID; });
        return seen;
    };
    for (int64_t profile : {0, 1, 2})
        EXPECT_EQ(devicesOf(profile), of[profile]) << profile;
    QList<int64_t> seen;
    TConfigDatabase::TTransaction t(db);
    db.ForEachDevice([&](const TDeviceRecord &d) {
        seen << d.DeviceID;
        TDeviceRecord moved = d;
        moved.ProfileID = 2;
        db.SaveDevice(moved);
    });
    EXPECT_EQ(seen, all);
    EXPECT_EQ(devicesOf(2), all);
}

// Import's devices in any order: one whose DeviceID is taken is left out,
// those without one take the free IDs in the order they came; a write that
// fails (on a server, sent on without waiting) still undoes the whole site.
// Another statement may run while a read's rows are being stepped through.
TEST_P(DatabaseTest, ImportAddsADeviceWhoseIDIsFreeAndNumbersTheRest) {
    TConfigDatabase db(DbPath());
    QList<bool> added;
    db.ReplaceSite([&] {
        db.SaveProfile(SampleProfile(1, "Sales"));
        for (const auto &[id, unique] : {std::pair{5, "a"}, {2, "b"}, {0, "c"}, {5, "x"}, {9, "e"}, {2, "x"}, {0, "g"}})
            added << db.AddDevice(SampleDevice(id, 1, QLatin1String(unique)));
        for (int id = 10; id < 300; ++id) // more than a server is sent in one statement
            db.AddDevice(SampleDevice(id, 1, QString::number(id)));
        db.NumberAddedDevices();
    });
    EXPECT_EQ(added, QList<bool>({true, true, true, false, true, false, true}));
    EXPECT_THROW(db.ReplaceSite([&] { db.AddDevice(SampleDevice(1, 7, "x")); }), EDatabase);
    const std::unique_ptr<TDatabaseBackend> backend = OpenBackend(DbPath(), false);
    TBackendStatement &devices =
        backend->Statement("SELECT DeviceID || UniqueID FROM devices WHERE DeviceID < 10 ORDER BY DeviceID");
    TBackendStatement &count = backend->Statement("SELECT count(*) FROM devices");
    QStringList stored;
    while (devices.Step() && count.Step()) {
        stored << devices.Column(0).toString() + count.Column(0).toString();
        count.Reset();
    }
    devices.Reset();
    EXPECT_EQ(stored, QStringList({"1c295", "2b295", "3g295", "5a295", "9e295"}));
    EXPECT_EQ(Scalar("SELECT count(*) FROM devices WHERE UniqueID = CAST(DeviceID AS TEXT)"), 290);
}

TEST_P(DatabaseTest, FirstFreeStartNumberOfADevicePrefix) {
    TConfigDatabase db(DbPath());
    int64_t id = 0;
    for (const char *unique : {"Sales1", "Sales2", "Sales4", "Sales07", "sales3", "Salesx3", "Sales-5", "7"})
        db.SaveDevice(SampleDevice(++id, 0, QLatin1String(unique)));
    for (const auto &[prefix, first] : {std::pair{"Sales", 3}, {"sales", 1}, {"Lab", 1}, {"Sales-", 1}})
        EXPECT_EQ(db.FirstFreeStartNumber(prefix), first) << prefix;
    db.SaveDevice(SampleDevice(++id, 0, "Sales3"));
    EXPECT_EQ(db.FirstFreeStartNumber("Sales"), 5);
    // With no prefix, plain numbers count.
    db.SaveDevice(SampleDevice(++id, 0, "1"));
    EXPECT_EQ(db.FirstFreeStartNumber(QString()), 2);
}

// A schema 3 database gains the revisions, every row at 1; a write names the
// revision it read and writes nothing over another's; new rows take the ID
// after the highest as they are stored.
TEST_F(ConfigDatabaseTest, ASchemaThreeDatabaseGainsRevisionsThatWritesMustName) {
    TConfigDatabase{DbPath()}.ReplaceSite({{}, {SampleProfile(1, "Sales")}, {SampleDevice(5, 1, "0001E1000005")}});
    ASSERT_EQ(RawSql(DbPath(), "ALTER TABLE devices DROP COLUMN Revision; ALTER TABLE profiles DROP COLUMN Revision;"
                               "DROP TABLE changes; PRAGMA user_version = 3"),
              "");
    TConfigDatabase db(DbPath(), TConfigDatabase::TOpenMode::Existing);
    EXPECT_EQ(Scalar(DbPath(), "PRAGMA user_version"), 5);
    EXPECT_EQ(Scalar(DbPath(), "SELECT Revision FROM devices WHERE DeviceID = 5"), 1);

    TDeviceRecord device = *db.LoadDevice(5);
    device.ProxyPassword = "first";
    EXPECT_TRUE(db.UpdateDevice(device));
    device.ProxyPassword = "second";
    EXPECT_FALSE(db.UpdateDevice(device));
    EXPECT_FALSE(db.DeleteDevice(5, device.Revision));
    EXPECT_EQ(db.LoadDevice(5)->ProxyPassword, "first");
    EXPECT_EQ(Scalar(DbPath(), "SELECT Revision FROM devices WHERE DeviceID = 5"), 2);
    EXPECT_TRUE(db.DeleteDevice(5, 2));

    TProfileRecord profile = *db.LoadProfile(1);
    profile.Name = "first";
    EXPECT_TRUE(db.UpdateProfile(profile));
    profile.Options = {};
    EXPECT_FALSE(db.UpdateProfile(profile));
    EXPECT_EQ(Scalar(DbPath(), "SELECT count(*) FROM profile_options WHERE ProfileID = 1"), 2);

    EXPECT_EQ(db.InsertDevice(SampleDevice(0, 1, "a")).DeviceID, 1);
    EXPECT_EQ(db.InsertDevice(SampleDevice(0, 1, "b")).DeviceID, 2);
    EXPECT_EQ(db.InsertProfile(SampleProfile(0, "Lab")).ProfileID, 2);
    // An import replaces what was read: its rows are at none of the revisions read before.
    const TDeviceRecord read = *db.LoadDevice(1);
    db.ReplaceSite({{}, {SampleProfile(1, "Sales")}, {SampleDevice(1, 1, "imported")}});
    EXPECT_FALSE(db.UpdateDevice(read));
}

// A transaction that only reads reads the site as it was when it began, and
// on a server keeps no writer waiting (SQLite's readers hold writers off).
TEST_P(DatabaseTest, AReadSnapshotKeepsNoWriterWaiting) {
    TConfigDatabase db(DbPath());
    db.SaveDevice(SampleDevice(1, 0, "a"));
    const TConfigDatabase::TTransaction snapshot(db, TConfigDatabase::TTransaction::TLock::Never);
    EXPECT_EQ(db.CountDevices(), 1);
    if (OnServer())
        TConfigDatabase(DbPath()).SaveDevice(SampleDevice(2, 0, "b"));
    else
        EXPECT_EQ(Raw("DELETE FROM devices"), "database is locked");
    EXPECT_EQ(db.CountDevices(), 1);
}

// Whatever writes, this host or another tool, a write marks stale the
// verdicts made from what it changed, and only those.
TEST_P(DatabaseTest, AWriteMarksStaleTheVerdictsMadeFromWhatItChanged) {
    struct TCase {
        const char *Write;
        std::function<void(TConfigDatabase &)> Host; // instead of Write
        std::vector<int64_t> Profiles, Devices;
    };
    const std::vector<int64_t> all = {1, 2, 3, 4};
    // As long as a MAC address shared by a few hundred devices makes it, and
    // as random: more than a server's index takes in one entry.
    QString longMessage;
    for (int i = 0; i < 150; ++i)
        longMessage += QCryptographicHash::hash(QByteArray::number(i), QCryptographicHash::Md5).toHex() + ", ";
    const TCase cases[] = {
        {"UPDATE devices SET ProxyPassword = 'x' WHERE DeviceID = 2", {}, {}, {2}},
        {"UPDATE devices SET UniqueID = 'a' WHERE DeviceID = 3", {}, {}, {1, 3}},   // now shared
        {"UPDATE devices SET MacAddress = '00-01-E1-AB-CD-09' WHERE DeviceID = 4", {}, {}, {1, 4}}, // no longer
        {"DELETE FROM devices WHERE DeviceID = 4", {}, {}, {1}},
        {nullptr, [](TConfigDatabase &Db) { Db.SaveDevice(SampleDevice(9, 1, "b")); }, {}, {2, 9}},
        {"UPDATE profiles SET Codecs = 3 WHERE ProfileID = 2", {}, {2}, {3, 4}},
        {"DELETE FROM profile_options WHERE ProfileID = 1 AND Tag = 8", {}, {1}, {1, 2}},
        {nullptr, [](TConfigDatabase &Db) { Db.SaveSystem({}); }, {1, 2}, all},
        {"INSERT INTO node_addresses VALUES (3, '10.0.0.3')", {}, {1, 2}, all},
        // Neither a verdict kept nor what the dialogs remember.
        {nullptr, [&](TConfigDatabase &Db) { Db.KeepDeviceVerdicts({{"a", {}, clvError, longMessage, 1}}); }, {}, {}},
        {nullptr, [](TConfigDatabase &Db) { Db.SaveProfilePage("LYN 2", "pcSettings"); }, {}, {}},
    };
    TConfigDatabase db(DbPath());
    for (const TCase &c : cases) {
        TDeviceRecord shares = SampleDevice(4, 2, "d");
        shares.MacAddress = SampleDevice(1, 1, "a").MacAddress;
        db.ReplaceSite({{}, {SampleProfile(1, "P1"), SampleProfile(2, "P2")},
                        {SampleDevice(1, 1, "a"), SampleDevice(2, 1, "b"), SampleDevice(3, 2, "c"), shares}});
        EXPECT_EQ(db.CountStale(), 6);
        ASSERT_EQ(Raw("UPDATE profiles SET VerdictStale = 0; UPDATE devices SET VerdictStale = 0"), "");
        if (c.Write)
            ASSERT_EQ(Raw(c.Write), "");
        else
            c.Host(db);
        const std::string what = c.Write ? c.Write : "the host's write";
        EXPECT_EQ(db.StaleProfiles(), c.Profiles) << what;
        std::vector<int64_t> stale;
        for (const TDeviceRecord &d : db.StaleDevices(0, 100))
            stale.push_back(d.DeviceID);
        EXPECT_EQ(stale, c.Devices) << what;
    }
}

INSTANTIATE_TEST_SUITE_P(, DatabaseTest, ::testing::Values(false, true),
                         [](const auto &Info) { return Info.param ? "PostgreSQL" : "SQLite"; });

} // namespace
