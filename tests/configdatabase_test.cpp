// The host's configuration database: schema on first use, every field kept,
// options as a set, profile links, and all-or-nothing writes.

#include "ConfigDatabase.h"
#include "SiteSamples.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ConfigDatabaseTest : public ::testing::Test {
protected:
    QString DbPath() const { return FDir.filePath(QStringLiteral("site.db")); }
    QTemporaryDir FDir;
};

QString Failure(const std::function<void()> &f) {
    try {
        f();
    } catch (const EDatabase &e) {
        return e.Message();
    }
    return {};
}

TEST_F(ConfigDatabaseTest, CreatedOnFirstUseAndKeptAcrossOpenings) {
    ASSERT_FALSE(QFile::exists(DbPath()));
    {
        TConfigDatabase db(DbPath());
        EXPECT_TRUE(QFile::exists(DbPath()));
        EXPECT_TRUE(db.LoadProfiles().empty());
        EXPECT_TRUE(db.LoadDevices().empty());
        EXPECT_EQ(db.LoadSystem(), TSystemValues{});
        db.SaveProfile(SampleProfile(3, QStringLiteral("Sales")));
    }
    TConfigDatabase db(DbPath());
    const std::optional<TProfileRecord> p = db.LoadProfile(3);
    ASSERT_TRUE(p);
    EXPECT_EQ(Describe(*p), Describe(SampleProfile(3, QStringLiteral("Sales"))));
    EXPECT_FALSE(db.LoadProfile(4));
}

TEST_F(ConfigDatabaseTest, RefusesFilesThatAreNotItsDatabase) {
    QFile text(DbPath());
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("profiles: Sales, Lab\n");
    text.close();
    EXPECT_TRUE(Failure([&] { TConfigDatabase db(DbPath()); }).contains(QLatin1String("not a database")));

    const QString other = FDir.filePath(QStringLiteral("other.db"));
    sqlite3 *raw = nullptr;
    ASSERT_EQ(sqlite3_open(other.toUtf8().constData(), &raw), SQLITE_OK);
    sqlite3_exec(raw, "CREATE TABLE phones (x)", nullptr, nullptr, nullptr);
    sqlite3_close(raw);
    EXPECT_EQ(Failure([&] { TConfigDatabase db(other); }), other + QStringLiteral(": not a vqadmin database"));

    {
        TConfigDatabase db(other.chopped(3) + QStringLiteral("-new.db"));
    }
    ASSERT_EQ(sqlite3_open((other.chopped(3) + QStringLiteral("-new.db")).toUtf8().constData(), &raw), SQLITE_OK);
    sqlite3_exec(raw, "PRAGMA user_version = 7", nullptr, nullptr, nullptr);
    sqlite3_close(raw);
    EXPECT_TRUE(Failure([&] { TConfigDatabase db(other.chopped(3) + QStringLiteral("-new.db")); })
                    .endsWith(QLatin1String("unknown database schema version 7")));
}

TEST_F(ConfigDatabaseTest, EveryFieldSurvivesTheDatabase) {
    TConfigDatabase db(DbPath());
    const TProfileRecord profile = SampleProfile(1, QStringLiteral("F\xFCr alle"));
    const TDeviceRecord device = SampleDevice(9, 1, QStringLiteral("0001E1ABCD09"));
    db.SaveProfile(profile);
    db.SaveDevice(device);
    ASSERT_TRUE(db.LoadDevice(9));
    EXPECT_EQ(Describe(*db.LoadDevice(9)), Describe(device));
    EXPECT_EQ(Describe(db.LoadProfiles().at(0)), Describe(profile));
    // The empty record too: its texts, enumerations and addresses have empty forms.
    TDeviceRecord empty;
    empty.DeviceID = 10;
    db.SaveDevice(empty);
    EXPECT_EQ(Describe(db.LoadDevices().at(1)), Describe(empty));
}

