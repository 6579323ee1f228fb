// vqadmin's site commands end to end, as an administrator runs them: import,
// export and validate against a database file and the real plug-in.

#include "HostRun.h"
#include "SiteSamples.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class VqadminSitesTest : public ::testing::Test {
protected:
    QString Path(const char *name) const { return FDir.filePath(QLatin1String(name)); }

    TRun Vqadmin(const QStringList &args) const { return RunVqadmin(args, FDir.path()); }
    TRun OnDb(const char *db, const QStringList &args) const { return Vqadmin(QStringList{"--db", Path(db)} + args); }
    void Import(const char *db, const QString &file) const {
        const TRun r = OnDb(db, {"import", file});
        ASSERT_EQ(r.Status, 0) << r.Err.toStdString();
        EXPECT_EQ(r.Out.left(9), "Imported ");
    }
    QString Write(const char *name, const QByteArray &text) const {
        QFile f(Path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        return f.fileName();
    }

    QTemporaryDir FDir;
};

TEST_F(VqadminSitesTest, ExportOfAnImportGivesBackTheSameRows) {
    // Besides the demo site, values a hand-written file hardly holds: IPv6, text
    // beyond ASCII, custom data that is no tree, options, a device without a profile.
    const QString full = Write("full.json", R"({
        "system": {"sipAddress": "10.0.0.5", "nodeAddresses": {"2": "10.0.0.6"}},
        "profiles": [{"name": "\u00c9quipe", "fields": {"ProfileID": 3, "Codecs": 15, "FailoverSIPIP": "10.0.0.6"},
                      "customData": "General{SoftwareVersion=\"2.3\u00e9\"} extra=1",
                      "options": {"POT_AutoAnswerType": 2, "POT_SilenceSuppression": -1}}],
        "devices": [{"profile": "\u00c9quipe", "fields": {"DeviceID": 8, "AssignedIP": "fe80::1:2",
                     "Greeting": "Gr\u00fc\u00df Gott \u263a", "MacAddress": "00-01-E1-AB-CD-08"}},
                    {"fields": {"DeviceID": 9, "UniqueID": "A9", "NormalLocationID": 1099511627776}}]})");
    for (const QString &file : {BinPath("demo-site.json"), full}) {
        Import("a.db", file);
        ASSERT_EQ(OnDb("a.db", {"export", Path("a.json")}).Status, 0);
        Import("b.db", Path("a.json"));
        const QString rows = DumpDatabase(Path("a.db"));
        EXPECT_GT(rows.count("devices|"), 1);
        EXPECT_EQ(DumpDatabase(Path("b.db")), rows);
        // Standard output carries the same file.
        const TRun out = OnDb("b.db", {"export"});
        EXPECT_EQ(out.Status, 0);
        EXPECT_TRUE(out.Err.isEmpty());
        QFile exported(Path("a.json"));
        EXPECT_TRUE(exported.open(QIODevice::ReadOnly));
        EXPECT_EQ(out.Out.toUtf8(), exported.readAll());
    }
    const QString rows = DumpDatabase(Path("a.db"));
    EXPECT_TRUE(rows.contains(QStringLiteral("Gr\u00FC\u00DF Gott \u263A")));
    EXPECT_TRUE(rows.contains("|3:fe80::1:2|"));
    EXPECT_TRUE(rows.contains("|1:1099511627776|"));
    EXPECT_TRUE(rows.contains("profile_options|1:3|1:6|1:-1"));
}

TEST_F(VqadminSitesTest, ARefusedFileLeavesTheDatabaseAsItWas) {
    Import("site.db", BinPath("demo-site.json"));
    const QString before = DumpDatabase(Path("site.db"));
    const std::pair<QByteArray, QString> files[] = {
        {"{\"profiles\": [", "line 1, column 15: not valid JSON"},
        {R"({"profiles": [{"name": "A", "fields": {"Colour": 1}}]})", "profiles[0].fields.Colour: unknown field"},
        {R"({"profiles": [{"name": "A", "settings": {"SIP/Colour": 1}}]})", "profiles[0].settings.SIP/Colour: unknown path"},
        {R"({"profiles": [{"name": "A"}], "devices": [{"profile": "A"}, {"profile": "B"}]})",
         "devices[1].profile: unknown profile \"B\""},
        {R"({"profiles": [{"name": "A", "settings": {"IPComm/DHCP": "no"}}]})",
         "profiles[0].settings.IPComm/DHCP: expected a Boolean"},
    };
    for (const auto &[text, place] : files) {
        const QString file = Write("bad.json", text);
        const TRun r = OnDb("site.db", {"import", file});
        EXPECT_EQ(r.Status, 1) << text.constData();
        EXPECT_TRUE(r.Out.isEmpty());
        EXPECT_EQ(r.Err.count(QLatin1Char('\n')), 1) << r.Err.toStdString();
        EXPECT_TRUE(r.Err.startsWith("vqadmin: " + file + ": " + place)) << r.Err.toStdString();
        EXPECT_EQ(DumpDatabase(Path("site.db")), before);
    }
    // A refused file never creates a database either.
    EXPECT_EQ(OnDb("new.db", {"import", Write("bad.json", "[]")}).Status, 1);
    EXPECT_FALSE(QFile::exists(Path("new.db")));
}