TEST_F(ConfigDatabaseTest, OptionsAreKeptAsASetByTag) {
    TConfigDatabase db(DbPath());
    TProfileRecord p = SampleProfile(1, QStringLiteral("Sales"));
    p.Options.list[0] = {POT_SilenceSuppression, 1};
    p.Options.list[1] = {POT_Invalid, 9}; // an empty entry
    p.Options.list[2] = {POT_DistinctiveRingtones_External, 5};
    p.Options.list[3] = {POT_SilenceSuppression, 0}; // the first of a tag wins
    p.Options.len = 4;
    db.SaveProfile(p);
    const TProfileRecord loaded = *db.LoadProfile(1);
    ASSERT_EQ(loaded.Options.len, 2);
    EXPECT_EQ(loaded.Options.list[0].tag, POT_DistinctiveRingtones_External);
    EXPECT_EQ(loaded.Options.list[0].value, 5);
    EXPECT_EQ(loaded.Options.list[1].tag, POT_SilenceSuppression);
    EXPECT_EQ(loaded.Options.list[1].value, 1);
    EXPECT_EQ(Describe(loaded), Describe(db.LoadProfiles().at(0)));

    // Saving again replaces them.
    p.Options.len = 0;
    db.SaveProfile(p);
    EXPECT_EQ(db.LoadProfile(1)->Options.len, 0);
}

TEST_F(ConfigDatabaseTest, AnOptionTheHostDoesNotKnowFailsTheWholeSave) {
    TConfigDatabase db(DbPath());
    TProfileRecord p = SampleProfile(1, QStringLiteral("Sales"));
    db.SaveProfile(p);
    p.Codecs = 3;
    p.Options.list[0] = {TSIPDevice_Profile_Option_Tag(9), 1};
    p.Options.len = 1;
    EXPECT_TRUE(Failure([&] { db.SaveProfile(p); }).contains(QLatin1String("CHECK constraint failed")));
    EXPECT_EQ(Describe(*db.LoadProfile(1)), Describe(SampleProfile(1, QStringLiteral("Sales"))));
}

TEST_F(ConfigDatabaseTest, ProfilesAreUpdatedInPlaceUnderTheirDevices) {
    TConfigDatabase db(DbPath());
    TProfileRecord p = SampleProfile(1, QStringLiteral("Sales"));
    db.SaveProfile(p);
    db.SaveDevice(SampleDevice(1, 1, QStringLiteral("A1")));
    p.Name = QStringLiteral("Sales floor");
    db.SaveProfile(p);
    ASSERT_EQ(db.LoadProfiles().size(), 1u);
    EXPECT_EQ(db.LoadProfiles()[0].Name, "Sales floor");
    EXPECT_EQ(db.LoadDevice(1)->ProfileID, 1);
    // Names identify profiles in site files.
    TProfileRecord twin = SampleProfile(2, QStringLiteral("Sales floor"));
    EXPECT_TRUE(Failure([&] { db.SaveProfile(twin); }).contains(QLatin1String("UNIQUE constraint failed")));
}

TEST_F(ConfigDatabaseTest, ADeviceHasAnExistingProfileOrNone) {
    TConfigDatabase db(DbPath());
    db.SaveProfile(SampleProfile(1, QStringLiteral("Sales")));
    db.SaveDevice(SampleDevice(1, 0, QStringLiteral("A1")));
    EXPECT_EQ(db.LoadDevice(1)->ProfileID, 0);
    EXPECT_TRUE(DumpDatabase(DbPath()).contains(QLatin1String("devices|1:1|3:ptSIP|5:|")));
    EXPECT_TRUE(Failure([&] { db.SaveDevice(SampleDevice(2, 7, QStringLiteral("A2"))); })
                    .contains(QLatin1String("FOREIGN KEY constraint failed")));
    EXPECT_FALSE(db.LoadDevice(2));
}

TEST_F(ConfigDatabaseTest, AFailedReplaceLeavesTheSiteAsItWas) {
    TConfigDatabase db(DbPath());
    TSite site;
    site.System.SIPPort = 5060;
    site.System.NodeAddresses = {{2, QStringLiteral("10.0.0.6")}};
    site.Profiles.push_back(SampleProfile(1, QStringLiteral("Sales")));
    site.Devices.push_back(SampleDevice(1, 1, QStringLiteral("A1")));
    db.ReplaceSite(site);
    const QString before = DumpDatabase(DbPath());
    ASSERT_FALSE(before.isEmpty());

    TSite broken;
    broken.System.Domain = QStringLiteral("pbx.example.com");
    broken.Profiles.push_back(SampleProfile(5, QStringLiteral("Lab")));
    broken.Devices.push_back(SampleDevice(1, 5, QStringLiteral("B1")));
    broken.Devices.push_back(SampleDevice(2, 6, QStringLiteral("B2"))); // no profile 6
    EXPECT_FALSE(Failure([&] { db.ReplaceSite(broken); }).isEmpty());
    EXPECT_EQ(DumpDatabase(DbPath()), before);

    broken.Devices.pop_back();
    db.ReplaceSite(broken);
    const TSite now = db.LoadSite();
    EXPECT_EQ(now.System, broken.System);
    ASSERT_EQ(now.Profiles.size(), 1u);
    EXPECT_EQ(now.Profiles[0].Name, "Lab");
    ASSERT_EQ(now.Devices.size(), 1u);
    EXPECT_EQ(now.Devices[0].UniqueID, "B1");
}

TEST_F(ConfigDatabaseTest, TransactionsNestAndRollBackUnlessCommitted) {
    TConfigDatabase db(DbPath());
    {
        TConfigDatabase::TTransaction outer(db);
        {
            TConfigDatabase::TTransaction inner(db);
            db.SaveProfile(SampleProfile(1, QStringLiteral("Sales")));
            inner.Commit();
        }
        EXPECT_TRUE(db.LoadProfile(1));
    }
    EXPECT_FALSE(db.LoadProfile(1));
    {
        TConfigDatabase::TTransaction outer(db);
        db.SaveProfile(SampleProfile(1, QStringLiteral("Sales")));
        outer.Commit();
    }
    EXPECT_TRUE(TConfigDatabase(DbPath()).LoadProfile(1));
}

TEST_F(ConfigDatabaseTest, SystemValuesThatAreNotGivenStayAbsent) {
    TConfigDatabase db(DbPath());
    TSystemValues v;
    v.SIPAddress = 0x0A000005;
    v.Redundant = false;
    v.CurrentNode = -1;
    v.NodeAddresses = {{2, QStringLiteral("10.0.0.6")}, {-3, QString()}};
    db.SaveSystem(v);
    EXPECT_EQ(db.LoadSystem(), v);
    EXPECT_FALSE(db.LoadSystem().SIPPort);
    EXPECT_FALSE(db.LoadSystem().EditRights);
    TSystemValues all = v;
    all.SIPPort = 5060;
    all.Domain = QString();
    all.EditRights = true;
    all.ProposedFailoverNode = 2;
    all.NodeAddresses.clear();
    db.SaveSystem(all);
    EXPECT_EQ(db.LoadSystem(), all);
}

TEST_F(ConfigDatabaseTest, FirstFreeStartNumberOfADevicePrefix) {
    TConfigDatabase db(DbPath());
    int64_t id = 0;
    for (const char *unique : {"Sales1", "Sales2", "Sales4", "Sales07", "sales3", "Salesx3", "Sales-5", "7"})
        db.SaveDevice(SampleDevice(++id, 0, QLatin1String(unique)));
    EXPECT_EQ(db.FirstFreeStartNumber(QStringLiteral("Sales")), 3);
    EXPECT_EQ(db.FirstFreeStartNumber(QStringLiteral("sales")), 1);
    EXPECT_EQ(db.FirstFreeStartNumber(QStringLiteral("Lab")), 1);
    EXPECT_EQ(db.FirstFreeStartNumber(QStringLiteral("Sales-")), 1);
    db.SaveDevice(SampleDevice(++id, 0, QStringLiteral("Sales3")));
    EXPECT_EQ(db.FirstFreeStartNumber(QStringLiteral("Sales")), 5);
    // With no prefix, plain numbers count.
    db.SaveDevice(SampleDevice(++id, 0, QStringLiteral("1")));
    EXPECT_EQ(db.FirstFreeStartNumber(QString()), 2);
}

} // namespace