TEST_F(VqadminSitesTest, UsageTheDefaultDatabaseAndFailures) {
    const QString text = Write("notes.txt", "not a database, just notes\n");
    const QStringList runs[] = {{"--db", text, "export"}, {"import", Path("missing.json")}, {"import"},
                                {"export", Path("a"), Path("b")}, {"validate", "--xml"}, {"--colour", "red", "info"}};
    for (const QStringList &args : runs) {
        const TRun r = Vqadmin(args);
        EXPECT_EQ(r.Status, 2) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(r.Out.isEmpty());
        EXPECT_EQ(r.Err.count(QLatin1Char('\n')), 1) << r.Err.toStdString();
    }
    EXPECT_TRUE(Vqadmin(runs[0]).Err.contains("not a database"));

    // Without --db, the database is the working directory's.
    ASSERT_EQ(Vqadmin({"import", BinPath("demo-site.json")}).Status, 0);
    EXPECT_TRUE(QFile::exists(Path("vqadmin.db")));
    EXPECT_EQ(Vqadmin({"export"}).Out, OnDb("vqadmin.db", {"export"}).Out);

    const TRun r = OnDb("vqadmin.db", {"--plugin", BinPath("nomodule.plg"), "validate"});
    EXPECT_EQ(r.Status, 2);
    EXPECT_TRUE(r.Out.isEmpty());
    EXPECT_EQ(r.Err, "vqadmin: " + BinPath("nomodule.plg") + ": the plug-in has no device module, so nothing can be validated\n");
}

// From here on the real LYN 2 module does the judging.

TEST_F(VqadminSitesTest, ValidateTheDemoSite) {
    EXPECT_EQ(OnDb("site.db", {"import", BinPath("demo-site.json")}).Out,
              "Imported 4 profiles and 9 devices into " + Path("site.db") + "\n");
    const QString rows = DumpDatabase(Path("site.db"));
    const TRun r = OnDb("site.db", {"validate"});
    EXPECT_TRUE(r.Err.isEmpty()) << r.Err.toStdString();
    EXPECT_EQ(r.Out,
              "profile \"Sales\": ok\n"
              "profile \"Warehouse\": error: Invalid LAN Subnet mask\n"
              "profile \"Front Desk\": error: Invalid Default Gateway IP address: IP address 192.168.1.255 with a "
              "subnet mask of 255.255.255.0 is the Subnet's broadcast address and cannot be used as a host IP.\n"
              "profile \"Lab\": ok\n"
              "device \"0001E1000001\": error: MAC address 00-01-E1-00-00-01 is also used by device \"0001E1000031\"\n"
              "device \"0001E1000002\": error: Device ID \"0001E1000002\" is also used by device 9 (MAC 00-01-E1-00-00-32)\n"
              "device \"0001E1 000003\": error: Invalid character \" \" in Device ID\n"
              "device \"0001E1000004\": error: Invalid MAC address\n"
              "device \"0001E1000010\": ok\n"
              "device \"0001E1000020\": ok\n"
              "device \"0001E1000030\": ok\n"
              "device \"0001E1000031\": error: MAC address 00-01-E1-00-00-01 is also used by device \"0001E1000001\"\n"
              "device \"0001E1000002\": error: Device ID \"0001E1000002\" is also used by device 2 (MAC 00-01-E1-00-00-02)\n"
              "4 profiles and 9 devices checked: 8 errors, 0 warnings\n");
    EXPECT_EQ(r.Status, 1);

    const TRun json = OnDb("site.db", {"validate", "--json"});
    EXPECT_EQ(json.Status, 1);
    EXPECT_EQ(json.Out.count(QLatin1Char('\n')), 1);
    EXPECT_TRUE(json.Out.startsWith(QLatin1String(
        "{\"profiles\":[{\"name\":\"Sales\",\"level\":\"none\",\"message\":\"\"},"
        "{\"name\":\"Warehouse\",\"level\":\"error\",\"message\":\"Invalid LAN Subnet mask\"},")))
        << json.Out.toStdString();
    const QJsonArray devices = QJsonDocument::fromJson(json.Out.toUtf8()).object()[QLatin1String("devices")].toArray();
    ASSERT_EQ(devices.size(), 9);
    EXPECT_EQ(QJsonDocument(devices[2].toObject()).toJson(QJsonDocument::Compact),
              R"({"id":"0001E1 000003","level":"error","message":"Invalid character \" \" in Device ID","profile":"Sales"})");
    EXPECT_EQ(devices[4].toObject()[QLatin1String("level")].toString(), "none");
    // Validation writes nothing back.
    EXPECT_EQ(DumpDatabase(Path("site.db")), rows);
}

TEST_F(VqadminSitesTest, ValidateAValidSiteAndADeviceWithoutProfile) {
    Import("site.db", Write("site.json", R"({
        "profiles": [{"name": "Sales", "settings": {"IPComm/DHCP": true}}],
        "devices": [{"profile": "Sales", "fields": {"UniqueID": "0001E1000001", "MacAddress": "00-01-E1-00-00-01"}}]})"));
    TRun r = OnDb("site.db", {"validate"});
    EXPECT_EQ(r.Status, 0) << r.Out.toStdString() << r.Err.toStdString();
    EXPECT_EQ(r.Out, "profile \"Sales\": ok\ndevice \"0001E1000001\": ok\n"
                     "1 profile and 1 device checked: 0 errors, 0 warnings\n");

    // A SIP phone cannot be checked without its profile: the module's failure
    // is that device's error, and the run goes on.
    Import("loose.db", Write("loose.json", R"({
        "devices": [{"fields": {"UniqueID": "0001E1000009", "MacAddress": "00-01-E1-00-00-09"}}]})"));
    r = OnDb("loose.db", {"validate", "--json"});
    EXPECT_EQ(r.Status, 1);
    const QJsonObject device = QJsonDocument::fromJson(r.Out.toUtf8()).object()[QLatin1String("devices")][0].toObject();
    EXPECT_TRUE(device[QLatin1String("profile")].isNull());
    EXPECT_EQ(device[QLatin1String("level")].toString(), "error");
    EXPECT_TRUE(device[QLatin1String("message")].toString().startsWith(QLatin1String("Assertion failure")));
}

} // namespace
